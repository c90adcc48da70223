#include "platform/com/Unknown.h"

namespace com {

HRESULT QueryInterfaceFromTable(void* object, std::span<const InterfaceEntry> table, REFIID iid, void** result)
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (table.empty())
        return E_NOINTERFACE;
    IUnknown* found = nullptr;
    if (iid == IID_IUnknown) {
        found = table.front().cast(object);
    } else {
        for (const InterfaceEntry& entry : table) {
            if (*entry.iid == iid) {
                found = entry.cast(object);
                break;
            }
        }
    }
    if (!found)
        return E_NOINTERFACE;
    found->AddRef();
    *result = found;
    return S_OK;
}

} // namespace com

