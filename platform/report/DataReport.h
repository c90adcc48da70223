#pragma once
// The report designer stand-in: one report bound to a command of the data
// environment, laid out by its ReportLayout (title, grouping, captions,
// fields, formats, sub-totals and totals). ExportReport writes the report as
// HTML that QTextDocument renders, so one file previews in a text browser,
// prints and goes out by mail; PrintReport prints it through QPrinter. Both
// are synchronous.
//
// Sections(1).Controls(1) is the title label of the report header; its
// BackColor (&HBBGGRR) colours the title.
//
//   report::DataReport& r = report::BaseRateReport();
//   r.Sections(1).Controls(1).BackColor = 0xC0FFFF;
//   if (!r.ExportReport(report::kFormatHtml, "/path/temp.htm", true, false, report::rptRangeAllPages))
//       std::cerr << r.LastError();

#include "platform/ado/Ado.h"
#include "platform/basic/Currency.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace report {

inline constexpr const char* kFormatHtml = "key_def_HTML";
enum PageRange : int { rptRangeAllPages = 0, rptRangeFromTo = 1 };

// How a detail value is shown.
enum class FieldFormat {
    Text,     // as stored; line breaks kept
    Money,    // "$#,##0.00"
    Date,     // "M/d/yyyy"
    Years,    // the number followed by " years"
};

struct ReportColumn {
    std::string caption;
    std::string field;
    FieldFormat format = FieldFormat::Text;
    bool alignRight = false;
    int widthPercent = 0;
};

// A line of a group header: a label before the value ("Phone:") or none.
struct GroupLine {
    std::string label;
    std::vector<std::string> fields; // shown on one line, "City, State Zip" style
};

struct ReportLayout {
    std::string title;
    enum class Grouping { None, Compute, Append };
    Grouping grouping = Grouping::None;
    // The chapter column of the grouped rowset (cmdBaseRate, cmdStores).
    std::string chapterField;
    // Compute: the grouped value, shown in the first column's cell of the group header.
    std::string groupField;
    // Append: the lines of the group header, read from the parent row.
    std::vector<GroupLine> groupHeader;
    // The detail columns; with Compute the first is the group column (empty in detail rows).
    std::vector<ReportColumn> columns;
    bool showCaptions = true;
    // Summed money field, and the labels of the group and report totals ("" for none).
    std::string totalField;
    std::string subTotalLabel;
    std::string grandTotalLabel;
};

struct ReportControl {
    std::string Name;
    std::string Caption;
    uint32_t BackColor = 0xFFFFFF; // &HBBGGRR
    uint32_t ForeColor = 0x000000;
};

struct ReportSection {
    std::string Name;
    std::vector<ReportControl> controls;
    // 1-based; 9 when out of range.
    ReportControl& Controls(int index);
};

class DataReport {
public:
    DataReport(std::string name, int commandIndex, ReportLayout layout);
    DataReport(const DataReport&) = delete;
    DataReport& operator=(const DataReport&) = delete;

    const std::string& Name() const { return name_; }
    int DataMember() const { return commandIndex_; }
    const ReportLayout& Layout() const { return layout_; }
    std::string Title() const;

    // 1-based: 1 report header, 2 page header, 3 detail, 4 report footer, 5 page footer.
    ReportSection& Sections(int index);

    // Runs the bound command and writes the report to fileName as HTML
    // (format kFormatHtml only; the file is replaced through a temporary
    // file, never left half-written). showDialog and range are accepted as
    // the designer takes them: there is no dialog and every page is written.
    // Returns false, with LastError(), when the command fails, the format is
    // unknown, the file exists and overwrite is false, or it cannot be written.
    bool ExportReport(std::string_view formatKey, const std::filesystem::path& fileName, bool overwrite,
                      bool showDialog, int range = rptRangeAllPages);
    // Runs the bound command and prints every page: where the print dialog
    // sends it when showDialog, a printer or a PDF file (Cancel prints
    // nothing and returns false with kPrintCancelled), else on the current
    // printer (see ReportPrinter.h).
    bool PrintReport(bool showDialog, int range = rptRangeAllPages);

    // The report as HTML from the bound command's current text.
    std::string RenderHtml();

    const std::string& LastError() const { return lastError_; }

private:
    std::string name_;
    int commandIndex_;
    ReportLayout layout_;
    std::vector<ReportSection> sections_;
    std::string lastError_;
};

// The HTML of a layout over an open recordset (walked from its first row).
std::string RenderReportHtml(const ReportLayout& layout, const ReportControl& title, ado::Recordset& rows);
// "#RRGGBB" of an &HBBGGRR value; system colours (high bit set) give fallback.
std::string HtmlColor(uint32_t color, std::string_view fallback = "#FFFFFF");
// "$#,##0.00" of an amount ("-$1,234.50"), rounded as Format rounds.
std::string MoneyText(vb::Currency amount);
// Text made safe for HTML: & < > " escaped.
std::string HtmlEscape(std::string_view text);

// The ten reports, each one program-wide instance created on first use.
DataReport& LeaseExpirationReport();
DataReport& BaseRateReport();
DataReport& CAMRateReport();
DataReport& TaxRateReport();
DataReport& PercentageRateReport();
DataReport& RenewalReport();
DataReport& InsuranceReport();
DataReport& OtherReport();
DataReport& LeaseTermReport();
DataReport& LandLordReport();
// For tests: every report back to its design (title colour included).
void ResetReports();

} // namespace report
