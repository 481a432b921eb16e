#pragma once

#include "core/ProgramState.h"

#include <QColor>
#include <QLineF>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <array>
#include <optional>

// The geometry of the compass dials (pelorus, small pelorus, webcam). Dial angles run
// clockwise from the top: angle d lies at screen angle d - 90 degrees around the centre, with y
// growing downwards. Every length is in pixels of the picture the dial is drawn on; the fixed
// sizes of the dials' dots are given in twips and taken at 96 dots per inch.
namespace display {

inline constexpr double TwipsPerPixel = 15.0;
constexpr double TwipsToPixels(double twips) {
    return twips / TwipsPerPixel;
}

// The point at the given dial angle and distance from the centre.
QPointF DialPoint(QPointF centre, double radius, double degrees);
// The dial angle of a point, 0 up to (not including) 360; 0 for the centre itself.
double DialDegrees(QPointF centre, QPointF point);

// One reference tick: a line outwards from the dial's tick radius.
struct DialTick {
    QLineF line;
    QColor colour;
};
// The 16 ticks, one every 22.5 degrees from north: north red and 1.1 times the radius long,
// east, south and west black and as long, the twelve others green and 1.06 times the radius.
std::array<DialTick, 16> DialTicks(QPointF centre, double radius);

// The parts of one dial.
struct DialLayout {
    QPointF centre;
    double discRadius = 1;   // the filled disc with its rim
    double tickRadius = 1;   // where the reference ticks start
    double needleLength = 0; // the needle line from the centre
    double tipRadius = 0;    // distance of the needle tip's dot from the centre
    double tipDot = 0;       // radius of the tip's yellow dot; 0: no tip
    double tipRing = 0;      // radius of the black ring in it
    double hubDot = 0;       // radius of the centre dot (red at rest, green while turning)
    double hubRing = 0;      // radius of its white middle; 0: none
};
// The pelorus window's dial on a picture of the given size: the disc fills the width but for a
// margin of 220 twips (also the height when that is smaller) and the room its longest ticks
// need, the tip's dot stands 150 twips inside the rim and the needle reaches 0.9 of the way to
// it.
DialLayout PelorusLayout(QSizeF picture);
// The small pelorus: the disc is 0.8 of half the smaller side, at least 1 pixel; the needle
// reaches 0.85 of the radius and its tip's dot sits on the rim. The dots keep their size
// however small or large the window is.
DialLayout SmallPelorusLayout(QSizeF picture);
// The webcam window's dial: centred half the width from the top and the left, radius 0.8 of
// half the width, a needle to the rim without a tip and a white hub of 45 twips.
DialLayout WebcamLayout(QSizeF picture);

// The needle line from the centre to the needle's length at the given angle.
QLineF NeedleLine(const DialLayout& dial, double degrees);
// The centre of the needle tip's dot.
QPointF NeedleTip(const DialLayout& dial, double degrees);
// What the needle at the given angle covers, with its tip's dot and the hub under its foot, as
// rectangles widened by margin on every side: the line in short pieces, so that a slanted needle
// costs a strip of the dial to redraw, not the square it spans.
QList<QRectF> NeedleCover(const DialLayout& dial, double degrees, double margin);
// Whether needles at these angles end on the same pixels: a move smaller than a pixel is not
// worth a repaint.
bool SameNeedlePixels(const DialLayout& dial, double a, double b);

// The heading a click on the dial points at; none on the centre dot (no direction) or beyond
// the ends of the longest ticks (a click beside the dial).
std::optional<double> ClickHeading(const DialLayout& dial, QPointF click);

// The step to turn to for a heading: of the steps that point that way (one per whole turn) the
// one nearest the counter within minPosition..maxPosition; when no turn of the travel reaches
// the heading, the one nearest the travel (the turn then stops at that limit). Without a step
// angle (0 or less) the counter.
core::Long HeadingTarget(double heading, core::Long counter, core::Single degreesPerStep,
                         core::Long minPosition, core::Long maxPosition);

// The marker of the target a turn goes to: a small triangle on the rim at the target's angle,
// pointing to the centre.
QPolygonF TargetMarker(const DialLayout& dial, double degrees);
// The angle where the target marker stands while a turn is under way; none at rest.
std::optional<double> TargetMarkerDegrees(core::Long counter, core::Long target,
                                          core::Single degreesPerStep);

// The webcam needle: the selected stepper's angle in whole degrees (halves to even); none when
// the stepper has no steps per turn (0 or less), so the dial is drawn without a needle.
std::optional<double> WebcamNeedleDegrees(core::Long counter, core::Single stepsPer360);

} // namespace display
