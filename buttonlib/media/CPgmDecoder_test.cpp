#include "buttonlib/media/CPgmDecoder.h"
#include "buttonlib/media/CodecTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace codec::testing;

class PgmTest : public ::testing::Test {
protected:
    std::unique_ptr<CGlobalDIB> decode(const std::string& text, int bpp = 0)
    {
        auto bmp = std::make_unique<CGlobalDIB>();
        decoder_.MakeBmpFromMemory(reinterpret_cast<const BYTE*>(text.data()), int(text.size()), bmp.get(), bpp);
        return bmp;
    }

    int decodeCode(const std::string& text)
    {
        try {
            decode(text);
        } catch (const CTextException& e) {
            return e.GetCode();
        }
        return 0;
    }

    tv::testing::TempRoot root_;
    CPgmDecoder decoder_;
};

TEST_F(PgmTest, BinaryAndTextFilesMatchImageMagick)
{
    const fs::path src = root_.Path() / "src.ppm";
    MakeSource(src);
    for (const char* opts : {"-depth 8", "-depth 8 -compress none", "-depth 4", "-depth 4 -compress none", "-depth 1"}) {
        SCOPED_TRACE(opts);
        const fs::path file = root_.Path() / "t.pgm";
        Convert(quote(src), opts, file);
        const Bytes bytes = ReadFile(file);
        for (int bpp : {0, 32}) {
            auto bmp = decode(std::string(bytes.begin(), bytes.end()), bpp);
            EXPECT_EQ(bmp->GetBitsPerPixel(), bpp ? 32 : 8);
            EXPECT_EQ(MaxDifference(FromBitmap(*bmp), Reference(file), false), 0);
        }
    }
}

TEST_F(PgmTest, HeaderRulesAndSampleScaling)
{
    // Comments, any blanks, maximum 15: 15 becomes 255.
    auto bmp = decode("P2 # a comment\n3\t1 # size\r\n15\n0 15 7\n");
    EXPECT_EQ(Bytes(bmp->GetLineArray()[0], bmp->GetLineArray()[0] + 3), (Bytes{0, 255, 119}));
    // A maximum above 255 is taken as 255: samples come out as they are.
    bmp = decode(std::string("P5 2 1 300 ") + char(200) + char(17));
    EXPECT_EQ(bmp->GetLineArray()[0][0], 200);
    EXPECT_EQ(bmp->GetLineArray()[0][1], 17);
    // A text sample over the maximum wraps at 256.
    bmp = decode("P2 1 1 255 300\n");
    EXPECT_EQ(bmp->GetLineArray()[0][0], 300 % 256);
    // The last sample may end at the last byte of the data.
    bmp = decode("P2 2 1 255 4 9");
    EXPECT_EQ(bmp->GetLineArray()[0][1], 9);
}

TEST_F(PgmTest, WrongAndDamagedFiles)
{
    EXPECT_EQ(decodeCode("P3 1 1 255 0"), kErrFormatUnknown);
    EXPECT_EQ(decodeCode("Q5 1 1 255 0"), kErrFormatUnknown);
    EXPECT_EQ(decodeCode("P2 1 x 255 0"), kErrFormatUnknown);
    EXPECT_EQ(decodeCode("P2 99999999999 1 255 0"), kErrFormatUnknown);
    EXPECT_EQ(decodeCode("P2 0 1 255 0"), kErrNoMemory);
    // Samples that are not there are noticed before the bitmap is made.
    EXPECT_EQ(decodeCode("P5 100000 100000 255 "), kErrEndOfData);
    EXPECT_EQ(decodeCode("P5 4 4 255 abc"), kErrEndOfData);
    EXPECT_EQ(decodeCode("P2 2 2 255 1 2 3"), kErrEndOfData);
    EXPECT_EQ(decodeCode("P2 2 # comment without end"), kErrEndOfData);
}

} // namespace
