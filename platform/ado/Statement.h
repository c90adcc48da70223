#pragma once
// An owned SQLite statement, finalised when dropped, and its cells.

#include "platform/ado/RowSet.h"

#include <sqlite3.h>

#include <memory>
#include <string_view>

namespace ado {

struct StatementDeleter {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// A column of the statement's current row, without copying its text (valid
// until the next step). Blobs are kept as their bytes.
inline CellView ColumnView(sqlite3_stmt* stmt, int column)
{
    CellView v;
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        v.kind = CellView::Kind::Integer;
        v.integer = sqlite3_column_int64(stmt, column);
        break;
    case SQLITE_FLOAT:
        v.kind = CellView::Kind::Real;
        v.real = sqlite3_column_double(stmt, column);
        break;
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        v.kind = CellView::Kind::Text;
        v.text = std::string_view(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
        break;
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        v.kind = CellView::Kind::Text;
        v.text = std::string_view(data ? data : "", static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
        break;
    }
    default: break;
    }
    return v;
}

} // namespace ado
