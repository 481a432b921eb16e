// The main window as the application wires it: its controls reach the logic and what the
// logic tells reaches the controls. The logic itself is tested without windows.
#include "app/AppFixture.h"
#include "support/AccessibleNames.h"

#include <QAccessible>
#include <QMenu>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

struct MainWindowTest : app_test::AppFixture {
    MainWindowTest() {
        firstStart();
        platform.messages.clear();
    }
    // What the user types over a field's text.
    void enter(mainwindow::EntryField* field, const QString& text) {
        field->selectAll();
        QTest::keyClicks(field, text);
    }
};

TEST_F(MainWindowTest, afterAGotoTheFieldsTakeTheKeysAgain_andEnterTurns) {
    enter(form.Text3, "12");
    QTest::mouseDClick(form.Text3, Qt::LeftButton); // the double click acts like "&Goto"
    EXPECT_EQ(state.StepCounter, 12);
    // The focus stayed in the field, key preview is on again: the keys still reach the field.
    enter(form.Text3, "36");
    EXPECT_EQ(form.Text3->text(), "36");
    QTest::keyClick(form.Text3, Qt::Key_Return);
    EXPECT_EQ(state.StepCounter, 36);

    enter(form.Text7, "9");
    QTest::keyClick(form.Text7, Qt::Key_Return);
    EXPECT_EQ(state.StepCounter, 5);
    EXPECT_EQ(platform.beeps.size(), 2u); // every key in the degree field beeps
}

TEST_F(MainWindowTest, aKeyTheFieldHasNoUseFor_turnsOnceWhileTheFieldHoldsTheFocus) {
    enter(form.Text3, "12");
    QTest::keyClick(form.Text3, Qt::Key_Return);
    ASSERT_EQ(state.StepCounter, 12);
    QTest::keyClick(form.Text3, Qt::Key_PageUp); // 90 degrees at 200 steps per 360
    EXPECT_EQ(state.StepCounter, 62);
    QTest::keyClick(form.Text3, Qt::Key_PageDown);
    EXPECT_EQ(state.StepCounter, 12);
}

TEST_F(MainWindowTest, aFieldsValueIsWhatItShows_alsoWhenItsTextWasSetWithoutKeys) {
    // As a screen reader or an on-screen keyboard sets a field.
    QAccessible::queryAccessibleInterface(form.Text3)->setText(QAccessible::Value, "12.5");
    QTest::mouseClick(form.cmdGotoStep, Qt::LeftButton);
    EXPECT_EQ(state.StepCounter, 12); // 12.5 rounded half to even
    QAccessibleEditableTextInterface* degrees =
        QAccessible::queryAccessibleInterface(form.Text7)->editableTextInterface();
    ASSERT_TRUE(degrees);
    degrees->replaceText(0, int(form.Text7->text().size()), "18");
    EXPECT_EQ(form.Text7->text(), "18 °") << "the field's rule holds for it too";
    QTest::mouseClick(form.cmdGotoDegrees, Qt::LeftButton);
    EXPECT_EQ(state.StepCounter, 10);

    form.Text5->setText("1,5x");
    EXPECT_EQ(form.Text5->text(), "1.5 Sec");
    QTest::mouseClick(form.cmdHoogste, Qt::LeftButton);
    EXPECT_EQ(state.SlowestDelayMs, 1500);

    // A key the rule refuses leaves the field as it was, also where that is no change.
    enter(form.Text3, "12");
    QTest::keyClicks(form.Text3, "a");
    EXPECT_EQ(form.Text3->text(), "12");
}

TEST_F(MainWindowTest, aLockedFieldKeepsItsText_alsoAgainstAScreenReader) {
    bool kept = false;
    platform.scheduleAfter(100, [&] {
        ASSERT_TRUE(form.Text1->isLocked()) << "a turn locks the range";
        QAccessible::queryAccessibleInterface(form.Text1)->setText(QAccessible::Value, "90");
        kept = form.Text1->text() == "500";
        app.engine().StopTurningAndFollowing();
    });
    QTest::mouseClick(form.cmdMaxCw, Qt::LeftButton);
    EXPECT_TRUE(kept);
    platform.advance(2500);
    ASSERT_FALSE(form.Text1->isLocked());
    QTest::mouseClick(form.cmdInputMax, Qt::LeftButton);
    EXPECT_EQ(state.MaxPosition, 500);
}

TEST_F(MainWindowTest, aClickOnTheDragBarsTrackTurnsByATwentiethOfTheRange) {
    app.mainWindow().show();
    mainwindow::SelectionSlider* bar = form.VSlider1;
    EXPECT_EQ(bar->toolTip(), "Drag Slider") << "until the first drag turn";
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 5)); // near the top
    QCoreApplication::processEvents();
    EXPECT_EQ(state.StepCounter, 25);
    EXPECT_EQ(bar->value(), 25);
    EXPECT_EQ(bar->toolTip(), "Drag slider (25) 45°");
    EXPECT_TRUE(bar->isEnabled());
    platform.advance(2000); // no repeated page steps after the click
    QCoreApplication::processEvents();
    EXPECT_EQ(state.StepCounter, 25);
}

TEST_F(MainWindowTest, aDragBarValueSetByAScreenReaderTurnsThere) {
    app.mainWindow().show();
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(form.VSlider1);
    ASSERT_TRUE(bar && bar->valueInterface());
    EXPECT_EQ(bar->role(), QAccessible::Slider);
    EXPECT_EQ(bar->valueInterface()->maximumValue().toInt(), 500);
    bar->valueInterface()->setCurrentValue(40); // no key or mouse button is let go after it
    QCoreApplication::processEvents();
    EXPECT_EQ(state.StepCounter, 40);
    EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 40);
    EXPECT_EQ(bar->text(QAccessible::Value), "40");
}

TEST_F(MainWindowTest, parameterButtonsAndDoubleClicksReachTheirPanel) {
    enter(form.Text5, "0.001");
    QTest::mouseClick(form.cmdHoogste, Qt::LeftButton);
    EXPECT_EQ(platform.messages.at(0).text, "Minimaal  .003 Sec");
    EXPECT_EQ(form.Text5->text(), "1 Sec");

    state.StepCounter = 300;
    enter(form.Text1, "100");
    QTest::mouseClick(form.cmdInputMax, Qt::LeftButton);
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_EQ(form.lblMax->text(), "100 Max");
    EXPECT_EQ(form.lblTeller->text(), "100");

    enter(form.Text1, "400");
    QTest::mouseDClick(form.Text1, Qt::LeftButton);
    EXPECT_EQ(state.MaxPosition, 400);
}

TEST_F(MainWindowTest, aTurnLocksTheParametersAndEscOrTheStopButtonEndsIt) {
    platform.scheduleAfter(100, [this] {
        EXPECT_TRUE(form.Text1->isLocked());
        EXPECT_FALSE(form.cmdHoogste->isEnabled());
        QTest::keyClick(&app.mainWindow(), Qt::Key_Escape);
    });
    QTest::mouseClick(form.cmdMaxCw, Qt::LeftButton);
    EXPECT_LT(state.StepCounter, 20);
    platform.scheduleAfter(100, [this] { QTest::mousePress(form.cmdStoppen, Qt::LeftButton); });
    QTest::mouseClick(form.cmdMaxCw, Qt::LeftButton);
    EXPECT_LT(state.StepCounter, 40);
    platform.advance(2500);
    EXPECT_FALSE(form.Text1->isLocked());
    EXPECT_TRUE(form.cmdHoogste->isEnabled());
}

TEST_F(MainWindowTest, thePinWalkTurnsTheWindowOffUntilItEnds_aStopEndsItEarly) {
    bool offDuringWalk = false;
    platform.scheduleAfter(2500, [&] {
        offDuringWalk = !app.mainWindow().isEnabled() && !form.cmdPoort->isEnabled();
        EXPECT_EQ(form.cmdLptTest->text(), "Pin  4");
    });
    QTest::mouseClick(form.cmdLptTest, Qt::LeftButton);
    EXPECT_TRUE(offDuringWalk);
    EXPECT_TRUE(app.mainWindow().isEnabled());
    EXPECT_TRUE(form.cmdPoort->isEnabled());
    EXPECT_EQ(form.cmdLptTest->text(), "LptTest");

    // A stop from elsewhere (the rig's lock, a network client) ends the walk at its next pin.
    platform.scheduleAfter(1500, [this] { app.engine().StopTurningAndFollowing(); });
    const double start = platform.steadyMs();
    QTest::mouseClick(form.cmdLptTest, Qt::LeftButton);
    EXPECT_LT(platform.steadyMs() - start, 3000);
    EXPECT_TRUE(app.mainWindow().isEnabled());
    EXPECT_EQ(form.cmdLptTest->text(), "LptTest");
}

TEST_F(MainWindowTest, theSpeedFieldsAreNotRewrittenWhileTheRampShowsItsSpeeds) {
    form.chkSpeedModulate->click();
    ASSERT_TRUE(state.SpeedModulate);
    enter(form.Text5, "2");
    QTest::mouseClick(form.cmdCw, Qt::LeftButton);
    platform.advance(2500); // the busy lock lets go
    enter(form.Text3, "20");
    QTest::mouseClick(form.cmdGotoStep, Qt::LeftButton);
    EXPECT_EQ(state.StepCounter, 20);
    EXPECT_EQ(form.Text5->text(), "2 Sec");
}

TEST_F(MainWindowTest, theSpeedPanelModesAndDragLabelReachTheWindowFromTheirOwners) {
    auto* bar = form.find<QScrollBar>("HScroll1");
    // The wheel's speed function moves the scroll bar through the speed panel.
    QTest::mouseClick(form.cmdScroll, Qt::LeftButton);
    ASSERT_EQ(form.cmdScroll->text(), "Speed");
    QWheelEvent towards(QPointF(5, 5), QPointF(5, 5), {}, QPoint(0, -120), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(form.VSlider1, &towards); // a notch towards: a shorter delay
    EXPECT_EQ(state.CustomDelayMs, 14);
    EXPECT_EQ(bar->value(), 14);
    EXPECT_EQ(form.find<QLabel>("lblSnelHeid")->text(), "Stepspeed  .014 Sec");

    // A stop ends the modes, and their captions say so.
    station::Station& station = app.station();
    station.modes().modes().calibrationRunning = true;
    station.modes().ModesChanged();
    auto* calibrate = form.find<QPushButton>("cmdCalibreer");
    ASSERT_EQ(calibrate->text(), "Ru&nning");
    app.engine().StopTurningAndFollowing();
    EXPECT_EQ(calibrate->text(), "Calibratio&n");

    // The drag bar's label follows the thumb, and the next stop shows the counter again.
    emit form.VSlider1->sliderMoved(123);
    EXPECT_EQ(form.lblVscroll->text(), "123");
    app.engine().StopTurningAndFollowing();
    EXPECT_EQ(form.lblVscroll->text(), "0");

    platform.clockStepPerRead = 0.5;
    QTest::mouseClick(form.find<QLabel>("lblPcspeed"), Qt::LeftButton);
    EXPECT_EQ(form.find<QLabel>("lblPcspeed")->text(), "PCspeed=2000");
}

TEST_F(MainWindowTest, shuttleButtonStartsAndAStopEndsTheMode) {
    enter(form.Text8, "10");
    enter(form.Text9, "50");
    platform.scheduleAfter(2000, [this] {
        EXPECT_EQ(form.cmdShuttle->text(), "S&huttle  on");
        EXPECT_FALSE(form.cmdGotoStep->isEnabled());
        QTest::mouseClick(form.cmdShuttle, Qt::LeftButton);
    });
    QTest::mouseClick(form.cmdShuttle, Qt::LeftButton);
    EXPECT_EQ(form.cmdShuttle->text(), "S&huttle  off");
    EXPECT_TRUE(form.cmdGotoStep->isEnabled());
}

TEST_F(MainWindowTest, theWheelTurnsOverAnyControl_andActivationMakesItTurnTheStepperAgain) {
    const auto turn = [](QWidget* over, int angle) {
        QWheelEvent event(QPointF(5, 5), QPointF(5, 5), {}, QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(over, &event);
    };
    turn(form.VSlider1, 120); // a notch away from the user: one step up
    EXPECT_EQ(state.StepCounter, 1);
    QTest::mouseClick(form.cmdScroll, Qt::LeftButton);
    EXPECT_EQ(form.cmdScroll->text(), "Speed");
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&app.mainWindow(), &activate);
    EXPECT_EQ(form.cmdScroll->text(), "Stepper");
    EXPECT_TRUE(form.mnuWheelStepper->isChecked());
}

TEST_F(MainWindowTest, framesOpenThePopUp_andAPressOnADisabledOptionEnablesThemAgain) {
    app.mainWindow().show();
    QTest::mouseClick(form.Frame3, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_FALSE(form.popUpMenu()->isVisible());
    QTest::mouseClick(form.Frame9, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_TRUE(form.popUpMenu()->isVisible());
    form.popUpMenu()->hide();

    QTest::mouseClick(form.cmdCw, Qt::LeftButton); // a turn disables the stepper options
    EXPECT_FALSE(form.OptStepper[1]->isEnabled());
    QTest::mouseClick(form.OptStepper[1], Qt::LeftButton);
    EXPECT_TRUE(form.OptStepper[1]->isEnabled());
    EXPECT_EQ(state.SelectedStepper, 0);
    QTest::mouseClick(form.OptStepper[1], Qt::LeftButton);
    EXPECT_EQ(state.SelectedStepper, 1);

    QTest::mouseClick(form.lblVscroll, Qt::LeftButton);
    EXPECT_EQ(form.lblVscroll->text(), "0°");
}

} // namespace

TEST_F(MainWindowTest, aBoxTheUserTicked_staysTickedAsTheWindowShowsATurn) {
    form.mnuOverlay->trigger();
    enter(form.Text12, "5");
    QTest::mouseClick(form.cmdOverlayInput, Qt::LeftButton);
    ASSERT_TRUE(form.chkOverlay->isEnabled());
    form.chkOverlay->click();
    ASSERT_TRUE(state.OverlayOn);
    QTest::mouseClick(form.cmdCw, Qt::LeftButton);
    EXPECT_EQ(state.StepCounter, 1);
    EXPECT_TRUE(state.OverlayOn);
    EXPECT_TRUE(form.chkOverlay->isChecked());
    platform.advance(2500); // the busy lock lets go
    EXPECT_TRUE(form.cmdOverCW->isEnabled());
}

TEST_F(MainWindowTest, aMarkTheUserChanged_staysAsHeLeftItWhileHisCommandRunsAndOtherNewsArrive) {
    form.mnuOverlay->trigger();
    enter(form.Text12, "5");
    QTest::mouseClick(form.cmdOverlayInput, Qt::LeftButton);
    form.chkOverlay->click();
    QTest::mouseClick(form.cmdOverCW, Qt::LeftButton);
    platform.advance(2500);
    form.chkAuto->click(); // manual power: the settling turn switches the drivers on
    ASSERT_FALSE(form.chkFieldPower->isChecked());

    // Hiding the panels first settles the overlay; the power box ticks meanwhile.
    std::optional<bool> entryTickedMeanwhile;
    platform.scheduleAfter(10, [&] { entryTickedMeanwhile = form.mnuOverlay->isChecked(); });
    form.mnuOverlay->trigger();
    ASSERT_TRUE(entryTickedMeanwhile.has_value());
    EXPECT_FALSE(*entryTickedMeanwhile);
    EXPECT_TRUE(form.chkFieldPower->isChecked());
    EXPECT_FALSE(form.mnuOverlay->isChecked());
    EXPECT_FALSE(form.overlayPanelsShown());

    // The centre switch asks for its position while the power box counts down.
    form.chkAuto->click();
    auto* center = form.find<QAction>("mnuEndSwitchCenter");
    std::optional<bool> centerTickedMeanwhile;
    platform.answerNextInput("100");
    platform.whileNextDialogOpen([&] {
        platform.advance(3000);
        centerTickedMeanwhile = center->isChecked();
    });
    center->trigger();
    ASSERT_TRUE(centerTickedMeanwhile.has_value());
    EXPECT_TRUE(*centerTickedMeanwhile);
    EXPECT_TRUE(center->isChecked());
    EXPECT_EQ(state.CenterPosition, 100);
}

namespace {

// What a screen reader does to press a control.
void PressAsScreenReader(QWidget* control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    ASSERT_TRUE(accessible && accessible->actionInterface());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

} // namespace

TEST_F(MainWindowTest, theCalibrationRunStartsAndEndsWithoutTheMouse) {
    auto* calibrate = form.find<QPushButton>("cmdCalibreer");
    bool rocked = false;
    bool stopped = false;
    lpt->traceWrites();
    platform.scheduleAfter(3000, [&] {
        rocked = calibrate->text() == "Ru&nning" && !lpt->valuesWritten(888).empty();
        QTest::keyClick(calibrate, Qt::Key_Space); // the window's stop key ends it
        stopped = true;
    });
    PressAsScreenReader(calibrate);
    ASSERT_TRUE(QTest::qWaitFor([&] { return stopped; }, 5000)) << "the run never started";
    EXPECT_TRUE(rocked);
    EXPECT_EQ(calibrate->text(), "Calibratio&n");
}

TEST_F(MainWindowTest, enterPressesTheFocusedButton_spaceStaysTheStop) {
    QTest::keyClick(form.cmdCw, Qt::Key_Space);
    QTest::qWait(200);
    EXPECT_EQ(state.StepCounter, 0) << "Space stops and clicks nothing";
    QTest::keyClick(form.cmdScroll, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([this] { return form.cmdScroll->text() == "Speed"; }, 1000));
    QTest::keyClick(form.cmdCw, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return state.StepCounter == 1; }, 1000));
}

TEST_F(MainWindowTest, theMenuKeyOpensThePopUp_whoseStepperEntryTheKeyboardNeedsAfterATurn) {
    app.mainWindow().show();
    QTest::keyClick(form.cmdCw, Qt::Key_Space); // the stop key: no turn
    QTest::keyClick(form.cmdCw, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form.OptStepper[1]->isEnabled(); }, 1000))
        << "a turn greys the stepper options";
    QTest::keyClick(form.cmdCw, Qt::Key_Menu);
    EXPECT_TRUE(form.popUpMenu()->isVisible());
    form.popUpMenu()->hide();
    QTest::keyClick(form.Frame9, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(form.popUpMenu()->isVisible());
    form.mnuStepper12->trigger();
    form.popUpMenu()->hide();
    EXPECT_EQ(state.SelectedStepper, 1);
}

TEST_F(MainWindowTest, aScreenReaderTellsEveryControlTheKeyboardReachesApart) {
    form.mnuOverlay->trigger(); // the overlay's panels too
    form.mnuTarvex->trigger();  // and the webcam picture
    app.mainWindow().show();
    EXPECT_EQ(testing_support::UnnamedOrAlike(app.mainWindow()), QStringList());
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(form.Text5);
    EXPECT_EQ(field->text(QAccessible::Name), "LowSpeed") << "named after its button";
    EXPECT_EQ(field->text(QAccessible::Description), "Slowest stepspeed in sec.");
}
