#pragma once
// The materialised result of a query: what a client-side recordset holds.
// Command-text handlers (see JetSql.h) build one of these themselves; a kind
// of column that holds child rowsets can join ColumnType without changing how
// recordsets walk their rows.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ado {

// A value as SQLite stores it: NULL, integer, real or text (blobs are kept
// as their bytes). Conversion to a Variant happens when a field is read.
using Cell = std::variant<std::monostate, int64_t, double, std::string>;

// A cell inside a RowSet, without copying its text.
struct CellView {
    enum class Kind : uint8_t { Null, Integer, Real, Text };
    Kind kind = Kind::Null;
    int64_t integer = 0;
    double real = 0.0;
    std::string_view text;
};
CellView ViewOf(const Cell& cell);
Cell CellOf(const CellView& view);

// The declared type of a column, which drives the conversions of Field.
enum class ColumnType {
    Unknown,   // an expression: the value's own storage class decides
    Integer,   // INTEGER: Long
    SmallInt,  // SMALLINT: Integer, 16 bits
    Double,    // REAL, DOUBLE, FLOAT: Double
    Currency,  // CURRENCY: stored as REAL, read back as exact Currency
    DateTime,  // DATETIME: stored as the text 'YYYY-MM-DD HH:MM:SS'
    Text,      // TEXT and the other character types
    Chapter,   // child rows: the integer cell indexes RowSet::chapters
};

// Maps a declared type name ("SMALLINT", "TEXT", "varchar(50)", "") to its kind.
ColumnType ColumnTypeOf(const char* declaredType);

struct Column {
    std::string name;
    ColumnType type = ColumnType::Unknown;
};

// Rows of cells, stored compactly in fixed-size blocks so that reading a
// large table neither copies what it read so far nor churns big allocations.
class RowSet {
public:
    RowSet() = default;
    RowSet(RowSet&&) noexcept = default;
    RowSet& operator=(RowSet&&) noexcept = default;

    std::vector<Column> columns;
    // The rowid of each row when the rows come from one table and may be
    // written back; empty otherwise.
    std::vector<int64_t> rowids;
    // That table's name, or "" for a result that cannot be written back.
    std::string table;
    // The child rowsets of the Chapter columns (data-shape results), shared
    // by every recordset opened over this result.
    std::vector<std::shared_ptr<const RowSet>> chapters;

    size_t RowCount() const { return columns.empty() ? 0 : count_ / columns.size(); }

    // Appends one row: exactly one value per column.
    void AddRow(const std::vector<Cell>& values);
    // Replaces the values of a row.
    void SetRow(size_t row, const std::vector<Cell>& values);
    CellView View(size_t row, size_t column) const;
    Cell At(size_t row, size_t column) const { return CellOf(View(row, column)); }

    // Filling cell by cell, row after row (the query reader).
    void AppendNull();
    void AppendInteger(int64_t value);
    void AppendReal(double value);
    void AppendText(std::string_view text);
    void Append(const CellView& cell);

private:
    struct Slot {
        CellView::Kind kind = CellView::Kind::Null;
        uint32_t length = 0;
        union {
            int64_t integer = 0;
            double real;
            const char* text;
        };
    };
    static constexpr size_t kSlotsPerBlock = 4096;
    static constexpr size_t kTextBlock = 64 * 1024;

    Slot& slotAt(size_t index) const { return blocks_[index / kSlotsPerBlock][index % kSlotsPerBlock]; }
    Slot& nextSlot();
    void put(size_t index, const Cell& value);
    const char* keepText(std::string_view text);

    std::vector<std::unique_ptr<Slot[]>> blocks_;
    size_t count_ = 0;
    Slot* slotNext_ = nullptr;
    size_t slotsLeft_ = 0;
    std::vector<std::unique_ptr<char[]>> text_;
    size_t textLeft_ = 0;
    char* textNext_ = nullptr;
};

} // namespace ado
