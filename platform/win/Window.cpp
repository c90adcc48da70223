#include "platform/win/Window.h"

#include "platform/win/VirtualKeys.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QThread>
#include <QTimerEvent>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

namespace win {

namespace {

const QEvent::Type kMessageEvent = QEvent::Type(QEvent::registerEventType());

class MessageEvent final : public QEvent {
public:
    MessageEvent(UINT message, WPARAM wParam, LPARAM lParam)
        : QEvent(kMessageEvent), message(message), wParam(wParam), lParam(lParam)
    {
    }
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The live windows: posting threads look a window up here, under the lock,
// so they never touch a window that is being destroyed.
struct Registry {
    std::mutex mutex;
    std::set<QWidget*> live;
};

Registry& registry()
{
    static Registry r;
    return r;
}

bool isLive(QWidget* w)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return w && r.live.count(w);
}

bool onUiThread()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

DWORD messageTime()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return DWORD(clock.elapsed());
}

QPointer<QWidget> g_capture;
QPointer<QWidget> g_cursorWindow;
HCURSOR g_cursor = nullptr;

WPARAM mouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    WPARAM flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

UINT buttonMessage(Qt::MouseButton button, UINT left, UINT right, UINT middle)
{
    switch (button) {
    case Qt::LeftButton: return left;
    case Qt::RightButton: return right;
    case Qt::MiddleButton: return middle;
    default: return 0;
    }
}

enum class WindowClass { Plain, OwnerDrawButton };

WindowClass classOf(const CREATESTRUCT& cs)
{
    const bool button = QString::fromStdString(cs.lpszClass).compare(QLatin1String("Button"), Qt::CaseInsensitive) == 0;
    return button && (cs.style & 0xF) == BS_OWNERDRAW ? WindowClass::OwnerDrawButton : WindowClass::Plain;
}

class Window final : public QWidget {
public:
    Window(const CREATESTRUCT& cs, WindowHandler* handler)
        : QWidget(cs.hwndParent), handler_(handler), class_(classOf(cs)), text_(cs.lpszName)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setMouseTracking(true);
        setFocusPolicy((cs.style & WS_TABSTOP) ? Qt::TabFocus : Qt::NoFocus);
        setEnabled(!(cs.style & WS_DISABLED));
        setGeometry(cs.x, cs.y, std::max(cs.cx, 0), std::max(cs.cy, 0));
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        r.live.insert(this);
    }

    ~Window() override
    {
        // Deleted with its parent: the window still ends as DestroyWindow ends it.
        if (!destroyed_)
            destroy();
        releaseBacking();
    }

    bool destroyed() const { return destroyed_; }
    bool inMessage() const { return depth_ > 0; }
    WindowClass windowClass() const { return class_; }
    WindowHandler* handler() const { return handler_; }
    const std::string& text() const { return text_; }

    LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (destroyed_ && message != WM_DESTROY && message != WM_NCDESTROY)
            return 0;
        ++depth_;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{depth_};
        return handler_ ? handler_->HandleMessage(this, message, wParam, lParam) : defaultProc(message, wParam, lParam);
    }

    // WM_DESTROY, timers, capture, WM_NCDESTROY; afterwards the window takes
    // no messages and no thread can post to it.
    void destroy()
    {
        if (destroyed_)
            return;
        dispatch(WM_DESTROY, 0, 0);
        destroyed_ = true;
        killAllTimers();
        if (g_capture == this)
            g_capture = nullptr;
        dispatch(WM_NCDESTROY, 0, 0);
        handler_ = nullptr;
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        r.live.erase(this);
    }

    LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    std::uintptr_t setTimer(std::uintptr_t id, UINT elapse)
    {
        killTimer(id);
        timers_[id] = startTimer(int(std::clamp<UINT>(elapse, 10, 0x7FFFFFFF)));
        return id;
    }
    bool killTimer(std::uintptr_t id)
    {
        const auto it = timers_.find(id);
        if (it == timers_.end())
            return false;
        QObject::killTimer(it->second);
        timers_.erase(it);
        return true;
    }
    void killAllTimers()
    {
        for (const auto& [id, qtId] : timers_)
            QObject::killTimer(qtId);
        timers_.clear();
    }
    std::size_t timerCount() const { return timers_.size(); }

    void invalidate(const QRect& r, bool erase)
    {
        eraseNeeded_ = eraseNeeded_ || erase;
        if (r.isNull())
            update();
        else
            update(r);
    }

    // WM_SIZE and WM_MOVE when the geometry changed since they were last sent.
    void notifyGeometry()
    {
        if (destroyed_)
            return;
        if (size() != sentSize_) {
            sentSize_ = size();
            eraseNeeded_ = true;
            dispatch(WM_SIZE, SIZE_RESTORED, MAKELPARAM(width(), height()));
        }
        if (pos() != sentPos_) {
            sentPos_ = pos();
            dispatch(WM_MOVE, 0, MAKELPARAM(x(), y()));
        }
    }

    // WM_SHOWWINDOW when the window's own visible state changes.
    void setShown(bool shown)
    {
        if (shown == shown_)
            return;
        shown_ = shown;
        dispatch(WM_SHOWWINDOW, shown ? 1 : 0, 0);
        if (!destroyed_)
            setVisible(shown);
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == kMessageEvent) {
            auto* m = static_cast<MessageEvent*>(e);
            if (!destroyed_)
                dispatch(m->message, m->wParam, m->lParam);
            return true;
        }
        if (e->type() == QEvent::EnabledChange && !destroyed_)
            dispatch(WM_ENABLE, isEnabled() ? 1 : 0, 0);
        return QWidget::event(e);
    }

    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent*) override { notifyGeometry(); }
    void moveEvent(QMoveEvent*) override { notifyGeometry(); }
    void timerEvent(QTimerEvent* e) override
    {
        for (const auto& [id, qtId] : timers_) {
            if (qtId == e->timerId()) {
                dispatch(WM_TIMER, id, 0);
                return;
            }
        }
    }
    void focusInEvent(QFocusEvent*) override { dispatch(WM_SETFOCUS, 0, 0); }
    void focusOutEvent(QFocusEvent*) override { dispatch(WM_KILLFOCUS, 0, 0); }
    void enterEvent(QEnterEvent* e) override
    {
        SetInputState(e->modifiers(), e->buttons());
        setCursorFor(WM_MOUSEMOVE);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        mouse(e, buttonMessage(e->button(), WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN));
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        mouse(e, buttonMessage(e->button(), WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK));
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        mouse(e, buttonMessage(e->button(), WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP));
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        SetInputState(e->modifiers(), e->buttons());
        if (e->buttons() == Qt::NoButton && g_capture != this)
            setCursorFor(WM_MOUSEMOVE);
        mouse(e, WM_MOUSEMOVE);
    }
    void keyPressEvent(QKeyEvent* e) override { key(e, WM_KEYDOWN, WM_SYSKEYDOWN); }
    void keyReleaseEvent(QKeyEvent* e) override
    {
        if (e->isAutoRepeat())
            return;
        key(e, WM_KEYUP, WM_SYSKEYUP);
    }

private:
    void setCursorFor(UINT mouseMessage)
    {
        g_cursorWindow = this;
        dispatch(WM_SETCURSOR, WPARAM(this), MAKELPARAM(HTCLIENT, int(mouseMessage)));
    }

    void mouse(QMouseEvent* e, UINT message)
    {
        if (!message || destroyed_)
            return;
        SetInputState(e->modifiers(), e->buttons());
        g_cursorWindow = this;
        const QPoint p = e->position().toPoint();
        dispatch(message, mouseFlags(e->buttons(), e->modifiers()), MAKELPARAM(p.x(), p.y()));
    }

    void key(QKeyEvent* e, UINT plain, UINT withAlt)
    {
        const int vk = VirtualKeyFromQt(e->key(), e->modifiers());
        if (!vk || destroyed_) {
            e->ignore();
            return;
        }
        SetInputState(e->modifiers(), QApplication::mouseButtons());
        const bool alt = e->modifiers() & Qt::AltModifier;
        MSG msg;
        msg.hwnd = this;
        msg.message = alt ? withAlt : plain;
        msg.wParam = WPARAM(vk);
        msg.lParam = LPARAM(1) | (e->isAutoRepeat() ? LPARAM(1) << 30 : 0) | (alt ? LPARAM(1) << 29 : 0);
        msg.time = messageTime();
        const QPoint global = QCursor::pos();
        msg.pt = POINT{global.x(), global.y()};
        // Keys the container's message loop would see with Alt go on to it.
        if (alt)
            e->ignore();
        else
            e->accept();
        QPointer<Window> self(this);
        if (handler_ && handler_->PreTranslateMessage(&msg))
            return;
        if (self && !destroyed_)
            dispatch(msg.message, msg.wParam, msg.lParam);
    }

    void setPushed(bool pushed)
    {
        if (pushed == pushed_)
            return;
        pushed_ = pushed;
        invalidate({}, false);
    }

    void clicked()
    {
        dispatch(OCM_COMMAND, WPARAM(BN_CLICKED) << 16, LPARAM(this));
    }

    bool ensureBacking();
    void releaseBacking();

    WindowHandler* handler_;
    WindowClass class_;
    std::string text_;
    int depth_ = 0;
    bool destroyed_ = false;
    bool shown_ = false;
    QSize sentSize_{-1, -1};
    QPoint sentPos_{INT_MIN, INT_MIN};
    std::map<std::uintptr_t, int> timers_;

    // The backing bitmap keeps what was painted last, as the screen would.
    bool eraseNeeded_ = true;
    HDC dc_ = nullptr;
    HBITMAP backing_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    BYTE* bits_ = nullptr;
    QSize backingSize_;

    // The BUTTON class's state.
    bool pushed_ = false;
    UINT check_ = BST_UNCHECKED;
    bool tracking_ = false;
    bool spaceDown_ = false;
};

Window* asWindow(HWND hwnd)
{
    return isLive(hwnd) ? static_cast<Window*>(hwnd) : nullptr;
}

bool Window::ensureBacking()
{
    const QSize want = size();
    if (want.isEmpty())
        return false;
    if (backing_ && want == backingSize_)
        return true;
    if (!dc_)
        dc_ = CreateCompatibleDC(nullptr);
    if (!dc_)
        return false;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = want.width();
    bmi.bmiHeader.biHeight = -want.height(); // top-down, as QImage holds rows
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc_, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits)
        return false;
    // Keep the old picture where it still fits.
    if (bits_) {
        const int rows = std::min(want.height(), backingSize_.height());
        const std::size_t bytes = std::size_t(std::min(want.width(), backingSize_.width())) * 4;
        for (int y = 0; y < rows; ++y)
            std::memcpy(static_cast<BYTE*>(bits) + std::size_t(y) * want.width() * 4,
                        bits_ + std::size_t(y) * backingSize_.width() * 4, bytes);
    }
    HGDIOBJ old = SelectObject(dc_, bitmap);
    if (backing_)
        DeleteObject(backing_);
    else
        previous_ = old;
    backing_ = bitmap;
    bits_ = static_cast<BYTE*>(bits);
    backingSize_ = want;
    return true;
}

void Window::releaseBacking()
{
    if (dc_ && previous_)
        SelectObject(dc_, previous_);
    if (backing_)
        DeleteObject(backing_);
    if (dc_)
        DeleteDC(dc_);
    dc_ = nullptr;
    backing_ = nullptr;
    bits_ = nullptr;
}

void Window::paintEvent(QPaintEvent* e)
{
    if (destroyed_ || !ensureBacking())
        return;
    if (eraseNeeded_) {
        eraseNeeded_ = false;
        dispatch(WM_ERASEBKGND, WPARAM(dc_), 0);
    }
    if (class_ == WindowClass::OwnerDrawButton) {
        DRAWITEMSTRUCT item;
        item.CtlType = ODT_BUTTON;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = (pushed_ ? ODS_SELECTED : 0) | (isEnabled() ? 0 : ODS_DISABLED) | (hasFocus() ? ODS_FOCUS : 0);
        item.hwndItem = this;
        item.hDC = dc_;
        item.rcItem = RECT{0, 0, width(), height()};
        dispatch(OCM_DRAWITEM, 0, LPARAM(&item));
    } else {
        dispatch(WM_PAINT, WPARAM(dc_), 0);
    }
    if (destroyed_ || !bits_)
        return;
    const QImage picture(bits_, backingSize_.width(), backingSize_.height(), backingSize_.width() * 4,
                         QImage::Format_RGB32);
    QPainter painter(this);
    painter.drawImage(e->rect(), picture, e->rect());
}

LRESULT Window::defaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool button = class_ == WindowClass::OwnerDrawButton;
    switch (message) {
    case WM_ERASEBKGND: {
        HBRUSH brush = CreateSolidBrush(GetSysColor(button ? COLOR_BTNFACE : COLOR_WINDOW));
        const RECT all{0, 0, width(), height()};
        FillRect(HDC(wParam), &all, brush);
        DeleteObject(brush);
        return 1;
    }
    case WM_SETCURSOR:
        unsetCursor();
        return 0;
    case WM_SETTEXT:
        text_ = lParam ? reinterpret_cast<const char*>(lParam) : "";
        if (button)
            invalidate({}, false);
        // A top-level window shows its text as its title.
        else if (isWindow())
            setWindowTitle(QString::fromStdString(text_));
        return 1;
    case WM_GETTEXT: {
        if (wParam == 0 || !lParam)
            return 0;
        const std::size_t n = std::min<std::size_t>(text_.size(), wParam - 1);
        std::memcpy(reinterpret_cast<char*>(lParam), text_.data(), n);
        reinterpret_cast<char*>(lParam)[n] = '\0';
        return LRESULT(n);
    }
    case WM_GETDLGCODE:
        return button ? LRESULT(DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON) : 0;
    default:
        break;
    }
    if (!button)
        return 0;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(this);
        SetCapture(this);
        tracking_ = true;
        setPushed(true);
        return 0;
    case WM_MOUSEMOVE:
        if (tracking_ && (wParam & MK_LBUTTON))
            setPushed(rect().contains(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_LBUTTONUP:
        if (tracking_) {
            tracking_ = false;
            const bool inside = rect().contains(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            if (g_capture == this)
                g_capture = nullptr;
            setPushed(false);
            if (inside)
                clicked();
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == WPARAM(VK_SPACE) && !tracking_) {
            spaceDown_ = true;
            setPushed(true);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == WPARAM(VK_SPACE) && spaceDown_) {
            spaceDown_ = false;
            const bool wasPushed = pushed_;
            setPushed(false);
            if (wasPushed)
                clicked();
        }
        return 0;
    case WM_KILLFOCUS:
        if (spaceDown_) {
            spaceDown_ = false;
            setPushed(false);
        }
        invalidate({}, false);
        return 0;
    case WM_SETFOCUS:
    case WM_ENABLE:
        invalidate({}, false);
        return 0;
    case BM_SETSTATE:
        setPushed(wParam != 0);
        return 0;
    case BM_GETSTATE:
        return LRESULT((pushed_ ? BST_PUSHED : 0) | (hasFocus() ? BST_FOCUS : 0) | check_);
    case BM_SETCHECK:
        check_ = UINT(wParam) & 3;
        return 0;
    case BM_GETCHECK:
        return LRESULT(check_);
    default:
        return 0;
    }
}

} // namespace

HWND CreateWindowEx(const CREATESTRUCT& cs, WindowHandler* handler)
{
    if (!onUiThread())
        return nullptr;
    auto* w = new Window(cs, handler);
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
    Window* w = onUiThread() ? asWindow(hwnd) : nullptr;
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
    Window* w = asWindow(hwnd);
    return w ? w->handler() : nullptr;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* w = onUiThread() ? asWindow(hwnd) : nullptr;
    return w ? w->dispatch(message, wParam, lParam) : 0;
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (!hwnd || !r.live.count(hwnd) || !QCoreApplication::instance())
        return FALSE;
    // Posted under the lock: the window cannot leave the registry meanwhile,
    // and its deletion discards what is still queued for it.
    QCoreApplication::postEvent(hwnd, new MessageEvent(message, wParam, lParam));
    return TRUE;
}

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* w = asWindow(hwnd);
    return w ? w->defaultProc(message, wParam, lParam) : 0;
}

std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT elapse)
{
    Window* w = onUiThread() ? asWindow(hwnd) : nullptr;
    return w && !w->destroyed() ? w->setTimer(id, elapse) : 0;
}

BOOL KillTimer(HWND hwnd, std::uintptr_t id)
{
    Window* w = onUiThread() ? asWindow(hwnd) : nullptr;
    return w && w->killTimer(id) ? TRUE : FALSE;
}

std::size_t TimerCount(HWND hwnd)
{
    if (hwnd) {
        Window* w = asWindow(hwnd);
        return w ? w->timerCount() : 0;
    }
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    std::size_t n = 0;
    for (QWidget* live : r.live)
        n += static_cast<Window*>(live)->timerCount();
    return n;
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw)
{
    Window* w = asWindow(hwnd);
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
    if (QWidget* w = g_cursorWindow.data()) {
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
    HWND previous = g_capture.data();
    g_capture = asWindow(hwnd) ? hwnd : nullptr;
    return previous;
}

BOOL ReleaseCapture()
{
    g_capture = nullptr;
    return TRUE;
}

HWND GetCapture()
{
    return g_capture.data();
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
    std::vector<Window*> buttons;
    for (QObject* child : dialog->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        Window* w = widget ? asWindow(widget) : nullptr;
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
        Window* w = buttons[i];
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
    hwnd->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
    if (Window* w = asWindow(hwnd)) {
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
    if (Window* w = asWindow(hwnd))
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
    if (Window* w = asWindow(hwnd))
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
    if (Window* w = asWindow(hwnd))
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
