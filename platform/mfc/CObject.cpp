#include "platform/mfc/CObject.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace {

struct ClassTable {
    std::mutex mutex;
    std::map<std::string, const CRuntimeClass*> byName;
};

ClassTable& classTable()
{
    static ClassTable t;
    return t;
}

} // namespace

const CRuntimeClass CObject::classCObject = {"CObject", int(sizeof(CObject)), 0xFFFF, nullptr, nullptr};

std::unique_ptr<CObject> CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == pBaseClass)
            return TRUE;
    return FALSE;
}

const CRuntimeClass* CRuntimeClass::FromName(LPCTSTR lpszClassName)
{
    if (!lpszClassName)
        return nullptr;
    ClassTable& t = classTable();
    std::lock_guard lock(t.mutex);
    const auto it = t.byName.find(lpszClassName);
    return it == t.byName.end() ? nullptr : it->second;
}

AFX_CLASSINIT::AFX_CLASSINIT(const CRuntimeClass* pNewClass)
{
    ClassTable& t = classTable();
    std::lock_guard lock(t.mutex);
    t.byName[pNewClass->m_lpszClassName] = pNewClass;
}

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

void CObject::Serialize(CArchive&)
{
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CObject::IsSerializable() const
{
    return GetRuntimeClass()->m_wSchema != 0xFFFF ? TRUE : FALSE;
}
