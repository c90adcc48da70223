// The four entry points of libquorvel.so, its only exported symbols.

#include "buttonlib/control/LumvexRegistration.h"

#include "platform/com/Server.h"

COM_SERVER_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return LumvexRegistration::GetClassObject(clsid, iid, object);
}

COM_SERVER_EXPORT HRESULT DllCanUnloadNow()
{
    return LumvexRegistration::CanUnloadNow();
}

COM_SERVER_EXPORT HRESULT DllRegisterServer()
{
    return LumvexRegistration::RegisterServer();
}

COM_SERVER_EXPORT HRESULT DllUnregisterServer()
{
    return LumvexRegistration::UnregisterServer();
}
