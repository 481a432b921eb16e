#include "mainwindow/ClickableLabel.h"

#include <QMouseEvent>

namespace mainwindow {

ClickableLabel::ClickableLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit clicked(event->button());
}

} // namespace mainwindow
