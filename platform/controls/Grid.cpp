#include "platform/controls/Grid.h"

#include "platform/basic/Variant.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace controls {

namespace {

constexpr double kDefaultColWidth = 960; // twips
constexpr long kMaxRows = 1000000;
constexpr long kMaxCols = 5000;
constexpr long long kMaxCells = 4000000;
constexpr forms::OLE_COLOR kGridLines = forms::RGB(192, 192, 192);
constexpr forms::OLE_COLOR kOutside = forms::RGB(128, 128, 128);

int toPixels(double twips)
{
    return std::max(0, static_cast<int>(std::lround(twips / 15.0)));
}

[[noreturn]] void badIndex()
{
    vb::Raise(381, "Invalid property array index");
}

} // namespace

// The grid's window: draws the cells and takes the mouse and the keys.
class GridCanvas : public QWidget {
public:
    GridCanvas(Grid& grid, QWidget* parent)
        : QWidget(parent)
        , grid_(grid)
    {
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override
    {
        long row = 0;
        long col = 0;
        if (e->button() == Qt::LeftButton && grid_.hitTest(static_cast<int>(e->position().x()),
                                                           static_cast<int>(e->position().y()), row, col))
            grid_.userMove(row, col);
        setFocus(Qt::MouseFocusReason);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        switch (e->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
            grid_.keyMove(e->key());
            return;
        default:
            QWidget::keyPressEvent(e);
        }
    }
    void wheelEvent(QWheelEvent* e) override
    {
        const int steps = e->angleDelta().y() / 120;
        if (steps != 0 && grid_.vbar_->isVisible())
            grid_.vbar_->setValue(grid_.vbar_->value() - steps);
    }
    void resizeEvent(QResizeEvent*) override { grid_.updateScrollBars(); }

private:
    void paintCell(QPainter& p, const QRect& r, long row, long col);

    Grid& grid_;
};

Grid::Grid(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , canvas_(new GridCanvas(*this, parent.ClientWidget()))
    , vbar_(new QScrollBar(Qt::Vertical, canvas_))
    , hbar_(new QScrollBar(Qt::Horizontal, canvas_))
{
    cells_.assign(2, std::vector<Cell>(static_cast<size_t>(cols_)));
    colWidths_.assign(static_cast<size_t>(cols_), -1.0);
    colAlignments_.assign(static_cast<size_t>(cols_), flexAlignGeneral);
    vbar_->hide();
    hbar_->hide();
    vbar_->setFocusPolicy(Qt::NoFocus);
    hbar_->setFocusPolicy(Qt::NoFocus);
    QObject::connect(vbar_, &QScrollBar::valueChanged, canvas_, [this](int v) {
        if (syncingBars_)
            return;
        topRow_ = v;
        changed();
    });
    QObject::connect(hbar_, &QScrollBar::valueChanged, canvas_, [this](int v) {
        if (syncingBars_)
            return;
        leftCol_ = v;
        changed();
    });
    Attach(canvas_);
    fontHeight_ = QFontMetrics(canvas_->font()).height();
    Control::SetBackColor(forms::vbWindowBackground);
    Control::SetForeColor(forms::vbWindowText);
}

Grid::~Grid() = default;

Grid::Cell& Grid::cell(long row, long col)
{
    checkCell(row, col);
    return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

const Grid::Cell& Grid::cell(long row, long col) const
{
    checkCell(row, col);
    return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void Grid::checkCell(long row, long col) const
{
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_)
        badIndex();
}

void Grid::SetRows(long rows)
{
    if (rows < std::max(1L, fixedRows_))
        vb::Raise(vb::kErrInvalidProperty);
    if (rows > kMaxRows || static_cast<long long>(rows) * cols_ > kMaxCells)
        vb::Raise(vb::kErrOutOfMemory);
    cells_.resize(static_cast<size_t>(rows), std::vector<Cell>(static_cast<size_t>(cols_)));
    clampCurrent();
    layoutChanged();
}

void Grid::SetCols(long cols)
{
    if (cols < std::max(1L, fixedCols_))
        vb::Raise(vb::kErrInvalidProperty);
    if (cols > kMaxCols || static_cast<long long>(cols) * Rows() > kMaxCells)
        vb::Raise(vb::kErrOutOfMemory);
    cols_ = cols;
    for (auto& r : cells_)
        r.resize(static_cast<size_t>(cols));
    colWidths_.resize(static_cast<size_t>(cols), -1.0);
    colAlignments_.resize(static_cast<size_t>(cols), flexAlignGeneral);
    clampCurrent();
    layoutChanged();
}

void Grid::SetFixedRows(long rows)
{
    if (rows < 0 || rows > Rows())
        vb::Raise(vb::kErrInvalidProperty);
    fixedRows_ = rows;
    clampCurrent();
    layoutChanged();
}

void Grid::SetFixedCols(long cols)
{
    if (cols < 0 || cols > cols_)
        vb::Raise(vb::kErrInvalidProperty);
    fixedCols_ = cols;
    clampCurrent();
    layoutChanged();
}

void Grid::clampCurrent()
{
    row_ = std::clamp(row_, 0L, Rows() - 1);
    col_ = std::clamp(col_, 0L, cols_ - 1);
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, Rows() - 1));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, cols_ - 1));
}

void Grid::SetRow(long row)
{
    if (row < 0 || row >= Rows())
        vb::Raise(vb::kErrInvalidProperty);
    moveTo(row, col_);
}

void Grid::SetCol(long col)
{
    if (col < 0 || col >= cols_)
        vb::Raise(vb::kErrInvalidProperty);
    moveTo(row_, col);
}

void Grid::Select(long row, long col)
{
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_)
        vb::Raise(vb::kErrInvalidProperty);
    moveTo(row, col);
}

void Grid::moveTo(long row, long col)
{
    if (row == row_ && col == col_)
        return;
    LeaveCell.Raise();
    // The handler may have changed the grid's size.
    row_ = std::clamp(row, 0L, Rows() - 1);
    col_ = std::clamp(col, 0L, cols_ - 1);
    changed();
    EnterCell.Raise();
}

void Grid::userMove(long row, long col)
{
    if (!Live())
        return;
    forms::detail::Dispatch([&] {
        moveTo(row, col);
        EnsureVisible(row_, col_);
    });
}

void Grid::keyMove(int key)
{
    if (Rows() <= fixedRows_ || cols_ <= fixedCols_)
        return;
    long row = std::max(row_, fixedRows_);
    long col = std::max(col_, fixedCols_);
    const bool inData = row == row_ && col == col_;
    if (inData) {
        if (key == Qt::Key_Up)
            --row;
        else if (key == Qt::Key_Down)
            ++row;
        else if (key == Qt::Key_Left)
            --col;
        else
            ++col;
    }
    row = std::clamp(row, fixedRows_, Rows() - 1);
    col = std::clamp(col, fixedCols_, cols_ - 1);
    userMove(row, col);
}

std::string Grid::Text() const
{
    return cell(row_, col_).text;
}

void Grid::SetText(std::string_view text)
{
    cell(row_, col_).text = std::string(text);
    changed();
}

std::string Grid::TextMatrix(long row, long col) const
{
    return cell(row, col).text;
}

void Grid::SetTextMatrix(long row, long col, std::string_view text)
{
    cell(row, col).text = std::string(text);
    changed();
}

bool Grid::CellFontBold() const
{
    return cell(row_, col_).bold;
}

void Grid::SetCellFontBold(bool bold)
{
    cell(row_, col_).bold = bold;
    changed();
}

forms::OLE_COLOR Grid::CellBackColor() const
{
    const Cell& c = cell(row_, col_);
    if (c.hasBack)
        return c.back;
    return row_ < fixedRows_ || col_ < fixedCols_ ? forms::vbButtonFace : BackColor();
}

void Grid::SetCellBackColor(forms::OLE_COLOR color)
{
    Cell& c = cell(row_, col_);
    c.back = color;
    c.hasBack = true;
    changed();
}

int Grid::colPixels(long col) const
{
    const double w = colWidths_[static_cast<size_t>(col)];
    return toPixels(w < 0 ? kDefaultColWidth : w);
}

int Grid::rowPixels(long) const
{
    return std::max(fontHeight_ + 4, toPixels(rowHeightMin_));
}

void Grid::SetFont(const QFont& font)
{
    Control::SetFont(font);
    fontHeight_ = QFontMetrics(canvas_->font()).height();
    layoutChanged();
}

int Grid::fixedHeightPixels() const
{
    int h = 0;
    for (long r = 0; r < fixedRows_; ++r)
        h += rowPixels(r);
    return h;
}

int Grid::fixedWidthPixels() const
{
    int w = 0;
    for (long c = 0; c < fixedCols_; ++c)
        w += colPixels(c);
    return w;
}

double Grid::CellLeft() const
{
    int x = 0;
    if (col_ < fixedCols_) {
        for (long c = 0; c < col_; ++c)
            x += colPixels(c);
    } else if (col_ >= leftCol_) {
        x = fixedWidthPixels();
        for (long c = leftCol_; c < col_; ++c)
            x += colPixels(c);
    } else {
        x = fixedWidthPixels();
        for (long c = col_; c < leftCol_; ++c)
            x -= colPixels(c);
    }
    return x * 15.0;
}

double Grid::CellTop() const
{
    int y = 0;
    if (row_ < fixedRows_) {
        for (long r = 0; r < row_; ++r)
            y += rowPixels(r);
    } else if (row_ >= topRow_) {
        y = fixedHeightPixels();
        for (long r = topRow_; r < row_; ++r)
            y += rowPixels(r);
    } else {
        y = fixedHeightPixels();
        for (long r = row_; r < topRow_; ++r)
            y -= rowPixels(r);
    }
    return y * 15.0;
}

double Grid::CellWidth() const
{
    return colPixels(col_) * 15.0;
}

double Grid::CellHeight() const
{
    return rowPixels(row_) * 15.0;
}

double Grid::ColWidth(long col) const
{
    if (col < 0 || col >= cols_)
        badIndex();
    const double w = colWidths_[static_cast<size_t>(col)];
    return w < 0 ? kDefaultColWidth : w;
}

void Grid::SetColWidth(long col, double twips)
{
    if (col < 0 || col >= cols_)
        badIndex();
    colWidths_[static_cast<size_t>(col)] = twips < 0 ? -1.0 : std::min(twips, 1.0e7);
    layoutChanged();
}

int Grid::ColAlignment(long col) const
{
    if (col < 0 || col >= cols_)
        badIndex();
    return colAlignments_[static_cast<size_t>(col)];
}

void Grid::SetColAlignment(long col, int alignment)
{
    if (col < 0 || col >= cols_)
        badIndex();
    if (alignment < flexAlignLeftTop || alignment > flexAlignGeneral)
        vb::Raise(vb::kErrInvalidProperty);
    colAlignments_[static_cast<size_t>(col)] = alignment;
    changed();
}

void Grid::SetRowHeightMin(double twips)
{
    if (twips < 0)
        vb::Raise(vb::kErrInvalidProperty);
    rowHeightMin_ = std::min(twips, 1.0e6);
    layoutChanged();
}

void Grid::SetTopRow(long row)
{
    if (row < 0 || row >= Rows())
        vb::Raise(vb::kErrInvalidProperty);
    topRow_ = std::max(row, fixedRows_);
    layoutChanged();
}

long Grid::lastFullyVisibleRow() const
{
    const int height = canvas_->height() - (hbar_->isVisible() ? hbar_->height() : 0);
    int y = fixedHeightPixels();
    long last = topRow_ - 1;
    for (long r = topRow_; r < Rows(); ++r) {
        y += rowPixels(r);
        if (y > height)
            break;
        last = r;
    }
    return last;
}

long Grid::lastFullyVisibleCol() const
{
    const int width = canvas_->width() - (vbar_->isVisible() ? vbar_->width() : 0);
    int x = fixedWidthPixels();
    long last = leftCol_ - 1;
    for (long c = leftCol_; c < cols_; ++c) {
        x += colPixels(c);
        if (x > width)
            break;
        last = c;
    }
    return last;
}

void Grid::EnsureVisible(long row, long col)
{
    if (row >= fixedRows_ && row < Rows()) {
        if (row < topRow_)
            topRow_ = row;
        while (row > lastFullyVisibleRow() && topRow_ < row)
            ++topRow_;
    }
    if (col >= fixedCols_ && col < cols_) {
        if (col < leftCol_)
            leftCol_ = col;
        while (col > lastFullyVisibleCol() && leftCol_ < col)
            ++leftCol_;
    }
    layoutChanged();
}

void Grid::SetRedraw(bool redraw)
{
    redraw_ = redraw;
    canvas_->setUpdatesEnabled(redraw);
    if (redraw)
        layoutChanged();
}

void Grid::Clear()
{
    for (auto& r : cells_)
        for (auto& c : r)
            c = Cell{};
    changed();
}

void Grid::GeometryApplied()
{
    updateScrollBars();
}

void Grid::changed()
{
    if (redraw_)
        canvas_->update();
}

void Grid::layoutChanged()
{
    updateScrollBars();
    changed();
}

// Scroll bars appear only when rows or columns do not fit; their values are
// TopRow and the first scrolled column.
void Grid::updateScrollBars()
{
    const int barW = vbar_->sizeHint().width();
    const int barH = hbar_->sizeHint().height();
    int totalH = 0;
    for (long r = 0; r < Rows(); ++r)
        totalH += rowPixels(r);
    int totalW = 0;
    for (long c = 0; c < cols_; ++c)
        totalW += colPixels(c);
    bool needV = totalH > canvas_->height();
    bool needH = totalW > canvas_->width() - (needV ? barW : 0);
    needV = totalH > canvas_->height() - (needH ? barH : 0);

    // The largest first row (column) that still fills the view.
    auto maxFirst = [](long fixed, long count, int room, auto size) {
        int used = 0;
        long first = count;
        while (first > fixed && used + size(first - 1) <= room) {
            used += size(first - 1);
            --first;
        }
        return std::max(fixed, std::min(first, count - 1));
    };
    const int roomH = canvas_->height() - (needH ? barH : 0) - fixedHeightPixels();
    const int roomW = canvas_->width() - (needV ? barW : 0) - fixedWidthPixels();
    const long maxTop = needV ? maxFirst(fixedRows_, Rows(), roomH, [this](long r) { return rowPixels(r); }) : fixedRows_;
    const long maxLeft = needH ? maxFirst(fixedCols_, cols_, roomW, [this](long c) { return colPixels(c); }) : fixedCols_;
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, maxTop));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, maxLeft));

    syncingBars_ = true;
    vbar_->setVisible(needV);
    hbar_->setVisible(needH);
    vbar_->setGeometry(canvas_->width() - barW, 0, barW, canvas_->height() - (needH ? barH : 0));
    hbar_->setGeometry(0, canvas_->height() - barH, canvas_->width() - (needV ? barW : 0), barH);
    vbar_->setRange(static_cast<int>(fixedRows_), static_cast<int>(std::max(fixedRows_, maxTop)));
    vbar_->setValue(static_cast<int>(topRow_));
    hbar_->setRange(static_cast<int>(fixedCols_), static_cast<int>(std::max(fixedCols_, maxLeft)));
    hbar_->setValue(static_cast<int>(leftCol_));
    syncingBars_ = false;
}

bool Grid::hitTest(int x, int y, long& row, long& col) const
{
    auto find = [](int pos, long fixed, long first, long count, auto size, long& out) {
        int edge = 0;
        for (long i = 0; i < fixed; ++i) {
            edge += size(i);
            if (pos < edge) {
                out = i;
                return true;
            }
        }
        for (long i = first; i < count; ++i) {
            edge += size(i);
            if (pos < edge) {
                out = i;
                return true;
            }
        }
        return false;
    };
    if (!find(y, fixedRows_, topRow_, Rows(), [this](long r) { return rowPixels(r); }, row))
        return false;
    if (!find(x, fixedCols_, leftCol_, cols_, [this](long c) { return colPixels(c); }, col))
        return false;
    // Heading cells are not edited: a click there leaves the current cell.
    return row >= fixedRows_ && col >= fixedCols_;
}

void GridCanvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int width = this->width() - (grid_.vbar_->isVisible() ? grid_.vbar_->width() : 0);
    const int height = this->height() - (grid_.hbar_->isVisible() ? grid_.hbar_->height() : 0);
    p.fillRect(rect(), forms::ToQColor(kOutside));
    p.setClipRect(0, 0, width, height);

    std::vector<long> rows;
    std::vector<long> cols;
    int y = 0;
    for (long r = 0; r < grid_.Rows() && y < height; ++r) {
        if (r >= grid_.fixedRows_ && r < grid_.topRow_)
            continue;
        rows.push_back(r);
        y += grid_.rowPixels(r);
    }
    int x = 0;
    for (long c = 0; c < grid_.cols_ && x < width; ++c) {
        if (c >= grid_.fixedCols_ && c < grid_.leftCol_)
            continue;
        cols.push_back(c);
        x += grid_.colPixels(c);
    }
    y = 0;
    for (long r : rows) {
        const int h = grid_.rowPixels(r);
        x = 0;
        for (long c : cols) {
            const int w = grid_.colPixels(c);
            paintCell(p, QRect(x, y, w, h), r, c);
            x += w;
        }
        y += h;
    }
}

void GridCanvas::paintCell(QPainter& p, const QRect& r, long row, long col)
{
    const Grid::Cell& cell = grid_.cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
    const bool fixed = row < grid_.fixedRows_ || col < grid_.fixedCols_;
    const forms::OLE_COLOR back = cell.hasBack ? cell.back : fixed ? forms::vbButtonFace : grid_.BackColor();
    p.fillRect(r, forms::ToQColor(back));
    if (fixed) {
        p.setPen(forms::ToQColor(forms::vb3DHighlight));
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom());
        p.setPen(forms::ToQColor(forms::vbButtonShadow));
    } else {
        p.setPen(forms::ToQColor(kGridLines));
    }
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());

    if (!cell.text.empty()) {
        QFont f = font();
        f.setBold(cell.bold);
        p.setFont(f);
        p.setPen(forms::ToQColor(fixed ? forms::vbButtonText : grid_.ForeColor()));
        int a = grid_.colAlignments_[static_cast<size_t>(col)];
        if (a == flexAlignGeneral)
            a = vb::IsNumeric(vb::Variant(cell.text)) ? flexAlignRightCenter : flexAlignLeftCenter;
        const Qt::Alignment h = a <= 2 ? Qt::AlignLeft : a <= 5 ? Qt::AlignHCenter : Qt::AlignRight;
        const Qt::Alignment v = a % 3 == 0 ? Qt::AlignTop : a % 3 == 1 ? Qt::AlignVCenter : Qt::AlignBottom;
        p.drawText(r.adjusted(2, 1, -3, -2), static_cast<int>(h | v | Qt::TextSingleLine),
                   QString::fromStdString(cell.text));
    }
    if (row == grid_.row_ && col == grid_.col_ && !fixed) {
        QPen pen(forms::ToQColor(forms::vbWindowText));
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
}

} // namespace controls
