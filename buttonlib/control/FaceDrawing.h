#pragma once
// Small scoped helpers the face drawing shares: a memory DC holding one
// bitmap, an object selected for a while, fills and bitmap sizes.

#include "platform/gdi/GdiDraw.h"

#include <memory>
#include <vector>

namespace facedraw {

// A memory DC compatible with a reference DC, holding one bitmap while it
// lives.
class BitmapDC {
public:
    BitmapDC(HDC reference, HBITMAP bitmap)
    {
        dc_ = CreateCompatibleDC(reference);
        if (dc_ && bitmap)
            old_ = SelectObject(dc_, bitmap);
    }
    ~BitmapDC()
    {
        if (!dc_)
            return;
        if (old_)
            SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    BitmapDC(const BitmapDC&) = delete;
    BitmapDC& operator=(const BitmapDC&) = delete;

    bool Ok() const { return dc_ && old_; }
    HDC dc() const { return dc_; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// An object selected into a DC until the scope ends; it is deleted then
// when owned.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ obj, bool owned) : dc_(dc), obj_(obj), owned_(owned)
    {
        if (obj_)
            old_ = SelectObject(dc_, obj_);
    }
    ~Selected()
    {
        if (old_)
            SelectObject(dc_, old_);
        if (owned_ && obj_)
            DeleteObject(obj_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ obj_;
    bool owned_;
    HGDIOBJ old_ = nullptr;
};

struct ObjectDeleter {
    void operator()(HBITMAP__* h) const { DeleteObject(h); }
};
// A bitmap deleted when the scope ends; declare it before the DCs that
// select it, so that they let go of it first.
using OwnedBitmap = std::unique_ptr<HBITMAP__, ObjectDeleter>;

inline bool BitmapSize(HBITMAP hbm, int* width, int* height)
{
    BITMAP bm{};
    if (!hbm || !GetObject(hbm, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    *width = int(bm.bmWidth);
    *height = int(bm.bmHeight);
    return true;
}

// A 32-bit DIB section of w x h, top row first, and its pixels; null (and
// nothing to free) when it cannot be made.
inline HBITMAP TopDownSection32(int w, int h, void** bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    *bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (section && *bits)
        return section;
    DeleteObject(section);
    *bits = nullptr;
    return nullptr;
}

// The colour of the bitmap's top-left pixel as a 32-bit surface shows it.
inline COLORREF TopLeftColor(HBITMAP hbm)
{
    void* bits = nullptr;
    HBITMAP one = TopDownSection32(1, 1, &bits);
    if (!one)
        return 0;
    {
        BitmapDC src(nullptr, hbm);
        BitmapDC dst(nullptr, one);
        if (src.Ok() && dst.Ok())
            BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, SRCCOPY);
    }
    const BYTE* p = static_cast<const BYTE*>(bits);
    const COLORREF c = RGB(p[2], p[1], p[0]);
    DeleteObject(one);
    return c;
}

// The header of a top-down one-bit picture of width x height, with room
// for its two colours (both black until set).
struct OneBitInfo {
    OneBitInfo(int width, int height)
    {
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biWidth = width;
        header.biHeight = -height;
        header.biPlanes = 1;
        header.biBitCount = 1;
        header.biCompression = BI_RGB;
    }
    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
    BITMAPINFOHEADER header{};
    RGBQUAD colors[2]{};
};

// The rows of a one-bit bitmap, top down, each a whole number of DWORDs,
// the first pixel in the highest bit; empty when they cannot be read.
inline std::vector<DWORD> OneBitRows(HBITMAP hbm, int width, int height)
{
    OneBitInfo info(width, height);
    std::vector<DWORD> rows((std::size_t(width) + 31) / 32 * std::size_t(height));
    HDC screen = GetDC(nullptr);
    const int read =
        GetDIBits(screen, hbm, 0, UINT(height), rows.data(), info.get(), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (read != height)
        rows.clear();
    return rows;
}

// Bit x of row y of one-bit rows as OneBitRows lays them out.
inline bool BitAt(const std::vector<DWORD>& rows, int width, int x, int y)
{
    const auto* row = reinterpret_cast<const BYTE*>(rows.data() + (std::size_t(width) + 31) / 32 * std::size_t(y));
    return ((row[x >> 3] >> (7 - (x & 7))) & 1) != 0;
}

// Clears the bits past the width at the end of each row, which pictures
// made from the rows keep and an erosion reads.
void ClearRowPadding(std::vector<DWORD>& rows, int width, int height);

// The pixels of a bitmap that are not the key colour, as one-bit rows laid
// out as OneBitRows has them: a pixel is the key when each of its channels
// lies from the key's up to the key's plus the tolerance's. Empty when the
// bitmap cannot be read.
std::vector<DWORD> UnkeyedRows(HBITMAP hbm, int width, int height, COLORREF key, COLORREF tolerance);

// The region of the set bits of one-bit rows, a rectangle for each run of
// a row. Null when no bit is set or the region cannot be made.
HRGN RegionOfRows(const std::vector<DWORD>& rows, int width, int height);

inline void FillSolid(HDC dc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// A 32-bit colour bitmap (the screen's kind), whatever the DC holds.
inline HBITMAP ColorBitmap(int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bm = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    return bm;
}

inline RECT Inflated(RECT r, int dx, int dy)
{
    r.left -= dx;
    r.top -= dy;
    r.right += dx;
    r.bottom += dy;
    return r;
}

inline RECT Offset(RECT r, int dx, int dy)
{
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
    return r;
}

inline int Width(const RECT& r) { return int(r.right - r.left); }
inline int Height(const RECT& r) { return int(r.bottom - r.top); }

} // namespace facedraw
