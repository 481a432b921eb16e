#include "display/WindowPlacement.h"

#include <gtest/gtest.h>

using display::DockBeside;
using display::FramedWindow;
using display::PlaceOnScreen;

namespace {
const QRect Laptop(0, 0, 1366, 740); // available area below a panel
const QRect RightMonitor(1366, 0, 1920, 1050);
} // namespace

TEST(WindowPlacement, aWindowIsMovedInsideTheScreenItMostlyCoversKeepingItsSizeWhereItFits) {
    const QList<QRect> both{Laptop, RightMonitor};
    struct Case {
        QRect wanted;
        QList<QRect> screens;
        QRect placed;
        const char* what;
    };
    const Case cases[] = {
        {QRect(100, 100, 400, 300), {Laptop}, QRect(100, 100, 400, 300), "inside: stays"},
        // The pelorus docked left of a main window at the screen's left edge.
        {QRect(-300, 20, 300, 600), {Laptop}, QRect(0, 20, 300, 600), "over the left edge"},
        {QRect(1200, 600, 400, 300), {Laptop}, QRect(966, 440, 400, 300), "over the corner"},
        {QRect(10, -50, 200, 100), {Laptop}, QRect(10, 0, 200, 100), "over the top"},
        {QRect(50, 50, 2000, 900), {Laptop}, Laptop, "larger: shrunk to the screen"},
        {QRect(1300, 100, 400, 300), both, QRect(1366, 100, 400, 300), "mostly on the right"},
        {QRect(1100, 100, 400, 300), both, QRect(966, 100, 400, 300), "mostly on the left"},
        {QRect(4000, 200, 400, 300), both, QRect(2886, 200, 400, 300), "a monitor that is gone"},
        {QRect(-500, -500, 10, 10), {}, QRect(-500, -500, 10, 10), "no screens"},
        {QRect(-500, -500, 10, 10), {QRect()}, QRect(-500, -500, 10, 10), "an empty screen"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceOnScreen(c.wanted, c.screens), c.placed) << c.what;
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
    EXPECT_EQ(
        display::InsideBesideOrUnder(QRect(0, 0, 700, 760), QRect(0, 0, 700, 760), timer, {screen}),
        QRect(704, 24, 520, 270));
    // No room beside: under it, and up so that the frame's bottom border is on the screen.
    EXPECT_EQ(
        display::InsideBesideOrUnder(QRect(0, 0, 800, 760), QRect(0, 0, 800, 760), timer, {screen}),
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
