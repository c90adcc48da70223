#include "platform/com/Variant.h"

#include "platform/com/Dispatch.h"

#include "platform/basic/NumberText.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Variant.h"

#include <cmath>
#include <string>

namespace {

bool isScalar(VARTYPE vt)
{
    switch (vt) {
    case VT_EMPTY:
    case VT_I2:
    case VT_I4:
    case VT_R8:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_BOOL:
    case VT_UNKNOWN:
    case VT_I8:
        return true;
    default:
        return false;
    }
}

bool isValid(VARTYPE vt)
{
    return isScalar(vt) || vt == (VT_BYREF | VT_I2) || vt == (VT_BYREF | VT_I4) || vt == (VT_BYREF | VT_VARIANT);
}

// The object a VT_DISPATCH or VT_UNKNOWN value holds; null for anything else.
IUnknown* objectOf(const VARIANT& v)
{
    if (v.vt == VT_DISPATCH)
        return v.pdispVal;
    if (v.vt == VT_UNKNOWN)
        return v.punkVal;
    return nullptr;
}

VARIANT empty()
{
    VARIANT v;
    VariantInit(&v);
    return v;
}

// A reference to a VARIANT may point at another reference; a chain this
// long is a loop.
constexpr int kMaxIndirection = 4;

HRESULT copyInd(VARIANT* dest, const VARIANT* src, int depth)
{
    if (src->vt == (VT_BYREF | VT_I2)) {
        VARIANT v = empty();
        v.vt = VT_I2;
        v.iVal = *src->piVal;
        VariantClear(dest);
        *dest = v;
        return S_OK;
    }
    if (src->vt == (VT_BYREF | VT_I4)) {
        VARIANT v = empty();
        v.vt = VT_I4;
        v.lVal = *src->plVal;
        VariantClear(dest);
        *dest = v;
        return S_OK;
    }
    if (src->vt == (VT_BYREF | VT_VARIANT)) {
        if (!src->pvarVal || depth >= kMaxIndirection)
            return DISP_E_BADVARTYPE;
        return copyInd(dest, src->pvarVal, depth + 1);
    }
    return VariantCopy(dest, src);
}

// The runtime value of a plain (not by-reference) number, boolean or text.
vb::Variant runtimeValue(const VARIANT& v)
{
    switch (v.vt) {
    case VT_I2:
        return vb::Variant(v.iVal);
    case VT_I4:
        return vb::Variant(v.lVal);
    case VT_I8:
        return vb::Variant(v.llVal);
    case VT_R8:
        return vb::Variant(v.dblVal);
    case VT_BOOL:
        return vb::Variant(v.boolVal != 0);
    case VT_BSTR:
        return vb::Variant(com::Utf8FromBstr(v.bstrVal));
    default:
        return vb::Variant();
    }
}

HRESULT toInt64(const VARIANT& v, std::int64_t& out)
{
    switch (v.vt) {
    case VT_EMPTY:
        out = 0;
        return S_OK;
    case VT_I2:
        out = v.iVal;
        return S_OK;
    case VT_I4:
        out = v.lVal;
        return S_OK;
    case VT_I8:
        out = v.llVal;
        return S_OK;
    case VT_BOOL:
        out = v.boolVal ? -1 : 0;
        return S_OK;
    case VT_R8: {
        const double r = vb::RoundHalfEven(v.dblVal);
        // 2^63 is exact in a double; the range is [-2^63, 2^63).
        constexpr double kLimit = 9223372036854775808.0;
        if (!(r >= -kLimit && r < kLimit))
            return DISP_E_OVERFLOW;
        out = static_cast<std::int64_t>(r);
        return S_OK;
    }
    case VT_BSTR: {
        vb::detail::ParsedNumber n;
        if (!vb::detail::ParseNumberText(com::Utf8FromBstr(v.bstrVal), n))
            return DISP_E_TYPEMISMATCH;
        return vb::detail::DecimalToScaled(n, 0, out) ? S_OK : DISP_E_OVERFLOW;
    }
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

HRESULT fromError(const vb::RuntimeError& e)
{
    return e.Number() == vb::kErrOverflow ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
}

// Converts a plain value to vt into out (empty on entry).
HRESULT convertPlain(const VARIANT& src, WORD flags, VARTYPE vt, VARIANT& out)
{
    if (vt == VT_EMPTY)
        return S_OK;
    if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
        if (src.vt != VT_DISPATCH && src.vt != VT_UNKNOWN)
            return DISP_E_TYPEMISMATCH;
        IUnknown* object = objectOf(src);
        void* result = nullptr;
        if (object) {
            const HRESULT hr = object->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &result);
            if (FAILED(hr))
                return hr == E_NOINTERFACE ? DISP_E_TYPEMISMATCH : hr;
        }
        out.vt = vt;
        if (vt == VT_DISPATCH)
            out.pdispVal = static_cast<IDispatch*>(result);
        else
            out.punkVal = static_cast<IUnknown*>(result);
        return S_OK;
    }
    if (src.vt == VT_DISPATCH || src.vt == VT_UNKNOWN)
        return DISP_E_TYPEMISMATCH;

    if (vt == VT_I8) {
        std::int64_t n = 0;
        if (const HRESULT hr = toInt64(src, n); FAILED(hr))
            return hr;
        out.vt = VT_I8;
        out.llVal = n;
        return S_OK;
    }
    if (src.vt == VT_I8 && vt == VT_BSTR) {
        out.bstrVal = com::BstrFromUtf8(std::to_string(src.llVal));
        if (!out.bstrVal)
            return E_OUTOFMEMORY;
        out.vt = VT_BSTR;
        return S_OK;
    }
    if (src.vt == VT_BOOL && vt == VT_BSTR && !(flags & VARIANT_ALPHABOOL)) {
        out.bstrVal = com::BstrFromUtf8(src.boolVal ? "-1" : "0");
        if (!out.bstrVal)
            return E_OUTOFMEMORY;
        out.vt = VT_BSTR;
        return S_OK;
    }

    const vb::Variant value = runtimeValue(src);
    try {
        switch (vt) {
        case VT_I2:
            out.iVal = vb::CInt(value);
            break;
        case VT_I4:
            out.lVal = vb::CLng(value);
            break;
        case VT_R8:
            out.dblVal = src.vt == VT_I8 ? static_cast<double>(src.llVal) : vb::CDbl(value);
            break;
        case VT_BOOL:
            out.boolVal = (src.vt == VT_I8 ? src.llVal != 0 : vb::CBool(value)) ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case VT_BSTR:
            out.bstrVal = com::BstrFromUtf8(vb::CStr(value));
            if (!out.bstrVal)
                return E_OUTOFMEMORY;
            break;
        default:
            return DISP_E_BADVARTYPE;
        }
    } catch (const vb::RuntimeError& e) {
        return fromError(e);
    }
    out.vt = vt;
    return S_OK;
}

} // namespace

void VariantInit(VARIANT* v)
{
    v->vt = VT_EMPTY;
    v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
    v->llVal = 0;
}

HRESULT VariantClear(VARIANT* v)
{
    if (!v)
        return E_INVALIDARG;
    if (!isValid(v->vt))
        return DISP_E_BADVARTYPE;
    switch (v->vt) {
    case VT_BSTR:
        SysFreeString(v->bstrVal);
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (IUnknown* object = objectOf(*v))
            object->Release();
        break;
    default:
        break;
    }
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src)
{
    if (!dest || !src)
        return E_INVALIDARG;
    if (!isValid(src->vt))
        return DISP_E_BADVARTYPE;
    if (dest == src)
        return S_OK;
    VARIANT copy = *src;
    if (src->vt == VT_BSTR && src->bstrVal) {
        copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
        if (!copy.bstrVal)
            return E_OUTOFMEMORY;
    } else if (IUnknown* object = objectOf(*src)) {
        object->AddRef();
    }
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src)
{
    if (!dest || !src)
        return E_INVALIDARG;
    if (!isValid(src->vt))
        return DISP_E_BADVARTYPE;
    if (dest == src) {
        VARIANT plain = empty();
        if (const HRESULT hr = copyInd(&plain, src, 0); FAILED(hr))
            return hr;
        VariantClear(dest);
        *dest = plain;
        return S_OK;
    }
    return copyInd(dest, src, 0);
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, WORD flags, VARTYPE vt)
{
    if (!dest || !src)
        return E_INVALIDARG;
    if (!isValid(src->vt) || !isScalar(vt))
        return DISP_E_BADVARTYPE;
    VARIANT plain = empty();
    if (const HRESULT hr = copyInd(&plain, src, 0); FAILED(hr))
        return hr;
    VARIANT converted = empty();
    HRESULT hr = S_OK;
    if (plain.vt == vt) {
        converted = plain;
        plain = empty();
    } else {
        hr = convertPlain(plain, flags, vt, converted);
        VariantClear(&plain);
    }
    if (FAILED(hr))
        return hr;
    VariantClear(dest);
    *dest = converted;
    return S_OK;
}

namespace com {

namespace {
ComVariant make(VARTYPE vt)
{
    ComVariant v;
    v.vt = vt;
    return v;
}
} // namespace

ComVariant ComVariant::I2(std::int16_t value)
{
    ComVariant v = make(VT_I2);
    v.iVal = value;
    return v;
}

ComVariant ComVariant::I4(std::int32_t value)
{
    ComVariant v = make(VT_I4);
    v.lVal = value;
    return v;
}

ComVariant ComVariant::I8(std::int64_t value)
{
    ComVariant v = make(VT_I8);
    v.llVal = value;
    return v;
}

ComVariant ComVariant::R8(double value)
{
    ComVariant v = make(VT_R8);
    v.dblVal = value;
    return v;
}

ComVariant ComVariant::Bool(bool value)
{
    ComVariant v = make(VT_BOOL);
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

ComVariant ComVariant::Text(std::string_view utf8)
{
    ComVariant v = make(VT_BSTR);
    v.bstrVal = BstrFromUtf8(utf8);
    return v;
}

ComVariant ComVariant::Dispatch(IDispatch* object)
{
    ComVariant v = make(VT_DISPATCH);
    v.pdispVal = object;
    return v;
}

ComVariant ComVariant::Unknown(IUnknown* object)
{
    ComVariant v = make(VT_UNKNOWN);
    v.punkVal = object;
    return v;
}

ComVariant ComVariant::I2Ref(std::int16_t* p)
{
    ComVariant v = make(VT_BYREF | VT_I2);
    v.piVal = p;
    return v;
}

ComVariant ComVariant::I4Ref(std::int32_t* p)
{
    ComVariant v = make(VT_BYREF | VT_I4);
    v.plVal = p;
    return v;
}

ComVariant ComVariant::VariantRef(VARIANT* p)
{
    ComVariant v = make(VT_BYREF | VT_VARIANT);
    v.pvarVal = p;
    return v;
}

} // namespace com
