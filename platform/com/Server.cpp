#include "platform/com/Server.h"

#include "platform/com/HostServices.h"
#include "platform/com/Registration.h"

namespace com {

HRESULT ServerGetClassObject(std::span<const ServerClass> classes, REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (clsid == CLSID_HostServicesSink)
        return GetHostServicesSink(iid, object);
    for (const ServerClass& c : classes) {
        if (*c.clsid == clsid) {
            auto* factory = new ClassFactory(c.create);
            const HRESULT hr = factory->QueryInterface(iid, object);
            factory->Release();
            return hr;
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ServerRegister(std::span<const ServerClass> classes)
{
    const std::filesystem::path self = ThisModulePath();
    for (const ServerClass& c : classes) {
        if (FAILED(RegisterClass({*c.clsid, c.progId, c.name, self})))
            return SELFREG_E_CLASS;
    }
    return S_OK;
}

HRESULT ServerUnregister(std::span<const ServerClass> classes)
{
    HRESULT result = S_OK;
    for (const ServerClass& c : classes) {
        if (FAILED(UnregisterClass(*c.clsid, c.progId)))
            result = SELFREG_E_CLASS;
    }
    return result;
}

} // namespace com
