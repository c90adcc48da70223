#pragma once
// PictureBox: a surface that keeps its drawing and may hold controls; its
// own ScaleMode sets the units of its drawing, its controls and its mouse
// events.

#include "platform/forms/Surface.h"

class QFrame;

namespace forms {

class PictureBox : public Control, public Surface {
public:
    PictureBox(Container& parent, std::string name, int index = -1);

    // 0 none, 1 a line around it (sunken with Appearance 1, flat with 0).
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    int Appearance() const { return appearance_; }
    void SetAppearance(int appearance);

    OLE_COLOR BackColor() const override { return Surface::BackColor(); }
    void SetBackColor(OLE_COLOR color) override { Surface::SetBackColor(color); }
    OLE_COLOR ForeColor() const override { return Surface::ForeColor(); }
    void SetForeColor(OLE_COLOR color) override { Surface::SetForeColor(color); }

    QWidget* ClientWidget() const override;
    Form& ParentForm() override { return Parent().ParentForm(); }
    void PreviewKeyDown(int& keyCode, int& shift) override { Parent().PreviewKeyDown(keyCode, shift); }
    void PreviewKeyPress(int& keyAscii) override { Parent().PreviewKeyPress(keyAscii); }
    void PreviewKeyUp(int& keyCode, int& shift) override { Parent().PreviewKeyUp(keyCode, shift); }

protected:
    bool ConsumesMouse() const override { return true; }
    double MouseTwipsPerUnit() const override { return Surface::TwipsPerUnit(); }
    QWidget* MouseOrigin() const override { return client_; }
    void GeometryApplied() override;
    // The border's widget was resized by the window system.
    virtual void FrameResized() { GeometryApplied(); }

private:
    friend class PictureClient;
    void applyBorder();

    QFrame* frame_;
    QWidget* client_;
    int borderStyle_ = 1;
    int appearance_ = 1;
};

} // namespace forms
