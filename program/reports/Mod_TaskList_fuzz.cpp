// The table of scheduled reports built from any schedules file, on any day
// and at any time of day the dates can hold: building never fails, every
// entry is due today or later, its time is in the one form the runner
// compares and its frequency is one the runner knows.
//
// The input: a mode byte (bit 0: the rest is the whole file as it stands;
// else it is the settings, one a line, twelve a report in field order, with
// ScheduleReport "True" unless bit 1 is set), then four bytes of the day and
// two of the minute of the day the clock shows.

#include "program/reports/Mod_TaskList.h"

#include "platform/basic/App.h"
#include "platform/basic/DateTime.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/ReportsState.h"
#include "program/stores/Mod_FileIO.h"
#include "platform/forms/MsgBox.h"
#include "platform/testing/FuzzSupport.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

namespace {

// A damaged file is told about in a message box: answered at once here.
struct SilentMsgBox : forms::MessageBoxPort {
    int Show(const forms::MsgBoxRequest& request) override { return forms::DefaultAnswer(request.buttons); }
};

// The program folder, where the schedules file is read.
const std::filesystem::path& folder()
{
    static const bool set = [] {
        forms::SetMessageBoxPort(std::make_shared<SilentMsgBox>());
        vb::AppPaths::SetProgramFolder(tv::fuzzing::TempFolder());
        return true;
    }();
    (void)set;
    return tv::fuzzing::TempFolder();
}

std::string settingsFile(std::string_view lines, bool scheduled)
{
    std::string file = "<xml>\r\n<ReportScheduler>\r\n";
    size_t at = 0;
    for (const Mod_Report::ReportKey& report : Mod_Report::kReportKeys) {
        file += "    <Report>\r\n      <Name>" + std::string(report.key) + "</Name>\r\n";
        for (size_t f = 0; f < Mod_Report::kFieldNames.size(); ++f) {
            std::string_view value;
            if (at <= lines.size()) {
                const size_t end = std::min(lines.find('\n', at), lines.size());
                value = lines.substr(at, end - at);
                at = end + 1;
            }
            if (f == Mod_Report::kScheduleReport && scheduled)
                value = "True";
            file += Mod_FileIO::ElementLine(Mod_Report::kFieldNames[f], value) + "\r\n";
        }
        file += "    </Report>\r\n";
    }
    return file + "</ReportScheduler>\r\n</xml>\r\n";
}

bool knownFrequency(std::string_view f)
{
    for (std::string_view k : {"Once", "Hourly", "Daily", "Weekly", "Monthly", "Quarterly", "Bi-Yearly", "Yearly"})
        if (f == k)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 7)
        return 0;
    const std::uint8_t mode = data[0];
    std::uint32_t day = 0;
    std::uint16_t minute = 0;
    std::memcpy(&day, data + 1, sizeof day);
    std::memcpy(&minute, data + 5, sizeof minute);
    const std::string_view rest(reinterpret_cast<const char*>(data + 7), size - 7);

    // 1 January 100 to 31 December 9999, at a whole minute.
    const double first = -657434.0;
    const double days = 2958466.0 - first;
    const double serial = first + static_cast<double>(day % static_cast<std::uint32_t>(days));
    const double time = (minute % 1440) / 1440.0;
    const vb::Date now = vb::Date::FromSerial(serial < 0 ? serial - time : serial + time);
    vb::SetClock(std::make_shared<vb::FakeClock>(now));

    {
        std::ofstream out(folder() / Mod_Report::kReportFileName, std::ios::binary | std::ios::trunc);
        const std::string file = (mode & 1) ? std::string(rest) : settingsFile(rest, !(mode & 2));
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
    }

    tv::ResetReportsState();
    const int16_t count = Mod_TaskList::BuildScheduledReports();
    const auto& tasks = tv::Reports().g_ScheduledTasks;
    if (count != (tasks ? static_cast<int16_t>(tasks->size()) : 0))
        std::abort();
    if (tasks) {
        for (const ScheduledTask& t : *tasks) {
            if (t.NextRunDate < vb::Today() || !knownFrequency(t.Frequency))
                std::abort();
            vb::Date at;
            if (!vb::TryParseDate(t.RunTime, at) || Mod_Report::TimeText(vb::TimeValue(at)) != t.RunTime)
                std::abort();
        }
    }
    vb::SetClock(nullptr);
    tv::fuzzing::RemoveKeptCopies(folder(), Mod_Report::kReportFileName);
    return 0;
}
