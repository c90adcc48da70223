// Calendar reminders: one CalInfo row per store and reminder kind, and the
// three reminders the store editor can switch off.

#include "program/stores/Mod_StoreInfo_Reminders.h"

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/Notifications.h"
#include "program/services/ShellState.h"
#include "program/stores/Mod_StoreInfo.h"
#include "program/stores/StoresState.h"
#include "program/stores/frmStoreInfo.h"

#include <string>
#include <vector>

namespace Mod_StoreInfo {

namespace {

// Closes CalInfo on every road out, a raised error's too.
struct CalInfoCloser {
    ~CalInfoCloser() { Mod_DBConnections::CloseCalInfo(); }
};

// The IDs of the store's rows of one kind, oldest first.
std::vector<int32_t> rowsOfKind(int16_t storeID, const std::string& type)
{
    tv::ShellState& shell = tv::Shell();
    CalInfoCloser closer;
    int32_t count = 0;
    Mod_DBConnections::OpenCalInfo("ReadOnly", count);
    shell.g_cmdCalInfo->CommandText("SELECT ID FROM CalInfo WHERE (StoreID = ?) AND (Type = ?) ORDER BY ID");
    const ado::RecordsetPtr rs = shell.g_cmdCalInfo->Execute({vb::Variant(storeID), vb::Variant(type)});
    shell.g_rsCalInfo = rs;
    std::vector<int32_t> ids;
    for (; !rs->EOF_(); rs->MoveNext())
        ids.push_back(vb::CLng(rs->Fields("ID").Value()));
    return ids;
}

} // namespace

const ReminderKind* SwitchableReminder(std::string_view key)
{
    for (const ReminderKind* kind : {&kRenewalReminder, &kInsuranceReminder, &kOtherReminder})
        if (kind->key == key)
            return kind;
    return nullptr;
}

void SetCalendarReminder(int32_t typeCode, int16_t storeID, vb::Date reminderDate, std::string_view info,
                         std::string_view image, bool add)
{
    tv::ShellState& shell = tv::Shell();
    const std::string type = std::to_string(typeCode);
    // A store holds at most one row of a kind: rows of that kind left by
    // other data go with the one replaced.
    const std::vector<int32_t> oldRows = rowsOfKind(storeID, type);
    {
        CalInfoCloser closer;
        int32_t count = 0;
        Mod_DBConnections::OpenCalInfo("modify", count);
        const ado::RecordsetPtr rs = shell.g_rsCalInfo;
        // The old row goes and the new one comes together, or neither.
        const ado::ConnectionPtr connection = shell.g_DBConnection;
        const bool ownTransaction = !connection->InTransaction();
        if (ownTransaction)
            connection->BeginTrans();
        try {
            for (const int32_t id : oldRows) {
                rs->MoveFirst();
                rs->Find("ID=" + std::to_string(id));
                if (!rs->EOF_())
                    rs->Delete();
            }
            if (add) {
                rs->AddNew();
                rs->Fields("Date") = vb::Variant(Mod_FTPData::DateToDayNumber(reminderDate));
                rs->Fields("StoreID") = vb::Variant(storeID);
                rs->Fields("Type") = vb::Variant(type);
                rs->Fields("info") = vb::Variant(std::string(info));
                rs->Fields("Image") = vb::Variant(std::string(image));
                rs->Update();
            }
            if (ownTransaction)
                connection->CommitTrans();
        } catch (...) {
            if (ownTransaction && connection->InTransaction())
                connection->RollbackTrans();
            throw;
        }
    }
    Notifications::RefillCalendar();
    if (tv::Shell().g_TaskListOpen)
        Notifications::RefreshTaskList();
}

void ShowReminder(std::string_view kind, bool shown, vb::Date reminderDate)
{
    const ReminderKind* reminder = SwitchableReminder(kind);
    if (!reminder)
        return;
    frmStoreInfo& f = frmStoreInfo::Instance();
    tv::StoresState& s = tv::Stores();

    // The menu item follows; its own click is not a user's switch.
    s.g_ReminderUpdating = true;
    if (controls::SmartItem* item = f.smuiMenuBar.Items().Find(kind))
        item->SetChecked(shown);
    s.g_ReminderUpdating = false;

    forms::Label* label = &f.lblRenewal;
    controls::DatePicker* picker = &f.DTRenewal;
    controls::RichTextBox* notes = &f.rtbRenewal;
    if (reminder == &kInsuranceReminder) {
        label = &f.lblInsurance;
        picker = &f.DTInsurance;
        notes = &f.rtbInsurance;
    } else if (reminder == &kOtherReminder) {
        label = &f.lblOther;
        picker = &f.DTOtherDate;
        notes = &f.rtbOtherNotes;
    }
    label->SetVisible(shown);
    picker->SetVisible(shown);

    if (shown) {
        if (reminderDate != kZeroDate) {
            picker->SetValue(vb::Variant(reminderDate));
        } else {
            // A picker on the zero date starts from today; one that shows no
            // date (the store has none) stays empty until the user picks one.
            const vb::Variant held = picker->Value();
            if (!held.IsNull() && vb::CDate(held) == kZeroDate)
                picker->SetValue(vb::Variant(vb::Today()));
        }
        notes->SetWidth(kNotesWidthWithDate);
        s.g_ReminderMask = static_cast<int16_t>(s.g_ReminderMask | reminder->bit);
    } else {
        notes->SetWidth(kNotesWidthAlone);
        s.g_ReminderMask = static_cast<int16_t>(s.g_ReminderMask & ~reminder->bit);
    }
}

} // namespace Mod_StoreInfo
