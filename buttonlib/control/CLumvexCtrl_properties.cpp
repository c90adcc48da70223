// The properties of _DLumvex: their range checks and what each change redraws.

#include "buttonlib/control/CLumvexCtrl.h"

#include "platform/mfc/AfxMessageBox.h"
#include "platform/win/Messages.h"

namespace {

// The rounding and slant divisors of Roundness and Slant 0 (very high) to 4
// (very low).
constexpr float kRoundDivisors[] = {1.5f, 2.0f, 2.5f, 3.0f, 3.5f};
constexpr float kSlantDivisors[] = {1.33f, 1.66f, 2.0f, 2.33f, 2.66f};

constexpr short kShapeText = 4;

} // namespace

// --- Common steps ----------------------------------------------------------------------

void CLumvexCtrl::PropertyChanged(DISPID dispid, FollowUp followUp)
{
    BoundPropertyChanged(dispid);
    SetModifiedFlag(TRUE);
    switch (followUp) {
    case FollowUp::Repaint: RefreshAfterChange(); break;
    case FollowUp::Faces:
        m_bRebuildFaces = TRUE;
        RefreshAfterChange();
        break;
    case FollowUp::Shape:
        m_bRebuildFaces = TRUE;
        InvalidateButton(TRUE);
        break;
    case FollowUp::None: break;
    }
}

bool CLumvexCtrl::applyRange(short& value, const RangeRule& rule)
{
    if (value >= rule.low && value <= rule.high)
        return true;
    switch (rule.style) {
    case Range::Reset:
        // Only a designer is told; at run time the reset is silent.
        if (!AmbientUserMode())
            AfxMessageBox(IDS_OUT_OF_BOUNDS, win::MB_OK);
        value = rule.reset;
        return true;
    case Range::Ignore: return false;
    case Range::Clamp: value = value < rule.low ? rule.low : rule.high; return true;
    }
    return false;
}

void CLumvexCtrl::setShort(short& member, short value, DISPID dispid, const RangeRule* rule, FollowUp followUp)
{
    if (rule && !applyRange(value, *rule))
        return;
    member = value;
    PropertyChanged(dispid, followUp);
}

void CLumvexCtrl::setSurfaceBase(CColor& element, OLE_COLOR value, DISPID dispid)
{
    element.SetBaseColor(value);
    PropertyChanged(dispid, FollowUp::Faces);
}

// --- Media paths --------------------------------------------------------------------------

void CLumvexCtrl::SetSoundDown(CString value)
{
    m_SoundDown = std::move(value);
    OnSoundDownChanged();
}

void CLumvexCtrl::SetSoundUp(CString value)
{
    m_SoundUp = std::move(value);
    OnSoundUpChanged();
}

void CLumvexCtrl::SetCursor(CString value)
{
    m_Cursor = std::move(value);
    OnCursorChanged();
}

void CLumvexCtrl::SetSoundMouseOver(CString value)
{
    m_SoundMouseOver = std::move(value);
    OnSoundMouseOverChanged();
}

void CLumvexCtrl::SetSoundMouseOut(CString value)
{
    m_SoundMouseOut = std::move(value);
    OnSoundMouseOutChanged();
}

void CLumvexCtrl::SetPicture(CString value)
{
    m_Picture = std::move(value);
    OnPictureChanged();
}

void CLumvexCtrl::SetPicturePressed(CString value)
{
    m_PicturePressed = std::move(value);
    OnPicturePressedChanged();
}

void CLumvexCtrl::SetPictureMouseOver(CString value)
{
    m_PictureMouseOver = std::move(value);
    OnPictureMouseOverChanged();
}

void CLumvexCtrl::SetPictureCustom(CString value)
{
    m_PictureCustom = std::move(value);
    OnPictureCustomChanged();
}

void CLumvexCtrl::SetEnableInternetLoadAtDT(BOOL value)
{
    m_EnableInternetLoadAtDT = value;
    OnEnableInternetLoadAtDTChanged();
}

void CLumvexCtrl::SetTexture(CString value)
{
    m_Texture = std::move(value);
    OnTextureChanged();
}

void CLumvexCtrl::SetPictureDisabled(CString value)
{
    m_PictureDisabled = std::move(value);
    OnPictureDisabledChanged();
}

// A path's notification loads its media; a path that does not load is
// cleared, and the container sees the empty value.

void CLumvexCtrl::loadSoundPath(CString& path, CSound& sound, DISPID dispid)
{
    sound.Empty();
    if (!path.empty() && !LoadSoundFile(path, dispid)) {
        sound.Empty();
        path.clear();
    }
    PropertyChanged(dispid, FollowUp::Repaint);
}

void CLumvexCtrl::loadPicturePath(CString& path, CDIB& picture, CAnim* animation, DISPID dispid)
{
    picture.Empty();
    if (animation)
        animation->Empty();
    if (!path.empty() && !LoadMediaFile(path, dispid))
        path.clear();
    PropertyChanged(dispid, FollowUp::Repaint);
}

void CLumvexCtrl::OnSoundDownChanged()
{
    loadSoundPath(m_SoundDown, m_sndDown, dispidSoundDown);
}

void CLumvexCtrl::OnSoundUpChanged()
{
    loadSoundPath(m_SoundUp, m_sndUp, dispidSoundUp);
}

void CLumvexCtrl::OnCursorChanged()
{
    if (m_hCursor) {
        win::DestroyCursor(m_hCursor);
        m_hCursor = nullptr;
    }
    m_curCursor.Empty();
    if (!m_Cursor.empty()) {
        if (m_curCursor.Load(m_Cursor.c_str())) {
            m_hCursor = m_curCursor.GetHandle();
        } else {
            loadFailed(IDS_ERROR_OPEN_FILE, m_Cursor);
            m_curCursor.Empty();
            m_Cursor.clear();
        }
    }
    BoundPropertyChanged(dispidCursor);
    SetModifiedFlag(TRUE);
    InvalidateButton(FALSE);
}

void CLumvexCtrl::OnSoundMouseOverChanged()
{
    loadSoundPath(m_SoundMouseOver, m_sndMouseOver, dispidSoundMouseOver);
}

void CLumvexCtrl::OnSoundMouseOutChanged()
{
    loadSoundPath(m_SoundMouseOut, m_sndMouseOut, dispidSoundMouseOut);
}

void CLumvexCtrl::OnPictureChanged()
{
    loadPicturePath(m_Picture, m_dibPicture, &m_aviPicture, dispidPicture);
}

void CLumvexCtrl::OnPicturePressedChanged()
{
    loadPicturePath(m_PicturePressed, m_dibPicturePressed, &m_aviPicturePressed, dispidPicturePressed);
}

void CLumvexCtrl::OnPictureMouseOverChanged()
{
    loadPicturePath(m_PictureMouseOver, m_dibPictureMouseOver, &m_aviPictureMouseOver, dispidPictureMouseOver);
}

void CLumvexCtrl::OnPictureCustomChanged()
{
    m_dibPictureCustom.Empty();
    if (m_PictureCustom.empty() || !LoadCustomMask(m_PictureCustom)) {
        // The button keeps a shape: the built-in mask.
        m_dibPictureCustom.LoadResource(IDB_CUSTOM_SHAPE);
        m_PictureCustom.clear();
    }
    PropertyChanged(dispidPictureCustom, FollowUp::Shape);
}

void CLumvexCtrl::OnEnableInternetLoadAtDTChanged()
{
    // Only a designer's change reloads the addressed media when the window
    // is next made.
    if (AmbientUserMode())
        return;
    m_bReloadOnCreate = TRUE;
    PropertyChanged(dispidEnableInternetLoadAtDT, FollowUp::Shape);
}

void CLumvexCtrl::OnTextureChanged()
{
    if (m_Texture.empty() || !LoadMediaFile(m_Texture, dispidTexture)) {
        m_Texture.clear();
        m_dibTexture.Empty();
        m_dibTexturedBtn.Empty();
        m_dibTexturedBtnPressed.Empty();
    }
    PropertyChanged(dispidTexture, FollowUp::Faces);
}

void CLumvexCtrl::OnPictureDisabledChanged()
{
    loadPicturePath(m_PictureDisabled, m_dibPictureDisabled, nullptr, dispidPictureDisabled);
}

// --- Shape and surface ----------------------------------------------------------------------

void CLumvexCtrl::applyRoundness()
{
    if (m_Roundness >= 0 && m_Roundness < short(std::size(kRoundDivisors)))
        m_fRoundDivisor = kRoundDivisors[m_Roundness];
}

void CLumvexCtrl::applySlant()
{
    if (m_Slant >= 0 && m_Slant < short(std::size(kSlantDivisors)))
        m_fSlantDivisor = kSlantDivisors[m_Slant];
}

void CLumvexCtrl::SetShape(short value)
{
    static constexpr RangeRule rule{Range::Reset, 0, 5, 0};
    if (!applyRange(value, rule))
        return;
    m_Shape = value;
    if (m_Shape == 1)
        applyRoundness();
    PropertyChanged(dispidShape, FollowUp::Shape);
}

void CLumvexCtrl::SetRoundness(short value)
{
    m_Roundness = value;
    applyRoundness();
    PropertyChanged(dispidRoundness, FollowUp::Shape);
}

void CLumvexCtrl::SetSlant(short value)
{
    m_Slant = value;
    applySlant();
    PropertyChanged(dispidSlant, FollowUp::Shape);
}

void CLumvexCtrl::SetSurface(short value)
{
    setShort(m_Surface, value, dispidSurface, nullptr, FollowUp::Faces);
}

void CLumvexCtrl::SetPictureTranspColor(OLE_COLOR value)
{
    m_PictureTranspColor = value;
    PropertyChanged(dispidPictureTranspColor, FollowUp::Repaint);
}

IDispatch* CLumvexCtrl::GetFontText(int position) const
{
    return position >= 0 && position < kTextCount ? m_font[position].GetFontDispatch() : nullptr;
}

void CLumvexCtrl::SetFontText(int position, IDispatch* font)
{
    if (position < 0 || position >= kTextCount)
        return;
    m_font[position].InitializeFont(position == 0 ? &CaptionFontDesc() : &TextFontDesc(), font);
    if (position == 0)
        PropertyChanged(dispidFontTextCaption, FollowUp::Faces);
    else
        PropertyChanged(dispidFontTextLT + position - 1, FollowUp::Repaint);
}

void CLumvexCtrl::SetPicturePosition(short value)
{
    setShort(m_PicturePosition, value, dispidPicturePosition, nullptr, FollowUp::Repaint);
}

void CLumvexCtrl::SetPictureXOffset(short value)
{
    static constexpr RangeRule rule{Range::Reset, -99, 99, 0};
    setShort(m_PictureXOffset, value, dispidPictureXOffset, &rule, FollowUp::Repaint);
}

void CLumvexCtrl::SetPictureYOffset(short value)
{
    static constexpr RangeRule rule{Range::Reset, -99, 99, 0};
    setShort(m_PictureYOffset, value, dispidPictureYOffset, &rule, FollowUp::Repaint);
}

void CLumvexCtrl::SetPictureTranspMode(short value)
{
    setShort(m_PictureTranspMode, value, dispidPictureTranspMode, nullptr, FollowUp::Repaint);
}

void CLumvexCtrl::SetButtonCustomRaised(BOOL value)
{
    m_ButtonCustomRaised = value;
    PropertyChanged(dispidButtonCustomRaised, FollowUp::Faces);
}

void CLumvexCtrl::SetBackColorContainer(OLE_COLOR value)
{
    m_BackColorContainer = value;
    PropertyChanged(dispidBackColorContainer, FollowUp::Faces);
}

void CLumvexCtrl::SetMovePictureOnPress(BOOL value)
{
    m_MovePictureOnPress = value;
    PropertyChanged(dispidMovePictureOnPress, FollowUp::Repaint);
}

void CLumvexCtrl::SetButtonRaiseFactor(short value)
{
    static constexpr RangeRule rule{Range::Reset, 0, 9, 1};
    setShort(m_ButtonRaiseFactor, value, dispidButtonRaiseFactor, &rule, FollowUp::Faces);
}

void CLumvexCtrl::SetHighlightColor(OLE_COLOR value)
{
    m_HighlightColor = value;
    PropertyChanged(dispidHighlightColor, FollowUp::Faces);
}

void CLumvexCtrl::SetShadowColor(OLE_COLOR value)
{
    m_ShadowColor = value;
    PropertyChanged(dispidShadowColor, FollowUp::Faces);
}

void CLumvexCtrl::SetButtonCustomFitPicture(BOOL value)
{
    m_ButtonCustomFitPicture = value;
    PropertyChanged(dispidButtonCustomFitPicture, FollowUp::Faces);
}

void CLumvexCtrl::SetHyperlink(CString value)
{
    m_Hyperlink = std::move(value);
    PropertyChanged(dispidHyperlink, FollowUp::None);
}

void CLumvexCtrl::SetSmoothEdges(short value)
{
    static constexpr RangeRule rule{Range::Clamp, 0, 3, 0};
    setShort(m_SmoothEdges, value, dispidSmoothEdges, &rule, FollowUp::Faces);
}

void CLumvexCtrl::SetTagEx(CString value)
{
    m_TagEx = std::move(value);
    PropertyChanged(dispidTagEx, FollowUp::None);
}

void CLumvexCtrl::SetPictureKeepRatio(BOOL value)
{
    m_PictureKeepRatio = value;
    PropertyChanged(dispidPictureKeepRatio, FollowUp::Repaint);
}

void CLumvexCtrl::SetFocusMode(short value)
{
    static constexpr RangeRule rule{Range::Ignore, 0, 2, 0};
    setShort(m_FocusMode, value, dispidFocusMode, &rule, FollowUp::Faces);
}

void CLumvexCtrl::SetSpecialEffect(short value)
{
    static constexpr RangeRule rule{Range::Ignore, 0, 2, 0};
    setShort(m_SpecialEffect, value, dispidSpecialEffect, &rule, FollowUp::Faces);
}

void CLumvexCtrl::SetCaptionWordWrapPerc(short value)
{
    static constexpr RangeRule rule{Range::Clamp, 10, 100, 90};
    setShort(m_CaptionWordWrapPerc, value, dispidCaptionWordWrapPerc, &rule, FollowUp::Repaint);
}

void CLumvexCtrl::SetOptimization(short value)
{
    static constexpr RangeRule rule{Range::Ignore, 0, 1, 0};
    setShort(m_Optimization, value, dispidOptimization, &rule, FollowUp::None);
}

void CLumvexCtrl::SetClickable(BOOL value)
{
    m_Clickable = value;
    PropertyChanged(dispidClickable, FollowUp::Faces);
}

void CLumvexCtrl::SetBackColor(OLE_COLOR value)
{
    setSurfaceBase(m_colorBack, value, dispidBackColor);
}

void CLumvexCtrl::SetForeColor(OLE_COLOR value)
{
    m_text[0].SetForeColor(value);
    // A text-shaped button is made of its caption.
    if (m_Shape == kShapeText)
        m_bRebuildFaces = TRUE;
    PropertyChanged(dispidForeColor, FollowUp::Repaint);
}

void CLumvexCtrl::SetIgnoreSpaceBar(BOOL value)
{
    m_IgnoreSpaceBar = value;
    PropertyChanged(dispidIgnoreSpaceBar, FollowUp::None);
}

void CLumvexCtrl::SetSpecialEffectFactor(short value)
{
    static constexpr RangeRule rule{Range::Ignore, 0, 4, 0};
    setShort(m_SpecialEffectFactor, value, dispidSpecialEffectFactor, &rule, FollowUp::Faces);
}

void CLumvexCtrl::SetTextureMode(short value)
{
    static constexpr RangeRule rule{Range::Ignore, 0, 3, 1};
    setShort(m_TextureMode, value, dispidTextureMode, &rule, FollowUp::Faces);
}

void CLumvexCtrl::SetTextureLightIntensity(short value)
{
    static constexpr RangeRule rule{Range::Clamp, 0, 100, 40};
    setShort(m_TextureLightIntensity, value, dispidTextureLightIntensity, &rule, FollowUp::Faces);
}

void CLumvexCtrl::SetTextureColorMix(OLE_COLOR value)
{
    m_TextureColorMix = value;
    PropertyChanged(dispidTextureColorMix, FollowUp::Faces);
}

void CLumvexCtrl::SetTextureColorMixPerc(short value)
{
    static constexpr RangeRule rule{Range::Clamp, 0, 100, 50};
    setShort(m_TextureColorMixPerc, value, dispidTextureColorMixPerc, &rule, FollowUp::Faces);
}

void CLumvexCtrl::SetTextureBevelFactor(short value)
{
    static constexpr RangeRule rule{Range::Clamp, 0, 4, 4};
    setShort(m_TextureBevelFactor, value, dispidTextureBevelFactor, &rule, FollowUp::Faces);
}

void CLumvexCtrl::SetForeColorDisabled(OLE_COLOR value)
{
    m_ForeColorDisabled = value;
    PropertyChanged(dispidForeColorDisabled, FollowUp::Faces);
}

void CLumvexCtrl::SetBackColorDisabled(OLE_COLOR value)
{
    m_dibFaceDisabled.Empty();
    setSurfaceBase(m_colorDisabled, value, dispidBackColorDisabled);
}

void CLumvexCtrl::SetBackColorMouseOver(OLE_COLOR value)
{
    setSurfaceBase(m_colorMO, value, dispidBackColorMouseOver);
}

void CLumvexCtrl::SetBackColorFocus(OLE_COLOR value)
{
    setSurfaceBase(m_colorFocus, value, dispidBackColorFocus);
}

void CLumvexCtrl::SetBackColorInterior(OLE_COLOR value)
{
    setSurfaceBase(m_colorIntern, value, dispidBackColorInterior);
}

void CLumvexCtrl::SetForeColorMouseOver(OLE_COLOR value)
{
    m_text[0].SetMouseOverColor(value);
    PropertyChanged(dispidForeColorMouseOver, FollowUp::Faces);
}

void CLumvexCtrl::SetFlatPillowFactor(short value)
{
    setShort(m_FlatPillowFactor, value, dispidFlatPillowFactor, nullptr, FollowUp::Faces);
}

void CLumvexCtrl::SetShadowMode(short value)
{
    setShort(m_ShadowMode, value, dispidShadowMode, nullptr, FollowUp::Faces);
}

void CLumvexCtrl::SetStyle(short value)
{
    static constexpr RangeRule rule{Range::Reset, 0, 2, 0};
    setShort(m_Style, value, dispidStyle, &rule, FollowUp::Faces);
}

void CLumvexCtrl::SetForeColorPressed(OLE_COLOR value)
{
    m_text[0].SetPressedColor(value);
    PropertyChanged(dispidForeColorPressed, FollowUp::Faces);
}

void CLumvexCtrl::SetBackColorPressed(OLE_COLOR value)
{
    m_dibFacePressed.Empty();
    setSurfaceBase(m_colorPressed, value, dispidBackColorPressed);
}

void CLumvexCtrl::SetValue(short value)
{
    // A push button has no checked state.
    if (m_Style == 0)
        return;
    m_bChecked = value ? TRUE : FALSE;
    // The window shows the new state itself (the button's check message).
    if (m_hWnd)
        PostMessage(win::BM_SETCHECK, win::WPARAM(value), 0);
    PropertyChanged(dispidValue, FollowUp::None);
}

void CLumvexCtrl::OnTextChanged()
{
    m_text[0].SetText(GetText());
    if (m_Shape == kShapeText) {
        m_bRebuildFaces = TRUE;
        InvalidateButton(TRUE);
    } else {
        InvalidateButton(FALSE);
        if (AmbientUserMode() && m_hWnd && m_bAccelerator) {
            // The container takes the caption's new mnemonic.
            ControlInfoChanged();
            if (IOleControlSite* site = GetControlSite())
                site->OnFocus(TRUE);
        }
    }
    SetModifiedFlag(TRUE);
}
