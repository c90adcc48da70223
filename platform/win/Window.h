#pragma once
// Windows of the window layer: each is a QWidget that turns Qt's events into
// messages for a handler, which answers them as a window procedure does.
//
// - Creation and destruction are explicit calls with a fixed order:
//   CreateWindowEx sends WM_CREATE (a handler answering -1 ends the window),
//   then WM_SIZE and WM_MOVE, then shows the window when WS_VISIBLE is set.
//   DestroyWindow sends WM_DESTROY, stops every timer of the window, releases
//   its capture and sends WM_NCDESTROY; the widget goes at once, or once the
//   window's own message in progress has returned. A window deleted with its
//   parent widget runs the same sequence.
// - Input: mouse messages carry MK_ flags and the client position, and
//   WM_SETCURSOR comes first on entry and on each move (not while the mouse
//   is captured); a press of a button starts Qt's implicit grab, which is the
//   capture from press to release. Keys arrive as virtual-key codes (WM_KEYDOWN,
//   or WM_SYSKEYDOWN with Alt) and pass the handler's PreTranslateMessage
//   first, as a container's message loop hands them to a control.
// - Painting goes through a memory DC over a backing bitmap that keeps the
//   last picture: WM_ERASEBKGND when the invalidation asked for erasing, then
//   WM_PAINT with the DC as wParam, or for an owner-drawn button the reflected
//   OCM_DRAWITEM with a DRAWITEMSTRUCT (ODS_SELECTED while highlighted,
//   ODS_DISABLED while disabled, ODS_FOCUS while focused).
// - PostMessage may be called from any thread: the message becomes an event
//   for the window and is dropped when the window is gone by then.
// - Timers belong to their window: SetTimer with an id in use replaces that
//   timer, KillTimer stops it, and all stop with the window.
//
// The owner-drawn BUTTON class's own processing (DefWindowProc) gives:
// - a left press takes the focus, captures the mouse and highlights the
//   button; moving while captured highlights it only while the pointer is
//   inside; the release ends the capture and the highlight and, inside,
//   reflects BN_CLICKED (OCM_COMMAND) to the button;
// - the space key highlights on press and on release clicks the same way;
//   losing the focus drops a highlight the space key made;
// - BM_SETSTATE sets or clears the highlight (drawn as ODS_SELECTED),
//   BM_GETSTATE answers BST_PUSHED/BST_FOCUS/check, BM_SETCHECK and
//   BM_GETCHECK keep the check state (an owner-drawn button draws it itself);
// - WM_ENABLE, focus changes and highlight changes repaint; a disabled button
//   gets no mouse or key input;
// - WM_GETDLGCODE answers DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON.

#include "platform/gdi/Region.h"
#include "platform/win/CursorService.h"
#include "platform/win/Messages.h"

#include <cstddef>
#include <string>

namespace win {

// What a window calls with its messages.
class WindowHandler {
public:
    virtual ~WindowHandler() = default;
    // The window procedure.
    virtual LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Key messages first come here; TRUE: handled, not dispatched.
    virtual BOOL PreTranslateMessage(MSG* msg)
    {
        (void)msg;
        return FALSE;
    }
};

// The window class "Button" (any case) with style BS_OWNERDRAW is the
// owner-drawn button above; any other class is a plain window.
struct CREATESTRUCT {
    // The parent widget (a window of this layer or any other widget); null
    // makes a top-level window.
    HWND hwndParent = nullptr;
    std::string lpszClass;
    // The window text.
    std::string lpszName;
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

// Null when the handler answers WM_CREATE with -1.
HWND CreateWindowEx(const CREATESTRUCT& cs, WindowHandler* handler);
BOOL DestroyWindow(HWND hwnd);
// Whether hwnd is a live window of this layer (from any thread).
BOOL IsWindow(HWND hwnd);
// The handler of a window, null for any other widget.
WindowHandler* GetWindowHandler(HWND hwnd);

// Runs the window's handler now (UI thread only; 0 for anything else).
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the message for the window (from any thread); FALSE when hwnd is no
// live window. A message whose window is gone when its turn comes is dropped.
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The window class's own processing, for messages a handler passes on.
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Timers: the id given back, 0 when hwnd is no window. Periods below 10 ms
// run at 10 ms.
std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT elapse);
BOOL KillTimer(HWND hwnd, std::uintptr_t id);
// The running timers of a window, or of all windows for null.
std::size_t TimerCount(HWND hwnd = nullptr);
// The milliseconds between the messages of a running timer (what SetTimer
// was given, but never less than 10); 0 for no such timer.
UINT TimerPeriod(HWND hwnd, std::uintptr_t id);

// The window's shape: a copy of the region (the caller keeps its own), null
// for the whole window. Mouse input outside the shape goes to what lies below.
int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);

// The cursor shown while the pointer is over the window that last had mouse
// input; null hides it. Returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);

HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

HWND SetFocus(HWND hwnd);
HWND GetFocus();

// The next (or previous) button window among hwnd's siblings under dialog,
// in their creation order, skipping hidden and disabled ones and wrapping
// around; hwnd itself when there is no other, null when hwnd is no child of
// dialog.
HWND GetNextDlgGroupItem(HWND dialog, HWND hwnd, BOOL previous);

// Geometry; these also take widgets that are not windows of this layer.
BOOL GetClientRect(HWND hwnd, RECT* rect);
// In screen coordinates.
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL ScreenToClient(HWND hwnd, POINT* point);
BOOL ClientToScreen(HWND hwnd, POINT* point);
// Null stands for the screen.
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL ShowWindow(HWND hwnd, int command);
BOOL IsWindowVisible(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
HWND GetParent(HWND hwnd);

// Null rect: the whole client area.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
// Paints what is invalid now.
BOOL UpdateWindow(HWND hwnd);

BOOL SetWindowText(HWND hwnd, const std::string& text);
std::string GetWindowText(HWND hwnd);

} // namespace win
