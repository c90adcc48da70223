// Single pixels at every depth, byte-wise blits and whole rows: flipping,
// resizing, keeping and appending, and inversion. Every access is checked
// against the picture: what lies outside reads as nothing and takes nothing.

#include "buttonlib/media/CDIB.h"

#include "buttonlib/media/DibUtil.h"
#include "platform/gdi/Surface.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD kHeaderBytes = sizeof(BITMAPINFOHEADER);

} // namespace

int DibFindColor(const BITMAPINFO* info, int count, COLORREF colour)
{
    if (!info || count <= 0)
        return -1;
    const BYTE r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    // An OS/2 header is followed by 3-byte entries.
    const bool core = info->bmiHeader.biSize == 12;
    const BYTE* table = reinterpret_cast<const BYTE*>(info) + (core ? 12 : kHeaderBytes);
    const std::size_t step = core ? 3 : 4;
    for (int i = 0; i < count; ++i) {
        const BYTE* e = table + step * std::size_t(i);
        if (e[0] == b && e[1] == g && e[2] == r)
            return i;
    }
    return -1;
}

int CDIB::GetPixelIndex(int x, int y) const
{
    if (!m_pInfo || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return -1;
    const BYTE* row = m_pBits + std::size_t(GetRowBytes()) * std::size_t(y);
    switch (GetBitCount()) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
    case 8: return row[x];
    default: return -1;
    }
}

COLORREF CDIB::GetPixel(int x, int y) const
{
    if (!m_pInfo || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return 0;
    const BYTE* row = m_pBits + std::size_t(GetRowBytes()) * std::size_t(y);
    switch (GetBitCount()) {
    case 1:
    case 4:
    case 8: {
        const int index = GetPixelIndex(x, y);
        if (index >= GetColorCount())
            return 0;
        const RGBQUAD& q = GetColorTable()[index];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    case 16: return DibUnpack555(WORD(row[2 * x] | (row[2 * x + 1] << 8)));
    case 24: return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default: return 0;
    }
}

void CDIB::SetPixel(int x, int y, DWORD value)
{
    if (!m_pInfo || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return;
    BYTE* row = m_pBits + std::size_t(GetRowBytes()) * std::size_t(y);
    switch (GetBitCount()) {
    case 1: {
        const BYTE bit = BYTE(0x80 >> (x & 7));
        row[x >> 3] = BYTE(value == 1 ? row[x >> 3] | bit : row[x >> 3] & ~bit);
        break;
    }
    case 4: {
        BYTE& b = row[x >> 1];
        b = (x & 1) ? BYTE((b & 0xF0) | (value & 0xF)) : BYTE((b & 0x0F) | ((value & 0xF) << 4));
        break;
    }
    case 8: row[x] = BYTE(value); break;
    case 16: {
        const WORD w = DibPack555(value);
        row[2 * x] = BYTE(w);
        row[2 * x + 1] = BYTE(w >> 8);
        break;
    }
    case 24:
        row[3 * x] = GetBValue(value);
        row[3 * x + 1] = GetGValue(value);
        row[3 * x + 2] = GetRValue(value);
        break;
    default: break;
    }
}

BYTE* CDIB::GetPixelAddress(int x, int y) const
{
    if (!m_pInfo || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return nullptr;
    BYTE* row = m_pBits + std::size_t(GetRowBytes()) * std::size_t(GetHeight() - y - 1);
    switch (GetBitCount()) {
    case 1: return row + x / 8;
    case 4: return row + x / 2;
    case 8: return row + x;
    case 16: return row + 2 * std::size_t(x);
    case 24: return row + 3 * std::size_t(x);
    default: return nullptr;
    }
}

BOOL CDIB::GetRGB(int x, int y, COLORREF* out) const
{
    if (!out || GetBitCount() != 24)
        return FALSE;
    const BYTE* p = GetPixelAddress(x, y);
    if (!p)
        return FALSE;
    *out = RGB(p[2], p[1], p[0]);
    return TRUE;
}

BOOL CDIB::SetRGB(int x, int y, const COLORREF* in)
{
    if (!in || GetBitCount() != 24)
        return FALSE;
    BYTE* p = GetPixelAddress(x, y);
    if (!p)
        return FALSE;
    p[0] = GetBValue(*in);
    p[1] = GetGValue(*in);
    p[2] = GetRValue(*in);
    return TRUE;
}

int CDIB::GetMaxColors() const
{
    switch (GetBitCount()) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    case 16: return 65536;
    case 24: return 16777216;
    default: return 0;
    }
}

void CDIB::BlitBytes(CDIB& dest, int xDest, int yDest, int cxBytes, int cy, int xSrc, int ySrc, int key)
{
    if (!m_pInfo || !dest.m_pInfo || cxBytes <= 0 || cy <= 0)
        return;
    // The byte of column x in its row, and the bytes of a row.
    const auto byteOf = [](const CDIB& d, long long x) {
        const long long bits = x * d.GetBitCount();
        return bits >= 0 ? bits / 8 : -((-bits + 7) / 8);
    };
    const long long srcRow = GetRowBytes(), dstRow = dest.GetRowBytes();
    const long long s0 = byteOf(*this, xSrc), d0 = byteOf(dest, xDest);
    // Bytes a .. b - 1 of the run lie inside both rows.
    const long long a = std::max({0LL, -s0, -d0});
    const long long b = std::min({static_cast<long long>(cxBytes), srcRow - s0, dstRow - d0});
    if (a >= b)
        return;
    // The rows go from the lowest (ySrc + cy - 1, counted from the top) upwards.
    for (long long r = cy - 1; r >= 0; --r) {
        const long long sy = static_cast<long long>(ySrc) + r, dy = static_cast<long long>(yDest) + r;
        if (sy < 0 || sy >= GetHeight() || dy < 0 || dy >= dest.GetHeight())
            continue;
        const BYTE* from = m_pBits + srcRow * (GetHeight() - 1 - sy) + s0 + a;
        BYTE* to = dest.m_pBits + dstRow * (dest.GetHeight() - 1 - dy) + d0 + a;
        if (key == -1) {
            std::memmove(to, from, std::size_t(b - a));
        } else {
            for (long long k = 0; k < b - a; ++k)
                if (from[k] != BYTE(key))
                    to[k] = from[k];
        }
    }
}

BOOL CDIB::FlipY()
{
    if (!m_pInfo)
        return FALSE;
    const std::size_t rowBytes = GetRowBytes();
    std::vector<BYTE> line;
    try {
        line.resize(rowBytes);
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
    const int h = GetHeight();
    for (int i = 0; i < h / 2; ++i) {
        BYTE* lo = m_pBits + rowBytes * std::size_t(i);
        BYTE* hi = m_pBits + rowBytes * std::size_t(h - 1 - i);
        std::memcpy(line.data(), lo, rowBytes);
        std::memcpy(lo, hi, rowBytes);
        std::memcpy(hi, line.data(), rowBytes);
    }
    return TRUE;
}

BOOL CDIB::ResizeHeight(int height)
{
    if (!m_pInfo)
        return FALSE;
    const int old = GetHeight();
    if (height == old)
        return TRUE;
    const std::size_t rowBytes = GetRowBytes();
    if (height < 0 || (height > 0 && rowBytes > gdi::Surface::kMaxBytes / std::size_t(height)))
        AfxThrowMemoryException();
    const std::size_t head = std::size_t(m_pBits - reinterpret_cast<BYTE*>(m_pInfo));
    const std::size_t size = rowBytes * std::size_t(height);
    const std::size_t oldSize = rowBytes * std::size_t(std::max(old, 0));
    if (height < old)
        // The top rows stay: they are the last ones in memory.
        std::memmove(m_pBits, m_pBits + oldSize - size, size);
    GlobalUnlock(m_hDIB);
    const bool resized = GlobalReAlloc(m_hDIB, head + size, GMEM_MOVEABLE) != nullptr;
    m_pInfo = static_cast<BITMAPINFO*>(GlobalLock(m_hDIB));
    m_pBits = reinterpret_cast<BYTE*>(m_pInfo) + head;
    if (!resized) {
        if (height < old)
            // The moved rows go back where they were; the bottom ones are lost.
            std::memmove(m_pBits + oldSize - size, m_pBits, size);
        AfxThrowMemoryException();
    }
    if (height > old) {
        const std::size_t added = size - oldSize;
        std::memmove(m_pBits + added, m_pBits, oldSize);
        std::memset(m_pBits, 0, added);
    }
    m_pInfo->bmiHeader.biHeight = height;
    m_pInfo->bmiHeader.biSizeImage = DWORD(size);
    m_dwImageSize = DWORD(size);
    return TRUE;
}

BOOL CDIB::KeepRows(int first, int last)
{
    if (!m_pInfo || first < 0 || first > last || last > GetHeight())
        return FALSE;
    ResizeHeight(last);
    if (last - first != GetHeight()) {
        // The kept rows are the first last - first ones in memory; they move
        // up so that shrinking keeps them.
        const std::size_t rowBytes = GetRowBytes();
        std::memmove(m_pBits + rowBytes * std::size_t(first), m_pBits, rowBytes * std::size_t(last - first));
        ResizeHeight(last - first);
    }
    return TRUE;
}

CDIB& CDIB::AppendRows(const CDIB& src)
{
    if (!src.m_pInfo)
        return *this;
    if (!m_pInfo)
        return Copy(src);
    if (src.GetWidth() != GetWidth() || src.GetBitCount() != GetBitCount())
        return *this;
    // src may be this picture, whose rows move when it grows.
    const std::vector<BYTE> rows(src.m_pBits, src.m_pBits + std::size_t(src.GetRowBytes()) * std::size_t(src.GetHeight()));
    ResizeHeight(GetHeight() + src.GetHeight());
    std::memcpy(m_pBits, rows.data(), rows.size());
    return *this;
}

int CDIB::Invert()
{
    if (!m_pInfo)
        return 0;
    const int w = GetWidth(), h = GetHeight();
    const std::size_t rowBytes = GetRowBytes();
    const WORD bpp = GetBitCount();
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24)
        return h;
    // The pixels' bits of each row; the padding stays.
    const std::size_t bits = std::size_t(w) * bpp;
    for (int y = 0; y < h; ++y) {
        BYTE* row = m_pBits + rowBytes * std::size_t(y);
        for (std::size_t k = 0; k < bits / 8; ++k)
            row[k] = BYTE(~row[k]);
        if (bits % 8)
            row[bits / 8] ^= BYTE(0xFF00 >> (bits % 8));
    }
    return h;
}
