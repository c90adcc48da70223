// The tab control: switching by code or by the user raises Click with the
// tab that was in front, a handler may switch back, and each page shows its
// own controls only while its tab is in front.

#include "platform/controls/TabControl.h"

#include "platform/forms/Forms.h"
#include "platform/testing/Screenshots.h"

#include <QCoreApplication>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class frmTabsHost : public forms::FormOf<frmTabsHost> {
public:
    frmTabsHost() : FormOf("frmTabsHost")
    {
        SetCaption("Store Information");
        Move(0, 0, 7800, 3600);
        SSTab1.Move(120, 120, 7400, 2800);
        const char* captions[] = {"Store", "Property Manager", "Lease Info", "Lease Info (Cont)"};
        for (int i = 0; i < 4; ++i)
            SSTab1.SetTabCaption(i, captions[i]);
        lblName.SetCaption("Name:");
        lblName.Move(120, 240, 900, 300);
        txtStoreName.Move(1100, 200, 3000, 330);
        txtStoreName.SetText("Main Street");
        txtInitTerm.Move(1100, 200, 900, 330);
    }
    controls::TabControl SSTab1{*this, "SSTab1", -1, 4};
    forms::Label lblName{SSTab1.TabPage(0), "lblName"};
    forms::TextBox txtStoreName{SSTab1.TabPage(0), "txtStoreName"};
    forms::TextBox txtInitTerm{SSTab1.TabPage(2), "txtInitTerm"};
};

class TabControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = &frmTabsHost::Instance();
        form->Show();
        tabs().Click = [this](int PreviousTab) {
            events.push_back(std::to_string(PreviousTab) + "->" + std::to_string(tabs().Tab()));
        };
    }
    void TearDown() override { forms::ResetForms(); }
    controls::TabControl& tabs() { return form->SSTab1; }
    void clickTab(int i)
    {
        auto* bar = tabs().Widget()->findChild<QTabBar*>();
        ASSERT_NE(bar, nullptr);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(i).center());
    }
    frmTabsHost* form = nullptr;
    std::vector<std::string> events;
};

TEST_F(TabControlTest, SwitchingRaisesClickWithThePreviousTab)
{
    EXPECT_EQ(tabs().Tabs(), 4);
    EXPECT_EQ(tabs().Tab(), 0);
    EXPECT_EQ(tabs().TabCaption(3), "Lease Info (Cont)");
    tabs().SetTab(2);
    tabs().SetTab(2); // already in front: nothing
    clickTab(1);
    clickTab(1);
    EXPECT_EQ(events, (std::vector<std::string>{"0->2", "2->1"}));
    try {
        tabs().SetTab(4);
        ADD_FAILURE();
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), 380);
    }
    EXPECT_THROW(tabs().SetTabCaption(-1, "x"), vb::RuntimeError);
    EXPECT_THROW(tabs().SetTabs(0), vb::RuntimeError);
    EXPECT_EQ(tabs().Tab(), 1);
}

TEST_F(TabControlTest, AHandlerMaySwitchBack)
{
    // As the store editor refuses the lease tabs while a new store is unsaved.
    tabs().Click = [this](int PreviousTab) {
        events.push_back(std::to_string(PreviousTab) + "->" + std::to_string(tabs().Tab()));
        if (tabs().Tab() >= 2)
            tabs().SetTab(PreviousTab);
    };
    clickTab(3);
    EXPECT_EQ(tabs().Tab(), 0);
    auto* bar = tabs().Widget()->findChild<QTabBar*>();
    EXPECT_EQ(bar->currentIndex(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"0->3", "3->0"}));

    // An error in the handler of a user's switch stops at the event loop's door.
    tabs().Click = [](int) { vb::Raise(5); };
    int number = 0;
    vb::SetUnhandledErrorHandler([&](const vb::RuntimeError& e) { number = e.Number(); });
    clickTab(1);
    vb::SetUnhandledErrorHandler(nullptr);
    EXPECT_EQ(number, 5);
    EXPECT_EQ(tabs().Tab(), 1);
}

TEST_F(TabControlTest, EachPageShowsItsOwnControls)
{
    EXPECT_TRUE(form->txtStoreName.Widget()->isVisible());
    EXPECT_FALSE(form->txtInitTerm.Widget()->isVisible());
    tabs().SetTab(2);
    EXPECT_FALSE(form->txtStoreName.Widget()->isVisible());
    EXPECT_TRUE(form->txtInitTerm.Widget()->isVisible());
    EXPECT_DOUBLE_EQ(form->txtInitTerm.Left(), 1100);

    // Fewer tabs keep the pages' controls alive, unseen.
    tabs().SetTabs(2);
    EXPECT_EQ(tabs().Tabs(), 2);
    EXPECT_LT(tabs().Tab(), 2);
    form->txtInitTerm.SetText("5");
    EXPECT_EQ(form->txtInitTerm.Text(), "5");
    tabs().SetTabs(4);
    EXPECT_EQ(tabs().TabCaption(3), "Lease Info (Cont)");
    tabs().SetTab(0);

    tv::testing::SaveScreenshot(tv::testing::CheckedPicture(form->hWnd(), "tab_control"), "tab_control");
}

} // namespace
