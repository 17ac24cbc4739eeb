// The virtual-key code and shift state handlers read from a key event: the key pressed,
// from the native event when there is one, otherwise from Qt's key.
#include "platform/key_codes.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

using platform::keyDownOf;

TEST(KeyCodes, TheKeyPressedWhateverItsSymbol) {
    const struct {
        const char* what;
        int key;
        Qt::KeyboardModifiers modifiers;
        quint32 scan, sym;  // X key code and key symbol; 0 when the event carries none
        int code, shift;
    } cases[] = {
        {"shift+9 on X11", Qt::Key_ParenLeft, Qt::ShiftModifier, 18, '(', 57, 1},
        {"shift+9 without native", Qt::Key_ParenLeft, Qt::ShiftModifier, 0, 0, 57, 1},
        {"the 1 key giving & (AZERTY)", Qt::Key_Ampersand, Qt::NoModifier, 10, '&', 49, 0},
        {"shift+0 on a Spanish layout", Qt::Key_Equal, Qt::ShiftModifier, 19, '=', 48, 1},
        {"altgr+q giving @", Qt::Key_At, Qt::GroupSwitchModifier, 24, '@', 'Q', 6},
        {"small a", Qt::Key_A, Qt::NoModifier, 38, 'a', 'A', 0},
        {"capital A", Qt::Key_A, Qt::ShiftModifier, 38, 'A', 'A', 1},
        {"ctrl+alt+z", Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier, 52, 'z', 'Z', 6},
        {"keypad 1", Qt::Key_1, Qt::KeypadModifier, 87, 0xffb1, 97, 0},
        {"keypad 0", Qt::Key_0, Qt::KeypadModifier, 90, 0xffb0, 96, 0},
        {"F1", Qt::Key_F1, Qt::NoModifier, 67, 0xffbe, 112, 0},
        {"Enter", Qt::Key_Return, Qt::NoModifier, 36, 0xff0d, 13, 0},
        {"shift+insert", Qt::Key_Insert, Qt::ShiftModifier, 118, 0xff63, 45, 1},
        {"ñ has no code in the table", Qt::Key_Ntilde, Qt::NoModifier, 47, 0xf1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, c.scan, c.sym, 0);
        const platform::KeyDown k = keyDownOf(event);
        EXPECT_EQ(k.keyCode, c.code);
        EXPECT_EQ(k.shift, c.shift);
    }
}
