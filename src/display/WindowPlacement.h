#pragma once

#include <QList>
#include <QRect>

namespace display {

// Where a window goes so that the user can reach it: the wanted rectangle moved (and, when it
// is larger than the screen, shrunk) into the available area of the screen it overlaps most,
// or of the nearest screen when it overlaps none. Without screens it stays as wanted.
// Rectangles are frame rectangles in desktop coordinates.
// A pelorus docked left of a main window at the screen's left edge thus lands at that edge.
QRect PlaceOnScreen(const QRect& wanted, const QList<QRect>& availableScreens);

// A window docked beside an anchor window: level with its top, as high as it and left of it;
// right of it when the screen leaves no room on the left. Placed on screen as above.
QRect DockBeside(const QRect& anchor, int width, const QList<QRect>& availableScreens);

} // namespace display
