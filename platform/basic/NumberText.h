#pragma once
// Numbers as text: the runtime's lenient reading of numeric text (US locale)
// and exact decimal digits for Format and Currency. Internal to the runtime.

#include <cstdint>
#include <string>
#include <string_view>

namespace vb::detail {

// value = (negative ? -1 : 1) * digits * 10^exponent; digits has no leading zeros
// ("" for zero).
struct ParsedNumber {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// Reads text as the runtime coerces it to a number: blanks around, a sign in
// front or behind, parentheses for negative, "$", thousands separators,
// decimals, an exponent (E or D), and &H / &O integers.
bool ParseNumberText(std::string_view text, ParsedNumber& out);

double ToDouble(const ParsedNumber& n);

// The value times 10^decimals rounded half to even into out; false on overflow.
bool DecimalToScaled(const ParsedNumber& n, int decimals, int64_t& out);

// The decimal digits of a double with at most `significant` significant digits
// (the runtime shows 15): value = digits * 10^exponent.
ParsedNumber DoubleToDecimal(double value, int significant = 15);

// Rounds to `decimals` places, halves away from zero (as Format rounds).
ParsedNumber RoundHalfAway(const ParsedNumber& n, int decimals);

} // namespace vb::detail
