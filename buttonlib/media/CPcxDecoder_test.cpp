#include "buttonlib/media/CPcxDecoder.h"
#include "buttonlib/media/CodecTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace codec::testing;

// A PCX file from raw scan lines (planes x bytes per line each), run-length
// coded byte by byte; colours fill the 16-entry header palette.
Bytes pcxFile(int bits, int planes, int bytesPerLine, int width, int height, const Bytes& lines,
              const Bytes& trailer = {})
{
    Bytes f(128, 0);
    f[0] = 10;
    f[1] = 5;
    f[2] = 1;
    f[3] = BYTE(bits);
    PutLe16(f, 8, unsigned(width - 1));
    PutLe16(f, 10, unsigned(height - 1));
    for (int i = 0; i < 16; ++i) {
        f[16 + 3 * i] = BYTE(i * 16);
        f[17 + 3 * i] = BYTE(255 - i * 16);
        f[18 + 3 * i] = BYTE(i * 5);
    }
    f[65] = BYTE(planes);
    PutLe16(f, 66, unsigned(bytesPerLine));
    for (BYTE b : lines) {
        if ((b & 0xC0) == 0xC0)
            f.push_back(0xC1);
        f.push_back(b);
    }
    f.insert(f.end(), trailer.begin(), trailer.end());
    return f;
}

class PcxTest : public ::testing::Test {
protected:
    std::unique_ptr<CGlobalDIB> decode(const Bytes& bytes) { return DecodeBytes(decoder_, bytes); }

    int decodeCode(const Bytes& bytes) { return DecodeCode(decoder_, bytes); }

    // Our decoding and ImageMagick's of the same bytes.
    void expectAsImageMagick(const char* what, const Bytes& bytes, const std::string& referenceOptions = "")
    {
        SCOPED_TRACE(what);
        const fs::path file = root_.Path() / "h.pcx";
        WriteFile(file, bytes);
        auto bmp = decode(bytes);
        EXPECT_EQ(bmp->GetBitsPerPixel(), 32);
        EXPECT_EQ(MaxDifference(FromBitmap(*bmp), Reference(file, "", referenceOptions), false), 0);
    }

    tv::testing::TempRoot root_;
    CPcxDecoder decoder_;
};

TEST_F(PcxTest, ImageMagickFilesOfEveryLayoutItWrites)
{
    const fs::path src = root_.Path() / "src.ppm";
    MakeSource(src);
    for (const char* opts : {"-type TrueColor", "-type Palette", "-colors 2 -type Palette", "-type Grayscale"}) {
        SCOPED_TRACE(opts);
        const fs::path file = root_.Path() / "t.pcx";
        Convert(quote(src), opts, file);
        auto bmp = decode(ReadFile(file));
        EXPECT_EQ(bmp->GetBitsPerPixel(), 32);
        EXPECT_EQ(MaxDifference(FromBitmap(*bmp), Reference(file), false), 0);
    }
}

TEST_F(PcxTest, HandMadeLayouts)
{
    // 1 bit, one plane, 16 pixels in 2 bytes per line: 0 is black and 1
    // white; ImageMagick reads such files the other way round.
    const Bytes mono = pcxFile(1, 1, 2, 16, 2, {0xA5, 0x0F, 0xFF, 0x00});
    expectAsImageMagick("1 bit", mono, "-negate");
    auto bmp = decode(mono);
    EXPECT_EQ(bmp->GetLineArray()[0][0], 255);
    EXPECT_EQ(bmp->GetLineArray()[0][4], 0);
    EXPECT_EQ(bmp->GetLineArray()[1][4 * 15], 0);
    // 1 bit in 4 planes: a 16-colour picture, 8 pixels per line.
    expectAsImageMagick("1 bit, 4 planes", pcxFile(1, 4, 1, 8, 2, {0xF0, 0xCC, 0xAA, 0x01, 0x0F, 0x33, 0x55, 0x80}));
    // 1 bit in 2 planes.
    expectAsImageMagick("1 bit, 2 planes", pcxFile(1, 2, 2, 9, 1, {0xF0, 0x80, 0x3C, 0x00}));
    // 4 bits in one plane, high nibble first.
    expectAsImageMagick("4 bits", pcxFile(4, 1, 2, 3, 2, {0x12, 0x30, 0xFE, 0xD0}));
    // 8 bits, three planes, odd width with the line padded to an even length.
    expectAsImageMagick("24 bits, padded", pcxFile(8, 3, 4, 3, 1, {10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0}));
    // 8 bits in one plane with the 256-colour trailer.
    Bytes trailer{12};
    for (int i = 0; i < 256; ++i)
        trailer.insert(trailer.end(), {BYTE(i), BYTE(255 - i), BYTE(i / 2)});
    expectAsImageMagick("8 bits", pcxFile(8, 1, 4, 3, 2, {0, 7, 255, 0, 0xC5, 0xC0, 3, 0}, trailer));
}

TEST_F(PcxTest, UnsupportedAndDamagedFiles)
{
    const Bytes line = {0xFF, 0xFF};
    EXPECT_EQ(decodeCode(pcxFile(4, 3, 1, 2, 1, {0x12, 0x34, 0x56})), kErrBadPcx);
    EXPECT_EQ(decodeCode(pcxFile(1, 5, 1, 8, 1, {1, 2, 3, 4, 5})), kErrFormatUnknown);
    EXPECT_EQ(decodeCode(pcxFile(8, 2, 1, 1, 1, {1, 2})), kErrFormatUnknown);
    EXPECT_EQ(decodeCode(pcxFile(8, 1, 1, 1, 1, {1}, {13})), kErrBadPcx);
    // Bytes per line too small for the width.
    EXPECT_EQ(decodeCode(pcxFile(8, 1, 1, 5, 1, {1})), kErrFormatUnknown);
    Bytes file = pcxFile(1, 1, 2, 16, 1, line);
    file[0] = 11;
    EXPECT_EQ(decodeCode(file), kErrWrongSignature);
    file[0] = 10;
    file[2] = 0;
    EXPECT_EQ(decodeCode(file), kErrWrongSignature);
    // xmax below xmin.
    file[2] = 1;
    PutLe16(file, 4, 100);
    EXPECT_EQ(decodeCode(file), kErrFormatUnknown);
    // A run longer than what remains of the picture.
    Bytes run = pcxFile(1, 1, 2, 16, 1, {});
    run.insert(run.end(), {0xC3, 0x00});
    EXPECT_EQ(decodeCode(run), kErrBadPcx);
    // Data that ends early.
    Bytes cut = pcxFile(8, 3, 37, 37, 23, Bytes(37 * 3 * 23, 1));
    cut.resize(cut.size() / 2);
    EXPECT_EQ(decodeCode(cut), kErrEndOfData);
}

} // namespace
