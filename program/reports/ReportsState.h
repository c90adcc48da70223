#pragma once
// The program-wide values of the reports subsystem, in one object that tests can
// reset. Each module's values sit in their own block.

#include "platform/basic/Array.h"
#include "program/reports/ReportSettings.h"
#include "program/reports/ScheduledTask.h"

#include <cstdint>
#include <set>
#include <string>

namespace report {
class DataReport;
}

namespace tv {

struct ReportsState {
    // Report settings (Mod_Report): the key of the report the screens work on
    // and its settings record from the last load.
    std::string g_CurrentReport;
    ReportSettings g_CurrentReportSettings;
    // Scheduled-report table (Mod_TaskList): rebuilt whole by every build; no
    // elements at all while nothing is scheduled.
    vb::DynArray<ScheduledTask> g_ScheduledTasks;

    // Report builder (Mod_Report.GenerateReport): the report built and
    // exported last, and whether its export has finished (the export is
    // synchronous, so it is True again whenever GenerateReport returns).
    report::DataReport* g_CurrentDataReport = nullptr;
    bool g_ReportExportDone = false;

    // Report screen (frmReport): True while the screen is loaded.
    bool g_ReportScreenOpen = false;

    // Runner (Mod_tallyvane.RunScheduledTasks): the runs (key, day and time)
    // whose failure the user has been told of; the next pass of the minute
    // tries them again without a second box.
    std::set<std::string> toldRunFailures;

    // Scheduling form (frmReportScheduling): True while the form is loaded.
    bool g_SchedulingOpen = false;

    // Task list (frmTaskList): whether it lists the scheduled reports and the
    // calendar reminders; loading the list sets both, and they keep their
    // values after it closes.
    bool g_ListReports = false;
    bool g_ListTasks = false;
};

ReportsState& Reports();
// Back to the values before start-up.
void ResetReportsState();

} // namespace tv
