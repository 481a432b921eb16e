#include "mainwindow/ExitCountdown.h"

#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <vector>

using mainwindow::ExitChoice;
using mainwindow::ExitCountdown;
using testing_support::FakePlatform;

namespace {

struct ExitCountdownTest : ::testing::Test {
    FakePlatform platform;
    ExitCountdown countdown{platform, 0, 40};
    std::vector<QString> texts;
    std::vector<ExitChoice> decisions;

    ExitCountdownTest() {
        QObject::connect(&countdown, &ExitCountdown::countdownTextChanged,
                         [this](const QString& text) { texts.push_back(text); });
        QObject::connect(&countdown, &ExitCountdown::decided,
                         [this](ExitChoice choice) { decisions.push_back(choice); });
    }
};

} // namespace

TEST_F(ExitCountdownTest, texts_showBothLowerLimitsWithTheNumberBlank) {
    EXPECT_EQ(countdown.question(), "Reset stepper1 to 0\r\n\r\nReset stepper2 to 40");
    EXPECT_EQ(countdown.parkMessage(), "Steppers are turned to 0 and 40");
    EXPECT_EQ(countdown.countdownText(), "Autoreset");

    ExitCountdown negative(platform, -200, 15);
    EXPECT_EQ(negative.question(), "Reset stepper1 to-200\r\n\r\nReset stepper2 to 15");
}

TEST_F(ExitCountdownTest, leftAlone_countsFiveToOneThenParksAtTheSixthTick) {
    platform.advance(3000);
    EXPECT_TRUE(texts.empty()) << "no count before start";

    countdown.start();
    platform.advance(5000);
    EXPECT_EQ(texts,
              (std::vector<QString>{"Autoreset (5) Sec", "Autoreset (4) Sec", "Autoreset (3) Sec",
                                    "Autoreset (2) Sec", "Autoreset (1) Sec"}));
    EXPECT_TRUE(decisions.empty());

    platform.advance(999);
    EXPECT_TRUE(decisions.empty());
    platform.advance(1);
    ASSERT_EQ(decisions, std::vector{ExitChoice::Park});
    EXPECT_EQ(countdown.countdownText(), "Steppers are turned to 0 and 40");
    EXPECT_EQ(countdown.choice(), ExitChoice::Park);

    platform.advance(10000);
    EXPECT_EQ(decisions.size(), 1u) << "the countdown ends with the decision";
}

TEST_F(ExitCountdownTest, yesDuringTheCount_parksAtOnceAndStopsTheCount) {
    countdown.start();
    platform.advance(2500);
    countdown.answerYes();
    ASSERT_EQ(decisions, std::vector{ExitChoice::Park});
    EXPECT_EQ(countdown.countdownText(), "Steppers are turned to 0 and 40");

    const auto textsAtAnswer = texts.size();
    platform.advance(10000);
    EXPECT_EQ(texts.size(), textsAtAnswer);
    EXPECT_EQ(decisions.size(), 1u);
}

TEST_F(ExitCountdownTest, no_savesWithoutParkingAndNeverParksLater) {
    countdown.start();
    platform.advance(4000);
    countdown.answerNo();
    ASSERT_EQ(decisions, std::vector{ExitChoice::SaveOnly});
    EXPECT_EQ(countdown.countdownText(), "");

    platform.advance(10000);
    countdown.answerYes();
    countdown.start();
    platform.advance(10000);
    EXPECT_EQ(decisions, std::vector{ExitChoice::SaveOnly}) << "only the first answer counts";
}
