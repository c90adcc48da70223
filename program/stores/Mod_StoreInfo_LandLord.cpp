// Property management companies: one LandLord row each, named by Company;
// a store points at its company through Stores.LandLordID (0: none).

#include "program/stores/Mod_StoreInfo.h"

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/JetSql.h"
#include "platform/ado/Recordset.h"
#include "platform/forms/MsgBox.h"
#include "program/services/MBoxMod.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/ShellState.h"
#include "program/stores/StoresState.h"
#include "program/stores/frmStoreInfo.h"

namespace Mod_StoreInfo {

namespace {

constexpr int kListMostRows = 10;

struct LandLordCloser {
    ~LandLordCloser() { Mod_DBConnections::CloseLandLord(); }
};
struct StoresCloser {
    ~StoresCloser() { Mod_DBConnections::CloseStores(); }
};

// The company row of the id, through a read of its own; 0 and ids without a
// row give nothing.
bool landLordExists(int32_t landLordID)
{
    if (landLordID <= 0)
        return false;
    const ado::RowSet rows =
        tv::Shell().g_DBConnection->Query("SELECT LandLordID FROM LandLord WHERE LandLordID = ?", {landLordID});
    return rows.RowCount() > 0;
}

// Finds from the first row; false (at EOF) when no row matches.
bool findFromFirst(const ado::RecordsetPtr& rs, const std::string& criterion)
{
    if (rs->RecordCount() == 0)
        return false;
    rs->MoveFirst();
    rs->Find(criterion);
    return !rs->EOF_();
}

std::string text(const vb::Variant& value)
{
    return vb::CStr(EmptyIfNull(value));
}

} // namespace

vb::Variant EmptyIfNull(const vb::Variant& value)
{
    if (value.IsNull() || value.IsEmpty())
        return vb::Variant(std::string());
    return value;
}

vb::Variant SmallerOf(const vb::Variant& a, const vb::Variant& b)
{
    return vb::CDbl(a) > vb::CDbl(b) ? b : a;
}

void SaveStoreLandLord(int16_t storeID)
{
    frmStoreInfo& f = frmStoreInfo::Instance();
    tv::ShellState& shell = tv::Shell();
    int32_t landLordID = 0;
    {
        StoresCloser closer;
        int32_t count = 0;
        Mod_DBConnections::OpenStores("ReadOnly", count);
        shell.g_cmdStores->CommandText("SELECT LandLordID FROM Stores WHERE StoreID = ?");
        shell.g_rsStores = shell.g_cmdStores->Execute({vb::Variant(storeID)});
        if (!shell.g_rsStores->EOF_()) {
            const vb::Variant id = shell.g_rsStores->Fields("LandLordID").Value();
            if (!id.IsNull())
                landLordID = vb::CLng(id);
        }
    }
    // A link to a company that is gone counts as no company: the typed one
    // is looked up or created as for a store without one.
    if (landLordID != 0 && !landLordExists(landLordID))
        landLordID = 0;
    if (!f.txtLLCompany.Text().empty())
        SaveLandLord(landLordID, landLordID == 0, storeID);
}

void SaveLandLord(int32_t landLordID, bool noCompanyYet, int16_t storeID)
{
    frmStoreInfo& f = frmStoreInfo::Instance();
    tv::StoresState& s = tv::Stores();
    tv::ShellState& shell = tv::Shell();
    const std::string name = f.txtLLCompany.Text();
    // Names are values in the criterion, quoted: "O'Brien" is looked up as it stands.
    const std::string byName = "Company = " + ado::SqlQuote(name);
    const std::string byStore = "LandLordID = " + std::to_string(landLordID);

    bool link = false;
    bool write = true;
    int32_t targetID = 0;
    {
        LandLordCloser closer;
        int32_t count = 0;
        Mod_DBConnections::OpenLandLord("Modify", count);
        const ado::RecordsetPtr rs = shell.g_rsLandLord;
        const bool own = landLordID != 0 && findFromFirst(rs, byStore);
        if (own) {
            const std::string company = text(rs->Fields("Company").Value());
            if (name != company && !s.g_AddStoreMode) {
                if (findFromFirst(rs, byName)) {
                    // Another company, named in the box: the store moves to
                    // it. Its row takes the fields only when they were loaded
                    // from it (chosen in the list); otherwise they are the
                    // old company's and would overwrite the other's details.
                    link = true;
                    targetID = vb::CLng(rs->Fields("LandLordID").Value());
                    write = targetID == s.g_ShownLandLordID;
                } else {
                    const int16_t answer = MBoxMod::ShowMBox(
                        "This property management company was not found.  Create or replace the current property "
                        "management company?",
                        4, 15, 1, std::string("Company not found"), false);
                    if (answer == 0) {
                        rs->AddNew();
                        link = true;
                    } else if (answer == 1) {
                        findFromFirst(rs, byStore);
                    } else {
                        return;
                    }
                }
            }
        } else {
            bool found = false;
            if (count > 0 && findFromFirst(rs, byName)) {
                found = true;
                link = true;
                write = false;
                targetID = vb::CLng(rs->Fields("LandLordID").Value());
            }
            if (!found) {
                if (!noCompanyYet)
                    return;
                const int answer =
                    forms::MsgBox("Would you like to create a new property management company called " + name,
                                  forms::vbYesNo + forms::vbQuestion);
                if (answer != forms::vbYes)
                    return;
                rs->AddNew();
                link = true;
            }
        }
        if (write) {
            const cAddress& address = s.g_LandLordAddress;
            rs->Fields("Company") = name;
            rs->Fields("WebSite") = f.txtLLWebSite.Text();
            rs->Fields("Street") = address.Street();
            rs->Fields("City") = address.City();
            rs->Fields("State") = address.State();
            rs->Fields("ZipCode") = address.Postcode();
            rs->Fields("Region") = address.Country();
            rs->Fields("Contact") = f.txtLLContact.Text();
            rs->Fields("email") = f.txtLLEmail.Text();
            rs->Fields("Phone") = f.txtLLBusiness.Text();
            rs->Fields("Fax") = f.txtLLFax.Text();
            rs->Update();
            targetID = vb::CLng(rs->Fields("LandLordID").Value());
            s.g_ShownLandLordID = targetID;
        }
    }
    if (link) {
        StoresCloser closer;
        int32_t count = 0;
        Mod_DBConnections::OpenStores("Modify", count);
        const ado::RecordsetPtr rs = shell.g_rsStores;
        if (findFromFirst(rs, "StoreID = " + std::to_string(storeID))) {
            rs->Fields("LandLordID") = vb::Variant(targetID);
            rs->Update();
        }
    }
}

void LoadLandLord(int32_t landLordID)
{
    frmStoreInfo& f = frmStoreInfo::Instance();
    tv::StoresState& s = tv::Stores();
    tv::ShellState& shell = tv::Shell();
    LandLordCloser closer;
    int32_t count = 0;
    Mod_DBConnections::OpenLandLord("ReadOnly", count);
    shell.g_cmdLandLord->CommandText("SELECT * FROM LandLord WHERE LandLordID = ?");
    shell.g_rsLandLord = shell.g_cmdLandLord->Execute({vb::Variant(landLordID)});
    const ado::RecordsetPtr rs = shell.g_rsLandLord;
    if (rs->EOF_()) {
        ClearStoreForm(kClearLandLord);
        return;
    }
    {
        s.g_AddressLoading[1] = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{s.g_AddressLoading[1]};
        cAddress& address = s.g_LandLordAddress;
        address.SetAutoCorrect(true);
        address.SetStreet(text(rs->Fields("Street").Value()));
        address.SetCity(text(rs->Fields("City").Value()));
        address.SetState(text(rs->Fields("State").Value()));
        address.SetPostcode(text(rs->Fields("ZipCode").Value()));
        address.SetCountry(text(rs->Fields("Region").Value()));
        f.txtStreet(1).SetText(address.Address());
    }
    f.txtLLCompany.SetText(text(rs->Fields("Company").Value()));
    f.txtLLWebSite.SetText(text(rs->Fields("WebSite").Value()));
    f.txtLLContact.SetText(text(rs->Fields("Contact").Value()));
    f.txtLLEmail.SetText(text(rs->Fields("email").Value()));
    f.txtLLBusiness.SetText(text(rs->Fields("Phone").Value()));
    f.txtLLFax.SetText(text(rs->Fields("Fax").Value()));
    s.g_ShownLandLordID = landLordID;
}

void FillLandLordList()
{
    frmStoreInfo& f = frmStoreInfo::Instance();
    tv::ShellState& shell = tv::Shell();
    LandLordCloser closer;
    int32_t count = 0;
    Mod_DBConnections::OpenLandLord("ReadOnly", count);
    shell.g_cmdLandLord->CommandText("SELECT * FROM LandLord ORDER BY LandLordID");
    shell.g_rsLandLord = shell.g_cmdLandLord->Execute();
    const ado::RecordsetPtr rs = shell.g_rsLandLord;
    controls::SmartItems& items = f.smuiPMList.Items();
    // With the last company deleted the list is emptied, not left showing it.
    items.Clear();
    int rows = 0;
    for (; !rs->EOF_(); rs->MoveNext()) {
        items.Add(std::to_string(vb::CLng(rs->Fields("LandLordID").Value())), text(rs->Fields("Company").Value()),
                  controls::smuiListItem);
        ++rows;
    }
    if (rows > 0)
        // As many entries as the list holds, up to ten, each as tall as the
        // list's font draws it.
        f.smuiPMList.SetHeight(f.smuiPMList.HeightFor(vb::CInt(SmallerOf(vb::Variant(rows), vb::Variant(kListMostRows)))));
}

void DeleteLandLord(int32_t landLordID)
{
    // Id 0 is "no company": there is nothing to delete.
    if (landLordID <= 0)
        return;
    tv::StoresState& s = tv::Stores();
    Mod_DBConnections::CloseLandLord();
    Mod_DBConnections::CloseStores();
    const ado::ConnectionPtr& conn = tv::Shell().g_DBConnection;
    conn->BeginTrans();
    try {
        conn->Query("DELETE FROM LandLord WHERE LandLordID = ?", {vb::Variant(landLordID)});
        conn->Query("UPDATE Stores SET LandLordID = 0 WHERE LandLordID = ?", {vb::Variant(landLordID)});
        conn->CommitTrans();
    } catch (...) {
        vb::ResumeNext step;
        step([&] { conn->RollbackTrans(); });
        throw;
    }
    FillLandLordList();
    // The company shown is gone: its fields go too, so that the next save
    // does not offer to create it again.
    if (landLordID == s.g_ShownLandLordID)
        ClearStoreForm(kClearLandLord);
}

} // namespace Mod_StoreInfo
