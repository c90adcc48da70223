#include "program/shell/frmMain.h"

#include "platform/ado/Connection.h"
#include "platform/forms/Timer.h"
#include "platform/report/DataEnvironment.h"
#include "platform/testing/Quiescence.h"
#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/Mod_TaskList.h"
#include "program/reports/frmTaskList.h"
#include "program/reports/frmReport.h"
#include "program/shell/Mod_StoreInfo_Update.h"
#include "program/shell/ShellTestSupport.h"
#include "program/shell/frmAbout.h"
#include "program/shell/frmOptions.h"
#include "program/shell/frmTallyvane.h"
#include "program/shell/frmTip.h"
#include "program/stores/frmSales.h"
#include "program/stores/frmStoreInfo.h"

#include <QAction>
#include <QEventLoop>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

class HiddenMainWindow : public tv::testing::ShellFixture {
protected:
    void TearDown() override
    {
        report::ResetDataEnvironment1();
        ShellFixture::TearDown();
    }

    // What the tray menu on show lists: captions, headings in brackets.
    static QStringList shownMenu()
    {
        QStringList texts;
        if (QMenu* m = frmMain::Instance().SmartPopup.ShownMenu())
            for (QAction* a : m->actions())
                texts << (a->isSeparator() ? QStringLiteral("[") + a->text() + QStringLiteral("]") : a->text());
        return texts;
    }

    // Uses the tray icon and picks the entry as the user would.
    static void choose(const QString& caption)
    {
        frmMain::Instance().Tray1.Use(controls::trayContext);
        QMenu* m = frmMain::Instance().SmartPopup.ShownMenu();
        ASSERT_NE(m, nullptr);
        for (QAction* a : m->actions())
            if (a->text() == caption) {
                a->trigger();
                return;
            }
        FAIL() << "no entry " << caption.toStdString();
    }

    static void settle()
    {
        EXPECT_TRUE(tv::testing::DrainPostedEvents());
    }

    // The lease term report, daily at startTime on the fixture's day, written to out.
    void scheduleLeaseTerm(const std::filesystem::path& out, const char* startTime)
    {
        Mod_FileIO::WriteReportSettings(root.ProgramFolder(), "LEASE TERM",
                                        {"Six Months", "2024;2025", "ASC", "Tahoma", "True", "3/10/2025", startTime,
                                         "Daily", "None", "1", out.string(), "True"});
    }
    void at(int hour, int minute, int second)
    {
        clock->Set(vb::Date::FromSerial(vb::DateSerial(2025, 3, 10).Serial()
                                        + vb::TimeSerial(hour, minute, second).Serial()));
    }
};

TEST_F(HiddenMainWindow, StartUpPutsTheIconInTheTrayWithItsTwelveEntries)
{
    ASSERT_TRUE(Mod_tallyvane::Main());
    frmMain& main = frmMain::Instance();
    EXPECT_EQ(main.Caption(), "Main Form");
    EXPECT_FALSE(main.Visible());
    EXPECT_TRUE(main.Tray1.IconShown());
    EXPECT_TRUE(main.emailTimer.Enabled());
    // The main calendar came first, then the tip of a fresh install.
    EXPECT_EQ(forms::Forms()(0).Name(), "frmTallyvane");
    EXPECT_EQ(forms::Forms()(1).Name(), "frmTip");
    EXPECT_EQ(forms::Forms()(2).Name(), "frmMain");

    const QStringList expected{"About Tallyvane", "[Updates]", "Check For Update", "[Screens]",
                               "Control Screen",  "Stores",    "Reports",          "Tasks",
                               "Sales",           "Options",   "[Quit]",           "Quit Tallyvane"};
    for (int use = 0; use < 2; ++use) {
        main.Tray1.Use(controls::trayClick);
        EXPECT_EQ(shownMenu(), expected) << "use " << use;
        ASSERT_EQ(main.SmartPopup.Menus().Count(), 1);
        const controls::SmartItems& items = main.SmartPopup.Menus().Item("POPUP").Items();
        ASSERT_EQ(items.Count(), 12);
        EXPECT_EQ(items.Item(6).Key(), "REPORTS");
        EXPECT_EQ(items.Item(6).Image(), "REPORT");
        EXPECT_EQ(items.Item(7).Image(), "TASK");
        EXPECT_EQ(items.Item(10).Kind(), controls::smuiHeadingItem);
    }
    ASSERT_NE(main.SmartPopup.ShownMenu(), nullptr);
    Grab(main.SmartPopup.ShownMenu(), QStringLiteral("frmMain_trayMenu"));
}

TEST_F(HiddenMainWindow, ControlScreenBringsUpTheOneMainCalendar)
{
    ASSERT_TRUE(Mod_tallyvane::Main());
    // Only the screens count here, not the start's tip.
    ASSERT_NE(frmTip::IfLoaded(), nullptr);
    frmTip::IfLoaded()->cmdOK_Click();
    frmTallyvane* first = &frmTallyvane::Instance();
    choose(QStringLiteral("Control Screen"));
    EXPECT_EQ(&frmTallyvane::Instance(), first);
    EXPECT_EQ(forms::Forms().Count(), 2);

    mbox->answers.push_back({0, 1});
    first->Unload();
    settle();
    EXPECT_EQ(frmTallyvane::IfLoaded(), nullptr);
    choose(QStringLiteral("Control Screen"));
    ASSERT_NE(frmTallyvane::IfLoaded(), nullptr);
    EXPECT_TRUE(frmTallyvane::IfLoaded()->Visible());
    EXPECT_EQ(frmTallyvane::IfLoaded()->ctCalendar1.LastPictureIndex(), 16);

    // Keys compare exactly: unknown ones do nothing, nor does the update check here.
    frmMain::Instance().TrayMenuCommand("quit");
    frmMain::Instance().TrayMenuCommand("NOTHING");
    choose(QStringLiteral("Check For Update"));
    EXPECT_EQ(forms::Forms().Count(), 2);
    // "Tasks" opens the task list.
    choose(QStringLiteral("Tasks"));
    ASSERT_NE(frmTaskList::IfLoaded(), nullptr);
    EXPECT_TRUE(frmTaskList::IfLoaded()->Visible());
    frmTaskList::IfLoaded()->Unload();
    // "Reports" opens the report screen.
    choose(QStringLiteral("Reports"));
    ASSERT_NE(frmReport::IfLoaded(), nullptr);
    EXPECT_TRUE(frmReport::IfLoaded()->Visible());
    frmReport::IfLoaded()->Unload();
    choose(QStringLiteral("About Tallyvane"));
    ASSERT_NE(frmAbout::IfLoaded(), nullptr);
    EXPECT_TRUE(frmAbout::IfLoaded()->Visible());
    // "Stores" opens the store editor.
    choose(QStringLiteral("Stores"));
    ASSERT_NE(frmStoreInfo::IfLoaded(), nullptr);
    EXPECT_TRUE(frmStoreInfo::IfLoaded()->Visible());
    // "Sales" opens the sales window.
    choose(QStringLiteral("Sales"));
    ASSERT_NE(frmSales::IfLoaded(), nullptr);
    EXPECT_TRUE(frmSales::IfLoaded()->Visible());
    // "Options" opens the options window.
    choose(QStringLiteral("Options"));
    ASSERT_NE(frmOptions::IfLoaded(), nullptr);
    EXPECT_TRUE(frmOptions::IfLoaded()->Visible());
}

TEST_F(HiddenMainWindow, QuitFromTheTrayMenuEndsTheProgramEvenWithABoxOpen)
{
    ASSERT_TRUE(Mod_tallyvane::Main());
    // Another window waits in the program's own message box when QUIT comes.
    MBoxMod::SetPresenter(nullptr);
    int16_t boxAnswer = 99;
    QTimer::singleShot(0, [&] { forms::detail::Dispatch([&] { boxAnswer = MBoxMod::ShowMBox("Busy", 0, 0, 0); }); });
    QTimer::singleShot(0, [&] { forms::detail::Dispatch([&] { choose(QStringLiteral("Quit Tallyvane")); }); });
    EXPECT_EQ(forms::Run(), 0);
    EXPECT_EQ(boxAnswer, -1);
    EXPECT_EQ(forms::Forms().Count(), 0);
    EXPECT_FALSE(tv::Shell().g_ShowCloseMenu);
    EXPECT_EQ(report::DataEnvironment1().Connection1->State(), ado::adStateClosed);
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmTallyvane", "ShowCloseMenu", "<none>"), "<none>")
        << "no hint on the way out";
}

// The desktop's box: it waits in an event loop of its own until its user
// answers, so timers and posted events run meanwhile.
class WaitingMsgBox : public forms::ScriptedMsgBox {
public:
    int Show(const forms::MsgBoxRequest& request) override
    {
        QEventLoop box;
        QTimer::singleShot(0, &box, [&] { QTimer::singleShot(0, &box, &QEventLoop::quit); });
        box.exec();
        if (whileShown)
            whileShown();
        return ScriptedMsgBox::Show(request);
    }
    std::function<void()> whileShown;
};

// The tray's entries chosen with the mouse: a command that opens a box, then
// the quit. The menu the entry came from is there until its click is over,
// and the program ends as it should.
TEST_F(HiddenMainWindow, ACommandThatOpensABoxThenQuitEndTheProgramCleanly)
{
    auto box = std::make_shared<WaitingMsgBox>();
    forms::SetMessageBoxPort(box);
    ASSERT_TRUE(Mod_tallyvane::Main());
    QPointer<QMenu> clicked;
    bool clicking = false;
    bool freedWhileClicked = false;
    box->whileShown = [&] { freedWhileClicked = freedWhileClicked || (clicking && !clicked); };
    auto click = [&](const QString& caption) {
        frmMain::Instance().Tray1.Use(controls::trayContext);
        clicked = frmMain::Instance().SmartPopup.ShownMenu();
        ASSERT_NE(clicked, nullptr);
        for (QAction* a : clicked->actions())
            if (a->text() == caption) {
                clicking = true;
                QTest::mouseClick(clicked, Qt::LeftButton, {}, clicked->actionGeometry(a).center());
                clicking = false;
                return;
            }
        FAIL() << "no entry " << caption.toStdString();
    };
    QTimer::singleShot(0, [&] {
        click(QStringLiteral("Check For Update"));
        QTimer::singleShot(0, [&] { click(QStringLiteral("Quit Tallyvane")); });
    });
    EXPECT_EQ(forms::Run(), 0);
    EXPECT_FALSE(freedWhileClicked) << "the menu went while its click was handled";
    ASSERT_EQ(box->shown.size(), 1u);
    EXPECT_EQ(box->shown[0].prompt, Mod_StoreInfo::kNoUpdateAddress);
    EXPECT_EQ(forms::Forms().Count(), 0);
}

TEST_F(HiddenMainWindow, TheTimerRunsTheScheduledReportsEveryThirtySeconds)
{
    forms::ManualTimers timers;
    const auto out = root.ProgramFolder() / "lease-term.htm";
    scheduleLeaseTerm(out, "09:01 AM");
    at(9, 0, 40);
    ASSERT_TRUE(Mod_tallyvane::Main());
    ASSERT_EQ(tv::Reports().g_ScheduledTasks->size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(out)) << "not due when the window loaded";

    at(9, 1, 0);
    timers.Advance(20000);
    EXPECT_FALSE(std::filesystem::exists(out));
    timers.Advance(10000);
    EXPECT_TRUE(std::filesystem::exists(out));
    EXPECT_EQ(frmMain::Instance().EmailSeconds(), 0);
}

TEST_F(HiddenMainWindow, TheHiddenWindowsTimerRunsThePassEveryThirtySeconds)
{
    forms::ManualTimers timers;
    const auto out = root.ProgramFolder() / "term.htm";
    scheduleLeaseTerm(out, "09:00 AM");
    tv::Shell().g_DatabaseFileName = std::string(Mod_tallyvane::kExampleDatabaseFileName);
    Mod_TaskList::BuildScheduledReports();
    at(9, 0, 0);
    frmMain& main = frmMain::Instance();
    EXPECT_EQ(main.Caption(), "Main Form");
    EXPECT_FALSE(main.Visible());
    EXPECT_TRUE(main.emailTimer.Enabled());
    EXPECT_EQ(main.emailTimer.Interval(), 10000);
    timers.Advance(20000);
    EXPECT_EQ(main.EmailSeconds(), 20);
    EXPECT_FALSE(std::filesystem::exists(out));
    timers.Advance(10000);
    EXPECT_EQ(main.EmailSeconds(), 0);
    EXPECT_TRUE(std::filesystem::exists(out));

    // Half seconds round to even on the way into the counter: 2, 4, 6 ... 30.
    main.emailTimer.SetInterval(2500);
    for (int tick = 1; tick <= 14; ++tick) {
        timers.Advance(2500);
        EXPECT_EQ(main.EmailSeconds(), 2 * tick) << tick;
    }
    timers.Advance(2500);
    EXPECT_EQ(main.EmailSeconds(), 0);
}

} // namespace
