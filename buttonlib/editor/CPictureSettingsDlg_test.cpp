// The picture placement dialog on three buttons placed differently: the
// nine places, the checks, the offsets with their arrows and typing, the
// transparent colour and its mode, help and the editor's look.

#include "buttonlib/editor/CPictureSettingsDlg.h"

#include "buttonlib/editor/SettingsDialogTestSupport.h"

namespace {

using D = CPictureSettingsDlg;

class PictureSettingsTest : public settingstest::SettingsDialogTest {
protected:
    void SetUp() override
    {
        SettingsDialogTest::SetUp();
        const short positions[] = {4, 2, 7};
        const short xs[] = {99, -5, 17};
        const short ys[] = {3, 40, -60};
        for (int b = 0; b < kControls; ++b) {
            CLumvexCtrl& c = *buttons[b];
            c.SetPicturePosition(positions[b]);
            c.SetPictureXOffset(xs[b]);
            c.SetPictureYOffset(ys[b]);
            c.SetPictureTranspMode(short(b % 2));
            c.SetPictureTranspColor(RGB(0, 160, 40 * b));
            c.SetMovePictureOnPress(b != 1);
            c.SetPictureKeepRatio(b == 1);
            c.SetButtonCustomFitPicture(b == 2);
        }
        settle();
    }

    template <class Get>
    std::array<int, kControls> each(Get get)
    {
        return {int(get(*buttons[0])), int(get(*buttons[1])), int(get(*buttons[2]))};
    }
    std::array<int, kControls> xs() { return each([](CLumvexCtrl& c) { return c.GetPictureXOffset(); }); }
    std::array<int, kControls> ys() { return each([](CLumvexCtrl& c) { return c.GetPictureYOffset(); }); }
    static constexpr std::array<int, kControls> all(int v) { return {v, v, v}; }
};

TEST_F(PictureSettingsTest, OpeningWritesNothingAndShowsTheFirstButton)
{
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);
    EXPECT_EQ(modified(), (std::array<BOOL, kControls>{FALSE, FALSE, FALSE}));
    EXPECT_EQ(xs(), (std::array<int, kControls>{99, -5, 17}));
    EXPECT_EQ(ys(), (std::array<int, kControls>{3, 40, -60}));
    EXPECT_EQ(text(dlg, D::IDC_X_OFFSET), "99");
    EXPECT_EQ(text(dlg, D::IDC_Y_OFFSET), "3");
    EXPECT_TRUE(item<QAbstractButton>(dlg, 256)->isChecked());
    EXPECT_TRUE(item<QAbstractButton>(dlg, D::IDC_TRANSP_COLOR)->isChecked());
    EXPECT_TRUE(item<QAbstractButton>(dlg, D::IDC_MOVE_ON_PRESS)->isChecked());
    EXPECT_FALSE(item<QAbstractButton>(dlg, D::IDC_KEEP_RATIO)->isChecked());
    EXPECT_FALSE(item<QAbstractButton>(dlg, D::IDC_FIT_CUSTOM)->isChecked());
    EXPECT_EQ(colourOver(dlg, D::IDC_SWATCH), rgbOf(RGB(0, 160, 0)));
    EXPECT_EQ(dlg.GetSafeHwnd()->windowTitle(), "Pictures and animations settings");
}

TEST_F(PictureSettingsTest, PlacesChecksAndModeReachEveryButtonAndRepaintIt)
{
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);
    settle();

    // The top-left place is value 1.
    click(dlg, 253);
    EXPECT_EQ(each([](CLumvexCtrl& c) { return c.GetPicturePosition(); }), all(1));
    for (int p : paints())
        EXPECT_GT(p, 0);
    // The radio's place in its group is the value, centre first.
    for (int k = 0; k <= 8; ++k) {
        click(dlg, D::IDC_POSITION_FIRST + k);
        EXPECT_EQ(each([](CLumvexCtrl& c) { return c.GetPicturePosition(); }), all(k)) << k;
    }

    struct Check {
        int id;
        BOOL (CLumvexCtrl::*get)() const;
    };
    for (const Check& check : {Check{D::IDC_MOVE_ON_PRESS, &CLumvexCtrl::GetMovePictureOnPress},
                               Check{D::IDC_KEEP_RATIO, &CLumvexCtrl::GetPictureKeepRatio},
                               Check{D::IDC_FIT_CUSTOM, &CLumvexCtrl::GetButtonCustomFitPicture}}) {
        SCOPED_TRACE(check.id);
        const int wanted = item<QAbstractButton>(dlg, check.id)->isChecked() ? 0 : 1;
        click(dlg, check.id);
        EXPECT_EQ(each([&](CLumvexCtrl& c) { return (c.*check.get)(); }), all(wanted));
    }

    // The left-top pixel's colour: the swatch keeps showing the property.
    settle();
    click(dlg, D::IDC_TRANSP_PIXEL);
    EXPECT_EQ(each([](CLumvexCtrl& c) { return c.GetPictureTranspMode(); }), all(1));
    for (int p : paints())
        EXPECT_GT(p, 0);
    EXPECT_EQ(colourOver(dlg, D::IDC_SWATCH), rgbOf(RGB(0, 160, 0)));
    EXPECT_EQ(each([](CLumvexCtrl& c) { return c.GetPictureTranspColor(); }),
              (std::array<int, kControls>{RGB(0, 160, 0), RGB(0, 160, 40), RGB(0, 160, 80)}));
    click(dlg, D::IDC_TRANSP_COLOR);
    EXPECT_EQ(each([](CLumvexCtrl& c) { return c.GetPictureTranspMode(); }), all(0));

    // A new transparent colour for all; a cancelled dialog changes nothing.
    dialogs->colors.push_back(RGB(250, 0, 250));
    click(dlg, D::IDC_CHANGE);
    EXPECT_EQ(dialogs->colorRequests.back(), RGB(0, 160, 0));
    EXPECT_EQ(each([](CLumvexCtrl& c) { return c.GetPictureTranspColor(); }), all(RGB(250, 0, 250)));
    EXPECT_EQ(colourOver(dlg, D::IDC_SWATCH), rgbOf(RGB(250, 0, 250)));
    settle();
    click(dlg, D::IDC_CHANGE);
    EXPECT_EQ(dialogs->colorRequests.back(), RGB(250, 0, 250));
    EXPECT_EQ(each([](CLumvexCtrl& c) { return c.GetPictureTranspColor(); }), all(RGB(250, 0, 250)));
    EXPECT_EQ(modified(), (std::array<BOOL, kControls>{FALSE, FALSE, FALSE}));
    EXPECT_TRUE(boxes->shown.empty());
}

TEST_F(PictureSettingsTest, OffsetsFromTheArrowsAndFromTyping)
{
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);

    // At 99 the up arrow moves nothing; down writes 98 everywhere.
    arrow(dlg, D::IDC_X_SPIN, "up");
    EXPECT_EQ(text(dlg, D::IDC_X_OFFSET), "99");
    EXPECT_EQ(xs(), (std::array<int, kControls>{99, -5, 17}));
    settle();
    arrow(dlg, D::IDC_X_SPIN, "down");
    EXPECT_EQ(xs(), all(98));
    for (int p : paints())
        EXPECT_GT(p, 0);

    // Typing: each change reads every item back; the Y edit's number goes
    // to every button, the X one is written again as it stands.
    type(dlg, D::IDC_Y_OFFSET, "7");
    EXPECT_EQ(ys(), all(7));
    EXPECT_EQ(xs(), all(98));
    // A lone minus sign is no number yet: the integer message, and nothing
    // is written.
    type(dlg, D::IDC_Y_OFFSET, "-");
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_EQ(boxes->shown[0].text, "Please enter an integer.");
    EXPECT_EQ(ys(), all(7));
    EXPECT_TRUE(boxes->shown.size() == 1);
}

TEST_F(PictureSettingsTest, HelpAndTheEditorsLook)
{
    SetDialogBaseUnits(std::nullopt);
    buttons[0]->SetPictureTranspColor(RGB(255, 0, 255));
    CLumvexCtrl::g_helpLinks[3] = "https://example.com/pictures";
    {
        D dlg(page.Get());
        ASSERT_TRUE(dlg.Create());
        show(dlg);
        click(dlg, COlePropertyPageEnh::kHelpButton);
        CLumvexCtrl::g_helpLinks[3].clear();
        click(dlg, COlePropertyPageEnh::kHelpButton);
        EXPECT_EQ(helpShown(), (std::vector<std::string>{"link https://example.com/pictures", "html 155"}));
        screenshot(dlg, "picture-settings");
    }

    openAsEditor(RGB(0, 0, 0), RGB(200, 230, 255));
    D dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    show(dlg);
    EXPECT_EQ(dlg.GetSafeHwnd()->windowTitle(), "Pictures settings");
    EXPECT_EQ(dlg.GetSafeHwnd()->palette().color(QPalette::Window), QColor(200, 230, 255));
    EXPECT_TRUE(item(dlg, COlePropertyPageEnh::kHelpButton)->isVisible());
    click(dlg, COlePropertyPageEnh::kHelpButton);
    EXPECT_EQ(helpShown().back(), "winhelp 135");
    EXPECT_EQ(colourOver(dlg, D::IDC_SWATCH), rgbOf(RGB(255, 0, 255)));
    screenshot(dlg, "picture-settings-editor");
}

} // namespace
