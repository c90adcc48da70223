#pragma once
// The runtime's Currency: a 64-bit count of ten-thousandths, exact in sums.

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace vb {

class Currency {
public:
    static constexpr int64_t kScale = 10000;

    constexpr Currency() = default;
    // Whole units (Currency(12) is 12.0000).
    constexpr explicit Currency(int units) : raw_(int64_t(units) * kScale) {}

    static constexpr Currency FromRaw(int64_t tenThousandths)
    {
        Currency c;
        c.raw_ = tenThousandths;
        return c;
    }
    // Rounds to four decimals, halves to even; out of range raises 6.
    static Currency FromDouble(double value);
    // Exact decimal text ("1,234.5", "$12.00", "-3"); false when not a number
    // or out of range (then *overflow is set when it was a number).
    static bool TryParse(std::string_view text, Currency& out, bool* overflow = nullptr);

    constexpr int64_t Raw() const { return raw_; }
    double ToDouble() const { return double(raw_) / kScale; }
    // Text as CStr gives it: up to four decimals, no trailing zeros.
    std::string ToString() const;

    Currency operator-() const;
    Currency operator+(Currency o) const;
    Currency operator-(Currency o) const;
    // Products are rounded to four decimals, halves to even.
    Currency operator*(Currency o) const;
    Currency operator*(int64_t n) const;
    Currency& operator+=(Currency o) { return *this = *this + o; }
    Currency& operator-=(Currency o) { return *this = *this - o; }
    double operator/(Currency o) const;

    constexpr auto operator<=>(const Currency&) const = default;

private:
    int64_t raw_ = 0;
};

} // namespace vb
