#pragma once
// The objects behind GDI handles and the table that checks handles. Shared
// by the files of this folder only.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <QFont>
#include <QRegion>

#include <memory>
#include <optional>
#include <vector>

namespace gdi {

enum class Kind { Bitmap, Palette, Brush, Pen, Font, Region };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Kind kind;
    bool stock = false;
    // The object's handle, given when it enters the table.
    HGDIOBJ handle = nullptr;
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
    UINT style = BS_SOLID;
    COLORREF color = 0xFFFFFF;
    // A pattern brush's copy of its bitmap, row by row: bits (0 or 1) of a
    // monochrome bitmap, else colours.
    HBITMAP patternSource = nullptr;
    int patternWidth = 0;
    int patternHeight = 0;
    bool patternMono = false;
    std::vector<COLORREF> pattern;
};

struct Pen : Object {
    Pen() : Object(Kind::Pen) {}
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

struct Font : Object {
    Font() : Object(Kind::Font) {}
    LOGFONT logFont{};
    // The QFont for the DPI it was made at.
    QFont font;
    int fontDpi = 0;
};

struct Region : Object {
    Region() : Object(Kind::Region) {}
    QRegion region;
};

struct DC {
    HDC handle = nullptr;
    bool screen = false;
    Bitmap* bitmap = nullptr;
    // A memory DC's own 1 x 1 monochrome bitmap, deleted with the DC.
    Bitmap* initial = nullptr;
    Palette* palette = nullptr;
    Brush* brush = nullptr;
    Pen* pen = nullptr;
    Font* font = nullptr;
    COLORREF bkColor = 0xFFFFFF;
    COLORREF textColor = 0;
    int bkMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
    // None: the whole surface.
    std::optional<QRegion> clip;
};

// A handle value never given before in this process: a freed handle stays
// unknown, however the memory behind it is reused.
void* NewHandle();

// Handle lookups: null for anything that is not a live object of that kind.
Bitmap* FindBitmap(HGDIOBJ h);
Palette* FindPalette(HGDIOBJ h);
Brush* FindBrush(HGDIOBJ h);
Pen* FindPen(HGDIOBJ h);
Font* FindFont(HGDIOBJ h);
Region* FindRegion(HGDIOBJ h);
DC* FindDC(HDC h);
// The surface a DC draws on.
Surface* DCSurface(HDC h);
// A DC's palette as a colour table (for DIB_PAL_COLORS tables and 8-bit output).
std::vector<RGBQUAD> DCPaletteColors(const DC& dc);

HBITMAP AddBitmap(std::unique_ptr<Bitmap> bitmap);
// Puts a new object in the table; returns its handle.
HGDIOBJ AddObject(std::unique_ptr<Object> object);
// NULLREGION, SIMPLEREGION or COMPLEXREGION.
int RegionKind(const QRegion& region);
// The QFont of a font object at the screen's DPI.
const QFont& FontOf(Font& font);

} // namespace gdi
