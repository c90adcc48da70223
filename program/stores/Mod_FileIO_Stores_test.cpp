#include "program/stores/Mod_FileIO_Stores.h"

#include "platform/forms/Runtime.h"
#include "program/stores/StoresTestSupport.h"

#include <gtest/gtest.h>

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

} // namespace
