#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "port/CoilOutput.h"
#include "port/PowerControl.h"

#include <QObject>
#include <QString>
#include <functional>

namespace port {

// The port commands of the main window's parameter panel and menu: choosing the port address,
// walking a high level over every output pin, and the +5 V offset on pins 8 and 9. Holds the
// captions the window shows, and tells each change of them (changed()). Callers stop any turn
// first.
class PortPanel : public QObject {
    Q_OBJECT

public:
    PortPanel(core::ProgramState& state, CoilOutput& coil, PowerControl& power,
              platform::Platform& platform);

    // The port button: "Lpt = 888".
    QString portButtonCaption() const;
    // The status bar: the port and how it is reached, "Lpt = 888 (simulated)".
    QString portStatusText() const;
    // The pin-test button: "LptTest", or while walking "Works now !", "Pin  2" ... "All".
    const QString& lptTestCaption() const { return lptTestCaption_; }
    // True while WalkOutputPins() runs; the port button is disabled then.
    bool walking() const { return walking_; }
    // The menu check of "&Offset Lpt 89 +5V".
    bool lpt89Checked() const { return state_.LptExtraBits == Lpt89Bits; }

    // Clears all ports and selects the next standard port: the first press after start
    // selects 888, then 956, 632, 888, ...
    void CycleLptPort();
    // Raises each data pin for a second (pins 2 to 9, a beep each), then all of them, then
    // leaves the extra bits on, and the driver enable with autopower (with manual power the
    // drivers stay off and "Fieldpower" shows it). captionChanged
    // runs whenever lptTestCaption() changes, after changed(). Waits let events run; the caller
    // disables the window and its timers meanwhile. A call while walking does nothing. Returns
    // false when AbortWalk() ended it: the register is then left as the aborting code wrote it.
    bool WalkOutputPins(const std::function<void()>& captionChanged);
    // Ends a running walk at its next wait (a stop, or the program ending meanwhile).
    void AbortWalk() { abortWalk_ = walking_; }
    // Toggles the +5 V offset on pins 8 and 9, keeping the other bits on the register.
    void ToggleLpt89();

signals:
    // The port button's caption, the pin-test button's caption or state, the offset's check or
    // the status bar changed.
    void changed();

private:
    core::ProgramState& state_;
    CoilOutput& coil_;
    PowerControl& power_;
    platform::Platform& platform_;
    int portPresses_ = 0;
    QString lptTestCaption_ = QStringLiteral("LptTest");
    bool walking_ = false;
    bool abortWalk_ = false;
};

} // namespace port
