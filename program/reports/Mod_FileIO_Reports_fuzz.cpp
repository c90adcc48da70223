// Any bytes as a report settings file, read and rewritten every way the
// program does: the file's lines and each report's block, every report's
// settings at once (the reports without a block get theirs in one
// rewrite), one report's settings converted as the report screen loads
// them and saved back, its schedule written back after a run, and fixed
// settings written and read. Reading never fails; a write raises only the
// refusal of a value that would break the file; what is written reads
// back, and what a write keeps stays as it was.
//
// The input: a mode byte (the report, and bits for the schedule written
// back), then the file.

#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/Mod_Report.h"

#include "platform/basic/App.h"
#include "platform/basic/DateTime.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/MsgBox.h"
#include "platform/testing/FuzzSupport.h"
#include "program/stores/Mod_FileIO.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// A damaged file is told about in a message box: answered at once here.
struct SilentMsgBox : forms::MessageBoxPort {
    int Show(const forms::MsgBoxRequest& request) override { return forms::DefaultAnswer(request.buttons); }
};

// The program folder, where the schedules file lives, on a fixed day.
const std::filesystem::path& folder()
{
    static const bool set = [] {
        forms::SetMessageBoxPort(std::make_shared<SilentMsgBox>());
        vb::AppPaths::SetProgramFolder(tv::fuzzing::TempFolder());
        vb::SetClock(std::make_shared<vb::FakeClock>(
            vb::Date::FromSerial(vb::DateSerial(2026, 3, 14).Serial() + vb::TimeSerial(9, 30, 0).Serial())));
        return true;
    }();
    (void)set;
    return tv::fuzzing::TempFolder();
}

// Runs a write; false when it refused a value that would break the file,
// which is the one error a write of read values may raise.
template <class Write>
bool written(Write&& write)
{
    try {
        write();
    } catch (const vb::RuntimeError& e) {
        if (e.Number() != Mod_FileIO::kErrNotStorable)
            std::abort();
        return false;
    }
    return true;
}

std::optional<ReportSettings> converted(const std::vector<std::string>& values)
{
    try {
        return Mod_Report::ToReportSettings(values);
    } catch (const vb::RuntimeError& e) {
        if (e.Number() != vb::kErrTypeMismatch && e.Number() != vb::kErrOverflow)
            std::abort();
        return std::nullopt;
    }
}

// The schedule written back after a run, made from the report's settings.
ScheduledTask ranEntry(std::string_view key, const ReportSettings& s, std::uint8_t mode)
{
    ScheduledTask entry;
    entry.Key = std::string(key);
    entry.ScheduleReport = mode & 0x10;
    entry.NextRunDate = vb::DateSerial(2026, 3, 15 + (mode >> 5));
    entry.RunTime = Mod_Report::TimeText(vb::TimeSerial(mode % 24, mode % 60, 0));
    entry.Frequency = s.Frequency;
    entry.Destination = s.Destination;
    entry.Filename = s.Filename;
    entry.SendAsAttachment = s.SendAsAttachment;
    entry.Reminder = s.Reminder;
    return entry;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::filesystem::path& dir = folder();
    const std::uint8_t mode = data[0];
    {
        std::ofstream out(dir / Mod_Report::kReportFileName, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    using Mod_Report::kReportKeys;
    const std::vector<std::string> lines = Mod_FileIO::ReadReportFile(dir);
    if (lines.empty())
        std::abort();
    std::array<bool, kReportKeys.size()> hadBlock{};
    for (std::size_t i = 0; i < kReportKeys.size(); ++i)
        hadBlock[i] = Mod_FileIO::FindReportBlock(lines, kReportKeys[i].key).has_value();

    // Every report at once; from then on each has a block that reads alike.
    const auto all = Mod_Report::ReadAllReportSettings(dir);
    const std::vector<std::string> after = Mod_FileIO::ReadReportFile(dir);
    for (std::size_t i = 0; i < kReportKeys.size(); ++i) {
        const auto block = Mod_FileIO::FindReportBlock(after, kReportKeys[i].key);
        if (!block || (hadBlock[i] && *block != all[i]))
            std::abort();
    }

    // One report as the report screen loads, saves and schedules it.
    const std::string_view key = kReportKeys[mode % kReportKeys.size()].key;
    const std::vector<std::string> values = Mod_Report::ReadReportSettings(dir, key);
    const std::optional<ReportSettings> settings = converted(values);
    const std::vector<std::string> saved = settings ? Mod_Report::ToValues(*settings) : std::vector<std::string>{};
    if (settings && written([&] { Mod_FileIO::WriteReportSettings(dir, key, saved); })) {
        if (Mod_Report::ReadReportSettings(dir, key) != saved)
            std::abort();
        const ScheduledTask entry = ranEntry(key, *settings, mode);
        if (written([&] { Mod_FileIO::WriteReportSchedule(dir, entry); })) {
            // The schedule is the entry's; the options and the reminder stay.
            using namespace Mod_Report;
            const std::vector<std::string> expected = {
                saved[kLength],     saved[kYears],
                saved[kSortOrder],  saved[kReportFont],
                entry.ScheduleReport ? "True" : "False", DateText(entry.NextRunDate),
                entry.RunTime,      entry.Frequency,
                saved[kReminder],   std::to_string(entry.Destination),
                entry.Filename,     entry.SendAsAttachment ? "True" : "False"};
            if (ReadReportSettings(dir, key) != expected)
                std::abort();
        }
    }

    const std::vector<std::string> fixed = {"1 Year", "2026", "ASC", "Arial", "True", "3/15/2026",
                                            "09:00 AM", "Daily", "None", "2", "a@x.com", "True"};
    Mod_FileIO::WriteReportSettings(dir, "TAX RATE", fixed);
    if (Mod_Report::ReadReportSettings(dir, "TAX RATE") != fixed)
        std::abort();
    tv::fuzzing::RemoveKeptCopies(dir, Mod_Report::kReportFileName);
    return 0;
}
