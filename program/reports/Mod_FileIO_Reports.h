#pragma once
// The writers of the report settings file "ReportScheduler.xml". Each one
// rewrites the whole file through a temporary file renamed over it; values
// holding "<", ">" or a line break are refused before anything is written
// (Mod_FileIO::kErrNotStorable).

#include "platform/basic/FileSystem.h"
#include "program/reports/ScheduledTask.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Mod_FileIO {

// A schedules file holds ten short blocks; anything this large is not one.
inline constexpr std::uintmax_t kMaxReportFileSize = 16 * 1024 * 1024;
// A file that is no schedules file is kept beside it under this suffix.
inline constexpr std::string_view kDamagedSuffix = ".damaged";

// The schedules file's lock, held for a whole read-change-rewrite so that
// two running copies of the program never write over each other's changes:
// an flock on "ReportScheduler.xml.lock" beside the file. Scopes nested in
// one process share the outermost one's lock. When the lock cannot be taken
// (a folder that may only be read) reading goes on and every rewrite raises
// why. What the user is to be told while the lock is held waits until the
// outermost scope has let it go, so that no box keeps another copy waiting.
class ReportFileLock {
public:
    explicit ReportFileLock(const std::filesystem::path& folder);
    ~ReportFileLock();
    ReportFileLock(const ReportFileLock&) = delete;
    ReportFileLock& operator=(const ReportFileLock&) = delete;

    // Raises why the lock could not be taken; nothing when it is held.
    void RequireHeld() const;
    // Shows text (a warning box) once the outermost scope on folder's file
    // ends; at once when none is open.
    static void Tell(const std::filesystem::path& folder, std::string text);

private:
    ReportFileLock* holder();

    std::filesystem::path file_;
    ReportFileLock* enclosing_ = nullptr; // the scope open when this one began
    bool holds_ = false;                  // the outermost scope on file_
    vb::fso::FileLock lock_;
    int error_ = 0;
    std::string errorText_;
    std::vector<std::string> notices_;
};

// Why the schedules file in folder is refused whole (larger than
// kMaxReportFileSize), or nothing.
std::optional<std::string> ReportFileRefusal(const std::filesystem::path& folder);

// The lines of "ReportScheduler.xml" in folder up to its end line, read
// once; a new file's lines when it is missing or empty. A file larger than
// kMaxReportFileSize is refused (75, its name in the text) and left as it
// is. A file that holds text but neither a report block nor the list's
// lines is no schedules file: it is moved aside to the same name with
// kDamagedSuffix (a number added when that is taken), the user is told, and
// a new file's lines are returned. A file cut short (its end line missing,
// or a block that stops before its "</Report>") is written back whole, each
// block cut short with the fields it lost empty, so that they load at their
// defaults; the user is told once which reports lost settings.
std::vector<std::string> ReadReportFile(const std::filesystem::path& folder);

// The values of key's block in the lines of a schedules file: its element
// lines up to "</Report>", or up to the next part of the file when the
// block is cut short. Nothing when no block names key.
std::optional<std::vector<std::string>> FindReportBlock(const std::vector<std::string>& lines, std::string_view key);

// Adds an empty block for every key to lines (as ReadReportFile gave them)
// before the "</ReportScheduler>" line and writes the file, once.
void AppendReportBlocks(const std::filesystem::path& folder, std::vector<std::string> lines,
                        const std::vector<std::string_view>& keys);

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
