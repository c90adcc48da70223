#pragma once
// IUnknown, a smart pointer for interfaces, and the base of our own objects:
// an atomic reference count, the module's object count, and QueryInterface
// answered from a table of the interfaces an object hands out.

#include "platform/com/Guid.h"
#include "platform/com/HResult.h"
#include "platform/com/Module.h"

#include <atomic>
#include <span>
#include <utility>

struct IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{00000000-0000-0000-C000-000000000046}");
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

inline constexpr const IID& IID_IUnknown = IUnknown::kIid;

namespace com {

// Holds one reference to an interface.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Adds a reference of its own.
    ComPtr(T* p) : p_(p)
    {
        if (p_)
            p_->AddRef();
    }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept
    {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Takes over a reference someone else counted.
    static ComPtr Attach(T* p)
    {
        ComPtr c;
        c.p_ = p;
        return c;
    }
    T* Detach() { return std::exchange(p_, nullptr); }
    void Reset()
    {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // The address to receive a counted pointer into; the current one is released first.
    T** Receive()
    {
        Reset();
        return &p_;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    // QueryInterface for U.
    template <class U>
    ComPtr<U> As() const
    {
        ComPtr<U> u;
        if (p_)
            p_->QueryInterface(U::kIid, u.ReceiveVoid());
        return u;
    }

private:
    T* p_ = nullptr;
};

// One row of an object's interface table: the id asked for and how to get
// from the object to that interface.
struct InterfaceEntry {
    const IID* iid;
    IUnknown* (*cast)(void* object);
};

// The row for interface I of class T, under I's own id or another one (a
// dispatch interface is handed out as IDispatch under the id of its own).
template <class T, class I>
constexpr InterfaceEntry Implements(const IID& iid = I::kIid)
{
    return {&iid, [](void* object) -> IUnknown* { return static_cast<I*>(static_cast<T*>(object)); }};
}

// QueryInterface from a table; IUnknown is the first row's interface.
HRESULT QueryInterfaceFromTable(void* object, std::span<const InterfaceEntry> table, REFIID iid, void** result);

// The reference count and module count of an object. An object starts with
// one reference, its creator's.
class RefCounted {
public:
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

protected:
    RefCounted() { Module().ObjectCreated(); }
    virtual ~RefCounted() { Module().ObjectDestroyed(); }

    ULONG AddRefCount() { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
    // The references left; the owner deletes itself at 0.
    ULONG ReleaseCount() { return refs_.fetch_sub(1, std::memory_order_acq_rel) - 1; }

private:
    std::atomic<ULONG> refs_{1};
};

// An object implementing Interfaces; Derived lists them in
// std::span<const InterfaceEntry> InterfaceTable() const. Its last Release
// deletes it, so its destructor must be public.
template <class Derived, class... Interfaces>
class ComObject : public Interfaces..., public RefCounted {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override
    {
        auto* self = static_cast<Derived*>(this);
        return QueryInterfaceFromTable(self, self->InterfaceTable(), iid, object);
    }
    ULONG AddRef() override { return AddRefCount(); }
    ULONG Release() override
    {
        const ULONG left = ReleaseCount();
        if (left == 0)
            delete static_cast<Derived*>(this);
        return left;
    }
};

} // namespace com
