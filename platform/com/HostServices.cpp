#include "platform/com/HostServices.h"

#include "platform/com/UiServices.h"
#include "platform/registry/Registry.h"
#include "platform/win/MessageBox.h"

#include <memory>

namespace com {

namespace {

class HostServicesSink final : public ComObject<HostServicesSink, IHostServicesSink> {
public:
    std::span<const InterfaceEntry> InterfaceTable() const
    {
        static constexpr InterfaceEntry table[] = {Implements<HostServicesSink, IHostServicesSink>()};
        return table;
    }

    HRESULT SetHostServices(const HostServices* services) override
    {
        if (!services)
            return E_POINTER;
        return ApplyHostServices(*services);
    }
};

// Shows through whatever port this copy has at the time of the call.
class ForwardingMessageBoxes final : public win::MessageBoxPort {
public:
    int Show(const win::MessageBoxRequest& r) override
    {
        return win::MessageBox(r.owner, r.text.c_str(), r.caption.c_str(), r.type);
    }
};

win::MessageBoxPort& forwardingMessageBoxes()
{
    static ForwardingMessageBoxes forwarding;
    return forwarding;
}

// A port owned by the host: the library only borrows it.
template <class T>
std::shared_ptr<T> borrowed(T* p)
{
    return std::shared_ptr<T>(p, [](T*) {});
}

// Whether a host's block of size bytes holds the field at offset.
bool covers(const HostServices& s, std::size_t offset, std::size_t fieldSize)
{
    return s.size >= offset + fieldSize;
}

} // namespace

HostServices CurrentHostServices()
{
    HostServices s;
    s.registry = &winreg::CurrentStore();
    s.handles = &Handles();
    s.messageBoxes = &forwardingMessageBoxes();
    s.ui = &ForwardingUiServices();
    return s;
}

HRESULT ApplyHostServices(const HostServices& services)
{
    if (services.size < offsetof(HostServices, registry))
        return E_INVALIDARG;
    if (covers(services, offsetof(HostServices, registry), sizeof services.registry) && services.registry)
        winreg::SetStore(services.registry);
    if (covers(services, offsetof(HostServices, handles), sizeof services.handles) && services.handles)
        SetHandleTable(services.handles);
    // Its own forwarders would call themselves.
    if (covers(services, offsetof(HostServices, messageBoxes), sizeof services.messageBoxes) &&
        services.messageBoxes && services.messageBoxes != &forwardingMessageBoxes())
        win::SetMessageBoxPort(borrowed(services.messageBoxes));
    if (covers(services, offsetof(HostServices, ui), sizeof services.ui) && services.ui &&
        services.ui != &ForwardingUiServices())
        SetUiServices(borrowed(services.ui));
    return S_OK;
}

HRESULT GetHostServicesSink(REFIID iid, void** object)
{
    return CreateObject<HostServicesSink>(iid, object);
}

} // namespace com
