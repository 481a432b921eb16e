// A signal (or the session's end) while a dialog waits for its answer: the program ends without
// asking anyone, opens nothing afterwards, keeps every position and leaves the port off.
#include "app/AppFixture.h"
#include "core/ConfigFile.h"
#include "station/JournalCopies.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <csignal>
#include <stdexcept>

namespace {

using app_test::FakePlatform;
using station::JournalRecord;

// One run of the program in the test's directory.
struct ProgramRun {
    FakePlatform platform;
    port::SimulatedLpt* lpt = new port::SimulatedLpt;
    app::VentroloApp app;

    explicit ProgramRun(const QString& directory)
        : app(directory, platform, std::unique_ptr<port::SimulatedLpt>(lpt)) {}
    // The signal comes while the next dialog is open, as it would during a real box's own event
    // loop (a window closed meanwhile is deleted there).
    void signalInNextDialog(int signalNumber = SIGTERM) {
        platform.whileNextDialogOpen([this, signalNumber] {
            std::raise(signalNumber);
            ASSERT_TRUE(QTest::qWaitFor([this] { return platform.dialogsDismissed(); }));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
    }
    // What the end leaves: nothing shown, the port off once the event loop is left.
    void expectEndedQuietly() {
        EXPECT_TRUE(app.ended());
        for (const QWidget* w : QApplication::topLevelWidgets())
            EXPECT_FALSE(w->isVisible()) << w->metaObject()->className();
        EXPECT_EQ(app.exec(), 0);
        EXPECT_EQ(lpt->data(888), 0);
    }
};

struct UnattendedEndTest : ::testing::Test {
    QTemporaryDir dir;

    QByteArray file(const QString& name) const {
        return test_support::ReadFile(dir.filePath(name));
    }
    void write(const QString& name, const QByteArray& contents, int secondsAgo = 0) {
        test_support::WriteFile(dir.filePath(name), contents, secondsAgo);
    }
    JournalRecord NewestRecord() const {
        return station::NewestJournalRecord(dir.filePath("Ventrolo.journal"))
            .value_or(JournalRecord{{{{-1, -1}, {-1, -1}}}});
    }
    // The settings of an earlier run: stepper 1 at counter, its profile changed by edit.
    void configure(core::Long counter,
                   const std::function<void(core::StepperProfile&)>& edit = nullptr) {
        core::ProgramState state;
        state.PcSpeed = 1000;
        state.StoredProfiles[0].StepCounter = counter;
        if (edit)
            edit(state.StoredProfiles[0]);
        FakePlatform quiet;
        ASSERT_TRUE(core::ConfigFile(state, quiet, dir.path()).SaveConfig());
    }
    bool cfgHolds(core::Long counter) const {
        return file("Ventrolo.cfg")
            .contains("\r\n" + QByteArray::number(counter) + ",0,500,250,1\r\n");
    }
};

} // namespace

TEST_F(UnattendedEndTest, duringTheTableWindowsLoadMessages_noWindowIsUsedOrShownAfterwards) {
    const QByteArray damaged = "\"Ventrolo.Version 1.24\"\r\n0,500,\"1:200:0\"\r\nxx,yy\r\n";
    const QByteArray otherVersion = "\"Ventrolo.Version 1.23\"\r\n0,500,\"1:200:0\"\r\n";
    for (const QByteArray& table : {damaged, otherVersion, QByteArray()}) {
        QFile::remove(dir.filePath("Table.cat"));
        QDir(dir.path()).rmdir("Table.cat");
        if (table.isEmpty())
            ASSERT_TRUE(QDir(dir.path()).mkdir("Table.cat")); // cannot be read
        else
            write("Table.cat", table);
        configure(77, [](core::StepperProfile& p) { p.TableWindowShown = true; });
        ProgramRun run(dir.path());
        run.signalInNextDialog();
        run.app.start();
        ASSERT_EQ(run.platform.messages.size(), 1u);
        EXPECT_TRUE(run.platform.messages[0].text.contains("Table.cat"));
        EXPECT_FALSE(run.app.tableWindow());
        run.expectEndedQuietly();
        EXPECT_TRUE(cfgHolds(77));
        if (!table.isEmpty()) {
            EXPECT_EQ(file("Table.cat"), table); // the file is not touched
        }
    }
}

TEST_F(UnattendedEndTest, duringAStartUpMessage_theEndWaitsForThePositionsAndKeepsThem) {
    // A crash left the journal newer than the configuration, which is damaged too.
    configure(10);
    QByteArray cfg = file("Ventrolo.cfg");
    cfg.replace("15,2,1000", "15,fast,1000");
    write("Ventrolo.cfg", cfg, 60);
    write("Ventrolo.journal", JournalRecord{{{{123, 0}, {0, 0}}}}.Serialize());
    ProgramRun run(dir.path());
    run.signalInNextDialog();
    run.app.start();
    ASSERT_EQ(run.platform.messages.size(), 1u);
    EXPECT_TRUE(run.platform.messages[0].text.contains("is damaged at line 9"));
    run.expectEndedQuietly();
    EXPECT_TRUE(cfgHolds(123)) << "the journal's position, not the configuration's";
    EXPECT_EQ(file("Ventrolo.cfg.damaged"), cfg);
    EXPECT_EQ(NewestRecord().steppers[0].counter, 123);
}

TEST_F(UnattendedEndTest, duringTheJournalsQuestion_noCalibrationRunsAndThePositionIsKept) {
    configure(10);
    write("Ventrolo.cfg", file("Ventrolo.cfg"), 60);
    write("Ventrolo.journal", JournalRecord{{{{40, 0, 90}, {0, 0}}}}.Serialize());
    ProgramRun run(dir.path());
    run.signalInNextDialog();
    run.app.start();
    ASSERT_EQ(run.platform.messages.size(), 1u);
    EXPECT_EQ(run.platform.messages[0].buttons, platform::Buttons::YesNo);
    QCoreApplication::processEvents(); // where the calibration run would begin
    run.expectEndedQuietly();
    EXPECT_TRUE(cfgHolds(40));
    for (const std::uint8_t value : run.lpt->valuesWritten(888))
        EXPECT_EQ(value & 3, 0) << "a step"; // the coil code of 40
}

TEST_F(UnattendedEndTest, duringTheTimerTablesDamageMessage_theTimerWindowDoesNotOpen) {
    write("Timer1.tbl", "\"07:30:00\",150,0\r\nnot a record\r\n");
    configure(5, [](core::StepperProfile& p) { p.TimerWindowShown = true; });
    ProgramRun run(dir.path());
    run.signalInNextDialog();
    run.app.start();
    ASSERT_EQ(run.platform.messages.size(), 1u);
    EXPECT_TRUE(run.platform.messages[0].text.contains("Timer1.tbl"));
    EXPECT_FALSE(run.app.timerWindow());
    run.expectEndedQuietly();
    EXPECT_TRUE(cfgHolds(5));
}

TEST_F(UnattendedEndTest, duringAnInputBox_theAnswerIsCancelAndThePortEndsOff) {
    configure(30);
    ProgramRun run(dir.path());
    run.app.start();
    run.platform.answerNextInput("250"); // what the user would have typed
    run.signalInNextDialog(SIGHUP);
    run.app.mainWindow().findChild<QAction*>("mnuSet")->trigger(); // "Set...": the counter by hand
    EXPECT_EQ(run.app.state().StepCounter, 30);
    EXPECT_TRUE(cfgHolds(30));
    run.expectEndedQuietly();
}

TEST_F(UnattendedEndTest, aSaveThatFailsAtTheEnd_isLoggedNotShown_andTheJournalHasTheLastWord) {
    configure(0);
    {
        ProgramRun run(dir.path());
        run.app.start();
        run.app.state().StepCounter = 64;
        ASSERT_TRUE(QFile::remove(dir.filePath("Ventrolo.cfg")));
        ASSERT_TRUE(QDir(dir.path()).mkdir("Ventrolo.cfg"));
        std::raise(SIGTERM);
        ASSERT_TRUE(QTest::qWaitFor([&] { return run.app.ended(); }));
        const auto& said = run.platform.messages.back();
        EXPECT_TRUE(said.text.startsWith("The settings could not be saved"))
            << said.text.toStdString();
        EXPECT_FALSE(said.shown);
        EXPECT_EQ(NewestRecord().steppers[0].counter, 64);
        run.expectEndedQuietly();
    }
    // At an end the user asked for, the failure is shown; a signal while it waits ends that.
    // A normal end since: the journal of the first run is gone (written in the same clock tick as
    // the configuration below, it would count as the newer).
    ASSERT_TRUE(QDir(dir.path()).rmdir("Ventrolo.cfg"));
    for (int copy : {0, 1})
        QFile::remove(station::JournalCopyPath(dir.filePath("Ventrolo.journal"), copy));
    configure(0);
    ProgramRun run(dir.path());
    run.app.start();
    ASSERT_TRUE(QFile::remove(dir.filePath("Ventrolo.cfg")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("Ventrolo.cfg"));
    bool shown = false;
    run.platform.whileNextDialogOpen([&] {
        shown = run.platform.messages.back().shown;
        std::raise(SIGINT);
        ASSERT_TRUE(QTest::qWaitFor([&] { return run.platform.dialogsDismissed(); }));
    });
    // Both steppers at 0: no park question.
    run.app.mainWindow().findChild<QAction*>("mnuExit")->trigger();
    EXPECT_TRUE(shown);
    run.expectEndedQuietly();
}

TEST_F(UnattendedEndTest, anExceptionOutOfAnEventHandler_leavesThePortOff) {
    configure(0);
    ProgramRun run(dir.path());
    run.app.start();
    ASSERT_EQ(run.lpt->data(888), 4); // stepper 1's driver on
    QTimer::singleShot(0, [] { throw std::bad_alloc(); });
    EXPECT_EQ(run.app.exec(), 1);
    EXPECT_EQ(run.lpt->data(888), 0);
}
