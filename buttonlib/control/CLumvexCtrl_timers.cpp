// The button window's timers: the pointer-leave test while the mouse is
// over the button, the deferred repaint at design time, and the frames of
// the three animations.

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/win/Cursor.h"

void CLumvexCtrl::OnTimer(std::uintptr_t id)
{
    switch (id) {
    case TIMER_MOUSE_TRACK: pointerLeaveTest(); break;
    case TIMER_DEFERRED_PAINT:
        InvalidateButton(FALSE);
        KillTimer(TIMER_DEFERRED_PAINT);
        break;
    case TIMER_ANIM_NORMAL: animationTick(m_aviPicture, m_nFrameNormal); break;
    case TIMER_ANIM_MOUSEOVER: animationTick(m_aviPictureMouseOver, m_nFrameMouseOver); break;
    case TIMER_ANIM_PRESSED: animationTick(m_aviPicturePressed, m_nFramePressed); break;
    default: COleControl::OnTimer(id); break;
    }
}

void CLumvexCtrl::pointerLeaveTest()
{
    win::POINTAPI cursor;
    if (!win::GetCursorPos(cursor))
        return;
    POINT point{int(cursor.x), int(cursor.y)};
    ScreenToClient(&point);
    if (HitTest(point))
        return;
    m_bMouseOver = FALSE;
    FireEvent(DISPID_EVT_MOUSEOUT);
    if (!m_hWnd)
        return;
    KillTimer(TIMER_MOUSE_TRACK);
    if (!m_PictureMouseOver.empty() && !(m_bPressedLook && m_aviPicturePressed.GetFrameCount() > 0))
        StartNormalAnimation();
    InvalidateButton(FALSE);
    PlayEventSound(5);
}

void CLumvexCtrl::deferPaint()
{
    // The container paints around the button after a show or a resize; the
    // button repaints a moment later so that it stays on top.
    if (m_hWnd && !AmbientUserMode())
        SetTimer(TIMER_DEFERRED_PAINT, 100);
}

void CLumvexCtrl::animationTick(const CAnim& anim, int& frame)
{
    const int count = anim.GetFrameCount();
    if (frame >= count)
        frame = 0;
    InvalidateButton(FALSE);
    ++frame;
    if (frame >= count)
        frame = 0;
}

void CLumvexCtrl::startAnimation(std::uintptr_t timer, const CAnim& anim, int& frame)
{
    if (!m_hWnd || !AmbientUserMode() || anim.GetFrameCount() <= 0)
        return;
    for (std::uintptr_t other : {TIMER_ANIM_NORMAL, TIMER_ANIM_MOUSEOVER, TIMER_ANIM_PRESSED})
        if (other != timer)
            KillTimer(other);
    frame = 0;
    SetTimer(timer, UINT(std::max(anim.GetFrameDelay(), 0)));
}

void CLumvexCtrl::StartNormalAnimation()
{
    startAnimation(TIMER_ANIM_NORMAL, m_aviPicture, m_nFrameNormal);
}

void CLumvexCtrl::StartPressedAnimation()
{
    startAnimation(TIMER_ANIM_PRESSED, m_aviPicturePressed, m_nFramePressed);
}

void CLumvexCtrl::StartMouseOverAnimation()
{
    startAnimation(TIMER_ANIM_MOUSEOVER, m_aviPictureMouseOver, m_nFrameMouseOver);
}
