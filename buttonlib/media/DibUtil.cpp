// Header queries, the shared header check, block copies and mask helpers.

#include "buttonlib/media/DibUtil.h"

#include "platform/gdi/Surface.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

bool isCoreHeader(const void* header)
{
    DWORD size;
    std::memcpy(&size, header, sizeof size);
    return size == sizeof(BITMAPCOREHEADER);
}

// The block holds at least a header of the form its first DWORD names.
bool hasHeader(HGLOBAL h, const BYTE* p)
{
    const SIZE_T size = GlobalSize(h);
    return p && size >= sizeof(DWORD) &&
        size >= (isCoreHeader(p) ? sizeof(BITMAPCOREHEADER) : sizeof(BITMAPINFOHEADER));
}

} // namespace

BITMAPFILEHEADER DibParseFileHeader(const BYTE* b)
{
    const auto le16 = [&](int at) { return WORD(b[at] | (b[at + 1] << 8)); };
    const auto le32 = [&](int at) { return DWORD(le16(at)) | (DWORD(le16(at + 2)) << 16); };
    return BITMAPFILEHEADER{le16(0), le32(2), le16(6), le16(8), le32(10)};
}

void DibFormatFileHeader(const BITMAPFILEHEADER& fh, BYTE* b)
{
    const auto put = [&](int at, DWORD v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + i] = BYTE(v >> (8 * i));
    };
    put(0, fh.bfType, 2);
    put(2, fh.bfSize, 4);
    put(6, fh.bfReserved1, 2);
    put(8, fh.bfReserved2, 2);
    put(10, fh.bfOffBits, 4);
}

bool DibCheckHeader(const BITMAPINFOHEADER& h, DWORD* colorCount, DWORD* imageBytes)
{
    if (h.biWidth <= 0 || h.biHeight <= 0)
        return false;
    switch (h.biBitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: return false;
    }
    const DWORD count = h.biClrUsed ? h.biClrUsed : h.biBitCount <= 8 ? DWORD(1) << h.biBitCount : 0;
    if (count > 256)
        return false;
    const std::size_t stride = gdi::Surface::StrideFor(h.biWidth, h.biBitCount);
    if (stride > gdi::Surface::kMaxBytes / std::size_t(h.biHeight))
        return false;
    *colorCount = count;
    *imageBytes = DWORD(stride * std::size_t(h.biHeight));
    return true;
}

WORD DibColorCount(const void* header)
{
    if (isCoreHeader(header)) {
        const auto* core = static_cast<const BITMAPCOREHEADER*>(header);
        return core->bcBitCount <= 8 ? WORD(1u << core->bcBitCount) : 0;
    }
    const auto* info = static_cast<const BITMAPINFOHEADER*>(header);
    if (info->biClrUsed)
        return WORD(info->biClrUsed);
    return info->biBitCount <= 8 ? WORD(1u << info->biBitCount) : 0;
}

DWORD DibTableBytes(const void* header)
{
    const DWORD count = DibColorCount(header);
    if (isCoreHeader(header))
        return 3 * count;
    const auto* info = static_cast<const BITMAPINFOHEADER*>(header);
    return 4 * count + (info->biCompression == BI_BITFIELDS ? 12 : 0);
}

BOOL DibHeaderInfo(HGLOBAL h, BITMAPINFOHEADER* out)
{
    if (!h || !out)
        return FALSE;
    GlobalLockScope lock(h);
    if (!hasHeader(h, lock.get()))
        return FALSE;
    *out = BITMAPINFOHEADER{};
    std::memcpy(out, lock.get(), std::min<SIZE_T>(GlobalSize(h), sizeof(BITMAPINFOHEADER)));
    if (out->biSize == sizeof(BITMAPINFOHEADER)) {
        if (out->biSizeImage == 0 && out->biWidth > 0 && out->biHeight > 0)
            out->biSizeImage = DWORD(gdi::Surface::StrideFor(out->biWidth, out->biBitCount) * DWORD(out->biHeight));
        if (out->biClrUsed == 0)
            out->biClrUsed = DibColorCount(out);
    }
    return TRUE;
}

BOOL DibGetSize(HGLOBAL h, int* width, int* height)
{
    GlobalLockScope lock(h);
    if (!hasHeader(h, lock.get()) || !width || !height)
        return FALSE;
    if (isCoreHeader(lock.get())) {
        const auto* core = reinterpret_cast<const BITMAPCOREHEADER*>(lock.get());
        *width = core->bcWidth;
        *height = core->bcHeight;
    } else {
        const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(lock.get());
        *width = info->biWidth;
        *height = info->biHeight;
    }
    return TRUE;
}

DWORD DibGetColorsUsed(HGLOBAL h)
{
    GlobalLockScope lock(h);
    if (!hasHeader(h, lock.get()) || isCoreHeader(lock.get()))
        return 0;
    return reinterpret_cast<const BITMAPINFOHEADER*>(lock.get())->biClrUsed;
}

DWORD DibGetCompression(HGLOBAL h)
{
    GlobalLockScope lock(h);
    if (!hasHeader(h, lock.get()) || isCoreHeader(lock.get()))
        return 0;
    return reinterpret_cast<const BITMAPINFOHEADER*>(lock.get())->biCompression;
}

WORD DibGetBitCount(HGLOBAL h)
{
    GlobalLockScope lock(h);
    if (!hasHeader(h, lock.get()))
        return 0;
    if (isCoreHeader(lock.get()))
        return reinterpret_cast<const BITMAPCOREHEADER*>(lock.get())->bcBitCount;
    return reinterpret_cast<const BITMAPINFOHEADER*>(lock.get())->biBitCount;
}

BOOL DibLock(HGLOBAL h, BITMAPINFOHEADER** header, void** table, BYTE** pixels)
{
    BYTE* p = static_cast<BYTE*>(GlobalLock(h));
    if (!p)
        return FALSE;
    const SIZE_T size = GlobalSize(h);
    DWORD headerSize = 0;
    if (size >= sizeof(DWORD))
        std::memcpy(&headerSize, p, sizeof headerSize);
    if ((headerSize != sizeof(BITMAPINFOHEADER) && headerSize != sizeof(BITMAPCOREHEADER)) || size < headerSize ||
        size - headerSize < DibTableBytes(p)) {
        GlobalUnlock(h);
        return FALSE;
    }
    if (header)
        *header = reinterpret_cast<BITMAPINFOHEADER*>(p);
    if (table)
        *table = p + headerSize;
    if (pixels)
        *pixels = p + headerSize + DibTableBytes(p);
    return TRUE;
}

HGLOBAL DibCopyHandle(HGLOBAL h)
{
    const SIZE_T size = GlobalSize(h);
    GlobalLockScope src(h);
    if (!src.get())
        return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy)
        return nullptr;
    GlobalLockScope dst(copy);
    std::memcpy(dst.get(), src.get(), size);
    return copy;
}

BOOL DibCopyContents(HGLOBAL dest, HGLOBAL src)
{
    const SIZE_T size = GlobalSize(dest);
    if (dest == src || GlobalSize(src) < size)
        return FALSE;
    GlobalLockScope to(dest);
    GlobalLockScope from(src);
    if (!to.get() || !from.get())
        return FALSE;
    std::memcpy(to.get(), from.get(), size);
    return TRUE;
}

int MaskBitCount(DWORD mask)
{
    return std::popcount(mask);
}

int MaskLowestBit(DWORD mask)
{
    return mask ? std::countr_zero(mask) : 255;
}

int MaskHighestBit(DWORD mask)
{
    return (mask & ~DWORD(1)) ? 31 - std::countl_zero(mask) : 255;
}

BOOL MaskIsContiguous(DWORD mask)
{
    const int high = MaskHighestBit(mask);
    const int low = MaskLowestBit(mask);
    if (high == low)
        return TRUE;
    // A lone bit 0 has no highest bit above it: not a run.
    if (high == 255)
        return FALSE;
    for (int i = high; i >= low; --i)
        if (!(mask & (DWORD(1) << i)))
            return FALSE;
    return TRUE;
}
