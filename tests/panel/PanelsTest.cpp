#include "PanelFixture.h"

#include <QSignalSpy>

using namespace panel_test;
using core::Long;
using panel::EntryField;

namespace {

// The logic of the main window's panels on one set of fields.
struct Panels : WithPanels<EngineFixture> {

    Panels() {
        QObject::connect(&overlay, &panel::OverlayPanel::displayChanged, &presenter,
                         &panel::MainPresenter::ShowOverlay);
    }

    // The positions where the stepper turned round.
    std::vector<Long> turningPoints() const {
        std::vector<Long> points;
        for (std::size_t i = 1; i + 1 < positions.size(); ++i) {
            const bool peak = positions[i] > positions[i - 1] && positions[i] > positions[i + 1];
            const bool dip = positions[i] < positions[i - 1] && positions[i] < positions[i + 1];
            if (peak || dip)
                points.push_back(positions[i]);
        }
        return points;
    }
    QString lastMessage() const {
        return platform.messages.empty() ? QString() : platform.messages.back().text;
    }
};

} // namespace

TEST_F(Panels, fieldsKeepOnlyNumbersWithTheirUnit_andTellWhenTheRuleChangedTheTyping) {
    QSignalSpy shown(&fields, &panel::MainFields::textChanged);
    fields.Edited(EntryField::SlowestDelay, "1,5x");
    EXPECT_EQ(fields.text(EntryField::SlowestDelay), "1.5 Sec");
    EXPECT_EQ(fields.value(EntryField::SlowestDelay), 1.5);
    fields.Edited(EntryField::GotoStep, "-20");
    EXPECT_EQ(fields.text(EntryField::GotoStep), "20");
    fields.Edited(EntryField::MaxPosition, "abc"); // no rule for MaxPosition
    fields.Edited(EntryField::GotoDegrees, "18 °");
    EXPECT_EQ(shown.count(), 2); // what was typed as the rule has it is left alone
    fields.ShowBusyLock(true);
    EXPECT_TRUE(fields.locked(EntryField::OverlaySteps));
    EXPECT_FALSE(fields.locked(EntryField::GotoStep));
}

TEST_F(Panels, gotoStepRoundsHalvesToEven_andTheGotoFieldIsTheStoredGotoValue) {
    fields.Edited(EntryField::GotoStep, "12.5");
    turns.FieldEdited(EntryField::GotoStep);
    EXPECT_EQ(state.GotoStepValue, 12);
    turns.GotoStepClicked();
    EXPECT_EQ(state.StepCounter, 12);
    EXPECT_EQ(fields.text(EntryField::GotoStep), "12");
    fields.setText(EntryField::GotoStep, "13.5");
    turns.GotoStepClicked();
    EXPECT_EQ(state.StepCounter, 14);
    EXPECT_EQ(fields.text(EntryField::GotoDegrees), "25.2 °");
    EXPECT_EQ(state.GotoStepValue, 14);
    EXPECT_TRUE(fields.keyPreview());

    fields.setText(EntryField::GotoDegrees, "18");
    turns.GotoDegreesClicked();
    EXPECT_EQ(state.StepCounter, 10);
    EXPECT_EQ(fields.text(EntryField::GotoStep), "10");
    fields.setText(EntryField::GotoDegrees, "");
    turns.GotoDegreesClicked(); // empty: "0°" and a beep, no turn
    EXPECT_EQ(fields.text(EntryField::GotoDegrees), "0 °");
    EXPECT_EQ(platform.beeps.size(), 1u);
    EXPECT_EQ(state.StepCounter, 10);
}

TEST_F(Panels, limitTurnsGoToTheLimitOrSayTheyAreThere_andTheDragBarTurnsToItsThumb) {
    QSignalSpy maxTips(&turns, &panel::TurnCommands::maxToolTipChanged);
    state.StepCounter = 495;
    turns.MaxTurnClicked();
    EXPECT_EQ(state.StepCounter, 500);
    turns.MaxTurnClicked(); // there already: says so
    EXPECT_EQ(maxTips.last().at(0).toString(), "I am at the max position now!");

    QSignalSpy dragged(&turns, &panel::TurnCommands::dragTurnStarted);
    turns.DragBarReleased(480);
    EXPECT_EQ(state.StepCounter, 480);
    ASSERT_EQ(dragged.count(), 1);
    EXPECT_EQ(dragged.at(0).at(0).toInt(), 480);
    EXPECT_EQ(dragged.at(0).at(1).toInt(), 20);
    turns.DragBarReleased(480); // where it is: nothing
    EXPECT_EQ(dragged.count(), 1);
}

TEST_F(Panels, shuttleTenToFifty_goesToTheMiddleThenBackAndForthUntilClicked) {
    fields.setText(EntryField::ShuttleMin, "10");
    fields.setText(EntryField::ShuttleMax, "50");
    // 15 ms a step: 30 steps to the middle, 20 down, 40 up, then a stop on the way down.
    platform.scheduleAt(1700, [this] { shuttlePuls.ShuttleClicked(); });
    shuttlePuls.ShuttleClicked();
    EXPECT_EQ(turningPoints(), (std::vector<Long>{30, 10, 50}));
    EXPECT_FALSE(windowModes.modes().shuttleOn);
    EXPECT_FALSE(fields.locked(EntryField::ShuttleMin));
    EXPECT_TRUE(fields.keyPreview());

    fields.setText(EntryField::ShuttleMax, "10"); // no range left
    shuttlePuls.ShuttleClicked();
    EXPECT_EQ(lastMessage(), "Out of Min and Max shuttle range\r\nOr ShuttleMin >= ShuttleMax");
    EXPECT_EQ(fields.text(EntryField::ShuttleMin), "0");
    EXPECT_EQ(fields.text(EntryField::ShuttleMax), "500");
}

TEST_F(Panels, pulseFromTheLowerLimit_movesUpAndPausesItsTimeBetweenPulses) {
    fields.setText(EntryField::PulsSteps, "10");
    fields.setText(EntryField::PulsPause, "2");
    platform.scheduleAt(6000, [this] { shuttlePuls.PulsClicked(); });
    shuttlePuls.PulsClicked();
    EXPECT_EQ(state.StepCounter, 30); // three pulses of 10 steps, 2 s apart
    EXPECT_NEAR(stepTimes()[10] - stepTimes()[9], 2000 + 15, 20);
    EXPECT_FALSE(windowModes.modes().pulsOn);

    fields.setText(EntryField::PulsSteps, "0");
    fields.setText(EntryField::PulsPause, "60");
    shuttlePuls.PulsClicked();
    EXPECT_EQ(lastMessage(), "Out off range PulsSteps(500) or PulsTime(120) ");
    EXPECT_EQ(fields.text(EntryField::PulsSteps), "500");
    EXPECT_EQ(fields.text(EntryField::PulsPause), "5 Sec");
}

TEST_F(Panels, whileTurningIsRefusedTheModesDoNotStart_andAPulseEndsBeforeItsNextPulse) {
    bool& refuse = transmit.on;
    refuse = true;
    // Ends a mode that went on after all, 8 s after it started.
    const auto stopLater = [this] {
        platform.scheduleAfter(8000, [this] { engine.StopTurningAndFollowing(); });
    };
    fields.setText(EntryField::ShuttleMin, "10");
    fields.setText(EntryField::ShuttleMax, "50");
    fields.setText(EntryField::PulsSteps, "10");
    fields.setText(EntryField::PulsPause, "2");
    stopLater();
    shuttlePuls.ShuttleClicked();
    stopLater();
    shuttlePuls.PulsClicked();
    EXPECT_EQ(platform.beeps.size(), 2u);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_TRUE(positions.empty());

    // Refused in the pause after the first pulse (10 steps, then 2 s).
    refuse = false;
    const double start = platform.steadyMs();
    platform.scheduleAfter(1000, [&] { refuse = true; });
    stopLater();
    shuttlePuls.PulsClicked();
    EXPECT_EQ(state.StepCounter, 10);
    EXPECT_LT(platform.steadyMs() - start, 3000);
    EXPECT_FALSE(windowModes.modes().pulsOn);
    EXPECT_EQ(platform.beeps.size(), 3u);
    EXPECT_FALSE(fields.locked(EntryField::GotoStep)); // the panels are free again
}

TEST_F(Panels, aModeAtASlowSpeedDeclined_doesNotStart) {
    setSlowSpeed(1500);
    fields.setText(EntryField::ShuttleMin, "10");
    fields.setText(EntryField::ShuttleMax, "50");
    platform.answerNextMessage(platform::Answer::No);
    shuttlePuls.ShuttleClicked();
    EXPECT_EQ(lastMessage(), "Set LowSpeed on 1 Sec ? ");
    EXPECT_FALSE(windowModes.modes().shuttleOn);
    EXPECT_EQ(state.StepCounter, 0);
}

TEST_F(Panels, speedLimitsAreCheckedAgainstEachOther) {
    fields.setText(EntryField::SlowestDelay, ".001");
    fields.setText(EntryField::FastestDelay, ".002");
    params.LowSpeedClicked();
    EXPECT_EQ(platform.messages.at(0).text, "Minimaal  .003 Sec");
    EXPECT_EQ(fields.text(EntryField::SlowestDelay), "1 Sec");
    EXPECT_EQ(state.SlowestDelayMs, 1000);

    fields.setText(EntryField::FastestDelay, "0");
    params.HighSpeedClicked();
    EXPECT_EQ(lastMessage(), "Maximaal  .999Sec\r\nMinimaal .001 Sec");
    EXPECT_EQ(state.FastestDelayMs, 1);
}

TEST_F(Panels, limitsBelowTheCounterTakeItAlong_andTheModesFollowTheLimits) {
    QSignalSpy limits(&params, &panel::StepperParams::limitsChanged);
    state.StepCounter = 300;
    state.OverlaySteps = 7;
    fields.setText(EntryField::MaxPosition, "100");
    params.MaxClicked();
    EXPECT_EQ(lastMessage(), "Warning I set counter to max but not the stepper.");
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_EQ(state.OverlayPosition, 7);
    EXPECT_EQ(state.CenterPosition, 50);

    fields.setText(EntryField::MinPosition, "abc"); // filtered to nothing: refilled with the limit
    params.MinClicked();
    fields.setText(EntryField::MinPosition, "100");
    params.MinClicked();
    EXPECT_EQ(lastMessage(), "Maximaal 99.");
    EXPECT_EQ(fields.text(EntryField::MinPosition), "0");
    EXPECT_EQ(limits.count(), 3);

    fields.setText(EntryField::StepsPer360, "0");
    params.StepsClicked();
    EXPECT_EQ(state.DegreesPerStep, 360.0f);
}

TEST_F(Panels, calibrationAroundOneHundred_rocksAtMost150msAndRestoresTheDelay) {
    state.StepCounter = 100;
    state.StepDelayMs = 500;
    platform.scheduleAt(5500, [this] { calibration.Pressed(Qt::LeftButton); });
    calibration.Pressed(Qt::LeftButton);
    EXPECT_EQ(turningPoints(), (std::vector<Long>{110, 90}));
    EXPECT_EQ(state.StepDelayMs, 500);
    EXPECT_NEAR(stepTimes()[1] - stepTimes()[0], 150, 1);
    EXPECT_FALSE(windowModes.modes().calibrationRunning);

    platform.answerNextInput("-4"); // the range question: nothing below 1
    calibration.AskCalibrationSteps();
    EXPECT_EQ(state.CalibrationSteps, 10);
}

TEST_F(Panels, overlayPanel_sizeOfZeroSwitchesItOffAndClosingThePanelSettlesTheOverlay) {
    QSignalSpy check(&overlay, &panel::OverlayPanel::checkShown);
    state.OverlayOn = true;
    fields.setText(EntryField::OverlaySteps, "0");
    overlay.OverlayInputClicked();
    EXPECT_FALSE(state.OverlayOn);
    EXPECT_FALSE(check.last().at(1).toBool()); // the box disabled

    fields.setText(EntryField::OverlaySteps, "8");
    overlay.OverlayInputClicked();
    EXPECT_EQ(state.OverlaySteps, 8);
    state.OverlayMenu = true;
    overlay.OverlayChecked(true);
    overlay.AllUpClicked();
    overlay.StepUpClicked(); // full: nothing
    overlay.StepDownClicked();
    EXPECT_EQ(state.OverlayPosition, 7);
    overlay.MenuToggled(false);
    EXPECT_EQ(state.OverlayPosition, 0);
    EXPECT_EQ(state.StepCounter, 0);
}

TEST_F(Panels, anOverlayOfferedByAMeasurement_isSetShownAndSwitchedOn) {
    QSignalSpy check(&overlay, &panel::OverlayPanel::checkShown);
    QSignalSpy panels(&overlay, &panel::OverlayPanel::panelsShown);
    state.OverlayMenu = false;
    state.OverlayOn = false;
    overlay.Use(6);
    EXPECT_EQ(state.OverlaySteps, 6);
    EXPECT_EQ(fields.text(EntryField::OverlaySteps), "6");
    EXPECT_TRUE(state.OverlayMenu);
    EXPECT_TRUE(state.OverlayOn);
    ASSERT_FALSE(panels.isEmpty());
    EXPECT_TRUE(panels.last().at(0).toBool());
    ASSERT_FALSE(check.isEmpty());
    EXPECT_TRUE(check.last().at(0).toBool()); // ticked
    EXPECT_TRUE(check.last().at(1).toBool()); // and enabled
    overlay.AllUpClicked();
    EXPECT_EQ(state.OverlayPosition, 6); // the overlay works at its new size
}
