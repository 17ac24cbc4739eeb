#include "platform/key_codes.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <cstring>

namespace platform {

namespace {

// X11 and Wayland report the X key code of the key pressed (the evdev code plus 8). The
// number row and the letter keys keep their virtual-key codes whatever the shift state
// and the layout's symbols on them: Shift+9 is still the 9 key.
int16_t fromXKeyCode(quint32 scanCode, quint32 keysym) {
    if (scanCode >= 10 && scanCode <= 18) return int16_t('1' + (scanCode - 10));
    if (scanCode == 19) return '0';
    // A letter key gives its capital; the layout decides which letter is on which key.
    if (keysym >= 'a' && keysym <= 'z') return int16_t(keysym - 'a' + 'A');
    if (keysym >= 'A' && keysym <= 'Z') return int16_t(keysym);
    // With AltGr (or a non-Latin layout) the key gives some other symbol: the letter printed
    // on that key in the usual Latin layouts.
    static const char rows[][11] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    static const quint32 firsts[] = {24, 38, 52};
    for (int r = 0; r < 3; ++r) {
        const quint32 length = quint32(std::strlen(rows[r]));
        if (scanCode >= firsts[r] && scanCode < firsts[r] + length) return rows[r][scanCode - firsts[r]];
    }
    return 0;
}

// The digit key under a shifted symbol of the US layout, for events that carry no native
// key (synthesised ones, or platforms that give none).
int16_t digitUnderSymbol(int key) {
    static const struct {
        int key;
        char digit;
    } symbols[] = {{Qt::Key_Exclam, '1'},    {Qt::Key_At, '2'},      {Qt::Key_NumberSign, '3'},
                   {Qt::Key_Dollar, '4'},    {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'},
                   {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'},
                   {Qt::Key_ParenRight, '0'}};
    for (const auto& s : symbols)
        if (s.key == key) return s.digit;
    return 0;
}

int16_t fromQtKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers m = event.modifiers();
    const int key = event.key();
    const bool keypad = m & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return int16_t(keypad ? vbKeyNumpad0 + (key - Qt::Key_0) : '0' + (key - Qt::Key_0));
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return int16_t('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return int16_t(vbKeyF1 + (key - Qt::Key_F1));
    if (!keypad && (m & Qt::ShiftModifier))
        if (const int16_t digit = digitUnderSymbol(key)) return digit;
    switch (key) {
    case Qt::Key_Backspace: return vbKeyBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vbKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vbKeyReturn;
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Space: return vbKeySpace;
    case Qt::Key_PageUp: return vbKeyPageUp;
    case Qt::Key_PageDown: return vbKeyPageDown;
    case Qt::Key_End: return vbKeyEnd;
    case Qt::Key_Home: return vbKeyHome;
    case Qt::Key_Left: return vbKeyLeft;
    case Qt::Key_Up: return vbKeyUp;
    case Qt::Key_Right: return vbKeyRight;
    case Qt::Key_Down: return vbKeyDown;
    case Qt::Key_Insert: return vbKeyInsert;
    case Qt::Key_Delete: return vbKeyDelete;
    case Qt::Key_Help: return vbKeyHelp;
    case Qt::Key_Asterisk: return keypad ? 106 : 0;
    case Qt::Key_Plus: return keypad ? 107 : 0;
    case Qt::Key_Minus: return keypad ? 109 : 0;
    case Qt::Key_Period:
    case Qt::Key_Comma: return keypad ? 110 : 0;
    case Qt::Key_Slash: return keypad ? 111 : 0;
    case Qt::Key_Meta:
    case Qt::Key_Super_L: return 91;
    case Qt::Key_Super_R: return 92;
    case Qt::Key_Menu: return 93;
    default: return 0;
    }
}

// X11 and Wayland give X key codes; the offscreen platform carries whatever the sender put
// in the event, and tests put X key codes there.
bool xKeyCodes() {
    const QString platform = QGuiApplication::platformName();
    return platform == u"xcb" || platform.startsWith(u"wayland") || platform == u"offscreen";
}

}  // namespace

KeyDown keyDownOf(const QKeyEvent& event) {
    KeyDown k;
    const Qt::KeyboardModifiers m = event.modifiers();
    if (m & Qt::ShiftModifier) k.shift |= vbShiftMask;
    if (m & Qt::ControlModifier) k.shift |= vbCtrlMask;
    if (m & Qt::AltModifier) k.shift |= vbAltMask;
    if (m & Qt::GroupSwitchModifier) k.shift |= vbCtrlMask | vbAltMask;  // AltGr is Ctrl+Alt

    // The key that was pressed, from the native event where the platform gives it.
    const bool keypad = m & Qt::KeypadModifier;
    if (QGuiApplication::platformName() == u"windows" && event.nativeVirtualKey() != 0) {
        k.keyCode = int16_t(event.nativeVirtualKey());
    } else if (!keypad && event.nativeScanCode() != 0 && xKeyCodes()) {
        k.keyCode = fromXKeyCode(event.nativeScanCode(), event.nativeVirtualKey());
    }
    if (k.keyCode == 0) k.keyCode = fromQtKey(event);
    return k;
}

}  // namespace platform
