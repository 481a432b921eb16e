#include "core/ProgramState.h"

namespace core {

bool StepperProfile::Relabel(Long counter, Long overlayPosition) {
    const std::int64_t place = PhasePosition() - counter - overlayPosition;
    const Long before = PhaseOffset;
    PhaseOffset = static_cast<Long>(((place % 4) + 4) % 4);
    StepCounter = counter;
    OverlayPosition = overlayPosition;
    return PhaseOffset != before;
}

StepperProfile DefaultStepperProfile(int stepper) {
    StepperProfile profile;
    if (stepper == 1) {
        profile.PulsTime = 5;
        profile.CalibrationSteps = 15;
    }
    return profile;
}

ProgramState::ProgramState()
    : StepperProfile(DefaultStepperProfile(0)), StoredProfiles{DefaultStepperProfile(0),
                                                               DefaultStepperProfile(1)} {}

void ProgramState::LoadStepperProfile() {
    working() = selectedProfile();
    AppliedTableLimits.reset();
}

void ProgramState::StoreStepperProfile() {
    const StepperProfile own = selectedProfile();
    StepperProfile& stored = selectedProfile();
    stored = working();
    if (const auto& table = AppliedTableLimits) {
        // A limit typed in meanwhile is the user's and is stored.
        if (MinPosition == table->MinPosition)
            stored.MinPosition = own.MinPosition;
        if (MaxPosition == table->MaxPosition)
            stored.MaxPosition = own.MaxPosition;
        if (StepsPer360 == table->StepsPer360)
            stored.StepsPer360 = own.StepsPer360;
    }
}

} // namespace core
