#include "program/reports/Mod_tallyvane_Runner.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/basic/Format.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/basic/Variant.h"
#include "platform/report/ReportPrinter.h"
#include "platform/report/WebBrowser.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/Mod_Report_Builder.h"
#include "program/reports/Mod_TaskList.h"
#include "program/reports/Mod_tallyvane_Tasks.h"
#include "program/reports/ReportsState.h"
#include "program/services/MBoxMod.h"
#include "program/services/Notifications.h"

#include <QElapsedTimer>

#include <filesystem>
#include <string>
#include <vector>

namespace Mod_tallyvane {

namespace fs = std::filesystem;

namespace {

bool& passRunning()
{
    static bool running = false;
    return running;
}

int& retryWait()
{
    static int ms = 500;
    return ms;
}

// A report file held by another program: tried again a few times, letting
// the program run meanwhile, then given up.
struct PermissionDenied {
    std::string what;
};

// The report's own file could not be written.
struct NotWritten {
    std::string file;
    std::string why;
};

template <class F>
auto retrying(const std::string& what, F&& step)
{
    for (int attempt = 1;; ++attempt) {
        try {
            return step();
        } catch (const vb::RuntimeError& e) {
            if (e.Number() != vb::kErrPermissionDenied)
                throw;
            if (attempt >= kPermissionTries)
                throw PermissionDenied{what};
        }
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < retryWait())
            vb::DoEvents();
    }
}

std::string mailBody(const ScheduledTask& entry)
{
    const std::string crlf = "\r\n";
    return "Tallyvane v" + std::to_string(vb::App::Major()) + "." + std::to_string(vb::App::Minor()) + "."
        + std::to_string(vb::App::Revision()) + " automatic report generation" + crlf + "Report : "
        + entry.DisplayName + crlf + "Date   : "
        + vb::Format(vb::Variant(vb::Now()), "DDDD , dd Mmm YYYY hh:mm:ss AM/PM") + crlf + crlf
        + "Please see attachment for report" + crlf;
}

// The page as the body of a message: its lines joined with CR LF, so words
// stay apart and no line grows beyond what mail servers take.
std::string pageAsBody(const fs::path& page)
{
    auto stream = vb::fso::TextStream::OpenTextFile(page, vb::fso::IOMode::ForReading);
    std::string body;
    while (!stream.AtEndOfStream()) {
        if (!body.empty())
            body += "\r\n";
        body += stream.ReadLine();
    }
    return body;
}

void deliver(const ScheduledTask& entry, const fs::path& page)
{
    const fs::path folder = vb::App::Path();
    switch (entry.Destination) {
    case 0:
        PrintReportPage(page.string(), false, entry.Filename);
        break;
    case 2:
        if (entry.SendAsAttachment) {
            const fs::path copy = folder / (entry.DisplayName + ".htm");
            retrying(copy.string(), [&] { vb::fso::CopyFile(page, copy, true); });
            Notifications::SendEmail(entry.DisplayName, mailBody(entry), entry.Filename, true, copy.string(), "");
            // The message has gone: a copy that cannot be deleted stays behind
            // (the next run overwrites it) rather than leaving the entry due,
            // which would send the report again in the next pass.
            try {
                retrying(copy.string(), [&] {
                    if (vb::fso::FileExists(copy))
                        vb::fso::DeleteFile(copy);
                });
            } catch (const PermissionDenied&) {
            } catch (const vb::RuntimeError&) {
            }
        } else {
            const std::string body = retrying(page.string(), [&] { return pageAsBody(page); });
            Notifications::SendEmail(entry.DisplayName, body, entry.Filename, false, "", "html");
        }
        break;
    case 1:
        // A report bound for no file is not delivered by writing nothing.
        if (vb::Trim(entry.Filename).empty())
            throw NotWritten{{}, "no file name is set for it"};
        try {
            retrying(entry.Filename, [&] { vb::fso::CopyFile(page, entry.Filename, true); });
        } catch (const vb::RuntimeError& e) {
            // A file that cannot be written (no such folder, a full disk)
            // skips this report only, as a file held by another program does.
            throw NotWritten{entry.Filename, e.Description()};
        }
        break;
    default:
        break;
    }
}

std::string withStop(std::string text)
{
    if (!text.empty() && text.back() != '.')
        text += '.';
    return text;
}

// A report that failed at its time is tried again by the next pass of the
// same minute: the user hears of each failed run once.
void tellFailed(const ScheduledTask& entry, const std::string& text)
{
    const std::string run = entry.Key + "|" + Mod_Report::DateText(entry.NextRunDate) + "|" + entry.RunTime;
    if (tv::Reports().toldRunFailures.insert(run).second)
        MBoxMod::ShowMBox(text + " The report is skipped this time.", 4, 0, 10);
}

// The entry's place in the table now: the table may have been rebuilt while
// the pass waited. -1 when the schedule was changed meanwhile.
int currentIndex(const ScheduledTask& entry)
{
    const auto& tasks = tv::Reports().g_ScheduledTasks;
    if (!tasks)
        return -1;
    for (size_t i = 0; i < tasks->size(); ++i)
        if ((*tasks)[i] == entry)
            return static_cast<int>(i);
    return -1;
}

void runPass()
{
    // The pass works on its own copy of the table and one reading of the clock.
    const vb::DynArray<ScheduledTask> snapshot = tv::Reports().g_ScheduledTasks;
    if (!snapshot)
        return;
    const vb::Date today = vb::Today();
    const std::string now = Mod_Report::TimeText(vb::Now());
    const fs::path page = fs::path(vb::App::Path()) / Mod_Report::kTempReportFileName;
    int ran = 0;
    for (const ScheduledTask& entry : *snapshot) {
        if (vb::DateValue(entry.NextRunDate) != today || entry.RunTime != now)
            continue;
        // The report's own record: the screens keep theirs.
        ReportSettings settings;
        try {
            settings = Mod_Report::ToReportSettings(Mod_Report::ReadReportSettings(vb::App::Path(), entry.Key));
        } catch (const vb::RuntimeError&) {
            continue; // a record that cannot be read builds nothing
        }
        // Nothing stale goes out: the entry stays due.
        if (std::string why; !Mod_Report::GenerateReport(entry.Key, settings, &why)) {
            tellFailed(entry, "The " + entry.DisplayName + " could not be built: " + withStop(why));
            continue;
        }
        ++ran;
        try {
            deliver(entry, page);
        } catch (const PermissionDenied& denied) {
            tellFailed(entry, "The " + entry.DisplayName + " could not be delivered: \"" + denied.what
                                  + "\" is in use by another program.");
            continue;
        } catch (const NotWritten& failed) {
            const std::string where = failed.file.empty() ? "a file" : "\"" + failed.file + "\"";
            tellFailed(entry, "The " + entry.DisplayName + " could not be written to " + where + ": "
                                  + withStop(failed.why));
            continue;
        }
        if (const int index = currentIndex(entry); index >= 0)
            RescheduleTask(static_cast<int16_t>(index));
    }
    if (ran > 0) {
        Mod_TaskList::BuildScheduledReports();
        Notifications::RefreshTaskList();
    }
}

} // namespace

void RunScheduledTasks()
{
    if (passRunning())
        return;
    struct Running {
        Running() { passRunning() = true; }
        ~Running() { passRunning() = false; }
    } running;
    try {
        runPass();
    } catch (const vb::RuntimeError&) {
        // Any other failure ends the pass; what ran stays rescheduled.
    }
}

bool PrintReportPage(const std::string& pagePath, bool showDialog, const std::string& printerName)
{
    report::WebBrowser* browser = Notifications::ReportBrowser();
    if (!browser)
        return false;
    browser->Navigate(pagePath);
    browser->SetVisible(true);
    const bool printed = browser->ExecWB(report::OLECMDID_PRINT,
                                         showDialog ? report::OLECMDEXECOPT_PROMPTUSER
                                                    : report::OLECMDEXECOPT_DONTPROMPTUSER,
                                         printerName.empty() ? report::CurrentPrinter()
                                                             : report::ResolvePrinter(printerName));
    browser->SetVisible(false);
    return printed;
}

void SetPermissionRetryWait(int milliseconds)
{
    retryWait() = milliseconds;
}

} // namespace Mod_tallyvane
