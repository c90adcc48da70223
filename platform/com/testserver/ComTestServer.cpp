// The test component library: one class, the widget.

#include "platform/com/Server.h"
#include "platform/com/testserver/ComTestIds.h"
#include "platform/com/testserver/TestWidget.h"

namespace {

const com::ServerClass kClasses[] = {
    {&comtest::CLSID_Widget, comtest::kProgId, "Test widget", &com::CreateObject<comtest::Widget>},
};

} // namespace

COM_SERVER_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return com::ServerGetClassObject(kClasses, clsid, iid, object);
}

COM_SERVER_EXPORT HRESULT DllCanUnloadNow()
{
    return com::Module().CanUnloadNow();
}

COM_SERVER_EXPORT HRESULT DllRegisterServer()
{
    return com::ServerRegister(kClasses);
}

COM_SERVER_EXPORT HRESULT DllUnregisterServer()
{
    return com::ServerUnregister(kClasses);
}
