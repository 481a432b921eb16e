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
    update();
}

void SelectionSlider::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (selectionLength_ == 0 || maximum() <= minimum())
        return;

    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
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

    QPainter painter(this);
    const QColor mark = palette().color(QPalette::Highlight);
    if (vertical)
        painter.fillRect(QRect(groove.right() + 2, from, 3, to - from + 1), mark);
    else
        painter.fillRect(QRect(from, groove.bottom() + 2, to - from + 1, 3), mark);
}

} // namespace mainwindow
