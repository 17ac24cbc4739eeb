#pragma once

#include <cstdint>

class QKeyEvent;

// Key events as the handlers read them: the virtual-key code of the key pressed and a shift state whose
// bits are 1 for Shift, 2 for Ctrl and 4 for Alt.
namespace platform {

enum KeyCode : int16_t {
    vbKeyBack = 8,
    vbKeyTab = 9,
    vbKeyReturn = 13,
    vbKeyEscape = 27,
    vbKeySpace = 32,
    vbKeyPageUp = 33,
    vbKeyPageDown = 34,
    vbKeyEnd = 35,
    vbKeyHome = 36,
    vbKeyLeft = 37,
    vbKeyUp = 38,
    vbKeyRight = 39,
    vbKeyDown = 40,
    vbKeyInsert = 45,
    vbKeyDelete = 46,
    vbKeyHelp = 47,
    vbKeyNumpad0 = 96,
    vbKeyF1 = 112,
    vbKeyF5 = 116,
};
enum ShiftState : int16_t { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

struct KeyDown {
    int16_t keyCode = 0;  // 0 for a key the platform had no code for
    int16_t shift = 0;
};

KeyDown keyDownOf(const QKeyEvent& event);

}  // namespace platform
