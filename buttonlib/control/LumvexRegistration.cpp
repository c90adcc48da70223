#include "buttonlib/control/LumvexRegistration.h"

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/control/LumvexResources.h"

#include "platform/com/Module.h"
#include "platform/com/Registration.h"
#include "platform/mfc/AfxMessageBox.h"
#include "platform/mfc/COleControlModule.h"
#include "platform/mfc/COleObjectFactory.h"

namespace {

// The control's class factory: registers the class with its categories.
class CLumvexCtrlFactory final : public COleObjectFactory {
public:
    CLumvexCtrlFactory()
        : COleObjectFactory(CLSID_LumvexCtrl, &com::CreateObject<CLumvexCtrl>, kLumvexProgId, "")
    {
    }

    BOOL UpdateRegistry(BOOL bRegister) override
    {
        if (!bRegister)
            return AfxOleUnregisterClass(m_clsid, m_strProgID.c_str());
        // A category the class cannot be entered in is no reason to give up
        // the class itself.
        if (SUCCEEDED(com::RegisterCategory(CATID_SafeForScripting, kCategoryLocale, kSafeForScriptingText)))
            com::RegisterClassImplCategory(m_clsid, CATID_SafeForScripting);
        if (SUCCEEDED(com::RegisterCategory(CATID_SafeForInitializing, kCategoryLocale, kSafeForInitializingText)))
            com::RegisterClassImplCategory(m_clsid, CATID_SafeForInitializing);
        LumvexResources::Register();
        CString typeName;
        AfxLoadString(IDS_LUMVEX, typeName);
        return AfxOleRegisterControlClass(m_clsid, m_strProgID.c_str(), typeName.c_str(), kLumvexMiscStatus,
                                          LIBID_LUMVEXLib4, kTypeLibMajor, kTypeLibMinor, IDB_LUMVEX);
    }
};

CLumvexCtrlFactory& controlFactory()
{
    static CLumvexCtrlFactory factory;
    return factory;
}

// Every factory of the module exists before the module's classes are asked for.
void makeFactories()
{
    controlFactory();
}

} // namespace

namespace LumvexRegistration {

HRESULT RegisterServer()
{
    makeFactories();
    if (FAILED(com::RegisterTypeLib(LIBID_LUMVEXLib4, kTypeLibMajor, kTypeLibMinor, 0, kTypeLibName,
                                    com::ThisModulePath())))
        return SELFREG_E_TYPELIB;
    return COleObjectFactory::UpdateRegistryAll(TRUE) ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterServer()
{
    makeFactories();
    if (FAILED(com::UnregisterTypeLib(LIBID_LUMVEXLib4, kTypeLibMajor, kTypeLibMinor, 0)))
        return SELFREG_E_TYPELIB;
    return COleObjectFactory::UpdateRegistryAll(FALSE) ? S_OK : SELFREG_E_CLASS;
}

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    makeFactories();
    return AfxDllGetClassObject(clsid, iid, object);
}

HRESULT CanUnloadNow()
{
    return AfxDllCanUnloadNow();
}

} // namespace LumvexRegistration
