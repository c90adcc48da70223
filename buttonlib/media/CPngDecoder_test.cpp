#include "buttonlib/media/CAnyImageDecoder.h"
#include "buttonlib/media/CPngDecoder.h"
#include "buttonlib/media/CodecTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace codec::testing;

class PngTest : public ::testing::Test {
protected:
    void SetUp() override { MakeSource(src_); }

    std::unique_ptr<CGlobalDIB> decode(const Bytes& bytes, int bpp = 0) { return DecodeBytes(decoder_, bytes, bpp); }

    int decodeCode(const Bytes& bytes) { return DecodeCode(decoder_, bytes); }

    // A PNG made by ImageMagick; checks the header it was asked for.
    Bytes make(const std::string& options, int depth, int colorType, const std::string& input = "")
    {
        const fs::path file = root_.Path() / "t.png";
        Convert(input.empty() ? quote(src_) : input, options, "png:" + file.string());
        Bytes bytes = ReadFile(file);
        if (bytes.size() < 26) {
            ADD_FAILURE() << "no PNG made with " << options;
            return Bytes(26, 0);
        }
        EXPECT_EQ(bytes[24], depth) << options;
        EXPECT_EQ(bytes[25], colorType) << options;
        return bytes;
    }

    tv::testing::TempRoot root_;
    fs::path src_ = root_.Path() / "src.ppm";
    CPngDecoder decoder_;
};

TEST_F(PngTest, EveryColourTypeAndDepthMatchesImageMagick)
{
    struct Case {
        const char* options;
        int depth;
        int colorType;
        int bits8; // depth of the default result
        bool alpha;
        int tolerance; // 16-bit samples lose their low byte, ImageMagick rounds
    };
    const Case cases[] = {
        {"-monochrome -define png:color-type=0 -define png:bit-depth=1", 1, 0, 8, false, 0},
        {"-colorspace Gray -posterize 4 -define png:color-type=0 -define png:bit-depth=2", 2, 0, 8, false, 0},
        {"-colorspace Gray -posterize 16 -define png:color-type=0 -define png:bit-depth=4", 4, 0, 8, false, 0},
        {"-type Grayscale -define png:color-type=0 -define png:bit-depth=8", 8, 0, 8, false, 0},
        {"-type Grayscale -define png:color-type=0 -define png:bit-depth=16", 16, 0, 8, false, 1},
        {"-define png:color-type=2 -define png:bit-depth=8", 8, 2, 32, false, 0},
        {"-define png:color-type=2 -define png:bit-depth=16", 16, 2, 32, false, 1},
        {"-colors 2 +dither -define png:exclude-chunk=bKGD -define png:color-type=3 -define png:bit-depth=1", 1, 3, 8, false, 0},
        {"-colors 3 +dither -define png:exclude-chunk=bKGD -define png:color-type=3 -define png:bit-depth=2", 2, 3, 8, false, 0},
        {"-colors 16 +dither -define png:exclude-chunk=bKGD -define png:color-type=3 -define png:bit-depth=4", 4, 3, 8, false, 0},
        {"-colors 200 -define png:exclude-chunk=bKGD -define png:color-type=3 -define png:bit-depth=8", 8, 3, 8, false, 0},
        {"-alpha set -channel A -fx 0.4 -colorspace Gray -define png:color-type=4 -define png:bit-depth=8", 8, 4, 32, true, 0},
        {"-alpha set -channel A -fx 'u.r' -define png:color-type=6 -define png:bit-depth=8", 8, 6, 32, true, 0},
        {"-alpha set -channel A -fx 'u.g' -define png:color-type=6 -define png:bit-depth=16", 16, 6, 32, true, 1},
        {"-interlace PNG -define png:color-type=2 -define png:bit-depth=8", 8, 2, 32, false, 0},
        {"-interlace PNG -colors 16 +dither -define png:exclude-chunk=bKGD -define png:color-type=3 -define png:bit-depth=4", 4, 3, 8, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const Bytes bytes = make(c.options, c.depth, c.colorType);
        const fs::path file = root_.Path() / "t.png";
        const Rgba reference = Reference(file);
        for (int bpp : {0, 32}) {
            auto bmp = decode(bytes, bpp);
            EXPECT_EQ(bmp->GetBitsPerPixel(), bpp ? 32 : c.bits8);
            EXPECT_EQ(bmp->HasAlpha(), c.alpha);
            const int diff = MaxDifference(FromBitmap(*bmp), reference, c.alpha);
            EXPECT_TRUE(diff >= 0 && diff <= c.tolerance) << "bpp " << bpp << " difference " << diff;
        }
    }
}

TEST_F(PngTest, PalettesRampsAndSourceDepth)
{
    // 16-bit grey at 8 bits: the full ramp.
    auto bmp = decode(make("-type Grayscale -define png:color-type=0 -define png:bit-depth=16", 16, 0));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(bmp->GetPalette()[i].rgbGreen, i);
    // 2-bit grey: four levels, indices 0 to 3.
    bmp = decode(make("-posterize 4 -define png:color-type=0 -define png:bit-depth=2", 2, 0,
                      "-size 37x23 gradient:black-white"));
    EXPECT_EQ(bmp->GetPalette()[1].rgbRed, 85);
    EXPECT_EQ(bmp->GetPalette()[2].rgbRed, 170);
    EXPECT_EQ(bmp->GetPalette()[3].rgbRed, 255);
    BYTE most = 0;
    for (int y = 0; y < bmp->GetHeight(); ++y)
        for (int x = 0; x < bmp->GetWidth(); ++x)
            most = std::max(most, bmp->GetLineArray()[y][x]);
    EXPECT_EQ(most, 3);

    // The source depth of paletted PNGs, kept across other pictures.
    CAnyImageDecoder any;
    CGlobalDIB out;
    EXPECT_EQ(any.GetSourceBpp(), 0);
    const Bytes four = make("-colors 16 +dither -define png:exclude-chunk=bKGD -define png:color-type=3 -define png:bit-depth=4", 4, 3);
    any.MakeBmpFromMemory(four.data(), int(four.size()), &out);
    EXPECT_EQ(any.GetSourceBpp(), 4);
    const Bytes rgb = make("-define png:color-type=2 -define png:bit-depth=8", 8, 2);
    any.MakeBmpFromMemory(rgb.data(), int(rgb.size()), &out);
    EXPECT_EQ(any.GetSourceBpp(), 4);
    // Without alpha the fourth byte is 255.
    for (int x = 0; x < out.GetWidth(); ++x)
        ASSERT_EQ(out.GetLineArray()[5][4 * x + 3], 255);
    // A palette shorter than 256 entries: the rest is black.
    const Bytes two = make("-colors 2 +dither -define png:exclude-chunk=bKGD -define png:color-type=3 -define png:bit-depth=1", 1, 3);
    bmp = decode(two);
    EXPECT_EQ(bmp->GetPalette()[200].rgbRed, 0);
}

TEST_F(PngTest, DamagedFiles)
{
    const Bytes good = make("-define png:color-type=2 -define png:bit-depth=8", 8, 2);
    // A bad CRC in a critical chunk.
    Bytes crc = good;
    crc[29] ^= 0xFF;
    EXPECT_EQ(decodeCode(crc), kErrFormatUnknown);
    Bytes sig = good;
    sig[1] = 'X';
    EXPECT_EQ(decodeCode(sig), kErrFormatUnknown);
    // Data that ends early.
    for (std::size_t cut : {std::size_t(8), std::size_t(30), good.size() / 2, good.size() - 13}) {
        Bytes part(good.begin(), good.begin() + long(cut));
        EXPECT_EQ(decodeCode(part), kErrEndOfData) << cut;
    }
    // A chunk claiming more than the data holds gets no block of the
    // claimed size (libpng passes over a text chunk it gets no block for).
    Bytes longChunk(good.begin(), good.begin() + 33);
    const Bytes header{0x06, 0x00, 0x00, 0x00, 't', 'E', 'X', 't'}; // 96 MiB of text
    longChunk.insert(longChunk.end(), header.begin(), header.end());
    longChunk.insert(longChunk.end(), good.begin() + 33, good.end());
    if (LargestAllocation::Start()) {
        decodeCode(longChunk);
        EXPECT_LT(LargestAllocation::Stop(), std::size_t(1) << 20);
    }
    // A header announcing a picture too large to be had.
    Bytes huge = good;
    huge[16] = 0x00, huge[17] = 0x7F, huge[18] = 0xFF, huge[19] = 0xFF;
    huge[20] = 0x00, huge[21] = 0x7F, huge[22] = 0xFF, huge[23] = 0xFF;
    const int code = decodeCode(huge);
    EXPECT_TRUE(code == kErrFormatUnknown || code == kErrNoMemory) << code;
}

} // namespace
