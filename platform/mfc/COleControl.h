#pragma once
// The base of a control: a COM object with the interfaces containers use
// (OleInterfaces.h, PersistInterfaces.h, IDispatch, connection points, class
// information) and a window made while the control is active in place.
//
// A control class derives from it, calls InitializeIIDs with its dispatch
// and event interfaces in its constructor, gives its tables through
// GetDispatchMap and GetEventMap (the stock members below go in there as its
// own), its class through GetClassID, and overrides the On... operations
// it needs. Its dispatch table's functions take the control's own class, and
// the control is always that class (a final class).
//
// Window: created by in-place activation as a child of the in-place site's
// window, at the site's position; destroyed by deactivation. A subclassed
// control (IsSubclassedControl) gets an owner-drawn button window and paints
// in OCM_DRAWITEM; another paints in OnDraw. The container always reflects
// messages here, so the framework's reflector window, the non-client painting
// and the removal of WS_CLIPCHILDREN from the container have no counterpart.
//
// Stock events follow the framework's rules: MouseDown, MouseMove and MouseUp
// with the button (1 left, 2 right, 4 middle), the shift mask (1 Shift,
// 2 Ctrl, 4 Alt) and the position in pixels; a release of a button pressed on
// the control is a click (OnClick, which fires Click) when it is inside the
// client rectangle, except the release that ends a double-click; KeyDown and
// KeyUp with the virtual-key code by reference (a sink that sets it to 0
// keeps the key from the window). Events are dropped while frozen.

#include "platform/com/ConnectionPoint.h"
#include "platform/com/HandleTable.h"
#include "platform/com/OleInterfaces.h"
#include "platform/com/PersistInterfaces.h"
#include "platform/com/TypeInfo.h"
#include "platform/com/UiServices.h"
#include "platform/mfc/CPropExchange.h"
#include "platform/mfc/CWnd.h"

#include <initializer_list>
#include <memory>
#include <vector>

// Mouse buttons of the stock events.
inline constexpr short LEFT_BUTTON = 1;
inline constexpr short RIGHT_BUTTON = 2;
inline constexpr short MIDDLE_BUTTON = 4;

class COleControl : public CWnd, protected com::RefCounted {
public:
    COleControl();
    ~COleControl() override;

    // --- COM identity ---------------------------------------------------
    HRESULT ExternalQueryInterface(REFIID iid, void** object);
    ULONG ExternalAddRef();
    ULONG ExternalRelease();
    // The same, under IUnknown's names (what com::CreateObject calls).
    HRESULT QueryInterface(REFIID iid, void** object) { return ExternalQueryInterface(iid, object); }
    ULONG AddRef() { return ExternalAddRef(); }
    ULONG Release() { return ExternalRelease(); }
    // The object's IUnknown (not counted).
    IUnknown* GetControllingUnknown();
    // The control object of this module behind one of its interfaces; null
    // for any other object, a control of another module's copy included.
    // Nothing is counted.
    static COleControl* FromIDispatch(IUnknown* pUnknown);
    // The dispatch and event interfaces; the events' connection point exists
    // from this call on.
    void InitializeIIDs(const IID* piidPrimary, const IID* piidEvents);

    // --- What the control class supplies ----------------------------------
    virtual const com::DispatchTable& GetDispatchMap() const = 0;
    virtual const com::DispatchTable& GetEventMap() const = 0;
    virtual HRESULT GetClassID(CLSID* pclsid) = 0;
    // The string-table entry of the user type name; 0 gives "Control".
    virtual UINT GetUserTypeNameID();
    virtual CString GetUserTypeName();
    virtual DWORD GetMiscStatus();
    // The control's property pages; null with a count of 0 for none.
    virtual const CLSID* GetPropPageIDs(ULONG& cPropPages);
    virtual BOOL IsSubclassedControl();

    // --- State and persistence --------------------------------------------
    virtual void DoPropExchange(CPropExchange* pPX);
    virtual void OnResetState();
    void ExchangeVersion(CPropExchange* pPX, DWORD dwVersionDefault, BOOL bConvert = TRUE);
    // The extent and the stock properties (DoPropExchange calls both).
    void ExchangeExtent(CPropExchange* pPX);
    void ExchangeStockProps(CPropExchange* pPX);
    void SetModifiedFlag(BOOL bModified = TRUE);
    BOOL IsModified() const { return m_bModified; }
    DWORD GetVersionLoaded() const { return m_dwVersionLoaded; }

    // --- Container ----------------------------------------------------------
    IOleClientSite* GetClientSite() const { return m_pClientSite.Get(); }
    IOleInPlaceSite* GetInPlaceSite() const { return m_pInPlaceSite.Get(); }
    IOleControlSite* GetControlSite() const { return m_pControlSite.Get(); }
    // An ambient property as type vt into pvProp (BOOL*, LONG*, OLE_COLOR*,
    // short*, double* or CString*); FALSE when the container has none.
    BOOL GetAmbientProperty(DISPID dispid, VARTYPE vt, void* pvProp);
    // TRUE when the container says nothing.
    BOOL AmbientUserMode();
    // The system's window colour when the container says nothing.
    OLE_COLOR AmbientBackColor();
    CString AmbientDisplayName();
    BOOL IsInPlaceActive() const { return m_bInPlaceActive; }
    // The position in the container's window; FALSE while not active.
    BOOL GetRectInContainer(RECT* prc);
    // Asks the container for a new position (or, inactive, sets the extent).
    BOOL SetRectInContainer(const RECT* prc);
    // The extent in HIMETRIC and in pixels at the screen's DPI.
    void GetControlSize(int* pcx, int* pcy);
    BOOL SetControlSize(int cx, int cy);
    // The extent a new control has, in pixels (its constructor may set it).
    void SetInitialSize(int cx, int cy);
    // The control's keys changed: the container asks GetControlInfo again.
    void ControlInfoChanged();
    // The container's window (the in-place site's), or null.
    win::HWND GetContainerWindow();

    // --- Events and notifications --------------------------------------
    void FireEvent(DISPID dispid, std::initializer_list<com::EventArg> args = {});
    void FireClick();
    void FireDblClick();
    void FireMouseDown(short nButton, short nShiftState, LONG x, LONG y);
    void FireMouseMove(short nButton, short nShiftState, LONG x, LONG y);
    void FireMouseUp(short nButton, short nShiftState, LONG x, LONG y);
    void FireKeyDown(short* pnChar, short nShiftState);
    void FireKeyUp(short* pnChar, short nShiftState);
    void BoundPropertyChanged(DISPID dispid);
    // FALSE when a container refuses the change.
    BOOL BoundPropertyRequestEdit(DISPID dispid);
    // Repaints the window (or the rectangle of it); nothing without a window.
    void InvalidateControl(const RECT* prc = nullptr, BOOL bErase = TRUE);
    // The sink a font holder reports to: each change calls OnFontChanged.
    IPropertyNotifySink* GetFontNotificationSink();

    // --- Stock properties and methods ------------------------------------
    CString GetText() const;
    void SetText(CString text);
    BOOL GetEnabled() const { return m_bEnabled; }
    void SetEnabled(BOOL bEnabled);
    // The window as a handle of the process's handle table; 0 without one.
    OLE_HANDLE GetHwnd();
    void DoClick();
    void Refresh();
    virtual void AboutBox();

    // --- Drawing --------------------------------------------------------
    // Draws into a DC within rcBounds (a snapshot or a container's print).
    void DrawContent(HDC hdc, const RECT& rcBounds);
    // A subclassed control's own painting into hdc: OCM_DRAWITEM with the
    // button's state.
    void DoSuperclassPaint(HDC hdc, const RECT& rcBounds);

    // --- Dispatch table rows for the stock members -------------------------
    template <class T>
    static constexpr com::DispatchMember DispStockCaption()
    {
        return com::Property<T, &T::GetText, &T::SetText>("Caption", DISPID_CAPTION, VT_BSTR);
    }
    template <class T>
    static constexpr com::DispatchMember DispStockEnabled()
    {
        return com::Property<T, &T::GetEnabled, &T::SetEnabled>("Enabled", DISPID_ENABLED, VT_BOOL);
    }
    template <class T>
    static constexpr com::DispatchMember DispStockHwnd()
    {
        return com::ReadOnlyProperty<T, &T::GetHwnd>("hWnd", DISPID_HWND, VT_I4);
    }
    template <class T>
    static constexpr com::DispatchMember DispStockDoClick()
    {
        return com::Method<T, &T::DoClick>("DoClick", DISPID_DOCLICK, VT_EMPTY);
    }
    template <class T>
    static constexpr com::DispatchMember DispStockRefresh()
    {
        return com::Method<T, &T::Refresh>("Refresh", DISPID_REFRESH, VT_EMPTY);
    }
    template <class T>
    static constexpr com::DispatchMember DispStockAboutBox()
    {
        return com::Method<T, &T::AboutBox>("AboutBox", DISPID_ABOUTBOX, VT_EMPTY);
    }
    static constexpr com::DispatchMember EventStockClick() { return com::Event("Click", DISPID_CLICK); }
    static constexpr com::DispatchMember EventStockDblClick() { return com::Event("DblClick", DISPID_DBLCLICK); }
    static constexpr com::DispatchMember EventStockKeyDown()
    {
        return com::Event("KeyDown", DISPID_KEYDOWN, {{"KeyCode", VT_BYREF | VT_I2}, {"Shift", VT_I2}});
    }
    static constexpr com::DispatchMember EventStockKeyUp()
    {
        return com::Event("KeyUp", DISPID_KEYUP, {{"KeyCode", VT_BYREF | VT_I2}, {"Shift", VT_I2}});
    }
    static constexpr com::DispatchMember EventStockMouseDown() { return mouseEvent("MouseDown", DISPID_MOUSEDOWN); }
    static constexpr com::DispatchMember EventStockMouseMove() { return mouseEvent("MouseMove", DISPID_MOUSEMOVE); }
    static constexpr com::DispatchMember EventStockMouseUp() { return mouseEvent("MouseUp", DISPID_MOUSEUP); }

    // --- Overridables ---------------------------------------------------
    virtual void OnSetClientSite();
    virtual BOOL OnSetExtent(const SIZEL* pSize);
    virtual BOOL OnSetObjectRects(const RECT* lprcPosRect, const RECT* lprcClipRect);
    virtual BOOL OnQueryHitPoint(DWORD dwAspect, const RECT* pRectBounds, POINT ptlLoc, LONG lCloseHint,
                                 DWORD* pHitResult);
    virtual void OnAmbientPropertyChange(DISPID dispid);
    virtual void OnGetControlInfo(CONTROLINFO* pControlInfo);
    virtual void OnMnemonic(win::MSG* pMsg);
    virtual void OnFreezeEvents(BOOL bFreeze);
    virtual void OnDraw(HDC hdc, const RECT& rcBounds, const RECT& rcInvalid);
    virtual void OnClick(short iButton);
    virtual void OnKeyDownEvent(USHORT nChar, USHORT nShiftState);
    virtual void OnKeyUpEvent(USHORT nChar, USHORT nShiftState);
    virtual void OnTextChanged();
    virtual void OnEnabledChanged();
    virtual void OnFontChanged();
    // The property frame with the control's pages, beside the container's
    // window; FALSE when it cannot be shown.
    virtual BOOL OnProperties(win::MSG* lpMsg, win::HWND hWndParent, const RECT* lpRect);
    virtual BOOL OnGetDisplayString(DISPID dispid, CString& strValue);
    virtual BOOL OnMapPropertyToPage(DISPID dispid, CLSID* lpclsid, BOOL* pbPageOptional);
    virtual BOOL OnGetPredefinedStrings(DISPID dispid, std::vector<CString>* pStringArray,
                                        std::vector<DWORD>* pCookieArray);
    virtual BOOL OnGetPredefinedValue(DISPID dispid, DWORD dwCookie, VARIANT* lpvarOut);
    // Around each modal window the control shows itself (the about box, the
    // property frame): a control that runs timers or threads holds them here.
    virtual void BeginModalState();
    virtual void EndModalState();

    // --- What the interfaces call -----------------------------------------
    HRESULT SetClientSite(IOleClientSite* pClientSite);
    HRESULT DoVerb(LONG iVerb, win::MSG* lpMsg, IOleClientSite* pActiveSite, win::HWND hwndParent,
                   const RECT* lprcPosRect);
    HRESULT SetExtent(const SIZEL* pSize);
    HRESULT InPlaceDeactivate();
    HRESULT SetObjectRects(const RECT* pos, const RECT* clip);
    HRESULT Close(DWORD dwSaveOption);
    HRESULT FreezeEvents(BOOL bFreeze);
    HRESULT LoadState(IStream* pStream);
    HRESULT SaveState(IStream* pStream, BOOL bClearDirty);
    HRESULT LoadState(IPropertyBag* pBag, IErrorLog* pLog);
    HRESULT SaveState(IPropertyBag* pBag, BOOL bClearDirty);
    HRESULT InitNew();
    HRESULT GetControlInfo(CONTROLINFO* pInfo);
    HRESULT Invoke(DISPID id, REFIID iid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                   UINT* argErr);
    const com::CoClassInfo& GetCoClassInfo();
    com::ConnectionPoint* GetEventConnectionPoint();
    com::ConnectionPoint& GetNotifyConnectionPoint();

protected:
    int OnCreate(win::CREATESTRUCT* cs) override;
    void OnNcDestroy() override;
    void OnPaint(HDC hdc) override;
    void OnSetFocus(win::HWND oldWnd) override;
    void OnKillFocus(win::HWND newWnd) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    void OnRButtonDown(UINT flags, POINT point) override;
    void OnRButtonUp(UINT flags, POINT point) override;
    void OnRButtonDblClk(UINT flags, POINT point) override;
    void OnMButtonDown(UINT flags, POINT point) override;
    void OnMButtonUp(UINT flags, POINT point) override;
    void OnMButtonDblClk(UINT flags, POINT point) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnKeyUp(UINT key, UINT repeat, UINT flags) override;
    void OnSysKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnSysKeyUp(UINT key, UINT repeat, UINT flags) override;

    void ButtonDown(short iButton, UINT nFlags, POINT point);
    void ButtonUp(short iButton, UINT nFlags, POINT point);
    void ButtonDblClk(short iButton, UINT nFlags, POINT point);
    // The shift mask of the message being handled.
    static short ShiftState();

    // The extent in HIMETRIC.
    LONG m_cxExtent = 0;
    LONG m_cyExtent = 0;
    // The position in the container's window while active.
    RECT m_rcPos{0, 0, 0, 0};
    BOOL m_bInPlaceActive = FALSE;
    BOOL m_bModified = FALSE;
    BOOL m_bInitialized = FALSE;
    DWORD m_dwVersionLoaded = 0;
    short m_nFreezeEvents = 0;
    short m_iButtonState = 0;
    short m_iDblClkState = 0;
    CString m_strText;
    BOOL m_bEnabled = TRUE;

public:
    // The interface objects (their definition is private to the control's files).
    struct Interfaces;

private:
    friend struct Interfaces;

    static constexpr com::DispatchMember mouseEvent(const char* name, DISPID id)
    {
        return com::Event(name, id, {{"Button", VT_I2}, {"Shift", VT_I2}, {"x", VT_I4}, {"y", VT_I4}});
    }
    BOOL hasEvent(DISPID dispid) const;
    DWORD stockPropMask() const;
    HRESULT activateInPlace(win::HWND hwndParent, const RECT* lprcPosRect);
    void releaseHandle();
    // The stock KeyDown or KeyUp event for key, then the window's own
    // processing of the key the sinks left.
    void keyEvent(BOOL down, UINT key);

    std::unique_ptr<Interfaces> m_interfaces;
    const IID* m_piidPrimary = nullptr;
    const IID* m_piidEvents = nullptr;
    com::ComPtr<IOleClientSite> m_pClientSite;
    com::ComPtr<IOleInPlaceSite> m_pInPlaceSite;
    com::ComPtr<IOleControlSite> m_pControlSite;
    com::ComPtr<IDispatch> m_pAmbientDispatch;
    OLE_HANDLE m_hWndHandle = 0;
    com::CoClassInfo m_classInfo{};
    CLSID m_clsid{};
    CString m_userTypeName;
    // The key the sinks left in the stock KeyDown/KeyUp event.
    short m_keyCode = 0;
};
