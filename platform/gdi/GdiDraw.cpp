// Pens, brushes and the drawing state of a device context.

#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <mutex>

namespace gdi {

namespace {

// The system colours of the standard scheme, by index.
struct SystemColors {
    std::mutex mutex;
    std::array<COLORREF, 25> colors{
        RGB(192, 192, 192), RGB(0, 128, 128),   RGB(0, 0, 128),     RGB(128, 128, 128), RGB(192, 192, 192),
        RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
        RGB(192, 192, 192), RGB(192, 192, 192), RGB(128, 128, 128), RGB(0, 0, 128),     RGB(255, 255, 255),
        RGB(192, 192, 192), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
        RGB(255, 255, 255), RGB(0, 0, 0),       RGB(192, 192, 192), RGB(0, 0, 0),       RGB(255, 255, 225),
    };
};

SystemColors& systemColors()
{
    static SystemColors s;
    return s;
}

} // namespace

} // namespace gdi

using namespace gdi;

HPEN CreatePen(int style, int width, COLORREF color)
{
    if (style < PS_SOLID || style > PS_INSIDEFRAME)
        return nullptr;
    auto pen = std::make_unique<Pen>();
    pen->style = style;
    pen->width = std::max(width, 0);
    pen->color = color & 0xFFFFFF;
    return static_cast<HPEN>(AddObject(std::move(pen)));
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto brush = std::make_unique<Brush>();
    brush->color = color & 0xFFFFFF;
    return static_cast<HBRUSH>(AddObject(std::move(brush)));
}

HBRUSH CreatePatternBrush(HBITMAP hbm)
{
    Bitmap* bitmap = FindBitmap(hbm);
    if (!bitmap)
        return nullptr;
    const Surface& s = bitmap->surface;
    auto brush = std::make_unique<Brush>();
    brush->style = BS_PATTERN;
    brush->patternSource = hbm;
    brush->patternWidth = s.Width();
    brush->patternHeight = s.Height();
    brush->patternMono = s.IsMonoDevice();
    try {
        brush->pattern.reserve(std::size_t(s.Width()) * std::size_t(s.Height()));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            brush->pattern.push_back(brush->patternMono ? s.Value(x, y) : s.ColorOf(s.Value(x, y)));
    return static_cast<HBRUSH>(AddObject(std::move(brush)));
}

int SetBkMode(HDC hdc, int mode)
{
    DC* dc = FindDC(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    const int old = dc->bkMode;
    dc->bkMode = mode;
    return old;
}

int GetBkMode(HDC hdc)
{
    DC* dc = FindDC(hdc);
    return dc ? dc->bkMode : 0;
}

COLORREF GetBkColor(HDC hdc)
{
    DC* dc = FindDC(hdc);
    return dc ? dc->bkColor : 0xFFFFFFFF;
}

COLORREF GetTextColor(HDC hdc)
{
    DC* dc = FindDC(hdc);
    return dc ? dc->textColor : 0xFFFFFFFF;
}

COLORREF GetNearestColor(HDC hdc, COLORREF color)
{
    const Surface* s = DCSurface(hdc);
    if (!s)
        return 0xFFFFFFFF;
    return s->ColorOf(s->ValueFor(color & 0xFFFFFF));
}

DWORD GetSysColor(int index)
{
    SystemColors& s = systemColors();
    std::lock_guard lock(s.mutex);
    return index >= 0 && std::size_t(index) < s.colors.size() ? s.colors[std::size_t(index)] : 0;
}

BOOL SetSysColors(int count, const int* indexes, const COLORREF* colors)
{
    if (count < 0 || (count > 0 && (!indexes || !colors)))
        return FALSE;
    SystemColors& s = systemColors();
    std::lock_guard lock(s.mutex);
    for (int i = 0; i < count; ++i)
        if (indexes[i] >= 0 && std::size_t(indexes[i]) < s.colors.size())
            s.colors[std::size_t(indexes[i])] = colors[i] & 0xFFFFFF;
    return TRUE;
}

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long divisor = c;
    // Halves round away from zero.
    const unsigned long long magnitude =
        (static_cast<unsigned long long>(std::llabs(product)) + static_cast<unsigned long long>(std::llabs(divisor)) / 2) /
        static_cast<unsigned long long>(std::llabs(divisor));
    const bool negative = (product < 0) != (divisor < 0);
    if (magnitude > static_cast<unsigned long long>(std::numeric_limits<int>::max()) + (negative ? 1 : 0))
        return -1;
    return negative ? int(-static_cast<long long>(magnitude)) : int(magnitude);
}
