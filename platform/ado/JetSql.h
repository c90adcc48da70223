#pragma once
// Command texts as the program writes them for Jet, turned into SQLite SQL,
// and the helpers that keep user text out of SQL.

#include "platform/ado/RowSet.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ado {

// 'text' with every ' doubled: a text literal for SQL or a Find criterion
// ("Company = " + SqlQuote(name)). Prefer bound parameters for SQL.
std::string SqlQuote(std::string_view text);

namespace jet {

// "name" with every " doubled.
std::string QuoteIdentifier(std::string_view name);

// The table a command text names when it is nothing but a name ("Stores",
// "[Stores]", "`Stores`"), as Jet accepts for a command of type text.
std::optional<std::string> BareTableName(std::string_view commandText);

// The SQLite text of a Jet SELECT (never touching quoted text):
//   #2003-1-31#, #1/31/2003#, #1/31/2003 2:30 PM#  ->  '2003-01-31 00:00:00' ...
//     (the stored form of DATETIME columns, so BETWEEN keeps midnight of the
//     end day in and a later time on that day out);
//   x BETWEEN a AND b  ->  x BETWEEN min(a, b) AND max(a, b)
//     (Jet reads reversed bounds as the same range);
//   `name`  ->  "name".
// A #...# that is not a date is left for SQLite to refuse.
std::string RewriteSql(std::string_view jetSql);

} // namespace jet

class Connection;

// A command text that is not SQL (the data-shape language of the reports)
// is claimed by a handler, which builds the result itself, typically from
// plain queries run through Connection::Query. Recordset::Open and
// Command::Execute ask the installed handler before treating a text as SQL.
class CommandTextHandler {
public:
    virtual ~CommandTextHandler() = default;
    virtual bool Claims(std::string_view commandText) const = 0;
    virtual RowSet Run(Connection& connection, std::string_view commandText) = 0;
};

// Installs the handler (nullptr removes it).
void SetCommandTextHandler(std::shared_ptr<CommandTextHandler> handler);
// The installed handler when it claims the text, else nullptr.
std::shared_ptr<CommandTextHandler> HandlerFor(std::string_view commandText);

} // namespace ado
