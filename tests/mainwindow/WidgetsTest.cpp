#include "mainwindow/EntryField.h"
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

TEST(EntryField, editableWhite_lockedCyanAndReadOnly) {
    EntryField field;
    field.setLocked(true);
    EXPECT_TRUE(field.isReadOnly());
    EXPECT_EQ(field.palette().color(QPalette::Base), QColor(0x00, 0xFF, 0xFF));
    field.show();
    QTest::keyClicks(&field, "12");
    EXPECT_EQ(field.text(), "") << "a locked field takes no typing";

    field.setLocked(false);
    EXPECT_FALSE(field.isReadOnly());
    EXPECT_EQ(field.palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xFF));
}

TEST(EntryField, reportsDoubleClickAndFocus) {
    QWidget window;
    auto* other = new QLineEdit(&window);
    auto* field = new EntryField(&window);
    field->move(0, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSignalSpy entered(field, &EntryField::entered);
    QSignalSpy doubleClicked(field, &EntryField::doubleClicked);

    other->setFocus();
    field->setFocus();
    EXPECT_EQ(entered.count(), 1);
    QTest::mouseDClick(field, Qt::LeftButton);
    EXPECT_EQ(doubleClicked.count(), 1);
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
