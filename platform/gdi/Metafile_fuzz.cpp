// Feeds arbitrary bytes to both metafile readers and plays what they accept
// onto a small 32-bit bitmap and a small 8-bit DIB section, as the decoder
// and any other DC owner would.

#include "platform/gdi/Gdi.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Text needs a GUI application (for the font database). It lives until
    // the process ends: taken down among the other statics at exit, it
    // would leave Qt's per-thread font caches behind, unreachable.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication* app = new QGuiApplication(*argc, *argv);
    (void)app;
    return 0;
}

namespace {

void playOnto(HENHMETAFILE h)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 64, 48);
    HGDIOBJ old = SelectObject(dc, bmp);
    const RECT r{0, 0, 64, 48};
    PlayEnhMetaFile(dc, h, &r);
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
