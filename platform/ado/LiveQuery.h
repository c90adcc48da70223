#pragma once
// A query whose statement stays open and is stepped as a read-only recordset
// moves, so that a walk reads only the rows it reaches and converts only the
// fields it reads. The statement holds SQLite's read snapshot from the first
// row on; the connection ends the walk's live part (Drain) before it runs
// any other statement, so every statement sees the file as a fully read
// result would have.

#include "platform/ado/RowSet.h"
#include "platform/ado/Statement.h"

#include <string>
#include <vector>

namespace ado {

class Connection;

class LiveQuery {
public:
    // Runs sql (SQLite SQL, already rewritten) to its first row.
    LiveQuery(Connection& connection, std::string sql, std::vector<Cell> parameters);

    const std::vector<Column>& Columns() const { return columns_; }
    // True while the statement stands on a row.
    bool OnRow() const { return stmt_ != nullptr; }
    // False for a statement that writes: it must run to its end at once.
    bool ReadOnly() const { return readOnly_; }
    // Moves to the next row; false (and the statement finalised) after the last.
    bool Step();
    // The current row's cell; valid until the next Step. Only while OnRow.
    CellView View(size_t column) const;
    // Appends the current row and every later one to rows and finalises the
    // statement: what is left of the walk, read as a client-side result.
    void Drain(RowSet& rows);
    // Runs the query again from its first row.
    void Restart();
    // Finalises the statement where it stands.
    void Stop() { stmt_.reset(); }
    // The number of rows of the whole result, counted in the walk's own
    // snapshot; -1 when SQLite cannot count it apart from the walk.
    int64_t CountRows() const;

private:
    void start();

    Connection& connection_;
    std::string sql_;
    std::vector<Cell> parameters_;
    std::vector<Column> columns_;
    bool readOnly_ = true;
    Statement stmt_;
};

} // namespace ado
