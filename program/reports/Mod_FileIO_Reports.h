#pragma once
// The writers of the report settings file "ReportScheduler.xml". Each one
// rewrites the whole file through a temporary file renamed over it; values
// holding "<", ">" or a line break are refused before anything is written
// (Mod_FileIO::kErrNotStorable).

#include "program/reports/ScheduledTask.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace Mod_FileIO {

// Adds an empty block for key before the "</ReportScheduler>" line (the file
// is created when missing) and returns the new-report values.
std::vector<std::string> AppendReportBlock(std::string_view key, const std::filesystem::path& folder);

// Replaces the twelve element lines of key's block with values (twelve texts,
// in field order); a report without a block gets one.
void WriteReportSettings(const std::filesystem::path& folder, std::string_view key,
                         const std::vector<std::string>& values);

// Replaces the schedule elements of the entry's report (ScheduleReport,
// StartDate, StartTime, Frequency, Destination, Filename, SendAsAttachment)
// with the entry's values; Length, Years, SortOrder, ReportFont and Reminder
// are kept byte for byte.
void WriteReportSchedule(const std::filesystem::path& folder, const ScheduledTask& entry);

} // namespace Mod_FileIO
