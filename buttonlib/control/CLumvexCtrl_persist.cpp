// The control's stored state: the properties of versions 6.0, 5.0, 4.6, 4.5
// and 4.0 in one order, with the media that can be stored after them. Only
// 6.0 is ever written.

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/mfc/AfxParseURL.h"
#include "platform/mfc/CException.h"

#include <algorithm>
#include <cctype>
#include <new>

namespace {

constexpr const char* kTextKeys[CLumvexCtrl::kTextCount] = {"textCaption", "textLT", "textCT", "textRT", "textLM",
                                                            "textRM",      "textLB", "textCB", "textRB"};
constexpr const char* kFontKeys[CLumvexCtrl::kTextCount] = {
    "FontCaption", "FontTextLT", "FontTextCT", "FontTextRT", "FontTextLM",
    "FontTextRM",  "FontTextLB", "FontTextCB", "FontTextRB"};

constexpr OLE_COLOR kDefaultBackColor = 0xC0C0C0;
// The stored UserData of a control that has none, and what a saved 0 is.
constexpr double kUserDataLoaded = 0.1;

void resetText(CText& text)
{
    text.SetText(CString());
    text.SetForeColor(0);
    text.SetMouseOverColor(0);
    text.SetPressedColor(0);
    text.SetXOffset(0);
    text.SetYOffset(0);
    text.SetEffect(0);
    text.SetEffectFactor(1);
    text.SetAngle(0);
}

// What a media blob whose bytes do not decode leaves behind.
void emptyMedia(CDIB& dib)
{
    dib.Empty();
}

void emptyMedia(CFileBlob& file)
{
    file.Empty();
}

void emptyMedia(CText& text)
{
    resetText(text);
}

void emptyMedia(CColor& color)
{
    color = CColor();
}

// One media blob. Its bytes may be damaged in a stream that is whole: the
// object stays empty and the exchange goes on. A stream cut short or out of
// order raises nothing here; the exchange itself ends the load.
template <class Media>
void exchangeMedia(CPropExchange* pPX, Media& media, const char* key)
{
    if (!pPX->IsLoading()) {
        media.ExchangeBlob(pPX, key);
        return;
    }
    try {
        media.ExchangeBlob(pPX, key);
    } catch (const CException&) {
        emptyMedia(media);
    } catch (const std::bad_alloc&) {
        emptyMedia(media);
    }
}

} // namespace

BOOL CLumvexCtrl::ShouldPersistMedia(const CString& path)
{
    if (path.empty())
        return FALSE;
    if (path == "Bmp")
        return TRUE;
    DWORD service = 0;
    CString server, object;
    INTERNET_PORT port = 0;
    AfxParseURL(path.c_str(), service, server, object, port);
    return service == AFX_INET_SERVICE_FILE ? TRUE : FALSE;
}

BOOL CLumvexCtrl::IsPicturePath(const CString& path)
{
    const std::string ext = MediaExtension(path);
    return ext == "bmp" || ext == "png" || ext == "jpg" ? TRUE : FALSE;
}

void CLumvexCtrl::DoPropExchange(CPropExchange* pPX)
{
    // A load is no change of the control's own.
    const BOOL wasModified = IsModified();
    ExchangeVersion(pPX, kLumvexVersion60, TRUE);
    COleControl::DoPropExchange(pPX);
    const DWORD version = pPX->GetVersion();
    switch (version) {
    case kLumvexVersion60:
    case kLumvexVersion50:
    case kLumvexVersion46:
    case kLumvexVersion45:
    case kLumvexVersion40: exchangeVersionList(pPX, version); break;
    default:
        if (pPX->IsLoading())
            resetProperties();
        break;
    }
    if (!wasModified)
        SetModifiedFlag(FALSE);
    m_bPropertiesExchanged = TRUE;
}

void CLumvexCtrl::OnResetState()
{
    // What a load may have left half-read goes too: the control starts as new.
    for (CDIB* dib : {&m_dibBtn, &m_dibPicture, &m_dibPicturePressed, &m_dibPictureMouseOver, &m_dibPictureDisabled,
                      &m_dibPictureCustom, &m_dibTexture, &m_dibTexturedBtn, &m_dibTexturedBtnPressed})
        dib->Empty();
    for (CAnim* anim : {&m_aviPicture, &m_aviPicturePressed, &m_aviPictureMouseOver})
        anim->Empty();
    for (CSound* sound : {&m_sndDown, &m_sndUp, &m_sndMouseOver, &m_sndMouseOut})
        sound->Empty();
    m_curCursor.Empty();
    m_hCursor = nullptr;
    for (CText& text : m_text)
        resetText(text);
    for (CColor* color : {&m_colorBack, &m_colorIntern, &m_colorMO, &m_colorFocus, &m_colorDisabled, &m_colorPressed})
        *color = CColor();
    COleControl::OnResetState();
}

void CLumvexCtrl::exchangeVersionList(CPropExchange* pPX, DWORD version)
{
    const bool loading = pPX->IsLoading();
    const short shapeBefore = m_Shape;

    PX_Font(pPX, kFontKeys[0], m_font[0], &CaptionFontDesc());
    for (int i = 1; i < kTextCount; ++i)
        PX_Font(pPX, kFontKeys[i], m_font[i], &TextFontDesc());
    PX_Short(pPX, "Shape", m_Shape, 0);
    PX_Short(pPX, "Roundness", m_Roundness, 4);
    PX_Short(pPX, "Slant", m_Slant, 4);
    PX_Short(pPX, "Surface", m_Surface, 0);
    PX_Color(pPX, "PictureTranspColor", m_PictureTranspColor, 0x808000);
    PX_String(pPX, "Picture", m_Picture, CString());
    PX_String(pPX, "PicturePressed", m_PicturePressed, CString());
    PX_String(pPX, "PictureMouseOver", m_PictureMouseOver, CString());
    PX_String(pPX, "PictureCustom", m_PictureCustom, CString());
    PX_Short(pPX, "PictureXOffset", m_PictureXOffset, 0);
    PX_Short(pPX, "PictureYOffset", m_PictureYOffset, 0);
    PX_String(pPX, "SoundDown", m_SoundDown, CString());
    PX_String(pPX, "SoundUp", m_SoundUp, CString());
    PX_String(pPX, "SoundMouseOver", m_SoundMouseOver, CString());
    PX_String(pPX, "SoundMouseOut", m_SoundMouseOut, CString());
    PX_String(pPX, "Cursor", m_Cursor, CString());
    PX_Short(pPX, "PicturePosition", m_PicturePosition, 0);
    PX_Short(pPX, "PictureTranspMode", m_PictureTranspMode, 1);
    PX_Bool(pPX, "ButtonCustomRaised", m_ButtonCustomRaised, TRUE);
    PX_Color(pPX, "BackColorContainer", m_BackColorContainer, 0);
    PX_Bool(pPX, "MovePictureOnPress", m_MovePictureOnPress, TRUE);
    PX_Short(pPX, "ButtonRaiseFactor", m_ButtonRaiseFactor, 1);
    PX_Color(pPX, "HighlightColor", m_HighlightColor, 0);
    PX_Color(pPX, "ShadowColor", m_ShadowColor, 0);
    PX_Bool(pPX, "ButtonCustomFitPicture", m_ButtonCustomFitPicture, FALSE);
    PX_String(pPX, "Hyperlink", m_Hyperlink, CString());
    PX_Bool(pPX, "EnableInternetLoadAtDT", m_EnableInternetLoadAtDT, FALSE);
    PX_Short(pPX, "SmoothEdges", m_SmoothEdges, 0);
    PX_String(pPX, "TagEx", m_TagEx, CString());
    PX_Bool(pPX, "PictureKeepRatio", m_PictureKeepRatio, TRUE);
    PX_Short(pPX, "FocusMode", m_FocusMode, 0);
    PX_Short(pPX, "SpecialEffect", m_SpecialEffect, 0);
    PX_Short(pPX, "CaptionWordWrapPerc", m_CaptionWordWrapPerc, 90);
    PX_Short(pPX, "LogPixels", m_LogPixels, 0);
    PX_Short(pPX, "Optimization", m_Optimization, 0);
    PX_Bool(pPX, "Clickable", m_Clickable, TRUE);
    if (version >= kLumvexVersion46) {
        PX_Bool(pPX, "IgnoreSpaceBar", m_IgnoreSpaceBar, FALSE);
        PX_Short(pPX, "SpecialEffectFactor", m_SpecialEffectFactor, 0);
    }
    if (version >= kLumvexVersion50) {
        PX_String(pPX, "Texture", m_Texture, CString());
        PX_Short(pPX, "TextureMode", m_TextureMode, 1);
        PX_Short(pPX, "TextureLightIntensity", m_TextureLightIntensity, 40);
        PX_Color(pPX, "TextureColorMix", m_TextureColorMix, 0);
        PX_Short(pPX, "TextureColorMixPerc", m_TextureColorMixPerc, 50);
        PX_Short(pPX, "TextureBevelFactor", m_TextureBevelFactor, 4);
        PX_Color(pPX, "ForeColorDisabled", m_ForeColorDisabled, 0x808080);
        PX_Short(pPX, "FlatPillowFactor", m_FlatPillowFactor, 4);
        PX_Short(pPX, "ShadowMode", m_ShadowMode, 0);
    }
    if (version >= kLumvexVersion45) {
        PX_Double(pPX, "UserData", m_UserData, loading ? kUserDataLoaded : 0.0);
        PX_Long(pPX, "Res", m_Res, 0);
        PX_Long(pPX, "BitsPix", m_BitsPix, 0);
    }

    // The faces are made for the resolution the button was stored at.
    const HDC hdc = GetDC(m_hWnd);
    const short screenDpi = short(hdc ? GetDeviceCaps(hdc, LOGPIXELSY) : gdi::ScreenDpi());
    if (hdc)
        ReleaseDC(m_hWnd, hdc);
    if (m_LogPixels == 0) {
        m_LogPixels = screenDpi;
        m_bRebuildFaces = TRUE;
    } else if (m_LogPixels != screenDpi) {
        m_bRebuildFaces = TRUE;
    }
    if (m_Shape != shapeBefore)
        BuildClipRegion();
    emptyFaceCaches();

    exchangeMediaBlobs(pPX, version);

    if (version == kLumvexVersion60) {
        PX_Short(pPX, "Style", m_Style, 0);
        PX_String(pPX, "PictureDisabled", m_PictureDisabled, CString());
        if (ShouldPersistMedia(m_PictureDisabled))
            exchangeMedia(pPX, m_dibPictureDisabled, "dibPictureDisabled");
    }
    if (loading) {
        setOlderVersionDefaults(version);
        // Stored values the setters would never take and the drawing cannot
        // live with: thousands of softening passes, a negative wrap width.
        m_SmoothEdges = std::clamp<short>(m_SmoothEdges, 0, 3);
        m_CaptionWordWrapPerc = std::clamp<short>(m_CaptionWordWrapPerc, 10, 100);
        applyRoundness();
        applySlant();
    }
}

void CLumvexCtrl::exchangeMediaBlobs(CPropExchange* pPX, DWORD version)
{
    // Which blobs follow is decided from paths exchanged above, the same
    // way when reading as when writing.
    const auto picture = [&](const CString& path, CDIB& dib, CAnim& anim, const char* dibKey, const char* animKey) {
        if (!ShouldPersistMedia(path))
            return;
        if (IsPicturePath(path))
            exchangeMedia(pPX, dib, dibKey);
        else
            exchangeMedia(pPX, anim, animKey);
    };
    picture(m_Picture, m_dibPicture, m_aviPicture, "dibPicture", "aviPicture");
    picture(m_PictureMouseOver, m_dibPictureMouseOver, m_aviPictureMouseOver, "dibPictureMouseOver",
            "aviPictureMouseOver");
    if (version == kLumvexVersion60)
        picture(m_PicturePressed, m_dibPicturePressed, m_aviPicturePressed, "dibPicturePressed", "aviPicturePressed");
    else if (ShouldPersistMedia(m_PicturePressed))
        exchangeMedia(pPX, m_dibPicturePressed, "dibPicturePressed");
    if (ShouldPersistMedia(m_PictureCustom))
        exchangeMedia(pPX, m_dibPictureCustom, "dibPictureCustom");

    const std::pair<const CString*, CSound*> sounds[] = {{&m_SoundDown, &m_sndDown},
                                                         {&m_SoundUp, &m_sndUp},
                                                         {&m_SoundMouseOver, &m_sndMouseOver},
                                                         {&m_SoundMouseOut, &m_sndMouseOut}};
    const char* soundKeys[] = {"sndDown", "sndUp", "sndMouseOver", "sndMouseOut"};
    for (std::size_t i = 0; i < std::size(sounds); ++i)
        if (ShouldPersistMedia(*sounds[i].first))
            exchangeMedia(pPX, *sounds[i].second, soundKeys[i]);

    for (int i = 0; i < kTextCount; ++i)
        exchangeMedia(pPX, m_text[i], kTextKeys[i]);
    m_text[0].SetText(GetText());

    if (!m_Cursor.empty()) {
        exchangeMedia(pPX, m_curCursor, "curCursor");
        if (pPX->IsLoading())
            m_hCursor = m_curCursor.GetHandle();
    }

    exchangeMedia(pPX, m_colorBack, "colorBack");
    exchangeMedia(pPX, m_colorIntern, "colorIntern");
    exchangeMedia(pPX, m_colorMO, "colorMO");
    exchangeMedia(pPX, m_colorFocus, "colorFocus");
    if (version >= kLumvexVersion50)
        exchangeMedia(pPX, m_colorDisabled, "colorDisabled");
    if (version == kLumvexVersion60)
        exchangeMedia(pPX, m_colorPressed, "colorPressed");
    if (pPX->IsLoading() && !m_colorBack.IsCustom())
        m_colorBack.SetBaseColor(kDefaultBackColor);

    // The older versions keep the whole button's image unless told to
    // keep the stored size down.
    if (version != kLumvexVersion60 && m_Optimization == 0)
        exchangeMedia(pPX, m_dibBtn, "btn");

    if (version >= kLumvexVersion50 && ShouldPersistMedia(m_Texture)) {
        exchangeMedia(pPX, m_dibTexture, "dibTexture");
        exchangeMedia(pPX, m_dibTexturedBtn, "dibTexturedBtn");
        exchangeMedia(pPX, m_dibTexturedBtnPressed, "dibTexturedBtnPressed");
    }
}

void CLumvexCtrl::setOlderVersionDefaults(DWORD version)
{
    if (version == kLumvexVersion60)
        return;
    m_Style = 0;
    m_PictureDisabled.clear();
    if (version >= kLumvexVersion50)
        return;
    m_Texture.clear();
    m_TextureMode = 1;
    m_TextureLightIntensity = 40;
    m_TextureColorMix = 0;
    m_TextureColorMixPerc = 50;
    m_TextureBevelFactor = 4;
    m_ForeColorDisabled = 0x808080;
    m_FlatPillowFactor = 4;
    m_ShadowMode = 0;
    if (version >= kLumvexVersion46)
        return;
    m_SpecialEffectFactor = 0;
    m_IgnoreSpaceBar = FALSE;
    if (version >= kLumvexVersion45)
        return;
    m_UserData = kUserDataLoaded;
    m_Res = 0;
    m_BitsPix = 0;
}

void CLumvexCtrl::resetProperties()
{
    m_Shape = 0;
    m_Roundness = 4;
    m_Slant = 4;
    m_Surface = 0;
    m_PictureTranspColor = 0x808000;
    m_Picture.clear();
    m_PicturePressed.clear();
    m_PictureMouseOver.clear();
    m_PictureCustom.clear();
    m_PictureXOffset = 0;
    m_PictureYOffset = 0;
    m_SoundDown.clear();
    m_SoundUp.clear();
    m_SoundMouseOver.clear();
    m_SoundMouseOut.clear();
    m_Cursor.clear();
    m_PicturePosition = 0;
    m_PictureTranspMode = 1;
    m_ButtonCustomRaised = TRUE;
    m_BackColorContainer = 0;
    m_MovePictureOnPress = TRUE;
    m_ButtonRaiseFactor = 1;
    m_HighlightColor = 0;
    m_ShadowColor = 0;
    m_ButtonCustomFitPicture = FALSE;
    m_Hyperlink.clear();
    m_EnableInternetLoadAtDT = FALSE;
    m_SmoothEdges = 0;
    m_TagEx.clear();
    m_PictureKeepRatio = TRUE;
    m_FocusMode = 0;
    m_SpecialEffect = 0;
    m_CaptionWordWrapPerc = 90;
    m_LogPixels = 0;
    m_Optimization = 0;
    m_Clickable = TRUE;
    // The values version 4.5 lacks take the same defaults as after its load.
    setOlderVersionDefaults(kLumvexVersion45);
    applyRoundness();
    applySlant();
}

void CLumvexCtrl::emptyFaceCaches()
{
    for (CDIB* face : {&m_dibFaceNormal, &m_dibFaceFocus, &m_dibFaceMouseOver, &m_dibFacePressed,
                       &m_dibFacePressedFocus, &m_dibFacePressedMouseOver, &m_dibFaceDisabled, &m_dibTextureBevel,
                       &m_dibTextureBevelPressed, &m_dibScratch})
        face->Empty();
}
