#pragma once
// The library's four entry points, as the shared library's exports call
// them: registering the type library and every class of the module, removing
// them again, handing out class factories, and telling whether the library
// may be unloaded.

#include "platform/com/ClassFactory.h"

namespace LumvexRegistration {

// S_OK, SELFREG_E_TYPELIB when the type library cannot be registered, or
// SELFREG_E_CLASS when a class cannot.
HRESULT RegisterServer();
// S_OK, SELFREG_E_TYPELIB or SELFREG_E_CLASS; category definitions stay.
HRESULT UnregisterServer();
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);
HRESULT CanUnloadNow();

} // namespace LumvexRegistration
