#include "platform/ado/LiveQuery.h"

#include "platform/ado/Connection.h"

namespace ado {

LiveQuery::LiveQuery(Connection& connection, std::string sql, std::vector<Cell> parameters)
    : connection_(connection), sql_(std::move(sql)), parameters_(std::move(parameters))
{
    start();
    readOnly_ = sqlite3_stmt_readonly(stmt_.get()) != 0;
    const int count = sqlite3_column_count(stmt_.get());
    for (int c = 0; c < count; ++c) {
        const char* name = sqlite3_column_name(stmt_.get(), c);
        columns_.push_back({name ? name : "", ColumnTypeOf(sqlite3_column_decltype(stmt_.get(), c))});
    }
    Step();
}

void LiveQuery::start()
{
    stmt_ = connection_.prepare(sql_, parameters_);
}

bool LiveQuery::Step()
{
    if (!stmt_)
        return false;
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW)
        return true;
    // Finalised at the end: the walk holds no snapshot after its last row.
    stmt_.reset();
    if (rc != SQLITE_DONE)
        connection_.raiseSqlite(rc, sql_);
    return false;
}

CellView LiveQuery::View(size_t column) const
{
    return ColumnView(stmt_.get(), static_cast<int>(column));
}

void LiveQuery::Drain(RowSet& rows)
{
    const int count = static_cast<int>(columns_.size());
    while (stmt_) {
        for (int c = 0; c < count; ++c)
            rows.Append(ColumnView(stmt_.get(), c));
        Step();
    }
}

void LiveQuery::Restart()
{
    stmt_.reset();
    start();
    Step();
}

int64_t LiveQuery::CountRows() const
{
    std::string inner = sql_;
    while (!inner.empty() && (inner.back() == ';' || inner.back() == ' ' || inner.back() == '\n'
                              || inner.back() == '\t' || inner.back() == '\r'))
        inner.pop_back();
    Statement count = connection_.tryPrepare("SELECT count(*) FROM (" + inner + ")", parameters_);
    if (!count || sqlite3_step(count.get()) != SQLITE_ROW)
        return -1;
    return sqlite3_column_int64(count.get(), 0);
}

} // namespace ado
