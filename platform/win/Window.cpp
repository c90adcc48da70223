#include "platform/win/Window.h"

#include "platform/win/WindowPos.h"
#include "platform/win/WindowWidget.h"

#include <QApplication>
#include <QRegion>

#include <algorithm>
#include <vector>

namespace win {

using detail::asWindow;
using detail::captureWindow;
using detail::cursorWindow;
using detail::isLive;
using detail::onUiThread;
using detail::WindowClass;
using detail::WindowWidget;

namespace {

HCURSOR g_cursor = nullptr;

} // namespace

HWND CreateWindowEx(const CREATESTRUCT& cs, WindowHandler* handler)
{
    if (!onUiThread())
        return nullptr;
    auto* w = new WindowWidget(cs, handler);
    if (w->dispatch(WM_CREATE, 0, LPARAM(&cs)) == -1) {
        w->destroy();
        delete w;
        return nullptr;
    }
    w->notifyGeometry();
    if (cs.style & WS_VISIBLE)
        w->setShown(true);
    return w->destroyed() ? nullptr : w;
}

BOOL DestroyWindow(HWND hwnd)
{
    WindowWidget* w = onUiThread() ? asWindow(hwnd) : nullptr;
    if (!w || w->destroyed())
        return FALSE;
    w->destroy();
    if (w->inMessage()) {
        // Its own message is still running: it goes once that has returned.
        w->hide();
        w->deleteLater();
    } else {
        delete w;
    }
    return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
    return isLive(hwnd) ? TRUE : FALSE;
}

WindowHandler* GetWindowHandler(HWND hwnd)
{
    WindowWidget* w = asWindow(hwnd);
    return w ? w->handler() : nullptr;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowWidget* w = onUiThread() ? asWindow(hwnd) : nullptr;
    return w ? w->dispatch(message, wParam, lParam) : 0;
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    detail::Registry& r = detail::registry();
    std::lock_guard lock(r.mutex);
    if (!hwnd || !r.live.count(hwnd) || !QCoreApplication::instance())
        return FALSE;
    // Posted under the lock: the window cannot leave the registry meanwhile,
    // and its deletion discards what is still queued for it.
    QCoreApplication::postEvent(hwnd, new detail::MessageEvent(message, wParam, lParam));
    return TRUE;
}

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowWidget* w = asWindow(hwnd);
    return w ? w->defaultProc(message, wParam, lParam) : 0;
}

std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT elapse)
{
    WindowWidget* w = onUiThread() ? asWindow(hwnd) : nullptr;
    return w && !w->destroyed() ? w->setTimer(id, elapse) : 0;
}

BOOL KillTimer(HWND hwnd, std::uintptr_t id)
{
    WindowWidget* w = onUiThread() ? asWindow(hwnd) : nullptr;
    return w && w->killTimer(id) ? TRUE : FALSE;
}

UINT TimerPeriod(HWND hwnd, std::uintptr_t id)
{
    WindowWidget* w = asWindow(hwnd);
    return w ? w->timerPeriod(id) : 0;
}

std::size_t TimerCount(HWND hwnd)
{
    if (hwnd) {
        WindowWidget* w = asWindow(hwnd);
        return w ? w->timerCount() : 0;
    }
    detail::Registry& r = detail::registry();
    std::lock_guard lock(r.mutex);
    std::size_t n = 0;
    for (QWidget* live : r.live)
        n += static_cast<WindowWidget*>(live)->timerCount();
    return n;
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw)
{
    WindowWidget* w = asWindow(hwnd);
    if (!w)
        return 0;
    if (!region) {
        w->clearMask();
    } else {
        const QRegion shape = gdi::ToQRegion(region);
        // An empty shape shows nothing: a mask outside the window.
        w->setMask(shape.isEmpty() ? QRegion(-1, -1, 1, 1) : shape);
    }
    if (redraw)
        w->invalidate({}, true);
    return 1;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    const HCURSOR previous = g_cursor;
    g_cursor = cursor;
    if (QWidget* w = cursorWindow().data()) {
        if (!cursor)
            w->setCursor(Qt::BlankCursor);
        else if (const auto shape = CursorFromHandle(cursor))
            w->setCursor(*shape);
        else
            w->unsetCursor();
    }
    return previous;
}

HWND SetCapture(HWND hwnd)
{
    HWND previous = captureWindow().data();
    captureWindow() = asWindow(hwnd) ? hwnd : nullptr;
    return previous;
}

BOOL ReleaseCapture()
{
    captureWindow() = nullptr;
    return TRUE;
}

HWND GetCapture()
{
    return captureWindow().data();
}

HWND SetFocus(HWND hwnd)
{
    HWND previous = QApplication::focusWidget();
    if (hwnd)
        hwnd->setFocus(Qt::OtherFocusReason);
    return previous;
}

HWND GetFocus()
{
    return QApplication::focusWidget();
}

HWND GetNextDlgGroupItem(HWND dialog, HWND hwnd, BOOL previous)
{
    if (!dialog)
        return nullptr;
    std::vector<WindowWidget*> buttons;
    for (QObject* child : dialog->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        WindowWidget* w = widget ? asWindow(widget) : nullptr;
        if (w && !w->destroyed() && w->windowClass() == WindowClass::OwnerDrawButton)
            buttons.push_back(w);
    }
    const auto at = std::find(buttons.begin(), buttons.end(), hwnd);
    if (hwnd && at == buttons.end())
        return nullptr;
    if (buttons.empty())
        return nullptr;
    const std::size_t n = buttons.size();
    const std::size_t start = at == buttons.end() ? n - 1 : std::size_t(at - buttons.begin());
    for (std::size_t step = 1; step <= n; ++step) {
        const std::size_t i = previous ? (start + n - step % n) % n : (start + step) % n;
        WindowWidget* w = buttons[i];
        if (w == hwnd)
            return hwnd;
        if (!w->isHidden() && w->isEnabled())
            return w;
    }
    return hwnd;
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
    if (!hwnd || !rect)
        return FALSE;
    *rect = RECT{0, 0, hwnd->width(), hwnd->height()};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect)
{
    if (!hwnd || !rect)
        return FALSE;
    const QPoint origin = hwnd->mapToGlobal(QPoint(0, 0));
    *rect = RECT{origin.x(), origin.y(), origin.x() + hwnd->width(), origin.y() + hwnd->height()};
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point)
{
    if (!hwnd || !point)
        return FALSE;
    const QPoint p = hwnd->mapFromGlobal(QPoint(point->x, point->y));
    *point = POINT{p.x(), p.y()};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point)
{
    if (!hwnd || !point)
        return FALSE;
    const QPoint p = hwnd->mapToGlobal(QPoint(point->x, point->y));
    *point = POINT{p.x(), p.y()};
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count)
{
    const QPoint origin = from ? from->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
    const QPoint target = to ? to->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
    const QPoint delta = origin - target;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += delta.x();
        points[i].y += delta.y();
    }
    return int(DWORD(WORD(delta.x())) | (DWORD(WORD(delta.y())) << 16));
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    if (!hwnd)
        return FALSE;
    if (hwnd->isWindow()) {
        // A top-level window stands by its frame, as it does for SetWindowPos.
        hwnd->resize(std::max(width, 0), std::max(height, 0));
        MoveWindowTo(hwnd, QPoint(x, y));
    } else {
        hwnd->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
    }
    if (WindowWidget* w = asWindow(hwnd)) {
        w->notifyGeometry();
        if (repaint)
            w->invalidate({}, true);
    }
    return TRUE;
}

BOOL ShowWindow(HWND hwnd, int command)
{
    if (!hwnd)
        return FALSE;
    const BOOL wasVisible = hwnd->isVisible() ? TRUE : FALSE;
    if (WindowWidget* w = asWindow(hwnd))
        w->setShown(command != SW_HIDE);
    else
        hwnd->setVisible(command != SW_HIDE);
    return wasVisible;
}

BOOL IsWindowVisible(HWND hwnd)
{
    return hwnd && hwnd->isVisible() ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    if (!hwnd)
        return FALSE;
    const BOOL wasDisabled = hwnd->isEnabled() ? FALSE : TRUE;
    hwnd->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    return hwnd && hwnd->isEnabled() ? TRUE : FALSE;
}

HWND GetParent(HWND hwnd)
{
    return hwnd ? hwnd->parentWidget() : nullptr;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    if (!hwnd)
        return FALSE;
    const QRect area = rect ? QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1)) : QRect();
    if (WindowWidget* w = asWindow(hwnd))
        w->invalidate(area, erase != FALSE);
    else if (rect)
        hwnd->update(area);
    else
        hwnd->update();
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd)
{
    if (!hwnd)
        return FALSE;
    if (hwnd->isVisible())
        hwnd->repaint();
    return TRUE;
}

BOOL SetWindowText(HWND hwnd, const std::string& text)
{
    if (!hwnd)
        return FALSE;
    if (asWindow(hwnd)) {
        SendMessage(hwnd, WM_SETTEXT, 0, LPARAM(text.c_str()));
        return TRUE;
    }
    // Another widget: its text (a label, button or edit), its title (a group
    // box), else its window title.
    const QString value = QString::fromStdString(text);
    if (hwnd->isWindow())
        hwnd->setWindowTitle(value);
    else if (hwnd->metaObject()->indexOfProperty("text") >= 0)
        hwnd->setProperty("text", value);
    else if (hwnd->metaObject()->indexOfProperty("title") >= 0)
        hwnd->setProperty("title", value);
    else
        hwnd->setWindowTitle(value);
    return TRUE;
}

std::string GetWindowText(HWND hwnd)
{
    if (WindowWidget* w = asWindow(hwnd))
        return w->text();
    if (!hwnd)
        return std::string();
    if (!hwnd->isWindow()) {
        for (const char* name : {"text", "title"})
            if (hwnd->metaObject()->indexOfProperty(name) >= 0)
                return hwnd->property(name).toString().toStdString();
    }
    return hwnd->windowTitle().toStdString();
}

} // namespace win
