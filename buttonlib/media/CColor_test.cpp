#include "buttonlib/media/CColor.h"
#include "buttonlib/media/MediaTestSupport.h"

#include "platform/mfc/CMemFile.h"

#include <gtest/gtest.h>

namespace {

using namespace media::testing;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

Rgb rgbOf(COLORREF c)
{
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

void PrintTo(const Rgb& c, std::ostream* os)
{
    *os << "(" << c.r << "," << c.g << "," << c.b << ")";
}

HslTriple hslOf(COLORREF c)
{
    HslTriple h{};
    RgbToHsl(c, &h);
    return h;
}

COLORREF rgbFromHsl(int h, int s, int l)
{
    COLORREF c = 0xDEADBEEF;
    HslToRgb(h, s, l, &c);
    return c;
}

TEST(ColorConversionTest, WorkedValues)
{
    auto expectHsl = [](COLORREF c, int h, int s, int l) {
        const HslTriple got = hslOf(c);
        EXPECT_EQ(got.hue, h);
        EXPECT_EQ(got.saturation, s);
        EXPECT_EQ(got.lightness, l);
    };
    expectHsl(RGB(255, 0, 0), 0, 100, 50);
    expectHsl(RGB(255, 0, 128), -30, 100, 50);
    expectHsl(RGB(192, 192, 192), 0, 0, 75);
    // Ties go to blue, then green.
    expectHsl(RGB(0, 255, 255), 180, 100, 50);
    expectHsl(RGB(255, 255, 0), 60, 100, 50);

    EXPECT_EQ(rgbOf(rgbFromHsl(209, 100, 50)), (Rgb{0, 131, 255}));
    EXPECT_EQ(rgbOf(rgbFromHsl(0, 0, 50)), (Rgb{127, 127, 127}));
    EXPECT_EQ(rgbFromHsl(0, 100, 0), 0u);
}

TEST(ColorConversionTest, HuesOutsideTheCircle)
{
    for (int hue = -359; hue < 0; ++hue)
        ASSERT_EQ(rgbFromHsl(hue, 80, 40), rgbFromHsl(hue + 360, 80, 40)) << hue;
    // Beyond the defined range the hue wraps instead of leaving the sextants.
    EXPECT_EQ(rgbFromHsl(360, 100, 50), rgbFromHsl(0, 100, 50));
    EXPECT_EQ(rgbFromHsl(725, 100, 50), rgbFromHsl(5, 100, 50));
    EXPECT_EQ(rgbFromHsl(-360, 100, 50), rgbFromHsl(0, 100, 50));
    EXPECT_EQ(rgbFromHsl(-370, 100, 50), rgbFromHsl(350, 100, 50));
    // Extreme arguments stay defined.
    rgbFromHsl(INT_MIN, INT_MAX, INT_MAX);
    rgbFromHsl(INT_MAX, INT_MIN, 50);
}

TEST(CColorTest, RgbStepTables)
{
    CColor red;
    red.Set(RGB(255, 0, 0), 4, 1);
    EXPECT_EQ(rgbOf(red.GetShade(0)), (Rgb{255, 50, 50}));
    EXPECT_EQ(rgbOf(red.GetShade(1)), (Rgb{251, 46, 46}));
    EXPECT_EQ(rgbOf(red.GetShade(13)), (Rgb{203, 0, 0}));
    EXPECT_EQ(rgbOf(red.GetShade(63)), (Rgb{3, 0, 0}));

    // A very dark base starts at grey 96 on all channels.
    CColor black;
    black.Set(RGB(0, 0, 0), 4, 1);
    EXPECT_EQ(rgbOf(black.GetShade(0)), (Rgb{96, 96, 96}));
    EXPECT_EQ(rgbOf(black.GetShade(23)), (Rgb{4, 4, 4}));
    for (int i = 24; i < 64; ++i)
        EXPECT_EQ(black.GetShade(i), 0u) << i;
    EXPECT_EQ(black.GetShade(64), 0u);
    EXPECT_EQ(black.GetShade(-1), 0u);
}

TEST(CColorTest, StepsBelowOneSaturateInsteadOfWrapping)
{
    for (short step : {short(0), short(-1), short(-9), short(-32768)}) {
        SCOPED_TRACE(step);
        CColor c;
        c.Set(RGB(200, 100, 10), step, 1);
        for (int i = 0; i < 64; ++i) {
            const Rgb s = rgbOf(c.GetShade(i));
            ASSERT_GE(s.r, 250 - (step == 0 ? 0 : 250));
            ASSERT_GE(s.r, s.g);
            ASSERT_GE(s.g, s.b);
        }
        if (step < 0) {
            EXPECT_EQ(rgbOf(c.GetShade(63)).r, 255);
        }
    }
    CColor c;
    c.Set(RGB(250, 0, 0), -4, 1);
    EXPECT_EQ(rgbOf(c.GetShade(1)), (Rgb{255, 54, 54}));
    EXPECT_EQ(rgbOf(c.GetShade(63)), (Rgb{255, 255, 255}));
}

TEST(CColorTest, LightnessTables)
{
    CColor red;
    red.Set(RGB(255, 0, 0), 4, 0);
    EXPECT_EQ(rgbOf(red.GetShade(0)), (Rgb{254, 163, 163}));
    EXPECT_EQ(rgbOf(red.GetShade(32)), (Rgb{255, 0, 0}));
    EXPECT_EQ(rgbOf(red.GetShade(63)), (Rgb{96, 0, 0}));

    CColor silver;
    silver.Set(RGB(192, 192, 192), 4, 0);
    EXPECT_EQ(rgbOf(silver.GetShade(0)), (Rgb{255, 255, 255}));
    EXPECT_EQ(rgbOf(silver.GetShade(32)), (Rgb{191, 191, 191}));
    EXPECT_EQ(rgbOf(silver.GetShade(63)), (Rgb{112, 112, 112}));

    // Lightness below 20 or above 80 builds the table around 20 or 80, and
    // grey bases give grey tables.
    CColor dark, darkest, light, lightest;
    dark.Set(RGB(20, 20, 20), 4, 0);
    darkest.Set(RGB(0, 0, 0), 4, 0);
    light.Set(RGB(230, 230, 230), 4, 0);
    lightest.Set(RGB(255, 255, 255), 4, 0);
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(dark.GetShade(i), darkest.GetShade(i)) << i;
        ASSERT_EQ(light.GetShade(i), lightest.GetShade(i)) << i;
        const Rgb g = rgbOf(dark.GetShade(i));
        ASSERT_TRUE(g.r == g.g && g.g == g.b) << i;
    }
    EXPECT_EQ(dark.GetShade(32), rgbFromHsl(0, 0, 20));
    EXPECT_EQ(light.GetShade(32), rgbFromHsl(0, 0, 80));
}

TEST(CColorTest, SettersClampAndMarkCustom)
{
    CColor c;
    EXPECT_FALSE(c.IsCustom());
    EXPECT_EQ(c.GetStep(), 4);
    EXPECT_EQ(c.GetColoration(), 1);
    // Before any set or load the table is defined (black).
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(c.GetShade(i), 0u);

    c.SetStep(0);
    EXPECT_TRUE(c.IsCustom());
    EXPECT_EQ(c.GetStep(), 1);
    c.SetStep(9);
    EXPECT_EQ(c.GetStep(), 8);
    c.SetColoration(-1);
    EXPECT_EQ(c.GetColoration(), 0);
    c.SetColoration(5);
    EXPECT_EQ(c.GetColoration(), 1);
    c.SetBaseColor(RGB(10, 20, 30));
    EXPECT_EQ(c.GetBaseColor(), RGB(10, 20, 30));

    // Set stores as given; an unknown coloration keeps the table as it was.
    c.Set(RGB(255, 0, 0), 4, 1);
    const COLORREF before = c.GetShade(5);
    c.Set(RGB(0, 0, 255), 4, 7);
    EXPECT_EQ(c.GetColoration(), 7);
    EXPECT_EQ(c.GetShade(5), before);

    CColor copy;
    copy = c;
    EXPECT_TRUE(copy.IsCustom());
    EXPECT_EQ(copy.GetBaseColor(), RGB(0, 0, 255));
    copy = copy;
    EXPECT_EQ(copy.GetColoration(), 7);
    copy.SetColorInfo(ShadeParams{RGB(1, 2, 3), 2, 0});
    EXPECT_EQ(copy.GetStep(), 2);
    EXPECT_EQ(copy.GetColoration(), 0);
}

TEST(CColorTest, StoredFormMatchesTheGoldenFiles)
{
    CColor standard;
    HGLOBAL h = standard.GetBlob();
    EXPECT_EQ(BlockBytes(h), ReadGolden("color_default.blob"));
    GlobalFree(h);

    CColor red;
    red.Set(RGB(255, 0, 0), 4, 1);
    h = red.GetBlob();
    EXPECT_EQ(BlockBytes(h), ReadGolden("color_custom.blob"));
    GlobalFree(h);

    CColor back;
    h = MakeBlock(ReadGolden("color_custom.blob"));
    back.SetBlob(&h);
    EXPECT_EQ(h, nullptr);
    EXPECT_TRUE(back.IsCustom());
    EXPECT_EQ(back.GetBaseColor(), RGB(255, 0, 0));
    EXPECT_EQ(rgbOf(back.GetShade(13)), (Rgb{203, 0, 0}));

    // Values are loaded as stored, without the setters' clamps.
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    ar << LONG(1) << DWORD(0xFF) << WORD(0xFFFE) << WORD(9);
    ar.Close();
    file.SeekToBegin();
    CArchive in(&file, CArchive::load);
    CColor odd;
    odd.Serialize(in);
    EXPECT_EQ(odd.GetStep(), -2);
    EXPECT_EQ(odd.GetColoration(), 9);
}

TEST(CColorTest, ShortStoredFormsChangeNothing)
{
    const Bytes golden = ReadGolden("color_custom.blob");
    for (std::size_t cut = 4; cut < golden.size(); ++cut) {
        SCOPED_TRACE(cut);
        Bytes part(golden.begin(), golden.begin() + long(cut));
        const DWORD n = DWORD(cut - 4);
        std::memcpy(part.data(), &n, 4);
        CColor c;
        c.Set(RGB(1, 2, 3), 2, 0);
        HGLOBAL h = MakeBlock(part);
        if (n == 0) {
            c.SetBlob(&h);
        } else {
            EXPECT_THROW(c.SetBlob(&h), CArchiveException);
        }
        GlobalFree(h);
        EXPECT_EQ(c.GetBaseColor(), RGB(1, 2, 3));
        EXPECT_EQ(c.GetStep(), 2);
        EXPECT_EQ(c.GetColoration(), 0);
    }
}

} // namespace
