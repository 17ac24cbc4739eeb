#include "platform/key_codes.h"

#include <QKeyEvent>

namespace platform {

KeyDown keyDownOf(const QKeyEvent& event) {
    KeyDown k;
    const Qt::KeyboardModifiers m = event.modifiers();
    if (m & Qt::ShiftModifier) k.shift |= vbShiftMask;
    if (m & Qt::ControlModifier) k.shift |= vbCtrlMask;
    if (m & Qt::AltModifier) k.shift |= vbAltMask;
    const int key = event.key();
    const bool keypad = m & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        k.keyCode = int16_t(keypad ? vbKeyNumpad0 + (key - Qt::Key_0) : '0' + (key - Qt::Key_0));
    } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        k.keyCode = int16_t('A' + (key - Qt::Key_A));
    } else if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        k.keyCode = int16_t(vbKeyF1 + (key - Qt::Key_F1));
    } else {
        switch (key) {
        case Qt::Key_Backspace: k.keyCode = vbKeyBack; break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: k.keyCode = vbKeyTab; break;
        case Qt::Key_Return:
        case Qt::Key_Enter: k.keyCode = vbKeyReturn; break;
        case Qt::Key_Escape: k.keyCode = vbKeyEscape; break;
        case Qt::Key_Space: k.keyCode = vbKeySpace; break;
        case Qt::Key_PageUp: k.keyCode = vbKeyPageUp; break;
        case Qt::Key_PageDown: k.keyCode = vbKeyPageDown; break;
        case Qt::Key_End: k.keyCode = vbKeyEnd; break;
        case Qt::Key_Home: k.keyCode = vbKeyHome; break;
        case Qt::Key_Left: k.keyCode = vbKeyLeft; break;
        case Qt::Key_Up: k.keyCode = vbKeyUp; break;
        case Qt::Key_Right: k.keyCode = vbKeyRight; break;
        case Qt::Key_Down: k.keyCode = vbKeyDown; break;
        case Qt::Key_Insert: k.keyCode = vbKeyInsert; break;
        case Qt::Key_Delete: k.keyCode = vbKeyDelete; break;
        case Qt::Key_Help: k.keyCode = vbKeyHelp; break;
        case Qt::Key_Asterisk: k.keyCode = keypad ? 106 : 0; break;
        case Qt::Key_Plus: k.keyCode = keypad ? 107 : 0; break;
        case Qt::Key_Minus: k.keyCode = keypad ? 109 : 0; break;
        case Qt::Key_Period:
        case Qt::Key_Comma: k.keyCode = keypad ? 110 : 0; break;
        case Qt::Key_Slash: k.keyCode = keypad ? 111 : 0; break;
        case Qt::Key_Meta:
        case Qt::Key_Super_L: k.keyCode = 91; break;
        case Qt::Key_Super_R: k.keyCode = 92; break;
        case Qt::Key_Menu: k.keyCode = 93; break;
        default: k.keyCode = 0;
        }
    }
    return k;
}

}  // namespace platform
