#include "program/shell/frmTip.h"

#include "platform/basic/ProgramSettings.h"
#include "platform/report/DataEnvironment.h"
#include "platform/basic/Random.h"
#include "program/services/Mod_Registry.h"
#include "program/shell/Mod_tallyvane.h"
#include "program/shell/ScreenCommands.h"
#include "program/shell/ShellTestSupport.h"
#include "program/shell/frmMain.h"
#include "program/shell/frmTallyvane.h"

#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

using Mod_Registry::kProgramKey;
using winreg::HKEY_CURRENT_USER;

class TipOfTheDay : public tv::testing::ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        // The light bulb, shipped beside the program.
        std::filesystem::copy_file(std::filesystem::path(TV_DATA_DIR) / "LightBulb.png",
                                   root.InstallFolder() / "LightBulb.png");
    }
    void TearDown() override
    {
        report::ResetDataEnvironment1();
        ShellFixture::TearDown();
        vb::SetRandomSource(nullptr);
    }

    std::shared_ptr<vb::ScriptedRandom> script(std::vector<float> numbers)
    {
        auto s = std::make_shared<vb::ScriptedRandom>(std::move(numbers));
        vb::SetRandomSource(s);
        return s;
    }

    static std::string registryShowTips()
    {
        return Mod_Registry::ReadRegValue(HKEY_CURRENT_USER, kProgramKey, "ShowTips");
    }
    static std::string boxSetting() { return vb::GetSetting("Tallyvane", "frmTip", "ShowTips", "<none>"); }

    static void click(forms::Control& control) { QTest::mouseClick(control.Widget(), Qt::LeftButton); }
    // A hosted button is clicked in its own window.
    static void click(Lumvex& button) { QTest::mouseClick(button.Window(), Qt::LeftButton); }

    // Whether the label shows tip n (1 to 6): the list's entry, which opens
    // with that tip's own words.
    static bool showsTip(const frmTip& tip, int n)
    {
        static const char* const kOpenings[] = {"Once a report", "To exit from", "The icons which",
                                                "To delete a property", "The report heading", "Change the default"};
        const std::string shown = tip.lblTipText.Caption();
        return n >= 1 && n <= 6 && tip.TipIndex == n && tip.TipList.size() == 6u && shown == tip.TipList[n - 1]
            && shown.starts_with(kOpenings[n - 1]);
    }
};

TEST_F(TipOfTheDay, ASeededGeneratorShowsItsTipWithTheBoxTicked)
{
    vb::SaveSetting("Tallyvane", "frmTip", "ShowTips", "False");
    auto numbers = script({0.5f});
    ScreenCommands::ShowTip();

    frmTip* tip = frmTip::IfLoaded();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->Visible());
    EXPECT_EQ(tip->Caption(), "Tip of the Day");
    EXPECT_EQ(numbers->seeds.size(), 1u) << "the load seeds the generator";
    EXPECT_EQ(tip->TipCount, 6);
    EXPECT_TRUE(showsTip(*tip, 4));
    EXPECT_EQ(tip->chkLoadTipsAtStartup.Value(), forms::vbChecked);
    EXPECT_EQ(boxSetting(), "True");
    EXPECT_EQ(registryShowTips(), "True");

    // The design's inner size, and the tip wrapped inside its label.
    EXPECT_EQ(tip->ScaleWidth(), 361);
    EXPECT_EQ(tip->ScaleHeight(), 219);
    EXPECT_FALSE(tip->hWnd()->windowIcon().isNull());
    EXPECT_TRUE(tip->lblTipText.WordWrap());
    QWidget* box = tip->chkLoadTipsAtStartup.Widget();
    EXPECT_GE(box->width(), box->sizeHint().width()) << "the caption is cut";
    Grab(tip->hWnd(), QStringLiteral("frmTip"));
}

TEST_F(TipOfTheDay, NextTipDrawsAgainAndMayRepeatATip)
{
    // Every tip from its share of the numbers; a number just below one is
    // still the last tip.
    script({0.0f, 0.99999994f, 0.99999994f, 0.2f, 0.34f, 0.5f, 0.7f, 0.0f});
    ScreenCommands::ShowTip();
    frmTip& tip = *frmTip::IfLoaded();
    std::vector<int> shown{tip.TipIndex};
    for (int i = 0; i < 7; ++i) {
        click(tip.cmdNextTip);
        shown.push_back(tip.TipIndex);
        EXPECT_TRUE(showsTip(tip, tip.TipIndex));
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 6, 6, 2, 3, 4, 5, 1}));

    // OK closes it; the next showing is a fresh window with a fresh draw.
    click(tip.cmdOK);
    EXPECT_EQ(frmTip::IfLoaded(), nullptr);
    script({0.9f});
    ScreenCommands::ShowTip();
    ASSERT_NE(frmTip::IfLoaded(), nullptr);
    EXPECT_TRUE(showsTip(*frmTip::IfLoaded(), 6));
}

TEST_F(TipOfTheDay, RealDrawsStayInTheListAndReachEveryTip)
{
    ScreenCommands::ShowTip();
    frmTip& tip = *frmTip::IfLoaded();
    std::set<int> seen;
    for (int i = 0; i < 1000; ++i) {
        tip.cmdNextTip_Click();
        ASSERT_GE(tip.TipIndex, 1);
        ASSERT_LE(tip.TipIndex, 6);
        seen.insert(tip.TipIndex);
        ASSERT_TRUE(showsTip(tip, tip.TipIndex));
    }
    EXPECT_EQ(seen.size(), 6u);
}

TEST_F(TipOfTheDay, ADamagedLightBulbLeavesTheTipReadable)
{
    // Cut short in the middle of its picture data.
    const std::filesystem::path bulb = root.InstallFolder() / "LightBulb.png";
    std::filesystem::resize_file(bulb, std::filesystem::file_size(bulb) / 2);
    script({0.2f});
    ScreenCommands::ShowTip();
    ASSERT_NE(frmTip::IfLoaded(), nullptr);
    EXPECT_TRUE(frmTip::IfLoaded()->Picture1.Picture().isNull());
    EXPECT_TRUE(showsTip(*frmTip::IfLoaded(), 2));
}

TEST_F(TipOfTheDay, TheBoxDecidesWhetherTheNextStartShowsATip)
{
    // A fresh install shows the tip at start-up.
    ASSERT_TRUE(Mod_tallyvane::Main());
    frmTip* tip = frmTip::IfLoaded();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->Visible());

    click(tip->chkLoadTipsAtStartup);
    EXPECT_EQ(tip->chkLoadTipsAtStartup.Value(), forms::vbUnchecked);
    EXPECT_EQ(registryShowTips(), "False");
    EXPECT_EQ(boxSetting(), "False");
    click(tip->chkLoadTipsAtStartup);
    EXPECT_EQ(registryShowTips(), "True");
    EXPECT_EQ(boxSetting(), "True");
    click(tip->chkLoadTipsAtStartup);
    EXPECT_EQ(registryShowTips(), "False");

    // Quit, then start again: the main window, no tip.
    frmMain::Instance().TrayMenuCommand("QUIT");
    EXPECT_EQ(forms::Forms().Count(), 0);
    ASSERT_TRUE(Mod_tallyvane::Main());
    EXPECT_NE(frmTallyvane::IfLoaded(), nullptr);
    EXPECT_EQ(frmTip::IfLoaded(), nullptr);
    EXPECT_EQ(registryShowTips(), "False");
}

} // namespace
