#pragma once
// The two data-shape commands the report commands use, parsed and run as
// grouped rowsets through the database layer's command-text hook:
//
//   SHAPE {select} AS child COMPUTE child BY 'column'
//     one parent row per distinct value of column, in order of first
//     appearance, holding the chapter "child" (its rows in query order) and
//     the column's value;
//   SHAPE {parent select} AS parent APPEND ({child select} AS child
//         RELATE 'parentColumn' TO 'childColumn') AS chapter
//     every parent row with the chapter "chapter": the child rows whose
//     childColumn equals its parentColumn, in the child query's order.
//
// Keywords compare without case and blanks may vary; the inner selects are
// taken between balanced braces (braces inside quotes do not count).

#include "platform/ado/JetSql.h"

#include <optional>
#include <string>
#include <string_view>

namespace report {

struct ShapeCommand {
    enum class Kind { Compute, Append };
    Kind kind = Kind::Compute;
    std::string parentSql;   // COMPUTE: the grouped query; APPEND: the parent query
    std::string parentAlias;
    std::string childSql;    // APPEND only
    std::string childAlias;  // APPEND only
    std::string chapterName; // the chapter column of the parent rows
    std::string groupColumn; // COMPUTE: BY column
    std::string relateParent, relateChild; // APPEND: RELATE parent TO child
};

// True when the text is a data-shape command (starts with the word SHAPE).
bool IsShapeCommand(std::string_view text);
// The command, or nothing with why in error when the text is not one of the
// two forms.
std::optional<ShapeCommand> ParseShape(std::string_view text, std::string* error = nullptr);

// Runs a parsed command on the connection: the parent rows with their
// Chapter column. A column named by BY or RELATE that the query lacks
// raises kErrItemNotFound.
ado::RowSet RunShape(ado::Connection& connection, const ShapeCommand& command);

// The database layer's hook for data-shape command texts: a text that
// starts with SHAPE but is not one of the two forms raises kErrCommandText.
class DataShapeHandler : public ado::CommandTextHandler {
public:
    bool Claims(std::string_view commandText) const override;
    ado::RowSet Run(ado::Connection& connection, std::string_view commandText) override;
};

// Installs DataShapeHandler as the database layer's command-text handler
// unless it is installed already.
void InstallDataShape();

} // namespace report
