#include "platform/com/HostServices.h"

#include "platform/registry/Registry.h"

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
    return S_OK;
}

HRESULT GetHostServicesSink(REFIID iid, void** object)
{
    return CreateObject<HostServicesSink>(iid, object);
}

} // namespace com
