#include "table/Interpolation.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace table;

TEST(Transform, eachType_matchesAnIndependentComputation) {
    // Written with other library calls than the transforms use (pow, log10).
    const std::array<std::function<double(double)>, InterpolTypeCount> expected{
        [](double v) { return v; },
        [](double v) { return std::pow(v, -1); },
        [](double v) { return std::pow(v, -2); },
        [](double v) { return std::log10(v); },
        [](double v) { return std::log(v); },
        [](double v) { return std::pow(v, -0.5); },
        [](double v) { return std::pow(v, 0.5); },
        [](double v) { return std::pow(v, 2); },
        [](double v) { return 1 / std::log10(v); },
        [](double v) { return 1 / std::log(v); }};
    for (int type = 0; type < InterpolTypeCount; ++type) {
        const auto t = Transform(type, 3620.5);
        ASSERT_TRUE(t.ok()) << type;
        EXPECT_NEAR(t.value, expected[type](3620.5), std::abs(expected[type](3620.5)) * 1e-13)
            << type;
    }
}

TEST(Transform, outsideItsDomain_givesTheFaultNotANumber) {
    EXPECT_EQ(Transform(4, 0).fault, InvalidArgumentFault);  // ln 0
    EXPECT_EQ(Transform(3, -2).fault, InvalidArgumentFault); // log of a negative value
    EXPECT_EQ(Transform(6, -1).fault, InvalidArgumentFault); // root of a negative value
    EXPECT_EQ(Transform(1, 0).fault, DivisionByZeroFault);
    EXPECT_EQ(Transform(9, 1).fault, DivisionByZeroFault); // 1/ln(1)
    EXPECT_EQ(Transform(8, 1).fault, DivisionByZeroFault);
    EXPECT_EQ(Transform(7, 1e200).fault, OverflowFault);
    EXPECT_EQ(Transform(10, 5).fault, InvalidArgumentFault);
}

TEST(Interpolate, exactHalves_roundToEven) {
    EXPECT_EQ(Interpolate(0, 1, 2, 0, 1).value, 0);  // 0.5
    EXPECT_EQ(Interpolate(1, 2, 2, 0, 1).value, 2);  // 1.5
    EXPECT_EQ(Interpolate(2, 3, 2, 0, 1).value, 2);  // 2.5
    EXPECT_EQ(Interpolate(0, -1, 2, 0, 1).value, 0); // -0.5
    EXPECT_EQ(Interpolate(-1, -2, 2, 0, 1).value, -2);
}

TEST(Interpolate, equalEndsOrAHugeResult_giveTheFault) {
    EXPECT_EQ(Interpolate(100, 200, 5, 5, 6).fault, DivisionByZeroFault);
    EXPECT_EQ(Interpolate(100, 200, 5, 5, 5).fault, OverflowFault); // 0/0
    EXPECT_EQ(Interpolate(0, 2e9, 1, 0, 2).fault, OverflowFault);
    EXPECT_TRUE(Interpolate(0, 2e9, 1, 0, 1).ok());
}
