#pragma once
// Grid: a table of text cells with fixed heading rows and columns (grey,
// never scrolled away), one current cell, per-cell background colour and
// bold text. Sizes are twips whatever the container's units.
//
// Moving the current cell — by the program (Row, Col, Select) or by the
// user (a click on a cell, the arrow keys) — raises LeaveCell while Row and
// Col still name the old cell, then EnterCell on the new one. Setting Row and
// then Col is two moves; Select is one. Cell texts set by the program raise
// nothing. The keys reach KeyDown and KeyPress first; a key a handler
// swallows does not move the current cell.

#include "platform/forms/Control.h"

#include <string>
#include <string_view>
#include <vector>

class QScrollBar;

namespace controls {

class GridCanvas;

// Column alignments (ColAlignment).
enum : int {
    flexAlignLeftTop = 0,
    flexAlignLeftCenter = 1,
    flexAlignLeftBottom = 2,
    flexAlignCenterTop = 3,
    flexAlignCenterCenter = 4,
    flexAlignCenterBottom = 5,
    flexAlignRightTop = 6,
    flexAlignRightCenter = 7,
    flexAlignRightBottom = 8,
    flexAlignGeneral = 9, // text left, numbers right, both centred vertically
};

class Grid : public forms::Control {
public:
    Grid(forms::Container& parent, std::string name, int index = -1);
    ~Grid() override;

    // Row and column counts; new cells are empty. Fewer rows or columns than
    // fixed ones, or a negative count, raise 380. The current cell moves
    // into range without events.
    long Rows() const { return static_cast<long>(cells_.size()); }
    void SetRows(long rows);
    long Cols() const { return cols_; }
    void SetCols(long cols);
    long FixedRows() const { return fixedRows_; }
    void SetFixedRows(long rows);
    long FixedCols() const { return fixedCols_; }
    void SetFixedCols(long cols);

    // The current cell; a value out of range raises 380.
    long Row() const { return row_; }
    void SetRow(long row);
    long Col() const { return col_; }
    void SetCol(long col);
    // Makes (row, col) current in one move: one LeaveCell, one EnterCell.
    void Select(long row, long col);

    // The current cell's text, and any cell's (out of range raises 381).
    std::string Text() const;
    void SetText(std::string_view text);
    std::string TextMatrix(long row, long col) const;
    void SetTextMatrix(long row, long col, std::string_view text);

    // Formatting of the current cell.
    bool CellFontBold() const;
    void SetCellFontBold(bool bold);
    // The cell's own background, or the grid's (window background for data
    // cells, button face for fixed ones) when none was set.
    forms::OLE_COLOR CellBackColor() const;
    void SetCellBackColor(forms::OLE_COLOR color);

    // Where the current cell is drawn, in twips from the grid's top left
    // corner (a row scrolled above the first visible one gives a negative top).
    double CellLeft() const;
    double CellTop() const;
    double CellWidth() const;
    double CellHeight() const;

    double ColWidth(long col) const;
    void SetColWidth(long col, double twips);
    int ColAlignment(long col) const;
    void SetColAlignment(long col, int alignment);
    // The least height of every row, in twips (0: as the font needs).
    double RowHeightMin() const { return rowHeightMin_; }
    void SetRowHeightMin(double twips);

    // The first non-fixed row shown; set from code it scrolls the grid.
    long TopRow() const { return topRow_; }
    void SetTopRow(long row);
    // Scrolls the least needed so that the cell is fully in view.
    void EnsureVisible(long row, long col);

    // False holds back all drawing until it is set again.
    bool Redraw() const { return redraw_; }
    void SetRedraw(bool redraw);

    // Empties every cell's text and formatting; counts and sizes stay.
    void Clear();

    void SetFont(const QFont& font) override;

    forms::Event<> EnterCell;
    forms::Event<> LeaveCell;

protected:
    // Click comes after the current cell moved to the clicked cell.
    bool ConsumesMouse() const override { return false; }
    void GeometryApplied() override;

private:
    friend class GridCanvas;

    struct Cell {
        std::string text;
        forms::OLE_COLOR back = 0;
        bool hasBack = false;
        bool bold = false;
    };

    Cell& cell(long row, long col);
    const Cell& cell(long row, long col) const;
    void checkCell(long row, long col) const;
    void moveTo(long row, long col);
    void clampCurrent();
    int rowPixels(long row) const;
    int colPixels(long col) const;
    int fixedHeightPixels() const;
    int fixedWidthPixels() const;
    long lastFullyVisibleRow() const;
    long lastFullyVisibleCol() const;
    bool hitTest(int x, int y, long& row, long& col) const;
    void userMove(long row, long col);
    void keyMove(int key);
    void updateScrollBars();
    void changed();
    void layoutChanged();

    GridCanvas* canvas_;
    QScrollBar* vbar_;
    QScrollBar* hbar_;
    std::vector<std::vector<Cell>> cells_;
    long cols_ = 2;
    long fixedRows_ = 1;
    long fixedCols_ = 1;
    long row_ = 1;
    long col_ = 1;
    long topRow_ = 1;
    long leftCol_ = 1;
    std::vector<double> colWidths_;    // twips; negative: the default width
    std::vector<int> colAlignments_;
    double rowHeightMin_ = 0;
    bool redraw_ = true;
    bool syncingBars_ = false;
    int fontHeight_ = 13;
};

} // namespace controls
