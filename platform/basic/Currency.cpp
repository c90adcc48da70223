#include "platform/basic/Currency.h"

#include "platform/basic/NumberText.h"
#include "platform/basic/RuntimeError.h"

#include <cmath>
#include <limits>

namespace vb {

namespace {

constexpr double kMaxRaw = 9223372036854775807.0;

int64_t checked(__int128 v)
{
    if (v > std::numeric_limits<int64_t>::max() || v < std::numeric_limits<int64_t>::min())
        Raise(kErrOverflow);
    return static_cast<int64_t>(v);
}

} // namespace

Currency Currency::FromDouble(double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= kMaxRaw / kScale + 1.0)
        Raise(kErrOverflow);
    // Rounded from the value's shown decimal digits (15 significant), so that
    // 0.00015 is the half it looks like and goes to the even 0.0002. Those
    // digits lie within half a unit of the 15th digit of the value, that is
    // within |value| * 0.5e-10 once scaled; the scaling adds a rounding of its
    // own far below that. So wherever the scaled value is further than that
    // from a half, its nearest whole number is what the digits round to, and
    // the text is needed only near a half (a tie or what looks like one).
    const double magnitude = std::fabs(value);
    if (magnitude < 1e9) {
        const double scaled = value * kScale;
        const double whole = std::floor(scaled);
        const double fraction = scaled - whole;
        if (std::fabs(fraction - 0.5) > magnitude * 2e-10 + 1e-12)
            return FromRaw(static_cast<int64_t>(whole) + (fraction > 0.5 ? 1 : 0));
    }
    int64_t raw = 0;
    if (!detail::DecimalToScaled(detail::DoubleToDecimal(value), 4, raw))
        Raise(kErrOverflow);
    return FromRaw(raw);
}

bool Currency::TryParse(std::string_view text, Currency& out, bool* overflow)
{
    if (overflow)
        *overflow = false;
    detail::ParsedNumber n;
    if (!detail::ParseNumberText(text, n))
        return false;
    int64_t raw = 0;
    if (!detail::DecimalToScaled(n, 4, raw)) {
        if (overflow)
            *overflow = true;
        return false;
    }
    out = FromRaw(raw);
    return true;
}

std::string Currency::ToString() const
{
    const bool negative = raw_ < 0;
    unsigned __int128 mag = negative ? -static_cast<__int128>(raw_) : raw_;
    const auto whole = static_cast<uint64_t>(mag / kScale);
    auto frac = static_cast<unsigned>(mag % kScale);
    std::string s = negative ? "-" : "";
    s += std::to_string(whole);
    if (frac) {
        std::string f = std::to_string(frac);
        f.insert(0, 4 - f.size(), '0');
        while (!f.empty() && f.back() == '0')
            f.pop_back();
        s += "." + f;
    }
    return s;
}

Currency Currency::operator-() const
{
    return FromRaw(checked(-static_cast<__int128>(raw_)));
}

Currency Currency::operator+(Currency o) const
{
    return FromRaw(checked(static_cast<__int128>(raw_) + o.raw_));
}

Currency Currency::operator-(Currency o) const
{
    return FromRaw(checked(static_cast<__int128>(raw_) - o.raw_));
}

Currency Currency::operator*(Currency o) const
{
    const __int128 p = static_cast<__int128>(raw_) * o.raw_;
    __int128 q = p / kScale;
    const __int128 r = p % kScale;
    const __int128 twice = (r < 0 ? -r : r) * 2;
    if (twice > kScale || (twice == kScale && (q % 2) != 0))
        q += (p < 0) ? -1 : 1;
    return FromRaw(checked(q));
}

Currency Currency::operator*(int64_t n) const
{
    return FromRaw(checked(static_cast<__int128>(raw_) * n));
}

double Currency::operator/(Currency o) const
{
    if (o.raw_ == 0)
        Raise(kErrDivisionByZero);
    return double(raw_) / double(o.raw_);
}

} // namespace vb
