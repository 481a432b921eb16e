#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/TableWheel.h"

#include <QObject>
#include <QString>

namespace engine {

// What the mouse wheel does; its name is WheelFunctionNames[0].
enum class WheelFunction { Stepper, Table, Frequency, Speed };

// The wheel-function controls of the main window (and of the table window while it is shown).
struct WheelDisplay {
    // The "Scroll" buttons: the function in use, or "No Wheel" (then disabled).
    QString scrollCaption;
    bool scrollEnabled = true;
    // The one checked wheel-function entry.
    WheelFunction checked = WheelFunction::Stepper;
    // "Table" is enabled with the table window, "Frequency" with it and the rig's port open.
    bool tableEntryEnabled = false;
    bool frequencyEntryEnabled = false;
    bool operator==(const WheelDisplay&) const = default;
};

// The mouse wheel: its four functions and the cycle through them. Every window with a wheel
// forwards its wheel events to HandleWheel() (whole notches, see WheelNotches).
//
// "Table" and "Frequency" act through the table window's TableWheel; while there is none, or
// TableWindowShown is not set, the cycle skips them and they do nothing.
class WheelControl : public QObject {
    Q_OBJECT

public:
    // speed: the speed bar the wheel moves (it tells speedScrolled, the speed panel sets it).
    WheelControl(core::ProgramState& state, Engine& engine, const SpeedControl& speed,
                 QObject* parent = nullptr);

    // The table window while it exists; null (the default) for none. The window unsets itself
    // before it is destroyed.
    void setTableWheel(TableWheel* table) { table_ = table; }

    // Start-up: the function names, "Stepper" in use; "No Wheel" when the mouse has none. The
    // wheel tooltip names the version of the toolkit that delivers the wheel events.
    void InitWheelFunctions(bool mouseHasWheel);

    // keep 0 (the "Scroll" buttons): the next function of the cycle Stepper, Table (with the
    // table window), Frequency (with the table window and the rig's port open), Speed. Any
    // other keep only refreshes the displays (windows opened or closed).
    void SelectWheelFunction(int keep);
    // The wheel-function menu entries: the function chosen, as far as the cycle allows it
    // ("Table" without the table window gives "Speed").
    void ChooseWheelFunction(WheelFunction function);

    // A wheel movement of delta notches (negative: away from the user); shift is ShiftHeld
    // while Shift is held. By the function in use:
    // - Stepper: StepBy(delta, shift): a notch away turns one step up (ten with Shift). With
    //   the overlay active the wheel works in the overlay's direction: a notch towards the user
    //   first fills the overlay and then steps up, a notch away empties it and then steps
    //   down.
    // - Table: the next (away) or previous row, turned to.
    // - Frequency: one frequency jump; with Shift the jump size changes by delta.
    // - Speed: the speed scroll bar by |delta| (ten times with Shift): away makes the delay
    //   longer.
    // The turns it starts let events run, so it may be re-entered meanwhile.
    void HandleWheel(int delta, int shift);

    WheelFunction function() const;
    WheelDisplay display() const;

signals:
    // display() changed.
    void displayChanged();
    // The wheel moved the speed scroll bar to value: the speed panel sets it.
    void speedScrolled(core::Long value);
    // With BothSteppersPin6: the webcam turning window, when active, shows its second picture
    // for a notch away from the user (true) and its first for one towards the user.
    void webcamPictureShown(bool secondPicture);

private:
    bool tableShown() const;
    void wheelStepper(int delta, int shift);
    void wheelSpeed(int delta, int shift);

    core::ProgramState& state_;
    Engine& engine_;
    const SpeedControl& speed_;
    TableWheel* table_ = nullptr;
};

} // namespace engine
