#include "platform/mfc/CFontHolder.h"

#include "platform/com/Bstr.h"

#include <algorithm>
#include <cstring>

const FONTDESC& AfxDefaultFontDesc()
{
    static OLECHAR name[] = u"MS Sans Serif";
    static const FONTDESC desc{sizeof(FONTDESC), name, CY{80000}, short(FW_NORMAL), short(DEFAULT_CHARSET),
                               FALSE, FALSE, FALSE};
    return desc;
}

CFontHolder::CFontHolder(IPropertyNotifySink* pNotify) : m_pNotify(pNotify) {}

CFontHolder::~CFontHolder()
{
    ReleaseFont();
}

void CFontHolder::InitializeFont(const FONTDESC* pFontDesc, IDispatch* pFontDispAmbient)
{
    com::ComPtr<IFont> font;
    if (pFontDispAmbient) {
        auto ambient = com::ComPtr<IDispatch>(pFontDispAmbient).As<IFont>();
        if (ambient)
            ambient->Clone(font.Receive());
    }
    if (!font)
        OleCreateFontIndirect(pFontDesc ? pFontDesc : &AfxDefaultFontDesc(), IFont::kIid, font.ReceiveVoid());
    SetFont(font.Get());
}

void CFontHolder::SetFont(IFont* pNewFont)
{
    if (pNewFont == m_pFont)
        return;
    ReleaseFont();
    m_pFont = pNewFont;
    if (m_pFont) {
        m_pFont->AddRef();
        connect();
    }
}

void CFontHolder::ReleaseFont()
{
    if (m_pFont) {
        disconnect();
        m_pFont->Release();
        m_pFont = nullptr;
    }
    if (m_hFont) {
        DeleteObject(m_hFont);
        m_hFont = nullptr;
    }
}

void CFontHolder::connect()
{
    if (!m_pNotify)
        return;
    auto points = com::ComPtr<IFont>(m_pFont).As<IConnectionPointContainer>();
    com::ComPtr<IConnectionPoint> point;
    if (points && SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, point.Receive())))
        point->Advise(m_pNotify, &m_dwConnectCookie);
}

void CFontHolder::disconnect()
{
    if (!m_dwConnectCookie)
        return;
    auto points = com::ComPtr<IFont>(m_pFont).As<IConnectionPointContainer>();
    com::ComPtr<IConnectionPoint> point;
    if (points && SUCCEEDED(points->FindConnectionPoint(IID_IPropertyNotifySink, point.Receive())))
        point->Unadvise(m_dwConnectCookie);
    m_dwConnectCookie = 0;
}

IDispatch* CFontHolder::GetFontDispatch() const
{
    if (!m_pFont)
        return nullptr;
    IDispatch* disp = nullptr;
    m_pFont->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp));
    return disp;
}

BOOL CFontHolder::GetLogFont(LOGFONT* plf, int dpi) const
{
    if (!m_pFont || !plf)
        return FALSE;
    CY size;
    short weight = FW_NORMAL;
    short charset = DEFAULT_CHARSET;
    BOOL italic = FALSE;
    BOOL underline = FALSE;
    BOOL strike = FALSE;
    com::Bstr name;
    m_pFont->get_Size(&size);
    m_pFont->get_Weight(&weight);
    m_pFont->get_Charset(&charset);
    m_pFont->get_Italic(&italic);
    m_pFont->get_Underline(&underline);
    m_pFont->get_Strikethrough(&strike);
    m_pFont->get_Name(name.Receive());
    *plf = LOGFONT{};
    // Points x 10,000 to pixels: the character height, as a negative height.
    plf->lfHeight = -MulDiv(int(size.int64), dpi, 720000);
    plf->lfWeight = weight;
    plf->lfItalic = italic ? 1 : 0;
    plf->lfUnderline = underline ? 1 : 0;
    plf->lfStrikeOut = strike ? 1 : 0;
    plf->lfCharSet = BYTE(charset);
    const std::string face = name.Utf8();
    std::memcpy(plf->lfFaceName, face.data(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    return TRUE;
}

HFONT CFontHolder::GetFontHandle()
{
    LOGFONT lf;
    if (!GetLogFont(&lf, gdi::ScreenDpi()))
        return nullptr;
    if (m_hFont && std::memcmp(&lf, &m_lfHandle, sizeof lf) == 0)
        return m_hFont;
    if (m_hFont)
        DeleteObject(m_hFont);
    m_hFont = CreateFontIndirect(&lf);
    m_lfHandle = lf;
    return m_hFont;
}
