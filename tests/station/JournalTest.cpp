#include "engine/EngineFixture.h"
#include "station/PositionJournal.h"
#include "station/StationTestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>
#include <set>

using station::JournalRecord;
using station::PositionJournal;
using Stepper = JournalRecord::Stepper;

namespace {

QByteArray Of(Stepper one, Stepper two) {
    return JournalRecord{{one, two}}.Serialize();
}

// The journal of the fixture's engine in a directory of its own, told what the engine tells as
// the application tells it.
struct JournalTest : engine_test::EngineFixture {
    station_test::Dir dir;
    QString path = dir.filePath("Ventrolo.journal");
    PositionJournal journal{state, platform, engine, path, dir.filePath("Ventrolo.cfg")};

    JournalTest() {
        using engine::Engine;
        using J = PositionJournal;
        QObject::connect(&engine, &Engine::turnStarted, &journal, &J::TurnStarted);
        QObject::connect(&engine, &Engine::turnEnded, &journal, &J::TurnEnded);
        QObject::connect(&engine, &Engine::counterChanged, &journal, &J::CounterChanged);
        QObject::connect(&engine, &Engine::slowStepMade, &journal, &J::SlowStepMade);
        QObject::connect(&engine, &Engine::stopped, &journal, &J::Stopped);
        QObject::connect(&engine, &Engine::stepperSwitched, &journal, &J::StepperSwitched);
    }
    QByteArray file() const { return dir.file("Ventrolo.journal"); }
    // Start-up as the application runs it: the journal read before the windows are built.
    std::optional<core::Long> startUp() {
        journal.Restore();
        state.LoadStepperProfile();
        return journal.TellUser();
    }
};

} // namespace

TEST_F(JournalTest, aTurn_isRecordedWhenItStartsAndEndsButNotPerStep) {
    startUp();
    EXPECT_EQ(file(), Of({0, 0}, {0, 0}));
    QByteArray atStart;
    QByteArray midTurn;
    onCounter = [&](core::Long c) {
        if (c == 1)
            atStart = file();
        if (c == 10)
            QFile::remove(path);
        if (c == 40)
            midTurn = file();
    };
    turnTo(50);
    EXPECT_EQ(atStart, Of({0, 0, 50}, {0, 0}));
    EXPECT_TRUE(midTurn.isEmpty());
    EXPECT_EQ(file(), Of({50, 0}, {0, 0}));
    // A counter set by hand is no turn, and is recorded at once.
    platform.answerNextInput("120");
    engine.SetCounterByHand();
    EXPECT_EQ(file(), Of({120, 0}, {0, 0}));
}

TEST_F(JournalTest, aLongTurn_isRecordedAboutOnceASecond_soACrashCostsAtMostASecondOfSteps) {
    startUp();
    std::vector<core::Long> recorded; // the journal's counter at every step
    QByteArray atCrash;
    onCounter = [&](core::Long c) {
        const auto record = JournalRecord::Parse(file());
        ASSERT_TRUE(record);
        recorded.push_back(record->steppers[0].counter);
        // Where the stepper stands is never further from the record than the record says.
        EXPECT_LE(c - record->steppers[0].counter, record->steppers[0].uncertainty()) << c;
        if (c == 250)
            atCrash = file();
    };
    turnTo(300); // 4.5 s at 15 ms a step
    const std::set<core::Long> records(recorded.begin(), recorded.end());
    EXPECT_GE(records.size(), 4u);
    EXPECT_LE(records.size(), 6u);
    const auto cut = JournalRecord::Parse(atCrash);
    ASSERT_TRUE(cut);
    EXPECT_GE(cut->steppers[0].counter, 250 - 1000 / 15 - 2);
    EXPECT_EQ(cut->steppers[0].turningTo, 300);

    // The next start after a crash at step 250 says how far off the counter may be.
    dir.write("Ventrolo.journal", atCrash);
    platform.answerNextMessage(platform::Answer::No);
    startUp();
    const core::Long at = cut->steppers[0].counter;
    EXPECT_TRUE(platform.messages.back().text.contains(
        QString("Stepper 1 was turning from %1 to 300 (its position was written at most about a "
                "second before): it may stand up to %2 steps from its counter (%1).")
            .arg(at)
            .arg(cut->steppers[0].uncertainty())))
        << platform.messages.back().text.toStdString();
    EXPECT_LT(cut->steppers[0].uncertainty(), 300 - at);
}

TEST_F(JournalTest, aSlowTurn_staysOnRecordUntilItArrivesOrStops) {
    startUp();
    setSlowSpeed(1500);
    turnTo(3);
    EXPECT_EQ(file(), Of({0, 0, 3}, {0, 0}));
    platform.advance(1600); // every slow step is a second apart: each is recorded
    EXPECT_EQ(file(), Of({1, 0, 3}, {0, 0}));
    platform.advance(3000);
    EXPECT_EQ(file(), Of({3, 0}, {0, 0}));
    turnTo(10);
    platform.advance(1600);
    engine.StopTurning();
    EXPECT_EQ(file(), Of({4, 0}, {0, 0}));
}

TEST_F(JournalTest, aJournalNewerThanTheConfiguration_givesItsCountersAndSaysSo) {
    dir.write("Ventrolo.journal", Of({120, 0}, {7, 0}), 60);
    dir.write("Ventrolo.cfg", "newer");
    startUp();
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_TRUE(platform.messages.empty());

    dir.write("Ventrolo.journal", Of({120, 3}, {7, 0}));
    state.StoredProfiles[0].StepCounter = 80;
    EXPECT_FALSE(startUp());
    EXPECT_EQ(state.StepCounter, 120);
    EXPECT_EQ(state.OverlayPosition, 3);
    EXPECT_EQ(state.StoredProfiles[1].StepCounter, 7);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(
        "newer than Ventrolo.cfg:\r\nStepper 1 at 120 (Ventrolo.cfg said 80)\r\nStepper 2 at 7"));
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Information);
}

TEST_F(JournalTest, aDamagedJournal_isReportedAndNotUsed) {
    state.StoredProfiles[0].StepCounter = 80;
    for (const QByteArray& damaged :
         {QByteArray("Ventrolo journal 1\r\nstepper1=12 0\r\n"), // cut short
          QByteArray("Ventrolo journal 1\nstepper1=12 0\nstepper2=x 0\nend\n"),
          QByteArray("\0\0\0\0", 4)}) {
        platform.messages.clear();
        dir.write("Ventrolo.journal", damaged);
        startUp();
        EXPECT_EQ(state.StepCounter, 80);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_TRUE(platform.messages[0].text.contains("Ventrolo.journal is damaged at line"));
        EXPECT_EQ(file(), Of({80, 0}, {0, 0})); // written anew
    }
}

TEST_F(JournalTest, aTurnCutOff_offersTheCalibrationRunOfItsStepper) {
    // No configuration yet: a crash in the first run.
    dir.write("Ventrolo.journal", Of({0, 0}, {25, 0, 50}));
    platform.answerNextMessage(platform::Answer::Yes);
    EXPECT_EQ(startUp(), 1);
    EXPECT_EQ(state.StoredProfiles[1].StepCounter, 25);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].buttons, platform::Buttons::YesNo);
    EXPECT_TRUE(platform.messages[0].text.endsWith(
        "as there is no Ventrolo.cfg:\r\nStepper 2 at 25 (without Ventrolo.cfg 0)\r\n\r\n"
        "Stepper 2 was turning from 25 to 50: it may stand up to 25 steps from its counter "
        "(25).\r\n\r\nStart the calibration run of Stepper 2 to find its position?"));
    EXPECT_EQ(file(), Of({0, 0}, {25, 0})); // the question was answered
}

TEST_F(JournalTest, aJournalThatCannotBeWritten_isToldOnce) {
    PositionJournal lost(state, platform, engine, dir.filePath("missing/Ventrolo.journal"), "");
    QObject::connect(&engine, &engine::Engine::turnEnded, &lost, &PositionJournal::TurnEnded);
    lost.TellUser();
    turnTo(10);
    QCoreApplication::processEvents();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains("cannot be written"));
}
