#include "program/reports/frmReport.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/basic/Strings.h"
#include "platform/forms/CommonDialog.h"
#include "platform/report/DataEnvironment.h"
#include "platform/report/DataReport.h"
#include "platform/report/ReportPrinter.h"
#include "platform/win/Desktop.h"
#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/Mod_Report_Builder.h"
#include "program/reports/ReportsState.h"
#include "program/reports/ReportsTestSupport.h"
#include "program/reports/frmHeadingColor.h"
#include "program/services/Mod_Registry.h"
#include "program/services/ServicesTestSupport.h"

#include "platform/testing/Command.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Build {
    std::string key;
    ReportSettings settings;
};

class ReportScreen : public tv::testing::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        tv::ResetReportsState();
        // Writes a page naming the report and its options, and remembers each build.
        frmReport::SetBuilder([this](std::string_view key, const ReportSettings& settings, std::string* error) {
            builds.push_back({std::string(key), settings});
            std::ofstream(page()) << "<html><body><h1>" << key << "</h1><p>" << settings.Length << "|"
                                  << settings.Years << "|" << settings.SortOrder << "</p></body></html>";
            if (!buildsSucceed && error)
                *error = buildError;
            return buildsSucceed;
        });
    }
    void TearDown() override
    {
        forms::ResetForms();
        frmReport::SetBuilder(nullptr);
        forms::SetDialogPort(nullptr);
        report::SetPrintPort(nullptr);
        report::ResetDataEnvironment1();
        report::ResetReports();
        tv::ResetReportsState();
        ProgramFixture::TearDown();
    }

    fs::path page() const { return root.ProgramFolder() / "temp.htm"; }

    // The stored record of a report.
    ReportSettings stored(std::string_view key) const
    {
        return Mod_Report::ToReportSettings(Mod_Report::ReadReportSettings(root.ProgramFolder(), key));
    }
    void store(std::string_view key, const ReportSettings& settings) const
    {
        Mod_FileIO::WriteReportSettings(root.ProgramFolder(), key, Mod_Report::ToValues(settings));
    }

    static frmReport& open()
    {
        frmReport& screen = frmReport::Instance();
        screen.Show(forms::vbModeless);
        return screen;
    }

    std::vector<Build> builds;
    bool buildsSucceed = true;
    std::string buildError;
};

TEST_F(ReportScreen, OpensOnTheLeaseExpirationReportBuiltFromItsStoredRecord)
{
    ReportSettings lease = stored("LEASE EXPIRATION");
    lease.Length = "Six Months";
    lease.SortOrder = "DESC";
    store("LEASE EXPIRATION", lease);

    frmReport& screen = open();
    EXPECT_TRUE(tv::Reports().g_ReportScreenOpen);
    EXPECT_EQ(screen.Caption(), "Reports");
    ASSERT_EQ(builds.size(), 1u);
    EXPECT_EQ(builds[0].key, "LEASE EXPIRATION");
    EXPECT_EQ(builds[0].settings, lease);

    // Marked, with the period shown and the sort order checked.
    EXPECT_EQ(screen.smuiPanel(0).Items().Item("LEASE EXPIRATION").Image(), "SHOW");
    EXPECT_EQ(screen.smuiPanel(0).Items().Item("LEASE TERM").Image(), "");
    EXPECT_TRUE(screen.cboRptYears.Visible());
    EXPECT_FALSE(screen.lstRptYears.Visible());
    EXPECT_EQ(screen.cboRptYears.Text(), "Six Months");
    EXPECT_FALSE(screen.smuiMenuBar.Items().Find("ASC")->Checked());
    EXPECT_TRUE(screen.smuiMenuBar.Items().Find("DEC")->Checked());

    // The page shown is the one built.
    EXPECT_TRUE(screen.WebBrowser1.Visible());
    EXPECT_NE(screen.WebBrowser1.PlainText().find("Six Months|"), std::string::npos);

    // The year list covers 1990 to 2050; the texts stay as the users know them.
    ASSERT_EQ(screen.lstRptYears.ListCount(), 61);
    EXPECT_EQ(screen.lstRptYears.List(0), "1990");
    EXPECT_EQ(screen.lstRptYears.List(60), "2050");
    EXPECT_EQ(screen.lstRptYears.ToolTipText(), "Hold the CTRL key down to select multiple years.");
    EXPECT_EQ(screen.smuiPanel(0).Items().Item(0).Caption(), "Expriatino & Reminders");
    EXPECT_EQ(screen.smuiOptions.Groups().Item("MISC").Caption(), "Miscelleneous");
    // The side bar's own caption stands above its bars.
    QStringList sideBarTexts;
    for (const QLabel* label : screen.smuiOptions.Widget()->findChildren<QLabel*>())
        if (label->isVisible())
            sideBarTexts << label->text();
    EXPECT_TRUE(sideBarTexts.contains(QStringLiteral("Select Report"))) << sideBarTexts.join(',').toStdString();
    EXPECT_EQ(screen.smuiMenuBar.Items().Find("DEC")->Caption(), "Decending");
    EXPECT_FALSE(screen.smuiPanel(2).Items().Item("SALES").Visible());
}

TEST_F(ReportScreen, PeriodYearsAndSortOrderRebuildAndAreSavedWhenAnotherReportIsPicked)
{
    frmReport& screen = open();

    screen.cboRptYears.SetListIndex(6);
    EXPECT_EQ(screen.Settings.Length, "Custom");
    screen.MenuCommand("DEC");
    EXPECT_EQ(screen.Settings.SortOrder, "DESC");
    EXPECT_TRUE(screen.smuiMenuBar.Items().Find("DEC")->Checked());
    EXPECT_FALSE(screen.smuiMenuBar.Items().Find("ASC")->Checked());
    ASSERT_EQ(builds.size(), 3u);
    EXPECT_EQ(builds.back().settings.Length, "Custom");
    EXPECT_EQ(builds.back().settings.SortOrder, "DESC");
    // Not saved yet.
    EXPECT_NE(stored("LEASE EXPIRATION").Length, "Custom");

    // The first report's record is in the file before the second is built.
    ReportSettings leaseWhenBaseRateBuilt;
    frmReport::SetBuilder([&](std::string_view key, const ReportSettings& settings, std::string*) {
        builds.push_back({std::string(key), settings});
        leaseWhenBaseRateBuilt = stored("LEASE EXPIRATION");
        std::ofstream(page()) << "<html><body>" << key << "</body></html>";
        return true;
    });
    screen.smuiOptions.Choose("RATE");
    screen.smuiPanel(1).Choose("BASE RATE");
    EXPECT_EQ(builds.back().key, "BASE RATE");
    EXPECT_EQ(leaseWhenBaseRateBuilt.Length, "Custom");
    EXPECT_EQ(leaseWhenBaseRateBuilt.SortOrder, "DESC");
    EXPECT_EQ(screen.ReportKey(), "BASE RATE");

    // The marker moved.
    EXPECT_EQ(screen.smuiPanel(0).Items().Item("LEASE EXPIRATION").Image(), "");
    EXPECT_EQ(screen.smuiPanel(1).Items().Item("BASE RATE").Image(), "SHOW");
    // A rate report asks for years, not a period.
    EXPECT_TRUE(screen.lstRptYears.Visible());
    EXPECT_FALSE(screen.cboRptYears.Visible());
}

TEST_F(ReportScreen, YearListSelectsTheStoredYearsAndAnEmptySelectionMeansThisYear)
{
    ReportSettings cam = stored("CAM RATE");
    cam.Years = "2001;2003;1889;x";
    store("CAM RATE", cam);
    frmReport& screen = open();
    screen.smuiPanel(1).Choose("CAM RATE");
    EXPECT_EQ(screen.lstRptYears.SelCount(), 2);
    EXPECT_TRUE(screen.lstRptYears.Selected(11));
    EXPECT_TRUE(screen.lstRptYears.Selected(13));
    const size_t before = builds.size();

    for (int i = 0; i < screen.lstRptYears.ListCount(); ++i)
        screen.lstRptYears.SetSelected(i, false);
    screen.lstRptYears_Click();
    EXPECT_EQ(screen.Settings.Years, "2025");
    EXPECT_EQ(builds.back().settings.Years, "2025");

    screen.lstRptYears.SetSelected(15, true);
    screen.lstRptYears.SetSelected(10, true);
    screen.lstRptYears_Click();
    EXPECT_EQ(screen.Settings.Years, "2000;2005");
    EXPECT_GT(builds.size(), before);
}

TEST_F(ReportScreen, ReportsWithoutPeriodOrYearsGiveTheSideBarTheHeight)
{
    frmReport& screen = open();
    screen.Move(0, 0, 10530, 8550);
    const double height = screen.Height();
    EXPECT_DOUBLE_EQ(screen.smuiOptions.Height(), height - 1800);
    EXPECT_DOUBLE_EQ(screen.cboRptYears.Top(), screen.smuiOptions.Top() + screen.smuiOptions.Height() + 100 + 220);

    for (auto [panel, key] : {std::pair{0, "LEASE TERM"}, std::pair{2, "LANDLORD"}}) {
        screen.ReportItemClick(panel, key);
        EXPECT_FALSE(screen.lblRptYears.Visible()) << key;
        EXPECT_FALSE(screen.cboRptYears.Visible()) << key;
        EXPECT_FALSE(screen.lstRptYears.Visible()) << key;
        EXPECT_DOUBLE_EQ(screen.smuiOptions.Height(), height - 1000) << key;
        EXPECT_DOUBLE_EQ(screen.smuiPanel(2).Height(), height - 1000 - 850) << key;
        EXPECT_EQ(builds.back().key, key);
    }
    screen.ReportItemClick(1, "TAX RATE");
    EXPECT_DOUBLE_EQ(screen.smuiOptions.Height(), height - 3750);
    EXPECT_DOUBLE_EQ(screen.lstRptYears.Height(), 2400);
    EXPECT_DOUBLE_EQ(screen.WebBrowser1.Height(), height - 1000);

    // A window too small for the rule keeps working.
    screen.Move(0, 0, 1500, 1200);
    screen.ReportItemClick(0, "OTHER REMINDER");
    EXPECT_EQ(builds.back().key, "OTHER REMINDER");
}

TEST_F(ReportScreen, HelpOpensTheTopicOfTheLastBarClicked)
{
    const fs::path help = root.ProgramFolder() / "tallyvanehelp" / "Reports";
    fs::create_directories(help);
    for (const char* name : {"Important_Date_Reports.htm", "Rate_Reports.htm", "Miscellaneous_Reports.htm"})
        std::ofstream(help / name) << "<html></html>";
    auto urls = std::make_shared<win::FakeUrlOpener>();
    win::SetUrlOpener(urls);
    frmReport& screen = open();

    screen.smuiMenuBar.Choose("HELP");
    EXPECT_TRUE(urls->opened.empty());
    screen.smuiOptions.Choose("RATE");
    screen.smuiMenuBar.Choose("HELP");
    screen.smuiOptions.Choose("MISC");
    screen.smuiMenuBar.Choose("HELP");
    win::SetUrlOpener(nullptr);
    ASSERT_EQ(urls->opened.size(), 2u);
    EXPECT_EQ(urls->opened[0], win::FileUrl((help / "Rate_Reports.htm").string()));
    EXPECT_EQ(urls->opened[1], win::FileUrl((help / "Miscellaneous_Reports.htm").string()));
}

TEST_F(ReportScreen, ClosingSavesTheOptionsAndKeepsAScheduleSavedMeanwhile)
{
    frmReport& screen = open();
    ASSERT_TRUE(fs::exists(page()));

    // The scheduling form saves the schedule of the report on show.
    ReportSettings scheduled = stored("LEASE EXPIRATION");
    scheduled.ScheduleReport = true;
    scheduled.Frequency = "Weekly";
    scheduled.Destination = 2;
    scheduled.Filename = "a@example.com";
    store("LEASE EXPIRATION", scheduled);

    screen.MenuCommand("DEC");
    screen.ReportItemClick(1, "PERCENTAGE RATE");
    screen.lstRptYears.SetSelected(20, true);
    screen.lstRptYears_Click();
    // Another window changing the program-wide report does not move the screen.
    tv::Reports().g_CurrentReport = "LANDLORD";
    screen.MenuCommand("ASC");
    EXPECT_EQ(builds.back().key, "PERCENTAGE RATE");
    screen.MenuCommand("CLOSE");

    EXPECT_FALSE(frmReport::IfLoaded());
    EXPECT_FALSE(tv::Reports().g_ReportScreenOpen);
    EXPECT_FALSE(fs::exists(page()));
    const ReportSettings lease = stored("LEASE EXPIRATION");
    EXPECT_EQ(lease.SortOrder, "DESC");
    EXPECT_TRUE(lease.ScheduleReport);
    EXPECT_EQ(lease.Frequency, "Weekly");
    EXPECT_EQ(lease.Destination, 2);
    EXPECT_EQ(lease.Filename, "a@example.com");
    // Saved on close, not only when another report is picked.
    EXPECT_EQ(stored("PERCENTAGE RATE").Years, "2010;2025");
    EXPECT_EQ(stored("PERCENTAGE RATE").SortOrder, "ASC");
    EXPECT_FALSE(stored("LANDLORD").ScheduleReport);
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmReport", "ReportSortOrder"), "ASC");
    EXPECT_FALSE(vb::GetSetting("Tallyvane", "frmReport", "Height").empty());
}

// A report that cannot be built is not shown as one with nothing in it: the
// pane says so and why, and so does Print.
TEST_F(ReportScreen, AFailedBuildSaysInThePaneThatTheReportCouldNotBeBuiltAndWhy)
{
    std::ofstream(root.ProgramFolder() / Mod_Report::kReportFileName) << "<Reports><BASE RATE>\xff\xfe";
    buildsSucceed = false;
    buildError = "The report page cannot be written (Disk full).";
    frmReport& screen = open();
    EXPECT_TRUE(screen.WebBrowser1.Visible());
    std::string shown = screen.WebBrowser1.PlainText();
    EXPECT_NE(shown.find("The report could not be built."), std::string::npos) << shown;
    EXPECT_NE(shown.find(buildError), std::string::npos) << shown;
    EXPECT_EQ(screen.BuildProblem(), buildError);
    Grab(screen.hWnd(), "frmReport_not_built");

    screen.MenuCommand("PRINT");
    ASSERT_EQ(mbox->shown.size(), 1u);
    EXPECT_NE(mbox->shown[0].prompt.find("The report could not be built."), std::string::npos) << mbox->shown[0].prompt;
    EXPECT_NE(mbox->shown[0].prompt.find(buildError), std::string::npos) << mbox->shown[0].prompt;

    // A builder that gives no reason still gets its failure said.
    buildError.clear();
    screen.ReportItemClick(1, "BASE RATE");
    shown = screen.WebBrowser1.PlainText();
    EXPECT_NE(shown.find("The report could not be built."), std::string::npos) << shown;
    EXPECT_FALSE(screen.BuildProblem().empty());

    // Once it builds again the report is back.
    buildsSucceed = true;
    screen.ReportItemClick(1, "TAX RATE");
    EXPECT_NE(screen.WebBrowser1.PlainText().find("TAX RATE"), std::string::npos);
    EXPECT_TRUE(screen.BuildProblem().empty());
    screen.MenuCommand("CLOSE");
    EXPECT_FALSE(frmReport::IfLoaded());
}

// A schedules file too large to be one is refused whole: each report shows
// with its defaults, a period among them, not as one that holds nothing.
TEST_F(ReportScreen, ARefusedSchedulesFileShowsEachReportWithItsDefaults)
{
    {
        std::ofstream out(root.ProgramFolder() / Mod_Report::kReportFileName, std::ios::binary);
        const std::string junk(1023, 'x');
        for (int i = 0; i < 17 * 1024; ++i)
            out << junk << '\n';
    }
    frmReport& screen = open();
    const ReportSettings defaults = Mod_Report::ToReportSettings({});
    ASSERT_EQ(builds.size(), 1u);
    EXPECT_EQ(builds[0].settings, defaults);
    EXPECT_EQ(screen.cboRptYears.Text(), "One Month");
    EXPECT_TRUE(screen.smuiMenuBar.Items().Find("ASC")->Checked());

    // Another report after a change on this one: its own defaults again.
    screen.MenuCommand("DEC");
    screen.ReportItemClick(1, "BASE RATE");
    EXPECT_EQ(builds.back().key, "BASE RATE");
    EXPECT_EQ(builds.back().settings, defaults);
    EXPECT_TRUE(screen.lstRptYears.Selected(std::stoi(defaults.Years) - 1990));
}

class ReportColours : public ReportScreen {
protected:
    void SetUp() override
    {
        ReportScreen::SetUp();
        // The first run made the key.
        winreg::HKEY key{};
        winreg::RegCreateKeyEx(winreg::HKEY_CURRENT_USER, Mod_Registry::kReportsKey, 0, winreg::KEY_ALL_ACCESS, &key,
                               nullptr);
        winreg::RegCloseKey(key);
    }
    static std::string value(const char* name)
    {
        return Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kReportsKey, name);
    }
    static void setValue(const char* name, const std::string& text)
    {
        Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kReportsKey, name, vb::Variant(text),
                                    winreg::REG_SZ);
    }
};

TEST_F(ReportColours, OpeningWritesNothingAndStartsFromTheStoredColours)
{
    open().MenuCommand("HEADING COLOR");
    frmHeadingColor* colours = frmHeadingColor::IfLoaded();
    ASSERT_TRUE(colours);
    EXPECT_EQ(colours->Caption(), "Set report colors");
    EXPECT_EQ(colours->cpHeadingColor.Color(), 0xFFFFFFu);
    EXPECT_EQ(value("HeadingColor"), "");
    EXPECT_EQ(value("RowColor"), "");
    colours->Lumvex2_Click();
    EXPECT_FALSE(frmHeadingColor::IfLoaded());

    // A value that is not a number starts from white too, and stays as it is.
    setValue("HeadingColor", "blue");
    Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kReportsKey, "RowColor", vb::Variant(255),
                                winreg::REG_DWORD);
    frmHeadingColor::Instance().Show(forms::vbModeless);
    EXPECT_EQ(frmHeadingColor::Instance().cpHeadingColor.Color(), 0xFFFFFFu);
    EXPECT_EQ(frmHeadingColor::Instance().cpRowColor.Color(), 255u);
    EXPECT_EQ(value("HeadingColor"), "blue");
}

TEST_F(ReportColours, EachPickIsStoredWhenItDiffersAndRebuildsTheScreensReport)
{
    auto dialogs = std::make_shared<forms::ScriptedDialogs>();
    dialogs->colors = {0x0000FFu, std::nullopt};
    forms::SetDialogPort(dialogs);
    frmReport& screen = open();
    screen.ReportItemClick(1, "TAX RATE");
    tv::Reports().g_CurrentReport = "LANDLORD";
    screen.MenuCommand("HEADING COLOR");
    frmHeadingColor& colours = frmHeadingColor::Instance();
    size_t built = builds.size();

    colours.cpHeadingColor.Choose();
    EXPECT_EQ(value("HeadingColor"), "255");
    ASSERT_EQ(builds.size(), ++built);
    EXPECT_EQ(builds.back().key, "TAX RATE");
    // Cancel: nothing stored, nothing built.
    colours.cpRowColor.Choose();
    EXPECT_EQ(value("RowColor"), "");
    EXPECT_EQ(builds.size(), built);

    // The stored colour again: no write (a text value would turn into a
    // number if it were written), still a rebuild.
    setValue("RowColor", "65280");
    colours.cpRowColor_Change(0x00FF00u);
    EXPECT_EQ(builds.size(), ++built);
    winreg::HKEY key{};
    ASSERT_EQ(winreg::RegOpenKeyEx(winreg::HKEY_CURRENT_USER, Mod_Registry::kReportsKey, 0, winreg::KEY_READ, &key),
              winreg::ERROR_SUCCESS);
    winreg::DWORD type = 0;
    EXPECT_EQ(winreg::RegQueryValueEx(key, "RowColor", &type, nullptr, nullptr), winreg::ERROR_SUCCESS);
    winreg::RegCloseKey(key);
    EXPECT_EQ(type, static_cast<winreg::DWORD>(winreg::REG_SZ));
    colours.cpRowColor_Change(0x123456u);
    EXPECT_EQ(value("RowColor"), std::to_string(0x123456));
    EXPECT_EQ(builds.size(), ++built);

    // Closing the screen closes the colours with it.
    screen.MenuCommand("CLOSE");
    EXPECT_FALSE(frmHeadingColor::IfLoaded());
}

// The report builder itself, on the example database.
class ReportScreenBuilt : public ReportColours {
protected:
    void SetUp() override
    {
        ReportColours::SetUp();
        frmReport::SetBuilder(nullptr);
        tv::Shell().g_DatabaseFileName = std::string(Mod_tallyvane::kExampleDatabaseFileName);
    }
};

// With the Stores table gone, or a damaged page under it, the reports do not
// come up as if there were no stores: each says why it could not be built.
TEST_F(ReportScreenBuilt, AMissingOrDamagedStoresTableIsSaidOnEveryReport)
{
    const fs::path db = root.ProgramFolder() / Mod_tallyvane::kExampleDatabaseFileName;
    struct Case {
        const char* name;
        std::function<void()> spoil;
        const char* told;
    };
    const Case cases[] = {
        {"dropped", [&] { reporttest::ExecSql(db, "DROP TABLE Stores"); }, "no such table: Stores"},
        {"damaged", [&] { reporttest::DamageTablePage(db, "Stores"); }, "malformed"},
    };
    const std::pair<int, const char*> reports[] = {
        {0, "LEASE EXPIRATION"}, {0, "LEASE TERM"}, {0, "INSURANCE REMINDER"}, {1, "BASE RATE"}, {2, "LANDLORD"}};
    for (const Case& c : cases) {
        report::ResetDataEnvironment1();
        tv::tools::BuildDatabase(db, tv::tools::ReadTextFile(fs::path(TV_DATA_DIR) / "schema.sql"),
                                 tv::tools::ReadTextFile(fs::path(TV_DATA_DIR) / "example.sql"), kToday);
        c.spoil();
        frmReport& screen = open();
        for (auto [panel, key] : reports) {
            if (screen.ReportKey() != key)
                screen.ReportItemClick(panel, key);
            const std::string shown = screen.WebBrowser1.PlainText();
            EXPECT_NE(shown.find("The report could not be built."), std::string::npos) << c.name << " " << key;
            EXPECT_NE(shown.find(c.told), std::string::npos) << c.name << " " << key << ": " << shown;
        }
        EXPECT_TRUE(screen.Unload());
    }
}

TEST_F(ReportScreenBuilt, PrintAsksForThePrinterAndPrintsTheReportOnShowOnce)
{
    auto dialogs = std::make_shared<forms::ScriptedDialogs>();
    dialogs->printers = {"Office", "Lab"};
    dialogs->printerChoices = {std::nullopt, std::string("Lab")};
    forms::SetDialogPort(dialogs);
    auto printed = std::make_shared<report::PdfPrintPort>(root.ProgramFolder().string());
    report::SetPrintPort(printed);

    frmReport& screen = open();
    screen.ReportItemClick(2, "LANDLORD");
    // The runner builds another report meanwhile: the screen prints its own.
    Mod_Report::GenerateReport("TAX RATE", stored("TAX RATE"));

    screen.smuiMenuBar.Choose("PRINT");
    EXPECT_TRUE(printed->jobs.empty());

    EXPECT_TRUE(screen.PrintReport());
    ASSERT_EQ(printed->jobs.size(), 1u);
    EXPECT_EQ(printed->jobs[0].first, "Lab");
    EXPECT_GT(fs::file_size(printed->jobs[0].second), 0u);
    EXPECT_EQ(tv::Reports().g_CurrentDataReport, &Mod_Report::ReportDesigner("LANDLORD"));
}

TEST_F(ReportScreenBuilt, PrintToAPdfFileWritesTheReportAndEveryFailureIsSaid)
{
    auto dialogs = std::make_shared<forms::ScriptedDialogs>();
    forms::SetDialogPort(dialogs);
    const fs::path pdf = root.Path() / "prints" / "landlords.pdf";
    fs::create_directories(pdf.parent_path());
    frmReport& screen = open();
    screen.ReportItemClick(2, "LANDLORD");

    // No printer installed: "Print to File (PDF)" still prints.
    dialogs->printTargets = {forms::PrintTarget{{}, true, pdf.string()}};
    screen.smuiMenuBar.Choose("PRINT");
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_FALSE(fs::exists(pdf.string() + ".part"));
    const std::string text = tv::testing::Capture("pdftotext " + tv::testing::Quote(pdf) + " -");
    EXPECT_NE(text.find("LandLord Report"), std::string::npos) << text;
    EXPECT_NE(text.find("Meridian Property Group"), std::string::npos) << text;
    EXPECT_TRUE(mbox->shown.empty());

    // A printer chosen with none installed, a file that cannot be written:
    // each is said, and the PDF printed before stays whole.
    const auto before = fs::file_size(pdf);
    dialogs->printerChoices = {std::string("Front Desk")};
    screen.smuiMenuBar.Choose("PRINT");
    dialogs->printTargets = {forms::PrintTarget{{}, true, (root.Path() / "no such folder" / "x.pdf").string()},
                             forms::PrintTarget{{}, true, pdf.parent_path().string()}};
    screen.smuiMenuBar.Choose("PRINT");
    screen.smuiMenuBar.Choose("PRINT");
    ASSERT_EQ(mbox->shown.size(), 3u);
    EXPECT_NE(mbox->shown[0].prompt.find("No printer is installed."), std::string::npos) << mbox->shown[0].prompt;
    EXPECT_NE(mbox->shown[1].prompt.find("no such folder"), std::string::npos) << mbox->shown[1].prompt;
    EXPECT_NE(mbox->shown[2].prompt.find("is a folder"), std::string::npos) << mbox->shown[2].prompt;
    EXPECT_EQ(mbox->shown[0].title, "Print");
    EXPECT_EQ(fs::file_size(pdf), before);

    // Cancel is no failure.
    screen.smuiMenuBar.Choose("PRINT");
    EXPECT_EQ(mbox->shown.size(), 3u);
}

// The page at the screen's default size: a cell breaks only between words,
// and a date or an amount not at all; a maximise and a restore give the
// layout back as it was.
TEST_F(ReportScreenBuilt, CellsBreakOnlyBetweenWordsAndTheLayoutSurvivesAMaximise)
{
    for (const char* key : {"LEASE EXPIRATION", "RENEWAL REMINDER"}) {
        ReportSettings settings = stored(key);
        settings.Length = "5 Years";
        store(key, settings);
    }
    frmReport& screen = open();
    auto* view = qobject_cast<QTextBrowser*>(screen.WebBrowser1.Widget());
    ASSERT_NE(view, nullptr);
    const QRegularExpression whole(
        QStringLiteral("^(\\d{1,2}/\\d{1,2}/\\d{4}|-?\\$[\\d,]+\\.\\d\\d|\\d+\\s+years)$"));
    for (auto [panel, key] : {std::pair{0, "LEASE EXPIRATION"}, std::pair{0, "RENEWAL REMINDER"},
                              std::pair{1, "BASE RATE"}, std::pair{0, "LEASE TERM"}}) {
        screen.ReportItemClick(panel, key);
        QCoreApplication::processEvents();
        QTextDocument* page = view->document();
        int cells = 0;
        for (QTextBlock b = page->begin(); b.isValid(); b = b.next()) {
            page->documentLayout()->blockBoundingRect(b);
            const QTextLayout* lines = b.layout();
            ASSERT_NE(lines, nullptr);
            const QString text = b.text();
            for (int i = 1; i < lines->lineCount(); ++i) {
                const int at = lines->lineAt(i).textStart();
                EXPECT_TRUE(at > 0 && text.at(at - 1).isSpace())
                    << key << ": \"" << text.toStdString() << "\" breaks at " << at;
            }
            // A whole cell's blanks are the non-breaking kind.
            if (whole.match(QString(text).replace(QChar::Nbsp, u' ').trimmed()).hasMatch()) {
                ++cells;
                EXPECT_EQ(lines->lineCount(), 1) << key << ": " << text.toStdString();
            }
        }
        EXPECT_GT(cells, 0) << key;

        // Squeezed far below the screen's size, a word may stand alone on its
        // line, yet a date, an amount or a term stays whole.
        std::unique_ptr<QTextDocument> narrow(page->clone());
        narrow->setTextWidth(240);
        for (QTextBlock b = narrow->begin(); b.isValid(); b = b.next()) {
            narrow->documentLayout()->blockBoundingRect(b);
            if (whole.match(QString(b.text()).replace(QChar::Nbsp, u' ').trimmed()).hasMatch()) {
                EXPECT_EQ(b.layout()->lineCount(), 1) << key << " squeezed: " << b.text().toStdString();
            }
        }
    }

    const QRect browser = screen.WebBrowser1.Widget()->geometry();
    const QRect sideBar = screen.smuiOptions.Widget()->geometry();
    screen.hWnd()->showMaximized();
    QCoreApplication::processEvents();
    ASSERT_NE(screen.WebBrowser1.Widget()->geometry(), browser) << "the window did not maximise";
    screen.hWnd()->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(screen.WebBrowser1.Widget()->geometry(), browser);
    EXPECT_EQ(screen.smuiOptions.Widget()->geometry(), sideBar);
}

// Each report built for real and shown, its title band drawn in the stored
// heading colour on the screen.
TEST_F(ReportScreenBuilt, EveryReportIsBuiltAndShownWithTheStoredHeadingColour)
{
    Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kReportsKey, "HeadingColor",
                                vb::Variant(0x40C0FF), winreg::REG_DWORD);
    for (const char* key : {"LEASE EXPIRATION", "INSURANCE REMINDER", "RENEWAL REMINDER", "OTHER REMINDER"}) {
        ReportSettings settings = stored(key);
        settings.Length = "5 Years";
        store(key, settings);
    }
    for (const char* key : {"BASE RATE", "PERCENTAGE RATE", "CAM RATE", "TAX RATE"}) {
        ReportSettings settings = stored(key);
        settings.Years = "2024;2025;2026";
        store(key, settings);
    }

    frmReport& screen = open();
    const struct {
        int panel;
        const char* key;
    } reports[] = {{0, "LEASE EXPIRATION"}, {0, "LEASE TERM"},      {0, "INSURANCE REMINDER"}, {0, "RENEWAL REMINDER"},
                   {0, "OTHER REMINDER"},   {1, "BASE RATE"},       {1, "PERCENTAGE RATE"},    {1, "CAM RATE"},
                   {1, "TAX RATE"},         {2, "LANDLORD"}};
    for (const auto& r : reports) {
        const char* bar[] = {"REMINDER", "RATE", "MISC"};
        screen.smuiOptions.Choose(bar[r.panel]);
        if (screen.ReportKey() != r.key)
            screen.smuiPanel(r.panel).Choose(r.key);
        ASSERT_EQ(screen.ReportKey(), r.key);
        EXPECT_TRUE(screen.WebBrowser1.Visible()) << r.key;
        const std::string text = screen.WebBrowser1.PlainText();
        EXPECT_GT(text.size(), 40u) << r.key;
        // &HBBGGRR 0x40C0FF is #FFC040 on the page.
        const std::string html = vb::fso::ReadAllBytes(page());
        EXPECT_NE(vb::LCase(html).find("ffc040"), std::string::npos) << r.key;
        std::string name = r.key;
        std::replace(name.begin(), name.end(), ' ', '-');
        const QImage picture = Grab(screen.hWnd(), QString::fromStdString("report-" + vb::LCase(name)));
        QWidget* browser = screen.WebBrowser1.Widget();
        const QRect shown(browser->mapTo(screen.hWnd(), QPoint(0, 0)), browser->size());
        EXPECT_GT(tv::testing::PixelsOfColour(picture, shown, qRgb(0xFF, 0xC0, 0x40)), 200) << r.key;
    }
}

} // namespace
