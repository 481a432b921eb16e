#include "display/DialGeometry.h"

#include "core/Degrees.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

namespace display {
namespace {

const QColor TickNorth(0xFF, 0, 0);
const QColor TickCardinal(0, 0, 0);
const QColor TickMinor(0, 0xFF, 0);

// The longest ticks reach this far out, as a factor of the tick radius.
constexpr double LongTick = 1.1;
constexpr double ShortTick = 1.06;

double atLeastOnePixel(double radius) {
    return radius > 0 ? radius : 1;
}

// Both pelorus dials: centred in the picture, with the same fixed dots at the needle's tip and
// in the centre.
DialLayout pelorusDial(QSizeF picture) {
    DialLayout dial;
    dial.centre = QPointF(picture.width() / 2, picture.height() / 2);
    dial.tipDot = TwipsToPixels(65);
    dial.tipRing = TwipsToPixels(10);
    dial.hubDot = TwipsToPixels(85);
    dial.hubRing = TwipsToPixels(25);
    return dial;
}

} // namespace

QPointF DialPoint(QPointF centre, double radius, double degrees) {
    const double a = qDegreesToRadians(degrees - 90);
    return centre + QPointF(std::cos(a) * radius, std::sin(a) * radius);
}

double DialDegrees(QPointF centre, QPointF point) {
    const QPointF d = point - centre;
    if (d.isNull())
        return 0;
    double degrees = std::fmod(qRadiansToDegrees(std::atan2(d.y(), d.x())) + 90, 360.0);
    if (degrees < 0)
        degrees += 360;
    return degrees >= 360 ? 0 : degrees;
}

std::array<DialTick, 16> DialTicks(QPointF centre, double radius) {
    std::array<DialTick, 16> ticks;
    for (int i = 0; i < 16; ++i) {
        const bool north = i == 0;
        const bool cardinal = i % 4 == 0;
        const QPointF start = DialPoint(centre, radius, 22.5 * i);
        const double factor = cardinal ? LongTick : ShortTick;
        ticks[i].line = QLineF(start, centre + (start - centre) * factor);
        ticks[i].colour = north ? TickNorth : cardinal ? TickCardinal : TickMinor;
    }
    return ticks;
}

DialLayout PelorusLayout(QSizeF picture) {
    DialLayout dial = pelorusDial(picture);
    // The disc follows the width; a picture lower than wide bounds it by the height too, and it
    // leaves room for the longest ticks, so neither the rim nor a tick leaves the picture.
    const double half = std::min(dial.centre.x(), dial.centre.y());
    dial.discRadius =
        atLeastOnePixel(std::min(half - TwipsToPixels(220), half / LongTick - TwipsToPixels(25)));
    dial.tickRadius = dial.discRadius + TwipsToPixels(25);
    dial.tipRadius = std::max(0.0, dial.discRadius - TwipsToPixels(150));
    dial.needleLength = dial.tipRadius * 0.9;
    return dial;
}

DialLayout SmallPelorusLayout(QSizeF picture) {
    DialLayout dial = pelorusDial(picture);
    dial.discRadius = atLeastOnePixel(0.8 * std::min(dial.centre.x(), dial.centre.y()));
    dial.tickRadius = dial.discRadius;
    dial.needleLength = 0.85 * dial.discRadius;
    dial.tipRadius = dial.discRadius;
    return dial;
}

DialLayout WebcamLayout(QSizeF picture) {
    DialLayout dial;
    const double c = picture.width() / 2;
    dial.centre = QPointF(c, c);
    dial.discRadius = atLeastOnePixel(0.8 * c);
    dial.tickRadius = dial.discRadius;
    dial.needleLength = dial.discRadius;
    dial.hubDot = TwipsToPixels(45);
    return dial;
}

QLineF NeedleLine(const DialLayout& dial, double degrees) {
    return QLineF(dial.centre, DialPoint(dial.centre, dial.needleLength, degrees));
}

QPointF NeedleTip(const DialLayout& dial, double degrees) {
    return DialPoint(dial.centre, dial.tipRadius, degrees);
}

QList<QRectF> NeedleCover(const DialLayout& dial, double degrees, double margin) {
    // Pieces this long of a needle at 45 degrees cover a ninth of its square or less.
    constexpr double PieceLength = 12;
    const QLineF needle = NeedleLine(dial, degrees);
    const int pieces = std::max(1, static_cast<int>(std::ceil(needle.length() / PieceLength)));
    QList<QRectF> cover;
    cover.reserve(pieces + 2);
    const auto around = [&](QPointF a, QPointF b, double radius) {
        cover.append(QRectF(a, b).normalized().adjusted(-radius - margin, -radius - margin,
                                                        radius + margin, radius + margin));
    };
    for (int i = 0; i < pieces; ++i)
        around(needle.pointAt(double(i) / pieces), needle.pointAt(double(i + 1) / pieces), 0);
    if (dial.tipDot > 0) {
        const QPointF tip = NeedleTip(dial, degrees);
        around(tip, tip, std::max(dial.tipDot, dial.tipRing));
    }
    around(dial.centre, dial.centre, std::max(dial.hubDot, dial.hubRing));
    return cover;
}

bool SameNeedlePixels(const DialLayout& dial, double a, double b) {
    return NeedleLine(dial, a).p2().toPoint() == NeedleLine(dial, b).p2().toPoint() &&
           NeedleTip(dial, a).toPoint() == NeedleTip(dial, b).toPoint();
}

std::optional<double> ClickHeading(const DialLayout& dial, QPointF click) {
    const double distance = QLineF(dial.centre, click).length();
    if (distance < std::max(dial.hubDot, 1.0) || distance > dial.tickRadius * LongTick)
        return std::nullopt;
    return DialDegrees(dial.centre, click);
}

core::Long HeadingTarget(double heading, core::Long counter, core::Single degreesPerStep,
                         core::Long minPosition, core::Long maxPosition) {
    if (!(degreesPerStep > 0) || !std::isfinite(heading))
        return counter;
    const double stepsPerTurn = 360.0 / static_cast<double>(degreesPerStep);
    const double first = heading / static_cast<double>(degreesPerStep);
    // The step of the heading in turn k (k whole turns above the first).
    auto stepOfTurn = [&](double k) {
        return core::DegreesToSteps(heading + 360.0 * k, degreesPerStep);
    };
    auto turnNear = [&](double steps) { return std::round((steps - first) / stepsPerTurn); };
    // A step within the travel scores by its distance from the counter, one outside by its
    // distance from the travel first.
    auto score = [&](core::Long step) {
        const double outside = step < minPosition   ? double(minPosition) - step
                               : step > maxPosition ? double(step) - maxPosition
                                                    : 0.0;
        return std::pair(outside, std::abs(double(step) - counter));
    };

    // The best turn is next to the counter's own turn or next to one of the limits.
    core::Long best = stepOfTurn(turnNear(counter));
    for (const double k : {turnNear(counter), turnNear(minPosition), turnNear(maxPosition)}) {
        for (const double candidate : {k - 1, k, k + 1}) {
            if (const core::Long step = stepOfTurn(candidate); score(step) < score(best))
                best = step;
        }
    }
    return best;
}

QPolygonF TargetMarker(const DialLayout& dial, double degrees) {
    const double size = std::max(4.0, 0.08 * dial.discRadius);
    const QPointF outward = DialPoint(QPointF(), 1, degrees);
    const QPointF across(-outward.y(), outward.x());
    const QPointF base = dial.centre + outward * (dial.discRadius + size / 2);
    return QPolygonF({dial.centre + outward * (dial.discRadius - size), base + across * size * 0.6,
                      base - across * size * 0.6});
}

std::optional<double> TargetMarkerDegrees(core::Long counter, core::Long target,
                                          core::Single degreesPerStep) {
    if (counter == target || !(degreesPerStep > 0))
        return std::nullopt;
    return core::StepsToDegreesUnrounded(target, degreesPerStep);
}

std::optional<double> WebcamNeedleDegrees(core::Long counter, core::Single stepsPer360) {
    if (!(stepsPer360 > 0))
        return std::nullopt;
    return core::StepsToDegrees(counter, core::DegreesPerStepOf(stepsPer360), 0);
}

} // namespace display
