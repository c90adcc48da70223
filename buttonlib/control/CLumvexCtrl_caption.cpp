// What the paint draws over a face: the caption (wrapped in a key-coloured
// bitmap that may be turned), the eight texts around it, pictures with a
// transparent colour, and where a picture goes.

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/control/FaceDrawing.h"

#include "platform/win/Messages.h"

#include <algorithm>
#include <array>
#include <cstdlib>

using namespace facedraw;

namespace {

// The largest key bitmap a caption is drawn on: 256 MB of pixels.
constexpr long long kLargestPart = 1LL << 26;

int lightnessOf(COLORREF color)
{
    HslTriple hsl{};
    RgbToHsl(color, &hsl);
    return hsl.lightness;
}

// One drawing of a text: its offset and colour. The effects draw the text
// once or twice more, under it.
struct Layer {
    int dx;
    int dy;
    COLORREF color;
};

struct Layers {
    std::array<Layer, 3> layer{};
    int count = 0;
    void Add(int dx, int dy, COLORREF color) { layer[std::size_t(count++)] = Layer{dx, dy, color}; }
    const Layer* begin() const { return layer.data(); }
    const Layer* end() const { return layer.data() + count; }
};

Layers layersOf(const CText& text, COLORREF color, COLORREF highlight, COLORREF shadow)
{
    Layers out;
    switch (text.GetEffect()) {
    case 1:
        out.Add(-1, -1, highlight);
        out.Add(1, 1, shadow);
        break;
    case 2:
        out.Add(-1, -1, shadow);
        out.Add(1, 1, highlight);
        break;
    case 3: out.Add(text.GetEffectFactor(), text.GetEffectFactor(), shadow); break;
    default: break;
    }
    out.Add(0, 0, color);
    return out;
}

bool inside(const RECT& r, const RECT& outer)
{
    return r.left >= outer.left && r.top >= outer.top && r.right <= outer.right && r.bottom <= outer.bottom;
}

// Whether the DC draws on a 32-bit device bitmap, where a colour is stored
// as it is.
bool onTrueColour(HDC hdc)
{
    BITMAP bm{};
    return GetObject(GetCurrentObject(hdc, OBJ_BITMAP), sizeof bm, &bm) && bm.bmBitsPixel == 32 && !bm.bmBits;
}

} // namespace

COLORREF CLumvexCtrl::textColor(int index, UINT itemState) const
{
    const CText& text = m_text[std::size_t(index)];
    if (itemState & win::ODS_DISABLED)
        return TranslateOleColor(m_ForeColorDisabled);
    if ((itemState & win::ODS_SELECTED) && text.GetPressedColor())
        return TranslateOleColor(text.GetPressedColor());
    if (m_bMouseOver && text.GetMouseOverColor())
        return TranslateOleColor(text.GetMouseOverColor());
    return TranslateOleColor(text.GetForeColor());
}

void CLumvexCtrl::drawTextLayer(HDC hdc, int index, UINT itemState, RECT rect, UINT format)
{
    const CText& text = m_text[std::size_t(index)];
    const CString s = text.GetText();
    COLORREF highlight = 0;
    COLORREF shadow = 0;
    GetEdgeColors(TRUE, &highlight, &shadow);
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColor = GetTextColor(hdc);
    for (const Layer& layer : layersOf(text, textColor(index, itemState), highlight, shadow)) {
        RECT r = Offset(rect, layer.dx, layer.dy);
        SetTextColor(hdc, layer.color);
        DrawText(hdc, s.c_str(), -1, &r, format);
    }
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
}

void CLumvexCtrl::DrawCaption(HDC hdc, const RECT& rect, UINT itemState)
{
    const CText& caption = m_text[0];
    const int w = Width(rect);
    const int h = Height(rect);
    static constexpr int kDegrees[5] = {0, 90, 45, -45, -90};
    if (caption.GetText().empty() || w <= 0 || h <= 0 || caption.GetAngle() < 0 || caption.GetAngle() > 4)
        return;

    // The key: a shade of the face the text is unlikely to have; never the
    // text colour itself, or the caption would vanish.
    const COLORREF color = textColor(0, itemState);
    const CColor& table = GetSurfaceTable(TRUE, itemState);
    COLORREF key = table.GetShade(24);
    if (table.GetColoration() == 1 && lightnessOf(color) <= 49)
        key = table.GetShade(12);
    key = GetNearestColor(hdc, key);
    if (key == color)
        key ^= 0x010000;

    // Textured faces want crisp text. Without a font of its own the caption
    // takes a new DC's.
    HFONT font = m_font[0].GetFontHandle();
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HFONT ownFont = nullptr;
    LOGFONT lf{};
    if (m_dibTexture.IsValid() && (m_TextureMode == 1 || m_TextureMode == 3) &&
        m_font[0].GetLogFont(&lf, gdi::ScreenDpi())) {
        lf.lfQuality = NONANTIALIASED_QUALITY;
        ownFont = CreateFontIndirect(&lf);
        font = ownFont;
    }

    // Wrapped at the share of the width CaptionWordWrapPerc gives, never
    // narrower than a pixel, and centred in the rectangle.
    const int d = w - w * m_CaptionWordWrapPerc / 100;
    const int wrap = std::max(1, w - 2 * d);
    RECT measured{0, 0, wrap, 0};
    {
        Selected selected(hdc, font, false);
        DrawText(hdc, caption.GetText().c_str(), -1, &measured, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    }
    const int tw = Width(measured);
    const int th = Height(measured);
    const RECT place{(w - tw) / 2, (h - th) / 2, (w - tw) / 2 + tw, (h - th) / 2 + th};

    // The caption is drawn on a key-coloured bitmap of the rectangle's size,
    // which a turn needs whole. Unturned, only the part the text can reach
    // (its rectangle, the effects' offsets and a pixel of key around them)
    // is made: the rest would be key, which the transparent copy leaves out.
    RECT part{0, 0, w, h};
    if (caption.GetAngle() == 0) {
        const long long margin = 2 + std::min<long long>(std::abs(static_cast<long long>(caption.GetEffectFactor())), w + h);
        part = RECT{LONG(std::max<long long>(0, place.left - margin)), LONG(std::max<long long>(0, place.top - margin)),
                    LONG(std::min<long long>(w, place.right + margin)), LONG(std::min<long long>(h, place.bottom + margin))};
        if (part.left >= part.right || part.top >= part.bottom) {
            DeleteObject(ownFont);
            return;
        }
    }
    // Where the text would stand alone on the key, as on a true-colour
    // target it does unless a layer takes the key's colour or may cover the
    // top-left pixel that names the key, it is drawn straight onto the target.
    if (caption.GetAngle() == 0 && onTrueColour(hdc) &&
        static_cast<long long>(Width(part)) * Height(part) <= kLargestPart) {
        COLORREF highlight = 0;
        COLORREF shadow = 0;
        GetEdgeColors(TRUE, &highlight, &shadow);
        bool direct = true;
        for (const Layer& layer : layersOf(caption, color, highlight, shadow)) {
            const RECT r = Offset(place, layer.dx, layer.dy);
            direct = direct && (layer.color & 0xFFFFFF) != (key & 0xFFFFFF) && inside(r, part) &&
                     !(part.left >= r.left && part.left < r.right && part.top >= r.top && part.top < r.bottom);
        }
        if (direct) {
            const RECT at = Offset(rect, caption.GetXOffset(), caption.GetYOffset());
            {
                Selected selected(hdc, font, false);
                drawTextLayer(hdc, 0, itemState, Offset(place, int(at.left), int(at.top)), DT_WORDBREAK | DT_CENTER);
            }
            DeleteObject(ownFont);
            return;
        }
    }
    HBITMAP bitmap = ColorBitmap(Width(part), Height(part));
    if (!bitmap) {
        DeleteObject(ownFont);
        return;
    }
    {
        BitmapDC dc(hdc, bitmap);
        if (dc.Ok()) {
            FillSolid(dc.dc(), RECT{0, 0, Width(part), Height(part)}, key);
            Selected selected(dc.dc(), font, false);
            drawTextLayer(dc.dc(), 0, itemState, Offset(place, -int(part.left), -int(part.top)),
                          DT_WORDBREAK | DT_CENTER);
        }
    }
    DeleteObject(ownFont);

    if (caption.GetAngle() != 0) {
        CDIB dib;
        HBITMAP turned = nullptr;
        if (dib.Create(bitmap, nullptr) && dib.Rotate(kDegrees[caption.GetAngle()], dib.GetPixel(0, dib.GetHeight() - 1)))
            turned = dib.CreateBitmap(nullptr);
        DeleteObject(bitmap);
        bitmap = turned;
        if (!bitmap)
            return;
    }
    // The part stands where it stood in the whole bitmap, which is centred
    // in the rectangle; a turned bitmap is centred as it is.
    RECT at = Offset(rect, caption.GetXOffset(), caption.GetYOffset());
    if (caption.GetAngle() == 0)
        at = RECT{at.left + part.left, at.top + part.top, at.left + part.right, at.top + part.bottom};
    DrawTransparentBitmap(hdc, at, bitmap, FALSE, 32);
    DeleteObject(bitmap);
}

void CLumvexCtrl::DrawAuxText(HDC hdc, const RECT& rect, UINT itemState, int position)
{
    if (position < 1 || position >= kTextCount || m_text[std::size_t(position)].GetText().empty())
        return;
    // Columns and rows of the positions: left top, centre top, right top,
    // left middle, right middle, left bottom, centre bottom, right bottom.
    static constexpr int kColumn[9] = {0, 0, 1, 2, 0, 2, 0, 1, 2};
    static constexpr int kRow[9] = {0, 0, 0, 0, 1, 1, 2, 2, 2};
    static constexpr UINT kAlign[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    static constexpr UINT kVAlign[3] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
    static constexpr int kMarginX[3] = {4, 0, -4};
    static constexpr int kMarginY[3] = {1, 0, -3};
    const int col = kColumn[position];
    const int row = kRow[position];
    const CText& text = m_text[std::size_t(position)];
    const RECT r = Offset(rect, text.GetXOffset() + kMarginX[col], text.GetYOffset() + kMarginY[row]);
    Selected font(hdc, m_font[std::size_t(position)].GetFontHandle(), false);
    drawTextLayer(hdc, position, itemState, r, DT_SINGLELINE | kAlign[col] | kVAlign[row]);
}

POINT CLumvexCtrl::PlacePicture(const RECT& rect, int bw, int bh) const
{
    constexpr int kMargin = 4;
    const int left = int(rect.left) + kMargin;
    const int right = int(rect.right) - kMargin - bw;
    const int top = int(rect.top) + kMargin;
    const int bottom = int(rect.bottom) - kMargin - bh;
    const int cx = int(rect.left) + (Width(rect) - bw) / 2;
    const int cy = int(rect.top) + (Height(rect) - bh) / 2;
    POINT p{cx, cy};
    switch (m_PicturePosition) {
    case 1: p = POINT{left, top}; break;
    case 2: p = POINT{cx, top}; break;
    case 3: p = POINT{right, top}; break;
    case 4: p = POINT{left, cy}; break;
    case 5: p = POINT{right, cy}; break;
    case 6: p = POINT{left, bottom}; break;
    case 7: p = POINT{cx, bottom}; break;
    case 8: p = POINT{right, bottom}; break;
    default: break;
    }
    return POINT{p.x + m_PictureXOffset, p.y + m_PictureYOffset};
}

void CLumvexCtrl::DrawTransparentBitmap(HDC hdc, const RECT& rect, HBITMAP hbm, BOOL bIsPicture, int depth)
{
    int bw = 0;
    int bh = 0;
    if (!BitmapSize(hbm, &bw, &bh))
        return;
    // The key: the top-left pixel of a text bitmap or (PictureTranspMode 1)
    // of a picture, else PictureTranspColor as the screen shows it.
    COLORREF key = TopLeftColor(hbm);
    BitmapDC image(hdc, hbm);
    OwnedBitmap copy(ColorBitmap(bw, bh));
    OwnedBitmap mask(CreateBitmap(bw, bh, 1, 1, nullptr));
    if (!image.Ok() || !copy || !mask)
        return;
    BitmapDC copyDC(hdc, copy.get());
    BitmapDC maskDC(hdc, mask.get());
    if (!copyDC.Ok() || !maskDC.Ok())
        return;
    BitBlt(copyDC.dc(), 0, 0, bw, bh, image.dc(), 0, 0, SRCCOPY);
    if (bIsPicture && m_PictureTranspMode != 1) {
        key = GetNearestColor(hdc, TranslateOleColor(m_PictureTranspColor));
        if (depth < GetDeviceCaps(hdc, BITSPIXEL))
            key = GetNearestColor(hdc, key);
    }
    const POINT at = bIsPicture ? PlacePicture(rect, bw, bh)
                                : POINT{rect.left + (Width(rect) - bw) / 2, rect.top + (Height(rect) - bh) / 2};

    // One where the key is; the image black there; the destination black
    // elsewhere; then both together.
    SetBkColor(copyDC.dc(), key);
    BitBlt(maskDC.dc(), 0, 0, bw, bh, copyDC.dc(), 0, 0, SRCCOPY);
    SetTextColor(copyDC.dc(), RGB(255, 255, 255));
    SetBkColor(copyDC.dc(), RGB(0, 0, 0));
    BitBlt(copyDC.dc(), 0, 0, bw, bh, maskDC.dc(), 0, 0, SRCAND);
    const COLORREF oldText = SetTextColor(hdc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(hdc, RGB(255, 255, 255));
    BitBlt(hdc, at.x, at.y, bw, bh, maskDC.dc(), 0, 0, SRCAND);
    BitBlt(hdc, at.x, at.y, bw, bh, copyDC.dc(), 0, 0, SRCPAINT);
    SetTextColor(hdc, oldText);
    SetBkColor(hdc, oldBack);
}
