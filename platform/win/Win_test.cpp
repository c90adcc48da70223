// The desktop seams and the window-position switches.

#include "platform/win/Cursor.h"
#include "platform/win/Desktop.h"
#include "platform/win/Window.h"
#include "platform/win/WindowPos.h"

#include <QGuiApplication>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(Desktop, SeamsRecordAndHeadlessStartsNothing)
{
    // Headless (the tests' platform) nothing reaches the desktop.
    EXPECT_FALSE(win::OpenUrl("https://example.com/"));
    EXPECT_FALSE(win::StartProcess("/bin/true"));

    auto opener = std::make_shared<win::FakeUrlOpener>();
    auto launcher = std::make_shared<win::FakeProcessLauncher>();
    win::SetUrlOpener(opener);
    win::SetProcessLauncher(launcher);
    EXPECT_TRUE(win::OpenUrl("https://example.com/"));
    launcher->result = false;
    EXPECT_FALSE(win::StartProcess("/opt/setup", {"--quiet"}, "/tmp"));
    win::SetUrlOpener(nullptr);
    win::SetProcessLauncher(nullptr);
    EXPECT_EQ(opener->opened, std::vector<std::string>{"https://example.com/"});
    ASSERT_EQ(launcher->calls.size(), 1u);
    EXPECT_EQ(launcher->calls[0].arguments, std::vector<std::string>{"--quiet"});
    EXPECT_EQ(launcher->calls[0].workingFolder, "/tmp");

    // A path with blanks and a "#" becomes a URL that still names the file.
    EXPECT_EQ(win::FileUrl("/tmp/My Help/a#b.htm"), "file:///tmp/My%20Help/a%23b.htm");
}

TEST(Desktop, CursorPositionComesFromThePort)
{
    auto cursor = std::make_shared<win::FakeCursor>();
    cursor->position = {120, 45};
    win::SetCursorPort(cursor);
    win::POINTAPI p;
    EXPECT_TRUE(win::GetCursorPos(p));
    EXPECT_EQ(p, (win::POINTAPI{120, 45}));
    win::SetCursorPort(nullptr);
}

TEST(WindowPos, FlagsMoveSizeShowAndHide)
{
    QWidget w;
    EXPECT_FALSE(win::SetWindowPos(nullptr, win::HWND_TOP, 0, 0, 0, 0, 0));
    win::SetWindowPos(&w, win::HWND_TOPMOST, 10, 20, 300, 200, win::SWP_SHOWWINDOW | win::SWP_NOACTIVATE);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(win::IsTopMost(&w));
    EXPECT_EQ(w.size(), QSize(300, 200));
    EXPECT_EQ(w.pos(), QPoint(10, 20));
    // The flags keep what they name.
    win::SetWindowPos(&w, win::HWND_NOTOPMOST, 0, 0, 1, 1, win::SWP_NOMOVE | win::SWP_NOSIZE);
    EXPECT_FALSE(win::IsTopMost(&w));
    EXPECT_EQ(w.size(), QSize(300, 200));
    EXPECT_EQ(w.pos(), QPoint(10, 20));
    EXPECT_TRUE(w.isVisible()) << "changing the kind of a shown window keeps it shown";
    win::SetWindowPos(&w, win::HWND_TOPMOST, 0, 0, 0, 0, win::SWP_NOZORDER | win::SWP_NOMOVE | win::SWP_NOSIZE);
    EXPECT_FALSE(win::IsTopMost(&w));
    win::SetWindowPos(&w, win::HWND_TOP, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_HIDEWINDOW);
    EXPECT_FALSE(w.isVisible());
}

TEST(WindowPos, AWindowPlacedBeforeItShowsHasItsFrameThere)
{
    // Sized by its layout, as a dialog is, only when it shows.
    QWidget w;
    auto* layout = new QVBoxLayout(&w);
    auto* inside = new QWidget;
    inside->setMinimumSize(300, 200);
    layout->addWidget(inside);
    win::SetWindowPos(&w, win::HWND_TOP, 40, 50, 0, 0, win::SWP_NOSIZE | win::SWP_NOZORDER);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    // A window manager frames the window after it is mapped.
    (void)QTest::qWaitFor([&w] { return w.frameGeometry().topLeft() == QPoint(40, 50); }, 2000);
    EXPECT_EQ(w.frameGeometry().topLeft(), QPoint(40, 50));
    EXPECT_GE(w.width(), 300);

    // A size given before stays.
    QWidget sized;
    sized.resize(120, 80);
    win::SetWindowPos(&sized, win::HWND_TOP, 10, 20, 0, 0, win::SWP_NOSIZE | win::SWP_NOZORDER);
    EXPECT_EQ(sized.size(), QSize(120, 80));
}

// Gives the window manager time to frame a shown window. Only a desktop
// with one (X11) frames windows; elsewhere frame and client area are one.
void WaitForFrame(QWidget& w)
{
    // On a bare X server none comes, and the wait just ends.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        static_cast<void>(QTest::qWaitFor([&] { return w.frameGeometry() != w.geometry(); }, 3000));
}

// The window manager answers a move of a shown window in its own time.
bool FrameSettlesAt(QWidget& w, const QPoint& point)
{
    return QTest::qWaitFor([&] { return w.frameGeometry().topLeft() == point; }, 3000);
}

TEST(WindowPos, ATopLevelWindowStandsByItsFrameAChildByItsClientArea)
{
    // Moved before the first show, when the window has no frame yet: one
    // before its native window exists, one after, one by MoveWindow.
    QWidget bySetWindowPos;
    QWidget created;
    QWidget byMoveWindow;
    static_cast<void>(created.winId());
    win::SetWindowPos(&bySetWindowPos, win::HWND_TOP, 70, 60, 200, 120, win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    win::SetWindowPos(&created, win::HWND_TOP, 600, 80, 200, 120, win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    win::MoveWindow(&byMoveWindow, 320, 90, 200, 120, TRUE);
    const std::pair<QWidget*, QPoint> moved[] = {
        {&bySetWindowPos, {70, 60}}, {&created, {600, 80}}, {&byMoveWindow, {320, 90}}};
    for (const auto& [w, point] : moved) {
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        WaitForFrame(*w);
        EXPECT_EQ(w->frameGeometry().topLeft(), point) << w->frameGeometry().x() << "," << w->frameGeometry().y();
        EXPECT_EQ(w->pos(), point);
    }
    EXPECT_EQ(byMoveWindow.size(), QSize(200, 120));

    // Moved again while shown, and moved while hidden before showing again.
    win::SetWindowPos(&bySetWindowPos, win::HWND_TOP, 150, 100, 0, 0, win::SWP_NOSIZE | win::SWP_NOZORDER);
    EXPECT_TRUE(FrameSettlesAt(bySetWindowPos, QPoint(150, 100))) << bySetWindowPos.frameGeometry().topLeft().x()
                                                                  << "," << bySetWindowPos.frameGeometry().topLeft().y();
    byMoveWindow.hide();
    win::MoveWindow(&byMoveWindow, 400, 200, 200, 120, TRUE);
    byMoveWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&byMoveWindow));
    WaitForFrame(byMoveWindow);
    EXPECT_TRUE(FrameSettlesAt(byMoveWindow, QPoint(400, 200))) << byMoveWindow.frameGeometry().topLeft().x() << ","
                                                                << byMoveWindow.frameGeometry().topLeft().y();

    // A child has no frame: its client area stands at the point in its parent.
    QWidget* child = new QWidget(&bySetWindowPos);
    child->show();
    win::SetWindowPos(child, win::HWND_TOP, 5, 7, 40, 20, win::SWP_NOZORDER);
    EXPECT_EQ(child->geometry(), QRect(5, 7, 40, 20));
    win::MoveWindow(child, 9, 11, 30, 10, FALSE);
    EXPECT_EQ(child->geometry(), QRect(9, 11, 30, 10));
}

} // namespace
