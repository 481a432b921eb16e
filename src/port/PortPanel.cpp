#include "port/PortPanel.h"

#include "core/TextRules.h"

namespace port {

PortPanel::PortPanel(core::ProgramState& state, CoilOutput& coil, PowerControl& power,
                     platform::Platform& platform)
    : state_(state), coil_(coil), power_(power), platform_(platform) {}

QString PortPanel::portButtonCaption() const {
    return QStringLiteral("Lpt = ") + core::PlainNumberText(state_.LptAddress);
}

QString PortPanel::portStatusText() const {
    return portButtonCaption() + QStringLiteral(" (") + coil_.lpt().backendName() +
           QLatin1Char(')');
}

void PortPanel::CycleLptPort() {
    coil_.ClearAllPorts();
    portPresses_ = portPresses_ % 3 + 1;
    static constexpr core::Long Addresses[] = {888, 956, 632};
    state_.LptAddress = Addresses[portPresses_ - 1];
    state_.LptStatusAddress = state_.LptAddress + 1;
    emit changed();
}

bool PortPanel::WalkOutputPins(const std::function<void()>& captionChanged) {
    if (walking_)
        return false;
    walking_ = true;
    abortWalk_ = false;
    auto show = [&](const QString& caption) {
        lptTestCaption_ = caption;
        emit changed();
        if (captionChanged)
            captionChanged();
    };
    // Waits a second; false when the walk was aborted meanwhile.
    auto hold = [&] {
        platform_.waitMs(1000);
        if (!abortWalk_)
            return true;
        walking_ = abortWalk_ = false;
        show(QStringLiteral("LptTest"));
        return false;
    };
    show(QStringLiteral("Works now !"));
    // A test of the pins: the bytes go to the register as they are, untranslated.
    coil_.WriteRaw(0);
    for (int i = 0; i < 8; ++i) {
        coil_.WriteRaw(static_cast<std::uint8_t>(1u << i));
        show(QStringLiteral("Pin ") + core::NumberText(i + 2));
        platform_.beep();
        if (!hold())
            return false;
    }
    platform_.beep();
    platform_.beep();
    coil_.WriteRaw(255);
    show(QStringLiteral("All"));
    if (!hold())
        return false;
    platform_.beep();
    coil_.WriteData(0); // every driver off, whatever the level that switches it off
    // Back on the position's code: the motor was pulled about by the pins, the counter was not.
    const bool autoPower = power_.autoPowerTicked();
    coil_.WriteData(coil_.PositionCode() | state_.LptExtraBits |
                    (autoPower ? state_.StepperBits : 0));
    if (!autoPower)
        power_.DriversWentOff();
    walking_ = false;
    show(QStringLiteral("LptTest"));
    return true;
}

void PortPanel::ToggleLpt89() {
    const core::Long kept = coil_.ReadData() & ~state_.LptExtraBits;
    state_.LptExtraBits = lpt89Checked() ? 0 : Lpt89Bits;
    coil_.WriteData(kept | state_.LptExtraBits);
    emit changed();
}

} // namespace port
