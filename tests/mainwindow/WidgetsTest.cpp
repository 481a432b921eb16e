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

TEST(PressButton, aClickWithoutTheMouseReportsOneLeftPress) {
    PressButton button("Calibratio&n");
    button.show();
    QSignalSpy pressed(&button, &PressButton::mousePressed);

    QTest::keyClick(&button, Qt::Key_Space);
    ASSERT_EQ(pressed.count(), 1) << "Space with the focus";
    button.click(); // as a screen reader's press or the mnemonic make it
    ASSERT_EQ(pressed.count(), 2);
    EXPECT_EQ(pressed[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(pressed[1][0].value<Qt::MouseButton>(), Qt::LeftButton);

    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(pressed.count(), 3) << "a mouse click is its press alone";
    QTest::mousePress(&button, Qt::LeftButton); // its release taken elsewhere (a dialog)
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(pressed.count(), 5) << "the next key press is not lost";
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

namespace {

// Counts the paint events a widget gets.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

TEST(SelectionSlider, repaintsOnlyWhenItsHandleMovesOnTheScreen_butAlwaysTakesTheValue) {
    SelectionSlider slider(Qt::Vertical);
    slider.setRange(0, 1000000);
    slider.setValue(500000);
    slider.resize(40, 300);
    slider.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&slider));
    PaintCounter counter;
    slider.installEventFilter(&counter);
    QTest::qWait(50);
    const QImage halfway = slider.grab().toImage();
    counter.paints = 0;

    slider.setValue(500016); // far less than a pixel of this range
    QCoreApplication::processEvents();
    EXPECT_EQ(slider.value(), 500016);
    EXPECT_EQ(counter.paints, 0);

    // Near the start: the handle is drawn there, as a fresh slider draws it.
    slider.setValue(32);
    QCoreApplication::processEvents();
    EXPECT_GE(counter.paints, 1);
    SelectionSlider fresh(Qt::Vertical);
    fresh.setRange(0, 1000000);
    fresh.resize(40, 300);
    fresh.setValue(32);
    EXPECT_NE(slider.grab().toImage(), halfway);
    EXPECT_EQ(slider.grab().toImage(), fresh.grab().toImage());
}
