#include "mainwindow/SelectionSlider.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

namespace mainwindow {

namespace {

// The slider's value as a screen reader reads and sets it. A value set is told from the event
// loop, so the reader's call returns before the turn it starts.
class AccessibleSelectionSlider : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleSelectionSlider(SelectionSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return QString::number(slider()->value());
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return slider()->value(); }
    QVariant maximumValue() const override { return slider()->maximum(); }
    QVariant minimumValue() const override { return slider()->minimum(); }
    QVariant minimumStepSize() const override { return slider()->singleStep(); }
    void setCurrentValue(const QVariant& value) override {
        SelectionSlider* bar = slider();
        if (!bar->isEnabled())
            return;
        bar->setValue(value.toInt());
        QPointer<SelectionSlider> told(bar);
        QMetaObject::invokeMethod(
            bar,
            [told] {
                if (told)
                    emit told->valueSetWithoutHand(told->value());
            },
            Qt::QueuedConnection);
    }

private:
    SelectionSlider* slider() const { return static_cast<SelectionSlider*>(widget()); }
};

QAccessibleInterface* MakeAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(SelectionSlider::staticMetaObject.className()))
        return new AccessibleSelectionSlider(static_cast<SelectionSlider*>(object));
    return nullptr;
}

} // namespace

SelectionSlider::SelectionSlider(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(MakeAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
}

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
