#include "display/LptOutputTest.h"

namespace display {
namespace {
constexpr int FirstExtraBox = 4; // pin 6

// A hand-edited LptAddress beyond the I/O range reaches no port, never another one.
bool IsIoAddress(core::Long address) {
    return address >= 0 && address <= 0xFFFF;
}
} // namespace

LptOutputTest::LptOutputTest(core::ProgramState& state, platform::LptPort& lpt,
                             platform::Platform& platform, const port::StepperOutputs& outputs,
                             const port::InhibitSettings& inhibit)
    : state_(state), lpt_(lpt), platform_(platform), outputs_(outputs), inhibit_(inhibit) {}

void LptOutputTest::Open() {
    SelectPort(state_.LptAddress);
}

void LptOutputTest::SelectPort(core::Long address) {
    outPort_ = address;
    boxes_ = PinBoxesOf(IsIoAddress(address) ? lpt_.Inp32(static_cast<std::uint16_t>(address)) : 0);
}

void LptOutputTest::BoxClicked(int box, bool ticked) {
    if (box < 0 || box >= static_cast<int>(boxes_.size()))
        return;
    boxes_[static_cast<std::size_t>(box)] = ticked;
    const std::uint8_t value = PinBoxesValue(boxes_);
    if (IsIoAddress(outPort_))
        lpt_.Out32(static_cast<std::uint16_t>(outPort_), value);
    if (box >= FirstExtraBox) {
        state_.LptExtraBits = ExtraBitsOf(value);
        platform_.beep();
    }
}

} // namespace display
