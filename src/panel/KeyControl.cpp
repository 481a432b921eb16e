#include "panel/KeyControl.h"

#include "core/Degrees.h"
#include "core/VersionTexts.h"
#include "engine/KeyCodes.h"

#include <QStringList>

namespace panel {

using core::Long;

namespace {

int Numpad(int digit) {
    return engine::VirtualKey::Numpad0 + digit;
}

} // namespace

KeyControl::KeyControl(core::ProgramState& state, platform::Platform& platform,
                       engine::Engine& engine, SpeedPanel& speed, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine), speed_(speed) {}

void KeyControl::HandleKey(int keyCode, int shift) {
    if (keyCode == engine::VirtualKey::F4 && shift == engine::AltMask) {
        emit exitRequested();
        return;
    }
    if ((shift & engine::AltMask) || keyCode == engine::VirtualKey::Escape ||
        keyCode == engine::VirtualKey::Space) {
        engine_.StopTurningAndFollowing();
        return;
    }
    if (const std::function<void()> turn = turnOfKey(keyCode)) {
        turn();
        return;
    }
    if (keyCode == 'N') {
        changeCustomDelay(1);
    } else if (keyCode == 'M') {
        changeCustomDelay(-1);
    } else if (keyCode == 'F') {
        speed_.ToggleFastCustom();
    } else if (keyCode == 'C') {
        engine_.StopTurningAndFollowing();
        speed_.CalibratePcSpeed();
    }
}

std::function<void()> KeyControl::turnOfKey(int keyCode) {
    if (keyCode == engine::VirtualKey::PageUp || keyCode == Numpad(3))
        return [this] { turnBy90Degrees(1); };
    if (keyCode == engine::VirtualKey::PageDown || keyCode == Numpad(9))
        return [this] { turnBy90Degrees(-1); };
    if (keyCode == 'L' || keyCode == engine::VirtualKey::Home || keyCode == Numpad(4))
        return [this] { turnToLimit(state_.MinPosition); };
    if (keyCode == 'R' || keyCode == engine::VirtualKey::End || keyCode == Numpad(6))
        return [this] { turnToLimit(state_.MaxPosition); };
    if (keyCode == 'U' || keyCode == engine::VirtualKey::Add || keyCode == Numpad(8))
        return [this] { engine_.StepBy(-1, 0, engine::TurnOrigin::Repeated); };
    if (keyCode == 'D' || keyCode == engine::VirtualKey::Subtract || keyCode == Numpad(2))
        return [this] { engine_.StepBy(1, 0, engine::TurnOrigin::Repeated); };
    return {};
}

void KeyControl::turnToLimit(Long limit) {
    engine_.TurnTo(engine::TurnRequest{limit, engine::TurnOrigin::Repeated}.replacing());
}

void KeyControl::turnBy90Degrees(int sign) {
    // From where the stop leaves the counter; the turn holds it within the limits.
    const std::int64_t steps = core::DegreesToSteps(90, state_.DegreesPerStep);
    engine_.TurnTo(engine::TurnRequest::By(sign * steps, engine::TurnOrigin::Repeated).replacing());
}

void KeyControl::changeCustomDelay(Long byMs) {
    const std::int64_t delay = std::int64_t{state_.CustomDelayMs} + byMs;
    if (delay > state_.SlowestDelayMs || delay < state_.FastestDelayMs)
        return;
    speed_.SpeedScrolled(static_cast<Long>(delay));
}

void KeyControl::ShowKeyInfo() {
    const QStringList lines{
        QStringLiteral("Works only under Main and Pelorus screen."),
        QStringLiteral("Mouse scroll wheel Up Down steps"),
        QStringLiteral("PgUp/PgDn = +/-90 Degrees"),
        QStringLiteral("Num + , Num -, Up and Down step."),
        QStringLiteral("L, R, U en D "),
        QStringLiteral("Space = Break"),
        QStringLiteral("Esc = Stop."),
        QStringLiteral("N, M en F = Slower, Faster and Fast."),
        QStringLiteral("C = PCspeed Calibration."),
        QStringLiteral("Alt + F4 = Exit"),
    };
    platform_.messageBox(lines.join(QStringLiteral("\r\n")), core::MessageTitle(),
                         platform::Icon::Information);
}

} // namespace panel
