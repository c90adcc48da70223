// The rent figures of one month: base rent, C.A.M. and taxes from the yearly
// rate rows, the percentage rent from its rate row and the month's sales, and
// their sum.

#include "program/stores/Mod_StoreInfo_Rent.h"

#include "platform/ado/Command.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/Format.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/ShellState.h"
#include "program/stores/Mod_StoreInfo.h"
#include "program/stores/frmStoreInfo.h"

#include <array>
#include <optional>

namespace Mod_StoreInfo {

namespace {

constexpr const char* kNoRent = "$0.00";

std::string rentText(vb::Currency amount)
{
    return vb::Format(vb::Variant(amount), kRentFormat);
}

// A column's text; "" for Null.
std::string text(const vb::Variant& value)
{
    return value.IsNull() || value.IsEmpty() ? std::string() : vb::CStr(value);
}

// A column or a text as money; nothing for Null, "" and what is not money.
// An amount beyond what money holds overflows (6), as the arithmetic does.
std::optional<vb::Currency> money(const vb::Variant& value)
{
    if (value.IsNull() || value.IsEmpty())
        return std::nullopt;
    try {
        return vb::CCur(value);
    } catch (const vb::RuntimeError& e) {
        if (e.Number() == vb::kErrOverflow)
            throw;
        return std::nullopt;
    }
}

// One of the three yearly rate tables, as the database layer keeps it.
struct RateTable {
    const char* name;
    void (*open)(std::string_view, int32_t&);
    void (*close)();
    ado::CommandPtr tv::ShellState::*command;
    ado::RecordsetPtr tv::ShellState::*recordset;
};

constexpr RateTable kBaseRate{"BaseRate", Mod_DBConnections::OpenBaseRate, Mod_DBConnections::CloseBaseRate,
                              &tv::ShellState::g_cmdBaseRate, &tv::ShellState::g_rsBaseRate};
constexpr RateTable kCAMRate{"CAMRate", Mod_DBConnections::OpenCAMRate, Mod_DBConnections::CloseCAMRate,
                             &tv::ShellState::g_cmdCAMRate, &tv::ShellState::g_rsCAMRate};
constexpr RateTable kTaxRate{"TaxRate", Mod_DBConnections::OpenTaxRate, Mod_DBConnections::CloseTaxRate,
                             &tv::ShellState::g_cmdTaxRate, &tv::ShellState::g_rsTaxRate};

// Closes a table on every road out, a raised error's too.
struct TableCloser {
    void (*close)();
    ~TableCloser() { close(); }
};

std::string monthTotal(const RateTable& table, int16_t StoreID, int16_t Year)
{
    tv::ShellState& shell = tv::Shell();
    TableCloser closer{table.close};
    int32_t count = 0;
    table.open("ReadOnly", count);
    (shell.*table.command)->CommandText(std::string("SELECT MonthTotal FROM ") + table.name +
                                        " WHERE StoreID = ? AND Year = ?");
    const ado::RecordsetPtr rs = (shell.*table.command)->Execute({vb::Variant(StoreID), vb::Variant(Year)});
    shell.*table.recordset = rs;
    if (rs->EOF_())
        return kNoRent;
    const std::optional<vb::Currency> amount = money(rs->Fields("MonthTotal").Value());
    return amount ? rentText(*amount) : kNoRent;
}

int thisMonth()
{
    return vb::Month(vb::Today());
}

} // namespace

std::string GetBaseRateMonthTotal(int16_t StoreID, int16_t Year)
{
    return monthTotal(kBaseRate, StoreID, Year);
}

std::string GetCAMRateMonthTotal(int16_t StoreID, int16_t Year)
{
    return monthTotal(kCAMRate, StoreID, Year);
}

std::string GetTaxRateMonthTotal(int16_t StoreID, int16_t Year)
{
    return monthTotal(kTaxRate, StoreID, Year);
}

PercentageRent ComputePercentageRent(const vb::Variant& percentType, const vb::Variant& rate,
                                     const vb::Variant& breakPoint, const std::function<vb::Variant()>& monthSales)
{
    const std::string type = text(percentType);
    if (type == kPercentFlat)
        return {rentText(money(rate).value_or(vb::Currency())), ""};
    if (type != kPercentOfSales)
        return {kNoRent, ""};

    const vb::Variant salesText = monthSales();
    const std::optional<vb::Currency> sales = text(salesText).empty() ? std::nullopt : money(salesText);
    if (!sales)
        return {kNoRent, std::string(kNoSalesInfo)};
    const std::optional<vb::Currency> limit = money(breakPoint);
    if (!limit || !(*sales > *limit))
        return {kNoRent, std::string(kNotAboveBreakPoint)};

    const std::string rateText = text(rate);
    const vb::Variant percent(vb::Replace(rateText, "%", ""));
    if (!vb::IsNumeric(percent))
        return {kNoRent, ""};
    // Currency times a number is a number: the amount is rounded to the
    // currency's four decimals first, to cents only when shown. A rate or an
    // amount beyond range overflows (6); it is no rent of nothing.
    const vb::Currency amount = vb::Currency::FromDouble((*sales - *limit).ToDouble() * vb::CDbl(percent) * 0.01);
    return {rentText(amount), rentText(*sales) + " - " + rentText(*limit) + " * " + rateText};
}

std::string GetPercentageRent(int16_t StoreID, int16_t Year)
{
    return GetPercentageRent(StoreID, Year, thisMonth());
}

std::string GetPercentageRent(int16_t StoreID, int16_t Year, int month)
{
    tv::ShellState& shell = tv::Shell();
    frmStoreInfo* f = frmStoreInfo::IfLoaded();
    vb::Variant percentType, rate, breakPoint;
    bool found = false;
    {
        TableCloser closer{Mod_DBConnections::ClosePercentageRate};
        int32_t count = 0;
        Mod_DBConnections::OpenPercentageRate("ReadOnly", count);
        shell.g_cmdPercentageRate->CommandText("SELECT * FROM PercentageRate WHERE StoreID = ? AND Year = ?");
        const ado::RecordsetPtr rs = shell.g_cmdPercentageRate->Execute({vb::Variant(StoreID), vb::Variant(Year)});
        shell.g_rsPercentageRate = rs;
        if (!rs->EOF_()) {
            found = true;
            percentType = rs->Fields("PercentType").Value();
            rate = rs->Fields("Rate").Value();
            breakPoint = rs->Fields("BreakPoint").Value();
        }
    }
    // No row: nothing to explain, and no other store's explanation stays.
    PercentageRent rent{kNoRent, ""};
    try {
        if (found)
            rent = ComputePercentageRent(percentType, rate, breakPoint,
                                         [&] { return GetMonthSales(StoreID, Year, month); });
    } catch (const vb::RuntimeError&) {
        // Nothing is explained of a figure that could not be worked out.
        if (f)
            f->lblPerRateCalc.SetVisible(false);
        throw;
    }
    if (f) {
        if (!rent.explanation.empty())
            f->lblPerRateCalc.SetCaption(rent.explanation);
        f->lblPerRateCalc.SetVisible(!rent.explanation.empty());
    }
    return rent.figure;
}

vb::Variant GetMonthSales(int16_t StoreID, int16_t Year)
{
    return GetMonthSales(StoreID, Year, thisMonth());
}

vb::Variant GetMonthSales(int16_t StoreID, int16_t Year, int month)
{
    tv::ShellState& shell = tv::Shell();
    static constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                              "July",    "August",   "September", "October", "November", "December"};
    std::array<std::string, 12> sales{};
    vb::ResumeNext step;
    int32_t count = 0;
    step([&] {
        if (shell.g_SalesOpen)
            Mod_DBConnections::CloseSales();
    });
    step([&] { Mod_DBConnections::OpenSales("ReadOnly", count); });
    if (count > 0) {
        step([&] {
            shell.g_cmdSales->CommandText("SELECT * FROM Sales WHERE StoreID = ? AND Year = ?");
            const ado::RecordsetPtr rs = shell.g_cmdSales->Execute({vb::Variant(StoreID), vb::Variant(Year)});
            shell.g_rsSales = rs;
            if (rs->EOF_())
                return;
            for (size_t i = 0; i < sales.size(); ++i)
                step([&] { sales[i] = text(rs->Fields(kMonths[i]).Value()); });
        });
    }
    step([&] { Mod_DBConnections::CloseSales(); });
    if (month < 1 || month > 12)
        return vb::Variant(std::string());
    return vb::Variant(sales[static_cast<size_t>(month - 1)]);
}

vb::Currency RentOfCaption(std::string_view caption)
{
    try {
        return money(vb::Variant(std::string(caption))).value_or(vb::Currency());
    } catch (const vb::RuntimeError&) {
        return vb::Currency();
    }
}

void ShowCurrentRent(vb::Date month)
{
    frmStoreInfo* f = frmStoreInfo::IfLoaded();
    if (!f)
        return;
    vb::ResumeNext step;
    // The four figures are added in one statement: a figure that is not money
    // (one that could not be worked out shows none) or a sum beyond money
    // leaves the total at 0, never a sum that leaves a figure out.
    vb::Currency total;
    step([&] {
        vb::Currency sum;
        for (const int i : {3, 2, 1, 0}) {
            const std::optional<vb::Currency> amount = money(vb::Variant(f->lblRate(i).Caption()));
            if (!amount)
                vb::Raise(vb::kErrTypeMismatch);
            sum += *amount;
        }
        total = sum;
    });
    step([&] { f->lblCurRentDue.SetCaption(rentText(total)); });
    step([&] {
        const std::vector<std::string>& names = tv::Shell().g_MonthNames;
        f->lblCurRent.SetCaption(names.at(static_cast<size_t>(vb::Month(month) - 1)) + " " +
                                 std::to_string(vb::Year(month)) + " Rent:");
    });
}

} // namespace Mod_StoreInfo
