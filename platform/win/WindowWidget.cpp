#include "platform/win/WindowWidget.h"

#include "platform/win/VirtualKeys.h"
#include "platform/win/WindowPos.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <QTimerEvent>

#include <algorithm>
#include <cstring>

namespace win::detail {

const QEvent::Type kMessageEvent = QEvent::Type(QEvent::registerEventType());

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

QPointer<QWidget>& captureWindow()
{
    static QPointer<QWidget> capture;
    return capture;
}

QPointer<QWidget>& cursorWindow()
{
    static QPointer<QWidget> window;
    return window;
}

WindowWidget* asWindow(HWND hwnd)
{
    return isLive(hwnd) ? static_cast<WindowWidget*>(hwnd) : nullptr;
}

namespace {

DWORD messageTime()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return DWORD(clock.elapsed());
}

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

WindowClass classOf(const CREATESTRUCT& cs)
{
    const bool button = QString::fromStdString(cs.lpszClass).compare(QLatin1String("Button"), Qt::CaseInsensitive) == 0;
    return button && (cs.style & 0xF) == BS_OWNERDRAW ? WindowClass::OwnerDrawButton : WindowClass::Plain;
}

} // namespace

WindowWidget::WindowWidget(const CREATESTRUCT& cs, WindowHandler* handler)
    : QWidget(cs.hwndParent), handler_(handler), class_(classOf(cs)), text_(cs.lpszName)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy((cs.style & WS_TABSTOP) ? Qt::TabFocus : Qt::NoFocus);
    setEnabled(!(cs.style & WS_DISABLED));
    if (isWindow()) {
        // A window of its own stands by its frame.
        resize(std::max(cs.cx, 0), std::max(cs.cy, 0));
        MoveWindowTo(this, QPoint(cs.x, cs.y));
    } else {
        setGeometry(cs.x, cs.y, std::max(cs.cx, 0), std::max(cs.cy, 0));
    }
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.live.insert(this);
}

WindowWidget::~WindowWidget()
{
    // Deleted with its parent: the window still ends as DestroyWindow ends it.
    if (!destroyed_)
        destroy();
    releaseBacking();
}

LRESULT WindowWidget::dispatch(UINT message, WPARAM wParam, LPARAM lParam)
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

void WindowWidget::destroy()
{
    if (destroyed_)
        return;
    dispatch(WM_DESTROY, 0, 0);
    destroyed_ = true;
    killAllTimers();
    if (captureWindow() == this)
        captureWindow() = nullptr;
    dispatch(WM_NCDESTROY, 0, 0);
    handler_ = nullptr;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.live.erase(this);
}

std::uintptr_t WindowWidget::setTimer(std::uintptr_t id, UINT elapse)
{
    killTimer(id);
    // As the system's timers, none runs faster than every 10 ms.
    const UINT period = std::clamp<UINT>(elapse, 10, 0x7FFFFFFF);
    timers_[id] = Timer{startTimer(int(period)), period};
    return id;
}

bool WindowWidget::killTimer(std::uintptr_t id)
{
    const auto it = timers_.find(id);
    if (it == timers_.end())
        return false;
    QObject::killTimer(it->second.qtId);
    timers_.erase(it);
    return true;
}

UINT WindowWidget::timerPeriod(std::uintptr_t id) const
{
    const auto it = timers_.find(id);
    return it == timers_.end() ? 0 : it->second.period;
}

void WindowWidget::killAllTimers()
{
    for (const auto& [id, timer] : timers_)
        QObject::killTimer(timer.qtId);
    timers_.clear();
}

void WindowWidget::invalidate(const QRect& r, bool erase)
{
    eraseNeeded_ = eraseNeeded_ || erase;
    if (r.isNull())
        update();
    else
        update(r);
}

void WindowWidget::notifyGeometry()
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

void WindowWidget::setShown(bool shown)
{
    if (shown == shown_)
        return;
    shown_ = shown;
    dispatch(WM_SHOWWINDOW, shown ? 1 : 0, 0);
    if (!destroyed_)
        setVisible(shown);
}

bool WindowWidget::event(QEvent* e)
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

void WindowWidget::timerEvent(QTimerEvent* e)
{
    for (const auto& [id, timer] : timers_) {
        if (timer.qtId == e->timerId()) {
            dispatch(WM_TIMER, id, 0);
            return;
        }
    }
}

void WindowWidget::enterEvent(QEnterEvent* e)
{
    SetInputState(e->modifiers(), e->buttons());
    setCursorFor(WM_MOUSEMOVE);
}

void WindowWidget::mousePressEvent(QMouseEvent* e)
{
    mouse(e, buttonMessage(e->button(), WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN));
}

void WindowWidget::mouseDoubleClickEvent(QMouseEvent* e)
{
    mouse(e, buttonMessage(e->button(), WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK));
}

void WindowWidget::mouseReleaseEvent(QMouseEvent* e)
{
    mouse(e, buttonMessage(e->button(), WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP));
}

void WindowWidget::mouseMoveEvent(QMouseEvent* e)
{
    SetInputState(e->modifiers(), e->buttons());
    if (e->buttons() == Qt::NoButton && captureWindow() != this)
        setCursorFor(WM_MOUSEMOVE);
    mouse(e, WM_MOUSEMOVE);
}

void WindowWidget::keyPressEvent(QKeyEvent* e)
{
    key(e, WM_KEYDOWN, WM_SYSKEYDOWN);
}

void WindowWidget::keyReleaseEvent(QKeyEvent* e)
{
    if (e->isAutoRepeat())
        return;
    key(e, WM_KEYUP, WM_SYSKEYUP);
}

void WindowWidget::setCursorFor(UINT mouseMessage)
{
    cursorWindow() = this;
    dispatch(WM_SETCURSOR, WPARAM(this), MAKELPARAM(HTCLIENT, int(mouseMessage)));
}

void WindowWidget::mouse(QMouseEvent* e, UINT message)
{
    if (!message || destroyed_)
        return;
    SetInputState(e->modifiers(), e->buttons());
    cursorWindow() = this;
    const QPoint p = e->position().toPoint();
    dispatch(message, mouseFlags(e->buttons(), e->modifiers()), MAKELPARAM(p.x(), p.y()));
}

void WindowWidget::key(QKeyEvent* e, UINT plain, UINT withAlt)
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
    QPointer<WindowWidget> self(this);
    if (handler_ && handler_->PreTranslateMessage(&msg))
        return;
    if (self && !destroyed_)
        dispatch(msg.message, msg.wParam, msg.lParam);
}

void WindowWidget::setPushed(bool pushed)
{
    if (pushed == pushed_)
        return;
    pushed_ = pushed;
    invalidate({}, false);
}

void WindowWidget::clicked()
{
    dispatch(OCM_COMMAND, WPARAM(BN_CLICKED) << 16, LPARAM(this));
}

bool WindowWidget::ensureBacking()
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

void WindowWidget::releaseBacking()
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

void WindowWidget::paintEvent(QPaintEvent* e)
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

LRESULT WindowWidget::defaultProc(UINT message, WPARAM wParam, LPARAM lParam)
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
            if (captureWindow() == this)
                captureWindow() = nullptr;
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

} // namespace win::detail
