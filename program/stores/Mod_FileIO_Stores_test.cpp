#include "program/stores/Mod_FileIO_Stores.h"

#include "platform/forms/Runtime.h"
#include "program/stores/StoresTestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

namespace {

class StoreList : public tv::testing::StoreEditorFixture {
protected:
    void SetUp() override
    {
        StoreEditorFixture::SetUp();
        // Errors nobody handled reach the scripted box, as the program shows them.
        forms::InstallErrorHandler();
    }
    void TearDown() override
    {
        vb::SetUnhandledErrorHandler(nullptr);
        StoreEditorFixture::TearDown();
    }
};

// A Stores table that lacks a column of the list: the editor still opens,
// and the user is told which column is missing, once.
class StoreListWithout : public StoreList, public ::testing::WithParamInterface<const char*> {};

TEST_P(StoreListWithout, TheMissingColumnIsToldByName)
{
    const std::string column = GetParam();
    tv::Shell().g_DatabaseFileName = Mod_tallyvane::kExampleDatabaseFileName;
    Mod_DBConnections::OpenDatabase();
    tv::Shell().g_DBConnection->Query("ALTER TABLE Stores DROP COLUMN " + column);

    frmStoreInfo& f = frmStoreInfo::Instance();
    f.Show();
    ASSERT_EQ(msgbox->shown.size(), 1u);
    const std::string& told = msgbox->shown[0].prompt;
    EXPECT_NE(told.find("Run-time error '3265'"), std::string::npos) << told;
    EXPECT_NE(told.find("'" + column + "'"), std::string::npos) << told;
    EXPECT_EQ(f.smuiPanel(0).Items().Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreListWithout, ::testing::Values("Icon", "StoreName"));

// The Stores table's first page, as the file holds it, overwritten: its
// rows cannot be read while the rest of the file can.
void damageStoresPage(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db,
                                 "SELECT rootpage, (SELECT page_size FROM pragma_page_size) FROM sqlite_master "
                                 "WHERE name = 'Stores'",
                                 -1, &st, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    const sqlite3_int64 page = sqlite3_column_int64(st, 0);
    const sqlite3_int64 size = sqlite3_column_int64(st, 1);
    sqlite3_finalize(st);
    ASSERT_EQ(sqlite3_close(db), SQLITE_OK);
    ASSERT_GT(page, 1);
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp((page - 1) * size);
    const std::string garbage(static_cast<size_t>(size), '\xA5');
    f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    ASSERT_TRUE(f.good());
}

// A Stores table that is gone or cannot be read: the editor still opens,
// and the user is told, once, what failed, not shown an empty list as if
// there were no stores.
class StoreListOf : public StoreList, public ::testing::WithParamInterface<const char*> {};

TEST_P(StoreListOf, TableThatCannotBeReadIsToldNotShownAsNoStores)
{
    const std::string damage = GetParam();
    const auto file = root.ProgramFolder() / Mod_tallyvane::kExampleDatabaseFileName;
    if (damage == "malformed")
        damageStoresPage(file);
    tv::Shell().g_DatabaseFileName = Mod_tallyvane::kExampleDatabaseFileName;
    Mod_DBConnections::OpenDatabase();
    if (damage == "no such table")
        tv::Shell().g_DBConnection->Query("DROP TABLE Stores");

    frmStoreInfo& f = frmStoreInfo::Instance();
    f.Show();
    ASSERT_EQ(msgbox->shown.size(), 1u);
    const std::string& prompt = msgbox->shown[0].prompt;
    EXPECT_NE(prompt.find("Run-time error"), std::string::npos) << prompt;
    EXPECT_NE(prompt.find(damage), std::string::npos) << prompt;
    EXPECT_EQ(f.smuiPanel(0).Items().Count(), 0);
    EXPECT_EQ(tv::Stores().g_CurrentStoreID, -1);
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreListOf, ::testing::Values("no such table", "malformed"),
                         [](const auto& info) { return std::string(info.index == 0 ? "Dropped" : "DamagedPage"); });

} // namespace
