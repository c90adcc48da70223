#pragma once
// IDispatch: late-bound calls by member id with VARIANT arguments, the way
// containers and the program's forms reach a component.

#include "platform/com/DispIds.h"
#include "platform/com/Unknown.h"
#include "platform/com/Variant.h"

using LCID = DWORD;
// A colour as automation passes it (a VT_I4 value).
using OLE_COLOR = std::uint32_t;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

inline constexpr WORD DISPATCH_METHOD = 0x1;
inline constexpr WORD DISPATCH_PROPERTYGET = 0x2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

// The arguments of a call, last one first; the named ones (only the value of
// a property put, DISPID_PROPERTYPUT) come before the positional ones.
struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

// What a member that failed tells its caller when Invoke answers
// DISP_E_EXCEPTION. The caller frees the strings.
struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    SCODE scode;
};

struct ITypeInfo;

struct IDispatch : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{00020400-0000-0000-C000-000000000046}");
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) = 0;
    virtual HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* excepInfo, UINT* argErr) = 0;

protected:
    ~IDispatch() = default;
};

inline constexpr const IID& IID_IDispatch = IDispatch::kIid;
inline constexpr IID IID_NULL{};
