// Pictures on the clipboard (the offscreen platform keeps it in the process).

#include "platform/win/Clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

// A packed 8-bit DIB, 3 x 2, with a 4-entry table; rows padded to 4 bytes.
Bytes packed8()
{
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = 3;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biClrUsed = 4;
    const RGBQUAD table[4] = {{10, 20, 30, 0}, {200, 0, 0, 0}, {0, 200, 0, 0}, {0, 0, 200, 0}};
    // Bottom row first.
    const BYTE rows[8] = {0, 1, 2, 0, 3, 2, 1, 0};
    // Laid out at fixed offsets: growing the vector behind the header made
    // GCC 12's optimiser warn of a copy out of bounds that is not there.
    Bytes b(sizeof h + sizeof table + sizeof rows);
    std::memcpy(b.data(), &h, sizeof h);
    std::memcpy(b.data() + sizeof h, table, sizeof table);
    std::memcpy(b.data() + sizeof h + sizeof table, rows, sizeof rows);
    return b;
}

HGLOBAL block(const Bytes& bytes)
{
    HGLOBAL h = GlobalAlloc(GHND, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

Bytes contents(HGLOBAL h)
{
    GlobalLockScope lock(h);
    return Bytes(lock.get(), lock.get() + GlobalSize(h));
}

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override { QGuiApplication::clipboard()->clear(); }
    void TearDown() override { win::CloseClipboard(); }
};

TEST_F(ClipboardTest, APictureGoesOutAsBmpAndPngAndComesBackWhole)
{
    const std::size_t blocks = GlobalBlockCount();
    ASSERT_TRUE(win::OpenClipboard(nullptr));
    ASSERT_TRUE(win::EmptyClipboard());
    HGLOBAL h = block(packed8());
    EXPECT_EQ(win::SetClipboardData(win::CF_DIB, h), h);
    ASSERT_TRUE(win::CloseClipboard());
    // The clipboard freed the block it was given.
    EXPECT_EQ(GlobalBlockCount(), blocks);

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime);
    const QByteArray bmp = mime->data("image/bmp");
    ASSERT_EQ(bmp.size(), 14 + qsizetype(packed8().size()));
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(std::memcmp(bmp.constData() + 14, packed8().data(), packed8().size()), 0);
    // bfOffBits: behind the header and the four entries.
    EXPECT_EQ(BYTE(bmp[10]), 14 + 40 + 16);

    // Qt reads the PNG offer as an indexed picture with the table's colours.
    const QImage png = QImage::fromData(mime->data("image/png"), "PNG");
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.format(), QImage::Format_Indexed8);
    EXPECT_EQ(png.size(), QSize(3, 2));
    EXPECT_EQ(png.pixel(0, 0), qRgb(200, 0, 0));
    EXPECT_EQ(png.pixel(1, 1), qRgb(0, 0, 200));
    EXPECT_EQ(png.pixel(0, 1), qRgb(30, 20, 10));

    ASSERT_TRUE(win::OpenClipboard(nullptr));
    HGLOBAL back = win::GetClipboardData(win::CF_DIB);
    ASSERT_TRUE(back);
    EXPECT_EQ(contents(back), packed8());
    ASSERT_TRUE(win::CloseClipboard());
    EXPECT_EQ(GlobalBlockCount(), blocks);
}

TEST_F(ClipboardTest, ImagesOfOtherProgramsPasteWithTheirColours)
{
    // A plain RGB image: 24 bits, bottom row first.
    QImage rgb(2, 2, QImage::Format_ARGB32);
    rgb.setPixel(0, 0, qRgb(255, 0, 0));
    rgb.setPixel(1, 0, qRgb(0, 255, 0));
    rgb.setPixel(0, 1, qRgb(0, 0, 255));
    rgb.setPixel(1, 1, qRgb(1, 2, 3));
    QGuiApplication::clipboard()->setImage(rgb);
    ASSERT_TRUE(win::OpenClipboard(nullptr));
    HGLOBAL h = win::GetClipboardData(win::CF_DIB);
    ASSERT_TRUE(h);
    Bytes b = contents(h);
    BITMAPINFOHEADER hdr;
    std::memcpy(&hdr, b.data(), sizeof hdr);
    EXPECT_EQ(hdr.biBitCount, 24);
    EXPECT_EQ(hdr.biHeight, 2);
    const BYTE* rows = b.data() + 40;
    const BYTE bottom[6] = {255, 0, 0, 3, 2, 1};
    const BYTE top[6] = {0, 0, 255, 0, 255, 0};
    EXPECT_EQ(std::memcmp(rows, bottom, 6), 0);
    EXPECT_EQ(std::memcmp(rows + 8, top, 6), 0);
    win::CloseClipboard();

    // An indexed image keeps its palette; a PNG offered alone is decoded.
    QImage indexed(2, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(9, 8, 7), qRgb(250, 128, 1), qRgb(0, 0, 0)});
    indexed.setPixel(0, 0, 1);
    indexed.setPixel(1, 0, 0);
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(indexed.save(&out, "PNG"));
    auto* mime = new QMimeData;
    mime->setData("image/png", png);
    QGuiApplication::clipboard()->setMimeData(mime);
    ASSERT_TRUE(win::OpenClipboard(nullptr));
    h = win::GetClipboardData(win::CF_DIB);
    ASSERT_TRUE(h);
    b = contents(h);
    std::memcpy(&hdr, b.data(), sizeof hdr);
    EXPECT_EQ(hdr.biBitCount, 8);
    ASSERT_GE(hdr.biClrUsed, 2u);
    const auto* table = reinterpret_cast<const RGBQUAD*>(b.data() + 40);
    const BYTE first = b[40 + 4 * hdr.biClrUsed];
    EXPECT_EQ(table[first].rgbRed, 250);
    EXPECT_EQ(table[first].rgbGreen, 128);
    EXPECT_EQ(table[first].rgbBlue, 1);
}

TEST_F(ClipboardTest, BmpOffersThatAreNotPlainPicturesAreDecoded)
{
    // A top-down BMP file: decoded by Qt and held bottom-up.
    Bytes file(14 + 40 + 4, 0);
    file[0] = 'B';
    file[1] = 'M';
    file[10] = 54;
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = 1;
    h.biHeight = -1;
    h.biPlanes = 1;
    h.biBitCount = 24;
    std::memcpy(file.data() + 14, &h, sizeof h);
    file[54] = 7;
    file[55] = 8;
    file[56] = 9;
    auto* mime = new QMimeData;
    mime->setData("image/bmp", QByteArray(reinterpret_cast<const char*>(file.data()), qsizetype(file.size())));
    QGuiApplication::clipboard()->setMimeData(mime);
    ASSERT_TRUE(win::OpenClipboard(nullptr));
    HGLOBAL got = win::GetClipboardData(win::CF_DIB);
    ASSERT_TRUE(got);
    const Bytes b = contents(got);
    std::memcpy(&h, b.data(), sizeof h);
    EXPECT_EQ(h.biHeight, 1);
    EXPECT_EQ(b[40], 7);
    EXPECT_EQ(b[42], 9);
    win::CloseClipboard();

    // Bytes that are no picture at all give nothing.
    mime = new QMimeData;
    mime->setData("image/bmp", QByteArray("BM garbage"));
    mime->setData("image/png", QByteArray("\x89PNG nothing"));
    QGuiApplication::clipboard()->setMimeData(mime);
    ASSERT_TRUE(win::OpenClipboard(nullptr));
    EXPECT_EQ(win::GetClipboardData(win::CF_DIB), nullptr);
}

TEST_F(ClipboardTest, ClosedClipboardsAndUnsoundBlocksAreRefused)
{
    HGLOBAL h = block(packed8());
    EXPECT_EQ(win::SetClipboardData(win::CF_DIB, h), nullptr);
    EXPECT_EQ(win::GetClipboardData(win::CF_DIB), nullptr);
    EXPECT_FALSE(win::EmptyClipboard());
    EXPECT_FALSE(win::CloseClipboard());

    QWidget* other = reinterpret_cast<QWidget*>(&h);
    ASSERT_TRUE(win::OpenClipboard(nullptr));
    EXPECT_TRUE(win::OpenClipboard(nullptr));
    EXPECT_FALSE(win::OpenClipboard(other));
    EXPECT_EQ(win::SetClipboardData(2, h), nullptr);

    // Headers the library cannot hold, and rows that do not fit the block:
    // refused, and the block stays the caller's.
    const auto refused = [&](auto change) {
        Bytes b = packed8();
        BITMAPINFOHEADER hdr;
        std::memcpy(&hdr, b.data(), sizeof hdr);
        change(hdr, b);
        std::memcpy(b.data(), &hdr, sizeof hdr);
        HGLOBAL bad = block(b);
        const bool ok = win::SetClipboardData(win::CF_DIB, bad) == nullptr;
        GlobalFree(bad);
        return ok;
    };
    EXPECT_TRUE(refused([](BITMAPINFOHEADER& hdr, Bytes&) { hdr.biHeight = -2; }));
    EXPECT_TRUE(refused([](BITMAPINFOHEADER& hdr, Bytes&) { hdr.biWidth = 0x7FFFFFFF; }));
    EXPECT_TRUE(refused([](BITMAPINFOHEADER& hdr, Bytes&) { hdr.biBitCount = 7; }));
    EXPECT_TRUE(refused([](BITMAPINFOHEADER& hdr, Bytes&) { hdr.biClrUsed = 300; }));
    EXPECT_TRUE(refused([](BITMAPINFOHEADER& hdr, Bytes&) { hdr.biCompression = BI_RLE8; }));
    EXPECT_TRUE(refused([](BITMAPINFOHEADER& hdr, Bytes&) { hdr.biSize = 12; }));
    EXPECT_TRUE(refused([](BITMAPINFOHEADER&, Bytes& b) { b.pop_back(); }));
    EXPECT_TRUE(refused([](BITMAPINFOHEADER& hdr, Bytes&) { hdr.biHeight = 3; }));
    const QMimeData* left = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(!left || left->formats().isEmpty());
    GlobalFree(h);
}

} // namespace
