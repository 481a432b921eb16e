#include "core/StepperSwitch.h"

#include <gtest/gtest.h>
#include <vector>

using namespace core;

namespace {

// Stands in for the engine, the port and the main window.
struct RecordingSeam : StepperSwitchSeam {
    ProgramState& state;
    QString gotoText = "100";
    Long coilBits = 0;
    int stops = 0;
    std::vector<bool> initMains;
    std::vector<Long> writes;
    std::vector<Long> shownOptions;

    explicit RecordingSeam(ProgramState& s) : state(s) {}
    void StopTurning() override { ++stops; }
    QString GotoFieldText() const override { return gotoText; }
    Long CurrentCoilBits() override { return coilBits; }
    void InitMain(bool quiet) override {
        initMains.push_back(quiet);
        state.LoadStepperProfile();
        state.StepperBits = state.SelectedStepper == 0 ? 4 : 8;
    }
    void WriteDataRegister(Long value) override { writes.push_back(value); }
    void ShowStepperOption(Long stepper) override { shownOptions.push_back(stepper); }
};

} // namespace

TEST(SwitchStepper, toStepperTwoAndBack_restoresStepperOneExactly) {
    ProgramState state;
    state.LoadStepperProfile();
    state.StepCounter = 123;
    state.MinPosition = -20;
    state.MaxPosition = 777;
    state.CustomDelayMs = 40;
    state.FastestDelayMs = 3;
    state.SlowestDelayMs = 2000;
    state.OverlayPosition = 4;
    RecordingSeam seam(state);
    seam.gotoText = "12.5 steps";
    seam.coilBits = 3;

    SwitchStepper(state, 1, seam);
    EXPECT_EQ(state.SelectedStepper, 1);
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_EQ(state.MaxPosition, 500);
    EXPECT_EQ(state.StoredProfiles[0].GotoStepValue, 12);
    EXPECT_EQ(seam.writes, std::vector<Long>{0}); // stepper 2 left nothing on the port yet

    state.StepCounter = 9;
    seam.gotoText = "300";
    seam.coilBits = 1;
    SwitchStepper(state, 0, seam);
    EXPECT_EQ(state.SelectedStepper, 0);
    EXPECT_EQ(state.StepCounter, 123);
    EXPECT_EQ(state.MinPosition, -20);
    EXPECT_EQ(state.MaxPosition, 777);
    EXPECT_EQ(state.CustomDelayMs, 40);
    EXPECT_EQ(state.FastestDelayMs, 3);
    EXPECT_EQ(state.SlowestDelayMs, 2000);
    EXPECT_EQ(state.OverlayPosition, 4);
    EXPECT_EQ(state.GotoStepValue, 12);
    EXPECT_EQ(state.StoredProfiles[1].StepCounter, 9);
    EXPECT_EQ(state.StoredProfiles[1].GotoStepValue, 300);
    EXPECT_EQ(seam.writes, (std::vector<Long>{0, 3})); // stepper 1's own coil code returns
    EXPECT_EQ(seam.stops, 2);
    EXPECT_EQ(seam.initMains, (std::vector<bool>{false, false}));
}

TEST(SwitchStepper, withTheWebcamWindowOpen_initialisesQuietlyAndPowersTheNewStepper) {
    ProgramState state;
    state.LoadStepperProfile();
    state.WebcamWindowOpen = true;
    state.LptExtraBits = 192;
    state.LastCoilCode[1] = 2;
    RecordingSeam seam(state);
    SwitchStepper(state, 1, seam);
    EXPECT_EQ(seam.initMains, std::vector<bool>{true});
    EXPECT_EQ(seam.writes, std::vector<Long>{2 + 8 + 192});
}

TEST(SwitchStepper, theSameStepperOnlyRefreshesTheOptionButtons) {
    ProgramState state;
    state.LoadStepperProfile();
    state.TableWindowShown = true;
    RecordingSeam seam(state);
    SwitchStepper(state, 0, seam);
    EXPECT_TRUE(seam.initMains.empty());
    EXPECT_TRUE(seam.writes.empty());
    EXPECT_EQ(seam.shownOptions, std::vector<Long>{0});
    EXPECT_TRUE(state.TableWindowShown);
}

TEST(StepperProfile, aCounterAboveTheLimitIsKeptAsLoaded) {
    ProgramState state;
    state.StoredProfiles[0].StepCounter = 900;
    state.LoadStepperProfile();
    EXPECT_EQ(state.StepCounter, 900);
    EXPECT_EQ(state.MaxPosition, 500);
}
