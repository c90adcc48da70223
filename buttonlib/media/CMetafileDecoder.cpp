#include "buttonlib/media/CMetafileDecoder.h"

#include <climits>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableSize = 22;
constexpr LONG kDefaultWidth = 320;
constexpr LONG kDefaultHeight = 200;

// Every GDI object the decode holds, released on every path out.
struct Resources {
    HDC screen = nullptr;
    HDC memory = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    HBITMAP bitmap = nullptr;
    HENHMETAFILE metafile = nullptr;
    HPALETTE palette = nullptr;
    HPALETTE oldPalette = nullptr;

    void releaseMetafileAndMemoryDC()
    {
        if (metafile)
            DeleteEnhMetaFile(metafile);
        metafile = nullptr;
        if (memory) {
            if (oldPalette)
                SelectPalette(memory, oldPalette, FALSE);
            if (oldBitmap)
                SelectObject(memory, oldBitmap);
            DeleteDC(memory);
        }
        oldPalette = nullptr;
        oldBitmap = nullptr;
        memory = nullptr;
    }
    ~Resources()
    {
        releaseMetafileAndMemoryDC();
        if (bitmap)
            DeleteObject(bitmap);
        if (palette)
            DeleteObject(palette);
        if (screen)
            ReleaseDC(nullptr, screen);
    }
};

// A size the picture's numbers give, or 0 when they give none; beyond the
// range of a bitmap dimension it is reported as too large.
long long sizeFrom(long long extent, long long perUnit, long long divisor)
{
    if (divisor <= 0)
        return 0;
    const __int128 v = static_cast<__int128>(extent) * perUnit / divisor;
    if (v <= 0)
        return 0;
    return v > LLONG_MAX ? LLONG_MAX : static_cast<long long>(v);
}


bool isEnhancedName(std::string name)
{
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    return name.find(".EMF") != std::string::npos;
}

// The bytes as a metafile held in res; true when a Windows metafile starts
// with the placeable header, which is skipped.
bool openMetafile(Resources& res, const BYTE* data, int size, bool enhanced)
{
    bool placeable = false;
    if (enhanced) {
        res.metafile = SetEnhMetaFileBits(UINT(size), data);
    } else {
        placeable = size >= 4 && Le32(data) == kPlaceableKey;
        const std::size_t skip = placeable ? kPlaceableSize : 0;
        if (std::size_t(size) >= skip)
            res.metafile = SetWinMetaFileBits(UINT(std::size_t(size) - skip), data + skip, res.screen, nullptr);
    }
    if (!res.metafile)
        RaiseError(kErrFormatNotSupported, "Windows Metafile functions failed to load this image.");
    if (GetEnhMetaFileHeader(res.metafile, 0, nullptr) == 0)
        RaiseError(kErrFormatUnknown, "No header information in metafile");
    return placeable;
}

// Whether the records after the header run on to the end record. A file
// with nothing after its header, or whose records stop before the end
// record (between two of them or inside one), has been cut.
bool reachesEndRecord(const BYTE* data, std::size_t size, bool enhanced, bool placeable)
{
    if (enhanced) {
        constexpr DWORD kEndRecord = 14;
        for (std::size_t at = 0; size - at >= 8;) {
            const DWORD type = Le32(data + at);
            const DWORD length = Le32(data + at + 4);
            if (length < 8 || length % 4 != 0 || length > size - at)
                return false;
            if (type == kEndRecord)
                return true;
            at += length;
        }
        return false;
    }
    // After the header (its length in words at its third byte), records of
    // a length in words and a function; the end record's function is 0.
    std::size_t at = placeable ? kPlaceableSize : 0;
    if (size - at < 18)
        return false;
    at += std::size_t(Le16(data + at + 2)) * 2;
    while (at <= size && size - at >= 6) {
        const std::size_t length = std::size_t(Le32(data + at)) * 2;
        if (length < 6 || length > size - at)
            return false;
        if (Le16(data + at + 4) == 0)
            return true;
        at += length;
    }
    return false;
}

struct PixelSize {
    long long width = 0;
    long long height = 0;
};

// The picture's size in pixels, in 64 bits; a divisor of 0 from the file
// gives the default size like any other size that is not positive. The
// picture is drawn on a 32-bit bitmap of its size: one past the ceiling of
// a bitmap is refused before anything is made or drawn.
PixelSize pictureSize(HDC screen, const ENHMETAHEADER& header, const BYTE* data, bool placeable)
{
    PixelSize px;
    if (placeable) {
        const auto box = [&](int at) { return static_cast<std::int16_t>(Le16(data + at)); };
        const long long inch = Le16(data + 14);
        px.width = sizeFrom(static_cast<long long>(box(10)) - box(6), GetDeviceCaps(screen, LOGPIXELSX), inch);
        px.height = sizeFrom(static_cast<long long>(box(12)) - box(8), GetDeviceCaps(screen, LOGPIXELSY), inch);
    } else {
        px.width = sizeFrom(static_cast<long long>(header.rclFrame.right) - header.rclFrame.left, header.szlDevice.cx,
                            static_cast<long long>(header.szlMillimeters.cx) * 100);
        px.height = sizeFrom(static_cast<long long>(header.rclFrame.bottom) - header.rclFrame.top,
                             header.szlDevice.cy, static_cast<long long>(header.szlMillimeters.cy) * 100);
    }
    if (px.width <= 0)
        px.width = kDefaultWidth;
    if (px.height <= 0)
        px.height = kDefaultHeight;
    if (px.width > INT_MAX || px.height > INT_MAX ||
        CImageBitmap::RowBytes(LONG(px.width), 32) > CImageBitmap::kMaxImageBytes / std::size_t(px.height))
        RaiseError(kErrNoMemory, "Cannot allocate memory bitmap.");
    return px;
}

// A memory DC holding a screen-compatible bitmap of the picture's size.
void createCanvas(Resources& res, PixelSize px)
{
    res.memory = CreateCompatibleDC(res.screen);
    if (!res.memory)
        RaiseError(kErrNoMemory, "Cannot allocate device context.");
    res.bitmap = CreateCompatibleBitmap(res.screen, int(px.width), int(px.height));
    if (!res.bitmap)
        RaiseError(kErrNoMemory, "Cannot allocate memory bitmap.");
    res.oldBitmap = SelectObject(res.memory, res.bitmap);
}

// A palette of 1 to 255 entries makes an 8-bit picture with those colours:
// it is realized in the memory DC and given back as 256 table entries.
void selectMetafilePalette(Resources& res, const ENHMETAHEADER& header, std::vector<RGBQUAD>& palette)
{
    const UINT entries = header.nPalEntries;
    if (entries < 1 || entries > 255)
        return;
    std::vector<BYTE> block(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY), 0);
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    GetEnhMetaFilePaletteEntries(res.metafile, entries, logical->palPalEntry);
    res.palette = CreatePalette(logical);
    if (!res.palette)
        RaiseError(kErrNoMemory, "Cannot allocate palette.");
    palette.assign(256, RGBQUAD{0, 0, 0, 0});
    for (std::size_t i = 0; i < 256; ++i) {
        const PALETTEENTRY& e = logical->palPalEntry[i];
        palette[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
    }
    res.oldPalette = SelectPalette(res.memory, res.palette, FALSE);
    RealizePalette(res.memory);
}

// The drawn bitmap's rows into the picture, through GetDIBits as on the
// screen; the 8-bit colour table is the metafile's palette.
void copyRows(Resources& res, CImageBitmap& bitmap, const std::vector<RGBQUAD>& palette, int bpp, PixelSize px)
{
    const long long width = px.width;
    const long long height = px.height;
    const bool withPalette = res.palette != nullptr;
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    bmi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi->bmiHeader.biWidth = LONG(width);
    bmi->bmiHeader.biHeight = LONG(height);
    bmi->bmiHeader.biPlanes = 1;
    bmi->bmiHeader.biBitCount = WORD(bpp);
    bmi->bmiHeader.biCompression = BI_RGB;
    const std::size_t stride = CImageBitmap::RowBytes(LONG(width), WORD(bpp));
    // The bitmap's rows are a bottom-up DIB's, as GetDIBits writes them: they
    // take the rows at once when the bitmap holds them as one block.
    BYTE** lines = bitmap.GetLineArray();
    const bool direct =
        lines && bitmap.GetBits() == lines[height - 1] && std::size_t(bitmap.GetBytesPerLine()) == stride;
    std::unique_ptr<BYTE[]> rows;
    if (!direct)
        rows = std::make_unique_for_overwrite<BYTE[]>(stride * std::size_t(height));
    HPALETTE screenPalette = withPalette ? SelectPalette(res.screen, res.palette, FALSE) : nullptr;
    const int copied = GetDIBits(res.screen, res.bitmap, 0, UINT(height), direct ? bitmap.GetBits() : rows.get(), bmi,
                                 withPalette || bpp <= 8 ? DIB_RGB_COLORS : DIB_PAL_COLORS);
    if (screenPalette)
        SelectPalette(res.screen, screenPalette, FALSE);
    if (copied != int(height))
        RaiseError(kErrNoMemory, "Cannot allocate memory bitmap.");
    for (long long y = 0; y < height; ++y) {
        BYTE* line = lines[y];
        if (!direct)
            std::memcpy(line, rows.get() + stride * std::size_t(height - 1 - y), stride);
        // The picture is opaque: GetDIBits leaves the fourth byte 0.
        if (bpp == 32)
            for (long long x = 0; x < width; ++x)
                line[4 * x + 3] = 0xFF;
    }
    if (bpp == 8)
        bitmap.SetPalette(withPalette ? palette.data()
                                      : reinterpret_cast<const RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER)));
}

} // namespace

void CMetafileDecoder::DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source)
{
    Resources res;
    res.screen = GetDC(nullptr);
    if (!res.screen)
        RaiseError(kErrNoMemory, "Cannot allocate device context.");

    const int size = source->GetBytesLeft();
    const BYTE* data = source->ReadNBytes(size);
    const bool enhanced = isEnhancedName(source->GetName());
    const bool placeable = openMetafile(res, data, size, enhanced);
    if (!reachesEndRecord(data, std::size_t(size), enhanced, placeable))
        CImageSource::RaiseEndOfData();
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(res.metafile, sizeof header, &header);
    const PixelSize px = pictureSize(res.screen, header, data, placeable);

    createCanvas(res, px);
    selectMetafilePalette(res, header, palette);
    const RECT rect{0, 0, LONG(px.width), LONG(px.height)};
    FillRect(res.memory, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    PlayEnhMetaFile(res.memory, res.metafile, &rect);
    res.releaseMetafileAndMemoryDC();

    SetBmpInfo(res.palette ? 8 : 32, bpp);
    bitmap->Create(LONG(px.width), LONG(px.height), WORD(bpp), bpp >= 32);
    copyRows(res, *bitmap, palette, bpp, px);
}
