// A store's row shown in the editor, and the editor's sections cleared.

#include "program/stores/Mod_StoreInfo.h"

#include "platform/ado/Command.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/FileSystem.h"
#include "platform/basic/FlagScope.h"
#include "platform/basic/RuntimeError.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/ShellState.h"
#include "program/stores/StorePictures.h"
#include "program/stores/StoresState.h"
#include "program/stores/cCreateIcons.h"
#include "program/stores/frmStoreInfo.h"

#include <QPixmap>

#include <functional>
#include <optional>

namespace Mod_StoreInfo {

namespace fs = std::filesystem;

namespace {

std::string text(const vb::Variant& value)
{
    return vb::CStr(EmptyIfNull(value));
}

// A picture from a file; the no-icon picture when it cannot be read.
QPixmap pictureOf(const fs::path& file)
{
    QPixmap picture;
    if (!vb::fso::FileExists(file) || !picture.load(QString::fromStdString(file.string())))
        return StorePictures::NoIconPicture();
    return picture;
}

} // namespace

void LoadStore(int16_t storeID)
{
    frmStoreInfo& f = frmStoreInfo::Instance();
    tv::StoresState& s = tv::Stores();
    tv::ShellState& shell = tv::Shell();

    int32_t count = 0;
    Mod_DBConnections::OpenStores("ReadOnly", count);
    // What the editor shows once the load ends, on every road, is what the
    // store holds as far as a save is concerned.
    struct AsLoaded {
        frmStoreInfo& f;
        ~AsLoaded()
        {
            try {
                f.StoreAsLoaded = ShownStoreValues();
            } catch (const vb::RuntimeError&) {
                f.StoreAsLoaded.clear();
            }
        }
    } asLoaded{f};
    vb::FlagScope loading(s.g_StoreFormLoading);
    struct BusyEnd {
        bool& busy;
        ~BusyEnd() { busy = false; }
    } busyEnd{s.g_StoreBusy};
    shell.g_cmdStores->CommandText("SELECT * FROM Stores WHERE StoreID = ?");
    shell.g_rsStores = shell.g_cmdStores->Execute({vb::Variant(storeID)});
    const ado::RecordsetPtr rs = shell.g_rsStores;
    if (count == 0 || rs->EOF_()) {
        Mod_DBConnections::CloseStores();
        return;
    }

    vb::ResumeNext step;
    auto field = [&](const char* name) { return rs->Fields(name).Value(); };
    // A value a box cannot take leaves the box empty, never showing the
    // previous store's value.
    auto setText = [&](forms::TextBox& box, const char* name) {
        step([&] {
            try {
                box.SetText(text(field(name)));
            } catch (const vb::RuntimeError&) {
                box.SetText("");
                throw;
            }
        });
    };
    auto setDate = [&](controls::DatePicker& picker, const char* name) {
        step([&] {
            try {
                picker.SetValue(field(name));
            } catch (const vb::RuntimeError&) {
                picker.SetValue(vb::Variant::Null());
                throw;
            }
        });
    };
    auto setRich = [&](controls::RichTextBox& box, const char* name) {
        step([&] {
            try {
                box.SetTextRTF(text(field(name)));
            } catch (const vb::RuntimeError&) {
                box.SetText("");
                throw;
            }
        });
    };

    setText(f.txtStoreName, "StoreName");
    setText(f.txtStoreNumber, "StoreNumber");
    step([&] {
        vb::FlagScope addressLoading(s.g_AddressLoading[0]);
        cAddress& address = s.g_StoreAddress;
        address.SetAutoCorrect(true);
        address.SetStreet(text(field("Street")));
        address.SetCity(text(field("City")));
        address.SetState(text(field("State")));
        address.SetPostcode(text(field("ZipCode")));
        address.SetCountry(text(field("Region")));
        f.txtStreet(0).SetText(address.Address());
    });
    setText(f.txtManager, "Manager");
    setText(f.txtAsstManager, "AsstManager");
    setText(f.txt3rdKey, "ThirdKey");
    setText(f.txtBusPhone, "Phone");
    setText(f.txtFax, "Fax");
    setText(f.txtInitTerm, "InitialTerm");
    setText(f.txtTermNotice, "TerminationNotice");
    setText(f.txtSquareFootage, "SquareFoot");
    // The worksheets' term follows the box whatever its own handler does.
    step([&] {
        if (std::optional<int32_t> term = WholeNumber(f.txtInitTerm.Text(), 32767))
            s.g_InitialTermYears = static_cast<int16_t>(*term);
    });
    s.g_StoreBusy = true;

    // Icon.
    step([&] {
        const std::string icon = text(field("Icon"));
        if (icon.empty()) {
            f.chkUseDefaultIcon.SetValue(1);
            // No path of another store's chosen file stays behind.
            f.Image1.Tag.clear();
            QPixmap picture = StorePictures::NoIconPicture();
            const vb::Variant number = field("StoreNumber");
            if (!number.IsNull()) {
                const int32_t n = vb::CLng(number);
                const fs::path file = StoreIconFile(n);
                step([&] {
                    if (!vb::fso::FileExists(file)) {
                        std::error_code ec;
                        fs::create_directories(file.parent_path(), ec);
                        cCreateIcons().GenerateIcon(n, file);
                    }
                });
                picture = pictureOf(file);
            }
            f.Image1.SetPicture(picture);
        } else {
            f.chkUseDefaultIcon.SetValue(0);
            f.Image1.SetPicture(pictureOf(fs::path(icon)));
            f.Image1.Tag = icon;
        }
        f.Image1.SetVisible(true);
        f.lblStoreIcon.SetVisible(true);
    });

    setDate(f.DTLeaseDate, "LeaseDate");
    setDate(f.DTCommDate, "CommenceDate");
    // A store without a commencement date starts its worksheets this year, as
    // a new store does, never in the year of the store shown before.
    s.g_CommenceYear = static_cast<int16_t>(vb::Year(vb::Today()));
    step([&] {
        if (!f.DTCommDate.Value().IsNull())
            s.g_CommenceYear = static_cast<int16_t>(f.DTCommDate.Year());
    });
    setDate(f.DTRenewal, "RenewalDate");
    setRich(f.rtbRenewal, "Renewal");
    setDate(f.DTInsurance, "InsuranceDate");
    setRich(f.rtbInsurance, "InsuranceInfo");
    setRich(f.rtbOtherNotes, "OtherNotes");
    setDate(f.DTOtherDate, "OtherDate");
    step([&] {
        try {
            f.cboSalesReportReq.SetText(text(field("SalesReporting")));
        } catch (const vb::RuntimeError&) {
            f.cboSalesReportReq.SetListIndex(-1);
            throw;
        }
    });
    setDate(f.DTDueDate, "SalesReportDueDate");

    // The annual sales report; an empty date leaves no other store's date
    // behind in the hidden picker.
    step([&] {
        const vb::Variant annual = field("SalesReportAnnualDueDate");
        if (!annual.IsNull()) {
            f.DTAnnualReportDueDate.SetValue(annual);
            f.chkAnnualReportReq.SetValue(1);
            f.lblNextAnnualDueDate.SetVisible(true);
            f.DTAnnualReportDueDate.SetVisible(true);
        } else {
            f.DTAnnualReportDueDate.SetValue(vb::Variant::Null());
            f.chkAnnualReportReq.SetValue(0);
            f.lblNextAnnualDueDate.SetVisible(false);
            f.DTAnnualReportDueDate.SetVisible(false);
        }
    });
    // The sales reporting's own rule for the due dates' visibility, applied
    // once the annual controls are set ("Annually" hides them).
    step([&] { f.cboSalesReportReq_Click(); });

    step([&] {
        const vb::Variant mask = field("ReminderBitMask");
        s.g_ReminderMask = mask.IsNull() ? int16_t{7} : vb::CInt(mask);
    });
    auto reminderDate = [&](const char* name) {
        const vb::Variant d = field(name);
        return d.IsNull() ? kZeroDate : vb::CDate(d);
    };
    step([&] { ShowReminder("RENEWAL", Mod_SpecialFunctions::HasFlags(s.g_ReminderMask, 1), reminderDate("RenewalDate")); });
    step([&] {
        ShowReminder("INSURANCE", Mod_SpecialFunctions::HasFlags(s.g_ReminderMask, 2), reminderDate("InsuranceDate"));
    });
    step([&] { ShowReminder("OTHER", Mod_SpecialFunctions::HasFlags(s.g_ReminderMask, 4), reminderDate("OtherDate")); });

    // The rents of this calendar year and today's month, from which the
    // month stepper starts again.
    const vb::Date today = vb::Today();
    const int16_t year = static_cast<int16_t>(vb::Year(today));
    step([&] { f.UpDown1.Tag = vb::CStr(vb::Variant(today)); });
    // A figure that fails (an amount beyond money) shows no amount, never
    // the one of the store shown before, and the failure is said once the
    // others are shown.
    std::optional<vb::RuntimeError> rentFailure;
    auto figure = [&](int index, const std::function<std::string()>& lookUp) {
        f.lblRate(index).SetCaption("");
        try {
            f.lblRate(index).SetCaption(lookUp());
        } catch (const vb::RuntimeError& e) {
            if (!rentFailure)
                rentFailure = e;
        }
    };
    step([&] { figure(0, [&] { return GetBaseRateMonthTotal(storeID, year); }); });
    step([&] { figure(2, [&] { return GetCAMRateMonthTotal(storeID, year); }); });
    step([&] { figure(3, [&] { return GetTaxRateMonthTotal(storeID, year); }); });
    step([&] { figure(1, [&] { return GetPercentageRent(storeID, year); }); });
    step([&] { ShowCurrentRent(today); });

    int32_t landLordID = 0;
    step([&] {
        const vb::Variant id = field("LandLordID");
        if (!id.IsNull())
            landLordID = vb::CLng(id);
    });
    Mod_DBConnections::CloseStores();
    step([&] { LoadLandLord(landLordID); });
    if (rentFailure)
        vb::ReportUnhandledError(*rentFailure);
}

void ClearStoreForm(int16_t sections)
{
    frmStoreInfo& f = frmStoreInfo::Instance();
    tv::StoresState& s = tv::Stores();
    vb::FlagScope busy(s.g_StoreBusy);
    using Mod_SpecialFunctions::HasFlags;
    const vb::Date today = vb::Today();

    if (HasFlags(sections, kClearStore)) {
        f.txtStoreName.SetText("");
        f.txtStoreNumber.SetText("");
        f.txtSquareFootage.SetText("0");
        f.chkUseDefaultIcon.SetValue(1);
        f.lblStoreIcon.SetVisible(true);
        f.Image1.SetPicture(StorePictures::NoIconPicture());
        f.Image1.SetVisible(true);
        f.Image1.Tag.clear();
        {
            vb::FlagScope addressLoading(s.g_AddressLoading[0]);
            f.txtStreet(0).SetText("");
        }
        f.txtBusPhone.SetText("");
        f.txtFax.SetText("");
        f.txtManager.SetText("");
        f.txtAsstManager.SetText("");
        f.txt3rdKey.SetText("");
        s.g_StoreAddress.Clear();
    }
    if (HasFlags(sections, kClearLandLord)) {
        f.txtLLCompany.SetText("");
        f.txtLLWebSite.SetText("");
        {
            vb::FlagScope addressLoading(s.g_AddressLoading[1]);
            f.txtStreet(1).SetText("");
        }
        f.txtLLBusiness.SetText("");
        f.txtLLFax.SetText("");
        f.txtLLContact.SetText("");
        f.txtLLEmail.SetText("");
        s.g_LandLordAddress.Clear();
        s.g_ShownLandLordID = 0;
    }
    if (HasFlags(sections, kClearLease)) {
        f.DTLeaseDate.SetValue(vb::Variant(today));
        f.txtInitTerm.SetText("0");
        s.g_InitialTermYears = 0;
        f.txtTermNotice.SetText("");
        f.DTCommDate.SetValue(vb::Variant(today));
        s.g_CommenceYear = static_cast<int16_t>(vb::Year(today));
        for (int i = 0; i < 4; ++i)
            f.lblRate(i).SetCaption("$0.00");
        f.lblCurRentDue.SetCaption("$0.00");
        f.lblPerRateCalc.SetVisible(false);
        f.UpDown1.Tag = vb::CStr(vb::Variant(today));
        f.UpDown1.SetVisible(false);
        // The due dates start from today, not from the store shown before.
        f.DTDueDate.SetValue(vb::Variant(today));
        f.DTAnnualReportDueDate.SetValue(vb::Variant(today));
        f.cboSalesReportReq.SetListIndex(0);
        f.chkAnnualReportReq.SetValue(0);
    }
    if (HasFlags(sections, kClearNotes)) {
        f.rtbRenewal.SetText("");
        f.rtbInsurance.SetText("");
        f.rtbOtherNotes.SetText("");
        for (controls::DatePicker* picker : {&f.DTRenewal, &f.DTInsurance, &f.DTOtherDate})
            picker->SetValue(vb::Variant(today));
        ShowReminder("RENEWAL", false, kZeroDate);
        ShowReminder("INSURANCE", false, kZeroDate);
        ShowReminder("OTHER", false, kZeroDate);
    }
}

} // namespace Mod_StoreInfo
