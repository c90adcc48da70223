#include "platform/com/TypeInfo.h"

#include <vector>

namespace com {

namespace {

constexpr MEMBERID kMemberNil = -1;

// The type information of one dispatch table or one class, built once when
// asked for and handed out as plain data that lives as long as the object.
class TypeInfo final : public ComObject<TypeInfo, ITypeInfo> {
public:
    explicit TypeInfo(const DispatchTable& table) : table_(&table)
    {
        for (const DispatchMember& m : table.members) {
            const bool isProperty = m.kind == MemberKind::Property || m.kind == MemberKind::ReadOnlyProperty;
            if (isProperty) {
                add(m, INVOKE_PROPERTYGET, {}, m.type);
                if (m.put)
                    add(m, INVOKE_PROPERTYPUT, {ELEMDESC{m.type, PARAMFLAG_FIN}}, VT_EMPTY);
            } else {
                std::vector<ELEMDESC> params;
                for (const ParamInfo& p : m.Params())
                    params.push_back({p.vt, static_cast<WORD>((p.vt & VT_BYREF) ? PARAMFLAG_FOUT : PARAMFLAG_FIN)});
                add(m, INVOKE_FUNC, std::move(params), m.type);
            }
        }
        attr_ = TYPEATTR{*table.iid, TKIND_DISPATCH, static_cast<WORD>(funcs_.size()), 0, 0, 0};
        name_ = table.name;
    }

    explicit TypeInfo(const CoClassInfo& coclass)
    {
        if (coclass.defaultInterface)
            impls_.push_back({coclass.defaultInterface, IMPLTYPEFLAG_FDEFAULT});
        if (coclass.defaultSource)
            impls_.push_back({coclass.defaultSource, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE});
        attr_ = TYPEATTR{*coclass.clsid, TKIND_COCLASS, 0, static_cast<WORD>(impls_.size()), coclass.majorVersion,
                         coclass.minorVersion};
        name_ = coclass.name;
    }

    std::span<const InterfaceEntry> InterfaceTable() const
    {
        static constexpr InterfaceEntry table[] = {Implements<TypeInfo, ITypeInfo>()};
        return table;
    }

    HRESULT GetTypeAttr(TYPEATTR** attr) override
    {
        if (!attr)
            return E_POINTER;
        *attr = &attr_;
        return S_OK;
    }
    void ReleaseTypeAttr(TYPEATTR*) override {}

    HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) override
    {
        if (!desc)
            return E_POINTER;
        *desc = nullptr;
        if (index >= funcs_.size())
            return TYPE_E_ELEMENTNOTFOUND;
        Func& f = funcs_[index];
        f.desc.lprgelemdescParam = f.params.data();
        *desc = &f.desc;
        return S_OK;
    }
    void ReleaseFuncDesc(FUNCDESC*) override {}

    HRESULT GetNames(MEMBERID id, BSTR* names, UINT maxNames, UINT* count) override
    {
        if (!names || !count)
            return E_POINTER;
        *count = 0;
        const DispatchMember* m = table_ ? table_->Find(id) : nullptr;
        if (!m)
            return TYPE_E_ELEMENTNOTFOUND;
        if (maxNames > 0)
            names[(*count)++] = BstrFromUtf8(m->name);
        for (const ParamInfo& p : m->Params()) {
            if (*count >= maxNames)
                break;
            names[(*count)++] = BstrFromUtf8(p.name ? p.name : "");
        }
        return S_OK;
    }

    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override
    {
        if (!table_) {
            for (UINT i = 0; ids && i < count; ++i)
                ids[i] = DISPID_UNKNOWN;
            return DISP_E_UNKNOWNNAME;
        }
        return DispGetIDsOfNames(*table_, IID_NULL, names, count, ids);
    }

    HRESULT GetDocumentation(MEMBERID id, BSTR* name, BSTR* docString, DWORD* helpContext, BSTR* helpFile) override
    {
        const char* text = nullptr;
        if (id == kMemberNil) {
            text = name_;
        } else if (const DispatchMember* m = table_ ? table_->Find(id) : nullptr) {
            text = m->name;
        } else {
            return TYPE_E_ELEMENTNOTFOUND;
        }
        if (name)
            *name = BstrFromUtf8(text ? text : "");
        if (docString)
            *docString = nullptr;
        if (helpContext)
            *helpContext = 0;
        if (helpFile)
            *helpFile = nullptr;
        return S_OK;
    }

    HRESULT GetRefTypeOfImplType(UINT index, HREFTYPE* ref) override
    {
        if (!ref)
            return E_POINTER;
        if (index >= impls_.size())
            return TYPE_E_ELEMENTNOTFOUND;
        *ref = index;
        return S_OK;
    }

    HRESULT GetImplTypeFlags(UINT index, int* flags) override
    {
        if (!flags)
            return E_POINTER;
        if (index >= impls_.size())
            return TYPE_E_ELEMENTNOTFOUND;
        *flags = impls_[index].flags;
        return S_OK;
    }

    HRESULT GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (ref >= impls_.size())
            return TYPE_E_ELEMENTNOTFOUND;
        return CreateTypeInfo(*impls_[ref].table, info);
    }

private:
    struct Func {
        FUNCDESC desc;
        std::vector<ELEMDESC> params;
    };
    struct Impl {
        const DispatchTable* table;
        int flags;
    };

    void add(const DispatchMember& m, INVOKEKIND kind, std::vector<ELEMDESC> params, VARTYPE result)
    {
        Func f;
        f.desc = FUNCDESC{m.id, kind, static_cast<short>(params.size()), nullptr, ELEMDESC{result, 0}};
        f.params = std::move(params);
        funcs_.push_back(std::move(f));
    }

    const DispatchTable* table_ = nullptr;
    const char* name_ = nullptr;
    TYPEATTR attr_{};
    std::vector<Func> funcs_;
    std::vector<Impl> impls_;
};

} // namespace

HRESULT CreateTypeInfo(const DispatchTable& table, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = new TypeInfo(table);
    return S_OK;
}

HRESULT CreateClassTypeInfo(const CoClassInfo& coclass, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = new TypeInfo(coclass);
    return S_OK;
}

HRESULT ClassDefaultSource(const CoClassInfo& coclass, DWORD kind, GUID* guid)
{
    if (!guid)
        return E_POINTER;
    *guid = GUID_NULL;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
        return E_INVALIDARG;
    if (!coclass.defaultSource)
        return E_FAIL;
    *guid = *coclass.defaultSource->iid;
    return S_OK;
}

} // namespace com
