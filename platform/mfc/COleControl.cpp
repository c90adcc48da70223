#include "platform/mfc/COleControl_interfaces.h"

#include "platform/mfc/AfxMessageBox.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <mutex>
#include <set>

namespace {

// Class names stay for the process: type information refers to them.
const char* internName(const CString& name)
{
    static std::mutex mutex;
    static std::set<std::string> names;
    std::lock_guard lock(mutex);
    return names.insert(name).first->c_str();
}

} // namespace

COleControl::COleControl() : m_interfaces(std::make_unique<Interfaces>(*this))
{
    SetInitialSize(100, 50);
}

COleControl::~COleControl()
{
    // The window goes while the control's own handlers can still hear it.
    if (m_hWnd)
        win::DestroyWindow(m_hWnd);
    releaseHandle();
}

HRESULT COleControl::ExternalQueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    Interfaces& x = *m_interfaces;
    IUnknown* found = nullptr;
    void* given = nullptr;
    auto give = [&](auto* itf) {
        found = itf;
        given = itf;
    };
    if (iid == IID_IUnknown || iid == IID_IDispatch || (m_piidPrimary && iid == *m_piidPrimary))
        give(static_cast<IDispatch*>(&x.dispatch));
    else if (iid == IOleObject::kIid)
        give(static_cast<IOleObject*>(&x.oleObject));
    else if (iid == IOleInPlaceObject::kIid)
        give(static_cast<IOleInPlaceObject*>(&x.inPlaceObject));
    else if (iid == IOleWindow::kIid)
        give(static_cast<IOleWindow*>(&x.inPlaceObject));
    else if (iid == IOleInPlaceActiveObject::kIid)
        give(static_cast<IOleInPlaceActiveObject*>(&x.activeObject));
    else if (iid == IOleControl::kIid)
        give(static_cast<IOleControl*>(&x.oleControl));
    else if (iid == IViewObject::kIid)
        give(static_cast<IViewObject*>(&x.viewObject));
    else if (iid == IViewObjectEx::kIid)
        give(static_cast<IViewObjectEx*>(&x.viewObject));
    else if (iid == IPersist::kIid)
        give(static_cast<IPersist*>(&x.persistStream));
    else if (iid == IPersistStreamInit::kIid)
        give(static_cast<IPersistStreamInit*>(&x.persistStream));
    else if (iid == IPersistPropertyBag::kIid)
        give(static_cast<IPersistPropertyBag*>(&x.persistBag));
    else if (iid == IConnectionPointContainer::kIid)
        give(static_cast<IConnectionPointContainer*>(&x.pointContainer));
    else if (iid == IProvideClassInfo::kIid)
        give(static_cast<IProvideClassInfo*>(&x.classInfo));
    else if (iid == IProvideClassInfo2::kIid)
        give(static_cast<IProvideClassInfo2*>(&x.classInfo));
    else if (iid == ISpecifyPropertyPages::kIid)
        give(static_cast<ISpecifyPropertyPages*>(&x.propertyPages));
    else if (iid == IPerPropertyBrowsing::kIid)
        give(static_cast<IPerPropertyBrowsing*>(&x.browsing));
    else if (iid == IControlObject::kIid)
        give(static_cast<IControlObject*>(&x.objectAccess));
    if (!found)
        return E_NOINTERFACE;
    found->AddRef();
    *object = given;
    return S_OK;
}

ULONG COleControl::ExternalAddRef()
{
    return AddRefCount();
}

ULONG COleControl::ExternalRelease()
{
    const ULONG left = ReleaseCount();
    if (left == 0)
        delete this;
    return left;
}

namespace {

// This module's mark: another copy of the framework has a mark of its own.
const char kThisModule = 0;

} // namespace

COleControl* COleControl::Interfaces::ObjectAccess::Object(const void* module)
{
    return module == &kThisModule ? &c : nullptr;
}

COleControl* COleControl::FromIDispatch(IUnknown* pUnknown)
{
    if (!pUnknown)
        return nullptr;
    com::ComPtr<IControlObject> access;
    if (FAILED(pUnknown->QueryInterface(IControlObject::kIid, access.ReceiveVoid())) || !access)
        return nullptr;
    return access->Object(&kThisModule);
}

IUnknown* COleControl::GetControllingUnknown()
{
    return &m_interfaces->dispatch;
}

void COleControl::InitializeIIDs(const IID* piidPrimary, const IID* piidEvents)
{
    m_piidPrimary = piidPrimary;
    m_piidEvents = piidEvents;
    m_interfaces->events.reset();
    if (piidEvents)
        m_interfaces->events.emplace(m_interfaces->dispatch, *piidEvents);
}

UINT COleControl::GetUserTypeNameID()
{
    return 0;
}

CString COleControl::GetUserTypeName()
{
    CString name;
    if (const UINT id = GetUserTypeNameID(); id && AfxLoadString(id, name) && !name.empty())
        return name;
    return "Control";
}

DWORD COleControl::GetMiscStatus()
{
    return OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE |
           OLEMISC_RECOMPOSEONRESIZE;
}

const CLSID* COleControl::GetPropPageIDs(ULONG& cPropPages)
{
    cPropPages = 0;
    return nullptr;
}

BOOL COleControl::IsSubclassedControl()
{
    return FALSE;
}

const com::CoClassInfo& COleControl::GetCoClassInfo()
{
    GetClassID(&m_clsid);
    m_classInfo = com::CoClassInfo{&m_clsid, internName(GetUserTypeName()), &GetDispatchMap(), &GetEventMap()};
    return m_classInfo;
}

com::ConnectionPoint* COleControl::GetEventConnectionPoint()
{
    return m_interfaces->events ? &*m_interfaces->events : nullptr;
}

com::ConnectionPoint& COleControl::GetNotifyConnectionPoint()
{
    return m_interfaces->notify;
}

HRESULT COleControl::Invoke(DISPID id, REFIID iid, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* excepInfo, UINT* argErr)
{
    // A member may drop the container's last reference.
    com::ComPtr<IUnknown> hold(GetControllingUnknown());
    // The table's functions take the control's own class: the whole object.
    return com::DispInvoke(GetDispatchMap(), dynamic_cast<void*>(this), id, iid, flags, params, result, excepInfo,
                           argErr);
}

// --- Ambient properties ----------------------------------------------------------

BOOL COleControl::GetAmbientProperty(DISPID dispid, VARTYPE vt, void* pvProp)
{
    if (!m_pAmbientDispatch || !pvProp)
        return FALSE;
    com::ComVariant value;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (FAILED(m_pAmbientDispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value,
                                          nullptr, nullptr)))
        return FALSE;
    com::ComVariant as;
    if (FAILED(VariantChangeType(&as, &value, 0, vt)))
        return FALSE;
    switch (vt) {
    case VT_BOOL: *static_cast<BOOL*>(pvProp) = as.boolVal ? TRUE : FALSE; return TRUE;
    case VT_I2: *static_cast<short*>(pvProp) = as.iVal; return TRUE;
    case VT_I4: *static_cast<LONG*>(pvProp) = as.lVal; return TRUE;
    case VT_R8: *static_cast<double*>(pvProp) = as.dblVal; return TRUE;
    case VT_BSTR: *static_cast<CString*>(pvProp) = com::Utf8FromBstr(as.bstrVal); return TRUE;
    default: return FALSE;
    }
}

BOOL COleControl::AmbientUserMode()
{
    BOOL userMode = TRUE;
    return GetAmbientProperty(DISPID_AMBIENT_USERMODE, VT_BOOL, &userMode) ? userMode : TRUE;
}

OLE_COLOR COleControl::AmbientBackColor()
{
    OLE_COLOR color = 0;
    return GetAmbientProperty(DISPID_AMBIENT_BACKCOLOR, VT_I4, &color) ? color : GetSysColor(COLOR_WINDOW);
}

CString COleControl::AmbientDisplayName()
{
    CString name;
    return GetAmbientProperty(DISPID_AMBIENT_DISPLAYNAME, VT_BSTR, &name) ? name : CString();
}

// --- Events and notifications ------------------------------------------------------

BOOL COleControl::hasEvent(DISPID dispid) const
{
    return GetEventMap().Find(dispid) != nullptr;
}

void COleControl::FireEvent(DISPID dispid, std::initializer_list<com::EventArg> args)
{
    if (m_nFreezeEvents > 0 || !m_interfaces->events)
        return;
    m_interfaces->events->FireEvent(dispid, args);
}

void COleControl::FireClick()
{
    if (hasEvent(DISPID_CLICK))
        FireEvent(DISPID_CLICK);
}

void COleControl::FireDblClick()
{
    if (hasEvent(DISPID_DBLCLICK))
        FireEvent(DISPID_DBLCLICK);
}

void COleControl::FireMouseDown(short nButton, short nShiftState, LONG x, LONG y)
{
    if (hasEvent(DISPID_MOUSEDOWN))
        FireEvent(DISPID_MOUSEDOWN, {com::EventArg::I2(nButton), com::EventArg::I2(nShiftState), com::EventArg::I4(x),
                                     com::EventArg::I4(y)});
}

void COleControl::FireMouseMove(short nButton, short nShiftState, LONG x, LONG y)
{
    if (hasEvent(DISPID_MOUSEMOVE))
        FireEvent(DISPID_MOUSEMOVE, {com::EventArg::I2(nButton), com::EventArg::I2(nShiftState), com::EventArg::I4(x),
                                     com::EventArg::I4(y)});
}

void COleControl::FireMouseUp(short nButton, short nShiftState, LONG x, LONG y)
{
    if (hasEvent(DISPID_MOUSEUP))
        FireEvent(DISPID_MOUSEUP, {com::EventArg::I2(nButton), com::EventArg::I2(nShiftState), com::EventArg::I4(x),
                                   com::EventArg::I4(y)});
}

void COleControl::FireKeyDown(short* pnChar, short nShiftState)
{
    if (hasEvent(DISPID_KEYDOWN))
        FireEvent(DISPID_KEYDOWN, {com::EventArg::I2Ref(pnChar), com::EventArg::I2(nShiftState)});
}

void COleControl::FireKeyUp(short* pnChar, short nShiftState)
{
    if (hasEvent(DISPID_KEYUP))
        FireEvent(DISPID_KEYUP, {com::EventArg::I2Ref(pnChar), com::EventArg::I2(nShiftState)});
}

void COleControl::BoundPropertyChanged(DISPID dispid)
{
    m_interfaces->notify.FireOnChanged(dispid);
}

BOOL COleControl::BoundPropertyRequestEdit(DISPID dispid)
{
    return m_interfaces->notify.FireOnRequestEdit(dispid) ? TRUE : FALSE;
}

void COleControl::InvalidateControl(const RECT* prc, BOOL bErase)
{
    if (m_hWnd)
        win::InvalidateRect(m_hWnd, prc, bErase);
}

IPropertyNotifySink* COleControl::GetFontNotificationSink()
{
    return &m_interfaces->fontNotification;
}

void COleControl::SetModifiedFlag(BOOL bModified)
{
    m_bModified = bModified ? TRUE : FALSE;
}

// --- Stock properties and methods --------------------------------------------------

CString COleControl::GetText() const
{
    return m_strText;
}

void COleControl::SetText(CString text)
{
    if (!BoundPropertyRequestEdit(DISPID_CAPTION))
        return;
    m_strText = std::move(text);
    if (m_hWnd)
        win::SetWindowText(m_hWnd, m_strText);
    SetModifiedFlag();
    OnTextChanged();
    BoundPropertyChanged(DISPID_CAPTION);
}

void COleControl::SetEnabled(BOOL bEnabled)
{
    bEnabled = bEnabled ? TRUE : FALSE;
    if (bEnabled == m_bEnabled || !BoundPropertyRequestEdit(DISPID_ENABLED))
        return;
    m_bEnabled = bEnabled;
    if (m_hWnd)
        win::EnableWindow(m_hWnd, bEnabled);
    SetModifiedFlag();
    OnEnabledChanged();
    BoundPropertyChanged(DISPID_ENABLED);
}

OLE_HANDLE COleControl::GetHwnd()
{
    return m_hWndHandle;
}

void COleControl::releaseHandle()
{
    if (m_hWndHandle)
        com::Handles().Remove(m_hWndHandle);
    m_hWndHandle = 0;
}

void COleControl::DoClick()
{
    OnClick(LEFT_BUTTON);
}

void COleControl::Refresh()
{
    InvalidateControl();
    if (m_hWnd)
        win::UpdateWindow(m_hWnd);
}

void COleControl::AboutBox()
{
    com::AboutBoxRequest about;
    about.owner = GetContainerWindow();
    about.title = "About " + GetUserTypeName();
    about.lines = {GetUserTypeName()};
    BeginModalState();
    com::Ui().ShowAboutBox(about);
    EndModalState();
}

// --- Drawing -------------------------------------------------------------------------

void COleControl::DrawContent(HDC hdc, const RECT& rcBounds)
{
    OnDraw(hdc, rcBounds, rcBounds);
}

void COleControl::DoSuperclassPaint(HDC hdc, const RECT& rcBounds)
{
    win::DRAWITEMSTRUCT item;
    item.CtlType = win::ODT_BUTTON;
    item.itemAction = win::ODA_DRAWENTIRE;
    if (m_hWnd) {
        const auto state = UINT(win::SendMessage(m_hWnd, win::BM_GETSTATE, 0, 0));
        item.itemState = ((state & win::BST_PUSHED) ? win::ODS_SELECTED : 0) |
                         (win::IsWindowEnabled(m_hWnd) ? 0 : win::ODS_DISABLED) |
                         (win::GetFocus() == m_hWnd ? win::ODS_FOCUS : 0);
    } else {
        item.itemState = m_bEnabled ? 0 : win::ODS_DISABLED;
    }
    item.hwndItem = m_hWnd;
    item.hDC = hdc;
    item.rcItem = rcBounds;
    WindowProc(win::OCM_DRAWITEM, 0, win::LPARAM(&item));
}

// --- Default overridables ----------------------------------------------------------

void COleControl::OnSetClientSite() {}

void COleControl::OnAmbientPropertyChange(DISPID) {}

void COleControl::OnGetControlInfo(CONTROLINFO* pControlInfo)
{
    pControlInfo->hAccel = nullptr;
    pControlInfo->cAccel = 0;
    pControlInfo->dwFlags = 0;
}

void COleControl::OnMnemonic(win::MSG*) {}

void COleControl::OnFreezeEvents(BOOL) {}

void COleControl::OnDraw(HDC, const RECT&, const RECT&) {}

void COleControl::OnClick(short)
{
    FireClick();
}

void COleControl::OnKeyDownEvent(USHORT nChar, USHORT nShiftState)
{
    short key = short(nChar);
    FireKeyDown(&key, short(nShiftState));
    m_keyCode = key;
}

void COleControl::OnKeyUpEvent(USHORT nChar, USHORT nShiftState)
{
    short key = short(nChar);
    FireKeyUp(&key, short(nShiftState));
    m_keyCode = key;
}

void COleControl::OnTextChanged() {}

void COleControl::OnEnabledChanged() {}

void COleControl::OnFontChanged()
{
    InvalidateControl();
    SetModifiedFlag();
}

namespace {

// The room kept between the frame and the window it opens beside.
constexpr int kFrameGap = 8;

// The property frame opens beside the container's window, where it leaves
// the control in sight: right of it, else left of it, else below or above
// it, on its screen; without room on any side, on the wider of right and
// left, as near as the screen allows. The frame's size is known only once
// it is laid out, so it is placed as it shows; a frame placed already (at
// the position EditProperties asks for) stays where it is.
class FrameBesideOwner final : public QObject {
public:
    explicit FrameBesideOwner(win::HWND owner) : owner_(owner ? owner->window() : nullptr)
    {
        if (owner_ && qApp)
            qApp->installEventFilter(this);
    }
    ~FrameBesideOwner() override
    {
        if (qApp)
            qApp->removeEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        // The native window shows right after the frame, before it is
        // mapped: its frame's corner goes there then, once Qt has set the
        // window's own geometry.
        if (handle_ && watched == handle_) {
            handle_->setFramePosition(at_);
            handle_ = nullptr;
            return false;
        }
        if (done_ || !owner_ || !watched->isWidgetType())
            return false;
        auto* frame = static_cast<QWidget*>(watched);
        if (!frame->isWindow() || frame == owner_ || !frame->parentWidget() ||
            frame->parentWidget()->window() != owner_)
            return false;
        done_ = true;
        if (!frame->testAttribute(Qt::WA_Moved))
            place(frame);
        return false;
    }

private:
    void place(QWidget* frame)
    {
        QScreen* screen = owner_->screen();
        if (!screen)
            return;
        const QRect area = screen->availableGeometry();
        const QRect beside = owner_->frameGeometry();
        // The frame's decorations are taken to be the owner's.
        const QSize size = frame->size() + (beside.size() - owner_->geometry().size());
        const auto onScreen = [&](QPoint at) {
            return QPoint(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())),
                          std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
        };
        const int right = beside.right() + 1 + kFrameGap;
        const int left = beside.left() - kFrameGap - size.width();
        const int below = beside.bottom() + 1 + kFrameGap;
        const int above = beside.top() - kFrameGap - size.height();
        // Right, left, below, above: the first side with room for all of it;
        // else the wider side, as much of it as the screen has.
        const QPoint sides[] = {{right, beside.top()}, {left, beside.top()}, {beside.left(), below},
                                {beside.left(), above}};
        QPoint at = onScreen(area.right() - beside.right() >= beside.left() - area.left() ? sides[0] : sides[1]);
        for (const QPoint& side : sides) {
            const QPoint kept = onScreen(side);
            const bool fits = side.x() >= area.left() && side.y() >= area.top() &&
                              side.x() + size.width() - 1 <= area.right() &&
                              side.y() + size.height() - 1 <= area.bottom();
            if (fits && !QRect(kept, size).intersects(beside)) {
                at = kept;
                break;
            }
        }
        frame->move(at);
        at_ = at;
        handle_ = frame->windowHandle();
    }

    QPointer<QWidget> owner_;
    bool done_ = false;
    QPointer<QWindow> handle_;
    QPoint at_;
};

} // namespace

BOOL COleControl::OnProperties(win::MSG*, win::HWND hWndParent, const RECT*)
{
    if (m_pControlSite && m_pControlSite->ShowPropertyFrame() == S_OK)
        return TRUE;
    ULONG count = 0;
    const CLSID* pages = GetPropPageIDs(count);
    if (!pages || count == 0)
        return FALSE;
    IUnknown* self = GetControllingUnknown();
    const com::Bstr caption(GetUserTypeName());
    win::HWND owner = hWndParent ? hWndParent : GetContainerWindow();
    // The control's rectangle is in its container's coordinates, no place
    // on the screen: the frame finds its own place beside the container.
    const FrameBesideOwner placer(owner);
    BeginModalState();
    const HRESULT hr = com::OleCreatePropertyFrame(owner, 0, 0, caption.Get(), 1, &self, count, pages);
    EndModalState();
    return SUCCEEDED(hr) ? TRUE : FALSE;
}

void COleControl::BeginModalState() {}

void COleControl::EndModalState() {}

BOOL COleControl::OnGetDisplayString(DISPID, CString&)
{
    return FALSE;
}

BOOL COleControl::OnMapPropertyToPage(DISPID, CLSID*, BOOL*)
{
    return FALSE;
}

BOOL COleControl::OnGetPredefinedStrings(DISPID, std::vector<CString>*, std::vector<DWORD>*)
{
    return FALSE;
}

BOOL COleControl::OnGetPredefinedValue(DISPID, DWORD, VARIANT*)
{
    return FALSE;
}
