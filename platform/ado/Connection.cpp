#include "platform/ado/Connection.h"

#include "platform/ado/JetSql.h"
#include "platform/ado/SqlValue.h"

#include <sqlite3.h>

#include <cctype>
#include <memory>
#include <system_error>

namespace ado {

namespace {

constexpr int kBusyTimeoutMs = 2000;

struct StatementDeleter {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

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

void readCell(sqlite3_stmt* stmt, int column, RowSet& into)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER: into.AppendInteger(sqlite3_column_int64(stmt, column)); break;
    case SQLITE_FLOAT: into.AppendReal(sqlite3_column_double(stmt, column)); break;
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        into.AppendText(std::string_view(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(stmt, column))));
        break;
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        into.AppendText(std::string_view(data ? data : "", static_cast<size_t>(sqlite3_column_bytes(stmt, column))));
        break;
    }
    default: into.AppendNull(); break;
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
        sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
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
    std::string sql;
    if (auto table = jet::BareTableName(jetSql))
        sql = "SELECT * FROM " + jet::QuoteIdentifier(*table) + " ORDER BY rowid";
    else
        sql = jet::RewriteSql(jetSql);
    return select(sql, cells, false);
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

RowSet Connection::select(const std::string& sql, const std::vector<Cell>& parameters, bool rowidFirst)
{
    sqlite3* db = handle();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, &tail);
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
            readCell(stmt.get(), c, result);
    }
    if (rc != SQLITE_DONE)
        raiseSqlite(rc, sql);
    return result;
}

int64_t Connection::run(const std::string& sql, const std::vector<Cell>& parameters, int64_t* lastRowid)
{
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
