// Any text as a Find criterion, and any text as the cell it is tested
// against: parsing either gives a criterion or raises 3001, and testing a
// cell of any type never raises. Any text quoted with SqlQuote after
// "Company = " is one text literal that matches that text.
//
// The input is the criterion, a NUL byte, then the cell's text.

#include "platform/ado/Ado.h"
#include "platform/ado/FindCriteria.h"
#include "platform/ado/JetSql.h"
#include "platform/basic/Currency.h"
#include "platform/basic/DateTime.h"
#include "platform/basic/RuntimeError.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

std::optional<ado::FindCriterion> parse(std::string_view criterion)
{
    try {
        return ado::FindCriterion::Parse(criterion);
    } catch (const vb::RuntimeError& e) {
        if (e.Number() != ado::kErrInvalidArgument)
            std::abort();
        return std::nullopt;
    }
}

// A cell of every type a column gives, made from the text where it reads as one.
void testCells(const ado::FindCriterion& c, std::string_view text)
{
    c.Matches(vb::Variant::Null());
    c.Matches(vb::Variant());
    c.Matches(vb::Variant(text));
    c.Matches(vb::Variant(int16_t(-7)));
    c.Matches(vb::Variant(int32_t(123456)));
    c.Matches(vb::Variant(vb::Currency::FromRaw(-12345678)));
    c.Matches(vb::Variant(vb::DateSerial(2003, 1, 31)));
    double d = 0.0;
    if (text.size() >= sizeof d) {
        std::memcpy(&d, text.data(), sizeof d);
        c.Matches(vb::Variant(d));
        c.Matches(vb::Variant(vb::Date::FromSerial(d)));
    }
    vb::Date date;
    if (vb::TryParseDate(text, date))
        c.Matches(vb::Variant(date));
    vb::Currency amount;
    if (vb::Currency::TryParse(text, amount))
        c.Matches(vb::Variant(amount));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string_view criterion = input.substr(0, split);
    const std::string_view cell = split == std::string_view::npos ? input : input.substr(split + 1);

    if (const auto c = parse(criterion))
        testCells(*c, cell);

    // The way the program builds a criterion from a name the user typed.
    const auto quoted = parse("Company = " + ado::SqlQuote(cell));
    if (!quoted || quoted->Column() != "Company" || quoted->Comparison() != ado::FindCriterion::Op::Equal ||
        quoted->Kind() != ado::FindCriterion::LiteralKind::Text || !quoted->Literal().IsString() ||
        quoted->Literal().StringValue() != cell || !quoted->Matches(vb::Variant(cell)))
        std::abort();
    testCells(*quoted, cell);
    return 0;
}
