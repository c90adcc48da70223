#pragma once
// The reschedule step of the scheduled-report runner: after a report has run,
// its entry in g_ScheduledTasks moves on to the next run and is written back
// to the schedules file.

#include <cstdint>

namespace Mod_tallyvane {

// Moves entry index of g_ScheduledTasks on after its report has run and
// writes its schedule back (9 for an index outside the table). A one-time
// report only stops being scheduled; an hourly one moves on an hour (into the
// next day past midnight); the others move on one step from their date.
// Then, for a "Popup-Menu" report, the program's message box says
// "<display name> report generated!" and the step waits until it is closed;
// the entry is already written back by then, so a timer tick during the box
// never finds it due again.
void RescheduleTask(int16_t index);

} // namespace Mod_tallyvane
