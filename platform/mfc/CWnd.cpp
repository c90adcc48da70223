#include "platform/mfc/CWnd.h"

using namespace win;

namespace {

POINT pointOf(LPARAM lParam)
{
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

UINT repeatOf(LPARAM lParam)
{
    return UINT(lParam & 0xFFFF);
}

UINT keyFlagsOf(LPARAM lParam)
{
    return UINT((std::uintptr_t(lParam) >> 16) & 0xFFFF);
}

} // namespace

IMPLEMENT_DYNAMIC(CWnd, CObject)

CWnd::~CWnd()
{
    if (m_hWnd)
        win::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

BOOL CWnd::CreateEx(CREATESTRUCT cs)
{
    if (m_hWnd || !PreCreateWindow(cs))
        return FALSE;
    return win::CreateWindowEx(cs, this) ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? win::DestroyWindow(m_hWnd) : FALSE;
}

LRESULT CWnd::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The handle is known from the first message on, WM_CREATE included.
    if (!m_hWnd && message != WM_NCDESTROY)
        m_hWnd = hwnd;
    const Current saved = current_;
    current_ = Current{message, wParam, lParam};
    const LRESULT result = WindowProc(message, wParam, lParam);
    current_ = saved;
    if (message == WM_NCDESTROY)
        OnNcDestroy();
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return OnCreate(reinterpret_cast<CREATESTRUCT*>(lParam));
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SIZE: OnSize(UINT(wParam), LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam))); return 0;
    case WM_MOVE: OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_SHOWWINDOW: OnShowWindow(BOOL(wParam != 0), UINT(lParam)); return 0;
    case WM_SETFOCUS: OnSetFocus(reinterpret_cast<HWND>(wParam)); return 0;
    case WM_KILLFOCUS: OnKillFocus(reinterpret_cast<HWND>(wParam)); return 0;
    case WM_ENABLE: OnEnable(BOOL(wParam != 0)); return 0;
    case WM_SETCURSOR:
        return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(std::uintptr_t(lParam)),
                           HIWORD(std::uintptr_t(lParam)));
    case WM_TIMER: OnTimer(std::uintptr_t(wParam)); return 0;
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_PAINT: OnPaint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(UINT(wParam), pointOf(lParam)); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(UINT(wParam), pointOf(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(UINT(wParam), pointOf(lParam)); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(UINT(wParam), pointOf(lParam)); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(UINT(wParam), pointOf(lParam)); return 0;
    case WM_RBUTTONUP: OnRButtonUp(UINT(wParam), pointOf(lParam)); return 0;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(UINT(wParam), pointOf(lParam)); return 0;
    case WM_MBUTTONDOWN: OnMButtonDown(UINT(wParam), pointOf(lParam)); return 0;
    case WM_MBUTTONUP: OnMButtonUp(UINT(wParam), pointOf(lParam)); return 0;
    case WM_MBUTTONDBLCLK: OnMButtonDblClk(UINT(wParam), pointOf(lParam)); return 0;
    case WM_KEYDOWN: OnKeyDown(UINT(wParam), repeatOf(lParam), keyFlagsOf(lParam)); return 0;
    case WM_KEYUP: OnKeyUp(UINT(wParam), repeatOf(lParam), keyFlagsOf(lParam)); return 0;
    case WM_SYSKEYDOWN: OnSysKeyDown(UINT(wParam), repeatOf(lParam), keyFlagsOf(lParam)); return 0;
    case WM_SYSKEYUP: OnSysKeyUp(UINT(wParam), repeatOf(lParam), keyFlagsOf(lParam)); return 0;
    case WM_COMMAND: return OnCommand(wParam, lParam) ? 0 : DefWindowProc(message, wParam, lParam);
    default: return DefWindowProc(message, wParam, lParam);
    }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_hWnd ? win::DefWindowProc(m_hWnd, message, wParam, lParam) : 0;
}

LRESULT CWnd::Default()
{
    return DefWindowProc(current_.message, current_.wParam, current_.lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

int CWnd::OnCreate(CREATESTRUCT*)
{
    return int(Default());
}

void CWnd::OnDestroy()
{
    Default();
}

void CWnd::OnNcDestroy()
{
    m_hWnd = nullptr;
}

void CWnd::OnSize(UINT, int, int)
{
    Default();
}

void CWnd::OnMove(int, int)
{
    Default();
}

void CWnd::OnShowWindow(BOOL, UINT)
{
    Default();
}

void CWnd::OnSetFocus(HWND)
{
    Default();
}

void CWnd::OnKillFocus(HWND)
{
    Default();
}

void CWnd::OnEnable(BOOL)
{
    Default();
}

BOOL CWnd::OnSetCursor(HWND, UINT, UINT)
{
    return BOOL(Default());
}

void CWnd::OnTimer(std::uintptr_t)
{
    Default();
}

BOOL CWnd::OnEraseBkgnd(HDC)
{
    return BOOL(Default());
}

void CWnd::OnPaint(HDC)
{
    Default();
}

#define TV_MOUSE_DEFAULT(Name)                                                                                         \
    void CWnd::Name(UINT, POINT) { Default(); }
TV_MOUSE_DEFAULT(OnMouseMove)
TV_MOUSE_DEFAULT(OnLButtonDown)
TV_MOUSE_DEFAULT(OnLButtonUp)
TV_MOUSE_DEFAULT(OnLButtonDblClk)
TV_MOUSE_DEFAULT(OnRButtonDown)
TV_MOUSE_DEFAULT(OnRButtonUp)
TV_MOUSE_DEFAULT(OnRButtonDblClk)
TV_MOUSE_DEFAULT(OnMButtonDown)
TV_MOUSE_DEFAULT(OnMButtonUp)
TV_MOUSE_DEFAULT(OnMButtonDblClk)
#undef TV_MOUSE_DEFAULT

#define TV_KEY_DEFAULT(Name)                                                                                           \
    void CWnd::Name(UINT, UINT, UINT) { Default(); }
TV_KEY_DEFAULT(OnKeyDown)
TV_KEY_DEFAULT(OnKeyUp)
TV_KEY_DEFAULT(OnSysKeyDown)
TV_KEY_DEFAULT(OnSysKeyUp)
#undef TV_KEY_DEFAULT

BOOL CWnd::OnCommand(WPARAM, LPARAM)
{
    return FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return win::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return win::PostMessage(m_hWnd, message, wParam, lParam);
}

std::uintptr_t CWnd::SetTimer(std::uintptr_t id, UINT elapse)
{
    return win::SetTimer(m_hWnd, id, elapse);
}

BOOL CWnd::KillTimer(std::uintptr_t id)
{
    return win::KillTimer(m_hWnd, id);
}

void CWnd::GetClientRect(RECT* rect) const
{
    if (!win::GetClientRect(m_hWnd, rect) && rect)
        *rect = RECT{0, 0, 0, 0};
}

void CWnd::GetWindowRect(RECT* rect) const
{
    if (!win::GetWindowRect(m_hWnd, rect) && rect)
        *rect = RECT{0, 0, 0, 0};
}

void CWnd::ScreenToClient(POINT* point) const
{
    win::ScreenToClient(m_hWnd, point);
}

void CWnd::ClientToScreen(POINT* point) const
{
    win::ClientToScreen(m_hWnd, point);
}

void CWnd::Invalidate(BOOL erase)
{
    win::InvalidateRect(m_hWnd, nullptr, erase);
}

void CWnd::InvalidateRect(const RECT* rect, BOOL erase)
{
    win::InvalidateRect(m_hWnd, rect, erase);
}

void CWnd::UpdateWindow()
{
    win::UpdateWindow(m_hWnd);
}

int CWnd::SetWindowRgn(HRGN region, BOOL redraw)
{
    return win::SetWindowRgn(m_hWnd, region, redraw);
}

HWND CWnd::GetParent() const
{
    return win::GetParent(m_hWnd);
}

HWND CWnd::SetCapture()
{
    return win::SetCapture(m_hWnd);
}

HWND CWnd::SetFocus()
{
    return win::SetFocus(m_hWnd);
}

BOOL CWnd::ShowWindow(int command)
{
    return win::ShowWindow(m_hWnd, command);
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    return win::EnableWindow(m_hWnd, enable);
}

BOOL CWnd::IsWindowEnabled() const
{
    return win::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::IsWindowVisible() const
{
    return win::IsWindowVisible(m_hWnd);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    win::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::SetWindowText(const CString& text)
{
    win::SetWindowText(m_hWnd, text);
}

CString CWnd::GetWindowText() const
{
    return win::GetWindowText(m_hWnd);
}
