#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "panel/MainFields.h"
#include "panel/SpeedPanel.h"
#include "panel/WindowModes.h"
#include "platform/Platform.h"

#include <QObject>

namespace panel {

// The main window's turning commands: the goto fields GotoStep and GotoDegrees, the limit turns,
// the single steps, the stop button and the drag bar. Every command that turns
// ends with the key preview on. GotoStepValue follows GotoStep.
class TurnCommands : public QObject {
    Q_OBJECT

public:
    TurnCommands(core::ProgramState& state, platform::Platform& platform, engine::Engine& engine,
                 SpeedPanel& speed, WindowModes& modes, MainFields& fields,
                 QObject* parent = nullptr);

    // cmdGotoStep: to GotoStep rounded (halves to even), rewritten so, with GotoDegrees showing its
    // degrees; an empty field only beeps.
    void GotoStepClicked();
    // cmdGotoDegrees: to the step nearest GotoDegrees, shown in GotoStep; an empty field gets
    // "0°" and a beep.
    void GotoDegreesClicked();
    // cmdMaxCw / cmdMinCcw: to the limit; at the limit a beep and the tooltip says so.
    void MaxTurnClicked();
    void MinTurnClicked();
    // cmdCw / cmdCcw: one step up / down at the fastest speed.
    void StepUpClicked();
    void StepDownClicked();
    // A mouse button went down on cmdStoppen: left stops, right also measures the PC speed.
    void StopPressed(Qt::MouseButton button);
    // The drag bar let go, or its track clicked, at value: turns there.
    void DragBarReleased(core::Long value);

    // The limit buttons' tooltips for the limits in force.
    void ShowLimitToolTips();
    // GotoStep and GotoDegrees for GotoStepValue (start-up).
    void ShowGotoFields();
    // A field typed into: an edit of GotoStep becomes GotoStepValue.
    void FieldEdited(EntryField field);

signals:
    void maxToolTipChanged(const QString& text);
    void minToolTipChanged(const QString& text);
    // The turning keys of the main window (LockLoopKeys).
    void loopKeysEnabled(bool enabled);
    // A drag-bar turn: the bar marks the stretch it covers, its thumb stays at the counter and
    // it is disabled until dragTurnEnded().
    void dragTurnStarted(core::Long selectionStart, core::Long selectionLength,
                         const QString& toolTip);
    void dragTurnEnded();

private:
    void gotoTarget(core::Long target);
    void turnToLimit(bool up);
    void showGotoStep(core::Long step);

    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    SpeedPanel& speed_;
    WindowModes& modes_;
    MainFields& fields_;
};

} // namespace panel
