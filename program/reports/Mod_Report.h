#pragma once
// The ten report keys and the settings record of a report: reading it from
// "ReportScheduler.xml" and moving it into and out of g_CurrentReport /
// g_CurrentReportSettings.

#include "platform/basic/DateTime.h"
#include "program/reports/ReportSettings.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace Mod_Report {

struct ReportKey {
    std::string_view key;
    std::string_view displayName;
};

// In the order the table of scheduled reports visits them.
inline constexpr std::array<ReportKey, 10> kReportKeys = {{
    {"BASE RATE", "Base Rate Report"},
    {"CAM RATE", "CAM Rate Report"},
    {"TAX RATE", "Tax Rate Report"},
    {"LEASE EXPIRATION", "Lease Expiration Report"},
    {"LEASE TERM", "Lease Term Report"},
    {"INSURANCE REMINDER", "Insurance Reminder Report"},
    {"RENEWAL REMINDER", "Renewal Reminder Report"},
    {"OTHER REMINDER", "Other Reminder Report"},
    {"PERCENTAGE RATE", "Percentage Rate Report"},
    {"LANDLORD", "LandLord Report"},
}};

// The element names of the record's twelve fields, in file order.
inline constexpr std::array<std::string_view, 12> kFieldNames = {
    "Length",    "Years",     "SortOrder",   "ReportFont", "ScheduleReport", "StartDate",
    "StartTime", "Frequency", "Reminder",    "Destination", "Filename",      "SendAsAttachment",
};

// Indexes of the fields in the value list.
enum Field : int {
    kLength, kYears, kSortOrder, kReportFont, kScheduleReport, kStartDate,
    kStartTime, kFrequency, kReminder, kDestination, kFilename, kSendAsAttachment,
};

inline constexpr const char* kReportFileName = "ReportScheduler.xml";

// Keys compare exactly, case-sensitively.
bool IsReportKey(std::string_view key);
// "" for a text that is not a report key.
std::string DisplayName(std::string_view key);

// The date and time texts of the file: "M/d/yyyy" and "hh:mm AM".
std::string DateText(vb::Date date);
std::string TimeText(vb::Date time);

// The values of the report's element lines, in file order (twelve in a
// well-formed block). A report without a block, or a missing file, gets its
// block added first and the new-report values are returned. A key that is
// not a report key raises 5. The file is read through
// Mod_FileIO::ReadReportFile, which refuses one too large to be a schedules
// file and keeps aside one that holds no report.
std::vector<std::string> ReadReportSettings(const std::filesystem::path& folder, std::string_view key);
// The same for every report at once, in kReportKeys order: the file is read
// once, and the reports without a block get theirs in one rewrite.
std::array<std::vector<std::string>, kReportKeys.size()> ReadAllReportSettings(const std::filesystem::path& folder);

// The record of g_CurrentReport, from the program folder, into
// g_CurrentReportSettings; unchanged when the record cannot be converted
// (13 reaches the caller).
void LoadReportSettings();
// g_CurrentReportSettings as the record of g_CurrentReport.
void SaveReportSettings();
// The report's stored record with only its options (Length, Years,
// SortOrder) taken from settings: the schedule saved by another window
// stays as it is.
void SaveReportOptions(std::string_view key, const ReportSettings& settings);
// The report's stored record with only its schedule (ScheduleReport to
// SendAsAttachment) taken from settings: the options saved by the report
// screen stay as they are.
void SaveReportSchedule(std::string_view key, const ReportSettings& settings);

// The loader's conversion of a value list: empty or missing values take the
// loader's defaults, SortOrder is upper-cased, the Booleans accept "True" and
// "False" in any case or a number; a text that does not convert raises 13.
ReportSettings ToReportSettings(const std::vector<std::string>& values);
// The record as the twelve texts of the file.
std::vector<std::string> ToValues(const ReportSettings& settings);

// The values a newly added report starts with; the default file name is in folder.
std::vector<std::string> NewReportValues(std::string_view key, const std::filesystem::path& folder);

} // namespace Mod_Report
