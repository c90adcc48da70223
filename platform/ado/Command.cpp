#include "platform/ado/Command.h"

#include "platform/ado/Connection.h"
#include "platform/ado/JetSql.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SqlValue.h"

namespace ado {

CommandPtr Command::Create()
{
    return std::make_shared<Command>(Key{});
}

RecordsetPtr Command::Execute(const std::vector<vb::Variant>& parameters)
{
    if (!connection_ || connection_->State() != adStateOpen)
        RaiseError(kErrConnectionInvalid);
    auto rs = Recordset::Create();
    if (auto handler = HandlerFor(commandText_)) {
        RowSet rows = handler->Run(*connection_, commandText_);
        if (!rows.columns.empty())
            rs->OpenRowSet(std::move(rows), connection_);
        return rs;
    }
    std::string text = commandText_;
    if (commandType_ == adCmdTable) {
        const auto table = jet::BareTableName(commandText_);
        if (!table)
            RaiseError(kErrCommandText, "'" + commandText_ + "' is not a table name.");
        text = *table;
    }
    std::vector<Cell> cells;
    cells.reserve(parameters.size());
    for (const auto& p : parameters)
        cells.push_back(ParameterCell(p));
    rs->lockType_ = adLockReadOnly;
    rs->cursorType_ = adOpenStatic;
    rs->openQuery(text, cells, connection_);
    // A statement without rows leaves its recordset closed.
    if (rs->columnCount() == 0)
        rs->Close();
    return rs;
}

} // namespace ado
