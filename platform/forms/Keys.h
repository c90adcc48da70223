#pragma once
// Keys and mouse buttons as the runtime reports them to handlers: key codes
// (vbKey...), the Shift mask (1 Shift, 2 Ctrl, 4 Alt), the character code of
// KeyPress, and the Button mask (1 left, 2 right, 4 middle).

#include <string>

class QKeyEvent;
class QMouseEvent;

namespace forms {

enum : int {
    vbKeyBack = 8,
    vbKeyTab = 9,
    vbKeyReturn = 13,
    vbKeyShift = 16,
    vbKeyControl = 17,
    vbKeyMenu = 18,
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
    vbKeyF1 = 112,
};

enum : int { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };
enum : int { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };

// 0 for a key the runtime has no code for.
int KeyCodeOf(const QKeyEvent& e);
int ShiftOf(const QKeyEvent& e);
// The KeyPress character: the typed character's code (Windows-1252 where it
// has one), 8 Backspace, 13 Enter, 27 Esc; 0 when the key types nothing.
int KeyAsciiOf(const QKeyEvent& e);
// The text a KeyPress code types (UTF-8).
std::string AsciiText(int keyAscii);

int ButtonOf(const QMouseEvent& e);
int ShiftOf(const QMouseEvent& e);

} // namespace forms
