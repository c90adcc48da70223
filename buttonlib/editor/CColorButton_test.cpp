// The colour button's pixels in each state, compared exactly (no text: its
// rasterisation is the font's), and a picture of them for people to look at.

#include "buttonlib/editor/CColorButton.h"

#include "platform/gdi/GdiTestSupport.h"
#include "platform/mfc/DialogTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>

#include <vector>

namespace {

using gditest::Rgb;

constexpr QRgb kFace = qRgb(192, 192, 192);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kShadow = qRgb(128, 128, 128);
constexpr QRgb kGray = qRgb(128, 128, 128);
// The button is drawn at an odd place so that a pattern counted from the
// DC's origin would show on the other squares.
constexpr int kX = 3;
constexpr int kY = 4;
constexpr int kWidth = 40;
constexpr int kHeight = 24;

class ColorButtonTest : public dialogtest::DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(dialog.Create());
        ASSERT_TRUE(dialog.AttachControl(dialogtest::kOwnerDrawn, button));
    }
    void TearDown() override
    {
        if (image_)
            DeleteObject(image_);
        DialogTest::TearDown();
    }

    // Button pixel (x, y) of a drawing in the state.
    QImage draw(UINT state)
    {
        gditest::Canvas canvas(kX + kWidth + 5, kY + kHeight + 5, RGB(1, 2, 3));
        win::DRAWITEMSTRUCT item;
        item.CtlID = dialogtest::kOwnerDrawn;
        item.hDC = canvas.dc();
        item.rcItem = RECT{kX, kY, kX + kWidth, kY + kHeight};
        item.itemState = state;
        button.DrawItem(&item);
        const QImage all = canvas.Image();
        EXPECT_EQ(all.pixel(kX - 1, kY - 1), qRgb(1, 2, 3)) << "drawn outside its rectangle";
        EXPECT_EQ(all.pixel(kX + kWidth, kY + kHeight), qRgb(1, 2, 3)) << "drawn outside its rectangle";
        return all.copy(kX, kY, kWidth, kHeight);
    }

    // A 4 x 4 picture: red, blue at (1, 1), light grey at (0, 0) and (3, 3).
    void setPicture()
    {
        gditest::Canvas picture(4, 4, RGB(200, 0, 0));
        SetPixelColor(picture, 1, 1, RGB(0, 0, 255));
        SetPixelColor(picture, 0, 0, RGB(192, 192, 192));
        SetPixelColor(picture, 3, 3, RGB(192, 192, 192));
        HDC screen = GetDC(nullptr);
        image_ = CreateCompatibleBitmap(screen, 4, 4);
        ReleaseDC(nullptr, screen);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, image_);
        BitBlt(dc, 0, 0, 4, 4, picture.dc(), 0, 0, SRCCOPY);
        SelectObject(dc, old);
        DeleteDC(dc);
        button.SetBitmap(image_);
    }

    static void SetPixelColor(gditest::Canvas& canvas, int x, int y, COLORREF color)
    {
        HBRUSH brush = CreateSolidBrush(color);
        const RECT r{x, y, x + 1, y + 1};
        FillRect(canvas.dc(), &r, brush);
        DeleteObject(brush);
    }

    CColorButton button;
    dialogtest::SampleDialog dialog;
    HBITMAP image_ = nullptr;
};

TEST_F(ColorButtonTest, RaisedSunkenAndFocused)
{
    setPicture();
    // Up: the system face all round (not the colour index taken as a
    // colour), a raised edge on the inner rectangle.
    QImage up = draw(0);
    EXPECT_EQ(up.pixel(0, 0), kFace);
    EXPECT_EQ(up.pixel(kWidth - 1, kHeight - 1), kFace);
    EXPECT_EQ(up.pixel(5, 1), kFace);                    // outer light line
    EXPECT_EQ(up.pixel(5, 2), kWhite);                   // inner highlight
    EXPECT_EQ(up.pixel(5, kHeight - 2), kBlack);         // outer dark shadow
    EXPECT_EQ(up.pixel(1, kHeight - 2), kBlack);         // the bottom line owns the corner
    EXPECT_EQ(up.pixel(5, kHeight - 3), kShadow);        // inner shadow
    EXPECT_EQ(up.pixel(kWidth - 2, 1), kBlack);          // the right line owns the corner
    EXPECT_EQ(up.pixel(kWidth - 3, 5), kShadow);
    // The picture centred in the inner rectangle's size: (38 - 4) / 2.
    EXPECT_EQ(up.pixel(18, 10), qRgb(0, 0, 255));
    EXPECT_EQ(up.pixel(19, 10), qRgb(200, 0, 0));
    EXPECT_EQ(up.pixel(16, 9), kFace);

    // Pressed: everything one pixel down and right, the edge sunken.
    QImage down = draw(win::ODS_SELECTED);
    EXPECT_EQ(down.pixel(19, 11), qRgb(0, 0, 255));
    EXPECT_EQ(down.pixel(18, 10), kFace);
    EXPECT_EQ(down.pixel(5, 1), kShadow);
    EXPECT_EQ(down.pixel(5, 2), kBlack);
    EXPECT_EQ(down.pixel(5, kHeight - 2), kWhite);
    EXPECT_EQ(down.pixel(5, kHeight - 3), kFace);

    // Focused: a black ring outside and the dotted outline 4 pixels inside
    // the inner rectangle, its even squares inverted.
    QImage focused = draw(win::ODS_FOCUS);
    EXPECT_EQ(focused.pixel(0, 0), kBlack);
    EXPECT_EQ(focused.pixel(kWidth - 1, 7), kBlack);
    EXPECT_EQ(focused.pixel(5, 1), kFace);
    EXPECT_EQ(focused.pixel(5, 5), qRgb(63, 63, 63));
    EXPECT_EQ(focused.pixel(6, 5), kFace);
    EXPECT_EQ(focused.pixel(34, 18), qRgb(63, 63, 63));
    EXPECT_EQ(focused.pixel(5, 12), kFace);
    EXPECT_EQ(focused.pixel(5, 13), qRgb(63, 63, 63));
    EXPECT_EQ(focused.pixel(7, 7), kFace);
    // Pressed with the focus: the outline moves with the content.
    QImage both = draw(win::ODS_FOCUS | win::ODS_SELECTED);
    EXPECT_EQ(both.pixel(6, 6), qRgb(63, 63, 63));
    EXPECT_EQ(both.pixel(5, 5), kFace);
}

TEST_F(ColorButtonTest, DisabledIsACheckerboardFromTheButtonsOrigin)
{
    setPicture();
    QImage off = draw(win::ODS_DISABLED);
    // Inside the inner rectangle the squares whose x + y is even are grey.
    // The others keep what the enabled button has there.
    const QImage on = draw(0);
    for (int y = 1; y < kHeight - 1; ++y) {
        for (int x = 1; x < kWidth - 1; ++x) {
            const QRgb expected = (x + y) % 2 == 0 ? kGray : on.pixel(x, y);
            ASSERT_EQ(off.pixel(x, y), expected) << x << "," << y;
        }
    }
    // The outer ring is left alone.
    EXPECT_EQ(off.pixel(0, 0), kFace);
    EXPECT_EQ(off.pixel(1, 0), kFace);
}

TEST_F(ColorButtonTest, CustomColoursAndTransparentGrey)
{
    setPicture();
    button.SetColors(RGB(255, 255, 0), RGB(0, 0, 160));
    QImage up = draw(0);
    const QRgb face = qRgb(0, 0, 160);
    EXPECT_EQ(up.pixel(0, 0), face);
    EXPECT_EQ(up.pixel(10, 10), face);
    // The picture's light grey corners show the face; its other pixels stay.
    EXPECT_EQ(up.pixel(17, 9), face);
    EXPECT_EQ(up.pixel(20, 12), face);
    EXPECT_EQ(up.pixel(18, 9), qRgb(200, 0, 0));
    EXPECT_EQ(up.pixel(18, 10), qRgb(0, 0, 255));
    EXPECT_EQ(up.pixel(17, 12), qRgb(200, 0, 0));

    // Without a picture the text is drawn in the text colour.
    button.SetBitmap(nullptr);
    const QImage text = draw(0);
    int yellow = 0;
    int black = 0;
    for (int y = 3; y < kHeight - 3; ++y)
        for (int x = 3; x < kWidth - 3; ++x) {
            yellow += text.pixel(x, y) == qRgb(255, 255, 0);
            black += text.pixel(x, y) == kBlack;
        }
    EXPECT_GT(yellow, 10);
    EXPECT_EQ(black, 0);
}

TEST_F(ColorButtonTest, Picture)
{
    // Each state side by side, four times as large, for review; no two
    // states look alike.
    setPicture();
    const UINT states[] = {0, win::ODS_SELECTED, win::ODS_FOCUS, win::ODS_DISABLED};
    QImage sheet(4 * (kWidth + 4) * 4, 2 * (kHeight + 4) * 4, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int row = 0; row < 2; ++row) {
        if (row == 1) {
            button.SetBitmap(nullptr);
            button.SetColors(RGB(255, 255, 0), RGB(0, 0, 160));
        }
        std::vector<QImage> drawn;
        for (int i = 0; i < 4; ++i) {
            const QImage one = draw(states[i]);
            for (const QImage& other : drawn)
                EXPECT_NE(one, other) << "row " << row << " state " << states[i];
            drawn.push_back(one);
            painter.drawImage(QRect(i * (kWidth + 4) * 4, row * (kHeight + 4) * 4, kWidth * 4, kHeight * 4), one);
        }
    }
    painter.end();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(sheet.save(folder + QStringLiteral("/color-button.png")));
}

} // namespace
