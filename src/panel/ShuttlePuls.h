#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "panel/MainFields.h"
#include "panel/StepperParams.h"
#include "panel/WindowModes.h"
#include "platform/Platform.h"

#include <QObject>

namespace panel {

// Shuttle (back and forth between two positions) and pulsed turning (a fixed number of steps,
// a pause, again, reversing at the limits): endless loops on the GUI thread whose state is the
// caption of their button. StopTurningAndFollowing(), the Esc key or the button's second click end
// them.
class ShuttlePuls : public QObject {
    Q_OBJECT

public:
    ShuttlePuls(core::ProgramState& state, platform::Platform& platform, engine::Engine& engine,
                WindowModes& modes, MainFields& fields, StepperParams& params,
                QObject* parent = nullptr);

    // cmdShuttle: starts shuttling between ShuttleMin and ShuttleMax, or stops it. Returns
    // when it ends.
    void ShuttleClicked();
    // cmdPulsloop: starts pulsed turning (PulsSteps a pulse, PulsPause between), or stops it.
    void PulsClicked();
    // The panels as the running mode needs them.
    void LockPulsShuttle();
    // A field typed into: a change of the shuttle range stops every turn.
    void FieldEdited(EntryField field);

    // A size in degrees for lblPulsShuttle: " 18 °", or "??? °" without degrees.
    static QString DegreeText(const core::ProgramState& state, std::int64_t steps);

signals:
    // lblTime: "Time 12:34:56".
    void timeChanged(const QString& text);
    // lblPulsShuttle.
    void pulsShuttleTextChanged(const QString& text);
    // The goto, single-step, limit and calibration buttons and the drag bar (Button()).
    void turnButtonsEnabled(bool enabled);
    void modeButtonsEnabled(bool shuttle, bool puls);

private:
    void Shuttle();
    void PulsLoop();
    // Turns to target; returns false when the mode was switched off meanwhile or the turn was
    // refused (which ends the mode).
    bool turnWhileOn(core::Long target, bool engine::TurningModes::*mode);
    void showTime();
    void resetShuttleFields();

    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    WindowModes& modes_;
    MainFields& fields_;
    StepperParams& params_;
};

} // namespace panel
