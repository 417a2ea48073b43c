#include "seller_script.h"

#include "account.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <QTimer>

#include <memory>

namespace zenvik::demo {

namespace {

void runFrom(QObject& owner, std::shared_ptr<std::vector<Step>> steps, std::size_t next) {
    if (next >= steps->size()) return;
    QTimer::singleShot((*steps)[next].pauseMs, &owner, [&owner, steps, next] {
        // The next step is armed first: this one may not return before a
        // modal window it opens is closed.
        runFrom(owner, steps, next + 1);
        const Step& step = (*steps)[next];
        tell(step.description);
        step.action();
    });
}

} // namespace

void runScript(QObject& owner, std::vector<Step> steps) {
    runFrom(owner, std::make_shared<std::vector<Step>>(std::move(steps)), 0);
}

void click(QWidget* widget) {
    if (widget) QTest::mouseClick(widget, Qt::LeftButton);
}

void type(QWidget* widget, const QString& typed) {
    if (!widget) return;
    for (QChar c : typed) {
        if (c.unicode() < 128) {
            QTest::keyClick(widget, c.toLatin1());
            continue;
        }
        QInputMethodEvent committed;
        committed.setCommitString(QString(c));
        QCoreApplication::sendEvent(widget, &committed);
    }
}

void pressKey(QWidget* widget, Qt::Key key) {
    if (widget) QTest::keyClick(widget, key);
}

} // namespace zenvik::demo
