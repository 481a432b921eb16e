#include "mainwindow/PressButton.h"

#include <QMouseEvent>

namespace mainwindow {

PressButton::PressButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (!releasing_)
            emit mousePressed(Qt::LeftButton);
    });
}

void PressButton::mousePressEvent(QMouseEvent* event) {
    // The button shows itself pressed before the handler runs, which may turn for a long
    // time while the release arrives.
    const Qt::MouseButton button = event->button();
    QPushButton::mousePressEvent(event);
    event->accept();
    emit mousePressed(button);
}

void PressButton::mouseReleaseEvent(QMouseEvent* event) {
    releasing_ = true;
    QPushButton::mouseReleaseEvent(event);
    releasing_ = false;
}

} // namespace mainwindow
