#include "buttonlib/media/CJpegDecoder.h"
#include "buttonlib/media/CodecTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace codec::testing;

const char* const kAsTheCodec = "-define jpeg:dct-method=float -define jpeg:fancy-upsampling=off ";

class JpegTest : public ::testing::Test {
protected:
    void SetUp() override { MakeSource(src_, 61, 45); }

    std::unique_ptr<CGlobalDIB> decode(const Bytes& bytes, int bpp = 0)
    {
        auto bmp = std::make_unique<CGlobalDIB>();
        decoder_.MakeBmpFromMemory(bytes.data(), int(bytes.size()), bmp.get(), bpp);
        return bmp;
    }

    Bytes make(const std::string& options)
    {
        const fs::path file = root_.Path() / "t.jpg";
        Convert(quote(src_), options, "jpg:" + file.string());
        return ReadFile(file);
    }

    tv::testing::TempRoot root_;
    fs::path src_ = root_.Path() / "src.ppm";
    CJpegDecoder decoder_;
};

TEST_F(JpegTest, ColourGreyCmykAndProgressiveMatchImageMagick)
{
    // ImageMagick is asked to decode as the codec does (float DCT, no fancy
    // upsampling); rounding still differs by a level or two.
    struct Case {
        const char* options;
        int depth;
        int tolerance;
    };
    const Case cases[] = {
        {"-quality 92 -sampling-factor 1x1", 32, 4},
        {"-quality 75 -sampling-factor 2x2", 32, 4},
        {"-quality 85 -sampling-factor 2x1 -interlace JPEG", 32, 4},
        {"-quality 90 -colorspace Gray", 8, 4},
        {"-quality 90 -colorspace Gray -interlace JPEG", 8, 4},
        {"-quality 95 -colorspace CMYK -sampling-factor 1x1", 32, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const Bytes bytes = make(c.options);
        const Rgba reference = Reference(root_.Path() / "t.jpg", kAsTheCodec);
        for (int bpp : {0, 32, 8}) {
            auto bmp = decode(bytes, bpp);
            // Colour always gives 32 bits, grey the depth asked for (8 by default).
            EXPECT_EQ(bmp->GetBitsPerPixel(), c.depth == 32 || bpp == 32 ? 32 : 8);
            EXPECT_FALSE(bmp->HasAlpha());
            const int diff = MaxDifference(FromBitmap(*bmp), reference, false);
            EXPECT_TRUE(diff >= 0 && diff <= c.tolerance) << "bpp " << bpp << " difference " << diff;
        }
    }
}

TEST_F(JpegTest, GreyPicturesUseTheRampAndColourOnesAreOpaque)
{
    auto grey = decode(make("-colorspace Gray"));
    ASSERT_EQ(grey->GetBitsPerPixel(), 8);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(grey->GetPalette()[i].rgbRed, i);
    auto colour = decode(make("-quality 80"));
    for (int x = 0; x < colour->GetWidth(); ++x)
        ASSERT_EQ(colour->GetLineArray()[3][4 * x + 3], 255);
}

TEST_F(JpegTest, TruncatedDataStillGivesTheWholePicture)
{
    const Bytes full = make("-quality 90");
    for (std::size_t cut : {full.size() / 2, full.size() - 2, std::size_t(700)}) {
        SCOPED_TRACE(cut);
        Bytes part(full.begin(), full.begin() + long(cut));
        auto bmp = decode(part);
        EXPECT_EQ(bmp->GetWidth(), 61);
        EXPECT_EQ(bmp->GetHeight(), 45);
    }
}

TEST_F(JpegTest, LibraryErrorsAreCodeSixAndTheDecoderStaysUsable)
{
    const Bytes good = make("-quality 90");
    Bytes bad = good;
    // No image data at all after the start marker.
    bad.resize(4);
    try {
        decode(bad);
        FAIL() << "no error";
    } catch (const CTextException& e) {
        EXPECT_EQ(e.GetCode(), kErrFormatNotSupported);
        const std::string msg = e.GetMsg();
        EXPECT_EQ(msg.rfind("Decoder error: ", 0), 0u);
        EXPECT_EQ(msg.substr(msg.size() - 2), "\n\n");
    }
    // A frame header announcing a zero width.
    Bytes zero = good;
    for (std::size_t i = 2; i + 9 < zero.size(); ++i)
        if (zero[i] == 0xFF && zero[i + 1] == 0xC0) {
            zero[i + 7] = 0, zero[i + 8] = 0;
            break;
        }
    EXPECT_THROW(decode(zero), CTextException);
    auto bmp = decode(good);
    EXPECT_EQ(bmp->GetWidth(), 61);
}

} // namespace
