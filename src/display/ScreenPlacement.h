#pragma once

#include <QList>
#include <QRect>

class QWidget;

// Windows placed where the user can reach them, on the screens attached now.
namespace display {

// The available area of every screen.
QList<QRect> AvailableScreens();
// Windows are placed by their frame, title bar included, and the whole frame stays inside the
// available screen. A window not yet framed by the window manager is taken to get the frame
// of the window it is placed by.

// Gives a window the wanted frame rectangle, moved (and shrunk) into the visible screen.
void PlaceWindow(QWidget& window, const QRect& wantedFrame);
// Puts a window right of another one, tops level, inside the visible screen.
void PlaceBeside(QWidget& window, const QWidget& anchor);
// Puts a window right under another one, left edges level, inside the visible screen.
void PlaceUnder(QWidget& window, const QWidget& anchor);

// Beside `beside` where the window fits there on a screen, else under `under`: a wide window
// never hides the window it opens beside.
void PlaceBesideOrUnder(QWidget& window, const QWidget& beside, const QWidget& under);

} // namespace display
