#pragma once

#include "engine/WheelNotches.h"

#include <QObject>
#include <functional>

class QWidget;

namespace display {

// Hands the key presses and wheel turns of a window and its controls to the program's keyboard
// and wheel commands: a key as its virtual key code and modifier mask (Tab still moves the
// focus, Enter presses the focused button), the wheel in whole notches with its shift argument. The
// handlers may turn the stepper and serve events meanwhile.
class InputForwarder : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(int code, int shift)>;

    // Watches the window and every control it has now but its pop-up menus. An empty handler
    // leaves that input to the controls.
    InputForwarder(QWidget& window, Handler onKey, Handler onWheel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler onKey_;
    Handler onWheel_;
    engine::WheelNotches notches_;
};

} // namespace display
