// Any text through the runtime's conversions, as a value read from a file or
// typed into a box may reach them: CDate, CDbl, CCur, IsNumeric and IsDate,
// and CInt, CLng, CBool and CStr of the text and of what the others give.
// Each either gives a value or raises the runtime's 13 or 6; IsNumeric and
// IsDate agree with the conversions; a date given lies in the date range and
// formats; a number and an amount read from one text are the same number.

#include "platform/basic/Currency.h"
#include "platform/basic/DateTime.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Variant.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// The value a conversion gives, or nothing when it raised 13 or 6; any other
// error, or any other exception, ends the run.
template <class F>
auto converted(F&& f) -> std::optional<decltype(f())>
{
    try {
        return f();
    } catch (const vb::RuntimeError& e) {
        if (e.Number() != vb::kErrTypeMismatch && e.Number() != vb::kErrOverflow)
            std::abort();
        return std::nullopt;
    }
}

int raised(auto&& f)
{
    try {
        f();
    } catch (const vb::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

// Every way a value may be read on.
void readOn(const vb::Variant& v)
{
    converted([&] { return vb::CInt(v); });
    converted([&] { return vb::CLng(v); });
    converted([&] { return vb::CBool(v); });
    converted([&] { return vb::CDbl(v); });
    converted([&] { return vb::CCur(v); });
    converted([&] { return vb::CStr(v); });
    if (auto d = converted([&] { return vb::CDate(v); })) {
        // Formatting a date out of range is where a bad date would hurt.
        if (d->Serial() <= -657435.0 || d->Serial() >= 2958466.0)
            std::abort();
        vb::CStr(vb::Variant(*d));
        const vb::DateParts p = vb::Decompose(*d);
        if (p.year < 100 || p.year > 9999)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const vb::Variant v(text);

    const bool numeric = vb::IsNumeric(v);
    const int dblError = raised([&] { vb::CDbl(v); });
    // A text IsNumeric refuses is a type mismatch to CDbl; one it takes is a
    // number, at worst too large for one.
    if (numeric ? dblError != 0 && dblError != vb::kErrOverflow : dblError != vb::kErrTypeMismatch)
        std::abort();

    const std::optional<double> number = converted([&] { return vb::CDbl(v); });
    const std::optional<vb::Currency> amount = converted([&] { return vb::CCur(v); });
    if (number && amount) {
        // One text, one number: the amount is the number to four decimals.
        const double diff = std::fabs(amount->ToDouble() - *number);
        if (diff > 0.00005 + std::fabs(*number) * 1e-12)
            std::abort();
    }

    vb::Date parsed;
    const bool isDate = vb::IsDate(v);
    if (isDate != vb::TryParseDate(text, parsed))
        std::abort();
    const std::optional<vb::Date> date = converted([&] { return vb::CDate(v); });
    if (isDate && (!date || *date != parsed))
        std::abort();

    readOn(v);
    if (number)
        readOn(vb::Variant(*number));
    if (amount)
        readOn(vb::Variant(*amount));
    if (date)
        readOn(vb::Variant(*date));
    return 0;
}
