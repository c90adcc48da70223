#pragma once
// Helpers of the picture tests: the picture the golden files hold, and a
// picture's pixel bytes.

#include "buttonlib/media/CDIB.h"

#include <gtest/gtest.h>

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

inline std::vector<BYTE> PixelBytes(const CDIB& dib)
{
    return std::vector<BYTE>(dib.GetBits(), dib.GetBits() + dib.GetImageSize());
}

} // namespace media::testing
