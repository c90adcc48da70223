#pragma once
// The one keyboard model of the program's editable grids (the rent
// worksheets and the sales grid). Attached to a grid, it takes the grid's
// EnterCell, LeaveCell, KeyDown and KeyPress:
//  - entering a data cell (not a heading) starts its edit and paints it
//    light yellow;
//  - Delete empties the cell; Backspace removes the last character; Esc gives
//    the cell back the text it had when its edit began; Enter moves to the
//    next cell (right, then to the first data column of the next row, from
//    the last row back to the first); other printable characters are
//    appended; control characters are not typed;
//  - leaving the cell (or CommitCurrent) gives it back the window colour
//    and, only when its text changed during the edit, calls the window's
//    commit hook once.
// Heading cells are never edited. While the window's suspended hook answers
// true (the window is filling the grid) nothing happens, and moves of the
// current cell made by the commit hook itself are not edits.

#include "platform/controls/Grid.h"

#include <functional>
#include <memory>
#include <string>

namespace controls {

class GridEditor {
public:
    // The background of the cell being edited.
    static constexpr forms::OLE_COLOR kEditingColor = forms::RGB(255, 255, 192);

    struct Hooks {
        // The window's loading or filling flags.
        std::function<bool()> suspended;
        // The cell (still the grid's current cell) was edited and is being
        // committed: check, format, save. entryText is what it held before.
        // False when the value was not taken: the cell stays light yellow.
        std::function<bool(long row, long col, const std::string& entryText)> commit;
        // Every key pressed in a data cell, after Delete emptied it.
        std::function<void(int& keyCode, int shift)> keyDown;
    };

    GridEditor(Grid& grid, Hooks hooks);
    ~GridEditor();
    GridEditor(const GridEditor&) = delete;
    GridEditor& operator=(const GridEditor&) = delete;

    // What Enter does: the next data cell in one move, scrolled into view,
    // drawing held back meanwhile.
    void MoveToNextCell();
    // Commits the cell being edited without leaving it (before a window
    // closes, or refills its grid); the next key starts a new edit. False
    // when the commit hook refused the value.
    bool CommitCurrent();
    // Whether a cell is being edited, and the text it had when its edit began.
    bool Editing() const { return editing_; }
    const std::string& EntryText() const { return entry_; }

private:
    void enterCell();
    void leaveCell();
    void keyDown(int& keyCode, int shift);
    void keyPress(int& keyAscii);
    bool idle() const;
    bool inDataCell() const;
    void ensureEdit();
    void begin();
    bool finish();

    Grid& grid_;
    Hooks hooks_;
    bool editing_ = false;
    long row_ = -1;
    long col_ = -1;
    std::string entry_;
    bool committing_ = false;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace controls
