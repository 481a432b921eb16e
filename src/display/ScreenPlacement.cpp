#include "display/ScreenPlacement.h"

#include "display/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace display {
namespace {

QSize frameSize(const QWidget& window) {
    // Before its first showing a window has no frame yet.
    return window.frameGeometry().size().expandedTo(window.size());
}

} // namespace

QList<QRect> AvailableScreens() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

void PlaceWindow(QWidget& window, const QRect& wantedFrame) {
    const QSize frameExtra = frameSize(window) - window.size();
    const QRect placed = PlaceOnScreen(wantedFrame, AvailableScreens());
    window.resize(placed.size() - frameExtra);
    window.move(placed.topLeft());
}

void PlaceBeside(QWidget& window, const QWidget& anchor) {
    const QRect left = anchor.frameGeometry();
    PlaceWindow(window, QRect(QPoint(left.right() + 1, left.top()), frameSize(window)));
}

void PlaceUnder(QWidget& window, const QWidget& anchor) {
    const QRect above = anchor.frameGeometry();
    PlaceWindow(window, QRect(QPoint(above.left(), above.bottom() + 1), frameSize(window)));
}

void PlaceBesideOrUnder(QWidget& window, const QWidget& beside, const QWidget& under) {
    const QRect left = beside.frameGeometry();
    const QRect wanted(QPoint(left.right() + 1, left.top()), frameSize(window));
    for (const QRect& screen : AvailableScreens()) {
        if (screen.contains(wanted)) {
            PlaceWindow(window, wanted);
            return;
        }
    }
    PlaceUnder(window, under);
}

} // namespace display
