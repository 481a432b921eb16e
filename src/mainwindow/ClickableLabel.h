#pragma once

#include <QLabel>

namespace mainwindow {

// A label that reports mouse presses, for the labels and pictures that act as buttons
// (the clock, the PC-speed and input labels, the slider label, the webcam picture). A screen
// reader sees its text (or its accessible name) and can press it.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(const QString& text = {}, QWidget* parent = nullptr);

    // A left click without the mouse: a screen reader's press, Enter where it has the focus.
    void press();

signals:
    // A mouse button went down on the label (the window's "click" is the press).
    void clicked(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace mainwindow
