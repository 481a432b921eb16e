#include "core/StepperSwitch.h"

namespace core {

void SwitchStepper(ProgramState& state, Long optionStepper, StepperSwitchSeam& seam) {
    seam.StopTurning();
    state.StoreStepperProfile(seam.GotoFieldText());
    const Long leaving = state.SelectedStepper == 1 ? 1 : 0;
    state.LastCoilCode[leaving] = seam.CurrentCoilBits();

    const Long chosen = optionStepper == 1 ? 1 : 0;
    if (chosen == leaving) {
        seam.ShowStepperOption(chosen);
        return;
    }
    state.SelectedStepper = chosen;
    state.TableWindowShown = false;
    seam.InitMain(state.WebcamWindowOpen);
    Long value = state.LastCoilCode[chosen];
    if (state.WebcamWindowOpen)
        value += state.StepperBits + state.LptExtraBits;
    seam.WriteDataRegister(value);
}

} // namespace core
