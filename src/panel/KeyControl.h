#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "panel/SpeedPanel.h"
#include "platform/Platform.h"

#include <QObject>
#include <functional>

namespace panel {

// The keyboard commands of the main window and the pelorus windows, which forward their key
// presses here (after their own keys): turning by steps, by 90 degrees and to the limits,
// speed, stop, PC-speed calibration and Alt+F4.
class KeyControl : public QObject {
    Q_OBJECT

public:
    KeyControl(core::ProgramState& state, platform::Platform& platform, engine::Engine& engine,
               SpeedPanel& speed, QObject* parent = nullptr);

    // keyCode is a virtual key code and shift a modifier mask (see KeyCodes.h). Esc, Space and
    // any Alt combination but Alt+F4 stop; keys without a command do nothing. The turns it
    // starts let events run, so it may be re-entered meanwhile.
    void HandleKey(int keyCode, int shift);
    // The "&Key Info" entry: the list of keys in an information box.
    void ShowKeyInfo();

signals:
    // Alt+F4: the program's exit path.
    void exitRequested();

private:
    // The turn a key starts; empty for keys that start none.
    std::function<void()> turnOfKey(int keyCode);
    void turnBy90Degrees(int sign);
    void turnToLimit(core::Long limit);
    void changeCustomDelay(core::Long byMs);

    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    SpeedPanel& speed_;
};

} // namespace panel
