#include "program/DirectTable.h"

#include "FakeTurner.h"
#include "program/ProgramLanguage.h"

#include <gtest/gtest.h>

using namespace program;
using program_test::FakeTurner;

namespace {

class DirectTableTest : public ::testing::Test {
protected:
    DirectTableTest() {
        state.StepDelayMs = 10; // limits 0..500, 200 steps per 360
        // The window shows every rewrite of the table in its box, which reports it back.
        QObject::connect(&table, &DirectTable::textChanged,
                         [this] { table.TextEdited(table.text()); });
        QObject::connect(&table, &DirectTable::valueMarked, [this](int start, int length) {
            marks.push_back({start, length});
        });
    }
    void run(const QString& program) {
        table.TextEdited(program);
        table.RunClicked();
    }

    core::ProgramState state;
    testing_support::FakePlatform platform;
    FakeTurner turner{state, platform};
    DirectTable table{state, platform, turner};
    std::vector<std::pair<int, int>> marks;
};

} // namespace

TEST_F(DirectTableTest, program_turnsEveryValueAtItsDelayOverAndOverUntilStopped) {
    QString degreesShown;
    QString duringPause;
    platform.scheduleAt(500, [&] {
        table.ToggleCounterInDegrees();
        degreesShown = table.CurrentText();
    });
    platform.scheduleAt(6500, [&] { duringPause = table.CurrentText(); });
    platform.scheduleAt(9500, [&] { table.RunClicked(); });
    run(QStringLiteral("100,50#,200,1000!,0"));

    // The speed holds for the next turn only; the pause holds the program for its time.
    ASSERT_EQ(turner.targets(), (std::vector<core::Long>{100, 200, 0, 100}));
    EXPECT_EQ(turner.turns[0].delayMs, std::nullopt);
    EXPECT_EQ(turner.turns[1].delayMs, 50);
    EXPECT_EQ(turner.turns[2].delayMs, std::nullopt);
    EXPECT_EQ(turner.turns[1].atMs, 1000);
    EXPECT_EQ(turner.turns[2].atMs, 7000);
    EXPECT_EQ(turner.turns[3].atMs, 9000);
    EXPECT_EQ(state.StepCounter, 50); // stopped mid-turn
    EXPECT_EQ(duringPause, "1000 mSec");
    EXPECT_EQ(degreesShown, "90°>180°");
    EXPECT_EQ(table.CurrentColor(), state.PelorusDegreeColor);
    // The appended comma is the table's own: it did not stop the run.
    EXPECT_EQ(table.text(), "100,50#,200,1000!,0,");
    EXPECT_EQ(marks, (std::vector<std::pair<int, int>>{{0, 3}, {8, 3}, {18, 1}, {0, 3}}));
    EXPECT_EQ(table.RunCaption(), "&Start");
    EXPECT_EQ(table.CurrentText(), "Stopped");
}

TEST_F(DirectTableTest, escMidPauseOrMidTurn_endsTheRunAtOnce) {
    platform.scheduleAt(1500, [&] { turner.stopTurning(); });
    run(QStringLiteral("100,3000!,0"));
    EXPECT_LT(platform.steadyMs(), 1600);
    EXPECT_EQ(turner.targets(), std::vector<core::Long>{100});
    EXPECT_FALSE(table.running());
    EXPECT_EQ(table.CurrentText(), "Stopped");

    state.StepCounter = 0;
    platform.scheduleAfter(300, [&] { turner.stopTurning(); });
    table.RunClicked();
    EXPECT_EQ(turner.targets(), (std::vector<core::Long>{100, 100}));
    EXPECT_EQ(state.StepCounter, 30);
    EXPECT_FALSE(table.running());
}

TEST_F(DirectTableTest, refusedTurn_endsTheRunInsteadOfAskingPassAfterPass) {
    // The port cannot make the steps: every turn would be refused again at once.
    turner.refusing = true;
    platform.scheduleAt(10000, [&] { table.RunClicked(); });
    run(QStringLiteral("5#,20,0!,60"));
    EXPECT_EQ(turner.targets(), std::vector<core::Long>{20});
    EXPECT_LT(platform.steadyMs(), 100);
    EXPECT_FALSE(table.running());
    EXPECT_EQ(table.RunCaption(), "&Start");
    EXPECT_EQ(table.CurrentText(), "Stopped");

    // Once the port can make them, the program runs again from its start.
    turner.refusing = false;
    platform.scheduleAfter(300, [&] { table.RunClicked(); });
    table.RunClicked();
    EXPECT_EQ(turner.targets(), (std::vector<core::Long>{20, 20, 60}));
    EXPECT_EQ(state.StepCounter, 40); // stopped mid-turn
}

TEST_F(DirectTableTest, values_areHeldInTheirLimitsAndDegreesConverted) {
    state.FastestDelayMs = 10;
    platform.scheduleAt(15990, [&] { table.RunClicked(); });
    run(QStringLiteral("90*,600,3000000000,5#,7,2000#,8,9000!,1"));
    ASSERT_EQ(turner.targets(), (std::vector<core::Long>{50, 500, 500, 7, 8, 1}));
    EXPECT_EQ(turner.turns[3].delayMs, 10);
    EXPECT_EQ(turner.turns[4].delayMs, 1000);
    EXPECT_EQ(platform.beeps, (std::vector<double>{5000, 9930}));
    EXPECT_EQ(turner.turns[5].atMs, 15930); // 9000! paused 5000 ms

    // Without a degree scale a degree value is steps; a single value runs once.
    state.StepsPer360 = 0;
    run(QStringLiteral("90*"));
    EXPECT_EQ(turner.targets().back(), 90);
    EXPECT_FALSE(table.running());
}

TEST_F(DirectTableTest, programWithoutPosition_letsTheWindowRunAndStop) {
    EXPECT_FALSE(HasPositionValue(QStringLiteral("1000!,2000!,")));
    EXPECT_FALSE(HasPositionValue(QStringLiteral("20#,30#,")));
    EXPECT_TRUE(HasPositionValue(QStringLiteral("20#,1*")));
    const std::vector<TextSpan> spans = ValueSpans(QStringLiteral("22*,,800!"));
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_EQ((std::vector<int>{spans[1].start, spans[1].length, spans[2].start, spans[2].length}),
              (std::vector<int>{4, 0, 5, 4}));

    platform.scheduleAt(100, [&] { table.RunClicked(); });
    run(QStringLiteral("20#,30#"));
    EXPECT_FALSE(table.running());
    EXPECT_TRUE(turner.turns.empty());
    EXPECT_GT(platform.yields, 0);
}

TEST_F(DirectTableTest, nothingToRun_endsAtOnce_aTypoIsRefused_andSoIsTooSlowASpeed) {
    table.RunClicked();
    EXPECT_EQ(table.CurrentText(), "Waiting");
    run(QStringLiteral(","));
    EXPECT_EQ(table.CurrentText(), "Stopped");
    EXPECT_FALSE(table.running());

    // A value without its number is a typo, not a turn to step 0: nothing runs, it is marked.
    const std::pair<const char*, std::pair<int, int>> typos[] = {
        {"100,,200", {4, 0}}, {"100,.,200", {4, 1}}, {"*", {0, 1}}, {"100,!,7#", {4, 1}}};
    for (const auto& [typo, mark] : typos) {
        marks.clear();
        platform.scheduleAfter(5000, [&] { // should it run after all
            if (table.running())
                table.RunClicked();
        });
        run(QString::fromLatin1(typo));
        EXPECT_EQ(marks, (std::vector<std::pair<int, int>>{mark})) << typo;
        EXPECT_FALSE(table.running()) << typo;
    }
    EXPECT_TRUE(turner.turns.empty());
    EXPECT_EQ(platform.beeps.size(), 4u);
    EXPECT_TRUE(HasNumber(QStringLiteral(".5*")));

    state.SlowestDelayMs = 2000;
    run(QStringLiteral("100,200"));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Set SlowSpeed to 1 Sec or less to run me");
    EXPECT_TRUE(turner.turns.empty());
}

TEST_F(DirectTableTest, userEdit_isFilteredAndStopsTheRun) {
    table.TextEdited(QStringLiteral("12 a-3,x4!"));
    EXPECT_EQ(table.text(), "123,4!");

    platform.scheduleAt(1500, [&] { table.TextEdited(QStringLiteral("100,300")); });
    run(QStringLiteral("100,200"));
    EXPECT_FALSE(table.running());
    EXPECT_EQ(turner.targets(), (std::vector<core::Long>{100, 200}));
    EXPECT_EQ(table.text(), "100,300");
}

TEST_F(DirectTableTest, windowClosedMidTurn_endsTheRunWhichTouchesNothingAfterwards) {
    auto* closing = new DirectTable(state, platform, turner);
    closing->TextEdited(QStringLiteral("100,200"));
    platform.scheduleAt(500, [&] {
        closing->WindowGone();
        delete closing;
    });
    closing->RunClicked();
    EXPECT_EQ(turner.targets(), std::vector<core::Long>{100});
    EXPECT_EQ(state.StepCounter, 50);
}
