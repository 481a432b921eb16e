#include "engine/KeyCodes.h"

#include "engine/WheelNotches.h"

#include <gtest/gtest.h>

using namespace engine;

TEST(KeyCodes, keypadKeysHaveTheirOwnCodes) {
    for (int d = 0; d <= 9; ++d)
        EXPECT_EQ(VirtualKeyCode(Qt::Key(Qt::Key_0 + d), Qt::KeypadModifier), 96 + d);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Plus, Qt::KeypadModifier), 107);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Minus, Qt::KeypadModifier), 109);
    // The main keyboard's digits and signs are other keys.
    EXPECT_EQ(VirtualKeyCode(Qt::Key_3, Qt::NoModifier), 51);
    EXPECT_NE(VirtualKeyCode(Qt::Key_Plus, Qt::NoModifier), 107);
    EXPECT_NE(VirtualKeyCode(Qt::Key_Minus, Qt::NoModifier), 109);
    // With Num Lock off the keypad sends navigation keys, and they count as such.
    EXPECT_EQ(VirtualKeyCode(Qt::Key_PageUp, Qt::KeypadModifier), 33);
}

TEST(KeyCodes, lettersAreTheirCapitalsWhateverTheModifiers_andFunctionKeysCount) {
    EXPECT_EQ(VirtualKeyCode(Qt::Key_A, Qt::NoModifier), 65);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_L, Qt::ShiftModifier), 76);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_Z, Qt::ControlModifier), 90);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_F4, Qt::AltModifier), 115);
    EXPECT_EQ(VirtualKeyCode(Qt::Key_unknown, {}), 0);
}

TEST(KeyCodes, modifierMasks) {
    EXPECT_EQ(ModifierMask(Qt::NoModifier), 0);
    EXPECT_EQ(ModifierMask(Qt::ShiftModifier | Qt::AltModifier), 5);
    EXPECT_EQ(ModifierMask(Qt::ControlModifier | Qt::KeypadModifier), 2);
    EXPECT_EQ(WheelShift(Qt::ShiftModifier | Qt::ControlModifier), 16);
    EXPECT_EQ(WheelShift(Qt::ControlModifier), 0);
}

TEST(WheelNotches, aNotchAwayIsMinusOne_partsAddUpAndADirectionChangeDropsThem) {
    WheelNotches wheel;
    EXPECT_EQ(wheel.add({0, 120}), -1);
    EXPECT_EQ(wheel.add({0, -240}), 2);
    EXPECT_EQ(wheel.add({0, 40}), 0);
    EXPECT_EQ(wheel.add({0, 40}), 0);
    EXPECT_EQ(wheel.add({0, 50}), -1);  // 130: one notch, 10 kept
    EXPECT_EQ(wheel.add({0, -100}), 0); // the 10 away are dropped, not set against it
    EXPECT_EQ(wheel.add({0, -20}), 1);
    EXPECT_EQ(wheel.add({120, 0}), -1); // Shift+wheel arriving sideways
    EXPECT_EQ(wheel.add({0, 0}), 0);
}
