#include "platform/controls/Rtf.h"

#include "platform/basic/Strings.h"

#include <algorithm>
#include <cstdint>

namespace controls {

namespace {

// Groups nested deeper than this share the state of the deepest kept one:
// real documents stay far below it, hostile ones cost no memory.
constexpr size_t kMaxDepth = 512;
// Longer control words match nothing we know; their letters are still consumed.
constexpr size_t kMaxKeyword = 32;
constexpr long kMaxParameter = 1L << 30;
constexpr int kMaxHalfPoints = 3276;
constexpr char32_t kReplacement = 0xFFFD;

// Groups whose text is not part of the document (tables, pictures, fields'
// instructions, metadata).
constexpr std::string_view kSkippedDestinations[] = {
    "fonttbl",   "colortbl", "stylesheet", "info",     "pict",       "object",       "header",
    "headerl",   "headerr",  "headerf",    "footer",   "footerl",    "footerr",      "footerf",
    "footnote",  "fldinst",  "listtable",  "listoverridetable",     "rsidtbl",      "generator",
    "xmlnstbl",  "themedata", "colorschememapping", "latentstyles", "datastore",    "revtbl",
    "filetbl",   "pgdsctbl", "mmathPr",    "annotation", "atnid",  "atnauthor",    "bkmkstart",
    "bkmkend",   "nonshppict", "shppict",  "objdata",  "private",
};

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

struct GroupState {
    RtfStyle style;
    bool skip = false;
    int unicodeSkip = 1; // \ucN: characters standing in for each \uN
};

class Reader {
public:
    explicit Reader(std::string_view in)
        : in_(in)
        , utf8_(vb::IsValidUtf8(in))
    {
    }

    RtfDocument Run()
    {
        // The opening "{" of the document.
        size_t start = in_.find('{');
        pos_ = start + 1;
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            if (c == '{') {
                ++pos_;
                pending_ = 0;
                if (stack_.size() < kMaxDepth)
                    stack_.push_back(state_);
                else
                    ++overflow_;
            } else if (c == '}') {
                ++pos_;
                pending_ = 0;
                if (overflow_ > 0) {
                    --overflow_;
                } else if (stack_.empty()) {
                    break; // the document's own group ends: nothing after it counts
                } else {
                    state_ = stack_.back();
                    stack_.pop_back();
                }
            } else if (c == '\\') {
                ++pos_;
                controlWord();
            } else if (c == '\r' || c == '\n' || c == '\0') {
                ++pos_;
            } else {
                literal();
            }
        }
        flushSurrogate();
        if (endsWithParagraph_)
            dropLastParagraphMark();
        return std::move(doc_);
    }

private:
    // One stand-in character after \uN is skipped instead of shown.
    bool skipFallback()
    {
        if (pending_ <= 0)
            return false;
        --pending_;
        return true;
    }

    void literal()
    {
        const unsigned char c = static_cast<unsigned char>(in_[pos_]);
        char32_t cp;
        if (c < 0x80) {
            ++pos_;
            cp = c;
        } else if (utf8_) {
            const size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
            const size_t n = std::min(len, in_.size() - pos_);
            const std::u32string decoded = vb::ToUtf32(in_.substr(pos_, n));
            pos_ += n;
            cp = decoded.empty() ? kReplacement : decoded[0];
        } else {
            ++pos_;
            cp = ansi(c);
        }
        if (skipFallback())
            return;
        if (cp == '\t')
            emit(U'\t');
        else if (cp >= 0x20 && cp != 0x7F)
            emit(cp);
    }

    static char32_t ansi(unsigned char byte)
    {
        const std::u32string s = vb::ToUtf32(vb::Cp1252ToUtf8(std::string(1, static_cast<char>(byte))));
        return s.empty() ? kReplacement : s[0];
    }

    void controlWord()
    {
        if (pos_ >= in_.size())
            return;
        const char c = in_[pos_];
        if (!isLetter(c)) {
            ++pos_;
            controlSymbol(c);
            return;
        }
        std::string word;
        while (pos_ < in_.size() && isLetter(in_[pos_])) {
            if (word.size() < kMaxKeyword)
                word.push_back(in_[pos_]);
            ++pos_;
        }
        bool hasParameter = false;
        bool negative = false;
        long parameter = 0;
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < in_.size() && isDigit(in_[pos_])) {
            hasParameter = true;
            parameter = std::min(kMaxParameter, parameter * 10 + (in_[pos_] - '0'));
            ++pos_;
        }
        if (negative)
            parameter = -parameter;
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_;
        keyword(word, hasParameter, parameter);
    }

    void controlSymbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            if (!skipFallback())
                emit(static_cast<char32_t>(c));
            return;
        case '\'': {
            int value = 0;
            int digits = 0;
            while (digits < 2 && pos_ < in_.size() && vb::HexDigitValue(in_[pos_]) >= 0) {
                value = value * 16 + vb::HexDigitValue(in_[pos_]);
                ++pos_;
                ++digits;
            }
            if (digits == 0 || skipFallback())
                return;
            const char32_t cp = ansi(static_cast<unsigned char>(value));
            if (cp >= 0x20 && cp != 0x7F)
                emit(cp);
            return;
        }
        case '~':
            if (!skipFallback())
                emit(0x00A0);
            return;
        case '_':
            if (!skipFallback())
                emit(0x2011);
            return;
        case '*':
            state_.skip = true;
            return;
        case '\r':
        case '\n':
            paragraph();
            return;
        default:
            skipFallback(); // \- and anything unknown shows nothing
            return;
        }
    }

    void keyword(const std::string& word, bool hasParameter, long parameter)
    {
        if (word == "bin") {
            // Binary data: exactly that many bytes, whatever they hold.
            const size_t n = static_cast<size_t>(std::max(0L, parameter));
            pos_ += std::min(n, in_.size() - pos_);
            return;
        }
        if (word == "u") {
            if (!hasParameter)
                return;
            long v = parameter;
            if (v < 0)
                v += 65536;
            unicode(static_cast<char32_t>(std::clamp(v, 0L, 0xFFFFL)));
            pending_ = state_.unicodeSkip;
            return;
        }
        if (skipFallback())
            return;
        const bool on = !hasParameter || parameter != 0;
        RtfStyle& s = state_.style;
        if (word == "par" || word == "line" || word == "page" || word == "sect") {
            paragraph();
        } else if (word == "tab") {
            emit(U'\t');
        } else if (word == "b") {
            s.bold = on;
        } else if (word == "i") {
            s.italic = on;
        } else if (word == "ul") {
            s.underline = on;
        } else if (word == "ulnone") {
            s.underline = false;
        } else if (word == "fs") {
            s.halfPoints = hasParameter && parameter > 0 ? static_cast<int>(std::min<long>(parameter, kMaxHalfPoints)) : 0;
        } else if (word == "plain") {
            s = RtfStyle{};
        } else if (word == "uc") {
            state_.unicodeSkip = static_cast<int>(std::clamp(parameter, 0L, 16L));
        } else if (word == "emdash") {
            emit(0x2014);
        } else if (word == "endash") {
            emit(0x2013);
        } else if (word == "lquote") {
            emit(0x2018);
        } else if (word == "rquote") {
            emit(0x2019);
        } else if (word == "ldblquote") {
            emit(0x201C);
        } else if (word == "rdblquote") {
            emit(0x201D);
        } else if (word == "bullet") {
            emit(0x2022);
        } else if (word == "emspace" || word == "enspace" || word == "qmspace") {
            emit(U' ');
        } else if (std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), word) !=
                   std::end(kSkippedDestinations)) {
            state_.skip = true;
        }
    }

    void unicode(char32_t cp)
    {
        if (cp >= 0xDC00 && cp <= 0xDFFF && high_ != 0) {
            const char32_t combined = 0x10000 + ((high_ - 0xD800) << 10) + (cp - 0xDC00);
            high_ = 0;
            emit(combined);
            return;
        }
        flushSurrogate();
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (!state_.skip)
                high_ = cp;
            return;
        }
        if (cp >= 0xDC00 && cp <= 0xDFFF)
            cp = kReplacement;
        if (cp == '\t' || (cp >= 0x20 && cp != 0x7F))
            emit(cp);
    }

    // A high surrogate that no low one followed.
    void flushSurrogate()
    {
        if (high_ == 0)
            return;
        high_ = 0;
        emit(kReplacement);
    }

    void paragraph()
    {
        if (state_.skip)
            return;
        emit(U'\n');
        endsWithParagraph_ = true;
    }

    void emit(char32_t cp)
    {
        if (state_.skip)
            return;
        if (high_ != 0 && !(cp >= 0xDC00 && cp <= 0xDFFF)) {
            high_ = 0;
            emit(kReplacement);
        }
        std::string utf8;
        vb::AppendUtf8(utf8, cp);
        doc_.Append(utf8, state_.style);
        endsWithParagraph_ = false;
    }

    // The last paragraph mark ends the document; it is not an empty line.
    void dropLastParagraphMark()
    {
        if (doc_.runs.empty())
            return;
        std::string& t = doc_.runs.back().text;
        if (!t.empty() && t.back() == '\n')
            t.pop_back();
        if (t.empty())
            doc_.runs.pop_back();
    }

    std::string_view in_;
    bool utf8_;
    size_t pos_ = 0;
    std::vector<GroupState> stack_;
    GroupState state_;
    size_t overflow_ = 0;
    int pending_ = 0;
    char32_t high_ = 0;
    bool endsWithParagraph_ = false;
    RtfDocument doc_;
};

bool looksLikeRtf(std::string_view s)
{
    size_t i = 0;
    if (s.substr(0, 3) == "\xEF\xBB\xBF")
        i = 3;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n'))
        ++i;
    return s.substr(i, 5) == "{\\rtf";
}

RtfDocument readPlain(std::string_view text)
{
    const std::u32string chars = vb::ToUtf32(vb::DecodeLenient(text));
    std::u32string kept;
    kept.reserve(chars.size());
    for (size_t i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        if (c == '\r') {
            kept.push_back(U'\n');
            if (i + 1 < chars.size() && chars[i + 1] == '\n')
                ++i;
        } else if (c == '\n' || c == '\t' || (c >= 0x20 && c != 0x7F)) {
            kept.push_back(c);
        }
    }
    RtfDocument doc;
    doc.Append(vb::ToUtf8(kept), RtfStyle{});
    return doc;
}

void appendControl(std::string& out, std::string_view word, int parameter = -1)
{
    out.push_back('\\');
    out.append(word);
    if (parameter >= 0)
        out.append(std::to_string(parameter));
    out.push_back(' ');
}

void switchStyle(std::string& out, RtfStyle& current, const RtfStyle& wanted)
{
    if (wanted.halfPoints == 0 && current.halfPoints != 0) {
        // Only \plain brings back the reader's own size.
        out.append("\\plain\\f0 ");
        current = RtfStyle{};
    }
    if (wanted.bold != current.bold)
        appendControl(out, wanted.bold ? "b" : "b0");
    if (wanted.italic != current.italic)
        appendControl(out, wanted.italic ? "i" : "i0");
    if (wanted.underline != current.underline)
        appendControl(out, wanted.underline ? "ul" : "ulnone");
    if (wanted.halfPoints != current.halfPoints)
        appendControl(out, "fs", std::clamp(wanted.halfPoints, 1, kMaxHalfPoints));
    current = wanted;
    current.halfPoints = wanted.halfPoints == 0 ? 0 : std::clamp(wanted.halfPoints, 1, kMaxHalfPoints);
}

void appendHex(std::string& out, unsigned char byte)
{
    static const char digits[] = "0123456789abcdef";
    out.append("\\'");
    out.push_back(digits[byte >> 4]);
    out.push_back(digits[byte & 0xF]);
}

void appendUnicode(std::string& out, char32_t unit)
{
    const long v = unit > 0x7FFF ? static_cast<long>(unit) - 65536 : static_cast<long>(unit);
    out.append("\\u");
    out.append(std::to_string(v));
    out.push_back('?');
}

void appendText(std::string& out, std::string_view text)
{
    const std::u32string chars = vb::ToUtf32(text);
    for (size_t i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < chars.size() && chars[i + 1] == '\n')
                ++i;
            out.append("\\par\r\n");
        } else if (c == '\t') {
            out.append("\\tab ");
        } else if (c == '\\' || c == '{' || c == '}') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x20 || c == 0x7F) {
            continue;
        } else {
            std::string utf8;
            vb::AppendUtf8(utf8, c);
            const std::string ansi = vb::Utf8ToCp1252(utf8);
            if (ansi.size() == 1 && ansi[0] != '?') {
                appendHex(out, static_cast<unsigned char>(ansi[0]));
            } else if (c > 0xFFFF) {
                appendUnicode(out, 0xD800 + ((c - 0x10000) >> 10));
                appendUnicode(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                appendUnicode(out, c);
            }
        }
    }
}

} // namespace

std::string RtfDocument::PlainText() const
{
    std::string out;
    for (const auto& r : runs) {
        for (char c : r.text) {
            if (c == '\n')
                out.append("\r\n");
            else
                out.push_back(c);
        }
    }
    return out;
}

void RtfDocument::Append(std::string_view text, const RtfStyle& style)
{
    // Paragraph ends carry no style of their own: they belong to the text
    // before them (or to a plain run at the start), so that one content has
    // one form whatever styles were in force around its \par.
    size_t i = 0;
    while (i < text.size()) {
        const bool breaks = text[i] == '\n';
        size_t j = i;
        while (j < text.size() && (text[j] == '\n') == breaks)
            ++j;
        const std::string_view part = text.substr(i, j - i);
        if (breaks && !runs.empty())
            runs.back().text.append(part);
        else if (!runs.empty() && runs.back().style == (breaks ? RtfStyle{} : style))
            runs.back().text.append(part);
        else
            runs.push_back(RtfRun{std::string(part), breaks ? RtfStyle{} : style});
        i = j;
    }
}

RtfDocument ReadRtf(std::string_view rtf)
{
    if (!looksLikeRtf(rtf))
        return readPlain(rtf);
    return Reader(rtf).Run();
}

std::string WriteRtf(const RtfDocument& document, std::string_view fontName)
{
    std::string font;
    for (char c : fontName)
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '{' && c != '}' && c != ';')
            font.push_back(c);
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 " + font +
                      ";}}\r\n\\uc1\\pard\\plain\\f0 ";
    RtfStyle current;
    for (const auto& run : document.runs) {
        if (run.text.empty())
            continue;
        switchStyle(out, current, run.style);
        appendText(out, run.text);
    }
    out.append("\\par\r\n}");
    return out;
}

} // namespace controls
