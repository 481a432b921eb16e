#include "core/ProgramState.h"

namespace core {

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
}

void ProgramState::StoreStepperProfile() {
    selectedProfile() = working();
}

} // namespace core
