#pragma once
// A seller at the keyboard: steps run one after another, each after a pause
// that lets the window show what the last one did. The seller clicks with
// the mouse and types with the keyboard (characters beyond ASCII through an
// input method, as Chinese is typed).

#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace zenvik::demo {

struct Step {
    int pauseMs;          // after the step before
    QString description;  // who does what, for the account
    std::function<void()> action;
};

// Runs the steps while the owner lives; nothing runs once it is gone. A step
// that opens a modal window keeps the next ones running inside its loop.
void runScript(QObject& owner, std::vector<Step> steps);

void click(QWidget* widget);
void type(QWidget* widget, const QString& typed);
void pressKey(QWidget* widget, Qt::Key key);

} // namespace zenvik::demo
