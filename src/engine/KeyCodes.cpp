#include "engine/KeyCodes.h"

namespace engine {

namespace {

int KeypadCode(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return VirtualKey::Numpad0 + (key - Qt::Key_0);
    switch (key) {
    case Qt::Key_Asterisk:
        return 106;
    case Qt::Key_Plus:
        return VirtualKey::Add;
    case Qt::Key_Minus:
        return VirtualKey::Subtract;
    case Qt::Key_Period:
    case Qt::Key_Comma: // the keypad's decimal key on layouts with a decimal comma
        return 110;
    case Qt::Key_Slash:
        return 111;
    default:
        return 0;
    }
}

} // namespace

int VirtualKeyCode(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    const int k = key;
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        if (const int code = KeypadCode(k))
            return code;
    }
    // Qt numbers letters and digits by their ASCII codes, as the virtual key codes do.
    if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9))
        return k;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return VirtualKey::F1 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Clear:
        return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_Escape:
        return VirtualKey::Escape;
    case Qt::Key_Space:
        return VirtualKey::Space;
    case Qt::Key_PageUp:
        return VirtualKey::PageUp;
    case Qt::Key_PageDown:
        return VirtualKey::PageDown;
    case Qt::Key_End:
        return VirtualKey::End;
    case Qt::Key_Home:
        return VirtualKey::Home;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Plus: // the main keyboard's "+" and "-" are not the keypad's
    case Qt::Key_Equal:
        return 187;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_Minus:
        return 189;
    case Qt::Key_Period:
        return 190;
    default:
        return 0;
    }
}

int ModifierMask(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? ShiftMask : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? CtrlMask : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? AltMask : 0);
}

int WheelShift(Qt::KeyboardModifiers modifiers) {
    return modifiers.testFlag(Qt::ShiftModifier) ? ShiftHeld : 0;
}

} // namespace engine
