#pragma once

#include "core/ProgramState.h"
#include "engine/TableWheel.h"
#include "engine/TurnRequest.h"

#include <QString>

namespace engine {
class Engine;
}
namespace platform {
class Platform;
}
namespace table {
class TableEditor;
class TableViewModel;
} // namespace table

namespace tuning {

class RigTuning;

// The table window's frequency and row commands on automatic tuning, and the wheel's table
// functions: frequency steps and the jump, turns to a typed frequency or a row (through the rig
// while the port is open), the counter and the table's offset at the rig's frequency.
class TableCommands : public engine::TableWheel {
public:
    static constexpr int JumpMinimum = 1; // CatScrollSetting's range, kHz
    static constexpr int JumpMaximum = 500;

    // Works the table through editor and view, turns through engine, and asks tuning for the
    // rig and its following.
    TableCommands(RigTuning& tuning, core::ProgramState& state, platform::Platform& platform,
                  engine::Engine& engine, table::TableEditor& editor, table::TableViewModel& view)
        : tuning_(tuning), state_(state), platform_(platform), engine_(engine), editor_(editor),
          view_(view) {}

    // --- frequency ---
    // n steps of CatScrollSetting kHz (0 counts as 1).
    void FrequencyUp(int n);
    void FrequencyDown(int n);
    // HScroll1.
    void JumpScrolled(int kHz);
    bool jumpLabelRed() const { return jumpRed_; }

    // --- turning ---
    // cmdTurnTo: to the frequency in the input box (through the rig while the port is open).
    // A web client's turn has origin Network.
    // detail: the turn's words for the move log.
    void TurnToClicked(engine::TurnOrigin origin = engine::TurnOrigin::Window,
                       const QString& detail = {});
    // Enter in the input box: the turn, and with the port open one poll.
    void InputEntered();
    // A list row pressed (index = row - 1): selected; without a port the stepper turns to it.
    void RowClicked(int index);
    // The mouse released on a row: with the port open the rig is sent its frequency.
    void RowReleased(int index);
    // Up (-1) / Down (+1) in the list: the neighbouring row, within the rows.
    void RowStepped(int offset);
    // mnuLoopNaar for data row `row` (0: none chosen, nothing happens).
    // The move log says "table row 7074 kHz", after asker when given ("web 192.168.1.20").
    void TurnToRow(int row, engine::TurnOrigin origin = engine::TurnOrigin::Window,
                   const QString& asker = {});
    // mnuSetToInterpol: the counter set to the value label's position without turning; only
    // while unlocked and the label holds a position within the limits.
    void SetCounterToInterpol();
    bool setToInterpolEnabled() const;

    // --- the table's offset at the rig's frequency ---
    // mnuStepperOffset.
    void StepperOffsetClicked();
    // Drift: the hand correction at the rig's frequency becomes the table's offset; a refusal
    // is told. retuneEnabled: a reading lies within the table.
    void RetuneHereClicked();
    // The refusal, empty when done (the web's Retune here, which has nobody to show it to).
    QString RetuneHere();
    bool retuneEnabled() const;
    void OffsetZeroClicked();
    // The offset holds only within the amateur band of the rig's frequency, or everywhere.
    void OffsetBandOnlyClicked(bool on);

    // engine::TableWheel
    bool rigPortOpen() const override;
    bool selectRowBy(int offset) override;
    void turnToSelectedRow() override;
    void changeFrequencyJump(int delta) override;
    void jumpFrequency(bool up) override;
    void resetJumpLabel() override;

private:
    void turnToFrequency(core::Single x, engine::TurnOrigin origin, const QString& detail);
    // "table row 7074 kHz": a turn to data row row in the move log.
    QString rowDetail(int row) const;
    void frequencyStep(int n, bool up);
    void changed();

    RigTuning& tuning_;
    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    table::TableEditor& editor_;
    table::TableViewModel& view_;
    bool jumpRed_ = false;
};

} // namespace tuning
