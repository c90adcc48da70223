#include "tools/DatabaseBuilder.h"

#include "platform/testing/TempRoot.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <fstream>

using namespace tv::tools;

namespace {

std::string scalar(const std::filesystem::path& file, const std::string& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    std::string out = "<error>";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        out = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return out;
}

} // namespace

TEST(DatabaseBuilder, BuildDaysAndDayNumbers)
{
    EXPECT_EQ(DayNumber({1900, 1, 1}), 0);
    EXPECT_EQ(DayNumber({1900, 1, 2}), 1);
    EXPECT_EQ(DayNumber({2000, 1, 1}), 36524);
    ASSERT_TRUE(ParseBuildDay("2024-02-29"));
    EXPECT_EQ(ParseBuildDay("2024-02-29")->day, 29);
    for (const char* bad : {"2023-02-29", "2024-2-9", "2024-02-29x", "", "yesterday"})
        EXPECT_FALSE(ParseBuildDay(bad)) << bad;
}

TEST(DatabaseBuilder, TheExampleScriptSeesTheBuildDayAndAFailureKeepsTheOldFile)
{
    tv::testing::TempRoot root;
    const auto file = root.InstallFolder() / "Example.mdb";
    const std::string schema = "CREATE TABLE T (d TEXT);";
    BuildDatabase(file, schema, std::string("INSERT INTO T SELECT date(Today, '+1 month') FROM Build;"),
                  {2024, 1, 31});
    EXPECT_EQ(scalar(file, "SELECT d FROM T"), "2024-03-02");
    EXPECT_EQ(scalar(file, "PRAGMA user_version"), std::to_string(DayNumber({2024, 1, 31})));
    EXPECT_EQ(scalar(file, "PRAGMA journal_mode"), "delete");
    EXPECT_EQ(scalar(file, "SELECT count(*) FROM sqlite_temp_master"), "0");

    EXPECT_THROW(BuildDatabase(file, schema, std::string("INSERT INTO Nowhere VALUES (1);"), {2024, 2, 1}),
                 std::runtime_error);
    EXPECT_EQ(scalar(file, "SELECT d FROM T"), "2024-03-02");
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".building"));

    // Without the example script: the schema only, no build day.
    const auto empty = root.InstallFolder() / "Empty.mdb";
    BuildDatabase(empty, schema, std::nullopt, {2024, 1, 31});
    EXPECT_EQ(scalar(empty, "SELECT count(*) FROM T"), "0");
    EXPECT_EQ(scalar(empty, "PRAGMA user_version"), "0");
}

TEST(DatabaseBuilder, AFileIsRebuiltWhenAnInputChangesOrTheExampleGrowsOld)
{
    tv::testing::TempRoot root;
    const auto input = root.Path() / "schema.sql";
    std::ofstream(input) << "CREATE TABLE T (x);";
    const auto file = root.InstallFolder() / "Example.mdb";
    EXPECT_FALSE(IsUpToDate(file, {input}, true, {2024, 5, 1}));
    BuildDatabase(file, ReadTextFile(input), std::string(""), {2024, 5, 1});
    EXPECT_TRUE(IsUpToDate(file, {input}, true, {2024, 5, 1}));
    EXPECT_FALSE(IsUpToDate(file, {input}, true, {2024, 5, 2}));
    EXPECT_TRUE(IsUpToDate(file, {input}, false, {2024, 5, 2}));
    std::filesystem::last_write_time(input, std::filesystem::last_write_time(file) + std::chrono::seconds(5));
    EXPECT_FALSE(IsUpToDate(file, {input}, false, {2024, 5, 1}));
    EXPECT_FALSE(IsUpToDate(file, {root.Path() / "missing.sql"}, false, {2024, 5, 1}));
    EXPECT_THROW(ReadTextFile(root.Path() / "missing.sql"), std::runtime_error);
}
