#pragma once
// MainWindow's notification-area icon and its pop-up TrayMenu. Only the
// context action (right button or the menu key) pops the menu up; a click or
// a double-click does nothing. Without a system tray the program still runs.

#include <QObject>
#include <QSystemTrayIcon>

class QMenu;
class QWidget;

namespace zenvik {

class TrayIcon : public QObject {
    Q_OBJECT
public:
    // The tip is the title cut to 62 bytes of code page 936, on a character
    // boundary.
    TrayIcon(const QString& title, QWidget& window);

    void show();
    void remove();

    QSystemTrayIcon& icon() { return icon_; }
    QMenu& menu() { return *menu_; }

signals:
    void showMainWindowChosen();
    void visitHomePageChosen();
    void exitChosen();

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon icon_;
    QMenu* menu_;
};

// The program's own icon, from its resources.
QIcon programIcon();

} // namespace zenvik
