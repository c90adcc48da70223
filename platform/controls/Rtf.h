#pragma once
// Rich text as the rich text box stores it: a small RTF reader and writer for
// what the program's notes hold — paragraphs, tabs, bold, italic, underline
// and font size. The reader takes whatever the database hands it (RTF written
// by us or by the old control, plain text, or damage) and never fails: it
// keeps the text it can find and drops what it does not understand.

#include <string>
#include <string_view>
#include <vector>

namespace controls {

struct RtfStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    // Font size in half points; 0 leaves the box's own font size.
    int halfPoints = 0;

    bool operator==(const RtfStyle&) const = default;
};

// A stretch of text in one style (UTF-8). Paragraphs end with '\n'; '\t' is a tab.
struct RtfRun {
    std::string text;
    RtfStyle style;

    bool operator==(const RtfRun&) const = default;
};

struct RtfDocument {
    std::vector<RtfRun> runs;

    // The text without styles, paragraphs separated by CR LF.
    std::string PlainText() const;
    // Appends text, joining it to the last run when the style is the same.
    // A paragraph end goes with the text before it, whatever the style.
    void Append(std::string_view text, const RtfStyle& style);

    bool operator==(const RtfDocument&) const = default;
};

// Reads RTF. Input that does not begin with "{\rtf" is taken as plain text.
// Literal characters are UTF-8 when the whole input is valid UTF-8,
// Windows-1252 otherwise. Never throws; linear in the input's length.
RtfDocument ReadRtf(std::string_view rtf);

// Writes RTF that any RTF reader opens; only ASCII characters in the output
// (others as \'hh or \uN). CR LF and CR in the text count as paragraph ends.
std::string WriteRtf(const RtfDocument& document, std::string_view fontName = "MS Sans Serif");

} // namespace controls
