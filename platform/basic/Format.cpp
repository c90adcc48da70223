#include "platform/basic/Format.h"

#include "platform/basic/NumberText.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"

#include <cstdio>
#include <vector>

namespace vb {

namespace {

using detail::ParsedNumber;

std::vector<std::string> splitSections(std::string_view f)
{
    std::vector<std::string> out(1);
    bool quoted = false;
    for (size_t i = 0; i < f.size(); ++i) {
        const char c = f[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && !quoted && i + 1 < f.size()) {
            out.back().push_back(c);
            out.back().push_back(f[++i]);
            continue;
        } else if (c == ';' && !quoted) {
            out.emplace_back();
            continue;
        }
        out.back().push_back(c);
    }
    return out;
}

// What a pattern asks for, judged outside quotes and escapes.
bool hasDigitPlaceholder(std::string_view f)
{
    bool quoted = false;
    for (size_t i = 0; i < f.size(); ++i) {
        const char c = f[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\\')
            ++i;
        else if (c == '0' || c == '#')
            return true;
    }
    return false;
}

bool hasDateToken(std::string_view f)
{
    bool quoted = false;
    for (size_t i = 0; i < f.size(); ++i) {
        const char c = static_cast<char>(f[i] | 0x20);
        if (f[i] == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (f[i] == '\\')
            ++i;
        else if (c == 'd' || c == 'm' || c == 'y' || c == 'h' || c == 'n' || c == 's' || c == 'w' || c == 'q' ||
                 c == 'c' || c == 't')
            return true;
    }
    return false;
}

// ---- numbers ---------------------------------------------------------------

struct NumToken {
    enum Kind { Zero, Hash, Point, Comma, Percent, Literal } kind;
    std::string text;
};

std::vector<NumToken> tokenizeNumber(std::string_view f)
{
    std::vector<NumToken> t;
    for (size_t i = 0; i < f.size(); ++i) {
        const char c = f[i];
        switch (c) {
        case '0': t.push_back({NumToken::Zero, {}}); break;
        case '#': t.push_back({NumToken::Hash, {}}); break;
        case '.': t.push_back({NumToken::Point, {}}); break;
        case ',': t.push_back({NumToken::Comma, {}}); break;
        case '%': t.push_back({NumToken::Percent, {}}); break;
        case '"': {
            const size_t end = f.find('"', i + 1);
            const size_t stop = end == std::string_view::npos ? f.size() : end;
            t.push_back({NumToken::Literal, std::string(f.substr(i + 1, stop - i - 1))});
            i = stop;
            break;
        }
        case '\\':
            if (i + 1 < f.size())
                t.push_back({NumToken::Literal, std::string(1, f[++i])});
            break;
        default: t.push_back({NumToken::Literal, std::string(1, c)}); break;
        }
    }
    return t;
}

bool isDigitToken(const NumToken& t)
{
    return t.kind == NumToken::Zero || t.kind == NumToken::Hash;
}

std::string layoutNumber(ParsedNumber value, std::string_view pattern)
{
    const std::vector<NumToken> tokens = tokenizeNumber(pattern);
    size_t point = tokens.size();
    for (size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i].kind == NumToken::Point) {
            point = i;
            break;
        }

    int intCount = 0, fracCount = 0, firstIntZero = -1, lastFracZero = -1;
    size_t lastIntDigit = tokens.size();
    bool percent = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const NumToken& t = tokens[i];
        if (t.kind == NumToken::Percent)
            percent = true;
        if (!isDigitToken(t))
            continue;
        if (i < point) {
            if (t.kind == NumToken::Zero && firstIntZero < 0)
                firstIntZero = intCount;
            ++intCount;
            lastIntDigit = i;
        } else {
            if (t.kind == NumToken::Zero)
                lastFracZero = fracCount;
            ++fracCount;
        }
    }

    // A comma between integer placeholders groups thousands; commas right after
    // the last one scale by a thousand each.
    bool grouping = false;
    int scaleDown = 0;
    for (size_t i = 0; i < tokens.size() && i < point; ++i) {
        if (tokens[i].kind != NumToken::Comma)
            continue;
        bool before = false, after = false;
        for (size_t k = 0; k < i; ++k)
            before |= isDigitToken(tokens[k]);
        for (size_t k = i + 1; k < point; ++k)
            after |= isDigitToken(tokens[k]);
        if (before && after)
            grouping = true;
        else if (before && i > lastIntDigit)
            ++scaleDown;
    }

    if (percent)
        value.exponent += 2;
    value.exponent -= 3 * scaleDown;
    if (value.digits.empty())
        value.exponent = 0;

    value = detail::RoundHalfAway(value, fracCount);

    // Integer and fraction digits of the rounded value.
    std::string intDigits, fracDigits;
    {
        const int len = static_cast<int>(value.digits.size());
        const int intLen = len + value.exponent;
        if (value.digits.empty()) {
            // zero
        } else if (value.exponent >= 0) {
            intDigits = value.digits + std::string(static_cast<size_t>(value.exponent), '0');
        } else if (intLen > 0) {
            intDigits = value.digits.substr(0, static_cast<size_t>(intLen));
            fracDigits = value.digits.substr(static_cast<size_t>(intLen));
        } else {
            fracDigits = std::string(static_cast<size_t>(-intLen), '0') + value.digits;
        }
    }
    const int minInt = firstIntZero < 0 ? 0 : intCount - firstIntZero;
    if (static_cast<int>(intDigits.size()) < minInt)
        intDigits.insert(0, static_cast<size_t>(minInt) - intDigits.size(), '0');
    fracDigits.resize(static_cast<size_t>(fracCount), '0');
    const size_t minFrac = static_cast<size_t>(lastFracZero + 1);
    while (fracDigits.size() > minFrac && fracDigits.back() == '0')
        fracDigits.pop_back();

    std::string out;
    const int len = static_cast<int>(intDigits.size());
    auto emitDigit = [&](int p) {
        out.push_back(intDigits[static_cast<size_t>(p)]);
        const int remaining = len - p - 1;
        if (grouping && remaining > 0 && remaining % 3 == 0)
            out.push_back(',');
    };
    int intIndex = 0, fracIndex = 0;
    const int extra = len - intCount;
    bool intEmitted = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const NumToken& t = tokens[i];
        if (isDigitToken(t) && i < point) {
            if (intIndex == 0 && extra > 0) {
                for (int p = 0; p <= extra; ++p)
                    emitDigit(p);
            } else if (intIndex + extra >= 0) {
                emitDigit(intIndex + extra);
            }
            ++intIndex;
            intEmitted = true;
        } else if (isDigitToken(t)) {
            if (!intEmitted && intCount == 0) {
                for (int p = 0; p < len; ++p)
                    emitDigit(p);
                intEmitted = true;
            }
            if (fracIndex < static_cast<int>(fracDigits.size()))
                out.push_back(fracDigits[static_cast<size_t>(fracIndex)]);
            ++fracIndex;
        } else if (t.kind == NumToken::Point) {
            if (!intEmitted && intCount == 0) {
                for (int p = 0; p < len; ++p)
                    emitDigit(p);
                intEmitted = true;
            }
            out.push_back('.');
        } else if (t.kind == NumToken::Percent) {
            out.push_back('%');
        } else if (t.kind == NumToken::Literal) {
            out += t.text;
        }
    }
    return out;
}

std::string formatNumber(const ParsedNumber& n, bool isNull, std::string_view format)
{
    const std::vector<std::string> sections = splitSections(format);
    if (isNull)
        return sections.size() >= 4 ? layoutNumber(ParsedNumber{}, sections[3]) : std::string();

    const bool zero = n.digits.empty();
    if (zero && sections.size() >= 3 && !sections[2].empty())
        return layoutNumber(n, sections[2]);
    if (n.negative && sections.size() >= 2 && !sections[1].empty()) {
        ParsedNumber a = n;
        a.negative = false;
        return layoutNumber(a, sections[1]);
    }
    ParsedNumber a = n;
    a.negative = false;
    std::string s = layoutNumber(a, sections[0]);
    if (n.negative) {
        // Only a value that still shows a digit other than 0 keeps its sign.
        if (s.find_first_of("123456789") != std::string::npos)
            s.insert(0, "-");
    }
    return s;
}

// ---- dates -----------------------------------------------------------------

std::string two(int v)
{
    char b[8];
    std::snprintf(b, sizeof b, "%02d", v);
    return b;
}

struct DateToken {
    std::string key; // lower-case token, or "" for a literal
    std::string text;
};

bool startsWithNoCase(std::string_view s, size_t i, std::string_view what)
{
    if (i + what.size() > s.size())
        return false;
    for (size_t k = 0; k < what.size(); ++k)
        if ((s[i + k] | 0x20) != (what[k] | 0x20) && !(s[i + k] == what[k]))
            return false;
    return true;
}

std::vector<DateToken> tokenizeDate(std::string_view f)
{
    std::vector<DateToken> out;
    size_t i = 0;
    while (i < f.size()) {
        const char c = f[i];
        const char lc = static_cast<char>(c | 0x20);
        if (c == '"') {
            const size_t end = f.find('"', i + 1);
            const size_t stop = end == std::string_view::npos ? f.size() : end;
            out.push_back({"", std::string(f.substr(i + 1, stop - i - 1))});
            i = stop + 1;
            continue;
        }
        if (c == '\\') {
            if (i + 1 < f.size())
                out.push_back({"", std::string(1, f[i + 1])});
            i += 2;
            continue;
        }
        if (startsWithNoCase(f, i, "am/pm")) {
            out.push_back({c == 'a' ? "am/pm-lower" : "am/pm", {}});
            i += 5;
            continue;
        }
        if (startsWithNoCase(f, i, "a/p")) {
            out.push_back({c == 'a' ? "a/p-lower" : "a/p", {}});
            i += 3;
            continue;
        }
        if (startsWithNoCase(f, i, "ampm")) {
            out.push_back({"ampm", {}});
            i += 4;
            continue;
        }
        if (lc == 'd' || lc == 'm' || lc == 'y' || lc == 'h' || lc == 'n' || lc == 's' || lc == 'w' || lc == 'q' ||
            lc == 't') {
            size_t j = i;
            while (j < f.size() && (f[j] | 0x20) == lc)
                ++j;
            size_t count = j - i;
            // Runs longer than the longest token split into tokens.
            size_t maxRun = 0;
            switch (lc) {
            case 'd': maxRun = 6; break;
            case 'm': maxRun = 4; break;
            case 'y': maxRun = 4; break;
            case 'w': maxRun = 2; break;
            case 'q': maxRun = 1; break;
            case 't': maxRun = 5; break;
            default: maxRun = 2; break;
            }
            if (lc == 't' && count < 5) {
                out.push_back({"", std::string(f.substr(i, count))});
                i = j;
                continue;
            }
            if (lc == 'y' && count == 3)
                count = 2;
            count = std::min(count, maxRun);
            out.push_back({std::string(count, lc), {}});
            i += count;
            continue;
        }
        if (lc == 'c' && !(i + 1 < f.size() && ((f[i + 1] | 0x20) >= 'a' && (f[i + 1] | 0x20) <= 'z'))) {
            out.push_back({"c", {}});
            ++i;
            continue;
        }
        out.push_back({"", std::string(1, c)});
        ++i;
    }
    return out;
}

std::string formatDate(Date d, std::string_view format);

std::string formatDateTokens(Date d, std::vector<DateToken> tokens)
{
    // "m" right after an hour or right before a second means minutes.
    auto isField = [](const DateToken& t) { return !t.key.empty(); };
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].key != "m" && tokens[i].key != "mm")
            continue;
        bool minute = false;
        for (size_t k = i; k-- > 0;) {
            if (!isField(tokens[k]))
                continue;
            minute = tokens[k].key == "h" || tokens[k].key == "hh";
            break;
        }
        for (size_t k = i + 1; !minute && k < tokens.size(); ++k) {
            if (!isField(tokens[k]))
                continue;
            minute = tokens[k].key == "s" || tokens[k].key == "ss";
            break;
        }
        if (minute)
            tokens[i].key = tokens[i].key == "m" ? "n" : "nn";
    }
    bool twelve = false;
    for (const auto& t : tokens)
        if (t.key.rfind("am", 0) == 0 || t.key.rfind("a/p", 0) == 0)
            twelve = true;

    const DateParts p = Decompose(d);
    const int weekday = Weekday(d);
    std::string out;
    for (const auto& t : tokens) {
        const std::string& k = t.key;
        const int hour = twelve ? (p.hour % 12 == 0 ? 12 : p.hour % 12) : p.hour;
        if (k.empty())
            out += t.text;
        else if (k == "d")
            out += std::to_string(p.day);
        else if (k == "dd")
            out += two(p.day);
        else if (k == "ddd")
            out += WeekdayName(weekday, true);
        else if (k == "dddd")
            out += WeekdayName(weekday);
        else if (k == "ddddd")
            out += formatDate(d, "m/d/yyyy");
        else if (k == "dddddd")
            out += formatDate(d, "dddd, mmmm d, yyyy");
        else if (k == "w")
            out += std::to_string(weekday);
        else if (k == "ww")
            out += std::to_string((DateDiff("d", DateSerial(p.year, 1, 1), d) + Weekday(DateSerial(p.year, 1, 1)) - 1) / 7 + 1);
        else if (k == "m")
            out += std::to_string(p.month);
        else if (k == "mm")
            out += two(p.month);
        else if (k == "mmm")
            out += MonthName(p.month, true);
        else if (k == "mmmm")
            out += MonthName(p.month);
        else if (k == "q")
            out += std::to_string((p.month - 1) / 3 + 1);
        else if (k == "y")
            out += std::to_string(DateDiff("d", DateSerial(p.year, 1, 1), d) + 1);
        else if (k == "yy")
            out += two(p.year % 100);
        else if (k == "yyyy")
            out += std::to_string(p.year);
        else if (k == "h")
            out += std::to_string(hour);
        else if (k == "hh")
            out += two(hour);
        else if (k == "n")
            out += std::to_string(p.minute);
        else if (k == "nn")
            out += two(p.minute);
        else if (k == "s")
            out += std::to_string(p.second);
        else if (k == "ss")
            out += two(p.second);
        else if (k == "ttttt")
            out += formatDate(d, "h:mm:ss AM/PM");
        else if (k == "c")
            out += CStr(Variant(d));
        else if (k == "am/pm" || k == "ampm")
            out += p.hour < 12 ? "AM" : "PM";
        else if (k == "am/pm-lower")
            out += p.hour < 12 ? "am" : "pm";
        else if (k == "a/p")
            out += p.hour < 12 ? "A" : "P";
        else if (k == "a/p-lower")
            out += p.hour < 12 ? "a" : "p";
    }
    return out;
}

std::string formatDate(Date d, std::string_view format)
{
    return formatDateTokens(d, tokenizeDate(format));
}

// ---- named formats -----------------------------------------------------------

struct Named {
    const char* name;
    const char* pattern;
};

constexpr Named kNamedNumber[] = {
    {"currency", "$#,##0.00;($#,##0.00)"},
    {"fixed", "0.00"},
    {"standard", "#,##0.00"},
    {"percent", "0.00%"},
};

constexpr Named kNamedDate[] = {
    {"long date", "dddd, mmmm d, yyyy"}, {"medium date", "dd-mmm-yy"},  {"short date", "m/d/yyyy"},
    {"long time", "h:mm:ss AM/PM"},     {"medium time", "hh:mm AM/PM"}, {"short time", "hh:mm"},
};

bool toNumber(const Variant& v, ParsedNumber& n)
{
    switch (v.Type()) {
    case VarType::Integer:
    case VarType::Long: {
        const long long i = CLng(v);
        n = ParsedNumber{};
        n.negative = i < 0;
        n.digits = std::to_string(i < 0 ? -i : i);
        if (n.digits == "0")
            n.digits.clear();
        return true;
    }
    case VarType::Currency: {
        const int64_t raw = CCur(v).Raw();
        n = ParsedNumber{};
        if (raw == 0)
            return true;
        n.negative = raw < 0;
        const unsigned __int128 mag = raw < 0 ? -static_cast<__int128>(raw) : raw;
        n.digits = std::to_string(static_cast<unsigned long long>(mag));
        n.exponent = -4;
        while (!n.digits.empty() && n.digits.back() == '0') {
            n.digits.pop_back();
            ++n.exponent;
        }
        return true;
    }
    case VarType::Boolean:
        n = ParsedNumber{};
        if (CBool(v)) {
            n.negative = true;
            n.digits = "1";
        }
        return true;
    case VarType::Double:
    case VarType::Date:
        n = detail::DoubleToDecimal(CDbl(v));
        return true;
    case VarType::String:
        if (detail::ParseNumberText(v.StringValue(), n)) {
            // Texts are read through a double, as the runtime does.
            n = detail::DoubleToDecimal(detail::ToDouble(n));
            return true;
        }
        return false;
    default:
        n = ParsedNumber{};
        return true;
    }
}

} // namespace

std::string Format(const Variant& value, std::string_view format)
{
    if (format.empty())
        return value.IsNull() ? std::string() : CStr(value);

    const std::string lname = LCase(format);
    for (const auto& nm : kNamedNumber)
        if (lname == nm.name)
            return Format(value, nm.pattern);
    for (const auto& nm : kNamedDate)
        if (lname == nm.name)
            return Format(value, nm.pattern);
    if (lname == "general number")
        return value.IsNull() ? std::string() : (IsNumeric(value) ? DoubleToText(CDbl(value)) : CStr(value));
    if (lname == "general date") {
        if (value.IsNull())
            return {};
        return IsDate(value) || value.IsNumberType() ? CStr(Variant(CDate(value))) : CStr(value);
    }
    if (lname == "yes/no" || lname == "true/false" || lname == "on/off") {
        if (value.IsNull())
            return {};
        if (!IsNumeric(value))
            return CStr(value);
        const bool b = CDbl(value) != 0.0;
        if (lname == "yes/no")
            return b ? "Yes" : "No";
        if (lname == "true/false")
            return b ? "True" : "False";
        return b ? "On" : "Off";
    }

    if (value.IsEmpty())
        return {};

    if (hasDigitPlaceholder(format)) {
        ParsedNumber n;
        if (value.IsNull())
            return formatNumber(n, true, format);
        if (!toNumber(value, n)) {
            // A text that is not a number but reads as a date is formatted as
            // the date's serial number; any other text comes back as it is.
            if (IsDate(value))
                n = detail::DoubleToDecimal(CDate(value).Serial());
            else
                return value.StringValue();
        }
        return formatNumber(n, false, format);
    }
    if (value.IsNull())
        return {};
    if (hasDateToken(format)) {
        if (value.Type() == VarType::String && !IsDate(value) && !IsNumeric(value))
            return value.StringValue();
        return formatDate(CDate(value), format);
    }
    // A pattern of literals only.
    if (value.Type() == VarType::String)
        return value.StringValue();
    ParsedNumber n;
    toNumber(value, n);
    return formatNumber(n, false, format);
}

} // namespace vb
