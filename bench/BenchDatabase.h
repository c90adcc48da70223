#pragma once
// What the database benchmarks share: a temporary folder, a database file
// made from the shipped schema, and a SQLite handle opened as the database
// layer opens its own (read-write, no mutex, extended result codes, a busy
// timeout, WAL), so that a bare-SQLite floor pays what the layer pays and
// nothing else; and one opened with SQLite's fastest settings for a read.

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace bench {

// A new temporary folder, removed with everything in it when dropped.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tallyvane-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Creates file with the shipped schema and leaves it open in a transaction
// for the benchmark's rows; CommitAndClose ends it.
inline sqlite3* CreateWithSchema(const std::filesystem::path& file)
{
    std::ifstream in(std::filesystem::path(TV_DATA_DIR) / "schema.sql");
    std::stringstream schema;
    schema << in.rdbuf();
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_exec(db, schema.str().c_str(), nullptr, nullptr, nullptr);
    return db;
}

inline void CommitAndClose(sqlite3* db)
{
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

inline sqlite3* OpenAsTheLayerDoes(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 2000);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    return db;
}

// Read-only, no mutex, a page cache large enough for the file and the file
// mapped: the fastest a query runs on this file. (temp_store=MEMORY is left
// out: it makes SQLite's sorter slower, not faster.)
inline sqlite3* OpenFastestForReading(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_exec(db, "PRAGMA cache_size=-262144; PRAGMA mmap_size=1073741824", nullptr, nullptr, nullptr);
    return db;
}

} // namespace bench
