#include "program/reports/Mod_FileIO_Reports.h"

#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "program/reports/Mod_Report.h"
#include "program/stores/Mod_FileIO.h"

#include <array>
#include <functional>
#include <optional>

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

// Rewrites the file with every block of key given the body that makeBody
// builds from its old element lines. A block's old element lines are taken
// by name up to its "</Report>" line; a line that is not one of them ends
// the block there and is copied on unchanged, so a damaged block never eats
// its neighbours. When key has no block (or replaceExisting is false) a new
// block is inserted before "</ReportScheduler>", which is added when the file
// lacks it.
void rewriteBlocks(const fs::path& folder, std::string_view key, const BodyMaker& makeBody, bool replaceExisting)
{
    const fs::path path = folder / Mod_Report::kReportFileName;
    const std::vector<std::string> lines = ReadLineFile(path, kReportSkeleton);
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
        if (replaceExisting && isNameLine(trimmed, key)) {
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
    ReplaceLineFile(path, out);
}

std::string boolText(bool b)
{
    return b ? "True" : "False";
}

} // namespace

std::vector<std::string> AppendReportBlock(std::string_view key, const fs::path& folder)
{
    checkKey(key);
    rewriteBlocks(
        folder, key,
        [](const OldBlock&) {
            std::vector<std::string> body;
            for (std::string_view name : Mod_Report::kFieldNames)
                body.push_back(ElementLine(name, ""));
            return body;
        },
        false);
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
        },
        true);
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
        },
        true);
}

} // namespace Mod_FileIO
