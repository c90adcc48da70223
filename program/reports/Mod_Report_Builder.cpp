#include "program/reports/Mod_Report_Builder.h"

#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/basic/Variant.h"
#include "platform/report/DataEnvironment.h"
#include "platform/report/DataReport.h"
#include "program/reports/ReportsState.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/Mod_Registry.h"
#include "program/services/ShellState.h"

#include <cctype>
#include <filesystem>

namespace Mod_Report {

namespace fs = std::filesystem;

namespace {

struct Binding {
    std::string_view key;
    int command;
    report::DataReport& (*designer)();
    std::string_view tableStem; // rate reports only
};

const Binding kBindings[] = {
    {"LEASE EXPIRATION", report::kCmdLeaseReport, report::LeaseExpirationReport, ""},
    {"BASE RATE", report::kCmdBaseRate, report::BaseRateReport, "Base"},
    {"CAM RATE", report::kCmdCAMRate, report::CAMRateReport, "CAM"},
    {"TAX RATE", report::kCmdTaxRate, report::TaxRateReport, "Tax"},
    {"PERCENTAGE RATE", report::kCmdPerRate, report::PercentageRateReport, "Percentage"},
    {"RENEWAL REMINDER", report::kCmdRenewal, report::RenewalReport, ""},
    {"INSURANCE REMINDER", report::kCmdInsurance, report::InsuranceReport, ""},
    {"OTHER REMINDER", report::kCmdOther, report::OtherReport, ""},
    {"LEASE TERM", report::kCmdLeaseTerm, report::LeaseTermReport, ""},
    {"LANDLORD", report::kCmdLandLord, report::LandLordReport, ""},
};

const Binding& bindingOf(std::string_view key)
{
    for (const Binding& b : kBindings)
        if (b.key == key)
            return b;
    vb::Raise(vb::kErrInvalidCall, "\"" + std::string(key) + "\" is not a report.");
}

bool isFourDigitYear(std::string_view text)
{
    if (text.size() != 4)
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// The date reports: one date column selected between today and the period's end.
std::string dateQuery(std::string_view columns, std::string_view dateColumn, const ReportSettings& s,
                      std::string_view sortOrder)
{
    const std::string from = JetDateLiteral(vb::Today());
    const std::string to = JetDateLiteral(Mod_FTPData::GetPeriodEndDate(PeriodCode(s.Length)));
    return "SELECT " + std::string(columns) + " FROM Stores WHERE " + std::string(dateColumn) + " BETWEEN " + from
        + " AND " + to + " ORDER BY " + std::string(dateColumn) + " " + std::string(sortOrder);
}

std::string rateQuery(std::string_view stem, const ReportSettings& s, std::string_view sortOrder)
{
    const std::string t = std::string(stem) + "Rate";
    const std::string clause = YearClause(stem, s.Years);
    if (stem == "Percentage")
        return "SHAPE {SELECT Stores.StoreNumber, Stores.StoreName, PercentageRate.`Year`, PercentageRate.Rate, "
               "PercentageRate.BreakPoint, PercentageRate.PercentType FROM PercentageRate, Stores WHERE "
               "PercentageRate.StoreID = Stores.StoreID AND ("
            + clause + ") ORDER BY PercentageRate.`Year` " + std::string(sortOrder)
            + ", PercentageRate.PercentType }  AS cmdPerRate COMPUTE cmdPerRate BY 'Year'";
    const std::string child = "cmd" + t;
    return "SHAPE {SELECT " + t + ".YearTotal, " + t + ".`Year`, Stores.StoreNumber, Stores.StoreName FROM " + t
        + ", Stores WHERE " + t + ".StoreID = Stores.StoreID AND (" + clause + ") ORDER BY " + t + ".`Year` "
        + std::string(sortOrder) + ", " + t + ".YearTotal }  AS " + child + " COMPUTE " + child + " BY 'Year'";
}

void deleteIfThere(const fs::path& file)
{
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec)))
        return;
    try {
        vb::fso::DeleteFile(file);
    } catch (const vb::RuntimeError& e) {
        vb::Raise(e.Number(), "The old report page " + file.string() + " cannot be removed (" + e.Description() + ").");
    }
}

} // namespace

std::string JetDateLiteral(vb::Date date)
{
    return "#" + std::to_string(vb::Year(date)) + "-" + std::to_string(vb::Month(date)) + "-"
        + std::to_string(vb::Day(date)) + "#";
}

int16_t PeriodCode(std::string_view length)
{
    for (const ReportPeriod& p : kReportPeriods)
        if (p.text == length)
            return p.code;
    return 0;
}

std::string YearClause(std::string_view tableStem, std::string_view years)
{
    std::string clause;
    auto add = [&](std::string_view year) {
        if (!clause.empty())
            clause += " OR ";
        clause += "(" + std::string(tableStem) + "Rate.`Year` = " + std::string(year) + ")";
    };
    for (const std::string& piece : vb::Split(years, ";")) {
        const std::string y = vb::Trim(piece);
        if (isFourDigitYear(y))
            add(y);
    }
    if (clause.empty())
        add(std::to_string(vb::Year(vb::Today())));
    return clause;
}

std::string ReportCommandText(std::string_view key, const ReportSettings& s)
{
    const Binding& b = bindingOf(key);
    const std::string_view sortOrder = s.SortOrder == "DESC" ? "DESC" : "ASC";
    if (!b.tableStem.empty())
        return rateQuery(b.tableStem, s, sortOrder);
    if (key == "LEASE EXPIRATION")
        return dateQuery("LeaseEndDate, City, StoreName, StoreNumber, TerminationNotice, State", "LeaseEndDate", s,
                         sortOrder);
    if (key == "INSURANCE REMINDER")
        return dateQuery("InsuranceDate, StoreName, StoreNumber, InsuranceForReport", "InsuranceDate", s, sortOrder);
    if (key == "RENEWAL REMINDER")
        return dateQuery("RenewalDate, StoreName, StoreNumber, RenewalForReport", "RenewalDate", s, sortOrder);
    if (key == "OTHER REMINDER")
        return dateQuery("OtherDate, StoreName, StoreNumber, OtherForReport", "OtherDate", s, sortOrder);
    if (key == "LEASE TERM")
        return "SELECT InitialTerm, StoreName, StoreNumber FROM Stores";
    return {}; // LANDLORD keeps its text
}

report::DataReport& ReportDesigner(std::string_view key)
{
    return bindingOf(key).designer();
}

int CommandIndex(std::string_view key)
{
    return bindingOf(key).command;
}

uint32_t HeadingColor()
{
    return StoredColor("HeadingColor");
}

uint32_t StoredColor(std::string_view valueName)
{
    const std::string text =
        vb::Trim(Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kReportsKey, valueName));
    if (text.empty() || !vb::IsNumeric(vb::Variant(text)))
        return 0xFFFFFF;
    try {
        return static_cast<uint32_t>(vb::CLng(vb::Variant(text)));
    } catch (const vb::RuntimeError&) {
        return 0xFFFFFF;
    }
}

void ConnectDataEnvironment()
{
    report::DataEnvironment1().Connect(fs::path(vb::App::Path()) / tv::Shell().g_DatabaseFileName);
}

bool GenerateReport(std::string_view key, const ReportSettings& settings, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    auto& state = tv::Reports();
    try {
        const Binding& b = bindingOf(key);
        const uint32_t colour = HeadingColor();
        const std::string q = ReportCommandText(key, settings);

        const fs::path path = fs::path(vb::App::Path()) / kTempReportFileName;
        for (const char* suffix : {"", ".tmp", ".bup"})
            deleteIfThere(path.string() + suffix);

        report::DataReport& designer = b.designer();
        state.g_CurrentDataReport = &designer;
        state.g_ReportExportDone = false;
        report::DataEnvironment& de = report::DataEnvironment1();
        report::DECommand& command = de.Commands(b.command);
        if (command.Recordset->State() != ado::adStateClosed)
            command.Recordset->Close();
        if (!q.empty())
            command.CommandText = q;
        designer.Sections(1).Controls(1).BackColor = colour;

        if (tv::Shell().g_DatabaseFileName.empty() && de.Connection1->ConnectionString().empty())
            return fail("No database is in use.");
        if (!tv::Shell().g_DatabaseFileName.empty())
            ConnectDataEnvironment();
        const bool done = designer.ExportReport(report::kFormatHtml, path, true, false, report::rptRangeAllPages);
        state.g_ReportExportDone = true;
        if (!done)
            return fail(designer.LastError());
        return true;
    } catch (const vb::RuntimeError& e) {
        state.g_ReportExportDone = true;
        return fail(e.Description());
    }
}

bool GenerateReport(std::string_view key)
{
    const ReportSettings settings = tv::Reports().g_CurrentReportSettings;
    return GenerateReport(key, settings);
}

} // namespace Mod_Report
