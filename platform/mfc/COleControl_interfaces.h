#pragma once
// The interfaces a control hands out, each a small object inside the
// control that shares its reference count and identity and passes the calls
// on to it. Only the control's own files include this.

#include "platform/mfc/COleControl.h"

#include <optional>

// The control's private interface: the way back from an interface to the
// object, for the module's own code only (COleControl::FromIDispatch).
struct IControlObject : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{8E3B5A27-61D4-4C0F-9B52-2D7E4A1C9F30}");
    // The object when module is the asking module's own mark, else null.
    virtual COleControl* Object(const void* module) = 0;

protected:
    ~IControlObject() = default;
};

struct COleControl::Interfaces {
    // One interface of the control.
    template <class I>
    struct Part : I {
        explicit Part(COleControl& owner) : c(owner) {}
        HRESULT QueryInterface(REFIID iid, void** object) override { return c.ExternalQueryInterface(iid, object); }
        ULONG AddRef() override { return c.ExternalAddRef(); }
        ULONG Release() override { return c.ExternalRelease(); }
        COleControl& c;
    };

    struct Dispatch final : Part<IDispatch> {
        using Part::Part;
        HRESULT GetTypeInfoCount(UINT* count) override;
        HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
        HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
        HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* excepInfo, UINT* argErr) override;
    };

    struct OleObject final : Part<IOleObject> {
        using Part::Part;
        HRESULT SetClientSite(IOleClientSite* site) override;
        HRESULT GetClientSite(IOleClientSite** site) override;
        HRESULT Close(DWORD saveOption) override;
        HRESULT DoVerb(LONG verb, MSG* msg, IOleClientSite* site, LONG index, HWND parent,
                       const RECT* position) override;
        HRESULT GetUserClassID(CLSID* clsid) override;
        HRESULT GetUserType(DWORD form, LPOLESTR* name) override;
        HRESULT SetExtent(DWORD aspect, SIZEL* size) override;
        HRESULT GetExtent(DWORD aspect, SIZEL* size) override;
        HRESULT GetMiscStatus(DWORD aspect, DWORD* status) override;
    };

    struct InPlaceObject final : Part<IOleInPlaceObject> {
        using Part::Part;
        HRESULT GetWindow(HWND* hwnd) override;
        HRESULT InPlaceDeactivate() override;
        HRESULT UIDeactivate() override;
        HRESULT SetObjectRects(const RECT* position, const RECT* clip) override;
    };

    struct ActiveObject final : Part<IOleInPlaceActiveObject> {
        using Part::Part;
        HRESULT GetWindow(HWND* hwnd) override;
        HRESULT TranslateAccelerator(MSG* msg) override;
    };

    struct OleControl final : Part<IOleControl> {
        using Part::Part;
        HRESULT GetControlInfo(CONTROLINFO* info) override;
        HRESULT OnMnemonic(MSG* msg) override;
        HRESULT OnAmbientPropertyChange(DISPID id) override;
        HRESULT FreezeEvents(BOOL freeze) override;
    };

    struct ViewObject final : Part<IViewObjectEx> {
        using Part::Part;
        HRESULT Draw(DWORD aspect, HDC hdc, const RECT* bounds) override;
        HRESULT QueryHitPoint(DWORD aspect, const RECT* bounds, POINT location, LONG closeHint,
                              DWORD* hitResult) override;
    };

    struct PersistStream final : Part<IPersistStreamInit> {
        using Part::Part;
        HRESULT GetClassID(CLSID* clsid) override;
        HRESULT IsDirty() override;
        HRESULT Load(IStream* stream) override;
        HRESULT Save(IStream* stream, BOOL clearDirty) override;
        HRESULT GetSizeMax(std::uint64_t* size) override;
        HRESULT InitNew() override;
    };

    struct PersistBag final : Part<IPersistPropertyBag> {
        using Part::Part;
        HRESULT GetClassID(CLSID* clsid) override;
        HRESULT InitNew() override;
        HRESULT Load(IPropertyBag* bag, IErrorLog* log) override;
        HRESULT Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
    };

    struct PointContainer final : Part<IConnectionPointContainer> {
        using Part::Part;
        HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override;
        HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
    };

    struct ClassInfo final : Part<IProvideClassInfo2> {
        using Part::Part;
        HRESULT GetClassInfo(ITypeInfo** info) override;
        HRESULT GetGUID(DWORD kind, GUID* guid) override;
    };

    struct PropertyPages final : Part<ISpecifyPropertyPages> {
        using Part::Part;
        HRESULT GetPages(CAUUID* pages) override;
    };

    struct Browsing final : Part<IPerPropertyBrowsing> {
        using Part::Part;
        HRESULT GetDisplayString(DISPID id, BSTR* text) override;
        HRESULT MapPropertyToPage(DISPID id, CLSID* page) override;
        HRESULT GetPredefinedStrings(DISPID id, CALPOLESTR* strings, CADWORD* cookies) override;
        HRESULT GetPredefinedValue(DISPID id, DWORD cookie, VARIANT* value) override;
    };

    struct ObjectAccess final : Part<IControlObject> {
        using Part::Part;
        COleControl* Object(const void* module) override;
    };

    // What the control's font holders report their changes to. Not counted:
    // a font held by the control must not keep the control alive; its holder
    // disconnects before the control goes.
    struct FontNotification final : IPropertyNotifySink {
        explicit FontNotification(COleControl& owner) : c(owner) {}
        HRESULT QueryInterface(REFIID iid, void** object) override;
        ULONG AddRef() override { return 1; }
        ULONG Release() override { return 1; }
        HRESULT OnChanged(DISPID id) override;
        HRESULT OnRequestEdit(DISPID id) override;
        COleControl& c;
    };

    explicit Interfaces(COleControl& c)
        : dispatch(c), oleObject(c), inPlaceObject(c), activeObject(c), oleControl(c), viewObject(c),
          persistStream(c), persistBag(c), pointContainer(c), classInfo(c), propertyPages(c), browsing(c),
          objectAccess(c), fontNotification(c), notify(dispatch, IID_IPropertyNotifySink)
    {
    }

    // The connection points in the order they are enumerated.
    std::vector<com::ConnectionPoint*> Points();

    Dispatch dispatch;
    OleObject oleObject;
    InPlaceObject inPlaceObject;
    ActiveObject activeObject;
    OleControl oleControl;
    ViewObject viewObject;
    PersistStream persistStream;
    PersistBag persistBag;
    PointContainer pointContainer;
    ClassInfo classInfo;
    PropertyPages propertyPages;
    Browsing browsing;
    ObjectAccess objectAccess;
    FontNotification fontNotification;
    std::optional<com::ConnectionPoint> events;
    com::ConnectionPoint notify;
};
