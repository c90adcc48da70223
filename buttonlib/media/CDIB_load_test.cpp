// Pictures loaded through the codecs from files ImageMagick writes, device
// bitmaps, and PNG and JPEG export read back by ImageMagick.

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/CodecTestSupport.h"
#include "buttonlib/media/DibTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

using media::testing::MakePattern;
using media::testing::PixelBytes;
using media::testing::RgbaOf;
using namespace codec::testing;

const char* const kJpegAsTheCodec = "-define jpeg:dct-method=float -define jpeg:fancy-upsampling=off ";

class LoadImageTest : public ::testing::Test {
protected:
    void SetUp() override { MakeSource(src_); }

    fs::path make(const std::string& options, const std::string& name)
    {
        const fs::path file = root_.Path() / name;
        Convert(quote(src_), options, file);
        return file;
    }

    tv::testing::TempRoot root_;
    fs::path src_ = root_.Path() / "src.ppm";
};

std::vector<RGBQUAD> tableOf(const CDIB& dib)
{
    return std::vector<RGBQUAD>(dib.GetColorTable(), dib.GetColorTable() + dib.GetColorCount());
}

// The mean difference of the colour channels; a large value when the sizes differ.
double meanDifference(const Rgba& a, const Rgba& b)
{
    if (a.pixels.size() != b.pixels.size() || a.pixels.empty())
        return 1e9;
    double total = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        if (i % 4 != 3)
            total += std::abs(int(a.pixels[i]) - int(b.pixels[i]));
    return total / double(a.pixels.size() / 4 * 3);
}

bool sameTable(const std::vector<RGBQUAD>& a, const RGBQUAD* b, std::size_t n)
{
    if (a.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (a[i].rgbRed != b[i].rgbRed || a[i].rgbGreen != b[i].rgbGreen || a[i].rgbBlue != b[i].rgbBlue)
            return false;
    return true;
}

TEST_F(LoadImageTest, EveryFormatLoadsAtItsDepthWithImageMagicksPixels)
{
    struct Case {
        const char* options;
        const char* file;
        WORD bpp;
        int tolerance;
        const char* reference = "";
    };
    const Case cases[] = {
        // Palette PNGs of 2 and 8 bits, grey PNGs and the 8-bit formats keep their own table.
        {"-colors 3 +dither -define png:exclude-chunk=bKGD -define png:color-type=3 -define png:bit-depth=2", "p2.png", 8, 0},
        {"-colors 200 -define png:exclude-chunk=bKGD -define png:color-type=3 -define png:bit-depth=8", "p8.png", 8, 0},
        {"-monochrome -define png:color-type=0 -define png:bit-depth=1", "g1.png", 8, 0},
        {"-type Grayscale -define png:color-type=0 -define png:bit-depth=8", "g8.png", 8, 0},
        {"-monochrome -compress None", "BMP3:b1.bmp", 8, 0},
        {"-colors 16 -type Palette -compress None", "BMP3:b4.bmp", 8, 0},
        {"-colors 200 -type Palette -compress None", "BMP3:b8.bmp", 8, 0},
        {"-quality 90 -colorspace Gray", "grey.jpg", 8, 4, kJpegAsTheCodec},
        {"-type Palette -compress None", "c8.tga", 8, 0, "-auto-orient"},
        {"-type Grayscale -compress None", "g8.tga", 8, 0, "-auto-orient"},
        {"-depth 8", "grey.pgm", 8, 0},
        // Deeper pictures become 24 bits.
        {"-define png:color-type=2 -define png:bit-depth=8", "rgb.png", 24, 0},
        {"-alpha set -channel A -fx 'u.r' -define png:color-type=6 -define png:bit-depth=8", "rgba.png", 24, 0},
        {"-type TrueColor -compress None", "BMP3:b24.bmp", 24, 0},
        {"-quality 92 -sampling-factor 1x1", "colour.jpg", 24, 4, kJpegAsTheCodec},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string name = c.file;
        const bool bmp3 = name.rfind("BMP3:", 0) == 0;
        if (bmp3)
            name = name.substr(5);
        const fs::path file = root_.Path() / name;
        Convert(quote(src_), c.options, bmp3 ? fs::path("BMP3:" + file.string()) : file);
        const bool prefix = std::string(c.reference).rfind("-define", 0) == 0;
        const Rgba reference = Reference(file, prefix ? c.reference : "", prefix ? "" : c.reference);

        CDIB fromFile, fromMemory;
        ASSERT_TRUE(fromFile.LoadImage(file.string().c_str()));
        EXPECT_EQ(fromFile.GetBitCount(), c.bpp);
        EXPECT_EQ(fromFile.GetColorCount(), c.bpp == 8 ? 256 : 0);
        const int diff = MaxDifference(RgbaOf(fromFile), reference, false);
        EXPECT_TRUE(diff >= 0 && diff <= c.tolerance) << "difference " << diff << " bpp " << fromFile.GetBitCount();
        // The palette follows the table.
        if (c.bpp == 8) {
            EXPECT_EQ(fromFile.GetPalette()->GetEntryCount(), 256);
        }

        const Bytes bytes = ReadFile(file);
        ASSERT_TRUE(fromMemory.LoadImage(bytes.data(), DWORD(bytes.size())));
        EXPECT_EQ(PixelBytes(fromMemory), PixelBytes(fromFile));
        EXPECT_EQ(fromMemory.GetBitCount(), c.bpp);
    }
}

TEST_F(LoadImageTest, OneAndFourBitPalettePngsTakeTheDefaultTableAndRawLoadsKeepTheirs)
{
    // Red and blue in a 1-bit palette: black and white afterwards, the
    // indices as the file has them.
    const fs::path redBlue = root_.Path() / "rb.png";
    Convert("-size 9x5 xc:red", "-fill blue -draw 'rectangle 0,0 3,2' -define png:exclude-chunk=bKGD "
            "-define png:color-type=3 -define png:bit-depth=1", redBlue);
    ASSERT_EQ(ReadFile(redBlue)[24], 1);
    CDIB dib;
    ASSERT_TRUE(dib.LoadImage(redBlue.string().c_str()));
    EXPECT_EQ(dib.GetBitCount(), 1);
    EXPECT_TRUE(sameTable(tableOf(dib), CDIB::kDefaultColors2.data(), 2));
    CDIB raw;
    ASSERT_TRUE(raw.LoadImageRaw(redBlue.string().c_str()));
    EXPECT_EQ(raw.GetBitCount(), 8);
    EXPECT_EQ(MaxDifference(RgbaOf(raw), Reference(redBlue), false), 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(dib.GetPixelIndex(x, y), raw.GetPixelIndex(x, y)) << x << "," << y;
    EXPECT_NE(raw.GetPixel(0, 4), raw.GetPixel(8, 0));

    const fs::path four = make("-colors 16 +dither -define png:exclude-chunk=bKGD -define png:color-type=3 "
                               "-define png:bit-depth=4", "p4.png");
    ASSERT_TRUE(dib.LoadImage(four.string().c_str()));
    EXPECT_EQ(dib.GetBitCount(), 4);
    EXPECT_TRUE(sameTable(tableOf(dib), CDIB::kDefaultColors16.data(), 16));
    ASSERT_TRUE(raw.LoadImageRaw(four.string().c_str()));
    EXPECT_EQ(raw.GetBitCount(), 8);
    EXPECT_EQ(MaxDifference(RgbaOf(raw), Reference(four), false), 0);
    for (int y = 0; y < dib.GetHeight(); ++y)
        for (int x = 0; x < dib.GetWidth(); ++x)
            ASSERT_EQ(dib.GetPixelIndex(x, y), raw.GetPixelIndex(x, y)) << x << "," << y;
    // The resolution stays what it was, as for every other load.
    LONG dx = 0, dy = 0;
    dib.GetDpi(&dx, &dy);
    EXPECT_EQ(dx, 150);
    EXPECT_EQ(dy, 150);
}

TEST_F(LoadImageTest, FailedLoadsKeepThePicture)
{
    CDIB dib;
    MakePattern(dib, 8);
    const Bytes before = PixelBytes(dib);
    const fs::path gif = make("", "a.gif");
    const Bytes png = ReadFile(make("", "a.png"));
    const Bytes garbage = {'B', 'M', 1, 2, 3};
    EXPECT_FALSE(dib.LoadImage((root_.Path() / "missing.png").string().c_str()));
    EXPECT_FALSE(dib.LoadImage(gif.string().c_str()));
    EXPECT_FALSE(dib.LoadImageRaw(gif.string().c_str()));
    EXPECT_FALSE(dib.LoadImage(garbage.data(), DWORD(garbage.size())));
    EXPECT_FALSE(dib.LoadImage(png.data(), DWORD(png.size() / 3)));
    EXPECT_FALSE(dib.LoadImage(nullptr, 100));
    EXPECT_FALSE(dib.LoadImage(png.data(), 0x80000000u));
    EXPECT_FALSE(dib.LoadImage(static_cast<LPCTSTR>(nullptr)));
    EXPECT_FALSE(dib.LoadImageRaw(static_cast<LPCTSTR>(nullptr)));
    EXPECT_EQ(PixelBytes(dib), before);
    EXPECT_EQ(dib.GetBitCount(), 8);
}

TEST_F(LoadImageTest, ExportsAreReadBackByImageMagick)
{
    CDIB dib;
    ASSERT_TRUE(dib.LoadImage(make("", "src.png").string().c_str()));
    ASSERT_EQ(dib.GetBitCount(), 24);
    const fs::path png = root_.Path() / "out.png";
    const fs::path jpg = root_.Path() / "out.jpg";
    ASSERT_TRUE(dib.SavePNG(png.string().c_str()));
    ASSERT_TRUE(dib.SaveJPEG(jpg.string().c_str()));
    EXPECT_EQ(MaxDifference(RgbaOf(dib), Reference(png), false), 0);
    // JPEG at quality 75 loses about what ImageMagick's own JPEG of the
    // picture at that quality loses.
    const fs::path theirs = make("-quality 75", "theirs.jpg");
    const double ours = meanDifference(RgbaOf(dib), Reference(jpg));
    const double reference = meanDifference(RgbaOf(dib), Reference(theirs));
    EXPECT_GT(ours, 0);
    EXPECT_LT(ours, reference + 1) << reference;

    // A palette picture exports its colours; a 1-bit one black and white.
    for (WORD bpp : {1, 4, 8, 16}) {
        SCOPED_TRACE(bpp);
        CDIB pattern;
        MakePattern(pattern, bpp);
        ASSERT_TRUE(pattern.SavePNG(png.string().c_str()));
        const int diff = MaxDifference(RgbaOf(pattern), Reference(png), false);
        // 5-bit channels are widened differently than the screen does.
        EXPECT_TRUE(diff >= 0 && diff <= (bpp == 16 ? 7 : 0)) << "difference " << diff;
    }

    CDIB empty;
    EXPECT_FALSE(empty.SavePNG(png.string().c_str()));
    EXPECT_FALSE(empty.SaveJPEG(jpg.string().c_str()));
    EXPECT_FALSE(dib.SavePNG((root_.Path() / "no" / "such.png").string().c_str()));
    EXPECT_FALSE(dib.SavePNG(""));
}

TEST(CDIBDeviceBitmapTest, DeviceBitmapsBecomePicturesAndBack)
{
    // A monochrome bitmap: 1 bit with the black and white table, whatever table was asked for.
    CDIB pattern;
    MakePattern(pattern, 1);
    int bits = -1;
    HBITMAP mono = pattern.CreateBitmap(&bits);
    ASSERT_TRUE(mono);
    EXPECT_EQ(bits, 1);
    BITMAP bm{};
    ASSERT_TRUE(GetObject(mono, sizeof bm, &bm));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    CDIB back;
    back.SetDpi(33, 44);
    ASSERT_TRUE(back.Create(mono, nullptr));
    EXPECT_EQ(back.GetBitCount(), 1);
    EXPECT_EQ(RgbaOf(back).pixels, RgbaOf(pattern).pixels);
    LONG dx = 0;
    back.GetDpi(&dx, nullptr);
    EXPECT_EQ(dx, 33);
    DeleteObject(mono);

    // Colour pictures of every depth become screen bitmaps, which come back at 24 bits.
    for (WORD bpp : {4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bpp);
        CDIB from;
        MakePattern(from, bpp);
        HBITMAP hbm = from.CreateBitmap(&bits);
        ASSERT_TRUE(hbm);
        EXPECT_EQ(bits, bpp);
        ASSERT_TRUE(GetObject(hbm, sizeof bm, &bm));
        EXPECT_EQ(bm.bmBitsPixel, 32);
        ASSERT_TRUE(back.Create(hbm, nullptr));
        EXPECT_EQ(back.GetBitCount(), 24);
        EXPECT_EQ(back.GetColorCount(), 0);
        if (bpp != 16 && bpp != 32) {
            EXPECT_EQ(RgbaOf(back).pixels, RgbaOf(from).pixels);
        }
        DeleteObject(hbm);
    }

    // An 8-bit section keeps its indices and takes the table given.
    CDIB eight;
    MakePattern(eight, 8);
    void* sectionBits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, eight.GetInfo(), DIB_RGB_COLORS, &sectionBits, nullptr, 0);
    ASSERT_TRUE(section);
    std::memcpy(sectionBits, eight.GetBits(), eight.GetImageSize());
    RGBQUAD grey[256];
    for (int i = 0; i < 256; ++i)
        grey[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    ASSERT_TRUE(back.Create(section, grey));
    EXPECT_EQ(back.GetBitCount(), 8);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(back.GetPixelIndex(x, y), eight.GetPixelIndex(x, y));
    EXPECT_EQ(back.GetColorTable()[77].rgbGreen, 77);
    ASSERT_TRUE(back.Create(section, nullptr));
    EXPECT_TRUE(sameTable(tableOf(back), CDIB::kDefaultColors256.data(), 256));
    DeleteObject(section);

    // Nothing to read: FALSE, the picture kept.
    EXPECT_FALSE(back.Create(nullptr, nullptr));
    EXPECT_FALSE(back.Create(reinterpret_cast<HBITMAP>(&bm), nullptr));
    EXPECT_EQ(back.GetBitCount(), 8);
    CDIB empty;
    EXPECT_EQ(empty.CreateBitmap(&bits), nullptr);
    EXPECT_EQ(bits, 0);

    // A 4-bit row whose 32-bit device form passes the size ceiling: no bitmap.
    CDIB wide;
    ASSERT_TRUE(wide.CreateBlank((1 << 27) + 8, 1, 4, 0));
    bits = 7;
    EXPECT_EQ(wide.CreateBitmap(&bits), nullptr);
    EXPECT_EQ(bits, 0);
}

} // namespace
