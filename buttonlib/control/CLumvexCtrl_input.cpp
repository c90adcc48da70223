// The button window's messages: creation and destruction, size, focus and
// show, the mouse with the click-armed rule, check box and radio button,
// the keyboard click and the mnemonic, and the hyperlink a click opens.

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/mfc/AfxMessageBox.h"
#include "platform/mfc/CWinApp.h"
#include "platform/win/Desktop.h"
#include "platform/win/VirtualKeys.h"

#include <QUrl>
#include <QWidget>

#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>

#include <sys/stat.h>

namespace {

constexpr short kStylePush = 0;
constexpr short kStyleCheck = 1;
constexpr short kStyleRadio = 2;

std::string lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The scheme of an address ("http" of "http://x"); empty when the text has
// none. One letter before the colon is a drive, not a scheme.
std::string schemeOf(const std::string& text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return {};
    for (std::size_t i = 1; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return {};
    }
    return lower(text.substr(0, colon));
}

// A file the desktop would show rather than run: a regular file with no
// execute permission that is no desktop launcher.
bool isDocument(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    if (info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH))
        return false;
    return lower(std::filesystem::path(path).extension().string()) != ".desktop";
}

} // namespace

// --- Methods ---------------------------------------------------------------------------

void CLumvexCtrl::EnableAcceleratorForVB()
{
    m_bAccelerator = TRUE;
}

void CLumvexCtrl::MouseCapture(BOOL bCapture)
{
    m_bMouseCapture = bCapture ? TRUE : FALSE;
}

// --- Message map -----------------------------------------------------------------------

win::LRESULT CLumvexCtrl::WindowProc(UINT message, win::WPARAM wParam, win::LPARAM lParam)
{
    switch (message) {
    case win::BM_SETSTATE:
        onSetState(win::LOWORD(wParam));
        return Default();
    case win::BM_SETCHECK:
        onSetCheck(wParam != 0);
        return Default();
    case UM_RADIO_UNCHECK: onRadioUncheck(); return 0;
    // The button class's own click notice: clicks are the control's events.
    case win::OCM_COMMAND: return 0;
    case win::OCM_DRAWITEM:
        OnOcmDrawItem(reinterpret_cast<const win::DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case UM_SOUND_DONE: onSoundDone(int(wParam)); return 0;
    case UM_DO_CLICK: DoClick(); return 0;
    default: return COleControl::WindowProc(message, wParam, lParam);
    }
}

// --- Creation, destruction, size, focus, show ------------------------------------------------

int CLumvexCtrl::OnCreate(win::CREATESTRUCT* cs)
{
    if (COleControl::OnCreate(cs) == -1)
        return -1;
    if (cs && cs->cx > 0) {
        m_rcButton = RECT{0, 0, cs->cx, cs->cy};
        BuildWindowRegion();
        BuildFaces(m_rcButton);
        m_bRebuildFaces = FALSE;
    }
    if (CWinApp* app = AfxGetApp()) {
        CString name;
        if (AfxLoadString(IDS_APP_TITLE, name))
            app->m_pszAppName = name;
    }
    if (AmbientUserMode() && m_aviPicture.GetFrameCount() > 0)
        StartNormalAnimation();
    return 0;
}

void CLumvexCtrl::OnDestroy()
{
    COleControl::OnDestroy();
    // The window layer stops a window's timers with it; they are stopped here
    // first so that none ticks into a half-destroyed button.
    for (std::uintptr_t id :
         {TIMER_MOUSE_TRACK, TIMER_DEFERRED_PAINT, TIMER_ANIM_NORMAL, TIMER_ANIM_MOUSEOVER, TIMER_ANIM_PRESSED})
        KillTimer(id);
    if (m_hWindowRgn)
        SetWindowRgn(nullptr, FALSE);
    freeRegions();
    if (m_hCursor) {
        win::DestroyCursor(m_hCursor);
        m_hCursor = nullptr;
    }
    if (m_hAccel) {
        win::DestroyAcceleratorTable(m_hAccel);
        m_hAccel = nullptr;
    }
    // A sound thread still playing reports to this window, which is gone.
    m_bSoundThreadRunning = FALSE;
    m_bMouseOver = FALSE;
}

void CLumvexCtrl::OnSize(UINT type, int cx, int cy)
{
    COleControl::OnSize(type, cx, cy);
    if (cx != m_rcButton.right - m_rcButton.left || cy != m_rcButton.bottom - m_rcButton.top) {
        RECT inContainer{0, 0, 0, 0};
        if (GetRectInContainer(&inContainer)) {
            inContainer.right = inContainer.left + cx;
            inContainer.bottom = inContainer.top + cy;
            SetRectInContainer(&inContainer);
        }
        GetClientRect(&m_rcButton);
        m_bRebuildFaces = TRUE;
        InvalidateButton(FALSE);
    }
    deferPaint();
}

void CLumvexCtrl::OnSetFocus(win::HWND oldWnd)
{
    COleControl::OnSetFocus(oldWnd);
    m_bFocus = TRUE;
    buildClipRegion();
    InvalidateButton(FALSE);
}

void CLumvexCtrl::OnKillFocus(win::HWND newWnd)
{
    COleControl::OnKillFocus(newWnd);
    m_bFocus = FALSE;
    buildClipRegion();
    InvalidateButton(FALSE);
}

void CLumvexCtrl::OnShowWindow(BOOL show, UINT status)
{
    COleControl::OnShowWindow(show, status);
    if (!show)
        return;
    GetClientRect(&m_rcButton);
    BuildWindowRegion();
    deferPaint();
}

BOOL CLumvexCtrl::OnEraseBkgnd(HDC)
{
    // The paint covers every pixel; erasing would only flicker.
    return TRUE;
}

// --- Mouse -------------------------------------------------------------------------------

BOOL CLumvexCtrl::HitTest(POINT point)
{
    // The shape's region for every shape: it is what the button shows.
    if (m_hWindowRgn)
        return PtInRegion(m_hWindowRgn, point.x, point.y);
    return point.x >= m_rcButton.left && point.x < m_rcButton.right && point.y >= m_rcButton.top &&
           point.y < m_rcButton.bottom;
}

BOOL CLumvexCtrl::OnSetCursor(win::HWND wnd, UINT hitTest, UINT message)
{
    if (!AmbientUserMode())
        return COleControl::OnSetCursor(wnd, hitTest, message);
    if (m_bMouseOver) {
        // A custom cursor stays over the whole button.
        if (m_hCursor)
            return FALSE;
        return COleControl::OnSetCursor(wnd, hitTest, message);
    }
    if (m_hCursor)
        win::SetCursor(m_hCursor);
    m_bMouseOver = TRUE;
    FireEvent(DISPID_EVT_MOUSEIN);
    if (!m_hWnd)
        return FALSE;
    KillTimer(TIMER_MOUSE_TRACK);
    SetTimer(TIMER_MOUSE_TRACK, 50);
    if (!(m_bPressedLook && m_aviPicturePressed.GetFrameCount() > 0))
        StartMouseOverAnimation();
    InvalidateButton(FALSE);
    PlayEventSound(4);
    return FALSE;
}

void CLumvexCtrl::OnLButtonDown(UINT flags, POINT point)
{
    com::ComPtr<IUnknown> hold(GetControllingUnknown());
    COleControl::OnLButtonDown(flags, point);
    if (!m_hWnd)
        return;
    m_bClickArmed = TRUE;
    m_bPointerInside = TRUE;
    m_bPressedLook = TRUE;
    PostMessage(win::BM_SETSTATE, 1);
    InvalidateControl(nullptr, TRUE);
}

void CLumvexCtrl::OnMouseMove(UINT flags, POINT point)
{
    if (m_bMouseCapture || !m_bPressedLook) {
        COleControl::OnMouseMove(flags, point);
        return;
    }
    // Held down: the button follows the pointer, without MouseMove events.
    const BOOL inside = HitTest(point);
    if (inside && m_bPointerInside)
        return;
    m_bPointerInside = inside;
    InvalidateControl(nullptr, TRUE);
}

void CLumvexCtrl::showCheckedAnimation()
{
    if (m_bChecked) {
        StartPressedAnimation();
        return;
    }
    KillTimer(TIMER_ANIM_PRESSED);
    if (m_aviPictureMouseOver.GetFrameCount() > 0)
        StartMouseOverAnimation();
}

void CLumvexCtrl::OnLButtonUp(UINT flags, POINT point)
{
    com::ComPtr<IUnknown> hold(GetControllingUnknown());
    switch (m_Style) {
    case kStylePush: m_bPressedLook = FALSE; break;
    case kStyleCheck:
    case kStyleRadio:
        if (m_bPointerInside)
            m_bChecked = m_Style == kStyleRadio ? TRUE : !m_bChecked;
        m_bPressedLook = m_bChecked;
        if (m_hWnd)
            showCheckedAnimation();
        if (m_Style == kStyleRadio)
            PostMessage(win::BM_SETCHECK, m_bPressedLook);
        break;
    default: break;
    }
    // A release away from the button is no click.
    if (m_bPointerInside)
        PostMessage(win::BM_SETSTATE, 0);
    else
        m_bClickArmed = FALSE;
    InvalidateControl(nullptr, TRUE);
    COleControl::OnLButtonUp(flags, point);
    // Only this release's click is swallowed: a later click from the
    // keyboard, which comes without a press, must work.
    m_bClickArmed = TRUE;
}

void CLumvexCtrl::OnLButtonDblClk(UINT flags, POINT point)
{
    com::ComPtr<IUnknown> hold(GetControllingUnknown());
    // The second press of a double-click presses the button again. It is
    // handled now: a posted press would come after the release.
    SendMessage(win::WM_LBUTTONDOWN, flags, win::MAKELPARAM(point.x, point.y));
    if (m_hWnd)
        COleControl::OnLButtonDblClk(flags, point);
}

void CLumvexCtrl::OnClick(short iButton)
{
    if (!AmbientUserMode())
        return;
    if (!m_bClickArmed) {
        m_bClickArmed = TRUE;
        return;
    }
    if (iButton == LEFT_BUTTON && !m_Hyperlink.empty()) {
        const std::string target = HyperlinkTarget(m_Hyperlink);
        if (!target.empty())
            win::OpenUrl(target);
    }
    COleControl::OnClick(iButton);
}

std::string CLumvexCtrl::HyperlinkTarget(const CString& hyperlink)
{
    const std::string text = hyperlink;
    if (text.empty())
        return {};
    // An e-mail address written without a scheme.
    if (text.find(':') == std::string::npos && text.find('@') != std::string::npos)
        return "mailto:" + text;
    const std::string scheme = schemeOf(text);
    if (scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "mailto")
        return text;
    if (scheme == "file") {
        const QUrl url(QString::fromStdString(text));
        return url.isLocalFile() && isDocument(url.toLocalFile().toStdString()) ? text : std::string();
    }
    if (!scheme.empty())
        return {};
    // A path names a local document; other text is a web address.
    if (text[0] == '/' || text[0] == '~' || text.rfind("./", 0) == 0 || text.rfind("../", 0) == 0 ||
        std::filesystem::exists(text)) {
        std::error_code error;
        const std::filesystem::path path = std::filesystem::absolute(text, error);
        return !error && isDocument(path.string()) ? win::FileUrl(path.string()) : std::string();
    }
    return "http://" + text;
}

// --- Button states -------------------------------------------------------------------------

void CLumvexCtrl::onSetState(WORD state)
{
    // Kept per button: a press released away from one button must not
    // silence the next press of another.
    if (state == m_wLastButtonState)
        return;
    m_wLastButtonState = state;
    PlayEventSound(state == 1 ? 1 : 2);
}

void CLumvexCtrl::onSetCheck(BOOL check)
{
    m_bChecked = check ? TRUE : FALSE;
    if (m_Style == kStyleRadio && check && m_hWnd) {
        // Every other item of the group is told; the walk ends when it comes
        // back or repeats itself (it skips hidden and disabled items, so it
        // may never return to a hidden start).
        const win::HWND parent = GetParent();
        const std::size_t limit = parent ? std::size_t(parent->children().size()) : 0;
        std::set<win::HWND> seen{m_hWnd};
        win::HWND item = m_hWnd;
        for (std::size_t step = 0; step < limit; ++step) {
            item = win::GetNextDlgGroupItem(parent, item, FALSE);
            if (!item || !seen.insert(item).second)
                break;
            win::PostMessage(item, UM_RADIO_UNCHECK, 0, 0);
        }
    }
    if (m_hWnd)
        showCheckedAnimation();
    InvalidateButton(FALSE);
}

void CLumvexCtrl::onRadioUncheck()
{
    if (m_Style != kStyleRadio || !m_bChecked)
        return;
    m_bChecked = FALSE;
    m_bPressedLook = FALSE;
    KillTimer(TIMER_ANIM_PRESSED);
    if (m_aviPictureMouseOver.GetFrameCount() > 0 && m_bMouseOver)
        StartMouseOverAnimation();
    else
        StartNormalAnimation();
    InvalidateButton(FALSE);
}

// --- Keyboard ----------------------------------------------------------------------------------

BOOL CLumvexCtrl::PreTranslateMessage(win::MSG* msg)
{
    if (m_bAccelerator && m_hAccel && m_hWnd && win::TranslateAccelerator(m_hWnd, m_hAccel, msg)) {
        DoClick();
        return TRUE;
    }
    if ((msg->message == win::WM_KEYDOWN && msg->wParam == win::WPARAM(win::VK_RETURN)) ||
        (msg->message == win::WM_KEYUP && msg->wParam == win::WPARAM(win::VK_SPACE) && !m_IgnoreSpaceBar))
        PostMessage(UM_DO_CLICK);
    return COleControl::PreTranslateMessage(msg);
}

void CLumvexCtrl::OnMnemonic(win::MSG* pMsg)
{
    if (m_bAccelerator && m_hAccel && m_hWnd && pMsg && win::TranslateAccelerator(m_hWnd, m_hAccel, pMsg)) {
        DoClick();
        return;
    }
    COleControl::OnMnemonic(pMsg);
}

void CLumvexCtrl::OnGetControlInfo(CONTROLINFO* pControlInfo)
{
    COleControl::OnGetControlInfo(pControlInfo);
    if (!m_bAccelerator)
        return;
    std::string caption = m_hWnd ? GetWindowText() : GetText();
    for (char& c : caption)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    const std::size_t amp = caption.find('&');
    if (amp == std::string::npos)
        return;
    // The key as typed with Alt, in either case.
    const WORD key = amp + 1 < caption.size() ? WORD(static_cast<unsigned char>(caption[amp + 1])) : 0;
    const BYTE flags = BYTE(win::FALT | win::FVIRTKEY);
    const win::ACCEL entries[2] = {{flags, key, 1}, {flags, WORD(key + 32), 1}};
    if (m_hAccel)
        win::DestroyAcceleratorTable(m_hAccel);
    m_hAccel = win::CreateAcceleratorTable(entries, 2);
    pControlInfo->hAccel = m_hAccel;
    pControlInfo->cAccel = 2;
    pControlInfo->dwFlags = 0;
}
