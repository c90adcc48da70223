// Packed DIBs to and from device bitmaps, and changes of depth and
// compression: through a device bitmap and a palette when a side has 8 bits
// or fewer or is compressed, through two DIB sections otherwise.

#include "buttonlib/media/DibUtil.h"

#include "buttonlib/media/DibBlock.h"
#include "platform/gdi/Surface.h"
#include "platform/win/WaitCursor.h"

#include <cstring>

namespace {

// The screen DC with a palette selected and realised for a scope.
class ScreenWithPalette {
public:
    explicit ScreenWithPalette(HPALETTE hpal) : dc_(GetDC(nullptr))
    {
        if (hpal) {
            old_ = SelectPalette(dc_, hpal, FALSE);
            RealizePalette(dc_);
        }
    }
    ~ScreenWithPalette()
    {
        if (old_) {
            SelectPalette(dc_, old_, FALSE);
            RealizePalette(dc_);
        }
        ReleaseDC(nullptr, dc_);
    }
    ScreenWithPalette(const ScreenWithPalette&) = delete;
    ScreenWithPalette& operator=(const ScreenWithPalette&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
    HPALETTE old_ = nullptr;
};

bool acceptedTarget(WORD source, WORD bitCount, DWORD compression)
{
    switch (bitCount) {
    case 0:
        return compression == BI_RGB || (compression == BI_RLE4 && source == 4) ||
            (compression == BI_RLE8 && source == 8);
    case 1:
    case 24: return compression == BI_RGB;
    case 4: return compression == BI_RGB || compression == BI_RLE4;
    case 8: return compression == BI_RGB || compression == BI_RLE8;
    case 16:
    case 32: return compression == BI_RGB || compression == BI_BITFIELDS;
    default: return false;
    }
}

} // namespace

HGLOBAL DibFromDeviceBitmap(HBITMAP hbm, DWORD compression, WORD bitCount, HPALETTE hpal)
{
    BITMAP bm{};
    if (!hbm || !GetObject(hbm, sizeof bm, &bm))
        return nullptr;
    if (!hpal)
        hpal = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = bm.bmWidth;
    h.biHeight = bm.bmHeight;
    h.biPlanes = 1;
    h.biBitCount = bitCount ? bitCount : WORD(bm.bmPlanes * bm.bmBitsPixel);
    h.biCompression = compression;
    DWORD count = 0;
    DWORD rows = 0;
    if (!DibCheckHeader(h, &count, &rows))
        return nullptr;

    ScreenWithPalette screen(hpal);
    const DWORD headerBytes = DWORD(sizeof h) + DibTableBytes(&h);
    GlobalBlockOwner block(GlobalAlloc(GHND, headerBytes));
    if (!block.get())
        return nullptr;
    {
        GlobalLockScope lock(block.get());
        std::memcpy(lock.get(), &h, sizeof h);
        GetDIBits(screen.get(), hbm, 0, UINT(h.biHeight), nullptr, reinterpret_cast<BITMAPINFO*>(lock.get()),
                  DIB_RGB_COLORS);
        std::memcpy(&h, lock.get(), sizeof h);
    }
    if (h.biSizeImage == 0) {
        h.biSizeImage = rows;
        if (compression != BI_RGB && compression != BI_BITFIELDS)
            h.biSizeImage = DWORD(static_cast<unsigned long long>(rows) * 3 / 2);
    }
    if (!GlobalReAlloc(block.get(), SIZE_T(headerBytes) + h.biSizeImage, GHND))
        return nullptr;
    GlobalLockScope lock(block.get());
    std::memcpy(lock.get(), &h, sizeof h);
    if (GetDIBits(screen.get(), hbm, 0, UINT(h.biHeight), lock.get() + headerBytes,
                  reinterpret_cast<BITMAPINFO*>(lock.get()), DIB_RGB_COLORS) == 0)
        return nullptr;
    return block.release();
}

HBITMAP DibToDeviceBitmap(HGLOBAL h, HPALETTE hpal)
{
    DibBlock block(h);
    if (!block.Whole())
        return nullptr;
    win::WaitCursor wait;
    ScreenWithPalette screen(hpal);
    return CreateDIBitmap(screen.get(), block.Header(), CBM_INIT, block.Pixels(), block.Info(), DIB_RGB_COLORS);
}

HGLOBAL DibChangeFormat(HGLOBAL h, WORD bitCount, DWORD compression)
{
    BITMAPINFOHEADER source{};
    if (!DibHeaderInfo(h, &source) || source.biSize != sizeof source)
        return nullptr;
    if (!acceptedTarget(source.biBitCount, bitCount, compression))
        return nullptr;
    const WORD depth = bitCount ? bitCount : source.biBitCount;
    if (depth > 8 && source.biBitCount > 8 && compression == BI_RGB && source.biCompression == BI_RGB)
        return DibConvertBySection(h, compression, depth);

    HPALETTE pal = DibMakePaletteFromHandle(h);
    if (!pal)
        return nullptr;
    HGLOBAL result = nullptr;
    if (HBITMAP hbm = DibToDeviceBitmap(h, pal)) {
        result = DibFromDeviceBitmap(hbm, compression, depth, pal);
        DeleteObject(hbm);
    }
    DeleteObject(pal);
    return result;
}

HGLOBAL DibConvertBySection(HGLOBAL h, DWORD compression, WORD bitCount)
{
    DibBlock source(h);
    if (!source.Whole() || compression != BI_RGB || source.Header()->biCompression != BI_RGB ||
        source.Header()->biBitCount < 16 || bitCount < 16)
        return nullptr;
    GlobalBlockOwner target(DibCreateHeader(source.Header()->biWidth, source.Header()->biHeight, bitCount, compression));
    if (!target.get())
        return nullptr;
    GlobalLockScope out(target.get());
    auto* targetInfo = reinterpret_cast<BITMAPINFO*>(out.get());

    HDC screen = GetDC(nullptr);
    HDC fromDC = CreateCompatibleDC(screen);
    HDC toDC = CreateCompatibleDC(screen);
    void* fromBits = nullptr;
    void* toBits = nullptr;
    HBITMAP from = CreateDIBSection(screen, source.Info(), DIB_RGB_COLORS, &fromBits, nullptr, 0);
    HBITMAP to = CreateDIBSection(screen, targetInfo, DIB_RGB_COLORS, &toBits, nullptr, 0);
    HGDIOBJ oldFrom = nullptr;
    HGDIOBJ oldTo = nullptr;
    bool ok = fromDC && toDC && from && to;
    if (ok) {
        std::memcpy(fromBits, source.Pixels(), source.ImageBytes());
        oldFrom = SelectObject(fromDC, from);
        oldTo = SelectObject(toDC, to);
        ok = oldFrom && oldTo &&
            BitBlt(toDC, 0, 0, source.Header()->biWidth, source.Header()->biHeight, fromDC, 0, 0, SRCCOPY);
        GdiFlush();
    }
    if (ok)
        std::memcpy(out.get() + sizeof(BITMAPINFOHEADER), toBits, targetInfo->bmiHeader.biSizeImage);
    if (oldFrom)
        SelectObject(fromDC, oldFrom);
    if (oldTo)
        SelectObject(toDC, oldTo);
    DeleteDC(fromDC);
    DeleteDC(toDC);
    DeleteObject(from);
    DeleteObject(to);
    ReleaseDC(nullptr, screen);
    return ok ? target.release() : nullptr;
}

HGLOBAL DibCreateHeader(int width, int height, WORD bitCount, DWORD compression)
{
    if (bitCount < 16 || compression == BI_RLE8 || compression == BI_RLE4)
        return nullptr;
    if (bitCount != 16 && bitCount != 24 && bitCount != 32)
        return nullptr;
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bitCount;
    h.biCompression = compression;
    DWORD count = 0;
    DWORD rows = 0;
    if (!DibCheckHeader(h, &count, &rows))
        return nullptr;
    h.biSizeImage = rows;
    const DWORD masks = compression == BI_BITFIELDS ? 12 : 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof h + masks + rows);
    if (!block)
        return nullptr;
    GlobalLockScope lock(block);
    std::memcpy(lock.get(), &h, sizeof h);
    if (masks) {
        const DWORD fields[3] = {bitCount == 16 ? 0xF800u : 0xFF0000u, bitCount == 16 ? 0x07E0u : 0x00FF00u,
                                 bitCount == 16 ? 0x001Fu : 0x0000FFu};
        std::memcpy(lock.get() + sizeof h, fields, sizeof fields);
    }
    return block;
}

BOOL DibMapToPalette(HGLOBAL h, HPALETTE hpal)
{
    if (!h || !hpal)
        return FALSE;
    HBITMAP hbm = nullptr;
    {
        DibBlock block(h);
        // The palette's colours go into the table: it must have room for all of them.
        if (!block.Whole() || block.Header()->biCompression != BI_RGB ||
            (block.Header()->biBitCount <= 8 && block.ColorCount() != (DWORD(1) << block.Header()->biBitCount)))
            return FALSE;
        hbm = DibToDeviceBitmap(h, hpal);
    }
    if (!hbm)
        return FALSE;
    DibBlock block(h);
    ScreenWithPalette screen(hpal);
    const int lines = GetDIBits(screen.get(), hbm, 0, UINT(block.Header()->biHeight), block.Pixels(), block.Info(),
                                DIB_RGB_COLORS);
    DeleteObject(hbm);
    return lines ? TRUE : FALSE;
}
