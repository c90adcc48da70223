// The text settings dialog on three buttons whose texts differ: opening and
// switching positions write nothing, each edit reaches every button's text
// of the position (the caption also the stock Caption) within the ranges
// the button keeps, the colours repaint only where they show, the font
// reaches the first button only, help and the editor's look.

#include "buttonlib/editor/CTextSettingsDlg.h"

#include "buttonlib/editor/SettingsDialogTestSupport.h"

#include "platform/gdi/GdiDraw.h"

#include <QComboBox>

#include <cstring>

namespace {

using D = CTextSettingsDlg;

class TextSettingsTest : public settingstest::SettingsDialogTest {
protected:
    void SetUp() override
    {
        SettingsDialogTest::SetUp();
        for (int b = 0; b < kControls; ++b) {
            CLumvexCtrl& c = *buttons[b];
            for (int p = 0; p < CLumvexCtrl::kTextCount; ++p) {
                CText& t = c.m_text[std::size_t(p)];
                t.SetText(CString("text ") + char('0' + p) + char('a' + b));
                t.SetXOffset(short(p + b));
                t.SetYOffset(short(-p - b));
                t.SetEffect(short((p + b) % 4));
                t.SetEffectFactor(short((p + 2 * b) % 6));
                t.SetAngle(short(p % 5));
                t.SetForeColor(RGB(20 * p, 40 * b, 100));
                t.SetMouseOverColor(RGB(100, 20 * p, 40 * b));
                t.SetPressedColor(RGB(40 * b, 100, 20 * p));
            }
            c.SetText(c.m_text[0].GetText());
            c.m_CaptionWordWrapPerc = short(50 + 10 * b);
        }
        settle();
    }

    template <class Get>
    std::array<int, kControls> each(int position, Get get)
    {
        std::array<int, kControls> out{};
        for (int b = 0; b < kControls; ++b)
            out[b] = int(get(buttons[b]->m_text[std::size_t(position)]));
        return out;
    }
    static constexpr std::array<int, kControls> all(int v) { return {v, v, v}; }
    // Everything a position holds, to compare before and after.
    std::string dump()
    {
        std::string out;
        for (CLumvexCtrl* b : buttons) {
            for (const CText& t : b->m_text)
                out += t.GetText() + "|" + std::to_string(t.GetXOffset()) + "," + std::to_string(t.GetYOffset()) +
                       "," + std::to_string(t.GetEffect()) + "," + std::to_string(t.GetEffectFactor()) + "," +
                       std::to_string(t.GetAngle()) + "," + std::to_string(t.GetForeColor()) + "," +
                       std::to_string(t.GetMouseOverColor()) + "," + std::to_string(t.GetPressedColor()) + ";";
            out += b->GetText() + "|" + std::to_string(b->GetCaptionWordWrapPerc()) + "\n";
        }
        return out;
    }
    static void choose(CDialog& dlg, int comboId, int index)
    {
        auto* combo = item<QComboBox>(dlg, comboId);
        combo->setFocus();
        while (combo->currentIndex() < index)
            QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > index)
            QTest::keyClick(combo, Qt::Key_Up);
    }
};

constexpr int kCaptionOnly[] = {D::IDC_ANGLE_LABEL, D::IDC_ANGLE,     D::IDC_CAPTION_GROUP,
                                D::IDC_WRAP_LABEL,  D::IDC_WRAP, D::IDC_WRAP_SPIN};
constexpr int kFactorItems[] = {D::IDC_FACTOR_LABEL, D::IDC_FACTOR, D::IDC_FACTOR_SPIN};

TEST_F(TextSettingsTest, OpeningAndSwitchingPositionsWriteNothing)
{
    const std::string before = dump();
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(modified(), (std::array<BOOL, kControls>{FALSE, FALSE, FALSE}));
    EXPECT_EQ(text(dlg, D::IDC_TEXT), "text 0a");
    EXPECT_EQ(text(dlg, D::IDC_WRAP), "50");

    for (std::size_t p = 0; p < D::kPositionRadios.size(); ++p) {
        SCOPED_TRACE(p);
        click(dlg, D::kPositionRadios[p]);
        const CText& first = buttons[0]->m_text[p];
        EXPECT_EQ(text(dlg, D::IDC_TEXT).toStdString(), first.GetText());
        EXPECT_EQ(text(dlg, D::IDC_X_OFFSET), QString::number(first.GetXOffset()));
        EXPECT_EQ(text(dlg, D::IDC_Y_OFFSET), QString::number(first.GetYOffset()));
        EXPECT_EQ(text(dlg, D::IDC_FACTOR), QString::number(first.GetEffectFactor()));
        EXPECT_EQ(item<QComboBox>(dlg, D::IDC_EFFECT)->currentIndex(), first.GetEffect());
        EXPECT_EQ(item<QComboBox>(dlg, D::IDC_ANGLE)->currentIndex(), first.GetAngle());
        for (int id : kCaptionOnly)
            EXPECT_EQ(enabled(dlg, id), p == 0) << id;
        for (int id : kFactorItems)
            EXPECT_EQ(enabled(dlg, id), first.GetEffect() == D::kFloating) << id;
        EXPECT_EQ(colourOver(dlg, D::IDC_FORE_SWATCH), rgbOf(first.GetForeColor()));
        EXPECT_EQ(colourOver(dlg, D::IDC_MOUSEOVER_SWATCH), rgbOf(first.GetMouseOverColor()));
        EXPECT_EQ(colourOver(dlg, D::IDC_PRESSED_SWATCH), rgbOf(first.GetPressedColor()));
    }
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(modified(), (std::array<BOOL, kControls>{FALSE, FALSE, FALSE}));
    // The lists: "value - text".
    auto* effects = item<QComboBox>(dlg, D::IDC_EFFECT);
    ASSERT_EQ(effects->count(), 4);
    EXPECT_EQ(effects->itemText(3), "3 - Floating");
    auto* angles = item<QComboBox>(dlg, D::IDC_ANGLE);
    ASSERT_EQ(angles->count(), 5);
    EXPECT_EQ(angles->itemText(3), "3 - 45 degrees clockwise");
    EXPECT_EQ(angles->itemText(4), "4 - 90 degrees clockwise");
}

TEST_F(TextSettingsTest, TheTextReachesEveryButtonAndTheCaptionOnlyFromTheCaption)
{
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);
    type(dlg, D::IDC_TEXT, "Go");
    for (int b = 0; b < kControls; ++b) {
        EXPECT_EQ(buttons[b]->m_text[0].GetText(), "Go") << b;
        EXPECT_EQ(buttons[b]->GetText(), "Go") << b;
    }
    for (int p : paints())
        EXPECT_GT(p, 0);
    EXPECT_EQ(modified(), (std::array<BOOL, kControls>{TRUE, TRUE, TRUE}));

    click(dlg, 356);
    settle();
    type(dlg, D::IDC_TEXT, "Top");
    for (int b = 0; b < kControls; ++b) {
        EXPECT_EQ(buttons[b]->m_text[2].GetText(), "Top") << b;
        EXPECT_EQ(buttons[b]->GetText(), "Go") << b;
        EXPECT_EQ(buttons[b]->m_text[0].GetText(), "Go") << b;
    }
    for (int p : paints())
        EXPECT_GT(p, 0);
    EXPECT_EQ(modified(), (std::array<BOOL, kControls>{TRUE, TRUE, TRUE}));
}

TEST_F(TextSettingsTest, ColoursRepaintOnlyWhereTheyShow)
{
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);
    click(dlg, 358);
    settle();

    struct Case {
        int button;
        int swatch;
        COLORREF (CText::*get)() const;
        bool repaints;
    };
    const Case cases[] = {{D::IDC_FORE_CHANGE, D::IDC_FORE_SWATCH, &CText::GetForeColor, true},
                          {D::IDC_MOUSEOVER_CHANGE, D::IDC_MOUSEOVER_SWATCH, &CText::GetMouseOverColor, false},
                          {D::IDC_PRESSED_CHANGE, D::IDC_PRESSED_SWATCH, &CText::GetPressedColor, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        const COLORREF first = (buttons[0]->m_text[4].*c.get)();
        dialogs->colors.push_back(RGB(1, 2, c.button % 256));
        click(dlg, c.button);
        EXPECT_EQ(dialogs->colorRequests.back(), first);
        EXPECT_EQ(each(4, [&](const CText& t) { return (t.*c.get)(); }), all(RGB(1, 2, c.button % 256)));
        EXPECT_EQ(colourOver(dlg, c.swatch), rgbOf(RGB(1, 2, c.button % 256)));
        EXPECT_EQ(modified(), (std::array<BOOL, kControls>{TRUE, TRUE, TRUE}));
        for (int p : paints())
            EXPECT_EQ(p > 0, c.repaints);
        // Cancelled: nothing changes.
        settle();
        const std::string before = dump();
        click(dlg, c.button);
        EXPECT_EQ(dump(), before);
        EXPECT_EQ(modified(), (std::array<BOOL, kControls>{FALSE, FALSE, FALSE}));
    }
}

TEST_F(TextSettingsTest, EveryValueStaysInTheRangeTheButtonKeeps)
{
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);
    // Position 1 of the first button has the Raised effect.
    click(dlg, 355);
    for (int id : kFactorItems)
        EXPECT_FALSE(enabled(dlg, id));
    choose(dlg, D::IDC_EFFECT, D::kFloating);
    EXPECT_EQ(each(1, [](const CText& t) { return t.GetEffect(); }), all(D::kFloating));
    for (int id : kFactorItems)
        EXPECT_TRUE(enabled(dlg, id));

    type(dlg, D::IDC_X_OFFSET, "-42");
    EXPECT_EQ(each(1, [](const CText& t) { return t.GetXOffset(); }), all(-42));
    type(dlg, D::IDC_Y_OFFSET, "500");
    EXPECT_EQ(each(1, [](const CText& t) { return t.GetYOffset(); }), all(0));
    type(dlg, D::IDC_FACTOR, "4");
    EXPECT_EQ(each(1, [](const CText& t) { return t.GetEffectFactor(); }), all(4));
    type(dlg, D::IDC_FACTOR, "9");
    EXPECT_EQ(each(1, [](const CText& t) { return t.GetEffectFactor(); }), all(1));
    arrow(dlg, D::IDC_FACTOR_SPIN, "up");
    EXPECT_EQ(each(1, [](const CText& t) { return t.GetEffectFactor(); }), all(2));

    // The angle and the wrap belong to the caption.
    click(dlg, 257);
    choose(dlg, D::IDC_ANGLE, 4);
    EXPECT_EQ(each(0, [](const CText& t) { return t.GetAngle(); }), all(4));
    for (const auto& [typed, held] : {std::pair{"", 10}, std::pair{"500", 100}, std::pair{"35", 35}}) {
        SCOPED_TRACE(typed);
        type(dlg, D::IDC_WRAP, typed);
        for (CLumvexCtrl* b : buttons)
            EXPECT_EQ(b->GetCaptionWordWrapPerc(), held);
    }
    choose(dlg, D::IDC_EFFECT, D::kFloating);
    for (int id : kFactorItems)
        EXPECT_TRUE(enabled(dlg, id));
    choose(dlg, D::IDC_EFFECT, 1);
    EXPECT_EQ(each(0, [](const CText& t) { return t.GetEffect(); }), all(1));
    for (int id : kFactorItems)
        EXPECT_FALSE(enabled(dlg, id));
    // The other positions were left alone.
    EXPECT_EQ(each(2, [](const CText& t) { return t.GetXOffset(); }), (std::array<int, kControls>{2, 3, 4}));
    EXPECT_TRUE(boxes->shown.empty());
}

TEST_F(TextSettingsTest, TheFontReachesTheFirstButtonOnly)
{
    gdi::SetScreenDpi(96);
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);
    click(dlg, 259);

    LOGFONT chosen{};
    chosen.lfHeight = -13;
    chosen.lfWeight = 700;
    chosen.lfItalic = 1;
    chosen.lfStrikeOut = 1;
    chosen.lfUnderline = 1;
    std::strcpy(chosen.lfFaceName, "DejaVu Serif");
    ui->fonts.push_back(chosen);
    click(dlg, D::IDC_FONT);

    ASSERT_EQ(ui->fontRequests.size(), 1u);
    EXPECT_EQ(ui->fontRequests[0].flags, DWORD(com::CF_SCREENFONTS | com::CF_INITTOLOGFONTSTRUCT));
    EXPECT_STREQ(ui->fontRequests[0].font.lfFaceName, "MS Sans Serif");
    auto font = [&](int b) {
        IFont* f = buttons[b]->m_font[6].m_pFont;
        CY size;
        f->get_Size(&size);
        com::Bstr name;
        f->get_Name(name.Receive());
        short weight = 0;
        BOOL italic = FALSE, strike = FALSE, underline = FALSE;
        f->get_Weight(&weight);
        f->get_Italic(&italic);
        f->get_Strikethrough(&strike);
        f->get_Underline(&underline);
        return name.Utf8() + " " + std::to_string(size.int64) + " " + std::to_string(weight) + " " +
               std::to_string(italic) + std::to_string(strike) + std::to_string(underline);
    };
    // 13 pixels at 96 dpi is 9.75 points: whole points are kept.
    EXPECT_EQ(font(0), "DejaVu Serif 90000 700 111");
    const std::string untouched = font(1);
    EXPECT_EQ(font(2), untouched);
    EXPECT_EQ(untouched.rfind("MS Sans Serif ", 0), 0u) << untouched;
    EXPECT_EQ(buttons[0]->m_font[0].m_pFont->IsEqual(buttons[1]->m_font[0].m_pFont), S_OK);

    // Cancelled: nothing changes.
    click(dlg, D::IDC_FONT);
    EXPECT_EQ(ui->fontRequests.size(), 2u);
    EXPECT_EQ(font(0), "DejaVu Serif 90000 700 111");
}

TEST_F(TextSettingsTest, HelpAndTheEditorsLook)
{
    SetDialogBaseUnits(std::nullopt);
    CLumvexCtrl::g_helpLinks[2] = "https://example.com/texts";
    {
        D dlg(page.Get());
        ASSERT_TRUE(dlg.Create());
        show(dlg);
        click(dlg, COlePropertyPageEnh::kHelpButton);
        CLumvexCtrl::g_helpLinks[2].clear();
        click(dlg, COlePropertyPageEnh::kHelpButton);
        EXPECT_EQ(helpShown(), (std::vector<std::string>{"link https://example.com/texts", "html 152"}));
        // The swatches lie over their hidden placeholders.
        EXPECT_FALSE(item(dlg, D::IDC_FORE_SWATCH)->isVisible());
        EXPECT_EQ(colourOver(dlg, D::IDC_FORE_SWATCH), rgbOf(RGB(0, 0, 100)));
        EXPECT_EQ(colourOver(dlg, D::IDC_MOUSEOVER_SWATCH), rgbOf(RGB(100, 0, 0)));
        EXPECT_EQ(colourOver(dlg, D::IDC_PRESSED_SWATCH), rgbOf(RGB(0, 100, 0)));
        screenshot(dlg, "text-settings");
    }

    openAsEditor(RGB(255, 255, 255), RGB(60, 60, 60));
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);
    EXPECT_EQ(dlg.GetSafeHwnd()->palette().color(QPalette::Window), QColor(60, 60, 60));
    click(dlg, COlePropertyPageEnh::kHelpButton);
    EXPECT_EQ(helpShown().back(), "winhelp 137");
    EXPECT_EQ(item(dlg, D::IDC_CAPTION_GROUP)->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    EXPECT_EQ(colourOver(dlg, D::IDC_PRESSED_SWATCH), rgbOf(RGB(0, 100, 0)));
    // The colour buttons take the caller's colours.
    EXPECT_EQ(item(dlg, IDOK)->grab().toImage().pixel(3, 3) & 0xFFFFFF, rgbOf(RGB(60, 60, 60)));
    screenshot(dlg, "text-settings-editor");
}

} // namespace
