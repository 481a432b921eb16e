#pragma once

#include "core/ProgramState.h"

// What the table needs of the stepping engine and of the rig link. The defaults do nothing, so
// the table works on its own; the engine and rig polling supply their own implementations.
namespace table {

class EngineLink {
public:
    virtual ~EngineLink() = default;
    // Ends any turn in progress.
    virtual void StopTurning() {}
    // Turns to the state's TargetPosition within the limits; returns when the turn has ended.
    virtual void TurnTo() {}
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
    // 0 closes the rig's port (which stops automatic tuning), 1..4 opens that port.
    virtual void ComPortOpen(core::Long /*port*/) {}
    // Holds and releases the rig polling timer.
    virtual void PausePolling() {}
    virtual void ResumePolling() {}
};

} // namespace table
