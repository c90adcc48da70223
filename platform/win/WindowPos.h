#pragma once
// SetWindowPos on a Qt window: the z-order switches (top, topmost, not
// topmost) and the move/size/show flags the program passes. A window is the
// QWidget of a form ("hWnd").

#include <cstdint>

class QPoint;
class QWidget;

namespace win {

using HWND = QWidget*;

// Insert-after values.
inline const intptr_t HWND_TOP = 0;
inline const intptr_t HWND_BOTTOM = 1;
inline const intptr_t HWND_TOPMOST = -1;
inline const intptr_t HWND_NOTOPMOST = -2;

enum : unsigned {
    SWP_NOSIZE = 0x0001,
    SWP_NOMOVE = 0x0002,
    SWP_NOZORDER = 0x0004,
    SWP_NOACTIVATE = 0x0010,
    SWP_SHOWWINDOW = 0x0040,
    SWP_HIDEWINDOW = 0x0080,
};

// x, y, cx, cy in pixels. False for a null window.
bool SetWindowPos(HWND hWnd, intptr_t hWndInsertAfter, int x, int y, int cx, int cy, unsigned flags);

bool IsTopMost(HWND hWnd);

// Moves a window: a child by its client area's corner in its parent, a
// top-level window by its frame's corner (title bar included) on the screen,
// also when it is moved before it is first shown and has no frame yet.
void MoveWindowTo(HWND hWnd, const QPoint& point);

} // namespace win
