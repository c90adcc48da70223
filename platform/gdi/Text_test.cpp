#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiTestSupport.h"

#include <QFontInfo>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using gditest::Canvas;
using gditest::MatchesGolden;

using gditest::logFont;

// A canvas with a font selected, black text, transparent background.
struct TextCanvas {
    TextCanvas(int w, int h, const LOGFONT& lf) : canvas(w, h)
    {
        font = CreateFontIndirect(&lf);
        old = SelectObject(canvas.dc(), font);
        SetBkMode(canvas.dc(), TRANSPARENT);
        SetTextColor(canvas.dc(), 0);
    }
    ~TextCanvas()
    {
        SelectObject(canvas.dc(), old);
        DeleteObject(font);
    }
    HDC dc() const { return canvas.dc(); }
    int extent(const char* s) const
    {
        SIZE size{};
        GetTextExtentPoint32(canvas.dc(), s, -1, &size);
        return size.cx;
    }
    int lineHeight() const
    {
        TEXTMETRIC tm{};
        GetTextMetrics(canvas.dc(), &tm);
        return tm.tmHeight;
    }
    // The rectangle DT_CALCRECT gives, and the height returned.
    std::pair<RECT, int> measure(const char* s, int width, UINT format) const
    {
        RECT r{10, 20, 10 + width, 20};
        const int h = DrawText(canvas.dc(), s, -1, &r, format | DT_CALCRECT);
        return {r, h};
    }
    Canvas canvas;
    HFONT font = nullptr;
    HGDIOBJ old = nullptr;
};

TEST(TextTest, WindowsFacesBecomeDejaVuAndUnknownOnesFallBack)
{
    const auto family = [](const char* face) {
        return QFontInfo(gdi::FontFromLogFont(logFont(face, -12), 96)).family();
    };
    EXPECT_EQ(family("MS Sans Serif"), "DejaVu Sans");
    EXPECT_EQ(family("ms sans serif"), "DejaVu Sans");
    EXPECT_EQ(family("Tahoma"), "DejaVu Sans");
    EXPECT_EQ(family("Times New Roman"), "DejaVu Serif");
    EXPECT_EQ(family("Courier New"), "DejaVu Sans Mono");
    EXPECT_EQ(family("No Such Face At All"), "DejaVu Sans");
    EXPECT_EQ(family(""), "DejaVu Sans");
    EXPECT_EQ(gdi::SubstituteFace("Unknown Face 12"), gdi::kDefaultFontFamily);

    // The table can be changed and restored.
    gdi::SetFontSubstitute("MS Sans Serif", "DejaVu Serif");
    EXPECT_EQ(family("MS Sans Serif"), "DejaVu Serif");
    gdi::SetFontSubstitute("Our Face", "DejaVu Sans Mono");
    EXPECT_EQ(family("OUR FACE"), "DejaVu Sans Mono");
    gdi::SetFontSubstitute("Our Face", "");
    EXPECT_EQ(family("Our Face"), "DejaVu Sans");
    gdi::ResetFontSubstitutes();
    EXPECT_EQ(family("MS Sans Serif"), "DejaVu Sans");
}

TEST(TextTest, LogFontAttributesReachTheFont)
{
    LOGFONT lf = logFont("MS Sans Serif", -13, 0);
    QFont f = gdi::FontFromLogFont(lf, 96);
    EXPECT_EQ(f.pixelSize(), 13);
    EXPECT_FALSE(QFontInfo(f).bold());
    EXPECT_EQ(f.hintingPreference(), QFont::PreferNoHinting);
    EXPECT_TRUE(f.styleStrategy() & QFont::NoAntialias);
    for (LONG weight : {700, 1000}) {
        lf.lfWeight = weight;
        EXPECT_TRUE(QFontInfo(gdi::FontFromLogFont(lf, 96)).bold()) << weight;
    }
    lf.lfWeight = FW_NORMAL;
    lf.lfItalic = 1;
    lf.lfUnderline = 1;
    lf.lfStrikeOut = 1;
    f = gdi::FontFromLogFont(lf, 96);
    EXPECT_TRUE(QFontInfo(f).italic());
    EXPECT_TRUE(f.underline());
    EXPECT_TRUE(f.strikeOut());

    // Positive heights are cell heights, negative ones character heights.
    for (LONG h : {8, 11, 13, 15, 16, 20, 24, 33, 40}) {
        TextCanvas cell(10, 10, logFont("MS Sans Serif", h));
        TextCanvas character(10, 10, logFont("MS Sans Serif", -h));
        TEXTMETRIC tc{}, tch{};
        ASSERT_TRUE(GetTextMetrics(cell.dc(), &tc));
        ASSERT_TRUE(GetTextMetrics(character.dc(), &tch));
        EXPECT_LE(tc.tmHeight, h);
        EXPECT_GE(tc.tmHeight, h - 1);
        EXPECT_EQ(tch.tmHeight - tch.tmInternalLeading, h);
        EXPECT_GT(tch.tmHeight, tc.tmHeight);
        EXPECT_EQ(tc.tmHeight, tc.tmAscent + tc.tmDescent);
    }
}

TEST(TextTest, WordBreakBreaksAtBlanksAndLetsLongWordsRunOver)
{
    TextCanvas t(200, 200, logFont("MS Sans Serif", -13));
    const int line = t.lineHeight();
    const int oneTwo = t.extent("one two");

    // Exactly wide enough for two words: two lines.
    auto [r, h] = t.measure("one two three", oneTwo, DT_WORDBREAK | DT_CENTER);
    EXPECT_EQ(h, 2 * line);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 10 + oneTwo);
    EXPECT_EQ(r.bottom, 20 + 2 * line);
    // One pixel less: three lines.
    EXPECT_EQ(t.measure("one two three", oneTwo - 1, DT_WORDBREAK).second, 3 * line);
    // A word wider than the rectangle keeps its line and widens the result.
    std::tie(r, h) = t.measure("a extraordinarily b", t.extent("a b"), DT_WORDBREAK);
    EXPECT_EQ(h, 3 * line);
    EXPECT_EQ(r.right - r.left, t.extent("extraordinarily"));
    // No width at all: one word per line; runs of blanks break once.
    EXPECT_EQ(t.measure("one  two   three", 0, DT_WORDBREAK).second, 3 * line);
    // Line ends break too; without DT_WORDBREAK only they do.
    EXPECT_EQ(t.measure("one\ntwo\r\nthree four", 1000, DT_WORDBREAK).second, 3 * line);
    EXPECT_EQ(t.measure("one two three\rfour", 10, 0).second, 2 * line);
    EXPECT_EQ(t.measure("one\n\nthree", 1000, 0).second, 3 * line);
    // A single line ignores both.
    std::tie(r, h) = t.measure("one\ntwo three", 10, DT_SINGLELINE | DT_WORDBREAK);
    EXPECT_EQ(h, line);
    EXPECT_EQ(r.right - r.left, t.extent("onetwo three"));
    // The empty text is one empty line.
    std::tie(r, h) = t.measure("", 50, DT_WORDBREAK);
    EXPECT_EQ(h, line);
    EXPECT_EQ(r.right, r.left);
    // A count shorter than the text.
    RECT part{0, 0, 1000, 0};
    EXPECT_EQ(DrawText(t.dc(), "one two", 3, &part, DT_CALCRECT | DT_SINGLELINE), line);
    EXPECT_EQ(part.right, t.extent("one"));
}

TEST(TextTest, PrefixesUnderlineTheNextCharacter)
{
    TextCanvas t(120, 40, logFont("MS Sans Serif", -16));
    EXPECT_EQ(t.measure("&File", 1000, DT_SINGLELINE).first.right - 10, t.extent("File"));
    EXPECT_EQ(t.measure("Fish && Chips", 1000, DT_SINGLELINE).first.right - 10, t.extent("Fish & Chips"));
    EXPECT_EQ(t.measure("&File", 1000, DT_SINGLELINE | DT_NOPREFIX).first.right - 10, t.extent("&File"));
    EXPECT_EQ(t.measure("End&", 1000, DT_SINGLELINE).first.right - 10, t.extent("End"));

    const auto draw = [&](const char* s, UINT format) {
        t.canvas.Fill(0xFFFFFF);
        RECT r{4, 4, 116, 36};
        DrawText(t.dc(), s, -1, &r, format | DT_SINGLELINE);
        return t.canvas.Image();
    };
    const QImage plain = draw("File", 0);
    const QImage prefixed = draw("&File", 0);
    EXPECT_EQ(draw("&File", DT_NOPREFIX), draw("&File", DT_NOPREFIX));
    EXPECT_NE(draw("&File", DT_NOPREFIX), plain);
    // The prefixed text differs only by a line under the "F", below the baseline.
    TEXTMETRIC tm{};
    GetTextMetrics(t.dc(), &tm);
    const int f = t.extent("F");
    int changed = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            if (plain.pixel(x, y) != prefixed.pixel(x, y)) {
                ++changed;
                EXPECT_GE(x, 4);
                EXPECT_LT(x, 4 + f);
                EXPECT_GT(y, 4 + tm.tmAscent - 1);
                EXPECT_LT(y, 4 + tm.tmHeight);
                EXPECT_EQ(prefixed.pixel(x, y), qRgb(0, 0, 0));
            }
    EXPECT_GE(changed, f - 1);
    // "&&" draws one "&" with nothing underlined.
    EXPECT_EQ(draw("A&&B", 0), draw("A&B", DT_NOPREFIX));
}

// The ink of a drawing, as the rectangle that holds every non-white pixel.
QRect inkOf(const QImage& image)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                r |= QRect(x, y, 1, 1);
    return r;
}

TEST(TextTest, AlignmentMovesTheWholeText)
{
    TextCanvas t(160, 60, logFont("MS Sans Serif", -14));
    const int w = t.extent("Align");
    const int line = t.lineHeight();
    const RECT box{10, 5, 150, 55};
    const auto draw = [&](UINT format, int* result = nullptr) {
        t.canvas.Fill(0xFFFFFF);
        RECT r = box;
        const int h = DrawText(t.dc(), "Align", -1, &r, format | DT_SINGLELINE);
        if (result)
            *result = h;
        return inkOf(t.canvas.Image());
    };
    int h = 0;
    const QRect left = draw(DT_LEFT, &h);
    EXPECT_EQ(h, line);
    EXPECT_EQ(draw(DT_CENTER), left.translated((140 - w) / 2, 0));
    EXPECT_EQ(draw(DT_RIGHT), left.translated(140 - w, 0));
    EXPECT_EQ(draw(DT_VCENTER, &h), left.translated(0, (50 - line) / 2));
    EXPECT_EQ(h, (50 - line) / 2 + line);
    EXPECT_EQ(draw(DT_BOTTOM | DT_RIGHT, &h), left.translated(140 - w, 50 - line));
    EXPECT_EQ(h, 50);
    // Several lines are centred one by one.
    t.canvas.Fill(0xFFFFFF);
    RECT r = box;
    DrawText(t.dc(), "Align\nAlign Align", -1, &r, DT_CENTER);
    const QImage two = t.canvas.Image();
    EXPECT_EQ(inkOf(two.copy(0, 5, 160, line)), left.translated((140 - w) / 2, -5));
    EXPECT_EQ(inkOf(two.copy(0, 5 + line, 160, line)).left(), 10 + (140 - t.extent("Align Align")) / 2 + left.left() - 10);
}

TEST(TextTest, BackgroundModesAndClipping)
{
    TextCanvas t(80, 30, logFont("MS Sans Serif", -12));
    SetTextColor(t.dc(), RGB(255, 255, 255));
    SetBkColor(t.dc(), RGB(0, 0, 128));
    const int w = t.extent("Wide text");
    const int line = t.lineHeight();

    // Opaque: the text's cell is filled, nothing else.
    SetBkMode(t.dc(), OPAQUE);
    RECT r{3, 2, 80, 30};
    DrawText(t.dc(), "Wide text", -1, &r, DT_SINGLELINE);
    QImage image = t.canvas.Image();
    EXPECT_EQ(image.pixel(3, 2), qRgb(0, 0, 128));
    EXPECT_EQ(image.pixel(3 + w - 1, 2 + line - 1), qRgb(0, 0, 128));
    EXPECT_EQ(image.pixel(3 + w, 2), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(3, 2 + line), qRgb(255, 255, 255));

    // Transparent: only the glyphs.
    t.canvas.Fill(RGB(0, 100, 0));
    SetBkMode(t.dc(), TRANSPARENT);
    DrawText(t.dc(), "Wide text", -1, &r, DT_SINGLELINE);
    image = t.canvas.Image();
    EXPECT_EQ(image.pixel(3, 2), qRgb(0, 100, 0));
    EXPECT_FALSE(inkOf(image).isNull());

    // Clipped to the rectangle unless DT_NOCLIP.
    const auto drawIn = [&](UINT extra) {
        t.canvas.Fill(RGB(255, 255, 255));
        SetTextColor(t.dc(), 0);
        RECT small{3, 2, 3 + w / 2, 2 + line / 2};
        DrawText(t.dc(), "Wide text", -1, &small, DT_SINGLELINE | extra);
        return inkOf(t.canvas.Image());
    };
    EXPECT_TRUE(QRect(3, 2, w / 2, line / 2).contains(drawIn(0)));
    EXPECT_FALSE(QRect(3, 2, w / 2, line / 2).contains(drawIn(DT_NOCLIP)));

    EXPECT_EQ(DrawText(nullptr, "x", -1, &r, 0), 0);
    EXPECT_EQ(DrawText(t.dc(), nullptr, -1, &r, 0), 0);
    EXPECT_EQ(DrawText(t.dc(), "x", -1, nullptr, 0), 0);
    SIZE size{};
    EXPECT_FALSE(GetTextExtentPoint32(nullptr, "x", 1, &size));
}

TEST(TextTest, TheSameTextAgainFollowsItsFontWidthDpiAndFormat)
{
    // Texts are laid out once and kept: each measure below follows a
    // different one of the same string.
    const char* text = "Tip && top of the list";
    TextCanvas t(200, 80, logFont("MS Sans Serif", -12));
    const auto [r1, h1] = t.measure(text, 200, DT_WORDBREAK);
    EXPECT_EQ(h1, t.lineHeight());
    const LOGFONT bigFont = logFont("MS Sans Serif", -20), pointsFont = logFont("MS Sans Serif", 0);
    HFONT big = CreateFontIndirect(&bigFont);
    HGDIOBJ small = SelectObject(t.dc(), big);
    const auto [r2, h2] = t.measure(text, 200, DT_WORDBREAK);
    EXPECT_GT(r2.right - r2.left, r1.right - r1.left);
    EXPECT_GT(h2, h1);
    SelectObject(t.dc(), small);
    DeleteObject(big);
    EXPECT_EQ(t.measure(text, 200, DT_WORDBREAK).first.right, r1.right);
    // Narrower: more lines; without prefixes "&&" shows both characters.
    EXPECT_GT(t.measure(text, 60, DT_WORDBREAK).second, h1);
    EXPECT_GT(t.measure(text, 200, DT_WORDBREAK | DT_NOPREFIX).first.right, r1.right);
    gdi::SetScreenDpi(192);
    // 8 points: twice the pixels at twice the DPI.
    HFONT same = CreateFontIndirect(&pointsFont);
    SelectObject(t.dc(), same);
    const int at192 = t.measure(text, 400, DT_SINGLELINE).second;
    gdi::SetScreenDpi(96);
    EXPECT_GT(at192, t.measure(text, 400, DT_SINGLELINE).second);
    SelectObject(t.dc(), small);
    DeleteObject(same);

    // Drawn again elsewhere: the same pixels moved, and only inside the clip.
    const auto draw = [&](int x, int y, HRGN clip) {
        t.canvas.Fill(0xFFFFFF);
        SelectClipRgn(t.dc(), clip);
        RECT r{x, y, x + 90, y + 60};
        DrawText(t.dc(), text, -1, &r, DT_WORDBREAK | DT_CENTER);
        SelectClipRgn(t.dc(), nullptr);
        return t.canvas.Image();
    };
    const QImage first = draw(4, 3, nullptr);
    const QRect ink = inkOf(first);
    ASSERT_FALSE(ink.isNull());
    const QImage moved = draw(4 + 37, 3 + 11, nullptr);
    EXPECT_EQ(inkOf(moved), ink.translated(37, 11));
    EXPECT_EQ(moved.copy(ink.translated(37, 11)), first.copy(ink));
    HRGN half = CreateRectRgn(0, 0, 200, ink.top() + 11 + ink.height() / 2);
    const QImage clipped = draw(4 + 37, 3 + 11, half);
    DeleteObject(half);
    EXPECT_EQ(inkOf(clipped), inkOf(moved.copy(0, 0, 200, ink.top() + 11 + ink.height() / 2)));
}

TEST(TextTest, TextMatchesItsGoldenPicture)
{
    Canvas c(320, 150);
    SetBkMode(c.dc(), TRANSPARENT);
    struct Sample {
        LOGFONT lf;
        const char* text;
        UINT format;
        RECT rect;
    };
    LOGFONT underline = logFont("MS Sans Serif", -13);
    underline.lfUnderline = 1;
    LOGFONT strike = logFont("Arial", 20, FW_BOLD);
    strike.lfStrikeOut = 1;
    const Sample samples[] = {
        {logFont("MS Sans Serif", -11), "&Next Tip && more", DT_SINGLELINE, {4, 4, 316, 20}},
        {logFont("MS Sans Serif", -13, FW_BOLD), "Bold caption, centred", DT_SINGLELINE | DT_CENTER, {4, 20, 316, 40}},
        {underline, "Underlined words wrap at blanks in a narrow box", DT_WORDBREAK | DT_CENTER, {4, 40, 150, 146}},
        {strike, "Struck", DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, {150, 40, 316, 90}},
        {logFont("Times New Roman", -16), "Serif text", DT_SINGLELINE | DT_VCENTER, {160, 90, 316, 146}},
    };
    for (const Sample& s : samples) {
        HFONT f = CreateFontIndirect(&s.lf);
        HGDIOBJ old = SelectObject(c.dc(), f);
        RECT r = s.rect;
        DrawText(c.dc(), s.text, -1, &r, s.format);
        SelectObject(c.dc(), old);
        DeleteObject(f);
    }
    EXPECT_TRUE(MatchesGolden(c.Image(), "text"));
}

} // namespace
