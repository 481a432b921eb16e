#include "core/TextRules.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

using namespace core;

TEST(NumberText, leadingBlankAndNoZeroBeforePoint) {
    EXPECT_EQ(NumberText(0.5f), " .5");
    EXPECT_EQ(NumberText(-0.5f), "-.5");
    EXPECT_EQ(NumberText(0.015), " .015");
    EXPECT_EQ(NumberText(-12.25), "-12.25");
    EXPECT_EQ(NumberText(std::int32_t{5}), " 5");
    EXPECT_EQ(NumberText(std::int32_t{-5}), "-5");
    EXPECT_EQ(PlainNumberText(0.5f), ".5");
    EXPECT_EQ(PlainNumberText(std::int32_t{120}), "120");
}

TEST(NumberText, singleHasSevenSignificantDigitsDoubleFifteen) {
    EXPECT_EQ(NumberText(360.0f / 200.0f), " 1.8");
    EXPECT_EQ(NumberText(1.0f / 3.0f), " .3333333");
    EXPECT_EQ(NumberText(1.0 / 3.0), " .333333333333333");
    EXPECT_EQ(NumberText(1234567.0f), " 1234567");
}

TEST(NumberText, exponentFormOutsideTheFixedRange) {
    EXPECT_EQ(NumberText(12345678.0f), " 1.234568E+07");
    EXPECT_EQ(NumberText(1e20f), " 1E+20");
    EXPECT_EQ(NumberText(0.0001f), " .0001");
    EXPECT_EQ(NumberText(0.00001f), " 1E-05");
    EXPECT_EQ(NumberText(-2.5e-7), "-2.5E-07");
    EXPECT_EQ(NumberText(123456789012345.0), " 123456789012345");
    EXPECT_EQ(NumberText(1e15), " 1E+15");
}

TEST(RoundHalfEven, wholeNumbersAndDecimals) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_DOUBLE_EQ(RoundHalfEven(2.675, 2), 2.68); // a decimal half, not its binary neighbour
    EXPECT_DOUBLE_EQ(RoundHalfEven(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(RoundHalfEven(0.35, 1), 0.4);
    EXPECT_DOUBLE_EQ(RoundHalfEven(216.04, 1), 216.0);
}

TEST(RoundHalfEven, toLongAndIntegerHoldTheRangeEnds) {
    EXPECT_EQ(RoundToLong(2.5), 2);
    EXPECT_EQ(RoundToLong(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(RoundToLong(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(RoundToLong(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(RoundToInteger(40000), 32767);
    EXPECT_EQ(RoundToInteger(-40000), -32768);
}

TEST(LeadingNumber, readsTheLeadingNumberOnly) {
    EXPECT_DOUBLE_EQ(LeadingNumber("12.5 Sec"), 12.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("1.5.3"), 1.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("  -7"), -7);
    EXPECT_DOUBLE_EQ(LeadingNumber("90°"), 90);
    EXPECT_DOUBLE_EQ(LeadingNumber("1 000"), 1000);
    EXPECT_DOUBLE_EQ(LeadingNumber("2e3x"), 2000);
    EXPECT_DOUBLE_EQ(LeadingNumber("5e"), 5);
    EXPECT_DOUBLE_EQ(LeadingNumber("-"), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("1e999"), 0);
}

TEST(NumericFieldText, keepsDigitsAndPointAndTurnsCommaIntoPoint) {
    EXPECT_EQ(NumericFieldText("-12,5 steps"), "12.5");
    EXPECT_EQ(NumericFieldText("abc"), "");
    EXPECT_EQ(NumericFieldText("1.2.3"), "1.2.3");
}
