// The key table: Qt's keys to virtual-key codes, the shift mask and the
// key state of the message being handled.

#include "platform/win/VirtualKeys.h"

#include <gtest/gtest.h>

#include <ios>

namespace {

using namespace win;

TEST(VirtualKeysTest, QtKeysMapToTheirCodes)
{
    struct Row {
        int qt;
        Qt::KeyboardModifiers modifiers;
        int vk;
    };
    const Row rows[] = {
        {Qt::Key_A, {}, 'A'},
        {Qt::Key_Z, Qt::ShiftModifier, 'Z'},
        {Qt::Key_0, {}, '0'},
        {Qt::Key_7, Qt::KeypadModifier, VK_NUMPAD0 + 7},
        {Qt::Key_Plus, Qt::KeypadModifier, VK_ADD},
        {Qt::Key_Enter, Qt::KeypadModifier, VK_RETURN},
        {Qt::Key_Return, {}, VK_RETURN},
        {Qt::Key_Space, {}, VK_SPACE},
        {Qt::Key_Escape, {}, VK_ESCAPE},
        {Qt::Key_Tab, {}, VK_TAB},
        {Qt::Key_Backtab, Qt::ShiftModifier, VK_TAB},
        {Qt::Key_Backspace, {}, VK_BACK},
        {Qt::Key_Delete, {}, VK_DELETE},
        {Qt::Key_Left, {}, VK_LEFT},
        {Qt::Key_PageDown, {}, VK_NEXT},
        {Qt::Key_F1, {}, VK_F1},
        {Qt::Key_F12, {}, VK_F1 + 11},
        {Qt::Key_Shift, Qt::ShiftModifier, VK_SHIFT},
        {Qt::Key_Control, {}, VK_CONTROL},
        {Qt::Key_Alt, {}, VK_MENU},
        {Qt::Key_Exclam, Qt::ShiftModifier, '1'},
        {Qt::Key_ParenRight, Qt::ShiftModifier, '0'},
        {Qt::Key_Question, Qt::ShiftModifier, VK_OEM_2},
        {Qt::Key_Slash, {}, VK_OEM_2},
        {Qt::Key_Minus, {}, VK_OEM_MINUS},
        {Qt::Key_Underscore, Qt::ShiftModifier, VK_OEM_MINUS},
        {Qt::Key_QuoteDbl, Qt::ShiftModifier, VK_OEM_7},
        {Qt::Key_Eacute, {}, 0},
        {Qt::Key_unknown, {}, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(VirtualKeyFromQt(row.qt, row.modifiers), row.vk) << std::hex << row.qt;

    EXPECT_EQ(ShiftMask(Qt::ShiftModifier), SHIFT_MASK);
    EXPECT_EQ(ShiftMask(Qt::ControlModifier | Qt::AltModifier), CTRL_MASK | ALT_MASK);
    EXPECT_EQ(ShiftMask(Qt::KeypadModifier), 0);
    SetInputState(Qt::ControlModifier, Qt::RightButton);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetKeyState(VK_RBUTTON), 0);
    SetInputState(Qt::NoModifier, Qt::NoButton);
}

} // namespace
