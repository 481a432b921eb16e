#include "display/PelorusCounter.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace display;

TEST(PelorusCounter, stepsShowTheTargetWhileMovingDegreesOnlyWhenTheTargetChanges) {
    core::ProgramState s;
    s.StepCounter = 100;
    s.TargetPosition = 150;
    PelorusCounter counter;
    EXPECT_EQ(counter.ShowCounter(s, false, false), QStringLiteral("100>150"));
    s.TargetPosition = 100;
    EXPECT_EQ(counter.ShowCounter(s, false, false), QStringLiteral("100"));
    EXPECT_EQ(counter.ShowCounter(s, true, false), QStringLiteral("100>100")); // shuttle runs

    counter.toggle();
    s.TargetPosition = 150; // 270 degrees, from the target shown last (0)
    EXPECT_EQ(counter.ShowCounter(s, false, true), QStringLiteral("0°>270°"));
    EXPECT_FALSE(counter.ShowCounter(s, false, false)) << "same target: the label stays";
    s.StepCounter = 150;
    EXPECT_EQ(counter.ShowCounter(s, false, true), QStringLiteral("270°"));
}

TEST(PelorusCounter, angleHasADecimalAZeroBeforeThePointAndTheSignApart) {
    EXPECT_EQ(PelorusAngleText(45), QStringLiteral("45.0 °"));
    EXPECT_EQ(PelorusAngleText(0.5f), QStringLiteral("0.5 °"));
    EXPECT_EQ(PelorusAngleText(-0.5f), QStringLiteral("-0.5 °"));
}
