#include "buttonlib/media/CDIBSectionBitmap.h"
#include "buttonlib/media/CImageDecoder.h"
#include "buttonlib/media/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace codec::testing;

int codeOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const CTextException& e) {
        return e.GetCode();
    }
    return 0;
}

std::string messageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const CTextException& e) {
        return e.GetMsg();
    }
    return {};
}

TEST(CImageBitmapTest, LayoutRampsAndMemoryUse)
{
    CGlobalDIB bmp;
    EXPECT_EQ(bmp.GetWidth(), 16);
    EXPECT_EQ(bmp.GetBitsPerPixel(), 8);
    bmp.Create(9, 3, 1, false);
    EXPECT_EQ(bmp.GetBytesPerLine(), 4);
    EXPECT_EQ(bmp.GetPalette()[0].rgbRed, 0);
    EXPECT_EQ(bmp.GetPalette()[1].rgbRed, 255);
    bmp.Create(9, 3, 4, false);
    EXPECT_EQ(bmp.GetBytesPerLine(), 8);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(bmp.GetPalette()[i].rgbGreen, 17 * i);
    bmp.Create(5, 4, 8, false);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(bmp.GetPalette()[i].rgbBlue, i);
    EXPECT_EQ(bmp.GetPalette()[7].rgbReserved, 255);
    // The line array counts rows from the top over bottom-up storage.
    EXPECT_EQ(bmp.GetLineArray()[3], bmp.GetBits());
    EXPECT_EQ(bmp.GetLineArray()[0], bmp.GetBits() + 3 * 8);

    bmp.Create(1000, 1000, 32, true);
    EXPECT_EQ(bmp.GetMemUsed(), 4000084u);
    EXPECT_EQ(bmp.GetPalette(), nullptr);
    EXPECT_TRUE(bmp.HasAlpha());

    for (auto dims : {std::pair{0, 5}, std::pair{5, -1}, std::pair{100000, 100000}}) {
        EXPECT_EQ(codeOf([&] { bmp.Create(dims.first, dims.second, 32, false); }), kErrNoMemory);
        EXPECT_EQ(messageOf([&] { bmp.Create(dims.first, dims.second, 32, false); }), "Can't create bitmap.");
    }
    EXPECT_EQ(codeOf([&] { bmp.Create(4, 4, 7, false); }), kErrNoMemory);
}

TEST(CImageBitmapTest, PackedCopiesAndSectionsKeepThePicture)
{
    CGlobalDIB bmp;
    bmp.Create(3, 2, 8, false);
    bmp.GetLineArray()[0][0] = 200;
    bmp.GetLineArray()[1][2] = 7;
    HGLOBAL copy = bmp.GetDIBCopy();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(GlobalSize(copy), 40u + 1024 + 8);

    CDIBSectionBitmap section;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(copy));
    section.CreateFromPackedDIB(header, GlobalSize(copy));
    GlobalUnlock(copy);
    GlobalFree(copy);
    EXPECT_EQ(section.GetLineArray()[0][0], 200);
    EXPECT_EQ(section.GetLineArray()[1][2], 7);
    EXPECT_NE(section.GetHandle(), nullptr);

    // Drawn onto a 32-bit bitmap through GDI: the palette decides the colours.
    section.GetPalette()[200] = RGBQUAD{1, 2, 3, 0};
    HDC screen = GetDC(nullptr);
    HBITMAP target = CreateCompatibleBitmap(screen, 3, 2);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, target);
    section.Draw(dc, 0, 0);
    SelectObject(dc, old);
    CGlobalDIB back;
    back.CreateFromHBITMAP(target);
    EXPECT_EQ(back.GetBitsPerPixel(), 32);
    const BYTE* p = back.GetLineArray()[0];
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(p[1], 2);
    EXPECT_EQ(p[2], 3);

    // A global DIB drawn stretched and extracted.
    bmp.GetPalette()[200] = RGBQUAD{9, 9, 9, 0};
    old = SelectObject(dc, target);
    bmp.StretchDraw(dc, 0, 0, 2.0);
    bmp.DrawExtract(dc, 2, 1, 2, 1, 3, 2);
    SelectObject(dc, old);
    back.CreateFromHBITMAP(target);
    EXPECT_EQ(back.GetLineArray()[1][0], 9);
    EXPECT_EQ(back.GetLineArray()[1][8], bmp.GetPalette()[7].rgbBlue);
    DeleteDC(dc);
    DeleteObject(target);
    ReleaseDC(nullptr, screen);

    // The section can be handed over; the bitmap starts afresh.
    HBITMAP taken = section.DetachSection();
    EXPECT_NE(taken, section.GetHandle());
    EXPECT_EQ(section.GetWidth(), 16);
    EXPECT_TRUE(DeleteObject(taken));
}

TEST(CImageBitmapTest, DeviceBitmapsAreTakenAtTheirDepth)
{
    HBITMAP mono = CreateBitmap(9, 2, 1, 1, nullptr);
    CGlobalDIB bmp;
    bmp.CreateFromHBITMAP(mono);
    EXPECT_EQ(bmp.GetBitsPerPixel(), 1);
    EXPECT_EQ(bmp.GetPalette()[1].rgbRed, 255);
    DeleteObject(mono);

    CDIBSectionBitmap section;
    section.Create(4, 4, 32, false);
    bmp.CreateFromHBITMAP(section.GetHandle());
    EXPECT_EQ(bmp.GetBitsPerPixel(), 32);
    EXPECT_EQ(bmp.GetWidth(), 4);
}

TEST(CImageSourceTest, ReadsToTheExactEndAndNoFurther)
{
    const BYTE data[5] = {1, 2, 3, 4, 5};
    CMemImageSource src;
    ASSERT_EQ(src.Open(data, 5), 0);
    EXPECT_EQ(src.GetName(), "Mem");
    EXPECT_EQ(src.ReadNBytes(4), data);
    EXPECT_EQ(src.ReadNBytes(1), data + 4);
    EXPECT_EQ(codeOf([&] { src.ReadNBytes(1); }), kErrEndOfData);
    EXPECT_EQ(messageOf([&] { src.ReadNBytes(1); }), "End of file reached while decoding.\n");
    EXPECT_EQ(src.GetCurrentPtr(), data + 5);

    CMemImageSource back;
    back.Open(data, 5);
    back.ReadNBytes(2);
    // A negative count never moves the read position backwards.
    EXPECT_EQ(codeOf([&] { back.ReadNBytes(-2); }), kErrEndOfData);
    EXPECT_EQ(back.GetBytesConsumed(), 2);
    EXPECT_EQ(codeOf([&] { back.ReadNBytes(4); }), kErrEndOfData);
    EXPECT_EQ(back.GetBytesConsumed(), 2);
}

TEST(CImageSourceTest, FileOpenResults)
{
    tv::testing::TempRoot root;
    CFileImageSource src;
    EXPECT_EQ(src.Open((root.Path() / "nofolder" / "a.png").c_str()), kErrPathNotFound);
    EXPECT_EQ(src.Open((root.Path() / "missing.png").c_str()), kErrFileNotFound);
    WriteFile(root.Path() / "empty.png", {});
    EXPECT_EQ(src.Open((root.Path() / "empty.png").c_str()), kErrAccessDenied);
    EXPECT_EQ(src.Open(root.Path().c_str()), kErrAccessDenied);
    WriteFile(root.Path() / "one.bin", {42});
    if (::geteuid() != 0) {
        ::chmod((root.Path() / "one.bin").c_str(), 0);
        EXPECT_EQ(src.Open((root.Path() / "one.bin").c_str()), kErrAccessDenied);
        ::chmod((root.Path() / "one.bin").c_str(), 0644);
    }
    ASSERT_EQ(src.Open((root.Path() / "one.bin").c_str()), 0);
    EXPECT_EQ(*src.ReadNBytes(1), 42);

    // Through a decoder the result becomes the exception's code and text.
    class Null : public CImageDecoder {
    } decoder;
    CGlobalDIB bmp;
    const std::string missing = (root.Path() / "missing.png").string();
    EXPECT_EQ(codeOf([&] { decoder.MakeBmpFromFile(missing.c_str(), &bmp); }), kErrFileNotFound);
    EXPECT_EQ(messageOf([&] { decoder.MakeBmpFromFile(missing.c_str(), &bmp); }),
              "Decoder error: Opening " + missing + " failed\n");
}

TEST(CImageSinkTest, CapacityAndOnePieceWrites)
{
    tv::testing::TempRoot root;
    const fs::path path = root.Path() / "out.bin";
    WriteFile(path, {9, 9, 9});
    {
        CFileImageSink sink;
        ASSERT_EQ(sink.Open(path.c_str(), 4), 0);
        const BYTE bytes[4] = {1, 2, 3, 4};
        EXPECT_EQ(sink.WriteNBytes(3, bytes), 3);
        // Nothing reaches the file before Close.
        EXPECT_EQ(ReadFile(path), (Bytes{9, 9, 9}));
        EXPECT_EQ(codeOf([&] { sink.WriteNBytes(2, bytes); }), kErrEndOfData);
        EXPECT_EQ(messageOf([&] { sink.WriteNBytes(2, bytes); }), "Buffer overflow while encoding.\n");
        sink.Close();
    }
    EXPECT_EQ(ReadFile(path), (Bytes{1, 2, 3}));
    {
        // Dropped without Close (a failed encode): the old file stays.
        CFileImageSink sink;
        ASSERT_EQ(sink.Open(path.c_str(), 10), 0);
        const BYTE b = 5;
        sink.WriteNBytes(1, &b);
    }
    EXPECT_EQ(ReadFile(path), (Bytes{1, 2, 3}));
    CFileImageSink bad;
    EXPECT_EQ(bad.Open((root.Path() / "no" / "x.png").c_str(), 10), kErrOpenSink);

    // An encoder's sink gets 1.2 times the bitmap's memory, or 4096 more for small ones.
    class Probe : public CImageEncoder {
    public:
        std::size_t capacity = 0;

    protected:
        void DoEncode(CImageBitmap*, CImageSink* sink) override { capacity = sink->GetCapacity(); }
    } probe;
    CGlobalDIB big;
    big.Create(1000, 1000, 32, false);
    probe.MakeFileFromBmp((root.Path() / "p.bin").c_str(), &big);
    EXPECT_EQ(probe.capacity, 4800100u);
    big.Create(10, 10, 8, false);
    probe.MakeFileFromBmp((root.Path() / "p.bin").c_str(), &big);
    EXPECT_EQ(probe.capacity, big.GetMemUsed() + 4096);
    EXPECT_EQ(codeOf([&] { probe.MakeFileFromBmp((root.Path() / "no" / "x").c_str(), &big); }), kErrOpenSink);
}

} // namespace
