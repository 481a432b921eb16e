#include "PanelFixture.h"
#include "core/ConfigFile.h"
#include "panel/ExitPath.h"
#include "panel/MainInit.h"
#include "port/InputPinTable.h"
#include "support/TestFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>

using namespace panel_test;
using panel::ExitChoice;
using panel::StartWindows;

namespace {

// The program's logic without its windows, wired as the application wires it.
struct StartAndExit : HousekeepingFixture {
    QTemporaryDir dir;
    core::ConfigFile config{state, platform, dir.path()};
    panel::MainFields fields;
    panel::TurnCommands turns{state, platform, engine, speedPanel, windowModes, fields};
    panel::OverlayPanel overlay{state, engine, fields};
    engine::WheelControl wheel{state, engine, speedControl};
    panel::MainInit init{{state, platform, engine, speedPanel, windowModes, fields, switches,
                          joystick, housekeeping, turns, overlay, wheel, portCommands, drive}};
    panel::ExitPath exit{state, platform, engine, drive, config};
    std::vector<StartWindows> shown;
    panel::ExitCountdown* question = nullptr;

    StartAndExit() {
        QObject::connect(&exit, &panel::ExitPath::exitStarted, &housekeeping,
                         &panel::Housekeeping::Stop);
        QObject::connect(&init, &panel::MainInit::windowsShown,
                         [this](const StartWindows& w) { shown.push_back(w); });
        QObject::connect(&exit, &panel::ExitPath::parkQuestionOpened,
                         [this](panel::ExitCountdown& countdown) {
                             question = &countdown;
                             countdown.start();
                         });
    }
    QByteArray savedFile() const { return test_support::ReadFile(config.path()); }
    // Writes with the given driver bit, but the one that powers it on.
    long stepsWith(int driverBit) const {
        const auto values = written();
        return std::max<long>(
            std::count_if(values.begin(), values.end(), [&](int v) { return v & driverBit; }) - 1,
            0);
    }
};

} // namespace

TEST_F(StartAndExit, initMainBuildsThePanelsFromTheProfileAndPowersTheSelectedDriver) {
    state.StoredProfiles[0].GotoStepValue = 100;
    state.StoredProfiles[0].PulsTime = 4;
    init.InitMain(false);
    EXPECT_EQ(written(), (std::vector<std::uint8_t>{4})); // autopower on the counter's code
    EXPECT_EQ(fields.text(panel::EntryField::GotoStep), "100");
    EXPECT_EQ(fields.text(panel::EntryField::GotoDegrees), "180 °");
    EXPECT_EQ(fields.text(panel::EntryField::PulsPause), "4 Sec");
    EXPECT_EQ(state.DateText, "5-December-2026");
    EXPECT_TRUE(housekeeping.running());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], StartWindows{});
}

TEST_F(StartAndExit, initMainsFlagRules_pelorusNeedsDegreesTableBeatsTimerMainAsStored) {
    auto& stored = state.StoredProfiles[0];
    stored.StepsPer360 = 0;
    stored.PelorusShown = stored.SmallPelorusShown = true;
    stored.TableWindowShown = stored.TimerWindowShown = true;
    stored.MainShown = false;
    init.InitMain(false);
    EXPECT_FALSE(state.PelorusShown || state.SmallPelorusShown || state.TimerWindowShown);
    EXPECT_EQ(shown.back(), (StartWindows{false, false, false, true, false}));

    stored.TableWindowShown = stored.TimerWindowShown = false; // the main window all the same
    init.InitMain(false);
    EXPECT_TRUE(state.MainShown);
    EXPECT_TRUE(shown.back().main);

    state.WebcamWindowOpen = true; // quiet: nothing shown
    init.InitMain(true);
    EXPECT_EQ(shown.size(), 2u);
}

TEST_F(StartAndExit, exitWithBothSteppersAtTheirLimits_savesAndEndsWithoutTheQuestion) {
    QSignalSpy ended(&exit, &panel::ExitPath::ended);
    state.StepCounter = 0;
    exit.ExitProgram();
    EXPECT_FALSE(question);
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(lpt.data(888), 0);
    EXPECT_TRUE(savedFile().startsWith("\"Version 1.24\""));
    exit.ExitProgram(); // once only
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(StartAndExit, nothingMovesWhileTheParkQuestionIsOpen_thenBothSteppersParkAtTheSixthTick) {
    init.InitMain(false);
    state.RemoteTurning = true;
    engine.TurnTo({30, engine::TurnOrigin::Window});
    state.StoredProfiles[1].StepCounter = 40;
    exit.ExitProgram();
    ASSERT_TRUE(question);
    clearTrace();
    setInputs(port::RemoteCwInput); // a remote button held while the question is open
    platform.advance(5000);
    EXPECT_EQ(question->countdownText(), "Autoreset (1) Sec");
    EXPECT_EQ(state.StepCounter, 30);
    EXPECT_TRUE(written().empty());

    platform.advance(1000);
    EXPECT_TRUE(exit.finished());
    EXPECT_EQ(stepsWith(4), 30);
    EXPECT_EQ(stepsWith(8), 40);
    EXPECT_EQ(lpt.data(888), 0);
    EXPECT_TRUE(savedFile().contains("\r\n0,0,500,250,1\r\n0,0,500,250,1\r\n"));
}

TEST_F(StartAndExit, noSavesWhereTheySatAndASignalDuringTheQuestionEndsWithoutParking) {
    state.StepCounter = 25;
    exit.ExitProgram();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->question(), "Reset stepper1 to 0\r\n\r\nReset stepper2 to 0");
    exit.EndProgram();
    EXPECT_TRUE(exit.finished());
    EXPECT_TRUE(savedFile().contains("\r\n25,0,500,250,1\r\n"));
    question->answerYes(); // too late: nothing parks after the end
    EXPECT_EQ(stepsWith(4), 0);
}

TEST_F(StartAndExit, parkingUsesEachSteppersOwnSwitchesAndOverlay) {
    auto& first = state.StoredProfiles[0];
    first.StepCounter = 20;
    first.EndSwitches = true; // its begin switch closes 5 steps early
    onCounter = [this](core::Long counter) {
        if (state.SelectedStepper == 0 && counter == 5 && state.StepperBits == 4)
            setInputs(port::BeginInput);
    };
    auto& second = state.StoredProfiles[1];
    second.StepCounter = 10;
    second.OverlayMenu = second.OverlayOn = true;
    second.OverlayPosition = 3; // given back before the counted steps
    engine.ParkBothSteppers();
    EXPECT_EQ(stepsWith(4), 15);
    EXPECT_EQ(stepsWith(8), 3 + 10 + 1); // the overlay, the counted steps, their power-on
    EXPECT_EQ(first.StepCounter, 0);
    EXPECT_EQ(second.StepCounter, 0);
    EXPECT_EQ(second.OverlayPosition, 0);
}

// The park at exit under the rig's transmit: never a step while it transmits, at most ten
// seconds of waiting in all, and the counters saved where the motors stand.
struct ParkUnderTransmit : StartAndExit {
    int writesUnderTransmit = 0;
    bool keyed = false;
    std::vector<QString> questionTexts;

    ParkUnderTransmit() {
        init.InitMain(false);
        state.StepCounter = 30;
        state.StoredProfiles[1].StepCounter = 40;
        watchedLpt.onWrite = [this] {
            if (transmit.on)
                ++writesUnderTransmit;
        };
    }
    void openQuestion() {
        exit.ExitProgram();
        ASSERT_TRUE(question);
        QObject::connect(question, &panel::ExitCountdown::countdownTextChanged,
                         [this](const QString& text) { questionTexts.push_back(text); });
        clearTrace();
    }
};

TEST_F(ParkUnderTransmit, theParkWaitsOnTheQuestionUntilTheRigReceives_thenParksBoth) {
    openQuestion();
    transmit.on = true;
    platform.scheduleAfter(6000 + 2500, [this] { transmit.on = false; });
    platform.advance(6000); // the count runs out while the rig transmits
    EXPECT_TRUE(exit.finished());
    EXPECT_EQ(writesUnderTransmit, 0);
    EXPECT_EQ(stepsWith(4), 30);
    EXPECT_EQ(stepsWith(8), 40);
    EXPECT_NE(
        std::find(questionTexts.begin(), questionTexts.end(), "Parking waits for receive (10) Sec"),
        questionTexts.end());
    EXPECT_EQ(questionTexts[questionTexts.size() - 2], "Parking waits for receive (8) Sec");
    EXPECT_EQ(questionTexts.back(), "Steppers are turned to 0 and 0");
    EXPECT_TRUE(savedFile().contains("\r\n0,0,500,250,1\r\n0,0,500,250,1\r\n"));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ParkUnderTransmit, aKeyDownMidwayStopsThePark_whichGoesOnFromThereOnReceive) {
    watchedLpt.onWrite = [this] {
        if (transmit.on)
            ++writesUnderTransmit;
        // The rig keys once stepper 1 has made ten steps down, for a second.
        if (state.StepperBits == 4 && state.StepCounter == 20 && !keyed) {
            keyed = true;
            transmit.on = true;
            platform.scheduleAfter(1000, [this] { transmit.on = false; });
        }
    };
    openQuestion();
    question->answerYes();
    EXPECT_TRUE(keyed);
    EXPECT_EQ(writesUnderTransmit, 0);
    EXPECT_EQ(stepsWith(4), 30 + 1); // and the power-on of the second start
    EXPECT_EQ(stepsWith(8), 40);
    EXPECT_EQ(state.StoredProfiles[0].StepCounter, 0);
    EXPECT_EQ(state.StoredProfiles[1].StepCounter, 0);
}

TEST_F(ParkUnderTransmit, aRigTransmittingTenSeconds_endsWithoutParking_andSaysSoAfterTheSave) {
    transmit.on = true;
    exit.EndProgram(true); // the station's park at a signal
    EXPECT_TRUE(exit.finished());
    EXPECT_GE(platform.steadyMs(), panel::ExitPath::ParkWaitMs);
    EXPECT_LT(platform.steadyMs(), panel::ExitPath::ParkWaitMs + 200);
    EXPECT_EQ(stepsWith(4) + stepsWith(8), 0);
    EXPECT_TRUE(savedFile().contains("\r\n30,0,500,250,1\r\n40,0,500,250,1\r\n"));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "The rig kept transmitting for 10 seconds: the steppers "
                                         "were not parked, they stay where they stand.");
    EXPECT_EQ(lpt.data(888), 0);
}

TEST_F(ParkUnderTransmit, aSecondSignalWhileTheParkWaits_endsAtOnceWithBothCountersKept) {
    transmit.on = true;
    platform.scheduleAfter(1000, [this] { exit.EndProgram(true); });
    exit.EndProgram(true);
    EXPECT_TRUE(exit.finished());
    EXPECT_LT(platform.steadyMs(), 1200);
    EXPECT_EQ(stepsWith(4) + stepsWith(8), 0);
    EXPECT_TRUE(savedFile().contains("\r\n30,0,500,250,1\r\n40,0,500,250,1\r\n"));
}

TEST_F(ParkUnderTransmit, onceTheWayOutBegan_onlyTheParkTurns) {
    exit.ExitProgram();
    clearTrace();
    EXPECT_EQ(engine.TurnTo({60, engine::TurnOrigin::Following}), engine::TurnOutcome::Refused);
    EXPECT_EQ(engine.StepBy(-3, 0, engine::TurnOrigin::Repeated), engine::TurnOutcome::Refused);
    EXPECT_TRUE(written().empty());
}

// Counting to the sixth tick and parking there: nothingMovesWhileTheParkQuestionIsOpen.
TEST(ExitCountdown, countsOnlyOnceStarted_andOnlyTheFirstAnswerCounts) {
    testing_support::FakePlatform platform;
    panel::ExitCountdown countdown{platform, -200, 15};
    QSignalSpy decided(&countdown, &panel::ExitCountdown::decided);
    EXPECT_EQ(countdown.question(), "Reset stepper1 to-200\r\n\r\nReset stepper2 to 15");
    platform.advance(7000);
    EXPECT_EQ(decided.count(), 0) << "no count before start";

    panel::ExitCountdown answered{platform, 0, 0};
    answered.start();
    answered.answerNo();
    answered.answerYes(); // only the first answer counts
    platform.advance(10000);
    EXPECT_EQ(answered.choice(), ExitChoice::SaveOnly);
    EXPECT_EQ(answered.countdownText(), "");
}
