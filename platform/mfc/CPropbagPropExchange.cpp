#include "platform/mfc/CPropbagPropExchange.h"

#include "platform/com/PropertyBag.h"
#include "platform/mfc/CFontHolder.h"
#include "platform/mfc/PropertyStreamFormat.h"

#include <QByteArray>

#include <cstring>

namespace {

// A value read from the bag as type vt; empty when missing or unreadable.
com::ComVariant readValue(IPropertyBag* bag, IErrorLog* log, LPCTSTR name, VARTYPE vt)
{
    com::ComVariant v;
    v.vt = vt;
    const com::Bstr key(name ? name : "");
    if (FAILED(bag->Read(key.Get(), &v, log)) || v.vt != vt)
        return com::ComVariant();
    return v;
}

void writeValue(IPropertyBag* bag, LPCTSTR name, VARIANT& v)
{
    const com::Bstr key(name ? name : "");
    bag->Write(key.Get(), &v);
}

com::ComVariant variantOf(VARTYPE vt, const void* pv)
{
    switch (vt) {
    case VT_I2: return com::ComVariant::I2(*static_cast<const short*>(pv));
    case VT_BOOL: return com::ComVariant::Bool(*static_cast<const BOOL*>(pv) != FALSE);
    case VT_I4: return com::ComVariant::I4(*static_cast<const LONG*>(pv));
    case VT_R8: return com::ComVariant::R8(*static_cast<const double*>(pv));
    case VT_BSTR: return com::ComVariant::Text(*static_cast<const CString*>(pv));
    default: return com::ComVariant();
    }
}

BOOL assign(VARTYPE vt, void* pv, const VARIANT& v)
{
    switch (vt) {
    case VT_I2: *static_cast<short*>(pv) = v.iVal; return TRUE;
    case VT_BOOL: *static_cast<BOOL*>(pv) = v.boolVal ? TRUE : FALSE; return TRUE;
    case VT_I4: *static_cast<LONG*>(pv) = v.lVal; return TRUE;
    case VT_R8: *static_cast<double*>(pv) = v.dblVal; return TRUE;
    case VT_BSTR: *static_cast<CString*>(pv) = com::Utf8FromBstr(v.bstrVal); return TRUE;
    default: return FALSE;
    }
}

} // namespace

CPropbagPropExchange::CPropbagPropExchange(IPropertyBag* pPropBag, IErrorLog* pErrorLog, BOOL bLoading)
    : m_pPropBag(pPropBag), m_pErrorLog(pErrorLog)
{
    m_bLoading = bLoading;
}

BOOL CPropbagPropExchange::ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert)
{
    if (!m_bLoading) {
        m_dwVersion = bConvert ? dwVersionDefault : dwVersionLoaded;
        return ExchangeProp(px::kBagVersion, VT_I4, &m_dwVersion);
    }
    DWORD version = dwVersionDefault;
    const BOOL ok = ExchangeProp(px::kBagVersion, VT_I4, &version, &dwVersionDefault);
    m_dwVersion = dwVersionLoaded = version;
    return ok;
}

BOOL CPropbagPropExchange::ExchangeProp(LPCTSTR pszPropName, VARTYPE vt, void* pvProp, const void* pvDefault)
{
    if (!m_pPropBag || !pvProp)
        return FALSE;
    if (!m_bLoading) {
        com::ComVariant v = variantOf(vt, pvProp);
        if (v.vt == VT_EMPTY)
            return FALSE;
        writeValue(m_pPropBag.Get(), pszPropName, v);
        return TRUE;
    }
    const com::ComVariant v = readValue(m_pPropBag.Get(), m_pErrorLog, pszPropName, vt);
    if (v.vt == vt && assign(vt, pvProp, v))
        return TRUE;
    CopyPropValue(vt, pvProp, pvDefault);
    return FALSE;
}

BOOL CPropbagPropExchange::ExchangeBlobProp(LPCTSTR pszPropName, HGLOBAL* phBlob, HGLOBAL hBlobDefault)
{
    if (!m_pPropBag || !phBlob)
        return FALSE;
    if (!m_bLoading) {
        QByteArray bytes(4, '\0');
        GlobalLockScope lock(*phBlob);
        if (lock.get()) {
            DWORD n = 0;
            std::memcpy(&n, lock.get(), 4);
            if (SIZE_T(n) + 4 > GlobalSize(*phBlob))
                return FALSE;
            bytes = QByteArray(reinterpret_cast<const char*>(lock.get()), qsizetype(n) + 4);
        }
        com::ComVariant v = com::ComVariant::Text(bytes.toBase64().toStdString());
        writeValue(m_pPropBag.Get(), pszPropName, v);
        return TRUE;
    }
    if (*phBlob) {
        GlobalFree(*phBlob);
        *phBlob = nullptr;
    }
    const com::ComVariant v = readValue(m_pPropBag.Get(), m_pErrorLog, pszPropName, VT_BSTR);
    if (v.vt == VT_BSTR) {
        const auto result = QByteArray::fromBase64Encoding(QByteArray::fromStdString(com::Utf8FromBstr(v.bstrVal)),
                                                           QByteArray::AbortOnBase64DecodingErrors);
        const QByteArray& decoded = result.decoded;
        DWORD n = 0;
        if (result && decoded.size() >= 4) {
            std::memcpy(&n, decoded.constData(), 4);
            if (SIZE_T(n) + 4 == SIZE_T(decoded.size())) {
                GlobalBlockOwner block(GlobalAlloc(GHND, SIZE_T(decoded.size())));
                GlobalLockScope lock(block.get());
                if (lock.get()) {
                    std::memcpy(lock.get(), decoded.constData(), std::size_t(decoded.size()));
                    *phBlob = block.release();
                    return TRUE;
                }
            }
        }
    }
    *phBlob = CopyBlob(hBlobDefault);
    return FALSE;
}

BOOL CPropbagPropExchange::ExchangeFontProp(LPCTSTR pszPropName, CFontHolder& font, const FONTDESC* pFontDesc,
                                            IDispatch* pFontDispAmbient)
{
    if (!m_pPropBag)
        return FALSE;
    if (!m_bLoading) {
        if (!font.m_pFont)
            font.InitializeFont(pFontDesc, pFontDispAmbient);
        IFont* f = font.m_pFont;
        com::Bstr name;
        CY size{80000};
        short weight = FW_NORMAL;
        short charset = DEFAULT_CHARSET;
        BOOL italic = FALSE, underline = FALSE, strike = FALSE;
        f->get_Name(name.Receive());
        f->get_Size(&size);
        f->get_Weight(&weight);
        f->get_Charset(&charset);
        f->get_Italic(&italic);
        f->get_Underline(&underline);
        f->get_Strikethrough(&strike);
        auto sub = com::NewPropertyBag();
        sub->SetValue(px::kFontName, com::ComVariant::Text(name.Utf8()));
        sub->SetValue(px::kFontSize, com::ComVariant::R8(double(size.int64) / 10000.0));
        sub->SetValue(px::kFontWeight, com::ComVariant::I2(weight));
        sub->SetValue(px::kFontCharset, com::ComVariant::I2(charset));
        sub->SetValue(px::kFontItalicName, com::ComVariant::Bool(italic != FALSE));
        sub->SetValue(px::kFontUnderlineName, com::ComVariant::Bool(underline != FALSE));
        sub->SetValue(px::kFontStrikethroughName, com::ComVariant::Bool(strike != FALSE));
        sub->AddRef();
        com::ComVariant v = com::ComVariant::Unknown(static_cast<IPropertyBag*>(sub.Get()));
        writeValue(m_pPropBag.Get(), pszPropName, v);
        return TRUE;
    }
    const com::ComVariant v = readValue(m_pPropBag.Get(), m_pErrorLog, pszPropName, VT_UNKNOWN);
    com::ComPtr<IPropertyBag> sub;
    if (v.vt == VT_UNKNOWN && v.punkVal)
        v.punkVal->QueryInterface(IPropertyBag::kIid, sub.ReceiveVoid());
    if (!sub) {
        font.InitializeFont(pFontDesc, pFontDispAmbient);
        return FALSE;
    }
    // Values the font's bag lacks come from the default description.
    const FONTDESC& d = pFontDesc ? *pFontDesc : AfxDefaultFontDesc();
    CPropbagPropExchange fields(sub.Get(), m_pErrorLog, TRUE);
    CString name = d.lpstrName ? com::Bstr::Attach(SysAllocString(d.lpstrName)).Utf8() : CString();
    double points = double(d.cySize.int64) / 10000.0;
    short weight = d.sWeight;
    short charset = d.sCharset;
    BOOL italic = d.fItalic, underline = d.fUnderline, strike = d.fStrikethrough;
    const CString defaultName = name;
    const double defaultPoints = points;
    fields.ExchangeProp(px::kFontName, VT_BSTR, &name, &defaultName);
    fields.ExchangeProp(px::kFontSize, VT_R8, &points, &defaultPoints);
    fields.ExchangeProp(px::kFontWeight, VT_I2, &weight, &d.sWeight);
    fields.ExchangeProp(px::kFontCharset, VT_I2, &charset, &d.sCharset);
    fields.ExchangeProp(px::kFontItalicName, VT_BOOL, &italic, &d.fItalic);
    fields.ExchangeProp(px::kFontUnderlineName, VT_BOOL, &underline, &d.fUnderline);
    fields.ExchangeProp(px::kFontStrikethroughName, VT_BOOL, &strike, &d.fStrikethrough);
    const double units = points * 10000.0 + 0.5;
    com::Bstr face(name);
    FONTDESC desc{sizeof(FONTDESC), face.Get(), CY{units >= 1 && units <= double(kMaxFontSize) ? std::int64_t(units)
                                                                                                  : d.cySize.int64},
                  weight >= 0 && weight <= 1000 ? weight : d.sWeight, charset >= 0 && charset <= 255 ? charset : d.sCharset,
                  italic, underline, strike};
    font.InitializeFont(&desc);
    return TRUE;
}
