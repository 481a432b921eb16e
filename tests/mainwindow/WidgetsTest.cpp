#include "mainwindow/PressButton.h"
#include "mainwindow/SelectionSlider.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace mainwindow;

TEST(PressButton, reportsWhichMouseButtonWentDown_leftStillClicks) {
    PressButton button("Stop (Es&c)");
    button.show();
    QSignalSpy pressed(&button, &PressButton::mousePressed);
    QSignalSpy clicked(&button, &QPushButton::clicked);

    QTest::mouseClick(&button, Qt::RightButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    ASSERT_EQ(pressed.count(), 2);
    EXPECT_EQ(pressed[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(pressed[1][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);

    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::RightButton);
    EXPECT_EQ(pressed.count(), 2) << "a disabled button reports nothing";
}

namespace {

// Pixels of the highlight colour in the slider's picture.
int MarkedPixels(SelectionSlider& slider) {
    const QImage picture = slider.grab().toImage();
    const QRgb mark = slider.palette().color(QPalette::Highlight).rgb();
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            count += picture.pixel(x, y) == mark;
    return count;
}

} // namespace

TEST(SelectionSlider, marksTheSelectedStretchInProportion) {
    SelectionSlider slider(Qt::Vertical);
    slider.setRange(0, 500);
    slider.resize(40, 300);
    const int unmarked = MarkedPixels(slider);

    slider.setSelectedRange(100, 100);
    const int small = MarkedPixels(slider) - unmarked;
    slider.setSelectedRange(100, 300);
    const int large = MarkedPixels(slider) - unmarked;
    EXPECT_GT(small, 0) << "the mark is drawn inside the widget";
    EXPECT_GT(large, 2 * small);

    slider.clearSelectedRange();
    EXPECT_EQ(MarkedPixels(slider), unmarked);
    EXPECT_EQ(slider.selectionLength(), 0);
}
