#include "platform/report/DataReport.h"

#include "platform/ado/Connection.h"
#include "platform/ado/JetSql.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/DateTime.h"
#include "platform/basic/Format.h"
#include "platform/basic/Variant.h"
#include "platform/forms/CommonDialog.h"
#include "platform/forms/Printer.h"
#include "platform/report/DataEnvironment.h"
#include "platform/report/ReportPrinter.h"
#include "platform/report/ReportTestSupport.h"
#include "platform/testing/TempRoot.h"

#include <QTextDocument>
#include <QTextTable>

#include <gtest/gtest.h>

namespace {

using reporttest::ReadFile;

class DataReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        report::ResetDataEnvironment1();
        report::ResetReports();
        db = root.ProgramFolder() / "Reports.mdb";
        reporttest::BuildFixtureDatabase(db, TV_DATA_DIR, TV_REPORT_FIXTURE);
        report::DataEnvironment1().Connect(db);
    }
    void TearDown() override
    {
        report::ResetDataEnvironment1();
        report::ResetReports();
        report::SetPrintPort(nullptr);
        forms::SetDialogPort(nullptr);
        forms::Printer().SetDeviceName("");
        ado::SetCommandTextHandler(nullptr);
    }

    static QString plainText(const std::string& html)
    {
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(html.c_str()));
        return doc.toPlainText();
    }

    tv::testing::TempRoot root;
    std::filesystem::path db;
};

// A detail cell escapes the HTML characters and turns every kind of line
// break (CR LF, CR, LF) into one <br>; numbers show as text.
TEST_F(DataReportTest, DetailTextsEscapeAndBreakTheirLines)
{
    ado::RowSet rows;
    rows.columns = {{"Note", ado::ColumnType::Text}, {"Count", ado::ColumnType::Integer}};
    rows.AddRow({std::string("a\r\nb\rc\nd\n\re & <f> \"g\"\r"), int64_t{7}});
    rows.AddRow({std::string("plain"), ado::Cell{}});
    ado::RecordsetPtr rs = ado::Recordset::Create();
    rs->OpenRowSet(std::move(rows), nullptr);
    report::ReportLayout layout;
    layout.columns = {{"Note", "Note", report::FieldFormat::Text, false, 50},
                      {"Count", "Count", report::FieldFormat::Text, true, 50}};
    const std::string html = report::RenderReportHtml(layout, {"lblTitle", "Notes"}, *rs);
    EXPECT_NE(html.find("<tr>\r\n<td>a<br>b<br>c<br>d<br><br>e &amp; &lt;f&gt; &quot;g&quot;<br></td>\r\n"
                        "<td align=\"right\">7</td>\r\n</tr>\r\n"
                        "<tr>\r\n<td>plain</td>\r\n<td align=\"right\"></td>\r\n</tr>\r\n"),
              std::string::npos)
        << html;
}

TEST_F(DataReportTest, ColoursAndEscapes)
{
    EXPECT_EQ(report::HtmlColor(0x0000FF), "#FF0000"); // &HBBGGRR: red
    EXPECT_EQ(report::HtmlColor(0xC08040), "#4080C0");
    EXPECT_EQ(report::HtmlColor(0), "#000000");
    EXPECT_EQ(report::HtmlColor(0x8000000F), "#FFFFFF"); // a system colour
    EXPECT_EQ(report::HtmlColor(0x8000000F, "#ABCDEF"), "#ABCDEF");
    EXPECT_EQ(report::HtmlEscape("a<b>&\"c\"'"), "a&lt;b&gt;&amp;&quot;c&quot;'");

    // Money as the runtime's Format shows it, for every kind of amount.
    std::vector<int64_t> raws = {0, 1, 49, 50, 51, 99, 150, -50, -49, -51, -12345000, 9999949, 9999950,
                                 123456789012345, -922337203685477580, 922337203685477580};
    for (int64_t r = -200000; r <= 200000; r += 37)
        raws.push_back(r * 1013);
    for (int64_t raw : raws) {
        const vb::Currency c = vb::Currency::FromRaw(raw);
        EXPECT_EQ(report::MoneyText(c), vb::Format(vb::Variant(c), "$#,##0.00")) << raw;
    }
}

TEST_F(DataReportTest, RateReportGroupsSumsAndFormatsMoney)
{
    auto& r = report::BaseRateReport();
    EXPECT_EQ(r.Title(), "Base Rate Report");
    EXPECT_EQ(r.Sections(1).Controls(1).BackColor, 0xFFFFFFu); // white until the builder colours it
    r.Sections(1).Controls(1).BackColor = 0x0000FF;
    const std::string html = r.RenderHtml(); // design text: every year, ascending
    EXPECT_NE(html.find("bgcolor=\"#FF0000\""), std::string::npos);
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    // One element per line: no line grows long.
    size_t longest = 0, start = 0;
    for (size_t nl = html.find("\r\n"); nl != std::string::npos; start = nl + 2, nl = html.find("\r\n", start))
        longest = std::max(longest, nl - start);
    EXPECT_LT(longest, 300u);

    const QString text = plainText(html);
    for (const char* expected : {"Base Rate Report", "Year", "Store #", "Store Name", "Year Total", "2001", "2002",
                                 "2003", "SubTotal:", "Grand Total:", "$12,000.00", "-$1,234.50", "$14,400.50",
                                 "Riverside \"Plaza\" <East> & Co"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    // 2002: 13200 + 24000 - 1234.5; all years: 12000 + 35965.5 + 45600.5.
    EXPECT_TRUE(text.contains("$35,965.50"));
    EXPECT_TRUE(text.contains("$93,566.00"));
    // The captions are the table's header row, repeated on every printed page.
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(html.c_str()));
    int headerRows = -1;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (auto* table = qobject_cast<QTextTable*>(QTextCursor(b).currentTable()); table && headerRows < 0
            && table->columns() == 4)
            headerRows = table->format().headerRowCount();
    EXPECT_EQ(headerRows, 1);

    // CAM labels have no colon; percentage report has no totals.
    const QString cam = plainText(report::CAMRateReport().RenderHtml());
    EXPECT_TRUE(cam.contains("C.A.M Rate Report") && cam.contains("SubTotal\n") && cam.contains("Grand Total\n"));
    const QString per = plainText(report::PercentageRateReport().RenderHtml());
    EXPECT_TRUE(per.contains("5.000%") && per.contains("$1,500,000.50") && per.contains("Percent Type"));
    EXPECT_FALSE(per.contains("Total"));
}

TEST_F(DataReportTest, ListAndLandlordReports)
{
    const QString term = plainText(report::LeaseTermReport().RenderHtml());
    EXPECT_TRUE(term.contains("Lease Length Report") && term.contains("10 years") && term.contains("Length of Lease"));
    EXPECT_TRUE(term.contains(QString::fromUtf8("Café Nord")));
    EXPECT_FALSE(term.contains("null years")) << "a missing term shows nothing";

    const QString lease = plainText(report::LeaseExpirationReport().RenderHtml());
    EXPECT_TRUE(lease.contains("2/15/2003") && lease.contains("Notice by <certified> mail & e-mail"));

    const std::string llHtml = report::LandLordReport().RenderHtml();
    const QString ll = plainText(llHtml);
    EXPECT_TRUE(ll.contains("LandLord Report"));
    EXPECT_TRUE(ll.contains("400 Commerce Way\u2028Suite 1200") || ll.contains("400 Commerce Way\nSuite 1200"));
    EXPECT_TRUE(ll.contains("Seattle, WA 98101"));
    EXPECT_TRUE(ll.contains("Phone: (206) 555-0148") && ll.contains("Fax: (206) 555-0149"));
    EXPECT_TRUE(ll.contains("O'Brien Realty <Partners>"));
    EXPECT_TRUE(ll.contains("Granite Peak Management"));
    EXPECT_FALSE(ll.contains(QString::fromUtf8("Café Nord"))) << "a store of landlord 0 is in no group";
    EXPECT_EQ(ll.count("Fax:"), 1) << "a company without a fax number shows no fax line";
}

TEST_F(DataReportTest, ExportWritesWholeFilesOrNothing)
{
    auto& r = report::LeaseTermReport();
    const auto out = root.ProgramFolder() / "temp.htm";
    ASSERT_TRUE(r.ExportReport(report::kFormatHtml, out, true, false, report::rptRangeAllPages)) << r.LastError();
    const std::string first = ReadFile(out);
    EXPECT_EQ(first, r.RenderHtml());

    // No overwrite: refused, file kept.
    EXPECT_FALSE(r.ExportReport(report::kFormatHtml, out, false, false));
    EXPECT_FALSE(r.LastError().empty());
    // Another format: refused.
    EXPECT_FALSE(r.ExportReport("key_def_Text", root.ProgramFolder() / "x.txt", true, false));
    EXPECT_FALSE(std::filesystem::exists(root.ProgramFolder() / "x.txt"));
    // A command the database refuses: false with the reason, the old file untouched.
    report::DataEnvironment1().Commands(report::kCmdLeaseTerm).CommandText = "SELECT Nope FROM Stores";
    EXPECT_FALSE(r.ExportReport(report::kFormatHtml, out, true, false));
    EXPECT_NE(r.LastError().find("Nope"), std::string::npos) << r.LastError();
    EXPECT_EQ(ReadFile(out), first);
    // A folder that does not exist.
    report::ResetDataEnvironment1();
    report::DataEnvironment1().Connect(db);
    EXPECT_FALSE(r.ExportReport(report::kFormatHtml, root.ProgramFolder() / "gone" / "temp.htm", true, false));
    // A database file that is not there.
    report::DataEnvironment1().Connect(root.ProgramFolder() / "missing.mdb");
    EXPECT_FALSE(r.ExportReport(report::kFormatHtml, out, true, false));
    EXPECT_NE(r.LastError().find("missing.mdb"), std::string::npos) << r.LastError();
    EXPECT_FALSE(std::filesystem::exists(root.ProgramFolder() / "missing.mdb"));
}

TEST_F(DataReportTest, PrintsToPdfOnTheChosenPrinter)
{
    auto dialogs = std::make_shared<forms::ScriptedDialogs>();
    dialogs->printers = {"Office", "Front Desk"};
    forms::SetDialogPort(dialogs);
    forms::Printer().SetDeviceName("");
    auto port = std::make_shared<report::PdfPrintPort>(root.Path().string());
    report::SetPrintPort(port);
    EXPECT_EQ(report::CurrentPrinter(), "Office");
    EXPECT_EQ(report::ResolvePrinter("Front Desk"), "Front Desk");
    EXPECT_EQ(report::ResolvePrinter("HP LaserJet 4 on LPT1:"), "Office");

    // No dialog: the current printer.
    ASSERT_TRUE(report::BaseRateReport().PrintReport(false)) << report::BaseRateReport().LastError();
    ASSERT_EQ(port->jobs.size(), 1u);
    EXPECT_EQ(port->jobs[0].first, "Office");
    EXPECT_GE(reporttest::PdfPageCount(ReadFile(port->jobs[0].second)), 1);

    // The dialog's choice becomes the current printer; Cancel prints nothing.
    dialogs->printerChoices = {std::string("Front Desk"), std::nullopt};
    ASSERT_TRUE(report::LandLordReport().PrintReport(true));
    EXPECT_EQ(port->jobs.back().first, "Front Desk");
    EXPECT_EQ(report::CurrentPrinter(), "Front Desk");
    EXPECT_FALSE(report::LandLordReport().PrintReport(true));
    EXPECT_EQ(port->jobs.size(), 2u);

    // A long report runs over several pages.
    std::string rows;
    for (int i = 0; i < 400; ++i)
        rows += "<tr><td>row " + std::to_string(i) + "</td></tr>\r\n";
    ASSERT_TRUE(report::PrintHtml("<html><body><table>" + rows + "</table></body></html>", ""));
    EXPECT_GT(reporttest::PdfPageCount(ReadFile(port->jobs.back().second)), 1);

    // No printer at all.
    dialogs->printers.clear();
    std::string why;
    EXPECT_FALSE(report::PrintHtml("<p>x</p>", "", &why));
    EXPECT_FALSE(why.empty());
}

} // namespace
