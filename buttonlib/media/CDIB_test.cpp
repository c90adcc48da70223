// The picture object: creation and fills, resolution, attached blocks and
// resources, copies, and the stored forms against golden bytes.

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/DibTestSupport.h"
#include "buttonlib/media/MediaTestSupport.h"

#include "platform/mfc/CMemFile.h"
#include "platform/win/Resources.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace media::testing;

Bytes stored(CDIB& dib, bool compressed)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    dib.SerializeEx(ar, compressed ? TRUE : FALSE);
    ar.Close();
    return file.Detach();
}

// Loads a stored form; false when the load raised CMemoryException.
bool load(CDIB& dib, Bytes bytes, bool compressed)
{
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    try {
        dib.SerializeEx(ar, compressed ? TRUE : FALSE);
    } catch (const CMemoryException&) {
        return false;
    }
    return true;
}

TEST(CDIBTest, ConstructedEmpty)
{
    CDIB dib;
    EXPECT_FALSE(dib.IsValid());
    LONG x = 0, y = 0;
    dib.GetDpi(&x, &y);
    EXPECT_EQ(x, 150);
    EXPECT_EQ(y, 150);
    EXPECT_EQ(dib.GetAux(), -1);
    EXPECT_EQ(dib.GetColorCount(), 0);
    EXPECT_EQ(dib.GetRuntimeClass()->m_lpszClassName, std::string("CDIB"));
    EXPECT_EQ(CRuntimeClass::FromName("CDIB")->CreateObject()->GetRuntimeClass(), RUNTIME_CLASS(CDIB));
}

TEST(CDIBTest, BlankFillsAtEveryDepth)
{
    struct Case {
        WORD bpp;
        int width;
        COLORREF fill;
        Bytes row; // the bytes of one row, padding included
    };
    const Case cases[] = {
        {1, 27, RGB(255, 255, 255), {0xFF, 0xFF, 0xFF, 0xFF}},
        {1, 27, RGB(20, 20, 20), {0, 0, 0, 0}},
        // Nearest of the sixteen: (0, 0, 128) is entry 1.
        {4, 7, RGB(0, 0, 120), {0x11, 0x11, 0x11, 0x11}},
        // (255, 0, 0) is entry 249 of the 256 colours; (250, 5, 5) is nearest to it.
        {8, 7, RGB(250, 5, 5), {249, 249, 249, 249, 249, 249, 249, 249}},
        {16, 6, RGB(255, 128, 8), {0x01, 0x7E, 0x01, 0x7E, 0x01, 0x7E, 0x01, 0x7E, 0x01, 0x7E, 0x01, 0x7E}},
        {24, 5, RGB(1, 2, 3), {3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1, 0}},
        {32, 5, RGB(1, 2, 3), {3, 2, 1, 0, 3, 2, 1, 0, 3, 2, 1, 0, 3, 2, 1, 0, 3, 2, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bpp);
        CDIB dib;
        ASSERT_TRUE(dib.CreateBlank(c.width, 2, c.bpp, c.fill));
        ASSERT_EQ(dib.GetRowBytes(), c.row.size());
        Bytes expect;
        for (int r = 0; r < 2; ++r)
            expect.insert(expect.end(), c.row.begin(), c.row.end());
        EXPECT_EQ(PixelBytes(dib), expect);
        EXPECT_EQ(dib.GetInfo()->bmiHeader.biSizeImage, expect.size());
        // A blank header has no resolution.
        LONG x = -1, y = -1;
        dib.GetDpi(&x, &y);
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, 0);
    }
    CDIB empty;
    EXPECT_TRUE(empty.CreateBlank(0, 4, 24, 0));
    EXPECT_EQ(empty.GetImageSize(), 0u);
}

TEST(CDIBTest, TablesComeFromTheDefaultsOrTheTemplate)
{
    CDIB dib;
    ASSERT_TRUE(dib.CreateBlank(3, 3, 8, 0));
    ASSERT_EQ(dib.GetColorCount(), 256);
    EXPECT_EQ(std::memcmp(dib.GetColorTable(), CDIB::kDefaultColors256.data(), 256 * sizeof(RGBQUAD)), 0);
    EXPECT_EQ(dib.GetPalette()->GetEntryCount(), 256);
    const RGBQUAD e246 = CDIB::kDefaultColors256[246];
    EXPECT_EQ((std::array<int, 3>{e246.rgbRed, e246.rgbGreen, e246.rgbBlue}), (std::array<int, 3>{0xff, 0xfb, 0xf0}));

    // A template with a table of its own (biSize set) gives its colours.
    struct {
        BITMAPINFOHEADER h{};
        RGBQUAD colors[2] = {{10, 20, 30, 0}, {40, 50, 60, 0}};
    } templ;
    templ.h.biSize = 40;
    templ.h.biBitCount = 1;
    templ.h.biPlanes = 1;
    templ.h.biXPelsPerMeter = 3780;
    templ.h.biYPelsPerMeter = 2835;
    ASSERT_TRUE(dib.CreateFromHeader(9, 2, reinterpret_cast<BITMAPINFO*>(&templ), RGB(60, 50, 40)));
    EXPECT_EQ(dib.GetColorTable()[1].rgbRed, 60);
    EXPECT_EQ(PixelBytes(dib), Bytes(8, 0xFF));
    LONG x = 0, y = 0;
    dib.GetDpi(&x, &y);
    EXPECT_EQ(x, 96);
    EXPECT_EQ(y, 72);

    // The template may be the picture's own header.
    ASSERT_TRUE(dib.CreateFromHeader(4, 4, dib.GetInfo(), RGB(30, 20, 10)));
    EXPECT_EQ(dib.GetColorTable()[0].rgbBlue, 10);
    EXPECT_EQ(PixelBytes(dib), Bytes(16, 0x00));
}

TEST(CDIBTest, ImpossibleSizesRaise)
{
    CDIB dib;
    MakePattern(dib, 8);
    const Bytes before = PixelBytes(dib);
    EXPECT_THROW(dib.CreateBlank(-1, 5, 8, 0), CMemoryException);
    EXPECT_THROW(dib.CreateBlank(5, -1, 8, 0), CMemoryException);
    EXPECT_THROW(dib.CreateBlank(5, 5, 2, 0), CMemoryException);
    EXPECT_THROW(dib.CreateBlank(0x7FFFFFFF, 0x7FFFFFFF, 32, 0), CMemoryException);
    EXPECT_THROW(dib.CreateBlank(40000, 40000, 24, 0), CMemoryException);
    // Refused before the held picture is released.
    EXPECT_EQ(PixelBytes(dib), before);
}

TEST(CDIBTest, ResolutionConversions)
{
    CDIB dib;
    ASSERT_TRUE(dib.CreateBlank(1, 1, 24, 0));
    const std::pair<LONG, LONG> cases[] = {{3780, 96}, {5906, 150}, {2835, 72}, {0, 0}, {-3780, -96}};
    for (auto [pels, dpi] : cases) {
        dib.GetInfo()->bmiHeader.biXPelsPerMeter = pels;
        dib.GetInfo()->bmiHeader.biYPelsPerMeter = pels;
        CDIB copy;
        copy.CreateFromHeader(1, 1, dib.GetInfo(), 0);
        LONG x = 0, y = 0;
        copy.GetDpi(&x, &y);
        EXPECT_EQ(x, dpi) << pels;
        EXPECT_EQ(y, dpi) << pels;
    }
    dib.SetDpi(150, 300);
    EXPECT_EQ(dib.GetInfo()->bmiHeader.biXPelsPerMeter, 5905);
    EXPECT_EQ(dib.GetInfo()->bmiHeader.biYPelsPerMeter, 11811);
    dib.SetDpi(0x7FFFFFFF, -0x7FFFFFFF);
    EXPECT_EQ(dib.GetInfo()->bmiHeader.biXPelsPerMeter, 0x7FFFFFFF);
}

TEST(CDIBTest, CopiesAndLikenesses)
{
    CDIB src(TRUE);
    MakePattern(src, 4);
    src.SetDpi(200, 100);
    CDIB copy;
    copy.Copy(src);
    EXPECT_EQ(PixelBytes(copy), PixelBytes(src));
    EXPECT_EQ(copy.GetKeepMemory(), 1);
    LONG x = 0, y = 0;
    copy.GetDpi(&x, &y);
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 100);
    EXPECT_EQ(&copy.Copy(copy), &copy);

    CDIB like;
    ASSERT_TRUE(like.CreateLike(2, 2, src));
    EXPECT_EQ(like.GetBitCount(), 4);
    EXPECT_EQ(PixelBytes(like), Bytes(8, 0xFF)); // white is entry 15

    CDIB empty;
    copy.Copy(empty);
    EXPECT_FALSE(copy.IsValid());
    EXPECT_FALSE(like.CreateLike(2, 2, empty));

    // A whole packed DIB: header, table, rows.
    CDIB packed;
    ASSERT_TRUE(packed.CreateFromPackedDIB(src.GetInfo()));
    EXPECT_EQ(PixelBytes(packed), PixelBytes(src));
}

TEST(CDIBTest, AttachFindsThePixelsBehindTheRealTable)
{
    // A 4-bit picture whose table has 3 entries, and biSizeImage 0.
    const std::size_t size = 40 + 3 * 4 + 4 * 2;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    auto* p = static_cast<BYTE*>(GlobalLock(h));
    BITMAPINFOHEADER hdr{40, 3, 2, 1, 4, BI_RGB, 0, 3780, 3780, 3, 0};
    std::memcpy(p, &hdr, sizeof hdr);
    p[40 + 12] = 0x12;
    CDIB dib;
    MakePattern(dib, 8);
    ASSERT_TRUE(dib.Attach(h, p, DWORD(size)));
    EXPECT_EQ(dib.GetBits(), p + 52);
    EXPECT_EQ(dib.GetImageSize(), 8u);
    EXPECT_EQ(dib.GetKeepMemory(), 1);
    EXPECT_EQ(dib.GetAux(), 24);
    LONG x = 0;
    dib.GetDpi(&x, nullptr);
    EXPECT_EQ(x, 96);

    // Bit fields: the pixels follow the 12 mask bytes.
    HGLOBAL h2 = GlobalAlloc(GMEM_MOVEABLE, 40 + 12 + 4);
    auto* p2 = static_cast<BYTE*>(GlobalLock(h2));
    BITMAPINFOHEADER hdr2{40, 2, 1, 1, 16, BI_BITFIELDS, 4, 0, 0, 0, 0};
    std::memcpy(p2, &hdr2, sizeof hdr2);
    ASSERT_TRUE(dib.Attach(h2, p2, 0xFFFFFFFF));
    EXPECT_EQ(dib.GetBits(), p2 + 52);
    EXPECT_EQ(dib.GetKeepMemory(), 1);

    // A block too short for its rows is not taken.
    HGLOBAL h3 = GlobalAlloc(GMEM_MOVEABLE, 40 + 4);
    auto* p3 = static_cast<BYTE*>(GlobalLock(h3));
    BITMAPINFOHEADER hdr3{40, 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(p3, &hdr3, sizeof hdr3);
    EXPECT_FALSE(dib.Attach(h3, p3, 44));
    EXPECT_EQ(dib.GetBits(), p2 + 52);
    GlobalFree(h3);
}

TEST(CDIBTest, FreesEveryBlockItHeld)
{
    const SIZE_T before = GlobalBlockCount();
    {
        // Once marked keep-memory (as a resource marks it), the object
        // still frees each picture it replaces and the last one.
        CDIB dib;
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 44);
        auto* p = static_cast<BYTE*>(GlobalLock(h));
        BITMAPINFOHEADER hdr{40, 1, 1, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        std::memcpy(p, &hdr, sizeof hdr);
        ASSERT_TRUE(dib.Attach(h, p, 44));
        ASSERT_EQ(dib.GetKeepMemory(), 1);
        for (int i = 0; i < 5; ++i)
            dib.CreateBlank(4, 4, 8, 0);
        CDIB copy;
        copy.Copy(dib);
        EXPECT_EQ(copy.GetKeepMemory(), 1);
    }
    EXPECT_EQ(GlobalBlockCount(), before);
}

TEST(CDIBTest, ResourcesAreCopiedIntoTheirOwnBlock)
{
    Bytes packed(40 + 8 + 4, 0);
    BITMAPINFOHEADER hdr{40, 3, 1, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(packed.data(), &hdr, sizeof hdr);
    packed[44] = packed[45] = packed[46] = 0xFF; // entry 1 white
    packed[48] = 0xA0;
    win::RegisterResource(win::RT_BITMAP, 9101, packed);

    CDIB dib;
    ASSERT_TRUE(dib.LoadResource(9101));
    EXPECT_EQ(dib.GetWidth(), 3);
    EXPECT_EQ(dib.GetKeepMemory(), 1);
    EXPECT_EQ(dib.GetImageSize(), 4u);
    dib.GetBits()[0] = 0x55;
    // The library's bytes are untouched: a second picture sees them as they were.
    CDIB again;
    ASSERT_TRUE(again.LoadResource(9101));
    EXPECT_EQ(again.GetBits()[0], 0xA0);

    EXPECT_FALSE(dib.LoadResource(9102));
    EXPECT_EQ(dib.GetBits()[0], 0x55);
    // A damaged resource is refused and the picture kept.
    win::RegisterResource(win::RT_BITMAP, 9103, Bytes(packed.begin(), packed.begin() + 50));
    EXPECT_FALSE(dib.LoadResource(9103));
    EXPECT_EQ(dib.GetWidth(), 3);
}

TEST(CDIBTest, StoredFormsMatchTheGoldenBytes)
{
    for (WORD bpp : {1, 4, 8, 16, 24}) {
        SCOPED_TRACE(bpp);
        const std::string name = "dib" + std::to_string(bpp);
        CDIB dib;
        MakePattern(dib, bpp);
        EXPECT_EQ(stored(dib, false), ReadGolden(name + ".ser"));
        EXPECT_EQ(stored(dib, true), ReadGolden(name + ".serx"));

        // Both forms load back to the same picture and values.
        for (bool compressed : {false, true}) {
            CDIB back;
            back.SetDpi(1, 33);
            ASSERT_TRUE(load(back, ReadGolden(name + (compressed ? ".serx" : ".ser")), compressed));
            EXPECT_EQ(PixelBytes(back), PixelBytes(dib));
            EXPECT_EQ(back.GetAux(), -1);
            LONG x = 0, y = 0;
            back.GetDpi(&x, &y);
            EXPECT_EQ(x, 96);
            EXPECT_EQ(y, 33); // the y resolution is not stored
            EXPECT_EQ(stored(back, compressed), stored(dib, compressed));
        }
    }
}

TEST(CDIBTest, EmptyPicturesStoreNothing)
{
    CDIB empty;
    EXPECT_TRUE(stored(empty, false).empty());
    EXPECT_TRUE(stored(empty, true).empty());
    HGLOBAL blob = empty.GetBlob();
    EXPECT_EQ(BlockBytes(blob), (Bytes{0, 0, 0, 0}));
    GlobalFree(blob);

    CDIB dib;
    MakePattern(dib, 8);
    blob = dib.GetBlob();
    CDIB back;
    back.SetBlob(&blob);
    EXPECT_EQ(blob, nullptr);
    EXPECT_EQ(PixelBytes(back), PixelBytes(dib));
}

TEST(CDIBTest, APayloadThatIsNotABitmapRaisesAndChangesNothing)
{
    CDIB dib(TRUE);
    MakePattern(dib, 24);
    const Bytes before = PixelBytes(dib);
    Bytes bad = ReadGolden("dib8.ser");
    bad[16] = 'X';
    bad[4] = 7; // pasted
    EXPECT_FALSE(load(dib, bad, false));
    EXPECT_EQ(PixelBytes(dib), before);
    const Bytes values = stored(dib, false);
    EXPECT_EQ(Bytes(values.begin(), values.begin() + 16),
              (Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 96, 0, 0, 0}));

    // A compressed payload that unpacks to another length than announced.
    Bytes wrong = ReadGolden("dib8.serx");
    wrong[20] ^= 1;
    EXPECT_FALSE(load(dib, wrong, true));
    EXPECT_EQ(PixelBytes(dib), before);
    // A stream that ends inside the values.
    EXPECT_THROW(load(dib, Bytes{1, 2, 3}, false), CArchiveException);
    EXPECT_EQ(PixelBytes(dib), before);
}

TEST(CDIBTest, TheFlaggedFormSaysWhetherAPictureFollows)
{
    CDIB empty;
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    empty.SerializeWithFlag(ar);
    ar.Close();
    Bytes bytes = file.Detach();
    EXPECT_EQ(bytes, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 150, 0, 0, 0, 0, 0, 0, 0}));

    CDIB dib;
    MakePattern(dib, 16);
    CMemFile out;
    CArchive store(&out, CArchive::store);
    dib.SerializeWithFlag(store);
    store.Close();
    bytes = out.Detach();
    Bytes expect = ReadGolden("dib16.serx");
    expect.insert(expect.begin() + 16, {1, 0, 0, 0});
    EXPECT_EQ(bytes, expect);

    CDIB back;
    CMemFile in(bytes.data(), UINT(bytes.size()));
    CArchive load(&in, CArchive::load);
    back.SerializeWithFlag(load);
    EXPECT_EQ(PixelBytes(back), PixelBytes(dib));
}

} // namespace
