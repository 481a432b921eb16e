#include "display/WindowPlacement.h"

#include <algorithm>
#include <limits>

namespace display {
namespace {

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

// Squared distance between the centres, to find the nearest screen.
qint64 distance(const QRect& a, const QRect& b) {
    const QPoint d = a.center() - b.center();
    return qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
}

} // namespace

QRect PlaceOnScreen(const QRect& wanted, const QList<QRect>& availableScreens) {
    const QRect* screen = nullptr;
    qint64 bestOverlap = 0;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (const QRect& candidate : availableScreens) {
        if (candidate.isEmpty())
            continue;
        const qint64 o = overlap(wanted, candidate);
        const qint64 d = distance(wanted, candidate);
        if (o > bestOverlap || (o == bestOverlap && d < bestDistance)) {
            screen = &candidate;
            bestOverlap = o;
            bestDistance = d;
        }
    }
    if (!screen)
        return wanted;

    QRect placed(wanted.topLeft(), wanted.size().boundedTo(screen->size()).expandedTo({1, 1}));
    placed.moveLeft(
        std::clamp(placed.left(), screen->left(), screen->right() - placed.width() + 1));
    placed.moveTop(std::clamp(placed.top(), screen->top(), screen->bottom() - placed.height() + 1));
    return placed;
}

QRect DockBeside(const QRect& anchor, int width, const QList<QRect>& availableScreens) {
    const QRect left(anchor.left() - width, anchor.top(), width, anchor.height());
    const QRect placedLeft = PlaceOnScreen(left, availableScreens);
    if (placedLeft.left() == left.left())
        return placedLeft;
    const QRect right(anchor.right() + 1, anchor.top(), width, anchor.height());
    const QRect placedRight = PlaceOnScreen(right, availableScreens);
    return placedRight.left() == right.left() ? placedRight : placedLeft;
}

QRect InsideOnScreen(const QRect& wantedFrame, const QMargins& frame,
                     const QList<QRect>& availableScreens) {
    return PlaceOnScreen(wantedFrame, availableScreens).marginsRemoved(frame);
}

QRect InsideBeside(const QRect& anchorFrame, const FramedWindow& window,
                   const QList<QRect>& availableScreens) {
    const QRect wanted(QPoint(anchorFrame.right() + 1, anchorFrame.top()), window.frameSize());
    return InsideOnScreen(wanted, window.frame, availableScreens);
}

QRect InsideUnder(const QRect& anchorFrame, const FramedWindow& window,
                  const QList<QRect>& availableScreens) {
    const QRect wanted(QPoint(anchorFrame.left(), anchorFrame.bottom() + 1), window.frameSize());
    return InsideOnScreen(wanted, window.frame, availableScreens);
}

QRect InsideBesideOrUnder(const QRect& besideFrame, const QRect& underFrame,
                          const FramedWindow& window, const QList<QRect>& availableScreens) {
    const QRect wanted(QPoint(besideFrame.right() + 1, besideFrame.top()), window.frameSize());
    const bool fits = std::any_of(availableScreens.begin(), availableScreens.end(),
                                  [&](const QRect& screen) { return screen.contains(wanted); });
    return fits ? InsideOnScreen(wanted, window.frame, availableScreens)
                : InsideUnder(underFrame, window, availableScreens);
}

} // namespace display
