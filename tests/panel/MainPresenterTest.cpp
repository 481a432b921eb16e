#include "PanelFixture.h"

#include <QSignalSpy>

using namespace panel_test;

namespace {

struct MainPresenterTest : EngineFixture {};

} // namespace

TEST_F(MainPresenterTest, theDragBarsLabel_showsStepsOrDegreesInTheDegreeColour_aClickSwitches) {
    QSignalSpy label(&presenter, &panel::MainPresenter::sliderLabelShown);
    state.PelorusDegreeColor = 0x00FF00;
    state.StepCounter = 50;
    presenter.ShowSliderLabel(50);
    ASSERT_EQ(label.size(), 1);
    EXPECT_EQ(label.last().at(0).toString(), "50");
    EXPECT_EQ(label.last().at(1).value<core::Long>(), 0);
    presenter.SliderLabelClicked();
    EXPECT_TRUE(state.SliderShowsDegrees);
    EXPECT_EQ(label.last().at(0).toString(), "90°");
    EXPECT_EQ(label.last().at(1).value<core::Long>(), 0x00FF00);
}

TEST_F(MainPresenterTest, theMeasuredPcSpeed_isShownWithItsName) {
    QSignalSpy shown(&presenter, &panel::MainPresenter::pcSpeedShown);
    platform.clockStepPerRead = 0.5;
    speedPanel.CalibratePcSpeed();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.last().at(0).toString(), "PCspeed=2000");
}
