#pragma once
// A SQLite handle opened as the database layer opens its own (read-write, no
// mutex, extended result codes, a busy timeout, WAL), so that a benchmark's
// bare-SQLite floor pays what the layer pays and nothing else.

#include <sqlite3.h>

#include <filesystem>

namespace bench {

inline sqlite3* OpenAsTheLayerDoes(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 2000);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    return db;
}

} // namespace bench
