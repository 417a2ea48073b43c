#include "app/window_placement.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QWidget>

namespace zenvik {

QPoint centredPosition(const QRect& screen, const QSize& window) {
    return {screen.x() + (screen.width() - window.width()) / 2,
            screen.y() + (screen.height() - window.height()) / 2};
}

void moveToScreenCentre(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QPoint target = centredPosition(screen->geometry(), window.frameGeometry().size());
    if (window.pos() != target) window.move(target);
}

void popUpAtPointer(QMenu& menu) {
    menu.popup(QCursor::pos() + QPoint(3, 3));
}

} // namespace zenvik
