#pragma once
// The interfaces between a control and its container, in the small form the
// controls and containers of this system use: the container's client site,
// in-place site and control site, and the control's object, in-place object,
// active object, control, view and property-browsing interfaces. Windows are
// widgets; extents are in HIMETRIC (hundredths of a millimetre); rectangles
// are in the container widget's pixels.

#include "platform/com/Dispatch.h"
#include "platform/gdi/GdiDraw.h"
#include "platform/win/Accelerators.h"
#include "platform/win/Messages.h"

#include <cstdlib>

using MSG = win::MSG;
using LPMSG = win::MSG*;

struct POINTL {
    LONG x;
    LONG y;
};

// Misc status bits a control reports and its container honours.
inline constexpr DWORD OLEMISC_RECOMPOSEONRESIZE = 0x1;
inline constexpr DWORD OLEMISC_CANTLINKINSIDE = 0x10;
inline constexpr DWORD OLEMISC_INSIDEOUT = 0x80;
inline constexpr DWORD OLEMISC_ACTIVATEWHENVISIBLE = 0x100;
inline constexpr DWORD OLEMISC_SETCLIENTSITEFIRST = 0x20000;

// Verbs.
inline constexpr LONG OLEIVERB_PRIMARY = 0;
inline constexpr LONG OLEIVERB_SHOW = -1;
inline constexpr LONG OLEIVERB_HIDE = -3;
inline constexpr LONG OLEIVERB_UIACTIVATE = -4;
inline constexpr LONG OLEIVERB_INPLACEACTIVATE = -5;
inline constexpr LONG OLEIVERB_PROPERTIES = -7;

inline constexpr DWORD DVASPECT_CONTENT = 1;

inline constexpr DWORD OLECLOSE_SAVEIFDIRTY = 0;
inline constexpr DWORD OLECLOSE_NOSAVE = 1;

inline constexpr DWORD USERCLASSTYPE_FULL = 1;
inline constexpr DWORD USERCLASSTYPE_SHORT = 2;

inline constexpr DWORD HITRESULT_OUTSIDE = 0;
inline constexpr DWORD HITRESULT_HIT = 3;

inline constexpr HRESULT OLEOBJ_E_NOVERBS = com::detail::Code(0x80040180);
inline constexpr HRESULT OLEOBJ_S_INVALIDVERB = com::detail::Code(0x00040180);
inline constexpr HRESULT OLE_E_NOT_INPLACEACTIVE = com::detail::Code(0x80040010);
inline constexpr HRESULT PERPROP_E_NOPAGEAVAILABLE = com::detail::Code(0x80040200);

// What a control tells its container about its keys.
struct CONTROLINFO {
    ULONG cb;
    win::HACCEL hAccel;
    WORD cAccel;
    DWORD dwFlags;
};
inline constexpr DWORD CTRLINFO_EATS_RETURN = 1;
inline constexpr DWORD CTRLINFO_EATS_ESCAPE = 2;

// Counted arrays handed to the caller, who frees them with CoTaskMemFree.
struct CAUUID {
    ULONG cElems;
    GUID* pElems;
};
struct CALPOLESTR {
    ULONG cElems;
    LPOLESTR* pElems;
};
struct CADWORD {
    ULONG cElems;
    DWORD* pElems;
};

inline void* CoTaskMemAlloc(std::size_t bytes)
{
    return std::malloc(bytes ? bytes : 1);
}
inline void CoTaskMemFree(void* p)
{
    std::free(p);
}

// --- The container's side -------------------------------------------------

struct IOleClientSite : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{00000118-0000-0000-C000-000000000046}");
    // The control asks to be made visible.
    virtual HRESULT ShowObject() = 0;
    virtual HRESULT OnShowWindow(BOOL show) = 0;

protected:
    ~IOleClientSite() = default;
};

struct IOleWindow : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{00000114-0000-0000-C000-000000000046}");
    virtual HRESULT GetWindow(HWND* hwnd) = 0;

protected:
    ~IOleWindow() = default;
};

struct IOleInPlaceSite : IOleWindow {
    static constexpr IID kIid = com::GuidLiteral("{00000119-0000-0000-C000-000000000046}");
    // S_OK when the container lets the control activate in place.
    virtual HRESULT CanInPlaceActivate() = 0;
    virtual HRESULT OnInPlaceActivate() = 0;
    virtual HRESULT OnUIActivate() = 0;
    // Where the control's window goes, in the site window's pixels, and what
    // of it is visible.
    virtual HRESULT GetWindowContext(RECT* position, RECT* clip) = 0;
    virtual HRESULT OnUIDeactivate(BOOL undoable) = 0;
    virtual HRESULT OnInPlaceDeactivate() = 0;
    // The control asks for a new position; the container answers with
    // SetObjectRects.
    virtual HRESULT OnPosRectChange(const RECT* position) = 0;

protected:
    ~IOleInPlaceSite() = default;
};

struct IOleControlSite : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{B196B289-BAB4-101A-B69C-00AA00341D07}");
    // The control's keys changed: the container asks GetControlInfo again.
    virtual HRESULT OnControlInfoChanged() = 0;
    virtual HRESULT OnFocus(BOOL gotFocus) = 0;
    // S_OK when the container showed the property frame itself.
    virtual HRESULT ShowPropertyFrame() = 0;

protected:
    ~IOleControlSite() = default;
};

// --- The control's side ----------------------------------------------------

struct IOleObject : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{00000112-0000-0000-C000-000000000046}");
    virtual HRESULT SetClientSite(IOleClientSite* site) = 0;
    virtual HRESULT GetClientSite(IOleClientSite** site) = 0;
    virtual HRESULT Close(DWORD saveOption) = 0;
    // parent and position may be null: the site's window and context are asked.
    virtual HRESULT DoVerb(LONG verb, MSG* msg, IOleClientSite* site, LONG index, HWND parent,
                           const RECT* position) = 0;
    virtual HRESULT GetUserClassID(CLSID* clsid) = 0;
    // A new string the caller frees with CoTaskMemFree.
    virtual HRESULT GetUserType(DWORD form, LPOLESTR* name) = 0;
    virtual HRESULT SetExtent(DWORD aspect, SIZEL* size) = 0;
    virtual HRESULT GetExtent(DWORD aspect, SIZEL* size) = 0;
    virtual HRESULT GetMiscStatus(DWORD aspect, DWORD* status) = 0;

protected:
    ~IOleObject() = default;
};

struct IOleInPlaceObject : IOleWindow {
    static constexpr IID kIid = com::GuidLiteral("{00000113-0000-0000-C000-000000000046}");
    // Destroys the control's window.
    virtual HRESULT InPlaceDeactivate() = 0;
    virtual HRESULT UIDeactivate() = 0;
    virtual HRESULT SetObjectRects(const RECT* position, const RECT* clip) = 0;

protected:
    ~IOleInPlaceObject() = default;
};

struct IOleInPlaceActiveObject : IOleWindow {
    static constexpr IID kIid = com::GuidLiteral("{00000117-0000-0000-C000-000000000046}");
    // S_OK when the control used the key message.
    virtual HRESULT TranslateAccelerator(MSG* msg) = 0;

protected:
    ~IOleInPlaceActiveObject() = default;
};

struct IOleControl : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{B196B288-BAB4-101A-B69C-00AA00341D07}");
    virtual HRESULT GetControlInfo(CONTROLINFO* info) = 0;
    virtual HRESULT OnMnemonic(MSG* msg) = 0;
    virtual HRESULT OnAmbientPropertyChange(DISPID id) = 0;
    virtual HRESULT FreezeEvents(BOOL freeze) = 0;

protected:
    ~IOleControl() = default;
};

struct IViewObject : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{0000010D-0000-0000-C000-000000000046}");
    // Draws the control into hdc within bounds (the DC's coordinates).
    virtual HRESULT Draw(DWORD aspect, HDC hdc, const RECT* bounds) = 0;

protected:
    ~IViewObject() = default;
};

struct IViewObjectEx : IViewObject {
    static constexpr IID kIid = com::GuidLiteral("{3AF24292-0C96-11CE-A0CF-00AA00600AB8}");
    virtual HRESULT QueryHitPoint(DWORD aspect, const RECT* bounds, POINT location, LONG closeHint,
                                  DWORD* hitResult) = 0;

protected:
    ~IViewObjectEx() = default;
};

struct ISpecifyPropertyPages : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{B196B28B-BAB4-101A-B69C-00AA00341D07}");
    virtual HRESULT GetPages(CAUUID* pages) = 0;

protected:
    ~ISpecifyPropertyPages() = default;
};

struct IPerPropertyBrowsing : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{376BD3AA-3845-101B-84ED-08002B2EC713}");
    virtual HRESULT GetDisplayString(DISPID id, BSTR* text) = 0;
    virtual HRESULT MapPropertyToPage(DISPID id, CLSID* page) = 0;
    virtual HRESULT GetPredefinedStrings(DISPID id, CALPOLESTR* strings, CADWORD* cookies) = 0;
    virtual HRESULT GetPredefinedValue(DISPID id, DWORD cookie, VARIANT* value) = 0;

protected:
    ~IPerPropertyBrowsing() = default;
};
