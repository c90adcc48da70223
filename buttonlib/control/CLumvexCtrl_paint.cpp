// The paint: the face of the button's state from the cached faces (built
// when missing), its picture or animation frame and its texts over it, the
// disabled look; and the window and clip regions of the button's shape.

#include "buttonlib/control/CLumvexCtrl.h"

#include "buttonlib/control/CMemDC.h"

namespace {

constexpr short kShapeText = 4;
constexpr short kShapeCustom = 5;
constexpr short kStylePush = 0;

OLE_COLOR colorOf(OLE_COLOR color)
{
    if ((color & 0xFF000000) == 0x80000000)
        return GetSysColor(int(color & 0xFF));
    return color & 0x00FFFFFF;
}

RECT shrunk(RECT r)
{
    return RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

RECT moved(RECT r)
{
    return RECT{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
}

bool hasWidth(const RECT& r)
{
    return r.right - r.left >= 1;
}

// A DC of the caller's as a CDC for the duration.
class AttachedDC : public CDC {
public:
    explicit AttachedDC(HDC hdc) { Attach(hdc); }
    ~AttachedDC() override { Detach(); }
};

// Until the face renderer is there: the picture at the rectangle's centre.
void drawPicture(HDC hdc, const RECT& rect, HBITMAP picture, int)
{
    BITMAP bm{};
    GetObject(picture, sizeof(bm), &bm);
    const HDC source = CreateCompatibleDC(hdc);
    const HGDIOBJ old = SelectObject(source, picture);
    BitBlt(hdc, int(rect.left + (rect.right - rect.left - bm.bmWidth) / 2),
           int(rect.top + (rect.bottom - rect.top - bm.bmHeight) / 2), int(bm.bmWidth), int(bm.bmHeight), source, 0, 0,
           SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

} // namespace

RECT CLumvexCtrl::faceRect() const
{
    RECT rect = m_rcButton;
    // A focused button with a focus frame is drawn one pixel inside it.
    if (m_bFocus && m_FocusMode == 1)
        rect = shrunk(rect);
    return rect;
}

void CLumvexCtrl::renderCache(CDIB& face, const RECT& rect, UINT itemState, BOOL bMouseOver, BOOL bFocus)
{
    const BOOL savedMouseOver = m_bMouseOver;
    const BOOL savedFocus = m_bFocus;
    m_bMouseOver = bMouseOver;
    m_bFocus = bFocus;
    ++m_nFaceRenders;
    // Until the face renderer draws the shape, the face is its base colour.
    const COLORREF base = colorOf((itemState & win::ODS_DISABLED) ? m_colorDisabled.GetBaseColor()
                                  : (itemState & win::ODS_SELECTED) && m_colorPressed.GetBaseColor()
                                      ? m_colorPressed.GetBaseColor()
                                  : bMouseOver && m_colorMO.GetBaseColor() ? m_colorMO.GetBaseColor()
                                                                           : m_colorBack.GetBaseColor());
    face.CreateBlank(std::max(1, int(rect.right)), std::max(1, int(rect.bottom)), 24, base);
    m_bMouseOver = savedMouseOver;
    m_bFocus = savedFocus;
}

void CLumvexCtrl::BuildFaces(RECT rect)
{
    if (const HDC screen = CreateCompatibleDC(nullptr)) {
        m_LogPixels = short(GetDeviceCaps(screen, LOGPIXELSY));
        DeleteDC(screen);
    }
    if (m_bFocus && m_FocusMode == 1)
        rect = shrunk(rect);
    // Faces drawn on demand belong to the old look: they are drawn again
    // when next needed.
    m_dibFacePressedMouseOver.Empty();
    m_dibFaceDisabled.Empty();
    m_dibFaceFocus.Empty();
    m_dibFaceMouseOver.Empty();
    m_dibFacePressed.Empty();
    m_dibFacePressedFocus.Empty();

    const BOOL mouseOver = m_bMouseOver;
    const BOOL focus = m_bFocus;
    renderCache(m_dibFaceNormal, rect, 0, FALSE, FALSE);
    if (m_FocusMode == 2)
        renderCache(m_dibFaceFocus, rect, 0, FALSE, TRUE);
    if (m_colorMO.GetBaseColor() != 0)
        renderCache(m_dibFaceMouseOver, rect, 0, TRUE, FALSE);
    if (m_Clickable) {
        renderCache(m_dibFacePressed, rect, win::ODS_SELECTED, m_Style == kStylePush ? TRUE : mouseOver, focus);
        renderCache(m_dibFacePressedFocus, rect, win::ODS_SELECTED, mouseOver, TRUE);
    }
}

void CLumvexCtrl::OnOcmDrawItem(const win::DRAWITEMSTRUCT* item)
{
    if (!item || !item->hDC || !hasWidth(m_rcButton) || !m_bAutomaticRefresh)
        return;
    const BOOL runTime = AmbientUserMode();
    if (runTime && m_Shape == kShapeCustom && !m_PictureCustom.empty() && !m_dibPictureCustom.IsValid())
        return;
    if (!m_dibFaceNormal.IsValid() || m_bRebuildFaces) {
        BuildFaces(m_rcButton);
        m_bRebuildFaces = FALSE;
    }

    RECT rcFace = m_rcButton;
    AttachedDC target(item->hDC);
    CMemDC mem(&target, rcFace);
    if (!mem.GetSafeHdc())
        return;
    const UINT state = item->itemState;

    COLORREF fill = 0;
    if ((state & win::ODS_FOCUS) && m_Shape != kShapeText && m_FocusMode == 1)
        fill = RGB(0, 0, 0);
    else if (m_Shape == kShapeText && m_bMouseOver && m_colorMO.GetBaseColor() != 0)
        fill = colorOf(m_colorBack.GetBaseColor());
    else if (m_BackColorContainer != 0)
        fill = colorOf(m_BackColorContainer);
    else
        fill = GetContainerBackColor();
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(mem, &rcFace, brush);
    DeleteObject(brush);

    // The face of the state; faces missing from the cache are drawn now.
    const BOOL moColour = m_colorMO.GetBaseColor() != 0;
    const RECT rcCache = faceRect();
    CDIB* face = &m_dibFaceNormal;
    auto onDemand = [&](CDIB& cache, UINT itemState, BOOL mouseOver, BOOL focus) {
        if (!cache.IsValid())
            renderCache(cache, rcCache, itemState, mouseOver, focus);
        return &cache;
    };
    if ((state & win::ODS_DISABLED) && m_colorDisabled.GetBaseColor() != 0 && !m_dibTexture.IsValid()) {
        face = onDemand(m_dibFaceDisabled, state, m_bMouseOver, m_bFocus);
    } else if (!runTime) {
        face = &m_dibFaceNormal;
    } else if (((state & win::ODS_SELECTED) && m_Clickable) || m_bChecked) {
        if (m_bMouseOver && moColour)
            face = onDemand(m_dibFacePressedMouseOver, win::ODS_SELECTED, TRUE, m_bFocus);
        else if (m_bFocus)
            face = onDemand(m_dibFacePressedFocus, win::ODS_SELECTED, FALSE, TRUE);
        else
            face = onDemand(m_dibFacePressed, win::ODS_SELECTED, m_Style == kStylePush, FALSE);
    } else if (m_bMouseOver && moColour) {
        face = &m_dibFaceMouseOver;
    } else if (m_bFocus && m_FocusMode == 2) {
        face = &m_dibFaceFocus;
    }
    if (!face->IsValid())
        face = &m_dibFaceNormal;

    m_pFaceDrawn = face;
    SelectClipRgn(mem, m_hClipRgn);
    face->Draw(&mem, int(m_rcButton.left), int(m_rcButton.top));

    // The picture of the state: a bitmap, else the animation's frame.
    int depth = 0;
    HBITMAP picture = nullptr;
    auto take = [&](const CDIB& dib) {
        if (!picture && dib.IsValid())
            picture = dib.CreateBitmap(&depth);
    };
    auto takeFrame = [&](CAnim& anim, int frame) {
        if (!picture && anim.GetFrameCount() > 0)
            picture = anim.GetFrameBitmap(frame < anim.GetFrameCount() ? frame : 0, &depth);
    };
    auto mouseOverSequence = [&] {
        take(m_dibPictureMouseOver);
        takeFrame(m_aviPictureMouseOver, m_nFrameMouseOver);
        take(m_dibPicture);
        takeFrame(m_aviPicture, m_nFrameNormal);
    };
    const BOOL moveOnPress = (state & win::ODS_SELECTED) && m_Clickable;
    if (!runTime) {
        if (state & win::ODS_DISABLED)
            take(m_dibPictureDisabled);
        take(m_dibPicture);
        takeFrame(m_aviPicture, m_nFrameNormal);
    } else if (state & win::ODS_SELECTED) {
        if (moveOnPress && m_MovePictureOnPress)
            rcFace = moved(rcFace);
        take(m_dibPicturePressed);
        takeFrame(m_aviPicturePressed, m_nFramePressed);
        mouseOverSequence();
    } else if (state & win::ODS_DISABLED) {
        take(m_dibPictureDisabled);
    } else if (m_bMouseOver) {
        mouseOverSequence();
    } else {
        take(m_dibPicture);
        takeFrame(m_aviPicture, m_nFrameNormal);
    }
    if (picture) {
        RECT rcPicture = rcFace;
        if (m_ShadowMode != 0) {
            rcPicture.right -= 10;
            rcPicture.bottom -= 10;
        }
        picture = m_Shape == kShapeCustom && m_ButtonCustomFitPicture ? StretchPictureToFace(mem, picture, rcPicture)
                                                                      : FitPictureToFace(mem, picture, rcPicture);
        if (picture) {
            drawPicture(mem, rcPicture, picture, depth);
            DeleteObject(picture);
        }
    }
    // Without moving the picture, a press moves only the texts.
    if (moveOnPress && !m_MovePictureOnPress)
        rcFace = moved(rcFace);
    SelectClipRgn(mem, nullptr);
}

// --- Regions -------------------------------------------------------------------------------

void CLumvexCtrl::freeRegions()
{
    for (HRGN* region : {&m_hWindowRgn, &m_hClipRgn, &m_hRgnPartClip}) {
        if (*region)
            DeleteObject(*region);
        *region = nullptr;
    }
}

void CLumvexCtrl::BuildWindowRegion()
{
    trace(Step::WindowRegion);
    const BOOL runTime = AmbientUserMode();
    if ((runTime && m_Shape == kShapeCustom && !m_PictureCustom.empty() && !m_dibPictureCustom.IsValid()) ||
        !hasWidth(m_rcButton))
        return;
    if (m_hWindowRgn) {
        if (m_hWnd)
            SetWindowRgn(nullptr, FALSE);
        DeleteObject(m_hWindowRgn);
        m_hWindowRgn = nullptr;
    }
    m_hWindowRgn = CreateRectRgn(m_rcButton.left, m_rcButton.top, m_rcButton.right, m_rcButton.bottom);
    // The window takes a copy; the button keeps its own for hit tests.
    if (runTime && m_hWnd && m_hWindowRgn)
        SetWindowRgn(m_hWindowRgn, TRUE);
    buildClipRegion();
}

void CLumvexCtrl::BuildClipRegion()
{
    trace(Step::ClipRegion);
    buildClipRegion();
}

void CLumvexCtrl::buildClipRegion()
{
    if (!m_hWnd)
        return;
    if (m_hClipRgn)
        DeleteObject(m_hClipRgn);
    const RECT rect = faceRect();
    m_hClipRgn = CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
}

void CLumvexCtrl::RefreshButton()
{
    trace(Step::RefreshButton);
    m_bRebuildFaces = TRUE;
    Refresh();
    SetModifiedFlag(TRUE);
}
