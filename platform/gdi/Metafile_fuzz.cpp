// Feeds arbitrary bytes to both metafile readers (a Windows metafile with
// and without the placeable header's 22 bytes in front) and plays what they
// accept onto a small 32-bit bitmap, with and without the metafile's own
// palette realized in the DC as the decoder does, and onto a small 8-bit
// DIB section, as any other DC owner would.

#include "platform/gdi/Gdi.h"

#include "platform/testing/FuzzGuiApplication.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Text needs the font database.
    tv::fuzzing::DropQtWarnings();
    tv::fuzzing::StartGuiApplication(argc, argv);
    return 0;
}

namespace {

// The metafile's palette of 1 to 255 entries, as the decoder builds it.
HPALETTE paletteOf(HENHMETAFILE h)
{
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(h, sizeof header, &header);
    if (header.nPalEntries < 1 || header.nPalEntries > 255)
        return nullptr;
    std::vector<BYTE> block(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY), 0);
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    GetEnhMetaFilePaletteEntries(h, header.nPalEntries, logical->palPalEntry);
    return CreatePalette(logical);
}

void playOnto(HENHMETAFILE h)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 64, 48);
    HGDIOBJ old = SelectObject(dc, bmp);
    const RECT r{0, 0, 64, 48};
    PlayEnhMetaFile(dc, h, &r);
    if (HPALETTE palette = paletteOf(h)) {
        HPALETTE oldPalette = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PlayEnhMetaFile(dc, h, &r);
        SelectPalette(dc, oldPalette, FALSE);
        DeleteObject(palette);
    }
    SelectObject(dc, old);
    DeleteObject(bmp);

    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    bmi->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 24, 18, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    for (int i = 0; i < 256; ++i)
        bmi->bmiColors[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i * 7), 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, section);
    const RECT small{-3, 2, 20, 30};
    PlayEnhMetaFile(dc, h, &small);
    SelectObject(dc, old);
    DeleteObject(section);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    if (HENHMETAFILE h = SetEnhMetaFileBits(UINT(size), data)) {
        ENHMETAHEADER header;
        GetEnhMetaFileHeader(h, sizeof header, &header);
        PALETTEENTRY entries[256];
        GetEnhMetaFilePaletteEntries(h, 256, entries);
        playOnto(h);
        DeleteEnhMetaFile(h);
    }
    // With and without the placeable header's 22 bytes in front.
    for (size_t skip : {size_t(0), size_t(22)}) {
        if (skip > size)
            break;
        if (HENHMETAFILE h = SetWinMetaFileBits(UINT(size - skip), data + skip, nullptr, nullptr)) {
            playOnto(h);
            DeleteEnhMetaFile(h);
        }
    }
    return 0;
}
