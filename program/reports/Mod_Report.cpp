#include "program/reports/Mod_Report.h"

#include "platform/basic/App.h"
#include "platform/basic/Format.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/basic/Variant.h"
#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/ReportsState.h"
#include "program/services/Mod_FTPData.h"
#include "program/stores/Mod_FileIO.h"

#include <algorithm>

namespace Mod_Report {

namespace fs = std::filesystem;

namespace {

std::string currentYearText()
{
    return std::to_string(vb::Year(vb::Now()));
}

// On the last day the dates can hold there is no tomorrow: today it is.
std::string tomorrowText()
{
    const vb::Date today = vb::Today();
    if (today >= vb::DateSerial(9999, 12, 31))
        return DateText(today);
    return DateText(Mod_FTPData::AddToDate(1, "d", today));
}

} // namespace

bool IsReportKey(std::string_view key)
{
    for (const ReportKey& k : kReportKeys)
        if (k.key == key)
            return true;
    return false;
}

std::string DisplayName(std::string_view key)
{
    for (const ReportKey& k : kReportKeys)
        if (k.key == key)
            return std::string(k.displayName);
    return {};
}

std::string DateText(vb::Date date)
{
    return vb::Format(vb::Variant(date), "m/d/yyyy");
}

std::string TimeText(vb::Date time)
{
    return vb::Format(vb::Variant(time), "hh:mm AMPM");
}

std::vector<std::string> NewReportValues(std::string_view key, const fs::path& folder)
{
    const std::string defaultFile = (folder / (DisplayName(key) + ".htm")).string();
    return {"Three Months", currentYearText(),       "ASC",  "Times New Roman", "False", tomorrowText(),
            TimeText(vb::Now()), "Daily",            "None", "1",               defaultFile, "False"};
}

std::vector<std::string> ReadReportSettings(const fs::path& folder, std::string_view key)
{
    if (!IsReportKey(key))
        vb::Raise(vb::kErrInvalidCall, "\"" + std::string(key) + "\" is not a report.");
    Mod_FileIO::ReportFileLock lock(folder);
    std::vector<std::string> lines = Mod_FileIO::ReadReportFile(folder);
    if (auto values = Mod_FileIO::FindReportBlock(lines, key))
        return std::move(*values);
    Mod_FileIO::AppendReportBlocks(folder, std::move(lines), {key});
    return NewReportValues(key, folder);
}

std::array<std::vector<std::string>, kReportKeys.size()> ReadAllReportSettings(const fs::path& folder)
{
    std::array<std::vector<std::string>, kReportKeys.size()> all;
    Mod_FileIO::ReportFileLock lock(folder);
    std::vector<std::string> lines = Mod_FileIO::ReadReportFile(folder);
    std::vector<std::string_view> missing;
    for (size_t i = 0; i < kReportKeys.size(); ++i) {
        if (auto values = Mod_FileIO::FindReportBlock(lines, kReportKeys[i].key)) {
            all[i] = std::move(*values);
        } else {
            missing.push_back(kReportKeys[i].key);
            all[i] = NewReportValues(kReportKeys[i].key, folder);
        }
    }
    Mod_FileIO::AppendReportBlocks(folder, std::move(lines), missing);
    return all;
}

ReportSettings ToReportSettings(const std::vector<std::string>& values)
{
    auto value = [&](int field) -> std::string {
        return static_cast<size_t>(field) < values.size() ? values[field] : std::string();
    };
    auto text = [&](int field, std::string fallback) {
        std::string v = value(field);
        return v.empty() ? fallback : v;
    };
    auto boolean = [&](int field) {
        const std::string v = value(field);
        return v.empty() ? false : vb::CBool(vb::Variant(v));
    };

    ReportSettings s;
    s.Length = text(kLength, "One Month");
    s.Years = text(kYears, currentYearText());
    s.SortOrder = vb::UCase(text(kSortOrder, "ASC"));
    s.ReportFont = text(kReportFont, "Tahoma");
    s.ScheduleReport = boolean(kScheduleReport);
    s.StartDate = text(kStartDate, tomorrowText());
    s.StartTime = text(kStartTime, TimeText(vb::Now()));
    s.Frequency = text(kFrequency, "Once");
    s.Reminder = text(kReminder, "None");
    const std::string destination = value(kDestination);
    s.Destination = destination.empty() ? int16_t{1} : vb::CInt(vb::Variant(destination));
    s.Filename = value(kFilename);
    s.SendAsAttachment = boolean(kSendAsAttachment);
    return s;
}

std::vector<std::string> ToValues(const ReportSettings& s)
{
    auto boolText = [](bool b) { return std::string(b ? "True" : "False"); };
    return {s.Length,    s.Years,     s.SortOrder, s.ReportFont, boolText(s.ScheduleReport),   s.StartDate,
            s.StartTime, s.Frequency, s.Reminder,  std::to_string(s.Destination), s.Filename, boolText(s.SendAsAttachment)};
}

void LoadReportSettings()
{
    auto& state = tv::Reports();
    const std::vector<std::string> values = ReadReportSettings(vb::App::Path(), state.g_CurrentReport);
    state.g_CurrentReportSettings = ToReportSettings(values);
}

void SaveReportSettings()
{
    const auto& state = tv::Reports();
    Mod_FileIO::WriteReportSettings(vb::App::Path(), state.g_CurrentReport, ToValues(state.g_CurrentReportSettings));
}

void SaveReportOptions(std::string_view key, const ReportSettings& settings)
{
    Mod_FileIO::ReportFileLock lock(vb::App::Path());
    std::vector<std::string> values = ReadReportSettings(vb::App::Path(), key);
    values.resize(kFieldNames.size());
    values[kLength] = settings.Length;
    values[kYears] = settings.Years;
    values[kSortOrder] = settings.SortOrder;
    Mod_FileIO::WriteReportSettings(vb::App::Path(), key, values);
}

void SaveReportSchedule(std::string_view key, const ReportSettings& settings)
{
    Mod_FileIO::ReportFileLock lock(vb::App::Path());
    std::vector<std::string> values = ReadReportSettings(vb::App::Path(), key);
    values.resize(kFieldNames.size());
    const std::vector<std::string> schedule = ToValues(settings);
    std::copy(schedule.begin() + kScheduleReport, schedule.end(), values.begin() + kScheduleReport);
    Mod_FileIO::WriteReportSettings(vb::App::Path(), key, values);
}

} // namespace Mod_Report
