#include "platform/com/DispatchTable.h"

#include <limits>
#include <new>
#include <vector>

namespace com {

namespace {

// Ends a call early with a result code of the dispatch layer itself.
struct InvokeFailure {
    HRESULT hr;
};

char16_t fold(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool sameName(const char* ascii, std::u16string_view name)
{
    std::size_t i = 0;
    for (; ascii[i] != '\0'; ++i) {
        if (i >= name.size() || fold(static_cast<char16_t>(static_cast<unsigned char>(ascii[i]))) != fold(name[i]))
            return false;
    }
    return i == name.size();
}

bool isByRef(VARTYPE vt)
{
    return (vt & VT_BYREF) != 0;
}

void fillException(EXCEPINFO* info, const DispatchTable& table, HRESULT scode, const std::string& description)
{
    if (!info)
        return;
    *info = EXCEPINFO{};
    info->bstrSource = BstrFromUtf8(table.name ? table.name : "");
    info->bstrDescription = BstrFromUtf8(description);
    info->scode = scode;
}

// The positional arguments of a method call converted to the member's types,
// in the member's order; the caller's own variants for references and for
// VT_VARIANT parameters.
HRESULT prepareArgs(const DispatchMember& member, DISPPARAMS& params, std::vector<ComVariant>& converted,
                    std::vector<VARIANT*>& args, UINT* argErr)
{
    const std::span<const ParamInfo> declared = member.Params();
    converted.resize(declared.size());
    args.resize(declared.size());
    for (std::size_t i = 0; i < declared.size(); ++i) {
        const UINT position = params.cArgs - 1 - static_cast<UINT>(i);
        VARIANT& given = params.rgvarg[position];
        const VARTYPE want = declared[i].vt;
        HRESULT hr = S_OK;
        if (want == VT_VARIANT) {
            args[i] = &given;
            continue;
        }
        if (isByRef(want)) {
            if (given.vt != want || !given.byref)
                hr = DISP_E_TYPEMISMATCH;
            args[i] = &given;
        } else {
            hr = VariantChangeType(&converted[i], &given, 0, want);
            args[i] = &converted[i];
        }
        if (FAILED(hr)) {
            if (argErr)
                *argErr = position;
            return hr;
        }
    }
    return S_OK;
}

} // namespace

const DispatchMember* DispatchTable::Find(DISPID id) const
{
    for (const DispatchMember& m : members) {
        if (m.id == id)
            return &m;
    }
    return nullptr;
}

const DispatchMember* DispatchTable::Find(std::u16string_view name) const
{
    for (const DispatchMember& m : members) {
        if (sameName(m.name, name))
            return &m;
    }
    return nullptr;
}

VARIANT& InvokeCall::ArgVariant(std::size_t index) const
{
    if (index >= args_.size())
        Fail(DISP_E_BADPARAMCOUNT);
    return *args_[index];
}

void InvokeCall::Fail(HRESULT hr)
{
    throw InvokeFailure{hr};
}

void InvokeCall::SetNumber(double value, std::int64_t whole, bool isFloat)
{
    ComVariant from;
    if (isFloat) {
        from = ComVariant::R8(value);
    } else if (member_.type == VT_I4 && whole > std::numeric_limits<std::int32_t>::max() &&
               whole <= std::numeric_limits<std::uint32_t>::max()) {
        // Unsigned 32-bit values (colours, handles) keep their bits.
        from = ComVariant::I4(static_cast<std::int32_t>(static_cast<std::uint32_t>(whole)));
    } else {
        from = ComVariant::I8(whole);
    }
    if (member_.type == VT_BSTR || member_.type == VT_DISPATCH || member_.type == VT_UNKNOWN ||
        member_.type == VT_VARIANT || member_.type == VT_EMPTY)
        Mismatch();
    ComVariant to;
    if (const HRESULT hr = VariantChangeType(&to, &from, 0, member_.type); FAILED(hr))
        Fail(hr);
    VariantClear(&result_);
    result_ = to;
    VariantInit(&to);
}

HRESULT DispInvoke(const DispatchTable& table, void* object, DISPID id, REFIID iid, WORD flags,
                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr)
{
    if (iid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    DISPPARAMS& p = params ? *params : none;
    if ((p.cArgs > 0 && !p.rgvarg) || (p.cNamedArgs > 0 && !p.rgdispidNamedArgs) || p.cNamedArgs > p.cArgs)
        return E_INVALIDARG;
    const DispatchMember* member = table.Find(id);
    if (!member || member->kind == MemberKind::Event)
        return DISP_E_MEMBERNOTFOUND;

    const bool isProperty = member->kind == MemberKind::Property || member->kind == MemberKind::ReadOnlyProperty;
    std::vector<ComVariant> converted;
    std::vector<VARIANT*> args;
    MemberHandler handler = nullptr;

    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (!isProperty || !member->put)
            return DISP_E_MEMBERNOTFOUND;
        if (p.cNamedArgs == 0)
            return DISP_E_PARAMNOTFOUND;
        if (p.cNamedArgs != 1 || p.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_NONAMEDARGS;
        if (p.cArgs != 1)
            return DISP_E_BADPARAMCOUNT;
        converted.resize(1);
        if (member->type == VT_VARIANT) {
            args.push_back(&p.rgvarg[0]);
        } else {
            if (const HRESULT hr = VariantChangeType(&converted[0], &p.rgvarg[0], 0, member->type); FAILED(hr)) {
                if (argErr)
                    *argErr = 0;
                return hr;
            }
            args.push_back(&converted[0]);
        }
        handler = member->put;
    } else if (isProperty && (flags & DISPATCH_PROPERTYGET)) {
        if (p.cNamedArgs != 0)
            return DISP_E_NONAMEDARGS;
        if (p.cArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        handler = member->invoke;
    } else if (!isProperty && (flags & DISPATCH_METHOD)) {
        if (p.cNamedArgs != 0)
            return DISP_E_NONAMEDARGS;
        if (p.cArgs != member->paramCount)
            return DISP_E_BADPARAMCOUNT;
        if (const HRESULT hr = prepareArgs(*member, p, converted, args, argErr); FAILED(hr))
            return hr;
        handler = member->invoke;
    } else {
        return flags == 0 ? E_INVALIDARG : DISP_E_MEMBERNOTFOUND;
    }
    if (!handler)
        return DISP_E_MEMBERNOTFOUND;

    ComVariant answer;
    try {
        InvokeCall call(*member, args, answer);
        handler(object, call);
    } catch (const InvokeFailure& f) {
        return f.hr;
    } catch (const DispatchException& e) {
        fillException(excepInfo, table, e.Scode(), e.what());
        return DISP_E_EXCEPTION;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        fillException(excepInfo, table, E_FAIL, e.what());
        return DISP_E_EXCEPTION;
    }
    if (result) {
        *result = answer;
        VariantInit(&answer);
    }
    return S_OK;
}

HRESULT DispGetIDsOfNames(const DispatchTable& table, REFIID iid, LPOLESTR* names, UINT count, DISPID* ids)
{
    if (iid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if ((count > 0 && (!names || !ids)))
        return E_INVALIDARG;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        if (i == 0 && names[0]) {
            if (const DispatchMember* m = table.Find(std::u16string_view(names[0])))
                ids[0] = m->id;
        }
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

} // namespace com
