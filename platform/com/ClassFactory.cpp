#include "platform/com/ClassFactory.h"

#include <new>

namespace com {

std::span<const InterfaceEntry> ClassFactory::InterfaceTable() const
{
    static constexpr InterfaceEntry table[] = {Implements<ClassFactory, IClassFactory>()};
    return table;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    try {
        return create_(iid, object);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT ClassFactory::LockServer(BOOL fLock)
{
    if (fLock)
        Module().Lock();
    else
        Module().Unlock();
    return S_OK;
}

} // namespace com
