// The control's methods: texts and their settings, surface colours, media
// given by handle or from memory, sound and refresh switches, the editor's
// tables, the picture export and the property editor opened from code.

#include "buttonlib/control/CLumvexCtrl.h"

#include "buttonlib/control/CLumvexApp.h"
#include "buttonlib/control/FaceDrawing.h"
#include "buttonlib/media/DibUtil.h"

#include "platform/win/Messages.h"
#include "platform/win/VirtualKeys.h"

#include <algorithm>

namespace {

constexpr short kShapeText = 4;
constexpr short kStyleCheck = 1;
constexpr short kStyleRadio = 2;
constexpr int kSwHide = 0;
constexpr int kSwShow = 5;
constexpr DWORD kInfoHeaderBytes = 40;

bool validPosition(short position)
{
    return position >= 0 && position < CLumvexCtrl::kTextCount;
}

short clampOffset(short v)
{
    return v < -99 || v > 99 ? 0 : v;
}

short clampEffect(short v)
{
    return v < 0 || v > 3 ? 0 : v;
}

short clampFactor(short v)
{
    return v < 0 || v > 5 ? 1 : v;
}

short clampAngle(short v)
{
    return v < 0 || v > 4 ? 0 : v;
}

} // namespace

CText* CLumvexCtrl::textAt(short position)
{
    return validPosition(position) ? &m_text[std::size_t(position)] : nullptr;
}

CColor* CLumvexCtrl::surfaceAt(short nElement)
{
    CColor* elements[] = {&m_colorBack, &m_colorMO, &m_colorFocus, &m_colorIntern, &m_colorDisabled, &m_colorPressed};
    return nElement >= 0 && nElement < 6 ? elements[nElement] : nullptr;
}

// --- Texts ------------------------------------------------------------------------------------

void CLumvexCtrl::SetCaptionText(CString text, OLE_COLOR color, OLE_COLOR colorMouseOver, short xOffset,
                                 short yOffset, short iEffect, short nFactor, short nAngle)
{
    m_text[0].SetAngle(clampAngle(nAngle));
    if (m_Shape == kShapeText)
        m_bRebuildFaces = TRUE;
    SetAuxText(0, std::move(text), color, colorMouseOver, xOffset, yOffset, iEffect, nFactor);
}

CString CLumvexCtrl::GetCaptionText(OLE_COLOR* pcolor, OLE_COLOR* pcolorMouseOver, short* pxOffset, short* pyOffset,
                                    short* piEffect, short* pnFactor, short* pnAngle)
{
    const CText& caption = m_text[0];
    if (pnAngle)
        *pnAngle = caption.GetAngle();
    return GetAuxText(0, pcolor, pcolorMouseOver, pxOffset, pyOffset, piEffect, pnFactor);
}

void CLumvexCtrl::SetAuxText(short position, CString text, OLE_COLOR color, OLE_COLOR colorMouseOver, short xOffset,
                             short yOffset, short iEffect, short nFactor)
{
    CText* t = textAt(position);
    if (!t)
        return;
    t->SetForeColor(color);
    t->SetMouseOverColor(colorMouseOver);
    t->SetXOffset(clampOffset(xOffset));
    t->SetYOffset(clampOffset(yOffset));
    t->SetEffect(clampEffect(iEffect));
    t->SetEffectFactor(clampFactor(nFactor));
    SetAuxTextString(position, std::move(text));
}

CString CLumvexCtrl::GetAuxText(short position, OLE_COLOR* pcolor, OLE_COLOR* pcolorMouseOver, short* pxOffset,
                                short* pyOffset, short* piEffect, short* pnFactor)
{
    const CText* t = textAt(position);
    if (!t)
        return CString();
    if (pcolor)
        *pcolor = t->GetForeColor();
    if (pcolorMouseOver)
        *pcolorMouseOver = t->GetMouseOverColor();
    if (pxOffset)
        *pxOffset = t->GetXOffset();
    if (pyOffset)
        *pyOffset = t->GetYOffset();
    if (piEffect)
        *piEffect = t->GetEffect();
    if (pnFactor)
        *pnFactor = t->GetEffectFactor();
    return t->GetText();
}

void CLumvexCtrl::SetAuxTextString(short position, CString text)
{
    CText* t = textAt(position);
    if (!t)
        return;
    if (position == 0)
        SetText(text);
    t->SetText(text);
    SetModifiedFlag(TRUE);
    RefreshAfterChange();
}

CString CLumvexCtrl::GetTextOnPos(short position)
{
    const CText* t = textAt(position);
    return t ? t->GetText() : CString();
}

void CLumvexCtrl::SetTextSettingOnPos(short position, const TextSettingDesc* pdesc, short nFlag)
{
    CText* t = textAt(position);
    if (!t || !pdesc)
        return;
    const TextSettingDesc d = *pdesc;
    if (!(nFlag & kSkipColor))
        t->SetForeColor(d.color);
    if (!(nFlag & kSkipColorMouseOver))
        t->SetMouseOverColor(d.colorMouseOver);
    if (!(nFlag & kSkipColorPressed))
        t->SetPressedColor(d.colorPressed);
    if (!(nFlag & kSkipXOffset))
        t->SetXOffset(clampOffset(d.xOffset));
    if (!(nFlag & kSkipYOffset))
        t->SetYOffset(clampOffset(d.yOffset));
    if (!(nFlag & kSkipEffect))
        t->SetEffect(clampEffect(d.effect));
    if (!(nFlag & kSkipEffectFactor))
        t->SetEffectFactor(clampFactor(d.effectFactor));
    if (!(nFlag & kSkipAngle))
        t->SetAngle(clampAngle(d.angle));
    SetModifiedFlag(TRUE);
    RefreshAfterChange();
}

void CLumvexCtrl::GetTextSettingOnPos(short position, TextSettingDesc* pdesc)
{
    const CText* t = textAt(position);
    if (!t || !pdesc)
        return;
    // The padding stays as the caller left it.
    pdesc->color = t->GetForeColor();
    pdesc->colorMouseOver = t->GetMouseOverColor();
    pdesc->colorPressed = t->GetPressedColor();
    pdesc->xOffset = t->GetXOffset();
    pdesc->yOffset = t->GetYOffset();
    pdesc->effect = t->GetEffect();
    pdesc->effectFactor = t->GetEffectFactor();
    pdesc->angle = t->GetAngle();
}

void CLumvexCtrl::SetTextVisible(short nText, BOOL bVisible)
{
    if (!validPosition(nText))
        return;
    m_bTextVisible[std::size_t(nText)] = bVisible;
    // Showing or hiding a text is no change of the button's design.
    RefreshAfterChange();
}

// --- Surface colours ------------------------------------------------------------------------

void CLumvexCtrl::SetSurfaceColor(short nElement, OLE_COLOR color, short nGradientFactor, short nRender3D)
{
    if (CColor* element = surfaceAt(nElement))
        element->Set(color, nGradientFactor, nRender3D);
    m_bRebuildFaces = TRUE;
    SetModifiedFlag(TRUE);
    RefreshAfterChange();
}

void CLumvexCtrl::GetSurfaceColor(short nElement, OLE_COLOR* pcolor, short* pnGradientFactor, short* pnRender3D)
{
    const CColor* element = surfaceAt(nElement);
    if (!element)
        return;
    if (pcolor)
        *pcolor = element->GetBaseColor();
    if (pnGradientFactor)
        *pnGradientFactor = element->GetStep();
    if (pnRender3D)
        *pnRender3D = element->GetColoration();
}

void CLumvexCtrl::SetSurfaceColorDesc(short nElement, const SurfaceColorDesc* pdesc)
{
    if (!pdesc)
        return;
    const SurfaceColorDesc d = *pdesc;
    SetSurfaceColor(nElement, d.color, d.gradientFactor, d.render3D);
}

void CLumvexCtrl::GetSurfaceColorDesc(short nElement, SurfaceColorDesc* pdesc)
{
    if (!pdesc)
        return;
    GetSurfaceColor(nElement, &pdesc->color, &pdesc->gradientFactor, &pdesc->render3D);
}

// --- Media by handle and from memory -----------------------------------------------------------

void CLumvexCtrl::applyPicture(short index, const CDIB& picture)
{
    // The shape mask is made by setPictureFromBitmap.
    const PictureState state = pictureState(index);
    if (!state.picture || index == 3)
        return;
    if (state.anim)
        state.anim->Empty();
    state.picture->Copy(picture);
    if (index == 4) {
        m_Texture = "Bmp";
        m_bRebuildFaces = TRUE;
    }
}

LONG CLumvexCtrl::SetPictureFromHandle(short index, OLE_HANDLE hBmp)
{
    // A bitmap handle names one of our device bitmaps.
    return setPictureFromBitmap(index, static_cast<HBITMAP>(com::Handles().Find(hBmp, com::HandleKind::Bitmap)));
}

LONG CLumvexCtrl::setPictureFromBitmap(short index, HBITMAP hbm)
{
    CDIB picture;
    try {
        if (!hbm || !picture.Create(hbm, nullptr))
            return FALSE;
    } catch (const CMemoryException&) {
        return FALSE;
    }
    if (index != 3) {
        applyPicture(index, picture);
        SetModifiedFlag(TRUE);
        RefreshAfterChange();
        return TRUE;
    }
    // The shape mask: the picture in one bit per pixel, white where it
    // shows the DC's white background.
    if (!monoMaskFrom(picture, hbm, m_dibPictureCustom))
        return FALSE;
    m_PictureCustom = "Bmp";
    InvalidateButton(TRUE);
    return TRUE;
}

LONG CLumvexCtrl::SetPictureFromMemory(short index, const void* pData, LONG sizeData)
{
    if (!pData)
        return FALSE;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(pData);
    if (sizeData > 0) {
        // Header, colour table and rows must lie within the bytes given.
        DWORD colors = 0;
        DWORD imageBytes = 0;
        if (DWORD(sizeData) < kInfoHeaderBytes || !DibCheckHeader(*header, &colors, &imageBytes))
            return FALSE;
        const std::uint64_t needed = std::uint64_t(kInfoHeaderBytes) + DibTableBytes(header) + imageBytes;
        if (needed > std::uint64_t(sizeData))
            return FALSE;
    }
    CDIB picture;
    HBITMAP hbm = nullptr;
    try {
        if (!picture.CreateFromPackedDIB(static_cast<const BITMAPINFO*>(pData)))
            return FALSE;
        // The mask is made from a device bitmap, as from a handle.
        if (index == 3)
            hbm = picture.CreateBitmap(nullptr);
    } catch (const CMemoryException&) {
        return FALSE;
    }
    LONG result = TRUE;
    if (index == 3) {
        result = setPictureFromBitmap(index, hbm);
        if (hbm)
            DeleteObject(hbm);
    } else {
        applyPicture(index, picture);
        SetModifiedFlag(TRUE);
        RefreshAfterChange();
    }
    if (CString* path = pictureState(index).path; result && path)
        *path = "Bmp";
    return result;
}

LONG CLumvexCtrl::SetAnimFromMemory(short index, const void* pData, LONG sizeData)
{
    if (!pData || sizeData <= 0)
        return FALSE;
    // The bytes say whether they are an AVI or a GIF; a load that gives no
    // frame is a failure.
    CAnim scratch;
    if (!scratch.SetData(pData, sizeData, FALSE, 0) || scratch.GetFrameCount() == 0)
        return FALSE;
    const PictureState s = pictureState(index);
    if (!s.anim)
        return TRUE;
    s.picture->Empty();
    s.anim->SetData(pData, sizeData, FALSE, 0);
    *s.path = "Avi";
    if (index == 0)
        StartNormalAnimation();
    return TRUE;
}

LONG CLumvexCtrl::SetSoundFromMemory(short index, const void* pData, LONG sizeData)
{
    if (!pData || sizeData <= 0)
        return FALSE;
    CSound scratch;
    if (!scratch.SetRawData(pData, sizeData))
        return FALSE;
    const SoundState s = soundState(index);
    if (s.sound && s.sound->SetRawData(pData, sizeData))
        *s.path = "Wav";
    return TRUE;
}

BOOL CLumvexCtrl::monoMaskFrom(const CDIB& picture, HBITMAP colour, CDIB& mask)
{
    const int w = int(picture.GetWidth());
    const int h = int(picture.GetHeight());
    int depth = 0;
    const facedraw::OwnedBitmap own(colour ? nullptr : picture.CreateBitmap(&depth));
    const facedraw::OwnedBitmap mono(w > 0 && h > 0 ? CreateBitmap(w, h, 1, 1, nullptr) : nullptr);
    HBITMAP source = colour ? colour : own.get();
    if (!source || !mono)
        return FALSE;
    {
        facedraw::BitmapDC src(nullptr, source);
        facedraw::BitmapDC dst(nullptr, mono.get());
        if (!src.Ok() || !dst.Ok() || !BitBlt(dst.dc(), 0, 0, w, h, src.dc(), 0, 0, SRCCOPY))
            return FALSE;
    }
    // Made aside: a failure leaves the mask as it was.
    try {
        CDIB bits;
        if (!bits.Create(mono.get(), nullptr))
            return FALSE;
        mask.Copy(bits);
    } catch (const CMemoryException&) {
        return FALSE;
    }
    return TRUE;
}

LONG CLumvexCtrl::SetCursorFromHandle(OLE_HANDLE hCursor)
{
    // A cursor handle names one of our cursors; the control keeps a copy
    // of its own, which it destroys.
    auto* source = static_cast<win::HCURSOR>(com::Handles().Find(hCursor, com::HandleKind::Cursor));
    const win::HCURSOR copy = source ? win::CopyCursor(source) : nullptr;
    if (!copy)
        return FALSE;
    if (m_hCursor)
        win::DestroyCursor(m_hCursor);
    m_hCursor = copy;
    return TRUE;
}

// --- Switches ---------------------------------------------------------------------------------

void CLumvexCtrl::EnableSound(short nSound, BOOL bEnable)
{
    if (nSound >= 0 && nSound < 4)
        m_bSoundEnabled[std::size_t(nSound)] = bEnable;
}

void CLumvexCtrl::SetSoundSync(short sound, BOOL flag)
{
    if (sound >= 0 && sound < 4)
        m_bSoundThread[std::size_t(sound)] = flag;
}

void CLumvexCtrl::SetAutomaticRefresh(BOOL bAutoRefresh)
{
    const BOOL was = m_bAutomaticRefresh;
    m_bAutomaticRefresh = bAutoRefresh;
    if (!bAutoRefresh || was)
        return;
    if (m_bRefreshPending) {
        BuildWindowRegion();
        m_bRebuildFaces = TRUE;
        RefreshButton();
        SetModifiedFlag(TRUE);
        m_bRefreshPending = FALSE;
    } else {
        invalidate(FALSE);
    }
}

void CLumvexCtrl::SetNSContainerColor(OLE_COLOR color)
{
    m_NSContainerColor = color;
    BuildWindowRegion();
}

IUnknown* CLumvexCtrl::GetControlPtr()
{
    // A counted interface: a client releases what it gets. The editor finds
    // the object behind it through the framework.
    IUnknown* self = GetControllingUnknown();
    self->AddRef();
    return self;
}

void CLumvexCtrl::SetTemplateBinDir(short nType, CString strDirPath)
{
    CString* folders[] = {&m_strTplPicturesDir, &m_strTplTextureDir, &m_strTplSoundsDir, &m_strTplCursorDir};
    if (nType >= 0 && nType < 4)
        *folders[nType] = std::move(strDirPath);
}

void CLumvexCtrl::SetHelpLink(short nPage, CString strLink)
{
    if (nPage >= 0 && nPage < kHelpLinkCount)
        g_helpLinks[std::size_t(nPage)] = std::move(strLink);
}

void CLumvexCtrl::ShowEditingButtons(short lFlags, short bShow)
{
    for (int bit = 0; bit < kEditButtonCount; ++bit)
        if (lFlags & (1 << bit))
            g_editButtonShow[std::size_t(bit)] = bShow ? kSwShow : kSwHide;
}

// --- Picture export -------------------------------------------------------------------------

BOOL CLumvexCtrl::ExportBtnImage(short nImage, CString strFilename, short nFormat)
{
    if (nFormat < 0 || nFormat > 3)
        return FALSE;
    const int w = int(m_rcButton.right - m_rcButton.left) - 1;
    const int h = int(m_rcButton.bottom - m_rcButton.top) - 1;
    if (w <= 0 || h <= 0)
        return FALSE;
    const BOOL savedMouseOver = m_bMouseOver;
    const BOOL savedFocus = m_bFocus;
    m_bMouseOver = FALSE;
    m_bFocus = FALSE;
    UINT state = 0;
    switch (nImage) {
    case 1: m_bMouseOver = TRUE; break;
    case 2:
        m_bMouseOver = TRUE;
        state = win::ODS_SELECTED;
        break;
    case 3:
        m_bFocus = TRUE;
        state = win::ODS_FOCUS;
        break;
    case 4: state = win::ODS_DISABLED; break;
    default: break;
    }
    BOOL written = FALSE;
    HDC screen = m_hWnd ? ::GetDC(m_hWnd) : nullptr;
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = mem ? CreateCompatibleBitmap(screen ? screen : mem, w, h) : nullptr;
    if (bitmap) {
        HGDIOBJ old = SelectObject(mem, bitmap);
        win::DRAWITEMSTRUCT item;
        item.CtlType = win::ODT_BUTTON;
        item.itemAction = win::ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = m_hWnd;
        item.hDC = mem;
        item.rcItem = m_rcButton;
        m_bExporting = TRUE;
        OnOcmDrawItem(&item);
        m_bExporting = FALSE;
        SelectObject(mem, old);
        CDIB picture;
        try {
            if (picture.Create(bitmap, nullptr)) {
                switch (nFormat) {
                case 0: written = picture.Save(strFilename.c_str()); break;
                case 1: written = picture.SavePNG(strFilename.c_str()); break;
                case 2: written = picture.SaveJPEG(strFilename.c_str()); break;
                default: written = picture.CopyToClipboard(); break;
                }
            }
        } catch (const CMemoryException&) {
            written = FALSE;
        }
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (mem)
        DeleteDC(mem);
    if (screen)
        ::ReleaseDC(m_hWnd, screen);
    m_bMouseOver = savedMouseOver;
    m_bFocus = savedFocus;
    return written;
}

void CLumvexCtrl::InternalRefresh()
{
    if (m_bAutomaticRefresh || !m_bRebuildFaces)
        return;
    BuildFaces(m_rcButton);
    m_bRebuildFaces = FALSE;
}

// --- The editor from code ------------------------------------------------------------------

void CLumvexCtrl::EditProperties(OLE_COLOR colorText, OLE_COLOR colorBack, LONG x, LONG y)
{
    m_EditColorText = colorText;
    m_EditColorBack = colorBack;
    m_ptEditProperties = POINT{x, y};
    m_bEditorOpen = TRUE;
    LumvexApp().SetHostHelpPath();
    RECT rc{0, 0, 0, 0};
    GetRectInContainer(&rc);
    // Opened directly, at run time too.
    COleControl::OnProperties(nullptr, GetContainerWindow(), &rc);
    m_bEditorOpen = FALSE;
}

// --- Keyboard ---------------------------------------------------------------------------------

void CLumvexCtrl::OnKeyDownEvent(USHORT nChar, USHORT nShiftState)
{
    if (nChar == USHORT(win::VK_SPACE) && m_hWnd) {
        if (m_Style == kStyleCheck)
            PostMessage(win::BM_SETCHECK, m_bChecked ? 0 : 1);
        else if (m_Style == kStyleRadio)
            PostMessage(win::BM_SETCHECK, 1);
    }
    COleControl::OnKeyDownEvent(nChar, nShiftState);
}
