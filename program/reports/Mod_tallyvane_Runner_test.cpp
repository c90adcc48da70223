#include "program/reports/Mod_tallyvane_Runner.h"

#include "platform/forms/CommonDialog.h"
#include "platform/forms/Form.h"
#include "platform/forms/Printer.h"
#include "platform/net/Winsock.h"
#include "platform/report/ReportPrinter.h"
#include "platform/report/WebBrowser.h"
#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/Mod_TaskList.h"
#include "program/reports/Mod_tallyvane_Tasks.h"
#include "program/reports/ReportsTestSupport.h"
#include "program/reports/frmMain_SendEmail.h"
#include "program/reports/testdata/MailTestSupport.h"
#include "program/services/MBoxMod.h"
#include "program/services/Notifications.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <functional>

namespace {

namespace fs = std::filesystem;
using reporttest::ReadFile;

struct Schedule {
    std::string key;
    std::string frequency = "Daily";
    int destination = 1;
    std::string filename;
    bool attachment = true;
    std::string reminder = "None";
    std::string startTime = "09:00 AM";
};

class RunnerTest : public ::testing::Test {
protected:
    RunnerTest()
    {
        dialogs->printers = {"Office", "Back Room"};
        forms::SetDialogPort(dialogs);
        forms::Printer().SetDeviceName("");
        report::SetPrintPort(printed);
        MBoxMod::SetPresenter(boxes);
        Mod_tallyvane::SetPermissionRetryWait(1);
        // The hidden main window's mail sender and browser.
        Notifications::SetEmailSender([this](const std::string& Subject, const std::string& MailBody,
                                             const std::string& Recepitants, bool HaveAttachment,
                                             const std::string& AttachmentFileName, const std::string& ContextType) {
            return mailer.SendEmail(Subject, MailBody, Recepitants, HaveAttachment, AttachmentFileName, ContextType);
        });
        Notifications::SetReportBrowser([this]() -> report::WebBrowser& { return browser; });
    }
    ~RunnerTest() override
    {
        forms::ResetForms();
        Notifications::Reset();
        Mod_tallyvane::SetPermissionRetryWait(500);
        MBoxMod::SetPresenter(nullptr);
        report::SetPrintPort(nullptr);
        forms::SetDialogPort(nullptr);
        forms::Printer().SetDeviceName("");
        vb::SetEndpointMap(nullptr);
    }

    fs::path folder() const { return world.root.ProgramFolder(); }
    void schedule(const Schedule& s)
    {
        std::vector<std::string> values = {"Six Months", "2002;2003", "ASC", "Tahoma", "True", "1/31/2003",
                                           s.startTime, s.frequency, s.reminder, std::to_string(s.destination),
                                           s.filename, s.attachment ? "True" : "False"};
        Mod_FileIO::WriteReportSettings(folder(), s.key, values);
    }
    std::vector<std::string> stored(const std::string& key)
    {
        return Mod_Report::ReadReportSettings(folder(), key);
    }
    void at(int hour, int minute, int second = 0)
    {
        world.clock->Set(vb::Date::FromSerial(vb::DateSerial(2003, 1, 31).Serial()
                                              + vb::TimeSerial(hour, minute, second).Serial()));
    }

    reporttest::ReportWorld world;
    std::shared_ptr<forms::ScriptedDialogs> dialogs = std::make_shared<forms::ScriptedDialogs>();
    std::shared_ptr<report::PdfPrintPort> printed =
        std::make_shared<report::PdfPrintPort>(world.root.Path().string());
    std::shared_ptr<MBoxMod::ScriptedMBox> boxes = std::make_shared<MBoxMod::ScriptedMBox>();
    SmtpSender mailer;
    report::WebBrowser browser;
};

// A message box that runs code while it is open, as the real one runs the
// event loop.
class BoxWithLoop : public MBoxMod::MBoxPresenter {
public:
    MBoxMod::MBoxAnswer Ask(const MBoxMod::MBoxRequest& request) override
    {
        onAsk(request);
        return {};
    }
    std::function<void(const MBoxMod::MBoxRequest&)> onAsk;
};

TEST_F(RunnerTest, DueOnlyInItsMinuteWrittenToItsFileAndNotTwice)
{
    const fs::path out = folder() / "Lease Term.htm";
    schedule({"LEASE TERM", "Daily", 1, out.string()});
    ASSERT_EQ(Mod_TaskList::BuildScheduledReports(), 1);

    at(8, 59, 50);
    Mod_tallyvane::RunScheduledTasks();
    EXPECT_FALSE(fs::exists(out));
    at(9, 0, 10);
    Mod_tallyvane::RunScheduledTasks();
    ASSERT_TRUE(fs::exists(out)) << "a report bound for a file is written to it";
    EXPECT_EQ(ReadFile(out), ReadFile(folder() / "temp.htm"));
    EXPECT_EQ(stored("LEASE TERM")[Mod_Report::kStartDate], "2/1/2003");
    ASSERT_TRUE(tv::Reports().g_ScheduledTasks);
    EXPECT_EQ(tv::Reports().g_ScheduledTasks->at(0).NextRunDate, vb::DateSerial(2003, 2, 1));

    // The next pass of the same minute sends nothing again; nor does 9:01.
    fs::remove(out);
    at(9, 0, 40);
    Mod_tallyvane::RunScheduledTasks();
    at(9, 1, 10);
    Mod_tallyvane::RunScheduledTasks();
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(RunnerTest, PassWithNothingDueLeavesTableAndListAlone)
{
    schedule({"LEASE TERM", "Daily", 1, ""});
    Mod_TaskList::BuildScheduledReports();
    int refreshed = 0;
    Notifications::SetTaskListRefresh([&] { ++refreshed; });
    ScheduledTask marker;
    marker.Key = "marker";
    tv::Reports().g_ScheduledTasks->push_back(marker);
    at(10, 0);
    Mod_tallyvane::RunScheduledTasks();
    EXPECT_EQ(tv::Reports().g_ScheduledTasks->size(), 2u) << "rebuilt although nothing ran";
    EXPECT_EQ(refreshed, 0);
    EXPECT_FALSE(fs::exists(folder() / "temp.htm"));

    // A pass that ran rebuilds and refreshes once.
    at(9, 0);
    Mod_tallyvane::RunScheduledTasks();
    EXPECT_EQ(tv::Reports().g_ScheduledTasks->size(), 1u);
    EXPECT_EQ(refreshed, 1);
}

TEST_F(RunnerTest, OwnSettingsRescheduledBeforeTheBoxAndNoNestedPass)
{
    schedule({"TAX RATE", "Weekly", 1, (folder() / "tax.htm").string(), true, "Popup-Menu"});
    schedule({"LEASE TERM", "Weekly", 1, (folder() / "term.htm").string(), true, "Popup-Menu"});
    Mod_TaskList::BuildScheduledReports();
    // What an open report screen is editing.
    auto& state = tv::Reports();
    state.g_CurrentReport = "BASE RATE";
    state.g_CurrentReportSettings.Years = "1999";
    const ReportSettings screens = state.g_CurrentReportSettings;

    std::vector<std::string> completions, startDatesSeen;
    auto box = std::make_shared<BoxWithLoop>();
    box->onAsk = [&](const MBoxMod::MBoxRequest& request) {
        completions.push_back(request.prompt);
        EXPECT_EQ(request.title, "Report Complete");
        // The box runs the event loop: the timer's next pass comes in here.
        Mod_tallyvane::RunScheduledTasks();
        startDatesSeen.push_back(stored("TAX RATE")[Mod_Report::kStartDate]);
    };
    MBoxMod::SetPresenter(box);
    at(9, 0);
    Mod_tallyvane::RunScheduledTasks();
    EXPECT_EQ(completions, (std::vector<std::string>{"Tax Rate Report report generated!",
                                                     "Lease Term Report report generated!"}));
    EXPECT_EQ(startDatesSeen.front(), "2/7/2003") << "moved on before the box was shown";
    // The report used its own years (2002;2003), not the screen's 1999.
    EXPECT_NE(ReadFile(folder() / "tax.htm").find("$12,000.12"), std::string::npos);
    EXPECT_EQ(state.g_CurrentReport, "BASE RATE");
    EXPECT_EQ(state.g_CurrentReportSettings, screens);
}

TEST_F(RunnerTest, PrintsOnTheNamedPrinterElseTheDefault)
{
    schedule({"BASE RATE", "Daily", 0, "Back Room"});
    schedule({"LANDLORD", "Daily", 0, "\\\\SERVER\\HP LaserJet"});
    Mod_TaskList::BuildScheduledReports();
    at(9, 0);
    Mod_tallyvane::RunScheduledTasks();
    ASSERT_EQ(printed->jobs.size(), 2u);
    EXPECT_EQ(printed->jobs[0].first, "Back Room");
    EXPECT_EQ(printed->jobs[1].first, "Office");
    for (const auto& job : printed->jobs)
        EXPECT_GE(reporttest::PdfPageCount(ReadFile(job.second)), 1) << job.second;
    EXPECT_EQ(forms::Printer().DeviceName(), "Office") << "the program's current printer is left alone";
    EXPECT_FALSE(browser.Visible());

    // The print routine with its dialog: the choice is used, Cancel prints nothing.
    dialogs->printerChoices = {std::string("Back Room"), std::nullopt};
    EXPECT_TRUE(Mod_tallyvane::PrintReportPage((folder() / "temp.htm").string(), true));
    EXPECT_EQ(printed->jobs.back().first, "Back Room");
    EXPECT_FALSE(Mod_tallyvane::PrintReportPage((folder() / "temp.htm").string(), true));
    EXPECT_EQ(printed->jobs.size(), 3u);

    // Without the hidden main window's browser nothing prints.
    Notifications::SetReportBrowser(nullptr);
    EXPECT_FALSE(Mod_tallyvane::PrintReportPage((folder() / "temp.htm").string(), false));
    EXPECT_EQ(printed->jobs.size(), 3u);
}

TEST_F(RunnerTest, UnbuildableOrUndeliverableReportsAreSkipped)
{
    // A file nobody may write, not even the superuser.
    schedule({"LEASE TERM", "Daily", 1, "/sys/tallyvane-report.htm"});
    schedule({"OTHER REMINDER", "Daily", 1, (folder() / "other.htm").string()});
    Mod_TaskList::BuildScheduledReports();
    at(9, 0);
    Mod_tallyvane::RunScheduledTasks();
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_NE(boxes->shown[0].prompt.find("/sys/tallyvane-report.htm"), std::string::npos);
    EXPECT_EQ(stored("LEASE TERM")[Mod_Report::kStartDate], "1/31/2003") << "a skipped report is not moved on";
    EXPECT_TRUE(fs::exists(folder() / "other.htm")) << "the other reports still run";
    EXPECT_EQ(stored("OTHER REMINDER")[Mod_Report::kStartDate], "2/1/2003");

    // The database is gone: nothing is built, nothing stale goes out.
    fs::remove(folder() / "other.htm");
    schedule({"OTHER REMINDER", "Daily", 1, (folder() / "other.htm").string(), true, "None", "09:05 AM"});
    Mod_TaskList::BuildScheduledReports();
    fs::rename(folder() / "Tallyvane.mdb", folder() / "away.mdb");
    report::ResetDataEnvironment1();
    at(9, 5);
    Mod_tallyvane::RunScheduledTasks();
    EXPECT_FALSE(fs::exists(folder() / "other.htm"));
    EXPECT_FALSE(fs::exists(folder() / "temp.htm"));
    EXPECT_EQ(stored("OTHER REMINDER")[Mod_Report::kStartDate], "1/31/2003");
}

TEST_F(RunnerTest, AReportFileThatCannotBeWrittenSkipsOnlyThatReportWithAMessage)
{
    const fs::path nowhere = folder() / "no such folder" / "expiry.htm";
    schedule({"LEASE EXPIRATION", "Daily", 1, nowhere.string()});
    schedule({"OTHER REMINDER", "Daily", 1, (folder() / "other.htm").string()});
    Mod_TaskList::BuildScheduledReports();
    at(9, 0);
    Mod_tallyvane::RunScheduledTasks();
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_NE(boxes->shown[0].prompt.find(nowhere.string()), std::string::npos);
    EXPECT_TRUE(fs::exists(folder() / "other.htm")) << "the reports after it in the table still run";
    EXPECT_EQ(stored("OTHER REMINDER")[Mod_Report::kStartDate], "2/1/2003");
}

// A run that delivers nothing is not counted as delivered: a one-time report
// stays scheduled, and the user hears once why it was skipped, though the
// next pass of the minute tries it again.
TEST_F(RunnerTest, ARunThatDeliversNothingStaysDueAndIsSaidOnce)
{
    struct Case {
        const char* name;
        std::string filename;
        std::function<void()> spoil;
        std::vector<std::string> told;
    };
    const fs::path out = folder() / "term.htm";
    const Case cases[] = {
        {"a report for a file without its name", "", [] {},
         {"The Lease Term Report could not be written to a file: no file name is set for it."}},
        {"a report whose Stores table is gone", out.string(),
         [&] { reporttest::ExecSql(folder() / "Tallyvane.mdb", "DROP TABLE Stores"); },
         {"The Lease Term Report could not be built:", "no such table: Stores"}},
    };
    for (const Case& c : cases) {
        boxes->shown.clear();
        tv::Reports().toldRunFailures.clear();
        report::ResetDataEnvironment1();
        schedule({"LEASE TERM", "Once", 1, c.filename});
        ASSERT_EQ(Mod_TaskList::BuildScheduledReports(), 1) << c.name;
        c.spoil();
        at(9, 0, 10);
        Mod_tallyvane::RunScheduledTasks();
        at(9, 0, 40);
        Mod_tallyvane::RunScheduledTasks();
        ASSERT_EQ(boxes->shown.size(), 1u) << c.name;
        for (const std::string& part : c.told)
            EXPECT_NE(boxes->shown[0].prompt.find(part), std::string::npos) << c.name << ": " << boxes->shown[0].prompt;
        EXPECT_FALSE(fs::exists(out)) << c.name;
        EXPECT_EQ(stored("LEASE TERM")[Mod_Report::kScheduleReport], "True") << c.name;
        ASSERT_TRUE(tv::Reports().g_ScheduledTasks) << c.name;
        EXPECT_EQ(tv::Reports().g_ScheduledTasks->size(), 1u) << c.name;
    }
}

TEST_F(RunnerTest, AMessageThatWentOutIsNotSentAgainWhenItsCopyIsGone)
{
    mailtest::ScriptedSmtpServer server;
    vb::SetEndpointMap([&](const vb::Endpoint&) { return vb::Endpoint{"127.0.0.1", server.Port()}; });
    tv::Shell().g_SMTPMailServer = "mail.example.com";
    tv::Shell().g_OriginatorsName = "Lease Office";
    const fs::path copy = folder() / "Base Rate Report.htm";
    // Another program takes the attachment copy away while the message is sent.
    server.onCommand = [&](const std::string& key) {
        if (key == "DATA")
            fs::remove(copy);
    };
    schedule({"BASE RATE", "Weekly", 2, "owner@example.com", true});
    Mod_TaskList::BuildScheduledReports();

    at(9, 0, 5);
    Mod_tallyvane::RunScheduledTasks();
    ASSERT_EQ(server.connections, 1);
    EXPECT_NE(server.data.find("NextMimePart--"), std::string::npos);
    EXPECT_EQ(stored("BASE RATE")[Mod_Report::kStartDate], "2/7/2003") << "moved on although the copy was gone";
    at(9, 0, 35);
    Mod_tallyvane::RunScheduledTasks();
    EXPECT_EQ(server.connections, 1) << "sent twice";
}

// ---------------------------------------------------------------------------
// End to end: a real SMTP server (aiosmtpd) on 127.0.0.1.

std::string str(const QJsonValue& v)
{
    return v.toString().toStdString();
}

TEST_F(RunnerTest, ScheduledReportArrivesAtARealMailServerOnceAsAttachmentAndAsBody)
{
    mailtest::RealSmtpServer sink(world.root.Path() / "sink");
    ASSERT_NE(sink.Port(), 0) << "the SMTP sink did not start (python3-aiosmtpd installed?)";
    vb::SetEndpointMap([&](const vb::Endpoint&) { return vb::Endpoint{"127.0.0.1", sink.Port()}; });
    tv::Shell().g_SMTPMailServer = "mail.example.com";
    tv::Shell().g_OriginatorsName = "Lease Office";
    tv::Shell().g_OriginatorsEmail = "office@example.com";

    schedule({"BASE RATE", "Weekly", 2, "owner@example.com;books@example.com", true});
    schedule({"LANDLORD", "Weekly", 2, "owner@example.com", false, "None", "09:01 AM"});
    Mod_TaskList::BuildScheduledReports();

    at(9, 0, 5);
    Mod_tallyvane::RunScheduledTasks();
    ASSERT_EQ(sink.Count(), 1);
    const std::string temp = ReadFile(folder() / "temp.htm");
    const QJsonObject m = sink.Message(1);
    EXPECT_EQ(str(m["subject"]), "Base Rate Report");
    EXPECT_EQ(m["rcpt_tos"].toArray(), QJsonArray({"owner@example.com", "books@example.com"}));
    EXPECT_TRUE(m["defects"].toArray().isEmpty());
    const QJsonArray parts = m["parts"].toArray();
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(str(parts[0].toObject()["text"]),
              "Tallyvane v1.0.0 automatic report generation\nReport : Base Rate Report\n"
              "Date   : Friday , 31 Jan 2003 09:00:05 AM\n\nPlease see attachment for report\n");
    const QJsonObject att = parts[1].toObject();
    EXPECT_EQ(str(att["filename"]), "Base Rate Report.htm");
    EXPECT_EQ(att["size"].toInt(), static_cast<int>(temp.size()));
    EXPECT_EQ(str(att["sha256"]), QCryptographicHash::hash(QByteArray::fromStdString(temp),
                                                            QCryptographicHash::Sha256)
                                      .toHex()
                                      .toStdString())
        << "the attachment's bytes are temp.htm's";
    EXPECT_FALSE(fs::exists(folder() / "Base Rate Report.htm")) << "the attachment copy is deleted";

    // Rescheduled to its next run date, and not sent again in the next pass.
    EXPECT_EQ(stored("BASE RATE")[Mod_Report::kStartDate], "2/7/2003");
    EXPECT_EQ(tv::Reports().g_ScheduledTasks->at(0).NextRunDate, vb::DateSerial(2003, 2, 7));
    at(9, 0, 35);
    Mod_tallyvane::RunScheduledTasks();
    EXPECT_EQ(sink.Count(), 1);

    // The landlord report goes as the HTML body, its lines kept.
    at(9, 1, 5);
    Mod_tallyvane::RunScheduledTasks();
    ASSERT_EQ(sink.Count(), 2);
    const QJsonObject body = sink.Message(2);
    EXPECT_EQ(str(body["subject"]), "LandLord Report");
    EXPECT_EQ(str(body["content_type"]), "text/html");
    std::string expected = ReadFile(folder() / "temp.htm");
    for (size_t at = expected.find("\r\n"); at != std::string::npos; at = expected.find("\r\n", at))
        expected.replace(at, 2, "\n");
    const std::string got = str(body["parts"].toArray().at(0).toObject()["text"]);
    EXPECT_EQ(got.substr(0, got.find_last_not_of('\n') + 1), expected.substr(0, expected.find_last_not_of('\n') + 1));
    EXPECT_NE(got.find("O'Brien Realty &lt;Partners&gt;"), std::string::npos);
}

} // namespace
