#pragma once
// ADO's Connection over one SQLite file. The connection string names the file
// ("...;Data Source=/path/Tallyvane.mdb;..."; other keys are accepted and
// ignored). Open never creates a file: a missing file, a file that is not a
// database and a damaged file raise kErrProvider with the file's name.
// The journal is WAL and a locked file is waited for up to two seconds, so
// a second connection (the reports, a second program) reads what this one
// wrote and neither blocks the other for long. A connection is used from
// one thread at a time (the program's user-interface thread).

#include "platform/ado/Ado.h"
#include "platform/ado/RowSet.h"
#include "platform/ado/Statement.h"
#include "platform/basic/Variant.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace ado {

class Connection {
    struct Key {};

public:
    explicit Connection(Key) {}
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    static ConnectionPtr Create();

    int CursorLocation() const { return cursorLocation_; }
    void CursorLocation(int location) { cursorLocation_ = location; }
    const std::string& ConnectionString() const { return connectionString_; }
    void ConnectionString(std::string text) { connectionString_ = std::move(text); }
    int State() const { return db_ ? adStateOpen : adStateClosed; }

    // Opens the file the connection string names (connectionString, when
    // given, replaces it). User, password and options are accepted as ADO
    // takes them and have no meaning for a local file. Raises 3705 when open.
    void Open(std::string_view connectionString = {}, std::string_view userId = {},
              std::string_view password = {}, int options = -1);
    // Closes the file; recordsets already read stay readable. Closing a
    // closed connection does nothing.
    void Close();

    // A transaction: the changes made through this connection until
    // CommitTrans are kept together, or all dropped by RollbackTrans. One at
    // a time (BeginTrans within one raises); BeginTrans returns the level, 1.
    long BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const;

    // The file of the open connection.
    const std::filesystem::path& DataSource() const { return path_; }

    // Runs one statement of Jet SQL (rewritten, see JetSql.h) with the
    // values bound to its '?' marks in order, reads every row and finalises
    // the statement. For Recordset and command-text handlers; the program
    // itself goes through Command and Recordset.
    RowSet Query(std::string_view jetSql, const std::vector<vb::Variant>& parameters = {});
    // The same, handing the columns to begin and then each row's cells to
    // row as it is read, instead of keeping them: for handlers that sort the
    // rows into rowsets of their own. A cell's text lives until the next row.
    void Query(std::string_view jetSql, const std::function<void(const std::vector<Column>&)>& begin,
               const std::function<void(const CellView* cells)>& row);

private:
    friend class Recordset;
    friend class Command;
    friend class LiveQuery;

    // SQLite SQL as it stands. With rowidFirst, column 0 of the result is the
    // rowid and goes to RowSet::rowids instead of the columns.
    RowSet select(const std::string& sql, const std::vector<Cell>& parameters, bool rowidFirst);
    // A statement without rows; returns the number of rows it changed and,
    // through lastRowid, the rowid of an inserted row.
    int64_t run(const std::string& sql, const std::vector<Cell>& parameters, int64_t* lastRowid = nullptr);
    sqlite3* handle() const;
    // The SQLite SQL of a Jet text: a bare table name reads the table in
    // key order, other texts are rewritten (see JetSql.h).
    static std::string sqlOf(std::string_view jetSql);
    [[noreturn]] void raiseSqlite(int code, const std::string& sql) const;
    // One statement, checked and bound; raises as select does.
    Statement prepare(const std::string& sql, const std::vector<Cell>& parameters);
    // The same without raising: nullptr when SQLite refuses the text.
    Statement tryPrepare(const std::string& sql, const std::vector<Cell>& parameters);

    // Read-only recordsets that walk a live statement (see LiveQuery.h). The
    // connection ends their live part before it runs any other statement.
    bool CanStream() const { return db_ && wal_; }
    void addLive(Recordset* recordset);
    void removeLive(Recordset* recordset);
    void endLiveReads();

    sqlite3* db_ = nullptr;
    bool wal_ = false;
    std::vector<Recordset*> live_;
    std::filesystem::path path_;
    std::string connectionString_;
    int cursorLocation_ = adUseServer;
};

} // namespace ado
