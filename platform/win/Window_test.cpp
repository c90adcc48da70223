// The window layer: creation and destruction order, posted messages from
// the UI thread and other threads, timers, the button class, window shapes
// and the group walk.

#include "platform/testing/Quiescence.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/Window.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace {

using namespace win;

// Notes every message; a hook may answer one itself (a non-empty result).
struct Recorder : WindowHandler {
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(message);
        if (message == OCM_DRAWITEM)
            drawStates.push_back(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->itemState);
        if (message == OCM_COMMAND)
            clicks += HIWORD(wParam) == BN_CLICKED;
        if (message == WM_TIMER)
            timers.push_back(wParam);
        if (message >= WM_USER && message < OCM__BASE)
            posted.fetch_add(1);
        if (hook)
            if (auto answer = hook(hwnd, message, wParam, lParam))
                return *answer;
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    std::vector<UINT> messages;
    std::vector<UINT> drawStates;
    std::vector<WPARAM> timers;
    std::atomic<int> posted{0};
    int clicks = 0;
    std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> hook;
};

CREATESTRUCT button(QWidget* parent, int x = 0, DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP)
{
    CREATESTRUCT cs;
    cs.hwndParent = parent;
    cs.lpszClass = "BUTTON";
    cs.style = style | BS_OWNERDRAW;
    cs.x = x;
    cs.y = 0;
    cs.cx = 40;
    cs.cy = 20;
    return cs;
}

TEST(WindowTest, CreationAndDestructionComeInAFixedOrder)
{
    QWidget parent;
    Recorder r;
    CREATESTRUCT cs = button(&parent);
    HWND hwnd = CreateWindowEx(cs, &r);
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(r.messages, (std::vector<UINT>{WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
    EXPECT_EQ(hwnd->parentWidget(), &parent);
    EXPECT_TRUE(IsWindow(hwnd));
    r.messages.clear();
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(r.messages, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(parent.findChildren<QWidget*>().isEmpty());
    EXPECT_FALSE(DestroyWindow(hwnd));

    // A handler refusing WM_CREATE gets no window, but its end all the same.
    Recorder refusing;
    refusing.hook = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        return m == WM_CREATE ? std::optional<LRESULT>(-1) : std::nullopt;
    };
    EXPECT_FALSE(CreateWindowEx(cs, &refusing));
    EXPECT_EQ(refusing.messages, (std::vector<UINT>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));

    // Deleted with its parent: the same end.
    auto owner = std::make_unique<QWidget>();
    Recorder child;
    ASSERT_TRUE(CreateWindowEx(button(owner.get()), &child));
    child.messages.clear();
    owner.reset();
    EXPECT_EQ(child.messages, (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
}

TEST(WindowTest, PostedMessagesToAGoneWindowAreDropped)
{
    QWidget parent;
    auto r = std::make_unique<Recorder>();
    HWND hwnd = CreateWindowEx(button(&parent), r.get());
    ASSERT_TRUE(PostMessage(hwnd, WM_USER + 1, 0, 0));
    QApplication::processEvents();
    EXPECT_EQ(r->posted, 1);

    // Queued, then the window goes, then its handler: nothing reaches it.
    ASSERT_TRUE(PostMessage(hwnd, WM_USER + 2, 0, 0));
    DestroyWindow(hwnd);
    r.reset();
    ASSERT_TRUE(tv::testing::DrainPostedEvents());
    EXPECT_FALSE(PostMessage(hwnd, WM_USER + 3, 0, 0));

    // A window ending inside its own message goes once that returns; what was
    // posted to it meanwhile is dropped.
    Recorder self;
    HWND second = CreateWindowEx(button(&parent), &self);
    self.hook = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER + 4) {
            PostMessage(h, WM_USER + 5, 0, 0);
            DestroyWindow(h);
        }
        return std::nullopt;
    };
    QPointer<QWidget> guard(second);
    PostMessage(second, WM_USER + 4, 0, 0);
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(self.posted, 1);
    EXPECT_FALSE(guard);

    // Another thread posts while the window is destroyed under it.
    Recorder busy;
    HWND third = CreateWindowEx(button(&parent), &busy);
    std::atomic<bool> stop{false};
    std::atomic<int> accepted{0};
    std::thread poster([&] {
        while (!stop) {
            if (PostMessage(third, WM_USER + 6, 0, 0))
                ++accepted;
            else
                break;
        }
    });
    QTRY_VERIFY(accepted > 100);
    QApplication::processEvents();
    DestroyWindow(third);
    stop = true;
    poster.join();
    // The poster has ended: once what it queued is delivered, none of it
    // reached the gone window.
    const int heard = busy.posted;
    ASSERT_TRUE(tv::testing::DrainPostedEvents());
    EXPECT_EQ(busy.posted, heard);
    EXPECT_LE(heard, accepted.load());
}

TEST(WindowTest, TimersAreReplacedAndKilledByIdAndStopWithTheWindow)
{
    QWidget parent;
    Recorder r;
    HWND hwnd = CreateWindowEx(button(&parent), &r);
    EXPECT_EQ(SetTimer(hwnd, 1, 10), 1u);
    EXPECT_EQ(SetTimer(hwnd, 1, 10), 1u);
    EXPECT_EQ(SetTimer(hwnd, 2, 15), 2u);
    EXPECT_EQ(TimerCount(hwnd), 2u);
    // None runs faster than every 10 ms, a timer of no delay included.
    EXPECT_EQ(TimerPeriod(hwnd, 2), 15u);
    EXPECT_EQ(SetTimer(hwnd, 4, 0), 4u);
    EXPECT_EQ(TimerPeriod(hwnd, 4), 10u);
    EXPECT_TRUE(KillTimer(hwnd, 4));
    EXPECT_EQ(TimerPeriod(hwnd, 4), 0u);
    EXPECT_TRUE(KillTimer(hwnd, 1));
    EXPECT_FALSE(KillTimer(hwnd, 1));
    EXPECT_EQ(TimerCount(hwnd), 1u);
    QTRY_VERIFY(r.timers.size() >= 2);
    EXPECT_EQ(std::count(r.timers.begin(), r.timers.end(), WPARAM(1)), 0);
    DestroyWindow(hwnd);
    EXPECT_EQ(TimerCount(), 0u);
    EXPECT_EQ(SetTimer(hwnd, 3, 10), 0u);
}

TEST(WindowTest, TheButtonClassHighlightsChecksAndClicks)
{
    QWidget parent;
    parent.resize(200, 100);
    Recorder r;
    HWND hwnd = CreateWindowEx(button(&parent), &r);
    parent.show();
    parent.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));

    EXPECT_EQ(SendMessage(hwnd, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON));
    SendMessage(hwnd, BM_SETSTATE, 1, 0);
    hwnd->repaint();
    EXPECT_EQ(r.drawStates.back() & ODS_SELECTED, ODS_SELECTED);
    SendMessage(hwnd, BM_SETSTATE, 0, 0);
    SendMessage(hwnd, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessage(hwnd, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
    hwnd->repaint();
    EXPECT_EQ(r.drawStates.back() & ODS_SELECTED, 0u);

    // A press takes the focus and highlights; out of the button the
    // highlight goes, and a release there is no click.
    QTest::mousePress(hwnd, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(GetFocus(), hwnd);
    EXPECT_EQ(GetCapture(), hwnd);
    EXPECT_TRUE(SendMessage(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED);
    QTest::mouseMove(hwnd, QPoint(100, 50));
    EXPECT_FALSE(SendMessage(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED);
    QTest::mouseRelease(hwnd, Qt::LeftButton, {}, QPoint(100, 50));
    EXPECT_EQ(r.clicks, 0);
    EXPECT_FALSE(GetCapture());
    QTest::mouseClick(hwnd, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(r.clicks, 1);

    // The space key: highlight on press, click on release.
    QTest::keyPress(hwnd, Qt::Key_Space);
    hwnd->repaint();
    EXPECT_EQ(r.drawStates.back(), ODS_SELECTED | ODS_FOCUS);
    QTest::keyRelease(hwnd, Qt::Key_Space);
    EXPECT_EQ(r.clicks, 2);
    hwnd->repaint();
    EXPECT_EQ(r.drawStates.back(), ODS_FOCUS);

    // Disabled: drawn so and deaf to the mouse.
    EnableWindow(hwnd, FALSE);
    EXPECT_EQ(r.messages.back(), WM_ENABLE);
    hwnd->repaint();
    EXPECT_TRUE(r.drawStates.back() & ODS_DISABLED);
    QTest::mouseClick(hwnd, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(r.clicks, 2);
    DestroyWindow(hwnd);
}

TEST(WindowTest, KeysPassTheHandlersPreTranslationFirst)
{
    struct Translating : Recorder {
        BOOL PreTranslateMessage(MSG* msg) override
        {
            seen.push_back({msg->message, msg->wParam});
            return msg->wParam == WPARAM(VK_RETURN);
        }
        std::vector<std::pair<UINT, WPARAM>> seen;
    } r;
    QWidget parent;
    HWND hwnd = CreateWindowEx(button(&parent), &r);
    r.messages.clear();
    QTest::keyClick(hwnd, Qt::Key_Return);
    QTest::keyClick(hwnd, Qt::Key_B, Qt::AltModifier);
    // Return was taken before dispatch; the Alt key and B arrive as SYS keys.
    EXPECT_EQ(std::count(r.messages.begin(), r.messages.end(), WM_KEYDOWN), 0);
    EXPECT_EQ(r.seen.front(), (std::pair<UINT, WPARAM>{WM_KEYDOWN, WPARAM(VK_RETURN)}));
    EXPECT_TRUE(std::find(r.seen.begin(), r.seen.end(), std::pair<UINT, WPARAM>{WM_SYSKEYDOWN, WPARAM('B')}) !=
                r.seen.end());
    EXPECT_TRUE(std::find(r.messages.begin(), r.messages.end(), WM_SYSKEYUP) != r.messages.end());
    DestroyWindow(hwnd);
}

TEST(WindowTest, ShapeIsACopyOfTheRegion)
{
    QWidget parent;
    Recorder r;
    HWND hwnd = CreateWindowEx(button(&parent), &r);
    HRGN ellipse = CreateEllipticRgn(0, 0, 40, 20);
    EXPECT_EQ(SetWindowRgn(hwnd, ellipse, TRUE), 1);
    EXPECT_EQ(hwnd->mask(), gdi::ToQRegion(ellipse));
    // The caller still owns its region.
    EXPECT_TRUE(DeleteObject(ellipse));
    EXPECT_FALSE(hwnd->mask().isEmpty());
    SetWindowRgn(hwnd, nullptr, FALSE);
    EXPECT_TRUE(hwnd->mask().isEmpty());
    // An empty shape shows nothing of the window.
    HRGN none = CreateRectRgn(0, 0, 0, 0);
    SetWindowRgn(hwnd, none, FALSE);
    EXPECT_TRUE(hwnd->mask().intersected(hwnd->rect()).isEmpty());
    EXPECT_FALSE(hwnd->mask().isEmpty());
    DeleteObject(none);
    DestroyWindow(hwnd);
}

TEST(WindowTest, GroupWalkGoesOverTheButtonSiblings)
{
    QWidget parent;
    Recorder r1, r2, r3, plain;
    HWND a = CreateWindowEx(button(&parent, 0), &r1);
    CREATESTRUCT other = button(&parent, 50);
    other.lpszClass = "Static";
    HWND p = CreateWindowEx(other, &plain);
    HWND b = CreateWindowEx(button(&parent, 100), &r2);
    HWND c = CreateWindowEx(button(&parent, 150), &r3);
    EXPECT_EQ(GetNextDlgGroupItem(&parent, a, FALSE), b);
    EXPECT_EQ(GetNextDlgGroupItem(&parent, c, FALSE), a);
    EXPECT_EQ(GetNextDlgGroupItem(&parent, a, TRUE), c);
    // Hidden and disabled buttons are passed over; the plain window is none.
    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(GetNextDlgGroupItem(&parent, a, FALSE), c);
    EnableWindow(c, FALSE);
    EXPECT_EQ(GetNextDlgGroupItem(&parent, a, FALSE), a);
    // A walk from a disabled item still ends at an item it can reach.
    EXPECT_EQ(GetNextDlgGroupItem(&parent, c, FALSE), a);
    EXPECT_EQ(GetNextDlgGroupItem(&parent, p, FALSE), nullptr);
    QWidget elsewhere;
    EXPECT_EQ(GetNextDlgGroupItem(&elsewhere, a, FALSE), nullptr);
    for (HWND h : {a, p, b, c})
        DestroyWindow(h);
}

TEST(WindowTest, GeometryTextAndCursor)
{
    QWidget parent;
    parent.resize(300, 200);
    Recorder r;
    HWND hwnd = CreateWindowEx(button(&parent, 30), &r);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    r.messages.clear();
    MoveWindow(hwnd, 10, 20, 60, 30, TRUE);
    EXPECT_EQ(r.messages, (std::vector<UINT>{WM_SIZE, WM_MOVE}));
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 60);
    EXPECT_EQ(client.bottom, 30);
    POINT pts[1] = {{5, 5}};
    MapWindowPoints(hwnd, &parent, pts, 1);
    EXPECT_EQ(pts[0].x, 15);
    EXPECT_EQ(pts[0].y, 25);
    SetWindowText(hwnd, "Text");
    EXPECT_EQ(GetWindowText(hwnd), "Text");
    char buffer[3];
    EXPECT_EQ(SendMessage(hwnd, WM_GETTEXT, sizeof buffer, LPARAM(buffer)), 2);
    EXPECT_STREQ(buffer, "Te");

    // The cursor goes to the window the pointer is over.
    QTest::mouseMove(hwnd, QPoint(3, 3));
    SetCursor(nullptr);
    EXPECT_EQ(hwnd->cursor().shape(), Qt::BlankCursor);
    DestroyWindow(hwnd);
}

} // namespace
