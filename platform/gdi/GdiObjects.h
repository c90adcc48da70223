#pragma once
// The objects behind GDI handles and the table that checks handles. Shared
// by the files of this folder only.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <memory>
#include <vector>

namespace gdi {

enum class Kind { Bitmap, Palette, Brush };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Kind kind;
    bool stock = false;
};

struct Bitmap : Object {
    Bitmap() : Object(Kind::Bitmap) {}
    Surface surface;
    bool section = false;
    HDC selectedInto = nullptr;
};

struct Palette : Object {
    Palette() : Object(Kind::Palette) {}
    std::vector<PALETTEENTRY> entries;
};

struct Brush : Object {
    Brush() : Object(Kind::Brush) {}
    COLORREF color = 0xFFFFFF;
};

struct DC {
    bool screen = false;
    Bitmap* bitmap = nullptr;
    // A memory DC's own 1 x 1 monochrome bitmap, deleted with the DC.
    Bitmap* initial = nullptr;
    Palette* palette = nullptr;
    Brush* brush = nullptr;
    COLORREF bkColor = 0xFFFFFF;
    COLORREF textColor = 0;
};

// Handle lookups: null for anything that is not a live object of that kind.
Bitmap* FindBitmap(HGDIOBJ h);
Palette* FindPalette(HGDIOBJ h);
DC* FindDC(HDC h);
// The surface a DC draws on.
Surface* DCSurface(HDC h);
// A DC's palette as a colour table (for DIB_PAL_COLORS tables and 8-bit output).
std::vector<RGBQUAD> DCPaletteColors(const DC& dc);

HBITMAP AddBitmap(std::unique_ptr<Bitmap> bitmap);

} // namespace gdi
