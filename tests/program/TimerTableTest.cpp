#include "program/TimerTable.h"

#include "FakeTurner.h"
#include "program/TimerSchedule.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <ctime>
#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>

using namespace program;
using program_test::FakeTurner;

namespace {

const QDate Today(2026, 12, 5);

QDateTime at(const char* time, int days = 0) {
    return QDateTime(Today.addDays(days), QTime::fromString(QLatin1String(time), "hh:mm:ss.zzz"));
}

class TimerTableTest : public ::testing::Test {
protected:
    TimerTableTest() { state.StepDelayMs = 10; }
    QString path(const QString& name = QStringLiteral("Timer1.tbl")) const {
        return dir.path() + QLatin1Char('/') + name;
    }
    void write(const QByteArray& bytes) { test_support::WriteFile(path(), bytes); }
    QByteArray read(const QString& name = QStringLiteral("Timer1.tbl")) const {
        return test_support::ReadFile(path(name));
    }
    TimerTable& open(const QByteArray& bytes) {
        write(bytes);
        table = std::make_unique<TimerTable>(state, platform, turner, dir.path());
        return *table;
    }

    QTemporaryDir dir;
    core::ProgramState state;
    testing_support::FakePlatform platform; // 12:00:00 on Today
    FakeTurner turner{state, platform};
    std::unique_ptr<TimerTable> table;
};

} // namespace

TEST_F(TimerTableTest, file_roundTripsByteForByte_andShowsItsRecords) {
    const QByteArray bytes = "\"07:30:00\",150,0\r\n\"20:00:00\",-5,1\r\n";
    open(bytes);
    EXPECT_EQ(table->ListLines(),
              QStringList({"Nbr 1   07:30:00      150   S 1", "Nbr 2   20:00:00     -5   S 2"}));
    EXPECT_EQ(table->RecordsText(), "Records = 2.");
    EXPECT_EQ(table->NextTurnText(), "I go turning on 20:00:00 > -5  S 2.");
    EXPECT_EQ(table->Form1LabelTimer(), "Timer=20:00:00>-5  M 2");
    ASSERT_TRUE(table->SaveTimerTxt());
    EXPECT_EQ(read(), bytes);

    const auto loaded = table->records();
    write(QByteArray(bytes).replace("\r\n", "\n"));
    table->LaadTimerTxt();
    EXPECT_EQ(table->records(), loaded);

    table->LoadTimerFile(2); // missing: an empty table, nothing armed, no message
    EXPECT_EQ(state.TimerFileName, "\\Timer2.tbl");
    EXPECT_EQ(table->checkedFile(), 2);
    EXPECT_TRUE(table->records().empty());
    EXPECT_FALSE(table->nextTurn());
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(TimerTableTest, aFileThatCouldNotBeRead_isKeptBesideBeforeTheFirstSaveOverIt) {
    ASSERT_EQ(::mkfifo(path().toLocal8Bit().constData(), 0600), 0);
    table = std::make_unique<TimerTable>(state, platform, turner, dir.path());
    EXPECT_TRUE(platform.messages.back().text.contains("cannot be read"));
    // What is there at the save, the pipe or the file it became, is not lost.
    table->AddRecord(QStringLiteral("12:30:00"), QStringLiteral("5"), 0);
    EXPECT_FALSE(QFileInfo(path()).isFile());
    ASSERT_TRUE(QFile::remove(path()));
    write("never read");
    table->AddRecord(QStringLiteral("13:30:00"), QStringLiteral("6"), 0);
    EXPECT_EQ(read(QStringLiteral("Timer1.tbl.damaged")), "never read");
    EXPECT_EQ(read(), "\"12:30:00\",5,0\r\n\"13:30:00\",6,0\r\n");
}

TEST_F(TimerTableTest, damagedFile_loadsTheGoodRecords_reportsTheRest_andKeepsTheFile) {
    const QByteArray damaged = "\"20:00:00\",100,1\r\n"
                               "\"7:30:00\",150,0\r\n"
                               "\"08:00:00\",150,2\r\n"
                               "\"09:00:00\",abc,0\r\n"
                               "\"10:00:00\",150\r\n"
                               "\r\n"
                               "\"06:00:00\",3000000000,0\r\n";
    open(damaged);
    ASSERT_EQ(table->records().size(), 2u);
    EXPECT_EQ(table->records()[1].position, std::numeric_limits<core::Long>::max());
    ASSERT_EQ(platform.messages.size(), 1u);
    for (const char* line :
         {"line 2: the time", "line 3: the stepper", "line 4: the position", "line 5: not a time"})
        EXPECT_TRUE(platform.messages[0].text.contains(QLatin1String(line))) << line;
    EXPECT_EQ(read(), damaged);

    // The first change writes the table; the damaged file stays beside it.
    table->AddRecord(QStringLiteral("12:30:00"), QStringLiteral("5"), 0);
    EXPECT_EQ(read(QStringLiteral("Timer1.tbl.damaged")), damaged);
    EXPECT_EQ(read(), "\"06:00:00\",2147483647,0\r\n\"12:30:00\",5,0\r\n\"20:00:00\",100,1\r\n");

    QByteArray tooMany;
    for (int i = 0; i < 101; ++i)
        tooMany += "\"12:00:00\",1,0\r\n";
    write(tooMany);
    table->LaadTimerTxt();
    EXPECT_EQ(table->records().size(), 100u);
    EXPECT_TRUE(platform.messages.back().text.contains("1 records from line 101 on"));
}

TEST_F(TimerTableTest, aByteOrderMarkIsSkipped_andAHugeFileIsReadToItsLimitAndKeptAside) {
    EXPECT_EQ(open("\xEF\xBB\xBF\"07:30:00\",150,0\r\n").records().size(), 1u);
    EXPECT_TRUE(platform.messages.empty());

    const QByteArray huge = "\"07:30:00\",150,0\r\n" + QByteArray(5 * 1024 * 1024, ' ');
    EXPECT_EQ(open(huge).records().size(), 1u);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(
        platform.messages[0].text.contains("it is larger than 4 MB; what follows was not read"));
}

TEST_F(TimerTableTest, records_areAddedSortedReplacedAndKilled) {
    open("");
    using Add = TimerTable::AddResult;
    EXPECT_EQ(table->AddRecord("12:00:00", "100", 0), Add::Added);
    EXPECT_EQ(table->AddRecord("08:00:00", "3000000000", 1), Add::Added);
    EXPECT_EQ(table->records()[0].time, "08:00:00");
    EXPECT_EQ(table->records()[0].position, std::numeric_limits<core::Long>::max());
    EXPECT_EQ(table->AddRecord("12:00:00", "7", 1), Add::Replaced);
    EXPECT_EQ(platform.messages.back().text,
              "This time was already there I replace only the position of Nbr  2.");
    EXPECT_EQ(table->records()[1], (TimerRecord{"12:00:00", 7, 1}));
    for (const char* bad : {"24:00:00", "12:60:00", "12-00-00", "_7:30:00", " 7:30:00"})
        EXPECT_EQ(table->AddRecord(bad, "1", 0), Add::BadTime) << bad;
    for (const char* typo : {" ", "abc", "12x", "."})
        EXPECT_EQ(table->AddRecord("13:00:00", typo, 0), Add::NoPosition) << typo;
    EXPECT_EQ(table->records().size(), 2u);
    EXPECT_EQ(platform.beeps.size(), 9u);

    EXPECT_FALSE(table->KillRecord("3000000000"));
    EXPECT_FALSE(table->KillRecord("0"));
    EXPECT_EQ(platform.beeps.size(), 11u);
    EXPECT_TRUE(table->KillRecord("1"));
    EXPECT_EQ(read(), "\"12:00:00\",7,1\r\n");
    EXPECT_TRUE(table->KillRecord("1"));
    EXPECT_FALSE(table->nextTurn());
    EXPECT_EQ(table->Form1LabelTimer(), "Timer on");

    for (int i = 0; i < 100; ++i)
        table->AddRecord(QTime(0, 0).addSecs(i).toString("hh:mm:ss"), "1", 0);
    EXPECT_EQ(table->AddRecord("23:00:00", "1", 0), Add::Full);
    EXPECT_EQ(platform.messages.back().text, "Sorry table full.");
    EXPECT_EQ(table->AddRecord("00:00:05", "9", 0), Add::Replaced);

    table->ClearFile();
    EXPECT_EQ(platform.messages.back().text, "Clear \\Timer1.tbl");
    EXPECT_TRUE(table->records().empty());
    EXPECT_TRUE(QFile::exists(path()));
    EXPECT_EQ(read(), "");
    EXPECT_FALSE(table->Hide());
    EXPECT_EQ(platform.messages.back().text, "Timertable is empty.");
}

TEST(TimerScheduleTest, nextRecord_isFoundAcrossMidnightWhateverTheOrder) {
    const std::vector<TimerRecord> records{
        {"20:00:00", 1, 0}, {"08:00:00", 2, 1}, {"00:00:01", 3, 0}};
    TimerSchedule schedule(records);
    schedule.Restart(at("21:00:00.000"));
    EXPECT_EQ(schedule.armed()->due, at("00:00:01.000", 1));
    schedule.Restart(at("23:59:59.500"));
    EXPECT_FALSE(schedule.Tick(at("00:00:00.500", 1)));
    EXPECT_EQ(schedule.Tick(at("00:00:01.500", 1)), records[2]);
    EXPECT_EQ(schedule.armed()->due, at("08:00:00.000", 1));
}

TEST(TimerScheduleTest, aMissedSecondStillTurnsOnce_andTheFollowingRecordComesNext) {
    const std::vector<TimerRecord> records{{"06:00:00", 1, 0}, {"12:00:05", 2, 1}};
    TimerSchedule schedule(records);
    schedule.Restart(at("12:00:00.500"));
    EXPECT_FALSE(schedule.Tick(at("12:00:04.500")));
    EXPECT_EQ(schedule.Tick(at("12:00:06.500")), records[1]);
    EXPECT_FALSE(schedule.Tick(at("12:00:06.900")));
    EXPECT_EQ(schedule.armed()->due, at("06:00:00.000", 1));

    // A turn that ends within its own second is not made again.
    schedule.Restart(at("12:00:04.900"));
    EXPECT_EQ(schedule.Tick(at("12:00:05.000")), records[1]);
    schedule.TurnEnded(at("12:00:05.400"));
    EXPECT_FALSE(schedule.Tick(at("12:00:05.900")));
    EXPECT_EQ(schedule.armed()->index, 0);
}

TEST(TimerScheduleTest, aTurnJustMade_isNotMadeAgainWhenRecordsComeOrGoBeforeIt) {
    std::vector<TimerRecord> records{
        {"06:00:00", 1, 0}, {"12:00:05", 2, 1}, {"12:00:05", 3, 0}, {"13:00:00", 4, 0}};
    TimerSchedule schedule(records);
    schedule.Restart(at("12:00:00.500"));
    EXPECT_EQ(schedule.Tick(at("12:00:05.500")), records[1]);
    // A record of an earlier time typed and sorted in: the records after it move up one place.
    records.insert(records.begin() + 1, {"09:00:00", 5, 0});
    schedule.Made("09:00:00", at("12:00:06.000"));
    schedule.Rearm();
    // The other record of 12:00:05 still turns, once; the first one not again.
    EXPECT_EQ(schedule.Tick(at("12:00:06.500")), records[3]);
    EXPECT_FALSE(schedule.Tick(at("12:00:07.500")));
    EXPECT_EQ(schedule.armed()->due, at("13:00:00.000"));

    // A record deleted before them: neither of 12:00:05 turns again.
    records.erase(records.begin());
    schedule.Rearm();
    EXPECT_FALSE(schedule.Tick(at("12:00:08.500")));
    EXPECT_EQ(schedule.armed()->due, at("13:00:00.000"));
}

TEST(TimerScheduleTest, aJumpOfTheClockMakesNoBurst_andLongOverdueTurnsAreMissed) {
    const std::vector<TimerRecord> records{
        {"12:01:00", 1, 0}, {"12:02:00", 2, 0}, {"12:03:00", 3, 0}};
    TimerSchedule schedule(records);
    schedule.Restart(at("12:00:30.000"));
    EXPECT_FALSE(schedule.Tick(at("12:03:30.000")));
    EXPECT_FALSE(schedule.Tick(at("12:03:31.000")));
    EXPECT_EQ(schedule.armed()->due, at("12:01:00.000", 1));

    // After a turn of two and a half minutes the record due 31 s ago still turns; the one due
    // 91 s ago is missed.
    schedule.Restart(at("12:00:59.000"));
    EXPECT_EQ(schedule.Tick(at("12:01:00.000")), records[0]);
    schedule.TurnEnded(at("12:03:30.000"));
    EXPECT_EQ(schedule.Tick(at("12:03:31.000")), records[2]);
}

TEST(TimerScheduleTest, aRecordMadeAfterItsTime_isDueTomorrow_whileMissedTicksCatchUp) {
    std::vector<TimerRecord> records{{"12:00:05", 1, 0}};
    TimerSchedule schedule(records);
    schedule.Restart(at("12:00:00.000"));
    EXPECT_FALSE(schedule.Tick(at("12:00:01.000")));
    // The event loop is busy until 12:00:40; meanwhile, at 12:00:30, a record for 12:00:20 is
    // typed and one of 12:00:30 itself.
    records.push_back({"12:00:20", 2, 0});
    schedule.Made("12:00:20", at("12:00:30.000"));
    records.push_back({"12:00:30", 3, 0});
    schedule.Made("12:00:30", at("12:00:30.400"));
    schedule.Rearm();
    EXPECT_EQ(schedule.Tick(at("12:00:40.000")), records[0]) << "the missed tick catches up";
    for (int second = 41; second < 100; ++second)
        EXPECT_FALSE(schedule.Tick(at("12:00:00.000").addSecs(second))) << second;
    EXPECT_EQ(schedule.armed()->due, at("12:00:05.000", 1));
}

// The local clock of Berlin for one test; its summer time begins on 29 March 2026, 02:00
// becoming 03:00.
class BerlinClock {
public:
    BerlinClock() : had_(qEnvironmentVariableIsSet("TZ")), old_(qgetenv("TZ")) {
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }
    ~BerlinClock() {
        if (had_)
            qputenv("TZ", old_);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    bool had_;
    QByteArray old_;
};

TEST(TimerScheduleTest, aRecordInTheHourSummerTimeSkips_turnsAgainTheDayAfter) {
    const BerlinClock berlin;
    const QDate spring(2026, 3, 29);
    if (QDateTime(spring, QTime(2, 30)).isValid())
        GTEST_SKIP() << "no time zone data for Europe/Berlin";
    const std::vector<TimerRecord> records{{"02:30:00", 1, 0}};
    TimerSchedule schedule(records);
    schedule.Restart(QDateTime(spring.addDays(-1), QTime(2, 29, 59, 500)));
    EXPECT_EQ(schedule.Tick(QDateTime(spring.addDays(-1), QTime(2, 30, 0, 500))), records[0]);
    ASSERT_TRUE(schedule.armed());
    EXPECT_EQ(schedule.armed()->due, QDateTime(spring.addDays(1), QTime(2, 30)));

    // Started on that day, or with a record typed then, it waits for the day after too.
    schedule.Restart(QDateTime(spring, QTime(1, 0)));
    ASSERT_TRUE(schedule.armed());
    EXPECT_EQ(schedule.armed()->due, QDateTime(spring.addDays(1), QTime(2, 30)));
    schedule.Made("02:30:00", QDateTime(spring, QTime(4, 0)));
    schedule.Rearm();
    ASSERT_TRUE(schedule.armed());
    EXPECT_EQ(schedule.armed()->due, QDateTime(spring.addDays(1), QTime(2, 30)));
}

TEST_F(TimerTableTest, aTimeAlreadyPast_typedReplacedOrLoaded_turnsTomorrowNotNow) {
    open("\"12:00:40\",5,0\r\n");
    platform.advance(30500); // 12:00:30.5
    table->AddRecord("12:00:13", "100", 0);
    table->AddRecord("12:00:30", "200", 0);
    platform.advance(20000);
    EXPECT_EQ(turner.targets(), (std::vector<core::Long>{5})) << "only the record still ahead";
    EXPECT_EQ(table->AddRecord("12:00:40", "6", 0), TimerTable::AddResult::Replaced);
    write("\"12:00:20\",300,0\r\n\"12:00:40\",5,0\r\n");
    table->LoadTimerFile(1);
    EXPECT_EQ(table->nextTurn()->time, "12:00:20");
    platform.advance(60000);
    EXPECT_EQ(turner.targets(), (std::vector<core::Long>{5}));
}

TEST_F(TimerTableTest, timedTurns_selectTheirStepperAndTurnOnTime) {
    open("\"12:00:05\",10,0\r\n\"12:00:03\",20,1\r\n"); // out of order
    platform.advance(10000);
    ASSERT_EQ(turner.turns.size(), 2u);
    EXPECT_EQ(turner.turns[0].target, 20);
    EXPECT_EQ(turner.turns[0].stepper, 1);
    EXPECT_EQ(turner.turns[0].atMs, 3000);
    EXPECT_EQ(turner.turns[1].target, 10);
    EXPECT_EQ(turner.turns[1].stepper, 0);
    EXPECT_EQ(turner.turns[1].atMs, 5000);
    EXPECT_EQ(platform.beeps, (std::vector<double>{3000, 5000}));
    EXPECT_EQ(table->ClockText(), "12:00:10");

    // The clock runs from the load, and the button says so.
    EXPECT_EQ(table->TimerOnCaption(), "&Timer on.");
    EXPECT_TRUE(table->NextTurnVisible());
    EXPECT_EQ(table->Form1LabelTimer(), "Timer=12:00:03> 20  M 2");
    EXPECT_TRUE(table->Hide());
    EXPECT_EQ(platform.messages.back().text, "Timertable runs on background.");
}

TEST_F(TimerTableTest, aRecordTypedJustAfterATurn_doesNotMakeThatTurnAgain) {
    open("\"12:00:03\",20,0\r\n");
    platform.advance(4000);
    ASSERT_EQ(turner.turns.size(), 1u);
    // Tomorrow morning's turn, typed at once: it sorts in before the one just made.
    EXPECT_EQ(table->AddRecord(QStringLiteral("07:30:00"), QStringLiteral("5"), 0),
              TimerTable::AddResult::Added);
    platform.advance(5000);
    EXPECT_EQ(turner.turns.size(), 1u);
    EXPECT_EQ(table->NextTurnText(), "I go turning on 07:30:00 >  5  S 1.");
}

TEST_F(TimerTableTest, noTimedTurn_whileTheCounterIsSetByHand_orTheTimerIsOff) {
    open("\"12:00:02\",300,0\r\n\"12:00:10\",300,0\r\n");
    turner.settingCounter = true;
    platform.advance(3000);
    turner.settingCounter = false;
    EXPECT_TRUE(turner.turns.empty());
    EXPECT_EQ(table->nextTurn()->time, "12:00:10");

    // Switched off during its turn, the timer stays off.
    platform.scheduleAt(11000, [&] { table->TimerOnClicked(); });
    platform.advance(30000);
    ASSERT_EQ(turner.turns.size(), 1u);
    EXPECT_FALSE(table->timerEnabled());
    EXPECT_EQ(table->ClockText(), "Stopped!");
}

TEST_F(TimerTableTest, windowClosedDuringATimedTurn_stopsItAndTouchesNothingAfterwards) {
    open("\"12:00:01\",300,0\r\n");
    platform.scheduleAt(1500, [&] {
        table->WindowGone();
        table.reset();
    });
    platform.advance(5000);
    EXPECT_EQ(state.StepCounter, 50);
    EXPECT_EQ(turner.turns.size(), 1u);
}
