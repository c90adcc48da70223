#include "platform/gdi/GdiObjects.h"

#include "platform/gdi/Fonts.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace gdi {

namespace {

// The twenty static colours of the default palette.
constexpr PALETTEENTRY kDefaultPalette[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
    {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
    {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
    {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

struct Table {
    std::mutex mutex;
    std::unordered_map<void*, std::unique_ptr<Object>> objects;
    std::unordered_map<void*, std::unique_ptr<DC>> dcs;
    Palette* defaultPalette = nullptr;
    Brush* whiteBrush = nullptr;
    Brush* blackBrush = nullptr;
    Brush* nullBrush = nullptr;
    Pen* blackPen = nullptr;
    Pen* nullPen = nullptr;
    Font* guiFont = nullptr;
    Bitmap* screen = nullptr;
};

std::atomic<int> screenDpi{kScreenDpi};

template <typename T>
T* addStock(Table& t, std::unique_ptr<T> obj)
{
    obj->stock = true;
    obj->handle = NewHandle();
    T* raw = obj.get();
    t.objects.emplace(raw->handle, std::move(obj));
    return raw;
}

Table& table()
{
    static Table* t = [] {
        static Table instance;
        auto pal = std::make_unique<Palette>();
        pal->entries.assign(std::begin(kDefaultPalette), std::end(kDefaultPalette));
        instance.defaultPalette = addStock(instance, std::move(pal));
        auto white = std::make_unique<Brush>();
        white->color = 0xFFFFFF;
        instance.whiteBrush = addStock(instance, std::move(white));
        auto black = std::make_unique<Brush>();
        black->color = 0;
        instance.blackBrush = addStock(instance, std::move(black));
        auto hollow = std::make_unique<Brush>();
        hollow->style = BS_NULL;
        instance.nullBrush = addStock(instance, std::move(hollow));
        auto blackPen = std::make_unique<Pen>();
        instance.blackPen = addStock(instance, std::move(blackPen));
        auto nullPen = std::make_unique<Pen>();
        nullPen->style = PS_NULL;
        instance.nullPen = addStock(instance, std::move(nullPen));
        // The dialog font: 8 points at 96 dpi.
        auto gui = std::make_unique<Font>();
        gui->logFont.lfHeight = -11;
        gui->logFont.lfWeight = FW_NORMAL;
        gui->logFont.lfCharSet = DEFAULT_CHARSET;
        std::strcpy(gui->logFont.lfFaceName, "MS Shell Dlg");
        instance.guiFont = addStock(instance, std::move(gui));
        auto screen = std::make_unique<Bitmap>();
        screen->surface.CreateDevice(kScreenWidth, kScreenHeight, false);
        instance.screen = addStock(instance, std::move(screen));
        return &instance;
    }();
    return *t;
}

Object* findObject(Table& t, void* h)
{
    const auto it = t.objects.find(h);
    return it == t.objects.end() ? nullptr : it->second.get();
}

// Puts an object in a DC's slot for its kind; returns the handle of the one
// it replaces.
template <typename T>
HGDIOBJ replaceIn(T*& slot, Object* o)
{
    T* old = slot;
    slot = static_cast<T*>(o);
    return old ? old->handle : nullptr;
}

HDC newDC(bool screen)
{
    Table& t = table();
    auto dc = std::make_unique<DC>();
    dc->screen = screen;
    dc->palette = t.defaultPalette;
    dc->brush = t.whiteBrush;
    dc->pen = t.blackPen;
    dc->font = t.guiFont;
    HDC h = static_cast<HDC>(NewHandle());
    dc->handle = h;
    std::lock_guard lock(t.mutex);
    if (screen) {
        dc->bitmap = t.screen;
    } else {
        // A memory DC starts with a 1 x 1 monochrome bitmap.
        auto mono = std::make_unique<Bitmap>();
        mono->surface.CreateDevice(1, 1, true);
        mono->stock = true;
        mono->handle = NewHandle();
        mono->selectedInto = h;
        dc->bitmap = mono.get();
        dc->initial = mono.get();
        t.objects.emplace(mono->handle, std::move(mono));
    }
    t.dcs.emplace(h, std::move(dc));
    return h;
}

} // namespace

void* NewHandle()
{
    // Counted from far above the small values SelectObject gives for
    // regions, in steps that keep the low bits clear like an address.
    static std::atomic<std::uintptr_t> next{0x10000};
    return reinterpret_cast<void*>(next.fetch_add(0x10));
}

template <typename T>
T* findKind(HGDIOBJ h, Kind kind)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    Object* o = findObject(t, h);
    return o && o->kind == kind ? static_cast<T*>(o) : nullptr;
}

Bitmap* FindBitmap(HGDIOBJ h) { return findKind<Bitmap>(h, Kind::Bitmap); }
Palette* FindPalette(HGDIOBJ h) { return findKind<Palette>(h, Kind::Palette); }
Brush* FindBrush(HGDIOBJ h) { return findKind<Brush>(h, Kind::Brush); }
Pen* FindPen(HGDIOBJ h) { return findKind<Pen>(h, Kind::Pen); }
Font* FindFont(HGDIOBJ h) { return findKind<Font>(h, Kind::Font); }
Region* FindRegion(HGDIOBJ h) { return findKind<Region>(h, Kind::Region); }

DC* FindDC(HDC h)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.dcs.find(h);
    return it == t.dcs.end() ? nullptr : it->second.get();
}

Surface* DCSurface(HDC h)
{
    DC* dc = FindDC(h);
    return dc && dc->bitmap ? &dc->bitmap->surface : nullptr;
}

std::vector<RGBQUAD> DCPaletteColors(const DC& dc)
{
    std::vector<RGBQUAD> out;
    if (dc.palette)
        for (const PALETTEENTRY& e : dc.palette->entries)
            out.push_back(RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0});
    return out;
}

HBITMAP AddBitmap(std::unique_ptr<Bitmap> bitmap)
{
    return static_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

HGDIOBJ AddObject(std::unique_ptr<Object> object)
{
    Table& t = table();
    HGDIOBJ h = NewHandle();
    object->handle = h;
    std::lock_guard lock(t.mutex);
    t.objects.emplace(h, std::move(object));
    return h;
}

const QFont& FontOf(Font& font)
{
    const int dpi = ScreenDpi();
    if (font.fontDpi != dpi) {
        font.font = FontFromLogFont(font.logFont, dpi);
        font.fontDpi = dpi;
    }
    return font.font;
}

void SetScreenDpi(int dpi)
{
    screenDpi = dpi > 0 ? dpi : kScreenDpi;
}

int ScreenDpi()
{
    return screenDpi;
}

} // namespace gdi

using namespace gdi;

HDC GetDC(HWND)
{
    // Every window draws on the one virtual screen.
    return newDC(true);
}

int ReleaseDC(HWND, HDC hdc)
{
    DC* dc = FindDC(hdc);
    if (!dc || !dc->screen)
        return 0;
    Table& t = table();
    std::lock_guard lock(t.mutex);
    t.dcs.erase(hdc);
    return 1;
}

HDC CreateCompatibleDC(HDC hdc)
{
    if (hdc && !FindDC(hdc))
        return nullptr;
    return newDC(false);
}

BOOL DeleteDC(HDC hdc)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.dcs.find(hdc);
    if (it == t.dcs.end())
        return FALSE;
    DC* dc = it->second.get();
    if (dc->bitmap && !dc->screen)
        dc->bitmap->selectedInto = nullptr;
    // The DC's own initial bitmap goes with it, unless another DC holds it.
    if (dc->initial && !dc->initial->selectedInto)
        t.objects.erase(dc->initial->handle);
    t.dcs.erase(it);
    return TRUE;
}

int GetDeviceCaps(HDC hdc, int index)
{
    if (!FindDC(hdc))
        return 0;
    switch (index) {
    case HORZRES: return kScreenWidth;
    case VERTRES: return kScreenHeight;
    case HORZSIZE: return kScreenWidth * 254 / (ScreenDpi() * 10);
    case VERTSIZE: return kScreenHeight * 254 / (ScreenDpi() * 10);
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case SIZEPALETTE: return 0;
    case LOGPIXELSX:
    case LOGPIXELSY: return ScreenDpi();
    case RASTERCAPS: return RC_BITBLT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    default: return 0;
    }
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.dcs.find(hdc);
    Object* o = findObject(t, obj);
    if (it == t.dcs.end() || !o)
        return nullptr;
    DC* dc = it->second.get();
    switch (o->kind) {
    case Kind::Bitmap: {
        auto* b = static_cast<Bitmap*>(o);
        if (dc->screen || b == t.screen || (b->selectedInto && b->selectedInto != hdc))
            return nullptr;
        Bitmap* old = dc->bitmap;
        if (old)
            old->selectedInto = nullptr;
        b->selectedInto = hdc;
        dc->bitmap = b;
        return old ? old->handle : nullptr;
    }
    case Kind::Brush: return replaceIn(dc->brush, o);
    case Kind::Pen: return replaceIn(dc->pen, o);
    case Kind::Font: return replaceIn(dc->font, o);
    case Kind::Region: {
        // Selecting a region sets a copy as the clip region and returns its kind.
        const QRegion& r = static_cast<Region*>(o)->region;
        dc->clip = r;
        return reinterpret_cast<HGDIOBJ>(std::intptr_t(RegionKind(r)));
    }
    case Kind::Palette:
        // Palettes are selected with SelectPalette.
        return nullptr;
    }
    return nullptr;
}

BOOL DeleteObject(HGDIOBJ obj)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    Object* o = findObject(t, obj);
    if (!o)
        return FALSE;
    if (o->stock)
        return TRUE;
    if (o->kind == Kind::Bitmap && static_cast<Bitmap*>(o)->selectedInto)
        return FALSE;
    for (auto& [h, dc] : t.dcs) {
        if (dc->palette == o)
            return FALSE;
        if (dc->brush == o || dc->pen == o || dc->font == o)
            return FALSE;
    }
    t.objects.erase(obj);
    return TRUE;
}

HGDIOBJ GetStockObject(int index)
{
    Table& t = table();
    switch (index) {
    case WHITE_BRUSH: return t.whiteBrush->handle;
    case BLACK_BRUSH: return t.blackBrush->handle;
    case NULL_BRUSH: return t.nullBrush->handle;
    case BLACK_PEN: return t.blackPen->handle;
    case NULL_PEN: return t.nullPen->handle;
    case DEFAULT_GUI_FONT: return t.guiFont->handle;
    case DEFAULT_PALETTE: return t.defaultPalette->handle;
    default: return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type)
{
    const DC* dc = FindDC(hdc);
    if (!dc)
        return nullptr;
    const auto handle = [](const Object* o) { return o ? o->handle : nullptr; };
    switch (type) {
    case OBJ_PEN: return handle(dc->pen);
    case OBJ_BRUSH: return handle(dc->brush);
    case OBJ_PAL: return handle(dc->palette);
    case OBJ_FONT: return handle(dc->font);
    case OBJ_BITMAP: return handle(dc->bitmap);
    default: return nullptr;
    }
}

int GetObject(HGDIOBJ obj, int size, void* out)
{
    if (Bitmap* b = FindBitmap(obj)) {
        if (!out)
            return int(sizeof(BITMAP));
        if (size < int(sizeof(BITMAP)))
            return 0;
        const Surface& s = b->surface;
        BITMAP bm{};
        bm.bmWidth = s.Width();
        bm.bmHeight = s.Height();
        // Device bitmaps report rows padded to 2 bytes, sections to 4.
        bm.bmWidthBytes = b->section ? LONG(s.Stride()) : LONG(((std::size_t(s.Width()) * s.Bpp() + 15) / 16) * 2);
        bm.bmPlanes = 1;
        bm.bmBitsPixel = WORD(s.Bpp());
        bm.bmBits = b->section ? s.Bits() : nullptr;
        *static_cast<BITMAP*>(out) = bm;
        return int(sizeof(BITMAP));
    }
    // The logical description of a brush, pen or font.
    const auto copyOut = [&](const auto& value) {
        if (!out)
            return int(sizeof value);
        if (size < int(sizeof value))
            return 0;
        std::memcpy(out, &value, sizeof value);
        return int(sizeof value);
    };
    if (Brush* b = FindBrush(obj))
        return copyOut(LOGBRUSH{b->style, b->color, reinterpret_cast<std::uintptr_t>(b->patternSource)});
    if (Pen* p = FindPen(obj))
        return copyOut(LOGPEN{UINT(p->style), POINT{p->width, 0}, p->color});
    if (Font* f = FindFont(obj))
        return copyOut(f->logFont);
    if (Palette* p = FindPalette(obj)) {
        if (!out || size < int(sizeof(WORD)))
            return out ? 0 : int(sizeof(WORD));
        *static_cast<WORD*>(out) = WORD(p->entries.size());
        return int(sizeof(WORD));
    }
    return 0;
}

COLORREF SetBkColor(HDC hdc, COLORREF color)
{
    DC* dc = FindDC(hdc);
    if (!dc)
        return 0xFFFFFFFF;
    const COLORREF old = dc->bkColor;
    dc->bkColor = color & 0xFFFFFF;
    return old;
}

COLORREF SetTextColor(HDC hdc, COLORREF color)
{
    DC* dc = FindDC(hdc);
    if (!dc)
        return 0xFFFFFFFF;
    const COLORREF old = dc->textColor;
    dc->textColor = color & 0xFFFFFF;
    return old;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height)
{
    DC* dc = FindDC(hdc);
    if (!dc)
        return nullptr;
    // Compatible with a memory DC holding its initial bitmap means monochrome.
    const bool mono = !dc->screen && dc->bitmap && dc->bitmap->surface.IsMonoDevice();
    auto b = std::make_unique<Bitmap>();
    if (!b->surface.CreateDevice(width, height, mono))
        return nullptr;
    return AddBitmap(std::move(b));
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits)
{
    if (planes != 1 || (bitCount != 1 && bitCount != 32))
        return nullptr;
    auto b = std::make_unique<Bitmap>();
    if (!b->surface.CreateDevice(width, height, bitCount == 1))
        return nullptr;
    if (bits) {
        const std::size_t rowBytes = ((std::size_t(width) * bitCount + 15) / 16) * 2;
        const auto* src = static_cast<const BYTE*>(bits);
        for (int y = 0; y < height; ++y)
            std::copy_n(src + rowBytes * std::size_t(y), std::min(rowBytes, b->surface.Stride()), b->surface.Row(y));
    }
    return AddBitmap(std::move(b));
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE, DWORD)
{
    if (bits)
        *bits = nullptr;
    if (!bmi || bmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || bmi->bmiHeader.biPlanes != 1)
        return nullptr;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    const int count = ColorCount(h);
    if (count < 0)
        return nullptr;
    const BYTE* after = reinterpret_cast<const BYTE*>(bmi) + h.biSize;
    std::vector<RGBQUAD> colors;
    if (h.biBitCount <= 8) {
        if (usage == DIB_PAL_COLORS) {
            DC* dc = FindDC(hdc);
            const std::vector<RGBQUAD> pal = dc ? DCPaletteColors(*dc) : std::vector<RGBQUAD>{};
            const auto* idx = reinterpret_cast<const WORD*>(after);
            for (int i = 0; i < count; ++i)
                colors.push_back(idx[i] < pal.size() ? pal[idx[i]] : RGBQUAD{0, 0, 0, 0});
        } else {
            const auto* table = reinterpret_cast<const RGBQUAD*>(after);
            colors.assign(table, table + count);
        }
    }
    auto b = std::make_unique<Bitmap>();
    b->section = true;
    if (!b->surface.CreateSection(h, colors.data(), int(colors.size()), reinterpret_cast<const DWORD*>(after)))
        return nullptr;
    if (bits)
        *bits = b->surface.Bits();
    return AddBitmap(std::move(b));
}

HPALETTE CreatePalette(const LOGPALETTE* plpal)
{
    if (!plpal || plpal->palNumEntries == 0)
        return nullptr;
    auto p = std::make_unique<Palette>();
    const PALETTEENTRY* e = plpal->palPalEntry;
    p->entries.assign(e, e + plpal->palNumEntries);
    return static_cast<HPALETTE>(AddObject(std::move(p)));
}

UINT GetPaletteEntries(HPALETTE hpal, UINT start, UINT count, PALETTEENTRY* entries)
{
    Palette* p = FindPalette(hpal);
    if (!p)
        return 0;
    const UINT n = UINT(p->entries.size());
    if (!entries)
        return n;
    if (start >= n)
        return 0;
    const UINT k = std::min(count, n - start);
    std::copy_n(p->entries.begin() + start, k, entries);
    return k;
}

UINT SetPaletteEntries(HPALETTE hpal, UINT start, UINT count, const PALETTEENTRY* entries)
{
    Palette* p = FindPalette(hpal);
    if (!p || p->stock || !entries || start >= p->entries.size())
        return 0;
    const UINT k = std::min(count, UINT(p->entries.size()) - start);
    std::copy_n(entries, k, p->entries.begin() + start);
    return k;
}

UINT GetNearestPaletteIndex(HPALETTE hpal, COLORREF color)
{
    Palette* p = FindPalette(hpal);
    if (!p)
        return 0xFFFFFFFF;
    std::vector<RGBQUAD> q;
    for (const PALETTEENTRY& e : p->entries)
        q.push_back(RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0});
    return NearestIndex(q.data(), q.size(), color);
}

HPALETTE SelectPalette(HDC hdc, HPALETTE hpal, BOOL)
{
    DC* dc = FindDC(hdc);
    Palette* p = FindPalette(hpal);
    if (!dc || !p)
        return nullptr;
    Palette* old = dc->palette;
    dc->palette = p;
    return old ? static_cast<HPALETTE>(old->handle) : nullptr;
}

UINT RealizePalette(HDC hdc)
{
    // A true-colour screen has no system palette to map into.
    return FindDC(hdc) ? 0 : 0xFFFFFFFF;
}
