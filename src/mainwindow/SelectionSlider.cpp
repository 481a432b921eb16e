#include "mainwindow/SelectionSlider.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

namespace mainwindow {

SelectionSlider::SelectionSlider(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent) {}

void SelectionSlider::setSelectedRange(int start, int length) {
    selectionStart_ = start;
    selectionLength_ = std::max(0, length);
    if (appearance() != painted_)
        update();
}

void SelectionSlider::sliderChange(SliderChange change) {
    if (change == SliderValueChange && appearance() == painted_)
        return;
    QSlider::sliderChange(change);
}

SelectionSlider::Appearance SelectionSlider::appearance() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    if (selectionLength_ == 0 || maximum() <= minimum())
        return {handle, {}};

    const bool vertical = orientation() == Qt::Vertical;
    const int handleLength = vertical ? handle.height() : handle.width();
    const int span = (vertical ? groove.height() : groove.width()) - handleLength;
    const int origin = (vertical ? groove.top() : groove.left()) + handleLength / 2;
    const auto position = [&](int value) {
        value = std::clamp(value, minimum(), maximum());
        return origin + QStyle::sliderPositionFromValue(minimum(), maximum(), value, span,
                                                        option.upsideDown);
    };
    const int a = position(selectionStart_);
    const int b = position(selectionStart_ + selectionLength_);
    const int from = std::min(a, b);
    const int to = std::max(a, b);
    const QRect mark = vertical ? QRect(groove.right() + 2, from, 3, to - from + 1)
                                : QRect(from, groove.bottom() + 2, to - from + 1, 3);
    return {handle, mark};
}

void SelectionSlider::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    painted_ = appearance();
    if (painted_.mark.isEmpty())
        return;
    QPainter painter(this);
    painter.fillRect(painted_.mark, palette().color(QPalette::Highlight));
}

} // namespace mainwindow
