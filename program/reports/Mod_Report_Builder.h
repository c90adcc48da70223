#pragma once
// The report builder: one report key and a settings record turned into the
// report's query, the heading colour on its title, and the report exported
// as HTML to "temp.htm" in the program folder, complete when the call
// returns.

#include "program/reports/ReportSettings.h"

#include "platform/basic/DateTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace report {
class DataReport;
}

namespace Mod_Report {

inline constexpr const char* kTempReportFileName = "temp.htm";

// "#yyyy-m-d#", without leading zeros: 9 May 2002 gives "#2002-5-9#".
std::string JetDateLiteral(vb::Date date);

// The Length texts of the date reports, in the order the report window
// lists them, each with its period code.
struct ReportPeriod {
    std::string_view text;
    int16_t code;
};
inline constexpr ReportPeriod kReportPeriods[] = {{"One Month", 2}, {"Three Months", 3}, {"Six Months", 4},
                                                  {"1 Year", 5},    {"2 Years", 6},      {"5 Years", 7},
                                                  {"Custom", 8}};

// The period code of a Length text (kReportPeriods, anything else 0);
// exact, case-sensitive.
int16_t PeriodCode(std::string_view length);

// "(<stem>Rate.`Year` = y) OR ..." for every four-digit year of the ";"
// list, in list order; anything else in the list is left out, and a list
// with no year left gives the current year.
std::string YearClause(std::string_view tableStem, std::string_view years);

// The report's command text from the settings (Length, Years, SortOrder);
// "" for the landlord report, whose command keeps its text. A sort order
// other than "ASC" or "DESC" is taken as "ASC". 5 for an unknown key.
std::string ReportCommandText(std::string_view key, const ReportSettings& settings);

// The report designer of a key and the index of its command; 5 for an
// unknown key.
report::DataReport& ReportDesigner(std::string_view key);
int CommandIndex(std::string_view key);

// The registry's heading colour (&HBBGGRR); white when it is missing or not a number.
uint32_t HeadingColor();
// A colour value of the reports' registry key ("HeadingColor", "RowColor");
// white when it is missing or not a number.
uint32_t StoredColor(std::string_view valueName);

// Points the report data environment at the database in use (the program
// folder's g_DatabaseFileName); a connection open on another file is closed.
void ConnectDataEnvironment();

// Builds the report of key from settings into "temp.htm" in the program
// folder. Old "temp.htm", "temp.htm.tmp" and "temp.htm.bup" are deleted
// first, so a false result never leaves an earlier report behind. Returns
// whether the file now holds this report; why it failed goes to error.
bool GenerateReport(std::string_view key, const ReportSettings& settings, std::string* error = nullptr);
// The same from g_CurrentReportSettings (the screens' record).
bool GenerateReport(std::string_view key);

} // namespace Mod_Report
