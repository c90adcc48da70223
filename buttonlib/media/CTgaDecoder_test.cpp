#include "buttonlib/media/CTgaDecoder.h"
#include "buttonlib/media/CodecTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace codec::testing;

class TgaTest : public ::testing::Test {
protected:
    void SetUp() override { MakeSource(src_); }

    std::unique_ptr<CGlobalDIB> decode(const Bytes& bytes, int bpp = 0) { return DecodeBytes(decoder_, bytes, bpp); }

    int decodeCode(const Bytes& bytes) { return DecodeCode(decoder_, bytes); }

    static Bytes header(int type, int depth, int w, int h, BYTE descriptor = 0)
    {
        Bytes b(18, 0);
        b[2] = BYTE(type);
        PutLe16(b, 12, unsigned(w));
        PutLe16(b, 14, unsigned(h));
        b[16] = BYTE(depth);
        b[17] = descriptor;
        return b;
    }

    tv::testing::TempRoot root_;
    fs::path src_ = root_.Path() / "src.ppm";
    CTgaDecoder decoder_;
};

TEST_F(TgaTest, EveryTypeDepthAndOrientationMatchesImageMagick)
{
    struct Case {
        const char* name;
        std::string options;
        int depth;
        bool alpha;
        // 5-bit channels become value << 3 here, fully scaled in ImageMagick.
        int tolerance = 0;
    };
    const Case cases[] = {
        {"true colour 24", "-type TrueColor -compress None", 32, false},
        {"true colour 24 RLE", "-type TrueColor -compress RLE", 32, false},
        {"true colour 32 with alpha", "-alpha set -channel A -fx 0.5 -compress None", 32, true},
        {"true colour 32 RLE", "-alpha set -channel A -fx 0.25 -compress RLE", 32, true},
        {"true colour 16", "-depth 5 -type TrueColor -compress None", 32, false, 7},
        {"colour-mapped", "-type Palette -compress None", 8, false},
        {"colour-mapped RLE", "-type Palette -compress RLE", 8, false},
        {"grey", "-type Grayscale -compress None", 8, false},
        {"grey RLE", "-type Grayscale -compress RLE", 8, false},
        {"top-left origin", "-orient TopLeft -type TrueColor -compress None", 32, false},
        {"top-left origin colour-mapped", "-orient TopLeft -type Palette -compress RLE", 8, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = root_.Path() / "t.tga";
        Convert(quote(src_), c.options, file);
        const Rgba reference = Reference(file, "", "-auto-orient");
        const Bytes bytes = ReadFile(file);
        for (int bpp : {0, 32}) {
            auto bmp = decode(bytes, bpp);
            EXPECT_EQ(bmp->GetBitsPerPixel(), bpp ? 32 : c.depth);
            const int diff = MaxDifference(FromBitmap(*bmp), reference, c.alpha);
            EXPECT_TRUE(diff >= 0 && diff <= c.tolerance) << "bpp " << bpp << " difference " << diff;
        }
    }
}

TEST_F(TgaTest, SixteenBitAlphaAndOrigin)
{
    // Two pixels, bottom-left origin: the file's first row is the bottom one.
    Bytes f = header(2, 16, 1, 2);
    f.insert(f.end(), {0x00, 0x80, 0xFF, 0x7F});
    auto bmp = decode(f);
    ASSERT_TRUE(bmp->HasAlpha());
    const BYTE* top = bmp->GetLineArray()[0];
    const BYTE* bottom = bmp->GetLineArray()[1];
    EXPECT_EQ(Bytes(bottom, bottom + 4), (Bytes{0, 0, 0, 0x80}));
    EXPECT_EQ(Bytes(top, top + 4), (Bytes{248, 248, 248, 0}));
    f[17] = 0x20;
    bmp = decode(f);
    EXPECT_EQ(bmp->GetLineArray()[0][3], 0x80);

    // A run packet may carry over into the next row.
    Bytes rle = header(10, 24, 2, 2);
    rle.insert(rle.end(), {0x82, 1, 2, 3, 0x00, 9, 8, 7});
    bmp = decode(rle);
    EXPECT_EQ(bmp->GetLineArray()[0][0], 1);
    EXPECT_EQ(bmp->GetLineArray()[0][4], 9);
}

TEST_F(TgaTest, BadMapsAndTypesAreRefused)
{
    // Colour-mapped pixels without a colour map.
    Bytes noMap = header(1, 8, 2, 2);
    noMap.insert(noMap.end(), 4, 0);
    EXPECT_EQ(decodeCode(noMap), kErrFormatUnknown);
    Bytes unknown = header(5, 24, 2, 2);
    unknown.insert(unknown.end(), 12, 0);
    EXPECT_EQ(decodeCode(unknown), kErrFormatUnknown);
    EXPECT_EQ(decodeCode(header(2, 12, 2, 2)), kErrFormatUnknown);
    EXPECT_EQ(decodeCode(header(2, 24, 0, 2)), kErrNoMemory);

    // A map reaching past entry 255 is cut, not written beyond the palette.
    Bytes past = header(1, 8, 2, 1);
    past[1] = 1;
    PutLe16(past, 3, 250);
    PutLe16(past, 5, 10);
    past[7] = 24;
    for (int i = 0; i < 10; ++i)
        past.insert(past.end(), {BYTE(i), BYTE(i), BYTE(i)});
    past.insert(past.end(), {255, 250});
    auto bmp = decode(past, 32);
    EXPECT_EQ(bmp->GetLineArray()[0][0], 5);
    EXPECT_EQ(bmp->GetLineArray()[0][4], 0);

    // Truncated pixel data ends with code 11.
    Bytes shortData = header(2, 24, 4, 4);
    shortData.insert(shortData.end(), 20, 7);
    EXPECT_EQ(decodeCode(shortData), kErrEndOfData);
}

} // namespace
