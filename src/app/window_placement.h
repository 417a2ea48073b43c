#pragma once
// Where a top-level window stands, and the menus that pop up at the pointer.

#include <QPoint>
#include <QRect>
#include <QSize>

class QMenu;
class QWidget;

namespace zenvik {

// Centred on the screen, by integer division: left = (screen width - window
// width) / 2, top likewise.
QPoint centredPosition(const QRect& screen, const QSize& window);

// Moves the window, keeping its size, to the centre of its screen; does not
// activate it, and leaves it alone when it already stands there.
void moveToScreenCentre(QWidget& window);

// Pops the menu up 3 pixels to the right of and below the mouse pointer.
void popUpAtPointer(QMenu& menu);

} // namespace zenvik
