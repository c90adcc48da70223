#include "program/services/MBox.h"

#include "program/services/MBoxMod.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/ShellState.h"

#include "platform/basic/App.h"


// The box's own font where the desktop has it, else a narrow sans serif in
// which "Save as New" still fits its button.
QFont MBox::BoxFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                   QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans Condensed"),
                   QStringLiteral("Lato")});
    f.setPointSizeF(8.25);
    f.setBold(true);
    return f;
}

MBox::MBox() : FormOf("MBox")
{
    SetCaption("");
    SetBorderStyle(forms::vbBSNone);
    SetShowInTaskbar(false);
    SetScaleMode(forms::vbPixels);
    SetBackColor(forms::RGB(192, 192, 160));
    // Centred for the tall box, once, when it is created: on the window the
    // user is in, or on the screen when none is open.
    SetStartUpPosition(forms::vbStartUpManual);
    const QRect area = forms::OwnerArea(hWnd());
    Move((area.x() + (area.width() - MBoxMod::kWindowWidth) / 2.0) * 15.0,
         (area.y() + (area.height() - MBoxMod::kTallHeight) / 2.0) * 15.0, MBoxMod::kWindowWidth * 15.0,
         MBoxMod::kTallHeight * 15.0);

    const QFont font = BoxFont();
    Pic1.SetBorderStyle(0);
    Pic1.SetScaleMode(forms::vbPixels);
    Pic1.Move(3, 3, 301, MBoxMod::kBandHeight);
    Label3.SetBackStyle(forms::vbTransparent);
    Label3.SetAlignment(forms::vbCenter);
    Label3.SetFont(font);
    Label3.Move(3, 2, 298, 13);
    Label3.SetCaption("");

    Label2.SetBackStyle(forms::vbTransparent);
    Label2.SetFont(font);
    Label2.Move(9, 27, MBoxMod::kPromptWidth, 16);
    Label2.SetWordWrap(true);
    Label2.SetAutoSize(true);
    Label2.SetCaption("");

    Image1.Move(264, 54, 32, 32);

    for (int i = 0; i < 3; ++i) {
        forms::PictureBox& b = But1(i);
        b.SetBorderStyle(0);
        b.SetScaleMode(forms::vbPixels);
        b.Move(0, MBoxMod::kButtonTop, MBoxMod::kButtonWidth, MBoxMod::kButtonHeight);
        label1_[static_cast<size_t>(i)] = std::make_unique<forms::Label>(b, "Label1", i);
        forms::Label& l = Label1(i);
        l.SetBackStyle(forms::vbTransparent);
        l.SetAlignment(forms::vbCenter);
        l.SetFont(font);
        l.Move(0, 2, MBoxMod::kButtonWidth, 19);
        l.SetCaption("");
        l.MouseDown = [this, i](int Button, int Shift, float X, float Y) { Label1_MouseDown(i, Button, Shift, X, Y); };
        l.MouseUp = [this, i](int Button, int Shift, float X, float Y) { Label1_MouseUp(i, Button, Shift, X, Y); };
    }
    But1.On(&forms::PictureBox::MouseDown,
            [this](int Index, int Button, int Shift, float X, float Y) { But1_MouseDown(Index, Button, Shift, X, Y); });
    But1.On(&forms::PictureBox::MouseUp,
            [this](int Index, int Button, int Shift, float X, float Y) { But1_MouseUp(Index, Button, Shift, X, Y); });

    chkValue.SetCaption("Show this message in the future");
    chkValue.Move(8, 152, 225, 17);
}

int16_t MBox::WaitForAnswer()
{
    answer_ = -1;
    pressed_ = -1;
    waiting_ = true;
    struct Done {
        bool& w;
        ~Done() { w = false; }
    } done{waiting_};
    Show(forms::vbModal);
    return answer_;
}

void MBox::DrawButtonFrame(int index, uint32_t outline, uint32_t edge)
{
    forms::PictureBox& b = But1(index);
    const double w = b.ScaleWidth();
    const double h = b.ScaleHeight();
    b.Box(0, 0, w - 1, h - 1, outline);
    b.Line(0, h - 1, w, h - 1, edge);
    b.Line(w - 1, 0, w - 1, h - 1, edge);
}

void MBox::Form_Activate()
{
    forms::PictureBox& b = But1(0);
    sampledLight_ = static_cast<uint32_t>(b.Point(0, 0));
    sampledDark_ = static_cast<uint32_t>(b.Point(b.ScaleWidth() - 1, b.ScaleHeight() - 1));
    Mod_SpecialFunctions::SetTopMost(hWnd(), -1);
}

// Only a button ends the box: not Esc, not the window's close box.
void MBox::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    if (UnloadMode == forms::vbFormControlMenu)
        Cancel = 1;
}

void MBox::But1_MouseDown(int Index, int, int, float, float)
{
    pressed_ = Index;
    DrawButtonFrame(Index, sampledDark_, sampledLight_);
    forms::PictureBox& b = But1(Index);
    b.Move(b.Left() + 1, MBoxMod::kButtonTop + 1);
}

void MBox::But1_MouseUp(int Index, int, int, float, float)
{
    if (pressed_ != Index)
        return;
    pressed_ = -1;
    DrawButtonFrame(Index, sampledLight_, sampledDark_);
    forms::PictureBox& b = But1(Index);
    b.Move(b.Left() - 1, MBoxMod::kButtonTop);
    tv::Shell().g_MBoxResult = static_cast<int16_t>(Index);
    tv::Shell().g_MBoxCheckValue = static_cast<int16_t>(chkValue.Value());
    answer_ = static_cast<int16_t>(Index);
    Hide();
}

void MBox::Label1_MouseDown(int Index, int Button, int Shift, float X, float Y)
{
    But1_MouseDown(Index, Button, Shift, X, Y);
}

void MBox::Label1_MouseUp(int Index, int Button, int Shift, float X, float Y)
{
    But1_MouseUp(Index, Button, Shift, X, Y);
}
