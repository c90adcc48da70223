#include "program/reports/Mod_Report_Builder.h"

#include "platform/basic/App.h"
#include "platform/testing/Screenshots.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/ReportsTestSupport.h"
#include "tools/DatabaseBuilder.h"

#include <QTextDocument>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace Mod_Report;

ReportSettings settings(std::string length = "Three Months", std::string years = "2002;2003",
                        std::string sort = "ASC")
{
    ReportSettings s;
    s.Length = std::move(length);
    s.Years = std::move(years);
    s.SortOrder = std::move(sort);
    return s;
}

class ReportBuilderTest : public ::testing::Test {
protected:
    fs::path tempHtm() const { return world.root.ProgramFolder() / "temp.htm"; }
    std::string build(std::string_view key, const ReportSettings& s)
    {
        std::string why;
        EXPECT_TRUE(GenerateReport(key, s, &why)) << key << ": " << why;
        return reporttest::ReadFile(tempHtm());
    }
    static QString text(const std::string& html)
    {
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(html.c_str()));
        return doc.toPlainText();
    }

    reporttest::ReportWorld world;
};

TEST_F(ReportBuilderTest, DateLiteralsPeriodsAndYearClauses)
{
    EXPECT_EQ(JetDateLiteral(vb::DateSerial(2002, 5, 9)), "#2002-5-9#");
    EXPECT_EQ(JetDateLiteral(vb::DateSerial(2003, 12, 31)), "#2003-12-31#");
    const std::pair<const char*, int> periods[] = {{"One Month", 2}, {"Three Months", 3}, {"Six Months", 4},
                                                   {"1 Year", 5},    {"2 Years", 6},      {"5 Years", 7},
                                                   {"Custom", 8},    {"custom", 0},       {"Week", 0},
                                                   {"", 0}};
    for (auto [text, code] : periods)
        EXPECT_EQ(PeriodCode(text), code) << text;

    EXPECT_EQ(YearClause("Base", "2002;2003"), "(BaseRate.`Year` = 2002) OR (BaseRate.`Year` = 2003)");
    EXPECT_EQ(YearClause("Tax", "2003"), "(TaxRate.`Year` = 2003)");
    // Only four-digit years reach the SQL; nothing left means this year.
    EXPECT_EQ(YearClause("CAM", "2002) OR (1=1;abcd; 2004 ;20031;;"),
              "(CAMRate.`Year` = 2004)");
    EXPECT_EQ(YearClause("Percentage", ""), "(PercentageRate.`Year` = 2003)");
    EXPECT_EQ(YearClause("Base", "1=1"), "(BaseRate.`Year` = 2003)");
}

TEST_F(ReportBuilderTest, CommandTextsAsTheReportsNeedThem)
{
    EXPECT_EQ(ReportCommandText("BASE RATE", settings("", "2002;2003", "DESC")),
              "SHAPE {SELECT BaseRate.YearTotal, BaseRate.`Year`, Stores.StoreNumber, Stores.StoreName FROM BaseRate, "
              "Stores WHERE BaseRate.StoreID = Stores.StoreID AND ((BaseRate.`Year` = 2002) OR (BaseRate.`Year` = "
              "2003)) ORDER BY BaseRate.`Year` DESC, BaseRate.YearTotal }  AS cmdBaseRate COMPUTE cmdBaseRate BY "
              "'Year'");
    EXPECT_EQ(ReportCommandText("CAM RATE", settings("", "2003")),
              "SHAPE {SELECT CAMRate.YearTotal, CAMRate.`Year`, Stores.StoreNumber, Stores.StoreName FROM CAMRate, "
              "Stores WHERE CAMRate.StoreID = Stores.StoreID AND ((CAMRate.`Year` = 2003)) ORDER BY CAMRate.`Year` "
              "ASC, CAMRate.YearTotal }  AS cmdCAMRate COMPUTE cmdCAMRate BY 'Year'");
    EXPECT_EQ(ReportCommandText("PERCENTAGE RATE", settings("", "2002")),
              "SHAPE {SELECT Stores.StoreNumber, Stores.StoreName, PercentageRate.`Year`, PercentageRate.Rate, "
              "PercentageRate.BreakPoint, PercentageRate.PercentType FROM PercentageRate, Stores WHERE "
              "PercentageRate.StoreID = Stores.StoreID AND ((PercentageRate.`Year` = 2002)) ORDER BY "
              "PercentageRate.`Year` ASC, PercentageRate.PercentType }  AS cmdPerRate COMPUTE cmdPerRate BY 'Year'");
    // One month from 31 January 2003 ends on 28 February.
    EXPECT_EQ(ReportCommandText("LEASE EXPIRATION", settings("One Month")),
              "SELECT LeaseEndDate, City, StoreName, StoreNumber, TerminationNotice, State FROM Stores WHERE "
              "LeaseEndDate BETWEEN #2003-1-31# AND #2003-2-28# ORDER BY LeaseEndDate ASC");
    EXPECT_EQ(ReportCommandText("INSURANCE REMINDER", settings("Six Months", "", "DESC")),
              "SELECT InsuranceDate, StoreName, StoreNumber, InsuranceForReport FROM Stores WHERE InsuranceDate "
              "BETWEEN #2003-1-31# AND #2003-7-31# ORDER BY InsuranceDate DESC");
    EXPECT_EQ(ReportCommandText("RENEWAL REMINDER", settings("Whatever")),
              "SELECT RenewalDate, StoreName, StoreNumber, RenewalForReport FROM Stores WHERE RenewalDate BETWEEN "
              "#2003-1-31# AND #2003-1-31# ORDER BY RenewalDate ASC");
    EXPECT_EQ(ReportCommandText("OTHER REMINDER", settings("1 Year")),
              "SELECT OtherDate, StoreName, StoreNumber, OtherForReport FROM Stores WHERE OtherDate BETWEEN "
              "#2003-1-31# AND #2004-1-31# ORDER BY OtherDate ASC");
    EXPECT_EQ(ReportCommandText("LEASE TERM", settings()), "SELECT InitialTerm, StoreName, StoreNumber FROM Stores");
    EXPECT_EQ(ReportCommandText("LANDLORD", settings()), "");
    // A sort order from the settings file is never spliced as it stands.
    EXPECT_TRUE(ReportCommandText("OTHER REMINDER", settings("1 Year", "", "DESC; DELETE FROM Stores"))
                    .ends_with("ORDER BY OtherDate ASC"));
    EXPECT_THROW(ReportCommandText("base rate", settings()), vb::RuntimeError);
}

TEST_F(ReportBuilderTest, HeadingColourFromTheRegistryWhiteWhenMissing)
{
    EXPECT_EQ(HeadingColor(), 0xFFFFFFu);
    reporttest::ReportWorld::SetHeadingColor(0);
    EXPECT_EQ(HeadingColor(), 0u); // an explicit black stays black
    reporttest::ReportWorld::SetHeadingColor(0x0000FF);
    EXPECT_EQ(HeadingColor(), 0x0000FFu);

    const std::string html = build("TAX RATE", settings());
    EXPECT_NE(html.find("bgcolor=\"#FF0000\""), std::string::npos);
    EXPECT_EQ(tv::Reports().g_CurrentDataReport, &report::TaxRateReport());
    EXPECT_TRUE(tv::Reports().g_ReportExportDone);
}

TEST_F(ReportBuilderTest, RateYearsSortAndDateRangesSelectTheRightRows)
{
    // DESC: 2003 before 2002; inside a year the smallest total first.
    QString t = text(build("BASE RATE", settings("", "2002;2003", "DESC")));
    const auto at = [&](const char* s) { return t.indexOf(QString::fromUtf8(s)); };
    ASSERT_GE(at("2003"), 0);
    EXPECT_LT(at("2003"), at("2002"));
    EXPECT_LT(at("$6,000.00"), at("$14,400.50"));
    EXPECT_LT(at("-$1,234.50"), at("$13,200.00"));
    EXPECT_EQ(at("$12,000.00"), -1) << "2001 is not selected";

    // One month from 31 Jan 2003: only the lease ending 15 Feb; 30 Jan is past.
    t = text(build("LEASE EXPIRATION", settings("One Month")));
    EXPECT_TRUE(t.contains("Harbor Point"));
    EXPECT_FALSE(t.contains("Riverside") || t.contains("Desert Sun") || t.contains(QString::fromUtf8("Café")));
    // Three months: both ends included (30 April).
    t = text(build("LEASE EXPIRATION", settings("Three Months", "", "DESC")));
    EXPECT_TRUE(t.contains("4/30/2003"));
    EXPECT_LT(t.indexOf("4/30/2003"), t.indexOf("2/15/2003"));
    // Today's insurance date is in the period.
    EXPECT_TRUE(text(build("INSURANCE REMINDER", settings("One Month"))).contains("1/31/2003"));
}

TEST_F(ReportBuilderTest, FailureLeavesNoReportBehind)
{
    const fs::path folder = world.root.ProgramFolder();
    for (const char* name : {"temp.htm", "temp.htm.tmp", "temp.htm.bup"})
        std::ofstream(folder / name) << "old";
    build("LEASE TERM", settings());
    EXPECT_FALSE(fs::exists(folder / "temp.htm.tmp"));
    EXPECT_FALSE(fs::exists(folder / "temp.htm.bup"));

    // The database in use is gone: false, and no stale temp.htm to deliver.
    fs::rename(folder / "Tallyvane.mdb", folder / "moved.mdb");
    report::ResetDataEnvironment1();
    std::string why;
    EXPECT_FALSE(GenerateReport("LEASE TERM", settings(), &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(fs::exists(folder / "temp.htm"));
    EXPECT_FALSE(GenerateReport("NO SUCH REPORT", settings(), &why));

    // Another database in use: the report follows it.
    tv::Shell().g_DatabaseFileName = "moved.mdb";
    EXPECT_TRUE(GenerateReport("LEASE TERM", settings(), &why)) << why;
}

TEST_F(ReportBuilderTest, ScreensBuildFromTheCurrentRecord)
{
    tv::Reports().g_CurrentReportSettings = settings("", "2002", "ASC");
    ASSERT_TRUE(GenerateReport("CAM RATE"));
    const QString t = text(reporttest::ReadFile(tempHtm()));
    EXPECT_TRUE(t.contains("$900.00") && !t.contains("$1,320.00"));
}

// The ten reports over the fixed database and clock, against the reviewed
// files in testdata/golden. TV_UPDATE_GOLDEN=1 rewrites them. Each is also
// drawn as the preview, the printer and the mail draw it (QTextDocument):
// the title band shows in the heading colour.
TEST_F(ReportBuilderTest, TenReportsMatchTheirGoldenFiles)
{
    reporttest::ReportWorld::SetHeadingColor(0xF0D0A0); // a light blue title band
    const QRgb band = qRgb(0xA0, 0xD0, 0xF0);
    const fs::path golden = TV_REPORT_GOLDEN;
    const bool update = std::getenv("TV_UPDATE_GOLDEN") != nullptr;
    for (const auto& k : kReportKeys) {
        const std::string html = build(k.key, settings("Six Months", "2002;2003", "ASC"));
        const fs::path file = golden / (std::string(k.displayName) + ".htm");
        if (update) {
            fs::create_directories(golden);
            std::ofstream(file, std::ios::binary) << html;
        }
        EXPECT_EQ(html, reporttest::ReadFile(file)) << k.key << " differs from " << file;
        const QImage picture = reporttest::RenderToImage(html);
        const QRect top(0, 0, picture.width(), std::min(picture.height(), 150));
        EXPECT_GT(tv::testing::PixelsOfColour(picture, top, band), picture.width() * 10) << k.key;
        tv::testing::SaveScreenshot(picture, QString::fromStdString(std::string(k.displayName)));
    }
}

TEST_F(ReportBuilderTest, TenReportsBuildOnTheExampleDatabase)
{
    const fs::path example = world.root.ProgramFolder() / "Tallyvane_ExampleDB.mdb";
    tv::tools::BuildDatabase(example, tv::tools::ReadTextFile(fs::path(TV_DATA_DIR) / "schema.sql"),
                             tv::tools::ReadTextFile(fs::path(TV_DATA_DIR) / "example.sql"), {2003, 1, 31});
    tv::Shell().g_DatabaseFileName = "Tallyvane_ExampleDB.mdb";
    const int year = vb::Year(vb::Today());
    const std::string years = std::to_string(year) + ";" + std::to_string(year + 1);
    int rows = 0;
    for (const auto& k : kReportKeys) {
        const QString t = text(build(k.key, settings("5 Years", years, "DESC")));
        EXPECT_TRUE(t.contains(QString::fromStdString(report::BaseRateReport().Title())) || !t.isEmpty());
        rows += t.count('\n');
    }
    EXPECT_GT(rows, 100);
}

// A report that cannot be built says why, in words that name what failed,
// and leaves no page behind to deliver.
TEST_F(ReportBuilderTest, AReportThatCannotBeBuiltSaysWhyAndLeavesNoPage)
{
    const fs::path db = world.root.ProgramFolder() / "Tallyvane.mdb";
    struct Case {
        const char* name;
        std::function<void()> spoil;
        const char* key;
        std::vector<std::string> told;
    };
    const Case cases[] = {
        {"an amount beyond what money holds",
         [&] { reporttest::ExecSql(db, "UPDATE BaseRate SET YearTotal = 1e300 WHERE StoreID = 1 AND Year = 2002"); },
         "BASE RATE",
         {"The YearTotal of store 101 (Harbor Point) cannot be shown: it is beyond what an amount can hold."}},
        {"amounts whose total is beyond what money holds",
         [&] { reporttest::ExecSql(db, "UPDATE TaxRate SET YearTotal = 900000000000000 WHERE Year = 2003"); },
         "TAX RATE",
         {"The total of YearTotal cannot be shown: it is beyond what an amount can hold."}},
        {"a date that is no date",
         [&] { reporttest::ExecSql(db, "UPDATE Stores SET LeaseEndDate = '2003-02-15 junk' WHERE StoreID = 1"); },
         "LEASE EXPIRATION",
         {"The LeaseEndDate of store 101 (Harbor Point) cannot be shown"}},
        {"no Stores table", [&] { reporttest::ExecSql(db, "DROP TABLE Stores"); }, "LANDLORD",
         {"no such table: Stores"}},
        {"a damaged page under the Stores table", [&] { reporttest::DamageTablePage(db, "Stores"); }, "LEASE TERM",
         {"is damaged", "malformed"}},
    };
    for (const Case& c : cases) {
        report::ResetDataEnvironment1();
        reporttest::BuildFixtureDatabase(db, TV_DATA_DIR, TV_REPORT_FIXTURE);
        build(c.key, settings("Six Months"));
        report::ResetDataEnvironment1();
        c.spoil();
        std::string why;
        EXPECT_FALSE(GenerateReport(c.key, settings("Six Months"), &why)) << c.name;
        for (const std::string& part : c.told)
            EXPECT_NE(why.find(part), std::string::npos) << c.name << ": " << why;
        EXPECT_FALSE(fs::exists(tempHtm())) << c.name;
    }
}

// The page cannot be written (a full disk, a folder that may only be read),
// or the page of an earlier report cannot be removed: said with its name.
TEST_F(ReportBuilderTest, APageThatCannotBeWrittenIsSaidWithItsName)
{
    build("LEASE TERM", settings());
    for (const bool earlierPage : {true, false}) {
        if (!earlierPage)
            fs::remove(tempHtm());
        std::string why;
        {
            reporttest::UnwritableFolder readOnly(world.root, world.root.ProgramFolder());
            EXPECT_FALSE(GenerateReport("LEASE TERM", settings(), &why));
        }
        EXPECT_NE(why.find(earlierPage ? "cannot be removed" : "cannot be written"), std::string::npos) << why;
        EXPECT_NE(why.find(tempHtm().string()), std::string::npos) << why;
        EXPECT_NE(why.find("Permission denied"), std::string::npos) << why;
    }
    EXPECT_FALSE(fs::exists(tempHtm()));
}

} // namespace
