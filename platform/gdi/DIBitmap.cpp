// Device bitmaps made from DIB rows, and the screen's system palette.

#include "platform/gdi/GdiObjects.h"

#include <algorithm>

namespace gdi {

namespace {

constexpr UINT kSystemPaletteSize = 256;
constexpr UINT kStaticColors = 20;

} // namespace

} // namespace gdi

using namespace gdi;

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* bmi,
                       UINT usage)
{
    DC* dc = FindDC(hdc);
    if (!dc || !header || header->biSize < sizeof(BITMAPINFOHEADER) || header->biHeight == LONG(0x80000000))
        return nullptr;
    const bool mono = !dc->screen && dc->bitmap && dc->bitmap->surface.IsMonoDevice();
    const int height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    auto b = std::make_unique<Bitmap>();
    if (!b->surface.CreateDevice(header->biWidth, height, mono))
        return nullptr;
    if (init & CBM_INIT) {
        Surface view;
        const std::vector<RGBQUAD> pal = DCPaletteColors(*dc);
        if (!view.View(bmi, bits, usage, &pal) || view.Width() != b->surface.Width() || view.Height() != height)
            return nullptr;
        Surface& dst = b->surface;
        ValueCache nearest(dst);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < dst.Width(); ++x)
                dst.SetValue(x, y, nearest.ValueFor(view.ColorOf(view.Value(x, y))));
    }
    return AddBitmap(std::move(b));
}

BOOL GdiFlush()
{
    return TRUE;
}

UINT GetSystemPaletteEntries(HDC hdc, UINT start, UINT count, PALETTEENTRY* entries)
{
    if (!FindDC(hdc))
        return 0;
    if (!entries)
        return kSystemPaletteSize;
    PALETTEENTRY statics[kStaticColors] = {};
    GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, kStaticColors, statics);
    UINT copied = 0;
    for (UINT i = start; i < kSystemPaletteSize && copied < count; ++i, ++copied) {
        PALETTEENTRY e{0, 0, 0, 0};
        if (i < kStaticColors / 2)
            e = statics[i];
        else if (i >= kSystemPaletteSize - kStaticColors / 2)
            e = statics[i - (kSystemPaletteSize - kStaticColors)];
        e.peFlags = 0;
        entries[copied] = e;
    }
    return copied;
}

UINT GetSystemPaletteUse(HDC hdc)
{
    return FindDC(hdc) ? SYSPAL_STATIC : SYSPAL_ERROR;
}
