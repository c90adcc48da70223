#pragma once
// For the tests of the store editor: the program fixture (program folder
// with both databases, fixed clock, scripted boxes) with scripted dialogs,
// plus the editor opened on one of the databases and a few readers of the
// file.

#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/RowSet.h"
#include "platform/forms/CommonDialog.h"
#include "platform/testing/Quiescence.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/ServicesTestSupport.h"
#include "program/stores/StoresState.h"
#include "program/stores/frmStoreInfo.h"

#include <QCoreApplication>

#include <string>
#include <string_view>
#include <vector>

namespace tv::testing {

class StoreEditorFixture : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        tv::ResetStoresState();
        forms::SetDialogPort(dialogs);
    }

    void TearDown() override
    {
        ProgramFixture::TearDown();
        forms::SetDialogPort(nullptr);
        tv::ResetStoresState();
    }

    // The editor, loaded and shown, on the program folder's database.
    frmStoreInfo& open(std::string_view database = Mod_tallyvane::kExampleDatabaseFileName)
    {
        tv::Shell().g_DatabaseFileName = std::string(database);
        Mod_DBConnections::OpenDatabase();
        frmStoreInfo& form = frmStoreInfo::Instance();
        form.Show();
        return form;
    }

    static frmStoreInfo& form() { return frmStoreInfo::Instance(); }

    // The one value a query gives (Empty when it gives no row).
    static vb::Variant scalar(std::string_view sql, const std::vector<vb::Variant>& parameters = {})
    {
        ado::RowSet rows = tv::Shell().g_DBConnection->Query(sql, parameters);
        if (rows.RowCount() == 0)
            return vb::Variant();
        auto rs = ado::Recordset::Create();
        rs->OpenRowSet(std::move(rows), tv::Shell().g_DBConnection);
        return rs->Fields(0).Value();
    }

    static int32_t count(std::string_view sql, const std::vector<vb::Variant>& parameters = {})
    {
        return vb::CLng(scalar(sql, parameters));
    }

    static int16_t storeIdOf(int number)
    {
        return vb::CInt(scalar("SELECT StoreID FROM Stores WHERE StoreNumber = ?", {vb::Variant(number)}));
    }

    // Clicks a store in the list, as the user does.
    static void chooseStore(int16_t storeID) { form().smuiPanel(0).Choose(std::to_string(storeID)); }
    static void command(std::string_view key) { form().smuiPanel(1).Choose(key); }

    // The prompts the program's own box showed, in order.
    std::vector<std::string> prompts() const
    {
        std::vector<std::string> out;
        for (const auto& r : mbox->shown)
            out.push_back(r.prompt);
        return out;
    }

    static void settle()
    {
        EXPECT_TRUE(tv::testing::DrainPostedEvents());
    }

    std::shared_ptr<forms::ScriptedDialogs> dialogs = std::make_shared<forms::ScriptedDialogs>();
};

} // namespace tv::testing
