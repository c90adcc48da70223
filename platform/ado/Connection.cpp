#include "platform/ado/Connection.h"

#include "platform/ado/JetSql.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SqlValue.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <system_error>

namespace ado {

namespace {

constexpr int kBusyTimeoutMs = 2000;

std::string lower(std::string_view s)
{
    std::string out(s);
    for (auto& ch : out)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

std::string trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return std::string(s.substr(first, last - first + 1));
}

// The value of "Data Source" in a connection string.
std::string dataSourceOf(std::string_view connectionString)
{
    size_t pos = 0;
    while (pos <= connectionString.size()) {
        size_t end = connectionString.find(';', pos);
        if (end == std::string_view::npos)
            end = connectionString.size();
        const std::string_view part = connectionString.substr(pos, end - pos);
        const size_t eq = part.find('=');
        if (eq != std::string_view::npos && lower(trim(part.substr(0, eq))) == "data source")
            return trim(part.substr(eq + 1));
        pos = end + 1;
    }
    return {};
}

std::string shortened(const std::string& sql)
{
    constexpr size_t kMax = 300;
    return sql.size() <= kMax ? sql : sql.substr(0, kMax) + "...";
}

void bindAll(sqlite3_stmt* stmt, const std::vector<Cell>& parameters)
{
    for (size_t i = 0; i < parameters.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        const Cell& p = parameters[i];
        if (const auto* n = std::get_if<int64_t>(&p))
            sqlite3_bind_int64(stmt, index, *n);
        else if (const auto* d = std::get_if<double>(&p))
            sqlite3_bind_double(stmt, index, *d);
        else if (const auto* s = std::get_if<std::string>(&p))
            sqlite3_bind_text(stmt, index, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(stmt, index);
    }
}

} // namespace

ConnectionPtr Connection::Create()
{
    return std::make_shared<Connection>(Key{});
}

Connection::~Connection()
{
    Close();
}

void Connection::Open(std::string_view connectionString, std::string_view, std::string_view, int)
{
    if (db_)
        RaiseError(kErrObjectOpen);
    if (!connectionString.empty())
        connectionString_ = std::string(connectionString);
    const std::string source = dataSourceOf(connectionString_);
    if (source.empty())
        RaiseError(kErrProvider, "The connection string names no Data Source.");
    path_ = std::filesystem::path(source);

    std::error_code ec;
    if (!std::filesystem::exists(path_, ec))
        RaiseError(kErrProvider, "Could not find file '" + path_.string() + "'.");
    if (std::filesystem::is_directory(path_, ec))
        RaiseError(kErrProvider, "'" + path_.string() + "' is a folder, not a database file.");
    // SQLite would take an empty file for an empty database and write its
    // journal header into it; a database file is never empty, so this one was
    // cut short or is not one at all. Leave it as it is and say so.
    if (std::filesystem::is_regular_file(path_, ec) && std::filesystem::file_size(path_, ec) == 0 && !ec)
        RaiseError(kErrProvider, "The file '" + path_.string() + "' is empty, not a database.");

    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        RaiseError(kErrProvider, "Could not open file '" + path_.string() + "' (" + message + ").");
    }
    db_ = db;
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    try {
        // SQLite reads the file lazily: look at it now, so that a file that is
        // not a database fails here and not at the first table.
        select("SELECT count(*) FROM sqlite_master", {}, false);
        // WAL lets readers and the writer proceed side by side. A file on a
        // medium that cannot hold the -wal file keeps its journal.
        // Read-only walks keep their statement open only where readers never
        // hold back a writer, that is with WAL.
        wal_ = false;
        sqlite3_exec(
            db_, "PRAGMA journal_mode=WAL",
            [](void* wal, int columns, char** values, char**) {
                if (columns == 1 && values[0] && std::strcmp(values[0], "wal") == 0)
                    *static_cast<bool*>(wal) = true;
                return 0;
            },
            &wal_, nullptr);
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

void Connection::Close()
{
    if (!db_)
        return;
    // Recordsets already opened stay readable: their live walks are read
    // to the end first. A walk that fails there keeps what it read.
    while (!live_.empty()) {
        Recordset* rs = live_.back();
        try {
            rs->endLive();
        } catch (...) {
            rs->abandonLive();
        }
    }
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

long Connection::BeginTrans()
{
    // IMMEDIATE takes the write lock at once: a transaction never fails
    // half-way because another connection wrote meanwhile.
    run("BEGIN IMMEDIATE", {});
    return 1;
}

void Connection::CommitTrans()
{
    run("COMMIT", {});
}

void Connection::RollbackTrans()
{
    if (InTransaction())
        run("ROLLBACK", {});
}

bool Connection::InTransaction() const
{
    return db_ && sqlite3_get_autocommit(db_) == 0;
}

RowSet Connection::Query(std::string_view jetSql, const std::vector<vb::Variant>& parameters)
{
    std::vector<Cell> cells;
    cells.reserve(parameters.size());
    for (const auto& p : parameters)
        cells.push_back(ParameterCell(p));
    return select(sqlOf(jetSql), cells, false);
}

void Connection::Query(std::string_view jetSql, const std::function<void(const std::vector<Column>&)>& begin,
                       const std::function<void(const CellView* cells)>& row)
{
    const std::string sql = sqlOf(jetSql);
    endLiveReads();
    Statement stmt = prepare(sql, {});
    const int count = sqlite3_column_count(stmt.get());
    std::vector<Column> columns;
    for (int c = 0; c < count; ++c) {
        const char* name = sqlite3_column_name(stmt.get(), c);
        columns.push_back({name ? name : "", ColumnTypeOf(sqlite3_column_decltype(stmt.get(), c))});
    }
    begin(columns);
    std::vector<CellView> cells(static_cast<size_t>(count));
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        for (int c = 0; c < count; ++c)
            cells[static_cast<size_t>(c)] = ColumnView(stmt.get(), c);
        row(cells.data());
    }
    if (rc != SQLITE_DONE)
        raiseSqlite(rc, sql);
}

std::string Connection::sqlOf(std::string_view jetSql)
{
    if (auto table = jet::BareTableName(jetSql))
        return "SELECT * FROM " + jet::QuoteIdentifier(*table) + " ORDER BY rowid";
    return jet::RewriteSql(jetSql);
}

sqlite3* Connection::handle() const
{
    if (!db_)
        RaiseError(kErrConnectionInvalid);
    return db_;
}

void Connection::raiseSqlite(int code, const std::string& sql) const
{
    const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    switch (code & 0xff) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        RaiseError(kErrProvider,
                   "The file '" + path_.string() + "' is damaged or is not a database (" + message + ").");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        RaiseError(kErrProvider, "The file '" + path_.string() + "' is in use (" + message + ").");
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
    case SQLITE_FULL:
    case SQLITE_PERM:
        RaiseError(kErrProvider, "Cannot write '" + path_.string() + "' (" + message + ").");
    default:
        RaiseError(kErrProvider, message + " in \"" + shortened(sql) + "\"");
    }
}

Statement Connection::prepare(const std::string& sql, const std::vector<Cell>& parameters)
{
    sqlite3* db = handle();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, &tail);
    Statement stmt(raw);
    if (rc != SQLITE_OK) {
        const int primary = rc & 0xff;
        if (primary == SQLITE_ERROR)
            RaiseError(kErrCommandText, std::string(sqlite3_errmsg(db)) + " in \"" + shortened(sql) + "\"");
        raiseSqlite(rc, sql);
    }
    if (!stmt)
        RaiseError(kErrCommandText, "The command text is empty.");
    // One statement only: a second one after a ';' would run unseen.
    for (const char* p = tail; p && *p; ++p) {
        if (!std::isspace(static_cast<unsigned char>(*p)) && *p != ';')
            RaiseError(kErrCommandText, "Characters found after end of SQL statement.");
    }
    if (sqlite3_bind_parameter_count(stmt.get()) != static_cast<int>(parameters.size()))
        RaiseError(kErrParameters);
    bindAll(stmt.get(), parameters);
    return stmt;
}

Statement Connection::tryPrepare(const std::string& sql, const std::vector<Cell>& parameters)
{
    sqlite3_stmt* raw = nullptr;
    if (!db_ || sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK)
        return Statement(raw);
    Statement stmt(raw);
    if (!stmt || sqlite3_bind_parameter_count(stmt.get()) != static_cast<int>(parameters.size()))
        return nullptr;
    bindAll(stmt.get(), parameters);
    return stmt;
}

void Connection::addLive(Recordset* recordset)
{
    live_.push_back(recordset);
}

void Connection::removeLive(Recordset* recordset)
{
    live_.erase(std::remove(live_.begin(), live_.end(), recordset), live_.end());
}

void Connection::endLiveReads()
{
    // Each walk leaves the list as it ends, also when reading it fails.
    while (!live_.empty())
        live_.back()->endLive();
}

RowSet Connection::select(const std::string& sql, const std::vector<Cell>& parameters, bool rowidFirst)
{
    endLiveReads();
    Statement stmt = prepare(sql, parameters);
    int rc = SQLITE_OK;

    RowSet result;
    const int count = sqlite3_column_count(stmt.get());
    const int first = rowidFirst ? 1 : 0;
    for (int c = first; c < count; ++c) {
        const char* name = sqlite3_column_name(stmt.get(), c);
        result.columns.push_back({name ? name : "", ColumnTypeOf(sqlite3_column_decltype(stmt.get(), c))});
    }
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        if (rowidFirst)
            result.rowids.push_back(sqlite3_column_int64(stmt.get(), 0));
        for (int c = first; c < count; ++c)
            result.Append(ColumnView(stmt.get(), c));
    }
    if (rc != SQLITE_DONE)
        raiseSqlite(rc, sql);
    return result;
}

int64_t Connection::run(const std::string& sql, const std::vector<Cell>& parameters, int64_t* lastRowid)
{
    endLiveReads();
    sqlite3* db = handle();
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
    Statement stmt(raw);
    if (rc != SQLITE_OK) {
        if ((rc & 0xff) == SQLITE_ERROR)
            RaiseError(kErrCommandText, std::string(sqlite3_errmsg(db)) + " in \"" + shortened(sql) + "\"");
        raiseSqlite(rc, sql);
    }
    bindAll(stmt.get(), parameters);
    rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        raiseSqlite(rc, sql);
    if (lastRowid)
        *lastRowid = sqlite3_last_insert_rowid(db);
    return sqlite3_changes64(db);
}

} // namespace ado
