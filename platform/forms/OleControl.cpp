#include "platform/forms/OleControl.h"

#include "platform/basic/App.h"
#include "platform/com/Stream.h"
#include "platform/forms/Form.h"

#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <optional>

namespace forms {

namespace {

std::optional<std::filesystem::path>& designFolder()
{
    static std::optional<std::filesystem::path> folder;
    return folder;
}

std::string hresultText(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", unsigned(hr));
    return text;
}

// Sets the component's stock Enabled, which draws its disabled look.
void putEnabled(IDispatch* object, bool enabled)
{
    if (!object)
        return;
    com::ComVariant value = com::ComVariant::Bool(enabled);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    object->Invoke(DISPID_ENABLED, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}

// The widgets Tab stops at in the window, in the order it visits them.
std::vector<QWidget*> tabStops(QWidget* window)
{
    std::vector<QWidget*> stops;
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !w->focusProxy() && window->isAncestorOf(w))
            stops.push_back(w);
    return stops;
}

} // namespace

// The place the component's window lives in: it takes the control's
// position on the form, and its first show activates the component. When
// the form's window goes before the control does, the component is closed
// before its window goes with the holder.
class OleControl::Holder final : public QWidget {
public:
    Holder(QWidget* parent, OleControl& control)
        : QWidget(parent)
        , control_(&control)
    {
    }
    ~Holder() override
    {
        if (control_)
            control_->close();
    }

    OleControl* control_;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::Show && control_)
            control_->activate();
        return QWidget::event(e);
    }
};

std::filesystem::path DesignFolder()
{
    return designFolder().value_or(vb::AppPaths::InstallFolder() / "forms");
}

void SetDesignFolder(const std::filesystem::path& folder)
{
    if (folder.empty())
        designFolder().reset();
    else
        designFolder() = folder;
}

OleControl::OleControl(Container& parent, std::string name, int index, const CLSID& clsid, const char* library)
    : Control(parent, std::move(name), index)
    , holder_(new Holder(parent.ClientWidget(), *this))
{
    // Tab stops here until the component's window takes this place in the
    // focus order.
    holder_->setFocusPolicy(Qt::TabFocus);
    site_ = com::NewControlSite(holder_.data());
    site_->SetUserMode(true);
    site_->SetDisplayName(designName());
    site_->SetBackColor(formColor());
    try {
        create(clsid, library);
    } catch (...) {
        // Nothing is left on the form of a control that could not be made.
        static_cast<Holder*>(holder_.data())->control_ = nullptr;
        delete holder_.data();
        throw;
    }
    load();
    Attach(holder_);
}

OleControl::~OleControl()
{
    if (holder_)
        static_cast<Holder*>(holder_.data())->control_ = nullptr;
    close();
}

void OleControl::close()
{
    // Before the holder goes: the component destroys its own window.
    if (holder_)
        holder_->setFocusProxy(nullptr);
    site_->Close();
}

void OleControl::create(const CLSID& clsid, const char* library)
{
    if (const HRESULT hr = site_->Create(clsid); FAILED(hr))
        vb::Raise(339, "Component '" + std::string(library) +
                           "' or one of its dependencies not correctly registered: a file is missing or invalid (" +
                           hresultText(hr) + ")");
    site_->Events()->On(DISPID_CLICK, [this](DISPID, std::span<VARIANT* const>) {
        if (Live())
            detail::Dispatch([this] { Click.Raise(); });
    });
}

void OleControl::load()
{
    const std::filesystem::path file = DesignFile();
    com::ComPtr<IStream> stream;
    HRESULT hr = com::CreateStreamOnFile(file, STGM_READ, stream.Receive());
    if (SUCCEEDED(hr))
        hr = site_->Load(stream.Get());
    if (SUCCEEDED(hr))
        return;
    std::fprintf(stderr, "%s.%s: no usable design data in %s (%s); the control has its defaults.\n",
                 Parent().ParentForm().Name().c_str(), designName().c_str(), file.c_str(), hresultText(hr).c_str());
    site_->InitNew();
}

OLE_COLOR OleControl::formColor() const
{
    // A system colour as the colour it stands for: the component paints it.
    return ToOleColor(ToQColor(Parent().ParentForm().BackColor()));
}

std::string OleControl::designName() const
{
    return Index() < 0 ? Name() : Name() + "(" + std::to_string(Index()) + ")";
}

std::filesystem::path OleControl::DesignFile() const
{
    return DesignFolder() / (Parent().ParentForm().Name() + "." + designName() + ".stm");
}

void OleControl::activate()
{
    if (!holder_ || site_->Active() || !site_->Control())
        return;
    // The form may have taken its colour after its controls were made.
    site_->SetBackColor(formColor());
    site_->SetRect(RECT{0, 0, holder_->width(), holder_->height()});
    if (FAILED(site_->Activate()))
        return;
    QWidget* window = site_->ControlWindow();
    if (!window)
        return;
    window->setEnabled(holder_->isEnabled());
    // The component's window is made last; it takes the holder's turn.
    QWidget::setTabOrder(holder_.data(), window);
    holder_->setFocusProxy(window);
}

void OleControl::GeometryApplied()
{
    if (holder_)
        site_->SetRect(RECT{0, 0, holder_->width(), holder_->height()});
}

com::ComPtr<IDispatch> OleControl::Object() const
{
    return site_->ControlAs<IDispatch>();
}

void OleControl::SetEnabled(bool enabled)
{
    Control::SetEnabled(enabled);
    putEnabled(Object().Get(), enabled);
}

int OleControl::TabIndex() const
{
    if (!holder_)
        return -1;
    QWidget* self = holder_->focusProxy() ? holder_->focusProxy() : holder_.data();
    const std::vector<QWidget*> stops = tabStops(holder_->window());
    for (std::size_t i = 0; i < stops.size(); ++i)
        if (stops[i] == self)
            return static_cast<int>(i);
    return -1;
}

} // namespace forms
