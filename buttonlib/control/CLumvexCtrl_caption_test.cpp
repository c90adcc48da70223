// What is drawn over a face: the caption's wrapping, key colour, effects and
// angles, the eight texts, and pictures by position and transparency.

#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/gdi/GdiTestSupport.h"
#include "platform/win/Messages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gditest::Canvas;
using Face = CLumvexCtrl::Face;

constexpr COLORREF kPlain = RGB(0xC8, 0xC8, 0xB0);

// Rows (or columns) where the image differs from the plain colour, as runs.
int inkBands(const QImage& image, bool rows)
{
    int bands = 0;
    bool inside = false;
    const int n = rows ? image.height() : image.width();
    const int m = rows ? image.width() : image.height();
    for (int i = 0; i < n; ++i) {
        bool ink = false;
        for (int j = 0; j < m && !ink; ++j)
            ink = (rows ? image.pixel(j, i) : image.pixel(i, j)) != gditest::Rgb(kPlain);
        if (ink && !inside)
            ++bands;
        inside = ink;
    }
    return bands;
}

QRect inkBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != gditest::Rgb(kPlain))
                box |= QRect(x, y, 1, 1);
    return box;
}

class CaptionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gdi::SetScreenDpi(96);
        control = lumvextest::NewButton(&button);
        button->m_NSContainerColor = RGB(0x20, 0x60, 0x90);
        button->m_colorBack.Set(RGB(0xC0, 0xC0, 0xC0), 4, 1);
        button->m_colorPressed.Set(RGB(0xA0, 0xA0, 0xB0), 4, 1);
        button->m_text[0].SetForeColor(RGB(0x10, 0x20, 0x80));
    }

    // The caption alone on a plain canvas.
    QImage caption(int w, int h, UINT state = 0)
    {
        Canvas canvas(w, h, kPlain);
        button->DrawCaption(canvas.dc(), RECT{0, 0, w, h}, state);
        return canvas.Image();
    }

    // A 120 x 40 normal face with what draw puts over it.
    template <class Draw>
    ::testing::AssertionResult golden(const std::string& name, Draw draw)
    {
        Canvas canvas(120, 40);
        button->RenderFace(canvas.dc(), RECT{0, 0, 120, 40}, Face::Normal);
        draw(canvas.dc(), RECT{0, 0, 120, 40});
        return gditest::MatchesGoldenIn(lumvextest::FaceGoldens(), canvas.Image(), name);
    }

    CLumvexCtrl* button = nullptr;
    com::ComPtr<IUnknown> control;
};

TEST_F(CaptionTest, WrapWidthFollowsTheShareAndNeverVanishes)
{
    button->m_text[0].SetText("Red Tan Hue");
    button->m_CaptionWordWrapPerc = 90;
    EXPECT_EQ(inkBands(caption(120, 60), true), 1);
    // At half the width the wrap width is nothing: one word per line.
    button->m_CaptionWordWrapPerc = 50;
    EXPECT_EQ(inkBands(caption(120, 60), true), 3);
    // Below half the width the formula goes negative; still one per line.
    button->m_CaptionWordWrapPerc = 10;
    const QImage narrow = caption(120, 60);
    EXPECT_EQ(inkBands(narrow, true), 3);
    // Only text pixels change: the key fills the whole bitmap.
    for (int y = 0; y < narrow.height(); ++y)
        for (int x = 0; x < narrow.width(); ++x)
            if (narrow.pixel(x, y) != gditest::Rgb(kPlain)) {
                ASSERT_EQ(narrow.pixel(x, y), gditest::Rgb(RGB(0x10, 0x20, 0x80))) << x << ", " << y;
            }
}

TEST_F(CaptionTest, PressedCaptionLeavesNoStrayLine)
{
    button->m_text[0].SetText("Go");
    button->m_text[0].SetPressedColor(RGB(0x80, 0, 0));
    const QImage pressed = caption(50, 20, win::ODS_SELECTED);
    int ink = 0;
    for (int y = 0; y < pressed.height(); ++y)
        for (int x = 0; x < pressed.width(); ++x)
            if (pressed.pixel(x, y) != gditest::Rgb(kPlain)) {
                ASSERT_EQ(pressed.pixel(x, y), gditest::Rgb(RGB(0x80, 0, 0))) << x << ", " << y;
                ++ink;
            }
    EXPECT_GT(ink, 10);
}

TEST_F(CaptionTest, ACaptionInTheKeyColourIsStillDrawn)
{
    // A light text takes entry 24 as its key: make the text that colour.
    const COLORREF key = button->m_colorBack.GetShade(24);
    button->m_text[0].SetText("Key");
    button->m_text[0].SetForeColor(key);
    const QImage image = caption(60, 24);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += image.pixel(x, y) == gditest::Rgb(key);
    EXPECT_GT(ink, 10);
}

TEST_F(CaptionTest, AnglesTurnTheCaption)
{
    button->m_text[0].SetText("Turn me");
    const QImage flat = caption(80, 80);
    const QRect a = inkBox(flat);
    ASSERT_GT(a.width(), a.height());
    button->m_text[0].SetAngle(4);
    const QImage turned = caption(80, 80);
    const QRect b = inkBox(turned);
    EXPECT_GT(b.height(), b.width());
    // -90 degrees is a quarter turn clockwise: the text's first letter ends
    // at the top and its baseline on the left.
    const QImage expected = flat.copy(a).transformed(QTransform().rotate(90));
    const QImage got = turned.copy(b);
    ASSERT_EQ(got.size(), expected.size());
    int same = 0;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            same += (got.pixel(x, y) == gditest::Rgb(kPlain)) == (expected.pixel(x, y) == gditest::Rgb(kPlain));
    EXPECT_GT(same, got.width() * got.height() * 97 / 100);
    // Angles past 4 draw nothing.
    button->m_text[0].SetAngle(5);
    EXPECT_FALSE(inkBox(caption(80, 80)).isValid());
}

TEST_F(CaptionTest, CaptionEffectsAndAngles)
{
    button->m_text[0].SetText("Open all");
    for (short effect = 0; effect <= 3; ++effect) {
        button->m_text[0].SetEffect(effect);
        button->m_text[0].SetEffectFactor(2);
        EXPECT_TRUE(golden("caption-effect" + std::to_string(effect),
                           [&](HDC dc, const RECT& r) { button->DrawCaption(dc, r, 0); }));
    }
    button->m_text[0].SetEffect(1);
    for (short angle = 1; angle <= 4; ++angle) {
        button->m_text[0].SetAngle(angle);
        EXPECT_TRUE(golden("caption-angle" + std::to_string(angle),
                           [&](HDC dc, const RECT& r) { button->DrawCaption(dc, r, 0); }));
    }
    button->m_text[0].SetAngle(0);
    button->m_text[0].SetXOffset(-20);
    button->m_text[0].SetYOffset(6);
    EXPECT_TRUE(golden("caption-offset", [&](HDC dc, const RECT& r) { button->DrawCaption(dc, r, 0); }));
    EXPECT_TRUE(golden("caption-disabled", [&](HDC dc, const RECT& r) {
        button->DrawCaption(dc, r, win::ODS_DISABLED);
        button->DrawDisabledLook(dc, r);
    }));
}

TEST_F(CaptionTest, ACaptionLooksTheSameOnEveryKindOfTarget)
{
    // On a device bitmap the caption is written straight onto the target;
    // elsewhere it goes through its key-coloured bitmap. Both must give the
    // same pixels, whatever the effects, offsets and overruns.
    constexpr int kW = 90, kH = 36;
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kW, -kH, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    HDC sectionDC = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(sectionDC, section);
    HBRUSH plain = CreateSolidBrush(kPlain);
    const RECT all{0, 0, kW, kH};
    // The caption's rectangle inside the target, so that an overrun shows.
    const RECT inner{10, 5, kW - 12, kH - 6};
    const auto compare = [&](UINT state, const std::string& what) {
        Canvas canvas(kW, kH, kPlain);
        button->DrawCaption(canvas.dc(), inner, state);
        const QImage device = canvas.Image();
        FillRect(sectionDC, &all, plain);
        button->DrawCaption(sectionDC, inner, state);
        int differ = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const BYTE* p = static_cast<const BYTE*>(bits) + (std::size_t(y) * kW + std::size_t(x)) * 4;
                differ += device.pixel(x, y) != qRgb(p[2], p[1], p[0]);
            }
        EXPECT_EQ(differ, 0) << what;
    };
    for (const char* text : {"Go", "Red Tan Hue wraps", "Supercalifragilistic"})
        for (short effect = 0; effect <= 3; ++effect)
            for (short factor : {2, -30}) {
                button->m_text[0].SetText(text);
                button->m_text[0].SetEffect(effect);
                button->m_text[0].SetEffectFactor(factor);
                button->m_text[0].SetXOffset(factor < 0 ? -20 : 0);
                button->m_text[0].SetYOffset(factor < 0 ? 6 : 0);
                for (UINT state : {0u, UINT(win::ODS_SELECTED)})
                    compare(state, std::string(text) + " effect " + std::to_string(effect) + " factor " +
                                       std::to_string(factor) + " state " + std::to_string(state));
            }
    // An effect in the key's colour is left out where the text is not: a
    // face of one shade makes the shadow the key.
    button->m_colorBack.Set(RGB(0x90, 0x90, 0x90), 0, 1);
    ASSERT_EQ(button->m_colorBack.GetShade(63), button->m_colorBack.GetShade(24));
    button->m_text[0].SetText("Key");
    button->m_text[0].SetEffect(1);
    button->m_text[0].SetEffectFactor(2);
    button->m_text[0].SetXOffset(0);
    button->m_text[0].SetYOffset(0);
    compare(0, "shadow in the key's colour");
    DeleteObject(plain);
    SelectObject(sectionDC, old);
    DeleteDC(sectionDC);
    DeleteObject(section);
}

TEST_F(CaptionTest, TheEightTexts)
{
    const char* names[] = {"", "LT", "CT", "RT", "LM", "RM", "LB", "CB", "RB"};
    for (int i = 1; i < CLumvexCtrl::kTextCount; ++i) {
        button->m_text[std::size_t(i)].SetText(names[i]);
        button->m_text[std::size_t(i)].SetForeColor(RGB(0x60, 0, 0));
        button->m_text[std::size_t(i)].SetEffect(short(i % 4));
    }
    EXPECT_TRUE(golden("texts", [&](HDC dc, const RECT& r) {
        for (int i = 1; i < CLumvexCtrl::kTextCount; ++i)
            button->DrawAuxText(dc, r, 0, i);
    }));
    // Offsets move a text; an empty one draws nothing.
    button->m_text[1].SetXOffset(10);
    button->m_text[1].SetYOffset(8);
    button->m_text[2].SetText("");
    EXPECT_TRUE(golden("texts-moved", [&](HDC dc, const RECT& r) {
        for (int i = 1; i < CLumvexCtrl::kTextCount; ++i)
            button->DrawAuxText(dc, r, 0, i);
    }));
}

TEST_F(CaptionTest, PicturesGoToTheirPositions)
{
    const RECT face{0, 0, 120, 40};
    const POINT expected[9] = {{52, 12}, {4, 4}, {52, 4}, {100, 4}, {4, 12}, {100, 12}, {4, 20}, {52, 20}, {100, 20}};
    for (short pos = 0; pos <= 8; ++pos) {
        button->m_PicturePosition = pos;
        const POINT p = button->PlacePicture(face, 16, 16);
        EXPECT_EQ(p.x, expected[pos].x) << pos;
        EXPECT_EQ(p.y, expected[pos].y) << pos;
    }
    button->m_PicturePosition = 9;
    button->m_PictureXOffset = -3;
    button->m_PictureYOffset = 5;
    const POINT p = button->PlacePicture(RECT{10, 10, 130, 50}, 16, 16);
    EXPECT_EQ(p.x, 62 - 3);
    EXPECT_EQ(p.y, 22 + 5);
}

TEST_F(CaptionTest, PicturesAreDrawnWithTheirKeyTransparent)
{
    // 16 x 16: a teal background (the default PictureTranspColor), a white
    // top-left pixel, a red disc.
    Canvas picture(16, 16, RGB(0, 0x80, 0x80));
    {
        HBRUSH red = CreateSolidBrush(RGB(0xD0, 0x20, 0x20));
        HGDIOBJ old = SelectObject(picture.dc(), red);
        Ellipse(picture.dc(), 2, 2, 14, 14);
        SelectObject(picture.dc(), old);
        DeleteObject(red);
        HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
        const RECT corner{0, 0, 1, 1};
        FillRect(picture.dc(), &corner, white);
        DeleteObject(white);
    }
    HBITMAP bm = lumvextest::BitmapCopyOf(picture.dc(), 16, 16);

    for (short mode = 0; mode <= 1; ++mode)
        for (short pos = 0; pos <= 8; ++pos) {
            button->m_PictureTranspMode = mode;
            button->m_PicturePosition = pos;
            EXPECT_TRUE(golden("picture-mode" + std::to_string(mode) + "-pos" + std::to_string(pos),
                               [&](HDC dc, const RECT& r) { button->DrawTransparentBitmap(dc, r, bm, TRUE, 32); }));
        }
    // Mode 0 keys the teal: only the white corner and the disc show.
    button->m_PictureTranspMode = 0;
    button->m_PicturePosition = 1;
    Canvas canvas(40, 40, kPlain);
    button->DrawTransparentBitmap(canvas.dc(), RECT{0, 0, 40, 40}, bm, TRUE, 32);
    EXPECT_EQ(canvas.Pixel(4, 4), RGB(255, 255, 255));
    EXPECT_EQ(canvas.Pixel(5, 5), kPlain);
    EXPECT_EQ(canvas.Pixel(12, 12), RGB(0xD0, 0x20, 0x20));
    DeleteObject(bm);
}

} // namespace
