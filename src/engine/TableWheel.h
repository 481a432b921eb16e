#pragma once

namespace engine {

// What the mouse wheel's "Table" and "Frequency" functions need of the frequency table and the
// rig link, whose logic implements it while the table window exists; the window shows the
// wheel function from WheelControl::displayChanged(). WheelControl uses it only while
// TableWindowShown; with none set there is no table window, and those functions are skipped as for
// a closed one.
class TableWheel {
public:
    virtual ~TableWheel() = default;

    // The rig's serial port is open (CatComPort >= 1).
    virtual bool rigPortOpen() const = 0;

    // "Table": selects the list row offset rows from the selected one (+1 the next row) and
    // shows its frequency in the frequency field; false, and nothing changed, when there is
    // no such row.
    virtual bool selectRowBy(int offset) = 0;
    // "Table": turns to the selected row, through the rig (its frequency sent, then the turn)
    // while the rig's port is open, directly otherwise. Called after the engine's stop.
    virtual void turnToSelectedRow() = 0;

    // "Frequency" with Shift: the frequency-jump scroll bar to CatScrollSetting + delta when
    // that lies within its range; the jump label turns red (255).
    virtual void changeFrequencyJump(int delta) = 0;
    // "Frequency": one frequency jump up (a notch away from the user) or down.
    virtual void jumpFrequency(bool up) = 0;
    // After every wheel event but a Shift jump change: the jump label back to white.
    virtual void resetJumpLabel() = 0;
};

} // namespace engine
