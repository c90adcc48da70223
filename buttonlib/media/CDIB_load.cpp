// The picture and the outside: device bitmaps, image files of every format
// the codecs read, and PNG and JPEG export.

#include "buttonlib/media/CDIB.h"

#include "buttonlib/media/CAnyImageDecoder.h"
#include "buttonlib/media/CDIBSectionBitmap.h"
#include "buttonlib/media/CJpegEncoder.h"
#include "buttonlib/media/CPngEncoder.h"
#include "buttonlib/media/DibUtil.h"

#include <climits>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD kHeaderBytes = sizeof(BITMAPINFOHEADER);

// The screen DC for a scope, with the default palette selected when asked.
class ScreenDC {
public:
    explicit ScreenDC(bool defaultPalette) : dc_(GetDC(nullptr))
    {
        if (defaultPalette) {
            old_ = SelectPalette(dc_, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
            RealizePalette(dc_);
        }
    }
    ~ScreenDC()
    {
        if (old_) {
            SelectPalette(dc_, old_, FALSE);
            RealizePalette(dc_);
        }
        ReleaseDC(nullptr, dc_);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
    HPALETTE old_ = nullptr;
};

const RGBQUAD* defaultTable(DWORD count)
{
    return count == 2 ? CDIB::kDefaultColors2.data()
        : count == 16 ? CDIB::kDefaultColors16.data()
                      : CDIB::kDefaultColors256.data();
}

} // namespace

BOOL CDIB::Create(HBITMAP hbm, const RGBQUAD* colors)
{
    BITMAP bm{};
    if (!hbm || !GetObject(hbm, sizeof bm, &bm))
        return FALSE;
    const int bits = bm.bmPlanes * bm.bmBitsPixel;
    const WORD depth = bits <= 1 ? 1 : bits <= 4 ? 4 : bits <= 8 ? 8 : bits <= 16 ? 16 : 24;
    BITMAPINFOHEADER h{};
    h.biSize = kHeaderBytes;
    h.biWidth = bm.bmWidth;
    h.biHeight = bm.bmHeight;
    h.biPlanes = 1;
    h.biBitCount = depth;
    DWORD count = 0;
    DWORD imageBytes = 0;
    if (h.biWidth <= 0 || h.biHeight <= 0)
        return FALSE;
    if (!DibCheckHeader(h, &count, &imageBytes))
        AfxThrowMemoryException();

    ScreenDC screen(colors == nullptr);
    GlobalBlockOwner block(GlobalAlloc(GHND, kHeaderBytes + 4 * count));
    if (!block.get())
        AfxThrowMemoryException();
    {
        GlobalLockScope lock(block.get());
        std::memcpy(lock.get(), &h, sizeof h);
        GetDIBits(screen.get(), hbm, 0, UINT(h.biHeight), nullptr, reinterpret_cast<BITMAPINFO*>(lock.get()),
                  DIB_RGB_COLORS);
    }
    if (!GlobalReAlloc(block.get(), kHeaderBytes + 4 * count + imageBytes, GHND))
        AfxThrowMemoryException();
    {
        GlobalLockScope lock(block.get());
        auto* info = reinterpret_cast<BITMAPINFO*>(lock.get());
        std::memcpy(&info->bmiHeader, &h, sizeof h);
        if (GetDIBits(screen.get(), hbm, 0, UINT(h.biHeight), lock.get() + kHeaderBytes + 4 * count, info,
                      DIB_RGB_COLORS) != h.biHeight)
            AfxThrowMemoryException();
        // The rows as this picture holds them: no compression, the table's size in biClrUsed.
        info->bmiHeader.biCompression = BI_RGB;
        info->bmiHeader.biSizeImage = imageBytes;
        info->bmiHeader.biClrUsed = count;
        info->bmiHeader.biClrImportant = 0;
        if (count)
            std::memcpy(lock.get() + kHeaderBytes, colors ? colors : defaultTable(count), 4 * count);
    }
    Adopt(block.release(), count, imageBytes);
    return TRUE;
}

HBITMAP CDIB::CreateBitmap(int* bitCount) const
{
    if (bitCount)
        *bitCount = 0;
    if (!m_pInfo)
        return nullptr;
    HDC screen = GetDC(nullptr);
    // A memory DC still holding its first bitmap makes monochrome bitmaps.
    HDC mono = m_pInfo->bmiHeader.biBitCount == 1 ? CreateCompatibleDC(screen) : nullptr;
    HBITMAP hbm = CreateDIBitmap(mono ? mono : screen, &m_pInfo->bmiHeader, CBM_INIT, m_pBits, m_pInfo, DIB_RGB_COLORS);
    if (mono)
        DeleteDC(mono);
    ReleaseDC(nullptr, screen);
    if (hbm && bitCount)
        *bitCount = m_pInfo->bmiHeader.biBitCount;
    return hbm;
}

BOOL CDIB::Decode(const char* path, const void* data, DWORD size, bool keepTable)
{
    CDIBSectionBitmap decoded;
    CAnyImageDecoder decoder;
    try {
        if (path) {
            decoder.MakeBmpFromFile(path, &decoded);
        } else {
            if (!data || size > DWORD(INT_MAX))
                return FALSE;
            decoder.MakeBmpFromMemory(static_cast<const BYTE*>(data), int(size), &decoded);
        }
    } catch (const CTextException&) {
        return FALSE;
    }
    const int bpp = decoded.GetBitsPerPixel();
    const int source = decoder.GetSourceBpp();
    try {
        if (!keepTable && bpp == 8 && (source == 1 || source == 4)) {
            // Palette PNGs of 1 and 4 bits keep their indices at their own
            // depth, with the default table of that depth.
            const LONG w = decoded.GetWidth(), h = decoded.GetHeight();
            const LONG dpiX = m_nDpiX, dpiY = m_nDpiY;
            BITMAPINFO templ{};
            templ.bmiHeader.biPlanes = 1;
            templ.bmiHeader.biBitCount = WORD(source);
            if (!CreateFromHeader(w, h, &templ, RGB(0, 0, 0)))
                return FALSE;
            m_nDpiX = dpiX;
            m_nDpiY = dpiY;
            const DWORD rowBytes = GetRowBytes();
            const std::size_t decodedRow = std::size_t(decoded.GetBytesPerLine());
            for (LONG y = 0; y < h; ++y) {
                const BYTE* from = decoded.GetBits() + decodedRow * std::size_t(y);
                BYTE* to = m_pBits + std::size_t(rowBytes) * std::size_t(y);
                std::memset(to, 0, rowBytes);
                for (LONG x = 0; x < w; ++x) {
                    if (source == 1)
                        to[x >> 3] |= BYTE((from[x] & 1) << (7 - (x & 7)));
                    else
                        to[x >> 1] |= BYTE((from[x] & 0xF) << ((x & 1) ? 0 : 4));
                }
            }
            return TRUE;
        }
        std::vector<RGBQUAD> table;
        if (bpp <= 8 && decoded.GetPalette()) {
            table.assign(decoded.GetPalette(), decoded.GetPalette() + decoded.GetPaletteSize());
            for (RGBQUAD& q : table)
                q.rgbReserved = 0;
        }
        return Create(decoded.GetHandle(), table.empty() ? nullptr : table.data());
    } catch (const CMemoryException&) {
        // A picture too large for memory is a load that failed.
        return FALSE;
    }
}

BOOL CDIB::LoadImage(LPCTSTR path)
{
    return path ? Decode(path, nullptr, 0, false) : FALSE;
}

BOOL CDIB::LoadImage(const void* data, DWORD size)
{
    return Decode(nullptr, data, size, false);
}

BOOL CDIB::LoadImageRaw(LPCTSTR path)
{
    return path ? Decode(path, nullptr, 0, true) : FALSE;
}

BOOL CDIB::LoadImageRaw(const void* data, DWORD size)
{
    return Decode(nullptr, data, size, true);
}

namespace {

// Writes the picture's device bitmap through an encoder.
BOOL encode(const CDIB& dib, CImageEncoder& encoder, LPCTSTR path)
{
    if (!path || !*path)
        return FALSE;
    HBITMAP hbm = dib.CreateBitmap(nullptr);
    if (!hbm)
        return FALSE;
    BOOL ok = TRUE;
    try {
        CGlobalDIB bitmap;
        bitmap.CreateFromHBITMAP(hbm);
        encoder.MakeFileFromBmp(path, &bitmap);
    } catch (const CTextException&) {
        ok = FALSE;
    }
    DeleteObject(hbm);
    return ok;
}

} // namespace

BOOL CDIB::SavePNG(LPCTSTR path)
{
    CPngEncoder encoder;
    return encode(*this, encoder, path);
}

BOOL CDIB::SaveJPEG(LPCTSTR path)
{
    CJpegEncoder encoder;
    return encode(*this, encoder, path);
}
