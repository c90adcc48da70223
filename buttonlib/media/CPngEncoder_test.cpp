#include "buttonlib/media/CDIBSectionBitmap.h"
#include "buttonlib/media/CJpegDecoder.h"
#include "buttonlib/media/CJpegEncoder.h"
#include "buttonlib/media/CPngDecoder.h"
#include "buttonlib/media/CPngEncoder.h"
#include "buttonlib/media/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace codec::testing;

// A memory sink of a chosen capacity.
class MemorySink : public CImageSink {
public:
    explicit MemorySink(std::size_t capacity) { capacity_ = capacity; }
};

// A colourful bitmap at the given depth.
void fill(CImageBitmap& bmp, LONG w, LONG h, WORD bpp, bool alpha = false)
{
    bmp.Create(w, h, bpp, alpha);
    // 1-bit pictures keep their black and white.
    if (bpp == 4 || bpp == 8) {
        RGBQUAD* pal = bmp.GetPalette();
        for (int i = 0; i < bmp.GetPaletteSize(); ++i)
            pal[i] = RGBQUAD{BYTE(i * 7), BYTE(255 - i), BYTE(i * 3), 0};
    }
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            BYTE* row = bmp.GetLineArray()[y];
            switch (bpp) {
            case 1:
                if ((x + y) % 3 == 0)
                    row[x / 8] = BYTE(row[x / 8] | (0x80 >> (x % 8)));
                break;
            case 8: row[x] = BYTE(x * 5 + y); break;
            case 24:
                row[3 * x] = BYTE(x * 9), row[3 * x + 1] = BYTE(y * 11), row[3 * x + 2] = BYTE(x + y);
                break;
            default:
                row[4 * x] = BYTE(x * 9), row[4 * x + 1] = BYTE(y * 11), row[4 * x + 2] = BYTE(x + y);
                row[4 * x + 3] = BYTE(alpha ? x * 4 : 0);
                break;
            }
        }
}

// The chunks of a PNG file: type and data length.
std::vector<std::pair<std::string, unsigned>> chunks(const Bytes& png)
{
    std::vector<std::pair<std::string, unsigned>> out;
    for (std::size_t at = 8; at + 8 <= png.size();) {
        const unsigned len = (unsigned(png[at]) << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        out.emplace_back(std::string(png.begin() + long(at) + 4, png.begin() + long(at) + 8), len);
        at += 12 + len;
    }
    return out;
}

bool hasChunk(const Bytes& png, const std::string& type, unsigned* length = nullptr)
{
    for (const auto& [t, len] : chunks(png))
        if (t == type) {
            if (length)
                *length = len;
            return true;
        }
    return false;
}

class EncoderTest : public ::testing::Test {
protected:
    int encodeCode(CImageEncoder& encoder, CImageBitmap& bmp, const fs::path& path)
    {
        try {
            encoder.MakeFileFromBmp(path.c_str(), &bmp);
        } catch (const CTextException& e) {
            return e.GetCode();
        }
        return 0;
    }

    tv::testing::TempRoot root_;
    fs::path out_ = root_.Path() / "out.png";
    CPngEncoder png_;
    CJpegEncoder jpeg_;
};

TEST_F(EncoderTest, PngHeadersByDepthAndRoundTrips)
{
    struct Case {
        WORD bpp;
        bool alpha;
        int depth;
        int colorType;
    };
    for (const Case& c : {Case{1, false, 1, 0}, Case{8, false, 8, 3}, Case{24, false, 8, 2}, Case{32, false, 8, 6},
                          Case{32, true, 8, 6}}) {
        SCOPED_TRACE(c.bpp);
        CGlobalDIB bmp;
        fill(bmp, 23, 9, c.bpp, c.alpha);
        ASSERT_EQ(encodeCode(png_, bmp, out_), 0);
        const Bytes file = ReadFile(out_);
        EXPECT_EQ(file[24], c.depth);
        EXPECT_EQ(file[25], c.colorType);
        unsigned plte = 0;
        EXPECT_EQ(hasChunk(file, "PLTE", &plte), c.bpp == 8);
        if (c.bpp == 8) {
            EXPECT_EQ(plte, 768u);
        }
        // sBIT only where libpng has all the values it needs.
        EXPECT_EQ(hasChunk(file, "sBIT"), c.bpp == 8 || c.bpp == 24 || c.alpha);

        // ImageMagick reads what the bitmap holds; without alpha the picture is opaque.
        Rgba expected = FromBitmap(bmp);
        if (c.bpp == 1) {
            // 1-bit pictures are written as grey levels 0 and 1.
            for (std::size_t i = 0; i < expected.pixels.size(); ++i)
                if (i % 4 != 3)
                    expected.pixels[i] = expected.pixels[i] ? 255 : 0;
        }
        EXPECT_EQ(MaxDifference(Reference(out_), expected, true), 0);

        // And the codec's own decoder gives the bitmap back.
        CGlobalDIB back;
        CPngDecoder decoder;
        decoder.MakeBmpFromFile(out_.c_str(), &back, c.bpp == 8 ? 0 : 32);
        EXPECT_EQ(MaxDifference(FromBitmap(back), expected, c.alpha), 0);
    }
}

TEST_F(EncoderTest, PicturesOfTheScreenExportOpaque)
{
    // A 24-bit picture drawn on a device bitmap comes back at 32 bits with a
    // zero fourth byte, and is still written opaque.
    HDC screen = GetDC(nullptr);
    HBITMAP device = CreateCompatibleBitmap(screen, 8, 8);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, device);
    CGlobalDIB picture;
    fill(picture, 8, 8, 24);
    picture.Draw(dc, 0, 0);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    CGlobalDIB exported;
    exported.CreateFromHBITMAP(device);
    DeleteObject(device);
    ASSERT_EQ(exported.GetBitsPerPixel(), 32);
    EXPECT_EQ(exported.GetLineArray()[0][3], 0);
    ASSERT_EQ(encodeCode(png_, exported, out_), 0);
    const Rgba written = Reference(out_);
    for (std::size_t i = 3; i < written.pixels.size(); i += 4)
        ASSERT_EQ(written.pixels[i], 255);
    EXPECT_EQ(written.pixels[0], picture.GetLineArray()[0][2]);
}

TEST_F(EncoderTest, FailedPngEncodesLeaveNoFile)
{
    CGlobalDIB sixteen;
    fill(sixteen, 4, 4, 16);
    EXPECT_EQ(encodeCode(png_, sixteen, out_), kErrFormatNotSupported);
    EXPECT_FALSE(fs::exists(out_));
    // An existing file is kept as it was.
    WriteFile(out_, {1, 2, 3});
    EXPECT_EQ(encodeCode(png_, sixteen, out_), kErrFormatNotSupported);
    EXPECT_EQ(ReadFile(out_), (Bytes{1, 2, 3}));
    CGlobalDIB ok;
    fill(ok, 4, 4, 32);
    EXPECT_EQ(encodeCode(png_, ok, root_.Path() / "missing" / "x.png"), kErrOpenSink);
    EXPECT_FALSE(fs::exists(root_.Path() / "missing"));
    // A sink too small: the sink's own code.
    MemorySink tiny(20);
    try {
        png_.MakeFileFromBmpSink(&tiny, &ok);
        FAIL();
    } catch (const CTextException& e) {
        EXPECT_EQ(e.GetCode(), kErrEndOfData);
    }
}

TEST_F(EncoderTest, JpegWritesThroughItsBufferAndReadsAnyDepth)
{
    // Noise: several full 8192-byte buffers, then the rest.
    CGlobalDIB noise;
    noise.Create(200, 200, 32, false);
    unsigned seed = 1;
    for (LONG y = 0; y < 200; ++y)
        for (LONG x = 0; x < 800; ++x) {
            seed = seed * 1103515245 + 12345;
            noise.GetLineArray()[y][x] = BYTE(seed >> 16);
        }
    MemorySink sink(1 << 20);
    jpeg_.MakeFileFromBmpSink(&sink, &noise);
    EXPECT_GT(sink.GetBytesWritten(), 2u * 8192) << sink.GetBytesWritten();
    EXPECT_NE(sink.GetBytesWritten() % 8192, 0u) << sink.GetBytesWritten();
    EXPECT_EQ(sink.GetData()[0], 0xFF);
    EXPECT_EQ(sink.GetData()[1], 0xD8);

    const fs::path jpg = root_.Path() / "out.jpg";
    for (WORD bpp : {WORD(1), WORD(8), WORD(24), WORD(32)}) {
        SCOPED_TRACE(bpp);
        CGlobalDIB bmp;
        fill(bmp, 40, 30, bpp);
        ASSERT_EQ(encodeCode(jpeg_, bmp, jpg), 0);
        // The same picture handed over at 32 bits gives the same file.
        CGlobalDIB wide;
        wide.Create(40, 30, 32, false);
        const Rgba rgba = FromBitmap(bmp);
        for (LONG y = 0; y < 30; ++y)
            for (LONG x = 0; x < 40; ++x) {
                const BYTE* p = &rgba.pixels[4 * (std::size_t(y) * 40 + std::size_t(x))];
                BYTE* q = wide.GetLineArray()[y] + 4 * x;
                q[0] = p[2], q[1] = p[1], q[2] = p[0];
            }
        const Bytes first = ReadFile(jpg);
        ASSERT_EQ(encodeCode(jpeg_, wide, jpg), 0);
        EXPECT_EQ(ReadFile(jpg), first);
        CGlobalDIB back;
        CJpegDecoder decoder;
        decoder.MakeBmpFromFile(jpg.c_str(), &back);
        EXPECT_EQ(back.GetWidth(), 40);
        EXPECT_EQ(back.GetBitsPerPixel(), 32);
    }

    // A full sink is the sink's error; the file is not written.
    MemorySink small(500);
    try {
        jpeg_.MakeFileFromBmpSink(&small, &noise);
        FAIL();
    } catch (const CTextException& e) {
        EXPECT_EQ(e.GetCode(), kErrEndOfData);
    }
    // The encoder stays usable.
    CGlobalDIB again;
    fill(again, 8, 8, 32);
    EXPECT_EQ(encodeCode(jpeg_, again, jpg), 0);
    EXPECT_EQ(encodeCode(jpeg_, again, root_.Path() / "missing" / "x.jpg"), kErrOpenSink);
}

} // namespace
