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
    // Any mouse button pressed on the enabled button; a left click still emits clicked(). A
    // click without the mouse (Space, the mnemonic, a screen reader's press) reports a left
    // press, once, when the click is made.
    void mousePressed(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // While the mouse's release makes its click, which was reported at the press.
    bool releasing_ = false;
};

} // namespace mainwindow
