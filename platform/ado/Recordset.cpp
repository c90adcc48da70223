#include "platform/ado/Recordset.h"

#include "platform/ado/Connection.h"
#include "platform/ado/FindCriteria.h"
#include "platform/ado/JetSql.h"
#include "platform/ado/LiveQuery.h"
#include "platform/ado/SqlValue.h"

#include <cctype>

namespace ado {

namespace {

char asciiLower(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

// Field names compare without case (ASCII, as the table names do).
bool sameNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

uint32_t nameKey(std::string_view name)
{
    uint32_t h = 2166136261u;
    for (char ch : name)
        h = (h ^ static_cast<unsigned char>(asciiLower(ch))) * 16777619u;
    return h;
}

std::string rowidSelect(const std::string& table)
{
    return "SELECT rowid, * FROM " + jet::QuoteIdentifier(table);
}

} // namespace

RecordsetPtr Recordset::Create()
{
    return std::make_shared<Recordset>(Key{});
}

void Recordset::requireOpen() const
{
    if (!open_)
        RaiseError(kErrObjectClosed);
}

Recordset::Recordset(Key) {}

Recordset::~Recordset()
{
    if (live_ && connection_)
        connection_->removeLive(this);
}

void Recordset::requireCurrentRow() const
{
    if (live())
        return;
    const auto n = static_cast<int64_t>(knownRows());
    if (position_ < static_cast<int64_t>(base_) || position_ >= n || isDeleted(static_cast<size_t>(position_)))
        RaiseError(kErrNoCurrentRecord);
}

void Recordset::Open(std::string_view source, const ConnectionPtr& connection, int cursorType, int lockType,
                     int options)
{
    if (open_)
        RaiseError(kErrObjectOpen);
    if (!connection || connection->State() != adStateOpen)
        RaiseError(kErrConnectionInvalid);
    if (cursorType != adOpenUnspecified)
        cursorType_ = cursorType;
    if (lockType != adLockUnspecified)
        lockType_ = lockType;

    if (auto handler = HandlerFor(source)) {
        install(handler->Run(*connection, source), connection);
        return;
    }
    std::optional<std::string> table = jet::BareTableName(source);
    if (options == adCmdTable && !table)
        RaiseError(kErrCommandText, "'" + std::string(source) + "' is not a table name.");
    if (table && lockType_ != adLockReadOnly) {
        RowSet rows = connection->select(rowidSelect(*table) + " ORDER BY rowid", {}, true);
        rows.table = *table;
        install(std::move(rows), connection);
        updatable_ = true;
        return;
    }
    openQuery(source, {}, connection);
}

void Recordset::openQuery(std::string_view jetSql, const std::vector<Cell>& parameters,
                          const ConnectionPtr& connection)
{
    if (!connection->CanStream()) {
        install(connection->select(connection->sqlOf(jetSql), parameters, false), connection);
        return;
    }
    connection->endLiveReads();
    auto live = std::make_unique<LiveQuery>(*connection, connection->sqlOf(jetSql), parameters);
    RowSet rows;
    rows.columns = live->Columns();
    // A statement that writes (or has no rows at all) is not left half-run.
    if (!live->ReadOnly() || rows.columns.empty()) {
        live->Drain(rows);
        install(std::move(rows), connection);
        return;
    }
    install(std::move(rows), connection);
    if (live->OnRow()) {
        live_ = std::move(live);
        connection->addLive(this);
    }
}

void Recordset::install(RowSet rows, const ConnectionPtr& connection)
{
    rows_ = std::move(rows);
    installRows(nullptr, connection);
}

void Recordset::installRows(std::shared_ptr<const RowSet> shared, const ConnectionPtr& connection)
{
    dropLive();
    connection_ = connection;
    sharedRows_ = std::move(shared);
    if (sharedRows_)
        rows_ = RowSet{};
    base_ = 0;
    updatable_ = false;
    deleted_.clear();
    deletedCount_ = 0;
    position_ = 0;
    editMode_ = EditMode::None;
    nameIndex_.clear();
    for (size_t c = 0; c < rows().columns.size(); ++c)
        nameIndex_.push_back({nameKey(rows().columns[c].name), c});
    open_ = true;
}

void Recordset::dropLive()
{
    if (live_ && connection_)
        connection_->removeLive(this);
    live_.reset();
    liveCount_.reset();
}

void Recordset::endLive()
{
    if (!live()) {
        if (connection_)
            connection_->removeLive(this);
        return;
    }
    // Out of the connection's list first: a failure below must not leave it
    // there to be ended again. A failing row ends the walk there.
    connection_->removeLive(this);
    base_ = static_cast<size_t>(position_);
    live_->Drain(rows_);
}

void Recordset::abandonLive()
{
    if (connection_)
        connection_->removeLive(this);
    if (live()) {
        base_ = static_cast<size_t>(position_);
        live_->Stop();
    }
}

bool Recordset::live() const
{
    return live_ && live_->OnRow();
}

CellView Recordset::cellAt(size_t column) const
{
    if (live())
        return live_->View(column);
    return rows().View(static_cast<size_t>(position_) - base_, column);
}

// The next row (the current one is not at EOF).
void Recordset::advance()
{
    if (live()) {
        ++position_;
        bool more = false;
        try {
            more = live_->Step();
        } catch (...) {
            // The walk ends at the row that could not be read.
            connection_->removeLive(this);
            base_ = static_cast<size_t>(position_);
            throw;
        }
        if (!more) {
            connection_->removeLive(this);
            base_ = static_cast<size_t>(position_);
        }
        return;
    }
    const auto n = static_cast<int64_t>(knownRows());
    int64_t r = position_ + 1;
    while (r < n && isDeleted(static_cast<size_t>(r)))
        ++r;
    position_ = r;
}

void Recordset::OpenRowSet(RowSet rows, const ConnectionPtr& connection)
{
    if (open_)
        RaiseError(kErrObjectOpen);
    rows.rowids.clear();
    rows.table.clear();
    install(std::move(rows), connection);
    lockType_ = adLockReadOnly;
    cursorType_ = adOpenStatic;
}

void Recordset::Close()
{
    if (!open_)
        return;
    // A pending change is dropped: a save that failed half-way must not keep
    // the table from being closed and opened again.
    editMode_ = EditMode::None;
    editCells_.clear();
    editChanged_.clear();
    dropLive();
    base_ = 0;
    rows_ = RowSet{};
    sharedRows_.reset();
    deleted_.clear();
    deletedCount_ = 0;
    nameIndex_.clear();
    connection_.reset();
    position_ = -1;
    open_ = false;
}

int32_t Recordset::RecordCount() const
{
    requireOpen();
    if (live()) {
        if (!liveCount_) {
            const int64_t n = live_->CountRows();
            if (n < 0) {
                // SQLite cannot count it apart: read the rest of the walk.
                const_cast<Recordset*>(this)->endLive();
                return static_cast<int32_t>(knownRows());
            }
            liveCount_ = static_cast<int32_t>(n);
        }
        return *liveCount_;
    }
    return static_cast<int32_t>(knownRows() - deletedCount_);
}

bool Recordset::EOF_() const
{
    requireOpen();
    if (editMode_ == EditMode::Add || live())
        return false;
    return position_ >= static_cast<int64_t>(knownRows()) || knownRows() == deletedCount_;
}

bool Recordset::BOF() const
{
    requireOpen();
    if (editMode_ == EditMode::Add || live())
        return false;
    return position_ < 0 || knownRows() == deletedCount_;
}

int32_t Recordset::AbsolutePosition() const
{
    requireOpen();
    if (editMode_ == EditMode::Add)
        return adPosUnknown;
    if (live())
        return static_cast<int32_t>(position_ + 1);
    const auto n = static_cast<int64_t>(knownRows());
    if (position_ >= n || knownRows() == deletedCount_)
        return adPosEOF;
    if (position_ < 0)
        return adPosBOF;
    if (isDeleted(static_cast<size_t>(position_)))
        return adPosUnknown;
    int64_t ordinal = position_ + 1;
    if (deletedCount_ > 0) {
        for (int64_t r = 0; r < position_; ++r)
            ordinal -= isDeleted(static_cast<size_t>(r)) ? 1 : 0;
    }
    return static_cast<int32_t>(ordinal);
}

void Recordset::MoveFirst()
{
    requireOpen();
    saveIfEditing();
    if (live_ && position_ > 0 && (live() || base_ > 0)) {
        // The rows passed are not kept: the query runs again.
        connection_->removeLive(this);
        live_->Stop();
        connection_->endLiveReads();
        live_->Restart();
        rows_ = RowSet{};
        rows_.columns = live_->Columns();
        base_ = 0;
        position_ = 0;
        liveCount_.reset();
        if (live_->OnRow())
            connection_->addLive(this);
        return;
    }
    if (live())
        return;
    const size_t n = rows().RowCount();
    size_t r = 0;
    while (r < n && isDeleted(r))
        ++r;
    position_ = static_cast<int64_t>(r);
}

void Recordset::MoveNext()
{
    requireOpen();
    saveIfEditing();
    if (EOF_())
        RaiseError(kErrNoCurrentRecord);
    advance();
}

void Recordset::Find(std::string_view criterion)
{
    requireOpen();
    const FindCriterion c = FindCriterion::Parse(criterion);
    const size_t column = columnIndex(c.Column());
    saveIfEditing();
    const ColumnType type = rows().columns[column].type;
    if (position_ < 0)
        position_ = 0;
    // Deleted rows are skipped by advance; the row found first is never one.
    if (position_ < static_cast<int64_t>(knownRows()) && !live() && isDeleted(static_cast<size_t>(position_)))
        advance();
    while (!EOF_()) {
        if (c.Matches(CellToVariant(cellAt(column), type)))
            return;
        advance();
    }
}

void Recordset::AddNew()
{
    requireOpen();
    if (!updatable_)
        RaiseError(kErrCannotUpdate);
    saveIfEditing();
    editMode_ = EditMode::Add;
    editCells_.assign(rows().columns.size(), Cell{});
    editChanged_.assign(rows().columns.size(), false);
}

void Recordset::beginEdit()
{
    requireCurrentRow();
    const size_t width = rows().columns.size();
    editCells_.clear();
    for (size_t c = 0; c < width; ++c)
        editCells_.push_back(rows().At(static_cast<size_t>(position_), c));
    editChanged_.assign(width, false);
    editMode_ = EditMode::Edit;
}

void Recordset::saveIfEditing()
{
    if (editMode_ != EditMode::None)
        Update();
}

void Recordset::Update()
{
    requireOpen();
    if (editMode_ == EditMode::None)
        return;
    std::string columns;
    std::string marks;
    std::string assignments;
    std::vector<Cell> values;
    for (size_t c = 0; c < rows().columns.size(); ++c) {
        if (!editChanged_[c])
            continue;
        const std::string name = jet::QuoteIdentifier(rows().columns[c].name);
        if (!values.empty()) {
            columns += ", ";
            marks += ", ";
            assignments += ", ";
        }
        columns += name;
        marks += "?";
        assignments += name + " = ?";
        values.push_back(editCells_[c]);
    }
    const std::string table = jet::QuoteIdentifier(rows().table);

    if (editMode_ == EditMode::Add) {
        const std::string sql = values.empty()
            ? "INSERT INTO " + table + " DEFAULT VALUES"
            : "INSERT INTO " + table + " (" + columns + ") VALUES (" + marks + ")";
        int64_t rowid = 0;
        connection_->run(sql, values, &rowid);
        rows_.AddRow(editCells_);
        rows_.rowids.push_back(rowid);
        if (!deleted_.empty())
            deleted_.push_back(false);
        position_ = static_cast<int64_t>(rows().RowCount()) - 1;
        editMode_ = EditMode::None;
        // Read the row back: the AutoNumber and the values as stored.
        reloadRow(static_cast<size_t>(position_), rowid);
        return;
    }

    if (!values.empty()) {
        const int64_t rowid = rows().rowids[static_cast<size_t>(position_)];
        values.emplace_back(std::in_place_type<int64_t>, rowid);
        if (connection_->run("UPDATE " + table + " SET " + assignments + " WHERE rowid = ?", values) == 0)
            RaiseError(kErrRowChanged);
        rows_.SetRow(static_cast<size_t>(position_), editCells_);
        editMode_ = EditMode::None;
        reloadRow(static_cast<size_t>(position_), rowid);
        return;
    }
    editMode_ = EditMode::None;
}

void Recordset::reloadRow(size_t row, int64_t rowid)
{
    const RowSet fresh = connection_->select(rowidSelect(rows().table) + " WHERE rowid = ?", {rowid}, true);
    if (fresh.RowCount() != 1 || fresh.columns.size() != rows().columns.size())
        return;
    std::vector<Cell> values;
    for (size_t c = 0; c < fresh.columns.size(); ++c)
        values.push_back(fresh.At(0, c));
    rows_.SetRow(row, values);
}

void Recordset::Delete()
{
    requireOpen();
    if (!updatable_)
        RaiseError(kErrCannotUpdate);
    if (editMode_ == EditMode::Add) {
        // The new row never reached the table.
        editMode_ = EditMode::None;
        return;
    }
    editMode_ = EditMode::None;
    requireCurrentRow();
    const auto row = static_cast<size_t>(position_);
    const std::string sql = "DELETE FROM " + jet::QuoteIdentifier(rows().table) + " WHERE rowid = ?";
    if (connection_->run(sql, {rows().rowids[row]}) == 0)
        RaiseError(kErrRowChanged);
    if (deleted_.empty())
        deleted_.assign(rows().RowCount(), false);
    deleted_[row] = true;
    ++deletedCount_;
}

size_t Recordset::columnIndex(std::string_view name) const
{
    requireOpen();
    const uint32_t key = nameKey(name);
    for (const NameEntry& entry : nameIndex_) {
        if (entry.key == key && sameNoCase(rows().columns[entry.index].name, name))
            return entry.index;
    }
    RaiseError(kErrItemNotFound, "'" + std::string(name) + "'");
}

size_t Recordset::columnCount() const
{
    requireOpen();
    return rows().columns.size();
}

const std::string& Recordset::columnName(size_t column) const
{
    requireOpen();
    if (column >= rows().columns.size())
        RaiseError(kErrItemNotFound);
    return rows().columns[column].name;
}

vb::Variant Recordset::value(size_t column) const
{
    requireOpen();
    if (column >= rows().columns.size())
        RaiseError(kErrItemNotFound);
    const ColumnType type = rows().columns[column].type;
    if (editMode_ != EditMode::None)
        return CellToVariant(editCells_[column], type);
    requireCurrentRow();
    return CellToVariant(cellAt(column), type);
}

RecordsetPtr Recordset::chapter(size_t column) const
{
    requireOpen();
    if (column >= rows().columns.size())
        RaiseError(kErrItemNotFound);
    if (rows().columns[column].type != ColumnType::Chapter)
        vb::Raise(vb::kErrTypeMismatch);
    requireCurrentRow();
    const CellView cell = cellAt(column);
    if (cell.kind != CellView::Kind::Integer || cell.integer < 0
        || static_cast<uint64_t>(cell.integer) >= rows().chapters.size() || !rows().chapters[cell.integer])
        vb::Raise(vb::kErrTypeMismatch);
    // Chapter rows are never written: the child reads them where they are,
    // shared with every other recordset over them.
    RecordsetPtr child = Create();
    child->installRows(rows().chapters[cell.integer], connection_);
    child->lockType_ = adLockReadOnly;
    child->cursorType_ = adOpenStatic;
    return child;
}

void Recordset::setValue(size_t column, const vb::Variant& value)
{
    requireOpen();
    if (column >= rows().columns.size())
        RaiseError(kErrItemNotFound);
    if (!updatable_)
        RaiseError(kErrCannotUpdate);
    // Convert before touching the row: a refused value changes nothing.
    Cell cell = VariantToCell(value, rows().columns[column].type);
    if (editMode_ == EditMode::None)
        beginEdit();
    editCells_[column] = std::move(cell);
    editChanged_[column] = true;
}

ado::Fields Recordset::Fields()
{
    requireOpen();
    return ado::Fields(shared_from_this());
}

Field Recordset::Fields(std::string_view name)
{
    return Field(shared_from_this(), columnIndex(name));
}

Field Recordset::Fields(int index)
{
    requireOpen();
    if (index < 0 || static_cast<size_t>(index) >= rows().columns.size())
        RaiseError(kErrItemNotFound);
    return Field(shared_from_this(), static_cast<size_t>(index));
}

} // namespace ado
