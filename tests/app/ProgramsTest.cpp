// The direct and timer tables as the application wires them, through the real engine on the
// simulated port and the virtual clock. Their logic is tested without windows in tests/program.
#include "app/AppFixture.h"
#include "port/CoilOutput.h"

#include <QListWidget>
#include <QPointer>

namespace {

struct ProgramsTest : app_test::AppFixture {
    // A data-register write and where the selected stepper stood when it was made.
    struct Write {
        double atMs;
        core::Long stepper;
        core::Long counter;
        int value = 0;
    };

    std::vector<Write> writes;

    ProgramsTest() {
        firstStart();
        platform.messages.clear();
        lpt->traceWrites([this] {
            writes.push_back({platform.steadyMs(), state.SelectedStepper, state.StepCounter});
            return platform.steadyMs();
        });
    }
    std::vector<Write> trace() {
        for (std::size_t i = 0; i < writes.size(); ++i)
            writes[i].value = lpt->writes()[i].value;
        return writes;
    }
    // Each new counter value the trace saw, with the time of its step.
    std::vector<std::pair<core::Long, double>> steps() {
        std::vector<std::pair<core::Long, double>> made;
        for (const Write& w : trace()) {
            if (made.empty() || w.counter != made.back().first)
                made.push_back({w.counter, w.atMs});
        }
        return made;
    }
    program::DirectTableWindow* openDirect(const QString& program) {
        QTest::mouseClick(form.cmdDirect, Qt::LeftButton);
        program::DirectTableWindow* direct = app.directWindow();
        if (direct)
            QTest::keyClicks(direct->txtData, program);
        return direct;
    }
    QString inSeconds(int seconds) const {
        return platform.now().addSecs(seconds).toString(QStringLiteral("hh:mm:ss"));
    }
    // A line of the timer table: the stepper turns to counter in seconds from now.
    QByteArray timedTurn(int seconds, int counter, int stepper) const {
        return QString("\"%1\",%2,%3\r\n")
            .arg(inSeconds(seconds))
            .arg(counter)
            .arg(stepper)
            .toLatin1();
    }
    // Clicks closeButton afterMs into what run() starts. True when the window stood, hidden,
    // through the deletions posted at the click, and was gone once the run had ended.
    bool closedMidRun(QWidget* window, QWidget* closeButton, double afterMs,
                      const std::function<void()>& run) {
        const auto deleteClosedWindows = [] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        QPointer<QWidget> closing(window);
        bool standsAfterClose = false;
        platform.scheduleAfter(afterMs, [&] {
            QTest::mouseClick(closeButton, Qt::LeftButton);
            deleteClosedWindows();
            standsAfterClose = closing && !closing->isVisible();
        });
        run();
        deleteClosedWindows();
        return standsAfterClose && !closing;
    }
};

} // namespace

TEST_F(ProgramsTest, program_sweepsThroughItsTargetsAtItsSpeedsOverAndOverUntilEsc) {
    form.chkSpeedModulate->click(); // the ramp, which the "#" turn goes without
    program::DirectTableWindow* direct = openDirect("20,10#,18*,100!,0");
    ASSERT_TRUE(direct);
    EXPECT_TRUE(form.mnuTableDirect->isChecked());
    EXPECT_FALSE(form.Frame1->isEnabled());
    const double start = platform.steadyMs();
    platform.scheduleAt(start + 1000, [&] { QTest::keyClick(direct->txtData, Qt::Key_Escape); });
    QTest::mouseClick(direct->cmdRun, Qt::LeftButton);

    // Where the stepper turned back or waited: the targets, in the order of the program.
    const auto made = steps();
    std::vector<core::Long> targets;
    for (std::size_t i = 1; i + 1 < made.size(); ++i) {
        const bool turnsBack =
            (made[i].first - made[i - 1].first) * (made[i + 1].first - made[i].first) < 0;
        if (turnsBack || made[i + 1].second - made[i].second >= 100)
            targets.push_back(made[i].first);
    }
    ASSERT_GE(targets.size(), 5u);
    EXPECT_EQ(std::vector<core::Long>(targets.begin(), targets.begin() + 5),
              (std::vector<core::Long>{20, 10, 0, 20, 10}));
    const auto interval = [&](std::size_t i) { return made[i].second - made[i - 1].second; };
    // 0 -> 20 on the ramp; 20 -> 10 (18 degrees) at the "#" speed of 10 ms; the pause.
    const std::size_t at20 = 20;
    ASSERT_EQ(made[at20].first, 20);
    std::vector<double> rampTurn;
    for (std::size_t i = 2; i <= at20; ++i)
        rampTurn.push_back(interval(i));
    EXPECT_NE(*std::min_element(rampTurn.begin(), rampTurn.end()),
              *std::max_element(rampTurn.begin(), rampTurn.end()));
    // (The first step of a turn follows the last wait of the one before.)
    for (std::size_t i = at20 + 2; i <= at20 + 10; ++i)
        EXPECT_EQ(interval(i), 10) << made[i].first;
    EXPECT_GE(interval(at20 + 11), 100);
    // Esc stopped the run mid-turn.
    EXPECT_LE(made.back().second, start + 1000);
    EXPECT_LT(platform.steadyMs(), start + 1050);
    EXPECT_EQ(direct->cmdRun->text(), "&Start");
    EXPECT_EQ(direct->lblAktueel->text(), "Stopped");
    EXPECT_EQ(direct->txtData->text(), "20,10#,18*,100!,0,");
}

TEST(ProgramRefusedTest, programWhoseTurnsThePortCannotMake_stopsAfterTheFirstRefusal) {
    // 5 ms a step with 256 microsteps: STEP pulses closer than the port can make them.
    QTemporaryDir dir;
    test_support::WriteFile(dir.filePath("Ventrolo.ini"),
                            "[stepper1]\noutput=stepdir\nmicrosteps=256\n");
    app_test::FakePlatform platform;
    app::VentroloApp app(dir.path(), platform, std::make_unique<port::SimulatedLpt>());
    platform.clockStepPerRead = 1;
    app.start();
    platform.clockStepPerRead = 0;
    const test_support::MainWindowControls form{app.mainWindow()};
    QTest::mouseClick(form.cmdDirect, Qt::LeftButton);
    program::DirectTableWindow* direct = app.directWindow();
    ASSERT_TRUE(direct);
    QTest::keyClicks(direct->txtData, "5#,20,5#,60");
    const double start = platform.steadyMs();
    platform.messages.clear();
    platform.scheduleAt(start + 5000, [&] { QTest::keyClick(direct->txtData, Qt::Key_Escape); });
    QTest::mouseClick(direct->cmdRun, Qt::LeftButton);

    EXPECT_LT(platform.steadyMs(), start + 1000);
    EXPECT_EQ(direct->cmdRun->text(), "&Start");
    EXPECT_EQ(direct->lblAktueel->text(), "Stopped");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains("256 microsteps"));
    // One refused turn in the move log, not one for every value of every pass.
    const QList<QByteArray> moves =
        test_support::ReadFile(dir.filePath("Moves.jsonl")).trimmed().split('\n');
    ASSERT_EQ(moves.size(), 1);
    EXPECT_TRUE(moves[0].contains("\"end\":\"refused\"")) << moves[0].toStdString();
}

TEST_F(ProgramsTest, directWindowClosedMidTurn_stopsHidesAndIsDeletedOnlyAfterTheRun) {
    program::DirectTableWindow* direct = openDirect("300,0");
    ASSERT_TRUE(direct);
    // The main window's table button closes the direct table.
    EXPECT_TRUE(closedMidRun(direct, form.cmdDirect, 100,
                             [&] { QTest::mouseClick(direct->cmdRun, Qt::LeftButton); }));
    EXPECT_FALSE(app.directWindow());
    EXPECT_FALSE(form.mnuTableDirect->isChecked());
    EXPECT_TRUE(form.Frame1->isEnabled());
    const core::Long stoppedAt = state.StepCounter;
    EXPECT_GT(stoppedAt, 0);
    EXPECT_LT(stoppedAt, 300);
    platform.advance(5000);
    EXPECT_EQ(state.StepCounter, stoppedAt); // nothing turns on without a window

    // A stepper switch builds the main window anew, which closes the direct table.
    direct = openDirect("300,0");
    ASSERT_TRUE(direct);
    platform.scheduleAfter(100, [&] { form.mnuStepper12->trigger(); });
    QTest::mouseClick(direct->cmdRun, Qt::LeftButton);
    EXPECT_EQ(state.SelectedStepper, 1);
    EXPECT_FALSE(app.directWindow());
    EXPECT_EQ(state.StoredProfiles[0].StepCounter, stoppedAt + 7);
}

TEST_F(ProgramsTest, timedTurns_turnBothSteppersFromTheirOwnCoilCodes_withTheWindowHidden) {
    state.StoredProfiles[1].StepCounter = 6;
    test_support::WriteFile(dir.filePath("Timer1.tbl"), timedTurn(3, 9, 1) + timedTurn(6, 2, 0));
    QTest::mouseClick(form.cmdTimer, Qt::LeftButton);
    program::TimerTableWindow* timer = app.timerWindow();
    ASSERT_TRUE(timer);
    EXPECT_TRUE(form.mnuTableTimer->isChecked());
    QTest::mouseClick(timer->cmdHoofd, Qt::LeftButton);
    EXPECT_FALSE(app.mainWindow().isVisible());

    // Hidden with the main window hidden: the main window comes back, with the next turn.
    timer->mnuVerbergTimer->trigger();
    EXPECT_EQ(platform.messages.back().text, "Timertable runs on background.");
    EXPECT_FALSE(timer->isVisible());
    EXPECT_TRUE(app.mainWindow().isVisible());
    EXPECT_TRUE(form.lblTimer->isVisible());
    EXPECT_EQ(form.lblTimer->text(), "Timer=" + inSeconds(3) + "> 9  M 2");

    const double start = platform.steadyMs();
    platform.advance(8000);
    EXPECT_EQ(state.StoredProfiles[1].StepCounter, 9);
    EXPECT_EQ(state.SelectedStepper, 0);
    EXPECT_EQ(state.StepCounter, 2);
    EXPECT_EQ(platform.beeps.size(), 2u); // one for each timed turn
    EXPECT_FALSE(timer->isVisible());     // the switch to the other stepper left it hidden
    EXPECT_TRUE(app.timerWindow());
    EXPECT_EQ(app.station().timer(), &timer->table()); // the station keeps the running table
    // No driver was ever enabled with another coil code than its motor's.
    int enabledWrites = 0;
    for (const Write& w : trace()) {
        if (w.atMs < start)
            continue;
        const int driver = w.stepper == 1 ? 8 : 4;
        if (w.value & driver) {
            ++enabledWrites;
            EXPECT_EQ(w.value & 3, port::CoilCode(w.counter))
                << "at " << w.atMs << " stepper " << w.stepper << " value " << w.value;
        }
    }
    EXPECT_GE(enabledWrites, 5);
}

TEST_F(ProgramsTest, timerWindowClosedDuringItsTurn_stopsItAndIsDeletedOnlyAfterTheTurn) {
    test_support::WriteFile(dir.filePath("Timer1.tbl"), timedTurn(2, 400, 0));
    QTest::mouseClick(form.cmdTimer, Qt::LeftButton);
    ASSERT_TRUE(app.timerWindow());
    EXPECT_TRUE(
        closedMidRun(app.timerWindow(), form.cmdTimer, 2500, [&] { platform.advance(3000); }));
    EXPECT_FALSE(app.timerWindow());
    EXPECT_FALSE(app.station().timer());
    EXPECT_FALSE(form.mnuTableTimer->isChecked());
    EXPECT_FALSE(state.TimerWindowShown);
    const core::Long stoppedAt = state.StepCounter;
    EXPECT_GT(stoppedAt, 0);
    EXPECT_LT(stoppedAt, 400);
    platform.advance(24 * 3600 * 1000.0);
    EXPECT_EQ(state.StepCounter, stoppedAt);
}

TEST_F(ProgramsTest, escAndSpaceInTheTimerWindow_stopItsTurnAndTheWindowStaysOpen) {
    test_support::WriteFile(dir.filePath("Timer1.tbl"),
                            timedTurn(2, 400, 0) + timedTurn(10, 400, 0));
    QTest::mouseClick(form.cmdTimer, Qt::LeftButton);
    program::TimerTableWindow* timer = app.timerWindow();
    ASSERT_TRUE(timer);
    const QString timerOn = timer->cmdTimerOn->text();
    platform.scheduleAfter(2500, [&] { QTest::keyClick(timer->List1, Qt::Key_Escape); });
    platform.advance(3000);
    const core::Long stoppedAt = state.StepCounter;
    EXPECT_GT(stoppedAt, 0);
    EXPECT_LT(stoppedAt, 400);
    platform.advance(5000);
    EXPECT_EQ(state.StepCounter, stoppedAt);

    // Space on the focused button stops the next turn and does not click the button.
    platform.scheduleAfter(2500, [&] { QTest::keyClick(timer->cmdTimerOn, Qt::Key_Space); });
    platform.advance(3000);
    const core::Long stoppedAgainAt = state.StepCounter;
    EXPECT_GT(stoppedAgainAt, stoppedAt);
    EXPECT_LT(stoppedAgainAt, 400);
    platform.advance(5000);
    EXPECT_EQ(state.StepCounter, stoppedAgainAt);
    EXPECT_EQ(timer->cmdTimerOn->text(), timerOn);
    ASSERT_EQ(app.timerWindow(), timer);
    EXPECT_TRUE(timer->isVisible());
}

TEST_F(ProgramsTest, timerTableRunningHidden_closedByAnotherTableWindow_tellsItsTurnsStopped) {
    test_support::WriteFile(dir.filePath("Timer1.tbl"), timedTurn(60, 400, 0));
    // Shown, the window's closing is seen: nothing to tell.
    QTest::mouseClick(form.cmdTimer, Qt::LeftButton);
    ASSERT_TRUE(app.timerWindow());
    ASSERT_TRUE(openDirect({}));
    EXPECT_TRUE(platform.messages.empty());

    QTest::mouseClick(form.cmdTimer, Qt::LeftButton);
    ASSERT_TRUE(app.timerWindow());
    app.timerWindow()->mnuVerbergTimer->trigger();
    platform.messages.clear();
    form.mnuTableUnity->trigger();
    EXPECT_FALSE(app.timerWindow());
    EXPECT_FALSE(form.lblTimer->isVisible());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages.back().text,
              "Timertable stopped: the table windows open one at a time.");
    platform.advance(70 * 1000.0);
    EXPECT_EQ(state.StepCounter, 0);
}

TEST_F(ProgramsTest, tableWindows_openOneAtATime_andTheTimerTableReopensAtTheNextStart) {
    QTest::mouseClick(form.cmdTimer, Qt::LeftButton);
    ASSERT_TRUE(app.timerWindow());
    ASSERT_TRUE(openDirect({}));
    EXPECT_FALSE(app.timerWindow());
    EXPECT_FALSE(form.mnuTableTimer->isChecked());
    form.mnuTableUnity->trigger();
    EXPECT_FALSE(app.directWindow());
    EXPECT_TRUE(form.Frame1->isEnabled());
    ASSERT_TRUE(app.tableWindow());
    form.mnuTableTimer->trigger();
    EXPECT_FALSE(app.tableWindow());
    EXPECT_FALSE(form.mnuTableUnity->isChecked());
    ASSERT_TRUE(app.timerWindow());

    form.mnuSavecfg->trigger();
    app_test::SecondRun second(dir.path());
    ASSERT_TRUE(second.app.timerWindow());
    EXPECT_TRUE(second.app.timerWindow()->isVisible());
    EXPECT_TRUE(second.app.mainWindow().findChild<QAction*>("mnuTableTimer")->isChecked());
}
