// GetDIBits and SetDIBColorTable: bitmaps out to packed DIB rows in any of
// the DIB depths, with the colour table the depth needs.

#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <cstring>

namespace gdi {

namespace {

// The sixteen colours of a 4-bit table made from a true-colour bitmap.
constexpr RGBQUAD kVgaColors[16] = {
    {0, 0, 0, 0},     {0, 0, 128, 0},   {0, 128, 0, 0},   {0, 128, 128, 0}, {128, 0, 0, 0},    {128, 0, 128, 0},
    {128, 128, 0, 0}, {192, 192, 192, 0}, {128, 128, 128, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {0, 255, 255, 0},
    {255, 0, 0, 0},   {255, 0, 255, 0}, {255, 255, 0, 0}, {255, 255, 255, 0},
};

// The table a bitmap's rows get at a depth up to 8 bits: its own when it has
// one of that depth, black and white at 1 bit, the standard sixteen at 4 and
// the DC's palette at 8.
std::vector<RGBQUAD> tableFor(const Surface& s, int bpp, const DC& dc)
{
    if (s.Bpp() == bpp)
        return s.Colors();
    std::vector<RGBQUAD> out;
    if (bpp == 1)
        out = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    else if (bpp == 4)
        out.assign(std::begin(kVgaColors), std::end(kVgaColors));
    else
        out = DCPaletteColors(dc);
    out.resize(std::size_t(1) << bpp, RGBQUAD{0, 0, 0, 0});
    return out;
}

} // namespace

} // namespace gdi

using namespace gdi;

int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, void* bits, BITMAPINFO* bmi, UINT usage)
{
    DC* dc = FindDC(hdc);
    Bitmap* b = FindBitmap(hbm);
    if (!dc || !b || !bmi || bmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER))
        return 0;
    const Surface& s = b->surface;
    BITMAPINFOHEADER& h = bmi->bmiHeader;
    BYTE* after = reinterpret_cast<BYTE*>(bmi) + h.biSize;

    if (!bits && h.biBitCount == 0) {
        // The bitmap's own format.
        h.biWidth = s.Width();
        h.biHeight = s.Height();
        h.biPlanes = 1;
        h.biBitCount = WORD(s.Bpp());
        h.biCompression = s.Compression();
        h.biSizeImage = DWORD(s.ByteSize());
        h.biClrUsed = 0;
        h.biClrImportant = 0;
        if (s.Compression() == BI_BITFIELDS)
            std::memcpy(after, s.Masks(), 12);
        return 1;
    }
    const int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return 0;
    if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32)))
        return 0;
    // Bit fields keep a section's own masks; other bitmaps give 5-6-5 or 8-8-8.
    static constexpr DWORD kMasks16[3] = {0xF800, 0x07E0, 0x001F};
    static constexpr DWORD kMasks32[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
    const DWORD* masks = bpp == s.Bpp() && s.Compression() == BI_BITFIELDS ? s.Masks() : bpp == 16 ? kMasks16 : kMasks32;
    const int width = s.Width();
    const int height = s.Height();
    const bool bottomUp = h.biHeight >= 0;
    h.biWidth = width;
    h.biHeight = bottomUp ? height : -height;
    h.biPlanes = 1;
    h.biSizeImage = DWORD(Surface::StrideFor(width, bpp) * std::size_t(height));
    h.biClrUsed = 0;
    h.biClrImportant = 0;

    // The colour table goes behind the header.
    std::vector<RGBQUAD> table;
    if (bpp <= 8) {
        table = tableFor(s, bpp, *dc);
        if (usage == DIB_PAL_COLORS) {
            auto* idx = reinterpret_cast<WORD*>(after);
            for (std::size_t i = 0; i < table.size(); ++i)
                idx[i] = WORD(i);
        } else {
            std::memcpy(after, table.data(), table.size() * sizeof(RGBQUAD));
        }
    } else if (h.biCompression == BI_BITFIELDS) {
        std::memcpy(after, masks, 12);
    }
    if (!bits)
        return 1;
    if (start >= UINT(height))
        return 0;
    lines = std::min(lines, UINT(height) - start);

    // The rows start .. start + lines - 1 counted from the bottom (or from the
    // top for a top-down request), written as a band straight into the rows
    // given.
    BITMAPINFOHEADER bandHeader = h;
    bandHeader.biHeight = bottomUp ? LONG(lines) : -LONG(lines);
    Surface band;
    if (!band.CreateSection(bandHeader, table.data(), int(table.size()),
                            h.biCompression == BI_BITFIELDS ? masks : nullptr, bits))
        return 0;
    const bool sameTable = bpp <= 8 && s.Bpp() == bpp;
    const bool sameFormat = bpp == s.Bpp() && bpp > 8 && s.Compression() == h.biCompression;
    ValueCache nearest(band);
    for (UINT k = 0; k < lines; ++k) {
        const int bandRow = bottomUp ? int(lines - 1 - k) : int(k);
        const int srcRow = bottomUp ? int(UINT(height) - 1 - (start + k)) : int(start + k);
        if (sameFormat && bpp == 32) {
            // Rows of the same layout: copied, the fourth byte kept only by a section.
            std::memcpy(band.Row(bandRow), s.Row(srcRow), std::size_t(width) * 4);
            if (!b->section)
                for (BYTE *p = band.Row(bandRow) + 3, *end = p + std::size_t(width) * 4; p < end; p += 4)
                    *p = 0;
            continue;
        }
        if (bpp == 8 && !sameTable && s.Bpp() == 32 && s.Compression() == BI_RGB) {
            // True colour to table indices, the commonest conversion: runs of
            // one colour take the index found for their first pixel.
            const BYTE* src = s.Row(srcRow);
            BYTE* dst = band.Row(bandRow);
            COLORREF last = CLR_INVALID;
            BYTE index = 0;
            for (int x = 0; x < width; ++x, src += 4) {
                const COLORREF c = RGB(src[2], src[1], src[0]);
                if (c != last) {
                    last = c;
                    index = BYTE(nearest.ValueFor(c));
                }
                dst[x] = index;
            }
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const DWORD v = s.Value(x, srcRow);
            band.SetValue(x, bandRow, sameTable || sameFormat ? v : nearest.ValueFor(s.ColorOf(v)));
        }
    }
    return int(lines);
}

UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors)
{
    DC* dc = FindDC(hdc);
    if (!dc || !dc->bitmap || !dc->bitmap->section || !colors)
        return 0;
    std::vector<RGBQUAD>& table = dc->bitmap->surface.Colors();
    if (start >= table.size())
        return 0;
    const UINT k = std::min<UINT>(count, UINT(table.size()) - start);
    std::copy_n(colors, k, table.begin() + start);
    return k;
}
