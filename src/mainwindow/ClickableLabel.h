#pragma once

#include <QLabel>

namespace mainwindow {

// A label that reports mouse presses, for the labels and pictures that act as buttons
// (the clock, the PC-speed and input labels, the slider label, the webcam picture).
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(const QString& text = {}, QWidget* parent = nullptr);

signals:
    // A mouse button went down on the label (the window's "click" is the press).
    void clicked(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace mainwindow
