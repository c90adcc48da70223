// The store editor driven headless over the example database and over an
// empty one: the frame, the store list, add mode and the tab guard.

#include "program/stores/frmStoreInfo.h"

#include "program/shell/Mod_DBConnections.h"
#include "program/shell/ShellTestSupport.h"
#include "program/stores/StoresState.h"

#include <gtest/gtest.h>

namespace {

class StoreEditor : public tv::testing::ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        tv::ResetStoresState();
    }
    void TearDown() override
    {
        ShellFixture::TearDown();
        tv::ResetStoresState();
    }
    frmStoreInfo& open(std::string_view database)
    {
        tv::Shell().g_DatabaseFileName = std::string(database);
        Mod_DBConnections::OpenDatabase();
        frmStoreInfo& form = frmStoreInfo::Instance();
        form.Show();
        return form;
    }
};

TEST_F(StoreEditor, OpensWithItsFourTabsAndTheReminderMenuHidden)
{
    frmStoreInfo& form = open(Mod_tallyvane::kExampleDatabaseFileName);
    EXPECT_EQ(form.Caption(), "Store Information");
    ASSERT_EQ(form.SSTab1.Tabs(), 4);
    EXPECT_EQ(form.SSTab1.TabCaption(3), "Lease Info (Cont)");
    EXPECT_FALSE(form.smuiMenuBar.Items().Item("REMINDERS").Visible());
    form.SSTab1.SetTab(3);
    EXPECT_TRUE(form.smuiMenuBar.Items().Item("REMINDERS").Visible());
    EXPECT_EQ(form.ManageView, 0);
}

} // namespace
