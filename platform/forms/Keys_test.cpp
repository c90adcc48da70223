// Key codes, KeyPress characters and colours as handlers receive them.

#include "platform/forms/Color.h"
#include "platform/forms/Keys.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

QKeyEvent key(int k, const QString& text = {}, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    return QKeyEvent(QEvent::KeyPress, k, m, text);
}

TEST(Keys, CodesMasksAndCharacters)
{
    EXPECT_EQ(forms::KeyCodeOf(key(Qt::Key_A, "a")), 65);
    EXPECT_EQ(forms::KeyCodeOf(key(Qt::Key_7, "7")), 55);
    EXPECT_EQ(forms::KeyCodeOf(key(Qt::Key_7, "7", Qt::KeypadModifier)), 103);
    EXPECT_EQ(forms::KeyCodeOf(key(Qt::Key_Enter)), forms::vbKeyReturn);
    EXPECT_EQ(forms::KeyCodeOf(key(Qt::Key_F12)), 123);
    for (auto [qt, vb] : {std::pair{Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34}, {Qt::Key_Home, 36},
                          {Qt::Key_Up, 38}, {Qt::Key_Down, 40}, {Qt::Key_Escape, 27}, {Qt::Key_Backspace, 8},
                          {Qt::Key_Shift, 16}, {Qt::Key_Control, 17}, {Qt::Key_Alt, 18}})
        EXPECT_EQ(forms::KeyCodeOf(key(qt)), vb);
    EXPECT_EQ(forms::ShiftOf(key(Qt::Key_A, "A", Qt::ShiftModifier | Qt::AltModifier)), 5);
    EXPECT_EQ(forms::ShiftOf(key(Qt::Key_A, "", Qt::ControlModifier)), 2);

    // KeyPress: Backspace, Enter and Esc have codes; arrows type nothing.
    EXPECT_EQ(forms::KeyAsciiOf(key(Qt::Key_Backspace)), 8);
    EXPECT_EQ(forms::KeyAsciiOf(key(Qt::Key_Return, "\r")), 13);
    EXPECT_EQ(forms::KeyAsciiOf(key(Qt::Key_Escape)), 27);
    EXPECT_EQ(forms::KeyAsciiOf(key(Qt::Key_Left)), 0);
    EXPECT_EQ(forms::KeyAsciiOf(key(Qt::Key_Tab, "\t")), 0);
    EXPECT_EQ(forms::KeyAsciiOf(key(Qt::Key_Comma, ",")), ',');
    // Characters beyond ASCII take their Windows-1252 codes, and back.
    EXPECT_EQ(forms::KeyAsciiOf(key(Qt::Key_Eacute, QStringLiteral("é"))), 233);
    EXPECT_EQ(forms::KeyAsciiOf(key(0, QStringLiteral("€"))), 128);
    // One it has no code for arrives as "?", as it did on the original platform.
    EXPECT_EQ(forms::KeyAsciiOf(key(0, QStringLiteral("Ж"))), '?');
    EXPECT_EQ(forms::AsciiText(233), "é");
    EXPECT_EQ(forms::AsciiText(128), "€");
    EXPECT_EQ(forms::AsciiText('x'), "x");
}

TEST(Colors, OleAndSystemColours)
{
    EXPECT_EQ(forms::RGB(1, 2, 3), 0x030201u);
    EXPECT_EQ(forms::ToQColor(forms::RGB(10, 20, 30)), QColor(10, 20, 30));
    EXPECT_EQ(forms::ToOleColor(QColor(10, 20, 30)), forms::RGB(10, 20, 30));
    EXPECT_EQ(forms::ToQColor(forms::vbWindowBackground), QColor(255, 255, 255));
    EXPECT_EQ(forms::ToQColor(forms::vbWindowText), QColor(0, 0, 0));
    EXPECT_EQ(forms::ToQColor(forms::vbGrayText), QColor(128, 128, 128));
    EXPECT_EQ(forms::ToQColor(forms::vbButtonShadow), QColor(128, 128, 128));
    EXPECT_EQ(forms::ToQColor(0x800000FFu), QColor(0, 0, 0)) << "an unknown system colour is black";
}

} // namespace
