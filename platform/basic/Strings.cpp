#include "platform/basic/Strings.h"

#include "platform/basic/RuntimeError.h"

#include <QString>

#include <algorithm>

namespace vb {

namespace {

// Windows-1252 code points of bytes 0x80 to 0x9F; 0 marks the five unused bytes.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Decodes one UTF-8 sequence at s[i]; returns U+FFFD and advances one byte on
// anything malformed.
char32_t decodeAt(std::string_view s, size_t& i, bool* valid = nullptr)
{
    auto fail = [&]() {
        if (valid)
            *valid = false;
        ++i;
        return char32_t(0xFFFD);
    };
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        ++i;
        return c;
    }
    int extra;
    char32_t cp;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07;
    } else {
        return fail();
    }
    if (i + extra >= s.size())
        return fail();
    for (int k = 1; k <= extra; ++k) {
        const unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80)
            return fail();
        cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    static constexpr char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return fail();
    i += extra + 1;
    return cp;
}

QString toQ(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string fromQ(const QString& s)
{
    const QByteArray b = s.toUtf8();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

char32_t foldCase(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c > 0xFFFF)
        return c;
    return QChar(static_cast<char16_t>(c)).toLower().unicode();
}

std::u32string folded(std::u32string s)
{
    for (auto& c : s)
        c = foldCase(c);
    return s;
}

long findIn(const std::u32string& hay, const std::u32string& needle, size_t from, CompareMethod compare)
{
    if (compare == CompareMethod::Text) {
        const auto h = folded(hay);
        const auto n = folded(needle);
        const size_t p = h.find(n, from);
        return p == std::u32string::npos ? -1 : static_cast<long>(p);
    }
    const size_t p = hay.find(needle, from);
    return p == std::u32string::npos ? -1 : static_cast<long>(p);
}

} // namespace

std::u32string ToUtf32(std::string_view s)
{
    std::u32string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size())
        out.push_back(decodeAt(s, i));
    return out;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string ToUtf8(std::u32string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s)
        AppendUtf8(out, c);
    return out;
}

bool IsValidUtf8(std::string_view s)
{
    bool valid = true;
    size_t i = 0;
    while (i < s.size() && valid)
        decodeAt(s, i, &valid);
    return valid;
}

size_t Utf8SequenceLength(std::string_view s, size_t i)
{
    if (i >= s.size())
        return 0;
    bool valid = true;
    size_t next = i;
    decodeAt(s, next, &valid);
    return valid ? next - i : 0;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            out.push_back(ch);
        else if (c < 0xA0)
            AppendUtf8(out, kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : char32_t(c));
        else
            AppendUtf8(out, c);
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const char32_t cp = decodeAt(text, i);
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k) {
            if (kCp1252High[k] == cp || (kCp1252High[k] == 0 && cp == char32_t(0x80 + k))) {
                mapped = static_cast<char>(0x80 + k);
                break;
            }
        }
        out.push_back(mapped);
    }
    return out;
}

std::string DecodeLenient(std::string_view bytes)
{
    return IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

std::string Trim(std::string_view s)
{
    return LTrim(RTrim(s));
}

std::string LTrim(std::string_view s)
{
    const size_t p = s.find_first_not_of(' ');
    return p == std::string_view::npos ? std::string() : std::string(s.substr(p));
}

std::string RTrim(std::string_view s)
{
    const size_t p = s.find_last_not_of(' ');
    return p == std::string_view::npos ? std::string() : std::string(s.substr(0, p + 1));
}

std::string UCase(std::string_view s)
{
    if (std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string out(s);
        for (auto& c : out)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
        return out;
    }
    return fromQ(toQ(s).toUpper());
}

std::string LCase(std::string_view s)
{
    if (std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string out(s);
        for (auto& c : out)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        return out;
    }
    return fromQ(toQ(s).toLower());
}

long Len(std::string_view s)
{
    long n = 0;
    size_t i = 0;
    while (i < s.size()) {
        decodeAt(s, i);
        ++n;
    }
    return n;
}

std::string Left(std::string_view s, long length)
{
    if (length < 0)
        Raise(kErrInvalidCall);
    const auto u = ToUtf32(s);
    return ToUtf8(std::u32string_view(u).substr(0, static_cast<size_t>(length)));
}

std::string Right(std::string_view s, long length)
{
    if (length < 0)
        Raise(kErrInvalidCall);
    const auto u = ToUtf32(s);
    const size_t n = std::min(u.size(), static_cast<size_t>(length));
    return ToUtf8(std::u32string_view(u).substr(u.size() - n));
}

std::string Mid(std::string_view s, long start, long length)
{
    if (start < 1)
        Raise(kErrInvalidCall);
    const auto u = ToUtf32(s);
    const size_t from = static_cast<size_t>(start - 1);
    if (from >= u.size())
        return {};
    const size_t n = length < 0 ? std::u32string::npos : static_cast<size_t>(length);
    return ToUtf8(std::u32string_view(u).substr(from, n));
}

long InStr(long start, std::string_view s, std::string_view find, CompareMethod compare)
{
    if (start < 1)
        Raise(kErrInvalidCall);
    const auto hay = ToUtf32(s);
    if (static_cast<size_t>(start) > hay.size())
        return 0;
    if (find.empty())
        return start;
    const long p = findIn(hay, ToUtf32(find), static_cast<size_t>(start - 1), compare);
    return p < 0 ? 0 : p + 1;
}

long InStrRev(std::string_view s, std::string_view find, long start, CompareMethod compare)
{
    if (start == 0 || start < -1)
        Raise(kErrInvalidCall);
    auto hay = ToUtf32(s);
    auto needle = ToUtf32(find);
    if (start == -1)
        start = static_cast<long>(hay.size());
    if (static_cast<size_t>(start) > hay.size())
        return 0;
    if (needle.empty())
        return start;
    if (compare == CompareMethod::Text) {
        hay = folded(hay);
        needle = folded(needle);
    }
    if (needle.size() > static_cast<size_t>(start))
        return 0;
    const size_t p = hay.rfind(needle, static_cast<size_t>(start) - needle.size());
    return p == std::u32string::npos ? 0 : static_cast<long>(p) + 1;
}

std::string Replace(std::string_view s, std::string_view find, std::string_view with, CompareMethod compare)
{
    if (find.empty())
        return std::string(s);
    if (compare == CompareMethod::Binary) {
        std::string out;
        size_t pos = 0;
        while (true) {
            const size_t p = s.find(find, pos);
            if (p == std::string_view::npos)
                break;
            out.append(s.substr(pos, p - pos));
            out.append(with);
            pos = p + find.size();
        }
        out.append(s.substr(pos));
        return out;
    }
    const auto hay = ToUtf32(s);
    const auto needle = ToUtf32(find);
    const auto w = ToUtf32(with);
    std::u32string out;
    size_t pos = 0;
    while (true) {
        const long p = findIn(hay, needle, pos, compare);
        if (p < 0)
            break;
        out.append(hay, pos, static_cast<size_t>(p) - pos);
        out.append(w);
        pos = static_cast<size_t>(p) + needle.size();
    }
    out.append(hay, pos);
    return ToUtf8(out);
}

std::vector<std::string> Split(std::string_view s, std::string_view delimiter)
{
    std::vector<std::string> parts;
    if (s.empty())
        return parts;
    if (delimiter.empty()) {
        parts.emplace_back(s);
        return parts;
    }
    size_t pos = 0;
    while (true) {
        const size_t p = s.find(delimiter, pos);
        if (p == std::string_view::npos) {
            parts.emplace_back(s.substr(pos));
            break;
        }
        parts.emplace_back(s.substr(pos, p - pos));
        pos = p + delimiter.size();
    }
    return parts;
}

std::string Join(const std::vector<std::string>& parts, std::string_view delimiter)
{
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i)
            out.append(delimiter);
        out.append(parts[i]);
    }
    return out;
}

std::string Space(long count)
{
    if (count < 0)
        Raise(kErrInvalidCall);
    return std::string(static_cast<size_t>(count), ' ');
}

std::string StringOf(long count, char32_t ch)
{
    if (count < 0)
        Raise(kErrInvalidCall);
    std::string one;
    AppendUtf8(one, ch);
    std::string out;
    out.reserve(one.size() * static_cast<size_t>(count));
    for (long i = 0; i < count; ++i)
        out += one;
    return out;
}

std::string Chr(long code)
{
    if (code < 0 || code > 0xFFFF)
        Raise(kErrInvalidCall);
    // Chr takes the code page's byte; 128 to 159 are the Windows-1252 characters.
    if (code >= 0x80 && code <= 0xFF)
        return Cp1252ToUtf8(std::string(1, static_cast<char>(code)));
    std::string out;
    AppendUtf8(out, static_cast<char32_t>(code));
    return out;
}

long Asc(std::string_view s)
{
    if (s.empty())
        Raise(kErrInvalidCall);
    size_t i = 0;
    const char32_t cp = decodeAt(s, i);
    if (cp >= 0x80 && cp <= 0xFFFF) {
        const std::string b = Utf8ToCp1252(s.substr(0, i));
        if (b.size() == 1 && b[0] != '?')
            return static_cast<unsigned char>(b[0]);
    }
    return static_cast<long>(cp);
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

int StrComp(std::string_view a, std::string_view b, CompareMethod compare)
{
    auto ua = ToUtf32(a);
    auto ub = ToUtf32(b);
    if (compare == CompareMethod::Text) {
        ua = folded(ua);
        ub = folded(ub);
    }
    const int c = ua.compare(ub);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace vb
