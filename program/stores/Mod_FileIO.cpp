#include "program/stores/Mod_FileIO.h"

#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "program/stores/StoresState.h"

#include <charconv>

namespace Mod_FileIO {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kEndLine = "</xml>";
constexpr std::string_view kBlockOpen = "<StoreData>";
constexpr std::string_view kBlockClose = "</StoreData>";
constexpr std::string_view kListClose = "</StoreLeaseInfo>";

// A new file: a header line, the list of blocks (empty) and the end line.
constexpr std::string_view kNotesSkeleton[] = {"<xml>", "<StoreLeaseInfo>", "</StoreLeaseInfo>"};

bool contains(std::string_view line, std::string_view what)
{
    return line.find(what) != std::string_view::npos;
}

std::string notesTag(int16_t kind)
{
    switch (kind) {
    case kBaseRateNotes: return "BaseRateNotes";
    case kPercentageRateNotes: return "PercentageRateNotes";
    case kCAMRateNotes: return "CAMRateNotes";
    case kTaxRateNotes: return "TaxRateNotes";
    default: vb::Raise(vb::kErrInvalidCall, "Unknown notes kind " + std::to_string(kind) + ".");
    }
}

} // namespace

bool IsStoreIdLine(std::string_view trimmed, int16_t storeID)
{
    constexpr std::string_view open = "<StoreID>";
    constexpr std::string_view close = "</StoreID>";
    const size_t p = trimmed.find(open);
    if (p == std::string_view::npos)
        return false;
    const size_t start = p + open.size();
    const size_t q = trimmed.find(close, start);
    if (q == std::string_view::npos)
        return false;
    const std::string number = vb::Trim(trimmed.substr(start, q - start));
    long long id = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), id);
    return ec == std::errc() && end == number.data() + number.size() && !number.empty() && id == storeID;
}

namespace {

// The line that ends the store list. A block's store line that also holds
// the list's closing tag is a store line: every reader takes it for one.
bool closesList(const std::vector<std::string>& lines, size_t i)
{
    return contains(lines[i], kListClose) && !(i > 0 && contains(lines[i - 1], kBlockOpen));
}

// A line that starts another part of the file: a block must not run past it.
bool startsOtherPart(std::string_view trimmed)
{
    return contains(trimmed, kBlockOpen) || contains(trimmed, kListClose) || IsEndLine(trimmed);
}

bool endsBlock(std::string_view trimmed)
{
    return trimmed == kBlockClose || startsOtherPart(trimmed);
}

std::vector<std::string> notesBlock(int16_t storeID, int16_t kind, std::string_view notes)
{
    auto element = [&](int16_t k, std::string_view tag) {
        return ElementLine(tag, k == kind ? notes : std::string_view());
    };
    return {
        "    <StoreData>",
        "      <StoreID>" + std::to_string(storeID) + "</StoreID>",
        element(kBaseRateNotes, "BaseRateNotes"),
        ElementLine("RenewRateNotes", ""),
        element(kPercentageRateNotes, "PercentageRateNotes"),
        element(kCAMRateNotes, "CAMRateNotes"),
        element(kTaxRateNotes, "TaxRateNotes"),
        "    </StoreData>",
    };
}

bool hasStoreBlock(const std::vector<std::string>& lines, int16_t storeID)
{
    for (size_t i = 1; i + 1 < lines.size(); ++i)
        if (contains(lines[i], kBlockOpen) && IsStoreIdLine(vb::Trim(lines[i + 1]), storeID))
            return true;
    return false;
}

void append(std::vector<std::string>& out, const std::vector<std::string>& lines)
{
    out.insert(out.end(), lines.begin(), lines.end());
}

} // namespace

// ---- reader --------------------------------------------------------------------

std::string ElementValue(std::string_view line)
{
    const size_t p = line.find('>');
    if (p == std::string_view::npos)
        return {};
    const size_t q = line.find('<', p + 1);
    return std::string(line.substr(p + 1, q == std::string_view::npos ? std::string_view::npos : q - p - 1));
}

vb::DynArray<std::string> ReadElementLines(vb::fso::TextStream& in, std::string_view closingTag,
                                           std::string_view currentLine,
                                           const std::function<bool(std::string_view)>& stopAt,
                                           std::optional<std::string>& stopLine)
{
    stopLine.reset();
    if (contains(currentLine, closingTag)) {
        if (!contains(currentLine, ">"))
            return std::nullopt;
        return std::vector<std::string>{ElementValue(currentLine)};
    }
    std::vector<std::string> values;
    // A file cut short ends the element where it ends.
    while (!in.AtEndOfStream()) {
        std::string line = vb::Trim(in.ReadLine());
        if (line == closingTag)
            break;
        if (stopAt && stopAt(line)) {
            stopLine = std::move(line);
            break;
        }
        if (contains(line, ">"))
            values.push_back(ElementValue(line));
    }
    if (values.empty())
        return std::nullopt;
    return values;
}

vb::DynArray<std::string> ReadElementLines(vb::fso::TextStream& in, std::string_view closingTag,
                                           std::string_view currentLine)
{
    std::optional<std::string> unused;
    return ReadElementLines(in, closingTag, currentLine, nullptr, unused);
}

vb::DynArray<std::string> ReadElementLines(std::string_view closingTag, std::string_view currentLine)
{
    auto& stream = tv::Stores().g_TextStream;
    if (!stream)
        vb::Raise(vb::kErrObjectNotSet);
    return ReadElementLines(*stream, closingTag, currentLine);
}

// ---- shared writer helpers -------------------------------------------------------

void CheckStorable(std::string_view what, std::string_view value, bool lineBreaksKept)
{
    if (value.find_first_of("<>\r\n") == std::string_view::npos)
        return;
    const bool breaks = value.find_first_of("\r\n") != std::string_view::npos;
    vb::Raise(kErrNotStorable, std::string(what) + (lineBreaksKept && !breaks
                                                        ? " cannot be saved: it must not contain \"<\" or \">\"."
                                                        : " cannot be saved: it must not contain \"<\", \">\" or a "
                                                          "line break."));
}

std::string ElementLine(std::string_view name, std::string_view value)
{
    std::string line = "      <";
    line.append(name).append(">").append(value).append("</").append(name).append(">");
    return line;
}

bool IsEndLine(std::string_view line)
{
    return vb::Trim(line) == kEndLine;
}

ReadScope::ReadScope(const fs::path& path)
{
    auto& stream = tv::Stores().g_TextStream;
    stream.reset();
    stream = vb::fso::TextStream::OpenTextFile(path, vb::fso::IOMode::ForReading);
}

ReadScope::~ReadScope()
{
    if (auto& stream = tv::Stores().g_TextStream)
        stream->Close();
}

vb::fso::TextStream& ReadScope::Stream()
{
    return *tv::Stores().g_TextStream;
}

std::vector<std::string> ReadLineFile(const fs::path& path, std::span<const std::string_view> skeleton)
{
    std::vector<std::string> lines;
    if (vb::fso::FileExists(path)) {
        ReadScope scope(path);
        auto& in = scope.Stream();
        while (!in.AtEndOfStream()) {
            std::string line = in.ReadLine();
            if (IsEndLine(line))
                break;
            lines.push_back(std::move(line));
        }
    }
    if (lines.empty())
        lines.assign(skeleton.begin(), skeleton.end());
    return lines;
}

void ReplaceLineFile(const fs::path& path, const std::vector<std::string>& lines)
{
    auto& out = tv::Stores().g_OutTextStream;
    out.reset();
    out = vb::fso::TextStream::CreateTextFile(path, true);
    try {
        for (const std::string& line : lines)
            out->WriteLine(line);
        out->WriteLine(kEndLine);
        out->Close();
    } catch (...) {
        out->Abandon();
        throw;
    }
}

// ---- worksheet notes ----------------------------------------------------------------

void CheckNotesFileSize(const fs::path& path)
{
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > kMaxNotesFileSize)
        vb::Raise(vb::kErrPathFileAccess,
                  "The worksheet notes file " + path.string() +
                      " is larger than 16 MB, which no notes file is. Tallyvane leaves it as it is and keeps no "
                      "worksheet notes until it is repaired or removed.");
}

vb::DynArray<std::string> ReadRateNotes(int16_t storeID, const fs::path& folder, int16_t kind)
{
    const std::string tag = notesTag(kind);
    const std::string openTag = "<" + tag + ">";
    const std::string closeTag = "</" + tag + ">";
    const fs::path path = folder / kNotesFileName;
    vb::DynArray<std::string> result;
    if (!vb::fso::FileExists(path))
        return result;
    CheckNotesFileSize(path);

    ReadScope scope(path);
    auto& in = scope.Stream();
    if (in.AtEndOfStream())
        return result;
    in.ReadLine(); // header
    if (in.AtEndOfStream())
        return result;
    std::string current = in.ReadLine();
    while (!IsEndLine(current)) {
        bool haveNext = false;
        if (contains(current, kBlockOpen)) {
            if (in.AtEndOfStream())
                break;
            current = vb::Trim(in.ReadLine());
            if (IsStoreIdLine(current, storeID)) {
                // The block's lines up to "</StoreData>"; a block cut short
                // ends at the next part of the file, which is looked at next.
                for (;;) {
                    if (in.AtEndOfStream())
                        return result;
                    current = vb::Trim(in.ReadLine());
                    if (!endsBlock(current) && contains(current, openTag)) {
                        std::optional<std::string> stop;
                        result = ReadElementLines(in, closeTag, current, endsBlock, stop);
                        if (!stop)
                            continue;
                        current = std::move(*stop);
                    }
                    if (current == kBlockClose)
                        break;
                    if (startsOtherPart(current)) {
                        haveNext = true;
                        break;
                    }
                }
            } else {
                haveNext = true; // it may itself start another part
            }
        }
        if (!haveNext) {
            if (in.AtEndOfStream())
                break;
            current = vb::Trim(in.ReadLine());
        }
    }
    return result;
}

void WriteRateNotes(int16_t storeID, const fs::path& folder, int16_t kind, const std::vector<std::string>& notes)
{
    const std::string tag = notesTag(kind);
    const std::string openTag = "<" + tag + ">";
    const std::string text = notes.empty() ? std::string() : notes.front();
    CheckStorable("The notes", text, true);

    const fs::path path = folder / kNotesFileName;
    const vb::fso::FileLock lock(path);
    CheckNotesFileSize(path);
    const std::vector<std::string> lines = ReadLineFile(path, kNotesSkeleton);
    std::vector<std::string> out;
    out.reserve(lines.size() + 8);
    out.push_back(lines.front());
    bool written = false;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!written && closesList(lines, i)) {
            // The store has no block: its notes go into a new one.
            append(out, notesBlock(storeID, kind, text));
            written = true;
        }
        out.push_back(line);
        if (!contains(line, kBlockOpen) || i + 1 >= lines.size() || !IsStoreIdLine(vb::Trim(lines[i + 1]), storeID))
            continue;
        out.push_back(lines[++i]);
        for (++i; i < lines.size(); ++i) {
            const std::string trimmed = vb::Trim(lines[i]);
            if (trimmed == kBlockClose) {
                if (!written)
                    out.push_back(ElementLine(tag, text)); // the block lacked the element
                written = true;
                out.push_back(lines[i]);
                break;
            }
            if (startsOtherPart(trimmed)) {
                --i; // a block cut short: the outer loop copies the rest
                break;
            }
            if (contains(lines[i], openTag)) {
                out.push_back(ElementLine(tag, text));
                written = true;
            } else {
                out.push_back(lines[i]);
            }
        }
    }
    if (!written) {
        append(out, notesBlock(storeID, kind, text));
        out.emplace_back(kListClose);
    }
    ReplaceLineFile(path, out);
}

void AddStoreNotesBlock(int16_t storeID, const fs::path& folder)
{
    const fs::path path = folder / kNotesFileName;
    const vb::fso::FileLock lock(path);
    CheckNotesFileSize(path);
    const std::vector<std::string> lines = ReadLineFile(path, kNotesSkeleton);
    // A second, empty block would hide the notes of the first.
    if (hasStoreBlock(lines, storeID))
        return;
    std::vector<std::string> out;
    out.reserve(lines.size() + 9);
    out.push_back(lines.front());
    bool added = false;
    for (size_t i = 1; i < lines.size(); ++i) {
        if (!added && closesList(lines, i)) {
            append(out, notesBlock(storeID, -1, {}));
            added = true;
        }
        out.push_back(lines[i]);
    }
    if (!added) {
        append(out, notesBlock(storeID, -1, {}));
        out.emplace_back(kListClose);
    }
    ReplaceLineFile(path, out);
}

} // namespace Mod_FileIO
