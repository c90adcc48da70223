#pragma once
// A window object over a window of the window layer: it receives the
// window's messages in WindowProc, which hands the common ones to the
// On... handlers below (the message map) and the rest to DefWindowProc, the
// window class's own processing. A handler passes its message on with
// Default(). Derived classes handle further messages by overriding
// WindowProc and calling the base for the others.

#include "platform/mfc/CObject.h"
#include "platform/mfc/WinTypes.h"
#include "platform/win/Window.h"

#include <string>

class CWnd : public CObject, public win::WindowHandler {
    DECLARE_DYNAMIC(CWnd)

public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // Destroys a window still open.
    ~CWnd() override;

    win::HWND m_hWnd = nullptr;
    win::HWND GetSafeHwnd() const { return m_hWnd; }

    // Creates the window; PreCreateWindow may change the description first.
    BOOL CreateEx(win::CREATESTRUCT cs);
    BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(win::CREATESTRUCT& cs);

    // The window's message procedure: the handlers, then DefWindowProc.
    virtual win::LRESULT WindowProc(UINT message, win::WPARAM wParam, win::LPARAM lParam);
    virtual win::LRESULT DefWindowProc(UINT message, win::WPARAM wParam, win::LPARAM lParam);
    // The class's own processing of the message being handled.
    win::LRESULT Default();
    // Messages the container's loop sees first; TRUE: handled.
    BOOL PreTranslateMessage(win::MSG* msg) override;

    // The window's calls.
    win::LRESULT SendMessage(UINT message, win::WPARAM wParam = 0, win::LPARAM lParam = 0);
    BOOL PostMessage(UINT message, win::WPARAM wParam = 0, win::LPARAM lParam = 0);
    std::uintptr_t SetTimer(std::uintptr_t id, UINT elapse);
    BOOL KillTimer(std::uintptr_t id);
    void GetClientRect(RECT* rect) const;
    void GetWindowRect(RECT* rect) const;
    void ScreenToClient(POINT* point) const;
    void ClientToScreen(POINT* point) const;
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
    void UpdateWindow();
    int SetWindowRgn(HRGN region, BOOL redraw);
    win::HWND GetParent() const;
    win::HWND SetCapture();
    win::HWND SetFocus();
    BOOL ShowWindow(int command);
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void SetWindowText(const CString& text);
    CString GetWindowText() const;

protected:
    // The message being handled.
    UINT CurrentMessage() const { return current_.message; }
    win::LPARAM CurrentLParam() const { return current_.lParam; }

    // The handlers (the message map). Each one's default passes the message on.
    virtual int OnCreate(win::CREATESTRUCT* cs);
    virtual void OnDestroy();
    // After the last message; the window handle is cleared.
    virtual void OnNcDestroy();
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnMove(int x, int y);
    virtual void OnShowWindow(BOOL show, UINT status);
    virtual void OnSetFocus(win::HWND oldWnd);
    virtual void OnKillFocus(win::HWND newWnd);
    virtual void OnEnable(BOOL enable);
    virtual BOOL OnSetCursor(win::HWND wnd, UINT hitTest, UINT message);
    virtual void OnTimer(std::uintptr_t id);
    virtual BOOL OnEraseBkgnd(HDC hdc);
    // WM_PAINT: the DC to paint in.
    virtual void OnPaint(HDC hdc);
    virtual void OnMouseMove(UINT flags, POINT point);
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual void OnLButtonUp(UINT flags, POINT point);
    virtual void OnLButtonDblClk(UINT flags, POINT point);
    virtual void OnRButtonDown(UINT flags, POINT point);
    virtual void OnRButtonUp(UINT flags, POINT point);
    virtual void OnRButtonDblClk(UINT flags, POINT point);
    virtual void OnMButtonDown(UINT flags, POINT point);
    virtual void OnMButtonUp(UINT flags, POINT point);
    virtual void OnMButtonDblClk(UINT flags, POINT point);
    virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnKeyUp(UINT key, UINT repeat, UINT flags);
    virtual void OnSysKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnSysKeyUp(UINT key, UINT repeat, UINT flags);
    // WM_COMMAND; TRUE when handled.
    virtual BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam);

private:
    win::LRESULT HandleMessage(win::HWND hwnd, UINT message, win::WPARAM wParam, win::LPARAM lParam) final;

    struct Current {
        UINT message = 0;
        win::WPARAM wParam = 0;
        win::LPARAM lParam = 0;
    };
    Current current_;
};
