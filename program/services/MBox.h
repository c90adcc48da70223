#pragma once
// The message box's window: a borderless box with a title band, three
// picture-box buttons that sink while pressed, an icon and a check box. The
// routine that lays it out is MBoxMod::ShowMBox.

#include "platform/forms/Forms.h"

#include <QFont>
#include <QPixmap>

#include <array>
#include <cstdint>
#include <memory>

class MBox : public forms::FormOf<MBox> {
public:
    MBox();

    forms::PictureBox Pic1{*this, "Pic1"};
    forms::Label Label3{Pic1, "Label3"};
    forms::Label Label2{*this, "Label2"};
    forms::Image Image1{*this, "Image1"};
    forms::ControlArray<forms::PictureBox> But1{*this, "But1", {0, 1, 2}};
    forms::CheckBox chkValue{*this, "chkValue"};
    // The caption label inside each button.
    forms::Label& Label1(int index) const { return *label1_.at(static_cast<size_t>(index)); }
    // ImageList1: the ten icons, items 1 to 10.
    static QPixmap ListImage(int index);
    // The font of the title, the prompt and the captions.
    static QFont BoxFont();

    // Shows the box modally until a button is released; the index of that
    // button, or -1 when the box was unloaded first.
    int16_t WaitForAnswer();
    bool Waiting() const { return waiting_; }

    // The raised (or, while pressed, sunken) frame of button i.
    void DrawButtonFrame(int index, uint32_t outline, uint32_t edge);

protected:
    void Form_Activate() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;

private:
    void But1_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void But1_MouseUp(int Index, int Button, int Shift, float X, float Y);
    void Label1_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void Label1_MouseUp(int Index, int Button, int Shift, float X, float Y);

    std::array<std::unique_ptr<forms::Label>, 3> label1_;
    uint32_t sampledLight_ = 0;
    uint32_t sampledDark_ = 0;
    int pressed_ = -1;
    int16_t answer_ = -1;
    bool waiting_ = false;
};
