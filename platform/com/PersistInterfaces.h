#pragma once
// How a container saves and loads an object's state: into a stream (the
// object's own byte layout) or into a property bag (named values).

#include "platform/com/Dispatch.h"
#include "platform/com/Stream.h"

struct IPersist : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{0000010C-0000-0000-C000-000000000046}");
    virtual HRESULT GetClassID(CLSID* clsid) = 0;

protected:
    ~IPersist() = default;
};

struct IPersistStreamInit : IPersist {
    static constexpr IID kIid = com::GuidLiteral("{7FD52380-4E07-101B-AE2D-08002B2EC713}");
    // S_OK when changed since the last save, S_FALSE otherwise.
    virtual HRESULT IsDirty() = 0;
    // Reads from the stream's current position; leaves it after the object's bytes.
    virtual HRESULT Load(IStream* stream) = 0;
    virtual HRESULT Save(IStream* stream, BOOL clearDirty) = 0;
    virtual HRESULT GetSizeMax(std::uint64_t* size) = 0;
    // The object starts with its defaults instead of loading.
    virtual HRESULT InitNew() = 0;

protected:
    ~IPersistStreamInit() = default;
};

// Where a bag reports the values it could not read; nothing here writes one.
struct IErrorLog : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{3127CA40-446E-11CE-8135-00AA004BB851}");
    virtual HRESULT AddError(LPCOLESTR name, EXCEPINFO* info) = 0;

protected:
    ~IErrorLog() = default;
};

struct IPropertyBag : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{55272A00-42CB-11CE-8135-00AA004BB851}");
    // value->vt says the type wanted (VT_EMPTY: as stored); E_INVALIDARG for a
    // name the bag does not hold, DISP_E_TYPEMISMATCH when it cannot be
    // converted.
    virtual HRESULT Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) = 0;
    virtual HRESULT Write(LPCOLESTR name, VARIANT* value) = 0;

protected:
    ~IPropertyBag() = default;
};

struct IPersistPropertyBag : IPersist {
    static constexpr IID kIid = com::GuidLiteral("{37D84F60-42CB-11CE-8135-00AA004BB851}");
    virtual HRESULT InitNew() = 0;
    virtual HRESULT Load(IPropertyBag* bag, IErrorLog* log) = 0;
    virtual HRESULT Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAllProperties) = 0;

protected:
    ~IPersistPropertyBag() = default;
};
