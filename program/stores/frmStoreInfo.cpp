#include "program/stores/frmStoreInfo.h"

#include "platform/basic/App.h"
#include "platform/basic/RuntimeError.h"
#include "program/services/MBoxMod.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/stores/Mod_FileIO.h"
#include "program/stores/Mod_FileIO_Stores.h"
#include "program/stores/Mod_StoreInfo.h"
#include "program/stores/StoresState.h"
#include "program/stores/frmAddress.h"

#include <QPixmap>

#include <filesystem>

namespace {

constexpr const char* kManageTopic = "Store_Info_Screen\\Store_Information_Screen_-_Manage_Stores.htm";
// The notice's own Help opens the same page, named with a forward slash.
constexpr const char* kNoStoreTopic = "Store_Info_Screen/Store_Information_Screen_-_Manage_Stores.htm";
constexpr const char* kTabTopics[] = {
    "Store_Info_Screen\\SIS_Store.htm",
    "Store_Info_Screen\\SIS_PMTab.htm",
    "Store_Info_Screen\\SIS_LeaseTab.htm",
    "Store_Info_Screen\\SIS_Lease2.htm",
};
constexpr int16_t kCloseEffectStep = 200;

std::string newStoreImageKey()
{
    return "STOREIMAGE" + std::to_string(Mod_StoreInfo::kNewStoreImageID);
}

} // namespace

frmStoreInfo::frmStoreInfo()
    : FormOf("frmStoreInfo")
{
    layOut();
    wireFrame();
    wireLease();
    wireRent();
    wireDetails();
}

void frmStoreInfo::wireFrame()
{
    smuiOptions.ItemClick = [this](const std::string& key) { smuiOptions_ItemClick(key); };
    smuiPanel.On(&controls::SmartPanel::ItemClick,
                 [this](int Index, const std::string& key) { smuiPanel_ItemClick(Index, key); });
    smuiMenuBar.ItemClick = [this](const std::string& key) { smuiMenuBar_ItemClick(key); };
    SSTab1.Click = [this](int PreviousTab) { SSTab1_Click(PreviousTab); };
    txtStoreName.Change = [this] { txtStoreName_Change(); };
}

int16_t frmStoreInfo::CheckNoStores()
{
    const tv::StoresState& s = tv::Stores();
    if (s.g_CurrentStoreID >= 0 || s.g_StoreBusy || s.g_AddStoreMode)
        return kGoOn;
    const int16_t answer = MBoxMod::ShowMBox("Please add a new store before entering data.", 4, 4, 2,
                                             std::string("No stores in database"), false);
    if (answer == 1)
        Mod_SpecialFunctions::ShowHelpTopic(kNoStoreTopic);
    return kStop;
}

void frmStoreInfo::Form_Load()
{
    tv::StoresState& s = tv::Stores();
    vb::ResumeNext step;
    s.g_StoreFormLoading = true;
    step([&] {
        s.g_StoreAddress = cAddress();
        s.g_LandLordAddress = cAddress();
    });
    step([&] {
        smuiOptions.Groups().Add("STORES", "Stores", controls::smuiGroup);
        smuiOptions.Groups().Add("MANAGE", "Manage Stores", controls::smuiGroup);
        for (const auto& group : smuiOptions.Groups())
            group->SetValue("smuiPanel(" + std::to_string(group->Index()) + ")");
        smuiOptions.SelectGroup(0);
    });
    step([&] { Mod_FileIO::FillStoreListPanel("frmStoreInfo"); });
    step([&] { Mod_StoreInfo::LoadStore(s.g_CurrentStoreID); });
    step([&] { Mod_StoreInfo::FillLandLordList(); });
    step([&] {
        const std::vector<std::string> names = Mod_SpecialFunctions::GetImagePaths();
        for (int i = 0; i < 4 && i < static_cast<int>(names.size()); ++i) {
            const std::string& name = names[static_cast<size_t>(i)];
            if (name.empty())
                continue;
            // A picture that cannot be read keeps the design picture.
            QPixmap picture;
            if (picture.load(QString::fromStdString((vb::AppPaths::ProgramFolder() / "icons" / name).string())))
                ImageSelectable(i).SetPicture(picture);
        }
    });
    ManageView = 0;
    step([&] { UpDown1.Tag = vb::CStr(vb::Variant(vb::Today())); });
    s.g_StoreFormLoading = false;
}

void frmStoreInfo::smuiOptions_ItemClick(const std::string& key)
{
    ManageView = key == "STORES" ? 0 : 1;
}

void frmStoreInfo::showAddCommands(bool adding)
{
    controls::SmartItems& commands = smuiPanel(1).Items();
    commands.Item("ADDNEWSTORE").SetVisible(!adding);
    commands.Item("DELETE").SetVisible(!adding);
    commands.Item("SAVE").SetVisible(adding);
    commands.Item("CANCEL").SetVisible(adding);
    smuiPanel(0).SetEnabled(!adding);
    // The new store's picture in the list goes with the add mode.
    if (!adding && smuiPanel(0).ListImages().Exists(newStoreImageKey()))
        smuiPanel(0).ListImages().Remove(newStoreImageKey());
}

bool frmStoreInfo::saveShownStore()
{
    tv::StoresState& s = tv::Stores();
    // With no store shown there is nothing to save (and no row to add); a
    // store the user did not change is not written back.
    if (s.g_CurrentStoreID < 0)
        return true;
    if (!StoreAsLoaded.empty() && StoreAsLoaded == Mod_StoreInfo::ShownStoreValues())
        return true;
    int16_t written = s.g_CurrentStoreID;
    if (Mod_StoreInfo::SaveStore(s.g_CurrentStoreID, written) != Mod_StoreInfo::kSaved) {
        // The list followed the typing; the refused edits go.
        vb::ResumeNext step;
        step([&] { Mod_FileIO::ShowStoredListItem(s.g_CurrentStoreID); });
        return false;
    }
    Mod_StoreInfo::SaveStoreLandLord(s.g_CurrentStoreID);
    return true;
}

void frmStoreInfo::smuiPanel_ItemClick(int Index, const std::string& key)
{
    tv::StoresState& s = tv::Stores();
    if (s.g_StoreFormLoading)
        return;
    frmAddress::Dismiss(); // an open address dialog edits the store shown
    if (Index == 0) {
        if (s.g_AddStoreMode)
            return;
        const vb::Variant id(key);
        if (!vb::IsNumeric(id))
            return;
        const int16_t storeID = vb::CInt(id);
        // A refused save (its message shown) does not stop the move: the
        // refused edits are dropped.
        saveShownStore();
        Mod_StoreInfo::LoadStore(storeID);
        s.g_CurrentStoreID = storeID;
        smuiPMList.SetVisible(false);
        txtLLBusiness.SetVisible(true);
        txtLLFax.SetVisible(true);
        return;
    }
    if (key == "ADDNEWSTORE") {
        // Leaving the store shown saves it, as choosing another store does.
        saveShownStore();
        s.g_AddStoreMode = true;
        showAddCommands(true);
        Mod_StoreInfo::ClearStoreForm(Mod_StoreInfo::kClearAll);
        SSTab1.SetTab(0);
    } else if (key == "SAVE") {
        SaveCurrentStore();
    } else if (key == "CANCEL") {
        showAddCommands(false);
        if (s.g_CurrentStoreID >= 0) {
            Mod_StoreInfo::LoadStore(s.g_CurrentStoreID);
            UpDown1.SetVisible(true);
        } else {
            Mod_StoreInfo::ClearStoreForm(Mod_StoreInfo::kClearAll);
        }
        s.g_AddStoreMode = false;
    } else if (key == "DELETE") {
        DeleteCurrentStore();
    }
}

void frmStoreInfo::SaveCurrentStore()
{
    tv::StoresState& s = tv::Stores();
    int16_t newStoreID = 0;
    if (Mod_StoreInfo::SaveStore(std::nullopt, newStoreID) != Mod_StoreInfo::kSaved)
        return;
    Mod_StoreInfo::SaveStoreLandLord(newStoreID);
    showAddCommands(false);
    Mod_FileIO::FillStoreListPanel("frmStoreInfo");
    s.g_CurrentStoreID = newStoreID;
    Mod_StoreInfo::LoadStore(newStoreID);
    const std::string key = std::to_string(newStoreID);
    for (const auto& item : smuiPanel(0).Items())
        item->SetSelected(item->Key() == key);
    vb::ResumeNext step;
    step([&] { Mod_FileIO::AddStoreNotesBlock(newStoreID, vb::AppPaths::ProgramFolder()); });
    s.g_AddStoreMode = false;
    UpDown1.SetVisible(true);
}

void frmStoreInfo::DeleteCurrentStore()
{
    tv::StoresState& s = tv::Stores();
    if (CheckNoStores() == kStop)
        return;
    const int16_t storeID = s.g_CurrentStoreID;
    // A long name gives way, so that the warning stays in sight.
    const std::string prompt = MBoxMod::FitPrompt("Delete the store \"", txtStoreName.Text(),
                                                  "\" with its rents, sales, reminders and notes?  This cannot be undone.");
    if (MBoxMod::ShowMBox(prompt, 4, 5, 2, std::string("Delete Store"), false) != 0)
        return;
    if (!Mod_StoreInfo::DeleteStore(storeID))
        return;
    Mod_FileIO::FillStoreListPanel("frmStoreInfo");
    if (s.g_CurrentStoreID >= 0) {
        Mod_StoreInfo::LoadStore(s.g_CurrentStoreID);
    } else {
        // The last store is gone: the list and the fields empty.
        smuiPanel(0).Items().Clear();
        smuiPanel(0).ListImages().Clear();
        Mod_StoreInfo::ClearStoreForm(Mod_StoreInfo::kClearAll);
    }
}

void frmStoreInfo::SSTab1_Click(int PreviousTab)
{
    tv::StoresState& s = tv::Stores();
    const int tab = SSTab1.Tab();
    if (s.g_AddStoreMode && (tab == 2 || tab == 3)) {
        const int16_t answer = MBoxMod::ShowMBox("Please save the store information before continuing.", 4, 16, 2,
                                                 std::string("Please save information"), false);
        if (answer == 0) {
            SaveCurrentStore();
            // A refused save keeps the new store on the first tabs: the lease
            // tabs would write the reminders of the store shown before.
            if (s.g_AddStoreMode) {
                SSTab1.SetTab(PreviousTab);
                return;
            }
        } else {
            SSTab1.SetTab(PreviousTab);
            if (answer == 2)
                Mod_SpecialFunctions::ShowHelpTopic(kNoStoreTopic);
            return;
        }
    }
    smuiPMList.SetVisible(false);
    txtLLBusiness.SetVisible(true);
    txtLLFax.SetVisible(true);
    smuiMenuBar.Items().Item("REMINDERS").SetVisible(SSTab1.Tab() == 3);
}

void frmStoreInfo::smuiMenuBar_ItemClick(const std::string& key)
{
    if (tv::Stores().g_ReminderUpdating)
        return;
    if (key == "CLOSE") {
        closingByUser_ = true;
        Unload();
        closingByUser_ = false;
    } else if (key == "HELP") {
        if (ManageView == 1)
            Mod_SpecialFunctions::ShowHelpTopic(kManageTopic);
        else
            Mod_SpecialFunctions::ShowHelpTopic(kTabTopics[SSTab1.Tab()]);
    } else if (key == "RENEWAL" || key == "INSURANCE" || key == "OTHER") {
        smuiMenuBar_ReminderClick(key);
    }
}

void frmStoreInfo::txtStoreName_Change()
{
    if (CheckNoStores() == kStop)
        return;
    const tv::StoresState& s = tv::Stores();
    if (s.g_StoreFormLoading || s.g_AddStoreMode)
        return;
    controls::SmartItems& items = smuiPanel(0).Items();
    const std::string key = std::to_string(s.g_CurrentStoreID);
    if (items.Exists(key))
        items.Item(key).SetCaption(txtStoreName.Text());
}

void frmStoreInfo::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    tv::StoresState& s = tv::Stores();
    if (!s.g_AddStoreMode)
        return;
    // A new store being entered is saved as SAVE does, or dropped; it is
    // never written into the store shown before.
    const int16_t answer = MBoxMod::ShowMBox("Save the new store before closing?", 4, 9, 2,
                                             std::string("Save new store"), false);
    if (answer == 0) {
        SaveCurrentStore();
        // Refused (its message shown): the user may put it right, unless the
        // program itself is closing the window.
        if (s.g_AddStoreMode && (UnloadMode == forms::vbFormControlMenu || closingByUser_)) {
            closingByUser_ = false;
            Cancel = 1;
            return;
        }
    }
    s.g_AddStoreMode = false;
    addDropped_ = true;
}

void frmStoreInfo::Form_Unload(int& Cancel)
{
    (void)Cancel;
    tv::StoresState& s = tv::Stores();
    vb::ResumeNext step;
    step([&] { frmAddress::Dismiss(); });
    // A new store that was dropped leaves the store shown before unsaved:
    // its fields hold the new store's data.
    if (!addDropped_)
        step([&] { saveShownStore(); });
    step([&] {
        s.g_StoreAddress = cAddress();
        s.g_LandLordAddress = cAddress();
    });
    step([&] { Mod_SpecialFunctions::CloseEffect(*this, kCloseEffectStep); });
}
