#pragma once

#include <QSlider>

namespace mainwindow {

// A slider that can mark a stretch of its range beside the groove: the drag bar marks the
// stretch between the counter and the target while a turn runs.
class SelectionSlider : public QSlider {
    Q_OBJECT
public:
    explicit SelectionSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Marks start .. start + length (in slider values); a length of 0 clears the mark.
    void setSelectedRange(int start, int length);
    void clearSelectedRange() { setSelectedRange(0, 0); }
    int selectionStart() const { return selectionStart_; }
    int selectionLength() const { return selectionLength_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int selectionStart_ = 0;
    int selectionLength_ = 0;
};

} // namespace mainwindow
