#pragma once
// ADO's Recordset. A recordset opened on one table with a lock other than
// read-only is updatable and client-side: Open reads the whole result and
// finalises its statement, and AddNew, field sets, Update and Delete write
// through the row's hidden rowid with bound parameters; a new row's
// AutoNumber can be read right after its Update. A read-only result of SQL
// walks its statement instead (see LiveQuery.h): a row is read when the walk
// reaches it and a field converted when it is read. It reads what a fully
// read result would: the connection reads what is left of the walk before
// it runs any other statement. RecordCount is exact either way; MoveFirst
// after rows were passed runs the query again.
//
// Every member but State, Close and the property setters raises 3704 on a
// closed recordset. Close drops a pending AddNew or edit. MoveFirst on an
// empty recordset leaves BOF and EOF set. Moving off (or Find from) a row
// with a pending change saves it first, as ADO does.

#include "platform/ado/Ado.h"
#include "platform/ado/Field.h"
#include "platform/ado/RowSet.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ado {

class LiveQuery;

class Recordset : public std::enable_shared_from_this<Recordset> {
    struct Key {};

public:
    explicit Recordset(Key);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    static RecordsetPtr Create();

    int CursorType() const { return cursorType_; }
    void CursorType(int type) { cursorType_ = type; }
    int LockType() const { return lockType_; }
    void LockType(int type) { lockType_ = type; }
    int State() const { return open_ ? adStateOpen : adStateClosed; }

    // Opens source on the connection: a table name with adCmdTable (or a
    // bare name as text), Jet SQL with adCmdText, or a text a command-text
    // handler claims. cursorType and lockType -1 keep the values set before.
    // Raises 3705 when already open.
    void Open(std::string_view source, const ConnectionPtr& connection, int cursorType = adOpenUnspecified,
              int lockType = adLockUnspecified, int options = adCmdUnspecified);
    // Closes the recordset, dropping a pending AddNew or edit. Closing a
    // closed recordset does nothing.
    void Close();

    int32_t RecordCount() const;
    // EOF is a macro of the C library, hence the underscore.
    bool EOF_() const;
    bool BOF() const;
    // 1 for the first row; adPosBOF, adPosEOF or adPosUnknown when there is
    // no current row (or it was deleted).
    int32_t AbsolutePosition() const;

    void MoveFirst();
    // Raises 3021 at EOF.
    void MoveNext();
    // The first row from the current one (inclusive) forward that satisfies
    // the criterion (see FindCriteria.h); EOF when none does.
    void Find(std::string_view criterion);

    // Starts a new row; its fields read Null until set.
    void AddNew();
    // Writes the pending new row or edit; nothing when none is pending.
    void Update();
    // Deletes the current row from the table at once.
    void Delete();

    ado::Fields Fields();
    // Shorthand for Fields().Item(name): rs->Fields("StoreName").Value().
    Field Fields(std::string_view name);
    Field Fields(int index);

    // Installs rows read elsewhere (a command-text handler, Command::Execute)
    // as this recordset's content, read-only, positioned on the first row.
    void OpenRowSet(RowSet rows, const ConnectionPtr& connection);

private:
    friend class ado::Field;
    friend class ado::Fields;
    friend class ado::Command;
    friend class ado::Connection;

    enum class EditMode { None, Edit, Add };

    // Opens the rows of Jet SQL: a live walk where the connection allows it.
    void openQuery(std::string_view jetSql, const std::vector<Cell>& parameters, const ConnectionPtr& connection);
    void install(RowSet rows, const ConnectionPtr& connection);
    // Installs rows that stay shared (a chapter's): read-only, never copied.
    void installRows(std::shared_ptr<const RowSet> shared, const ConnectionPtr& connection);
    // The rows read: the shared ones, else this recordset's own.
    const RowSet& rows() const { return sharedRows_ ? *sharedRows_ : rows_; }
    // Ends the live part of a walk: the rows from the current one on are read
    // into rows_ (the connection calls this before any other statement).
    void endLive();
    // Ends it keeping only the rows read so far (the connection is closing
    // and the rest cannot be read).
    void abandonLive();
    void dropLive();
    bool live() const;
    // Rows of the result known so far: all of them once the walk is not live.
    size_t knownRows() const { return base_ + rows().RowCount(); }
    CellView cellAt(size_t column) const;
    void advance();

    void requireOpen() const;
    void requireCurrentRow() const;
    size_t columnIndex(std::string_view name) const;
    bool isDeleted(size_t row) const { return !deleted_.empty() && deleted_[row]; }
    void saveIfEditing();
    void beginEdit();
    void reloadRow(size_t row, int64_t rowid);
    vb::Variant value(size_t column) const;
    RecordsetPtr chapter(size_t column) const;
    void setValue(size_t column, const vb::Variant& value);
    const std::string& columnName(size_t column) const;
    size_t columnCount() const;

    bool open_ = false;
    int cursorType_ = adOpenForwardOnly;
    int lockType_ = adLockReadOnly;
    ConnectionPtr connection_;
    // A live walk's statement (kept to run the query again), else null.
    std::unique_ptr<LiveQuery> live_;
    // The row number of rows_' first row: rows a live walk passed before its
    // end are not kept.
    size_t base_ = 0;
    mutable std::optional<int32_t> liveCount_;
    RowSet rows_;
    std::shared_ptr<const RowSet> sharedRows_;
    bool updatable_ = false;
    std::vector<bool> deleted_;
    size_t deletedCount_ = 0;
    // Current row: -1 before the first (BOF), knownRows() after the last (EOF).
    int64_t position_ = -1;
    // Lower-case column name -> index, built at open.
    // Column name -> index, built at open; a name's key (a hash without
    // case) is compared first, the name only where the keys agree.
    struct NameEntry {
        uint32_t key;
        size_t index;
    };
    std::vector<NameEntry> nameIndex_;

    EditMode editMode_ = EditMode::None;
    std::vector<Cell> editCells_;
    std::vector<bool> editChanged_;
};

} // namespace ado
