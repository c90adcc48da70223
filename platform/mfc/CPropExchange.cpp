#include "platform/mfc/CPropExchange.h"

#include "platform/mfc/CFontHolder.h"

#include <cstring>

BOOL CPropExchange::CopyPropValue(VARTYPE vt, void* dst, const void* src)
{
    if (!dst || !src)
        return FALSE;
    switch (vt) {
    case VT_I2: *static_cast<short*>(dst) = *static_cast<const short*>(src); return TRUE;
    case VT_BOOL: *static_cast<BOOL*>(dst) = *static_cast<const BOOL*>(src); return TRUE;
    case VT_I4: *static_cast<LONG*>(dst) = *static_cast<const LONG*>(src); return TRUE;
    case VT_R8: *static_cast<double*>(dst) = *static_cast<const double*>(src); return TRUE;
    case VT_BSTR: *static_cast<CString*>(dst) = *static_cast<const CString*>(src); return TRUE;
    default: return FALSE;
    }
}

HGLOBAL CPropExchange::CopyBlob(HGLOBAL h)
{
    GlobalLockScope from(h);
    if (!from.get())
        return nullptr;
    const SIZE_T size = GlobalSize(h);
    GlobalBlockOwner copy(GlobalAlloc(GHND, size));
    GlobalLockScope to(copy.get());
    if (!to.get())
        return nullptr;
    std::memcpy(to.get(), from.get(), size);
    return copy.release();
}

BOOL CPropExchange::ExchangeVersion(DWORD&, DWORD, BOOL)
{
    return FALSE;
}

BOOL CPropExchange::ExchangeProp(LPCTSTR, VARTYPE, void*, const void*)
{
    return FALSE;
}

BOOL CPropExchange::ExchangeFontProp(LPCTSTR, CFontHolder&, const FONTDESC*, IDispatch*)
{
    return FALSE;
}

namespace {

template <class T>
BOOL exchange(CPropExchange* pPX, LPCTSTR name, VARTYPE vt, T& value, const T* def)
{
    return pPX ? pPX->ExchangeProp(name, vt, &value, def) : FALSE;
}

} // namespace

BOOL PX_Short(CPropExchange* pPX, LPCTSTR name, short& v)
{
    return exchange<short>(pPX, name, VT_I2, v, nullptr);
}

BOOL PX_Short(CPropExchange* pPX, LPCTSTR name, short& v, short def)
{
    return exchange(pPX, name, VT_I2, v, &def);
}

BOOL PX_Bool(CPropExchange* pPX, LPCTSTR name, BOOL& v)
{
    return exchange<BOOL>(pPX, name, VT_BOOL, v, nullptr);
}

BOOL PX_Bool(CPropExchange* pPX, LPCTSTR name, BOOL& v, BOOL def)
{
    return exchange(pPX, name, VT_BOOL, v, &def);
}

BOOL PX_Long(CPropExchange* pPX, LPCTSTR name, LONG& v)
{
    return exchange<LONG>(pPX, name, VT_I4, v, nullptr);
}

BOOL PX_Long(CPropExchange* pPX, LPCTSTR name, LONG& v, LONG def)
{
    return exchange(pPX, name, VT_I4, v, &def);
}

// A colour travels as the LONG of its bits.
static_assert(sizeof(OLE_COLOR) == sizeof(LONG));

BOOL PX_Color(CPropExchange* pPX, LPCTSTR name, OLE_COLOR& v)
{
    return exchange<OLE_COLOR>(pPX, name, VT_I4, v, nullptr);
}

BOOL PX_Color(CPropExchange* pPX, LPCTSTR name, OLE_COLOR& v, OLE_COLOR def)
{
    return exchange(pPX, name, VT_I4, v, &def);
}

BOOL PX_Double(CPropExchange* pPX, LPCTSTR name, double& v)
{
    return exchange<double>(pPX, name, VT_R8, v, nullptr);
}

BOOL PX_Double(CPropExchange* pPX, LPCTSTR name, double& v, double def)
{
    return exchange(pPX, name, VT_R8, v, &def);
}

BOOL PX_String(CPropExchange* pPX, LPCTSTR name, CString& v)
{
    return exchange<CString>(pPX, name, VT_BSTR, v, nullptr);
}

BOOL PX_String(CPropExchange* pPX, LPCTSTR name, CString& v, const CString& def)
{
    return exchange(pPX, name, VT_BSTR, v, &def);
}

BOOL PX_Font(CPropExchange* pPX, LPCTSTR name, CFontHolder& font, const FONTDESC* pFontDesc, IDispatch* ambient)
{
    return pPX ? pPX->ExchangeFontProp(name, font, pFontDesc, ambient) : FALSE;
}

BOOL PX_Blob(CPropExchange* pPX, LPCTSTR pszPropName, HGLOBAL& hBlob, HGLOBAL hBlobDefault)
{
    return pPX ? pPX->ExchangeBlobProp(pszPropName, &hBlob, hBlobDefault) : FALSE;
}
