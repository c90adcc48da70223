#include "platform/mfc/COleObjectFactory.h"

#include "platform/com/Module.h"
#include "platform/com/Registration.h"
#include "platform/com/Server.h"

#include <algorithm>

namespace {

std::vector<COleObjectFactory*>& factories()
{
    static std::vector<COleObjectFactory*> all;
    return all;
}

} // namespace

COleObjectFactory::COleObjectFactory(REFCLSID clsid, com::CreateFunction create, LPCTSTR lpszProgID,
                                     LPCTSTR lpszClassName)
    : m_clsid(clsid), m_create(create), m_strProgID(lpszProgID ? lpszProgID : ""),
      m_strClassName(lpszClassName ? lpszClassName : "")
{
    factories().push_back(this);
}

COleObjectFactory::~COleObjectFactory()
{
    auto& all = factories();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

BOOL COleObjectFactory::UpdateRegistry(BOOL bRegister)
{
    if (bRegister)
        return SUCCEEDED(com::RegisterClass({m_clsid, m_strProgID, m_strClassName, com::ThisModulePath()}));
    return SUCCEEDED(com::UnregisterClass(m_clsid, m_strProgID));
}

BOOL COleObjectFactory::UpdateRegistryAll(BOOL bRegister)
{
    BOOL ok = TRUE;
    for (COleObjectFactory* f : factories())
        if (!f->UpdateRegistry(bRegister))
            ok = FALSE;
    return ok;
}

HRESULT COleObjectFactory::GetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    std::vector<com::ServerClass> classes;
    for (COleObjectFactory* f : factories())
        classes.push_back({&f->m_clsid, f->m_strProgID.c_str(), f->m_strClassName.c_str(), f->m_create});
    return com::ServerGetClassObject(classes, clsid, iid, object);
}

const std::vector<COleObjectFactory*>& COleObjectFactory::Factories()
{
    return factories();
}

BOOL AfxOleRegisterControlClass(REFCLSID clsid, LPCTSTR pszProgID, LPCTSTR pszTypeName, DWORD dwMiscStatus,
                                REFGUID tlid, WORD wVerMajor, WORD wVerMinor, UINT idBitmap)
{
    const CString progId = pszProgID ? pszProgID : "";
    if (FAILED(com::RegisterClass({clsid, progId, pszTypeName ? pszTypeName : "", com::ThisModulePath()})))
        return FALSE;
    const std::string key = com::ClassKey(clsid);
    const bool ok = SUCCEEDED(com::SetClassesRootValue(key + "\\Control", "", "")) &&
                    SUCCEEDED(com::SetClassesRootValue(key + "\\MiscStatus", "", "0")) &&
                    SUCCEEDED(com::SetClassesRootValue(key + "\\MiscStatus\\1", "", std::to_string(dwMiscStatus))) &&
                    SUCCEEDED(com::SetClassesRootValue(key + "\\TypeLib", "", com::GuidText(tlid))) &&
                    SUCCEEDED(com::SetClassesRootValue(key + "\\Version", "",
                                                       std::to_string(wVerMajor) + "." + std::to_string(wVerMinor))) &&
                    (idBitmap == 0 ||
                     SUCCEEDED(com::SetClassesRootValue(key + "\\ToolboxBitmap32", "",
                                                        com::ThisModulePath().string() + ", " +
                                                            std::to_string(idBitmap))));
    if (!ok)
        com::UnregisterClass(clsid, progId);
    return ok ? TRUE : FALSE;
}

BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCTSTR pszProgID)
{
    return SUCCEEDED(com::UnregisterClass(clsid, pszProgID ? pszProgID : "")) ? TRUE : FALSE;
}
