// The store's row written from the editor, and a store deleted with
// everything it owns.

#include "program/stores/Mod_StoreInfo.h"

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/App.h"
#include "platform/basic/Strings.h"
#include "program/services/MBoxMod.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/Notifications.h"
#include "program/services/ShellState.h"
#include "program/stores/Mod_FileIO_Stores.h"
#include "program/stores/StoresState.h"
#include "program/stores/cCreateIcons.h"
#include "program/stores/frmStoreInfo.h"

#include <charconv>
#include <filesystem>
#include <system_error>

namespace Mod_StoreInfo {

namespace {

constexpr int32_t kMaxStoreNumber = 32767;

// Closes Stores on every road out of a routine.
struct StoresCloser {
    ~StoresCloser() { Mod_DBConnections::CloseStores(); }
};

} // namespace

std::optional<int32_t> WholeNumber(std::string_view text, int32_t largest)
{
    const std::string t = vb::Trim(text);
    if (t.empty() || t.size() > 10)
        return std::nullopt;
    int64_t n = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
    if (ec != std::errc() || end != t.data() + t.size() || n < 0 || n > largest)
        return std::nullopt;
    return static_cast<int32_t>(n);
}

int16_t SaveStore(std::optional<int16_t> storeID, int16_t& newStoreID)
{
    frmStoreInfo& f = frmStoreInfo::Instance();
    tv::StoresState& s = tv::Stores();
    tv::ShellState& shell = tv::Shell();

    const std::string numberText = f.txtStoreNumber.Text();
    if (vb::Trim(numberText).empty()) {
        MBoxMod::ShowMBox("Please enter a store number before saving.", 4, 0, 2);
        return kRefused;
    }
    // The number is a value, never part of a statement: anything but a whole
    // number a store can carry is refused before the table is touched.
    const std::optional<int32_t> number = WholeNumber(numberText, kMaxStoreNumber);
    if (!number) {
        MBoxMod::ShowMBox(numberText + " is not a valid store number.  Store numbers are whole numbers from 0 to " +
                              std::to_string(kMaxStoreNumber) + ".",
                          4, 0, 2);
        return kRefused;
    }
    // The term goes into a number column and moves the end date: checked
    // before anything is written.
    const std::string termText = f.txtInitTerm.Text();
    if (!vb::IsNumeric(vb::Variant(termText))) {
        MBoxMod::ShowMBox("The initial term must be a numeric value!", 4, 0, 4, std::string());
        return kRefused;
    }
    const std::optional<int32_t> term = WholeNumber(termText, kMaxInitialTerm);
    if (!term) {
        MBoxMod::ShowMBox(kTermRangeNotice, 4, 0, 4, std::string());
        return kRefused;
    }

    StoresCloser closer;
    int32_t count = 0;
    Mod_DBConnections::OpenStores("ReadOnly", count);
    if (count > 0) {
        shell.g_cmdStores->CommandText("SELECT StoreID FROM Stores WHERE StoreNumber = ?");
        shell.g_rsStores = shell.g_cmdStores->Execute({vb::Variant(*number)});
        for (; !shell.g_rsStores->EOF_(); shell.g_rsStores->MoveNext()) {
            const vb::Variant id = shell.g_rsStores->Fields("StoreID").Value();
            if (!storeID || !(id == vb::Variant(*storeID))) {
                Mod_DBConnections::CloseStores();
                MBoxMod::ShowMBox(numberText +
                                      " is a duplicate store number.  Stores may not have duplicate store numbers",
                                  4, 0, 8);
                return kRefused;
            }
        }
    }
    Mod_DBConnections::CloseStores();

    Mod_DBConnections::OpenStores("Modify", count);
    ado::RecordsetPtr rs = shell.g_rsStores;
    if (storeID) {
        // Only the store's own row is written: an id without a row adds nothing.
        if (count == 0)
            return kRefused;
        rs->MoveFirst();
        rs->Find("StoreID = " + std::to_string(*storeID));
        if (rs->AbsolutePosition() < 0)
            return kRefused;
    } else {
        rs->AddNew();
        rs->Fields("LandLordID") = vb::Variant(0);
    }

    const cAddress& address = s.g_StoreAddress;
    const vb::Variant commence = f.DTCommDate.Value();
    std::string icon;
    if (!f.Image1.Tag.empty() && f.chkUseDefaultIcon.Value() != 1 && f.Image1.Tag != kNoIcon)
        icon = f.Image1.Tag;

    rs->Fields("StoreName") = f.txtStoreName.Text();
    rs->Fields("StoreNumber") = vb::Variant(*number);
    rs->Fields("Street") = address.Street();
    rs->Fields("City") = address.City();
    rs->Fields("State") = address.State();
    rs->Fields("ZipCode") = address.Postcode();
    rs->Fields("Region") = address.Country();
    rs->Fields("Manager") = f.txtManager.Text();
    rs->Fields("AsstManager") = f.txtAsstManager.Text();
    rs->Fields("ThirdKey") = f.txt3rdKey.Text();
    rs->Fields("Phone") = f.txtBusPhone.Text();
    rs->Fields("Fax") = f.txtFax.Text();
    rs->Fields("Icon") = icon;
    rs->Fields("LeaseDate") = f.DTLeaseDate.Value();
    rs->Fields("CommenceDate") = commence;
    rs->Fields("LeaseEndDate") =
        commence.IsNull() ? vb::Variant::Null() : vb::Variant(vb::DateAdd("yyyy", *term, vb::CDate(commence)));
    rs->Fields("InitialTerm") = vb::Variant(*term);
    rs->Fields("Renewal") = f.rtbRenewal.TextRTF();
    rs->Fields("RenewalDate") = f.DTRenewal.Value();
    rs->Fields("RenewalForReport") = f.rtbRenewal.Text();
    rs->Fields("TerminationNotice") = f.txtTermNotice.Text();
    rs->Fields("SquareFoot") = f.txtSquareFootage.Text();
    rs->Fields("SalesReporting") = f.cboSalesReportReq.Text();
    rs->Fields("SalesReportDueDate") = f.DTDueDate.Value();
    rs->Fields("SalesReportAnnualDueDate") =
        f.chkAnnualReportReq.Value() == 1 ? f.DTAnnualReportDueDate.Value() : vb::Variant::Null();
    rs->Fields("InsuranceInfo") = f.rtbInsurance.TextRTF();
    rs->Fields("InsuranceDate") = f.DTInsurance.Value();
    rs->Fields("InsuranceForReport") = f.rtbInsurance.Text();
    rs->Fields("OtherNotes") = f.rtbOtherNotes.TextRTF();
    rs->Fields("OtherDate") = f.DTOtherDate.Value();
    rs->Fields("OtherForReport") = f.rtbOtherNotes.Text();
    rs->Fields("ReminderBitMask") = vb::Variant(s.g_ReminderMask);
    rs->Update();
    newStoreID = vb::CInt(rs->Fields("StoreID").Value());
    return kSaved;
}

std::vector<std::string> ShownStoreValues()
{
    frmStoreInfo& f = frmStoreInfo::Instance();
    const tv::StoresState& s = tv::Stores();
    // Null and every text stay apart.
    auto value = [](const vb::Variant& v) { return v.IsNull() ? std::string("\x01Null") : vb::CStr(v); };
    auto address = [](std::vector<std::string>& out, const cAddress& a) {
        out.insert(out.end(), {a.Street(), a.City(), a.State(), a.Postcode(), a.Country()});
    };
    std::vector<std::string> values = {
        f.txtStoreName.Text(),
        f.txtStoreNumber.Text(),
        f.txtStreet(0).Text(),
        f.txtManager.Text(),
        f.txtAsstManager.Text(),
        f.txt3rdKey.Text(),
        f.txtBusPhone.Text(),
        f.txtFax.Text(),
        f.Image1.Tag,
        std::to_string(f.chkUseDefaultIcon.Value()),
        value(f.DTLeaseDate.Value()),
        value(f.DTCommDate.Value()),
        f.txtInitTerm.Text(),
        f.rtbRenewal.TextRTF(),
        value(f.DTRenewal.Value()),
        f.txtTermNotice.Text(),
        f.txtSquareFootage.Text(),
        f.cboSalesReportReq.Text(),
        value(f.DTDueDate.Value()),
        std::to_string(f.chkAnnualReportReq.Value()),
        value(f.DTAnnualReportDueDate.Value()),
        f.rtbInsurance.TextRTF(),
        value(f.DTInsurance.Value()),
        f.rtbOtherNotes.TextRTF(),
        value(f.DTOtherDate.Value()),
        std::to_string(s.g_ReminderMask),
        f.txtLLCompany.Text(),
        f.txtLLWebSite.Text(),
        f.txtStreet(1).Text(),
        f.txtLLContact.Text(),
        f.txtLLEmail.Text(),
        f.txtLLBusiness.Text(),
        f.txtLLFax.Text(),
        std::to_string(s.g_ShownLandLordID),
    };
    address(values, s.g_StoreAddress);
    address(values, s.g_LandLordAddress);
    return values;
}

bool DeleteStore(int16_t storeID)
{
    tv::ShellState& shell = tv::Shell();
    std::optional<int32_t> number;
    std::string icon;
    try {
        int32_t count = 0;
        StoresCloser closer;
        Mod_DBConnections::OpenStores("ReadOnly", count);
        shell.g_cmdStores->CommandText("SELECT StoreNumber, Icon FROM Stores WHERE StoreID = ?");
        shell.g_rsStores = shell.g_cmdStores->Execute({vb::Variant(storeID)});
        if (shell.g_rsStores->EOF_())
            return false;
        const vb::Variant n = shell.g_rsStores->Fields("StoreNumber").Value();
        if (!n.IsNull())
            number = vb::CLng(n);
        icon = vb::CStr(EmptyIfNull(shell.g_rsStores->Fields("Icon").Value()));
    } catch (const vb::RuntimeError& e) {
        MBoxMod::ShowMBox("The store could not be deleted: " + e.Description(), 4, 0, 8);
        return false;
    }

    // The program's own recordsets of these tables would show rows that are gone.
    Mod_DBConnections::CloseBaseRate();
    Mod_DBConnections::CloseCAMRate();
    Mod_DBConnections::CloseTaxRate();
    Mod_DBConnections::ClosePercentageRate();
    Mod_DBConnections::CloseSales();
    Mod_DBConnections::CloseCalInfo();
    const ado::ConnectionPtr& conn = shell.g_DBConnection;
    try {
        conn->BeginTrans();
        for (const char* table : {"BaseRate", "CAMRate", "TaxRate", "PercentageRate", "Sales", "CalInfo", "Stores"})
            conn->Query(std::string("DELETE FROM ") + table + " WHERE StoreID = ?", {vb::Variant(storeID)});
        conn->CommitTrans();
    } catch (const vb::RuntimeError& e) {
        vb::ResumeNext step;
        step([&] { conn->RollbackTrans(); });
        MBoxMod::ShowMBox("The store could not be deleted: " + e.Description(), 4, 0, 8);
        return false;
    }

    // The files follow once the rows are gone; a file left behind is no harm.
    vb::ResumeNext step;
    step([&] { Mod_FileIO::RemoveStoreNotesBlock(storeID, vb::AppPaths::ProgramFolder()); });
    step([&] {
        if (!number || !icon.empty())
            return;
        const std::filesystem::path file = StoreIconFile(*number);
        // Only a number icon this program wrote, never a picture of the user's.
        if (IsNumberIconFile(file)) {
            std::error_code ec;
            std::filesystem::remove(file, ec);
        }
    });
    step([] { Notifications::RefillCalendar(Notifications::CalendarWindow::OnlyWhenLoaded); });
    step([] { Notifications::RefreshTaskList(); });
    return true;
}

} // namespace Mod_StoreInfo
