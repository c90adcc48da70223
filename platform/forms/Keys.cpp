#include "platform/forms/Keys.h"

#include "platform/basic/Strings.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <string>

namespace forms {

namespace {

int shiftMask(Qt::KeyboardModifiers m)
{
    int s = 0;
    if (m & Qt::ShiftModifier)
        s |= vbShiftMask;
    if (m & Qt::ControlModifier)
        s |= vbCtrlMask;
    if (m & Qt::AltModifier)
        s |= vbAltMask;
    return s;
}

} // namespace

int KeyCodeOf(const QKeyEvent& e)
{
    const int k = e.key();
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return 'A' + (k - Qt::Key_A);
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return (e.modifiers() & Qt::KeypadModifier) ? 96 + (k - Qt::Key_0) : '0' + (k - Qt::Key_0);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return vbKeyF1 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace: return vbKeyBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vbKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vbKeyReturn;
    case Qt::Key_Shift: return vbKeyShift;
    case Qt::Key_Control: return vbKeyControl;
    case Qt::Key_Alt: return vbKeyMenu;
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Space: return vbKeySpace;
    case Qt::Key_PageUp: return vbKeyPageUp;
    case Qt::Key_PageDown: return vbKeyPageDown;
    case Qt::Key_End: return vbKeyEnd;
    case Qt::Key_Home: return vbKeyHome;
    case Qt::Key_Left: return vbKeyLeft;
    case Qt::Key_Up: return vbKeyUp;
    case Qt::Key_Right: return vbKeyRight;
    case Qt::Key_Down: return vbKeyDown;
    case Qt::Key_Insert: return vbKeyInsert;
    case Qt::Key_Delete: return vbKeyDelete;
    case Qt::Key_Minus: return 189;
    case Qt::Key_Period: return 190;
    case Qt::Key_Comma: return 188;
    default: return 0;
    }
}

int ShiftOf(const QKeyEvent& e)
{
    return shiftMask(e.modifiers());
}

int KeyAsciiOf(const QKeyEvent& e)
{
    switch (e.key()) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Tab: return 0;
    default: break;
    }
    const QString t = e.text();
    if (t.isEmpty())
        return 0;
    const char32_t c = t.toUcs4().value(0);
    if (c < 32 && !(e.modifiers() & Qt::ControlModifier))
        return 0;
    if (c < 128)
        return static_cast<int>(c);
    std::string utf8;
    vb::AppendUtf8(utf8, c);
    const std::string ansi = vb::Utf8ToCp1252(utf8);
    return ansi.size() == 1 ? static_cast<unsigned char>(ansi[0]) : 0;
}

std::string AsciiText(int keyAscii)
{
    const std::string byte(1, static_cast<char>(keyAscii & 0xFF));
    return (keyAscii & 0xFF) < 128 ? byte : vb::Cp1252ToUtf8(byte);
}

int ButtonOf(const QMouseEvent& e)
{
    switch (e.button()) {
    case Qt::LeftButton: return vbLeftButton;
    case Qt::RightButton: return vbRightButton;
    case Qt::MiddleButton: return vbMiddleButton;
    default: break;
    }
    int b = 0;
    if (e.buttons() & Qt::LeftButton)
        b |= vbLeftButton;
    if (e.buttons() & Qt::RightButton)
        b |= vbRightButton;
    if (e.buttons() & Qt::MiddleButton)
        b |= vbMiddleButton;
    return b;
}

int ShiftOf(const QMouseEvent& e)
{
    return shiftMask(e.modifiers());
}

} // namespace forms
