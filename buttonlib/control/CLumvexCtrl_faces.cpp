// The faces of the button: the shape's region and light geometry, the
// colour tables of the states, the radial rings, the surface with its
// shadow, special-effect bands and flat pillow, textured faces, smoothing
// and the whole face put together. Edges are in CLumvexCtrl_edges.cpp.

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/control/FaceBatch.h"
#include "buttonlib/control/FaceDrawing.h"

#include "platform/win/Messages.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace facedraw;

namespace {

// Lightness raised by 30, or to the full when that would pass 100.
COLORREF lighter(COLORREF color)
{
    HslTriple hsl{};
    RgbToHsl(color, &hsl);
    hsl.lightness = hsl.lightness <= 70 ? hsl.lightness + 30 : 100;
    COLORREF out = 0;
    HslToRgb(hsl.hue, hsl.saturation, hsl.lightness, &out);
    return out;
}

POINT centre(LONG l, LONG t, LONG r, LONG b)
{
    return POINT{(l + r) / 2, (t + b) / 2};
}

} // namespace

// --- Divisors, colours and tables -------------------------------------------------

void CLumvexCtrl::DeriveShapeDivisors()
{
    applyRoundness();
    applySlant();
}

COLORREF CLumvexCtrl::GetFaceContainerColor()
{
    return m_BackColorContainer ? TranslateOleColor(m_BackColorContainer) : GetContainerBackColor();
}

const CColor& CLumvexCtrl::GetSurfaceTable(BOOL bUseState, UINT itemState) const
{
    if ((itemState & win::ODS_DISABLED) && m_colorDisabled.GetBaseColor())
        return m_colorDisabled;
    if (bUseState) {
        if ((itemState & win::ODS_SELECTED) && m_colorPressed.GetBaseColor())
            return m_colorPressed;
        if (m_bMouseOver && m_colorMO.GetBaseColor())
            return m_colorMO;
        if (m_bFocus && m_FocusMode == 2)
            return m_colorFocus;
        if (m_SpecialEffect && m_colorIntern.GetBaseColor())
            return m_colorIntern;
    }
    return m_colorBack;
}

void CLumvexCtrl::GetEdgeColors(BOOL bPressedLook, COLORREF* pHighlight, COLORREF* pShadow) const
{
    const CColor& table = GetSurfaceTable(TRUE, 0);
    COLORREF highlight = 0;
    COLORREF shadow = 0;
    if (bPressedLook || (m_bMouseOver && m_colorMO.GetBaseColor())) {
        highlight = lighter(table.GetShade(0));
        shadow = table.GetShade(63);
    } else {
        highlight = m_HighlightColor ? TranslateOleColor(m_HighlightColor) : lighter(table.GetShade(0));
        shadow = m_ShadowColor ? TranslateOleColor(m_ShadowColor) : table.GetShade(63);
    }
    // Pure black is the key of some blits: a shadow never is.
    if (shadow == 0)
        shadow = 0x010101;
    *pHighlight = highlight;
    *pShadow = shadow;
}

// --- Shape regions ------------------------------------------------------------------

namespace {

SIZE cornerFor(const RECT& rect, float divisor)
{
    const int w = Width(rect);
    const int h = Height(rect);
    const int c = int(float(std::max(w, h)) / divisor);
    return SIZE{c, c};
}

std::array<POINT, 4> parallelogramFor(const RECT& rect, float divisor)
{
    const int offset = int(float(Width(rect) / 2) / divisor);
    return {POINT{rect.left + offset, rect.top}, POINT{rect.right, rect.top}, POINT{rect.right - offset, rect.bottom},
            POINT{rect.left, rect.bottom}};
}

// A copy of a region made at the origin, moved to rect (empty without one).
HRGN movedCopy(HRGN source, const RECT& rect)
{
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (copy && source)
        CombineRgn(copy, source, nullptr, RGN_COPY);
    if (copy)
        OffsetRgn(copy, rect.left, rect.top);
    return copy;
}

} // namespace

HRGN CLumvexCtrl::BuildShapeRegion(const RECT& rect, BOOL bWithGeometry)
{
    HRGN region = nullptr;
    if (m_Shape == 4 || m_Shape == 5) {
        DeriveShapeDivisors();
        std::unique_ptr<MaskCacheEntry> made;
        const MaskCacheEntry* mask = placeMaskShape(rect, made);
        region = mask ? movedCopy(mask->region.get(), rect)
                      : CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
    } else {
        SetShapeGeometry(rect);
        switch (m_Shape) {
        case 1:
            region = CreateRoundRectRgn(rect.left, rect.top, rect.right, rect.bottom, m_sizeCorner.cx, m_sizeCorner.cy);
            break;
        case 2: region = CreatePolygonRgn(m_ptParallelogram.data(), 4, ALTERNATE); break;
        case 3: region = CreateEllipticRgn(rect.left, rect.top, rect.right, rect.bottom); break;
        default: region = CreateRoundRectRgn(rect.left, rect.top, rect.right, rect.bottom, 1, 1); break;
        }
    }
    if (bWithGeometry)
        SetLightGeometry(rect);
    return region;
}

void CLumvexCtrl::SetShapeGeometry(const RECT& rect)
{
    DeriveShapeDivisors();
    switch (m_Shape) {
    case 1: m_sizeCorner = cornerFor(rect, m_fRoundDivisor); break;
    case 2: m_ptParallelogram = parallelogramFor(rect, m_fSlantDivisor); break;
    case 4:
    case 5: {
        std::unique_ptr<MaskCacheEntry> made;
        placeMaskShape(rect, made);
        break;
    }
    default: break;
    }
}

void CLumvexCtrl::SetLightGeometry(const RECT& rect)
{
    const int w = Width(rect);
    const int h = Height(rect);
    // The light spots: the centres of the top-left and bottom-right
    // quarters, pulled together for a higher raise and, for the flat
    // pillow, the light moved up and left.
    POINT e = centre(0, 0, w / 2, h / 2);
    POINT f = centre(w / 2, h / 2, w, h);
    const int g = m_ButtonRaiseFactor - 1;
    if (g > 0) {
        e = POINT{e.x + g, e.y + g};
        f = POINT{f.x - g, f.y - g};
    }
    if (m_Surface == 3)
        e = POINT{e.x - 10, e.y - 10};
    m_rcHighlightSpot = Inflated(RECT{e.x, e.y, e.x + 1, e.y + 1}, w, h);
    m_rcShadowSpot = Inflated(RECT{f.x, f.y, f.x + 1, f.y + 1}, w, h);
    const int s = std::max(Width(m_rcShadowSpot) / 24, Height(m_rcShadowSpot) / 24) / 2;
    m_rcShadowSpot = Offset(m_rcShadowSpot, -s, -s);

    m_sizeRingStep.cx = w > 59 ? w / 60 + 1 : 1;
    m_sizeRingStep.cy = h > 59 ? h / 60 + 1 : 1;
    const int sw = Width(m_rcHighlightSpot);
    const int sh = Height(m_rcHighlightSpot);
    if (sw < 0 || sh < 0)
        m_nRings = 0;
    else
        m_nRings = std::min({64, sw / (2 * int(m_sizeRingStep.cx)), sh / (2 * int(m_sizeRingStep.cy))});
}

std::vector<DWORD> CLumvexCtrl::textShapeRows(int w, int h)
{
    CString text = m_text[0].GetText();
    if (text.empty())
        text = "(Empty)";
    LOGFONT lf{};
    if (!m_font[0].GetLogFont(&lf, gdi::ScreenDpi()))
        lf.lfCharSet = DEFAULT_CHARSET;
    if (lf.lfHeight == 0)
        lf.lfHeight = 20;
    lf.lfWidth = 0;
    lf.lfWeight = 1000;
    lf.lfEscapement = 0;
    lf.lfOrientation = 0;

    // The caption white on black in a black and white section, whose rows
    // are read as they are.
    OneBitInfo info(w, h);
    info.colors[1] = RGBQUAD{255, 255, 255, 0};
    void* bits = nullptr;
    OwnedBitmap mask(CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!mask || !bits)
        return {};
    {
        BitmapDC dc(nullptr, mask.get());
        if (!dc.Ok())
            return {};
        // The height that makes the text fill the rectangle; an empty extent
        // keeps the height it has.
        {
            Selected font(dc.dc(), CreateFontIndirect(&lf), true);
            SIZE extent{0, 0};
            GetTextExtentPoint32(dc.dc(), text.c_str(), -1, &extent);
            const bool byHeight = static_cast<long long>(h) * extent.cx < static_cast<long long>(w) * extent.cy;
            const LONG divisor = byHeight ? extent.cy : extent.cx;
            if (divisor != 0) {
                const int scaled = MulDiv(lf.lfHeight, byHeight ? h : w, divisor);
                if (scaled != -1 && scaled != 0)
                    lf.lfHeight = scaled;
            }
        }
        // A new section is black all over.
        Selected font(dc.dc(), CreateFontIndirect(&lf), true);
        SetTextColor(dc.dc(), RGB(255, 255, 255));
        SetBkMode(dc.dc(), TRANSPARENT);
        RECT all{0, 0, w, h};
        DrawText(dc.dc(), text.c_str(), -1, &all, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    // The shape is what differs from the top-left pixel.
    const std::size_t words = (std::size_t(w) + 31) / 32;
    std::vector<DWORD> rows(words * std::size_t(h));
    std::memcpy(rows.data(), bits, rows.size() * sizeof(DWORD));
    if (BitAt(rows, w, 0, 0))
        for (DWORD& word : rows)
            word = ~word;
    ClearRowPadding(rows, w, h);
    return rows;
}

// The mask shape of rect's size, cached while a face renders (else kept in
// made); its stretched mask and inner region, moved to rect, become the
// control's. Null for an empty rectangle, which has neither.
const CLumvexCtrl::MaskCacheEntry* CLumvexCtrl::placeMaskShape(const RECT& rect,
                                                               std::unique_ptr<MaskCacheEntry>& made)
{
    const int w = Width(rect);
    const int h = Height(rect);
    if (w <= 0 || h <= 0) {
        m_hInnerRgn.reset();
        m_dibStretchedMask.Empty();
        return nullptr;
    }
    const MaskCacheEntry* entry = nullptr;
    if (m_pFaceBatch)
        for (const auto& e : m_maskCache)
            if (e->w == w && e->h == h)
                entry = e.get();
    if (!entry) {
        made = std::make_unique<MaskCacheEntry>();
        made->w = w;
        made->h = h;
        makeMaskShape(*made);
        entry = made.get();
        if (m_pFaceBatch) {
            if (m_maskCache.size() >= 4)
                m_maskCache.erase(m_maskCache.begin());
            m_maskCache.push_back(std::move(made));
        }
    }
    m_hInnerRgn.reset(movedCopy(entry->inner.get(), rect));
    m_dibStretchedMask.Copy(entry->mask);
    return entry;
}

void CLumvexCtrl::makeMaskShape(MaskCacheEntry& entry)
{
    const int w = entry.w;
    const int h = entry.h;
    // The shape's pixels: the caption's, or those of the mask picture (the
    // custom one, else the built-in one) stretched to the size, where they
    // differ from its top-left pixel.
    std::vector<DWORD> inside;
    if (m_Shape == 4) {
        inside = textShapeRows(w, h);
    } else {
        HBITMAP source = nullptr;
        int depth = 0;
        if (m_dibPictureCustom.IsValid()) {
            source = m_dibPictureCustom.CreateBitmap(&depth);
        } else {
            CDIB builtIn;
            if (builtIn.LoadResource(IDB_CUSTOM_SHAPE))
                source = builtIn.CreateBitmap(&depth);
        }
        int sw = 0;
        int sh = 0;
        HBITMAP stretched = nullptr;
        if (BitmapSize(source, &sw, &sh) && depth == 1 && sw == w && sh == h) {
            // A one-bit mask of the size already is its own stretched copy.
            stretched = source;
            source = nullptr;
        } else if (BitmapSize(source, &sw, &sh)) {
            stretched = depth == 1 ? CreateBitmap(w, h, 1, 1, nullptr) : ColorBitmap(w, h);
            BitmapDC src(nullptr, source);
            BitmapDC dst(nullptr, stretched);
            if (!src.Ok() || !dst.Ok() || !StretchBlt(dst.dc(), 0, 0, w, h, src.dc(), 0, 0, sw, sh, SRCCOPY)) {
                DeleteObject(stretched);
                stretched = nullptr;
            }
        }
        DeleteObject(source);
        if (stretched)
            inside = UnkeyedRows(stretched, w, h, TopLeftColor(stretched), 0);
        DeleteObject(stretched);
    }

    const std::size_t words = (std::size_t(w) + 31) / 32;
    HRGN region = inside.empty() ? nullptr : RegionOfRows(inside, w, h);
    if (!region) {
        // No shape found: the whole rectangle.
        region = CreateRectRgn(0, 0, w, h);
        inside.assign(words * std::size_t(h), ~DWORD(0));
        ClearRowPadding(inside, w, h);
    }
    entry.region.reset(region);

    // The mask as the region has it, shape white on black whatever the
    // picture's colours were (bottom-up rows), and the inner region from it
    // eroded.
    if (!entry.mask.CreateBlank(w, h, 1, RGB(0, 0, 0)))
        return;
    const std::size_t rowBytes = words * sizeof(DWORD);
    for (int y = 0; y < h; ++y)
        std::memcpy(entry.mask.GetBits() + std::size_t(h - 1 - y) * rowBytes, inside.data() + words * std::size_t(y),
                    rowBytes);
    CDIB eroded;
    eroded.Copy(entry.mask);
    eroded.Erode(std::clamp(std::max(w / 24, h / 24), 1, 5));
    std::vector<DWORD> innerRows(words * std::size_t(h));
    for (int y = 0; y < h; ++y)
        std::memcpy(innerRows.data() + words * std::size_t(y), eroded.GetBits() + std::size_t(h - 1 - y) * rowBytes,
                    rowBytes);
    HRGN innerRgn = RegionOfRows(innerRows, w, h);
    entry.inner.reset(innerRgn ? innerRgn : CreateRectRgn(0, 0, 0, 0));
}

// --- Rings and surface --------------------------------------------------------------

void CLumvexCtrl::DrawRings(HDC hdc, const RECT& rect, BOOL bHighlightSpot, BOOL bUseState, UINT itemState)
{
    const CColor& table = GetSurfaceTable(bUseState, itemState);
    RECT spot = bHighlightSpot ? m_rcHighlightSpot : m_rcShadowSpot;
    if (m_Surface == 2) {
        FillSolid(hdc, spot, table.GetBaseColor());
        return;
    }
    int a = m_nRings;
    int b = 0;
    if (table.GetColoration() == 0) {
        const int c = (63 - m_nRings) / 2;
        a = 63 - c;
        b = c;
    }
    if (m_Surface == 0 && (itemState & win::ODS_SELECTED) && bUseState)
        spot = Offset(spot, 2, 2);
    FillSolid(hdc, spot, table.GetShade(a));
    Selected pen(hdc, GetStockObject(NULL_PEN), false);
    const int cw = Width(rect) / 2;
    const int ch = Height(rect) / 2;
    for (int i = a; i >= b; --i) {
        if (spot.right < spot.left || spot.bottom < spot.top)
            break;
        Selected brush(hdc, CreateSolidBrush(table.GetShade(i)), true);
        RoundRect(hdc, spot.left, spot.top, spot.right, spot.bottom, cw, ch);
        spot = Inflated(spot, -int(m_sizeRingStep.cx), -int(m_sizeRingStep.cy));
    }
}

void CLumvexCtrl::clipToShape(HDC hdc, const RECT& rect)
{
    DeleteObject(m_hRgnPartClip);
    // An area shrunk past nothing is empty, and no part reaches outside the
    // face's own shape (a mask shrunk to a smaller box need not lie inside).
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        m_hRgnPartClip = CreateRectRgn(0, 0, 0, 0);
    else
        m_hRgnPartClip = BuildShapeRegion(rect, FALSE);
    if (m_hRgnPartClip && m_hRgnOuter)
        CombineRgn(m_hRgnPartClip, m_hRgnPartClip, m_hRgnOuter.get(), RGN_AND);
    SelectClipRgn(hdc, m_hRgnPartClip);
}

void CLumvexCtrl::blurInside(HDC hdc, HRGN region, int passes)
{
    const int w = int(m_sizeFace.cx);
    const int h = int(m_sizeFace.cy);
    HBITMAP copy = ColorBitmap(w, h);
    if (!copy)
        return;
    CDIB dib;
    {
        BitmapDC dc(nullptr, copy);
        if (!dc.Ok()) {
            DeleteObject(copy);
            return;
        }
        FillSolid(dc.dc(), RECT{0, 0, w, h}, GetFaceContainerColor());
        SelectClipRgn(dc.dc(), region);
        BitBlt(dc.dc(), 0, 0, w, h, hdc, 0, 0, SRCCOPY);
    }
    const BOOL made = dib.Create(copy, nullptr);
    DeleteObject(copy);
    if (!made)
        return;
    dib.Soften(passes);
    HBITMAP soft = dib.CreateBitmap(nullptr);
    if (!soft)
        return;
    {
        BitmapDC dc(nullptr, soft);
        SelectClipRgn(hdc, region);
        if (dc.Ok())
            BitBlt(hdc, 0, 0, w, h, dc.dc(), 0, 0, SRCCOPY);
    }
    DeleteObject(soft);
}

void CLumvexCtrl::DrawSurface(HDC hdc, RECT& rect, UINT itemState)
{
    const bool pressed = (itemState & win::ODS_SELECTED) != 0;
    const short effect = (m_Shape == 0 || m_Shape == 1 || m_Shape == 3) ? m_SpecialEffect : 0;

    if (m_SmoothEdges > 0 && m_Shape != 0) {
        FillSolid(hdc, rect, GetFaceContainerColor());
        rect = Inflated(rect, -1, -1);
    }
    if (m_ShadowMode != 0 && m_Shape != 4) {
        rect.right -= 10;
        rect.bottom -= 10;
        rect = Offset(rect, 2, 2);
        RECT shadow = rect;
        shadow.left += 2;
        shadow.top += 2;
        shadow = Offset(shadow, pressed ? 4 : 5, pressed ? 4 : 5);
        {
            OwnedRgn clip(BuildShapeRegion(shadow, FALSE));
            SelectClipRgn(hdc, clip.get());
            FillSolid(hdc, shadow, TranslateOleColor(m_ShadowColor));
        }
        if (m_ShadowMode == 2 || m_ShadowMode == 3) {
            shadow.right += 7;
            shadow.bottom += 7;
            OwnedRgn blur(BuildShapeRegion(shadow, FALSE));
            blurInside(hdc, blur.get(), m_ShadowMode == 2 ? 1 : 2);
        }
        SelectClipRgn(hdc, m_hClipRgn);
    }
    if (!AmbientUserMode())
        SelectClipRgn(hdc, m_hClipRgn);

    static constexpr int kInsets[5][2] = {{6, 4}, {4, 4}, {4, 2}, {2, 2}, {1, 1}};
    if (m_SpecialEffectFactor < 0 || m_SpecialEffectFactor > 4) {
        SelectClipRgn(hdc, m_hClipRgn);
        return;
    }
    const int d1 = kInsets[m_SpecialEffectFactor][0];
    const int d2 = kInsets[m_SpecialEffectFactor][1];
    m_hRgnOuter.reset(BuildShapeRegion(rect, FALSE));

    RECT area = rect;
    if (effect == 1 || effect == 2) {
        // The bands are shaded like a plain surface, whatever the surface.
        const short surface = m_Surface;
        m_Surface = 0;
        const bool raised = effect == 1;
        clipToShape(hdc, area);
        DrawRings(hdc, area, raised, FALSE, itemState);
        area = Inflated(area, -d1, -d1);
        clipToShape(hdc, area);
        DrawRings(hdc, area, !raised, FALSE, itemState);
        area = Inflated(area, -d2, -d2);
        if (!raised) {
            clipToShape(hdc, area);
            DrawRings(hdc, area, FALSE, FALSE, itemState);
            area = Inflated(area, -2, -2);
        }
        m_Surface = surface;
        clipToShape(hdc, area);
        DrawRings(hdc, area, TRUE, TRUE, itemState);
    } else {
        clipToShape(hdc, area);
        DrawRings(hdc, area, !(pressed && m_Surface == 1 && m_Shape == 2), TRUE, itemState);
    }

    static constexpr int kPillowInsets[5] = {18, 15, 12, 9, 6};
    if (m_Surface == 3 && m_Shape != 4 && m_FlatPillowFactor >= 0 && m_FlatPillowFactor <= 4) {
        RECT pillow = Inflated(area, -kPillowInsets[m_FlatPillowFactor], -kPillowInsets[m_FlatPillowFactor]);
        if (pressed)
            pillow = Offset(pillow, 1, 1);
        clipToShape(hdc, pillow);
        FillSolid(hdc, pillow, GetSurfaceTable(TRUE, itemState).GetBaseColor());
        // The mask and inner region go back to the whole face.
        if (m_Shape == 5)
            SetShapeGeometry(rect);
    }
    SelectClipRgn(hdc, m_hClipRgn);
}

// --- Whole faces --------------------------------------------------------------------

BOOL CLumvexCtrl::RenderFace(CDIB& target, const RECT& rect, UINT itemState)
{
    if (rect.left < 0 || rect.top < 0 || rect.right <= rect.left || rect.bottom <= rect.top)
        return FALSE;
    DeriveShapeDivisors();
    const FaceBatch rendering(*this);
    const int w = int(rect.right);
    const int h = int(rect.bottom);
    const bool textured = m_dibTexture.IsValid() && m_TextureMode != 0;
    const bool pressed = (itemState & win::ODS_SELECTED) != 0;
    // Textured faces are made first: they render faces themselves.
    if (textured) {
        const auto fits = [&](const CDIB& dib) { return dib.IsValid() && dib.GetWidth() == w && dib.GetHeight() == h; };
        if (!fits(m_dibTexturedBtn))
            BuildTexturedFace(rect, FALSE);
        if (pressed && m_TextureMode != 2 && !fits(m_dibTexturedBtnPressed))
            BuildTexturedFace(rect, TRUE);
    }

    HBITMAP face = ColorBitmap(w, h);
    if (!face)
        return FALSE;
    m_sizeFace = SIZE{w, h};
    {
        BitmapDC dc(nullptr, face);
        if (!dc.Ok()) {
            DeleteObject(face);
            return FALSE;
        }
        FillSolid(dc.dc(), RECT{0, 0, w, h}, GetFaceContainerColor());
        SetShapeGeometry(rect);
        SetLightGeometry(rect);
        switch (m_Shape) {
        case 1:
        case 0: DrawRectangleFace(dc.dc(), rect, itemState); break;
        case 2: DrawParallelogramFace(dc.dc(), rect, itemState); break;
        case 3: DrawEllipseFace(dc.dc(), rect, itemState); break;
        default: DrawMaskFace(dc.dc(), rect, itemState); break;
        }
        SelectClipRgn(dc.dc(), nullptr);
    }
    BOOL ok = target.Create(face, nullptr);
    DeleteObject(face);
    if (ok && m_SmoothEdges > 0 && !(textured && m_TextureMode == 1))
        target.Soften(m_SmoothEdges);

    if (ok && textured)
        ok = composeTexture(target, pressed);
    DeleteObject(m_hRgnPartClip);
    m_hRgnPartClip = nullptr;
    m_hRgnOuter.reset();
    return ok;
}

BOOL CLumvexCtrl::composeTexture(CDIB& target, bool pressed)
{
    const int w = int(target.GetWidth());
    const int h = int(target.GetHeight());
    HBITMAP plain = target.CreateBitmap(nullptr);
    HBITMAP tex = m_dibTexturedBtn.CreateBitmap(nullptr);
    HBITMAP texPressed = m_dibTexturedBtnPressed.IsValid() ? m_dibTexturedBtnPressed.CreateBitmap(nullptr) : nullptr;
    HBITMAP out = ColorBitmap(w, h);
    BOOL ok = FALSE;
    if (plain && tex && out) {
        BitmapDC dc(nullptr, out);
        const auto drawIn = [&](HRGN region, HBITMAP bitmap) {
            if (!region || !bitmap)
                return;
            BitmapDC src(nullptr, bitmap);
            SelectClipRgn(dc.dc(), region);
            if (src.Ok())
                BitBlt(dc.dc(), 0, 0, w, h, src.dc(), 0, 0, SRCCOPY);
        };
        {
            BitmapDC src(nullptr, plain);
            if (dc.Ok() && src.Ok())
                BitBlt(dc.dc(), 0, 0, w, h, src.dc(), 0, 0, SRCCOPY);
        }
        HRGN outer = m_hRgnOuter.get();
        HRGN inner = m_hRgnPartClip;
        switch (m_TextureMode) {
        case 1:
            drawIn(outer, tex);
            if (pressed)
                drawIn(inner, texPressed);
            break;
        case 2:
            drawIn(outer, tex);
            drawIn(inner, plain);
            break;
        default:
            drawIn(outer, plain);
            drawIn(inner, pressed && texPressed ? texPressed : tex);
            break;
        }
        SelectClipRgn(dc.dc(), nullptr);
        ok = TRUE;
    }
    if (ok)
        ok = target.Create(out, nullptr);
    DeleteObject(out);
    DeleteObject(texPressed);
    DeleteObject(tex);
    DeleteObject(plain);
    return ok;
}

BOOL CLumvexCtrl::BuildTexturedFace(const RECT& rect, BOOL bPressed)
{
    if (!m_dibTexture.IsValid() || rect.right <= 0 || rect.bottom <= 0)
        return FALSE;
    const int w = int(rect.right);
    const int h = int(rect.bottom);
    CDIB& bevel = bPressed ? m_dibTextureBevelPressed : m_dibTextureBevel;
    CDIB& face = bPressed ? m_dibTexturedBtnPressed : m_dibTexturedBtn;

    // The bevel map: the face drawn in greys, lit where the face is light.
    BOOL ok = FALSE;
    {
        CColor back;
        CColor interior;
        back = m_colorBack;
        interior = m_colorIntern;
        const short mode = m_TextureMode;
        struct Restore {
            CLumvexCtrl* self;
            CColor& back;
            CColor& interior;
            short mode;
            ~Restore()
            {
                self->m_colorBack = back;
                self->m_colorIntern = interior;
                self->m_TextureMode = mode;
            }
        } restore{this, back, interior, mode};
        if (m_Surface == 2)
            m_colorBack.Set(0xA2A2A2, short(m_TextureBevelFactor + 1), 1);
        else
            m_colorBack.Set(0xFFFFFF, short(m_TextureBevelFactor + 4), 1);
        m_colorIntern.Set(0, 1, 1);
        m_TextureMode = 0;
        ok = RenderFace(bevel, rect, bPressed ? win::ODS_SELECTED : 0);
    }
    if (!ok)
        return FALSE;

    // The texture tiled over the face, one pixel further for the pressed one.
    HBITMAP tile = m_dibTexture.CreateBitmap(nullptr);
    HBITMAP tiled = ColorBitmap(w, h);
    int tw = 0;
    int th = 0;
    if (tile && tiled && BitmapSize(tile, &tw, &th)) {
        BitmapDC src(nullptr, tile);
        BitmapDC dst(nullptr, tiled);
        const int start = bPressed ? 1 : 0;
        if (src.Ok() && dst.Ok())
            for (int j = 0; j < (h + th - 1) / th; ++j)
                for (int i = 0; i < (w + tw - 1) / tw; ++i)
                    BitBlt(dst.dc(), start + i * tw, start + j * th, tw, th, src.dc(), 0, 0, SRCCOPY);
        ok = face.Create(tiled, nullptr) &&
             face.Colorize(&bevel, m_TextureLightIntensity, TranslateOleColor(m_TextureColorMix), m_TextureColorMixPerc);
    } else {
        ok = FALSE;
    }
    DeleteObject(tiled);
    DeleteObject(tile);
    return ok;
}

BOOL CLumvexCtrl::RenderFace(HDC hdc, const RECT& rect, Face face)
{
    const int w = Width(rect);
    const int h = Height(rect);
    if (w <= 0 || h <= 0)
        return FALSE;
    const BOOL mouseOver = m_bMouseOver;
    const BOOL focus = m_bFocus;
    UINT state = 0;
    m_bMouseOver = FALSE;
    m_bFocus = FALSE;
    switch (face) {
    case Face::Normal: break;
    case Face::Focus: m_bFocus = TRUE; break;
    case Face::MouseOver: m_bMouseOver = TRUE; break;
    case Face::Pressed:
        state = win::ODS_SELECTED;
        m_bMouseOver = m_Style == 0;
        break;
    case Face::PressedFocus:
        state = win::ODS_SELECTED;
        m_bFocus = TRUE;
        break;
    case Face::PressedMouseOver:
        state = win::ODS_SELECTED;
        m_bMouseOver = TRUE;
        break;
    case Face::Disabled: state = win::ODS_DISABLED; break;
    }
    CDIB dib;
    const BOOL ok = RenderFace(dib, RECT{0, 0, w, h}, state);
    m_bMouseOver = mouseOver;
    m_bFocus = focus;
    if (!ok)
        return FALSE;
    HBITMAP bm = dib.CreateBitmap(nullptr);
    BitmapDC src(nullptr, bm);
    const BOOL drawn = src.Ok() && BitBlt(hdc, rect.left, rect.top, w, h, src.dc(), 0, 0, SRCCOPY);
    DeleteObject(bm);
    return drawn;
}

// --- The disabled look ------------------------------------------------------------

void CLumvexCtrl::DrawDisabledLook(HDC hdc, const RECT& rect)
{
    static const WORD kRows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, kRows);
    if (!pattern)
        return;
    HBRUSH brush = CreatePatternBrush(pattern);
    DeleteObject(pattern);
    if (!brush)
        return;
    const COLORREF text = SetTextColor(hdc, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(hdc, RGB(255, 255, 255));
    {
        Selected selected(hdc, brush, false);
        // Clear the chosen pixels, then paint them grey.
        PatBlt(hdc, rect.left, rect.top, Width(rect), Height(rect), 0x00A000C9);
        SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
        SetBkColor(hdc, RGB(0, 0, 0));
        PatBlt(hdc, rect.left, rect.top, Width(rect), Height(rect), 0x00FA0089);
    }
    DeleteObject(brush);
    SetTextColor(hdc, text);
    SetBkColor(hdc, back);
}
