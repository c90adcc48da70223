// The window helpers: the help opener, the shrink-on-close effect and the
// always-on-top switch.

#include "program/services/MBoxMod.h"
#include "program/services/Mod_Registry.h"
#include "program/services/Mod_SpecialFunctions.h"

#include "platform/forms/Form.h"
#include "platform/testing/TempRoot.h"
#include "platform/win/Desktop.h"
#include "platform/win/WindowPos.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <fstream>

namespace {

class frmShrink : public forms::FormOf<frmShrink> {
public:
    frmShrink() : FormOf("frmShrink") {}
};

void setScreenClose(const char* value)
{
    winreg::HKEY key = 0;
    ASSERT_EQ(winreg::RegCreateKeyEx(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, 0, winreg::KEY_ALL_ACCESS,
                                     &key, nullptr),
              0);
    winreg::RegCloseKey(key);
    Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "ScreenClose", value,
                                winreg::REG_SZ);
}

class WindowHelpers : public ::testing::Test {
protected:
    void TearDown() override { forms::ResetForms(); }
    tv::testing::TempRoot root;
};

TEST_F(WindowHelpers, CloseEffectShrinksTowardsTheCentreOnlyWhenSwitchedOn)
{
    frmShrink& f = frmShrink::Instance();
    f.Move(3000, 3000, 6000, 4500);
    Mod_SpecialFunctions::CloseEffect(f, 200); // ScreenClose missing
    EXPECT_EQ(f.Width(), 6000);
    setScreenClose("False");
    Mod_SpecialFunctions::CloseEffect(f, 200);
    EXPECT_EQ(f.Height(), 4500);

    setScreenClose("True");
    Mod_SpecialFunctions::CloseEffect(f, 150);
    EXPECT_LE(f.Width(), 1700);
    EXPECT_LE(f.Height(), 500);
    // Each step takes the same off every side: the centre stays put.
    EXPECT_NEAR(f.Left() + f.Width() / 2, 6000, 15);

    // Already small: nothing moves.
    f.Move(3000, 3000, 1500, 450);
    Mod_SpecialFunctions::CloseEffect(f, 150);
    EXPECT_EQ(f.Left(), 3000);
}

TEST_F(WindowHelpers, CloseEffectStopsAtALargeMinimumSize)
{
    setScreenClose("True");
    frmShrink& f = frmShrink::Instance();
    f.hWnd()->setMinimumSize(200, 100); // 3000 x 1500 twips, above both limits
    f.Move(0, 0, 9000, 6000);
    Mod_SpecialFunctions::CloseEffect(f, 50);
    EXPECT_EQ(f.Width(), 3000);
    EXPECT_EQ(f.Height(), 1500);
}

TEST_F(WindowHelpers, SetTopMostSwitchesTheWindowKind)
{
    frmShrink& f = frmShrink::Instance();
    f.Show();
    Mod_SpecialFunctions::SetTopMost(f.hWnd(), -1);
    EXPECT_TRUE(win::IsTopMost(f.hWnd()));
    EXPECT_TRUE(f.Visible());
    Mod_SpecialFunctions::SetTopMost(f.hWnd(), 1); // any other value: only to the front
    EXPECT_TRUE(win::IsTopMost(f.hWnd()));
    Mod_SpecialFunctions::SetTopMost(f.hWnd(), 0);
    EXPECT_FALSE(win::IsTopMost(f.hWnd()));
    EXPECT_TRUE(f.Visible());
}

TEST_F(WindowHelpers, HelpTopicsOpenFromTheProgramFolderAndAMissingPageIsNamed)
{
    auto opener = std::make_shared<win::FakeUrlOpener>();
    win::SetUrlOpener(opener);
    auto boxes = std::make_shared<MBoxMod::ScriptedMBox>();
    MBoxMod::SetPresenter(boxes);
    const auto help = root.ProgramFolder() / "tallyvanehelp";
    Mod_SpecialFunctions::ShowHelpTopic("Sales_Screen\\Sales_Screen.htm"); // no help installed
    const auto folder = help / "Sales_Screen";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Sales_Screen.htm") << "<html></html>";
    Mod_SpecialFunctions::ShowHelpTopic("Sales_Screen\\Sales_Screen.htm");
    Mod_SpecialFunctions::ShowHelpTopic(""); // the first page, not there either
    MBoxMod::SetPresenter(nullptr);
    win::SetUrlOpener(nullptr);
    ASSERT_EQ(opener->opened.size(), 1u);
    EXPECT_EQ(opener->opened[0], "file://" + (folder / "Sales_Screen.htm").string());
    ASSERT_EQ(boxes->shown.size(), 2u);
    EXPECT_EQ(boxes->shown[0].prompt,
              "The help page \"" + (folder / "Sales_Screen.htm").string() + "\" is not installed.");
    EXPECT_EQ(boxes->shown[1].prompt, "The help page \"" + (help / "index.htm").string() + "\" is not installed.");
}

} // namespace
