#include "program/reports/Mod_tallyvane_Tasks.h"

#include "platform/basic/App.h"
#include "platform/basic/RuntimeError.h"
#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/ReportsState.h"
#include "program/services/MBoxMod.h"
#include "program/services/Mod_FTPData.h"

#include <string>

namespace Mod_tallyvane {

namespace {

vb::Date parseTime(const std::string& text)
{
    vb::Date t;
    if (!vb::TryParseDate(text, t))
        vb::Raise(vb::kErrTypeMismatch);
    return vb::TimeValue(t);
}

// The step of a periodic frequency, as a count of date-add intervals.
bool stepOf(const std::string& frequency, int& count, const char*& interval)
{
    struct Step {
        const char* frequency;
        int count;
        const char* interval;
    };
    static constexpr Step kSteps[] = {
        {"Daily", 1, "d"},     {"Weekly", 1, "ww"},   {"Monthly", 1, "m"},
        {"Quarterly", 3, "m"}, {"Bi-Yearly", 6, "m"}, {"Yearly", 1, "yyyy"},
    };
    for (const Step& s : kSteps) {
        if (frequency == s.frequency) {
            count = s.count;
            interval = s.interval;
            return true;
        }
    }
    return false;
}

} // namespace

void RescheduleTask(int16_t index)
{
    auto& tasks = tv::Reports().g_ScheduledTasks;
    if (!tasks || index < 0 || static_cast<size_t>(index) >= tasks->size())
        vb::Raise(vb::kErrSubscript);
    ScheduledTask& entry = (*tasks)[index];

    entry.ScheduleReport = true;
    int count = 0;
    const char* interval = nullptr;
    if (entry.Frequency == "Once") {
        // Only the flag changes: recipients, printer and time stay for the
        // next time the user schedules the report.
        entry.ScheduleReport = false;
    } else if (entry.Frequency == "Hourly") {
        const vb::Date runTime = parseTime(entry.RunTime);
        const vb::Date next = vb::TimeValue(Mod_FTPData::AddToDate(1, "h", runTime));
        if (next < runTime)
            entry.NextRunDate = Mod_FTPData::AddToDate(1, "d", entry.NextRunDate);
        entry.RunTime = Mod_Report::TimeText(next);
    } else if (stepOf(entry.Frequency, count, interval)) {
        entry.NextRunDate = Mod_FTPData::AddToDate(count, interval, entry.NextRunDate);
    }

    // The box below runs the event loop, where the table may be rebuilt:
    // work on a copy from here on.
    const ScheduledTask done = entry;
    Mod_FileIO::WriteReportSchedule(vb::App::Path(), done);
    if (done.Reminder == "Popup-Menu")
        MBoxMod::ShowMBox(done.DisplayName + " report generated!", 2, 0, 2, std::string("Report Complete"), false);
}

} // namespace Mod_tallyvane
