#include "EngineFixture.h"
#include "engine/CalibrationRun.h"
#include "engine/OverlayPanel.h"
#include "engine/ShuttlePuls.h"
#include "engine/StepperParams.h"

#include <map>

using namespace engine_test;
using core::Long;
using engine::EntryField;

namespace {

// The main window's fields and panel controls as plain values.
struct FakePanelView : engine::PanelView {
    std::map<EntryField, QString> fields;
    std::map<EntryField, bool> locked;
    bool turnButtonsEnabled = true;
    bool loopKeysEnabled = true;
    bool shuttleEnabled = true, pulsEnabled = true;
    QString pulsShuttleText, maxToolTip, minToolTip, calibrationMenu;
    int sliderRangeChanges = 0, pelorusOffs = 0;
    bool overlayPanelsShown = false, overlayChecked = false, overlayCheckEnabled = true,
         overlayControlsEnabled = false;

    QString fieldText(EntryField f) const override {
        const auto it = fields.find(f);
        return it == fields.end() ? QString() : it->second;
    }
    void setFieldText(EntryField f, const QString& text) override { fields[f] = text; }
    void setFieldLocked(EntryField f, bool on) override { locked[f] = on; }
    void setTurnButtonsEnabled(bool enabled) override { turnButtonsEnabled = enabled; }
    void setLoopKeysEnabled(bool enabled) override { loopKeysEnabled = enabled; }
    void setModeButtonsEnabled(bool shuttle, bool puls) override {
        shuttleEnabled = shuttle;
        pulsEnabled = puls;
    }
    void setKeyPreview(bool) override {}
    void showTime(const QString&) override {}
    void setPulsShuttleText(const QString& text) override { pulsShuttleText = text; }
    void setMaxTurnToolTip(const QString& text) override { maxToolTip = text; }
    void setMinTurnToolTip(const QString& text) override { minToolTip = text; }
    void sliderRangeChanged() override { ++sliderRangeChanges; }
    void pelorusOff() override { ++pelorusOffs; }
    void setCalibrationMenuCaption(const QString& text) override { calibrationMenu = text; }
    void setOverlayPanelsShown(bool shown) override { overlayPanelsShown = shown; }
    void showOverlayCheck(bool ticked, bool enabled) override {
        overlayChecked = ticked;
        overlayCheckEnabled = enabled;
    }
    void setOverlayControlsEnabled(bool enabled) override { overlayControlsEnabled = enabled; }
};

struct ManualPanels : EngineFixture {
    FakePanelView panel;
    engine::StepperParams params{state, platform, engine, panel};
    engine::ShuttlePuls shuttlePuls{state, platform, engine, panel, params};
    engine::CalibrationRun calibration{state, platform, engine, panel};
    engine::OverlayPanel overlay{state, engine, panel};

    // The positions where the stepper turned round, from the counter values shown.
    std::vector<Long> turningPoints() const {
        std::vector<Long> points;
        std::vector<Long> values;
        for (const QString& text : view.counters)
            values.push_back(text.toInt());
        for (std::size_t i = 1; i + 1 < values.size(); ++i) {
            const bool peak = values[i] > values[i - 1] && values[i] > values[i + 1];
            const bool dip = values[i] < values[i - 1] && values[i] < values[i + 1];
            if (peak || dip)
                points.push_back(values[i]);
        }
        return points;
    }
    QString lastMessage() const {
        return platform.messages.empty() ? QString() : platform.messages.back().text;
    }
};

} // namespace

TEST_F(ManualPanels, shuttleTenToFifty_goesToTheMiddleThenBackAndForthUntilClicked) {
    panel.fields[EntryField::Text8] = "10";
    panel.fields[EntryField::Text9] = "50";
    // 15 ms a step: 30 steps to the middle, 20 down, 40 up, then a stop on the way down.
    platform.scheduleAt(1700, [this] { shuttlePuls.ShuttleClicked(); });
    shuttlePuls.ShuttleClicked();
    EXPECT_EQ(turningPoints(), (std::vector<Long>{30, 10, 50}));
    EXPECT_GT(state.StepCounter, 10);
    EXPECT_LT(state.StepCounter, 50);
    EXPECT_FALSE(engine.modes().shuttleOn);
    EXPECT_EQ(engine.modes().shuttleCaption(), "S&huttle  off");
    EXPECT_FALSE(panel.locked[EntryField::Text8]);
    EXPECT_TRUE(panel.turnButtonsEnabled);
    EXPECT_EQ(panel.pulsShuttleText, " 72 °");
}

TEST_F(ManualPanels, shuttleStoppedOnItsWayToTheMiddle_endsTheMode) {
    panel.fields[EntryField::Text8] = "100";
    panel.fields[EntryField::Text9] = "300";
    platform.scheduleAt(100, [this] { engine.StopTurning(); });
    shuttlePuls.ShuttleClicked();
    EXPECT_FALSE(engine.modes().shuttleOn);
    EXPECT_LT(state.StepCounter, 200);
}

TEST_F(ManualPanels, shuttleWithAnEmptyOrAnInvalidRange_saysSoAndResetsToTheLimits) {
    panel.fields[EntryField::Text8] = "10";
    shuttlePuls.ShuttleClicked();
    EXPECT_EQ(lastMessage(), "Min or max shuttle are value's empty");
    EXPECT_EQ(panel.fields[EntryField::Text9], "500");

    panel.fields[EntryField::Text8] = "40";
    panel.fields[EntryField::Text9] = "40";
    shuttlePuls.ShuttleClicked();
    EXPECT_EQ(lastMessage(), "Out of Min and Max shuttle range\r\nOr ShuttleMin >= ShuttleMax");
    EXPECT_EQ(platform.messages.back().title, "Ventrolo.");
    EXPECT_EQ(panel.fields[EntryField::Text8], "0");
    EXPECT_EQ(panel.fields[EntryField::Text9], "500");
    EXPECT_EQ(state.ShuttleMin, 0);
    EXPECT_EQ(state.ShuttleMax, 500);
    EXPECT_EQ(state.StepCounter, 0);
}

TEST_F(ManualPanels, pulseWithoutAPauseOrSteps_saysSoAndResetsTheFields) {
    panel.fields[EntryField::Text10] = "15";
    panel.fields[EntryField::Text11] = "0";
    shuttlePuls.PulsClicked();
    EXPECT_EQ(lastMessage(), "Out off range PulsSteps(500) or PulsTime(120) ");
    EXPECT_EQ(panel.fields[EntryField::Text11], "5");
    EXPECT_EQ(panel.fields[EntryField::Text10], "15");

    panel.fields[EntryField::Text10] = "0";
    panel.fields[EntryField::Text11] = "60 Sec";
    shuttlePuls.PulsClicked();
    EXPECT_EQ(panel.fields[EntryField::Text10], "500");
    EXPECT_EQ(panel.fields[EntryField::Text11], "5");
    EXPECT_EQ(state.PulsTime, 5.0f);
    EXPECT_FALSE(engine.modes().pulsOn);
    EXPECT_EQ(state.StepCounter, 0);
}

TEST_F(ManualPanels, pulseFromTheLowerLimit_movesUpAndPausesItsTimeBetweenPulses) {
    panel.fields[EntryField::Text10] = "10";
    panel.fields[EntryField::Text11] = "2 Sec";
    platform.scheduleAt(6000, [this] { shuttlePuls.PulsClicked(); });
    shuttlePuls.PulsClicked();
    // 10 steps of 15 ms, a 2 s pause, and so on: three pulses before the click at 6 s.
    EXPECT_EQ(state.StepCounter, 30);
    const auto times = stepTimes();
    ASSERT_GE(times.size(), 21u);
    EXPECT_NEAR(times[10] - times[9], 2000 + 15, 20);
    EXPECT_FALSE(engine.modes().pulsOn);
    EXPECT_TRUE(panel.shuttleEnabled);
}

TEST_F(ManualPanels, pulseBetweenTheLimits_movesDownFirst) {
    state.StepCounter = 100;
    panel.fields[EntryField::Text10] = "10";
    panel.fields[EntryField::Text11] = "1";
    platform.scheduleAt(500, [this] { engine.StopTurning(); });
    shuttlePuls.PulsClicked();
    EXPECT_EQ(state.StepCounter, 90);
}

TEST_F(ManualPanels, aModeAtASlowSpeedDeclined_doesNotStart) {
    setSlowest(2000);
    state.StepDelayMs = 1500;
    panel.fields[EntryField::Text8] = "10";
    panel.fields[EntryField::Text9] = "50";
    platform.answerNextMessage(platform::Answer::No);
    shuttlePuls.ShuttleClicked();
    EXPECT_EQ(lastMessage(), "Set LowSpeed on 1 Sec ? ");
    EXPECT_FALSE(engine.modes().shuttleOn);
    EXPECT_EQ(state.StepCounter, 0);
}

TEST_F(ManualPanels, lowSpeedBelowTheFastest_showsTheMinimumAndSetsOneSecond) {
    panel.fields[EntryField::Text5] = ".001 Sec";
    panel.fields[EntryField::Text6] = ".002 Sec";
    params.LowSpeedClicked();
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_EQ(platform.messages[0].text, "Minimaal  .003 Sec");
    EXPECT_EQ(panel.fields[EntryField::Text5], " 1");
    EXPECT_EQ(state.SlowestDelayMs, 1000);

    panel.fields[EntryField::Text5] = ".5 Sec";
    params.LowSpeedClicked();
    EXPECT_EQ(state.SlowestDelayMs, 500);
    EXPECT_EQ(engine.speed().scrollBar().maximum, 500);
}

TEST_F(ManualPanels, highSpeedOfZero_showsTheRangeAndSetsOneMillisecond) {
    panel.fields[EntryField::Text6] = "0";
    params.HighSpeedClicked();
    EXPECT_EQ(lastMessage(), "Maximaal  .999Sec\r\nMinimaal .001 Sec");
    EXPECT_EQ(panel.fields[EntryField::Text6], " .001");
    EXPECT_EQ(state.FastestDelayMs, 1);
    panel.fields.erase(EntryField::Text6);
    params.HighSpeedClicked();
    EXPECT_EQ(panel.fields[EntryField::Text6], " .001");
    EXPECT_EQ(platform.beeps.size(), 1u);
}

TEST_F(ManualPanels, maxBelowTheCounter_warnsAndSetsTheCounterAndFullOverlay) {
    state.StepCounter = 300;
    state.OverlaySteps = 7;
    panel.fields[EntryField::Text1] = "100";
    params.MaxClicked();
    EXPECT_EQ(lastMessage(), "Warning I set counter to max but not the stepper.");
    EXPECT_EQ(state.MaxPosition, 100);
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_EQ(state.OverlayPosition, 7);
    EXPECT_EQ(state.ShuttleMax, 50);
    EXPECT_EQ(state.PulsSteps, 15);
    EXPECT_EQ(state.CenterPosition, 50);
    EXPECT_EQ(panel.maxToolTip, "Clock wise turning to 100.");
    EXPECT_EQ(panel.sliderRangeChanges, 1);
}

TEST_F(ManualPanels, limitsThatCrossOrFollowEachOther) {
    panel.fields[EntryField::Text1] = "abc"; // no filter on Text1: reads as 0
    params.MaxClicked();
    EXPECT_EQ(lastMessage(), "Minimaal 1.");
    EXPECT_EQ(panel.fields[EntryField::Text1], "500");
    EXPECT_EQ(state.MaxPosition, 500);

    panel.fields[EntryField::Text2] = "100";
    params.MinClicked();
    EXPECT_EQ(state.MinPosition, 100);
    EXPECT_EQ(state.CenterPosition, 200);
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_EQ(state.ShuttleMin, 100);
    EXPECT_EQ(panel.fields[EntryField::Text8], "100");
    EXPECT_EQ(lastMessage(), "Warning I set counter to min value but not the stepper");
    EXPECT_EQ(panel.minToolTip, "Counter clock wise turning to 100.");
}

TEST_F(ManualPanels, stepsPerTurnOfZero_hidesTheDegreesAndClosesThePelorus) {
    panel.fields[EntryField::Text4] = "0";
    params.StepsClicked();
    EXPECT_EQ(state.DegreesPerStep, 360.0f);
    EXPECT_FALSE(view.degreesVisible);
    EXPECT_EQ(panel.pelorusOffs, 1);
    EXPECT_EQ(panel.pulsShuttleText, "???");
    EXPECT_TRUE(turningPoints().empty());
}

TEST_F(ManualPanels, calibrationAroundOneHundred_rocksAndRestoresTheSlowDelay) {
    state.StepCounter = 100;
    state.StepDelayMs = 500;
    // Up 10 at 150 ms a step (1.5 s), down 20 (3 s), up 20: stopped on the way.
    platform.scheduleAt(5500, [this] { calibration.Pressed(Qt::LeftButton); });
    calibration.Pressed(Qt::LeftButton);
    EXPECT_EQ(turningPoints(), (std::vector<Long>{110, 90}));
    EXPECT_GT(state.StepCounter, 90);
    EXPECT_EQ(state.StepDelayMs, 500);
    EXPECT_FALSE(engine.modes().calibrationRunning);
    EXPECT_TRUE(panel.loopKeysEnabled);
    const auto times = stepTimes();
    EXPECT_NEAR(times[1] - times[0], 150, 1);
}

TEST_F(ManualPanels, calibrationOfZeroSteps_doesNotMoveAndStillAnswers) {
    platform.answerNextInput("0.3");
    state.StepCounter = 40;
    platform.scheduleAt(1000, [this] { engine.StopTurning(); });
    calibration.Pressed(Qt::RightButton);
    EXPECT_EQ(state.CalibrationSteps, 0);
    EXPECT_EQ(panel.calibrationMenu, "Calibration steps (0).");
    EXPECT_EQ(state.StepCounter, 40);
    EXPECT_FALSE(engine.modes().calibrationRunning);
    EXPECT_GE(platform.steadyMs(), 1000);
}

TEST_F(ManualPanels, calibrationStepsQuestion_keepsTheValueOnCancelOrZero) {
    platform.answerNextInput("");
    calibration.AskCalibrationSteps();
    platform.answerNextInput("-4");
    calibration.AskCalibrationSteps();
    EXPECT_EQ(state.CalibrationSteps, 10);
    ASSERT_EQ(platform.inputs.size(), 2u);
    EXPECT_EQ(platform.inputs[0].prompt, "Steps + and - for calibration.\r\nMinimal 1.");
    EXPECT_EQ(platform.inputs[0].defaultText, "10");
}

TEST_F(ManualPanels, overlaySizeOfZero_switchesTheOverlayOffAndDisablesItsBox) {
    state.OverlayOn = true;
    panel.fields[EntryField::Text12] = "0";
    overlay.OverlayInputClicked();
    EXPECT_FALSE(state.OverlayOn);
    EXPECT_FALSE(panel.overlayChecked);
    EXPECT_FALSE(panel.overlayCheckEnabled);

    panel.fields[EntryField::Text12] = "8";
    overlay.OverlayInputClicked();
    EXPECT_EQ(state.OverlaySteps, 8);
    EXPECT_EQ(state.OverlayPosition, 0);
    EXPECT_TRUE(panel.overlayCheckEnabled);
    const auto tips = engine::OverlayPanel::ToolTipsFor(state);
    EXPECT_EQ(tips.allUp, "8 overlay steps up.");
    EXPECT_EQ(tips.stepUp, "1 steps up.");
    EXPECT_EQ(tips.stepDown, "0 steps down.");
}

TEST_F(ManualPanels, overlayButtonsTakeAndGiveBackSteps_andClosingThePanelSettlesIt) {
    state.OverlayMenu = true;
    overlay.OverlayChecked(true);
    overlay.AllUpClicked();
    EXPECT_EQ(state.OverlayPosition, 10);
    overlay.StepUpClicked(); // full: nothing
    EXPECT_EQ(state.OverlayPosition, 10);
    overlay.StepDownClicked();
    EXPECT_EQ(state.OverlayPosition, 9);
    overlay.MenuToggled(false);
    EXPECT_EQ(state.OverlayPosition, 0);
    EXPECT_FALSE(panel.overlayPanelsShown);
    EXPECT_EQ(state.StepCounter, 0);
}
