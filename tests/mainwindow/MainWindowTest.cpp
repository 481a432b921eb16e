#include "mainwindow/MainWindow.h"

#include "core/TextRules.h"
#include "mainwindow/ClickableLabel.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/PressButton.h"
#include "mainwindow/SelectionSlider.h"
#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <vector>

using testing_support::FakePlatform;

namespace {

// The main window with every collaborator on the simulated port and the virtual clock,
// stepper 1 selected with its defaults (limits 0..500, delays 2 / 15 / 1000 ms, autopower).
struct MainWindowTest : ::testing::Test {
    core::ProgramState state;
    FakePlatform platform;
    port::SimulatedLpt lpt;
    engine::Engine engine{state, platform, lpt};
    engine::LptInputs inputs{state, platform, lpt, engine};
    engine::KeyControl keys{state, platform, engine};
    engine::WheelControl wheel{state, engine};
    port::NoJoystick joystickDevice;
    port::JoystickStatus joystick{state, joystickDevice, platform};
    mainwindow::MainWindow window{{state, platform, engine, inputs, keys, wheel, joystick}};
    mainwindow::MainWindowForm& form = window.form();
    engine::StepperParams params{state, platform, engine, window};
    engine::ShuttlePuls shuttlePuls{state, platform, engine, window, params};
    engine::CalibrationRun calibration{state, platform, engine, window};
    engine::OverlayPanel overlay{state, engine, window};

    MainWindowTest() {
        state.LoadStepperProfile();
        engine.coil().UpdateStepperBits();
        engine.InitSpeed();
        engine.UpdateDegreesPerStep();
        window.setPanels(&params, &shuttlePuls, &calibration, &overlay);
        params.SliderRangeRefresh();
    }

    // Records every new TargetPosition while the program yields, and runs then() once count
    // targets were seen (the user acting in the middle of an endless mode).
    std::vector<core::Long> targets;
    std::unique_ptr<platform::Timer> recorder;
    void recordTargets(std::size_t count, std::function<void()> then) {
        recorder = platform.createTimer([this, count, then] {
            if (targets.empty() || targets.back() != state.TargetPosition)
                targets.push_back(state.TargetPosition);
            if (targets.size() == count) {
                recorder->stop();
                then();
            }
        });
        recorder->start(1);
    }
};

TEST_F(MainWindowTest, gotoStep_roundsHalvesToEvenAndRewritesTheField) {
    form.Text3->setText("12.5");
    QTest::mouseClick(form.cmdGotoStep, Qt::LeftButton);
    EXPECT_EQ(state.StepCounter, 12);
    EXPECT_EQ(form.Text3->text(), "12");
    EXPECT_EQ(form.lblTeller->text(), "12");
    EXPECT_EQ(form.VSlider1->value(), 12);

    form.Text3->setText("13.5");
    QTest::mouseClick(form.cmdGotoStep, Qt::LeftButton);
    EXPECT_EQ(state.StepCounter, 14);
    EXPECT_EQ(form.Text7->text(), "25.2 °");
}

TEST_F(MainWindowTest, gotoDegreesWithAnEmptyField_writesZeroAndBeepsWithoutTurning) {
    form.Text7->clear();
    QTest::mouseClick(form.cmdGotoDegrees, Qt::LeftButton);
    EXPECT_EQ(form.Text7->text(), "0 °"); // "0°" with the field's unit rule applied
    EXPECT_EQ(platform.beeps.size(), 1u);
    EXPECT_TRUE(lpt.valuesWritten(888).empty());

    form.Text7->setText("18");
    QTest::mouseClick(form.cmdGotoDegrees, Qt::LeftButton);
    EXPECT_EQ(state.StepCounter, 10);
    EXPECT_EQ(form.Text3->text(), "10");
}

TEST_F(MainWindowTest, limitTurns_turnToTheLimitOrBeepAtIt) {
    state.StepCounter = 495;
    QTest::mouseClick(form.cmdMaxCw, Qt::LeftButton);
    EXPECT_EQ(state.StepCounter, 500);
    EXPECT_EQ(form.cmdMaxCw->toolTip(), "Clock wise turning to 500.");

    const std::size_t beeps = platform.beeps.size(); // the turn beeps on arriving at the limit
    QTest::mouseClick(form.cmdMaxCw, Qt::LeftButton);
    EXPECT_EQ(platform.beeps.size(), beeps + 1);
    EXPECT_EQ(form.cmdMaxCw->toolTip(), "I am at the max position now!");

    state.StepCounter = 0;
    QTest::mouseClick(form.cmdMinCcw, Qt::LeftButton);
    EXPECT_EQ(form.cmdMinCcw->toolTip(), "I am at minimum position now!");
}

TEST_F(MainWindowTest, singleStepButtons_stepOnceAndShowTheCounter) {
    state.StepCounter = 100;
    QTest::mouseClick(form.cmdCw, Qt::LeftButton);
    EXPECT_EQ(state.StepCounter, 101);
    QTest::mouseClick(form.cmdCcw, Qt::LeftButton);
    QTest::mouseClick(form.cmdCcw, Qt::LeftButton);
    EXPECT_EQ(state.StepCounter, 99);
    EXPECT_EQ(form.lblTeller->text(), "99");
}

TEST_F(MainWindowTest, stopButton_endsALongTurnWithinAStep) {
    state.TargetPosition = 500;
    platform.scheduleAfter(100, [this] { QTest::mousePress(form.cmdStoppen, Qt::LeftButton); });
    engine.TurnTo();
    EXPECT_LT(state.StepCounter, 20);
    EXPECT_EQ(state.TargetPosition, state.StepCounter);
}

TEST_F(MainWindowTest, escapeKey_stopsATurn) {
    state.TargetPosition = 500;
    platform.scheduleAfter(100, [this] { QTest::keyClick(&window, Qt::Key_Escape); });
    engine.TurnTo();
    EXPECT_LT(state.StepCounter, 20);
}

TEST_F(MainWindowTest, busyLock_locksTheParameterPanelAndUnlocksOnlyWhenNoModeRuns) {
    engine.busyLock().lock();
    EXPECT_TRUE(form.Text1->isLocked());
    EXPECT_FALSE(form.cmdHoogste->isEnabled());
    EXPECT_FALSE(form.cmdGotoStep->isEnabled());
    EXPECT_FALSE(form.cmdOverCW->isEnabled());

    engine.modes().shuttleOn = true;
    engine.busyLock().requestUnlock();
    platform.advance(5000);
    EXPECT_TRUE(form.Text1->isLocked());

    engine.modes().shuttleOn = false;
    engine.busyLock().requestUnlock();
    platform.advance(2400);
    EXPECT_TRUE(form.Text5->isLocked());
    platform.advance(200);
    EXPECT_FALSE(form.Text5->isLocked());
    EXPECT_TRUE(form.cmdHoogste->isEnabled());
    EXPECT_FALSE(form.cmdOverCW->isEnabled()); // overlay off
}

TEST_F(MainWindowTest, shuttleButton_goesToTheMiddleThenBetweenTheEndsUntilClicked) {
    form.Text8->setText("10");
    form.Text9->setText("50");
    recordTargets(4, [this] { QTest::mouseClick(form.cmdShuttle, Qt::LeftButton); });
    QTest::mouseClick(form.cmdShuttle, Qt::LeftButton);
    ASSERT_GE(targets.size(), 4u);
    EXPECT_EQ(std::vector<core::Long>(targets.begin(), targets.begin() + 4),
              (std::vector<core::Long>{30, 10, 50, 10}));
    EXPECT_EQ(form.cmdShuttle->text(), "S&huttle  off");
    EXPECT_TRUE(form.cmdGotoStep->isEnabled());
}

TEST_F(MainWindowTest, pulseWithPauseZero_reportsAndWritesFive) {
    form.Text10->setText("10");
    form.Text11->setText("0");
    QTest::mouseClick(form.cmdPulsloop, Qt::LeftButton);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Out off range PulsSteps(500) or PulsTime(120) ");
    EXPECT_EQ(form.Text11->text(), "5 Sec");
    EXPECT_EQ(form.cmdPulsloop->text(), "   &Puls    off");
}

TEST_F(MainWindowTest, lowSpeedBelowTheFastest_showsTheMinimumAndSetsOneSecond) {
    form.Text5->setText("0.001");
    QTest::mouseClick(form.cmdHoogste, Qt::LeftButton);
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_EQ(platform.messages[0].text, "Minimaal  .003 Sec");
    EXPECT_EQ(state.SlowestDelayMs, 1000);
    EXPECT_EQ(core::LeadingNumber(form.Text5->text()), 1.0);
}

TEST_F(MainWindowTest, maxBelowTheCounter_warnsAndSetsTheCounter) {
    state.StepCounter = 300;
    form.Text1->setText("100");
    QTest::mouseClick(form.cmdInputMax, Qt::LeftButton);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Warning I set counter to max but not the stepper.");
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_EQ(form.lblMax->text(), "100 Max");
    EXPECT_EQ(form.VSlider1->maximum(), 100);
    EXPECT_EQ(form.lblTeller->text(), "100");
}

TEST_F(MainWindowTest, doubleClickOnAField_actsLikeItsButton) {
    form.Text1->setText("400");
    QTest::mouseDClick(form.Text1, Qt::LeftButton);
    EXPECT_EQ(state.MaxPosition, 400);
}

TEST_F(MainWindowTest, calibrationPress_rocksAroundTheStartAtMost150msAndRestoresTheDelay) {
    state.StepCounter = 100;
    state.CalibrationSteps = 10;
    state.StepDelayMs = 500;
    recordTargets(4, [this] { QTest::mousePress(form.cmdCalibreer, Qt::LeftButton); });
    QTest::mousePress(form.cmdCalibreer, Qt::LeftButton);
    ASSERT_GE(targets.size(), 4u);
    EXPECT_EQ(std::vector<core::Long>(targets.begin(), targets.begin() + 3),
              (std::vector<core::Long>{110, 90, 110}));
    EXPECT_EQ(state.StepDelayMs, 500);
    EXPECT_EQ(form.cmdCalibreer->text(), "Calibratio&n");
}

TEST_F(MainWindowTest, typedNumbers_keepDigitsAndPointWithTheUnitBehind) {
    form.Text5->setText("1,5x");
    EXPECT_EQ(form.Text5->text(), "1.5 Sec");
    form.Text3->setText("-20");
    EXPECT_EQ(form.Text3->text(), "20");
    form.Text1->setText("abc");
    EXPECT_EQ(form.Text1->text(), "abc");
}

TEST_F(MainWindowTest, keysInTheDegreeField_beepAndEnterTurns) {
    window.setKeyPreview(false); // as entering the field does
    form.Text7->setText("18");
    QTest::keyClick(form.Text7, Qt::Key_1);
    EXPECT_EQ(platform.beeps.size(), 1u);
    form.Text7->setText("18");
    QTest::keyClick(form.Text7, Qt::Key_Return);
    EXPECT_EQ(state.StepCounter, 10);
}

TEST_F(MainWindowTest, housekeeping_countsTheAutopowerDownAndShowsTheClock) {
    window.setHousekeepingRunning(true);
    platform.advance(1000);
    EXPECT_EQ(form.chkAuto->text(), "Autopower (20 Sec.)");
    EXPECT_TRUE(form.lblTime->text().startsWith("Time "));
    platform.advance(5000);
    EXPECT_EQ(form.chkAuto->text(), "Autopower (15 Sec.)");
}

TEST_F(MainWindowTest, sliderRelease_turnsToTheThumbAndNamesTheTarget) {
    state.StepCounter = 0;
    form.VSlider1->setSliderDown(true);
    form.VSlider1->setValue(20);
    form.VSlider1->setSliderDown(false); // the release
    EXPECT_EQ(state.StepCounter, 20);
    EXPECT_EQ(form.VSlider1->toolTip(), "Drag slider (20) 36°");
    EXPECT_TRUE(form.VSlider1->isEnabled());
}

TEST_F(MainWindowTest, sliderLabelClick_switchesBetweenStepsAndDegrees) {
    state.StepCounter = 5;
    QTest::mouseClick(form.lblVscroll, Qt::LeftButton);
    EXPECT_TRUE(state.SliderShowsDegrees);
    EXPECT_EQ(form.lblVscroll->text(), "9°");
    QTest::mouseClick(form.lblVscroll, Qt::LeftButton);
    EXPECT_EQ(form.lblVscroll->text(), "5");
}

TEST_F(MainWindowTest, stepperOptions_reportTheClickedStepperAndFrame7ReenablesThem) {
    std::vector<core::Long> clicked;
    window.onStepperOptionClicked = [&](core::Long stepper) { clicked.push_back(stepper); };
    window.show(); // laid out, so a click hits the option button
    window.setStepperOptionsEnabled(false);
    // A press on a disabled option button reaches its frame, which enables both again.
    QTest::mouseClick(form.OptStepper[1], Qt::LeftButton);
    EXPECT_TRUE(form.OptStepper[1]->isEnabled());
    EXPECT_TRUE(clicked.empty());
    QTest::mouseClick(form.OptStepper[1], Qt::LeftButton);
    EXPECT_EQ(clicked, std::vector<core::Long>{1});
}

TEST_F(MainWindowTest, fastButton_togglesTheCaptionAndTheDelay) {
    QTest::mouseClick(form.cmdFast, Qt::LeftButton);
    EXPECT_EQ(form.cmdFast->text(), "Fa&st");
    EXPECT_EQ(state.StepDelayMs, state.FastestDelayMs);
    QTest::mouseClick(form.cmdFast, Qt::LeftButton);
    EXPECT_EQ(form.cmdFast->text(), "Cu&stom");
}

TEST_F(MainWindowTest, wheelOverAnyControl_turnsByWholeNotches) {
    state.StepCounter = 100;
    const auto turn = [this](QWidget* over, int angle) {
        QWheelEvent event(QPointF(5, 5), QPointF(5, 5), {}, QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(over, &event);
    };
    turn(form.VSlider1, 120); // a notch away from the user: one step up
    EXPECT_EQ(state.StepCounter, 101);
    turn(&window, -60); // half a notch towards the user: nothing yet
    EXPECT_EQ(state.StepCounter, 101);
    turn(&window, -60);
    EXPECT_EQ(state.StepCounter, 100);
}

TEST_F(MainWindowTest, rightClick_opensThePopUpOnlyOnTheFramesThatHaveIt) {
    window.show();
    QTest::mouseClick(form.Frame3, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_FALSE(form.popUpMenu()->isVisible());
    QTest::mouseClick(form.Frame9, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_TRUE(form.popUpMenu()->isVisible());
    form.popUpMenu()->hide();
}

} // namespace
