#pragma once
// What every control on a form shares: name and Index, position and size in
// the units of its container, visibility, focus, tool tip, font, colours,
// and the mouse, key and focus events. A control is a member of its form:
//   forms::TextBox txtName{*this, "txtName"};
// Its Qt widget is a child of the container's widget and goes with it.

#include "platform/forms/Color.h"
#include "platform/forms/Runtime.h"

#include <QFont>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <concepts>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

class QPixmap;
class QEvent;
class QKeyEvent;
class QMouseEvent;

namespace forms {

class Form;

// Something controls are placed on: a form, a frame, a picture box, a user control.
class Container {
public:
    virtual ~Container() = default;
    // The widget the controls' widgets are children of.
    virtual QWidget* ClientWidget() const = 0;
    // Twips per unit of the container's coordinates (1 for twips, 15 for pixels).
    virtual double TwipsPerUnit() const = 0;
    virtual Form& ParentForm() = 0;
    // The keys typed into the container's controls, before the controls see
    // them (a user control's key preview). Setting the code to 0 swallows it.
    virtual void PreviewKeyDown(int& keyCode, int& shift) { (void)keyCode, (void)shift; }
    virtual void PreviewKeyPress(int& keyAscii) { (void)keyAscii; }
    virtual void PreviewKeyUp(int& keyCode, int& shift) { (void)keyCode, (void)shift; }
};

// Mouse pointers (MousePointer).
enum : int { vbDefault = 0, vbArrow = 1, vbCrosshair = 2, vbIbeam = 3, vbHourglass = 11, vbCustom = 99 };

class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    // The element's index in its control array; -1 for a single control.
    int Index() const { return index_; }
    Container& Parent() const { return parent_; }
    QWidget* Widget() const { return widget_; }

    // Position and size in the container's units. A negative size raises 380.
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void SetLeft(double value);
    void SetTop(double value);
    virtual void SetWidth(double value);
    virtual void SetHeight(double value);
    void Move(double left, std::optional<double> top = {}, std::optional<double> width = {},
              std::optional<double> height = {});

    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    virtual void SetEnabled(bool enabled);
    std::string ToolTipText() const;
    void SetToolTipText(std::string_view text);
    QFont Font() const;
    virtual void SetFont(const QFont& font);
    virtual OLE_COLOR BackColor() const;
    virtual void SetBackColor(OLE_COLOR color);
    virtual OLE_COLOR ForeColor() const;
    virtual void SetForeColor(OLE_COLOR color);
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int pointer);
    // 0 brings the control to the front, 1 sends it to the back.
    void ZOrder(int position = 0);
    void SetFocus();
    void Refresh();
    // While one of the control's own events runs.
    bool Busy() const { return busy_ > 0; }

    std::string Tag;

    Event<> Click;
    Event<> DblClick;
    Event<int, int, float, float> MouseDown; // Button, Shift, X, Y
    Event<int, int, float, float> MouseUp;
    Event<int, int, float, float> MouseMove;
    Event<int&, int&> KeyDown; // KeyCode (0 swallows the key), Shift
    Event<int&> KeyPress;      // KeyAscii (0 swallows it, another code types that instead)
    Event<int&, int&> KeyUp;
    Event<> GotFocus;
    Event<> LostFocus;

protected:
    Control(Container& parent, std::string name, int index);

    // Hands the control its widget (a child of the container's widget); the
    // control watches its input events from then on.
    void Attach(QWidget* widget);
    // Watches an inner widget as well: the edit of a combo box (keys), the
    // viewport of a list (mouse).
    void WatchInput(QWidget* widget, bool keysOnly);
    // A custom pointer for MousePointer 99.
    void SetCustomCursor(const QPixmap& picture);

    // Whether a press and release on the widget raise Click (controls with a
    // click of their own, buttons and lists, say no).
    virtual bool ClicksOnMouse() const { return true; }
    // Whether the control takes its mouse events for itself (windowless
    // controls do; native widgets handle their own).
    virtual bool ConsumesMouse() const { return false; }
    // Twips per unit of the X and Y passed to the mouse events, and the
    // widget they are measured from.
    virtual double MouseTwipsPerUnit() const;
    virtual QWidget* MouseOrigin() const { return widget_; }
    // A KeyPress whose code a handler changed: type that character instead.
    virtual void TypeCharacter(int keyAscii);
    // Whether events of the window system reach the handlers (not once the
    // form is unloaded).
    bool Live() const;
    // Where the window system's input goes: by default the events above. A
    // user control takes its surface's input for itself.
    virtual void OnMouseDown(int button, int shift, float x, float y) { MouseDown.Raise(button, shift, x, y); }
    virtual void OnMouseUp(int button, int shift, float x, float y) { MouseUp.Raise(button, shift, x, y); }
    virtual void OnMouseMove(int button, int shift, float x, float y) { MouseMove.Raise(button, shift, x, y); }
    virtual void OnClick() { Click.Raise(); }
    virtual void OnDblClick() { DblClick.Raise(); }
    virtual void OnKeyDown(int& keyCode, int& shift) { KeyDown.Raise(keyCode, shift); }
    virtual void OnKeyPress(int& keyAscii) { KeyPress.Raise(keyAscii); }
    virtual void OnKeyUp(int& keyCode, int& shift) { KeyUp.Raise(keyCode, shift); }
    // While ApplyGeometry puts a size set by the program onto the widget.
    bool ApplyingGeometry() const { return applying_; }

    // Puts the geometry in twips onto the widget.
    void ApplyGeometry();
    // After the widget's geometry changed (inner parts follow at once, even
    // while the window is hidden and Qt holds back its resize events).
    virtual void GeometryApplied() {}

private:
    friend class InputBridge;
    bool HandleInput(QWidget* source, QEvent* event);

    Container& parent_;
    Form& form_;
    std::string name_;
    int index_;
    QPointer<QWidget> widget_;
    QRectF twips_; // last geometry set, in twips, kept for exact read-back
    int mousePointer_ = vbDefault;
    bool pressed_ = false;
    int busy_ = 0;
    bool applying_ = false;
    OLE_COLOR backColor_ = vbButtonFace;
    OLE_COLOR foreColor_ = vbButtonText;
};

// A control array: elements reached by Index, with one handler per event
// for all of them, which receives the Index first.
//   ControlArray<PictureBox> But1{*this, "But1", {0, 1, 2}};
//   But1.On(&PictureBox::MouseDown, [this](int Index, int Button, int Shift, float X, float Y) {...});
template <class T>
class ControlArray {
public:
    ControlArray(Container& parent, std::string name, std::initializer_list<int> indexes)
        : parent_(&parent)
        , name_(std::move(name))
    {
        for (int i : indexes)
            Load(i);
    }
    // Elements on different containers (the pages of a tab control):
    //   ControlArray<TextBox> txtStreet{"txtStreet", {{0, SSTab1.TabPage(0)}, {1, SSTab1.TabPage(1)}}};
    // Load(index) then places a new element on the first element's container.
    ControlArray(std::string name, std::initializer_list<std::pair<int, std::reference_wrapper<Container>>> placed)
        : name_(std::move(name))
    {
        for (const auto& [i, container] : placed)
            Load(i, container.get());
    }

    // Raises 340 for an element that does not exist.
    T& operator()(int index) const
    {
        auto it = items_.find(index);
        if (it == items_.end())
            vb::Raise(340, "Control array element '" + std::to_string(index) + "' doesn't exist");
        return *it->second;
    }
    bool Exists(int index) const { return items_.count(index) > 0; }
    int Count() const { return static_cast<int>(items_.size()); }
    int LBound() const { return items_.empty() ? 0 : items_.begin()->first; }
    int UBound() const { return items_.empty() ? -1 : items_.rbegin()->first; }

    // Load: a new element (raises 360 when it exists); Unload removes one.
    T& Load(int index) { return Load(index, *parent_); }
    T& Load(int index, Container& parent)
    {
        if (Exists(index))
            vb::Raise(360, "Object already loaded");
        if (!parent_)
            parent_ = &parent;
        auto item = std::make_unique<T>(parent, name_, index);
        T& ref = *item;
        items_.emplace(index, std::move(item));
        for (auto& wire : wirings_)
            wire(ref);
        return ref;
    }
    // Raises 365 for an element whose own event is running.
    void Unload(int index)
    {
        auto it = items_.find(index);
        if (it == items_.end())
            return;
        if (it->second->Busy())
            vb::Raise(365, "Unable to unload within this context");
        items_.erase(it);
    }

    template <class B, class... A>
        requires std::derived_from<T, B>
    void On(Event<A...> B::*event, std::type_identity_t<std::function<void(int, A...)>> handler)
    {
        auto wire = [event, handler](T& item) {
            const int i = item.Index();
            static_cast<B&>(item).*event = [handler, i](A... args) { handler(i, std::forward<A>(args)...); };
        };
        for (auto& [i, item] : items_)
            wire(*item);
        wirings_.push_back(wire);
    }

    template <class F>
    void ForEach(F&& f) const
    {
        for (auto& [i, item] : items_)
            f(*item);
    }

private:
    Container* parent_ = nullptr;
    std::string name_;
    std::map<int, std::unique_ptr<T>> items_;
    std::vector<std::function<void(T&)>> wirings_;
};

} // namespace forms
