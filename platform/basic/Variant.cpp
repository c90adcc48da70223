#include "platform/basic/Variant.h"

#include "platform/basic/NumberText.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace vb {

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

// A number from text by the coercion rules; 13 when it is not one.
double textToDouble(const std::string& s)
{
    detail::ParsedNumber n;
    if (!detail::ParseNumberText(s, n))
        Raise(kErrTypeMismatch);
    const double d = detail::ToDouble(n);
    if (!std::isfinite(d))
        Raise(kErrOverflow);
    return d;
}

bool textToBool(const std::string& s, bool& out)
{
    const std::string t = LCase(Trim(s));
    if (t == "true" || t == "#true#") {
        out = true;
        return true;
    }
    if (t == "false" || t == "#false#") {
        out = false;
        return true;
    }
    detail::ParsedNumber n;
    if (detail::ParseNumberText(s, n)) {
        out = !n.digits.empty();
        return true;
    }
    return false;
}

// A Currency rounded exactly to whole units, halves to even.
int64_t wholeUnits(Currency c)
{
    const int64_t raw = c.Raw();
    int64_t q = raw / Currency::kScale;
    const int64_t r = raw % Currency::kScale;
    const int64_t twice = (r < 0 ? -r : r) * 2;
    if (twice > Currency::kScale || (twice == Currency::kScale && q % 2 != 0))
        q += raw < 0 ? -1 : 1;
    return q;
}

template <class Int>
Int toInteger(double d)
{
    const double r = RoundHalfEven(d);
    if (!(r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          r <= static_cast<double>(std::numeric_limits<Int>::max())))
        Raise(kErrOverflow);
    return static_cast<Int>(r);
}

std::string dateToText(Date d)
{
    const DateParts p = Decompose(d);
    const double s = d.Serial();
    const bool hasTime = p.hour || p.minute || p.second;
    const bool hasDate = std::trunc(s) != 0.0;
    std::string out;
    char buf[64];
    if (hasDate || !hasTime) {
        std::snprintf(buf, sizeof buf, "%d/%d/%d", p.month, p.day, p.year);
        out = buf;
    }
    if (hasTime) {
        const int h12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
        std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h12, p.minute, p.second, p.hour < 12 ? "AM" : "PM");
        if (!out.empty())
            out += ' ';
        out += buf;
    }
    return out;
}

} // namespace

double RoundHalfEven(double d)
{
    const double f = std::floor(d);
    const double diff = d - f;
    if (diff > 0.5)
        return f + 1.0;
    if (diff < 0.5)
        return f;
    return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
}

std::string DoubleToText(double d)
{
    if (d == 0.0)
        return "0";
    if (std::isnan(d))
        return "NaN";
    if (std::isinf(d))
        return d < 0 ? "-Inf" : "Inf";
    const detail::ParsedNumber n = detail::DoubleToDecimal(d, 15);
    const int len = static_cast<int>(n.digits.size());
    const int exp10 = len + n.exponent - 1; // power of ten of the first digit
    std::string out = n.negative ? "-" : "";
    if (exp10 >= 15 || exp10 <= -5) {
        out += n.digits.substr(0, 1);
        if (len > 1)
            out += "." + n.digits.substr(1);
        char buf[16];
        std::snprintf(buf, sizeof buf, "E%c%02d", exp10 < 0 ? '-' : '+', exp10 < 0 ? -exp10 : exp10);
        return out + buf;
    }
    if (n.exponent >= 0)
        return out + n.digits + std::string(static_cast<size_t>(n.exponent), '0');
    const int intLen = len + n.exponent;
    if (intLen > 0)
        return out + n.digits.substr(0, static_cast<size_t>(intLen)) + "." + n.digits.substr(static_cast<size_t>(intLen));
    return out + "0." + std::string(static_cast<size_t>(-intLen), '0') + n.digits;
}

VarType Variant::Type() const
{
    switch (v_.index()) {
    case 0: return VarType::Empty;
    case 1: return VarType::Null;
    case 2: return VarType::Boolean;
    case 3: return VarType::Integer;
    case 4: return VarType::Long;
    case 5: return VarType::Double;
    case 6: return VarType::Currency;
    case 7: return VarType::Date;
    default: return VarType::String;
    }
}

bool Variant::IsNumberType() const
{
    const VarType t = Type();
    return t == VarType::Integer || t == VarType::Long || t == VarType::Double || t == VarType::Currency ||
           t == VarType::Boolean;
}

const std::string& Variant::StringValue() const
{
    if (const auto* s = std::get_if<std::string>(&v_))
        return *s;
    Raise(kErrTypeMismatch);
}

double CDbl(const Variant& v)
{
    return std::visit(Overloaded{
                          [](std::monostate) { return 0.0; },
                          [](NullValue) -> double { Raise(kErrInvalidUseOfNull); },
                          [](bool b) { return b ? -1.0 : 0.0; },
                          [](int16_t i) { return double(i); },
                          [](int32_t i) { return double(i); },
                          [](double d) { return d; },
                          [](Currency c) { return c.ToDouble(); },
                          [](Date d) { return d.Serial(); },
                          [](const std::string& s) { return textToDouble(s); },
                      },
                      v.v_);
}

int16_t CInt(const Variant& v)
{
    if (const auto* c = std::get_if<Currency>(&v.v_)) {
        const int64_t q = wholeUnits(*c);
        if (!std::in_range<int16_t>(q))
            Raise(kErrOverflow);
        return static_cast<int16_t>(q);
    }
    return toInteger<int16_t>(CDbl(v));
}

int32_t CLng(const Variant& v)
{
    if (const auto* c = std::get_if<Currency>(&v.v_)) {
        const int64_t q = wholeUnits(*c);
        if (!std::in_range<int32_t>(q))
            Raise(kErrOverflow);
        return static_cast<int32_t>(q);
    }
    return toInteger<int32_t>(CDbl(v));
}

Currency CCur(const Variant& v)
{
    return std::visit(Overloaded{
                          [](std::monostate) { return Currency(); },
                          [](NullValue) -> Currency { Raise(kErrInvalidUseOfNull); },
                          [](bool b) { return Currency(b ? -1 : 0); },
                          [](int16_t i) { return Currency(i); },
                          [](int32_t i) { return Currency(i); },
                          [](double d) { return Currency::FromDouble(d); },
                          [](Currency c) { return c; },
                          [](Date d) { return Currency::FromDouble(d.Serial()); },
                          [](const std::string& s) {
                              Currency c;
                              bool overflow = false;
                              if (!Currency::TryParse(s, c, &overflow))
                                  Raise(overflow ? kErrOverflow : kErrTypeMismatch);
                              return c;
                          },
                      },
                      v.v_);
}

bool CBool(const Variant& v)
{
    return std::visit(Overloaded{
                          [](std::monostate) { return false; },
                          [](NullValue) -> bool { Raise(kErrInvalidUseOfNull); },
                          [](bool b) { return b; },
                          [](int16_t i) { return i != 0; },
                          [](int32_t i) { return i != 0; },
                          [](double d) { return d != 0.0; },
                          [](Currency c) { return c.Raw() != 0; },
                          [](Date d) { return d.Serial() != 0.0; },
                          [](const std::string& s) {
                              bool b = false;
                              if (!textToBool(s, b))
                                  Raise(kErrTypeMismatch);
                              return b;
                          },
                      },
                      v.v_);
}

std::string CStr(const Variant& v)
{
    return std::visit(Overloaded{
                          [](std::monostate) { return std::string(); },
                          [](NullValue) -> std::string { Raise(kErrInvalidUseOfNull); },
                          [](bool b) { return std::string(b ? "True" : "False"); },
                          [](int16_t i) { return std::to_string(i); },
                          [](int32_t i) { return std::to_string(i); },
                          [](double d) { return DoubleToText(d); },
                          [](Currency c) { return c.ToString(); },
                          [](Date d) { return dateToText(d); },
                          [](const std::string& s) { return s; },
                      },
                      v.v_);
}

Date CDate(const Variant& v)
{
    return std::visit(Overloaded{
                          [](std::monostate) { return Date(); },
                          [](NullValue) -> Date { Raise(kErrInvalidUseOfNull); },
                          [](bool b) { return Date::FromSerial(b ? -1.0 : 0.0); },
                          [](int16_t i) { return DateFromNumber(i); },
                          [](int32_t i) { return DateFromNumber(i); },
                          [](double d) { return DateFromNumber(d); },
                          [](Currency c) { return DateFromNumber(c.ToDouble()); },
                          [](Date d) { return d; },
                          [](const std::string& s) {
                              Date d;
                              if (TryParseDate(s, d))
                                  return d;
                              detail::ParsedNumber n;
                              if (detail::ParseNumberText(s, n))
                                  return DateFromNumber(detail::ToDouble(n));
                              Raise(kErrTypeMismatch);
                          },
                      },
                      v.v_);
}

bool IsNumeric(const Variant& v)
{
    if (v.IsEmpty())
        return true;
    if (const auto* s = std::get_if<std::string>(&v.v_)) {
        detail::ParsedNumber n;
        return detail::ParseNumberText(*s, n);
    }
    return v.IsNumberType();
}

bool IsDate(const Variant& v)
{
    if (v.Type() == VarType::Date)
        return true;
    if (const auto* s = std::get_if<std::string>(&v.v_)) {
        Date d;
        return TryParseDate(*s, d);
    }
    return false;
}

double Val(std::string_view text)
{
    // Blanks anywhere are ignored; the number ends at the first character that
    // cannot continue it.
    std::string s;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            s.push_back(c);
    if (s.size() > 2 && s[0] == '&') {
        const char k = static_cast<char>(s[1] | 0x20);
        size_t j = 2;
        const int radix = (k == 'h') ? 16 : (k == 'o' ? 8 : 0);
        if (radix) {
            while (j < s.size() && std::isxdigit(static_cast<unsigned char>(s[j])) &&
                   (radix == 16 || (s[j] >= '0' && s[j] <= '7')))
                ++j;
            detail::ParsedNumber n;
            if (detail::ParseNumberText(s.substr(0, j), n))
                return detail::ToDouble(n);
            return 0.0;
        }
    }
    size_t i = 0;
    std::string num;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        num.push_back(s[i++]);
    bool digits = false, point = false;
    while (i < s.size()) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            num.push_back(c);
        } else if (c == '.' && !point) {
            point = true;
            num.push_back(c);
        } else {
            break;
        }
        ++i;
    }
    if (!digits)
        return 0.0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        std::string e = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            e.push_back(s[j++]);
        const size_t start = j;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9' && j - start < 6)
            e.push_back(s[j++]);
        if (j > start)
            num += e;
    }
    const double d = std::strtod(num.c_str(), nullptr);
    if (!std::isfinite(d))
        Raise(kErrOverflow);
    return d;
}

bool operator==(const Variant& a, const Variant& b)
{
    if (a.IsNull() || b.IsNull())
        return false;
    const bool aText = a.IsString(), bText = b.IsString();
    if (aText && bText)
        return a.StringValue() == b.StringValue();
    if (a.IsEmpty() && bText)
        return b.StringValue().empty();
    if (b.IsEmpty() && aText)
        return a.StringValue().empty();
    if (aText || bText) {
        const Variant& text = aText ? a : b;
        if (!IsNumeric(text))
            return false;
    }
    if (a.Type() == VarType::Currency && b.Type() == VarType::Currency)
        return CCur(a) == CCur(b);
    return CDbl(a) == CDbl(b);
}

} // namespace vb
