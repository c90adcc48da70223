#pragma once
// The materialised result of a query: what a client-side recordset holds.
// Command-text handlers (see JetSql.h) build one of these themselves; a kind
// of column that holds child rowsets can join ColumnType without changing how
// recordsets walk their rows.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace ado {

// A value as SQLite stored it: NULL, integer, real or text (blobs are kept
// as their bytes). Conversion to a Variant happens when a field is read.
using Cell = std::variant<std::monostate, int64_t, double, std::string>;

// The declared type of a column, which drives the conversions of Field.
enum class ColumnType {
    Unknown,   // an expression: the value's own storage class decides
    Integer,   // INTEGER: Long
    SmallInt,  // SMALLINT: Integer, 16 bits
    Double,    // REAL, DOUBLE, FLOAT: Double
    Currency,  // CURRENCY: stored as REAL, read back as exact Currency
    DateTime,  // DATETIME: stored as the text 'YYYY-MM-DD HH:MM:SS'
    Text,      // TEXT and the other character types
};

// Maps a declared type name ("SMALLINT", "TEXT", "varchar(50)", "") to its kind.
ColumnType ColumnTypeOf(const char* declaredType);

struct Column {
    std::string name;
    ColumnType type = ColumnType::Unknown;
};

struct RowSet {
    std::vector<Column> columns;
    // Row-major: row r, column c is cells[r * columns.size() + c].
    std::vector<Cell> cells;
    // The rowid of each row when the rows come from one table and may be
    // written back; empty otherwise.
    std::vector<int64_t> rowids;
    // That table's name, or "" for a result that cannot be written back.
    std::string table;

    size_t RowCount() const { return columns.empty() ? 0 : cells.size() / columns.size(); }
};

} // namespace ado
