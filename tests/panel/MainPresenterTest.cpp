#include "PanelFixture.h"

#include <QSignalSpy>

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
