// Blits with ternary raster operations. Every pixel is worked on in the
// destination's own values (palette indices up to 8 bits, packed colour
// above): the source and the brush are first turned into the destination's
// value for their colour, then the operation's truth table is applied bit by
// bit. Between monochrome device bitmaps and colour surfaces the platform's
// rules hold: a colour pixel equal to the source DC's background colour
// becomes 1 (white), others 0; a monochrome 0 becomes the destination DC's
// text colour and 1 its background colour. The brush is taken pixel by
// pixel, so pattern brushes repeat from the destination's origin, and only
// the pixels inside the destination DC's clip region change.

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cstdint>

namespace gdi {

namespace {

DWORD applyRop(DWORD rop, DWORD p, DWORD s, DWORD d)
{
    const BYTE index = BYTE(rop >> 16);
    switch (index) {
    case 0xCC: return s;
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFFFF;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0x66: return s ^ d;
    default: break;
    }
    DWORD out = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (!(index & (1 << bit)))
            continue;
        const DWORD pp = (bit & 4) ? p : ~p;
        const DWORD ss = (bit & 2) ? s : ~s;
        const DWORD dd = (bit & 1) ? d : ~d;
        out |= pp & ss & dd;
    }
    return out;
}

bool usesSource(DWORD rop)
{
    const BYTE index = BYTE(rop >> 16);
    return ((index >> 2) ^ index) & 0x33;
}

bool usesPattern(DWORD rop)
{
    const BYTE index = BYTE(rop >> 16);
    return ((index >> 4) ^ index) & 0x0F;
}

// A source pixel as a colour, with the monochrome rule for device bitmaps.
struct SourceReader {
    const Surface& src;
    COLORREF text;
    COLORREF bk;
    bool monoToColour;
    COLORREF colour(int x, int y) const
    {
        const DWORD v = src.Value(x, y);
        if (monoToColour)
            return v ? bk : text;
        return src.ColorOf(v);
    }
};

struct DestWriter {
    Surface& dst;
    // Colour to monochrome device: the source DC's background colour is white.
    bool colourToMono;
    COLORREF srcBk;
    DWORD value(COLORREF c) const
    {
        if (colourToMono)
            return c == srcBk ? 1 : 0;
        return dst.ValueFor(c);
    }
};

DWORD opMask(const Surface& s)
{
    // 32-bit colour keeps its fourth byte out of the operation: it is written as 0.
    return s.Bpp() == 32 ? 0x00FFFFFF : s.ValueMask();
}

// One general stretching blit: the destination rectangle (dx, dy, dw, dh)
// takes the nearest source pixel of (sx, sy, sw, sh); negative extents
// mirror. Source coordinates are counted from the top.
void stretch(Surface& dst, const DC& dstDC, const Surface* src, COLORREF srcBk, int dx, int dy, int dw, int dh,
             int sx, int sy, int sw, int sh, DWORD rop)
{
    bool flipX = false, flipY = false;
    if (dw < 0) { dx += dw; dw = -dw; flipX = !flipX; }
    if (dh < 0) { dy += dh; dh = -dh; flipY = !flipY; }
    if (sw < 0) { sx += sw; sw = -sw; flipX = !flipX; }
    if (sh < 0) { sy += sh; sh = -sh; flipY = !flipY; }
    if (dw == 0 || dh == 0 || (src && (sw == 0 || sh == 0)))
        return;

    const bool withSource = src && usesSource(rop);
    const SourceReader reader{src ? *src : dst, dstDC.textColor, dstDC.bkColor,
                              src && src->IsMonoDevice() && !dst.IsMonoDevice()};
    const DestWriter writer{dst, dst.IsMonoDevice() && src && !src->IsMonoDevice(), srcBk};
    const DWORD mask = opMask(dst);
    const Tile pattern = usesPattern(rop) ? BrushTile(dst, dstDC, dstDC.brush) : Tile{1, 1, {0}};
    // An operation that needs a brush draws nothing with the null brush.
    if (pattern.Empty())
        return;
    const Clip clip(dstDC, dst);

    const int x0 = std::max(dx, 0), x1 = std::min<long long>(static_cast<long long>(dx) + dw, dst.Width());
    const int y0 = std::max(dy, clip.Top());
    const int y1 = std::min<long long>(static_cast<long long>(dy) + dh, clip.Bottom());
    for (int y = y0; y < y1; ++y) {
        int syy = 0;
        if (withSource) {
            long long j = static_cast<long long>(y - dy) * sh / dh;
            if (flipY)
                j = sh - 1 - j;
            syy = int(sy + j);
            if (syy < 0 || syy >= src->Height())
                continue;
        }
        clip.Row(y, x0, x1, [&](int a, int b) {
            for (int x = a; x < b; ++x) {
                DWORD s = 0;
                if (withSource) {
                    long long i = static_cast<long long>(x - dx) * sw / dw;
                    if (flipX)
                        i = sw - 1 - i;
                    const int sxx = int(sx + i);
                    if (sxx < 0 || sxx >= src->Width())
                        continue;
                    s = writer.value(reader.colour(sxx, syy)) & mask;
                }
                const DWORD d = dst.Value(x, y) & mask;
                dst.SetValue(x, y, applyRop(rop, pattern.At(x, y) & mask, s, d) & mask);
            }
        });
    }
}

} // namespace

} // namespace gdi

using namespace gdi;

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    DC* dc = FindDC(hdc);
    Surface* dst = DCSurface(hdc);
    if (!dc || !dst)
        return FALSE;
    const Surface* src = nullptr;
    COLORREF srcBk = 0xFFFFFF;
    if (usesSource(rop)) {
        DC* sdc = FindDC(hdcSrc);
        src = DCSurface(hdcSrc);
        if (!sdc || !src)
            return FALSE;
        srcBk = sdc->bkColor;
    }
    if (cx < 0 || cy < 0)
        return FALSE;
    stretch(*dst, *dc, src, srcBk, x, y, cx, cy, x1, y1, cx, cy, rop);
    return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop)
{
    DC* dc = FindDC(hdc);
    Surface* dst = DCSurface(hdc);
    if (!dc || !dst || usesSource(rop))
        return FALSE;
    stretch(*dst, *dc, nullptr, 0, x, y, w, h, 0, 0, 0, 0, rop);
    return TRUE;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop)
{
    DC* dc = FindDC(hdc);
    Surface* dst = DCSurface(hdc);
    if (!dc || !dst)
        return 0;
    Surface view;
    const std::vector<RGBQUAD> pal = DCPaletteColors(*dc);
    if (!view.View(bmi, bits, usage, &pal))
        return 0;
    // A bottom-up DIB's source rectangle starts at its bottom row.
    const int top = view.IsBottomUp() ? view.Height() - ySrc - srcHeight : ySrc;
    stretch(*dst, *dc, &view, dc->bkColor, xDest, yDest, destWidth, destHeight, xSrc, top, srcWidth, srcHeight, rop);
    return view.Height();
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage)
{
    DC* dc = FindDC(hdc);
    Surface* dst = DCSurface(hdc);
    if (!dc || !dst || !bmi || w > 0x7FFFFFFF || h > 0x7FFFFFFF || lines == 0)
        return 0;
    // The bits hold only the scan lines startScan .. startScan + lines - 1.
    const BITMAPINFOHEADER& full = bmi->bmiHeader;
    const bool bottomUp = full.biHeight > 0;
    const UINT fullHeight = UINT(full.biHeight < 0 ? -static_cast<long long>(full.biHeight) : full.biHeight);
    if (startScan >= fullHeight)
        return 0;
    lines = std::min(lines, fullHeight - startScan);
    std::vector<BYTE> header(bmi->bmiHeader.biSize + 256 * sizeof(RGBQUAD) + 12);
    const std::size_t tableBytes = (full.biCompression == BI_BITFIELDS ? 12 : 0) +
        (usage == DIB_PAL_COLORS ? sizeof(WORD) : sizeof(RGBQUAD)) * std::size_t(std::max(ColorCount(full), 0));
    if (ColorCount(full) < 0 || full.biSize < sizeof(BITMAPINFOHEADER))
        return 0;
    std::copy_n(reinterpret_cast<const BYTE*>(bmi), std::min(header.size(), full.biSize + tableBytes), header.begin());
    auto* part = reinterpret_cast<BITMAPINFO*>(header.data());
    part->bmiHeader.biHeight = bottomUp ? LONG(lines) : -LONG(lines);
    Surface view;
    const std::vector<RGBQUAD> pal = DCPaletteColors(*dc);
    if (!view.View(part, bits, usage, &pal))
        return 0;
    // Row r of the whole DIB (counted the way its source rectangle is) is
    // row r - startScan of the band.
    const long long fullTop = bottomUp ? static_cast<long long>(fullHeight) - ySrc - h : ySrc;
    const long long bandTop = bottomUp ? static_cast<long long>(fullHeight) - startScan - lines : startScan;
    stretch(*dst, *dc, &view, dc->bkColor, xDest, yDest, int(w), int(h), xSrc, int(fullTop - bandTop), int(w), int(h),
            SRCCOPY);
    return int(lines);
}
