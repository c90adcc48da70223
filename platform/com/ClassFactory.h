#pragma once
// IClassFactory and the factory every class of a library is made by.

#include "platform/com/Unknown.h"

struct IClassFactory : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{00000001-0000-0000-C000-000000000046}");
    // Aggregation is not supported: a non-null outer answers CLASS_E_NOAGGREGATION.
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
    // Keeps the library loaded while fLock is TRUE (counted).
    virtual HRESULT LockServer(BOOL fLock) = 0;

protected:
    ~IClassFactory() = default;
};

inline constexpr const IID& IID_IClassFactory = IClassFactory::kIid;

namespace com {

// Makes a new object and hands out its interface iid.
using CreateFunction = HRESULT (*)(REFIID iid, void** object);

// The usual way to write a CreateFunction: a new T asked for iid.
template <class T>
HRESULT CreateObject(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    T* created = new T();
    const HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
}

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
public:
    explicit ClassFactory(CreateFunction create) : create_(create) {}

    std::span<const InterfaceEntry> InterfaceTable() const;

    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT LockServer(BOOL fLock) override;

private:
    CreateFunction create_;
};

} // namespace com
