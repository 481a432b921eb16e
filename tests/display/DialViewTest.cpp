// The dial redraws only where its needle and marker were and are: what it shows after any moves
// is what a dial drawn whole at the last angles shows.
#include "display/DialView.h"

#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

using display::DialView;

namespace {

const DialView::Look Look{Qt::darkCyan, Qt::blue, Qt::lightGray, true, false};

// What the window shows: its backing store, as the partial repaints left it.
QImage OnScreen(DialView& dial) {
    QCoreApplication::processEvents();
    return dial.screen()->grabWindow(dial.winId()).toImage();
}

// How many pixels of a differ from b by more than the rounding of an antialiased edge drawn in
// pieces (the clip of a partial repaint splits its spans): a trail of the needle differs by far
// more.
int Difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return -1;
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y);
            const QColor q = b.pixelColor(x, y);
            if (std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                          std::abs(p.blue() - q.blue())}) > 3)
                ++differing;
        }
    }
    return differing;
}

struct ShownDial {
    explicit ShownDial(DialView::Style style) : dial(style) {
        dial.resize(300, 320);
        dial.setLook(Look);
        dial.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dial));
    }
    DialView dial;
};

} // namespace

TEST(DialView, aNeedleAndMarkerMovedManyTimesLeaveThePictureOfOneDrawnWholeThere) {
    for (const auto style :
         {DialView::Style::Pelorus, DialView::Style::SmallPelorus, DialView::Style::Webcam}) {
        ShownDial moved(style);
        for (double degrees = 0; degrees < 400; degrees += 7.3) {
            moved.dial.setNeedle(degrees);
            moved.dial.setTarget(degrees + 60);
            OnScreen(moved.dial);
        }
        moved.dial.setTarget(std::nullopt); // the turn ended
        ShownDial whole(style);
        whole.dial.setNeedle(moved.dial.needle());
        EXPECT_EQ(Difference(OnScreen(moved.dial), OnScreen(whole.dial)), 0) << int(style);
    }
}

TEST(DialView, aMoveWithinAPixelIsNotRedrawnButMovesOnceItAddsUpToOne) {
    ShownDial dial(DialView::Style::Pelorus);
    dial.dial.setNeedle(40);
    const QImage at40 = OnScreen(dial.dial);
    dial.dial.setNeedle(40.01);
    EXPECT_EQ(dial.dial.needle(), 40.01); // told as given
    EXPECT_EQ(OnScreen(dial.dial), at40);
    double degrees = 40.01;
    while (OnScreen(dial.dial) == at40 && degrees < 45) {
        degrees += 0.01;
        dial.dial.setNeedle(degrees);
    }
    EXPECT_LT(degrees, 42) << "small moves add up: the needle follows within a pixel or so";
}
