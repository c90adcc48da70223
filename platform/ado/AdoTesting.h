#pragma once
// Helpers for the layer's tests: a database file made with plain SQLite, so
// that what a test checks never depends on the layer writing it.

#include "platform/basic/RuntimeError.h"

#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace ado::testing {

// Creates (or replaces) a database file holding what the script makes.
inline void MakeDatabase(const std::filesystem::path& file, const std::string& script)
{
    std::filesystem::remove(file);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot create " + file.string());
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error("script failed: " + message);
}

// The first column of the first row of a query, as text ("NULL" for Null,
// "" when there is no row), read with plain SQLite.
inline std::string QueryText(const std::filesystem::path& file, const std::string& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    std::string out;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* text = sqlite3_column_text(stmt, 0);
        out = text ? reinterpret_cast<const char*>(text) : "NULL";
        if (sqlite3_column_type(stmt, 0) == SQLITE_NULL)
            out = "NULL";
    } else if (!stmt) {
        out = std::string("error: ") + sqlite3_errmsg(db);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return out;
}

// The VB error number a statement raises, 0 when it raises none.
template <class F>
int ErrorOf(F&& statement)
{
    try {
        statement();
    } catch (const vb::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

// The text of the error a statement raises, "" when none.
template <class F>
std::string ErrorTextOf(F&& statement)
{
    try {
        statement();
    } catch (const vb::RuntimeError& e) {
        return e.Description();
    }
    return {};
}

} // namespace ado::testing
