// The store editor's lease tabs: lease dates and term, the worksheet
// buttons, sales reporting with its due dates, and the three reminder notes
// with their dates and the Reminders menu.

#include "program/stores/frmStoreInfo.h"

#include "platform/basic/RuntimeError.h"
#include "program/services/MBoxMod.h"
#include "program/stores/Mod_StoreInfo.h"
#include "program/stores/Mod_StoreInfo_Reminders.h"
#include "program/stores/StoresState.h"
#include "program/stores/frmWorkSheet.h"

#include <QApplication>

#include <cmath>
#include <optional>
#include <string>

namespace {

using Mod_StoreInfo::ReminderKind;

// The term's notices: scheme 4, "OK" only, icon 4, an empty title.
void termNotice(std::string_view prompt)
{
    MBoxMod::ShowMBox(prompt, 4, 0, 4, std::string(), false);
}

// The program's own assignments (the store load, the form clear) raise the
// handlers too; they only set what the controls show.
bool filledByCode()
{
    const tv::StoresState& s = tv::Stores();
    return s.g_StoreFormLoading || s.g_StoreBusy;
}

// Reminder rows are written for the store whose values the controls carry:
// never while code fills the form (g_CurrentStoreID may still name the store
// shown before), never for a new store that has no StoreID yet.
bool mayWriteReminders()
{
    const tv::StoresState& s = tv::Stores();
    return !filledByCode() && !s.g_AddStoreMode && s.g_CurrentStoreID >= 0;
}

// The term box's text as the number it stands for; nullopt when it is not
// numeric.
std::optional<double> termNumber(const std::string& text)
{
    const vb::Variant value(text);
    if (!vb::IsNumeric(value))
        return std::nullopt;
    try {
        return vb::CDbl(value);
    } catch (const vb::RuntimeError&) {
        return std::nullopt;
    }
}

// The whole years a numeric term is held as (halves to even); nullopt when
// the number is beyond what the term can hold.
std::optional<int16_t> termYears(double number)
{
    const double rounded = vb::RoundHalfEven(number);
    if (!std::isfinite(rounded) || rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return static_cast<int16_t>(rounded);
}

constexpr const char* kTermTooLong = "The initial term cannot be more than 32,767 years!";

// The notice for a numeric term the box refuses: a term the save would
// refuse too (outside 0 to 999) ends with the save's own notice, so that
// every such term tells the user the same range.
void termRangeNotice(std::string_view prompt, double number)
{
    const std::string notice = Mod_StoreInfo::kTermRangeNotice;
    if (prompt == notice || (number >= 0 && number <= Mod_StoreInfo::kMaxInitialTerm))
        termNotice(prompt);
    else
        termNotice(std::string(prompt) + "\r\n" + notice);
}

// Replaces (add) or removes the shown store's row of one kind, dated from
// its picker; the caption is prefix, the kind's caption and the store name.
void writeReminder(frmStoreInfo& f, const ReminderKind& kind, controls::DatePicker& picker, const std::string& prefix,
                   bool add)
{
    if (!mayWriteReminders())
        return;
    const vb::Variant value = picker.Value();
    // A picker without a date has no day to remind of: the row goes.
    if (value.IsNull())
        add = false;
    const vb::Date date = value.IsNull() ? Mod_StoreInfo::kZeroDate : vb::CDate(value);
    const std::string info = prefix + std::string(kind.caption) + f.txtStoreName.Text();
    Mod_StoreInfo::SetCalendarReminder(kind.typeCode, tv::Stores().g_CurrentStoreID, date, info,
                                       std::to_string(kind.typeCode), add);
}

// A reminder the user switches on needs a day: a picker without one (a store
// saved without it) takes today, and its own Change then writes the row.
// True when it did.
bool datedOnSwitchOn(controls::DatePicker& picker)
{
    const tv::StoresState& s = tv::Stores();
    if (filledByCode() || !(s.g_AddStoreMode || s.g_CurrentStoreID >= 0) || !picker.Value().IsNull())
        return false;
    picker.SetValue(vb::Variant(vb::Today()));
    return !picker.Value().IsNull();
}

} // namespace

void frmStoreInfo::wireLease()
{
    DTCommDate.Change = [this] { DTCommDate_Change(); };
    DTCommDate.Click = [this] { DTCommDate_Click(); };
    txtInitTerm.Change = [this] { txtInitTerm_Change(); };
    txtInitTerm.Click = [this] { txtInitTerm_Click(); };
    // The focus moving to another control of the window validates the box;
    // another window taking it (a message box, the window closing) does not.
    txtInitTerm.LostFocus = [this] {
        const QWidget* now = QApplication::focusWidget();
        const QWidget* box = txtInitTerm.Widget();
        if (!now || !box || now == box || now->window() != box->window() || !Visible())
            return;
        bool Cancel = false;
        txtInitTerm_Validate(Cancel);
    };
    cmdRate.On(&forms::CommandButton::Click, [this](int Index) { cmdRate_Click(Index); });
    cboSalesReportReq.Click = [this] { cboSalesReportReq_Click(); };
    chkAnnualReportReq.Click = [this] { chkAnnualReportReq_Click(); };
    DTDueDate.Click = [this] { DTDueDate_Click(); };
    DTDueDate.Change = [this] { DTDueDate_Change(); };
    DTAnnualReportDueDate.Change = [this] { DTAnnualReportDueDate_Change(); };
    DTRenewal.Change = [this] { DTRenewal_Change(); };
    DTInsurance.Change = [this] { DTInsurance_Change(); };
    DTOtherDate.Change = [this] { DTOtherDate_Change(); };
}

// ---- Commencement year and initial term -----------------------------------

void frmStoreInfo::DTCommDate_Change()
{
    if (!filledByCode() && CheckNoStores() == kStop)
        return;
    const vb::Variant value = DTCommDate.Value();
    if (!value.IsNull())
        tv::Stores().g_CommenceYear = static_cast<int16_t>(DTCommDate.Year());
}

void frmStoreInfo::DTCommDate_Click()
{
    DTCommDate_Change();
}

void frmStoreInfo::txtInitTerm_Change()
{
    if (!filledByCode() && CheckNoStores() == kStop)
        return;
    // A term the box cannot stand for keeps the last one; leaving the box
    // says why.
    if (const std::optional<double> number = termNumber(txtInitTerm.Text()))
        if (const std::optional<int16_t> years = termYears(*number))
            tv::Stores().g_InitialTermYears = *years;
}

void frmStoreInfo::txtInitTerm_Click()
{
    txtInitTerm_Change();
}

void frmStoreInfo::txtInitTerm_Validate(bool& Cancel)
{
    (void)Cancel; // the focus goes back, the leave itself stands
    if (CheckNoStores() == kStop)
        return;
    const std::optional<double> number = termNumber(txtInitTerm.Text());
    if (!number) {
        termNotice("The initial term must be a numeric value!");
    } else if (*number <= 0) {
        termRangeNotice("The initial term must be greater than zero!", *number);
    } else if (!termYears(*number)) {
        termRangeNotice(kTermTooLong, *number);
    } else if (!Mod_StoreInfo::WholeNumber(txtInitTerm.Text(), Mod_StoreInfo::kMaxInitialTerm)) {
        // Told now, not when the save refuses it and the store's edits go.
        termRangeNotice(Mod_StoreInfo::kTermRangeNotice, *number);
    } else {
        return;
    }
    txtInitTerm.SetFocus();
}

// ---- Worksheets ------------------------------------------------------------

void frmStoreInfo::cmdRate_Click(int Index)
{
    if (CheckNoStores() == kStop)
        return;
    const std::optional<double> number = termNumber(txtInitTerm.Text());
    if (!number) {
        termNotice("The initial term must be a numeric value.");
        txtInitTerm.SetFocus();
        return;
    }
    if (*number <= 0) {
        termRangeNotice("The initial term must be greater than zero to use the worksheets", *number);
        txtInitTerm.SetFocus();
        return;
    }
    if (!termYears(*number)) {
        termRangeNotice(kTermTooLong, *number);
        txtInitTerm.SetFocus();
        return;
    }
    // A term the store cannot be saved with opens no sheet of that many years.
    if (!Mod_StoreInfo::WholeNumber(txtInitTerm.Text(), Mod_StoreInfo::kMaxInitialTerm)) {
        termRangeNotice(Mod_StoreInfo::kTermRangeNotice, *number);
        txtInitTerm.SetFocus();
        return;
    }
    struct Sheet {
        const char* kind;
        const char* suffix;
    };
    static constexpr Sheet kSheets[] = {
        {"BASERATE", " - Base Rate Worksheet"},
        {"PERCENTAGERATE", " - Percentage Rate Worksheet"},
        {"CAMRATE", " - CAM Rate Worksheet"},
        {"TAXRATE", " - Tax Rate Worksheet"},
    };
    if (Index < 0 || Index > 3)
        return;
    tv::Stores().g_WorkSheetKind = kSheets[Index].kind;
    frmWorkSheet::ShowWorkSheet(txtStoreName.Text() + kSheets[Index].suffix);
}

// ---- Sales reporting -------------------------------------------------------

void frmStoreInfo::cboSalesReportReq_Click()
{
    if (!filledByCode() && CheckNoStores() == kStop)
        return;
    DTDueDate.SetVisible(true);
    lblNextDueDate.SetVisible(true);
    const std::string choice = cboSalesReportReq.Text();
    if (choice == "None") {
        DTDueDate.SetVisible(false);
        lblNextDueDate.SetVisible(false);
    } else if (choice == "Annually") {
        chkAnnualReportReq.SetVisible(false);
        DTAnnualReportDueDate.SetVisible(false);
        lblNextAnnualDueDate.SetVisible(false);
    } else {
        chkAnnualReportReq.SetVisible(true);
        const bool annual = chkAnnualReportReq.Value() == 1;
        DTAnnualReportDueDate.SetVisible(annual);
        lblNextAnnualDueDate.SetVisible(annual);
    }
    // The periodic reminder follows the new choice.
    if (choice != "None" && datedOnSwitchOn(DTDueDate))
        return;
    DTDueDate_Change();
}

void frmStoreInfo::DTDueDate_Click()
{
    DTDueDate_Change();
}

void frmStoreInfo::DTDueDate_Change()
{
    if (!filledByCode() && CheckNoStores() == kStop)
        return;
    const std::string choice = cboSalesReportReq.Text();
    writeReminder(*this, Mod_StoreInfo::kSalesReportReminder, DTDueDate, choice, choice != "None");
}

void frmStoreInfo::chkAnnualReportReq_Click()
{
    if (!filledByCode() && CheckNoStores() == kStop)
        return;
    if (chkAnnualReportReq.Value() == 1) {
        DTAnnualReportDueDate.SetVisible(true);
        lblNextAnnualDueDate.SetVisible(true);
        if (!datedOnSwitchOn(DTAnnualReportDueDate))
            DTAnnualReportDueDate_Change();
    } else {
        DTAnnualReportDueDate.SetVisible(false);
        lblNextAnnualDueDate.SetVisible(false);
        writeReminder(*this, Mod_StoreInfo::kAnnualReportReminder, DTAnnualReportDueDate, "", false);
    }
}

void frmStoreInfo::DTAnnualReportDueDate_Change()
{
    if (!filledByCode() && CheckNoStores() == kStop)
        return;
    writeReminder(*this, Mod_StoreInfo::kAnnualReportReminder, DTAnnualReportDueDate, "", true);
}

// ---- Reminder dates and the Reminders menu ---------------------------------

void frmStoreInfo::DTRenewal_Change()
{
    if (!filledByCode() && CheckNoStores() == kStop)
        return;
    writeReminder(*this, Mod_StoreInfo::kRenewalReminder, DTRenewal, "", true);
}

void frmStoreInfo::DTInsurance_Change()
{
    if (!filledByCode() && CheckNoStores() == kStop)
        return;
    writeReminder(*this, Mod_StoreInfo::kInsuranceReminder, DTInsurance, "", true);
}

void frmStoreInfo::DTOtherDate_Change()
{
    if (!filledByCode() && CheckNoStores() == kStop)
        return;
    writeReminder(*this, Mod_StoreInfo::kOtherReminder, DTOtherDate, "", true);
}

void frmStoreInfo::smuiMenuBar_ReminderClick(const std::string& key)
{
    const ReminderKind* kind = Mod_StoreInfo::SwitchableReminder(key);
    controls::SmartItem* item = smuiMenuBar.Items().Find(key);
    if (!kind || !item)
        return;
    // A click switches the item.
    const bool state = !item->Checked();
    Mod_StoreInfo::ShowReminder(key, state, Mod_StoreInfo::kZeroDate);
    controls::DatePicker& picker = kind == &Mod_StoreInfo::kRenewalReminder     ? DTRenewal
                                   : kind == &Mod_StoreInfo::kInsuranceReminder ? DTInsurance
                                                                                : DTOtherDate;
    if (state && datedOnSwitchOn(picker))
        return;
    writeReminder(*this, *kind, picker, "", state);
}
