// Palettes of packed DIBs: from the colour table, by popularity of the
// pixels' colours, halftone, system and identity palettes.

#include "buttonlib/media/DibUtil.h"

#include "buttonlib/media/DibBlock.h"
#include "platform/win/MessageBox.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

namespace {

BOOL g_bDibPopularityPalette = TRUE;

constexpr int kPaletteSize = 256;

HPALETTE createPalette(const std::vector<PALETTEENTRY>& entries)
{
    if (entries.empty() || entries.size() > 0xFFFF)
        return nullptr;
    std::vector<BYTE> buffer;
    try {
        buffer.resize(offsetof(LOGPALETTE, palPalEntry) + entries.size() * sizeof(PALETTEENTRY));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = WORD(entries.size());
    std::memcpy(lp->palPalEntry, entries.data(), entries.size() * sizeof(PALETTEENTRY));
    return CreatePalette(lp);
}

std::vector<PALETTEENTRY> entriesOf(HPALETTE hpal)
{
    std::vector<PALETTEENTRY> entries(GetPaletteEntries(hpal, 0, 0, nullptr));
    entries.resize(GetPaletteEntries(hpal, 0, UINT(entries.size()), entries.data()));
    return entries;
}

// One channel of a bit-field pixel: the mask cut to its 8 highest bits,
// moved down and widened to 8 bits.
struct Channel {
    explicit Channel(DWORD m)
    {
        while (MaskBitCount(m) > 8)
            m &= ~(DWORD(1) << MaskLowestBit(m));
        mask = m;
        if (m) {
            shift = MaskLowestBit(m);
            widen = 8 - MaskBitCount(m);
        }
    }
    BYTE operator()(DWORD pixel) const { return mask ? BYTE(((pixel & mask) >> shift) << widen) : 0; }
    DWORD mask = 0;
    int shift = 0;
    int widen = 0;
};

// The popularity palette of a 16- or 32-bit picture; null for masks that are
// not one run of bits each.
HPALETTE bitFieldsPalette(const BITMAPINFOHEADER* header, const BYTE* pixels, ColorHistogram& histogram)
{
    DWORD masks[3];
    if (header->biCompression != BI_RGB)
        std::memcpy(masks, reinterpret_cast<const BYTE*>(header) + header->biSize, sizeof masks);
    else if (header->biBitCount == 16)
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    else
        masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    if (!MaskIsContiguous(masks[0]) || !MaskIsContiguous(masks[1]) || !MaskIsContiguous(masks[2])) {
        win::MessageBox(nullptr, "These DWORD masks look strange!\n\nI'm going to substitute a halftone palette.",
                        "Problem?", win::MB_ICONINFORMATION);
        return nullptr;
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    const std::size_t width = std::size_t(header->biWidth);
    const std::size_t count =
        header->biBitCount == 16 ? ((width + 1) & ~std::size_t(1)) * std::size_t(header->biHeight)
                                 : width * std::size_t(header->biHeight);
    const std::size_t step = header->biBitCount / 8;
    for (std::size_t i = 0; i < count; ++i) {
        const BYTE* p = pixels + i * step;
        const DWORD v = step == 2 ? DWORD(p[0] | (p[1] << 8)) : DWORD(p[0] | (p[1] << 8) | (p[2] << 16) | (DWORD(p[3]) << 24));
        const BYTE bgr[3] = {blue(v), green(v), red(v)};
        ColorHistogramAdd(histogram, bgr);
    }
    RGBQUAD table[kPaletteSize];
    ColorHistogramTop(histogram, table, kPaletteSize);
    return DibPaletteFromTable(table, kPaletteSize);
}

} // namespace

std::unique_ptr<ColorHistogram> ColorHistogramCreate()
{
    try {
        auto h = std::make_unique<ColorHistogram>(kColorHistogramSize);
        for (std::size_t i = 0; i < kColorHistogramSize; ++i)
            (*h)[i] = ColorHistogramEntry{0, WORD(i)};
        return h;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void ColorHistogramAdd(ColorHistogram& histogram, const BYTE* bgr)
{
    const WORD key = WORD(((bgr[2] >> 3) << 11) | ((bgr[1] >> 2) << 5) | (bgr[0] >> 3));
    WORD& count = histogram[key].count;
    if (count != 0xFFFF)
        ++count;
}

void ColorHistogramTop(ColorHistogram& histogram, RGBQUAD* out, int n)
{
    if (n < 1 || histogram.size() != kColorHistogramSize)
        return;
    // Only the first n places need their order.
    const std::size_t k = std::min<std::size_t>(std::size_t(n), kColorHistogramSize);
    std::partial_sort(histogram.begin(), histogram.begin() + std::ptrdiff_t(k), histogram.end(),
                      [](const ColorHistogramEntry& a, const ColorHistogramEntry& b) {
                          return a.count != b.count ? a.count > b.count : a.key < b.key;
                      });
    for (std::size_t i = 0; i < k; ++i) {
        const WORD key = histogram[i].key;
        out[i].rgbRed = BYTE((key >> 11) << 3);
        out[i].rgbGreen = BYTE(((key >> 5) & 0x3F) << 2);
        out[i].rgbBlue = BYTE((key & 0x1F) << 3);
    }
}

void DibSetPopularityPalette(BOOL on)
{
    g_bDibPopularityPalette = on;
}

BOOL DibGetPopularityPalette()
{
    return g_bDibPopularityPalette;
}

HPALETTE DibMakePalette(BITMAPINFOHEADER* header)
{
    if (!header || header->biSize == sizeof(BITMAPCOREHEADER))
        return nullptr;
    const BYTE* table =
        reinterpret_cast<const BYTE*>(header) + header->biSize + (header->biCompression == BI_BITFIELDS ? 12 : 0);
    const WORD count = DibColorCount(header);
    header->biClrUsed = count;
    if (count)
        return DibPaletteFromTable(reinterpret_cast<const RGBQUAD*>(table), count);
    if (!g_bDibPopularityPalette)
        return DibHalftonePalette();
    const WORD bits = header->biBitCount;
    if (bits != 16 && bits != 24 && bits != 32)
        return nullptr;
    auto histogram = ColorHistogramCreate();
    if (!histogram)
        return DibHalftonePalette();
    const BYTE* pixels = reinterpret_cast<const BYTE*>(header) + header->biSize + DibTableBytes(header);
    if (bits != 24) {
        HPALETTE pal = bitFieldsPalette(header, pixels, *histogram);
        return pal ? pal : DibHalftonePalette();
    }
    const std::size_t rowBytes = ((std::size_t(header->biWidth) * 24 + 31) >> 5) * 4;
    for (LONG y = 0; y < header->biHeight; ++y) {
        const BYTE* row = pixels + rowBytes * std::size_t(y);
        for (LONG x = 0; x < header->biWidth; ++x)
            ColorHistogramAdd(*histogram, row + 3 * std::size_t(x));
    }
    RGBQUAD top[kPaletteSize];
    ColorHistogramTop(*histogram, top, kPaletteSize);
    return DibPaletteFromTable(top, kPaletteSize);
}

HPALETTE DibMakePaletteFromHandle(HGLOBAL h)
{
    DibBlock block(h);
    return block.Whole() ? DibMakePalette(block.Header()) : nullptr;
}

HPALETTE DibMakePaletteWithFlags(HGLOBAL h, BYTE flags)
{
    HPALETTE pal = DibMakePaletteFromHandle(h);
    if (!pal)
        return nullptr;
    HPALETTE copy = DibCopyPaletteWithFlags(pal, flags);
    DeleteObject(pal);
    return copy;
}

HPALETTE DibCopyPalette(HPALETTE hpal)
{
    return hpal ? createPalette(entriesOf(hpal)) : nullptr;
}

HPALETTE DibCopyPaletteWithFlags(HPALETTE hpal, BYTE flags)
{
    std::vector<PALETTEENTRY> entries = hpal ? entriesOf(hpal) : std::vector<PALETTEENTRY>{};
    for (std::size_t i = 0; i < entries.size() && i < kPaletteSize; ++i)
        entries[i].peFlags = flags;
    return createPalette(entries);
}

HPALETTE DibPaletteFromTable(const RGBQUAD* table, WORD count)
{
    if (!table)
        return nullptr;
    std::vector<PALETTEENTRY> entries(count);
    for (WORD i = 0; i < count; ++i)
        entries[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    return createPalette(entries);
}

HPALETTE DibHalftonePalette()
{
    std::vector<PALETTEENTRY> entries(kPaletteSize);
    for (int i = 0; i < kPaletteSize; ++i)
        entries[i] = PALETTEENTRY{BYTE(32 * (i % 8)), BYTE(32 * ((i / 8) % 8)), BYTE(64 * (i / 64)), 0};
    return createPalette(entries);
}

int DibDevicePaletteSize(HDC hdc)
{
    const int size = GetDeviceCaps(hdc, SIZEPALETTE);
    return size ? size : GetDeviceCaps(hdc, NUMCOLORS);
}

HPALETTE DibSystemPalette()
{
    HDC screen = GetDC(nullptr);
    const int n = DibDevicePaletteSize(screen);
    std::vector<PALETTEENTRY> entries;
    // A true-colour screen reports no palette size: there is nothing to copy.
    if (n > 0) {
        entries.resize(std::size_t(std::min(n, kPaletteSize)));
        entries.resize(GetSystemPaletteEntries(screen, 0, UINT(entries.size()), entries.data()));
    }
    ReleaseDC(nullptr, screen);
    return createPalette(entries);
}

HPALETTE DibIdentityPalette(const RGBQUAD* table, int count)
{
    if (!table)
        return nullptr;
    count = std::clamp(count, 0, kPaletteSize);
    std::vector<PALETTEENTRY> entries(kPaletteSize, PALETTEENTRY{0, 0, 0, 0});
    HDC screen = GetDC(nullptr);
    if (GetSystemPaletteUse(screen) == SYSPAL_NOSTATIC) {
        for (int i = 0; i < kPaletteSize; ++i) {
            if (i < count)
                entries[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
            entries[i].peFlags = PC_NOCOLLAPSE;
        }
        entries[0] = PALETTEENTRY{0, 0, 0, 0};
        entries[kPaletteSize - 1] = PALETTEENTRY{255, 255, 255, 0};
    } else {
        // The static colours keep both ends; the table fills the middle.
        const int statics = std::clamp(GetDeviceCaps(screen, NUMCOLORS) / 2, 0, kPaletteSize / 2);
        GetSystemPaletteEntries(screen, 0, kPaletteSize, entries.data());
        int i = 0;
        for (; i < statics; ++i)
            entries[i].peFlags = 0;
        for (; i < count - statics; ++i)
            entries[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, PC_NOCOLLAPSE};
        for (; i < kPaletteSize - statics; ++i)
            entries[i].peFlags = PC_NOCOLLAPSE;
        for (; i < kPaletteSize; ++i)
            entries[i].peFlags = 0;
    }
    ReleaseDC(nullptr, screen);
    return createPalette(entries);
}

void DibClearSystemPalette()
{
    HPALETTE black = createPalette(std::vector<PALETTEENTRY>(kPaletteSize, PALETTEENTRY{0, 0, 0, PC_NOCOLLAPSE}));
    if (!black)
        return;
    HDC screen = GetDC(nullptr);
    HPALETTE old = SelectPalette(screen, black, FALSE);
    RealizePalette(screen);
    if (old)
        SelectPalette(screen, old, FALSE);
    ReleaseDC(nullptr, screen);
    DeleteObject(black);
}
