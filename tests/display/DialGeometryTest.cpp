#include "display/DialGeometry.h"

#include "core/Degrees.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace display;

namespace {

void ExpectNear(QPointF actual, QPointF expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
}

} // namespace

TEST(DialAngles, northIsUpAndAnglesRunClockwiseOnAScreenWhoseYGrowsDownwards) {
    const QPointF c(100, 100);
    ExpectNear(DialPoint(c, 50, 0), {100, 50});
    ExpectNear(DialPoint(c, 50, 90), {150, 100});
    ExpectNear(DialPoint(c, 50, 180), {100, 150});
    ExpectNear(DialPoint(c, 50, 270), {50, 100});
    ExpectNear(DialPoint(c, 50, 450), {150, 100}); // beyond a turn wraps

    for (const double degrees : {0.0, 0.5, 45.0, 90.0, 179.9, 180.0, 270.0, 359.9})
        EXPECT_NEAR(DialDegrees(c, DialPoint(c, 37, degrees)), degrees, 1e-9) << degrees;
    EXPECT_EQ(DialDegrees(c, c), 0);
    EXPECT_LT(DialDegrees(c, {100 - 1e-13, 0}), 360); // just west of north stays below 360
}

TEST(DialTicks, northRedAndLongCardinalsBlackAndLongOthersGreenAndShort) {
    const QPointF c(0, 0);
    const auto ticks = DialTicks(c, 100);
    for (int i = 0; i < 16; ++i) {
        const auto& tick = ticks[i];
        EXPECT_NEAR(QLineF(c, tick.line.p1()).length(), 100, 1e-9);
        EXPECT_NEAR(DialDegrees(c, tick.line.p1()), 22.5 * i, 1e-9);
        EXPECT_NEAR(DialDegrees(c, tick.line.p2()), 22.5 * i, 1e-9);
        const bool cardinal = i % 4 == 0;
        EXPECT_NEAR(QLineF(c, tick.line.p2()).length(), cardinal ? 110 : 106, 1e-9) << i;
        const QColor expected = i == 0 ? Qt::red : cardinal ? Qt::black : Qt::green;
        EXPECT_EQ(tick.colour, expected) << i;
    }
}

TEST(DialLayouts, pelorusFollowsTheWidthAndNeverLeavesAShortPicture) {
    const DialLayout tall = PelorusLayout({300, 500});
    EXPECT_EQ(tall.centre, QPointF(150, 250));
    EXPECT_NEAR(tall.tickRadius * 1.1, 150, 1e-9); // the east and west ticks end at the edges
    EXPECT_NEAR(PelorusLayout({200, 300}).discRadius, 100 - 220 / 15.0, 1e-9); // the margin
    EXPECT_NEAR(tall.tipRadius, tall.discRadius - 10, 1e-9);
    EXPECT_NEAR(tall.needleLength, 0.9 * tall.tipRadius, 1e-9);

    const DialLayout wide = PelorusLayout({600, 200});
    EXPECT_LE(wide.tickRadius * 1.1, 100); // the longest tick stays inside
    const DialLayout tiny = PelorusLayout({10, 10});
    EXPECT_EQ(tiny.discRadius, 1);
    EXPECT_GE(tiny.tipRadius, 0);
}

TEST(DialLayouts, smallPelorusScalesItsDiscButNotItsDots) {
    const DialLayout narrow = SmallPelorusLayout({100, 300});
    EXPECT_NEAR(narrow.discRadius, 0.8 * 50, 1e-9);
    EXPECT_NEAR(narrow.needleLength, 0.85 * narrow.discRadius, 1e-9);
    ExpectNear(NeedleTip(narrow, 90), narrow.centre + QPointF(narrow.discRadius, 0));

    const DialLayout large = SmallPelorusLayout({800, 800});
    EXPECT_EQ(large.tipDot, narrow.tipDot);
    EXPECT_EQ(large.hubDot, narrow.hubDot);
    EXPECT_NEAR(large.hubDot, 85 / 15.0, 1e-9);

    EXPECT_EQ(SmallPelorusLayout({0, 0}).discRadius, 1); // a window shrunk to nothing still draws
}

namespace {

bool Covered(const QList<QRectF>& cover, QPointF point, double margin) {
    const QRectF around(point - QPointF(margin, margin), QSizeF(2 * margin, 2 * margin));
    for (const QRectF& rect : cover) {
        if (rect.contains(around))
            return true;
    }
    return false;
}

double Area(const QList<QRectF>& cover) {
    double area = 0;
    for (const QRectF& rect : cover)
        area += rect.width() * rect.height();
    return area;
}

} // namespace

TEST(NeedleCover, coversTheLineTipAndHubWithTheMarginButNotTheSquareASlantedNeedleSpans) {
    const DialLayout dial = PelorusLayout({330, 400});
    constexpr double Margin = 4;
    for (const double degrees : {0.0, 10.0, 45.0, 135.0, 200.0, 333.3}) {
        const QList<QRectF> cover = NeedleCover(dial, degrees, Margin);
        const QLineF needle = NeedleLine(dial, degrees);
        for (int i = 0; i <= 100; ++i)
            EXPECT_TRUE(Covered(cover, needle.pointAt(i / 100.0), Margin)) << degrees << " " << i;
        EXPECT_TRUE(Covered(cover, NeedleTip(dial, degrees), dial.tipRing + Margin)) << degrees;
        EXPECT_TRUE(Covered(cover, dial.centre, dial.hubRing + Margin)) << degrees;
    }
    // At 45 degrees the needle's bounding square is what the dial redrew before: the pieces
    // cover a small part of it.
    const QLineF slanted = NeedleLine(dial, 45);
    const double square =
        (std::abs(slanted.dx()) + 2 * Margin) * (std::abs(slanted.dy()) + 2 * Margin);
    EXPECT_LT(Area(NeedleCover(dial, 45, Margin)), square / 2);
}

TEST(NeedleCover, aMoveWithinAPixelIsNotWorthARepaintButOneStepOfAWholeTurnIs) {
    const DialLayout dial = PelorusLayout({330, 400});
    EXPECT_TRUE(SameNeedlePixels(dial, 30, 30.01));
    EXPECT_FALSE(SameNeedlePixels(dial, 30, 31.8)); // a step of 200 per turn
    EXPECT_FALSE(SameNeedlePixels(dial, 30, 390.5));
    EXPECT_TRUE(SameNeedlePixels(dial, 30, 390)); // a whole turn on looks the same
}

TEST(ClickHeading, givesTheHeadingOfTheClickButNotOnTheHubOrBesideTheDial) {
    const DialLayout dial = PelorusLayout({300, 400});
    for (const double heading : {0.0, 33.0, 90.0, 200.0, 315.0}) {
        const auto clicked =
            ClickHeading(dial, DialPoint(dial.centre, dial.discRadius / 2, heading));
        ASSERT_TRUE(clicked) << heading;
        EXPECT_NEAR(*clicked, heading, 1e-9);
    }
    EXPECT_FALSE(ClickHeading(dial, dial.centre));
    EXPECT_FALSE(ClickHeading(dial, dial.centre + QPointF(dial.hubDot / 2, 0)));
    EXPECT_TRUE(ClickHeading(dial, DialPoint(dial.centre, dial.tickRadius * 1.09, 10)));
    EXPECT_FALSE(ClickHeading(dial, DialPoint(dial.centre, dial.tickRadius * 1.2, 10)));
}

TEST(HeadingTarget, aClickAtAnAngleTurnsToThatHeadingAt200And400StepsPerTurn) {
    const DialLayout dial = SmallPelorusLayout({400, 400});
    for (const float stepsPer360 : {200.0f, 400.0f}) {
        const core::Single degreesPerStep = core::DegreesPerStepOf(stepsPer360);
        for (const double heading : {0.0, 45.0, 90.0, 135.0, 180.0, 270.0, 337.5, 359.0}) {
            const auto clicked = ClickHeading(dial, DialPoint(dial.centre, 100, heading));
            ASSERT_TRUE(clicked);
            const core::Long target =
                HeadingTarget(*clicked, 0, degreesPerStep, 0, core::Long(stepsPer360) - 1);
            const double reached = core::StepsToDegreesUnrounded(target, degreesPerStep);
            EXPECT_NEAR(reached, heading, degreesPerStep / 2.0) << stepsPer360 << " " << heading;
        }
        // Whole steps land exactly: 90 degrees is step 50 of 200 and 100 of 400.
        EXPECT_EQ(HeadingTarget(90, 0, degreesPerStep, 0, 1000), core::Long(stepsPer360 / 4));
        EXPECT_EQ(HeadingTarget(270, 0, degreesPerStep, 0, 1000), core::Long(stepsPer360 * 3 / 4));
    }
    // Between two steps the nearer one, a half to the even step: 0.9 of 1.8 degrees.
    EXPECT_EQ(HeadingTarget(1.0, 0, 1.8f, 0, 500), 1);
    EXPECT_EQ(HeadingTarget(0.8, 0, 1.8f, 0, 500), 0);
    EXPECT_EQ(HeadingTarget(2.5, 0, 5.0f, 0, 500), 0);
    EXPECT_EQ(HeadingTarget(7.5, 0, 5.0f, 0, 500), 2);
}

TEST(HeadingTarget, takesTheTurnNearestTheCounterWithinTheTravel) {
    // 200 steps per turn and a travel of 0..1000 steps: five turns of a rotator.
    EXPECT_EQ(HeadingTarget(90, 450, 1.8f, 0, 1000), 450);  // 810 degrees already points east
    EXPECT_EQ(HeadingTarget(180, 450, 1.8f, 0, 1000), 500); // half a turn on, not a turn back
    EXPECT_EQ(HeadingTarget(0, 450, 1.8f, 0, 1000), 400);
    EXPECT_EQ(HeadingTarget(350, 10, 1.8f, 0, 1000), 194); // -10 degrees lies below the travel
    // A travel that starts at step 1000 (five whole turns on) reaches east at 1050.
    EXPECT_EQ(HeadingTarget(90, 1000, 1.8f, 1000, 1400), 1050);
    // With the counter outside the travel the nearest step inside it is chosen.
    EXPECT_EQ(HeadingTarget(90, 2000, 1.8f, 0, 500), 450);
}

TEST(HeadingTarget, aHeadingOutsideAHalfTurnTravelGoesTowardsTheNearerLimit) {
    // 0..100 steps cover 0..180 degrees.
    EXPECT_EQ(HeadingTarget(200, 20, 1.8f, 0, 100), 111); // just past the upper limit
    EXPECT_EQ(HeadingTarget(340, 80, 1.8f, 0, 100), -11); // just below the lower limit
    EXPECT_EQ(HeadingTarget(270, 20, 1.8f, 0, 100), -50); // as far from both: nearer the counter
    EXPECT_EQ(HeadingTarget(90, 7, 0.0f, 0, 100), 7);     // no step angle: stays
}

TEST(TargetMarker, standsOnTheRimAtTheTargetOnlyWhileTurning) {
    EXPECT_FALSE(TargetMarkerDegrees(50, 50, 1.8f));
    EXPECT_FALSE(TargetMarkerDegrees(0, 50, 0.0f));
    const auto degrees = TargetMarkerDegrees(0, 50, 1.8f);
    ASSERT_TRUE(degrees);
    EXPECT_NEAR(*degrees, 90, 1e-4);

    const DialLayout dial = PelorusLayout({300, 400});
    const QPolygonF marker = TargetMarker(dial, 90);
    ASSERT_EQ(marker.size(), 3);
    EXPECT_LT(marker[0].x() - dial.centre.x(), dial.discRadius); // the point reaches inside
    EXPECT_GT(marker[1].x() - dial.centre.x(), dial.discRadius); // the base lies outside
    EXPECT_NEAR(marker[0].y(), dial.centre.y(), 1e-9);
    EXPECT_NEAR(DialDegrees(dial.centre, (marker[1] + marker[2]) / 2), 90, 1e-9);
}

TEST(WebcamDial, showsWholeDegreesAndNoNeedleWithoutStepsPerTurn) {
    EXPECT_FALSE(WebcamNeedleDegrees(50, 0));
    EXPECT_FALSE(WebcamNeedleDegrees(50, -200));
    EXPECT_EQ(WebcamNeedleDegrees(50, 200), 90);
    EXPECT_EQ(WebcamNeedleDegrees(1, 144), 2); // 2.5 degrees: halves to even
    EXPECT_EQ(WebcamNeedleDegrees(3, 144), 8);

    const DialLayout dial = WebcamLayout({200, 300});
    EXPECT_EQ(dial.centre, QPointF(100, 100));
    EXPECT_NEAR(dial.discRadius, 80, 1e-9);
    EXPECT_EQ(dial.tipDot, 0);
    ExpectNear(NeedleLine(dial, *WebcamNeedleDegrees(50, 200)).p2(), {180, 100}); // points right
}
