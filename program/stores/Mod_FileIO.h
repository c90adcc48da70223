#pragma once
// The line files of the program: the worksheet notes file "AddLeaseInfo.xml",
// and the element line reader and rewrite helpers that it shares with the
// report settings file "ReportScheduler.xml". The files hold one element per
// line and are read and rewritten line by line, never parsed as XML. A file is
// always replaced whole (a temporary file renamed over it), so a crash leaves
// the old file or the new one.

#include "platform/basic/Array.h"
#include "platform/basic/FileSystem.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Mod_FileIO {

inline constexpr const char* kNotesFileName = "AddLeaseInfo.xml";
// A notes file holds a few short lines per store; anything this large is not one.
inline constexpr std::uintmax_t kMaxNotesFileSize = 16 * 1024 * 1024;

// Notes kind codes of the rent worksheets.
inline constexpr int16_t kBaseRateNotes = 0;
inline constexpr int16_t kPercentageRateNotes = 2;
inline constexpr int16_t kCAMRateNotes = 3;
inline constexpr int16_t kTaxRateNotes = 4;

// ---- element line reader ---------------------------------------------------

// The values of one element read from a line stream. currentLine (already
// read) holds the element's opening tag. When it also holds closingTag the
// element is that line alone: one value, or none when the line has no ">".
// Otherwise the following lines are read, trimmed of blanks, up to a line
// equal to closingTag (case-sensitive); every line holding ">" gives one value
// in file order. The stream is left after the closing line, or at its end
// when the closing line never comes. No value: not dimensioned.
vb::DynArray<std::string> ReadElementLines(vb::fso::TextStream& in, std::string_view closingTag,
                                           std::string_view currentLine);
// The same, except that a line for which stopAt (given the trimmed line) is
// true also ends the element: a file whose element never closes must not run
// on into the next block. That line, already read, is handed back in stopLine.
vb::DynArray<std::string> ReadElementLines(vb::fso::TextStream& in, std::string_view closingTag,
                                           std::string_view currentLine,
                                           const std::function<bool(std::string_view)>& stopAt,
                                           std::optional<std::string>& stopLine);
// The same on the shared stream g_TextStream; 91 when none is open.
vb::DynArray<std::string> ReadElementLines(std::string_view closingTag, std::string_view currentLine);

// The text between the first ">" of a line and the next "<"; the rest of the
// line when no "<" follows; "" when the line has no ">".
std::string ElementValue(std::string_view line);

// ---- worksheet notes -------------------------------------------------------

// Each rewrite of the notes file holds its lock (vb::fso::FileLock) from its
// read to its rename: two running copies never lose each other's notes.

// The entries of the notes element of kind in the store's block; none when
// the file, the block or the element is missing. A later block of the same
// store wins.
vb::DynArray<std::string> ReadRateNotes(int16_t storeID, const std::filesystem::path& folder, int16_t kind);
// Stores notes entry 0 ("" when there is none) as the store's notes of kind.
// A store or element missing from the file is added, a missing file created.
// Notes holding "<", ">" or a line break are refused (kErrNotStorable); the
// caller encodes line breaks first.
void WriteRateNotes(int16_t storeID, const std::filesystem::path& folder, int16_t kind,
                    const std::vector<std::string>& notes);
// Adds the store's empty block before the "</StoreLeaseInfo>" line (creating
// the file when it is missing); nothing when the store already has a block.
void AddStoreNotesBlock(int16_t storeID, const std::filesystem::path& folder);
// Each read and rewrite of the notes file first refuses one larger than
// kMaxNotesFileSize (75, its name in the text), which is left as it is.
void CheckNotesFileSize(const std::filesystem::path& path);

// ---- shared by the writers of both line files -------------------------------

// The error a writer raises, with a text saying what was refused, for a value
// that would break the file.
inline constexpr int kErrNotStorable = 5;

// Raises kErrNotStorable when value holds "<", ">", CR or LF; what names the
// value in the message. A writer whose caller keeps line breaks in a form
// of their own (the notes' "~" and "|") passes lineBreaksKept: its message
// then names only "<" and ">".
void CheckStorable(std::string_view what, std::string_view value, bool lineBreaksKept = false);
// Six blanks, "<name>", value, "</name>".
std::string ElementLine(std::string_view name, std::string_view value);
// A notes block's second line (trimmed) as every reader of the notes file
// takes it: "<StoreID>", the store's number (blanks around it allowed),
// "</StoreID>"; what follows on the line does not count.
bool IsStoreIdLine(std::string_view trimmed, int16_t storeID);
// The line that ends a line file: "</xml>" (blanks around it ignored).
bool IsEndLine(std::string_view line);

// The lines of a line file read through g_TextStream, up to (not including)
// its end line; skeleton when the file is missing or empty.
std::vector<std::string> ReadLineFile(const std::filesystem::path& path,
                                      std::span<const std::string_view> skeleton);
// Writes lines and the end line through g_OutTextStream; the file is
// replaced only once every line is written.
void ReplaceLineFile(const std::filesystem::path& path, const std::vector<std::string>& lines);

// Opens path for reading as g_TextStream and closes it again when the scope
// ends, whatever happens in between.
class ReadScope {
public:
    explicit ReadScope(const std::filesystem::path& path);
    ~ReadScope();
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;
    vb::fso::TextStream& Stream();
};

} // namespace Mod_FileIO
