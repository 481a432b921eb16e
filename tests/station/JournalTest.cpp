#include "engine/EngineFixture.h"
#include "panel/CounterByHand.h"
#include "station/PositionJournal.h"
#include "station/StationTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <set>

using station::JournalRecord;
using station::PositionJournal;
using Stepper = JournalRecord::Stepper;
using Steppers = std::array<Stepper, 2>;

namespace {

QByteArray Of(Stepper one, Stepper two, quint64 number = 1) {
    return JournalRecord{{one, two}, number}.Serialize();
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
    // Where the newest whole record puts the steppers; none when no record is whole.
    std::optional<Steppers> recorded() const {
        const auto newest = station::NewestJournalRecord(path);
        return newest ? std::optional<Steppers>(newest->steppers) : std::nullopt;
    }
    QByteArray copy(int n) const { return dir.file(QString("Ventrolo.journal.%1").arg(n)); }
    // Start-up as the application runs it: the journal read before the windows are built.
    std::optional<core::Long> startUp() {
        journal.Restore();
        state.LoadStepperProfile();
        return journal.TellUser();
    }
};

} // namespace

TEST_F(JournalTest, aTurn_isRecordedWhenItStartsAndEndsButNotPerStep_overTheOlderCopy) {
    startUp();
    EXPECT_EQ(recorded(), (Steppers{{{0, 0}, {0, 0}}}));
    std::optional<Steppers> atStart;
    std::optional<Steppers> midTurn;
    onCounter = [&](core::Long c) {
        if (c == 1)
            atStart = recorded();
        if (c == 10) {
            QFile::remove(path + ".1");
            QFile::remove(path + ".2");
        }
        if (c == 40)
            midTurn = recorded();
    };
    turnTo(50);
    EXPECT_EQ(atStart, (Steppers{{{0, 0, 50}, {0, 0}}}));
    EXPECT_FALSE(midTurn);
    EXPECT_EQ(recorded(), (Steppers{{{50, 0}, {0, 0}}}));
    // A counter set by hand is no turn, and is recorded at once, over the older copy: the
    // other keeps the record before.
    platform.answerNextInput("120");
    panel::CounterByHand(state, platform, engine, drive.coil()).Ask();
    EXPECT_EQ(recorded(), (Steppers{{{120, 0}, {0, 0}}}));
    const auto one = JournalRecord::Parse(copy(1));
    const auto two = JournalRecord::Parse(copy(2));
    ASSERT_TRUE(one && two);
    EXPECT_EQ(std::set<core::Long>({one->steppers[0].counter, two->steppers[0].counter}),
              (std::set<core::Long>{50, 120}));
    EXPECT_EQ(std::max(one->number, two->number), std::min(one->number, two->number) + 1);
}

TEST_F(JournalTest, aLongTurn_isRecordedAboutOnceASecond_soACrashCostsAtMostASecondOfSteps) {
    startUp();
    std::vector<core::Long> steps; // the journal's counter at every step
    std::optional<JournalRecord> atCrash;
    onCounter = [&](core::Long c) {
        const auto record = station::NewestJournalRecord(path);
        ASSERT_TRUE(record);
        steps.push_back(record->steppers[0].counter);
        // Where the stepper stands is never further from the record than the record says.
        EXPECT_LE(c - record->steppers[0].counter, record->steppers[0].uncertainty()) << c;
        if (c == 250)
            atCrash = record;
    };
    turnTo(300); // 4.5 s at 15 ms a step
    const std::set<core::Long> records(steps.begin(), steps.end());
    EXPECT_GE(records.size(), 4u);
    EXPECT_LE(records.size(), 6u);
    ASSERT_TRUE(atCrash);
    EXPECT_GE(atCrash->steppers[0].counter, 250 - 1000 / 15 - 2);
    EXPECT_EQ(atCrash->steppers[0].turningTo, 300);

    // The next start after a crash at step 250 says how far off the counter may be.
    QFile::remove(path + ".2");
    dir.write("Ventrolo.journal.1", atCrash->Serialize());
    platform.answerNextMessage(platform::Answer::No);
    startUp();
    const core::Long at = atCrash->steppers[0].counter;
    EXPECT_TRUE(platform.messages.back().text.contains(
        QString("Stepper 1 was turning to 300, its counter last written at %1 (at most about a "
                "second before): it may stand up to %2 steps from its counter (%1).")
            .arg(at)
            .arg(atCrash->steppers[0].uncertainty())))
        << platform.messages.back().text.toStdString();
    EXPECT_LT(atCrash->steppers[0].uncertainty(), 300 - at);
}

TEST_F(JournalTest, aSlowTurn_staysOnRecordUntilItArrivesOrStops) {
    startUp();
    setSlowSpeed(1500);
    turnTo(3);
    EXPECT_EQ(recorded(), (Steppers{{{0, 0, 3}, {0, 0}}}));
    platform.advance(1600); // every slow step is a second apart: each is recorded
    EXPECT_EQ(recorded(), (Steppers{{{1, 0, 3}, {0, 0}}}));
    platform.advance(3000);
    EXPECT_EQ(recorded(), (Steppers{{{3, 0}, {0, 0}}}));
    turnTo(10);
    platform.advance(1600);
    engine.StopTurningAndFollowing();
    EXPECT_EQ(recorded(), (Steppers{{{4, 0}, {0, 0}}}));
}

TEST_F(JournalTest, aJournalNewerThanTheConfiguration_givesItsCountersAndSaysSo) {
    dir.write("Ventrolo.journal.1", Of({120, 0}, {7, 0}), 60);
    dir.write("Ventrolo.cfg", "newer");
    startUp();
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_TRUE(platform.messages.empty());

    // The newest of the two copies counts, whichever file it is in.
    dir.write("Ventrolo.journal.1", Of({120, 3}, {7, 0}, 8));
    dir.write("Ventrolo.journal.2", Of({99, 0}, {7, 0}, 7));
    state.StoredProfiles[0].StepCounter = 80;
    EXPECT_FALSE(startUp());
    EXPECT_EQ(state.StepCounter, 120);
    EXPECT_EQ(state.OverlayPosition, 3);
    EXPECT_EQ(state.StoredProfiles[1].StepCounter, 7);
    ASSERT_EQ(platform.messages.size(), 1u);
    // The user is told the file the counters came from.
    EXPECT_TRUE(platform.messages[0].text.contains(
        "taken from Ventrolo.journal.1, which is newer than Ventrolo.cfg:\r\nStepper 1 at 120 "
        "(Ventrolo.cfg said 80)\r\nStepper 2 at 7"));
    EXPECT_EQ(platform.messages[0].icon, platform::Icon::Information);
    // The next record goes over the older copy, numbered on.
    EXPECT_EQ(JournalRecord::Parse(copy(2))->number, 9u);
    EXPECT_EQ(JournalRecord::Parse(copy(1))->number, 8u);
}

TEST_F(JournalTest, aClockSetWrongWhileRecordsAreWritten_costsNoPosition) {
    const auto dated = [&](const QDateTime& when) {
        for (const int n : {1, 2}) {
            QFile f(dir.filePath(QString("Ventrolo.journal.%1").arg(n)));
            if (f.open(QIODevice::ReadWrite))
                f.setFileTime(when, QFileDevice::FileModificationTime);
        }
    };
    dir.write("Ventrolo.cfg", "saved at the last normal end");
    startUp();
    turnTo(120);
    // A crash with the clock at boot behind the configuration's save (no battery-backed clock):
    // the records are the newer all the same.
    dated(QDateTime::currentDateTime().addSecs(-3600));
    state.StoredProfiles[0].StepCounter = 0;
    startUp();
    EXPECT_EQ(state.StepCounter, 120);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains("Stepper 1 at 120 (Ventrolo.cfg said 0)"));

    // A configuration saved (or copied in) after the records, with the clock then set back:
    // its counters stand.
    platform.messages.clear();
    dir.write("Ventrolo.cfg", "saved again");
    dated(QDateTime::currentDateTime().addYears(1));
    state.StoredProfiles[0].StepCounter = 7;
    startUp();
    EXPECT_EQ(state.StepCounter, 7);
    EXPECT_TRUE(platform.messages.empty());

    // A power cut spoilt the copy written after the record used, both behind the configuration's
    // time: a newer record may be lost all the same.
    JournalRecord whole{{{{60, 0}, {0, 0}}}, 20};
    whole.config = station::ConfigFingerprint(dir.filePath("Ventrolo.cfg"));
    dir.write("Ventrolo.journal.1", whole.Serialize(), 7200);
    dir.write("Ventrolo.journal.2", QByteArray(80, '\0'), 3600);
    platform.answerNextMessage(platform::Answer::No);
    startUp();
    EXPECT_EQ(state.StepCounter, 60);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(
        "Ventrolo.journal.2 is damaged at line 1, so a newer record may be lost"));
}

TEST_F(JournalTest, aConfigurationWhosePositionsCannotBeRead_leavesThemToTheOlderJournal) {
    // The last normal end: the configuration saved after the journal's record. It is damaged
    // since, and its counters are the defaults.
    dir.write("Ventrolo.journal.1", Of({120, 3}, {7, 0}, 5), 60);
    dir.write("Ventrolo.cfg", "damaged");
    journal.Restore(false);
    state.LoadStepperProfile();
    EXPECT_FALSE(journal.TellUser());
    EXPECT_EQ(state.StepCounter, 120);
    EXPECT_EQ(state.OverlayPosition, 3);
    EXPECT_EQ(state.StoredProfiles[1].StepCounter, 7);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "The positions are taken from Ventrolo.journal.1, as they could not be read from "
              "Ventrolo.cfg:\r\nStepper 1 at 120 (in place of 0)\r\nStepper 2 at 7 (in place "
              "of 0)");
    EXPECT_EQ(recorded(), (Steppers{{{120, 3}, {7, 0}}}));
}

TEST_F(JournalTest, theSingleJournalOfEarlierVersions_isReadAndGoesOnceACopyIsWritten) {
    dir.write("Ventrolo.journal",
              "Ventrolo journal 1\r\nstepper1=77 0\r\nstepper2=0 0\r\nturning1=90\r\nend\r\n");
    platform.answerNextMessage(platform::Answer::No);
    startUp();
    EXPECT_EQ(state.StepCounter, 77);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains("Stepper 1 was turning from 77 to 90"));
    EXPECT_EQ(recorded(), (Steppers{{{77, 0}, {0, 0}}}));
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(JournalTest, aCopySpoiltByAPowerCut_leavesTheOtherWhole_andTheStartSaysTheCounterMayBeOff) {
    // Storage that loses what it was told to keep: the newer copy zeroed, its time kept.
    dir.write("Ventrolo.journal.2", Of({40, 0}, {5, 0}, 3), 10);
    dir.write("Ventrolo.journal.1", QByteArray(80, '\0'));
    state.StoredProfiles[0].MaxPosition = 300;
    platform.answerNextMessage(platform::Answer::Yes);
    EXPECT_EQ(startUp(), 0);
    EXPECT_EQ(state.StepCounter, 40);
    ASSERT_EQ(platform.messages.size(), 1u);
    const QString text = platform.messages[0].text;
    EXPECT_EQ(platform.messages[0].buttons, platform::Buttons::YesNo);
    EXPECT_TRUE(text.contains("Ventrolo.journal.1 is damaged at line 1, so a newer record may be "
                              "lost"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Stepper 1 may stand anywhere within its limits 0 to 300, up to "
                              "260 steps from its counter (40)."));
    EXPECT_TRUE(text.endsWith("Start the calibration run of Stepper 1 to find its position?"));

    // A copy spoilt before the record used was written took nothing newer with it.
    platform.messages.clear();
    dir.write("Ventrolo.journal.1", "Ventrolo journal 2\r\nrecord=", 30);
    dir.write("Ventrolo.journal.2", Of({41, 0}, {5, 0}, 9));
    EXPECT_FALSE(startUp());
    EXPECT_EQ(state.StepCounter, 41);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_FALSE(platform.messages[0].text.contains("may be lost"));
    EXPECT_TRUE(platform.messages[0].text.contains("taken from Ventrolo.journal.2,"));
}

TEST_F(JournalTest,
       noWholeRecord_keepsTheConfigurationsCounters_saysHowFarOffAndOffersCalibration) {
    state.StoredProfiles[0].StepCounter = 80;
    state.StoredProfiles[1].StepCounter = 3;
    state.SelectedStepper = 1;
    const QByteArray whole = Of({12, 0}, {0, 0}, 4);
    for (const QByteArray& damaged :
         {whole.left(whole.size() - 8),                            // cut short
          QByteArray(whole).replace("stepper1=12", "stepper1=13"), // the check no longer fits
          QByteArray("\0\0\0\0", 4)}) {
        platform.messages.clear();
        dir.write("Ventrolo.journal.1", damaged);
        dir.write("Ventrolo.journal.2", "");
        platform.answerNextMessage(platform::Answer::No);
        EXPECT_FALSE(startUp());
        EXPECT_EQ(state.StoredProfiles[0].StepCounter, 80);
        ASSERT_EQ(platform.messages.size(), 1u);
        const QString text = platform.messages[0].text;
        EXPECT_TRUE(text.startsWith("Where the steppers stood when Ventrolo last ran is lost: "
                                    "Ventrolo.journal.1 is damaged at line"))
            << text.toStdString();
        EXPECT_TRUE(text.contains("The first start's positions are used, but the steppers may "
                                  "have turned since."));
        EXPECT_TRUE(text.contains("Stepper 1 may stand anywhere within its limits 0 to 500, up "
                                  "to 420 steps from its counter (80)."));
        EXPECT_TRUE(text.endsWith("Start the calibration run of Stepper 2 to find its position?"));
        EXPECT_EQ(recorded(), (Steppers{{{80, 0}, {3, 0}}})); // written anew once answered
    }
}

TEST_F(JournalTest, aTurnCutOff_offersTheCalibrationRunOfItsStepper) {
    // No configuration yet: a crash in the first run.
    dir.write("Ventrolo.journal.1", Of({0, 0}, {25, 0, 50}));
    platform.answerNextMessage(platform::Answer::Yes);
    EXPECT_EQ(startUp(), 1);
    EXPECT_EQ(state.StoredProfiles[1].StepCounter, 25);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].buttons, platform::Buttons::YesNo);
    EXPECT_TRUE(platform.messages[0].text.endsWith(
        "as there is no Ventrolo.cfg:\r\nStepper 2 at 25 (without Ventrolo.cfg 0)\r\n\r\n"
        "Stepper 2 was turning from 25 to 50: it may stand up to 25 steps from its counter "
        "(25).\r\n\r\nStart the calibration run of Stepper 2 to find its position?"))
        << platform.messages[0].text.toStdString();
    EXPECT_EQ(recorded(), (Steppers{{{0, 0}, {25, 0}}})); // the question was answered
}

TEST_F(JournalTest, aDoubtedPosition_staysToldAfterTheQuestion_untilASwitchOrTheUserSetsIt) {
    QObject::connect(&engine, &engine::Engine::positionFound, &journal,
                     &PositionJournal::PositionFound);
    dir.write("Ventrolo.journal.1", Of({10, 0, 60}, {0, 0}));
    platform.answerNextMessage(platform::Answer::No); // as the station without windows answers
    EXPECT_FALSE(startUp());
    EXPECT_EQ(journal.doubt(), "Stepper 1 may stand up to 50 steps from its counter: it was "
                               "turning when the program last ended abnormally");
    engine.TurnTo({40, engine::TurnOrigin::Window}); // a turn finds nothing
    EXPECT_FALSE(journal.doubt().isEmpty());
    EXPECT_TRUE(engine.SetCounterWithinLimits(35));
    EXPECT_TRUE(journal.doubt().isEmpty());

    // A record lost: every stepper may stand anywhere; the begin switch finds the selected one.
    dir.write("Ventrolo.journal.1", QByteArray("\0\0\0\0", 4));
    dir.write("Ventrolo.journal.2", "");
    platform.answerNextMessage(platform::Answer::No);
    EXPECT_FALSE(startUp());
    EXPECT_EQ(journal.doubt(),
              "Stepper 1 may stand anywhere within its limits: the record of its last moves is "
              "lost; Stepper 2 may stand anywhere within its limits: the record of its last moves "
              "is lost");
    journal.PositionFound(0);
    EXPECT_EQ(journal.doubt(), "Stepper 2 may stand anywhere within its limits: the record of "
                               "its last moves is lost");
}

TEST_F(JournalTest, aJournalThatCannotBeWritten_isToldOnceWithoutWaiting_andAgainWhenItIsWritten) {
    startUp();
    // Neither copy can be written: something else is in their place.
    QFile::remove(path + ".1");
    QFile::remove(path + ".2");
    ASSERT_TRUE(QDir(dir.path()).mkdir("Ventrolo.journal.1"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("Ventrolo.journal.2"));
    turnTo(100); // three seconds: several records fail
    EXPECT_EQ(state.StepCounter, 100) << "the count never stops for the journal";
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_FALSE(platform.messages[0].modal);
    EXPECT_TRUE(platform.messages[0].text.startsWith(path + ".2 cannot be written ("))
        << platform.messages[0].text.toStdString();

    // One copy comes back: the record is on disk again, and that is told once.
    ASSERT_TRUE(QDir(dir.path()).rmdir("Ventrolo.journal.1"));
    turnTo(110);
    turnTo(115);
    EXPECT_EQ(recorded(), (Steppers{{{115, 0}, {0, 0}}}));
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_FALSE(platform.messages[1].modal);
    EXPECT_EQ(platform.messages[1].text,
              path + ".1 is written again: a crash no longer loses where the steppers stand.");
    ASSERT_TRUE(QDir(dir.path()).rmdir("Ventrolo.journal.2"));
    turnTo(120);
    EXPECT_EQ(platform.messages.size(), 2u);
}
