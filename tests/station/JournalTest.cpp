#include "engine/EngineFixture.h"
#include "station/PositionJournal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using station::JournalRecord;
using station::PositionJournal;
using Stepper = JournalRecord::Stepper;

namespace {

// The journal of the fixture's engine in a directory of its own, told what the engine tells as
// the application tells it.
struct JournalTest : engine_test::EngineFixture {
    QTemporaryDir dir;
    QString path = dir.filePath("Ventrolo.journal");
    QString configPath = dir.filePath("Ventrolo.cfg");
    PositionJournal journal{state, platform, engine, path, configPath};

    JournalTest() {
        using engine::Engine;
        QObject::connect(&engine, &Engine::turnStarted, &journal, &PositionJournal::TurnStarted);
        QObject::connect(&engine, &Engine::turnEnded, &journal, &PositionJournal::TurnEnded);
        QObject::connect(&engine, &Engine::counterChanged, &journal,
                         &PositionJournal::CounterChanged);
        QObject::connect(&engine, &Engine::slowStepMade, &journal, &PositionJournal::SlowStepMade);
        QObject::connect(&engine, &Engine::stopped, &journal, &PositionJournal::Stopped);
        QObject::connect(&engine, &Engine::stepperSwitched, &journal,
                         &PositionJournal::StepperSwitched);
    }
    QByteArray file() const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::optional<JournalRecord> record() const { return JournalRecord::Parse(file()); }
    static QByteArray Of(Stepper one, Stepper two) { return JournalRecord{{one, two}}.Serialize(); }
    void writeFile(const QString& name, const QByteArray& contents, int secondsAgo) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
        f.flush(); // before the time is set: the write would set it again
        f.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo),
                      QFileDevice::FileModificationTime);
    }
    // Start-up as the application runs it: the journal read before the windows are built.
    std::optional<core::Long> startUp() {
        journal.Restore();
        state.LoadStepperProfile();
        return journal.TellUser();
    }
};

} // namespace

TEST_F(JournalTest, aTurn_isRecordedWhenItStartsAndWhenItEndsButNotPerStep) {
    startUp();
    EXPECT_EQ(file(), Of({0, 0}, {0, 0}));
    QByteArray atStart;
    bool writtenMidTurn = false;
    onCounter = [&](core::Long c) {
        if (c == 1)
            atStart = file();
        if (c == 10)
            QFile::remove(path);
        if (c == 40)
            writtenMidTurn = QFile::exists(path);
    };
    turnTo(50);
    EXPECT_EQ(atStart, Of({0, 0, 50}, {0, 0}));
    EXPECT_FALSE(writtenMidTurn);
    EXPECT_EQ(file(), Of({50, 0}, {0, 0}));

    // Beyond the limit the turn goes to the limit.
    onCounter = [&](core::Long c) {
        if (c == 51)
            atStart = file();
    };
    turnTo(9999);
    EXPECT_EQ(atStart, Of({50, 0, 500}, {0, 0}));
}

TEST_F(JournalTest, anotherTurnTakingOver_isRecordedFromWhereTheStepperIs) {
    startUp();
    platform.scheduleAt(100, [&] {
        engine.StopTurning();
        engine.TurnTo({5});
    });
    // Read at the second step of the second turn: the journal hears of the first after this.
    int secondTurnSteps = 0;
    std::optional<JournalRecord> duringSecond;
    onCounter = [&](core::Long) {
        if (state.TargetPosition == 5 && ++secondTurnSteps == 2)
            duringSecond = record();
    };
    turnTo(500);
    ASSERT_TRUE(duringSecond);
    EXPECT_EQ(duringSecond->steppers[0].turningTo, 5);
    EXPECT_GT(duringSecond->steppers[0].counter, 5);
    EXPECT_EQ(file(), Of({5, 0}, {0, 0}));
}

TEST_F(JournalTest, aSlowTurn_staysOnRecordUntilItArrivesOrStops) {
    startUp();
    setSlowSpeed(1500);
    turnTo(3);
    EXPECT_EQ(file(), Of({0, 0, 3}, {0, 0}));
    platform.advance(1600);
    EXPECT_EQ(state.StepCounter, 1);
    EXPECT_EQ(file(), Of({0, 0, 3}, {0, 0}));
    platform.advance(3000);
    EXPECT_EQ(file(), Of({3, 0}, {0, 0}));

    turnTo(10);
    platform.advance(1600);
    engine.StopTurning();
    EXPECT_EQ(file(), Of({4, 0}, {0, 0}));
}

TEST_F(JournalTest, theCounterSetByHandAndAnotherStepper_areRecordedAtOnce) {
    startUp();
    platform.answerNextInput("120");
    engine.SetCounterByHand();
    EXPECT_EQ(file(), Of({120, 0}, {0, 0}));
    state.StoredProfiles[1].StepCounter = 33;
    engine.SwitchStepper(1);
    EXPECT_EQ(file(), Of({120, 0}, {33, 0}));
}

TEST_F(JournalTest, aNewerJournalThatDiffers_givesItsCountersAndSaysSo) {
    writeFile("Ventrolo.cfg", "older", 60);
    writeFile("Ventrolo.journal", Of({120, 3}, {7, 0}), 0);
    state.StoredProfiles[0].StepCounter = 80;
    EXPECT_FALSE(startUp());
    EXPECT_EQ(state.StepCounter, 120);
    EXPECT_EQ(state.OverlayPosition, 3);
    EXPECT_EQ(state.StoredProfiles[1].StepCounter, 7);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains("Stepper 1 at 120 (Ventrolo.cfg said 80)"));
    EXPECT_TRUE(platform.messages[0].text.contains("Stepper 2 at 7 (Ventrolo.cfg said 0)"));
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Information);
}

TEST_F(JournalTest,
       aJournalOlderThanTheConfigurationOrAgreeingWithIt_changesNothingAndSaysNothing) {
    writeFile("Ventrolo.journal", Of({120, 0}, {7, 0}), 60);
    writeFile("Ventrolo.cfg", "newer", 0);
    startUp();
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_TRUE(platform.messages.empty());

    QFile::remove(path);
    writeFile("Ventrolo.journal", Of({0, 0}, {0, 0}), 0);
    startUp();
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(JournalTest, aDamagedJournal_isReportedAndNotUsed) {
    state.StoredProfiles[0].StepCounter = 80;
    for (const QByteArray& damaged :
         {QByteArray("Ventrolo journal 1\r\nstepper1=12 0\r\n"), // cut short
          QByteArray("Ventrolo journal 1\nstepper1=12 0\nstepper2=x 0\nend\n"),
          QByteArray("Ventrolo journal 1\nstepper1=12 0\nstepper2=1 0\nstepper2=1 0\nend\n"),
          QByteArray("Ventrolo journal 1\nstepper1=12 0\nstepper2=1 0\nspeed3=1\nend\n"),
          QByteArray("Ventrolo journal 1\nstepper1=99999999999 0\nstepper2=1 0\nend\n"),
          QByteArray("\0\0\0\0", 4), QByteArray()}) {
        platform.messages.clear();
        writeFile("Ventrolo.journal", damaged, 0);
        startUp();
        EXPECT_EQ(state.StepCounter, 80) << damaged.toStdString();
        ASSERT_EQ(platform.messages.size(), 1u) << damaged.toStdString();
        EXPECT_TRUE(platform.messages[0].text.contains("Ventrolo.journal is damaged at line"));
        EXPECT_EQ(platform.messages[0].icon, platform::Icon::Exclamation);
        EXPECT_EQ(file(), Of({80, 0}, {0, 0})); // written anew
    }
}

TEST_F(JournalTest, aTurnCutOff_offersTheCalibrationRunOfItsStepper) {
    // No configuration yet: a crash in the first run.
    writeFile("Ventrolo.journal", Of({0, 0}, {25, 0, 50}), 0);
    platform.answerNextMessage(platform::Answer::Yes);
    EXPECT_EQ(startUp(), 1);
    EXPECT_EQ(state.StoredProfiles[1].StepCounter, 25);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].buttons, platform::Buttons::YesNo);
    EXPECT_TRUE(platform.messages[0].text.contains(
        "Stepper 2 was turning from 25 to 50: it may stand up to 25 steps from its counter (25)."));
    EXPECT_TRUE(platform.messages[0].text.contains("Start the calibration run of Stepper 2"));
    EXPECT_EQ(file(), Of({0, 0}, {25, 0})); // the question was answered

    writeFile("Ventrolo.journal", Of({0, 0, 9}, {25, 0}), 0);
    platform.answerNextMessage(platform::Answer::No);
    EXPECT_FALSE(startUp());
}

TEST_F(JournalTest, theWayOut_recordsTheParkingAndEndsAgreeingWithTheStoredProfiles) {
    startUp();
    turnTo(30);
    state.StoredProfiles[1].StepCounter = 40;
    journal.ExitStarted();
    state.StoreStepperProfile();
    QByteArray parking;
    int parkSteps = 0;
    onCounter = [&](core::Long) {
        if (++parkSteps == 2)
            parking = file();
    };
    engine.ParkBothSteppers();
    EXPECT_EQ(parking, Of({30, 0, 0}, {40, 0, 0}));
    journal.Ended();
    EXPECT_EQ(file(), Of({0, 0}, {0, 0}));
}

TEST_F(JournalTest, aJournalThatCannotBeWritten_isToldOnce) {
    PositionJournal lost(state, platform, engine, dir.filePath("missing/Ventrolo.journal"),
                         configPath);
    QObject::connect(&engine, &engine::Engine::turnEnded, &lost, &PositionJournal::TurnEnded);
    lost.TellUser();
    turnTo(10);
    turnTo(20);
    QCoreApplication::processEvents();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains("cannot be written"));
}
