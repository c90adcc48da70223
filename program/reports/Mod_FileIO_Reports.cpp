#include "program/reports/Mod_FileIO_Reports.h"

#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/forms/MsgBox.h"
#include "program/reports/Mod_Report.h"
#include "program/stores/Mod_FileIO.h"

#include <array>
#include <functional>
#include <optional>
#include <set>

namespace Mod_FileIO {

namespace fs = std::filesystem;

namespace {

// A new file: two header lines, the list of blocks (empty) and the end line.
constexpr std::string_view kReportSkeleton[] = {"<xml>", "<ReportScheduler>",
                                                                      "</ReportScheduler>"};
constexpr std::string_view kListClose = "</ReportScheduler>";
constexpr std::string_view kBlockClose = "</Report>";

// The original lines of a block's element lines, by field; missing fields are empty.
using OldBlock = std::array<std::optional<std::string>, 12>;
// The twelve element lines of a block, made from its old lines.
using BodyMaker = std::function<std::vector<std::string>(const OldBlock&)>;

// Element lines are recognised whatever blanks or tabs indent them.
std::string_view stripIndent(std::string_view line)
{
    const size_t p = line.find_first_not_of(" \t");
    if (p == std::string_view::npos)
        return {};
    const size_t q = line.find_last_not_of(" \t");
    return line.substr(p, q - p + 1);
}

bool isNameLine(std::string_view trimmed, std::string_view key)
{
    std::string find = "<Name>";
    find.append(key);
    return trimmed.find(find) != std::string_view::npos;
}

// The field whose element line this is, or -1.
int fieldOf(std::string_view trimmed)
{
    for (size_t i = 0; i < Mod_Report::kFieldNames.size(); ++i) {
        const std::string_view name = Mod_Report::kFieldNames[i];
        if (trimmed.size() > name.size() + 1 && trimmed[0] == '<' && trimmed.substr(1, name.size()) == name &&
            trimmed[name.size() + 1] == '>')
            return static_cast<int>(i);
    }
    return -1;
}

void checkKey(std::string_view key)
{
    if (!Mod_Report::IsReportKey(key))
        vb::Raise(vb::kErrInvalidCall, "\"" + std::string(key) + "\" is not a report.");
}

std::string nameLine(std::string_view key)
{
    return "      <Name>" + std::string(key) + "</Name>";
}

std::vector<std::string> wholeBlock(std::string_view key, const std::vector<std::string>& body)
{
    std::vector<std::string> lines;
    lines.reserve(15);
    lines.emplace_back("    <Report>");
    lines.push_back(nameLine(key));
    lines.insert(lines.end(), body.begin(), body.end());
    lines.emplace_back("    </Report>");
    return lines;
}

// Every rewrite of the file: only under its lock.
void replaceReportFile(const ReportFileLock& lock, const fs::path& folder, const std::vector<std::string>& lines)
{
    lock.RequireHeld();
    ReplaceLineFile(folder / Mod_Report::kReportFileName, lines);
}

// Rewrites the file with every block of key given the body that makeBody
// builds from its old element lines. A block's old element lines are taken
// by name up to its "</Report>" line; a line that is not one of them ends
// the block there and is copied on unchanged, so a damaged block never eats
// its neighbours. When key has no block a new block is inserted before
// "</ReportScheduler>", which is added when the file lacks it.
void rewriteBlocks(const fs::path& folder, std::string_view key, const BodyMaker& makeBody)
{
    ReportFileLock lock(folder);
    const std::vector<std::string> lines = ReadReportFile(folder);
    std::vector<std::string> out;
    out.reserve(lines.size() + 15);
    out.push_back(lines.front());
    bool done = false;
    auto insertNew = [&] {
        const std::vector<std::string> block = wholeBlock(key, makeBody(OldBlock{}));
        out.insert(out.end(), block.begin(), block.end());
        done = true;
    };
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string trimmed = vb::Trim(lines[i]);
        if (isNameLine(trimmed, key)) {
            // Written afresh: anything else on the line would end the block early.
            out.push_back(nameLine(key));
            OldBlock old;
            size_t j = i + 1;
            for (; j < lines.size(); ++j) {
                const std::string_view t = stripIndent(lines[j]);
                if (t == kBlockClose) {
                    ++j;
                    break;
                }
                const int field = fieldOf(t);
                if (field < 0)
                    break;
                if (!old[field])
                    old[field] = lines[j];
            }
            i = j - 1;
            const std::vector<std::string> body = makeBody(old);
            out.insert(out.end(), body.begin(), body.end());
            out.emplace_back("    </Report>");
            done = true;
            continue;
        }
        if (!done && trimmed.find(kListClose) != std::string::npos)
            insertNew();
        out.push_back(lines[i]);
    }
    if (!done) {
        insertNew();
        out.emplace_back(kListClose);
    }
    replaceReportFile(lock, folder, out);
}

std::string boolText(bool b)
{
    return b ? "True" : "False";
}

std::vector<std::string> emptyBody()
{
    std::vector<std::string> body;
    for (std::string_view name : Mod_Report::kFieldNames)
        body.push_back(ElementLine(name, ""));
    return body;
}

// A line of the list of blocks: a block's name, or the list's own lines.
bool isListLine(std::string_view line)
{
    return line.find("<Name>") != std::string_view::npos || line.find("ReportScheduler>") != std::string_view::npos;
}

// Moves a file that is no schedules file out of the way, under a name no
// earlier one holds.
fs::path keepAside(const ReportFileLock& lock, const fs::path& path)
{
    lock.RequireHeld();
    fs::path kept = path;
    kept += kDamagedSuffix;
    std::error_code ec;
    for (int n = 1; fs::exists(fs::symlink_status(kept, ec)); ++n) {
        kept = path;
        kept += std::string(kDamagedSuffix) + "." + std::to_string(n);
    }
    fs::rename(path, kept, ec);
    if (ec)
        vb::Raise(vb::kErrPathFileAccess, "The schedules file " + path.string() +
                                              " holds no report settings, and it cannot be kept aside as " +
                                              kept.string() + " (" + ec.message() + "); it is left as it is.");
    return kept;
}

} // namespace

// ---- the lock -------------------------------------------------------------

namespace {

// The innermost scope open in this process.
ReportFileLock*& innermostLock()
{
    static ReportFileLock* innermost = nullptr;
    return innermost;
}

// One name for one file however the folder was spelt: a second lock taken
// on the same file in this process would wait for the first for ever.
fs::path lockedFile(const fs::path& folder)
{
    const fs::path file = folder / Mod_Report::kReportFileName;
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(file, ec);
    return ec ? file.lexically_normal() : canonical;
}

void show(const std::string& text)
{
    try {
        forms::MsgBox(text, forms::vbExclamation);
    } catch (...) {
        // A box that cannot be shown must not take the change with it.
    }
}

} // namespace

ReportFileLock::ReportFileLock(const fs::path& folder)
    : file_(lockedFile(folder))
    , enclosing_(innermostLock())
{
    innermostLock() = this;
    if (holder() != this)
        return;
    holds_ = true;
    try {
        lock_ = vb::fso::FileLock(file_);
    } catch (const vb::RuntimeError& e) {
        error_ = e.Number();
        errorText_ = "The schedules file " + file_.string() + " cannot be locked for writing (" + e.Description()
            + ").";
    }
}

ReportFileLock::~ReportFileLock()
{
    innermostLock() = enclosing_;
    if (!holds_)
        return;
    lock_ = vb::fso::FileLock();
    for (const std::string& text : notices_)
        show(text);
}

ReportFileLock* ReportFileLock::holder()
{
    ReportFileLock* found = nullptr;
    for (ReportFileLock* scope = this; scope; scope = scope->enclosing_)
        if (scope->file_ == file_)
            found = scope;
    return found;
}

void ReportFileLock::RequireHeld() const
{
    for (const ReportFileLock* scope = this; scope; scope = scope->enclosing_)
        if (scope->holds_ && scope->file_ == file_) {
            if (scope->error_ != 0)
                vb::Raise(scope->error_, scope->errorText_);
            return;
        }
}

void ReportFileLock::Tell(const fs::path& folder, std::string text)
{
    const fs::path file = lockedFile(folder);
    ReportFileLock* outermost = nullptr;
    for (ReportFileLock* scope = innermostLock(); scope; scope = scope->enclosing_)
        if (scope->file_ == file)
            outermost = scope;
    if (outermost)
        outermost->notices_.push_back(std::move(text));
    else
        show(text);
}

// ---- reading -------------------------------------------------------------

std::optional<std::string> ReportFileRefusal(const fs::path& folder)
{
    const fs::path path = folder / Mod_Report::kReportFileName;
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec || size <= kMaxReportFileSize)
        return std::nullopt;
    return "The schedules file " + path.string()
        + " is larger than 16 MB, which no schedules file is. Tallyvane leaves it as it is and runs no report on a "
          "schedule until it is repaired or removed.";
}

namespace {

// The report key a block's Name line names; "" for any other line.
std::string_view blockKey(std::string_view trimmed)
{
    if (trimmed.find("<Name>") == std::string_view::npos)
        return {};
    for (const Mod_Report::ReportKey& k : Mod_Report::kReportKeys)
        if (isNameLine(trimmed, k.key))
            return k.key;
    return {};
}

// Where a block that never reached its "</Report>" stopped.
bool startsOtherPart(std::string_view trimmed)
{
    return trimmed.find("<Report>") != std::string_view::npos || trimmed.find("<Name>") != std::string_view::npos
        || trimmed.find(kListClose) != std::string_view::npos || IsEndLine(trimmed);
}

// An element line that holds its closing tag: one the cut did not fall in.
bool wholeElementLine(std::string_view trimmed, int field)
{
    const std::string close = "</" + std::string(Mod_Report::kFieldNames[static_cast<size_t>(field)]) + ">";
    return trimmed.size() >= close.size() && trimmed.substr(trimmed.size() - close.size()) == close;
}

// Gives every block that stops before its "</Report>" (the file ends, or the
// next block or the list's end follows straight on) the element lines it
// kept and empty ones for those it lost, and its closing line. A block that
// holds a line of something else is not touched here: the rewrites copy
// such a line on. Returns the display names of the reports that lost
// fields; changed tells whether any block was made whole.
std::vector<std::string> closeCutBlocks(std::vector<std::string>& lines, bool& changed)
{
    changed = false;
    std::vector<std::string> cut;
    std::vector<std::string> out;
    out.reserve(lines.size() + 16);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string trimmed = vb::Trim(lines[i]);
        const std::string_view key = i == 0 ? std::string_view() : blockKey(trimmed);
        if (key.empty() || trimmed.find(kBlockClose) != std::string::npos) {
            out.push_back(std::move(lines[i]));
            continue;
        }
        OldBlock kept;
        size_t j = i + 1;
        bool closed = false;
        for (; j < lines.size(); ++j) {
            const std::string_view t = stripIndent(lines[j]);
            if (t == kBlockClose) {
                closed = true;
                break;
            }
            const int field = fieldOf(t);
            if (field < 0)
                break;
            if (!kept[field] && wholeElementLine(t, field))
                kept[field] = lines[j];
        }
        if (closed || (j < lines.size() && !startsOtherPart(vb::Trim(lines[j])))) {
            out.push_back(std::move(lines[i]));
            continue;
        }
        out.push_back(nameLine(key));
        bool lost = false;
        for (size_t f = 0; f < kept.size(); ++f) {
            lost = lost || !kept[f];
            out.push_back(kept[f] ? *kept[f] : ElementLine(Mod_Report::kFieldNames[f], ""));
        }
        out.emplace_back("    </Report>");
        if (lost)
            cut.push_back(Mod_Report::DisplayName(key));
        changed = true;
        i = j - 1;
    }
    lines = std::move(out);
    return cut;
}

// The file's lines up to its end line, and whether the end line was there.
std::vector<std::string> readLines(const fs::path& path, bool& ended)
{
    std::vector<std::string> lines;
    ended = false;
    if (!vb::fso::FileExists(path))
        return lines;
    ReadScope scope(path);
    auto& in = scope.Stream();
    while (!in.AtEndOfStream()) {
        std::string line = in.ReadLine();
        if (IsEndLine(line)) {
            ended = true;
            break;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// Files already told about as cut short in this run, by name, size and time,
// so that one that cannot be written whole again is told once.
bool toldBefore(const fs::path& path)
{
    static std::set<std::string> told;
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    const auto time = fs::last_write_time(path, ec).time_since_epoch().count();
    return !told.insert(path.string() + "|" + std::to_string(size) + "|" + std::to_string(time)).second;
}

} // namespace

std::vector<std::string> ReadReportFile(const fs::path& folder)
{
    const fs::path path = folder / Mod_Report::kReportFileName;
    if (std::optional<std::string> refused = ReportFileRefusal(folder))
        vb::Raise(vb::kErrPathFileAccess, *refused);
    ReportFileLock lock(folder);
    bool ended = false;
    std::vector<std::string> lines = readLines(path, ended);
    if (lines.empty())
        return {std::begin(kReportSkeleton), std::end(kReportSkeleton)};
    bool listed = false;
    for (const std::string& line : lines)
        listed = listed || isListLine(line);
    if (!listed) {
        const fs::path kept = keepAside(lock, path);
        ReportFileLock::Tell(folder, "The schedules file " + path.string()
                                         + " holds no report settings Tallyvane can read. It is kept as "
                                         + kept.string() + ", and a new schedules file is started.");
        return {std::begin(kReportSkeleton), std::end(kReportSkeleton)};
    }

    bool closed = false;
    std::vector<std::string> lost = closeCutBlocks(lines, closed);
    if (ended && !closed)
        return lines;
    // Cut short: what is left is written back whole.
    bool closesList = false;
    for (size_t i = 1; i < lines.size(); ++i)
        closesList = closesList || lines[i].find(kListClose) != std::string::npos;
    if (!closesList)
        lines.emplace_back(kListClose);
    if (!ended) {
        // Reports whose blocks the cut took whole start afresh.
        for (const Mod_Report::ReportKey& k : Mod_Report::kReportKeys)
            if (!FindReportBlock(lines, k.key))
                lost.emplace_back(k.displayName);
    }
    const bool told = toldBefore(path);
    std::string failed;
    try {
        replaceReportFile(lock, folder, lines);
    } catch (const vb::RuntimeError& e) {
        failed = e.Description();
    }
    if (!told) {
        std::string text = "The schedules file " + path.string() + " was cut short. ";
        text += lost.empty() ? "No report lost any of its settings."
                             : "The settings it lost are back at their defaults for the " + vb::Join(lost, ", ")
                + "; please look over their schedules.";
        if (!failed.empty())
            text += " The file could not be written whole again: " + failed;
        ReportFileLock::Tell(folder, std::move(text));
    }
    return lines;
}

std::optional<std::vector<std::string>> FindReportBlock(const std::vector<std::string>& lines, std::string_view key)
{
    const std::string nameTag = "<Name>" + std::string(key);
    // A block cut short ends where the next one starts.
    auto endsBlock = [](std::string_view t) {
        return t.find("<Report>") != std::string_view::npos || t.find("<Name>") != std::string_view::npos ||
               t.find("</ReportScheduler>") != std::string_view::npos || IsEndLine(t);
    };
    // The first line is the file's header, never part of a block.
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.find(nameTag) == std::string::npos)
            continue;
        std::vector<std::string> values;
        if (line.find(kBlockClose) != std::string::npos) {
            if (line.find('>') != std::string::npos)
                values.push_back(ElementValue(line));
            return values;
        }
        for (size_t j = i + 1; j < lines.size(); ++j) {
            const std::string t = vb::Trim(lines[j]);
            if (t == kBlockClose || endsBlock(t))
                break;
            if (t.find('>') != std::string::npos)
                values.push_back(ElementValue(t));
        }
        return values;
    }
    return std::nullopt;
}

void AppendReportBlocks(const fs::path& folder, std::vector<std::string> lines,
                        const std::vector<std::string_view>& keys)
{
    if (keys.empty())
        return;
    for (std::string_view key : keys)
        checkKey(key);
    ReportFileLock lock(folder);
    std::vector<std::string> blocks;
    for (std::string_view key : keys) {
        const std::vector<std::string> block = wholeBlock(key, emptyBody());
        blocks.insert(blocks.end(), block.begin(), block.end());
    }
    std::vector<std::string> out;
    out.reserve(lines.size() + blocks.size() + 1);
    bool added = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!added && i > 0 && vb::Trim(lines[i]).find(kListClose) != std::string::npos) {
            out.insert(out.end(), blocks.begin(), blocks.end());
            added = true;
        }
        out.push_back(std::move(lines[i]));
    }
    if (!added) {
        out.insert(out.end(), blocks.begin(), blocks.end());
        out.emplace_back(kListClose);
    }
    replaceReportFile(lock, folder, out);
}

std::vector<std::string> AppendReportBlock(std::string_view key, const fs::path& folder)
{
    checkKey(key);
    ReportFileLock lock(folder);
    AppendReportBlocks(folder, ReadReportFile(folder), {key});
    return Mod_Report::NewReportValues(key, folder);
}

void WriteReportSettings(const fs::path& folder, std::string_view key, const std::vector<std::string>& values)
{
    checkKey(key);
    if (values.size() < Mod_Report::kFieldNames.size())
        vb::Raise(vb::kErrSubscript);
    for (size_t i = 0; i < Mod_Report::kFieldNames.size(); ++i)
        CheckStorable("The " + std::string(Mod_Report::kFieldNames[i]) + " setting", values[i]);
    rewriteBlocks(
        folder, key,
        [&](const OldBlock&) {
            std::vector<std::string> body;
            for (size_t i = 0; i < Mod_Report::kFieldNames.size(); ++i)
                body.push_back(ElementLine(Mod_Report::kFieldNames[i], values[i]));
            return body;
        });
}

void WriteReportSchedule(const fs::path& folder, const ScheduledTask& entry)
{
    using namespace Mod_Report;
    checkKey(entry.Key);
    std::array<std::optional<std::string>, 12> replaced;
    replaced[kScheduleReport] = boolText(entry.ScheduleReport);
    replaced[kStartDate] = DateText(entry.NextRunDate);
    replaced[kStartTime] = entry.RunTime;
    replaced[kFrequency] = entry.Frequency;
    replaced[kDestination] = std::to_string(entry.Destination);
    replaced[kFilename] = entry.Filename;
    replaced[kSendAsAttachment] = boolText(entry.SendAsAttachment);
    for (size_t i = 0; i < replaced.size(); ++i)
        if (replaced[i])
            CheckStorable("The " + std::string(kFieldNames[i]) + " setting", *replaced[i]);
    CheckStorable("The Reminder setting", entry.Reminder);

    rewriteBlocks(
        folder, entry.Key,
        [&](const OldBlock& old) {
            std::vector<std::string> body;
            for (size_t i = 0; i < kFieldNames.size(); ++i) {
                if (replaced[i])
                    body.push_back(ElementLine(kFieldNames[i], *replaced[i]));
                else if (old[i])
                    body.push_back(*old[i]);
                else
                    body.push_back(ElementLine(kFieldNames[i], i == kReminder ? entry.Reminder : std::string()));
            }
            return body;
        });
}

} // namespace Mod_FileIO
