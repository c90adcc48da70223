// The picture as a BMP file image: golden bytes, the header forms it reads,
// files made and read by ImageMagick, and damaged or hostile files.

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/DibTestSupport.h"
#include "buttonlib/media/CodecTestSupport.h"
#include "buttonlib/media/Compression.h"
#include "buttonlib/media/MediaTestSupport.h"

#include "platform/mfc/CMemFile.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using media::testing::MakePattern;
using media::testing::PixelBytes;
using media::testing::RgbaOf;
using media::testing::ReadGolden;
using namespace codec::testing;

// What Write or WriteRows puts in a memory file.
Bytes written(CDIB& dib, int first = -1, int last = -1)
{
    CMemFile file;
    const BOOL ok = first < 0 ? dib.Write(&file) : dib.WriteRows(&file, first, last);
    EXPECT_TRUE(ok);
    return file.Detach();
}

bool readBytes(CDIB& dib, const Bytes& bytes)
{
    return dib.SetData(bytes.data(), DWORD(bytes.size()), FALSE, 0);
}

// LoadData over bytes; afterwards *next is the DWORD that follows, if any.
bool loadData(CDIB& dib, Bytes bytes, DWORD* next = nullptr)
{
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    const BOOL ok = dib.LoadData(ar);
    if (ok && next)
        ar >> *next;
    return ok;
}


// A BMP file image: file header, header, what comes before the rows (masks,
// table, a gap), the rows; the rows start right after `before` unless offBits says.
Bytes bmpFile(const Bytes& header, const Bytes& before, const Bytes& rows, DWORD offBits = 0)
{
    Bytes out(14, 0);
    // Room for all first: growing it piece by piece made GCC 12 warn of a
    // copy out of bounds that is not there.
    out.reserve(14 + header.size() + before.size() + rows.size());
    out[0] = 'B';
    out[1] = 'M';
    PutLe32(out, 2, DWORD(14 + header.size() + before.size() + rows.size()));
    PutLe32(out, 10, offBits ? offBits : DWORD(14 + header.size() + before.size()));
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), before.begin(), before.end());
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

Bytes infoHeader(LONG w, LONG h, WORD bpp, DWORD compression = BI_RGB, DWORD sizeImage = 0, DWORD clrUsed = 0)
{
    BITMAPINFOHEADER hdr{40, w, h, 1, bpp, compression, sizeImage, 2835, 2835, clrUsed, 0};
    Bytes out(40);
    std::memcpy(out.data(), &hdr, 40);
    return out;
}

TEST(CDIBFileTest, WritesTheGoldenBytesAndReadsThemBack)
{
    for (WORD bpp : {1, 4, 8, 16, 24}) {
        SCOPED_TRACE(bpp);
        const std::string name = "dib" + std::to_string(bpp);
        CDIB dib;
        MakePattern(dib, bpp);
        const Bytes golden = ReadGolden(name + ".bmp");
        EXPECT_EQ(written(dib), golden);
        EXPECT_EQ(written(dib, 0, 3), golden);
        EXPECT_EQ(written(dib, 1, 3), ReadGolden(name + "_rows1_3.bmp"));

        CDIB back;
        ASSERT_TRUE(readBytes(back, golden));
        EXPECT_EQ(PixelBytes(back), PixelBytes(dib));
        EXPECT_EQ(back.GetImageSize(), dib.GetImageSize());
        EXPECT_EQ(written(back), golden);
        LONG x = 0, y = 0;
        back.GetDpi(&x, &y);
        EXPECT_EQ(x, 96); // 3779 pels per metre
        EXPECT_EQ(y, 72);

        CDIB fromArchive;
        DWORD next = 0;
        Bytes withTail = golden;
        withTail.insert(withTail.end(), {0x78, 0x56, 0x34, 0x12});
        ASSERT_TRUE(loadData(fromArchive, withTail, &next));
        EXPECT_EQ(PixelBytes(fromArchive), PixelBytes(dib));
        EXPECT_EQ(next, 0x12345678u);
    }
    CDIB empty;
    CMemFile file;
    EXPECT_FALSE(empty.Write(&file));
    CDIB dib;
    MakePattern(dib, 8);
    EXPECT_FALSE(dib.WriteRows(&file, 2, 2));
    EXPECT_FALSE(dib.WriteRows(&file, -1, 2));
    EXPECT_FALSE(dib.WriteRows(&file, 1, 4));
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(CDIBFileTest, SaveAndLoadFiles)
{
    tv::testing::TempRoot root;
    const std::string path = (root.Path() / "picture.bmp").string();
    CDIB dib;
    MakePattern(dib, 24);
    ASSERT_TRUE(dib.Save(path.c_str(), 0, 0));
    EXPECT_EQ(ReadFile(path), ReadGolden("dib24.bmp"));
    ASSERT_TRUE(dib.Save(path.c_str(), 1, 3));
    EXPECT_EQ(ReadFile(path), ReadGolden("dib24_rows1_3.bmp"));

    // A failed save leaves the file as it was.
    CDIB empty;
    EXPECT_FALSE(empty.Save(path.c_str(), 0, 0));
    EXPECT_FALSE(dib.Save(path.c_str(), 2, 9));
    EXPECT_EQ(ReadFile(path), ReadGolden("dib24_rows1_3.bmp"));
    EXPECT_FALSE(dib.Save("", 0, 0));
    EXPECT_FALSE(dib.Save((root.Path() / "no" / "such.bmp").string().c_str(), 0, 0));

    CDIB back;
    ASSERT_TRUE(back.Load(path.c_str()));
    EXPECT_EQ(back.GetHeight(), 2);
    EXPECT_FALSE(back.Load((root.Path() / "missing.bmp").string().c_str()));
    EXPECT_FALSE(back.Load(""));
    EXPECT_EQ(back.GetHeight(), 2);
}

TEST(CDIBFileTest, Os2HeadersAreWidened)
{
    // 3 x 2 at 8 bits with a 3-entry-per-colour table of 256 entries.
    Bytes core(12, 0);
    PutLe32(core, 0, 12);
    PutLe16(core, 4, 3);
    PutLe16(core, 6, 2);
    PutLe16(core, 8, 1);
    PutLe16(core, 10, 8);
    Bytes table;
    for (int i = 0; i < 256; ++i)
        table.insert(table.end(), {BYTE(i), BYTE(255 - i), BYTE(i / 2)});
    CDIB dib;
    ASSERT_TRUE(readBytes(dib, bmpFile(core, table, {7, 8, 9, 0, 10, 11, 12, 0})));
    const BITMAPINFOHEADER& h = dib.GetInfo()->bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 3);
    EXPECT_EQ(h.biClrUsed, 256u);
    EXPECT_EQ(h.biSizeImage, 8u);
    const RGBQUAD& e = dib.GetColorTable()[200];
    EXPECT_EQ((std::array<int, 4>{e.rgbBlue, e.rgbGreen, e.rgbRed, e.rgbReserved}), (std::array<int, 4>{200, 55, 100, 0}));
    EXPECT_EQ(PixelBytes(dib), (Bytes{7, 8, 9, 0, 10, 11, 12, 0}));
    LONG x = -1;
    dib.GetDpi(&x, nullptr);
    EXPECT_EQ(x, 0);
    // A one-bit picture so small that a Windows header would not fit in the file.
    PutLe16(core, 10, 1);
    const Bytes mono = bmpFile(core, {0, 0, 0, 255, 255, 255}, {0x40, 0, 0, 0, 0x80, 0, 0, 0});
    ASSERT_EQ(mono.size(), 40u);
    ASSERT_TRUE(readBytes(dib, mono));
    EXPECT_EQ(PixelBytes(dib), (Bytes{0x40, 0, 0, 0, 0x80, 0, 0, 0}));
    // The archive form takes no OS/2 header.
    EXPECT_FALSE(loadData(dib, mono));
}

TEST(CDIBFileTest, ZeroSizesAreFilledIn)
{
    const Bytes file = bmpFile(infoHeader(3, 1, 1), Bytes(8, 0), {1, 2, 3, 4});
    CDIB dib;
    ASSERT_TRUE(readBytes(dib, file));
    EXPECT_EQ(dib.GetInfo()->bmiHeader.biSizeImage, 4u);
    EXPECT_EQ(dib.GetInfo()->bmiHeader.biClrUsed, 2u);
    EXPECT_EQ(dib.GetImageSize(), 4u);
    ASSERT_TRUE(loadData(dib, file));
    EXPECT_EQ(dib.GetInfo()->bmiHeader.biClrUsed, 2u);
    EXPECT_EQ(dib.GetImageSize(), 4u);
    EXPECT_EQ(PixelBytes(dib), (Bytes{1, 2, 3, 4}));
}

TEST(CDIBFileTest, AGapBeforeThePixelsIsSkippedInFilesOnly)
{
    // 1 x 2 at 24 bits, the pixels 4 bytes after the header.
    const Bytes gap{0xAA, 0xBB, 0xCC, 0xDD};
    const Bytes rows{1, 2, 3, 0, 4, 5, 6, 0};
    const Bytes file = bmpFile(infoHeader(1, 2, 24), gap, rows);
    CDIB dib;
    ASSERT_TRUE(readBytes(dib, file));
    EXPECT_EQ(PixelBytes(dib), rows);
    // From an archive the pixels follow the header, gap and all.
    ASSERT_TRUE(loadData(dib, file));
    EXPECT_EQ(PixelBytes(dib), (Bytes{0xAA, 0xBB, 0xCC, 0xDD, 1, 2, 3, 0}));
}

TEST(CDIBFileTest, StandardBitFieldsAreHeldAsPlainRows)
{
    const DWORD m555[3] = {0x7C00, 0x03E0, 0x001F};
    const DWORD m888[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    const DWORD m565[3] = {0xF800, 0x07E0, 0x001F};
    auto withMasks = [](WORD bpp, const DWORD* m) {
        Bytes header = infoHeader(2, 1, bpp, BI_BITFIELDS);
        Bytes masks(12);
        std::memcpy(masks.data(), m, 12);
        return bmpFile(header, masks, Bytes(bpp == 16 ? 4 : 8, 0x42));
    };
    CDIB dib;
    ASSERT_TRUE(readBytes(dib, withMasks(16, m555)));
    EXPECT_EQ(dib.GetInfo()->bmiHeader.biCompression, BI_RGB);
    EXPECT_EQ(PixelBytes(dib), Bytes(4, 0x42));
    ASSERT_TRUE(loadData(dib, withMasks(32, m888)));
    EXPECT_EQ(dib.GetInfo()->bmiHeader.biCompression, BI_RGB);
    EXPECT_EQ(PixelBytes(dib), Bytes(8, 0x42));
    EXPECT_FALSE(readBytes(dib, withMasks(16, m565)));
    EXPECT_FALSE(readBytes(dib, withMasks(32, m555)));
    EXPECT_FALSE(loadData(dib, withMasks(16, m565)));
    EXPECT_EQ(dib.GetBitCount(), 32);
}

TEST(CDIBFileTest, TheArchiveReadsAtMostTheRowsAndSkipsTheRest)
{
    Bytes file = bmpFile(infoHeader(1, 1, 24), {}, {9, 8, 7, 0, 0xEE, 0xEE, 0xEE});
    file.insert(file.end(), {0x44, 0x33, 0x22, 0x11});
    // bfSize counts 3 bytes beyond the rows.
    CDIB dib;
    DWORD next = 0;
    ASSERT_TRUE(loadData(dib, file, &next));
    EXPECT_EQ(PixelBytes(dib), (Bytes{9, 8, 7, 0}));
    EXPECT_EQ(next, 0x11223344u);
    // A stored count beyond the data, or short of the rows, is a damaged stream.
    PutLe32(file, 2, 14 + 40 + 3);
    EXPECT_FALSE(loadData(dib, file));
    PutLe32(file, 2, 0x7FFFFFF0);
    EXPECT_FALSE(loadData(dib, file));
    // bfSize below bfOffBits as well.
    PutLe32(file, 2, 10);
    EXPECT_FALSE(loadData(dib, file));
}

TEST(CDIBFileTest, CompressedData)
{
    const Bytes golden = ReadGolden("dib8.bmp");
    std::vector<BYTE> packed;
    ASSERT_TRUE(media::CompressBytes(golden.data(), golden.size(), packed));
    CDIB dib;
    ASSERT_TRUE(dib.SetData(packed.data(), DWORD(packed.size()), TRUE, DWORD(golden.size())));
    EXPECT_EQ(written(dib), golden);
    const SIZE_T blocks = GlobalBlockCount();
    // A stream that gives another length, or is cut short, keeps the picture.
    EXPECT_FALSE(dib.SetData(packed.data(), DWORD(packed.size()), TRUE, DWORD(golden.size() + 1)));
    EXPECT_FALSE(dib.SetData(packed.data(), DWORD(packed.size() - 3), TRUE, DWORD(golden.size())));
    EXPECT_FALSE(dib.SetData(golden.data(), DWORD(golden.size()), TRUE, DWORD(golden.size())));
    EXPECT_FALSE(dib.SetData(nullptr, 10, FALSE, 0));
    EXPECT_EQ(GlobalBlockCount(), blocks);
    EXPECT_EQ(written(dib), golden);
}

TEST(CDIBFileTest, HostileHeadersAreRefusedAndThePictureKept)
{
    CDIB dib;
    MakePattern(dib, 4);
    const Bytes before = PixelBytes(dib);
    const SIZE_T blocks = GlobalBlockCount();
    auto refused = [&](const Bytes& file, const char* what) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(readBytes(dib, file));
        EXPECT_FALSE(loadData(dib, file));
        EXPECT_EQ(PixelBytes(dib), before);
        EXPECT_EQ(dib.GetBitCount(), 4);
    };
    const Bytes rows(64, 0);
    refused(bmpFile(infoHeader(0, 2, 8), {}, rows), "width 0");
    refused(bmpFile(infoHeader(-2, 2, 8), {}, rows), "negative width");
    refused(bmpFile(infoHeader(2, -2, 24), {}, rows), "top-down rows");
    refused(bmpFile(infoHeader(2, LONG(0x80000000), 24), {}, rows), "the lowest height");
    refused(bmpFile(infoHeader(2, 2, 2), {}, rows), "2 bits");
    refused(bmpFile(infoHeader(2, 2, 0), {}, rows), "0 bits");
    refused(bmpFile(infoHeader(2, 2, 64), {}, rows), "64 bits");
    refused(bmpFile(infoHeader(2, 2, 8, BI_RGB, 0, 257), {}, rows), "257 colours");
    refused(bmpFile(infoHeader(2, 2, 24, BI_RGB, 0, 0xFFFFFFFF), {}, rows), "a count that wraps");
    refused(bmpFile(infoHeader(0x7FFFFFFF, 0x7FFFFFFF, 32), {}, rows), "4 exabytes");
    refused(bmpFile(infoHeader(0x10000, 0x10000, 24), {}, rows), "12 GiB");
    refused(bmpFile(infoHeader(46341, 46341, 32), {}, rows), "rows that wrap 32 bits");
    refused(bmpFile(infoHeader(2, 2, 8, BI_RLE8, 10), {}, rows), "run-length rows");
    refused(bmpFile(infoHeader(2, 2, 24, 7), {}, rows), "an unknown compression");
    refused(bmpFile(infoHeader(2, 2, 8, BI_BITFIELDS), {}, rows), "bit fields at 8 bits");
    refused(bmpFile(infoHeader(2, 2, 24), {}, rows, 0xFFFFFFFF), "pixels beyond any file");
    refused(bmpFile(infoHeader(2, 2, 24), {}, {}), "no pixels");
    Bytes v5 = infoHeader(2, 2, 24);
    v5.resize(124, 0);
    PutLe32(v5, 0, 124);
    refused(bmpFile(v5, {}, rows), "a version 5 header");
    for (DWORD size : {0u, 1u, 39u, 41u, 108u, 0xFFFFFFFFu}) {
        Bytes h = infoHeader(2, 2, 24);
        PutLe32(h, 0, size);
        refused(bmpFile(h, {}, rows), "another header size");
    }
    Bytes notBm = bmpFile(infoHeader(2, 2, 24), {}, rows);
    notBm[1] = 'A';
    refused(notBm, "not BM");

    // Every cut of sound files, at every depth and in both header forms.
    for (WORD bpp : {1, 4, 8, 16, 24}) {
        CDIB src;
        MakePattern(src, bpp);
        const Bytes whole = written(src);
        for (std::size_t cut = 0; cut < whole.size(); ++cut)
            refused(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(cut)), "a cut file");
    }
    EXPECT_EQ(GlobalBlockCount(), blocks);
}

TEST(CDIBFileTest, ReadsWhatImageMagickWritesAndTheOtherWayRound)
{
    tv::testing::TempRoot root;
    const fs::path src = root.Path() / "src.png";
    MakeSource(src);
    struct Case {
        const char* options;
        WORD bpp;
    };
    for (const Case& c : {Case{"-monochrome", 1}, Case{"-colors 16 -type Palette", 4},
                          Case{"-colors 200 -type Palette", 8}, Case{"-type TrueColor", 24}}) {
        SCOPED_TRACE(c.options);
        const fs::path bmp = root.Path() / "magick.bmp";
        Convert(quote(src), std::string(c.options) + " -compress None", "BMP3:" + bmp.string());
        CDIB dib;
        ASSERT_TRUE(dib.Load(bmp.string().c_str()));
        EXPECT_EQ(dib.GetBitCount(), c.bpp);
        EXPECT_EQ(MaxDifference(RgbaOf(dib), Reference(bmp), false), 0);
    }

    // ImageMagick's own default header (124 bytes) is refused.
    const fs::path v5 = root.Path() / "v5.bmp";
    Convert(quote(src), "", v5);
    ASSERT_EQ(ReadFile(v5)[14], 124);
    CDIB dib;
    MakePattern(dib, 16);
    EXPECT_FALSE(dib.Load(v5.string().c_str()));
    EXPECT_EQ(dib.GetBitCount(), 16);

    for (WORD bpp : {1, 4, 8, 16, 24}) {
        SCOPED_TRACE(bpp);
        CDIB ours;
        ASSERT_TRUE(ours.CreateBlank(37, 23, bpp, RGB(200, 30, 90)));
        for (DWORD k = 0; k < ours.GetImageSize(); ++k)
            ours.GetBits()[k] = BYTE(k * 13 + k / 7);
        const fs::path out = root.Path() / ("ours" + std::to_string(bpp) + ".bmp");
        ASSERT_TRUE(ours.Save(out.string().c_str(), 0, 0));
        EXPECT_EQ(MaxDifference(RgbaOf(ours), Reference(out), false), 0);
    }
}

} // namespace
