#include "buttonlib/media/CBmpDecoder.h"
#include "buttonlib/media/CodecTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace codec::testing;

class BmpTest : public ::testing::Test {
protected:
    void SetUp() override { MakeSource(src_); }

    // Decodes a file at the requested depth.
    std::unique_ptr<CGlobalDIB> decode(const fs::path& file, int bpp = 0)
    {
        auto bmp = std::make_unique<CGlobalDIB>();
        decoder_.MakeBmpFromFile(file.c_str(), bmp.get(), bpp);
        return bmp;
    }

    int decodeCode(const Bytes& bytes) { return DecodeCode(decoder_, bytes); }

    // Every depth a caller may ask for, from the file and from memory: 0 and
    // 32 always decode, 8 only pictures of 8 bits or fewer, and the depths
    // no decoder writes are refused with code 2 (the sanitizers watch the
    // rows).
    void expectEveryDepth(const fs::path& file, int ownDepth, const Rgba& reference)
    {
        const Bytes bytes = ReadFile(file);
        for (int bpp : {0, 1, 4, 8, 24, 32})
            for (bool fromFile : {true, false}) {
                SCOPED_TRACE("bpp " + std::to_string(bpp) + (fromFile ? " from the file" : " from memory"));
                const bool fits = bpp == 0 || bpp == 32 || (bpp == 8 && ownDepth == 8);
                CGlobalDIB bmp;
                try {
                    if (fromFile)
                        decoder_.MakeBmpFromFile(file.c_str(), &bmp, bpp);
                    else
                        decoder_.MakeBmpFromMemory(bytes.data(), int(bytes.size()), &bmp, bpp);
                } catch (const CTextException& e) {
                    EXPECT_FALSE(fits) << e.GetMsg();
                    EXPECT_EQ(e.GetCode(), kErrFormatUnknown);
                    continue;
                }
                ASSERT_TRUE(fits);
                EXPECT_EQ(bmp.GetBitsPerPixel(), bpp ? bpp : ownDepth);
                EXPECT_EQ(MaxDifference(FromBitmap(bmp), reference, false), 0);
            }
    }

    tv::testing::TempRoot root_;
    fs::path src_ = root_.Path() / "src.ppm";
    CBmpDecoder decoder_;
};

TEST_F(BmpTest, EveryDepthAndCompressionMatchesImageMagick)
{
    struct Case {
        const char* name;
        const char* options;
        int depth;
    };
    const Case cases[] = {
        {"1 bit", "-type Bilevel BMP3:", 8},
        {"4 bits", "-colors 16 -type Palette -compress None BMP3:", 8},
        {"8 bits", "-type Palette -compress None BMP3:", 8},
        {"8 bits RLE", "-type Palette -compress RLE BMP3:", 8},
        {"8 bits RLE few colours", "-colors 7 -type Palette -compress RLE BMP3:", 8},
        {"24 bits", "-type TrueColor BMP3:", 32},
        {"32 bits", "-alpha set -channel A -fx 0.5 -define bmp3:alpha=true BMP3:", 32},
        {"24 bits, version 5 header", "-type TrueColor BMP:", 32},
        {"8 bits RLE, version 5 header", "-type Palette BMP:", 8},
        {"8 bits, version 5 header", "-type Palette -compress None BMP:", 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string opts = c.options;
        const std::size_t colon = opts.rfind(' ');
        const fs::path file = root_.Path() / "t.bmp";
        Convert(quote(src_), opts.substr(0, colon), opts.substr(colon + 1) + file.string());
        expectEveryDepth(file, c.depth, Reference(file));
    }
}

TEST_F(BmpTest, HandMadeRle4AndPaddingCases)
{
    // 5 x 3, 4 bits, RLE4: a run, a literal with odd byte count, end of row,
    // then an early end of picture leaving the top row untouched.
    Bytes f(54 + 64, 0);
    f[0] = 'B', f[1] = 'M';
    PutLe32(f, 10, 54 + 64);
    PutLe32(f, 14, 40);
    PutLe32(f, 18, 5);
    PutLe32(f, 22, 3);
    PutLe16(f, 26, 1);
    PutLe16(f, 28, 4);
    PutLe32(f, 30, 2);
    for (int i = 0; i < 16; ++i)
        PutLe32(f, 54 + 4 * i, unsigned(i * 0x0F0D0B));
    const Bytes rle = {0x05, 0x12, 0x00, 0x00,             // row 0: 1 2 1 2 1
                       0x00, 0x03, 0x34, 0x50,             // row 1: literal 3 4 5
                       0x04, 0xFF, 0x00, 0x00,             // a run cut at the row's end
                       0x00, 0x01};                        // end of picture
    f.insert(f.end(), rle.begin(), rle.end());
    PutLe32(f, 2, unsigned(f.size()));
    const fs::path file = root_.Path() / "rle4.bmp";
    WriteFile(file, f);
    auto bmp = decode(file);
    ASSERT_EQ(bmp->GetBitsPerPixel(), 8);
    BYTE** rows = bmp->GetLineArray();
    EXPECT_EQ(Bytes(rows[2], rows[2] + 5), (Bytes{1, 2, 1, 2, 1}));
    EXPECT_EQ(Bytes(rows[1], rows[1] + 5), (Bytes{3, 4, 5, 15, 15}));
    EXPECT_EQ(Bytes(rows[0], rows[0] + 5), (Bytes{0, 0, 0, 0, 0}));
    expectEveryDepth(file, 8, FromBitmap(*bmp));

    // Width 1 at 24 bits skips one pad byte per row, width 4 none.
    for (int w : {1, 4}) {
        const fs::path small = root_.Path() / "small.bmp";
        Convert("-size " + std::to_string(w) + "x3 gradient:yellow-navy", "-type TrueColor", "BMP3:" + small.string());
        expectEveryDepth(small, 32, Reference(small));
    }
}

TEST_F(BmpTest, RefusalsAndDamagedHeaders)
{
    const fs::path file = root_.Path() / "b.bmp";
    Convert(quote(src_), "-type Palette -compress None", "BMP3:" + file.string());
    const Bytes good = ReadFile(file);
    auto patched = [&](std::size_t at, unsigned v, int bytes) {
        Bytes b = good;
        for (int i = 0; i < bytes; ++i)
            b[at + i] = BYTE(v >> (8 * i));
        return b;
    };
    EXPECT_EQ(decodeCode(patched(0, 'X', 1)), kErrWrongSignature);
    EXPECT_EQ(decodeCode(patched(14, 12, 4)), kErrFormatUnknown);
    EXPECT_EQ(decodeCode(patched(28, 16, 2)), kErrFormatUnknown);
    EXPECT_EQ(decodeCode(patched(28, 2, 2)), kErrFormatUnknown);
    // Top-down rows, palettes over 256 entries, a pixel offset inside the header.
    EXPECT_EQ(decodeCode(patched(22, unsigned(-23), 4)), kErrFormatUnknown);
    EXPECT_EQ(decodeCode(patched(46, 1000, 4)), kErrFormatUnknown);
    EXPECT_EQ(decodeCode(patched(10, 20, 4)), kErrEndOfData);
    // Absurd sizes are refused before anything is allocated: plain rows by
    // the data they lack, run-length rows by the bitmap's ceiling.
    EXPECT_EQ(decodeCode(patched(18, 0x7FFFFFFF, 4)), kErrEndOfData);
    Bytes wideRle = patched(18, 0x7FFFFFFF, 4);
    PutLe32(wideRle, 30, 1);
    EXPECT_EQ(decodeCode(wideRle), kErrNoMemory);
    EXPECT_EQ(decodeCode(patched(18, 0, 4)), kErrFormatUnknown);
    // Delta escapes are not supported.
    Bytes rle = good;
    PutLe32(rle, 30, 1);
    const std::size_t at = Le32(good.data() + 10);
    rle[at] = 0, rle[at + 1] = 2;
    EXPECT_EQ(decodeCode(rle), kErrFormatNotSupported);
}

TEST_F(BmpTest, EndOfDataReadsAsTheSourceSaysIt)
{
    const fs::path file = root_.Path() / "b.bmp";
    Convert(quote(src_), "-type TrueColor", "BMP3:" + file.string());
    const Bytes good = ReadFile(file);
    auto messageOf = [&](Bytes bytes) -> std::string {
        CGlobalDIB bmp;
        try {
            decoder_.MakeBmpFromMemory(bytes.data(), int(bytes.size()), &bmp);
        } catch (const CTextException& e) {
            return std::to_string(e.GetCode()) + " " + e.GetMsg();
        }
        return "decoded";
    };
    const std::string endOfData = "11 End of file reached while decoding.\n";
    // A pixel offset inside the header or past the data, a longer header
    // than the data holds, rows cut short, and the header itself cut.
    Bytes b = good;
    PutLe32(b, 10, 20);
    EXPECT_EQ(messageOf(b), endOfData);
    PutLe32(b, 10, unsigned(good.size()) + 1);
    EXPECT_EQ(messageOf(b), endOfData);
    b = good;
    PutLe32(b, 14, unsigned(good.size()));
    EXPECT_EQ(messageOf(b), endOfData);
    EXPECT_EQ(messageOf(Bytes(good.begin(), good.end() - 1)), endOfData);
    EXPECT_EQ(messageOf(Bytes(good.begin(), good.begin() + 30)), endOfData);
    // Every other failure carries the decoder prefix once.
    b = good;
    b[1] = 'X';
    EXPECT_EQ(messageOf(b), "1 Decoder error: Bitmap decoder: This isn't a bitmap.\n");
}

} // namespace
