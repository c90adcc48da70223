#include "program/shell/frmTallyvane.h"

#include "platform/ado/AdoTesting.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/App.h"
#include "platform/forms/Form.h"
#include "platform/forms/Runtime.h"
#include "platform/testing/Quiescence.h"
#include "program/reports/frmReport.h"
#include "program/reports/frmTaskList.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/Mod_Registry.h"
#include "program/shell/Mod_tallyvane.h"
#include "program/shell/Mod_tallyvane_Calendar.h"
#include "program/shell/ScreenCommands.h"
#include "program/shell/ShellTestSupport.h"
#include "program/shell/frmMain.h"
#include "program/shell/frmOptions.h"
#include "program/stores/Mod_StoreInfo.h"
#include "program/stores/frmSales.h"

#include <QCoreApplication>
#include <QTest>

#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

int32_t dayOf(int y, int m, int d)
{
    return Mod_FTPData::DateToDayNumber(vb::DateSerial(y, m, d));
}

// Another screen; its unload may close all windows, as the main calendar's does.
class OtherScreen : public forms::FormOf<OtherScreen> {
public:
    OtherScreen() : FormOf("OtherScreen") { SetCaption("Other"); }
    static inline bool closeAllOnUnload = false;
    static inline int unloads = 0;

protected:
    void Form_Unload(int&) override
    {
        ++unloads;
        if (closeAllOnUnload)
            Mod_FTPData::UnloadAllForms(false);
    }
};

class MainCalendar : public tv::testing::ShellFixture {
protected:
    void TearDown() override
    {
        OtherScreen::closeAllOnUnload = false;
        OtherScreen::unloads = 0;
        ShellFixture::TearDown();
    }

    static void settle()
    {
        EXPECT_TRUE(tv::testing::DrainPostedEvents());
    }

    static std::string setting(const char* key)
    {
        return vb::GetSetting("Tallyvane", "frmTallyvane", key, "<none>");
    }
};

TEST_F(MainCalendar, StartUpShowsThisMonthsRemindersOfTheExampleDatabase)
{
    tv::Shell().g_TaskListOpen = true;
    ASSERT_TRUE(Mod_tallyvane::Main());
    settle();

    tv::ShellState& shell = tv::Shell();
    EXPECT_EQ(shell.g_MonthNames.size(), 12u);
    EXPECT_EQ(shell.g_DatabaseFileName, Mod_tallyvane::kExampleDatabaseFileName);
    EXPECT_FALSE(tv::Shell().g_TaskListOpen);

    frmTallyvane* form = frmTallyvane::IfLoaded();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(form->Caption(), "Tallyvane");
    // The month names were there before the window loaded, the settings
    // before the database, the database before the calendar.
    ASSERT_EQ(form->FlatComboBox1.ListCount(), "12");
    EXPECT_EQ(form->FlatComboBox1.List(11), "December");
    EXPECT_EQ(form->FlatComboBox1.ListIndex(), 2);
    EXPECT_EQ(form->FlatSpin1.Value(), 2025);
    EXPECT_EQ(form->FlatSpin1.ToolTipText(), "Sets calendar year");
    EXPECT_EQ(form->lblDate.Caption(), "March 10, 2025");

    controls::ctCalendar& cal = form->ctCalendar1;
    EXPECT_EQ(cal.FirstDay(), dayOf(2025, 2, 24));
    EXPECT_EQ(cal.CurrentDay(), dayOf(2025, 3, 10));
    EXPECT_EQ(cal.TopDay(), dayOf(2025, 2, 24));
    int shown = 0;
    for (int32_t d : cal.MarkedDays())
        if (d >= cal.TopDay() && d < cal.TopDay() + 42) {
            ++shown;
            EXPECT_NE(cal.DayText(d), "");
        }
    EXPECT_GE(shown, 3) << "the example database has reminders in the coming weeks";
    EXPECT_EQ(cal.LastPictureIndex(), 16);

    // The launch panel is the side bar's one group.
    ASSERT_EQ(form->smuiOptions.Groups().Count(), 1);
    EXPECT_EQ(form->smuiOptions.Groups().Item(0).Value(), "smuiPanel(0)");
    EXPECT_EQ(form->smuiOptions.ShownPanel(), &form->smuiPanel(0));
    EXPECT_EQ(form->smuiPanel(0).Items().Item("STORES").ToolTipText(), "Show the Graph Screen");

    // First start: the design size, centred.
    // (The window system may add its frame once the window is on show.)
    EXPECT_NEAR(form->Width(), 12015, 90);
    EXPECT_NEAR(form->Height(), 8025, 90);
    EXPECT_NEAR(form->Left(), (vb::Screen::Width() - 12015) / 2.0, 45);
    Grab(form->hWnd(), QStringLiteral("frmTallyvane_example"));
}

TEST_F(MainCalendar, StartUpEndsWithOneMessageWhenTheDatabaseCannotBeOpened)
{
    std::filesystem::remove(root.ProgramFolder() / Mod_tallyvane::kExampleDatabaseFileName);
    EXPECT_FALSE(Mod_tallyvane::Main());
    ASSERT_EQ(msgbox->shown.size(), 1u);
    EXPECT_NE(msgbox->shown[0].prompt.find(
                  (root.ProgramFolder() / Mod_tallyvane::kExampleDatabaseFileName).string()),
              std::string::npos);
    EXPECT_EQ(forms::Forms().Count(), 0);
    EXPECT_FALSE(std::filesystem::exists(root.ProgramFolder() / Mod_tallyvane::kExampleDatabaseFileName));
}

TEST_F(MainCalendar, ADatabaseWithoutItsTablesIsReportedAndTheWindowStillComesUp)
{
    // A database file that opens but lost its tables.
    ado::testing::MakeDatabase(root.ProgramFolder() / Mod_tallyvane::kExampleDatabaseFileName,
                               "CREATE TABLE Other (x INTEGER);");
    forms::InstallErrorHandler();
    const bool started = Mod_tallyvane::Main();
    vb::SetUnhandledErrorHandler(nullptr);
    ASSERT_TRUE(started);
    // The start names what is missing, then the calendar's fill fails on it.
    ASSERT_EQ(msgbox->shown.size(), 2u);
    EXPECT_NE(msgbox->shown[0].prompt.find("It lacks the tables Stores, LandLord, BaseRate, CAMRate, TaxRate, "
                                           "PercentageRate, Sales and CalInfo."),
              std::string::npos)
        << msgbox->shown[0].prompt;
    EXPECT_EQ(msgbox->shown[1].prompt.rfind("Run-time error", 0), 0u) << msgbox->shown[1].prompt;
    frmTallyvane& form = frmTallyvane::Instance();
    EXPECT_TRUE(form.Visible());
    EXPECT_TRUE(form.ctCalendar1.MarkedDays().empty());
    EXPECT_EQ(form.lblDate.Caption(), "March 10, 2025");
}

TEST_F(MainCalendar, AWindowSmallerThanTheLaunchPanelKeepsTheCalendarsLastSize)
{
    ASSERT_TRUE(Mod_tallyvane::Main());
    frmTallyvane& form = frmTallyvane::Instance();
    form.Move(form.Left(), form.Top(), 10000, 7000);
    const double width = form.ctCalendar1.Width();
    const double height = form.ctCalendar1.Height();
    EXPECT_NEAR(width, form.Width() - form.smuiOptions.Width() - 400, 1);
    form.Move(form.Left(), form.Top(), 1500, 1200);
    EXPECT_EQ(form.ctCalendar1.Width(), width);
    EXPECT_EQ(form.ctCalendar1.Height(), height);
    EXPECT_TRUE(msgbox->shown.empty());
}

TEST_F(MainCalendar, StartUpReadsTheDatabaseChoiceBeforeOpeningIt)
{
    Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "UseExampleDB",
                                vb::Variant("False"), winreg::REG_SZ);
    ASSERT_TRUE(Mod_tallyvane::Main());
    EXPECT_EQ(tv::Shell().g_DBConnection->DataSource(), root.ProgramFolder() / Mod_tallyvane::kDatabaseFileName);
    EXPECT_TRUE(frmTallyvane::Instance().ctCalendar1.MarkedDays().empty());
}

TEST_F(MainCalendar, TheChoosersMoveTheMonthWindow)
{
    ASSERT_TRUE(Mod_tallyvane::Main());
    frmTallyvane& form = frmTallyvane::Instance();
    controls::ctCalendar& cal = form.ctCalendar1;

    // 1 February 2027 is a Monday: the calendar starts on it.
    form.FlatSpin1.SetValue(2027);
    form.FlatComboBox1.SetListIndex(1);
    EXPECT_EQ(cal.FirstDay(), dayOf(2027, 2, 1));
    EXPECT_EQ(cal.TopDay(), dayOf(2027, 2, 1));
    // 1 June 2025 is a Sunday: the Monday before.
    form.FlatSpin1.SetValue(2025);
    form.FlatComboBox1.SetListIndex(5);
    EXPECT_EQ(cal.FirstDay(), dayOf(2025, 5, 26));
    EXPECT_EQ(cal.CurrentDay(), dayOf(2025, 3, 10));

    // A year typed half-way or outside 1900 to 9999 leaves the calendar.
    // Each key typed re-dates; the digits on the way to a year do not.
    QWidget* yearBox = form.FlatSpin1.Text1.Widget();
    for (const char* year : {"20", "0", "-5", "10000", "abc"}) {
        form.FlatSpin1.Text1.SetText("");
        QTest::keyClicks(yearBox, QString::fromLatin1(year));
        EXPECT_EQ(cal.FirstDay(), dayOf(2025, 5, 26)) << year;
    }
    form.FlatSpin1.Text1.SetText("");
    QTest::keyClicks(yearBox, QStringLiteral("1999"));
    EXPECT_EQ(cal.FirstDay(), dayOf(1999, 5, 31));
    // The arrow key steps the year.
    QTest::keyClick(yearBox, Qt::Key_Up);
    EXPECT_EQ(form.FlatSpin1.Value(), 2000);
    EXPECT_EQ(cal.FirstDay(), dayOf(2000, 5, 29));
}

TEST_F(MainCalendar, TheYearBoxTakesOnlyYearsTheCalendarCanShowAndReturnsToTheShownYear)
{
    ASSERT_TRUE(Mod_tallyvane::Main());
    frmTallyvane& form = frmTallyvane::Instance();
    controls::ctCalendar& cal = form.ctCalendar1;
    std::vector<int> errors;
    vb::SetUnhandledErrorHandler([&](const vb::RuntimeError& e) { errors.push_back(e.Number()); });
    form.hWnd()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.hWnd()));
    QWidget* yearBox = form.FlatSpin1.Text1.Widget();
    auto type = [&](const char* year) {
        yearBox->setFocus();
        form.FlatSpin1.Text1.SetText("");
        QTest::keyClicks(yearBox, QString::fromLatin1(year));
    };
    auto leave = [&] {
        form.ctCalendar1.Widget()->setFocus();
        QCoreApplication::processEvents();
    };

    // December: two years from the last week of November must fit before
    // the end of 9999.
    form.FlatComboBox1.SetListIndex(11);
    type("9997");
    EXPECT_EQ(cal.FirstDay(), dayOf(9997, 12, 1));
    for (const char* year : {"9998", "9999", "1899", "1500", "0"}) {
        type(year);
        EXPECT_EQ(cal.FirstDay(), dayOf(9997, 12, 1)) << year;
        leave();
        EXPECT_EQ(form.FlatSpin1.Text1.Text(), "9997") << year;
        EXPECT_EQ(form.FlatSpin1.Value(), 9997) << year;
    }
    // January of 9998 still fits whole.
    form.FlatComboBox1.SetListIndex(0);
    type("9998");
    EXPECT_EQ(cal.FirstDay(), dayOf(9997, 12, 29));

    // Each digit on the way to a year is a year of its own: none of them
    // moves the calendar or the box, and the year typed whole is taken.
    type("2024");
    EXPECT_EQ(cal.FirstDay(), dayOf(2024, 1, 1));
    EXPECT_EQ(form.FlatSpin1.Text1.Text(), "2024");
    // Enter gives the box back the shown year as leaving it does.
    type("190");
    QTest::keyClick(yearBox, Qt::Key_Return);
    EXPECT_EQ(form.FlatSpin1.Text1.Text(), "2024");
    EXPECT_EQ(cal.FirstDay(), dayOf(2024, 1, 1));
    EXPECT_TRUE(errors.empty()) << errors.front();
    vb::SetUnhandledErrorHandler(nullptr);
}

TEST_F(MainCalendar, TheYearBoxShowsFourDigitsWholeBesideItsButtons)
{
    ASSERT_TRUE(Mod_tallyvane::Main());
    frmTallyvane& form = frmTallyvane::Instance();
    QCoreApplication::processEvents();
    const QWidget* yearBox = form.FlatSpin1.Text1.Widget();
    // Under the pointer the buttons widen by 70 twips; the box keeps its
    // frame and text margins.
    const int room = static_cast<int>((form.FlatSpin1.Width() - 310) / 15) - 8;
    EXPECT_LE(QFontMetrics(yearBox->font()).horizontalAdvance(QStringLiteral("8888")), room);
    EXPECT_LE(QFontMetrics(yearBox->font()).horizontalAdvance(QStringLiteral("8888")), yearBox->width() - 8);
    // The month box stays to its left.
    EXPECT_LE(form.FlatComboBox1.Left() + form.FlatComboBox1.Width(), form.FlatSpin1.Left());
}

TEST_F(MainCalendar, ClosingHidesInTheTrayWithAHintTheUserCanStop)
{
    ASSERT_TRUE(Mod_tallyvane::Main());
    OtherScreen::Instance().Show();
    frmTallyvane::Instance().Move(0, 0, 9000, 6000);
    // Stored without the frame the window system adds.
    const QWidget* window = frmTallyvane::Instance().hWnd();
    const std::string width = vb::CStr(vb::Variant(window->width() * 15.0));
    const std::string height = vb::CStr(vb::Variant(window->height() * 15.0));

    // Left ticked ("show this message in the future"): the hint stays.
    mbox->answers.push_back({0, 1});
    ASSERT_TRUE(frmTallyvane::Instance().Unload());
    ASSERT_EQ(mbox->shown.size(), 1u);
    EXPECT_EQ(mbox->shown[0].prompt, frmTallyvane::kCloseHint);
    EXPECT_EQ(mbox->shown[0].colorScheme, 4);
    EXPECT_EQ(mbox->shown[0].buttonSet, 0);
    EXPECT_EQ(mbox->shown[0].iconIndex, 2);
    EXPECT_TRUE(mbox->shown[0].showCheck);
    EXPECT_EQ(setting("ShowCloseMenu"), "True");
    EXPECT_EQ(setting("Width"), width);
    EXPECT_EQ(setting("Height"), height);
    // Every window is gone but the hidden main window.
    EXPECT_EQ(frmTallyvane::IfLoaded(), nullptr);
    EXPECT_EQ(OtherScreen::IfLoaded(), nullptr);
    ASSERT_EQ(forms::Forms().Count(), 1);
    EXPECT_EQ(forms::Forms()(0).Caption(), "Main Form");
    settle();

    // Opened again from the tray: a fresh window, the stored size; unticked
    // this time, the hint stops.
    ScreenCommands::ShowMainCalendar();
    EXPECT_NEAR(frmTallyvane::Instance().Width(), vb::CDbl(vb::Variant(width)), 90);
    mbox->answers.push_back({0, 0});
    ASSERT_TRUE(frmTallyvane::Instance().Unload());
    EXPECT_EQ(mbox->shown.size(), 2u);
    EXPECT_EQ(setting("ShowCloseMenu"), "False");
    EXPECT_FALSE(tv::Shell().g_ShowCloseMenu);
    settle();

    ScreenCommands::ShowMainCalendar();
    EXPECT_FALSE(tv::Shell().g_ShowCloseMenu);
    ASSERT_TRUE(frmTallyvane::Instance().Unload());
    EXPECT_EQ(mbox->shown.size(), 2u) << "no hint once the user stopped it";
    EXPECT_EQ(forms::Forms().Count(), 1);
}

TEST_F(MainCalendar, AHintClosedByTheProgramQuittingChangesNoSetting)
{
    ASSERT_TRUE(Mod_tallyvane::Main());
    mbox->answers.push_back({-1, 0});
    ASSERT_TRUE(frmTallyvane::Instance().Unload());
    EXPECT_EQ(setting("ShowCloseMenu"), "<none>");
    EXPECT_TRUE(tv::Shell().g_ShowCloseMenu);
}

TEST_F(MainCalendar, WithoutANotificationAreaClosingQuits)
{
    controls::TrayIcon::SetAvailable(false);
    ASSERT_TRUE(Mod_tallyvane::Main());
    ASSERT_TRUE(frmTallyvane::Instance().Unload());
    EXPECT_TRUE(mbox->shown.empty());
    EXPECT_EQ(forms::Forms().Count(), 0);
}

TEST_F(MainCalendar, TheLaunchPanelAndTheMenuBarGiveTheirCommands)
{
    ASSERT_TRUE(Mod_tallyvane::Main());
    frmTallyvane& form = frmTallyvane::Instance();
    for (const char* key : {"STORES", "REPORT", "TASKS", "SALES", "OPTIONS", "UNKNOWN"})
        form.smuiPanel(0).Choose(key);
    EXPECT_TRUE(form.Loaded());
    EXPECT_NE(frmTaskList::IfLoaded(), nullptr);
    EXPECT_NE(frmSales::IfLoaded(), nullptr);
    EXPECT_NE(frmOptions::IfLoaded(), nullptr);
    EXPECT_NE(frmReport::IfLoaded(), nullptr);

    mbox->answers.push_back({0, 1});
    form.SmartUI1.Choose("CLOSE");
    EXPECT_EQ(frmTallyvane::IfLoaded(), nullptr);
    EXPECT_EQ(mbox->shown.size(), 1u);
}

TEST_F(MainCalendar, UnloadingAllFormsKeepsOrClosesTheHiddenMainWindow)
{
    frmMain::Instance();
    OtherScreen::Instance().Show();
    Mod_FTPData::UnloadAllForms(false);
    ASSERT_EQ(forms::Forms().Count(), 1);
    EXPECT_NE(frmMain::IfLoaded(), nullptr);

    OtherScreen::Instance();
    Mod_FTPData::UnloadAllForms(true);
    EXPECT_EQ(forms::Forms().Count(), 0);

    // Without a hidden main window, and with nothing loaded at all.
    OtherScreen::Instance();
    Mod_FTPData::UnloadAllForms(false);
    EXPECT_EQ(forms::Forms().Count(), 0);
    EXPECT_NO_THROW(Mod_FTPData::UnloadAllForms(true));
}

TEST_F(MainCalendar, AFormThatClosesAllWindowsFromItsUnloadDoesNotUpsetTheWalk)
{
    // The main calendar's unload does this while QUIT is closing everything.
    ASSERT_TRUE(Mod_tallyvane::Main());
    OtherScreen::closeAllOnUnload = true;
    OtherScreen::Instance();
    mbox->answers.push_back({0, 1});
    tv::Shell().g_ShowCloseMenu = false;
    Mod_FTPData::UnloadAllForms(true);
    EXPECT_EQ(forms::Forms().Count(), 0);
    EXPECT_EQ(OtherScreen::unloads, 1);
    settle();
}

TEST_F(MainCalendar, AReminderChangeLoadsTheCalendarAndADeletedStoreRefillsItOnlyWhileLoaded)
{
    tv::Shell().g_MonthNames = Mod_tallyvane::MonthNames();
    tv::Shell().g_DatabaseFileName = std::string(Mod_tallyvane::kExampleDatabaseFileName);
    Mod_DBConnections::OpenDatabase();
    auto storeIdOf = [](int number) {
        auto rs = ado::Recordset::Create();
        rs->OpenRowSet(tv::Shell().g_DBConnection->Query("SELECT StoreID FROM Stores WHERE StoreNumber = ?",
                                                         {vb::Variant(number)}),
                       tv::Shell().g_DBConnection);
        return vb::CInt(rs->Fields(0).Value());
    };
    const int32_t day = dayOf(2025, 3, 14);

    // Written while the window is closed: the refill loads it.
    ASSERT_EQ(frmTallyvane::IfLoaded(), nullptr);
    Mod_StoreInfo::SetCalendarReminder(4, storeIdOf(3), vb::DateSerial(2025, 3, 14), "Other: Harbor Point", "4", true);
    ASSERT_NE(frmTallyvane::IfLoaded(), nullptr);
    EXPECT_NE(frmTallyvane::IfLoaded()->ctCalendar1.DayText(day).find("Other: Harbor Point"), std::string::npos);

    // A store deleted while it is loaded leaves the calendar with its reminders.
    ASSERT_TRUE(Mod_StoreInfo::DeleteStore(storeIdOf(3)));
    EXPECT_EQ(frmTallyvane::IfLoaded()->ctCalendar1.DayText(day).find("Harbor Point"), std::string::npos);

    // One deleted while it is closed leaves it closed.
    mbox->answers.push_back({0, 1});
    frmTallyvane::IfLoaded()->Unload();
    settle();
    ASSERT_TRUE(Mod_StoreInfo::DeleteStore(storeIdOf(7)));
    EXPECT_EQ(frmTallyvane::IfLoaded(), nullptr);
}

} // namespace
