// Any text as a Jet command text through the rewriter and the bare-name
// test; and any text quoted with SqlQuote inside a command: the rewriter
// leaves the literal as it stands, and SQLite reads it as one literal whose
// value is the text. SQLite ends a command text at a NUL byte, so a text
// holding one must make the command fail, never run as something else.
//
// The first byte chooses where the literal stands in the command.

#include "platform/ado/JetSql.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

sqlite3* database()
{
    static sqlite3* db = [] {
        sqlite3* d = nullptr;
        if (sqlite3_open(":memory:", &d) != SQLITE_OK)
            std::abort();
        return d;
    }();
    return db;
}

// The command text's value in its one row, one column named v.
void checkOneLiteral(const std::string& sql, std::string_view text)
{
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(database(), sql.c_str(), static_cast<int>(sql.size()), &stmt, &tail);
    if (text.find('\0') != std::string_view::npos) {
        sqlite3_finalize(stmt);
        if (rc == SQLITE_OK)
            std::abort();
        return;
    }
    if (rc != SQLITE_OK || !stmt || tail != sql.c_str() + sql.size())
        std::abort();
    const int columns = sqlite3_column_count(stmt);
    int at = -1;
    for (int c = 0; c < columns; ++c)
        if (std::strcmp(sqlite3_column_name(stmt, c), "v") == 0)
            at = c;
    if (at < 0 || sqlite3_step(stmt) != SQLITE_ROW || sqlite3_column_type(stmt, at) != SQLITE_TEXT)
        std::abort();
    const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, at));
    const std::string_view got(value, static_cast<size_t>(sqlite3_column_bytes(stmt, at)));
    if (got != text || sqlite3_step(stmt) != SQLITE_DONE)
        std::abort();
    sqlite3_finalize(stmt);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    ado::jet::RewriteSql(input);
    ado::jet::BareTableName(input);
    if (input.empty())
        return 0;

    const std::string_view text = input.substr(1);
    const std::string quoted = ado::SqlQuote(text);
    // Before, after and between what the rewriter changes.
    std::string before, after;
    switch (input[0] % 4) {
    case 0: break;
    case 1: before = "#2003-1-31# AS d, "; break;
    case 2: after = " BETWEEN #1/31/2003 2:30 PM# AND `v`"; break;
    case 3: before = "1 AS `a`, #12/8/2026 1:05:00 PM# AS b, "; break;
    }
    const std::string sql = "SELECT " + before + quoted + after + " AS v";
    const std::string rewritten = ado::jet::RewriteSql(sql);
    const std::string lead = "SELECT " + ado::jet::RewriteSql(before);
    if (rewritten.compare(0, lead.size(), lead) != 0 || rewritten.compare(lead.size(), quoted.size(), quoted) != 0)
        std::abort();
    if (input[0] % 4 != 2)
        checkOneLiteral(rewritten, text);
    return 0;
}
