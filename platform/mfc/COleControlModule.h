#pragma once
// The application object of a control library, and the library's four
// entry points written with it:
//
//   COM_SERVER_EXPORT HRESULT DllGetClassObject(REFCLSID c, REFIID i, void** p) { return AfxDllGetClassObject(c, i, p); }
//   COM_SERVER_EXPORT HRESULT DllCanUnloadNow() { return AfxDllCanUnloadNow(); }
//   COM_SERVER_EXPORT HRESULT DllRegisterServer() { ... COleObjectFactory::UpdateRegistryAll(TRUE) ... }
//   COM_SERVER_EXPORT HRESULT DllUnregisterServer() { ... COleObjectFactory::UpdateRegistryAll(FALSE) ... }

#include "platform/com/Unknown.h"
#include "platform/mfc/CWinApp.h"

class COleControlModule : public CWinApp {
public:
    using CWinApp::CWinApp;
    BOOL InitInstance() override;
    int ExitInstance() override;
};

// The module is initialised first; then a factory of the module's classes,
// or the host's hand-over class.
HRESULT AfxDllGetClassObject(REFCLSID clsid, REFIID iid, void** object);
HRESULT AfxDllCanUnloadNow();
