#pragma once
// User controls: a control of the program's own, made of a drawing surface
// and constituent controls, with the lifecycle a host gives it:
//   - the control's constructor ends with Initialize(), its destructor
//     begins with Terminate();
//   - a new instance gets InitNew() (UserControl_InitProperties), one with
//     design values ReadFrom(bag) (UserControl_ReadProperties); WriteTo(bag)
//     saves them (UserControl_WriteProperties);
//   - UserControl_Resize after every change of size, UserControl_ExitFocus
//     when the focus leaves the control and everything in it;
//   - with KeyPreview the control's key handlers see the keys typed into its
//     constituent controls first.
// Inside, ScaleWidth and ScaleHeight are twips (the inner area, without the
// border); Left, Top, Width and Height are the host's (extender) values.
// Events a control raises to its host are forms::Event members; arguments
// passed by reference are Event<int&>.

#include "platform/forms/PictureBox.h"
#include "platform/forms/PropertyBag.h"

#include <set>
#include <string>
#include <string_view>

namespace forms {

struct AmbientProperties {
    QFont Font;
};

class UserControl : public PictureBox {
public:
    ~UserControl() override;

    // Host side.
    void InitNew();
    void ReadFrom(PropertyBag& bag);
    void WriteTo(PropertyBag& bag);

    // Inside: the host's properties, and the outer height in twips.
    AmbientProperties Ambient() const;
    double ExtentHeight() const;
    void SetExtentHeight(double twips);
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool on) { keyPreview_ = on; }
    const QPixmap& MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(const QPixmap& icon);
    // Marks a property as changed (it needs saving).
    void PropertyChanged(std::string_view name);
    const std::set<std::string>& ChangedProperties() const { return changed_; }

    void PreviewKeyDown(int& keyCode, int& shift) override;
    void PreviewKeyPress(int& keyAscii) override;
    void PreviewKeyUp(int& keyCode, int& shift) override;

protected:
    UserControl(Container& parent, std::string name, int index);

    // Runs UserControl_Initialize once; the last statement of the control's constructor.
    void Initialize();
    // Runs UserControl_Terminate once; the first statement of its destructor.
    void Terminate();

    virtual void UserControl_Initialize() {}
    virtual void UserControl_Terminate() {}
    virtual void UserControl_InitProperties() {}
    virtual void UserControl_ReadProperties(PropertyBag& PropBag) { (void)PropBag; }
    virtual void UserControl_WriteProperties(PropertyBag& PropBag) { (void)PropBag; }
    virtual void UserControl_Resize() {}
    virtual void UserControl_ExitFocus() {}
    virtual void UserControl_KeyDown(int& KeyCode, int& Shift) { (void)KeyCode, (void)Shift; }
    virtual void UserControl_KeyPress(int& KeyAscii) { (void)KeyAscii; }
    virtual void UserControl_KeyUp(int& KeyCode, int& Shift) { (void)KeyCode, (void)Shift; }
    virtual void UserControl_MouseDown(int Button, int Shift, float X, float Y) { (void)Button, (void)Shift, (void)X, (void)Y; }
    virtual void UserControl_MouseUp(int Button, int Shift, float X, float Y) { (void)Button, (void)Shift, (void)X, (void)Y; }
    virtual void UserControl_MouseMove(int Button, int Shift, float X, float Y) { (void)Button, (void)Shift, (void)X, (void)Y; }
    virtual void UserControl_DblClick() {}

    // The surface's own input goes to the handlers above, not to the host.
    void OnMouseDown(int button, int shift, float x, float y) override { UserControl_MouseDown(button, shift, x, y); }
    void OnMouseUp(int button, int shift, float x, float y) override { UserControl_MouseUp(button, shift, x, y); }
    void OnMouseMove(int button, int shift, float x, float y) override { UserControl_MouseMove(button, shift, x, y); }
    void OnClick() override {}
    void OnDblClick() override { UserControl_DblClick(); }
    void OnKeyDown(int& keyCode, int& shift) override { UserControl_KeyDown(keyCode, shift); }
    void OnKeyPress(int& keyAscii) override { UserControl_KeyPress(keyAscii); }
    void OnKeyUp(int& keyCode, int& shift) override { UserControl_KeyUp(keyCode, shift); }

    void GeometryApplied() override;
    void FrameResized() override;

private:
    bool resizedTo(const QSize& size);

    bool initialized_ = false;
    bool terminated_ = false;
    bool keyPreview_ = false;
    QPixmap mouseIcon_;
    QSize notifiedSize_;
    std::set<std::string> changed_;
};

} // namespace forms
