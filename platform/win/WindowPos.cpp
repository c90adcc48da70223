#include "platform/win/WindowPos.h"

#include <QWidget>

namespace win {

namespace {

// Changing window flags re-creates the native window and hides it; show it
// again as it was, without taking the focus when asked not to.
void setStaysOnTop(QWidget* w, bool on, bool activate)
{
    if (w->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    const bool wasVisible = w->isVisible();
    const bool noActivate = w->testAttribute(Qt::WA_ShowWithoutActivating);
    w->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (wasVisible) {
        w->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
        w->show();
        w->setAttribute(Qt::WA_ShowWithoutActivating, noActivate);
    }
}

} // namespace

bool SetWindowPos(HWND hWnd, intptr_t hWndInsertAfter, int x, int y, int cx, int cy, unsigned flags)
{
    if (!hWnd)
        return false;
    const bool activate = !(flags & SWP_NOACTIVATE);
    if (!(flags & SWP_NOZORDER)) {
        if (hWndInsertAfter == HWND_TOPMOST) {
            setStaysOnTop(hWnd, true, activate);
        } else if (hWndInsertAfter == HWND_NOTOPMOST) {
            setStaysOnTop(hWnd, false, activate);
        } else if (hWndInsertAfter == HWND_BOTTOM) {
            hWnd->lower();
        }
        if (hWndInsertAfter != HWND_BOTTOM)
            hWnd->raise();
    }
    if (!(flags & SWP_NOMOVE)) {
        // A window's position is that of its frame. A window not shown yet
        // takes its size first, as showing it would: sized later, after its
        // native window is made, it would have its inside put there instead.
        if (hWnd->isWindow() && !hWnd->isVisible() && !hWnd->testAttribute(Qt::WA_Resized)) {
            hWnd->adjustSize();
            hWnd->setAttribute(Qt::WA_Resized, false);
        }
        hWnd->move(x, y);
    }
    if (!(flags & SWP_NOSIZE))
        hWnd->resize(cx, cy);
    if (flags & SWP_HIDEWINDOW) {
        hWnd->hide();
    } else if ((flags & SWP_SHOWWINDOW) && !hWnd->isVisible()) {
        const bool noActivate = hWnd->testAttribute(Qt::WA_ShowWithoutActivating);
        hWnd->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
        hWnd->show();
        hWnd->setAttribute(Qt::WA_ShowWithoutActivating, noActivate);
    }
    if (activate && hWnd->isVisible())
        hWnd->activateWindow();
    return true;
}

bool IsTopMost(HWND hWnd)
{
    return hWnd && hWnd->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace win
