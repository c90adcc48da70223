#include "platform/ado/RowSet.h"

#include <cstring>
#include <stdexcept>

namespace ado {

CellView ViewOf(const Cell& cell)
{
    CellView v;
    if (const auto* i = std::get_if<int64_t>(&cell)) {
        v.kind = CellView::Kind::Integer;
        v.integer = *i;
    } else if (const auto* d = std::get_if<double>(&cell)) {
        v.kind = CellView::Kind::Real;
        v.real = *d;
    } else if (const auto* s = std::get_if<std::string>(&cell)) {
        v.kind = CellView::Kind::Text;
        v.text = *s;
    }
    return v;
}

Cell CellOf(const CellView& view)
{
    switch (view.kind) {
    case CellView::Kind::Integer: return view.integer;
    case CellView::Kind::Real: return view.real;
    case CellView::Kind::Text: return std::string(view.text);
    case CellView::Kind::Null: break;
    }
    return std::monostate{};
}

RowSet::Slot& RowSet::nextSlot()
{
    if (slotsLeft_ == 0) {
        blocks_.push_back(std::make_unique<Slot[]>(kSlotsPerBlock));
        slotNext_ = blocks_.back().get();
        slotsLeft_ = kSlotsPerBlock;
    }
    --slotsLeft_;
    ++count_;
    return *slotNext_++;
}

const char* RowSet::keepText(std::string_view text)
{
    if (text.empty())
        return "";
    if (text.size() > kTextBlock / 4) {
        // A long text gets a block of its own; the current block stays in use.
        text_.push_back(std::make_unique<char[]>(text.size()));
        std::memcpy(text_.back().get(), text.data(), text.size());
        return text_.back().get();
    }
    if (text.size() > textLeft_) {
        text_.push_back(std::make_unique<char[]>(kTextBlock));
        textNext_ = text_.back().get();
        textLeft_ = kTextBlock;
    }
    char* at = textNext_;
    std::memcpy(at, text.data(), text.size());
    textNext_ += text.size();
    textLeft_ -= text.size();
    return at;
}

void RowSet::AppendNull()
{
    nextSlot() = Slot{};
}

void RowSet::AppendInteger(int64_t value)
{
    Slot& s = nextSlot();
    s.kind = CellView::Kind::Integer;
    s.integer = value;
}

void RowSet::AppendReal(double value)
{
    Slot& s = nextSlot();
    s.kind = CellView::Kind::Real;
    s.real = value;
}

void RowSet::AppendText(std::string_view text)
{
    if (text.size() > UINT32_MAX)
        throw std::length_error("text too long");
    const char* kept = keepText(text);
    Slot& s = nextSlot();
    s.kind = CellView::Kind::Text;
    s.length = static_cast<uint32_t>(text.size());
    s.text = kept;
}

void RowSet::Append(const CellView& cell)
{
    switch (cell.kind) {
    case CellView::Kind::Null: AppendNull(); break;
    case CellView::Kind::Integer: AppendInteger(cell.integer); break;
    case CellView::Kind::Real: AppendReal(cell.real); break;
    case CellView::Kind::Text: AppendText(cell.text); break;
    }
}

void RowSet::put(size_t index, const Cell& value)
{
    Slot s;
    if (const auto* i = std::get_if<int64_t>(&value)) {
        s.kind = CellView::Kind::Integer;
        s.integer = *i;
    } else if (const auto* d = std::get_if<double>(&value)) {
        s.kind = CellView::Kind::Real;
        s.real = *d;
    } else if (const auto* t = std::get_if<std::string>(&value)) {
        if (t->size() > UINT32_MAX)
            throw std::length_error("text too long");
        s.kind = CellView::Kind::Text;
        s.text = keepText(*t);
        s.length = static_cast<uint32_t>(t->size());
    }
    slotAt(index) = s;
}

void RowSet::AddRow(const std::vector<Cell>& values)
{
    if (values.size() != columns.size())
        throw std::invalid_argument("a row needs one value per column");
    for (const Cell& value : values) {
        nextSlot();
        put(count_ - 1, value);
    }
}

void RowSet::SetRow(size_t row, const std::vector<Cell>& values)
{
    if (values.size() != columns.size() || row >= RowCount())
        throw std::invalid_argument("no such row");
    for (size_t c = 0; c < values.size(); ++c)
        put(row * columns.size() + c, values[c]);
}

CellView RowSet::View(size_t row, size_t column) const
{
    const Slot& s = slotAt(row * columns.size() + column);
    CellView v;
    v.kind = s.kind;
    switch (s.kind) {
    case CellView::Kind::Integer: v.integer = s.integer; break;
    case CellView::Kind::Real: v.real = s.real; break;
    case CellView::Kind::Text: v.text = std::string_view(s.text, s.length); break;
    case CellView::Kind::Null: break;
    }
    return v;
}

} // namespace ado
