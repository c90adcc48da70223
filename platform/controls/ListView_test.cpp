// The list view in report view: columns with widths in twips, rows with a
// small icon by key and sub-items, the click on a row with its number and the
// mouse buttons before it.

#include "platform/controls/ListView.h"

#include "platform/controls/ImageList.h"
#include "platform/forms/Forms.h"
#include "platform/testing/TestSupport.h"

#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class frmListHost : public forms::FormOf<frmListHost> {
public:
    frmListHost() : FormOf("frmListHost")
    {
        Move(0, 0, 9000, 4000);
        lvwTasks.Move(120, 120, 8500, 3000);
        QPixmap report(16, 16);
        report.fill(Qt::blue);
        ImageList1.ListImages().Add("REPORT", report);
    }
    controls::ImageList ImageList1{*this, "ImageList1"};
    controls::ListView lvwTasks{*this, "lvwTasks"};
};

using tv::testing::ErrorOf;

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = &frmListHost::Instance();
        form->Show();
    }
    void TearDown() override { forms::ResetForms(); }
    controls::ListView& list() { return form->lvwTasks; }

    frmListHost* form = nullptr;
};

TEST_F(ListViewTest, ColumnsRowsIconsAndSubItems)
{
    auto& headers = list().ColumnHeaders();
    headers.Add("Task Name", 3000);
    headers.Add("Scheduled Date");
    EXPECT_EQ(headers.Count(), 2);
    EXPECT_EQ(headers(1).Text(), "Task Name");
    EXPECT_EQ(headers(2).Width(), 1440);
    headers(2).SetWidth(1995);
    EXPECT_EQ(headers(2).Width(), 1995);
    EXPECT_EQ(list().Tree()->columnWidth(1), 133);
    EXPECT_EQ(ErrorOf([&] { headers(2).SetWidth(-1); }), 380);
    EXPECT_EQ(ErrorOf([&] { headers(3); }), 35600);

    // Icons need the image list, and a key it holds.
    EXPECT_EQ(ErrorOf([&] { list().ListItems().Add("Base Rate Report", "REPORT"); }), 35613);
    EXPECT_EQ(list().ListItems().Count(), 0);
    EXPECT_EQ(list().Tree()->topLevelItemCount(), 0);
    list().SetSmallIcons(&form->ImageList1);
    EXPECT_EQ(ErrorOf([&] { list().ListItems().Add("x", "TASK"); }), 35601);
    EXPECT_EQ(list().Tree()->topLevelItemCount(), 0);

    auto& first = list().ListItems().Add("Base Rate Report", "REPORT");
    first.SetSubItem(1, "3/10/2025");
    auto& second = list().ListItems().Add("Renewal: Main Street");
    EXPECT_EQ(first.Index(), 1);
    EXPECT_EQ(second.Index(), 2);
    EXPECT_EQ(first.SmallIcon(), "REPORT");
    EXPECT_FALSE(list().Tree()->topLevelItem(0)->icon(0).isNull());
    EXPECT_TRUE(list().Tree()->topLevelItem(1)->icon(0).isNull());
    EXPECT_EQ(first.SubItem(1), "3/10/2025");
    EXPECT_EQ(second.SubItem(1), "");
    // Sub-items stop one short of the columns.
    EXPECT_EQ(ErrorOf([&] { first.SetSubItem(2, "x"); }), 380);
    EXPECT_EQ(ErrorOf([&] { first.SubItem(0); }), 380);

    list().ListItems().Clear();
    EXPECT_EQ(list().ListItems().Count(), 0);
    EXPECT_EQ(list().Tree()->topLevelItemCount(), 0);
    EXPECT_EQ(ErrorOf([&] { list().ListItems()(1); }), 35600);
    headers.Clear();
    EXPECT_EQ(headers.Count(), 0);
    EXPECT_TRUE(list().Tree()->isHeaderHidden());
}

TEST_F(ListViewTest, ALeftClickOnARowRaisesItsNumberAfterMouseDown)
{
    list().ColumnHeaders().Add("Task Name", 4000);
    list().ColumnHeaders().Add("Frequency", 2000);
    for (const char* name : {"one", "two", "three"})
        list().ListItems().Add(name);

    std::vector<std::string> events;
    list().MouseDown = [&](int button, int, float x, float y) {
        events.push_back("down " + std::to_string(button));
        EXPECT_GT(x, 0);
        EXPECT_GT(y, 0);
    };
    list().ItemClick = [&](controls::ListItem& item) {
        events.push_back("item " + std::to_string(item.Index()) + " " + item.Text());
    };
    QTreeWidget* tree = list().Tree();
    const QPoint third = tree->visualItemRect(tree->topLevelItem(2)).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, third);
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, third);
    // Below the last row: the button, no row.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(third.x(), tree->viewport()->height() - 3));
    EXPECT_EQ(events, (std::vector<std::string>{"down 1", "item 3 three", "down 2", "down 1"}));
}

} // namespace
