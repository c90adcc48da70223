#pragma once
// The reschedule step of the scheduled-report runner: after a report has run,
// its entry in g_ScheduledTasks moves on to the next run and is written back
// to the schedules file.

#include <cstdint>
#include <functional>
#include <string>

namespace Mod_tallyvane {

// Moves entry index of g_ScheduledTasks on after its report has run and
// writes its schedule back (9 for an index outside the table). A one-time
// report only stops being scheduled; an hourly one moves on an hour (into the
// next day past midnight); the others move on one step from their date. The
// entry is written back before the completion box of a "Popup-Menu" report
// is shown, so a timer tick during the box never finds it due again.
void RescheduleTask(int16_t index);

// Shows the completion box of a scheduled report with the given prompt and
// waits until it is closed.
using CompletionBox = std::function<void(const std::string& prompt)>;
// Replaces the completion box (tests); nullptr restores the program's box.
void SetCompletionBox(CompletionBox box);

} // namespace Mod_tallyvane
