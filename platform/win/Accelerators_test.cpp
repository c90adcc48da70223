// Accelerator tables: a key with its modifiers becomes the entry's command.

#include "platform/win/Accelerators.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/Window.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace win;

// Notes the commands a window receives.
struct Commands : WindowHandler {
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            commands.push_back(wParam);
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    std::vector<WPARAM> commands;
};

TEST(AcceleratorsTest, TranslateMatchesKeyAndModifiers)
{
    QWidget parent;
    Commands r;
    CREATESTRUCT cs;
    cs.hwndParent = &parent;
    cs.lpszClass = "BUTTON";
    cs.style = WS_CHILD | BS_OWNERDRAW;
    cs.cx = 40;
    cs.cy = 20;
    HWND hwnd = CreateWindowEx(cs, &r);
    ASSERT_TRUE(hwnd);
    const ACCEL entries[] = {{BYTE(FALT | FVIRTKEY), 'G', 7}, {BYTE(FCONTROL | FSHIFT | FVIRTKEY), 'S', 8}};
    const std::size_t before = AcceleratorTableCount();
    HACCEL table = CreateAcceleratorTable(entries, 2);
    EXPECT_EQ(AcceleratorTableCount(), before + 1);
    EXPECT_EQ(CopyAcceleratorTable(table, nullptr, 0), 2);
    std::vector<WPARAM>& commands = r.commands;
    MSG msg;
    msg.message = WM_SYSKEYDOWN;
    msg.wParam = 'G';
    SetInputState(Qt::AltModifier, Qt::NoButton);
    EXPECT_EQ(TranslateAccelerator(hwnd, table, &msg), 1);
    msg.message = WM_KEYDOWN;
    SetInputState(Qt::NoModifier, Qt::NoButton);
    EXPECT_EQ(TranslateAccelerator(hwnd, table, &msg), 0);
    msg.wParam = 'S';
    SetInputState(Qt::ControlModifier | Qt::ShiftModifier, Qt::NoButton);
    EXPECT_EQ(TranslateAccelerator(hwnd, table, &msg), 1);
    SetInputState(Qt::ControlModifier, Qt::NoButton);
    EXPECT_EQ(TranslateAccelerator(hwnd, table, &msg), 0);
    SetInputState(Qt::NoModifier, Qt::NoButton);
    EXPECT_EQ(commands, (std::vector<WPARAM>{WPARAM(7) | (WPARAM(1) << 16), WPARAM(8) | (WPARAM(1) << 16)}));
    EXPECT_TRUE(DestroyAcceleratorTable(table));
    EXPECT_FALSE(DestroyAcceleratorTable(table));
    EXPECT_EQ(AcceleratorTableCount(), before);
    DestroyWindow(hwnd);
}

} // namespace
