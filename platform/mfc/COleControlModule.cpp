#include "platform/mfc/COleControlModule.h"

#include "platform/mfc/COleObjectFactory.h"

BOOL COleControlModule::InitInstance()
{
    return CWinApp::InitInstance();
}

int COleControlModule::ExitInstance()
{
    return CWinApp::ExitInstance();
}

HRESULT AfxDllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!AfxInitModule())
        return E_FAIL;
    return COleObjectFactory::GetClassObject(clsid, iid, object);
}

HRESULT AfxDllCanUnloadNow()
{
    return com::Module().CanUnloadNow();
}
