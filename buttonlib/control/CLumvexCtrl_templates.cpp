// Template files: the look of one button (fonts, shape and surface settings,
// texts and colour tables) saved to a file and applied to another; the
// extended form adds the media paths and the window rectangle.
//
// A file is read whole into a staging record and applied only once every
// byte of it has been read, so a short or foreign file changes nothing.

#include "buttonlib/control/CLumvexCtrl.h"

#include "buttonlib/control/DispatchProperty.h"

#include "platform/com/Bstr.h"
#include "platform/mfc/CArchive.h"
#include "platform/mfc/CMemFile.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr WORD kTemplateVersion = 6;
constexpr char kExtendedMagic[4] = {'K', 'Z', 'T', 'M'};
// Files are small; anything larger is not a template.
constexpr DWORD kMaxTemplateSize = 16u << 20;

// One font as a template stores it.
struct FontRecord {
    short size = 0;
    CString name;
    short weight = 0;
    LONG italic = 0;
    LONG strikethrough = 0;
    LONG underline = 0;
};

void storeFont(CArchive& ar, CFontHolder& holder)
{
    FontRecord f;
    if (IFont* font = holder.m_pFont) {
        IDispatch* disp = holder.GetFontDispatch();
        GetDispatchProperty(disp, DISPID_FONT_SIZE, VT_I2, &f.size);
        if (disp)
            disp->Release();
        BSTR name = nullptr;
        if (SUCCEEDED(font->get_Name(&name)))
            f.name = com::Utf8FromBstr(name);
        SysFreeString(name);
        font->get_Weight(&f.weight);
        BOOL b = FALSE;
        font->get_Italic(&b);
        f.italic = b ? 1 : 0;
        b = FALSE;
        font->get_Strikethrough(&b);
        f.strikethrough = b ? 1 : 0;
        b = FALSE;
        font->get_Underline(&b);
        f.underline = b ? 1 : 0;
    }
    ar << WORD(f.size) << f.name << WORD(f.weight) << f.italic << f.strikethrough << f.underline;
}

FontRecord loadFont(CArchive& ar)
{
    FontRecord f;
    WORD size, weight;
    ar >> size >> f.name >> weight >> f.italic >> f.strikethrough >> f.underline;
    f.size = short(size);
    f.weight = short(weight);
    return f;
}

void applyFont(CFontHolder& holder, const FontRecord& f)
{
    IFont* font = holder.m_pFont;
    if (!font)
        return;
    // The size goes through the font's dispatch as whole points.
    if (IDispatch* disp = holder.GetFontDispatch()) {
        SetDispatchPropertyShort(disp, DISPID_FONT_SIZE, f.size);
        disp->Release();
    }
    const com::Bstr name(f.name);
    font->put_Name(name.Get());
    font->put_Weight(f.weight);
    font->put_Italic(f.italic ? TRUE : FALSE);
    font->put_Strikethrough(f.strikethrough ? TRUE : FALSE);
    font->put_Underline(f.underline ? TRUE : FALSE);
}

bool isAddress(const CString& path)
{
    const auto starts = [&](const char* scheme) {
        const std::size_t n = std::strlen(scheme);
        if (path.size() < n)
            return false;
        for (std::size_t i = 0; i < n; ++i)
            if (std::tolower(static_cast<unsigned char>(path[i])) != scheme[i])
                return false;
        return true;
    };
    return starts("http://") || starts("https://") || starts("ftp://");
}

} // namespace

// Everything a template file holds, read before any of it is applied.
struct CLumvexCtrl::TemplateData {
    WORD flag = 1;
    std::array<FontRecord, kTextCount> fonts;
    WORD shape, roundness, slant, surface;
    DWORD pictureTranspColor;
    WORD pictureXOffset, pictureYOffset, picturePosition, pictureTranspMode;
    LONG buttonCustomRaised;
    DWORD backColorContainer;
    LONG movePictureOnPress;
    WORD buttonRaiseFactor;
    DWORD highlightColor, shadowColor;
    LONG buttonCustomFitPicture;
    WORD smoothEdges;
    LONG pictureKeepRatio;
    WORD focusMode, specialEffect, specialEffectFactor, captionWordWrapPerc;
    LONG clickable;
    WORD textureMode, textureLightIntensity;
    DWORD textureColorMix;
    WORD textureColorMixPerc, textureBevelFactor;
    DWORD foreColorDisabled;
    WORD flatPillowFactor, shadowMode;
    std::array<CText, kTextCount> texts;
    // Back, interior, mouse over, focus, disabled, pressed.
    std::array<CColor, 6> colors;
    WORD style = 0;

    bool extended = false;
    // SoundDown, SoundUp, SoundMouseOver, SoundMouseOut, Cursor, Picture,
    // PicturePressed, PictureMouseOver, PictureCustom, Texture.
    std::array<CString, 10> paths;
    LONG left = 0, top = 0, width = 0, height = 0;

    void Read(CArchive& ar);
};

void CLumvexCtrl::TemplateData::Read(CArchive& ar)
{
    WORD version, reserved;
    // The version and reserved words were never checked by readers.
    ar >> version >> reserved >> flag;
    for (FontRecord& f : fonts)
        f = loadFont(ar);
    ar >> shape >> roundness >> slant >> surface >> pictureTranspColor >> pictureXOffset >> pictureYOffset >>
        picturePosition >> pictureTranspMode >> buttonCustomRaised >> backColorContainer >> movePictureOnPress >>
        buttonRaiseFactor >> highlightColor >> shadowColor >> buttonCustomFitPicture >> smoothEdges >>
        pictureKeepRatio >> focusMode >> specialEffect >> specialEffectFactor >> captionWordWrapPerc >> clickable >>
        textureMode >> textureLightIntensity >> textureColorMix >> textureColorMixPerc >> textureBevelFactor >>
        foreColorDisabled >> flatPillowFactor >> shadowMode;
    for (CText& t : texts)
        t.SerializeSettings(ar, flag);
    // The older layout has no pressed colour table and no Style.
    const int tables = flag != 0 ? 6 : 5;
    for (int i = 0; i < tables; ++i)
        colors[std::size_t(i)].Serialize(ar);
    if (flag != 0)
        ar >> style;
    if (extended) {
        for (CString& p : paths)
            ar >> p;
        ar >> left >> top >> width >> height;
    }
}

// --- Writing --------------------------------------------------------------------------------

void CLumvexCtrl::writeTemplateBody(CArchive& ar)
{
    for (CFontHolder& holder : m_font)
        storeFont(ar, holder);
    ar << WORD(m_Shape) << WORD(m_Roundness) << WORD(m_Slant) << WORD(m_Surface) << DWORD(m_PictureTranspColor)
       << WORD(m_PictureXOffset) << WORD(m_PictureYOffset) << WORD(m_PicturePosition) << WORD(m_PictureTranspMode)
       << LONG(m_ButtonCustomRaised) << DWORD(m_BackColorContainer) << LONG(m_MovePictureOnPress)
       << WORD(m_ButtonRaiseFactor) << DWORD(m_HighlightColor) << DWORD(m_ShadowColor)
       << LONG(m_ButtonCustomFitPicture) << WORD(m_SmoothEdges) << LONG(m_PictureKeepRatio) << WORD(m_FocusMode)
       << WORD(m_SpecialEffect) << WORD(m_SpecialEffectFactor) << WORD(m_CaptionWordWrapPerc) << LONG(m_Clickable)
       << WORD(m_TextureMode) << WORD(m_TextureLightIntensity) << DWORD(m_TextureColorMix)
       << WORD(m_TextureColorMixPerc) << WORD(m_TextureBevelFactor) << DWORD(m_ForeColorDisabled)
       << WORD(m_FlatPillowFactor) << WORD(m_ShadowMode);
    for (CText& text : m_text)
        text.SerializeSettings(ar, 1);
    for (CColor* table : {&m_colorBack, &m_colorIntern, &m_colorMO, &m_colorFocus, &m_colorDisabled, &m_colorPressed})
        table->Serialize(ar);
    ar << WORD(m_Style);
}

namespace {

// Writes through a temporary file that replaces the target only when all
// of it is written: a failed save keeps the old template.
template <class Body>
short writeTemplateFile(const CString& path, Body&& body)
{
    try {
        CFile file;
        if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeReadWrite))
            return 0;
        CArchive ar(&file, CArchive::store, 4096);
        body(ar);
        ar.Close();
        file.Close();
        return 1;
    } catch (const CException&) {
        return 0;
    }
}

} // namespace

short CLumvexCtrl::SaveTemplate(CString strFilename)
{
    return writeTemplateFile(strFilename, [this](CArchive& ar) {
        ar << kTemplateVersion << WORD(0) << WORD(1);
        writeTemplateBody(ar);
    });
}

short CLumvexCtrl::SaveTemplateEx(CString strFilename)
{
    return writeTemplateFile(strFilename, [this](CArchive& ar) {
        ar.Write(kExtendedMagic, sizeof kExtendedMagic);
        ar << kTemplateVersion << WORD(0) << WORD(1);
        writeTemplateBody(ar);
        for (const CString* p : {&m_SoundDown, &m_SoundUp, &m_SoundMouseOver, &m_SoundMouseOut, &m_Cursor,
                                 &m_Picture, &m_PicturePressed, &m_PictureMouseOver, &m_PictureCustom, &m_Texture})
            ar << *p;
        // The window's place in its parent; without a window, where the
        // container put the control.
        RECT rc{0, 0, 0, 0};
        if (m_hWnd) {
            GetWindowRect(&rc);
            POINT corners[2] = {{rc.left, rc.top}, {rc.right, rc.bottom}};
            win::MapWindowPoints(nullptr, GetParent(), corners, 2);
            rc = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
        } else if (!GetRectInContainer(&rc)) {
            int cx = 0, cy = 0;
            GetControlSize(&cx, &cy);
            rc = RECT{0, 0, cx, cy};
        }
        ar << LONG(rc.left) << LONG(rc.top) << LONG(rc.right - rc.left) << LONG(rc.bottom - rc.top);
    });
}

// --- Reading --------------------------------------------------------------------------------

short CLumvexCtrl::LoadTemplate(CString strFilename)
{
    return loadTemplateFile(strFilename, false);
}

short CLumvexCtrl::LoadTemplateEx(CString strFilename)
{
    return loadTemplateFile(strFilename, true);
}

short CLumvexCtrl::loadTemplateFile(const CString& strFilename, bool extended)
{
    auto data = std::make_unique<TemplateData>();
    try {
        CFile file;
        if (!file.Open(strFilename.c_str(), CFile::modeRead | CFile::shareDenyWrite))
            return 0;
        const DWORD size = file.GetLength();
        if (size > kMaxTemplateSize)
            return 0;
        std::vector<BYTE> bytes(size);
        if (file.Read(bytes.data(), size) != size)
            return 0;
        file.Close();
        // A file without the extended mark is read as a plain template.
        data->extended = extended && size >= 4 && std::memcmp(bytes.data(), kExtendedMagic, 4) == 0;
        const UINT skip = data->extended ? 4 : 0;
        CMemFile mem(bytes.data() + skip, UINT(size - skip));
        CArchive ar(&mem, CArchive::load, 4096);
        data->Read(ar);
    } catch (const CException&) {
        return 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    applyTemplate(*data);
    if (data->extended)
        applyTemplateMedia(*data);
    m_bRebuildFaces = TRUE;
    InvalidateButton(TRUE);
    SetModifiedFlag(TRUE);
    return 1;
}

void CLumvexCtrl::applyTemplate(const TemplateData& d)
{
    for (int i = 0; i < kTextCount; ++i)
        applyFont(m_font[std::size_t(i)], d.fonts[std::size_t(i)]);
    m_Shape = short(d.shape);
    m_Roundness = short(d.roundness);
    m_Slant = short(d.slant);
    m_Surface = short(d.surface);
    m_PictureTranspColor = d.pictureTranspColor;
    m_PictureXOffset = short(d.pictureXOffset);
    m_PictureYOffset = short(d.pictureYOffset);
    m_PicturePosition = short(d.picturePosition);
    m_PictureTranspMode = short(d.pictureTranspMode);
    m_ButtonCustomRaised = d.buttonCustomRaised;
    m_BackColorContainer = d.backColorContainer;
    m_MovePictureOnPress = d.movePictureOnPress;
    m_ButtonRaiseFactor = short(d.buttonRaiseFactor);
    m_HighlightColor = d.highlightColor;
    m_ShadowColor = d.shadowColor;
    m_ButtonCustomFitPicture = d.buttonCustomFitPicture;
    // What the drawing cannot live with is held to the setters' ranges.
    m_SmoothEdges = std::clamp<short>(short(d.smoothEdges), 0, 3);
    m_PictureKeepRatio = d.pictureKeepRatio;
    m_FocusMode = short(d.focusMode);
    m_SpecialEffect = short(d.specialEffect);
    m_SpecialEffectFactor = short(d.specialEffectFactor);
    m_CaptionWordWrapPerc = std::clamp<short>(short(d.captionWordWrapPerc), 10, 100);
    m_Clickable = d.clickable;
    m_TextureMode = short(d.textureMode);
    m_TextureLightIntensity = short(d.textureLightIntensity);
    m_TextureColorMix = d.textureColorMix;
    m_TextureColorMixPerc = short(d.textureColorMixPerc);
    m_TextureBevelFactor = short(d.textureBevelFactor);
    m_ForeColorDisabled = d.foreColorDisabled;
    m_FlatPillowFactor = short(d.flatPillowFactor);
    m_ShadowMode = short(d.shadowMode);
    DeriveShapeDivisors();
    emptyFaceCaches();

    for (int i = 0; i < kTextCount; ++i) {
        const CText& from = d.texts[std::size_t(i)];
        CText& to = m_text[std::size_t(i)];
        to.SetForeColor(from.GetForeColor());
        to.SetMouseOverColor(from.GetMouseOverColor());
        to.SetXOffset(from.GetXOffset());
        to.SetYOffset(from.GetYOffset());
        to.SetEffect(from.GetEffect());
        to.SetEffectFactor(from.GetEffectFactor());
        to.SetAngle(from.GetAngle());
        if (d.flag != 0) {
            to.SetPressedColor(from.GetPressedColor());
            to.SetText(from.GetText());
        }
    }
    // The caption's text is the stock Caption: a template's caption is both.
    if (d.flag != 0 && GetText() != m_text[0].GetText())
        SetText(m_text[0].GetText());
    m_colorBack = d.colors[0];
    m_colorIntern = d.colors[1];
    m_colorMO = d.colors[2];
    m_colorFocus = d.colors[3];
    m_colorDisabled = d.colors[4];
    if (d.flag != 0) {
        m_colorPressed = d.colors[5];
        m_Style = short(d.style);
    }
}

CString CLumvexCtrl::ResolveTemplatePath(int type, const CString& path) const
{
    const CString* folders[] = {&m_strTplPicturesDir, &m_strTplTextureDir, &m_strTplSoundsDir, &m_strTplCursorDir};
    if (type < 0 || type > 3 || path.empty() || isAddress(path))
        return path;
    CString folder = *folders[type];
    if (folder.empty())
        return path;
    // Templates made elsewhere name Windows paths: either separator counts.
    if (folder.back() != '/' && folder.back() != '\\')
        folder += '/';
    const std::size_t cut = path.find_last_of("/\\");
    return folder + (cut == CString::npos ? path : path.substr(cut + 1));
}

void CLumvexCtrl::applyTemplateMedia(const TemplateData& d)
{
    m_SoundDown = d.paths[0];
    m_SoundUp = d.paths[1];
    m_SoundMouseOver = d.paths[2];
    m_SoundMouseOut = d.paths[3];
    m_Cursor = d.paths[4];
    m_Picture = d.paths[5];
    m_PicturePressed = d.paths[6];
    m_PictureMouseOver = d.paths[7];
    m_PictureCustom = d.paths[8];
    m_Texture = d.paths[9];

    // The stored paths keep their names; the files are looked up in the
    // template folders. A path whose media do not load is cleared, as its
    // property's change clears it, so a saved button names only what it has.
    const struct {
        CString* path;
        CSound* sound;
        DISPID dispid;
    } sounds[] = {{&m_SoundDown, &m_sndDown, dispidSoundDown},
                  {&m_SoundUp, &m_sndUp, dispidSoundUp},
                  {&m_SoundMouseOver, &m_sndMouseOver, dispidSoundMouseOver},
                  {&m_SoundMouseOut, &m_sndMouseOut, dispidSoundMouseOut}};
    for (const auto& s : sounds) {
        s.sound->Empty();
        if (!s.path->empty() && !LoadSoundFile(ResolveTemplatePath(2, *s.path), s.dispid)) {
            s.sound->Empty();
            s.path->clear();
        }
    }

    // The cursor loads through its object, as the Cursor property does, so
    // the stored cursor bytes follow the new file; a failure says nothing.
    if (m_hCursor) {
        win::DestroyCursor(m_hCursor);
        m_hCursor = nullptr;
    }
    m_curCursor.Empty();
    if (!m_Cursor.empty()) {
        const CString path = ResolveTemplatePath(3, m_Cursor);
        if (m_curCursor.Load(path.c_str())) {
            m_hCursor = m_curCursor.GetHandle();
        } else {
            m_curCursor.Empty();
            m_Cursor.clear();
        }
    }

    const struct {
        CString* path;
        CDIB* picture;
        CAnim* animation;
        DISPID dispid;
    } pictures[] = {{&m_Picture, &m_dibPicture, &m_aviPicture, dispidPicture},
                    {&m_PicturePressed, &m_dibPicturePressed, &m_aviPicturePressed, dispidPicturePressed},
                    {&m_PictureMouseOver, &m_dibPictureMouseOver, &m_aviPictureMouseOver, dispidPictureMouseOver}};
    for (const auto& p : pictures) {
        p.picture->Empty();
        p.animation->Empty();
        if (!p.path->empty() && !LoadMediaFile(ResolveTemplatePath(0, *p.path), p.dispid))
            p.path->clear();
    }

    if (m_PictureCustom.empty()) {
        m_dibPictureCustom.Empty();
    } else if (!LoadCustomMask(ResolveTemplatePath(0, m_PictureCustom))) {
        // The button keeps a shape: the built-in mask.
        m_dibPictureCustom.LoadResource(IDB_CUSTOM_SHAPE);
        m_PictureCustom.clear();
    }

    if (m_Texture.empty() || !LoadMediaFile(ResolveTemplatePath(1, m_Texture), dispidTexture)) {
        m_Texture.clear();
        m_dibTexture.Empty();
        m_dibTexturedBtn.Empty();
        m_dibTexturedBtnPressed.Empty();
    }

    // The rectangle goes to the container, which moves the control.
    if (IOleInPlaceSite* site = GetInPlaceSite()) {
        const RECT rc{d.left, d.top, LONG(std::int64_t(d.left) + d.width), LONG(std::int64_t(d.top) + d.height)};
        site->OnPosRectChange(&rc);
    }
}
