// Automatic tuning on the simulated rig and the virtual clock.
#include "engine/KeyCodes.h"
#include "support/QtPrinters.h"
#include "tuning/RigTuningFixture.h"

#include <QDir>
#include <QSignalSpy>
#include <functional>
#include <utility>
#include <vector>

using tuning_test::RigTuningFixture;
using RigTuningTest = RigTuningFixture;

TEST_F(RigTuningTest, theFirstPollSendsTheStartUpRow_aNewDialIsFollowedOnceTheCheckAgrees) {
    loadTable("3500,100,\"80m\"\r\n3800,160,\"*start\"\r\n4000,200,\"\"\r\n");
    tuning.port().ComportClicked();
    ASSERT_TRUE(tuning.port().portOpen());
    EXPECT_FALSE(tuning.port().menusEnabled());
    poll();
    EXPECT_EQ(simulated.rig().frequency(), 3800.0); // the row whose description starts with *
    EXPECT_TRUE(tuning.follower().locked());
    EXPECT_TRUE(logged("0,0,0,0,3 {Ask Freq}"));

    poll();
    EXPECT_EQ(state.StepCounter, 160);
    EXPECT_EQ(view.view().ListIndex, 1);
    EXPECT_EQ(view.view().InterpolValueText, "160");

    // Between the rows the position is interpolated; a new dial is followed once a second
    // reading agrees: the check read right after the poll, not the next poll.
    simulated.rig().turnDial(-150); // 3650 kHz
    poll();
    EXPECT_EQ(state.StepCounter, 130);
    EXPECT_EQ(view.view().InterpolValueText, "130");
    EXPECT_EQ(view.view().ListIndex, 1); // the first row at or above the position
    EXPECT_EQ(tuning.rigState().frequencyText(), "3650 kHz");
}

TEST_F(RigTuningTest, theTurnBetweenRowsStartsWithTheBlink_andPollsKeepTheirPaceMeanwhile) {
    state.ComPollMs = 200;
    openAndFollow();
    struct Shown {
        double atMs;
        QString text;
        core::Long counter; // where the stepper stood then
    };
    std::vector<Shown> shown;
    const QObject scope;
    QObject::connect(&view, &table::TableViewModel::changed, &scope, [&] {
        const QString& text = view.view().InterpolValueText;
        if (shown.empty() || shown.back().text != text)
            shown.push_back({platform.steadyMs(), text, state.StepCounter});
    });
    simulated.rig().setFrequency(3750); // 50 steps of 15 ms away
    poll();
    poll();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "???");
    EXPECT_EQ(shown[1].text, "150");
    EXPECT_EQ(shown[1].atMs - shown[0].atMs, 100);
    EXPECT_GT(shown[1].counter, 100); // the stepper did not wait for the blink
    EXPECT_EQ(state.StepCounter, 150);

    // Standing between rows every poll blinks; still the rig is read every 200 ms, not every
    // 200 ms plus the exchange and the blink.
    const int reads = framesWithOpcode(0x03);
    platform.advance(2000);
    EXPECT_EQ(framesWithOpcode(0x03) - reads, 10);
    EXPECT_EQ(state.StepCounter, 150);
}

TEST_F(RigTuningTest, pollsStartAnIntervalApart_afterAnExchangeLongerThanThatTheLineRests) {
    state.ComPollMs = 200;
    openAndFollow(); // on the first row: no blink
    std::vector<double> asked;
    std::vector<double> answered;
    const QObject scope;
    QObject::connect(&log, &rig::CatLog::terminalChanged, &scope, [&] {
        if (log.TerminalBuffer().endsWith("{Ask Rx Status}\r\n")) // a poll's first frame
            asked.push_back(platform.steadyMs());
    });
    QObject::connect(&rig, &rig::RigConnection::readingArrived, &scope,
                     [&] { answered.push_back(platform.steadyMs()); });
    platform.advance(1000);
    ASSERT_GE(asked.size(), 4u);
    for (std::size_t i = 1; i < asked.size(); ++i)
        EXPECT_NEAR(asked[i] - asked[i - 1], 200, 1);

    // A slow rig: each exchange takes longer than the interval; the next poll waits half an
    // interval after the reply instead of following at once.
    simulated.setLatencyMs(90);
    asked.clear();
    answered.clear();
    platform.advance(2000);
    ASSERT_GE(asked.size(), 3u);
    for (std::size_t i = 1; i < asked.size(); ++i) {
        EXPECT_GT(answered[i - 1] - asked[i - 1], 200);
        EXPECT_NEAR(asked[i] - answered[i - 1], 100, 1);
    }
    EXPECT_EQ(state.StepCounter, 100);
}

TEST_F(RigTuningTest, whatComesDuringTheBlinkIsNotOverwrittenWhenItEnds) {
    openAndFollow();
    // The user turns to the 4000 kHz row, or closes the window, while the label blinks.
    std::function<void()> duringBlink = [&] { tuning.tableCommands().TurnToRow(2); };
    const QObject scope;
    QObject::connect(&view, &table::TableViewModel::changed, &scope, [&] {
        if (duringBlink && view.view().InterpolValueText == "???")
            platform.scheduleAfter(50, std::exchange(duringBlink, nullptr));
    });
    simulated.rig().setFrequency(3750);
    poll();
    platform.advance(1000);
    EXPECT_EQ(state.StepCounter, 200);
    EXPECT_EQ(view.view().InterpolValueText, "200");
    EXPECT_EQ(view.view().InterpolValueColor, table::LabelMagenta);

    duringBlink = [&] { EXPECT_TRUE(tuning.Unload(false)); };
    simulated.rig().setFrequency(3750);
    if (tuning.follower().locked()) // the check after the last poll bore the 4000 kHz row out
        tuning.PollRig();
    else
        tuning.rigCommands().LockClicked(); // polls at once
    platform.advance(1000);
    EXPECT_FALSE(tuning.port().portOpen());
    EXPECT_FALSE(tuning.poller().timerRunning());
    EXPECT_EQ(view.view().InterpolValueText, table::InterpolValueTitle);
}

TEST_F(RigTuningTest, outOfRangeUnlocks_aSilentOrGarbledRigMovesNothingAndKeepsTheLock) {
    openAndFollow();
    simulated.rig().setFrequency(7050);
    poll();
    poll();
    EXPECT_FALSE(tuning.follower().locked());
    EXPECT_EQ(view.view().InterpolValueText, "No");
    EXPECT_EQ(view.view().InfoInterpolText, "Out off range!");
    EXPECT_EQ(state.StepCounter, 100);

    // Back on the table's first row, where the stepper stands: locked once confirmed.
    simulated.rig().setFrequency(3500);
    poll();
    poll();
    EXPECT_TRUE(tuning.follower().locked());
    EXPECT_EQ(view.view().InfoInterpolText, "");

    // No reply, a garbled reply, a short reply: no frequency, nothing moves, and following goes
    // on with the next good reading.
    simulated.rig().setFrequency(3750);
    simulated.setSilent(true);
    poll();
    EXPECT_EQ(tuning.rigState().frequencyText(), "-----.- kHz");
    EXPECT_EQ(tuning.follower().CatFrequency(), 0.0f);
    EXPECT_EQ(view.view().InterpolValueText, "No");
    simulated.setSilent(false);
    simulated.replaceNextReply(QByteArray::fromHex("00375A0001"), 0x03);
    poll();
    simulated.replaceNextReply(QByteArray::fromHex("003750"), 0x03);
    poll();
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_TRUE(tuning.follower().locked());
    poll();
    poll();
    EXPECT_EQ(state.StepCounter, 150);
}

TEST_F(RigTuningTest, pttWatchdogReleasesAfter15s_andNothingRelocksOrTurnsWhileWeTransmit) {
    openAndFollow();
    const int pttOnFrames = framesWithOpcode(0x08);
    tuning.rigCommands().PttToggle(false);
    const double keyedAt = platform.steadyMs();
    EXPECT_TRUE(tuning.rigState().pttOn());
    EXPECT_EQ(framesWithOpcode(0x08), pttOnFrames + 1);
    EXPECT_FALSE(tuning.follower().locked());
    EXPECT_FALSE(tuning.follower().lockEnabled());

    simulated.rig().setFrequency(3750);
    poll();
    poll();
    const std::size_t beeps = platform.beeps.size();
    tuning.rigCommands().LockClicked();
    tuning.tableCommands().FrequencyUp(1); // the rig is tuned, the stepper stays
    view.SetInputText("4000");
    const std::size_t messages = platform.messages.size();
    platform.answerNextMessage(platform::Answer::No);
    tuning.tableCommands().TurnToClicked(); // our own PTT: asked first, like the rig's transmit
    tuning.rigCommands().PeakSearchClicked();
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_FALSE(tuning.follower().locked());
    EXPECT_EQ(platform.beeps.size(), beeps + 2);
    ASSERT_EQ(platform.messages.size(), messages + 1);
    EXPECT_EQ(platform.messages.back().icon, platform::Icon::Question);

    platform.advance(keyedAt + tuning::RigTuning::PttWatchdogMs - 100 - platform.steadyMs());
    EXPECT_TRUE(tuning.rigState().pttOn());
    platform.advance(200);
    EXPECT_FALSE(tuning.rigState().pttOn());
    EXPECT_EQ(framesWithOpcode(0x88), 1); // the watchdog's
    EXPECT_TRUE(tuning.follower().lockEnabled());
    tuning.rigCommands().LockClicked();
    platform.advance(3000);
    EXPECT_EQ(state.StepCounter, 152); // 3759 kHz: the dial and one step of 9 kHz
}

TEST_F(RigTuningTest, pttInAmSwitchesTheModeAndRestoresIt_aTransmitInhibitReleasesThePtt) {
    openAndFollow();
    tuning.ptt().setAmPtt(true);
    tuning.rigCommands().PttToggle(false);
    EXPECT_EQ(tuning.rigState().modeIndex(), 5); // "AM"
    EXPECT_EQ(simulated.rig().modeCode(), 4);
    simulated.rig().setTransmitInhibit(true);
    poll();
    EXPECT_FALSE(tuning.rigState().pttOn());
    EXPECT_EQ(tuning.rigState().modeIndex(), 2); // USB again
    EXPECT_EQ(simulated.rig().modeCode(), 1);
}

TEST_F(RigTuningTest, aPttTheLinkDoesNotKeyBeeps_andLeavesTheLockButtonEnabled) {
    useRigctld();
    loadTable("3500,100,\"80m\"\r\n4000,200,\"\"\r\n");
    tuning.port().ComportClicked();
    ASSERT_TRUE(tuning.port().portOpen());
    tuning.rigCommands().PttToggle(false); // the daemon is not connected yet
    EXPECT_FALSE(tuning.rigState().pttOn());
    EXPECT_EQ(platform.beeps.size(), 1u);
    EXPECT_TRUE(tuning.follower().lockEnabled());
    tuning.port().ComportClicked();
}

TEST_F(RigTuningTest, pollRateStepsDownAndUpAndAStoredRateOutsideTheFourBecomes1000) {
    state.ComPollMs = 700;
    loadTable({});
    EXPECT_EQ(state.ComPollMs, 1000);
    state.ComPollMs = 1500;
    QList<int> rates;
    for (int i = 0; i < 7; ++i) {
        tuning.rigCommands().PollRateClicked();
        rates << state.ComPollMs;
    }
    EXPECT_EQ(rates, (QList<int>{1000, 500, 200, 500, 1000, 1500, 1000}));
}

TEST_F(RigTuningTest, comportToggles_aFailedOpenLeavesItClosed_aStoredPortOutside1to4IsNone) {
    loadTable("3500,100,\"\"\r\n");
    simulated.failNextOpen("Device or resource busy");
    tuning.port().ComportClicked();
    EXPECT_FALSE(tuning.port().portOpen());
    EXPECT_TRUE(tuning.port().menusEnabled());
    EXPECT_FALSE(tuning.poller().timerRunning());
    EXPECT_EQ(platform.messages.back().text, "Function ComPortOpen\r\nDevice or resource busy");

    tuning.port().ComportClicked();
    EXPECT_TRUE(tuning.port().portOpen());
    EXPECT_TRUE(tuning.poller().timerRunning());
    QSignalSpy closed(&tuning, &tuning::RigTuning::portOpenChanged);
    tuning.rigCommands().PttToggle(false);
    tuning.port().ComportClicked();
    EXPECT_FALSE(tuning.port().portOpen());
    EXPECT_FALSE(tuning.rigState().pttOn());
    EXPECT_FALSE(simulated.isOpen());
    EXPECT_EQ(closed.size(), 1);

    state.ComPort = 7;
    tuning.port().SelectComPort(7);
    EXPECT_EQ(state.ComPort, 0);
    tuning.port().ComportClicked();
    EXPECT_FALSE(tuning.port().portOpen());
    EXPECT_EQ(platform.messages.back().text,
              "Choose COM1 to COM4 or the simulated rig in the Com menu first.");
}

TEST_F(RigTuningTest, aSlowTurnIsNotRestartedByPollsToTheSameTarget) {
    loadTable("3500,100,\"\"\r\n4000,200,\"\"\r\n");
    state.SlowestDelayMs = 4000;
    speedControl.SetSpeed();
    speedControl.setScrollValue(1500); // steps 1.5 s apart, longer than a poll
    speedControl.SetSpeed();
    tuning.port().ComportClicked();
    platform.advance(1000 + 6 * 1500);
    EXPECT_TRUE(engine.slowTurnRunning());
    EXPECT_GE(state.StepCounter, 5);
}

TEST_F(RigTuningTest, betweenASlowTurnsSteps_theRigKeyedIsSeenBeforeTheNextStep) {
    state.ComPollMs = 1500;
    openAndFollow();
    state.SlowestDelayMs = 4000;
    speedControl.SetSpeed();
    speedControl.setScrollValue(1100); // steps 1.1 s apart, sooner than the next poll
    speedControl.SetSpeed();
    simulated.rig().setFrequency(4000);
    poll();
    ASSERT_TRUE(engine.slowTurnRunning());
    // The polls keep their pace beside the transmit reads.
    const int polls = framesWithOpcode(0x03);
    platform.advance(4500);
    EXPECT_GE(framesWithOpcode(0x03) - polls, 2);
    EXPECT_LE(framesWithOpcode(0x03) - polls, 4);

    // Keyed right after a step: the gate knows it at once, and the next step is not made.
    QSignalSpy steps(&engine, &engine::Engine::slowStepMade);
    for (int ms = 0; steps.isEmpty() && ms < 2000; ++ms)
        platform.advance(1);
    ASSERT_FALSE(steps.isEmpty());
    simulated.rig().setTransmit(true);
    const core::Long keyedAt = state.StepCounter;
    platform.advance(100);
    EXPECT_TRUE(tuning.transmitting());
    platform.advance(3000);
    EXPECT_EQ(state.StepCounter, keyedAt);

    simulated.rig().setTransmit(false);
    platform.advance(5000);
    EXPECT_GT(state.StepCounter, keyedAt); // following goes on
}

TEST_F(RigTuningTest, aSlowTurnTheUserAsksFor_isNotUndoneByFollowing_beforeOrAfterItsFirstStep) {
    openAndFollow(); // locked at 100
    state.SlowestDelayMs = 4000;
    speedControl.SetSpeed();
    speedControl.setScrollValue(1500); // steps 1.5 s apart, longer than a poll
    speedControl.SetSpeed();
    // As the web page or rotctld asks: the user takes over from following.
    engine::TurnRequest request{110, engine::TurnOrigin::Network};
    engine.TurnTo(request.replacing());
    ASSERT_TRUE(engine.slowTurnRunning());

    platform.advance(20 * 1500);
    EXPECT_EQ(state.StepCounter, 110);
    EXPECT_FALSE(engine.slowTurnRunning());
}

TEST_F(RigTuningTest, pollsPauseWhileAModalBoxIsOpenAndWhileTheEngineTurns) {
    openAndFollow();
    const std::size_t frames = simulated.rig().framesReceived().size();
    {
        const auto pause = tuning.pausePolls();
        EXPECT_FALSE(tuning.poller().timerRunning());
        platform.advance(5000);
        EXPECT_EQ(simulated.rig().framesReceived().size(), frames);
    }
    EXPECT_TRUE(tuning.poller().timerRunning());
    // Without the transmit guard nothing needs to watch the rig during a turn.
    tuning.rigCommands().TransmitGuardClicked(false);
    engine.TurnTo({300, engine::TurnOrigin::Window}); // 200 steps of 15 ms: no poll meanwhile
    EXPECT_EQ(simulated.rig().framesReceived().size(), frames);
    tuning.rigCommands().TransmitGuardClicked(true);
    engine.TurnTo({0, engine::TurnOrigin::Window});
    EXPECT_GT(simulated.rig().framesReceived().size(), frames);
}

TEST_F(RigTuningTest, aRigThatReportsNoTransmitIsNotReadDuringATurn) {
    state.RigModel = static_cast<core::Integer>(rig::Model::Ft757GXII);
    openAndFollow();
    ASSERT_TRUE(tuning.guard().enabled());
    const std::size_t frames = simulated.rig().framesReceived().size();
    // 200 steps of 15 ms, three polls due meanwhile: its 75-byte read would hold the turn.
    engine.TurnTo({300, engine::TurnOrigin::Window});
    EXPECT_EQ(simulated.rig().framesReceived().size(), frames);
    EXPECT_EQ(state.StepCounter, 300);
}

TEST_F(RigTuningTest, escUnlocksAndHaltsFollowing_lockingResumesIt) {
    openAndFollow();
    simulated.rig().setFrequency(4000);
    platform.scheduleAfter(state.ComPollMs + 400, [this] { engine.StopTurningAndFollowing(); });
    poll();
    platform.advance(500);
    EXPECT_FALSE(tuning.follower().locked());
    EXPECT_TRUE(state.RigFollowHalted);
    const core::Long stoppedAt = state.StepCounter;
    EXPECT_LT(stoppedAt, 200);
    poll();
    EXPECT_EQ(state.StepCounter, stoppedAt);
    if (tuning.follower().locked()) // the check after the last poll bore the 4000 kHz row out
        tuning.PollRig();
    else
        tuning.rigCommands().LockClicked(); // polls at once
    settle();
    EXPECT_EQ(state.StepCounter, 200);
}

TEST_F(RigTuningTest, peakSearchGoesToTheLoudestPosition_flatReadingsReturn_escStops) {
    openAndFollow();
    // A signal peaking at step 105.
    auto signal = std::make_unique<QObject>();
    QObject::connect(
        &engine, &engine::Engine::counterChanged, signal.get(),
        [this](core::Long counter) { simulated.rig().setSMeter(15 - std::abs(counter - 105)); });
    tuning.rigCommands().PeakSearchClicked();
    EXPECT_EQ(state.StepCounter, 105);
    EXPECT_FALSE(tuning.follower().locked());

    signal.reset();
    simulated.rig().setSMeter(3);
    QStringList captions;
    const QObject scope;
    QObject::connect(&tuning, &tuning::RigTuning::changed, &scope,
                     [&] { captions << tuning.peakSearch().Caption(); });
    tuning.rigCommands().PeakSearchClicked();
    EXPECT_EQ(state.StepCounter, 105); // flat: back where it began
    EXPECT_TRUE(captions.contains("Works now"));
    EXPECT_TRUE(captions.contains("29 x S-meter =  3"));

    platform.scheduleAfter(1000, [this] { engine.StopTurningAndFollowing(); });
    tuning.rigCommands().PeakSearchClicked();
    EXPECT_FALSE(tuning.peakSearch().searching());
    EXPECT_LT(state.StepCounter, 100); // stopped on the way up from 90
    EXPECT_TRUE(tuning.poller().timerRunning());
}

TEST_F(RigTuningTest, withThePortClosedAFrequencyStepTurnsWhenLockedAndWritesNothing) {
    openAndFollow();
    tuning.port().ComportClicked();
    ASSERT_FALSE(tuning.port().portOpen());
    const QByteArray written = simulated.written();
    const std::size_t beeps = platform.beeps.size();
    tuning.rigCommands().LockClicked();
    state.CatScrollSetting = 50;
    tuning.tableCommands().FrequencyUp(2);
    EXPECT_EQ(tuning.follower().CatFrequency(), 3600.0f);
    EXPECT_EQ(tuning.rigState().frequencyText(), "3600 kHz");
    EXPECT_EQ(state.StepCounter, 120);
    tuning.tableCommands().FrequencyDown(0); // counts as one step
    EXPECT_EQ(tuning.follower().CatFrequency(), 3550.0f);
    tuning.tableCommands().FrequencyUp(20000); // beyond the FT-817's bands: a beep, nothing else
    EXPECT_EQ(tuning.follower().CatFrequency(), 3550.0f);
    EXPECT_EQ(platform.beeps.size(), beeps + 1);
    EXPECT_EQ(simulated.written(), written);
}

TEST_F(RigTuningTest, aNumericFaultOfTheInterpolationIsToldAndClosesThePort) {
    loadTable("0,0,\"\"\r\n4000,200,\"\"\r\n", 4); // ln(x) of the row at 0
    tuning.port().ComportClicked();
    simulated.rig().setFrequency(2000);
    poll();
    poll();
    EXPECT_FALSE(tuning.port().portOpen());
    EXPECT_EQ(platform.messages.back().text,
              "f(x)=sqr(x)\r\nInterpol error Invalid procedure call or argument");
    EXPECT_EQ(state.StepCounter, 0);
}

TEST_F(RigTuningTest, theOffsetDialogAcceptsThirtyRefusesThirtyOneAndRelocksWithThePortOpen) {
    openAndFollow();
    tuning.rigCommands().LockClicked();
    ASSERT_FALSE(tuning.follower().locked());
    platform.answerNextInput("31");
    tuning.tableCommands().StepperOffsetClicked();
    EXPECT_EQ(editor.data().StepperOffset, 0);
    EXPECT_EQ(platform.messages.back().text, "To large offset max = +/- 30");
    EXPECT_FALSE(tuning.follower().locked());
    platform.answerNextInput("30");
    tuning.tableCommands().StepperOffsetClicked();
    EXPECT_EQ(editor.data().StepperOffset, 30);
    EXPECT_TRUE(tuning.follower().locked());
    poll();
    EXPECT_EQ(state.StepCounter, 130);
}

TEST_F(RigTuningTest, theWheelWalksTheRowsThroughTheRigAndStepsTheFrequency) {
    openAndFollow();
    wheel.ChooseWheelFunction(engine::WheelFunction::Table);
    wheel.HandleWheel(-1, 0); // away from the user: the next row
    EXPECT_EQ(simulated.rig().frequency(), 4000.0);
    EXPECT_EQ(state.StepCounter, 200);
    wheel.HandleWheel(-1, 0); // no row beyond the last
    EXPECT_EQ(view.view().ListIndex, 1);

    wheel.ChooseWheelFunction(engine::WheelFunction::Frequency);
    ASSERT_EQ(wheel.function(), engine::WheelFunction::Frequency);
    wheel.HandleWheel(1, 0);
    settle(); // a reading under way ends first
    EXPECT_EQ(simulated.rig().frequency(), 3991.0);
    wheel.HandleWheel(3, engine::ShiftHeld); // the step grows by the notches
    EXPECT_EQ(state.CatScrollSetting, 12);
    EXPECT_TRUE(tuning.tableCommands().jumpLabelRed());
}

TEST_F(RigTuningTest,
       closingTheWindowClosesThePortSavesTheTableAndEndsItsLimits_unlessTheSaveFails) {
    openAndFollow();
    editor.ApplyTableLimits(true);
    state.StepCounter = 120;
    editor.AddOrReplaceRow(3700);
    ASSERT_TRUE(tuning.Unload(false));
    EXPECT_FALSE(simulated.isOpen());
    EXPECT_FALSE(editor.TableChanged());
    EXPECT_FALSE(editor.TableLimitsApplied());

    // A table that cannot be saved: the user decides whether the window closes.
    editor.AddOrReplaceRow(3900);
    ASSERT_TRUE(QFile::remove(dir.filePath("Table.cat")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("Table.cat"));
    platform.answerNextMessage(platform::Answer::Ok); // the save's failure
    platform.answerNextMessage(platform::Answer::No);
    EXPECT_FALSE(tuning.Unload(false));
    EXPECT_EQ(platform.messages.back().text,
              "The table is not saved.\r\nClose the table window all the same ?");
    EXPECT_TRUE(editor.TableChanged());
}

TEST_F(RigTuningTest, onTheWayOut_theLinkStaysForThePark_unkeyed_andNothingIsFollowedAnyMore) {
    openAndFollow();
    tuning.rigCommands().PttToggle(false);
    ASSERT_TRUE(tuning.rigState().pttOn());
    ASSERT_TRUE(tuning.Unload(true));
    EXPECT_TRUE(tuning.port().portOpen());
    EXPECT_FALSE(tuning.rigState().pttOn());
    simulated.rig().turnDial(250); // 3750 kHz: position 150
    poll();
    poll();
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_FALSE(tuning.follower().locked());
}

TEST_F(RigTuningTest, settingTheCounterToTheInterpolValue_writesNothingToThePort) {
    openAndFollow();
    tuning.rigCommands().LockClicked(); // unlocked: the value label may be taken as the counter
    ASSERT_FALSE(tuning.follower().locked());
    engine.TurnTo({102, engine::TurnOrigin::Window});
    ASSERT_EQ(view.view().InterpolValueText, "100");
    lpt.traceWrites();
    ASSERT_TRUE(tuning.tableCommands().setToInterpolEnabled());
    tuning.tableCommands().SetCounterToInterpol();
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_TRUE(lpt.writes().empty());
}
