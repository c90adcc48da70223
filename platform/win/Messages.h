#pragma once
// Window messages as the window layer delivers them: the message numbers,
// the WPARAM/LPARAM packing of the ones it produces, the owner-draw item of
// a button, key and mouse flags. Only what the windows here send or handle.

#include "platform/gdi/GdiDraw.h"
#include "platform/mfc/WinTypes.h"

#include <cstdint>

class QWidget;

namespace win {

using HWND = QWidget*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt{0, 0};
};

inline constexpr WORD LOWORD(std::uintptr_t v) { return WORD(v & 0xFFFF); }
inline constexpr WORD HIWORD(std::uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }
inline constexpr LPARAM MAKELPARAM(int low, int high)
{
    return LPARAM(DWORD(WORD(low)) | (DWORD(WORD(high)) << 16));
}
// Mouse positions are signed 16-bit values.
inline constexpr int GET_X_LPARAM(LPARAM l) { return short(LOWORD(std::uintptr_t(l))); }
inline constexpr int GET_Y_LPARAM(LPARAM l) { return short(HIWORD(std::uintptr_t(l))); }

// Window lifetime and state.
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ENABLE = 0x000A;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_DRAWITEM = 0x002B;
inline constexpr UINT WM_NCDESTROY = 0x0082;
inline constexpr UINT WM_GETDLGCODE = 0x0087;

// Keyboard. Keys pressed with Alt arrive as the SYS variants.
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_TIMER = 0x0113;

// Mouse: wParam holds the MK_ flags, lParam the client position.
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
inline constexpr UINT WM_MBUTTONDOWN = 0x0207;
inline constexpr UINT WM_MBUTTONUP = 0x0208;
inline constexpr UINT WM_MBUTTONDBLCLK = 0x0209;

inline constexpr UINT WM_USER = 0x0400;

// Messages a container reflects back to the control that caused them.
inline constexpr UINT OCM__BASE = WM_USER + 0x1C00;
inline constexpr UINT OCM_COMMAND = OCM__BASE + WM_COMMAND;
inline constexpr UINT OCM_DRAWITEM = OCM__BASE + WM_DRAWITEM;

// Button messages and notifications.
inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr UINT BM_GETSTATE = 0x00F2;
inline constexpr UINT BM_SETSTATE = 0x00F3;
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT BST_UNCHECKED = 0x0000;
inline constexpr UINT BST_CHECKED = 0x0001;
inline constexpr UINT BST_PUSHED = 0x0004;
inline constexpr UINT BST_FOCUS = 0x0008;

// WM_GETDLGCODE answers.
inline constexpr UINT DLGC_UNDEFPUSHBUTTON = 0x0020;
inline constexpr UINT DLGC_BUTTON = 0x2000;

// WM_SIZE kinds, WM_SETCURSOR hit test.
inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WORD HTCLIENT = 1;

// Mouse key flags.
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;
inline constexpr WPARAM MK_MBUTTON = 0x0010;

// Styles a window is created with.
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD BS_PUSHBUTTON = 0x0;
inline constexpr DWORD BS_OWNERDRAW = 0xB;

// Owner-draw items.
inline constexpr UINT ODT_BUTTON = 4;
inline constexpr UINT ODA_DRAWENTIRE = 0x0001;
inline constexpr UINT ODS_SELECTED = 0x0001;
inline constexpr UINT ODS_DISABLED = 0x0004;
inline constexpr UINT ODS_CHECKED = 0x0008;
inline constexpr UINT ODS_FOCUS = 0x0010;

struct DRAWITEMSTRUCT {
    UINT CtlType = ODT_BUTTON;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = ODA_DRAWENTIRE;
    UINT itemState = 0;
    HWND hwndItem = nullptr;
    HDC hDC = nullptr;
    RECT rcItem{0, 0, 0, 0};
    std::uintptr_t itemData = 0;
};

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_SHOWMAXIMIZED = 3;

} // namespace win
