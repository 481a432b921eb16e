#include "display/ColorValue.h"

#include <gtest/gtest.h>

using display::ColorFromValue;

namespace {
core::Long Desktop(unsigned number) {
    return static_cast<core::Long>(0x80000000u + number);
}
} // namespace

TEST(ColorValue, storedColoursAreBlueGreenRedAndDesktopColoursHaveTheirClassicValue) {
    EXPECT_EQ(ColorFromValue(255), QColor(255, 0, 0));               // PelorusDegreeColor: red
    EXPECT_EQ(ColorFromValue(0xFF0000), QColor(0, 0, 255));          // PelorusRimColor: blue
    EXPECT_EQ(ColorFromValue(Desktop(0x11)), QColor(128, 128, 128)); // grey text
    EXPECT_EQ(ColorFromValue(Desktop(5)), QColor(255, 255, 255));    // window background
    EXPECT_EQ(ColorFromValue(Desktop(0xFF)), QColor(128, 128, 128)); // no such number: grey
}
