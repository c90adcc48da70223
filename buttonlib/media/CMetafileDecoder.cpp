#include "buttonlib/media/CMetafileDecoder.h"

#include <climits>
#include <cstring>
#include <memory>

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

} // namespace

void CMetafileDecoder::DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source)
{
    std::string name = source->GetName();
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    const bool enhanced = name.find(".EMF") != std::string::npos;

    Resources res;
    res.screen = GetDC(nullptr);
    if (!res.screen)
        RaiseError(kErrNoMemory, "Cannot allocate device context.");

    const int size = source->GetBytesLeft();
    const BYTE* data = source->ReadNBytes(size);
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
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(res.metafile, sizeof header, &header);

    // The picture's size in pixels, in 64 bits; a divisor of 0 from the file
    // gives the default size like any other size that is not positive.
    long long width = 0, height = 0;
    if (placeable) {
        const auto box = [&](int at) { return static_cast<std::int16_t>(Le16(data + at)); };
        const long long inch = Le16(data + 14);
        width = sizeFrom(static_cast<long long>(box(10)) - box(6), GetDeviceCaps(res.screen, LOGPIXELSX), inch);
        height = sizeFrom(static_cast<long long>(box(12)) - box(8), GetDeviceCaps(res.screen, LOGPIXELSY), inch);
    } else {
        width = sizeFrom(static_cast<long long>(header.rclFrame.right) - header.rclFrame.left, header.szlDevice.cx,
                         static_cast<long long>(header.szlMillimeters.cx) * 100);
        height = sizeFrom(static_cast<long long>(header.rclFrame.bottom) - header.rclFrame.top, header.szlDevice.cy,
                          static_cast<long long>(header.szlMillimeters.cy) * 100);
    }
    if (width <= 0)
        width = kDefaultWidth;
    if (height <= 0)
        height = kDefaultHeight;
    // The picture is drawn on a 32-bit bitmap of its size: one past the
    // ceiling of a bitmap is refused before anything is made or drawn.
    if (width > INT_MAX || height > INT_MAX ||
        CImageBitmap::RowBytes(LONG(width), 32) > CImageBitmap::kMaxImageBytes / std::size_t(height))
        RaiseError(kErrNoMemory, "Cannot allocate memory bitmap.");

    res.memory = CreateCompatibleDC(res.screen);
    if (!res.memory)
        RaiseError(kErrNoMemory, "Cannot allocate device context.");
    res.bitmap = CreateCompatibleBitmap(res.screen, int(width), int(height));
    if (!res.bitmap)
        RaiseError(kErrNoMemory, "Cannot allocate memory bitmap.");
    res.oldBitmap = SelectObject(res.memory, res.bitmap);

    // A palette of 1 to 255 entries makes an 8-bit picture with those colours.
    const UINT entries = header.nPalEntries;
    if (entries >= 1 && entries <= 255) {
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

    const RECT rect{0, 0, LONG(width), LONG(height)};
    FillRect(res.memory, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    PlayEnhMetaFile(res.memory, res.metafile, &rect);
    res.releaseMetafileAndMemoryDC();

    const bool withPalette = res.palette != nullptr;
    SetBmpInfo(withPalette ? 8 : 32, bpp);
    bitmap->Create(LONG(width), LONG(height), WORD(bpp), bpp >= 32);

    // Rows as GetDIBits gives them, bottom-up, then through the line array.
    // The 8-bit colour table is the metafile's palette.
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
    BYTE** lines = bitmap->GetLineArray();
    const bool direct = lines && bitmap->GetBits() == lines[height - 1] &&
                        std::size_t(bitmap->GetBytesPerLine()) == stride;
    std::unique_ptr<BYTE[]> rows;
    if (!direct)
        rows = std::make_unique_for_overwrite<BYTE[]>(stride * std::size_t(height));
    HPALETTE screenPalette = withPalette ? SelectPalette(res.screen, res.palette, FALSE) : nullptr;
    const int copied = GetDIBits(res.screen, res.bitmap, 0, UINT(height), direct ? bitmap->GetBits() : rows.get(), bmi,
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
        bitmap->SetPalette(withPalette ? palette.data() : reinterpret_cast<const RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER)));
}
