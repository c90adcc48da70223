#include "platform/com/ControlSite.h"

#include "platform/com/Loader.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/Window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace com {

namespace {

constexpr DispatchMember kAmbients[] = {
    ReadOnlyProperty<ControlSite, &ControlSite::UserMode>("UserMode", DISPID_AMBIENT_USERMODE, VT_BOOL),
    ReadOnlyProperty<ControlSite, &ControlSite::BackColor>("BackColor", DISPID_AMBIENT_BACKCOLOR, VT_I4),
    ReadOnlyProperty<ControlSite, &ControlSite::DisplayName>("DisplayName", DISPID_AMBIENT_DISPLAYNAME, VT_BSTR),
    ReadOnlyProperty<ControlSite, &ControlSite::MessageReflect>("MessageReflect", DISPID_AMBIENT_MESSAGEREFLECT,
                                                                VT_BOOL),
    ReadOnlyProperty<ControlSite, &ControlSite::UIDead>("UIDead", DISPID_AMBIENT_UIDEAD, VT_BOOL),
};

// Alt+key presses anywhere in the host's window, for the control's mnemonics.
class MnemonicFilter final : public QObject {
public:
    explicit MnemonicFilter(ControlSite& site) : site_(site) {}

    bool eventFilter(QObject* receiver, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(e);
        auto* target = qobject_cast<QWidget*>(receiver);
        QWidget* host = site_.Host();
        if (!(key->modifiers() & Qt::AltModifier) || !target || !host || target->window() != host->window())
            return false;
        // The control's own window hands its keys to the control itself.
        HWND own = site_.ControlWindow();
        if (own && (target == own || own->isAncestorOf(target)))
            return false;
        MSG msg;
        msg.hwnd = own;
        msg.message = win::WM_SYSKEYDOWN;
        msg.wParam = win::WPARAM(win::VirtualKeyFromQt(key->key(), key->modifiers()));
        msg.lParam = win::LPARAM(1) | (win::LPARAM(1) << 29);
        win::SetInputState(key->modifiers(), QApplication::mouseButtons());
        return msg.wParam && site_.RouteMnemonic(msg);
    }

private:
    ControlSite& site_;
};

} // namespace

ControlSite::ControlSite(QWidget* host) : host_(host) {}

ControlSite::~ControlSite() = default;

const DispatchTable& ControlSite::Table()
{
    static constexpr DispatchTable table{&IID_IDispatch, "Ambients", kAmbients};
    return table;
}

std::span<const InterfaceEntry> ControlSite::InterfaceTable() const
{
    static constexpr InterfaceEntry table[] = {
        Implements<ControlSite, IOleClientSite>(),
        Implements<ControlSite, IOleInPlaceSite>(),
        Implements<ControlSite, IOleWindow>(),
        Implements<ControlSite, IOleControlSite>(),
        Implements<ControlSite, IDispatch>(),
        Implements<ControlSite, IPropertyNotifySink>(),
    };
    return table;
}

HRESULT ControlSite::Create(REFCLSID clsid)
{
    ComPtr<IUnknown> control;
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, control.ReceiveVoid());
    if (FAILED(hr))
        return hr;
    return Attach(control.Get());
}

HRESULT ControlSite::Attach(IUnknown* control)
{
    if (!control)
        return E_POINTER;
    if (control_)
        return E_UNEXPECTED;
    auto object = ComPtr<IUnknown>(control).As<IOleObject>();
    if (!object)
        return E_NOINTERFACE;
    control_ = control;
    DWORD status = 0;
    object->GetMiscStatus(DVASPECT_CONTENT, &status);
    if (status & OLEMISC_SETCLIENTSITEFIRST)
        object->SetClientSite(this);
    connect();
    return S_OK;
}

void ControlSite::connect()
{
    auto info = control_.As<IProvideClassInfo2>();
    auto points = control_.As<IConnectionPointContainer>();
    GUID events = GUID_NULL;
    if (info && SUCCEEDED(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events)) && events != GUID_NULL) {
        events_ = ComPtr<EventSink>::Attach(new EventSink(events));
        ComPtr<IConnectionPoint> point;
        if (points && SUCCEEDED(points->FindConnectionPoint(events, point.Receive())))
            point->Advise(static_cast<IDispatch*>(events_.Get()), &eventCookie_);
    }
    ComPtr<IConnectionPoint> notify;
    if (points && SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, notify.Receive())))
        notify->Advise(static_cast<IPropertyNotifySink*>(this), &notifyCookie_);
}

void ControlSite::disconnect()
{
    auto points = control_.As<IConnectionPointContainer>();
    if (!points)
        return;
    ComPtr<IConnectionPoint> point;
    if (eventCookie_ && events_ && SUCCEEDED(points->FindConnectionPoint(events_->Events(), point.Receive())))
        point->Unadvise(eventCookie_);
    if (notifyCookie_ && SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, point.Receive())))
        point->Unadvise(notifyCookie_);
    eventCookie_ = notifyCookie_ = 0;
}

// A control that did not ask for its site first gets it once it has its state.
void ControlSite::ensureSite()
{
    auto object = control_.As<IOleObject>();
    if (!object)
        return;
    ComPtr<IOleClientSite> site;
    object->GetClientSite(site.Receive());
    if (!site)
        object->SetClientSite(this);
}

HRESULT ControlSite::InitNew()
{
    auto persist = control_.As<IPersistStreamInit>();
    const HRESULT hr = persist ? persist->InitNew() : E_NOINTERFACE;
    ensureSite();
    return hr;
}

HRESULT ControlSite::Load(IStream* stream)
{
    auto persist = control_.As<IPersistStreamInit>();
    const HRESULT hr = persist ? persist->Load(stream) : E_NOINTERFACE;
    ensureSite();
    return hr;
}

HRESULT ControlSite::Load(IPropertyBag* bag)
{
    auto persist = control_.As<IPersistPropertyBag>();
    const HRESULT hr = persist ? persist->Load(bag, nullptr) : E_NOINTERFACE;
    ensureSite();
    return hr;
}

HRESULT ControlSite::Save(IStream* stream)
{
    auto persist = control_.As<IPersistStreamInit>();
    return persist ? persist->Save(stream, TRUE) : E_NOINTERFACE;
}

HRESULT ControlSite::Save(IPropertyBag* bag)
{
    auto persist = control_.As<IPersistPropertyBag>();
    return persist ? persist->Save(bag, TRUE, TRUE) : E_NOINTERFACE;
}

HRESULT ControlSite::SetExtent(SIZEL himetric)
{
    auto object = control_.As<IOleObject>();
    if (!object)
        return E_UNEXPECTED;
    const HRESULT hr = object->SetExtent(DVASPECT_CONTENT, &himetric);
    if (FAILED(hr))
        return hr;
    SIZEL now = himetric;
    object->GetExtent(DVASPECT_CONTENT, &now);
    const int dpi = gdi::ScreenDpi();
    position_.right = position_.left + MulDiv(now.cx, dpi, 2540);
    position_.bottom = position_.top + MulDiv(now.cy, dpi, 2540);
    if (active_)
        if (auto inPlace = control_.As<IOleInPlaceObject>()) {
            const RECT clip = clipRect();
            inPlace->SetObjectRects(&position_, &clip);
        }
    return hr;
}

HRESULT ControlSite::SetRect(const RECT& position)
{
    const bool resized = position.right - position.left != position_.right - position_.left ||
                         position.bottom - position.top != position_.bottom - position_.top;
    position_ = position;
    auto object = control_.As<IOleObject>();
    if (resized && object) {
        const int dpi = gdi::ScreenDpi();
        SIZEL himetric{MulDiv(position.right - position.left, 2540, dpi),
                       MulDiv(position.bottom - position.top, 2540, dpi)};
        object->SetExtent(DVASPECT_CONTENT, &himetric);
    }
    if (active_)
        if (auto inPlace = control_.As<IOleInPlaceObject>()) {
            const RECT clip = clipRect();
            return inPlace->SetObjectRects(&position_, &clip);
        }
    return S_OK;
}

HRESULT ControlSite::Activate()
{
    auto object = control_.As<IOleObject>();
    if (!object || !host_)
        return E_UNEXPECTED;
    const HRESULT hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, host_.data(), &position_);
    if (SUCCEEDED(hr))
        readControlInfo();
    return hr;
}

HRESULT ControlSite::Deactivate()
{
    auto inPlace = control_.As<IOleInPlaceObject>();
    return inPlace ? inPlace->InPlaceDeactivate() : E_UNEXPECTED;
}

void ControlSite::Close()
{
    if (!control_)
        return;
    // Held for the call: the control releases the site on the way.
    ComPtr<ControlSite> self(this);
    keyFilter_.reset();
    mnemonics_.clear();
    if (active_)
        Deactivate();
    disconnect();
    if (auto object = control_.As<IOleObject>()) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
    }
    control_.Reset();
    events_.Reset();
}

HWND ControlSite::ControlWindow() const
{
    HWND hwnd = nullptr;
    if (auto inPlace = control_.As<IOleInPlaceObject>())
        inPlace->GetWindow(&hwnd);
    return hwnd;
}

void ControlSite::SetUserMode(bool userMode)
{
    if (userMode == userMode_)
        return;
    userMode_ = userMode;
    ambientChanged(DISPID_AMBIENT_USERMODE);
}

void ControlSite::SetBackColor(OLE_COLOR color)
{
    if (color == backColor_)
        return;
    backColor_ = color;
    ambientChanged(DISPID_AMBIENT_BACKCOLOR);
}

void ControlSite::SetDisplayName(std::string name)
{
    if (name == displayName_)
        return;
    displayName_ = std::move(name);
    ambientChanged(DISPID_AMBIENT_DISPLAYNAME);
}

void ControlSite::ambientChanged(DISPID id)
{
    if (auto control = control_.As<IOleControl>())
        control->OnAmbientPropertyChange(id);
}

RECT ControlSite::clipRect() const
{
    RECT clip{0, 0, 0, 0};
    if (host_)
        win::GetClientRect(host_.data(), &clip);
    return clip;
}

void ControlSite::readControlInfo()
{
    mnemonics_.clear();
    auto control = control_.As<IOleControl>();
    CONTROLINFO info{sizeof(CONTROLINFO), nullptr, 0, 0};
    if (control && SUCCEEDED(control->GetControlInfo(&info)) && info.hAccel && info.cAccel > 0) {
        mnemonics_.resize(info.cAccel);
        mnemonics_.resize(std::size_t(win::CopyAcceleratorTable(info.hAccel, mnemonics_.data(), info.cAccel)));
    }
    if (mnemonics_.empty()) {
        keyFilter_.reset();
    } else if (!keyFilter_) {
        keyFilter_ = std::make_unique<MnemonicFilter>(*this);
        qApp->installEventFilter(keyFilter_.get());
    }
}

bool ControlSite::RouteMnemonic(const MSG& msg)
{
    for (const win::ACCEL& a : mnemonics_) {
        if ((a.fVirt & win::FVIRTKEY) && a.key == msg.wParam && (a.fVirt & win::FALT)) {
            MSG copy = msg;
            if (auto control = control_.As<IOleControl>())
                return SUCCEEDED(control->OnMnemonic(&copy));
        }
    }
    return false;
}

HRESULT ControlSite::ShowObject()
{
    if (onShowObject)
        onShowObject();
    return S_OK;
}

HRESULT ControlSite::OnShowWindow(BOOL)
{
    return S_OK;
}

HRESULT ControlSite::GetWindow(HWND* hwnd)
{
    if (!hwnd)
        return E_POINTER;
    *hwnd = host_.data();
    return *hwnd ? S_OK : E_FAIL;
}

HRESULT ControlSite::CanInPlaceActivate()
{
    return host_ ? S_OK : S_FALSE;
}

HRESULT ControlSite::OnInPlaceActivate()
{
    active_ = true;
    return S_OK;
}

HRESULT ControlSite::OnUIActivate()
{
    return S_OK;
}

HRESULT ControlSite::GetWindowContext(RECT* position, RECT* clip)
{
    if (!position || !clip)
        return E_POINTER;
    *position = position_;
    *clip = clipRect();
    return S_OK;
}

HRESULT ControlSite::OnUIDeactivate(BOOL)
{
    return S_OK;
}

HRESULT ControlSite::OnInPlaceDeactivate()
{
    active_ = false;
    return S_OK;
}

HRESULT ControlSite::OnPosRectChange(const RECT* position)
{
    if (!position)
        return E_POINTER;
    if (onPosRectChange)
        onPosRectChange(*position);
    return SetRect(*position);
}

HRESULT ControlSite::OnControlInfoChanged()
{
    readControlInfo();
    if (onControlInfoChanged)
        onControlInfoChanged();
    return S_OK;
}

HRESULT ControlSite::OnFocus(BOOL gotFocus)
{
    if (onFocus)
        onFocus(gotFocus != FALSE);
    return S_OK;
}

HRESULT ControlSite::ShowPropertyFrame()
{
    // The control shows its own frame.
    return E_NOTIMPL;
}

HRESULT ControlSite::OnChanged(DISPID id)
{
    if (onChanged)
        onChanged(id);
    return S_OK;
}

HRESULT ControlSite::OnRequestEdit(DISPID id)
{
    return !onRequestEdit || onRequestEdit(id) ? S_OK : S_FALSE;
}

ComPtr<ControlSite> NewControlSite(QWidget* host)
{
    return ComPtr<ControlSite>::Attach(new ControlSite(host));
}

} // namespace com
