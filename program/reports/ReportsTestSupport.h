#pragma once
// Test support for the report builder and the runner: a program folder with
// the fixed report database in use, the report clock at a fixed moment, and
// the heading colour in the registry.

#include "platform/basic/DateTime.h"
#include "platform/registry/Registry.h"
#include "platform/report/DataEnvironment.h"
#include "platform/report/DataReport.h"
#include "platform/report/ReportTestSupport.h"
#include "platform/testing/TempRoot.h"
#include "program/reports/ReportsState.h"
#include "program/services/Mod_Registry.h"
#include "program/services/ShellState.h"

#include <sqlite3.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

namespace reporttest {

// Runs SQL on a database file behind the program's back (no connection of
// the program may be open on it).
inline void ExecSql(const std::filesystem::path& db, const std::string& sql)
{
    sqlite3* handle = nullptr;
    if (sqlite3_open(db.c_str(), &handle) != SQLITE_OK) {
        sqlite3_close(handle);
        throw std::runtime_error("cannot open " + db.string());
    }
    char* message = nullptr;
    const int rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &message);
    const std::string why = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(handle);
    if (rc != SQLITE_OK)
        throw std::runtime_error(sql + ": " + why);
}

// Overwrites the first page of a table's tree with junk, as a disk that
// lost a sector would: "PRAGMA integrity_check" then says "malformed".
inline void DamageTablePage(const std::filesystem::path& db, const std::string& table)
{
    sqlite3* handle = nullptr;
    sqlite3_open(db.c_str(), &handle);
    sqlite3_exec(handle, "PRAGMA wal_checkpoint(TRUNCATE); PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(handle, ("SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_master "
                                "WHERE name = '" + table + "'").c_str(),
                       -1, &stmt, nullptr);
    long long page = 0, size = 0;
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        page = sqlite3_column_int64(stmt, 0);
        size = sqlite3_column_int64(stmt, 1);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(handle);
    if (page < 2 || size <= 0)
        throw std::runtime_error("no table " + table + " in " + db.string());
    std::fstream file(db, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp((page - 1) * size);
    const std::string junk(static_cast<size_t>(size), '\x5A');
    file.write(junk.data(), static_cast<std::streamsize>(junk.size()));
}

// The program folder may only be read, for this thread, for the life of the
// object: as the user the program runs as, root excepted (root may write
// anywhere, so this thread then has the file access of another user).
class UnwritableFolder {
public:
    UnwritableFolder(const tv::testing::TempRoot& root, const std::filesystem::path& folder) : folder_(folder)
    {
        namespace fs = std::filesystem;
        fs::permissions(root.Path(), fs::perms(0755));
        fs::permissions(folder_, fs::perms(0555));
        if (::geteuid() == 0) {
            ::setfsgid(kOther);
            ::setfsuid(kOther);
        }
    }
    ~UnwritableFolder()
    {
        ::setfsuid(0);
        ::setfsgid(0);
        std::error_code ec;
        std::filesystem::permissions(folder_, std::filesystem::perms(0755), ec);
    }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;

private:
    static constexpr uid_t kOther = 65534;
    std::filesystem::path folder_;
};

class ReportWorld {
public:
    // Friday 31 January 2003, 9:00 AM.
    static vb::Date FixedNow() { return vb::Date::FromSerial(vb::DateSerial(2003, 1, 31).Serial() + vb::TimeSerial(9, 0, 0).Serial()); }

    ReportWorld()
    {
        tv::ResetReportsState();
        tv::ResetShellState();
        report::ResetDataEnvironment1();
        report::ResetReports();
        clock = std::make_shared<vb::FakeClock>(FixedNow());
        vb::SetClock(clock);
        std::filesystem::create_directories(root.ProgramFolder());
        BuildFixtureDatabase(root.ProgramFolder() / "Tallyvane.mdb", TV_DATA_DIR, TV_REPORT_FIXTURE);
        tv::Shell().g_DatabaseFileName = "Tallyvane.mdb";
    }
    ~ReportWorld()
    {
        report::ResetDataEnvironment1();
        report::ResetReports();
        vb::SetClock(nullptr);
        tv::ResetReportsState();
        tv::ResetShellState();
    }

    static void SetHeadingColor(uint32_t colour)
    {
        winreg::HKEY key{};
        winreg::RegCreateKeyEx(winreg::HKEY_CURRENT_USER, Mod_Registry::kReportsKey, 0, winreg::KEY_ALL_ACCESS, &key,
                               nullptr);
        const auto bytes = reinterpret_cast<const winreg::BYTE*>(&colour);
        winreg::RegSetValueEx(key, "HeadingColor", winreg::REG_DWORD, bytes, 4);
        winreg::RegCloseKey(key);
    }

    tv::testing::TempRoot root;
    std::shared_ptr<vb::FakeClock> clock;
};

} // namespace reporttest
