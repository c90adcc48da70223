#pragma once
// The class factories of a module: each creatable class has one, made as a
// global object, which the module's entry points find by class identifier
// and which writes and removes the class's registry keys.

#include "platform/com/ClassFactory.h"
#include "platform/mfc/WinTypes.h"

#include <vector>

class COleObjectFactory {
public:
    COleObjectFactory(REFCLSID clsid, com::CreateFunction create, LPCTSTR lpszProgID, LPCTSTR lpszClassName);
    virtual ~COleObjectFactory();
    COleObjectFactory(const COleObjectFactory&) = delete;
    COleObjectFactory& operator=(const COleObjectFactory&) = delete;

    REFCLSID GetClassID() const { return m_clsid; }
    LPCTSTR GetProgID() const { return m_strProgID.c_str(); }
    // Writes (or removes) the class's keys: its name, the module's file and
    // its ProgID.
    virtual BOOL UpdateRegistry(BOOL bRegister);

    static BOOL UpdateRegistryAll(BOOL bRegister);
    // The class factory of a class of the module (or the host's hand-over).
    static HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);
    static const std::vector<COleObjectFactory*>& Factories();

protected:
    CLSID m_clsid;
    com::CreateFunction m_create;
    CString m_strProgID;
    CString m_strClassName;
};

// The keys of a control class: those of any class, plus "Control",
// "MiscStatus" (with "1" under it), "TypeLib", "Version" and, for a bitmap
// id other than 0, "ToolboxBitmap32".
BOOL AfxOleRegisterControlClass(REFCLSID clsid, LPCTSTR pszProgID, LPCTSTR pszTypeName, DWORD dwMiscStatus,
                                REFGUID tlid, WORD wVerMajor, WORD wVerMinor, UINT idBitmap = 0);
BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCTSTR pszProgID);
