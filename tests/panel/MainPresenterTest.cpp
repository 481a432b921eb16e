#include "PanelFixture.h"
#include "engine/WheelControl.h"
#include "panel/MainInit.h"

#include <QSignalSpy>
#include <algorithm>

using namespace panel_test;

namespace {

struct MainPresenterTest : EngineFixture {
    const panel::MainView& view() const { return presenter.view(); }
};

} // namespace

TEST_F(MainPresenterTest, theDragBarsLabel_showsStepsOrDegreesInTheDegreeColour_aClickSwitches) {
    QSignalSpy label(&presenter, &panel::MainPresenter::changed);
    state.PelorusDegreeColor = 0x00FF00;
    state.StepCounter = 50;
    presenter.ShowSliderLabel(50);
    ASSERT_EQ(label.size(), 1);
    EXPECT_EQ(view().sliderLabelText, "50");
    EXPECT_EQ(view().sliderLabelColor, 0);
    presenter.SliderLabelClicked();
    EXPECT_TRUE(state.SliderShowsDegrees);
    EXPECT_EQ(view().sliderLabelText, "90°");
    EXPECT_EQ(view().sliderLabelColor, 0x00FF00);
}

TEST_F(MainPresenterTest, theMeasuredPcSpeed_isShownWithItsName) {
    QSignalSpy shown(&presenter, &panel::MainPresenter::changed);
    platform.clockStepPerRead = 0.5;
    speedPanel.CalibratePcSpeed();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(view().pcSpeedText, "PCspeed=2000");
}

TEST_F(MainPresenterTest,
       aTurnChangesTheViewAtTheDisplaysPace_andWhatIsToldAgainUnchangedIsNoChange) {
    QSignalSpy changed(&presenter, &panel::MainPresenter::changed);
    counters.clear();
    turnTo(100);
    EXPECT_EQ(view().counterText, "100");
    EXPECT_EQ(view().sliderValue, 100);
    EXPECT_EQ(view().degreesText, " 180.0°");
    EXPECT_EQ(view().sliderLabelText, "100");
    // Each show of the turn changes the counter, the thumb and the degrees, and no more; the
    // label follows at the end.
    EXPECT_GT(counters.size(), 1u);
    EXPECT_LE(static_cast<std::size_t>(changed.size()), 3 * counters.size() + 1);
    EXPECT_EQ(changed.last().at(0).value<panel::MainView>(), view());

    engine.ShowPosition();
    changed.clear();
    engine.ShowPosition(); // everything told again, nothing new
    speedPanel.ShowSpeed();
    EXPECT_EQ(changed.size(), 0);
}

TEST_F(MainPresenterTest, theDragBarsThumbFollowsTheCounterOnlyWithinTheLimits) {
    turnTo(100);
    state.MaxPosition = 80;
    engine.LimitsOrScaleChanged();
    EXPECT_EQ(view().sliderMaximum, 80);
    EXPECT_EQ(view().sliderValue, 100) << "the thumb stays where it was beyond the limits";
    engine.SetCounter(120, state.OverlayPosition);
    EXPECT_EQ(view().counterText, "120");
    EXPECT_EQ(view().sliderValue, 100);
    // Limits that take the counter in again bring the thumb to it.
    state.MaxPosition = 200;
    engine.LimitsOrScaleChanged();
    EXPECT_EQ(view().sliderValue, 120);
    engine.SetCounter(60, state.OverlayPosition);
    EXPECT_EQ(view().sliderValue, 60);
}

TEST_F(MainPresenterTest, theSpeedAndTheModesCaptionsFollowTheirOwners) {
    speedPanel.ToggleFastCustom();
    EXPECT_EQ(view().speed.buttonCaption, speedControl.speedButtonCaption());
    EXPECT_EQ(view().speed.bar.value, speedControl.scrollBar().value);
    speedPanel.SpeedScrolled(300);
    EXPECT_EQ(view().speed.rpmLabel, "Slow");

    windowModes.modes().shuttleOn = true;
    windowModes.ModesChanged();
    EXPECT_EQ(view().shuttleCaption, "S&huttle  on");
    engine.StopTurningAndFollowing();
    windowModes.ModesChanged(); // as the station does at every stop
    EXPECT_EQ(view().shuttleCaption, "S&huttle  off");
}

namespace {

// The presenter following the panels around the position, as the application has it.
struct MainPanelView : WithPanels<HousekeepingFixture> {
    engine::WheelControl wheel{state, engine, speedControl};
    panel::MainInit init{{state, platform, engine, speedPanel, windowModes, fields, switches,
                          joystick, housekeeping, turns, overlay, wheel, portCommands, drive}};

    MainPanelView() {
        QObject::connect(&windowModes.busyLock(), &engine::BusyLock::changed, &fields,
                         &panel::MainFields::ShowBusyLock);
        presenter.Follow({fields, housekeeping, turns, params, shuttlePuls, calibration, overlay,
                          init, portCommands, switches, joystick, wheel});
    }
    const panel::PanelView& view() const { return presenter.view().panel; }
    bool enabled(panel::Control control) const {
        return view().enabled[static_cast<std::size_t>(control)];
    }
    QString text(panel::EntryField field) const {
        return view().fieldTexts[static_cast<std::size_t>(field) - 1];
    }
};

} // namespace

TEST_F(MainPanelView, aTurnHoldsTheSettingsUntilItsBusyLockIsLet_andTheStepperOptionsUntilTheUser) {
    using panel::Control;
    turnTo(2);
    ASSERT_TRUE(windowModes.busyLock().isLocked());
    EXPECT_FALSE(enabled(Control::SetMaximum));
    EXPECT_FALSE(enabled(Control::GotoStep));
    EXPECT_FALSE(enabled(Control::PortButton));
    EXPECT_FALSE(enabled(Control::StepperOptions));
    EXPECT_TRUE(view().fieldLocked[static_cast<std::size_t>(panel::EntryField::MaxPosition) - 1]);
    EXPECT_TRUE(enabled(Control::StepUp)) << "the busy lock leaves the single steps";

    fields.setKeyPreview(false); // the user entered a field meanwhile
    platform.advance(2500);
    ASSERT_FALSE(windowModes.busyLock().isLocked());
    EXPECT_TRUE(enabled(Control::SetMaximum));
    EXPECT_TRUE(enabled(Control::PortButton));
    EXPECT_TRUE(fields.keyPreview()) << "the keys go to the commands again";
    EXPECT_FALSE(enabled(Control::StepperOptions));
    presenter.EnableStepperOptions();
    EXPECT_TRUE(enabled(Control::StepperOptions));
}

TEST_F(MainPanelView, aControlSeveralTellersSpeakOf_isAsTheLastOneTold) {
    using panel::Control;
    emit turns.loopKeysEnabled(false);
    EXPECT_FALSE(enabled(Control::Shuttle));
    EXPECT_FALSE(enabled(Control::GotoStep));
    EXPECT_FALSE(view().dragBarLabelShown);
    EXPECT_TRUE(enabled(Control::Calibrate)) << "not one of the loop keys";
    emit shuttlePuls.modeButtonsEnabled(true, false);
    EXPECT_TRUE(enabled(Control::Shuttle));
    EXPECT_FALSE(enabled(Control::Puls));
    emit shuttlePuls.turnButtonsEnabled(true);
    EXPECT_TRUE(enabled(Control::GotoStep));
    EXPECT_TRUE(view().dragBarLabelShown);
    EXPECT_FALSE(enabled(Control::Puls)) << "not one of the turn buttons";
}

TEST_F(MainPanelView, aDragTurnMarksItsSpanOnTheRestingBar_untilItEnds) {
    std::vector<panel::PanelView> shown;
    QObject::connect(&presenter, &panel::MainPresenter::changed,
                     [&](const panel::MainView& v) { shown.push_back(v.panel); });
    turns.DragBarReleased(100);
    const auto during =
        std::find_if(shown.begin(), shown.end(), [](const auto& v) { return v.dragTurn.running; });
    ASSERT_NE(during, shown.end());
    EXPECT_EQ(during->dragTurn, (panel::DragTurnView{true, 0, 100, 0}));
    EXPECT_FALSE(during->enabled[static_cast<std::size_t>(panel::Control::DragBar)]);
    EXPECT_EQ(during->dragBarToolTip, "Drag slider (100) 180°");
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_FALSE(view().dragTurn.running);
    EXPECT_TRUE(enabled(panel::Control::DragBar));
}

TEST_F(MainPanelView, aFieldShowsWhatWasTyped_soTheLogicSettingItBackIsAChange) {
    fields.setText(panel::EntryField::GotoStep, "5");
    fields.Edited(panel::EntryField::GotoStep, "12"); // the rule keeps it: nothing told back
    EXPECT_EQ(text(panel::EntryField::GotoStep), "12");
    fields.setText(panel::EntryField::GotoStep, "5");
    EXPECT_EQ(text(panel::EntryField::GotoStep), "5");
}
