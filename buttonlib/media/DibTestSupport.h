#pragma once
// Helpers of the picture tests: the picture the golden files hold, a
// picture's colours as RGBA and its pixel bytes.

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace media::testing {

// 5 x 3 at the depth, its default table, pixel bytes k*37 + depth (row
// padding included), 96 x 72 dots per inch.
inline void MakePattern(CDIB& dib, WORD bpp)
{
    ASSERT_TRUE(dib.CreateBlank(5, 3, bpp, RGB(0, 0, 0)));
    std::vector<BYTE> bits(dib.GetImageSize());
    for (std::size_t k = 0; k < bits.size(); ++k)
        bits[k] = BYTE(k * 37 + bpp);
    dib.SetBits(bits.data(), 0);
    dib.SetDpi(96, 72);
}

// An 8-bit picture whose table holds just the colours given (biClrUsed),
// filled with the nearest of them to fill.
inline void MakeIndexed(CDIB& dib, int width, int height, const std::vector<RGBQUAD>& table, COLORREF fill)
{
    std::vector<BYTE> templ(sizeof(BITMAPINFOHEADER) + table.size() * sizeof(RGBQUAD));
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biClrUsed = DWORD(table.size());
    std::memcpy(templ.data(), &h, sizeof h);
    std::memcpy(templ.data() + sizeof h, table.data(), table.size() * sizeof(RGBQUAD));
    ASSERT_TRUE(dib.CreateFromHeader(width, height, reinterpret_cast<const BITMAPINFO*>(templ.data()), fill));
}

// The picture's colours, top row first, as RGBA.
inline codec::testing::Rgba RgbaOf(const CDIB& dib)
{
    codec::testing::Rgba img;
    img.width = dib.GetWidth();
    img.height = dib.GetHeight();
    const int bpp = dib.GetBitCount();
    const RGBQUAD* table = dib.GetColorTable();
    for (int y = 0; y < img.height; ++y) {
        const BYTE* row = dib.GetBits() + std::size_t(img.height - 1 - y) * dib.GetRowBytes();
        for (int x = 0; x < img.width; ++x) {
            BYTE r, g, b;
            if (bpp <= 8) {
                const int index = bpp == 8 ? row[x]
                    : bpp == 4             ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF
                                           : (row[x / 8] >> (7 - x % 8)) & 1;
                r = table[index].rgbRed, g = table[index].rgbGreen, b = table[index].rgbBlue;
            } else if (bpp == 16) {
                const int v = row[2 * x] | (row[2 * x + 1] << 8);
                const auto widen = [](int c) { return BYTE((c << 3) | (c >> 2)); };
                r = widen((v >> 10) & 31), g = widen((v >> 5) & 31), b = widen(v & 31);
            } else {
                const BYTE* p = row + std::size_t(x) * (bpp / 8);
                b = p[0], g = p[1], r = p[2];
            }
            img.pixels.insert(img.pixels.end(), {r, g, b, 255});
        }
    }
    return img;
}

inline std::vector<BYTE> PixelBytes(const CDIB& dib)
{
    return std::vector<BYTE>(dib.GetBits(), dib.GetBits() + dib.GetImageSize());
}

} // namespace media::testing
