// The keyboard model of the editable grids: Enter moves on, Delete clears,
// Esc restores, Backspace removes, only printable characters are typed, the
// cell being edited is light yellow, and the window's commit runs once per
// changed value and never for an untouched cell.

#include "platform/controls/GridEditor.h"

#include "platform/forms/Forms.h"
#include "platform/testing/Screenshots.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using controls::GridEditor;

class frmSheetHost : public forms::FormOf<frmSheetHost> {
public:
    frmSheetHost() : FormOf("frmSheetHost")
    {
        SetCaption("Worksheet");
        Move(0, 0, 6300, 3000);
        FlxGd.Move(60, 60, 6000, 2400);
    }
    controls::Grid FlxGd{*this, "FlxGd"};
};

struct Commit {
    long row;
    long col;
    std::string before;
    std::string after;
    bool operator==(const Commit&) const = default;
};

class GridEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = &frmSheetHost::Instance();
        form->Show();
        g().SetRows(4);
        g().SetCols(3);
        for (long r = 1; r < 4; ++r)
            g().SetTextMatrix(r, 0, std::to_string(2001 + r));
        g().SetTextMatrix(0, 1, "Monthly Rent");
        g().SetTextMatrix(0, 2, "Yearly Rent");
        editor = std::make_unique<GridEditor>(
            g(), GridEditor::Hooks{[this] { return filling; },
                                   [this](long row, long col, const std::string& before) {
                                       commits.push_back({row, col, before, g().Text()});
                                       return accept;
                                   },
                                   {}});
    }
    void TearDown() override
    {
        editor.reset();
        forms::ResetForms();
    }
    controls::Grid& g() { return form->FlxGd; }
    QWidget* w() { return g().Widget(); }
    void type(const char* text) { QTest::keyClicks(w(), QString::fromUtf8(text)); }
    void key(Qt::Key k) { QTest::keyClick(w(), k); }
    // A key event as the window system delivers it, with its own text.
    void rawKey(int k, Qt::KeyboardModifiers mods, const QString& text)
    {
        QKeyEvent press(QEvent::KeyPress, k, mods, text);
        QCoreApplication::sendEvent(w(), &press);
        QKeyEvent release(QEvent::KeyRelease, k, mods, text);
        QCoreApplication::sendEvent(w(), &release);
    }
    forms::OLE_COLOR colourOf(long row, long col)
    {
        const long r = g().Row();
        const long c = g().Col();
        filling = true;
        g().Select(row, col);
        const forms::OLE_COLOR colour = g().CellBackColor();
        g().Select(r, c);
        filling = false;
        return colour;
    }

    frmSheetHost* form = nullptr;
    std::unique_ptr<GridEditor> editor;
    std::vector<Commit> commits;
    bool filling = false;
    bool accept = true;
};

TEST_F(GridEditorTest, EnterWalksRightThenDownAndBackToTheFirstRow)
{
    g().Select(0, 0); // where the set-up leaves it
    std::vector<std::string> visited;
    for (int i = 0; i < 7; ++i) {
        key(Qt::Key_Return);
        visited.push_back(std::to_string(g().Row()) + "," + std::to_string(g().Col()));
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"1,1", "1,2", "2,1", "2,2", "3,1", "3,2", "1,1"}));
    EXPECT_TRUE(g().Redraw());
    EXPECT_TRUE(commits.empty()); // nothing typed, nothing committed
}

TEST_F(GridEditorTest, TheKeysOfACell)
{
    g().SetTextMatrix(1, 1, "$1,000.00");
    g().Select(1, 1);
    type("25");
    EXPECT_EQ(g().Text(), "$1,000.0025"); // typed characters are appended
    key(Qt::Key_Backspace);
    EXPECT_EQ(g().Text(), "$1,000.002");
    key(Qt::Key_Escape);
    EXPECT_EQ(g().Text(), "$1,000.00"); // back to what the cell held
    key(Qt::Key_Delete);
    EXPECT_EQ(g().Text(), "");
    key(Qt::Key_Escape);
    EXPECT_EQ(g().Text(), "$1,000.00");
    key(Qt::Key_Delete);
    rawKey(0, {}, QStringLiteral("é"));
    rawKey(0, {}, QStringLiteral("€"));
    type("x");
    key(Qt::Key_Backspace);
    key(Qt::Key_Backspace);
    EXPECT_EQ(g().Text(), "é"); // a whole character at a time
    key(Qt::Key_Backspace);
    key(Qt::Key_Backspace); // nothing left to remove
    EXPECT_EQ(g().Text(), "");

    // Control characters (Ctrl+V, Ctrl+A, a tab) are not typed.
    rawKey(Qt::Key_V, Qt::ControlModifier, QString(QChar(0x16)));
    rawKey(Qt::Key_A, Qt::ControlModifier, QString(QChar(0x01)));
    rawKey(Qt::Key_Tab, {}, QStringLiteral("\t"));
    type("7");
    EXPECT_EQ(g().Text(), "7");
    EXPECT_TRUE(commits.empty());
}

TEST_F(GridEditorTest, TheCellBeingEditedIsLightYellow)
{
    g().Select(2, 1);
    EXPECT_EQ(g().CellBackColor(), forms::RGB(255, 255, 192));
    key(Qt::Key_Return);
    EXPECT_EQ(colourOf(2, 1), forms::vbWindowBackground);
    EXPECT_EQ(g().CellBackColor(), GridEditor::kEditingColor);
    // Headings are never edited.
    g().Select(0, 1);
    EXPECT_EQ(g().CellBackColor(), forms::vbButtonFace);
    type("9");
    key(Qt::Key_Delete);
    EXPECT_EQ(g().TextMatrix(0, 1), "Monthly Rent");
    g().Select(2, 0);
    type("9");
    EXPECT_EQ(g().TextMatrix(2, 0), "2003");
}

TEST_F(GridEditorTest, CommitsOncePerChangedValueAndNeverForAnUntouchedCell)
{
    g().SetTextMatrix(1, 1, "$100.00");
    g().Select(1, 1);
    key(Qt::Key_Return); // walked through: no commit
    type("5");
    key(Qt::Key_Return); // (1,2) changed
    key(Qt::Key_Delete);
    key(Qt::Key_Escape);
    key(Qt::Key_Return); // (2,1) cleared and restored: unchanged
    key(Qt::Key_Delete);
    QTest::keyClick(w(), Qt::Key_Down); // (2,2) left by an arrow
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], (Commit{1, 2, "", "5"}));

    // An emptied cell that held something is a change.
    g().SetTextMatrix(3, 1, "$1.00");
    g().Select(3, 1);
    key(Qt::Key_Delete);
    key(Qt::Key_Return);
    ASSERT_EQ(commits.size(), 2u);
    EXPECT_EQ(commits[1], (Commit{3, 1, "$1.00", ""}));
    EXPECT_EQ(colourOf(3, 1), forms::vbWindowBackground);
}

TEST_F(GridEditorTest, CommitCurrentCommitsWithoutLeaving)
{
    g().Select(1, 1);
    type("12");
    EXPECT_TRUE(editor->CommitCurrent());
    EXPECT_EQ(commits.size(), 1u);
    EXPECT_EQ(g().CellBackColor(), forms::vbWindowBackground);
    EXPECT_TRUE(editor->CommitCurrent()); // nothing new
    key(Qt::Key_Return);
    EXPECT_EQ(commits.size(), 1u);

    // Typing again starts a new edit from the committed text.
    g().Select(1, 1);
    type("3");
    key(Qt::Key_Escape);
    EXPECT_EQ(g().Text(), "12");
    EXPECT_TRUE(editor->CommitCurrent());
    EXPECT_EQ(commits.size(), 1u);
}

TEST_F(GridEditorTest, ARefusedValueKeepsItsColour)
{
    accept = false;
    g().Select(1, 1);
    type("abc");
    EXPECT_FALSE(editor->CommitCurrent());
    EXPECT_EQ(g().CellBackColor(), GridEditor::kEditingColor);
    type("d");
    key(Qt::Key_Return);
    EXPECT_EQ(colourOf(1, 1), GridEditor::kEditingColor);
    EXPECT_EQ(commits.size(), 2u);
}

TEST_F(GridEditorTest, NothingHappensWhileTheWindowFillsTheGrid)
{
    filling = true;
    g().Select(2, 2);
    EXPECT_EQ(g().CellBackColor(), forms::vbWindowBackground);
    type("4");
    key(Qt::Key_Delete);
    g().Select(1, 1);
    EXPECT_EQ(g().TextMatrix(2, 2), "");
    filling = false;
    EXPECT_TRUE(commits.empty());

    // The cell the fill left current starts its edit with the first key.
    g().SetTextMatrix(1, 1, "$0.00");
    type("8");
    EXPECT_EQ(g().CellBackColor(), GridEditor::kEditingColor);
    key(Qt::Key_Return);
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], (Commit{1, 1, "$0.00", "$0.008"}));
}

TEST_F(GridEditorTest, TheCommitMayMoveTheCurrentCellItself)
{
    // A commit that writes the partner cell through the current cell (and
    // moves back) is not an edit of that cell.
    editor = std::make_unique<GridEditor>(g(), GridEditor::Hooks{{},
                                                                  [this](long row, long col, const std::string&) {
                                                                      commits.push_back({row, col, "", g().Text()});
                                                                      g().SetCol(2);
                                                                      g().SetText("partner");
                                                                      g().SetCol(col);
                                                                      return true;
                                                                  },
                                                                  {}});
    g().Select(1, 1);
    type("1");
    key(Qt::Key_Return);
    EXPECT_EQ(g().TextMatrix(1, 2), "partner");
    EXPECT_EQ(g().Row(), 1);
    EXPECT_EQ(g().Col(), 2);
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(colourOf(1, 2), GridEditor::kEditingColor);
}

TEST_F(GridEditorTest, TheWindowsOwnKeyRule)
{
    // The worksheet empties a zero amount at any key, an arrow included.
    editor = std::make_unique<GridEditor>(g(), GridEditor::Hooks{{},
                                                                  [this](long row, long col, const std::string& b) {
                                                                      commits.push_back({row, col, b, g().Text()});
                                                                      return true;
                                                                  },
                                                                  [this](int&, int) {
                                                                      if (g().Text() == "$0.00")
                                                                          g().SetText("");
                                                                  }});
    g().SetTextMatrix(1, 1, "$0.00");
    g().SetTextMatrix(1, 2, "$0.00");
    g().Select(1, 1);
    type("250");
    EXPECT_EQ(g().Text(), "250");
    g().Select(1, 2);
    QTest::keyClick(w(), Qt::Key_Down);
    EXPECT_EQ(g().TextMatrix(1, 2), "");
    EXPECT_EQ(commits, (std::vector<Commit>{{1, 1, "$0.00", "250"}, {1, 2, "$0.00", ""}}));
}

TEST_F(GridEditorTest, EnterScrollsTheNextCellIntoView)
{
    g().SetRows(40);
    g().Select(1, 2);
    for (int i = 0; i < 2 * 20; ++i)
        key(Qt::Key_Return);
    EXPECT_EQ(g().Row(), 21);
    EXPECT_GT(g().TopRow(), 1);
    EXPECT_LE(g().CellTop() + g().CellHeight(), g().Height());
    g().Select(39, 2);
    key(Qt::Key_Return);
    EXPECT_EQ(g().Row(), 1);
    EXPECT_EQ(g().TopRow(), 1);
}

TEST_F(GridEditorTest, PictureOfAGridWithACellBeingEdited)
{
    g().SetColWidth(0, 1200);
    g().SetColWidth(1, 2300);
    g().SetColWidth(2, 2300);
    filling = true;
    for (long c = 0; c < 3; ++c) {
        g().Select(0, c);
        g().SetCellFontBold(true);
    }
    g().SetTextMatrix(0, 0, "Year");
    g().SetTextMatrix(1, 1, "$1,500.00");
    g().SetTextMatrix(1, 2, "$18,000.00");
    g().SetTextMatrix(2, 2, "$1,200.00");
    filling = false;
    g().Select(2, 1);
    type("100");
    tv::testing::SaveScreenshot(tv::testing::CheckedPicture(form->hWnd(), "grid_editing"), "grid_editing");
}

} // namespace
