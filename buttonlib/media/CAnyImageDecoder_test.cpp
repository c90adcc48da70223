#include "buttonlib/media/CAnyImageDecoder.h"
#include "buttonlib/media/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace codec::testing;

int detect(Bytes b, int size = -1)
{
    return CAnyImageDecoder::GetFileFormat(b.data(), int(b.size()), size < 0 ? int(b.size()) : size);
}

Bytes withPrefix(std::initializer_list<int> prefix, std::size_t size = 40)
{
    Bytes b(size, 0);
    std::size_t i = 0;
    for (int v : prefix)
        b[i++] = BYTE(v);
    return b;
}

TEST(FormatDetectionTest, RulesApplyInTheirOrder)
{
    EXPECT_EQ(detect(withPrefix({'B', 'M'})), kFormatBmp);
    // A BMP whose bytes also pass the TGA test is still a BMP.
    Bytes bmpTga = withPrefix({'B', 'M', 2});
    bmpTga[16] = 24;
    EXPECT_EQ(detect(bmpTga), kFormatBmp);
    Bytes tga = withPrefix({0, 0, 10});
    tga[16] = 32;
    EXPECT_EQ(detect(tga), kFormatTga);
    // A PCX whose bytes pass the TGA test is taken as TGA.
    Bytes pcxTga = withPrefix({0x0A, 0x01, 0x01});
    pcxTga[16] = 8;
    EXPECT_EQ(detect(pcxTga), kFormatTga);
    pcxTga[16] = 7;
    EXPECT_EQ(detect(pcxTga), kFormatPcx);
    EXPECT_EQ(detect(withPrefix({'G', 'I', 'F', '8'})), kFormatGif);
    EXPECT_EQ(detect(withPrefix({0x49, 0x49, 0x2A, 0x00})), kFormatTiff);
    EXPECT_EQ(detect(withPrefix({0x4D, 0x4D, 0x00, 0x2A})), kFormatTiff);
    EXPECT_EQ(detect(withPrefix({0xFF, 0xD8, 0xFF})), kFormatJpeg);
    EXPECT_EQ(detect(withPrefix({0x89, 'P', 'N', 'G'})), kFormatPng);
    Bytes eps = withPrefix({0xC5, 0xD0, 0xD3, 0xC6});
    EXPECT_EQ(detect(eps), kFormatUnknown);
    eps[20] = 1, eps[24] = 1;
    EXPECT_EQ(detect(eps), kFormatEps);
    EXPECT_EQ(detect(withPrefix({'P', '5'})), kFormatPgm);
    EXPECT_EQ(detect(withPrefix({'P', '2'})), kFormatPgm);
    EXPECT_EQ(detect(withPrefix({'P', '6'})), kFormatUnknown);

    // PICT's version opcode sits at 522, and only counts above 540 bytes.
    for (const Bytes& version : {Bytes{0x00, 0x11, 0x02, 0xFF}, Bytes{0x00, 0x11, 0x01, 0x00}, Bytes{0x11, 0x01, 0x01, 0x00}}) {
        Bytes pict(541, 0xEE);
        std::copy(version.begin(), version.end(), pict.begin() + 522);
        EXPECT_EQ(detect(pict), kFormatPict);
        pict.resize(540);
        EXPECT_NE(detect(pict), kFormatPict);
    }
    // Short data is never read beyond its end.
    EXPECT_EQ(detect(Bytes{'B'}), kFormatUnknown);
    EXPECT_EQ(detect(Bytes{}), kFormatUnknown);
    EXPECT_EQ(CAnyImageDecoder::GetFileFormat(nullptr, 0, 0), kFormatUnknown);
}

class AnyImageTest : public ::testing::Test {
protected:
    int decodeCode(const Bytes& bytes, CGlobalDIB* out = nullptr) { return DecodeCode(decoder_, bytes, out); }

    // One file of each format and variant, made by ImageMagick once.
    const std::vector<std::pair<std::string, Bytes>>& samples()
    {
        static std::vector<std::pair<std::string, Bytes>> out;
        if (!out.empty())
            return out;
        const fs::path src = root_.Path() / "src.ppm";
        MakeSource(src, 21, 13);
        const std::pair<const char*, const char*> made[] = {
            {"BMP3:", "-type TrueColor"},  {"BMP3:", "-type Palette"}, {"BMP3:", "-type Palette -compress None"},
            {"BMP3:", "-colors 16 -type Palette -compress None"}, {"BMP3:", "-type Bilevel"},
            {"BMP:", "-alpha set"},        {"TGA:", "-compress RLE"},  {"TGA:", "-type Palette -compress RLE"},
            {"TGA:", "-type Grayscale"},   {"TGA:", "-depth 5 -type TrueColor"},
            {"PCX:", "-type TrueColor"},   {"PCX:", "-type Palette"},
            {"PGM:", "-depth 8"},          {"PGM:", "-depth 8 -compress none"},
            {"PICT:", "-type TrueColor"},  {"PICT:", "-type Palette"},
            {"PNG:", "-define png:color-type=2"}, {"PNG:", "-colors 16 -interlace PNG"},
            {"PNG:", "-alpha set -define png:color-type=6 -define png:bit-depth=16"},
            {"JPG:", "-quality 80"},       {"JPG:", "-colorspace Gray -interlace JPEG"},
            {"JPG:", "-colorspace CMYK"},
        };
        for (const auto& [format, options] : made) {
            const fs::path file = root_.Path() / "sample";
            Convert(quote(src), options, std::string(format) + file.string());
            out.emplace_back(std::string(format) + " " + options, ReadFile(file));
        }
        return out;
    }

    tv::testing::TempRoot root_;
    CAnyImageDecoder decoder_;
};

TEST_F(AnyImageTest, DispatchesEachFormatAndRefusesTheRest)
{
    for (const auto& [name, bytes] : samples()) {
        SCOPED_TRACE(name);
        CGlobalDIB bmp;
        EXPECT_EQ(decodeCode(bytes, &bmp), 0);
        EXPECT_EQ(bmp.GetWidth(), 21);
        EXPECT_EQ(bmp.GetHeight(), 13);
    }
    EXPECT_EQ(decodeCode(Bytes(64, 0x33)), kErrUnknownFileType);
    EXPECT_EQ(decodeCode(withPrefix({'G', 'I', 'F', '8', '9', 'a'})), kErrFormatNotSupported);
    EXPECT_EQ(decodeCode(withPrefix({0x49, 0x49, 0x2A, 0x00})), kErrFormatNotSupported);

    // Metafiles go by the name, folders included: a BMP in a folder named
    // like a metafile reaches the metafile decoder, which refuses it.
    const fs::path folder = root_.Path() / "logo.wmf.d";
    fs::create_directories(folder);
    const fs::path bmpFile = folder / "picture.bmp";
    WriteFile(bmpFile, samples()[0].second);
    CGlobalDIB bmp;
    try {
        decoder_.MakeBmpFromFile(bmpFile.c_str(), &bmp);
        FAIL();
    } catch (const CTextException& e) {
        EXPECT_EQ(e.GetCode(), kErrFormatNotSupported);
        EXPECT_STREQ(e.GetMsg(), "Decoder error: Windows Metafile functions failed to load this image.\n");
    }
    const fs::path emf = root_.Path() / "x.EmF";
    WriteFile(emf, samples()[0].second);
    EXPECT_THROW(decoder_.MakeBmpFromFile(emf.c_str(), &bmp), CTextException);
    // From memory the name is "Mem": a metafile in memory is unknown.
    EXPECT_EQ(decodeCode(withPrefix({0xD7, 0xCD, 0xC6, 0x9A})), kErrUnknownFileType);
}

TEST_F(AnyImageTest, HostileInputFailsCleanly)
{
    // Every sample cut at many positions and damaged at random places: a
    // picture or a codec error, never a crash (the sanitizers watch).
    std::mt19937 rng(20240518);
    for (const auto& [name, good] : samples()) {
        SCOPED_TRACE(name);
        const std::size_t step = std::max<std::size_t>(1, good.size() / 97);
        for (std::size_t cut = 0; cut < good.size(); cut += step)
            decodeCode(Bytes(good.begin(), good.begin() + long(cut)));
        for (int round = 0; round < 60; ++round) {
            Bytes bad = good;
            const int flips = 1 + int(rng() % 8);
            for (int i = 0; i < flips; ++i)
                bad[rng() % bad.size()] = BYTE(rng());
            decodeCode(bad);
        }
    }
}

TEST_F(AnyImageTest, AbsurdDimensionsAreRefused)
{
    // BMP 0x7FFFFFFF x 2, TGA 65535 x 65535, PCX 65536 x 65536, PICT 32767 x 32767.
    Bytes bmp(54 + 8, 0);
    bmp[0] = 'B', bmp[1] = 'M';
    PutLe32(bmp, 10, 54);
    PutLe32(bmp, 14, 40);
    PutLe32(bmp, 18, 0x7FFFFFFF);
    PutLe32(bmp, 22, 2);
    PutLe16(bmp, 26, 1);
    PutLe16(bmp, 28, 24);
    EXPECT_EQ(decodeCode(bmp), kErrNoMemory);

    Bytes tga(18 + 16, 0);
    tga[2] = 2;
    PutLe16(tga, 12, 65535);
    PutLe16(tga, 14, 65535);
    tga[16] = 32;
    EXPECT_EQ(decodeCode(tga), kErrNoMemory);

    Bytes pcx(128 + 16, 0);
    pcx[0] = 10, pcx[2] = 1, pcx[3] = 8, pcx[65] = 3;
    PutLe16(pcx, 8, 65534);
    PutLe16(pcx, 10, 65535);
    PutLe16(pcx, 66, 65535);
    EXPECT_EQ(decodeCode(pcx), kErrNoMemory);

    Bytes pict(512, 0);
    AppendBe16(pict, 0);
    AppendBe32(pict, 0), AppendBe16(pict, 0x7FFF), AppendBe16(pict, 0x7FFF);
    AppendBe16(pict, 0x0011), AppendBe16(pict, 0x02FF);
    AppendBe16(pict, 0x009A);
    AppendBe32(pict, 0xFF), AppendBe16(pict, 0x8000);
    AppendBe32(pict, 0), AppendBe16(pict, 0x7FFF), AppendBe16(pict, 0x7FFF);
    pict.insert(pict.end(), 36, 0);
    pict[pict.size() - 36 + 19] = 32;
    pict[pict.size() - 36 + 21] = 3;
    pict.insert(pict.end(), 40, 0);
    EXPECT_EQ(decodeCode(pict), kErrNoMemory);

    // A JPEG frame of 65500 x 65500.
    const fs::path src = root_.Path() / "s.ppm";
    MakeSource(src, 8, 8);
    const fs::path jpg = root_.Path() / "s.jpg";
    Convert(quote(src), "", jpg);
    Bytes jpeg = ReadFile(jpg);
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = 0xFF, jpeg[i + 6] = 0xDC, jpeg[i + 7] = 0xFF, jpeg[i + 8] = 0xDC;
            break;
        }
    EXPECT_EQ(decodeCode(jpeg), kErrNoMemory);
}

TEST_F(AnyImageTest, RowsBeyondFourGigabytesDoNotWrapToSmallRows)
{
    // 0x40000001 pixels of 32 bits make a row of 2^32 + 4 bytes: taken as 4,
    // the bitmap would be made 4 bytes wide and the decoder write past it.
    Bytes bmp(54 + 4, 0);
    bmp[0] = 'B', bmp[1] = 'M';
    PutLe32(bmp, 10, 54);
    PutLe32(bmp, 14, 40);
    PutLe32(bmp, 18, 0x40000001);
    PutLe32(bmp, 22, 1);
    PutLe16(bmp, 26, 1);
    PutLe16(bmp, 28, 32);
    EXPECT_EQ(decodeCode(bmp), kErrNoMemory);

    const std::string pgm = "P2 1073741825 1 255\n1 2 3 4 5 6 7 8\n";
    CGlobalDIB bitmap;
    try {
        decoder_.MakeBmpFromMemory(reinterpret_cast<const BYTE*>(pgm.data()), int(pgm.size()), &bitmap, 32);
        ADD_FAILURE();
    } catch (const CTextException& e) {
        EXPECT_EQ(e.GetCode(), kErrNoMemory);
    }
    EXPECT_THROW(bitmap.Create(0x40000001, 1, 32, false), CTextException);
    EXPECT_THROW(bitmap.Create(0x7FFFFFFF, 1, 24, false), CTextException);
}

TEST_F(AnyImageTest, PcxLinesLongerThanTheDataEndBeforeTheirBuffer)
{
    // One pixel wide but 4 planes of 65535-byte lines over 65536 rows: 17 GB
    // announced by a 130-byte file.
    Bytes pcx(128 + 2, 0xC1);
    std::fill(pcx.begin(), pcx.begin() + 128, 0);
    pcx[0] = 10, pcx[2] = 1, pcx[3] = 1, pcx[65] = 4;
    PutLe16(pcx, 10, 65535);
    PutLe16(pcx, 66, 65535);
    EXPECT_EQ(decodeCode(pcx), kErrEndOfData);
}

} // namespace
