#pragma once
// A container's place for one control on a widget: the client site with its
// ambient properties (UserMode, BackColor, DisplayName; MessageReflect is
// always TRUE, UIDead FALSE), the in-place site whose window is the host
// widget, the control site, the event sink and the property-notify sink.
//
// The lifecycle a container follows:
//   Create (or Attach): the site is set first when the control asks for it
//   (OLEMISC_SETCLIENTSITEFIRST), events and property notifications are
//   advised; then InitNew or Load; SetExtent; Activate when shown (the
//   control makes its window as a child of the host); SetRect on layout;
//   Deactivate; Close (which the owner must call: the control holds the site).
//
// Alt+key presses inside the host's window that match the control's
// mnemonic table (GetControlInfo) reach the control's OnMnemonic, unless the
// control's own window has the key.

#include "platform/com/ConnectionInterfaces.h"
#include "platform/com/EventSink.h"
#include "platform/com/OleInterfaces.h"
#include "platform/com/PersistInterfaces.h"
#include "platform/com/TypeInfo.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QObject;
class QWidget;

namespace com {

class ControlSite final : public ComObject<ControlSite, IOleClientSite, IOleInPlaceSite, IOleControlSite,
                                           DispatchImpl<ControlSite>, IPropertyNotifySink> {
public:
    explicit ControlSite(QWidget* host);
    ~ControlSite() override;

    static const DispatchTable& Table();
    std::span<const InterfaceEntry> InterfaceTable() const;

    // The control, made through the loader by its class.
    HRESULT Create(REFCLSID clsid);
    HRESULT Attach(IUnknown* control);
    HRESULT InitNew();
    HRESULT Load(IStream* stream);
    HRESULT Load(IPropertyBag* bag);
    HRESULT Save(IStream* stream);
    HRESULT Save(IPropertyBag* bag);
    // The control's size in HIMETRIC; the position keeps its corner and takes
    // the size in pixels at the screen's DPI.
    HRESULT SetExtent(SIZEL himetric);
    // Where the control's window goes, in the host's pixels.
    HRESULT SetRect(const RECT& position);
    const RECT& Rect() const { return position_; }
    // In-place activation: the control makes its window under the host.
    HRESULT Activate();
    HRESULT Deactivate();
    bool Active() const { return active_; }
    // Ends the control's use: deactivated, disconnected, closed, its site
    // cleared, released. Safe to call twice.
    void Close();

    IUnknown* Control() const { return control_.Get(); }
    template <class I>
    ComPtr<I> ControlAs() const
    {
        return control_.As<I>();
    }
    HWND ControlWindow() const;
    QWidget* Host() const { return host_.data(); }
    EventSink* Events() const { return events_.Get(); }

    // Ambient properties; a change is announced to the control.
    bool UserMode() const { return userMode_; }
    void SetUserMode(bool userMode);
    OLE_COLOR BackColor() const { return backColor_; }
    void SetBackColor(OLE_COLOR color);
    std::string DisplayName() const { return displayName_; }
    void SetDisplayName(std::string name);
    bool MessageReflect() const { return true; }
    bool UIDead() const { return false; }

    // What the container hears; each may be left empty.
    std::function<void(DISPID)> onChanged;
    // False refuses the edit.
    std::function<bool(DISPID)> onRequestEdit;
    // Called before the site moves the control there.
    std::function<void(const RECT&)> onPosRectChange;
    std::function<void(bool)> onFocus;
    std::function<void()> onControlInfoChanged;
    std::function<void()> onShowObject;

    // IOleClientSite
    HRESULT ShowObject() override;
    HRESULT OnShowWindow(BOOL show) override;
    // IOleInPlaceSite
    HRESULT GetWindow(HWND* hwnd) override;
    HRESULT CanInPlaceActivate() override;
    HRESULT OnInPlaceActivate() override;
    HRESULT OnUIActivate() override;
    HRESULT GetWindowContext(RECT* position, RECT* clip) override;
    HRESULT OnUIDeactivate(BOOL undoable) override;
    HRESULT OnInPlaceDeactivate() override;
    HRESULT OnPosRectChange(const RECT* position) override;
    // IOleControlSite
    HRESULT OnControlInfoChanged() override;
    HRESULT OnFocus(BOOL gotFocus) override;
    HRESULT ShowPropertyFrame() override;
    // IPropertyNotifySink
    HRESULT OnChanged(DISPID id) override;
    HRESULT OnRequestEdit(DISPID id) override;

    // Hands an Alt+key message to the control when its mnemonic table has
    // the key; true when it did.
    bool RouteMnemonic(const MSG& msg);

private:
    void ambientChanged(DISPID id);
    void ensureSite();
    void readControlInfo();
    void connect();
    void disconnect();
    RECT clipRect() const;

    QPointer<QWidget> host_;
    ComPtr<IUnknown> control_;
    ComPtr<EventSink> events_;
    DWORD eventCookie_ = 0;
    DWORD notifyCookie_ = 0;
    RECT position_{0, 0, 0, 0};
    bool active_ = false;
    bool userMode_ = true;
    OLE_COLOR backColor_ = 0xC0C0C0;
    std::string displayName_;
    std::vector<win::ACCEL> mnemonics_;
    std::unique_ptr<QObject> keyFilter_;
};

// A new site on host with one reference for the caller.
ComPtr<ControlSite> NewControlSite(QWidget* host);

} // namespace com
