#include "core/MainCaption.h"

#include <gtest/gtest.h>

using namespace core;

TEST(DateText, dayWithoutZeroMonthNameAndYear) {
    EXPECT_EQ(DateText(QDate(2026, 12, 5)), "5-December-2026");
    EXPECT_EQ(DateText(QDate(2009, 10, 31)), "31-Oktober-2009");
    EXPECT_EQ(DateText(QDate(2030, 1, 1)), "1-January-2030");
}

TEST(OtherStepperText, showsTheOtherSteppersCountAndDegrees) {
    EXPECT_EQ(OtherStepperText(0, 200, 120), " Stepper2=(120) 216°");
    EXPECT_EQ(OtherStepperText(1, 200, 1), " Stepper1=(1) 1.8°");
    EXPECT_EQ(OtherStepperText(0, 200, 0), " Stepper2=(0) 0°");
    EXPECT_EQ(OtherStepperText(0, 0, 55), " Stepper2=(55) 0°");
    EXPECT_EQ(OtherStepperText(0, 200, -5), " Stepper2=(-5)-9°");
}

TEST(MainCaption, titleWithVersionRevisionDateAndOtherStepper) {
    ProgramState state;
    state.DateText = "6-December-2026";
    state.StoredProfiles[1].StepCounter = 250;
    EXPECT_EQ(MainCaption(state),
              "Ventrolo. Version 1.24 (998) 6-December-2026 Stepper2=(250) 450°");
    state.SelectedStepper = 1;
    EXPECT_EQ(MainCaption(state), "Ventrolo. Version 1.24 (998) 6-December-2026 Stepper1=(0) 0°");
}
