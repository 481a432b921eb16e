#pragma once

#include <Qt>

namespace engine {

// The key codes the keyboard commands work with: the virtual key codes of the PC keyboard
// (letters 65..90 as their capitals, keypad digits 96..105).
namespace VirtualKey {
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Numpad0 = 96;   // Numpad0 + d for keypad digit d
inline constexpr int Add = 107;      // keypad +
inline constexpr int Subtract = 109; // keypad -
inline constexpr int F1 = 112;       // F1 + n - 1 for Fn
inline constexpr int F4 = 115;
} // namespace VirtualKey

// The modifier mask of a key press: Shift 1, Ctrl 2, Alt 4, added.
inline constexpr int ShiftMask = 1;
inline constexpr int CtrlMask = 2;
inline constexpr int AltMask = 4;
// The shift argument of a wheel turn or a relative step while Shift is held.
inline constexpr int ShiftHeld = 16;

// The virtual key code of a Qt key press; 0 for a key without one. The keypad (Qt's
// KeypadModifier) has codes of its own: digits 96..105, "*" 106, "+" 107, "-" 109, "." 110,
// "/" 111; with Num Lock off its keys arrive, and count, as the navigation keys they are.
int VirtualKeyCode(Qt::Key key, Qt::KeyboardModifiers modifiers);
// The modifier mask (ShiftMask, CtrlMask, AltMask) of a key press.
int ModifierMask(Qt::KeyboardModifiers modifiers);
// The shift argument of a wheel event: ShiftHeld with Shift, else 0.
int WheelShift(Qt::KeyboardModifiers modifiers);

} // namespace engine
