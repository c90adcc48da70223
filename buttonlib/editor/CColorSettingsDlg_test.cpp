// The colour settings dialog on three buttons whose colours differ: each
// item reaches its own colour on every button, the shading radios and the
// gradient factor with its arrows, closing, cancelling, help and the
// editor's look.

#include "buttonlib/editor/CColorSettingsDlg.h"

#include "buttonlib/editor/SettingsDialogTestSupport.h"

#include <QTimer>

#include <functional>
#include <map>

namespace {

using D = CColorSettingsDlg;

// Each item's radio and the property it is to change, read the way a
// container reads it.
const std::map<int, std::function<OLE_COLOR(CLumvexCtrl&)>> kTargets{
    {319, [](CLumvexCtrl& c) { return c.GetBackColor(); }},
    {320, [](CLumvexCtrl& c) { return c.GetBackColorMouseOver(); }},
    {321, [](CLumvexCtrl& c) { return c.GetBackColorInterior(); }},
    {322, [](CLumvexCtrl& c) { return c.GetBackColorFocus(); }},
    {324, [](CLumvexCtrl& c) { return c.GetBackColorDisabled(); }},
    {325, [](CLumvexCtrl& c) { return c.GetBackColorPressed(); }},
    {326, [](CLumvexCtrl& c) { return c.GetHighlightColor(); }},
    {327, [](CLumvexCtrl& c) { return c.GetShadowColor(); }},
    {323, [](CLumvexCtrl& c) { return c.GetBackColorContainer(); }},
    {350, [](CLumvexCtrl& c) { return c.GetForeColor(); }},
    {351, [](CLumvexCtrl& c) { return c.GetForeColorMouseOver(); }},
    {352, [](CLumvexCtrl& c) { return c.GetForeColorDisabled(); }},
    {353, [](CLumvexCtrl& c) { return c.GetForeColorPressed(); }},
};
constexpr int kTableRadios[] = {319, 320, 321, 322, 324, 325};

std::map<int, OLE_COLOR> colours(CLumvexCtrl& c)
{
    std::map<int, OLE_COLOR> out;
    for (const auto& [radio, get] : kTargets)
        out[radio] = get(c);
    return out;
}

class ColorSettingsTest : public settingstest::SettingsDialogTest {
protected:
    void SetUp() override
    {
        SettingsDialogTest::SetUp();
        // Every colour differs from button to button and from item to item.
        for (int b = 0; b < kControls; ++b) {
            int n = 0;
            for (const auto& [radio, get] : kTargets) {
                const COLORREF c = RGB(10 * (n + 1), 20 * b + 5, 7 * n);
                const auto& item = itemOf(radio);
                if (item.table)
                    (buttons[b]->*item.table).SetBaseColor(c);
                else
                    item.put(*buttons[b], c);
                ++n;
            }
            for (int radio : kTableRadios)
                (buttons[b]->*itemOf(radio).table).SetStep(short(2 + b));
        }
        settle();
    }

    static const D::Item& itemOf(int radio)
    {
        for (const D::Item& item : D::Items())
            if (item.radioId == radio)
                return item;
        throw std::logic_error("no such item");
    }
    CColor& table(int b, int radio) { return buttons[b]->*itemOf(radio).table; }
};

TEST_F(ColorSettingsTest, EachItemChangesItsOwnColourOnEveryButton)
{
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);
    // Item 0 is shown from the first button.
    EXPECT_TRUE(item<QAbstractButton>(dlg, 319)->isChecked());
    EXPECT_EQ(colourOver(dlg, D::IDC_SWATCH), rgbOf(buttons[0]->GetBackColor()));

    int n = 0;
    for (const auto& [radio, get] : kTargets) {
        SCOPED_TRACE(radio);
        std::array<std::map<int, OLE_COLOR>, kControls> before;
        for (int b = 0; b < kControls; ++b)
            before[b] = colours(*buttons[b]);
        click(dlg, radio);
        const bool shaded = std::find(std::begin(kTableRadios), std::end(kTableRadios), radio) != std::end(kTableRadios);
        for (int id : {D::IDC_BEST_MATCH, D::IDC_BEST_3D, D::IDC_GRADIENT_GROUP})
            EXPECT_EQ(enabled(dlg, id), shaded) << id;
        if (!shaded) {
            for (int id : {D::IDC_FACTOR_LABEL, D::IDC_FACTOR, D::IDC_FACTOR_SPIN})
                EXPECT_FALSE(enabled(dlg, id)) << id;
        }
        settle();

        const COLORREF chosen = RGB(200, 100 + n, 3);
        dialogs->colors.push_back(chosen);
        dialogs->colorRequests.clear();
        click(dlg, D::IDC_CHANGE);
        // The colour dialog opened on the first button's colour.
        ASSERT_EQ(dialogs->colorRequests.size(), 1u);
        EXPECT_EQ(dialogs->colorRequests[0], CLumvexCtrl::TranslateOleColor(before[0][radio]));
        for (int b = 0; b < kControls; ++b) {
            auto expected = before[b];
            expected[radio] = chosen;
            EXPECT_EQ(colours(*buttons[b]), expected) << "button " << b;
        }
        EXPECT_EQ(modified(), (std::array<BOOL, kControls>{TRUE, TRUE, TRUE}));
        EXPECT_EQ(colourOver(dlg, D::IDC_SWATCH), rgbOf(chosen));
        ++n;
    }

    // A cancelled colour dialog changes nothing.
    settle();
    const auto kept = colours(*buttons[1]);
    click(dlg, 319);
    settle();
    click(dlg, D::IDC_CHANGE);
    EXPECT_EQ(colours(*buttons[1]), kept);
    EXPECT_EQ(modified(), (std::array<BOOL, kControls>{FALSE, FALSE, FALSE}));
    EXPECT_EQ(paints(), (std::array<int, kControls>{0, 0, 0}));
}

TEST_F(ColorSettingsTest, ShadingAndGradientFactorReachTheSelectedTable)
{
    for (int b = 0; b < kControls; ++b)
        table(b, 319).SetColoration(0);
    table(0, 319).SetStep(6);
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);
    // HLS shades: the factor has no say.
    EXPECT_TRUE(item<QAbstractButton>(dlg, D::IDC_BEST_MATCH)->isChecked());
    for (int id : {D::IDC_FACTOR_LABEL, D::IDC_FACTOR, D::IDC_FACTOR_SPIN})
        EXPECT_FALSE(enabled(dlg, id)) << id;
    EXPECT_EQ(text(dlg, D::IDC_FACTOR), "6");

    // RGB steps: the factor comes alive and every button's table shades so.
    click(dlg, D::IDC_BEST_3D);
    for (int id : {D::IDC_FACTOR_LABEL, D::IDC_FACTOR, D::IDC_FACTOR_SPIN})
        EXPECT_TRUE(enabled(dlg, id)) << id;
    for (int b = 0; b < kControls; ++b) {
        EXPECT_EQ(table(b, 319).GetColoration(), 1) << b;
        EXPECT_EQ(table(b, 320).GetColoration(), 1) << b;
    }
    EXPECT_EQ(modified(), (std::array<BOOL, kControls>{TRUE, TRUE, TRUE}));
    // Only the chosen table: the mouse-over one was RGB before and is still.
    click(dlg, D::IDC_BEST_MATCH);
    EXPECT_EQ(table(2, 319).GetColoration(), 0);
    EXPECT_EQ(table(2, 320).GetColoration(), 1);
    click(dlg, D::IDC_BEST_3D);

    // The up arrow at 6 leaves 6; the steps of the buttons stay their own.
    arrow(dlg, D::IDC_FACTOR_SPIN, "up");
    EXPECT_EQ(text(dlg, D::IDC_FACTOR), "6");
    EXPECT_EQ(table(0, 319).GetStep(), 6);
    EXPECT_EQ(table(1, 319).GetStep(), 3);
    // A step down reaches every button.
    arrow(dlg, D::IDC_FACTOR_SPIN, "down");
    for (int b = 0; b < kControls; ++b)
        EXPECT_EQ(table(b, 319).GetStep(), 5) << b;

    // A typed factor waits for the next step of the arrows.
    type(dlg, D::IDC_FACTOR, "3");
    for (int b = 0; b < kControls; ++b)
        EXPECT_EQ(table(b, 319).GetStep(), 5) << b;
    arrow(dlg, D::IDC_FACTOR_SPIN, "up");
    for (int b = 0; b < kControls; ++b)
        EXPECT_EQ(table(b, 319).GetStep(), 4) << b;
    EXPECT_TRUE(boxes->shown.empty());
}

TEST_F(ColorSettingsTest, AnArrowAtItsLimitThenAnotherItemChangesNeitherTable)
{
    for (int b = 0; b < kControls; ++b)
        table(b, 319).SetStep(6);
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);
    arrow(dlg, D::IDC_FACTOR_SPIN, "up");
    click(dlg, 325);
    EXPECT_EQ(text(dlg, D::IDC_FACTOR), "2");
    for (int b = 0; b < kControls; ++b) {
        EXPECT_EQ(table(b, 319).GetStep(), 6) << b;
        EXPECT_EQ(table(b, 325).GetStep(), 2 + b) << b;
    }
    // The next step moves the pressed table, from the first button's step.
    arrow(dlg, D::IDC_FACTOR_SPIN, "up");
    for (int b = 0; b < kControls; ++b) {
        EXPECT_EQ(table(b, 319).GetStep(), 6) << b;
        EXPECT_EQ(table(b, 325).GetStep(), 3) << b;
    }
}

TEST_F(ColorSettingsTest, CloseEndsTheDialogWithAnyStepTheTableHolds)
{
    // Steps 7 and 8 come from the control's methods; the arrows stop at 6.
    table(0, 319).SetStep(8);
    table(0, 320).SetStep(7);
    table(0, 320).SetColoration(0);
    for (int item : {319, 320}) {
        SCOPED_TRACE(item);
        D dlg(page.Get());
        QTimer::singleShot(0, [&] {
            click(dlg, item);
            click(dlg, IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_TRUE(boxes->shown.empty());
    }

    // A factor beyond the table's range keeps the dialog open with the
    // range message; Escape leaves.
    D dlg(page.Get());
    QTimer::singleShot(0, [&] {
        type(dlg, D::IDC_FACTOR, "9");
        click(dlg, IDOK);
        EXPECT_TRUE(dlg.IsModal());
        QTest::keyClick(item(dlg, D::IDC_FACTOR), Qt::Key_Escape);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_EQ(boxes->shown[0].text, "Please enter an integer between 1 and 8.");
    EXPECT_EQ(table(0, 319).GetStep(), 8);
}

TEST_F(ColorSettingsTest, HelpAndTheEditorsLook)
{
    // Laid out in the dialog font as people see it.
    SetDialogBaseUnits(std::nullopt);
    buttons[0]->m_colorBack.SetBaseColor(RGB(0, 128, 255));
    CLumvexCtrl::g_helpLinks[3] = "https://example.com/colors";
    {
        D dlg(page.Get());
        ASSERT_TRUE(dlg.Create());
        show(dlg);
        click(dlg, COlePropertyPageEnh::kHelpButton);
        QTest::keyClick(item(dlg, 319), Qt::Key_F1);
        CLumvexCtrl::g_helpLinks[3].clear();
        click(dlg, COlePropertyPageEnh::kHelpButton);
        EXPECT_EQ(helpShown(),
                  (std::vector<std::string>{"link https://example.com/colors", "link https://example.com/colors",
                                            "html 153"}));
        EXPECT_TRUE(item(dlg, COlePropertyPageEnh::kHelpButton)->isVisible());
        screenshot(dlg, "color-settings");
    }

    openAsEditor(RGB(255, 255, 0), RGB(0, 0, 96));
    CLumvexCtrl::g_editButtonShow[0] = 0;
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);
    EXPECT_FALSE(item(dlg, COlePropertyPageEnh::kHelpButton)->isVisible());
    // F1 still asks for help: the host's, opened by EditProperties.
    QTest::keyClick(item(dlg, 319), Qt::Key_F1);
    EXPECT_EQ(helpShown().back(), "winhelp 133");
    EXPECT_EQ(dlg.GetSafeHwnd()->palette().color(QPalette::Window), QColor(0, 0, 96));
    EXPECT_EQ(item(dlg, 319)->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    // The swatch lies over its frame in the first button's colour.
    EXPECT_EQ(colourOver(dlg, D::IDC_SWATCH), rgbOf(RGB(0, 128, 255)));
    screenshot(dlg, "color-settings-editor");
}

} // namespace
