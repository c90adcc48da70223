// Pictures to and from the clipboard (kept in the process by the offscreen
// platform).

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/DibTestSupport.h"

#include "platform/win/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <gtest/gtest.h>

namespace {

using media::testing::MakePattern;
using media::testing::RgbaOf;

class CDIBClipboardTest : public ::testing::Test {
protected:
    void SetUp() override { QGuiApplication::clipboard()->clear(); }

    bool paste(CDIB& dib)
    {
        if (!win::OpenClipboard(nullptr))
            return false;
        const BOOL ok = dib.PasteFromClipboard();
        win::CloseClipboard();
        return ok;
    }
};

TEST_F(CDIBClipboardTest, PicturesComeBackWithTheirTablesAndPixels)
{
    const std::size_t blocks = GlobalBlockCount();
    for (WORD bpp : {1, 4, 8, 16, 24}) {
        SCOPED_TRACE(bpp);
        CDIB dib, back;
        MakePattern(dib, bpp);
        // A table of its own, not the default one.
        for (int i = 0; i < dib.GetColorCount(); ++i)
            dib.GetColorTable()[i] = RGBQUAD{BYTE(i * 3), BYTE(255 - i), BYTE(i * 7), 0};
        ASSERT_TRUE(dib.CopyToClipboard());
        ASSERT_TRUE(paste(back));
        EXPECT_EQ(back.GetBitCount(), bpp);
        EXPECT_EQ(back.GetColorCount(), dib.GetColorCount());
        EXPECT_EQ(RgbaOf(back).pixels, RgbaOf(dib).pixels);
        EXPECT_EQ(media::testing::PixelBytes(back), media::testing::PixelBytes(dib));
    }
    EXPECT_EQ(GlobalBlockCount(), blocks);

    // Qt reads the PNG offer of an 8-bit picture as an indexed picture.
    CDIB dib;
    MakePattern(dib, 8);
    ASSERT_TRUE(dib.CopyToClipboard());
    const QImage png = QImage::fromData(QGuiApplication::clipboard()->mimeData()->data("image/png"), "PNG");
    EXPECT_EQ(png.format(), QImage::Format_Indexed8);
    const COLORREF topLeft = dib.GetPixel(0, 2);
    EXPECT_EQ(png.pixel(0, 0), qRgb(GetRValue(topLeft), GetGValue(topLeft), GetBValue(topLeft)));
}

TEST_F(CDIBClipboardTest, TheWholeTableGoesOutWhenThePaletteWasDropped)
{
    // A conversion leaves the picture without a palette of its own.
    CDIB dib, back;
    MakePattern(dib, 24);
    ASSERT_TRUE(dib.ChangeFormat(8, BI_RGB));
    ASSERT_EQ(dib.GetPalette()->GetEntryCount(), 0);
    ASSERT_TRUE(dib.CopyToClipboard());
    ASSERT_TRUE(paste(back));
    EXPECT_EQ(RgbaOf(back).pixels, RgbaOf(dib).pixels);
}

TEST_F(CDIBClipboardTest, PlainImagesPasteAndEmptyPicturesLeaveTheClipboardAlone)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    image.setPixel(2, 0, qRgb(200, 100, 50));
    QGuiApplication::clipboard()->setImage(image);

    CDIB empty;
    EXPECT_FALSE(empty.CopyToClipboard());
    CDIB flat;
    ASSERT_TRUE(flat.CreateBlank(4, 0, 24, 0));
    EXPECT_FALSE(flat.CopyToClipboard());
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasImage());

    CDIB dib;
    ASSERT_TRUE(paste(dib));
    EXPECT_EQ(dib.GetBitCount(), 24);
    EXPECT_EQ(dib.GetWidth(), 3);
    EXPECT_EQ(dib.GetPixel(2, 1), RGB(200, 100, 50));
    EXPECT_EQ(dib.GetPixel(0, 0), RGB(10, 20, 30));

    // Another owner holds the clipboard open: the copy is refused and what
    // was there stays.
    int otherWindow = 0;
    ASSERT_TRUE(win::OpenClipboard(reinterpret_cast<HWND>(&otherWindow)));
    MakePattern(dib, 8);
    EXPECT_FALSE(dib.CopyToClipboard());
    win::CloseClipboard();
    ASSERT_TRUE(paste(dib));
    EXPECT_EQ(dib.GetBitCount(), 24);
    EXPECT_EQ(dib.GetPixel(2, 1), RGB(200, 100, 50));

    // The caller opens the clipboard; a closed one gives nothing.
    MakePattern(dib, 4);
    EXPECT_FALSE(dib.PasteFromClipboard());
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(paste(dib));
    EXPECT_EQ(dib.GetBitCount(), 4);
}

} // namespace
