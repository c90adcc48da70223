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

// A codec failure's text: one of the four the codecs throw as they stand,
// with their own codes, or "Decoder error: " once, then the text and "\n".
void expectWellFormed(const CTextException& e)
{
    const std::string msg = e.GetMsg();
    if (msg == "Can't create bitmap." || msg == "Can't allocate global memory block.") {
        EXPECT_EQ(e.GetCode(), kErrNoMemory);
        return;
    }
    if (msg == "End of file reached while decoding.\n" || msg == "Buffer overflow while encoding.\n") {
        EXPECT_EQ(e.GetCode(), kErrEndOfData);
        return;
    }
    const std::string prefix = "Decoder error: ";
    EXPECT_EQ(msg.rfind(prefix, 0), 0u) << msg;
    EXPECT_EQ(msg.find(prefix, 1), std::string::npos) << msg;
    EXPECT_EQ(msg.find("End of file reached"), std::string::npos) << msg;
    EXPECT_EQ(msg.find("Can't create bitmap."), std::string::npos) << msg;
    EXPECT_TRUE(!msg.empty() && msg.back() == '\n') << msg;
}

class AnyImageTest : public ::testing::Test {
protected:
    int decodeCode(const Bytes& bytes, CGlobalDIB* out = nullptr, int bpp = 0)
    {
        return DecodeCode(decoder_, bytes, out, bpp);
    }

    // The code of a decode at a requested depth; any failure's text is checked.
    int checkedCode(const Bytes& bytes, int bpp, CImageBitmap* out)
    {
        try {
            decoder_.MakeBmpFromMemory(bytes.data(), int(bytes.size()), out, bpp);
        } catch (const CTextException& e) {
            expectWellFormed(e);
            return e.GetCode();
        }
        return 0;
    }

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

TEST_F(AnyImageTest, EveryRequestedDepthOfEverySample)
{
    // 0 and 32 always decode; 8 decodes to 8 bits, is widened to 32 (PNG,
    // JPEG, PCX) or is refused for deeper pixels; the depths no decoder
    // writes are refused. What decodes is the same picture at every depth
    // (the sanitizers watch the rows).
    for (const auto& [name, bytes] : samples()) {
        SCOPED_TRACE(name);
        CGlobalDIB own;
        ASSERT_EQ(checkedCode(bytes, 0, &own), 0);
        const Rgba picture = FromBitmap(own);
        for (int bpp : {1, 4, 8, 24, 32}) {
            SCOPED_TRACE("bpp " + std::to_string(bpp));
            CGlobalDIB bmp;
            const int code = checkedCode(bytes, bpp, &bmp);
            if (bpp != 8 && bpp != 32) {
                EXPECT_EQ(code, kErrFormatUnknown);
                continue;
            }
            if (bpp == 8 && code == kErrFormatUnknown) {
                EXPECT_EQ(own.GetBitsPerPixel(), 32);
                continue;
            }
            ASSERT_EQ(code, 0);
            EXPECT_TRUE(bmp.GetBitsPerPixel() == bpp || (bpp == 8 && own.GetBitsPerPixel() == 32));
            EXPECT_EQ(MaxDifference(FromBitmap(bmp), picture, false), 0);
        }
    }
}

TEST_F(AnyImageTest, HostileInputFailsCleanly)
{
    // Every sample cut at many positions and damaged at random places, at
    // the depths callers ask for: a picture or a codec error of the right
    // form, never a crash (the sanitizers watch).
    std::mt19937 rng(20240518);
    const int depths[] = {0, 8, 32};
    for (const auto& [name, good] : samples()) {
        SCOPED_TRACE(name);
        const std::size_t step = std::max<std::size_t>(1, good.size() / 97);
        for (std::size_t cut = 0; cut < good.size(); cut += step) {
            CGlobalDIB bmp;
            checkedCode(Bytes(good.begin(), good.begin() + long(cut)), depths[cut % 3], &bmp);
        }
        for (int round = 0; round < 60; ++round) {
            Bytes bad = good;
            const int flips = 1 + int(rng() % 8);
            for (int i = 0; i < flips; ++i)
                bad[rng() % bad.size()] = BYTE(rng());
            CGlobalDIB bmp;
            checkedCode(bad, depths[round % 3], &bmp);
        }
    }
}

TEST_F(AnyImageTest, ShortPlainDataEndsBeforeTheBitmap)
{
    // Each case: the bytes, and whether they hold every plain row.
    struct Case {
        const char* name;
        Bytes bytes;
        bool whole;
    };
    auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    auto bmp = [](int width, int height, int bits, std::size_t rowBytes) {
        const unsigned colours = bits <= 8 ? 1u << bits : 0;
        Bytes b(54 + 4 * colours, 0);
        b[0] = 'B', b[1] = 'M';
        PutLe32(b, 10, unsigned(b.size()));
        PutLe32(b, 14, 40);
        PutLe32(b, 18, unsigned(width));
        PutLe32(b, 22, unsigned(height));
        PutLe16(b, 26, 1);
        PutLe16(b, 28, unsigned(bits));
        b.insert(b.end(), rowBytes * std::size_t(height), 0x5A);
        return b;
    };
    auto tga = [](int type, int depth, int width, int height, int mapEntries, bool withData = true) {
        Bytes b(18, 0);
        if (!withData) {
            b[2] = BYTE(type);
            PutLe16(b, 12, unsigned(width));
            PutLe16(b, 14, unsigned(height));
            b[16] = BYTE(depth);
            return b;
        }
        b[0] = 3; // an ID field, skipped
        b[1] = mapEntries ? 1 : 0;
        b[2] = BYTE(type);
        PutLe16(b, 5, unsigned(mapEntries));
        b[7] = mapEntries ? 24 : 0;
        PutLe16(b, 12, unsigned(width));
        PutLe16(b, 14, unsigned(height));
        b[16] = BYTE(depth);
        b.insert(b.end(), 3 + std::size_t(mapEntries) * 3 + std::size_t(width) * std::size_t(height) * std::size_t((depth + 7) / 8), 1);
        return b;
    };
    auto cut = [](Bytes b, std::size_t n) {
        b.resize(b.size() - n);
        return b;
    };
    // 256 x 1 pixels of 24 bits as two runs of 128.
    Bytes rleTga = tga(10, 24, 256, 1, 0, false);
    for (int run = 0; run < 2; ++run)
        rleTga.insert(rleTga.end(), {0xFF, 1, 2, 3});
    const Case cases[] = {
        // Headers alone that claim 11000 x 11000 pixels (462 MiB at 32 bits).
        {"54-byte BMP", Bytes(bmp(11000, 11000, 24, 0)), false},
        {"18-byte TGA", tga(2, 24, 11000, 11000, 0, false), false},
        {"19-byte PGM", text("P5 11000 11000 255\n"), false},
        {"text PGM", text("P2 11000 11000 255\n1 2 3\n"), false},
        // Exactly whole, and one byte short.
        {"BMP 1 bit", bmp(3, 2, 1, 4), true},
        {"BMP 4 bits cut", cut(bmp(9, 2, 4, 8), 1), false},
        {"BMP 8 bits", bmp(5, 3, 8, 8), true},
        {"BMP 8 bits cut", cut(bmp(5, 3, 8, 8), 1), false},
        {"BMP 24 bits", bmp(1, 2, 24, 4), true},
        {"BMP 24 bits cut", cut(bmp(1, 2, 24, 4), 1), false},
        {"BMP 32 bits cut", cut(bmp(2, 2, 32, 8), 1), false},
        {"TGA mapped", tga(1, 8, 3, 2, 4), true},
        {"TGA mapped cut", cut(tga(1, 8, 3, 2, 4), 1), false},
        {"TGA true colour", tga(2, 32, 3, 2, 0), true},
        {"TGA true colour cut", cut(tga(2, 16, 3, 2, 0), 1), false},
        {"TGA grey cut", cut(tga(3, 8, 3, 2, 0), 1), false},
        // Run-length pixels: at most 128 to a packet of a header and a pixel.
        {"18-byte RLE TGA", tga(10, 24, 11000, 11000, 0, false), false},
        {"RLE TGA in two runs", rleTga, true},
        {"RLE TGA in two runs cut", cut(rleTga, 1), false},
        {"PGM binary", text("P5 3 2 255\nabcdef"), true},
        {"PGM binary cut", text("P5 3 2 255\nabcde"), false},
        {"PGM text", text("P2 3 1 255\n1 2 3"), true},
        {"PGM text cut", text("P2 3 1 255\n12 3"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WatchedBitmap out;
        for (int bpp : {0, 32}) {
            EXPECT_EQ(checkedCode(c.bytes, bpp, &out), c.whole ? 0 : kErrEndOfData);
            EXPECT_EQ(out.creates, c.whole ? 1 : 0);
            out.creates = 0;
        }
    }
}

TEST_F(AnyImageTest, AbsurdDimensionsAreRefused)
{
    // Compressed pictures, whose data cannot be measured before decoding:
    // BMP 0x7FFFFFFF x 2, TGA 65535 x 65535, PCX 65536 x 65536, PICT 32767 x 32767.
    Bytes bmp(54 + 4 + 8, 0);
    bmp[0] = 'B', bmp[1] = 'M';
    PutLe32(bmp, 10, 58);
    PutLe32(bmp, 14, 40);
    PutLe32(bmp, 18, 0x7FFFFFFF);
    PutLe32(bmp, 22, 2);
    PutLe16(bmp, 26, 1);
    PutLe16(bmp, 28, 8);
    PutLe32(bmp, 30, 1);
    PutLe32(bmp, 46, 1);
    EXPECT_EQ(decodeCode(bmp), kErrNoMemory);

    Bytes tga(18 + 16, 0);
    tga[2] = 10;
    PutLe16(tga, 12, 65535);
    PutLe16(tga, 14, 65535);
    tga[16] = 32;
    // Sixteen bytes hold too few run-length packets for its pixels.
    EXPECT_EQ(decodeCode(tga), kErrEndOfData);

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
    // Counted in full, the rows are more than the data holds.
    Bytes bmp(54 + 4, 0);
    bmp[0] = 'B', bmp[1] = 'M';
    PutLe32(bmp, 10, 54);
    PutLe32(bmp, 14, 40);
    PutLe32(bmp, 18, 0x40000001);
    PutLe32(bmp, 22, 1);
    PutLe16(bmp, 26, 1);
    PutLe16(bmp, 28, 32);
    WatchedBitmap watched;
    EXPECT_EQ(checkedCode(bmp, 0, &watched), kErrEndOfData);

    const std::string pgm = "P2 1073741825 1 255\n1 2 3 4 5 6 7 8\n";
    EXPECT_EQ(checkedCode(Bytes(pgm.begin(), pgm.end()), 32, &watched), kErrEndOfData);
    EXPECT_EQ(watched.creates, 0);
    CGlobalDIB bitmap;
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
