#pragma once

#include <QPushButton>

namespace mainwindow {

// A push button that also says which mouse button went down on it, for the commands that
// do one thing on a left press and another on a right press (stop, calibration run).
class PressButton : public QPushButton {
    Q_OBJECT
public:
    explicit PressButton(const QString& text = {}, QWidget* parent = nullptr);

signals:
    // Any mouse button pressed on the enabled button; a left click still emits clicked().
    void mousePressed(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace mainwindow
