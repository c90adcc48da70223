// The ten report designs: title, bound command, grouping, captions, fields,
// formats and totals.

#include "platform/report/DataEnvironment.h"
#include "platform/report/DataReport.h"

#include <memory>

namespace report {

namespace {

using F = FieldFormat;
using G = ReportLayout::Grouping;

ReportLayout rateLayout(const char* title, const char* chapter, std::vector<ReportColumn> columns,
                        const char* subTotal, const char* grandTotal)
{
    ReportLayout l;
    l.title = title;
    l.grouping = G::Compute;
    l.chapterField = chapter;
    l.groupField = "Year";
    l.columns = std::move(columns);
    l.totalField = "YearTotal";
    l.subTotalLabel = subTotal;
    l.grandTotalLabel = grandTotal;
    return l;
}

ReportLayout listLayout(const char* title, std::vector<ReportColumn> columns)
{
    ReportLayout l;
    l.title = title;
    l.columns = std::move(columns);
    return l;
}

ReportLayout landLordLayout()
{
    ReportLayout l;
    l.title = "LandLord Report";
    l.grouping = G::Append;
    l.chapterField = "cmdStores";
    l.groupHeader = {
        {"", {"Company"}},  {"", {"Street"}}, {"", {"City", "State", "ZipCode"}},
        {"", {"Contact"}},  {"Phone:", {"Phone"}}, {"Fax:", {"Fax"}},
    };
    l.columns = {{"Store Name", "StoreName", F::Text, false, 40},
                 {"City", "City", F::Text, false, 30},
                 {"State", "State", F::Text, false, 12},
                 {"Zip Code", "ZipCode", F::Text, false, 18}};
    l.showCaptions = false;
    return l;
}

struct Design {
    const char* name;
    int command;
    ReportLayout (*layout)();
};

const Design kDesigns[] = {
    {"LeaseExpirationReport", kCmdLeaseReport,
     [] {
         return listLayout("Lease Expiration Report", {{"Store #", "StoreNumber", F::Text, false, 9},
                                                       {"Store Name", "StoreName", F::Text, false, 20},
                                                       {"End Date", "LeaseEndDate", F::Date, false, 12},
                                                       {"Termination Notice Information", "TerminationNotice",
                                                        F::Text, false, 33},
                                                       {"City", "City", F::Text, false, 18},
                                                       {"State", "State", F::Text, false, 8}});
     }},
    {"BaseRateReport", kCmdBaseRate,
     [] {
         return rateLayout("Base Rate Report", "cmdBaseRate",
                           {{"Year", "Year", F::Text, false, 12},
                            {"Store #", "StoreNumber", F::Text, false, 12},
                            {"Store Name", "StoreName", F::Text, false, 46},
                            {"Year Total", "YearTotal", F::Money, true, 30}},
                           "SubTotal:", "Grand Total:");
     }},
    {"CAMRateReport", kCmdCAMRate,
     [] {
         return rateLayout("C.A.M Rate Report", "cmdCAMRate",
                           {{"Year", "Year", F::Text, false, 12},
                            {"Store Name", "StoreName", F::Text, false, 46},
                            {"Store #", "StoreNumber", F::Text, false, 12},
                            {"Year Total", "YearTotal", F::Money, true, 30}},
                           "SubTotal", "Grand Total");
     }},
    {"TaxRateReport", kCmdTaxRate,
     [] {
         return rateLayout("Tax Rate Report", "cmdTaxRate",
                           {{"Year", "Year", F::Text, false, 12},
                            {"Store #", "StoreNumber", F::Text, false, 12},
                            {"Store Name", "StoreName", F::Text, false, 46},
                            {"Year Total", "YearTotal", F::Money, true, 30}},
                           "SubTotal:", "Grand Total:");
     }},
    {"PercentageRateReport", kCmdPerRate,
     [] {
         ReportLayout l = rateLayout("Percentage Rate Report", "cmdPerRate",
                                     {{"Year", "Year", F::Text, false, 10},
                                      {"Store #", "StoreNumber", F::Text, false, 10},
                                      {"Store Name", "StoreName", F::Text, false, 30},
                                      {"Percent Type", "PercentType", F::Text, false, 18},
                                      {"Rate", "Rate", F::Text, true, 14},
                                      {"BreakPoint", "BreakPoint", F::Money, true, 18}},
                                     "", "");
         l.totalField.clear();
         return l;
     }},
    {"RenewalReport", kCmdRenewal,
     [] {
         return listLayout("Renewal Reminder Report", {{"Store #", "StoreNumber", F::Text, false, 10},
                                                       {"Store Name", "StoreName", F::Text, false, 25},
                                                       {"Date", "RenewalDate", F::Date, false, 13},
                                                       {"Renewal Information", "RenewalForReport", F::Text, false, 52}});
     }},
    {"InsuranceReport", kCmdInsurance,
     [] {
         return listLayout("Insurance Reminder Report",
                           {{"Store #", "StoreNumber", F::Text, false, 10},
                            {"Store Name", "StoreName", F::Text, false, 25},
                            {"Date", "InsuranceDate", F::Date, false, 13},
                            {"Insurance Information", "InsuranceForReport", F::Text, false, 52}});
     }},
    {"OtherReport", kCmdOther,
     [] {
         return listLayout("Other Reminder Report", {{"Store #", "StoreNumber", F::Text, false, 10},
                                                     {"Store Name", "StoreName", F::Text, false, 25},
                                                     {"Date", "OtherDate", F::Date, false, 13},
                                                     {"Other Information", "OtherForReport", F::Text, false, 52}});
     }},
    {"LeaseTermReport", kCmdLeaseTerm,
     [] {
         return listLayout("Lease Length Report", {{"Store #", "StoreNumber", F::Text, false, 15},
                                                   {"Store Name", "StoreName", F::Text, false, 55},
                                                   {"Length of Lease", "InitialTerm", F::Years, false, 30}});
     }},
    {"LandLordReport", kCmdLandLord, [] { return landLordLayout(); }},
};

constexpr size_t kReportCount = sizeof kDesigns / sizeof kDesigns[0];

std::unique_ptr<DataReport>& slot(size_t i)
{
    static std::unique_ptr<DataReport> reports[kReportCount];
    return reports[i];
}

DataReport& report(size_t i)
{
    if (!slot(i))
        slot(i) = std::make_unique<DataReport>(kDesigns[i].name, kDesigns[i].command, kDesigns[i].layout());
    return *slot(i);
}

} // namespace

DataReport& LeaseExpirationReport() { return report(0); }
DataReport& BaseRateReport() { return report(1); }
DataReport& CAMRateReport() { return report(2); }
DataReport& TaxRateReport() { return report(3); }
DataReport& PercentageRateReport() { return report(4); }
DataReport& RenewalReport() { return report(5); }
DataReport& InsuranceReport() { return report(6); }
DataReport& OtherReport() { return report(7); }
DataReport& LeaseTermReport() { return report(8); }
DataReport& LandLordReport() { return report(9); }

void ResetReports()
{
    for (size_t i = 0; i < kReportCount; ++i)
        slot(i).reset();
}

} // namespace report
