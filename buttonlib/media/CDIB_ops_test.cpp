// Rotation, erosion, dilation, softening, smoothing, colourisation and
// outlines. The golden pictures come from testdata/make_golden_ops.py, which
// computes them from the operations' formulas.

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/CColor.h"
#include "buttonlib/media/DibTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

using media::testing::MakePattern;
using media::testing::PixelBytes;

CDIB& golden(CDIB& dib, const std::string& name)
{
    EXPECT_TRUE(dib.Load((std::string(TV_MEDIA_TESTDATA) + "/" + name).c_str())) << name;
    return dib;
}

::testing::AssertionResult samePicture(const CDIB& got, const CDIB& want)
{
    if (got.GetWidth() != want.GetWidth() || got.GetHeight() != want.GetHeight())
        return ::testing::AssertionFailure() << "size " << got.GetWidth() << " x " << got.GetHeight() << ", wanted "
                                             << want.GetWidth() << " x " << want.GetHeight();
    if (got.GetBitCount() != want.GetBitCount() || got.GetColorCount() != want.GetColorCount())
        return ::testing::AssertionFailure() << "depth or table differs";
    for (int i = 0; i < got.GetColorCount(); ++i)
        if (std::memcmp(&got.GetColorTable()[i], &want.GetColorTable()[i], 3) != 0)
            return ::testing::AssertionFailure() << "table entry " << i;
    const std::vector<BYTE> a = PixelBytes(got), b = PixelBytes(want);
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << "image size " << a.size() << ", wanted " << b.size();
    for (std::size_t k = 0; k < a.size(); ++k)
        if (a[k] != b[k])
            return ::testing::AssertionFailure() << "byte " << k << " of row " << k / got.GetRowBytes() << " is "
                                                 << int(a[k]) << ", wanted " << int(b[k]);
    return ::testing::AssertionSuccess();
}

TEST(CDIBRotateTest, EveryDepthAndAngleMatchesTheFormulas)
{
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        CDIB src;
        golden(src, "ops_src" + std::to_string(bpp) + ".bmp");
        // The background: white, a colour not in the table, table entry 5,
        // (unused at 16 bits), and one colour.
        COLORREF background = bpp == 1 ? 0xFFFFFF : bpp == 4 ? 0x123456 : bpp == 16 ? 0 : 0x382210;
        if (bpp == 8) {
            const RGBQUAD& e = src.GetColorTable()[5];
            background = RGB(e.rgbRed, e.rgbGreen, e.rgbBlue);
        }
        for (int degrees : {0, 90, -90, 45, -45, 30, 135, 180}) {
            const std::string angle = degrees < 0 ? "m" + std::to_string(-degrees) : std::to_string(degrees);
            SCOPED_TRACE(std::to_string(bpp) + " bpp, " + angle);
            CDIB dib, want;
            dib.Copy(src);
            ASSERT_TRUE(dib.Rotate(degrees, background));
            golden(want, "ops_rot" + std::to_string(bpp) + "_" + angle + ".bmp");
            EXPECT_TRUE(samePicture(dib, want));
            EXPECT_EQ(dib.GetInfo()->bmiHeader.biSizeImage, dib.GetImageSize());
        }
    }
}

TEST(CDIBRotateTest, QuarterTurnsSwapTheSizesAndBadPicturesAreRefused)
{
    CDIB dib;
    MakePattern(dib, 24);
    ASSERT_TRUE(dib.Rotate(90, 0));
    EXPECT_EQ(dib.GetWidth(), 3);
    EXPECT_EQ(dib.GetHeight(), 5);
    ASSERT_TRUE(dib.Rotate(-90, 0));
    EXPECT_EQ(dib.GetWidth(), 5);
    EXPECT_EQ(dib.GetHeight(), 3);

    // 16 bits: the corners take the source's bottom-left colour.
    ASSERT_TRUE(dib.CreateBlank(6, 4, 16, RGB(0, 0, 255)));
    dib.SetPixel(0, 0, RGB(248, 0, 0));
    ASSERT_TRUE(dib.Rotate(45, RGB(0, 255, 0)));
    EXPECT_EQ(dib.GetPixel(0, 0), RGB(248, 0, 0));
    EXPECT_EQ(dib.GetPixel(dib.GetWidth() - 1, dib.GetHeight() - 1), RGB(248, 0, 0));

    // Bit fields: the rows start behind the masks.
    BITMAPINFOHEADER h{40, 3, 2, 1, 32, BI_BITFIELDS, 24, 0, 0, 0, 0};
    HGLOBAL block = GlobalAlloc(GHND, 40 + 12 + 24);
    auto* p = static_cast<BYTE*>(GlobalLock(block));
    std::memcpy(p, &h, sizeof h);
    const DWORD masks[3] = {0xFF0000, 0xFF00, 0xFF};
    std::memcpy(p + 40, masks, 12);
    for (int k = 0; k < 24; ++k)
        p[52 + k] = BYTE(k + 1);
    ASSERT_TRUE(dib.Attach(block, p, 0xFFFFFFFF));
    ASSERT_TRUE(dib.Rotate(0, 0));
    EXPECT_EQ(dib.GetBits() - reinterpret_cast<BYTE*>(dib.GetInfo()), 52);
    EXPECT_EQ(dib.GetBits()[0], 1);
    EXPECT_EQ(dib.GetBits()[23], 24);

    // Far too large a result raises and keeps the picture.
    ASSERT_TRUE(dib.CreateBlank(1, 200000, 24, 0));
    EXPECT_THROW(dib.Rotate(45, 0), CMemoryException);
    EXPECT_EQ(dib.GetHeight(), 200000);
    CDIB empty;
    EXPECT_FALSE(empty.Rotate(90, 0));
    ASSERT_TRUE(dib.CreateBlank(1, 1, 8, 0));
    EXPECT_TRUE(dib.Rotate(INT_MAX, 0));
    EXPECT_TRUE(dib.Rotate(INT_MIN, 0));
}

TEST(CDIBMorphologyTest, ErosionAndDilationMatchTheFormulasPaddingIncluded)
{
    CDIB mask;
    golden(mask, "ops_mask.bmp");
    for (int count : {1, 2}) {
        SCOPED_TRACE(count);
        CDIB eroded, dilated, want;
        eroded.Copy(mask);
        dilated.Copy(mask);
        ASSERT_TRUE(eroded.Erode(count));
        ASSERT_TRUE(dilated.Dilate(count));
        EXPECT_TRUE(samePicture(eroded, golden(want, "ops_erode" + std::to_string(count) + ".bmp")));
        EXPECT_TRUE(samePicture(dilated, golden(want, "ops_dilate" + std::to_string(count) + ".bmp")));
    }
}

TEST(CDIBMorphologyTest, ASinglePixelVanishesOrBecomesASquare)
{
    CDIB dib;
    ASSERT_TRUE(dib.CreateBlank(9, 9, 1, 0));
    dib.SetPixel(4, 4, 1);
    CDIB grown;
    grown.Copy(dib);
    ASSERT_TRUE(dib.Erode(1));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(dib.GetPixelIndex(x, y), 0);
    ASSERT_TRUE(grown.Dilate(1));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(grown.GetPixelIndex(x, y), x >= 3 && x <= 5 && y >= 3 && y <= 5 ? 1 : 0) << x << "," << y;

    // Only 1-bit pictures; no passes for a count of 0.
    CDIB eight, empty;
    MakePattern(eight, 8);
    const std::vector<BYTE> before = PixelBytes(eight);
    EXPECT_FALSE(eight.Erode(1));
    EXPECT_FALSE(eight.Dilate(1));
    EXPECT_FALSE(eight.ErodeOnce(7, 7, 7));
    EXPECT_FALSE(eight.DilateOnce(7, 7, 7));
    EXPECT_EQ(PixelBytes(eight), before);
    EXPECT_FALSE(empty.Erode(1));
    EXPECT_FALSE(empty.Dilate(1));
    ASSERT_TRUE(grown.Erode(0));
    EXPECT_EQ(grown.GetPixelIndex(3, 3), 1);
    // Other masks: a horizontal line keeps pixels with both row neighbours.
    ASSERT_TRUE(grown.ErodeOnce(0, 7, 0));
    EXPECT_EQ(grown.GetPixelIndex(4, 3), 1);
    EXPECT_EQ(grown.GetPixelIndex(3, 3), 0);
    EXPECT_TRUE(grown.ErodeOnce(0xFFFF, 0xFFFF, 0xFFFF));
}

TEST(CDIBSoftenTest, PassesOfFallingDistanceMatchTheFormulas)
{
    for (int bpp : {16, 24}) {
        SCOPED_TRACE(bpp);
        CDIB dib, want;
        golden(dib, "ops_soft" + std::to_string(bpp) + ".bmp");
        ASSERT_TRUE(dib.Soften(3));
        EXPECT_TRUE(samePicture(dib, golden(want, "ops_soften" + std::to_string(bpp) + ".bmp")));
    }
    // Other depths change nothing, and Soften still succeeds.
    for (WORD bpp : {1, 4, 8, 32}) {
        CDIB dib;
        MakePattern(dib, bpp);
        const std::vector<BYTE> before = PixelBytes(dib);
        EXPECT_TRUE(dib.Soften(3));
        EXPECT_FALSE(dib.SoftenOnce(1));
        EXPECT_FALSE(dib.SoftenOnce16(1));
        EXPECT_FALSE(dib.SoftenOnce24(1));
        EXPECT_EQ(PixelBytes(dib), before);
    }
    CDIB dib;
    MakePattern(dib, 24);
    EXPECT_TRUE(dib.SoftenOnce(INT_MAX));
    EXPECT_TRUE(dib.SoftenOnce(INT_MIN));
    EXPECT_TRUE(dib.Soften(0));
    EXPECT_TRUE(dib.Soften(-5));
}

TEST(CDIBSmoothTest, TheCentreCarriesTheWeight)
{
    for (WORD bpp : {16, 24}) {
        SCOPED_TRACE(bpp);
        // One white pixel in the middle row of a black 5 x 3 picture.
        CDIB dib;
        ASSERT_TRUE(dib.CreateBlank(5, 3, bpp, 0));
        dib.SetPixel(2, 1, RGB(248, 248, 248));
        dib.Smooth(4);
        // In place, left to right: (1, 1) sees the white pixel once, (2, 1)
        // its own value four times and its new left neighbour once.
        const int left = 248 / 12;
        const int centre = (left + 4 * 248) / 12;
        const int right = centre / 12;
        const auto grey = [&](int v) {
            const int q = bpp == 16 ? (v >> 3) << 3 : v;
            return RGB(BYTE(q), BYTE(q), BYTE(q));
        };
        EXPECT_EQ(dib.GetPixel(1, 1), grey(left));
        EXPECT_EQ(dib.GetPixel(2, 1), grey(centre));
        EXPECT_EQ(dib.GetPixel(3, 1), grey(right));
        EXPECT_EQ(dib.GetPixel(2, 0), 0u);
        EXPECT_EQ(dib.GetPixel(2, 2), 0u);
    }
    CDIB eight;
    MakePattern(eight, 8);
    const std::vector<BYTE> before = PixelBytes(eight);
    eight.Smooth(1);
    EXPECT_EQ(PixelBytes(eight), before);
    CDIB dib;
    MakePattern(dib, 24);
    dib.Smooth(-8);
    dib.Smooth(INT_MIN);
    dib.Smooth(INT_MAX);
    dib.Smooth(-7);
}

TEST(CDIBColorizeTest, LightnessComesFromBothPictures)
{
    CDIB face, light;
    ASSERT_TRUE(face.CreateBlank(2, 1, 24, RGB(200, 60, 40)));
    ASSERT_TRUE(light.CreateBlank(2, 1, 24, RGB(128, 128, 128)));
    light.SetPixel(1, 0, RGB(255, 255, 255));
    CDIB a, b;
    a.Copy(face);
    b.Copy(face);
    ASSERT_TRUE(a.Colorize(&light, 100, RGB(0, 0, 255), 50));
    // Percent 100 and 98 both give the least grey, 2.
    ASSERT_TRUE(b.Colorize(&light, 98, RGB(0, 0, 255), 50));
    EXPECT_EQ(PixelBytes(a), PixelBytes(b));

    // One pixel by the formula.
    HslTriple grey{}, p{}, q{}, blend{};
    RgbToHsl(RGB(127, 127, 127), &grey);
    RgbToHsl(RGB(200, 60, 40), &p);
    RgbToHsl(RGB(128, 128, 128), &q);
    RgbToHsl(RGB(100, 30, (40 + 127) / 2), &blend);
    const int l = std::min(q.lightness * p.lightness / grey.lightness, 100);
    COLORREF want = 0;
    HslToRgb(blend.hue, blend.saturation, l, &want);
    CDIB c;
    c.Copy(face);
    ASSERT_TRUE(c.Colorize(&light, 50, RGB(0, 0, 255), 50));
    EXPECT_EQ(c.GetPixel(0, 0), want);

    // Pictures of another size, none, or empty ones: refused, nothing changes.
    CDIB wide, empty;
    ASSERT_TRUE(wide.CreateBlank(3, 1, 24, 0));
    const std::vector<BYTE> before = PixelBytes(face);
    EXPECT_FALSE(face.Colorize(&wide, 50, 0, 50));
    EXPECT_FALSE(face.Colorize(nullptr, 50, 0, 50));
    EXPECT_FALSE(face.Colorize(&empty, 50, 0, 50));
    EXPECT_FALSE(empty.Colorize(&face, 50, 0, 50));
    EXPECT_EQ(PixelBytes(face), before);
    EXPECT_TRUE(face.Colorize(&light, INT_MIN, 0xFFFFFF, INT_MAX));
    EXPECT_TRUE(face.Colorize(&light, INT_MAX, 0xFFFFFF, INT_MIN));
}

TEST(CDIBOutlineTest, BoundingRectanglesOutlinesAndContours)
{
    // Black, with a white 3 x 2 block at columns 2-4 and memory rows 2-3.
    CDIB dib;
    ASSERT_TRUE(dib.CreateBlank(8, 6, 24, 0));
    for (int y = 2; y <= 3; ++y)
        for (int x = 2; x <= 4; ++x)
            dib.SetPixel(x, y, RGB(255, 255, 255));
    CRect r;
    EXPECT_EQ(dib.GetBoundingRect(&r), 6);
    EXPECT_EQ(r, CRect(0, 0, 7, 5));

    CDIB whiteOnly;
    ASSERT_TRUE(whiteOnly.CreateBlank(4, 4, 8, RGB(255, 255, 255)));
    EXPECT_EQ(whiteOnly.GetBoundingRect(&r), 0);
    whiteOnly.SetPixel(1, 2, 0);
    EXPECT_EQ(whiteOnly.GetBoundingRect(&r), 3);
    EXPECT_EQ(r, CRect(1, 2, 1, 2));

    // Edges: the black pixel before a white run and the first black one after it.
    CDIB edges;
    edges.Copy(dib);
    ASSERT_TRUE(edges.OutlineEdges());
    EXPECT_EQ(edges.GetPixel(1, 2), RGB(255, 255, 255));
    EXPECT_EQ(edges.GetPixel(5, 2), RGB(255, 255, 255));
    EXPECT_EQ(edges.GetPixel(3, 4), RGB(255, 255, 255));
    EXPECT_EQ(edges.GetPixel(3, 1), RGB(255, 255, 255));
    EXPECT_EQ(edges.GetPixel(3, 2), 0u);
    EXPECT_EQ(edges.GetPixel(0, 0), 0u);
    // Runs: the first and last white pixels.
    CDIB runs;
    runs.Copy(dib);
    ASSERT_TRUE(runs.OutlineRuns());
    EXPECT_EQ(runs.GetPixel(2, 2), RGB(255, 255, 255));
    EXPECT_EQ(runs.GetPixel(4, 3), RGB(255, 255, 255));
    EXPECT_EQ(runs.GetPixel(1, 2), 0u);

    // Contours follow the white pixels, clearing them.
    std::vector<CPoint> points(CDIB::kMaxContourPoints);
    int count = -1;
    CDIB trace;
    trace.Copy(edges);
    const int n = trace.TraceContour(1, 2, points.data(), &count);
    EXPECT_EQ(n, count);
    EXPECT_GE(n, 8);
    std::set<std::pair<int, int>> seen;
    for (int k = 0; k < n; ++k) {
        EXPECT_TRUE(seen.insert({points[std::size_t(k)].x, points[std::size_t(k)].y}).second);
        EXPECT_EQ(trace.GetPixel(points[std::size_t(k)].x, points[std::size_t(k)].y), 0u);
    }
    EXPECT_GT(dib.FindContour(points.data()), 0);
    EXPECT_EQ(trace.TraceContour(-1, 2, points.data(), &count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(trace.TraceContour(1, 2, nullptr, &count), 0);
    CDIB black;
    ASSERT_TRUE(black.CreateBlank(5, 5, 24, 0));
    EXPECT_EQ(black.FindContour(points.data()), 0);

    // A large white picture: the contour stops at its limit.
    CDIB big;
    ASSERT_TRUE(big.CreateBlank(200, 200, 24, RGB(255, 255, 255)));
    EXPECT_EQ(big.TraceContour(0, 0, points.data(), &count), CDIB::kMaxContourPoints);
    CDIB empty;
    EXPECT_FALSE(empty.OutlineEdges());
    EXPECT_EQ(empty.GetBoundingRect(&r), 0);
    EXPECT_EQ(empty.FindContour(points.data()), 0);
}

} // namespace
