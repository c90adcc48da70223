#pragma once
// ADO's Command: a command text run on its active connection. Execute returns
// a new read-only, client-side recordset holding every row. Values for the
// text's '?' marks are passed to Execute and bound, never spliced:
//
//     cmd->CommandText("SELECT * FROM LandLord WHERE Company = ?");
//     auto rs = cmd->Execute({companyName});
//
// A statement without rows returns a closed recordset.

#include "platform/ado/Ado.h"
#include "platform/basic/Variant.h"

#include <string>
#include <vector>

namespace ado {

class Command {
    struct Key {};

public:
    explicit Command(Key) {}
    static CommandPtr Create();

    const ConnectionPtr& ActiveConnection() const { return connection_; }
    void ActiveConnection(ConnectionPtr connection) { connection_ = std::move(connection); }
    int CommandType() const { return commandType_; }
    void CommandType(int type) { commandType_ = type; }
    const std::string& CommandText() const { return commandText_; }
    void CommandText(std::string text) { commandText_ = std::move(text); }

    // Raises 3709 without an open connection.
    RecordsetPtr Execute(const std::vector<vb::Variant>& parameters = {});

private:
    ConnectionPtr connection_;
    int commandType_ = adCmdUnknown;
    std::string commandText_;
};

} // namespace ado
