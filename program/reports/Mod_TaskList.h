#pragma once
// The table of scheduled reports (g_ScheduledTasks), built from the report
// settings file, and the rule that turns a start date and a frequency into
// the next run date.

#include "platform/basic/DateTime.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace Mod_TaskList {

// Rebuilds g_ScheduledTasks from the schedules file in the program folder,
// one entry per report whose ScheduleReport is "True" and whose next run date
// exists, in report key order; returns the number of entries. A report whose
// schedule cannot be read (date, time, destination, attachment flag) is left
// out and the others are still built. A daily or hourly entry whose time has
// already gone by today is moved on to its next due day or hour. The
// schedules file is read once and the reports it lacks are added in one
// rewrite; a file it refuses (Mod_FileIO::ReadReportFile) leaves the table
// empty and its error reaches the caller.
int16_t BuildScheduledReports();

// The day a report with this frequency (exact, case-sensitive) and start day
// is next due, seen from today; nothing for a one-time report whose day has
// passed and for an unknown frequency. A start day in the future is kept.
std::optional<vb::Date> GetNextRunDate(std::string_view frequency, vb::Date startDate);

// The start day, or when it lies before today the first day of the series
// startDate + k * count intervals ("d", "ww", "m", "yyyy", "h") that is on or
// after today. Every step adds to the previous one, so a day cut back to the
// end of a short month stays cut back. count must be positive.
vb::Date AdvanceToToday(vb::Date startDate, int16_t count, std::string_view interval);

// Refills the task list window, as g_ListReports and g_ListTasks say: the
// table of scheduled reports (rebuilt first), then the calendar reminders
// from today to the list's end, by date. Nothing while the window is closed.
// A failure (the database unavailable) reaches the caller.
void FillTaskList();

} // namespace Mod_TaskList
