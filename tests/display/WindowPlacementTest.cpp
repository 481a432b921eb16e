#include "display/WindowPlacement.h"

#include <gtest/gtest.h>

using display::DockBeside;
using display::FramedWindow;
using display::PlaceOnScreen;

namespace {
const QRect Laptop(0, 0, 1366, 740); // available area below a panel
const QRect RightMonitor(1366, 0, 1920, 1050);
} // namespace

TEST(WindowPlacement, aWindowInsideTheScreenStaysWhereItIs) {
    const QRect wanted(100, 100, 400, 300);
    EXPECT_EQ(PlaceOnScreen(wanted, {Laptop}), wanted);
}

TEST(WindowPlacement, aWindowOverAnEdgeIsMovedInsideKeepingItsSize) {
    // The pelorus docked left of a main window that stands at the screen's left edge.
    EXPECT_EQ(PlaceOnScreen(QRect(-300, 20, 300, 600), {Laptop}), QRect(0, 20, 300, 600));
    EXPECT_EQ(PlaceOnScreen(QRect(1200, 600, 400, 300), {Laptop}), QRect(966, 440, 400, 300));
    EXPECT_EQ(PlaceOnScreen(QRect(10, -50, 200, 100), {Laptop}), QRect(10, 0, 200, 100));
}

TEST(WindowPlacement, aWindowLargerThanTheScreenIsShrunkToIt) {
    EXPECT_EQ(PlaceOnScreen(QRect(50, 50, 2000, 900), {Laptop}), Laptop);
}

TEST(WindowPlacement, staysOnTheScreenItMostlyCoversOrGoesToTheNearest) {
    const QList<QRect> screens{Laptop, RightMonitor};
    EXPECT_EQ(PlaceOnScreen(QRect(1300, 100, 400, 300), screens), QRect(1366, 100, 400, 300));
    EXPECT_EQ(PlaceOnScreen(QRect(1100, 100, 400, 300), screens), QRect(966, 100, 400, 300));
    // Left on a monitor that is gone: brought to the nearest screen.
    EXPECT_EQ(PlaceOnScreen(QRect(4000, 200, 400, 300), screens), QRect(2886, 200, 400, 300));
}

TEST(WindowPlacement, withoutScreensTheWindowStaysAsWanted) {
    const QRect wanted(-500, -500, 10, 10);
    EXPECT_EQ(PlaceOnScreen(wanted, {}), wanted);
    EXPECT_EQ(PlaceOnScreen(wanted, {QRect()}), wanted);
}

TEST(WindowPlacement, aDockedWindowGoesLeftOfItsAnchorOrRightWhenTheLeftHasNoRoom) {
    EXPECT_EQ(DockBeside(QRect(400, 50, 780, 648), 330, {Laptop}), QRect(70, 50, 330, 648));
    EXPECT_EQ(DockBeside(QRect(0, 50, 780, 648), 330, {Laptop}), QRect(780, 50, 330, 648));
    // No room on either side: inside the screen all the same.
    EXPECT_EQ(DockBeside(QRect(100, 50, 1200, 648), 330, {Laptop}), QRect(0, 50, 330, 648));
}

// A window manager's frame: borders of 4 px and a title bar of 24 px.
TEST(WindowPlacement, framedWindows_goBesideOrUnderWithTheWholeFrameOnTheScreen) {
    const QRect screen(0, 0, 1280, 1000);
    const QMargins frame(4, 24, 4, 4);
    const FramedWindow timer{{520, 270}, frame};
    // Beside the main window where the frame fits there, the frame's edge on the main's.
    EXPECT_EQ(display::InsideBesideOrUnder(QRect(0, 0, 700, 760), QRect(0, 0, 700, 760), timer,
                                           {screen}),
              QRect(704, 24, 520, 270));
    // No room beside: under it, and up so that the frame's bottom border is on the screen.
    EXPECT_EQ(display::InsideBesideOrUnder(QRect(0, 0, 800, 760), QRect(0, 0, 800, 760), timer,
                                           {screen}),
              QRect(4, 726, 520, 270));
    // Under a window, the title bar below its frame, not over its bottom.
    EXPECT_EQ(display::InsideUnder(QRect(100, 100, 400, 300), timer, {screen}),
              QRect(104, 424, 520, 270));
    EXPECT_EQ(display::InsideBeside(QRect(900, 0, 300, 200), timer, {screen}),
              QRect(756, 24, 520, 270));
    // A frame taller than the screen: the inside shrinks by the frame.
    EXPECT_EQ(display::InsideOnScreen(QRect(0, 0, 600, 1100), frame, {screen}),
              QRect(4, 24, 592, 972));
}
