#pragma once

#include "core/ProgramState.h"

// What the table's editing needs of the stepping engine and of the rig. The defaults do
// nothing, so the table works on its own; the application supplies the real ones.
namespace table {

class EngineLink {
public:
    virtual ~EngineLink() = default;
    // Ends any turn in progress (the rig's following halts, as at a stop), then turns to target
    // (steps) within the limits; returns when the turn has ended.
    virtual void TurnTo(core::Long /*target*/) {}
    // MinPosition, MaxPosition or StepsPer360 of the working profile changed: recompute what
    // depends on them and show the new values.
    virtual void StepperValuesChanged() {}
};

class RigLink {
public:
    virtual ~RigLink() = default;
    // The serial port open for the rig (1..4), 0 while closed.
    virtual core::Long CatComPort() const { return 0; }
    // Sends a frequency in kHz to the rig.
    virtual void SetRigFrequency(core::Single /*kHz*/) {}
    // cmdLock: locked, the rig's frequency turns the stepper.
    virtual void SetLocked(bool /*locked*/) {}
};

} // namespace table
