#pragma once
// The rent arithmetic behind the store editor's figures, apart from the
// window: the percentage rent of one month from its rate row and the
// month's sales, and the reading of a figure back as money.

#include "platform/basic/Currency.h"
#include "platform/basic/Variant.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace Mod_StoreInfo {

// Every rent figure's text: "$1,234.50", "$0.00", "-$100.00".
inline constexpr std::string_view kRentFormat = "$##,##0.00";

// The percentage types a PercentageRate row carries.
inline constexpr std::string_view kPercentNone = "None";
inline constexpr std::string_view kPercentFlat = "Flat Rate";
inline constexpr std::string_view kPercentOfSales = "% of Sales";

inline constexpr std::string_view kNoSalesInfo = "** No Sales Info **";
inline constexpr std::string_view kNotAboveBreakPoint = "Sales are not greater than breakpoint";

struct PercentageRent {
    std::string figure;      // in kRentFormat
    std::string explanation; // "" when there is nothing to explain
};

// The percentage rent of one month from the columns of its rate row
// (PercentType, Rate, BreakPoint, each possibly Null). monthSales gives the
// month's sales as text ("" for none); it is asked only for "% of Sales".
// The amount above the break point times the rate is kept to four decimals
// (halves to even) before the figure rounds it to cents (halves away from
// zero). A rate, break point or sales text that is not money gives "$0.00",
// never an error; an amount beyond what money holds raises 6 (Overflow).
PercentageRent ComputePercentageRent(const vb::Variant& percentType, const vb::Variant& rate,
                                     const vb::Variant& breakPoint, const std::function<vb::Variant()>& monthSales);

// The percentage rent of the month of that year (1 to 12), from the store's
// sales of that month; also shows or hides the editor's explanation line.
std::string GetPercentageRent(int16_t StoreID, int16_t Year, int month);
// The store's sales of one month (1 to 12) of the year as text, "" when
// there are none.
vb::Variant GetMonthSales(int16_t StoreID, int16_t Year, int month);

// The amount a rent figure shows; zero for a text that is not money.
vb::Currency RentOfCaption(std::string_view caption);

} // namespace Mod_StoreInfo
