#include "platform/win/WindowPos.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace win {

namespace {

// Qt learns a window's frame only once the window manager has framed it, so a
// top-level window moved before its first show would be mapped with its
// client area at the point and the title bar above it. This places the frame
// once more right before the native window is mapped, where Qt asks the
// window manager to put the frame's corner at the point; then it goes.
class FramePlacer final : public QObject {
public:
    static constexpr const char* kName = "framePlacer";

    FramePlacer(QWidget* window, const QPoint& point) : QObject(window), window_(window), point_(point)
    {
        setObjectName(QString::fromLatin1(kName));
        window->installEventFilter(this);
    }

    void setPoint(const QPoint& point) { point_ = point; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || !window_)
            return false;
        if (watched == window_) {
            // The native window exists by now and is not mapped yet: its own
            // show comes after the widget's layout and geometry are settled.
            if (QWindow* handle = window_->windowHandle()) {
                handle_ = handle;
                handle->installEventFilter(this);
            }
        } else if (watched == handle_) {
            // A move made meanwhile by other means, client area first, wins.
            if (window_->pos() == point_)
                handle_->setFramePosition(point_);
            window_->removeEventFilter(this);
            handle_->removeEventFilter(this);
            setObjectName(QString());
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QWidget> window_;
    QPointer<QWindow> handle_;
    QPoint point_;
};

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
    if (!(flags & SWP_NOMOVE))
        MoveWindowTo(hWnd, QPoint(x, y));
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

void MoveWindowTo(HWND hWnd, const QPoint& point)
{
    if (!hWnd)
        return;
    // For a top-level window Qt's move already takes the frame's corner once
    // the frame is known.
    hWnd->move(point);
    if (!hWnd->isWindow() || hWnd->isVisible())
        return;
    auto* placer = hWnd->findChild<QObject*>(QString::fromLatin1(FramePlacer::kName), Qt::FindDirectChildrenOnly);
    if (placer)
        static_cast<FramePlacer*>(placer)->setPoint(point);
    else
        new FramePlacer(hWnd, point);
}

bool IsTopMost(HWND hWnd)
{
    return hWnd && hWnd->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace win
