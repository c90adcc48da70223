#pragma once
// Virtual-key codes and the shift mask of key and mouse events. Qt names a
// key by the character it types; the codes name the key, so shifted symbols
// are mapped back to their keys as on a US keyboard ('!' is the '1' key).

#include <Qt>

namespace win {

inline constexpr int VK_LBUTTON = 0x01;
inline constexpr int VK_RBUTTON = 0x02;
inline constexpr int VK_MBUTTON = 0x04;
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_CLEAR = 0x0C;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr int VK_PAUSE = 0x13;
inline constexpr int VK_CAPITAL = 0x14;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21;
inline constexpr int VK_NEXT = 0x22;
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_SNAPSHOT = 0x2C;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_HELP = 0x2F;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' 0x41..0x5A.
inline constexpr int VK_NUMPAD0 = 0x60;
inline constexpr int VK_MULTIPLY = 0x6A;
inline constexpr int VK_ADD = 0x6B;
inline constexpr int VK_SUBTRACT = 0x6D;
inline constexpr int VK_DECIMAL = 0x6E;
inline constexpr int VK_DIVIDE = 0x6F;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F24 = 0x87;
inline constexpr int VK_NUMLOCK = 0x90;
inline constexpr int VK_SCROLL = 0x91;
inline constexpr int VK_OEM_1 = 0xBA;      // ;:
inline constexpr int VK_OEM_PLUS = 0xBB;   // =+
inline constexpr int VK_OEM_COMMA = 0xBC;  // ,<
inline constexpr int VK_OEM_MINUS = 0xBD;  // -_
inline constexpr int VK_OEM_PERIOD = 0xBE; // .>
inline constexpr int VK_OEM_2 = 0xBF;      // /?
inline constexpr int VK_OEM_3 = 0xC0;      // `~
inline constexpr int VK_OEM_4 = 0xDB;      // [{
inline constexpr int VK_OEM_5 = 0xDC;      // \|
inline constexpr int VK_OEM_6 = 0xDD;      // ]}
inline constexpr int VK_OEM_7 = 0xDE;      // '"

// The shift mask of the stock key and mouse events.
inline constexpr short SHIFT_MASK = 1;
inline constexpr short CTRL_MASK = 2;
inline constexpr short ALT_MASK = 4;

// The virtual-key code of a Qt key; keys on the keypad (KeypadModifier) give
// the VK_NUMPAD codes. 0 for a key without a code.
int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Shift 1, Ctrl 2, Alt 4.
short ShiftMask(Qt::KeyboardModifiers modifiers);

// The state of a key as of the input message being handled (the high bit set
// while it is down): the modifier keys and the mouse buttons.
short GetKeyState(int virtualKey);
// The window layer records the state each input event carries.
void SetInputState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

} // namespace win
