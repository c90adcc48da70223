// The task list against a database with reminders: the reports first, then
// the reminders up to the list's end, the views, the custom end date, the
// layout, the Modify popup on report rows, the stored settings and the
// refreshes from outside.

#include "program/reports/frmTaskList.h"

#include "platform/ado/Recordset.h"
#include "platform/basic/ProgramSettings.h"
#include "platform/forms/CommonDialog.h"
#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/Mod_TaskList.h"
#include "program/reports/ReportsState.h"
#include "program/reports/frmReportScheduling.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/Notifications.h"
#include "program/services/ServicesTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

// A press and a release of one mouse button, as the user clicks.
void click(QWidget* widget, Qt::MouseButton button, QPoint at)
{
    const QPointF global = widget->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, button, button, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

class TaskList : public tv::testing::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        tv::ResetReportsState();
        forms::SetDialogPort(std::make_shared<forms::ScriptedDialogs>());
        tv::Shell().g_DatabaseFileName = std::string(Mod_tallyvane::kDatabaseFileName);
        Mod_DBConnections::OpenDatabase();
        today = vb::Today();
        // Reminders out of date order, one of them yesterday's.
        addReminder(40, "Insurance: Main Street");
        addReminder(0, "Renewal: Main Street");
        addReminder(-1, "Other: Yesterday Road");
        addReminder(3, "Monthly Sales Report: Harbour");
        addReminder(400, "Renewal: Harbour");
        addReminder(0, "Insurance: Harbour");
        addReminder(800, "Other: Far Away");
        schedule("BASE RATE", "Daily", 2, "a@one.com;b@two.org");
        schedule("LANDLORD", "Weekly", 0, "Office Laser");
    }
    void TearDown() override
    {
        forms::ResetForms();
        forms::SetDialogPort(nullptr);
        tv::ResetReportsState();
        ProgramFixture::TearDown();
    }

    void addReminder(int days, const std::string& info)
    {
        auto& s = tv::Shell();
        int32_t count = 0;
        Mod_DBConnections::OpenCalInfo("Modify", count);
        s.g_rsCalInfo->AddNew();
        s.g_rsCalInfo->Fields("Date") = vb::Variant(Mod_FTPData::DateToDayNumber(today) + days);
        s.g_rsCalInfo->Fields("StoreID") = vb::Variant(1);
        s.g_rsCalInfo->Fields("Type") = vb::Variant("1");
        s.g_rsCalInfo->Fields("info") = vb::Variant(info);
        s.g_rsCalInfo->Update();
        Mod_DBConnections::CloseCalInfo();
    }
    void schedule(std::string_view key, const char* frequency, int16_t destination, const char* name) const
    {
        ReportSettings s = Mod_Report::ToReportSettings({});
        s.ScheduleReport = true;
        s.StartDate = Mod_Report::DateText(today);
        s.StartTime = "10:00 AM";
        s.Frequency = frequency;
        s.Destination = destination;
        s.Filename = name;
        Mod_FileIO::WriteReportSettings(root.ProgramFolder(), key, Mod_Report::ToValues(s));
    }
    std::string day(int days) const { return Mod_Report::DateText(Mod_FTPData::AddToDate(days, "d", today)); }

    static frmTaskList& open()
    {
        frmTaskList& list = frmTaskList::Instance();
        list.Show();
        return list;
    }
    static Rows rows(frmTaskList& list)
    {
        Rows out;
        auto& items = list.lvwTasks.ListItems();
        for (int i = 1; i <= items.Count(); ++i) {
            std::vector<std::string> row{items(i).SmallIcon(), items(i).Text()};
            for (int c = 1; c <= 4; ++c)
                row.push_back(items(i).SubItem(c));
            out.push_back(row);
        }
        return out;
    }
    static std::vector<std::string> names(frmTaskList& list)
    {
        std::vector<std::string> out;
        for (const auto& row : rows(list))
            out.push_back(row[1]);
        return out;
    }

    // Clicks row `row` with the right button and returns the popup's
    // captions; with `choose`, its first command is chosen.
    static std::vector<std::string> rightClick(frmTaskList& list, int row, bool choose)
    {
        std::vector<std::string> captions;
        bool looked = false;
        QTimer::singleShot(0, [&] {
            looked = true;
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* action : menu->actions())
                    if (action->isVisible())
                        captions.push_back(action->text().toStdString());
                if (choose && !menu->actions().isEmpty())
                    menu->actions().front()->trigger();
                menu->close();
            }
        });
        QTreeWidget* tree = list.lvwTasks.Tree();
        const QPoint at = row > 0 ? tree->visualItemRect(tree->topLevelItem(row - 1)).center()
                                  : QPoint(10, tree->viewport()->height() - 3);
        click(tree->viewport(), Qt::RightButton, at);
        while (!looked)
            QCoreApplication::processEvents();
        return captions;
    }
    static void leftClick(frmTaskList& list, int row)
    {
        QTreeWidget* tree = list.lvwTasks.Tree();
        click(tree->viewport(), Qt::LeftButton, tree->visualItemRect(tree->topLevelItem(row - 1)).center());
    }

    vb::Date today;
};

TEST_F(TaskList, DayListsTodaysRemindersAfterAllScheduledReports)
{
    vb::SaveSetting("Tallyvane", "frmTaskList", "ListLength", "0");
    frmTaskList& list = open();
    EXPECT_TRUE(tv::Shell().g_TaskListOpen);
    EXPECT_EQ(list.cboListLength.Text(), "Day");
    EXPECT_FALSE(list.DTCustomListLen.Visible());
    const Rows expected = {
        {"REPORT", "Base Rate Report", day(0), "10:00 AM", "Daily", "E-mail"},
        {"REPORT", "LandLord Report", day(0), "10:00 AM", "Weekly", "Printer"},
        {"TASK", "Renewal: Main Street", day(0), "", "", ""},
        {"TASK", "Insurance: Harbour", day(0), "", "", ""},
    };
    EXPECT_EQ(rows(list), expected);
    EXPECT_EQ(list.ReportRows, 2);
    std::vector<std::string> columns;
    for (int i = 1; i <= list.lvwTasks.ColumnHeaders().Count(); ++i)
        columns.push_back(list.lvwTasks.ColumnHeaders()(i).Text());
    EXPECT_EQ(columns, (std::vector<std::string>{"Task Name", "Scheduled Date", "Scheduled Time", "Frequency",
                                                 "Destination"}));
}

TEST_F(TaskList, TheViewsAndTheLengthsListEachRowOnce)
{
    frmTaskList& list = open();
    // The default length is a week.
    EXPECT_EQ(list.cboListLength.ListIndex(), 1);
    list.MenuBarCommand("TASKS");
    EXPECT_EQ(names(list), (std::vector<std::string>{"Renewal: Main Street", "Insurance: Harbour",
                                                     "Monthly Sales Report: Harbour"}));
    EXPECT_EQ(list.ReportRows, 0);
    list.cboListLength.SetListIndex(3);
    EXPECT_EQ(names(list), (std::vector<std::string>{"Renewal: Main Street", "Insurance: Harbour",
                                                     "Monthly Sales Report: Harbour", "Insurance: Main Street"}));
    // "2 Years" lists two years and has no end-date picker.
    list.cboListLength.SetListIndex(6);
    EXPECT_FALSE(list.DTCustomListLen.Visible());
    EXPECT_EQ(names(list).size(), 5u);
    EXPECT_EQ(names(list).back(), "Renewal: Harbour");

    list.MenuBarCommand("REPORTS");
    EXPECT_EQ(names(list), (std::vector<std::string>{"Base Rate Report", "LandLord Report"}));
    list.MenuBarCommand("ALL");
    EXPECT_EQ(names(list).size(), 7u);
    list.MenuBarCommand("UNKNOWN");
    EXPECT_EQ(names(list).size(), 7u);
}

TEST_F(TaskList, CustomListsUpToThePickedDate)
{
    frmTaskList& list = open();
    list.MenuBarCommand("TASKS");
    list.cboListLength.SetListIndex(frmTaskList::kCustomLength);
    EXPECT_TRUE(list.DTCustomListLen.Visible());
    EXPECT_TRUE(list.lblEndDate.Visible());
    // The picker starts at today.
    EXPECT_EQ(names(list), (std::vector<std::string>{"Renewal: Main Street", "Insurance: Harbour"}));
    list.DTCustomListLen.SetValue(vb::Variant(Mod_FTPData::AddToDate(40, "d", today)));
    EXPECT_EQ(names(list).size(), 4u);
    EXPECT_EQ(names(list).back(), "Insurance: Main Street");
    list.DTCustomListLen.SetValue(vb::Variant(Mod_FTPData::AddToDate(800, "d", today)));
    EXPECT_EQ(names(list).back(), "Other: Far Away");
    // An end before today lists the days between it and today.
    list.DTCustomListLen.SetValue(vb::Variant(Mod_FTPData::AddToDate(-5, "d", today)));
    EXPECT_EQ(names(list), (std::vector<std::string>{"Other: Yesterday Road", "Renewal: Main Street",
                                                     "Insurance: Harbour"}));
}

TEST_F(TaskList, TheLayoutFollowsTheWindowSize)
{
    frmTaskList& list = open();
    list.Move(0, 0, 6000, 4995);
    EXPECT_EQ(list.lvwTasks.Width(), 5700);
    EXPECT_EQ(list.lvwTasks.Height(), 3795);
    const double widths[] = {1995, 912, 912, 627, 1197};
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(list.lvwTasks.ColumnHeaders()(i + 1).Width(), widths[i], 1e-6) << i;
    EXPECT_EQ(list.cboListLength.Top(), 4195);
    EXPECT_EQ(list.lblListLen.Top(), 4195);
    EXPECT_EQ(list.DTCustomListLen.Top(), 4195);
    // Too small a window skips what does not fit and lays out the rest.
    EXPECT_NO_THROW(list.Move(0, 0, 200, 900));
    EXPECT_EQ(list.cboListLength.Top(), 100);
    list.Move(0, 0, 8865, 3885);
    list.cboListLength.SetListIndex(frmTaskList::kCustomLength);
    list.DTCustomListLen.SetValue(vb::Variant(Mod_FTPData::AddToDate(40, "d", today)));
    QCoreApplication::processEvents();
    Grab(list.hWnd(), "frmTaskList");
}

// At the default size every column header shows its whole caption, in the
// columns' own shares of the list.
TEST_F(TaskList, TheHeadersShowWholeAtTheDefaultSize)
{
    frmTaskList& list = open();
    QCoreApplication::processEvents();
    QHeaderView* header = list.lvwTasks.Tree()->header();
    const double shares[] = {0.35, 0.16, 0.16, 0.11, 0.21};
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(list.lvwTasks.ColumnHeaders()(i + 1).Width(), list.lvwTasks.Width() * shares[i], 1e-6);
        EXPECT_LE(header->sectionSizeHint(i), header->sectionSize(i))
            << list.lvwTasks.ColumnHeaders()(i + 1).Text() << " is cut";
    }
    EXPECT_GE(header->font().pointSizeF(), 7.0);
    // A wide window gives the headers the list's own type back.
    list.Move(0, 0, 15000, 3885);
    EXPECT_EQ(header->font().pointSizeF(), list.lvwTasks.Tree()->font().pointSizeF());
}

TEST_F(TaskList, ModifyOnAReportRowOpensItsScheduleAndNeverOnAReminderRow)
{
    frmTaskList& list = open();
    ASSERT_EQ(list.ReportRows, 2);
    // Before any row was clicked, the first report is offered.
    EXPECT_EQ(rightClick(list, 4, false), (std::vector<std::string>{"Modify BASE RATE"}));
    leftClick(list, 2);
    EXPECT_EQ(list.SelectedRow, 2);
    EXPECT_EQ(rightClick(list, 2, true), (std::vector<std::string>{"Modify LANDLORD"}));
    frmReportScheduling* form = frmReportScheduling::IfLoaded();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->ReportKey(), "LANDLORD");
    EXPECT_EQ(form->lblDest.Caption(), "Office Laser");
    EXPECT_EQ(tv::Reports().g_CurrentReport, "LANDLORD");

    // With the form open, Modify refills it with the chosen report.
    leftClick(list, 1);
    rightClick(list, 1, true);
    EXPECT_EQ(frmReportScheduling::IfLoaded(), form);
    EXPECT_EQ(form->ReportKey(), "BASE RATE");
    EXPECT_EQ(form->txtEmailNames.Text(), "a@one.com\r\nb@two.org");

    // A reminder row, and a refill that forgot the clicked row.
    leftClick(list, 3);
    EXPECT_TRUE(rightClick(list, 3, false).empty());
    Mod_TaskList::FillTaskList();
    EXPECT_EQ(list.SelectedRow, 0);
    list.MenuBarCommand("TASKS");
    EXPECT_TRUE(rightClick(list, 1, false).empty());
}

TEST_F(TaskList, SizesAndChoicesAreStoredAndTheRefreshesReachTheOpenList)
{
    frmTaskList& list = open();
    list.cboListLength.SetListIndex(frmTaskList::kCustomLength);
    list.DTCustomListLen.SetValue(vb::Variant(vb::DateSerial(2025, 6, 30)));
    list.Move(0, 0, 6990, 4500);
    list.MenuBarCommand("TASKS");

    // The store editor's and the runner's refresh.
    addReminder(1, "Other: Tomorrow Lane");
    Notifications::RefreshTaskList();
    EXPECT_EQ(names(list)[2], "Other: Tomorrow Lane");

    list.MenuBarCommand("CLOSE");
    EXPECT_EQ(frmTaskList::IfLoaded(), nullptr);
    EXPECT_FALSE(tv::Shell().g_TaskListOpen);
    EXPECT_FALSE(tv::Reports().g_ListReports);
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmTaskList", "ListLength", ""), "8");
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmTaskList", "CustomDate", ""), "6/30/2025");
    // Closed, the list is refreshed by nobody.
    EXPECT_NO_THROW(Notifications::RefreshTaskList());
    EXPECT_EQ(frmTaskList::IfLoaded(), nullptr);

    frmTaskList& again = open();
    EXPECT_EQ(again.cboListLength.ListIndex(), frmTaskList::kCustomLength);
    EXPECT_EQ(vb::CDate(again.DTCustomListLen.Value()), vb::DateSerial(2025, 6, 30));
    EXPECT_EQ(again.Width(), 6990);
    EXPECT_EQ(again.Height(), 4500);
    EXPECT_TRUE(tv::Reports().g_ListReports);
    EXPECT_TRUE(tv::Reports().g_ListTasks);

    // A stored length that is no list index opens a week, a number too
    // large for the runtime included.
    for (const char* stored : {"12", "1e400", "2.5", "-1"}) {
        frmTaskList::Instance().Unload();
        vb::SaveSetting("Tallyvane", "frmTaskList", "ListLength", stored);
        EXPECT_EQ(open().cboListLength.ListIndex(), 1) << stored;
    }
}

} // namespace
