#include "platform/mfc/COleControl_interfaces.h"

#include "platform/win/VirtualKeys.h"

using namespace win;

namespace {

short buttonsOf(UINT flags)
{
    return short(((flags & MK_LBUTTON) ? LEFT_BUTTON : 0) | ((flags & MK_RBUTTON) ? RIGHT_BUTTON : 0) |
                 ((flags & MK_MBUTTON) ? MIDDLE_BUTTON : 0));
}

} // namespace

short COleControl::ShiftState()
{
    return short((GetKeyState(VK_SHIFT) < 0 ? SHIFT_MASK : 0) | (GetKeyState(VK_CONTROL) < 0 ? CTRL_MASK : 0) |
                 (GetKeyState(VK_MENU) < 0 ? ALT_MASK : 0));
}

int COleControl::OnCreate(CREATESTRUCT* cs)
{
    const int result = CWnd::OnCreate(cs);
    releaseHandle();
    m_hWndHandle = com::Handles().Add(com::HandleKind::Window, m_hWnd);
    return result;
}

void COleControl::OnNcDestroy()
{
    releaseHandle();
    m_iButtonState = m_iDblClkState = 0;
    CWnd::OnNcDestroy();
}

void COleControl::OnPaint(HDC hdc)
{
    RECT client;
    GetClientRect(&client);
    OnDraw(hdc, client, client);
}

void COleControl::OnSetFocus(HWND oldWnd)
{
    CWnd::OnSetFocus(oldWnd);
    if (m_pControlSite)
        m_pControlSite->OnFocus(TRUE);
}

void COleControl::OnKillFocus(HWND newWnd)
{
    CWnd::OnKillFocus(newWnd);
    if (m_pControlSite)
        m_pControlSite->OnFocus(FALSE);
}

void COleControl::OnMouseMove(UINT flags, POINT point)
{
    Default();
    FireMouseMove(buttonsOf(flags), ShiftState(), point.x, point.y);
}

void COleControl::OnLButtonDown(UINT flags, POINT point)
{
    Default();
    ButtonDown(LEFT_BUTTON, flags, point);
}

void COleControl::OnLButtonUp(UINT flags, POINT point)
{
    Default();
    ButtonUp(LEFT_BUTTON, flags, point);
}

void COleControl::OnLButtonDblClk(UINT flags, POINT point)
{
    Default();
    ButtonDblClk(LEFT_BUTTON, flags, point);
}

void COleControl::OnRButtonDown(UINT flags, POINT point)
{
    Default();
    ButtonDown(RIGHT_BUTTON, flags, point);
}

void COleControl::OnRButtonUp(UINT flags, POINT point)
{
    Default();
    ButtonUp(RIGHT_BUTTON, flags, point);
}

void COleControl::OnRButtonDblClk(UINT flags, POINT point)
{
    Default();
    ButtonDblClk(RIGHT_BUTTON, flags, point);
}

void COleControl::OnMButtonDown(UINT flags, POINT point)
{
    Default();
    ButtonDown(MIDDLE_BUTTON, flags, point);
}

void COleControl::OnMButtonUp(UINT flags, POINT point)
{
    Default();
    ButtonUp(MIDDLE_BUTTON, flags, point);
}

void COleControl::OnMButtonDblClk(UINT flags, POINT point)
{
    Default();
    ButtonDblClk(MIDDLE_BUTTON, flags, point);
}

void COleControl::ButtonDown(short iButton, UINT, POINT point)
{
    if (m_iButtonState == 0)
        SetCapture();
    m_iButtonState |= iButton;
    FireMouseDown(iButton, ShiftState(), point.x, point.y);
}

void COleControl::ButtonUp(short iButton, UINT, POINT point)
{
    if (!(m_iButtonState & iButton))
        return;
    // A sink may let the control go.
    com::ComPtr<IUnknown> hold(GetControllingUnknown());
    m_iButtonState &= short(~iButton);
    if (m_iButtonState == 0 && m_hWnd && GetCapture() == m_hWnd)
        ReleaseCapture();
    const bool endsDoubleClick = m_iDblClkState & iButton;
    m_iDblClkState &= short(~iButton);
    FireMouseUp(iButton, ShiftState(), point.x, point.y);
    if (endsDoubleClick || !m_hWnd)
        return;
    RECT client;
    GetClientRect(&client);
    if (point.x >= client.left && point.x < client.right && point.y >= client.top && point.y < client.bottom)
        OnClick(iButton);
}

void COleControl::ButtonDblClk(short iButton, UINT, POINT)
{
    if (m_iButtonState == 0)
        SetCapture();
    m_iButtonState |= iButton;
    m_iDblClkState |= iButton;
    if (iButton == LEFT_BUTTON)
        FireDblClick();
}

void COleControl::keyEvent(BOOL down, UINT key)
{
    com::ComPtr<IUnknown> hold(GetControllingUnknown());
    const UINT message = CurrentMessage();
    const LPARAM lParam = CurrentLParam();
    m_keyCode = short(key);
    if (down)
        OnKeyDownEvent(USHORT(key), USHORT(ShiftState()));
    else
        OnKeyUpEvent(USHORT(key), USHORT(ShiftState()));
    if (m_keyCode != 0 && m_hWnd)
        DefWindowProc(message, WPARAM(USHORT(m_keyCode)), lParam);
}

void COleControl::OnKeyDown(UINT key, UINT, UINT)
{
    keyEvent(TRUE, key);
}

void COleControl::OnKeyUp(UINT key, UINT, UINT)
{
    keyEvent(FALSE, key);
}

void COleControl::OnSysKeyDown(UINT key, UINT, UINT)
{
    keyEvent(TRUE, key);
}

void COleControl::OnSysKeyUp(UINT key, UINT, UINT)
{
    keyEvent(FALSE, key);
}
