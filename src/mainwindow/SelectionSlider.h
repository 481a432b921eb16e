#pragma once

#include <QRect>
#include <QSlider>

namespace mainwindow {

// A slider that can mark a stretch of its range beside the groove: the drag bar marks the
// stretch between the counter and the target while a turn runs. It repaints only when its
// handle or mark moves on the screen: a turn sets a new value at screen rate, mostly less
// than a pixel's worth. A value a screen reader sets is told as valueSetWithoutHand(), since
// no release of a key or the mouse follows it.
class SelectionSlider : public QSlider {
    Q_OBJECT
public:
    explicit SelectionSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Marks start .. start + length (in slider values); a length of 0 clears the mark.
    void setSelectedRange(int start, int length);
    void clearSelectedRange() { setSelectedRange(0, 0); }
    int selectionStart() const { return selectionStart_; }
    int selectionLength() const { return selectionLength_; }

signals:
    void valueSetWithoutHand(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void sliderChange(SliderChange change) override;

private:
    // Where the handle and the mark stand on the screen.
    struct Appearance {
        QRect handle;
        QRect mark;
        bool operator==(const Appearance&) const = default;
    };
    Appearance appearance() const;

    int selectionStart_ = 0;
    int selectionLength_ = 0;
    Appearance painted_;
};

} // namespace mainwindow
