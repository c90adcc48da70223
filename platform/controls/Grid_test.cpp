// The grid's members as the windows use them: the order of the cell events
// whoever moves the current cell, sizes and formatting, scrolling, and the
// mouse and arrow keys.

#include "platform/controls/Grid.h"

#include "platform/forms/Forms.h"

#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class frmGridHost : public forms::FormOf<frmGridHost> {
public:
    frmGridHost() : FormOf("frmGridHost") { FlxGd.Move(0, 0, 6000, 2400); }
    controls::Grid FlxGd{*this, "FlxGd"};
};

class GridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = &frmGridHost::Instance();
        form->Show();
        g().SetRows(10);
        g().SetCols(4);
        g().EnterCell = [this] { note("enter "); };
        g().LeaveCell = [this] { note("leave "); };
    }
    void note(const std::string& what)
    {
        if (!quiet)
            events.push_back(what + cellName());
    }
    void TearDown() override { forms::ResetForms(); }
    controls::Grid& g() { return form->FlxGd; }
    std::string cellName() { return std::to_string(g().Row()) + "," + std::to_string(g().Col()); }
    // The centre of a visible cell, in pixels of the grid's window.
    QPoint centreOf(long row, long col)
    {
        const long r = g().Row();
        const long c = g().Col();
        quiet = true;
        g().Select(row, col);
        const QPoint p(static_cast<int>((g().CellLeft() + g().CellWidth() / 2) / 15),
                       static_cast<int>((g().CellTop() + g().CellHeight() / 2) / 15));
        g().Select(r, c);
        quiet = false;
        return p;
    }
    frmGridHost* form = nullptr;
    std::vector<std::string> events;
    bool quiet = false;
};

TEST_F(GridTest, MovesRaiseLeaveOnTheOldCellThenEnterOnTheNew)
{
    EXPECT_EQ(g().Row(), 1);
    EXPECT_EQ(g().Col(), 1);
    g().SetRow(3);
    g().SetCol(2); // two moves
    g().Select(5, 3); // one move
    g().Select(5, 3); // no move, no events
    g().SetRow(0);
    EXPECT_EQ(events, (std::vector<std::string>{"leave 1,1", "enter 3,1", "leave 3,1", "enter 3,2", "leave 3,2",
                                                "enter 5,3", "leave 5,3", "enter 0,3"}));
    events.clear();
    try {
        g().SetRow(10);
        ADD_FAILURE();
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), 380);
    }
    EXPECT_THROW(g().Select(1, 4), vb::RuntimeError);
    EXPECT_THROW(g().SetCol(-1), vb::RuntimeError);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(g().Row(), 0);
}

TEST_F(GridTest, TextsFormattingAndSizes)
{
    g().SetTextMatrix(2, 3, "$1,200.00");
    g().Select(2, 3);
    EXPECT_EQ(g().Text(), "$1,200.00");
    g().SetText("x");
    EXPECT_EQ(g().TextMatrix(2, 3), "x");
    try {
        g().TextMatrix(10, 0);
        ADD_FAILURE();
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), 381);
    }

    // Data cells default to the window colour, headings to the button face.
    EXPECT_EQ(g().CellBackColor(), forms::vbWindowBackground);
    g().SetCellBackColor(forms::RGB(255, 255, 192));
    g().SetCellFontBold(true);
    EXPECT_EQ(g().CellBackColor(), forms::RGB(255, 255, 192));
    EXPECT_TRUE(g().CellFontBold());
    g().Select(0, 1);
    EXPECT_EQ(g().CellBackColor(), forms::vbButtonFace);
    EXPECT_FALSE(g().CellFontBold());

    // Growing keeps the texts; shrinking brings the current cell into range
    // without events.
    g().Select(9, 3);
    events.clear();
    g().SetRows(12);
    g().SetCols(6);
    EXPECT_EQ(g().TextMatrix(2, 3), "x");
    g().SetRows(3);
    g().SetCols(2);
    EXPECT_EQ(g().Row(), 2);
    EXPECT_EQ(g().Col(), 1);
    EXPECT_TRUE(events.empty());
    EXPECT_THROW(g().SetRows(0), vb::RuntimeError);
    g().SetRows(1); // only the heading row: allowed
    EXPECT_EQ(g().Row(), 0);
    g().SetRows(4);
    EXPECT_EQ(g().TextMatrix(3, 1), "");

    g().SetColWidth(0, 1500);
    EXPECT_DOUBLE_EQ(g().ColWidth(0), 1500);
    g().SetColAlignment(1, controls::flexAlignLeftTop);
    EXPECT_EQ(g().ColAlignment(1), 0);
    EXPECT_THROW(g().SetColAlignment(1, 10), vb::RuntimeError);

    // Clear empties texts and formatting, not the layout.
    g().SetTextMatrix(1, 1, "a");
    g().Select(1, 1);
    g().SetCellBackColor(forms::RGB(255, 0, 0));
    g().Clear();
    EXPECT_EQ(g().TextMatrix(1, 1), "");
    EXPECT_EQ(g().CellBackColor(), forms::vbWindowBackground);
    EXPECT_EQ(g().Rows(), 4);
    EXPECT_DOUBLE_EQ(g().ColWidth(0), 1500);
}

TEST_F(GridTest, CellPositionsFollowWidthsHeightsAndScrolling)
{
    g().SetColWidth(0, 1500);
    g().SetColWidth(1, 900);
    g().SetRowHeightMin(450);
    g().SetRows(40);
    g().Select(2, 2);
    EXPECT_DOUBLE_EQ(g().CellLeft(), 2400);
    EXPECT_DOUBLE_EQ(g().CellTop(), 900);
    EXPECT_DOUBLE_EQ(g().CellWidth(), 960);
    EXPECT_DOUBLE_EQ(g().CellHeight(), 450);

    // The heading row stays; scrolled rows move up under it.
    g().SetTopRow(3);
    EXPECT_EQ(g().TopRow(), 3);
    EXPECT_DOUBLE_EQ(g().CellTop(), 0); // one row above the first shown: 450 - 450
    g().Select(6, 2);
    EXPECT_DOUBLE_EQ(g().CellTop(), 450 + 3 * 450);
    g().Select(0, 2);
    EXPECT_DOUBLE_EQ(g().CellTop(), 0);

    // EnsureVisible scrolls the least needed: 2400 twips show the heading and four rows.
    g().EnsureVisible(20, 1);
    EXPECT_GT(g().TopRow(), 3);
    g().Select(20, 1);
    EXPECT_LE(g().CellTop() + g().CellHeight(), 2400);
    EXPECT_GT(g().CellTop() + 2 * g().CellHeight(), 2400 - 450);
    g().EnsureVisible(1, 1);
    EXPECT_EQ(g().TopRow(), 1);
}

TEST_F(GridTest, TheMouseAndTheArrowsMoveTheCurrentCell)
{
    g().Click = [&] { events.push_back("click " + cellName()); };
    QTest::mouseClick(g().Widget(), Qt::LeftButton, {}, centreOf(3, 2));
    EXPECT_EQ(events, (std::vector<std::string>{"leave 1,1", "enter 3,2", "click 3,2"}));

    // A heading is not a cell to edit: the current cell stays.
    events.clear();
    QTest::mouseClick(g().Widget(), Qt::LeftButton, {}, centreOf(0, 1));
    EXPECT_EQ(events, (std::vector<std::string>{"click 3,2"}));

    events.clear();
    QTest::keyClick(g().Widget(), Qt::Key_Down);
    QTest::keyClick(g().Widget(), Qt::Key_Left);
    QTest::keyClick(g().Widget(), Qt::Key_Left); // stops at the heading column
    EXPECT_EQ(events, (std::vector<std::string>{"leave 3,2", "enter 4,2", "leave 4,2", "enter 4,1"}));

    // A key a handler swallows does not move.
    events.clear();
    g().KeyDown = [](int& KeyCode, int&) { KeyCode = 0; };
    QTest::keyClick(g().Widget(), Qt::Key_Down);
    EXPECT_TRUE(events.empty());
}

TEST_F(GridTest, ANewCellOutOfViewIsScrolledIn)
{
    g().SetRows(60);
    g().Select(1, 1);
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(g().Widget(), Qt::Key_Down);
    EXPECT_EQ(g().Row(), 21);
    EXPECT_GT(g().TopRow(), 1);
    EXPECT_LE(g().CellTop() + g().CellHeight(), 2400);
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(g().Widget(), Qt::Key_Up);
    EXPECT_EQ(g().TopRow(), 1);
}

} // namespace
