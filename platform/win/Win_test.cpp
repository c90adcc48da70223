// The desktop seams and the window-position switches.

#include "platform/win/Cursor.h"
#include "platform/win/Desktop.h"
#include "platform/win/WindowPos.h"

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

} // namespace
