#include "buttonlib/media/CPictDecoder.h"
#include "buttonlib/media/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

// Allocation failure on request: the next allocation of exactly the size
// armed on this thread throws, as when memory runs out. Every other
// allocation of the test program passes through to malloc.
namespace {
thread_local std::size_t t_failSize = 0;
}

void* operator new(std::size_t size)
{
    if (size == t_failSize && size != 0) {
        t_failSize = 0;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

namespace {

using namespace codec::testing;

// A version 2 picture: preamble, size, frame, version, header; the caller
// appends opcodes; End closes it.
Bytes pictStart(int width, int height)
{
    Bytes b(512, 0);
    AppendBe16(b, 0);
    AppendBe16(b, 0), AppendBe16(b, 0), AppendBe16(b, unsigned(height)), AppendBe16(b, unsigned(width));
    AppendBe16(b, 0x0011);
    AppendBe16(b, 0x02FF);
    AppendBe16(b, 0x0C00);
    b.insert(b.end(), 24, 0);
    return b;
}

void appendRect(Bytes& b, int width, int height)
{
    AppendBe16(b, 0), AppendBe16(b, 0), AppendBe16(b, unsigned(height)), AppendBe16(b, unsigned(width));
}

void appendPixMapHeader(Bytes& b, int pixelSize, int cmpCount, int cmpSize, int packType)
{
    AppendBe16(b, 0);
    AppendBe16(b, unsigned(packType));
    AppendBe32(b, 0);
    AppendBe32(b, 0x00480000), AppendBe32(b, 0x00480000);
    AppendBe16(b, pixelSize > 8 ? 16 : 0);
    AppendBe16(b, unsigned(pixelSize));
    AppendBe16(b, unsigned(cmpCount));
    AppendBe16(b, unsigned(cmpSize));
    AppendBe32(b, 0), AppendBe32(b, 0), AppendBe32(b, 0);
}

// Rows: raw below 8 bytes, else a count byte and PackBits literal runs.
void appendRows(Bytes& b, const std::vector<Bytes>& rows, int rowBytes)
{
    for (const Bytes& r : rows) {
        if (rowBytes < 8) {
            b.insert(b.end(), r.begin(), r.end());
            continue;
        }
        Bytes packed;
        packed.push_back(BYTE(r.size() - 1));
        packed.insert(packed.end(), r.begin(), r.end());
        b.push_back(BYTE(packed.size()));
        b.insert(b.end(), packed.begin(), packed.end());
    }
}

void end(Bytes& b)
{
    if (b.size() & 1)
        b.push_back(0);
    AppendBe16(b, 0x00FF);
}

class PictTest : public ::testing::Test {
protected:
    std::unique_ptr<CGlobalDIB> decode(const Bytes& bytes, int bpp = 0) { return DecodeBytes(decoder_, bytes, bpp); }

    int decodeCode(const Bytes& bytes) { return DecodeCode(decoder_, bytes); }

    int differenceFromImageMagick(const Bytes& bytes, int bpp)
    {
        const fs::path file = root_.Path() / "h.pict";
        WriteFile(file, bytes);
        auto bmp = decode(bytes, bpp);
        return MaxDifference(FromBitmap(*bmp), Reference(file, "pict:"), false);
    }

    tv::testing::TempRoot root_;
    CJpegDecoder jpeg_;
    CPictDecoder decoder_{&jpeg_};
};

TEST_F(PictTest, ImageMagickFilesOfEveryKindItWrites)
{
    const fs::path src = root_.Path() / "src.ppm";
    MakeSource(src);
    // Colour tables hold 16-bit channels of which the high byte is taken;
    // ImageMagick rounds them, so table colours may differ by one.
    struct Case {
        const char* options;
        int depth;
        bool alpha;
        int tolerance;
    };
    for (const Case& c : {Case{"-type TrueColor", 32, false, 0}, Case{"-type Palette", 8, false, 1},
                          Case{"-colors 2 -type Palette", 8, false, 1}, Case{"-alpha set -channel A -fx 0.5", 32, true, 0}}) {
        SCOPED_TRACE(c.options);
        const fs::path file = root_.Path() / "t.pict";
        Convert(quote(src), c.options, "pict:" + file.string());
        const Bytes bytes = ReadFile(file);
        for (int bpp : {0, 32}) {
            auto bmp = decode(bytes, bpp);
            EXPECT_EQ(bmp->GetBitsPerPixel(), bpp ? 32 : c.depth);
            EXPECT_EQ(bmp->HasAlpha(), c.alpha && bmp->GetBitsPerPixel() == 32);
            // ImageMagick reads the fourth component but shows the picture opaque.
            const int diff = MaxDifference(FromBitmap(*bmp), Reference(file, "pict:"), false);
            EXPECT_TRUE(diff >= 0 && diff <= c.tolerance) << diff;
            if (c.alpha && bpp == 32) {
                EXPECT_EQ(bmp->GetLineArray()[0][3], 127);
            }
        }
    }
}

TEST_F(PictTest, BitmapsAndSmallPixMaps)
{
    // A 1-bit bitmap, 10 x 2 in 2-byte rows: 0 is white, 1 black.
    Bytes bitmap = pictStart(10, 2);
    AppendBe16(bitmap, 0x0090);
    AppendBe16(bitmap, 2);
    appendRect(bitmap, 10, 2), appendRect(bitmap, 10, 2), appendRect(bitmap, 10, 2);
    AppendBe16(bitmap, 0);
    appendRows(bitmap, {{0xF0, 0x40}, {0x0F, 0x80}}, 2);
    end(bitmap);
    auto bmp = decode(bitmap);
    ASSERT_EQ(bmp->GetBitsPerPixel(), 8);
    EXPECT_EQ(Bytes(bmp->GetLineArray()[0], bmp->GetLineArray()[0] + 10), (Bytes{1, 1, 1, 1, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(Bytes(bmp->GetLineArray()[1], bmp->GetLineArray()[1] + 10), (Bytes{0, 0, 0, 0, 1, 1, 1, 1, 1, 0}));
    EXPECT_EQ(bmp->GetPalette()[1].rgbRed, 0);
    EXPECT_EQ(bmp->GetPalette()[0].rgbRed, 255);
    bmp = decode(bitmap, 32);
    EXPECT_EQ(Bytes(bmp->GetLineArray()[0], bmp->GetLineArray()[0] + 8), (Bytes{0, 0, 0, 255, 0, 0, 0, 255}));
    EXPECT_EQ(bmp->GetLineArray()[0][16], 255);

    // 4-bit and 2-bit pixmaps with their own colour tables, packed rows.
    for (int size : {2, 4, 8}) {
        SCOPED_TRACE(size);
        const int width = 20;
        const int rowBytes = (width * size + 7) / 8 + 1;
        Bytes pm = pictStart(width, 3);
        AppendBe16(pm, 0x0098);
        AppendBe16(pm, 0x8000 | unsigned(rowBytes));
        appendRect(pm, width, 3);
        appendPixMapHeader(pm, size, 1, size, 0);
        const int colours = 1 << size;
        AppendBe32(pm, 0), AppendBe16(pm, 0), AppendBe16(pm, unsigned(colours - 1));
        for (int i = 0; i < colours; ++i) {
            AppendBe16(pm, unsigned(i));
            AppendBe16(pm, unsigned(i * 4000)), AppendBe16(pm, unsigned(65535 - i * 3000)), AppendBe16(pm, unsigned(i * 250));
        }
        appendRect(pm, width, 3), appendRect(pm, width, 3);
        AppendBe16(pm, 0);
        std::vector<Bytes> rows;
        for (int y = 0; y < 3; ++y) {
            Bytes r;
            for (int i = 0; i < rowBytes; ++i)
                r.push_back(BYTE(i * 37 + y * 101));
            rows.push_back(r);
        }
        appendRows(pm, rows, rowBytes);
        end(pm);
        for (int bpp : {0, 32})
            EXPECT_LE(differenceFromImageMagick(pm, bpp), 1) << "bpp " << bpp;
    }
}

TEST_F(PictTest, DirectPixMapsAndEmbeddedJpeg)
{
    // 16-bit direct pixels: red 10-14, green 5-9, blue 0-4, each << 3.
    Bytes direct = pictStart(5, 2);
    AppendBe16(direct, 0x009A);
    AppendBe32(direct, 0x000000FF);
    AppendBe16(direct, 0x8000 | 10);
    appendRect(direct, 5, 2);
    appendPixMapHeader(direct, 16, 3, 5, 0);
    appendRect(direct, 5, 2), appendRect(direct, 5, 2);
    AppendBe16(direct, 0);
    Bytes row;
    for (unsigned v : {0x7C00u, 0x03E0u, 0x001Fu, 0x7FFFu, 0x4210u})
        AppendBe16(row, v);
    Bytes packed{BYTE(4)};
    packed.insert(packed.end(), row.begin(), row.end());
    for (int y = 0; y < 2; ++y) {
        direct.push_back(BYTE(packed.size()));
        direct.insert(direct.end(), packed.begin(), packed.end());
    }
    end(direct);
    auto bmp = decode(direct);
    ASSERT_EQ(bmp->GetBitsPerPixel(), 32);
    const BYTE* p = bmp->GetLineArray()[1];
    EXPECT_EQ(Bytes(p, p + 4), (Bytes{0, 0, 248, 255}));
    EXPECT_EQ(Bytes(p + 12, p + 16), (Bytes{248, 248, 248, 255}));
    EXPECT_EQ(decodeCode(direct), 0);

    // JPEG data inside a QuickTime opcode, after some bytes of its own header.
    const fs::path src = root_.Path() / "src.ppm";
    MakeSource(src);
    const fs::path jpg = root_.Path() / "in.jpg";
    Convert(quote(src), "-quality 90", jpg);
    const Bytes jpeg = ReadFile(jpg);
    Bytes qt = pictStart(37, 23);
    AppendBe16(qt, 0x8200);
    AppendBe32(qt, unsigned(60 + jpeg.size()));
    qt.insert(qt.end(), 60, 0x11);
    qt.insert(qt.end(), jpeg.begin(), jpeg.end());
    bmp = decode(qt);
    EXPECT_EQ(bmp->GetBitsPerPixel(), 32);
    EXPECT_LE(MaxDifference(FromBitmap(*bmp), Reference(jpg), false), 12);
    // A grey JPEG keeps 8 bits when the depth is left open, and comes at 32
    // when 32 are asked for.
    const fs::path grey = root_.Path() / "grey.jpg";
    Convert(quote(src), "-colorspace Gray", grey);
    const Bytes greyJpeg = ReadFile(grey);
    Bytes greyQt = pictStart(37, 23);
    AppendBe16(greyQt, 0x8200);
    AppendBe32(greyQt, unsigned(greyJpeg.size()));
    greyQt.insert(greyQt.end(), greyJpeg.begin(), greyJpeg.end());
    EXPECT_EQ(decode(greyQt)->GetBitsPerPixel(), 8);
    bmp = decode(greyQt, 32);
    EXPECT_EQ(bmp->GetBitsPerPixel(), 32);
    EXPECT_LE(MaxDifference(FromBitmap(*bmp), Reference(grey), false), 12);
    Bytes noJpeg = pictStart(4, 4);
    AppendBe16(noJpeg, 0x8200);
    AppendBe32(noJpeg, 30);
    noJpeg.insert(noJpeg.end(), 30, 0x22);
    EXPECT_EQ(decodeCode(noJpeg), kErrFormatNotSupported);
}

TEST_F(PictTest, OpcodeWalkAndRefusals)
{
    // Drawing opcodes only; some need realigning, some carry regions.
    Bytes vector = pictStart(8, 8);
    AppendBe16(vector, 0x0001);
    AppendBe16(vector, 10);
    vector.insert(vector.end(), 8, 0);
    AppendBe16(vector, 0x0022); // short line, 6 bytes
    vector.insert(vector.end(), 6, 0);
    AppendBe16(vector, 0x00A1); // long comment
    AppendBe16(vector, 100), AppendBe16(vector, 3);
    vector.insert(vector.end(), 3, 0); // leaves an odd offset: the next opcode is realigned
    end(vector);
    EXPECT_EQ(decodeCode(vector), kErrFormatNotSupported);

    Bytes badRegion = pictStart(8, 8);
    AppendBe16(badRegion, 0x0001);
    AppendBe16(badRegion, 1);
    end(badRegion);
    EXPECT_EQ(decodeCode(badRegion), kErrFormatUnknown);

    Bytes badPattern = pictStart(8, 8);
    AppendBe16(badPattern, 0x0012);
    AppendBe16(badPattern, 7);
    end(badPattern);
    EXPECT_EQ(decodeCode(badPattern), kErrFormatUnknown);

    Bytes noVersion(540, 0);
    noVersion.push_back(0x12);
    EXPECT_EQ(decodeCode(noVersion), kErrWrongSignature);
    Bytes badVersion(522, 0);
    badVersion.insert(badVersion.end(), {0x11, 0x03, 0, 0});
    EXPECT_EQ(decodeCode(badVersion), kErrWrongSignature);

    // A colour table over 256 entries.
    Bytes bigTable = pictStart(4, 4);
    AppendBe16(bigTable, 0x0098);
    AppendBe16(bigTable, 0x8000 | 4);
    appendRect(bigTable, 4, 4);
    appendPixMapHeader(bigTable, 8, 1, 8, 0);
    AppendBe32(bigTable, 0), AppendBe16(bigTable, 0x8000), AppendBe16(bigTable, 300);
    bigTable.insert(bigTable.end(), 2400, 0);
    EXPECT_EQ(decodeCode(bigTable), kErrFormatUnknown);
    // 16-bit pixels cannot be stored at 8 bits.
    CGlobalDIB eight;
    Bytes direct = pictStart(4, 1);
    AppendBe16(direct, 0x009A);
    AppendBe32(direct, 0xFF), AppendBe16(direct, 0x8008);
    appendRect(direct, 4, 1);
    appendPixMapHeader(direct, 16, 3, 5, 0);
    appendRect(direct, 4, 1), appendRect(direct, 4, 1);
    AppendBe16(direct, 0);
    direct.insert(direct.end(), 8, 0);
    int code = 0;
    try {
        decoder_.MakeBmpFromMemory(direct.data(), int(direct.size()), &eight, 8);
    } catch (const CTextException& e) {
        code = e.GetCode();
    }
    EXPECT_EQ(code, kErrFormatUnknown);
}

TEST_F(PictTest, AColourTableThatCannotBeHadIsTheCodecsOwnError)
{
    Bytes pm = pictStart(4, 2);
    AppendBe16(pm, 0x0098);
    AppendBe16(pm, 0x8000 | 4);
    appendRect(pm, 4, 2);
    appendPixMapHeader(pm, 8, 1, 8, 0);
    AppendBe32(pm, 0), AppendBe16(pm, 0x8000), AppendBe16(pm, 1);
    for (int i = 0; i < 2; ++i)
        AppendBe16(pm, 0), AppendBe16(pm, unsigned(i * 0xFFFF)), AppendBe16(pm, 0), AppendBe16(pm, 0);
    appendRect(pm, 4, 2), appendRect(pm, 4, 2);
    AppendBe16(pm, 0);
    appendRows(pm, {{0, 1, 1, 0}, {1, 0, 0, 1}}, 4);
    end(pm);
    ASSERT_EQ(decodeCode(pm), 0);
    // The 256-entry table is the only block of its size the decode asks for.
    CGlobalDIB out;
    t_failSize = 256 * sizeof(RGBQUAD);
    int code = 0;
    std::string message;
    try {
        decoder_.MakeBmpFromMemory(pm.data(), int(pm.size()), &out, 0);
    } catch (const CTextException& e) {
        code = e.GetCode();
        message = e.GetMsg();
    }
    EXPECT_EQ(t_failSize, 0u) << "the table was not allocated";
    t_failSize = 0;
    EXPECT_EQ(code, kErrNoMemory);
    EXPECT_EQ(message, "Decoder error: Out of memory allocationg color table.\n");
}

} // namespace
