#pragma once

#include <QList>
#include <QMargins>
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

// A window as the window manager frames it: its inside (client area) and the frame around it
// (title bar and borders).
struct FramedWindow {
    QSize inside;
    QMargins frame;
    QSize frameSize() const { return inside.grownBy(frame); }
};

// The inside of a window whose whole frame, title bar included, goes where PlaceOnScreen puts
// the wanted frame rectangle.
QRect InsideOnScreen(const QRect& wantedFrame, const QMargins& frame,
                     const QList<QRect>& availableScreens);
// The inside of a window with its frame right of the anchor's frame, tops level.
QRect InsideBeside(const QRect& anchorFrame, const FramedWindow& window,
                   const QList<QRect>& availableScreens);
// The inside of a window with its frame right under the anchor's frame, left edges level.
QRect InsideUnder(const QRect& anchorFrame, const FramedWindow& window,
                  const QList<QRect>& availableScreens);
// Beside the `beside` frame where the whole frame fits on a screen there, else under the
// `under` frame: a wide window never hides the window it opens beside.
QRect InsideBesideOrUnder(const QRect& besideFrame, const QRect& underFrame,
                          const FramedWindow& window, const QList<QRect>& availableScreens);

} // namespace display
