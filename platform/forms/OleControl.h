#pragma once
// OleControl: a component control placed on a form, made by class id from
// the library the registry names for it, the way the form's design data
// places it. Its state comes from the form's design data, a property stream
// in the design folder named "<form>.<control>.stm" ("cmAddress(0)" for an
// element of a control array). The control's Click event is raised as this
// control's Click.
//
// The lifecycle, as the component expects it of its container:
//   construction: created (error 339 naming the library when that fails),
//     given its client site first, loaded from the design data (or
//     initialised with its defaults when there is none; one line on
//     standard error says so);
//   every move and resize: SetExtent and SetObjectRects;
//   first shown: activated in place, its window a child of the control's;
//   destruction: deactivated, closed, its site cleared, released.
//
// A control kind names its class and library once:
//   inline constexpr CLSID CLSID_Thing = com::GuidLiteral("{...}");
//   inline constexpr char kThingLibrary[] = "libthing.so";
//   using Thing = forms::OleControlOf<CLSID_Thing, kThingLibrary>;
//   Thing cmdOK{*this, "cmdOK"};
//   forms::ControlArray<Thing> cmAddress{*this, "cmAddress", {0, 1}};

#include "platform/com/ControlSite.h"
#include "platform/forms/Control.h"

#include <filesystem>
#include <string>

namespace forms {

class OleControl : public Control {
public:
    ~OleControl() override;

    // The component, for its own properties and methods (the form's Object).
    com::ComPtr<IDispatch> Object() const;
    com::ControlSite& Site() const { return *site_.Get(); }
    // The component's own window once it is active (the form was shown),
    // else null: what the user clicks and types into.
    QWidget* Window() const { return site_->ControlWindow(); }
    // Where this control's design data is read from.
    std::filesystem::path DesignFile() const;

    void SetEnabled(bool enabled) override;
    // The control's place in the order Tab walks through its form: 0 first.
    int TabIndex() const;

protected:
    OleControl(Container& parent, std::string name, int index, const CLSID& clsid, const char* library);

    // The component's own click is the only one.
    bool ClicksOnMouse() const override { return false; }
    void GeometryApplied() override;

private:
    class Holder;
    void create(const CLSID& clsid, const char* library);
    void load();
    void activate();
    void close();
    std::string designName() const;
    OLE_COLOR formColor() const;

    QPointer<QWidget> holder_;
    com::ComPtr<com::ControlSite> site_;
};

template <const CLSID& Clsid, const char* Library>
class OleControlOf : public OleControl {
public:
    OleControlOf(Container& parent, std::string name, int index = -1)
        : OleControl(parent, std::move(name), index, Clsid, Library)
    {
    }
};

// The folder of the forms' design data: "forms" in the install folder
// unless set (tests point it at the build's own).
std::filesystem::path DesignFolder();
void SetDesignFolder(const std::filesystem::path& folder);

} // namespace forms
