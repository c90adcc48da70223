#include "platform/controls/GridEditor.h"

#include "platform/forms/Keys.h"

#include <algorithm>

namespace controls {

namespace {

// Characters a cell takes: not the control codes Ctrl+letter gives, nor DEL.
bool printable(int keyAscii)
{
    return keyAscii >= 32 && keyAscii <= 255 && keyAscii != 127;
}

void dropLastCharacter(std::string& s)
{
    if (s.empty())
        return;
    size_t i = s.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        --i;
    s.erase(i);
}

} // namespace

GridEditor::GridEditor(Grid& grid, Hooks hooks)
    : grid_(grid)
    , hooks_(std::move(hooks))
{
    // The handlers outlive the editor harmlessly: once it is gone they do
    // nothing (a newer editor may have replaced them already).
    const std::weak_ptr<int> alive = alive_;
    grid_.EnterCell = [this, alive] {
        if (!alive.expired())
            enterCell();
    };
    grid_.LeaveCell = [this, alive] {
        if (!alive.expired())
            leaveCell();
    };
    grid_.KeyDown = [this, alive](int& keyCode, int& shift) {
        if (!alive.expired())
            keyDown(keyCode, shift);
    };
    grid_.KeyPress = [this, alive](int& keyAscii) {
        if (!alive.expired())
            keyPress(keyAscii);
    };
}

GridEditor::~GridEditor() = default;

bool GridEditor::idle() const
{
    return committing_ || (hooks_.suspended && hooks_.suspended());
}

bool GridEditor::inDataCell() const
{
    return grid_.Row() >= grid_.FixedRows() && grid_.Col() >= grid_.FixedCols();
}

void GridEditor::begin()
{
    editing_ = true;
    row_ = grid_.Row();
    col_ = grid_.Col();
    entry_ = grid_.Text();
    grid_.SetCellBackColor(kEditingColor);
}

// A key in a cell the program left current (after a fill) starts its edit.
void GridEditor::ensureEdit()
{
    if (!editing_ || row_ != grid_.Row() || col_ != grid_.Col())
        begin();
}

bool GridEditor::finish()
{
    if (!editing_)
        return true;
    editing_ = false;
    // The grid may have been resized under the edit: nothing left to commit.
    if (row_ != grid_.Row() || col_ != grid_.Col())
        return true;
    grid_.SetCellBackColor(forms::vbWindowBackground);
    if (grid_.Text() == entry_ || !hooks_.commit)
        return true;
    bool ok = false;
    {
        committing_ = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{committing_};
        ok = hooks_.commit(row_, col_, entry_);
    }
    if (!ok && row_ == grid_.Row() && col_ == grid_.Col())
        grid_.SetCellBackColor(kEditingColor);
    return ok;
}

void GridEditor::enterCell()
{
    if (idle()) {
        if (!committing_)
            editing_ = false;
        return;
    }
    editing_ = false;
    if (inDataCell())
        begin();
}

void GridEditor::leaveCell()
{
    if (committing_)
        return;
    if (hooks_.suspended && hooks_.suspended()) {
        editing_ = false;
        return;
    }
    finish();
}

void GridEditor::keyDown(int& keyCode, int shift)
{
    if (idle() || !inDataCell())
        return;
    ensureEdit();
    if (keyCode == forms::vbKeyDelete)
        grid_.SetText("");
    if (hooks_.keyDown)
        hooks_.keyDown(keyCode, shift);
}

void GridEditor::keyPress(int& keyAscii)
{
    if (idle())
        return;
    const int key = keyAscii;
    if (key == forms::vbKeyReturn) {
        // Also from a heading cell: it leads to the first data cell.
        keyAscii = 0;
        MoveToNextCell();
        return;
    }
    if (!inDataCell())
        return;
    ensureEdit();
    keyAscii = 0;
    if (key == forms::vbKeyBack) {
        std::string t = grid_.Text();
        dropLastCharacter(t);
        grid_.SetText(t);
    } else if (key == forms::vbKeyEscape) {
        grid_.SetText(entry_);
    } else if (printable(key)) {
        grid_.SetText(grid_.Text() + forms::AsciiText(key));
    }
}

void GridEditor::MoveToNextCell()
{
    const long rows = grid_.Rows();
    const long cols = grid_.Cols();
    const long firstRow = grid_.FixedRows();
    const long firstCol = grid_.FixedCols();
    if (rows <= firstRow || cols <= firstCol)
        return;
    long row = grid_.Row();
    long col = grid_.Col();
    if (row < firstRow || col < firstCol) {
        row = std::max(row, firstRow);
        col = firstCol;
    } else if (col < cols - 1) {
        ++col;
    } else {
        col = firstCol;
        row = row < rows - 1 ? row + 1 : firstRow;
    }
    const bool redraw = grid_.Redraw();
    grid_.SetRedraw(false);
    struct Restore {
        Grid& grid;
        bool redraw;
        ~Restore() { grid.SetRedraw(redraw); }
    } restore{grid_, redraw};
    grid_.Select(row, col);
    grid_.EnsureVisible(grid_.Row(), grid_.Col());
}

bool GridEditor::CommitCurrent()
{
    if (committing_)
        return true;
    return finish();
}

} // namespace controls
