// The paint: the face of the button's state from the cached faces (built
// when missing), its picture or animation frame and its texts over it, the
// disabled look; and the window and clip regions of the button's shape.

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/control/FaceBatch.h"

#include "buttonlib/control/CMemDC.h"

#include <new>
#include <vector>

// What a paint keeps for the next: the memory bitmap it draws in, and the
// 24-bit faces as 32-bit pixels, which a paint copies row by row where it
// would convert every pixel of a 24-bit face. A face drawn anew drops its
// copy.
struct CLumvexCtrl::PaintCache {
    struct Face32 {
        const CDIB* face = nullptr;
        // The face's pixels and size when copied.
        const BYTE* bits = nullptr;
        LONG width = 0;
        LONG height = 0;
        BITMAPINFO info{};
        std::vector<BYTE> pixels;
    };
    PaintCache() = default;
    PaintCache(const PaintCache&) = delete;
    PaintCache& operator=(const PaintCache&) = delete;
    ~PaintCache() { DeleteObject(fill); }

    CMemDC::Kept buffer;
    std::vector<Face32> faces;
    // Where the fill shows: the rectangle less what the face covers, made
    // for a clip region (by its handle, never given again), rectangle and
    // face box; null when the face covers it all.
    HRGN fill = nullptr;
    HRGN fillClip = nullptr;
    RECT fillRect{};
    RECT fillFace{};
    bool fillMade = false;

    void Forget(const CDIB& face)
    {
        std::erase_if(faces, [&](const Face32& f) { return f.face == &face; });
    }
    // The copy of a 24-bit face; null for a face of another kind.
    const Face32* CopyOf(const CDIB& face);
    HRGN FillRegion(const RECT& rect, const RECT& face, HRGN clip);
};

namespace {

bool sameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

HRGN CLumvexCtrl::PaintCache::FillRegion(const RECT& rect, const RECT& face, HRGN clip)
{
    if (fillMade && fillClip == clip && sameRect(fillRect, rect) && sameRect(fillFace, face))
        return fill;
    DeleteObject(fill);
    fill = CreateRectRgn(int(rect.left), int(rect.top), int(rect.right), int(rect.bottom));
    HRGN covered = CreateRectRgn(int(face.left), int(face.top), int(face.right), int(face.bottom));
    if (clip)
        CombineRgn(covered, covered, clip, RGN_AND);
    const int kind = CombineRgn(fill, fill, covered, RGN_DIFF);
    DeleteObject(covered);
    if (kind == NULLREGION) {
        DeleteObject(fill);
        fill = nullptr;
    } else if (kind == 0) {
        // Without regions the whole rectangle is filled, as it always was.
        DeleteObject(fill);
        fill = CreateRectRgn(int(rect.left), int(rect.top), int(rect.right), int(rect.bottom));
    }
    fillMade = true;
    fillClip = clip;
    fillRect = rect;
    fillFace = face;
    return fill;
}

const CLumvexCtrl::PaintCache::Face32* CLumvexCtrl::PaintCache::CopyOf(const CDIB& face)
{
    const BITMAPINFO* info = face.GetInfo();
    if (!info || face.GetBitCount() != 24 || info->bmiHeader.biCompression != BI_RGB)
        return nullptr;
    const LONG w = face.GetWidth(), h = face.GetHeight();
    for (const Face32& f : faces)
        if (f.face == &face && f.bits == face.GetBits() && f.width == w && f.height == h)
            return &f;
    Forget(face);
    Face32 copy;
    copy.face = &face;
    copy.bits = face.GetBits();
    copy.width = w;
    copy.height = h;
    copy.info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    // Short of memory the face is drawn as it is.
    try {
        copy.pixels.resize(std::size_t(w) * std::size_t(h) * 4);
        faces.reserve(faces.size() + 1);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (LONG y = 0; y < h; ++y) {
        const BYTE* from = face.GetPixelAddress(0, int(y));
        BYTE* to = copy.pixels.data() + std::size_t(y) * std::size_t(w) * 4;
        for (LONG x = 0; x < w; ++x, from += 3, to += 4) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
            to[3] = 0;
        }
    }
    faces.push_back(std::move(copy));
    return &faces.back();
}

namespace {

constexpr short kShapeText = 4;
constexpr short kShapeCustom = 5;
constexpr short kStylePush = 0;

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
    if (m_paintCache)
        m_paintCache->Forget(face);
    RenderFace(face, rect, itemState);
    m_bMouseOver = savedMouseOver;
    m_bFocus = savedFocus;
}

void CLumvexCtrl::BuildFaces(RECT rect)
{
    const FaceBatch batch(*this);
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
    if (m_dibTexture.IsValid() && m_TextureMode != 0) {
        m_bMouseOver = m_bFocus = FALSE;
        BuildTexturedFace(rect, FALSE);
        if (m_Clickable)
            BuildTexturedFace(rect, TRUE);
        m_bMouseOver = mouseOver;
        m_bFocus = focus;
    }
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

    if (!m_paintCache)
        m_paintCache = std::make_shared<PaintCache>();
    RECT rcFace = m_rcButton;
    AttachedDC target(item->hDC);
    // Every pixel of the rectangle is painted below: the fill, then the face.
    CMemDC mem(&target, rcFace, &m_paintCache->buffer);
    if (!mem.GetSafeHdc())
        return;
    const UINT state = item->itemState;

    // The fill shows only where the face, drawn through the clip region,
    // does not cover it.
    CDIB* face = faceOfState(state, runTime);
    m_pFaceDrawn = face;
    const RECT faceBox{m_rcButton.left, m_rcButton.top, m_rcButton.left + face->GetWidth(),
                       m_rcButton.top + face->GetHeight()};
    if (HRGN fill = m_paintCache->FillRegion(rcFace, faceBox, m_hClipRgn)) {
        SelectClipRgn(mem, fill);
        HBRUSH brush = CreateSolidBrush(paintFill(state));
        FillRect(mem, &rcFace, brush);
        DeleteObject(brush);
    }
    SelectClipRgn(mem, m_hClipRgn);
    if (const PaintCache::Face32* copy = m_paintCache->CopyOf(*face))
        StretchDIBits(mem, int(m_rcButton.left), int(m_rcButton.top), int(copy->width), int(copy->height), 0, 0,
                      int(copy->width), int(copy->height), copy->pixels.data(), &copy->info, DIB_RGB_COLORS, SRCCOPY);
    else
        face->Draw(&mem, int(m_rcButton.left), int(m_rcButton.top));

    const BOOL moveOnPress = (state & win::ODS_SELECTED) && m_Clickable;
    if (runTime && moveOnPress && m_MovePictureOnPress)
        rcFace = moved(rcFace);
    int depth = 0;
    if (HBITMAP picture = pictureOfState(state, runTime, &depth))
        drawPicture(mem, rcFace, picture, depth);
    // Without moving the picture, a press moves only the texts.
    if (moveOnPress && !m_MovePictureOnPress)
        rcFace = moved(rcFace);

    // A text shape's caption is the shape itself.
    if (m_Shape != kShapeText)
        drawTexts(mem, rcFace, state);
    if ((state & win::ODS_DISABLED) && (m_colorDisabled.GetBaseColor() == 0 || m_dibTexture.IsValid()))
        DrawDisabledLook(mem, rcFace);
    SelectClipRgn(mem, nullptr);
}

COLORREF CLumvexCtrl::paintFill(UINT state)
{
    if ((state & win::ODS_FOCUS) && m_Shape != kShapeText && m_FocusMode == 1)
        return RGB(0, 0, 0);
    if (m_Shape == kShapeText && m_bMouseOver && m_colorMO.GetBaseColor() != 0)
        return TranslateOleColor(m_colorBack.GetBaseColor());
    return GetFaceContainerColor();
}

CDIB* CLumvexCtrl::faceOfState(UINT state, BOOL runTime)
{
    // Faces missing from the cache are drawn now.
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
    return face->IsValid() ? face : &m_dibFaceNormal;
}

HBITMAP CLumvexCtrl::pictureOfState(UINT state, BOOL runTime, int* depth)
{
    // The first the state has of its pictures and animation frames.
    HBITMAP picture = nullptr;
    auto take = [&](const CDIB& dib) {
        if (!picture && dib.IsValid())
            picture = dib.CreateBitmap(depth);
    };
    auto takeFrame = [&](CAnim& anim, int frame) {
        if (!picture && anim.GetFrameCount() > 0)
            picture = anim.GetFrameBitmap(frame < anim.GetFrameCount() ? frame : 0, depth);
    };
    auto mouseOverSequence = [&] {
        take(m_dibPictureMouseOver);
        takeFrame(m_aviPictureMouseOver, m_nFrameMouseOver);
        take(m_dibPicture);
        takeFrame(m_aviPicture, m_nFrameNormal);
    };
    if (!runTime) {
        if (state & win::ODS_DISABLED)
            take(m_dibPictureDisabled);
        take(m_dibPicture);
        takeFrame(m_aviPicture, m_nFrameNormal);
    } else if (state & win::ODS_SELECTED) {
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
    return picture;
}

void CLumvexCtrl::drawPicture(HDC hdc, RECT rect, HBITMAP picture, int depth)
{
    // A shadow takes the lower right ten pixels.
    if (m_ShadowMode != 0) {
        rect.right -= 10;
        rect.bottom -= 10;
    }
    picture = m_Shape == kShapeCustom && m_ButtonCustomFitPicture ? StretchPictureToFace(hdc, picture, rect)
                                                                  : FitPictureToFace(hdc, picture, rect);
    if (picture) {
        DrawTransparentBitmap(hdc, rect, picture, TRUE, depth);
        DeleteObject(picture);
    }
}

void CLumvexCtrl::drawTexts(HDC hdc, const RECT& rect, UINT state)
{
    RECT rcText = rect;
    if (m_ShadowMode != 0) {
        rcText.right = std::max(rcText.left + 1, rcText.right - 10);
        rcText.bottom = std::max(rcText.top + 1, rcText.bottom - 10);
    }
    if (!m_text[0].GetText().empty() && m_bTextVisible[0])
        DrawCaption(hdc, rcText, state);
    for (int position = 1; position < kTextCount; ++position)
        if (!m_text[std::size_t(position)].GetText().empty() && m_bTextVisible[std::size_t(position)])
            DrawAuxText(hdc, rcText, state, position);
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
    m_hWindowRgn = runTime ? BuildShapeRegion(m_rcButton, TRUE)
                           : CreateRectRgn(m_rcButton.left, m_rcButton.top, m_rcButton.right, m_rcButton.bottom);
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
    m_hClipRgn = BuildShapeRegion(faceRect(), TRUE);
}

void CLumvexCtrl::RefreshButton()
{
    trace(Step::RefreshButton);
    m_bRebuildFaces = TRUE;
    Refresh();
    SetModifiedFlag(TRUE);
}
