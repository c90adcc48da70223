#include "platform/basic/NumberText.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vb::detail {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

void normalise(ParsedNumber& n)
{
    size_t lead = 0;
    while (lead < n.digits.size() && n.digits[lead] == '0')
        ++lead;
    n.digits.erase(0, lead);
    while (!n.digits.empty() && n.digits.back() == '0') {
        n.digits.pop_back();
        ++n.exponent;
    }
    if (n.digits.empty()) {
        n.exponent = 0;
        n.negative = false;
    }
}

bool parseRadix(std::string_view s, int radix, ParsedNumber& out)
{
    if (s.empty() || s.size() > (radix == 16 ? 8u : 11u))
        return false;
    uint64_t v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        if (d >= radix)
            return false;
        v = v * radix + d;
    }
    if (v > 0xFFFFFFFFull)
        return false;
    // Up to four hex digits is a 16-bit value, more a 32-bit one, both signed.
    int64_t sv;
    if ((radix == 16 && s.size() <= 4) || (radix == 8 && v <= 0xFFFF))
        sv = static_cast<int16_t>(static_cast<uint16_t>(v));
    else
        sv = static_cast<int32_t>(static_cast<uint32_t>(v));
    out.negative = sv < 0;
    out.digits = std::to_string(sv < 0 ? -sv : sv);
    out.exponent = 0;
    normalise(out);
    return true;
}

} // namespace

bool ParseNumberText(std::string_view text, ParsedNumber& out)
{
    size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    std::string_view s = text.substr(b, e - b);
    if (s.empty())
        return false;

    if (s.size() > 2 && s[0] == '&') {
        const char k = static_cast<char>(std::toupper(static_cast<unsigned char>(s[1])));
        if (k == 'H')
            return parseRadix(s.substr(2), 16, out);
        if (k == 'O')
            return parseRadix(s.substr(2), 8, out);
    }

    ParsedNumber n;
    bool paren = false, sign = false, currency = false;
    size_t i = 0;
    auto skipBlanks = [&]() {
        while (i < s.size() && isBlank(s[i]))
            ++i;
    };
    // Leading decorations in any order: "(", sign, "$".
    while (i < s.size()) {
        const char c = s[i];
        if (c == '(' && !paren && !sign) {
            paren = true;
        } else if ((c == '-' || c == '+') && !sign) {
            sign = true;
            n.negative = (c == '-');
        } else if (c == '$' && !currency) {
            currency = true;
        } else {
            break;
        }
        ++i;
        skipBlanks();
    }

    int intDigits = 0, fracDigits = 0;
    std::string digits;
    int pointShift = 0;
    bool sawPoint = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            digits.push_back(c);
            if (sawPoint) {
                ++fracDigits;
                --pointShift;
            } else {
                ++intDigits;
            }
        } else if (c == ',' && !sawPoint && intDigits > 0) {
            continue;
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
    }
    if (intDigits + fracDigits == 0)
        return false;

    int exp10 = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        bool expNeg = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            expNeg = s[j] == '-';
            ++j;
        }
        const size_t start = j;
        long long ev = 0;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') {
            ev = ev * 10 + (s[j] - '0');
            if (ev > 100000)
                return false;
            ++j;
        }
        if (j == start)
            return false;
        exp10 = static_cast<int>(expNeg ? -ev : ev);
        i = j;
    }

    // Trailing decorations: "$", sign, ")".
    skipBlanks();
    while (i < s.size()) {
        const char c = s[i];
        if ((c == '-' || c == '+') && !sign) {
            sign = true;
            n.negative = (c == '-');
        } else if (c == '$' && !currency) {
            currency = true;
        } else if (c == ')' && paren) {
            paren = false;
            n.negative = true;
            ++i;
            skipBlanks();
            if (i != s.size())
                return false;
            break;
        } else {
            return false;
        }
        ++i;
        skipBlanks();
    }
    if (paren)
        return false;

    n.digits = digits;
    n.exponent = pointShift + exp10;
    normalise(n);
    out = n;
    return true;
}

double ToDouble(const ParsedNumber& n)
{
    if (n.digits.empty())
        return 0.0;
    std::string t = (n.negative ? "-" : "") + n.digits + "e" + std::to_string(n.exponent);
    return std::strtod(t.c_str(), nullptr);
}

bool DecimalToScaled(const ParsedNumber& n, int decimals, int64_t& out)
{
    if (n.digits.empty()) {
        out = 0;
        return true;
    }
    const int shift = n.exponent + decimals;
    const int len = static_cast<int>(n.digits.size());
    if (len + shift > 20)
        return false;
    std::string keep;
    bool roundUp = false;
    if (shift >= 0) {
        keep = n.digits + std::string(static_cast<size_t>(shift), '0');
    } else {
        const int cut = len + shift; // digits kept
        if (cut < 0) {
            out = 0;
            return true;
        }
        keep = n.digits.substr(0, static_cast<size_t>(cut));
        const char first = n.digits[static_cast<size_t>(cut)];
        const bool restNonZero = n.digits.find_first_not_of('0', static_cast<size_t>(cut) + 1) != std::string::npos;
        if (first > '5' || (first == '5' && restNonZero))
            roundUp = true;
        else if (first == '5')
            roundUp = !keep.empty() && ((keep.back() - '0') % 2 == 1);
    }
    unsigned __int128 v = 0;
    for (char c : keep) {
        v = v * 10 + static_cast<unsigned>(c - '0');
        if (v > (static_cast<unsigned __int128>(1) << 64))
            return false;
    }
    if (roundUp)
        ++v;
    const unsigned __int128 limit = n.negative ? (static_cast<unsigned __int128>(1) << 63)
                                               : (static_cast<unsigned __int128>(1) << 63) - 1;
    if (v > limit)
        return false;
    out = n.negative ? static_cast<int64_t>(-static_cast<__int128>(v)) : static_cast<int64_t>(v);
    return true;
}

ParsedNumber DoubleToDecimal(double value, int significant)
{
    ParsedNumber n;
    if (value == 0.0 || !std::isfinite(value))
        return n;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significant - 1, value);
    // d.dddde[+-]xx
    const char* p = buf;
    if (*p == '-') {
        n.negative = true;
        ++p;
    }
    std::string digits;
    while (*p && *p != 'e') {
        if (*p >= '0' && *p <= '9')
            digits.push_back(*p);
        ++p;
    }
    const int e = (*p == 'e') ? std::atoi(p + 1) : 0;
    n.digits = digits;
    n.exponent = e - static_cast<int>(digits.size()) + 1;
    normalise(n);
    return n;
}

ParsedNumber RoundHalfAway(const ParsedNumber& n, int decimals)
{
    if (n.digits.empty() || n.exponent >= -decimals)
        return n;
    const int len = static_cast<int>(n.digits.size());
    const int cut = len + n.exponent + decimals; // digits kept
    ParsedNumber r;
    r.negative = n.negative;
    if (cut < 0)
        return ParsedNumber{};
    std::string keep = n.digits.substr(0, static_cast<size_t>(cut));
    const bool up = n.digits[static_cast<size_t>(cut)] >= '5';
    if (up) {
        int k = static_cast<int>(keep.size()) - 1;
        while (k >= 0 && keep[static_cast<size_t>(k)] == '9') {
            keep[static_cast<size_t>(k)] = '0';
            --k;
        }
        if (k < 0)
            keep.insert(keep.begin(), '1');
        else
            ++keep[static_cast<size_t>(k)];
    }
    r.digits = keep;
    r.exponent = -decimals;
    normalise(r);
    return r;
}

} // namespace vb::detail
