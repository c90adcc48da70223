#pragma once
// The runtime's Variant and its conversion functions, with the runtime's
// rules: CInt and CLng round halves to even, a text that is not a number
// raises 13 (type mismatch), a value out of range raises 6 (overflow), Null
// raises 94 (invalid use of Null).

#include "platform/basic/Currency.h"
#include "platform/basic/DateTime.h"

#include <concepts>
#include <utility>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <variant>

namespace vb {

// The runtime's VarType numbers.
enum class VarType : int {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Boolean = 11,
};

struct NullValue {
    bool operator==(const NullValue&) const = default;
};

class Variant {
public:
    Variant() = default;
    Variant(NullValue) : v_(NullValue{}) {}
    Variant(bool b) : v_(b) {}
    // Small integer types become Integer, the rest Long, and values a Long
    // cannot hold Double.
    template <std::integral T>
        requires(!std::same_as<T, bool> && !std::same_as<T, char>)
    Variant(T n)
    {
        if constexpr (sizeof(T) <= 2) {
            v_ = static_cast<int16_t>(n);
        } else if (std::in_range<int32_t>(n)) {
            v_ = static_cast<int32_t>(n);
        } else {
            v_ = static_cast<double>(n);
        }
    }
    Variant(double d) : v_(d) {}
    Variant(float d) : v_(static_cast<double>(d)) {}
    Variant(Currency c) : v_(c) {}
    Variant(Date d) : v_(d) {}
    Variant(const char* s) : v_(std::string(s)) {}
    Variant(std::string s) : v_(std::move(s)) {}
    Variant(std::string_view s) : v_(std::string(s)) {}

    static Variant Null() { return Variant(NullValue{}); }

    VarType Type() const;
    bool IsEmpty() const { return v_.index() == 0; }
    bool IsNull() const { return std::holds_alternative<NullValue>(v_); }
    bool IsString() const { return std::holds_alternative<std::string>(v_); }
    // A number type (Integer, Long, Double, Currency, Boolean) without looking at text.
    bool IsNumberType() const;

    // The stored value; the wrong type raises 13.
    const std::string& StringValue() const;

    // Equality as the runtime's "=" between two variants: numbers compare as
    // numbers, texts as texts (case matters), a number and a numeric text as
    // numbers; Null equals nothing.
    friend bool operator==(const Variant& a, const Variant& b);

private:
    friend int16_t CInt(const Variant&);
    friend int32_t CLng(const Variant&);
    friend double CDbl(const Variant&);
    friend Currency CCur(const Variant&);
    friend bool CBool(const Variant&);
    friend std::string CStr(const Variant&);
    friend Date CDate(const Variant&);
    friend bool IsNumeric(const Variant&);
    friend bool IsDate(const Variant&);

    std::variant<std::monostate, NullValue, bool, int16_t, int32_t, double, Currency, Date, std::string> v_;
};

int16_t CInt(const Variant& v);
int32_t CLng(const Variant& v);
double CDbl(const Variant& v);
Currency CCur(const Variant& v);
bool CBool(const Variant& v);
std::string CStr(const Variant& v);
Date CDate(const Variant& v);

bool IsNumeric(const Variant& v);
bool IsDate(const Variant& v);
inline bool IsNull(const Variant& v) { return v.IsNull(); }
inline bool IsEmpty(const Variant& v) { return v.IsEmpty(); }
inline VarType VarTypeOf(const Variant& v) { return v.Type(); }

// The leading number of a text, ignoring blanks; 0 when there is none.
double Val(std::string_view text);

// The runtime's text of a double: at most 15 significant digits, exponent form
// for very large or small values.
std::string DoubleToText(double d);

// Rounds halves to even (the runtime's rounding for integer conversions).
double RoundHalfEven(double d);

} // namespace vb
