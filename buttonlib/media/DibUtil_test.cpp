// The packed-DIB functions: header queries, masks, the popularity palette,
// changes of format, files, drawing and the palette makers.

#include "buttonlib/media/DibUtil.h"

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/CodecTestSupport.h"
#include "buttonlib/media/MediaTestSupport.h"
#include "platform/mfc/CMemFile.h"
#include "platform/testing/TempRoot.h"
#include "platform/win/MessageBox.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>

namespace {

using media::testing::BlockBytes;
using media::testing::Bytes;
using Rgb = std::array<int, 3>;

struct DibLayout {
    LONG width;
    LONG height;
    WORD bpp;
    DWORD compression = BI_RGB;
    std::vector<RGBQUAD> table = {};
    std::vector<DWORD> masks = {};
    Bytes rows = {};
};

// A packed DIB block; rows default to zero.
HGLOBAL makeDib(const DibLayout& s)
{
    const std::size_t stride = ((std::size_t(s.width) * s.bpp + 31) / 32) * 4;
    const std::size_t image = stride * std::size_t(s.height);
    const std::size_t size = 40 + 4 * s.masks.size() + 4 * s.table.size() + image;
    HGLOBAL h = GlobalAlloc(GHND, size);
    auto* p = static_cast<BYTE*>(GlobalLock(h));
    BITMAPINFOHEADER hdr{40, s.width, s.height, 1, s.bpp, s.compression, DWORD(image), 0, 0,
                         DWORD(s.table.size()), 0};
    std::memcpy(p, &hdr, 40);
    BYTE* at = p + 40;
    for (DWORD m : s.masks) {
        std::memcpy(at, &m, 4);
        at += 4;
    }
    for (const RGBQUAD& q : s.table) {
        std::memcpy(at, &q, 4);
        at += 4;
    }
    std::copy_n(s.rows.begin(), std::min(image, s.rows.size()), at);
    GlobalUnlock(h);
    return h;
}

// A 24-bit block of colours given top row first.
HGLOBAL makeTrueColour(LONG w, LONG h, const std::vector<COLORREF>& colours)
{
    const std::size_t stride = ((std::size_t(w) * 24 + 31) / 32) * 4;
    Bytes rows(stride * std::size_t(h), 0);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            const COLORREF c = colours[std::size_t(y * w + x)];
            BYTE* p = &rows[stride * std::size_t(h - 1 - y) + 3 * std::size_t(x)];
            p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
        }
    return makeDib({w, h, 24, BI_RGB, {}, {}, rows});
}

struct Locked {
    explicit Locked(HGLOBAL h) : lock(h), h(reinterpret_cast<BITMAPINFOHEADER*>(lock.get())) {}
    GlobalLockScope lock;
    BITMAPINFOHEADER* h;
    const BYTE* after() const { return reinterpret_cast<const BYTE*>(h) + 40; }
    const RGBQUAD* table() const { return reinterpret_cast<const RGBQUAD*>(after() + (h->biCompression == BI_BITFIELDS ? 12 : 0)); }
    const BYTE* pixels() const { return after() + DibTableBytes(h); }
};

std::vector<PALETTEENTRY> entries(HPALETTE pal)
{
    std::vector<PALETTEENTRY> out(GetPaletteEntries(pal, 0, 0, nullptr));
    GetPaletteEntries(pal, 0, UINT(out.size()), out.data());
    return out;
}

Rgb rgb(const PALETTEENTRY& e)
{
    return {e.peRed, e.peGreen, e.peBlue};
}

Rgb rgb(const RGBQUAD& q)
{
    return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

// The colours of a DC's bitmap, top row first, through 32-bit rows.
std::vector<COLORREF> dcColours(HBITMAP hbm, int w, int h)
{
    struct {
        BITMAPINFOHEADER h{40, 0, 0, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        RGBQUAD pad[3];
    } info;
    info.h.biWidth = w;
    info.h.biHeight = -h;
    std::vector<BYTE> bits(std::size_t(w) * std::size_t(h) * 4);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(screen, hbm, 0, UINT(h), bits.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS), h);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> out;
    for (std::size_t i = 0; i < bits.size(); i += 4)
        out.push_back(RGB(bits[i + 2], bits[i + 1], bits[i]));
    return out;
}

TEST(DibUtilTest, HeaderQueries)
{
    BITMAPINFOHEADER h{40, 3, 2, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    EXPECT_EQ(DibColorCount(&h), 256);
    EXPECT_EQ(DibTableBytes(&h), 1024u);
    h.biClrUsed = 20;
    EXPECT_EQ(DibTableBytes(&h), 80u);
    h.biBitCount = 24;
    h.biClrUsed = 0;
    EXPECT_EQ(DibColorCount(&h), 0);
    h.biBitCount = 16;
    h.biCompression = BI_BITFIELDS;
    EXPECT_EQ(DibTableBytes(&h), 12u);
    BITMAPCOREHEADER core{12, 3, 2, 1, 4};
    EXPECT_EQ(DibColorCount(&core), 16);
    EXPECT_EQ(DibTableBytes(&core), 48u);

    HGLOBAL dib = makeDib({5, 3, 4, BI_RGB, std::vector<RGBQUAD>(16)});
    {
        // makeDib writes biClrUsed 16; clear both sizes to see them filled in.
        Locked l(dib);
        l.h->biClrUsed = 0;
        l.h->biSizeImage = 0;
    }
    BITMAPINFOHEADER info{};
    ASSERT_TRUE(DibHeaderInfo(dib, &info));
    EXPECT_EQ(info.biSizeImage, 12u);
    EXPECT_EQ(info.biClrUsed, 16u);
    int w = 0, ht = 0;
    ASSERT_TRUE(DibGetSize(dib, &w, &ht));
    EXPECT_EQ(w, 5);
    EXPECT_EQ(ht, 3);
    EXPECT_EQ(DibGetBitCount(dib), 4);
    EXPECT_EQ(DibGetColorsUsed(dib), 0u);
    EXPECT_EQ(DibGetCompression(dib), BI_RGB);
    BITMAPINFOHEADER* header = nullptr;
    void* table = nullptr;
    BYTE* pixels = nullptr;
    ASSERT_TRUE(DibLock(dib, &header, &table, &pixels));
    EXPECT_EQ(static_cast<BYTE*>(table), reinterpret_cast<BYTE*>(header) + 40);
    EXPECT_EQ(pixels, reinterpret_cast<BYTE*>(header) + 40 + 64);
    GlobalUnlock(dib);

    // The OS/2 form, and blocks too short for what their header says.
    HGLOBAL os2 = GlobalAlloc(GHND, 12);
    std::memcpy(GlobalLock(os2), &core, 12);
    GlobalUnlock(os2);
    ASSERT_TRUE(DibGetSize(os2, &w, &ht));
    EXPECT_EQ(w, 3);
    EXPECT_EQ(DibGetBitCount(os2), 4);
    EXPECT_FALSE(DibLock(os2, &header, &table, &pixels));
    HGLOBAL tiny = GlobalAlloc(GHND, 20);
    EXPECT_FALSE(DibHeaderInfo(tiny, &info));
    EXPECT_FALSE(DibGetSize(nullptr, &w, &ht));
    EXPECT_EQ(DibGetBitCount(tiny), 0);

    HGLOBAL copy = DibCopyHandle(dib);
    EXPECT_EQ(BlockBytes(copy), BlockBytes(dib));
    EXPECT_FALSE(DibCopyContents(copy, tiny));
    EXPECT_TRUE(DibCopyContents(tiny, copy));
    for (HGLOBAL g : {dib, os2, tiny, copy})
        GlobalFree(g);
}

TEST(DibUtilTest, MaskHelpers)
{
    EXPECT_EQ(MaskBitCount(0xF800), 5);
    EXPECT_EQ(MaskLowestBit(0xF800), 11);
    EXPECT_EQ(MaskHighestBit(0xF800), 15);
    EXPECT_EQ(MaskLowestBit(0), 255);
    EXPECT_EQ(MaskHighestBit(0), 255);
    EXPECT_EQ(MaskHighestBit(1), 255);
    EXPECT_EQ(MaskHighestBit(0x80000000), 31);
    EXPECT_TRUE(MaskIsContiguous(0x07E0));
    EXPECT_TRUE(MaskIsContiguous(0xFF000000));
    EXPECT_TRUE(MaskIsContiguous(0));
    EXPECT_TRUE(MaskIsContiguous(0x40));
    EXPECT_FALSE(MaskIsContiguous(0x0F0F));
    EXPECT_FALSE(MaskIsContiguous(1));
}

TEST(DibUtilTest, PopularityPaletteOfTrueColour)
{
    // One colour: white reduced to 5-6-5 and widened back.
    HGLOBAL white = makeTrueColour(3, 2, std::vector<COLORREF>(6, RGB(255, 255, 255)));
    HPALETTE pal = DibMakePaletteFromHandle(white);
    ASSERT_NE(pal, nullptr);
    const auto e = entries(pal);
    ASSERT_EQ(e.size(), 256u);
    EXPECT_EQ(rgb(e[0]), (Rgb{248, 252, 248}));
    // Colours that never occurred follow by key: black, then the next key up.
    EXPECT_EQ(rgb(e[1]), (Rgb{0, 0, 0}));
    EXPECT_EQ(rgb(e[2]), (Rgb{0, 0, 8}));
    EXPECT_EQ(DibGetColorsUsed(white), 0u);
    DeleteObject(pal);
    GlobalFree(white);

    // Counts stop at 65535: a colour seen 70000 times ties with one seen
    // 65535 times, and the lower key goes first.
    auto histogram = ColorHistogramCreate();
    ASSERT_TRUE(histogram);
    const BYTE often[3] = {0, 0, 255}; // red, a high key
    const BYTE less[3] = {255, 0, 0};  // blue, a low key
    for (int i = 0; i < 70000; ++i)
        ColorHistogramAdd(*histogram, often);
    for (int i = 0; i < 65535; ++i)
        ColorHistogramAdd(*histogram, less);
    EXPECT_EQ((*histogram)[0xF800].count, 65535);
    RGBQUAD top[3]{};
    ColorHistogramTop(*histogram, top, 2);
    EXPECT_EQ(rgb(top[0]), (Rgb{0, 0, 248}));
    EXPECT_EQ(rgb(top[1]), (Rgb{248, 0, 0}));
    EXPECT_EQ(rgb(top[2]), (Rgb{0, 0, 0})); // only n entries are written
    ColorHistogramTop(*histogram, top, 0);
}

TEST(DibUtilTest, PopularityPaletteOfBitFields)
{
    // 5-6-5 fields; three pixels and the padding word of the row.
    Bytes rows{0x21, 0x08, 0x21, 0x08, 0xFF, 0xFF, 0, 0};
    HGLOBAL dib = makeDib({3, 1, 16, BI_BITFIELDS, {}, {0xF800, 0x07E0, 0x001F}, rows});
    HPALETTE pal = DibMakePaletteFromHandle(dib);
    auto e = entries(pal);
    EXPECT_EQ(rgb(e[0]), (Rgb{8, 4, 8}));
    EXPECT_EQ(rgb(e[1]), (Rgb{0, 0, 0}));
    EXPECT_EQ(rgb(e[2]), (Rgb{248, 252, 248}));
    DeleteObject(pal);
    GlobalFree(dib);

    // Plain 16 bits are 5-5-5, plain 32 bits 8-8-8.
    dib = makeDib({2, 1, 16, BI_RGB, {}, {}, {0xFF, 0x7F, 0xFF, 0x7F}});
    pal = DibMakePaletteFromHandle(dib);
    EXPECT_EQ(rgb(entries(pal)[0]), (Rgb{248, 248, 248}));
    DeleteObject(pal);
    GlobalFree(dib);
    dib = makeDib({1, 1, 32, BI_RGB, {}, {}, {0x40, 0x80, 0xFF, 0}});
    pal = DibMakePaletteFromHandle(dib);
    EXPECT_EQ(rgb(entries(pal)[0]), (Rgb{248, 128, 64}));
    DeleteObject(pal);
    GlobalFree(dib);
}

TEST(DibUtilTest, StrangeMasksAskAndGiveTheHalftonePalette)
{
    auto box = std::make_shared<win::RecordingMessageBox>();
    win::SetMessageBoxPort(box);
    HGLOBAL dib = makeDib({2, 2, 16, BI_BITFIELDS, {}, {0x0F0F, 0x00F0, 0xF000}});
    HPALETTE pal = DibMakePaletteFromHandle(dib);
    win::SetMessageBoxPort(nullptr);
    ASSERT_EQ(box->shown.size(), 1u);
    EXPECT_EQ(box->shown[0].caption, "Problem?");
    EXPECT_EQ(box->shown[0].text, "These DWORD masks look strange!\n\nI'm going to substitute a halftone palette.");
    EXPECT_EQ(box->shown[0].type, win::MB_ICONINFORMATION);
    EXPECT_EQ(box->shown[0].owner, nullptr);
    HPALETTE halftone = DibHalftonePalette();
    const auto e = entries(pal);
    ASSERT_EQ(e.size(), 256u);
    EXPECT_EQ(rgb(e[0]), (Rgb{0, 0, 0}));
    EXPECT_EQ(rgb(e[77]), (Rgb{160, 32, 64}));
    EXPECT_EQ(rgb(e[255]), (Rgb{224, 224, 192}));
    EXPECT_EQ(std::memcmp(e.data(), entries(halftone).data(), 256 * 4), 0);
    DeleteObject(pal);
    DeleteObject(halftone);
    GlobalFree(dib);
}

TEST(DibUtilTest, ChangeFormatAcceptsItsTargetsOnly)
{
    HGLOBAL src = makeTrueColour(2, 1, {RGB(1, 2, 3), RGB(4, 5, 6)});
    const Bytes before = BlockBytes(src);
    for (auto [bpp, compression] : std::vector<std::pair<WORD, DWORD>>{
             {24, BI_RLE8}, {24, BI_BITFIELDS}, {2, BI_RGB}, {16, BI_RLE8}, {1, BI_BITFIELDS}, {8, BI_RLE4},
             {0, BI_RLE8}, {0, BI_RLE4}, {0, BI_BITFIELDS}, {64, BI_RGB}})
        EXPECT_EQ(DibChangeFormat(src, bpp, compression), nullptr) << bpp << " " << compression;
    EXPECT_EQ(BlockBytes(src), before);
    EXPECT_EQ(DibChangeFormat(nullptr, 8, BI_RGB), nullptr);
    GlobalFree(src);
}

TEST(DibUtilTest, ChangeFormatThroughSections)
{
    HGLOBAL src = makeTrueColour(3, 2, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(8, 16, 24),
                                        RGB(255, 255, 255), RGB(0, 0, 0)});
    const Bytes before = BlockBytes(src);
    HGLOBAL out = DibChangeFormat(src, 16, BI_RGB);
    ASSERT_NE(out, nullptr);
    {
        Locked l(out);
        EXPECT_EQ(l.h->biBitCount, 16);
        EXPECT_EQ(l.h->biCompression, BI_RGB);
        EXPECT_EQ(l.h->biClrUsed, 0u);
        EXPECT_EQ(l.h->biXPelsPerMeter, 0);
        const auto* w = reinterpret_cast<const WORD*>(l.pixels());
        // Bottom row first, each row padded to 4 words.
        EXPECT_EQ((std::vector<WORD>(w, w + 8)), (std::vector<WORD>{0x0443, 0x7FFF, 0x0000, 0, 0x7C00, 0x03E0, 0x001F, 0}));
    }
    EXPECT_EQ(BlockBytes(src), before);
    GlobalFree(out);

    out = DibChangeFormat(src, 32, BI_RGB);
    ASSERT_NE(out, nullptr);
    {
        Locked l(out);
        EXPECT_EQ(Bytes(l.pixels(), l.pixels() + 8), (Bytes{24, 16, 8, 0, 255, 255, 255, 0}));
    }
    GlobalFree(out);
    GlobalFree(src);
}

TEST(DibUtilTest, ChangeFormatThroughThePopularityPalette)
{
    // Red three times, green twice, blue once.
    HGLOBAL src = makeTrueColour(3, 2, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 0, 0), RGB(0, 0, 255),
                                        RGB(255, 0, 0), RGB(0, 255, 0)});
    HGLOBAL out = DibChangeFormat(src, 8, BI_RGB);
    ASSERT_NE(out, nullptr);
    {
        Locked l(out);
        ASSERT_EQ(l.h->biBitCount, 8);
        EXPECT_EQ(rgb(l.table()[0]), (Rgb{248, 0, 0}));
        EXPECT_EQ(rgb(l.table()[1]), (Rgb{0, 252, 0}));
        EXPECT_EQ(rgb(l.table()[2]), (Rgb{0, 0, 248}));
        EXPECT_EQ(Bytes(l.pixels(), l.pixels() + 8), (Bytes{2, 0, 1, 0, 0, 1, 0, 0}));
    }
    GlobalFree(out);

    // Down to one bit: the black and white table, each colour to the nearer.
    out = DibChangeFormat(src, 1, BI_RGB);
    ASSERT_NE(out, nullptr);
    {
        Locked l(out);
        EXPECT_EQ(rgb(l.table()[1]), (Rgb{255, 255, 255}));
        EXPECT_EQ(l.pixels()[0], 0);
    }
    // And up again from a table.
    HGLOBAL back = DibChangeFormat(out, 24, BI_RGB);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(DibGetBitCount(back), 24);
    // Bit fields at 16 bits are 5-6-5.
    HGLOBAL fields = DibChangeFormat(src, 16, BI_BITFIELDS);
    ASSERT_NE(fields, nullptr);
    {
        Locked l(fields);
        const auto* m = reinterpret_cast<const DWORD*>(l.after());
        EXPECT_EQ((std::array<DWORD, 3>{m[0], m[1], m[2]}), (std::array<DWORD, 3>{0xF800, 0x07E0, 0x001F}));
        EXPECT_EQ(reinterpret_cast<const WORD*>(l.pixels())[0], 0x001F);
    }
    for (HGLOBAL g : {src, out, back, fields})
        GlobalFree(g);
}

TEST(DibUtilTest, CreateHeaderIsZeroedAndCountsWideRows)
{
    HGLOBAL h = DibCreateHeader(30000, 2, 24, BI_RGB);
    ASSERT_NE(h, nullptr);
    {
        Locked l(h);
        EXPECT_EQ(l.h->biSizeImage, 180000u);
        EXPECT_EQ(l.h->biClrUsed, 0u);
        EXPECT_EQ(l.h->biXPelsPerMeter, 0);
        EXPECT_EQ(GlobalSize(h), 40u + 180000u);
    }
    GlobalFree(h);
    h = DibCreateHeader(5, 1, 16, BI_BITFIELDS);
    {
        Locked l(h);
        EXPECT_EQ(l.h->biSizeImage, 12u);
        EXPECT_EQ(reinterpret_cast<const DWORD*>(l.after())[1], 0x07E0u);
    }
    GlobalFree(h);
    EXPECT_EQ(DibCreateHeader(5, 1, 8, BI_RGB), nullptr);
    EXPECT_EQ(DibCreateHeader(5, 1, 24, BI_RLE8), nullptr);
    EXPECT_EQ(DibCreateHeader(-5, 1, 24, BI_RGB), nullptr);
    EXPECT_EQ(DibCreateHeader(100000, 100000, 32, BI_RGB), nullptr);
}

TEST(DibUtilTest, FilesOfPackedDibs)
{
    tv::testing::TempRoot root;
    const std::string path = (root.Path() / "packed.bmp").string();
    HGLOBAL src = makeTrueColour(3, 2, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 0, 0), RGB(0, 0, 255),
                                        RGB(255, 0, 0), RGB(0, 255, 0)});
    ASSERT_TRUE(DibFileStore(path.c_str(), src));
    const Bytes block = BlockBytes(src);
    Bytes expect{'B', 'M', BYTE(block.size() + 14), 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
    expect.insert(expect.end(), block.begin(), block.end());
    {
        std::ifstream in(path, std::ios::binary);
        EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), expect);
    }
    HGLOBAL loaded = DibFileLoad(path.c_str());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(BlockBytes(loaded), block);
    GlobalFree(loaded);

    // Stored at 8 bits, it is a BMP the picture object reads.
    ASSERT_TRUE(DibFileStoreAs(path.c_str(), src, 8, BI_RGB));
    CDIB dib;
    ASSERT_TRUE(dib.Load(path.c_str()));
    EXPECT_EQ(dib.GetBitCount(), 8);
    EXPECT_EQ(rgb(dib.GetColorTable()[0]), (Rgb{248, 0, 0}));
    EXPECT_FALSE(DibFileStoreAs(path.c_str(), src, 24, BI_RLE8));
    EXPECT_EQ(DibFileLoad((root.Path() / "missing.bmp").string().c_str()), nullptr);
    EXPECT_FALSE(DibFileStore(path.c_str(), nullptr));
    GlobalFree(src);
}

TEST(DibUtilTest, ReadHeaderTakesBarePackedDibsAndOs2Headers)
{
    // A bare packed DIB: no file header; the file stays at the pixels.
    Bytes bytes(40, 0);
    BITMAPINFOHEADER hdr{40, 2, 1, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(bytes.data(), &hdr, 40);
    bytes.insert(bytes.end(), {0, 0, 0, 0, 255, 255, 255, 0, 0xC0, 0, 0, 0});
    CMemFile bare(bytes.data(), UINT(bytes.size()));
    HGLOBAL h = DibReadHeader(&bare);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(bare.GetPosition(), 48u);
    EXPECT_EQ(GlobalSize(h), 48u);
    EXPECT_EQ(DibGetColorsUsed(h), 2u);
    GlobalFree(h);

    // OS/2: the header and its three-byte table are widened.
    Bytes os2{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0, 0, 12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0,
              1, 2, 3, 4, 5, 6, 0x80, 0, 0, 0};
    CMemFile file(os2.data(), UINT(os2.size()));
    h = DibReadHeader(&file);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(file.GetPosition(), 32u);
    {
        Locked l(h);
        EXPECT_EQ(l.h->biSize, 40u);
        EXPECT_EQ(l.h->biClrImportant, 2u);
        EXPECT_EQ(rgb(l.table()[1]), (Rgb{6, 5, 4}));
        EXPECT_EQ(l.table()[1].rgbReserved, 0);
    }
    GlobalFree(h);

    // Headers that cannot be true are refused.
    for (auto change : {+[](BITMAPINFOHEADER& b) { b.biHeight = -1; }, +[](BITMAPINFOHEADER& b) { b.biClrUsed = 300; },
                        +[](BITMAPINFOHEADER& b) { b.biHeight = 0x7FFFFFFF; }, +[](BITMAPINFOHEADER& b) { b.biSize = 108; },
                        +[](BITMAPINFOHEADER& b) { b.biCompression = BI_RLE8; }}) {
        BITMAPINFOHEADER bad = hdr;
        change(bad);
        std::memcpy(bytes.data(), &bad, 40);
        CMemFile f(bytes.data(), UINT(bytes.size()));
        EXPECT_EQ(DibReadHeader(&f), nullptr);
    }
}

TEST(DibUtilTest, DrawingOnDCs)
{
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 4, 3);
    HGDIOBJ old = SelectObject(mem, target);
    HGLOBAL dib = makeTrueColour(2, 2, {RGB(10, 20, 30), RGB(40, 50, 60), RGB(70, 80, 90), RGB(1, 2, 3)});

    ASSERT_TRUE(DibStretchToDC(mem, 0, 0, 4, 2, dib, 0, 0, 2, 2, SRCCOPY));
    // Without a picture, the rop alone.
    ASSERT_TRUE(DibStretchToDC(mem, 0, 2, 4, 1, nullptr, 0, 0, 0, 0, WHITENESS));
    SelectObject(mem, old);
    auto c = dcColours(target, 4, 3);
    EXPECT_EQ(c[0], RGB(10, 20, 30));
    EXPECT_EQ(c[1], RGB(10, 20, 30));
    EXPECT_EQ(c[3], RGB(40, 50, 60));
    EXPECT_EQ(c[4], RGB(70, 80, 90));
    EXPECT_EQ(c[8], RGB(255, 255, 255));

    SelectObject(mem, target);
    ASSERT_TRUE(DibBltToDC(mem, 1, 0, 2, 2, dib, 0, 0, SRCCOPY));
    ASSERT_TRUE(DibBltToDC(mem, 0, 0, 1, 3, nullptr, 0, 0, BLACKNESS));
    SelectObject(mem, old);
    c = dcColours(target, 4, 3);
    EXPECT_EQ(c[0], RGB(0, 0, 0));
    EXPECT_EQ(c[1], RGB(10, 20, 30));
    EXPECT_EQ(c[6], RGB(1, 2, 3));

    // Device bitmaps: a crop, a copy, drawn onto another DC.
    const RECT r{1, 1, 3, 2};
    HBITMAP crop = DibCropBitmap(target, &r);
    ASSERT_NE(crop, nullptr);
    EXPECT_EQ(dcColours(crop, 2, 1), (std::vector<COLORREF>{RGB(70, 80, 90), RGB(1, 2, 3)}));
    HBITMAP copy = DibCopyBitmap(target);
    EXPECT_EQ(dcColours(copy, 4, 3), c);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 3, 1);
    SelectObject(mem, canvas);
    EXPECT_TRUE(DibDrawDeviceBitmap(mem, 1, 0, crop, SRCCOPY));
    EXPECT_FALSE(DibDrawDeviceBitmap(mem, 1, 0, nullptr, SRCCOPY));
    SelectObject(mem, old);
    EXPECT_EQ(dcColours(canvas, 3, 1), (std::vector<COLORREF>{0, RGB(70, 80, 90), RGB(1, 2, 3)}));
    const RECT empty{2, 2, 2, 5};
    EXPECT_EQ(DibCropBitmap(target, &empty), nullptr);

    for (HBITMAP b : {target, crop, copy, canvas})
        DeleteObject(b);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    GlobalFree(dib);
}

TEST(DibUtilTest, DeviceBitmapsBothWays)
{
    HGLOBAL dib = makeDib({2, 1, 8, BI_RGB, {{0, 0, 255, 0}, {255, 0, 0, 0}}, {}, {1, 0, 0, 0}});
    HBITMAP hbm = DibToDeviceBitmap(dib, nullptr);
    ASSERT_NE(hbm, nullptr);
    EXPECT_EQ(dcColours(hbm, 2, 1), (std::vector<COLORREF>{RGB(0, 0, 255), RGB(255, 0, 0)}));
    HGLOBAL back = DibFromDeviceBitmap(hbm, BI_RGB, 0, nullptr);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(DibGetBitCount(back), 32);
    HGLOBAL four = DibFromDeviceBitmap(hbm, BI_RGB, 4, nullptr);
    {
        // The standard sixteen colours: pure blue is entry 12, pure red entry 9.
        Locked l(four);
        EXPECT_EQ(l.pixels()[0], 0xC9);
    }
    EXPECT_EQ(DibFromDeviceBitmap(nullptr, BI_RGB, 8, nullptr), nullptr);
    EXPECT_EQ(DibFromDeviceBitmap(hbm, BI_RLE8, 8, nullptr), nullptr);
    DeleteObject(hbm);
    for (HGLOBAL g : {dib, back, four})
        GlobalFree(g);
}

TEST(DibUtilTest, PaletteMakers)
{
    const RGBQUAD table[3] = {{1, 2, 3, 9}, {4, 5, 6, 9}, {7, 8, 9, 9}};
    HPALETTE pal = DibPaletteFromTable(table, 3);
    auto e = entries(pal);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(rgb(e[2]), (Rgb{9, 8, 7}));
    EXPECT_EQ(e[2].peFlags, 0);
    HPALETTE flagged = DibCopyPaletteWithFlags(pal, PC_NOCOLLAPSE);
    EXPECT_EQ(entries(flagged)[1].peFlags, PC_NOCOLLAPSE);
    EXPECT_EQ(rgb(entries(flagged)[1]), (Rgb{6, 5, 4}));
    HPALETTE copy = DibCopyPalette(flagged);
    EXPECT_EQ(std::memcmp(entries(copy).data(), entries(flagged).data(), 12), 0);
    EXPECT_EQ(DibPaletteFromTable(table, 0), nullptr);

    HGLOBAL dib = makeDib({1, 1, 1, BI_RGB, {{0, 0, 0, 0}, {10, 20, 30, 0}}});
    HPALETTE withFlags = DibMakePaletteWithFlags(dib, PC_RESERVED);
    EXPECT_EQ(rgb(entries(withFlags)[1]), (Rgb{30, 20, 10}));
    EXPECT_EQ(entries(withFlags)[1].peFlags, PC_RESERVED);

    // The popularity palette can be switched off for the halftone one.
    HGLOBAL rgbDib = makeTrueColour(1, 1, {RGB(255, 255, 255)});
    DibSetPopularityPalette(FALSE);
    EXPECT_FALSE(DibGetPopularityPalette());
    HPALETTE half = DibMakePaletteFromHandle(rgbDib);
    DibSetPopularityPalette(TRUE);
    EXPECT_EQ(rgb(entries(half)[9]), (Rgb{32, 32, 0}));
    for (HPALETTE p : {pal, flagged, copy, withFlags, half})
        DeleteObject(p);
    GlobalFree(dib);
    GlobalFree(rgbDib);
}

TEST(DibUtilTest, SystemPalettesOnTheTrueColourScreen)
{
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(DibDevicePaletteSize(screen), -1);
    ReleaseDC(nullptr, screen);
    // The screen has no palette of its own to copy.
    EXPECT_EQ(DibSystemPalette(), nullptr);

    // The identity palette: the table, then the system's colours; nothing static.
    const RGBQUAD table[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    HPALETTE id = DibIdentityPalette(table, 2);
    const auto e = entries(id);
    ASSERT_EQ(e.size(), 256u);
    EXPECT_EQ(rgb(e[0]), (Rgb{3, 2, 1}));
    EXPECT_EQ(e[1].peFlags, PC_NOCOLLAPSE);
    EXPECT_EQ(rgb(e[2]), (Rgb{0, 128, 0}));
    EXPECT_EQ(rgb(e[128]), (Rgb{0, 0, 0}));
    EXPECT_EQ(rgb(e[255]), (Rgb{255, 255, 255}));
    EXPECT_EQ(e[255].peFlags, PC_NOCOLLAPSE);
    DeleteObject(id);

    // Clearing the system palette changes nothing the screen shows.
    PALETTEENTRY sys[256];
    screen = GetDC(nullptr);
    ASSERT_EQ(GetSystemPaletteEntries(screen, 0, 256, sys), 256u);
    DibClearSystemPalette();
    PALETTEENTRY after[256];
    GetSystemPaletteEntries(screen, 0, 256, after);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(std::memcmp(sys, after, sizeof sys), 0);
}

TEST(DibUtilTest, MapToPalette)
{
    std::vector<RGBQUAD> table(256, RGBQUAD{0, 0, 0, 0});
    table[1] = {0, 0, 250, 0}; // nearly red
    table[2] = {250, 0, 0, 0}; // nearly blue
    HGLOBAL dib = makeDib({3, 1, 8, BI_RGB, table, {}, {1, 2, 0, 0}});
    const RGBQUAD two[2] = {{255, 0, 0, 0}, {0, 0, 255, 0}};
    HPALETTE pal = DibPaletteFromTable(two, 2);
    ASSERT_TRUE(DibMapToPalette(dib, pal));
    {
        Locked l(dib);
        EXPECT_EQ(rgb(l.table()[0]), (Rgb{0, 0, 255}));
        EXPECT_EQ(rgb(l.table()[1]), (Rgb{255, 0, 0}));
        // Black finds itself among the zeroed entries behind the palette's two.
        EXPECT_EQ(Bytes(l.pixels(), l.pixels() + 3), (Bytes{1, 0, 2}));
    }
    // A table with no room for the palette's colours is not touched.
    HGLOBAL small = makeDib({3, 1, 8, BI_RGB, std::vector<RGBQUAD>(4), {}, {1, 2, 3, 0}});
    const Bytes before = BlockBytes(small);
    EXPECT_FALSE(DibMapToPalette(small, pal));
    EXPECT_EQ(BlockBytes(small), before);
    EXPECT_FALSE(DibMapToPalette(dib, nullptr));
    DeleteObject(pal);
    GlobalFree(dib);
    GlobalFree(small);
}

TEST(DibUtilTest, FileLoadMakesNoRoomForAnImageSizeBeyondThePlainRows)
{
    // A 9 x 5 picture at 24 bits (140 bytes of rows) whose header claims an
    // image of 880 MiB: the file holds the rows, so it loads, with a block
    // and an image size of the rows alone.
    tv::testing::TempRoot root;
    const std::string path = (root.Path() / "claims.bmp").string();
    HGLOBAL src = makeDib({9, 5, 24});
    ASSERT_TRUE(DibFileStore(path.c_str(), src));
    GlobalFree(src);
    Bytes file;
    {
        std::ifstream in(path, std::ios::binary);
        file.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_EQ(file.size(), 14u + 40 + 140);
    const DWORD claimed = 0x37000000;
    std::memcpy(file.data() + 14 + 20, &claimed, 4);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    }
    const bool watched = codec::testing::LargestAllocation::Start();
    HGLOBAL loaded = DibFileLoad(path.c_str());
    const std::size_t largest = codec::testing::LargestAllocation::Stop();
    ASSERT_NE(loaded, nullptr);
    if (watched) {
        EXPECT_LT(largest, std::size_t(1) << 20);
    }
    EXPECT_EQ(GlobalSize(loaded), 40u + 140);
    const Bytes block = BlockBytes(loaded);
    DWORD imageSize = 0;
    std::memcpy(&imageSize, block.data() + 20, 4);
    EXPECT_EQ(imageSize, 140u);
    GlobalFree(loaded);
}

} // namespace
