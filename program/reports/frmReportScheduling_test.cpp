// The scheduling form: the recipients one a line and their check at
// closing, the printer and file choosers, the stored printer kept, the form's
// heights, and when its changes reach the schedules file.

#include "program/reports/frmReportScheduling.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/forms/CommonDialog.h"
#include "platform/forms/Printer.h"
#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/ReportsState.h"
#include "program/reports/ReportsTestSupport.h"
#include "program/reports/frmReport.h"
#include "program/reports/frmTaskList.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/ServicesTestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class ReportScheduling : public tv::testing::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        tv::ResetReportsState();
        dialogs->printers = {"Front Desk", "Office Laser"};
        forms::SetDialogPort(dialogs);
        forms::Printer().SetDeviceName("");
    }
    void TearDown() override
    {
        forms::ResetForms();
        forms::Printer().SetDeviceName("");
        forms::SetDialogPort(nullptr);
        frmReport::SetBuilder(nullptr);
        tv::ResetReportsState();
        ProgramFixture::TearDown();
    }

    ReportSettings stored(std::string_view key) const
    {
        return Mod_Report::ToReportSettings(Mod_Report::ReadReportSettings(root.ProgramFolder(), key));
    }
    void store(std::string_view key, const ReportSettings& settings) const
    {
        Mod_FileIO::WriteReportSettings(root.ProgramFolder(), key, Mod_Report::ToValues(settings));
    }
    std::string fileText() const
    {
        std::ifstream in(root.ProgramFolder() / Mod_Report::kReportFileName, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // A report scheduled daily for e-mail, with options of its own.
    ReportSettings emailReport(std::string recipients) const
    {
        ReportSettings s = Mod_Report::ToReportSettings({});
        s.Length = "5 Years";
        s.Years = "2023;2024";
        s.SortOrder = "DESC";
        s.ScheduleReport = true;
        s.StartDate = "3/11/2025";
        s.StartTime = "10:30 AM";
        s.Frequency = "Daily";
        s.Destination = 2;
        s.Filename = std::move(recipients);
        return s;
    }

    static frmReportScheduling& open(std::string_view key)
    {
        frmReportScheduling::ShowReport(key);
        return frmReportScheduling::Instance();
    }

    std::shared_ptr<forms::ScriptedDialogs> dialogs = std::make_shared<forms::ScriptedDialogs>();
};

TEST_F(ReportScheduling, RecipientsOneALineAreStoredJoinedTrimmedAndShownAgain)
{
    store("BASE RATE", emailReport("old@example.com"));
    frmReportScheduling& form = open("BASE RATE");
    EXPECT_EQ(form.txtEmailNames.Text(), "old@example.com");
    EXPECT_TRUE(form.optDestination(2).Value());

    // Blanks around an address and a trailing empty line are dropped, not refused.
    form.txtEmailNames.SetText("a@one.com\r\n  b@two.org \r\nc@three.net\r\n");
    EXPECT_TRUE(form.Unload());
    EXPECT_TRUE(msgbox->shown.empty());
    const ReportSettings saved = stored("BASE RATE");
    EXPECT_EQ(saved.Filename, "a@one.com;b@two.org;c@three.net");
    // Only the schedule was written: the report screen's options stay.
    EXPECT_EQ(saved.Length, "5 Years");
    EXPECT_EQ(saved.Years, "2023;2024");
    EXPECT_EQ(saved.SortOrder, "DESC");
    EXPECT_FALSE(tv::Reports().g_SchedulingOpen);

    frmReportScheduling& again = open("BASE RATE");
    EXPECT_EQ(again.txtEmailNames.Text(), "a@one.com\r\nb@two.org\r\nc@three.net");
    EXPECT_TRUE(tv::Reports().g_SchedulingOpen);
}

TEST_F(ReportScheduling, TheRecipientCheckKeepsTheFormOpenWithItsMessage)
{
    store("CAM RATE", emailReport("a@one.com"));
    frmReportScheduling& form = open("CAM RATE");
    const std::string before = fileText();

    struct Case {
        std::string text;
        std::string prompt;
        std::string title;
    };
    // Longer than a mail server takes: the whole address, and its local part.
    const std::string tooLong = std::string(1090, 'x') + "@one.com";
    const std::string longLocal = std::string(65, 'x') + "@one.com";
    const Case refused[] = {
        {"", "Please enter at least one Recipient of the report", "No EMail Recipients"},
        {"  \r\n \r\n", "Please enter at least one Recipient of the report", "No EMail Recipients"},
        {"a@one.com\r\nnobody.example.com",
         "nobody.example.com is an invalid email address, please enter a valid email address",
         "Invalid Email address"},
        {"<a@one.com>", "<a@one.com> is an invalid email address, please enter a valid email address",
         "Invalid Email address"},
        {"a b@one.com", "a b@one.com is an invalid email address, please enter a valid email address",
         "Invalid Email address"},
        {"a@one.com\r\n" + tooLong, tooLong + " is an invalid email address, please enter a valid email address",
         "Invalid Email address"},
        {longLocal, longLocal + " is an invalid email address, please enter a valid email address",
         "Invalid Email address"},
    };
    for (const Case& c : refused) {
        msgbox->shown.clear();
        form.txtEmailNames.SetText(c.text);
        form.MenuCommand("CLOSE");
        EXPECT_EQ(frmReportScheduling::IfLoaded(), &form) << c.text;
        ASSERT_EQ(msgbox->shown.size(), 1u) << c.text;
        EXPECT_EQ(msgbox->shown[0].prompt, c.prompt);
        EXPECT_EQ(msgbox->shown[0].title, c.title);
        EXPECT_EQ(msgbox->shown[0].buttons, forms::vbOKOnly | forms::vbExclamation);
    }
    // Nothing reached the file while the form stayed open.
    EXPECT_EQ(fileText(), before);
    EXPECT_TRUE(tv::Reports().g_SchedulingOpen);

    // The longest address a server takes passes.
    msgbox->shown.clear();
    const std::string longest = std::string(64, 'x') + "@" + std::string(185, 'y') + ".com";
    ASSERT_EQ(longest.size(), 254u);
    form.txtEmailNames.SetText(longest);
    EXPECT_EQ(form.CheckRecipients(), 0);
    EXPECT_TRUE(msgbox->shown.empty());

    // A report that is not scheduled, or not for e-mail, closes without a check.
    msgbox->shown.clear();
    form.chkScheduleReport.SetValue(forms::vbUnchecked);
    EXPECT_TRUE(form.Unload());
    EXPECT_TRUE(msgbox->shown.empty());
    EXPECT_FALSE(stored("CAM RATE").ScheduleReport);
}

TEST_F(ReportScheduling, QuittingTheProgramClosesTheFormWithoutTheCheck)
{
    store("TAX RATE", emailReport("a@one.com"));
    frmReportScheduling& form = open("TAX RATE");
    form.cboFrequency.SetText("Weekly");
    form.txtEmailNames.SetText("no address");
    Mod_FTPData::UnloadAllForms(true);
    EXPECT_EQ(frmReportScheduling::IfLoaded(), nullptr);
    EXPECT_TRUE(msgbox->shown.empty());
    EXPECT_EQ(stored("TAX RATE").Frequency, "Weekly");
    EXPECT_EQ(stored("TAX RATE").Filename, "no address");

    // Recipients the file cannot hold keep the stored ones; the rest is saved.
    frmReportScheduling& second = open("TAX RATE");
    second.cboFrequency.SetText("Monthly");
    second.txtEmailNames.SetText("<a@one.com>");
    Mod_FTPData::UnloadAllForms(false);
    EXPECT_EQ(frmReportScheduling::IfLoaded(), nullptr);
    EXPECT_EQ(stored("TAX RATE").Frequency, "Monthly");
    EXPECT_EQ(stored("TAX RATE").Filename, "no address");
    EXPECT_FALSE(Mod_FTPData::UnloadingAllForms());
}

TEST_F(ReportScheduling, APrinterReportKeepsItsStoredPrinterUntilTheUserChoosesOne)
{
    ReportSettings s = emailReport("");
    s.Destination = 0;
    s.Filename = "Office Laser";
    store("LANDLORD", s);
    // The report screen on the same report refills the open form.
    frmReport::SetBuilder([](std::string_view, const ReportSettings&, std::string*) { return false; });

    frmReportScheduling& form = open("LANDLORD");
    EXPECT_EQ(form.lblDestName.Caption(), "Selected Printer:");
    EXPECT_EQ(form.lblDest.Caption(), "Office Laser");
    EXPECT_EQ(form.cmdShow.Caption(), "Select Printer");
    EXPECT_EQ(form.cmdShow.Left(), 3300);
    EXPECT_EQ(form.cmdShow.Width(), 1275);
    frmReportScheduling::RefillIfOpen("LANDLORD");
    EXPECT_EQ(form.lblDest.Caption(), "Office Laser");
    EXPECT_TRUE(form.Unload());
    EXPECT_EQ(stored("LANDLORD").Filename, "Office Laser");

    frmReportScheduling& again = open("LANDLORD");
    // A cancelled printer dialog changes nothing.
    again.cmdShow_Click();
    EXPECT_EQ(again.Settings.Filename, "Office Laser");
    // Choosing the file destination and the printer again takes the printer in use.
    again.optDestination(1).SetValue(true);
    EXPECT_EQ(again.cmdShow.Caption(), "..");
    EXPECT_EQ(again.cmdShow.Left(), 4320);
    again.optDestination(0).SetValue(true);
    EXPECT_EQ(again.Settings.Filename, "Front Desk");
    EXPECT_EQ(again.lblDest.Caption(), "Front Desk");
    // The printer chosen in the dialog becomes the one in use and the stored one.
    dialogs->printerChoices.push_back("Office Laser");
    again.cmdShow_Click();
    EXPECT_EQ(forms::Printer().DeviceName(), "Office Laser");
    EXPECT_EQ(again.lblDest.Caption(), "Office Laser");
    EXPECT_TRUE(again.Unload());
    EXPECT_EQ(stored("LANDLORD").Filename, "Office Laser");
    EXPECT_EQ(stored("LANDLORD").Destination, 0);
}

TEST_F(ReportScheduling, TheChosenFileGoesIntoTheFileNameBox)
{
    ReportSettings s = emailReport("");
    s.Destination = 1;
    s.Filename = "/home/me/old.htm";
    store("LEASE TERM", s);
    frmReportScheduling& form = open("LEASE TERM");
    EXPECT_EQ(form.txtFileName.Text(), "/home/me/old.htm");
    EXPECT_TRUE(form.txtFileName.Visible());
    EXPECT_FALSE(form.txtEmailNames.Visible());

    form.cmdShow_Click(); // cancelled
    EXPECT_EQ(form.txtFileName.Text(), "/home/me/old.htm");
    dialogs->files.push_back("/home/me/reports/lease.htm");
    form.cmdShow_Click();
    ASSERT_EQ(dialogs->fileRequests.size(), 2u);
    EXPECT_EQ(dialogs->fileRequests[1].fileName, "/home/me/old.htm");
    EXPECT_EQ(form.txtFileName.Text(), "/home/me/reports/lease.htm");
    EXPECT_TRUE(form.Unload());
    EXPECT_EQ(stored("LEASE TERM").Filename, "/home/me/reports/lease.htm");
}

TEST_F(ReportScheduling, HeightsFollowTheScheduleAndTheDestination)
{
    ReportSettings s = emailReport("");
    s.ScheduleReport = false;
    s.Destination = 1;
    store("OTHER REMINDER", s);
    frmReportScheduling& form = open("OTHER REMINDER");
    EXPECT_EQ(form.ScaleHeight(), 1755);
    EXPECT_EQ(form.SSTab1.Height(), 2175);

    form.chkScheduleReport.SetValue(forms::vbChecked);
    EXPECT_EQ(form.ScaleHeight(), 4110);
    form.optDestination(2).SetValue(true);
    EXPECT_EQ(form.ScaleHeight(), 5025);
    EXPECT_EQ(form.SSTab1.Height(), 3015);
    EXPECT_TRUE(form.chkSendAsAttachment.Visible());
    EXPECT_FALSE(form.cmdShow.Visible());
    form.chkScheduleReport.SetValue(forms::vbUnchecked);
    EXPECT_EQ(form.ScaleHeight(), 1755);
    form.optDestination(0).SetValue(true);
    form.chkScheduleReport.SetValue(forms::vbChecked);
    EXPECT_EQ(form.ScaleHeight(), 4110);
    EXPECT_EQ(form.SSTab1.Height(), 2175);
    QCoreApplication::processEvents();
    Grab(form.hWnd(), "frmReportScheduling_printer");
    form.optDestination(2).SetValue(true);
    form.txtEmailNames.SetText("a@one.com\r\nb@two.org");
    form.SSTab1.SetTab(1);
    Grab(form.hWnd(), "frmReportScheduling_email");
    form.SSTab1.SetTab(0);
    Grab(form.hWnd(), "frmReportScheduling_scheduling");
}

// The window system frames the form once it is on show: each state has one
// height inside the frame, whether the form opened in that state or came to
// it later.
TEST_F(ReportScheduling, EachStateHasOneHeightHoweverTheFormWasOpened)
{
    store("OTHER REMINDER", emailReport("a@one.com"));
    frmReportScheduling& form = open("OTHER REMINDER");
    QCoreApplication::processEvents();
    ASSERT_NE(form.hWnd()->frameGeometry().height(), form.hWnd()->height()) << "the platform draws no frame";
    EXPECT_EQ(form.ScaleHeight(), 5025);
    form.chkScheduleReport.SetValue(forms::vbUnchecked);
    EXPECT_EQ(form.ScaleHeight(), 1755);
    form.optDestination(0).SetValue(true);
    form.chkScheduleReport.SetValue(forms::vbChecked);
    EXPECT_EQ(form.ScaleHeight(), 4110);
}

TEST_F(ReportScheduling, ChangesReachTheFileOnCloseOrAtOnceWhileTheTaskListIsOpen)
{
    store("INSURANCE REMINDER", emailReport("a@one.com"));
    frmReportScheduling& form = open("INSURANCE REMINDER");
    const std::string before = fileText();
    form.cboFrequency.SetText("Quarterly");
    form.cboReminderType.SetText("Popup-Menu");
    form.chkSendAsAttachment.SetValue(forms::vbChecked);
    form.DTStartDate.SetValue(vb::Variant(vb::DateSerial(2025, 4, 1)));
    form.DTStartTime.SetValue(vb::Variant(vb::TimeSerial(14, 5, 0)));
    EXPECT_EQ(fileText(), before);
    // A scheduled run loading another record meanwhile changes nothing here.
    tv::Reports().g_CurrentReport = "BASE RATE";
    EXPECT_TRUE(form.Unload());
    ReportSettings saved = stored("INSURANCE REMINDER");
    EXPECT_EQ(saved.Frequency, "Quarterly");
    EXPECT_EQ(saved.Reminder, "Popup-Menu");
    EXPECT_TRUE(saved.SendAsAttachment);
    EXPECT_EQ(saved.StartDate, "4/1/2025");
    EXPECT_EQ(saved.StartTime, "02:05 PM");
    EXPECT_EQ(saved.Length, "5 Years");
    // Closing rebuilt the table of scheduled reports.
    ASSERT_TRUE(tv::Reports().g_ScheduledTasks);
    EXPECT_EQ(tv::Reports().g_ScheduledTasks->front().Frequency, "Quarterly");

    tv::Shell().g_DatabaseFileName = std::string(Mod_tallyvane::kDatabaseFileName);
    Mod_DBConnections::OpenDatabase();
    frmTaskList& list = frmTaskList::Instance();
    list.Show();
    frmReportScheduling& again = open("INSURANCE REMINDER");
    again.cboFrequency.SetText("Yearly");
    EXPECT_EQ(stored("INSURANCE REMINDER").Frequency, "Yearly");
    ASSERT_EQ(list.ReportRows, 1);
    EXPECT_EQ(list.lvwTasks.ListItems()(1).SubItem(3), "Yearly");
}

TEST_F(ReportScheduling, ARefillWithAnotherReportKeepsBothRecordsApart)
{
    store("BASE RATE", emailReport("a@one.com"));
    ReportSettings cam = emailReport("c@three.net");
    cam.Destination = 0;
    cam.Filename = "Office Laser";
    store("CAM RATE", cam);
    const ReportSettings camBefore = stored("CAM RATE");

    frmReportScheduling& form = open("BASE RATE");
    form.cboFrequency.SetText("Monthly");
    frmReportScheduling::ShowReport("CAM RATE");
    EXPECT_EQ(form.ReportKey(), "CAM RATE");
    EXPECT_EQ(form.lblReportName.Caption(), "CAM RATE");
    EXPECT_EQ(form.lblDest.Caption(), "Office Laser");
    EXPECT_EQ(form.txtEmailNames.Text(), "");
    // The first report's edit was saved; filling the second wrote nothing.
    EXPECT_EQ(stored("BASE RATE").Frequency, "Monthly");
    EXPECT_EQ(stored("CAM RATE"), camBefore);
    EXPECT_TRUE(form.Unload());
    EXPECT_EQ(stored("CAM RATE"), camBefore);
}

TEST_F(ReportScheduling, TheReportScreenOpensTheFormOnItsReportAndKeepsItInStep)
{
    frmReport::SetBuilder([](std::string_view, const ReportSettings&, std::string*) { return false; });
    frmReport& screen = frmReport::Instance();
    screen.Show();
    screen.smuiMenuBar.Choose("REPORT");
    frmReportScheduling* form = frmReportScheduling::IfLoaded();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->ReportKey(), "LEASE EXPIRATION");
    screen.ReportItemClick(1, "PERCENTAGE RATE");
    EXPECT_EQ(form->ReportKey(), "PERCENTAGE RATE");
    EXPECT_EQ(form->lblReportName.Caption(), "PERCENTAGE RATE");
}

// A report bound for a file needs the file's name, as one bound for e-mail
// needs its recipients: at its time nothing would be written.
TEST_F(ReportScheduling, AReportForAFileWithoutItsNameIsRefusedAtClosing)
{
    ReportSettings s = emailReport("");
    s.Destination = 1;
    store("LEASE TERM", s);
    frmReportScheduling& form = open("LEASE TERM");
    const std::string before = fileText();
    for (const char* name : {"", "   "}) {
        msgbox->shown.clear();
        form.txtFileName.SetText(name);
        form.MenuCommand("CLOSE");
        EXPECT_EQ(frmReportScheduling::IfLoaded(), &form) << '"' << name << '"';
        ASSERT_EQ(msgbox->shown.size(), 1u);
        EXPECT_EQ(msgbox->shown[0].prompt, "Please enter the name of the file the report is to be written to");
        EXPECT_EQ(msgbox->shown[0].title, "No File Name");
        EXPECT_EQ(msgbox->shown[0].buttons, forms::vbOKOnly | forms::vbExclamation);
    }
    EXPECT_EQ(fileText(), before);

    msgbox->shown.clear();
    form.txtFileName.SetText("/home/me/lease.htm");
    EXPECT_TRUE(form.Unload());
    EXPECT_TRUE(msgbox->shown.empty());
    EXPECT_EQ(stored("LEASE TERM").Filename, "/home/me/lease.htm");

    // Not scheduled, it needs no name.
    frmReportScheduling& again = open("LEASE TERM");
    again.txtFileName.SetText("");
    again.chkScheduleReport.SetValue(forms::vbUnchecked);
    EXPECT_TRUE(again.Unload());
    EXPECT_TRUE(msgbox->shown.empty());
}

// A schedule the file cannot take is never lost without a word: closing
// says why and asks, and the form stays open with what was set unless the
// user lets it go.
TEST_F(ReportScheduling, AScheduleThatCannotBeSavedIsSaidAndKeptUntilTheUserLetsItGo)
{
    store("RENEWAL REMINDER", emailReport("a@one.com"));
    frmReportScheduling& form = open("RENEWAL REMINDER");
    form.cboFrequency.SetText("Weekly");
    {
        reporttest::UnwritableFolder readOnly(root, root.ProgramFolder());
        msgbox->answers = {forms::vbNo};
        form.MenuCommand("CLOSE");
        EXPECT_EQ(frmReportScheduling::IfLoaded(), &form);
        ASSERT_EQ(msgbox->shown.size(), 1u);
        const std::string& told = msgbox->shown[0].prompt;
        EXPECT_NE(told.find("The schedule of the Renewal Reminder Report could not be saved"), std::string::npos)
            << told;
        EXPECT_NE(told.find("Permission denied"), std::string::npos) << told;
        EXPECT_EQ(msgbox->shown[0].buttons & 7, forms::vbYesNo);
        EXPECT_TRUE(tv::Reports().g_SchedulingOpen);
        EXPECT_EQ(form.Settings.Frequency, "Weekly");

        // The user lets it go.
        msgbox->answers = {forms::vbYes};
        form.MenuCommand("CLOSE");
        EXPECT_EQ(frmReportScheduling::IfLoaded(), nullptr);
        EXPECT_EQ(msgbox->shown.size(), 2u);
    }
    EXPECT_EQ(stored("RENEWAL REMINDER").Frequency, "Daily");

    // While the task list is open every change is saved at once: a failing
    // save is said once, not at every change, and again once a save worked.
    tv::Shell().g_DatabaseFileName = std::string(Mod_tallyvane::kDatabaseFileName);
    Mod_DBConnections::OpenDatabase();
    frmTaskList::Instance().Show();
    frmReportScheduling& listed = open("RENEWAL REMINDER");
    msgbox->shown.clear();
    {
        reporttest::UnwritableFolder readOnly(root, root.ProgramFolder());
        listed.cboFrequency.SetText("Monthly");
        listed.cboReminderType.SetText("Popup-Menu");
        EXPECT_EQ(msgbox->shown.size(), 1u);
    }
    listed.cboFrequency.SetText("Yearly");
    EXPECT_EQ(stored("RENEWAL REMINDER").Frequency, "Yearly");
    {
        reporttest::UnwritableFolder readOnly(root, root.ProgramFolder());
        listed.cboFrequency.SetText("Quarterly");
        EXPECT_EQ(msgbox->shown.size(), 2u);
    }
    // Closing once the file takes it again saves without a word.
    msgbox->shown.clear();
    EXPECT_TRUE(listed.Unload());
    EXPECT_TRUE(msgbox->shown.empty());
    EXPECT_EQ(stored("RENEWAL REMINDER").Frequency, "Quarterly");
}

// A schedules file too large to be one is refused whole: the form shows the
// defaults, says once that schedules cannot be kept, and closes.
TEST_F(ReportScheduling, ARefusedSchedulesFileIsSaidOnceAndTheFormCloses)
{
    const fs::path file = root.ProgramFolder() / Mod_Report::kReportFileName;
    {
        std::ofstream out(file, std::ios::binary);
        const std::string junk(1023, 'x');
        for (int i = 0; i < 17 * 1024; ++i)
            out << junk << '\n';
    }
    const auto size = fs::file_size(file);

    frmReportScheduling& form = open("LEASE TERM");
    EXPECT_EQ(form.Settings, Mod_Report::ToReportSettings({}));
    // Scheduled for a file with no name yet: nothing asks for one, as
    // nothing could be kept.
    form.chkScheduleReport.SetValue(forms::vbChecked);
    form.cboFrequency.SetText("Weekly");
    form.cboReminderType.SetText("Popup-Menu");
    form.MenuCommand("CLOSE");
    EXPECT_EQ(frmReportScheduling::IfLoaded(), nullptr);
    ASSERT_EQ(msgbox->shown.size(), 1u);
    EXPECT_NE(msgbox->shown[0].prompt.find("Schedules cannot be kept"), std::string::npos) << msgbox->shown[0].prompt;
    EXPECT_NE(msgbox->shown[0].prompt.find(file.string()), std::string::npos) << msgbox->shown[0].prompt;
    EXPECT_EQ(fs::file_size(file), size);
}

} // namespace
