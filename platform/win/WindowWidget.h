#pragma once
// The widget behind each window of this layer: it turns Qt's events into
// messages for the window's handler and holds the owner-drawn button's own
// processing. Also the table of live windows, which lets any thread check a
// window before it posts to it, and the mouse capture. Shared by the files
// of this folder only.

#include "platform/win/Window.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <climits>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace win::detail {

// A posted message, delivered as an event to its window.
extern const QEvent::Type kMessageEvent;

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

Registry& registry();
bool isLive(QWidget* w);
bool onUiThread();

// The window holding the mouse capture, and the one that last had mouse
// input (whose cursor SetCursor sets).
QPointer<QWidget>& captureWindow();
QPointer<QWidget>& cursorWindow();

enum class WindowClass { Plain, OwnerDrawButton };

class WindowWidget final : public QWidget {
public:
    WindowWidget(const CREATESTRUCT& cs, WindowHandler* handler);
    ~WindowWidget() override;

    bool destroyed() const { return destroyed_; }
    bool inMessage() const { return depth_ > 0; }
    WindowClass windowClass() const { return class_; }
    WindowHandler* handler() const { return handler_; }
    const std::string& text() const { return text_; }

    LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    // WM_DESTROY, timers, capture, WM_NCDESTROY; afterwards the window takes
    // no messages and no thread can post to it.
    void destroy();

    LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    std::uintptr_t setTimer(std::uintptr_t id, UINT elapse);
    bool killTimer(std::uintptr_t id);
    void killAllTimers();
    std::size_t timerCount() const { return timers_.size(); }
    // The milliseconds between the timer's messages; 0 when it does not run.
    UINT timerPeriod(std::uintptr_t id) const;

    void invalidate(const QRect& r, bool erase);

    // WM_SIZE and WM_MOVE when the geometry changed since they were last sent.
    void notifyGeometry();

    // WM_SHOWWINDOW when the window's own visible state changes.
    void setShown(bool shown);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent*) override { notifyGeometry(); }
    void moveEvent(QMoveEvent*) override { notifyGeometry(); }
    void timerEvent(QTimerEvent* e) override;
    void focusInEvent(QFocusEvent*) override { dispatch(WM_SETFOCUS, 0, 0); }
    void focusOutEvent(QFocusEvent*) override { dispatch(WM_KILLFOCUS, 0, 0); }
    void enterEvent(QEnterEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    void setCursorFor(UINT mouseMessage);
    void mouse(QMouseEvent* e, UINT message);
    void key(QKeyEvent* e, UINT plain, UINT withAlt);
    void setPushed(bool pushed);
    void clicked();
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
    struct Timer {
        int qtId;
        UINT period;
    };
    std::map<std::uintptr_t, Timer> timers_;

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

// The window behind hwnd, null when hwnd is no live window of this layer.
WindowWidget* asWindow(HWND hwnd);

} // namespace win::detail
