// The up-down arrows and the panel's press events, as the store editor uses
// them: arrows raise their own event only while usable; a press over a list
// entry names the entry before the mouse event, a right press does not click.

#include "platform/controls/SmartPanel.h"
#include "platform/controls/UpDown.h"

#include "platform/forms/Form.h"
#include "platform/forms/Keys.h"

#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class frmArrows : public forms::FormOf<frmArrows> {
public:
    frmArrows() : FormOf("frmArrows")
    {
        Move(0, 0, 4000, 4000);
        UpDown1.Move(120, 120, 255, 450);
        UpDown1.UpClick = [this] { heard.push_back("up"); };
        UpDown1.DownClick = [this] { heard.push_back("down"); };
        list.Move(600, 120, 3000, 2000);
        list.Items().Add("1", "Meridian", controls::smuiListItem);
        list.Items().Add("2", "O'Brien", controls::smuiListItem);
        list.ItemPress = [this](const std::string& key) { heard.push_back("press " + key); };
        list.ItemClick = [this](const std::string& key) { heard.push_back("click " + key); };
        list.MouseDown = [this](int button, int, float, float) { heard.push_back("down " + std::to_string(button)); };
    }
    controls::UpDown UpDown1{*this, "UpDown1"};
    controls::SmartPanel list{*this, "list"};
    std::vector<std::string> heard;
};

class UpDownTest : public ::testing::Test {
protected:
    void TearDown() override { forms::ResetForms(); }
};

TEST_F(UpDownTest, ArrowsRaiseTheirEventsOnlyWhileUsable)
{
    frmArrows& form = frmArrows::Instance();
    form.Show();
    auto buttons = form.UpDown1.Widget()->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    QTest::mouseClick(buttons[0], Qt::LeftButton);
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    form.UpDown1.ClickUp();
    EXPECT_EQ(form.heard, (std::vector<std::string>{"up", "down", "up"}));

    form.heard.clear();
    form.UpDown1.SetEnabled(false);
    form.UpDown1.ClickDown();
    form.UpDown1.SetEnabled(true);
    form.UpDown1.SetVisible(false);
    form.UpDown1.ClickDown();
    EXPECT_TRUE(form.heard.empty());
    // Tag and the tool tip are the control's own members.
    form.UpDown1.Tag = "3/10/2025";
    form.UpDown1.SetToolTipText("months");
    EXPECT_EQ(form.UpDown1.ToolTipText(), "months");
}

TEST_F(UpDownTest, APressNamesTheEntryBeforeTheMouseEventAndOnlyTheLeftButtonClicks)
{
    frmArrows& form = frmArrows::Instance();
    form.Show();
    form.list.Press("2", forms::vbRightButton);
    EXPECT_EQ(form.heard, (std::vector<std::string>{"press 2", "down 2"}));
    EXPECT_FALSE(form.list.Items().Item("2").Selected());

    form.heard.clear();
    form.list.Press("1", forms::vbLeftButton);
    EXPECT_EQ(form.heard, (std::vector<std::string>{"press 1", "down 1", "click 1"}));
    EXPECT_TRUE(form.list.Items().Item("1").Selected());
}

} // namespace
