#include "platform/mfc/CArchivePropExchange.h"

#include "platform/mfc/CFontHolder.h"
#include "platform/mfc/PropertyStreamFormat.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A stored value that is out of range: the stream is not one of ours.
struct BadValue {};

// Blobs are read in pieces, so that a count taken from damaged data costs no
// more memory than the data really there.
constexpr UINT kBlobChunk = 64 * 1024;

} // namespace

CArchivePropExchange::CArchivePropExchange(CArchive& ar) : m_ar(ar)
{
    m_bLoading = ar.IsLoading();
}

BOOL CArchivePropExchange::ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert)
{
    if (!m_bLoading) {
        m_dwVersion = bConvert ? dwVersionDefault : dwVersionLoaded;
        m_ar << m_dwVersion;
        return TRUE;
    }
    DWORD version = dwVersionDefault;
    const BOOL ok = ExchangeProp("_Version", VT_I4, &version, &dwVersionDefault);
    m_dwVersion = dwVersionLoaded = version;
    return ok;
}

void CArchivePropExchange::writeValue(VARTYPE vt, const void* pv)
{
    switch (vt) {
    case VT_I2: m_ar << *static_cast<const short*>(pv); break;
    case VT_BOOL: m_ar << LONG(*static_cast<const BOOL*>(pv) ? 1 : 0); break;
    case VT_I4: m_ar << *static_cast<const LONG*>(pv); break;
    case VT_R8: m_ar << *static_cast<const double*>(pv); break;
    case VT_BSTR: m_ar << *static_cast<const CString*>(pv); break;
    default: AfxThrowArchiveException(CArchiveException::badSchema);
    }
}

void CArchivePropExchange::readValue(VARTYPE vt, void* pv)
{
    switch (vt) {
    case VT_I2: m_ar >> *static_cast<short*>(pv); break;
    case VT_BOOL: {
        LONG l = 0;
        m_ar >> l;
        *static_cast<BOOL*>(pv) = l != 0 ? TRUE : FALSE;
        break;
    }
    case VT_I4: m_ar >> *static_cast<LONG*>(pv); break;
    case VT_R8: m_ar >> *static_cast<double*>(pv); break;
    case VT_BSTR: m_ar >> *static_cast<CString*>(pv); break;
    default: throw BadValue{};
    }
}

BOOL CArchivePropExchange::ExchangeProp(LPCTSTR, VARTYPE vt, void* pvProp, const void* pvDefault)
{
    if (!m_bLoading) {
        writeValue(vt, pvProp);
        return TRUE;
    }
    if (!m_bFailed) {
        try {
            // Read aside first: a failed read leaves no half value behind.
            switch (vt) {
            case VT_I2: {
                short v = 0;
                readValue(vt, &v);
                return CopyPropValue(vt, pvProp, &v);
            }
            case VT_BOOL: {
                BOOL v = FALSE;
                readValue(vt, &v);
                return CopyPropValue(vt, pvProp, &v);
            }
            case VT_I4: {
                LONG v = 0;
                readValue(vt, &v);
                return CopyPropValue(vt, pvProp, &v);
            }
            case VT_R8: {
                double v = 0;
                readValue(vt, &v);
                return CopyPropValue(vt, pvProp, &v);
            }
            case VT_BSTR: {
                CString v;
                readValue(vt, &v);
                return CopyPropValue(vt, pvProp, &v);
            }
            default: break;
            }
        } catch (const CException&) {
        } catch (const BadValue&) {
        }
        m_bFailed = TRUE;
    }
    CopyPropValue(vt, pvProp, pvDefault);
    return FALSE;
}

BOOL CArchivePropExchange::ExchangeBlobProp(LPCTSTR, HGLOBAL* phBlob, HGLOBAL hBlobDefault)
{
    if (!m_bLoading) {
        DWORD n = 0;
        GlobalLockScope lock(phBlob ? *phBlob : nullptr);
        if (lock.get()) {
            std::memcpy(&n, lock.get(), 4);
            if (SIZE_T(n) + 4 > GlobalSize(*phBlob))
                AfxThrowArchiveException(CArchiveException::generic);
        }
        m_ar << n;
        if (n)
            m_ar.Write(lock.get() + 4, n);
        return TRUE;
    }
    if (phBlob && *phBlob) {
        GlobalFree(*phBlob);
        *phBlob = nullptr;
    }
    if (!m_bFailed) {
        try {
            DWORD n = 0;
            m_ar >> n;
            std::vector<BYTE> bytes(4);
            std::memcpy(bytes.data(), &n, 4);
            for (DWORD left = n; left > 0;) {
                const UINT piece = UINT(std::min<DWORD>(left, kBlobChunk));
                const std::size_t at = bytes.size();
                bytes.resize(at + piece);
                if (m_ar.Read(bytes.data() + at, piece) != piece)
                    throw BadValue{};
                left -= piece;
            }
            HGLOBAL h = GlobalAlloc(GHND, bytes.size());
            GlobalLockScope lock(h);
            if (!lock.get())
                throw BadValue{};
            std::memcpy(lock.get(), bytes.data(), bytes.size());
            if (phBlob)
                *phBlob = h;
            else
                GlobalFree(h);
            return TRUE;
        } catch (const CException&) {
        } catch (const BadValue&) {
        }
        m_bFailed = TRUE;
    }
    if (phBlob)
        *phBlob = CopyBlob(hBlobDefault);
    return FALSE;
}

BOOL CArchivePropExchange::ExchangeFontProp(LPCTSTR, CFontHolder& font, const FONTDESC* pFontDesc,
                                            IDispatch* pFontDispAmbient)
{
    if (!m_bLoading) {
        if (!font.m_pFont)
            font.InitializeFont(pFontDesc, pFontDispAmbient);
        IFont* f = font.m_pFont;
        short charset = DEFAULT_CHARSET;
        short weight = FW_NORMAL;
        BOOL italic = FALSE, underline = FALSE, strike = FALSE;
        CY size{80000};
        com::Bstr name;
        f->get_Charset(&charset);
        f->get_Weight(&weight);
        f->get_Italic(&italic);
        f->get_Underline(&underline);
        f->get_Strikethrough(&strike);
        f->get_Size(&size);
        f->get_Name(name.Receive());
        const BYTE flags = BYTE((italic ? px::kFontItalic : 0) | (underline ? px::kFontUnderline : 0) |
                                (strike ? px::kFontStrikethrough : 0));
        m_ar << WORD(charset) << flags << WORD(weight) << LONG(size.int64) << name.Utf8();
        return TRUE;
    }
    if (!m_bFailed) {
        try {
            WORD charset = 0;
            BYTE flags = 0;
            WORD weight = 0;
            LONG size = 0;
            CString name;
            m_ar >> charset >> flags >> weight >> size >> name;
            if (charset > 255 || weight > 1000 || size <= 0)
                throw BadValue{};
            com::Bstr face(name);
            const FONTDESC desc{sizeof(FONTDESC), face.Get(), CY{size}, short(weight), short(charset),
                                (flags & px::kFontItalic) ? TRUE : FALSE,
                                (flags & px::kFontUnderline) ? TRUE : FALSE,
                                (flags & px::kFontStrikethrough) ? TRUE : FALSE};
            font.InitializeFont(&desc);
            return TRUE;
        } catch (const CException&) {
        } catch (const BadValue&) {
        }
        m_bFailed = TRUE;
    }
    font.InitializeFont(pFontDesc, pFontDispAmbient);
    return FALSE;
}
