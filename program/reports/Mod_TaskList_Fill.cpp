// The task list window's refill.

#include "program/reports/Mod_TaskList.h"

#include "platform/ado/Command.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/DateTime.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Variant.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/ReportsState.h"
#include "program/reports/frmTaskList.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/ShellState.h"

#include <string>

namespace Mod_TaskList {

namespace {

std::string destinationName(int16_t destination)
{
    switch (destination) {
    case 0: return "Printer";
    case 1: return "File";
    case 2: return "E-mail";
    default: return {};
    }
}

void listReports(frmTaskList& window)
{
    const int16_t count = BuildScheduledReports();
    const auto& tasks = tv::Reports().g_ScheduledTasks;
    for (int16_t i = 0; i < count; ++i) {
        const ScheduledTask& entry = (*tasks)[static_cast<size_t>(i)];
        controls::ListItem& row = window.lvwTasks.ListItems().Add(entry.DisplayName, "REPORT");
        row.SetSubItem(1, Mod_Report::DateText(entry.NextRunDate));
        row.SetSubItem(2, entry.RunTime);
        row.SetSubItem(3, entry.Frequency);
        row.SetSubItem(4, destinationName(entry.Destination));
    }
    window.ReportRows = count;
}

void listReminders(frmTaskList& window)
{
    auto& shell = tv::Shell();
    int32_t recordCount = 0;
    Mod_DBConnections::OpenCalInfo("ReadOnly", recordCount);
    struct Closing {
        ~Closing()
        {
            try {
                Mod_DBConnections::CloseCalInfo();
            } catch (const vb::RuntimeError&) {
                // Closing what is already gone.
            }
        }
    } closing;
    const vb::Date today = vb::Today();
    const int32_t first = Mod_FTPData::DateToDayNumber(today);
    const int32_t last = Mod_FTPData::DateToDayNumber(window.ListEnd());
    shell.g_cmdCalInfo->CommandText("SELECT * FROM CalInfo WHERE date BETWEEN " + std::to_string(first) + " and " +
                                    std::to_string(last) + " ORDER BY date");
    shell.g_rsCalInfo = shell.g_cmdCalInfo->Execute();
    // Our own copy: a refill started while this one walks opens the table anew.
    const ado::RecordsetPtr rows = shell.g_rsCalInfo;
    for (; !rows->EOF_(); rows->MoveNext()) {
        const vb::Variant day = rows->Fields("Date").Value();
        if (day.IsNull())
            continue;
        const std::string info = vb::CStr(Mod_FTPData::NullToEmpty(rows->Fields("info").Value()));
        controls::ListItem& row = window.lvwTasks.ListItems().Add(info, "TASK");
        const vb::Date date = Mod_FTPData::AddToDate(vb::CLng(day) - first, "d", today);
        row.SetSubItem(1, Mod_Report::DateText(date));
    }
}

} // namespace

void FillTaskList()
{
    frmTaskList* window = frmTaskList::IfLoaded();
    if (!window)
        return;
    window->lvwTasks.ListItems().Clear();
    window->ReportRows = 0;
    window->SelectedRow = 0;
    const auto& state = tv::Reports();
    if (state.g_ListReports)
        listReports(*window);
    if (state.g_ListTasks)
        listReminders(*window);
}

} // namespace Mod_TaskList
