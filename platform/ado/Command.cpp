#include "platform/ado/Command.h"

#include "platform/ado/Connection.h"
#include "platform/ado/JetSql.h"
#include "platform/ado/Recordset.h"

namespace ado {

CommandPtr Command::Create()
{
    return std::make_shared<Command>(Key{});
}

RecordsetPtr Command::Execute(const std::vector<vb::Variant>& parameters)
{
    if (!connection_ || connection_->State() != adStateOpen)
        RaiseError(kErrConnectionInvalid);
    RowSet rows;
    if (auto handler = HandlerFor(commandText_)) {
        rows = handler->Run(*connection_, commandText_);
    } else if (commandType_ == adCmdTable) {
        const auto table = jet::BareTableName(commandText_);
        if (!table)
            RaiseError(kErrCommandText, "'" + commandText_ + "' is not a table name.");
        rows = connection_->Query(*table, parameters);
    } else {
        rows = connection_->Query(commandText_, parameters);
    }
    auto rs = Recordset::Create();
    if (!rows.columns.empty())
        rs->OpenRowSet(std::move(rows), connection_);
    return rs;
}

} // namespace ado
