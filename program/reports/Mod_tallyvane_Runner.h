#pragma once
// The scheduled-report runner: every entry of g_ScheduledTasks due this
// minute is built into "temp.htm" from its own settings record, printed,
// mailed (as attachment or as the message body) or written to its file,
// moved on to its next run, and after a pass that ran something the table
// is rebuilt.

#include <string>

namespace Mod_tallyvane {

// One pass over the table. A pass asked for while one runs (the completion
// box, the mail waits and the print yield all run the event loop) does
// nothing. An entry whose report cannot be built is not delivered and stays
// due; a file held by another program is tried a few times and then the
// entry is skipped with a message.
void RunScheduledTasks();

// Prints one HTML page through the hidden main window's browser: on
// printerName when that printer is installed, else on the default printer
// ("" means the program's current printer); with showDialog the printer
// dialog is asked first (Cancel prints nothing). Returns whether it printed;
// without the browser nothing prints.
bool PrintReportPage(const std::string& pagePath, bool showDialog, const std::string& printerName = {});

// How a step that meets "permission denied" is retried: tries and the wait
// between them (tests shorten the wait).
inline constexpr int kPermissionTries = 5;
void SetPermissionRetryWait(int milliseconds);

} // namespace Mod_tallyvane
