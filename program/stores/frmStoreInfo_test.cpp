// The store editor driven headless over the example database and over an
// empty one: the no-store guard, the store list, moving between stores, the
// add mode with its tab guard and its close, and deleting a store.

#include "program/stores/frmStoreInfo.h"

#include "platform/basic/App.h"
#include "program/stores/Mod_FileIO.h"
#include "program/stores/Mod_StoreInfo.h"
#include "program/stores/StoresTestSupport.h"
#include "program/stores/cCreateIcons.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class StoreEditor : public tv::testing::StoreEditorFixture {};

std::vector<std::string> listKeys(frmStoreInfo& form)
{
    std::vector<std::string> keys;
    for (const auto& item : form.smuiPanel(0).Items())
        keys.push_back(item->Key());
    return keys;
}

bool commandShown(frmStoreInfo& form, const char* key)
{
    return form.smuiPanel(1).Items().Item(key).Visible();
}

TEST_F(StoreEditor, AnEmptyDatabaseShowsTheNoticeYetANewStoreCanBeAddedAndSaved)
{
    frmStoreInfo& f = open(Mod_tallyvane::kDatabaseFileName);
    tv::StoresState& s = tv::Stores();
    EXPECT_EQ(s.g_CurrentStoreID, -1);
    EXPECT_EQ(f.smuiPanel(0).Items().Count(), 0);
    EXPECT_FALSE(s.g_StoreFormLoading);

    // Guarded handlers stop with the notice; its Help opens the manage page.
    mbox->answers.push_back({1, 0});
    EXPECT_EQ(f.CheckNoStores(), frmStoreInfo::kStop);
    // No help is installed here: the page looked for is named.
    ASSERT_EQ(mbox->shown.size(), 2u);
    EXPECT_EQ(mbox->shown[0].prompt, "Please add a new store before entering data.");
    EXPECT_EQ(mbox->shown[0].title, "No stores in database");
    EXPECT_EQ(mbox->shown[0].buttonSet, 4);
    EXPECT_NE(mbox->shown[1].prompt.find("is not installed."), std::string::npos) << mbox->shown[1].prompt;
    f.smuiPanel(1).Choose("DELETE");
    EXPECT_EQ(mbox->shown.size(), 3u);

    // Closing with no store shown writes nothing and asks nothing.
    command("ADDNEWSTORE");
    EXPECT_TRUE(s.g_AddStoreMode);
    EXPECT_EQ(f.CheckNoStores(), frmStoreInfo::kGoOn);
    EXPECT_FALSE(commandShown(f, "ADDNEWSTORE"));
    EXPECT_FALSE(commandShown(f, "DELETE"));
    EXPECT_TRUE(commandShown(f, "SAVE"));
    EXPECT_TRUE(commandShown(f, "CANCEL"));
    EXPECT_EQ(f.SSTab1.Tab(), 0);
    EXPECT_FALSE(f.UpDown1.Visible());

    f.txtStoreName.SetText("Harbor Point");
    f.txtStoreNumber.SetText("3");
    command("SAVE");
    EXPECT_FALSE(s.g_AddStoreMode);
    EXPECT_EQ(count("SELECT count(*) FROM Stores"), 1);
    const int16_t id = storeIdOf(3);
    EXPECT_EQ(s.g_CurrentStoreID, id);
    EXPECT_EQ(listKeys(f), std::vector<std::string>{std::to_string(id)});
    EXPECT_TRUE(f.smuiPanel(0).Items().Item(std::to_string(id)).Selected());
    EXPECT_TRUE(commandShown(f, "ADDNEWSTORE"));
    EXPECT_FALSE(commandShown(f, "SAVE"));
    EXPECT_TRUE(f.UpDown1.Visible());
    EXPECT_TRUE(f.smuiPanel(0).Enabled());
    // The new store's empty block of rate notes.
    EXPECT_TRUE(Mod_FileIO::ReadRateNotes(id, vb::AppPaths::ProgramFolder(), Mod_FileIO::kBaseRateNotes).has_value());
    EXPECT_EQ(f.txtStoreName.Text(), "Harbor Point");
}

TEST_F(StoreEditor, ChoosingAnotherStoreSavesTheShownOneAndTheListFollowsTheName)
{
    frmStoreInfo& f = open();
    tv::StoresState& s = tv::Stores();
    // Listed by store number; the lowest is shown first.
    const std::vector<std::string> keys = listKeys(f);
    ASSERT_EQ(keys.size(), 12u);
    EXPECT_EQ(keys.front(), std::to_string(storeIdOf(3)));
    EXPECT_EQ(keys.back(), std::to_string(storeIdOf(115)));
    EXPECT_EQ(s.g_CurrentStoreID, storeIdOf(3));
    EXPECT_EQ(f.txtStoreName.Text(), "Harbor Point");

    f.txtManager.SetText("Dana Quinn");
    f.txtStoreName.SetText("Harbor Point North");
    EXPECT_EQ(f.smuiPanel(0).Items().Item(keys.front()).Caption(), "Harbor Point North");
    chooseStore(storeIdOf(7));
    EXPECT_EQ(s.g_CurrentStoreID, storeIdOf(7));
    EXPECT_EQ(f.txtStoreName.Text(), "Riverside Plaza");
    EXPECT_EQ(scalar("SELECT Manager FROM Stores WHERE StoreNumber = 3"), vb::Variant("Dana Quinn"));
    EXPECT_EQ(scalar("SELECT StoreName FROM Stores WHERE StoreNumber = 3"), vb::Variant("Harbor Point North"));

    // A refused save shows its message and the move goes on; nothing of the
    // refused store is written.
    f.txtStoreNumber.SetText("");
    f.txtManager.SetText("Not Saved");
    chooseStore(storeIdOf(12));
    EXPECT_EQ(prompts(), std::vector<std::string>{"Please enter a store number before saving."});
    EXPECT_EQ(f.txtStoreName.Text(), "Cedar Creek Commons");
    EXPECT_EQ(count("SELECT count(*) FROM Stores WHERE Manager = 'Not Saved'"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM Stores WHERE StoreNumber = 7"), 1);
}

// Leaving a store the user did not change writes nothing: what another
// copy of the program saved meanwhile, to the store or to its company,
// stays. A store that was changed is saved whole, as before.
TEST_F(StoreEditor, LeavingAStoreWithoutAnEditKeepsWhatAnotherCopySavedMeanwhile)
{
    frmStoreInfo& f = open();
    const vb::Variant first(storeIdOf(3));
    const vb::Variant second(storeIdOf(7));
    ASSERT_EQ(vb::Variant(tv::Stores().g_CurrentStoreID), first);
    auto sql = [](std::string_view text, const vb::Variant& id) { tv::Shell().g_DBConnection->Query(text, {id}); };
    auto column = [&](const char* name, const vb::Variant& id) {
        return vb::CStr(scalar(std::string("SELECT ") + name + " FROM Stores WHERE StoreID = ?", {id}));
    };
    auto contact = [&](const vb::Variant& id) {
        return vb::CStr(scalar("SELECT Contact FROM LandLord WHERE LandLordID = (SELECT LandLordID FROM Stores "
                               "WHERE StoreID = ?)",
                               {id}));
    };
    ASSERT_FALSE(contact(first).empty());

    sql("UPDATE Stores SET Manager = 'Saved Elsewhere', OtherForReport = 'theirs' WHERE StoreID = ?", first);
    sql("UPDATE LandLord SET Contact = 'Their Contact' WHERE LandLordID = (SELECT LandLordID FROM Stores WHERE "
        "StoreID = ?)",
        first);
    chooseStore(vb::CInt(second));
    EXPECT_EQ(column("Manager", first), "Saved Elsewhere");
    EXPECT_EQ(column("OtherForReport", first), "theirs");
    EXPECT_EQ(contact(first), "Their Contact");

    // A change typed and typed back is no change either; closing the window
    // leaves the store as untouched as moving on does.
    const std::string fax = f.txtFax.Text();
    f.txtFax.SetText(fax + "9");
    f.txtFax.SetText(fax);
    sql("UPDATE Stores SET Manager = 'Also Elsewhere' WHERE StoreID = ?", second);
    f.Unload();
    EXPECT_EQ(column("Manager", second), "Also Elsewhere");

    // Changed, the store is saved whole when left.
    frmStoreInfo& again = frmStoreInfo::Instance();
    again.Show();
    ASSERT_EQ(again.txtManager.Text(), "Saved Elsewhere");
    again.txtFax.SetText("555-0199");
    chooseStore(vb::CInt(second));
    EXPECT_EQ(column("Fax", first), "555-0199");
    EXPECT_EQ(column("Manager", first), "Saved Elsewhere");
    EXPECT_TRUE(prompts().empty());
}

TEST_F(StoreEditor, AddModeAsksForASaveBeforeTheLeaseTabsAndCancelGoesBack)
{
    frmStoreInfo& f = open();
    tv::StoresState& s = tv::Stores();
    const int16_t shown = s.g_CurrentStoreID;
    f.txtFax.SetText("(206) 555-0199");
    command("ADDNEWSTORE");
    // Leaving the shown store for the new one saved it.
    EXPECT_EQ(scalar("SELECT Fax FROM Stores WHERE StoreID = ?", {shown}), vb::Variant("(206) 555-0199"));
    EXPECT_EQ(f.txtStoreName.Text(), "");
    EXPECT_EQ(f.txtInitTerm.Text(), "0");
    EXPECT_FALSE(f.smuiPanel(0).Enabled());
    // The list ignores clicks meanwhile.
    chooseStore(storeIdOf(7));
    EXPECT_TRUE(s.g_AddStoreMode);

    // Cancel: back to the tab before.
    mbox->answers.push_back({1, 0});
    f.SSTab1.SetTab(2);
    EXPECT_EQ(f.SSTab1.Tab(), 0);
    EXPECT_EQ(mbox->shown.back().prompt, "Please save the store information before continuing.");
    EXPECT_EQ(mbox->shown.back().title, "Please save information");
    EXPECT_EQ(mbox->shown.back().buttonSet, 16);
    // Save with no number: refused, and the new store stays on its tab.
    mbox->answers.push_back({0, 0});
    f.SSTab1.SetTab(3);
    EXPECT_EQ(mbox->shown.back().prompt, "Please enter a store number before saving.");
    EXPECT_EQ(f.SSTab1.Tab(), 0);
    EXPECT_TRUE(s.g_AddStoreMode);
    EXPECT_FALSE(f.smuiMenuBar.Items().Item("REMINDERS").Visible());

    command("CANCEL");
    EXPECT_FALSE(s.g_AddStoreMode);
    EXPECT_EQ(s.g_CurrentStoreID, shown);
    EXPECT_EQ(f.txtStoreName.Text(), "Harbor Point");
    EXPECT_TRUE(f.UpDown1.Visible());
    EXPECT_TRUE(commandShown(f, "DELETE"));
    EXPECT_TRUE(f.smuiPanel(0).Enabled());

    // Save from the tab guard: the lease tab comes up with the new store.
    command("ADDNEWSTORE");
    f.txtStoreName.SetText("Dockside");
    // The new store's name does not touch the list.
    EXPECT_EQ(f.smuiPanel(0).Items().Item(std::to_string(shown)).Caption(), "Harbor Point");
    f.txtStoreNumber.SetText("130");
    mbox->answers.push_back({0, 0});
    f.SSTab1.SetTab(2);
    EXPECT_FALSE(s.g_AddStoreMode);
    EXPECT_EQ(f.SSTab1.Tab(), 2);
    EXPECT_EQ(s.g_CurrentStoreID, storeIdOf(130));
    EXPECT_EQ(listKeys(f).back(), std::to_string(storeIdOf(130)));
    EXPECT_EQ(count("SELECT count(*) FROM Stores"), 13);
    // The store shown before kept its own data.
    EXPECT_EQ(scalar("SELECT StoreName FROM Stores WHERE StoreID = ?", {shown}), vb::Variant("Harbor Point"));
}

TEST_F(StoreEditor, ClosingInAddModeSavesOrDropsTheNewStoreButNeverWritesItIntoTheOneBefore)
{
    open();
    const int16_t shown = tv::Stores().g_CurrentStoreID;
    command("ADDNEWSTORE");
    form().txtStoreName.SetText("Dropped");
    form().txtStoreNumber.SetText("140");
    mbox->answers.push_back({1, 0}); // Don't Save
    form().smuiMenuBar.Choose("CLOSE");
    settle();
    EXPECT_EQ(frmStoreInfo::IfLoaded(), nullptr);
    EXPECT_EQ(mbox->shown.back().prompt, "Save the new store before closing?");
    EXPECT_EQ(count("SELECT count(*) FROM Stores WHERE StoreNumber = 140 OR StoreName = 'Dropped'"), 0);
    EXPECT_EQ(scalar("SELECT StoreName FROM Stores WHERE StoreID = ?", {shown}), vb::Variant("Harbor Point"));

    // Save with a duplicate number: refused, and the user's close stays open.
    open();
    command("ADDNEWSTORE");
    form().txtStoreName.SetText("Kept");
    form().txtStoreNumber.SetText("7");
    mbox->answers.push_back({0, 0});
    form().smuiMenuBar.Choose("CLOSE");
    settle();
    ASSERT_NE(frmStoreInfo::IfLoaded(), nullptr);
    EXPECT_EQ(mbox->shown.back().prompt, "7 is a duplicate store number.  Stores may not have duplicate store numbers");
    EXPECT_TRUE(tv::Stores().g_AddStoreMode);
    // Put right, it is saved by the close.
    form().txtStoreNumber.SetText("141");
    mbox->answers.push_back({0, 0});
    form().smuiMenuBar.Choose("CLOSE");
    settle();
    EXPECT_EQ(frmStoreInfo::IfLoaded(), nullptr);
    EXPECT_EQ(scalar("SELECT StoreName FROM Stores WHERE StoreNumber = 141"), vb::Variant("Kept"));
    EXPECT_EQ(scalar("SELECT StoreName FROM Stores WHERE StoreID = ?", {shown}), vb::Variant("Harbor Point"));
}

TEST_F(StoreEditor, DeleteStoreRemovesTheStoreAndEverythingItOwns)
{
    frmStoreInfo& f = open();
    const fs::path folder = vb::AppPaths::ProgramFolder();
    const int16_t id = storeIdOf(3);
    const int16_t other = storeIdOf(7);
    Mod_FileIO::AddStoreNotesBlock(id, folder);
    Mod_FileIO::AddStoreNotesBlock(other, folder);
    Mod_FileIO::WriteRateNotes(other, folder, Mod_FileIO::kBaseRateNotes, {"kept"});
    ASSERT_TRUE(fs::exists(StoreIconFile(3)));
    const char* tables[] = {"BaseRate", "CAMRate", "TaxRate", "PercentageRate", "Sales", "CalInfo", "Stores"};
    auto owned = [&](int16_t store) {
        int32_t n = 0;
        for (const char* t : tables)
            n += count(std::string("SELECT count(*) FROM ") + t + " WHERE StoreID = ?", {store});
        return n;
    };
    ASSERT_GT(owned(id), 7);
    const int32_t otherRows = owned(other);

    // No: nothing happens.
    mbox->answers.push_back({1, 0});
    command("DELETE");
    EXPECT_EQ(mbox->shown.back().prompt,
              "Delete the store \"Harbor Point\" with its rents, sales, reminders and notes?  This cannot be undone.");
    EXPECT_GT(owned(id), 7);

    mbox->answers.push_back({0, 0});
    command("DELETE");
    EXPECT_EQ(owned(id), 0);
    EXPECT_EQ(owned(other), otherRows);
    EXPECT_FALSE(Mod_FileIO::ReadRateNotes(id, folder, Mod_FileIO::kBaseRateNotes).has_value());
    EXPECT_EQ(Mod_FileIO::ReadRateNotes(other, folder, Mod_FileIO::kBaseRateNotes)->at(0), "kept");
    EXPECT_FALSE(fs::exists(StoreIconFile(3)));
    // The next store is shown.
    EXPECT_EQ(tv::Stores().g_CurrentStoreID, other);
    EXPECT_EQ(f.txtStoreName.Text(), "Riverside Plaza");
    EXPECT_EQ(listKeys(f).size(), 11u);
}

TEST_F(StoreEditor, TheDeleteQuestionKeepsItsWarningInSightForALongName)
{
    std::string name;
    while (name.size() < 340)
        name += "Harbor Point Outlet Center ";
    name.resize(340);
    frmStoreInfo& f = open();
    f.txtStoreName.SetText(name);
    ASSERT_EQ(f.txtStoreName.Text(), name);
    mbox->answers.push_back({1, 0});
    command("DELETE");
    const std::string prompt = mbox->shown.back().prompt;
    const std::string warning = "\" with its rents, sales, reminders and notes?  This cannot be undone.";
    ASSERT_GT(prompt.size(), warning.size());
    EXPECT_EQ(prompt.substr(prompt.size() - warning.size()), warning);
    EXPECT_EQ(prompt.rfind("Delete the store \"Harbor Point Outlet", 0), 0u) << prompt;
    EXPECT_NE(prompt.find("\u2026\""), std::string::npos) << prompt;
    EXPECT_TRUE(MBoxMod::PromptFits(prompt)) << prompt;
    // A short name stays whole.
    EXPECT_EQ(MBoxMod::FitPrompt("Delete the store \"", "Harbor Point", warning),
              "Delete the store \"Harbor Point" + warning);
}

TEST_F(StoreEditor, DeletingTheLastStoreEmptiesTheWindowAndAFailedDeleteKeepsEverything)
{
    frmStoreInfo& f = open(Mod_tallyvane::kDatabaseFileName);
    command("ADDNEWSTORE");
    f.txtStoreName.SetText("Only One");
    f.txtStoreNumber.SetText("1");
    command("SAVE");
    const int16_t id = tv::Stores().g_CurrentStoreID;
    ASSERT_GE(id, 0);
    tv::Shell().g_DBConnection->Query("INSERT INTO CalInfo (Date, StoreID, Type, info, Image) VALUES (1, ?, '1', 'x', '1')",
                                      {id});

    // A database that refuses the delete keeps every row.
    tv::Shell().g_DBConnection->Query(
        "CREATE TRIGGER NoDelete BEFORE DELETE ON Stores BEGIN SELECT RAISE(ABORT, 'kept'); END");
    mbox->answers.push_back({0, 0});
    command("DELETE");
    EXPECT_EQ(count("SELECT count(*) FROM CalInfo WHERE StoreID = ?", {id}), 1);
    EXPECT_EQ(count("SELECT count(*) FROM Stores"), 1);
    EXPECT_NE(mbox->shown.back().prompt.find("could not be deleted"), std::string::npos);
    EXPECT_FALSE(tv::Shell().g_DBConnection->InTransaction());

    tv::Shell().g_DBConnection->Query("DROP TRIGGER NoDelete");
    mbox->answers.push_back({0, 0});
    command("DELETE");
    EXPECT_EQ(count("SELECT count(*) FROM Stores"), 0);
    EXPECT_EQ(tv::Stores().g_CurrentStoreID, -1);
    EXPECT_EQ(f.smuiPanel(0).Items().Count(), 0);
    EXPECT_EQ(f.txtStoreName.Text(), "");
}

TEST_F(StoreEditor, TheReminderMenuShowsOnlyWithTheSecondLeaseTabAndHelpFollowsTheView)
{
    frmStoreInfo& f = open();
    EXPECT_FALSE(f.smuiMenuBar.Items().Item("REMINDERS").Visible());
    f.SSTab1.SetTab(3);
    EXPECT_TRUE(f.smuiMenuBar.Items().Item("REMINDERS").Visible());
    f.SSTab1.SetTab(1);
    EXPECT_FALSE(f.smuiMenuBar.Items().Item("REMINDERS").Visible());
    f.smuiOptions.Choose("MANAGE");
    EXPECT_EQ(f.ManageView, 1);
    EXPECT_EQ(f.smuiOptions.ShownPanel(), &f.smuiPanel(1));
    f.smuiOptions.Choose("STORES");
    EXPECT_EQ(f.ManageView, 0);
    // While the reminder menu is set by code its clicks do nothing.
    tv::Stores().g_ReminderUpdating = true;
    f.smuiMenuBar_ItemClick("CLOSE");
    EXPECT_NE(frmStoreInfo::IfLoaded(), nullptr);
    tv::Stores().g_ReminderUpdating = false;
}

// Each tab draws every text it shows, and looks unlike the one before.
TEST_F(StoreEditor, PicturesOfEachTabOnTheExampleDatabase)
{
    frmStoreInfo& f = open();
    const char* names[] = {"frmStoreInfo_store", "frmStoreInfo_manager", "frmStoreInfo_lease", "frmStoreInfo_lease2"};
    QImage previous;
    for (int tab = 0; tab < 4; ++tab) {
        f.SSTab1.SetTab(tab);
        settle();
        const QImage picture = Grab(f.hWnd(), QString::fromLatin1(names[tab]));
        EXPECT_NE(picture, previous) << names[tab];
        previous = picture;
    }
    f.smuiOptions.Choose("MANAGE");
    f.SSTab1.SetTab(0);
    settle();
    EXPECT_NE(Grab(f.hWnd(), QStringLiteral("frmStoreInfo_manage")), previous);
}

} // namespace
