// Image operations on the held picture: rotation, erosion and dilation of
// 1-bit masks, softening and smoothing, and colourisation.

#include "buttonlib/media/CDIB.h"

#include "buttonlib/media/CColor.h"
#include "buttonlib/media/DibUtil.h"
#include "platform/gdi/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Truncation toward zero of a single-precision value, as a wide integer.
long long trunc32(float v)
{
    return static_cast<long long>(v);
}

} // namespace

BOOL CDIB::Rotate(int degrees, COLORREF background)
{
    if (!m_pInfo)
        return FALSE;
    const BITMAPINFOHEADER& h = m_pInfo->bmiHeader;
    if (h.biHeight < 0 || (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS))
        return FALSE;
    const int bpp = h.biBitCount;
    const std::size_t tableEntries = bpp <= 8 ? std::size_t(GetColorCount()) : 0;

    // Single-precision sine and cosine; every product and sum in single
    // precision, every conversion truncating toward zero.
    const double angle = degrees * 6.28318530718 / 360;
    const float c = float(std::cos(angle));
    const float s = float(std::sin(angle));
    const long long A = GetWidth(), B = GetHeight();
    const float fa = float(A), fb = float(B);
    const long long x1 = trunc32(-s * fb), x2 = trunc32(c * fa - s * fb), x3 = trunc32(c * fa);
    const long long y1 = trunc32(c * fb), y2 = trunc32(c * fb + s * fa), y3 = trunc32(s * fa);
    // The box of the four corners, the origin corner included.
    const long long minX = std::min({x1, x2, x3, 0LL}), maxX = std::max({x1, x2, x3, 0LL});
    const long long minY = std::min({y1, y2, y3, 0LL}), maxY = std::max({y1, y2, y3, 0LL});
    const long long newW = maxX - minX, newH = maxY - minY;
    if (newW > 0x7FFFFFFF || newH > 0x7FFFFFFF)
        AfxThrowMemoryException();
    const std::size_t newRow = gdi::Surface::StrideFor(int(newW), bpp);
    if (newH > 0 && newRow > gdi::Surface::kMaxBytes / std::size_t(newH))
        AfxThrowMemoryException();
    const std::size_t newSize = newRow * std::size_t(newH);

    // Header, masks and table as they are, then the new rows.
    const std::size_t head = std::size_t(m_pBits - reinterpret_cast<BYTE*>(m_pInfo));
    GlobalBlockOwner block(GlobalAlloc(GHND, head + newSize));
    if (!block.get())
        AfxThrowMemoryException();
    GlobalLockScope lock(block.get());
    BYTE* out = lock.get();
    std::memcpy(out, m_pInfo, head);
    auto* nh = reinterpret_cast<BITMAPINFOHEADER*>(out);
    nh->biWidth = LONG(newW);
    nh->biHeight = LONG(newH);
    nh->biSizeImage = DWORD(newSize);
    BYTE* bits = out + head;

    // The background, in the picture's own values.
    const std::size_t srcRow = GetRowBytes();
    const int step = bpp / 8;
    BYTE fill[4] = {0, 0, 0, 0};
    switch (bpp) {
    case 1: std::memset(bits, background == 0x00FFFFFF ? 0xFF : 0x00, newSize); break;
    case 4:
    case 8: {
        const int found = DibFindColor(m_pInfo, int(tableEntries), background);
        const int index = found < 0 ? 0 : found;
        std::memset(bits, bpp == 4 ? (index << 4) | index : index, newSize);
        break;
    }
    case 16: {
        const COLORREF corner = GetPixel(0, 0);
        const WORD w = DibPack555(corner);
        fill[0] = BYTE(w);
        fill[1] = BYTE(w >> 8);
        break;
    }
    default:
        fill[0] = GetBValue(background);
        fill[1] = GetGValue(background);
        fill[2] = GetRValue(background);
        break;
    }
    if (bpp >= 16)
        for (long long i = 0; i < newH; ++i)
            for (long long j = 0; j < newW; ++j)
                std::memcpy(bits + newRow * std::size_t(i) + std::size_t(j) * step, fill, std::size_t(step));

    for (long long i = 0; i < newH; ++i) {
        BYTE* row = bits + newRow * std::size_t(i);
        const float Y = float(minY + i);
        for (long long j = 0; j < newW; ++j) {
            const float X = float(minX + j);
            const long long sx = trunc32(c * X + s * Y);
            const long long sy = trunc32(c * Y - s * X);
            if (sx < 0 || sx >= A || sy < 0 || sy >= B)
                continue;
            const BYTE* from = m_pBits + srcRow * std::size_t(sy);
            switch (bpp) {
            case 1: {
                const BYTE bit = BYTE(0x80 >> (j & 7));
                if (from[sx >> 3] & (0x80 >> (sx & 7)))
                    row[j >> 3] |= bit;
                else
                    row[j >> 3] &= BYTE(~bit);
                break;
            }
            case 4: {
                const BYTE v = BYTE((from[sx >> 1] >> ((sx & 1) ? 0 : 4)) & 0xF);
                BYTE& b = row[j >> 1];
                b = (j & 1) ? BYTE((b & 0xF0) | v) : BYTE((b & 0x0F) | (v << 4));
                break;
            }
            default: std::memcpy(row + std::size_t(j) * step, from + std::size_t(sx) * step, std::size_t(step)); break;
            }
        }
    }

    // The palette goes with the old picture.
    Empty();
    m_hDIB = block.release();
    m_pInfo = static_cast<BITMAPINFO*>(GlobalLock(m_hDIB));
    m_pBits = reinterpret_cast<BYTE*>(m_pInfo) + head;
    m_dwImageSize = DWORD(newSize);
    return TRUE;
}

BOOL CDIB::ErodeOnce(WORD m1, WORD m2, WORD m3)
{
    if (!m_pInfo || GetBitCount() != 1)
        return FALSE;
    return ErodeRows(m1, m2, m3, false);
}

BOOL CDIB::DilateOnce(WORD m1, WORD m2, WORD m3)
{
    if (!m_pInfo || GetBitCount() != 1)
        return FALSE;
    return ErodeRows(m1, m2, m3, true);
}

BOOL CDIB::ErodeRows(WORD m1, WORD m2, WORD m3, bool dilate)
{
    // Dilation is erosion of the complement: the copy's bytes, the rows
    // outside the picture, the byte before each row and the first carry are
    // all complemented, and so is every result.
    const BYTE flip = dilate ? 0xFF : 0x00;
    const std::size_t rowBytes = GetRowBytes();
    const int h = GetHeight();
    if (rowBytes == 0 || h <= 0)
        return TRUE;
    const std::vector<BYTE> copy(m_pBits, m_pBits + rowBytes * std::size_t(h));
    const std::vector<BYTE> outside(rowBytes, 0);
    const WORD masks[3] = {m1, m2, m3};
    const auto fits = [&](const WORD (&w)[3], int shift) {
        for (int r = 0; r < 3; ++r) {
            const WORD m = WORD(masks[r] << shift);
            if ((m & w[r]) != m)
                return false;
        }
        return true;
    };
    for (int i = 0; i < h; ++i) {
        const BYTE* rows[3] = {i > 0 ? &copy[rowBytes * std::size_t(i - 1)] : outside.data(),
                               &copy[rowBytes * std::size_t(i)],
                               i + 1 < h ? &copy[rowBytes * std::size_t(i + 1)] : outside.data()};
        const bool edge[3] = {i == 0, false, i + 1 == h};
        BYTE* dst = m_pBits + rowBytes * std::size_t(i);
        BYTE carry = dilate ? 1 : 0;
        for (std::size_t pos = rowBytes; pos-- > 0;) {
            WORD w[3];
            for (int r = 0; r < 3; ++r) {
                // Rows outside the picture hold no set pixel (all set, complemented).
                const BYTE cur = edge[r] ? BYTE(0xFF & flip) : BYTE(rows[r][pos] ^ flip);
                const BYTE before = pos == 0 ? flip : edge[r] ? flip : BYTE(rows[r][pos - 1] ^ flip);
                w[r] = WORD((before << 8) | cur);
            }
            BYTE result = carry;
            for (int k = 1; k <= 7; ++k)
                if (fits(w, k - 1))
                    result |= BYTE(1 << k);
            carry = fits(w, 7) ? 1 : 0;
            dst[pos] = BYTE(result ^ flip);
        }
    }
    return TRUE;
}

BOOL CDIB::Erode(int count)
{
    return RepeatSquare(count, &CDIB::ErodeOnce);
}

BOOL CDIB::Dilate(int count)
{
    return RepeatSquare(count, &CDIB::DilateOnce);
}

BOOL CDIB::RepeatSquare(int count, BOOL (CDIB::*pass)(WORD, WORD, WORD))
{
    if (!m_pInfo || GetBitCount() != 1)
        return FALSE;
    // The count is taken as a WORD.
    for (WORD n = WORD(count); n > 0; --n)
        (this->*pass)(7, 7, 7);
    return TRUE;
}

BOOL CDIB::Soften(int count)
{
    for (int d = count; d >= 1; --d)
        SoftenOnce(d);
    return TRUE;
}

BOOL CDIB::SoftenOnce(int distance)
{
    switch (GetBitCount()) {
    case 16: return SoftenOnce16(distance);
    case 24: return SoftenOnce24(distance);
    default: return FALSE;
    }
}

namespace {

// One softening pass in place: each pixel becomes the mean of the four
// pixels at distance d diagonally (clamped to the picture); rows already
// passed hold softened values when later rows read them.
template <class Read, class Write>
void softenPass(int w, int h, int d, Read read, Write write)
{
    const auto clamp = [](long long v, int n) { return int(std::clamp<long long>(v, 0, n - 1)); };
    for (int i = 0; i < h; ++i) {
        const int r1 = clamp(static_cast<long long>(i) + d, h), r2 = clamp(static_cast<long long>(i) - d, h);
        for (int j = 0; j < w; ++j) {
            const int c1 = clamp(static_cast<long long>(j) + d, w), c2 = clamp(static_cast<long long>(j) - d, w);
            int sum[3] = {0, 0, 0};
            for (const auto& [r, c] : {std::pair{r1, c1}, std::pair{r2, c1}, std::pair{r1, c2}, std::pair{r2, c2}}) {
                int ch[3];
                read(r, c, ch);
                for (int k = 0; k < 3; ++k)
                    sum[k] += ch[k];
            }
            const int mean[3] = {sum[0] / 4, sum[1] / 4, sum[2] / 4};
            write(i, j, mean);
        }
    }
}

} // namespace

BOOL CDIB::SoftenOnce16(int distance)
{
    if (!m_pInfo || GetBitCount() != 16)
        return FALSE;
    const std::size_t rowBytes = GetRowBytes();
    BYTE* bits = m_pBits;
    // Channels are the 5-bit values: red, green, blue.
    softenPass(
        GetWidth(), GetHeight(), distance,
        [&](int r, int c, int* ch) {
            const BYTE* p = bits + rowBytes * std::size_t(r) + 2 * std::size_t(c);
            const WORD v = WORD(p[0] | (p[1] << 8));
            ch[0] = (v >> 10) & 0x1F;
            ch[1] = (v >> 5) & 0x1F;
            ch[2] = v & 0x1F;
        },
        [&](int r, int c, const int* ch) {
            BYTE* p = bits + rowBytes * std::size_t(r) + 2 * std::size_t(c);
            const WORD v = WORD((ch[0] << 10) | (ch[1] << 5) | ch[2]);
            p[0] = BYTE(v);
            p[1] = BYTE(v >> 8);
        });
    return TRUE;
}

BOOL CDIB::SoftenOnce24(int distance)
{
    if (!m_pInfo || GetBitCount() != 24)
        return FALSE;
    const std::size_t rowBytes = GetRowBytes();
    BYTE* bits = m_pBits;
    // Channels are the bytes blue, green, red.
    softenPass(
        GetWidth(), GetHeight(), distance,
        [&](int r, int c, int* ch) {
            const BYTE* p = bits + rowBytes * std::size_t(r) + 3 * std::size_t(c);
            ch[0] = p[0];
            ch[1] = p[1];
            ch[2] = p[2];
        },
        [&](int r, int c, const int* ch) {
            BYTE* p = bits + rowBytes * std::size_t(r) + 3 * std::size_t(c);
            p[0] = BYTE(ch[0]);
            p[1] = BYTE(ch[1]);
            p[2] = BYTE(ch[2]);
        });
    return TRUE;
}

void CDIB::Smooth(int centreWeight)
{
    const WORD bpp = GetBitCount();
    // A weight of -8 or less leaves nothing to divide by.
    if (!m_pInfo || (bpp != 16 && bpp != 24) || centreWeight <= -8)
        return;
    const std::size_t rowBytes = GetRowBytes();
    const int h = GetHeight();
    // Entries per row: every whole pixel the row's bytes hold, padding included.
    const int n = int(rowBytes / (bpp / 8));
    std::vector<COLORREF> buf(std::size_t(n) * std::size_t(h));
    for (int i = 0; i < h; ++i)
        for (int j = 0; j < n; ++j) {
            const BYTE* p = m_pBits + rowBytes * std::size_t(i) + std::size_t(j) * (bpp / 8);
            if (bpp == 16) {
                const WORD v = WORD(p[0] | (p[1] << 8));
                buf[std::size_t(i) * n + j] = DibUnpack555(v);
            } else {
                buf[std::size_t(i) * n + j] = RGB(p[2], p[1], p[0]);
            }
        }
    const long long divisor = static_cast<long long>(centreWeight) + 8;
    for (int i = 1; i + 1 < h; ++i)
        for (int j = 1; j + 1 < n; ++j) {
            long long sum[3] = {0, 0, 0};
            for (int di = -1; di <= 1; ++di)
                for (int dj = -1; dj <= 1; ++dj) {
                    const COLORREF c = buf[std::size_t(i + di) * n + (j + dj)];
                    const long long times = di == 0 && dj == 0 ? centreWeight : 1;
                    sum[0] += times * GetRValue(c);
                    sum[1] += times * GetGValue(c);
                    sum[2] += times * GetBValue(c);
                }
            const auto channel = [&](long long v) { return BYTE(std::clamp<long long>(v / divisor, 0, 255)); };
            buf[std::size_t(i) * n + j] = RGB(channel(sum[0]), channel(sum[1]), channel(sum[2]));
        }
    for (int i = 0; i < h; ++i)
        for (int j = 0; j < n; ++j) {
            BYTE* p = m_pBits + rowBytes * std::size_t(i) + std::size_t(j) * (bpp / 8);
            const COLORREF c = buf[std::size_t(i) * n + j];
            if (bpp == 16) {
                const WORD v = DibPack555(c);
                p[0] = BYTE(v);
                p[1] = BYTE(v >> 8);
            } else {
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        }
}

BOOL CDIB::Colorize(CDIB* other, int percent, COLORREF tint, int tintPercent)
{
    if (!m_pInfo || !other || !other->m_pInfo || other->GetWidth() != GetWidth() || other->GetHeight() != GetHeight())
        return FALSE;
    int g = std::int16_t(100 - static_cast<long long>(percent));
    if (g < 2)
        g = 2;
    const int grey = g * 255 / 100;
    HslTriple hsl{};
    RgbToHsl(RGB(BYTE(grey), BYTE(grey), BYTE(grey)), &hsl);
    const long long lg = hsl.lightness;
    const long long tr = static_cast<long long>(GetRValue(tint)) * tintPercent / 100;
    const long long tg = static_cast<long long>(GetGValue(tint)) * tintPercent / 100;
    const long long tb = static_cast<long long>(GetBValue(tint)) * tintPercent / 100;
    const int w = GetWidth(), h = GetHeight();
    for (int i = 0; i < h; ++i)
        for (int j = 0; j < w; ++j) {
            const COLORREF p = GetPixel(j, i);
            const COLORREF q = other->GetPixel(j, i);
            HslTriple hp{}, hq{}, hb{};
            RgbToHsl(p, &hp);
            RgbToHsl(q, &hq);
            const auto half = [](long long v) { return BYTE(std::clamp<long long>(v / 2, 0, 255)); };
            const COLORREF blend = RGB(half(GetRValue(p) + tr), half(GetGValue(p) + tg), half(GetBValue(p) + tb));
            RgbToHsl(blend, &hb);
            const long long l = lg == 0 ? 0 : std::min<long long>(static_cast<long long>(hq.lightness) * hp.lightness / lg, 100);
            COLORREF out = 0;
            HslToRgb(hb.hue, hb.saturation, int(l), &out);
            SetPixel(j, i, out);
        }
    return TRUE;
}
