#include "tools/DatabaseBuilder.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace tv::tools {

namespace {

class Database {
public:
    explicit Database(const std::filesystem::path& file)
    {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw std::runtime_error("cannot create " + file.string() + ": " + message);
        }
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void Exec(const std::string& sql, const std::string& what)
    {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : sqlite3_errmsg(db_);
            sqlite3_free(error);
            throw std::runtime_error(what + ": " + message);
        }
    }

private:
    sqlite3* db_ = nullptr;
};

std::string dayText(BuildDay d)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

int userVersion(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    int version = -1;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK
            && sqlite3_step(stmt) == SQLITE_ROW)
            version = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return version;
}

} // namespace

BuildDay Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::optional<BuildDay> ParseBuildDay(const std::string& text)
{
    BuildDay d;
    char tail = 0;
    if (text.size() != 10 || std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &d.year, &d.month, &d.day, &tail) != 3)
        return std::nullopt;
    using namespace std::chrono;
    const year_month_day ymd{year{d.year}, month{static_cast<unsigned>(d.month)}, day{static_cast<unsigned>(d.day)}};
    if (!ymd.ok())
        return std::nullopt;
    return d;
}

int DayNumber(BuildDay d)
{
    using namespace std::chrono;
    const sys_days day{year_month_day{year{d.year}, month{static_cast<unsigned>(d.month)},
                                      std::chrono::day{static_cast<unsigned>(d.day)}}};
    const sys_days origin{year_month_day{year{1900}, January, std::chrono::day{1}}};
    return static_cast<int>((day - origin).count());
}

void BuildDatabase(const std::filesystem::path& target, const std::string& schemaSql,
                   const std::optional<std::string>& exampleSql, BuildDay today)
{
    const std::filesystem::path temp = target.string() + ".building";
    std::filesystem::remove(temp);
    try {
        {
            Database db(temp);
            // A plain rollback journal: the shipped file is one file, whatever
            // journal the program later chooses for its own copy.
            db.Exec("PRAGMA journal_mode=DELETE", "journal");
            db.Exec("BEGIN", "begin");
            db.Exec(schemaSql, "schema");
            if (exampleSql) {
                db.Exec("CREATE TEMP TABLE Build (Today TEXT); INSERT INTO Build VALUES ('" + dayText(today) + "')",
                        "build day");
                db.Exec(*exampleSql, "example data");
                db.Exec("DROP TABLE temp.Build", "build day");
                db.Exec("PRAGMA user_version = " + std::to_string(DayNumber(today)), "build day");
            }
            db.Exec("COMMIT", "commit");
        }
        std::filesystem::rename(temp, target);
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(temp, ec);
        throw;
    }
}

bool IsUpToDate(const std::filesystem::path& target, const std::vector<std::filesystem::path>& inputs, bool dated,
                BuildDay today)
{
    std::error_code ec;
    const auto built = std::filesystem::last_write_time(target, ec);
    if (ec)
        return false;
    for (const auto& input : inputs) {
        const auto changed = std::filesystem::last_write_time(input, ec);
        if (ec || changed > built)
            return false;
    }
    return !dated || userVersion(target) == DayNumber(today);
}

std::string ReadTextFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace tv::tools
