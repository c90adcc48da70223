#pragma once
// Type information read from the dispatch tables: what a container asks to
// learn a component's members and its events (the type library the
// component's tables stand for), and IProvideClassInfo2, which tells a
// container the default event interface to connect its sink to.

#include "platform/com/DispatchTable.h"

enum TYPEKIND : WORD { TKIND_DISPATCH = 4, TKIND_COCLASS = 5 };

using INVOKEKIND = WORD;
inline constexpr INVOKEKIND INVOKE_FUNC = 1;
inline constexpr INVOKEKIND INVOKE_PROPERTYGET = 2;
inline constexpr INVOKEKIND INVOKE_PROPERTYPUT = 4;
inline constexpr INVOKEKIND INVOKE_PROPERTYPUTREF = 8;

inline constexpr WORD PARAMFLAG_FIN = 0x1;
inline constexpr WORD PARAMFLAG_FOUT = 0x2;

inline constexpr int IMPLTYPEFLAG_FDEFAULT = 0x1;
inline constexpr int IMPLTYPEFLAG_FSOURCE = 0x2;

using HREFTYPE = DWORD;

struct TYPEATTR {
    GUID guid;
    TYPEKIND typekind;
    WORD cFuncs;
    WORD cImplTypes;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
};

struct ELEMDESC {
    VARTYPE vt;
    WORD wParamFlags;
};

// One entry a caller can invoke: a method, an event, or one direction of a
// property (a property with a put has two).
struct FUNCDESC {
    MEMBERID memid;
    INVOKEKIND invkind;
    short cParams;
    const ELEMDESC* lprgelemdescParam;
    ELEMDESC elemdescFunc;
};

struct ITypeInfo : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{00020401-0000-0000-C000-000000000046}");
    virtual HRESULT GetTypeAttr(TYPEATTR** attr) = 0;
    virtual void ReleaseTypeAttr(TYPEATTR* attr) = 0;
    virtual HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) = 0;
    virtual void ReleaseFuncDesc(FUNCDESC* desc) = 0;
    // The member's name, then its parameters' names.
    virtual HRESULT GetNames(MEMBERID id, BSTR* names, UINT maxNames, UINT* count) = 0;
    virtual HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) = 0;
    virtual HRESULT GetDocumentation(MEMBERID id, BSTR* name, BSTR* docString, DWORD* helpContext,
                                     BSTR* helpFile) = 0;
    // Of a class: the interfaces it implements and their flags.
    virtual HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* ref) = 0;
    virtual HRESULT GetImplTypeFlags(UINT index, int* flags) = 0;
    virtual HRESULT GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info) = 0;

protected:
    ~ITypeInfo() = default;
};

inline constexpr DWORD GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

struct IProvideClassInfo : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{B196B283-BAB4-101A-B69C-00AA00341D07}");
    virtual HRESULT GetClassInfo(ITypeInfo** info) = 0;

protected:
    ~IProvideClassInfo() = default;
};

struct IProvideClassInfo2 : IProvideClassInfo {
    static constexpr IID kIid = com::GuidLiteral("{A6BC3AC0-DBAA-11CE-9DE3-00AA004BB851}");
    virtual HRESULT GetGUID(DWORD kind, GUID* guid) = 0;

protected:
    ~IProvideClassInfo2() = default;
};

namespace com {

// A creatable class as its type information shows it: its default dispatch
// interface and its default event interface (either may be absent).
struct CoClassInfo {
    const CLSID* clsid;
    const char* name;
    const DispatchTable* defaultInterface;
    const DispatchTable* defaultSource;
    WORD majorVersion = 1;
    WORD minorVersion = 0;
};

// The type information of a dispatch or event interface.
HRESULT CreateTypeInfo(const DispatchTable& table, ITypeInfo** info);
// The type information of a class.
HRESULT CreateClassTypeInfo(const CoClassInfo& coclass, ITypeInfo** info);
// IProvideClassInfo2::GetGUID for the class: its default event interface.
HRESULT ClassDefaultSource(const CoClassInfo& coclass, DWORD kind, GUID* guid);

// IDispatch over Derived's table, static const DispatchTable& Table(), for
// an object built on ComObject (which supplies IUnknown).
template <class Derived, class Interface = IDispatch>
class DispatchImpl : public Interface {
public:
    HRESULT GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (index != 0)
            return DISP_E_BADINDEX;
        return CreateTypeInfo(Derived::Table(), info);
    }
    HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        return DispGetIDsOfNames(Derived::Table(), iid, names, count, ids);
    }
    HRESULT Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* excepInfo, UINT* argErr) override
    {
        return DispInvoke(Derived::Table(), static_cast<Derived*>(this), id, iid, flags, params, result,
                          excepInfo, argErr);
    }

protected:
    ~DispatchImpl() = default;
};

} // namespace com
