#include "display/ScreenPlacement.h"

#include "display/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace display {
namespace {

QMargins OwnFrame(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect inside = window.geometry();
    return {inside.left() - frame.left(), inside.top() - frame.top(),
            frame.right() - inside.right(), frame.bottom() - inside.bottom()};
}

// The window with its frame; before the window manager has framed it, the frame of the window
// it is placed by (the same window manager frames both).
FramedWindow Framed(const QWidget& window, const QWidget& placedBy) {
    const QMargins own = OwnFrame(window);
    return {window.size(), own.isNull() ? OwnFrame(placedBy) : own};
}

} // namespace

QList<QRect> AvailableScreens() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

// The inside is set, not the frame's position: before the window manager has framed a window,
// a frame position would be taken for the inside's and the title bar would land above it.
void PlaceWindow(QWidget& window, const QRect& wantedFrame) {
    window.setGeometry(InsideOnScreen(wantedFrame, OwnFrame(window), AvailableScreens()));
}

void PlaceBeside(QWidget& window, const QWidget& anchor) {
    window.setGeometry(
        InsideBeside(anchor.frameGeometry(), Framed(window, anchor), AvailableScreens()));
}

void PlaceUnder(QWidget& window, const QWidget& anchor) {
    window.setGeometry(
        InsideUnder(anchor.frameGeometry(), Framed(window, anchor), AvailableScreens()));
}

void PlaceBesideOrUnder(QWidget& window, const QWidget& beside, const QWidget& under) {
    window.setGeometry(InsideBesideOrUnder(beside.frameGeometry(), under.frameGeometry(),
                                           Framed(window, beside), AvailableScreens()));
}

} // namespace display
