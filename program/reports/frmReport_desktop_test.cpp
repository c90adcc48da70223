// The report screen on a real desktop (run through tools/desktop-session.sh):
// the menus open their submenus by the mouse and the keys, a print into a
// PDF file writes the report, the page keeps its layout through a maximise
// and a restore under the window manager's frame, and the scheduling form
// keeps one height per state. Pictures go to the build tree's screenshots.

#include "program/reports/frmReport.h"

#include "platform/forms/CommonDialog.h"
#include "platform/report/DataEnvironment.h"
#include "platform/report/DataReport.h"
#include "platform/testing/Command.h"
#include "platform/testing/DesktopWaits.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/ReportsState.h"
#include "program/reports/frmReportScheduling.h"
#include "program/services/ServicesTestSupport.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QThread>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace {

using tv::testing::WaitUntil;
using tv::testing::Framed;

namespace fs = std::filesystem;

QAction* entry(QWidget* menuOrBar, const char* text)
{
    for (QAction* a : menuOrBar->actions())
        if (a->text() == QString::fromUtf8(text))
            return a;
    return nullptr;
}

class ReportDesktop : public tv::testing::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        tv::ResetReportsState();
        tv::Shell().g_DatabaseFileName = std::string(Mod_tallyvane::kExampleDatabaseFileName);
        forms::SetDialogPort(dialogs);
    }
    void TearDown() override
    {
        forms::ResetForms();
        forms::SetDialogPort(nullptr);
        report::ResetDataEnvironment1();
        report::ResetReports();
        tv::ResetReportsState();
        ProgramFixture::TearDown();
    }

    static frmReport& open()
    {
        frmReport& screen = frmReport::Instance();
        screen.Show(forms::vbModeless);
        return screen;
    }

    std::shared_ptr<forms::ScriptedDialogs> dialogs = std::make_shared<forms::ScriptedDialogs>();
};

TEST_F(ReportDesktop, SortOrderOpensByTheMouseAndTheKeys)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"))
        << "run this test through tools/desktop-session.sh";
    frmReport& screen = open();
    ASSERT_TRUE(Framed(screen.hWnd()));
    auto* bar = static_cast<QMenuBar*>(screen.smuiMenuBar.Widget());
    ASSERT_TRUE(WaitUntil([&] { return entry(bar, "Report Options") != nullptr; }));

    auto openOptions = [&]() -> QMenu* {
        QAction* top = entry(bar, "Report Options");
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
        if (!WaitUntil([&] { return top->menu() && top->menu()->isVisible(); }))
            return nullptr;
        return top->menu();
    };

    // The mouse: "Sort Order" opens its menu beside it; "Decending" is chosen.
    QMenu* options = openOptions();
    ASSERT_NE(options, nullptr);
    QAction* sort = entry(options, "Sort Order");
    ASSERT_NE(sort, nullptr);
    ASSERT_NE(sort->menu(), nullptr);
    QTest::mouseClick(options, Qt::LeftButton, {}, options->actionGeometry(sort).center());
    ASSERT_TRUE(WaitUntil([&] { return sort->menu()->isVisible(); }));
    EXPECT_GE(sort->menu()->geometry().left(), options->geometry().left() + options->width() / 2)
        << "the submenu opens beside its entry";
    QMenu* orders = sort->menu();
    QTest::mouseClick(orders, Qt::LeftButton, {}, orders->actionGeometry(entry(orders, "Decending")).center());
    ASSERT_TRUE(WaitUntil([&] { return screen.Settings.SortOrder == "DESC"; }));
    EXPECT_TRUE(screen.smuiMenuBar.Items().Find("DEC")->Checked());

    // The keys: down to "Sort Order", right into it, down to "Ascending", Enter.
    options = openOptions();
    ASSERT_NE(options, nullptr);
    QTest::keyClick(options, Qt::Key_Down);
    ASSERT_EQ(options->activeAction(), entry(options, "Sort Order"));
    QTest::keyClick(options, Qt::Key_Right);
    ASSERT_TRUE(WaitUntil([&] { return entry(options, "Sort Order")->menu()->isVisible(); }));
    orders = entry(options, "Sort Order")->menu();
    if (orders->activeAction() != entry(orders, "Ascending"))
        QTest::keyClick(orders, Qt::Key_Down);
    ASSERT_EQ(orders->activeAction(), entry(orders, "Ascending"));
    QTest::keyClick(orders, Qt::Key_Return);
    ASSERT_TRUE(WaitUntil([&] { return screen.Settings.SortOrder == "ASC"; }));
}

TEST_F(ReportDesktop, APrintIntoAPdfFileHoldsTheReport)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    const fs::path pdf = root.Path() / "lease expiration.pdf";
    frmReport& screen = open();
    ASSERT_TRUE(Framed(screen.hWnd()));
    dialogs->printTargets = {forms::PrintTarget{{}, true, pdf.string()}};
    screen.smuiMenuBar.Choose("PRINT");
    ASSERT_TRUE(fs::exists(pdf));
    const std::string text = tv::testing::Capture("pdftotext " + tv::testing::Quote(pdf) + " -");
    EXPECT_NE(text.find("Lease Expiration Report"), std::string::npos) << text;
    EXPECT_TRUE(mbox->shown.empty());
}

TEST_F(ReportDesktop, TheLayoutSurvivesAMaximiseAndARestore)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    frmReport& screen = open();
    ASSERT_TRUE(Framed(screen.hWnd()));
    QCoreApplication::processEvents();
    Grab(screen.hWnd(), "desktop_frmReport");
    const QRect browser = screen.WebBrowser1.Widget()->geometry();
    const QRect sideBar = screen.smuiOptions.Widget()->geometry();
    const QSize window = screen.hWnd()->size();
    // The page lies inside the window.
    EXPECT_LE(screen.WebBrowser1.Widget()->mapTo(screen.hWnd(), QPoint(0, browser.height())).y(), window.height());

    screen.hWnd()->showMaximized();
    ASSERT_TRUE(WaitUntil([&] { return screen.hWnd()->size() != window; })) << "the window did not maximise";
    screen.hWnd()->showNormal();
    ASSERT_TRUE(WaitUntil([&] { return screen.hWnd()->size() == window; })) << "the window did not come back";
    WaitUntil([&] { return screen.WebBrowser1.Widget()->geometry() == browser; });
    EXPECT_EQ(screen.WebBrowser1.Widget()->geometry(), browser);
    EXPECT_EQ(screen.smuiOptions.Widget()->geometry(), sideBar);
}

// The scheduling form framed by the window manager: one height inside the
// frame per state, whether it opened from the report screen unscheduled or
// from the task list scheduled.
TEST_F(ReportDesktop, TheSchedulingFormHasOneHeightPerState)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    auto inner = [](frmReportScheduling& form) { return form.hWnd()->height() * 15; };
    frmReport& screen = open();
    ASSERT_TRUE(Framed(screen.hWnd()));
    screen.MenuCommand("REPORT");
    frmReportScheduling& form = frmReportScheduling::Instance();
    ASSERT_TRUE(Framed(form.hWnd()));
    ASSERT_FALSE(form.Settings.ScheduleReport);
    EXPECT_TRUE(WaitUntil([&] { return inner(form) == 1755; })) << inner(form);
    form.chkScheduleReport.SetValue(forms::vbChecked);
    EXPECT_TRUE(WaitUntil([&] { return inner(form) == 4110; })) << inner(form);
    Grab(form.hWnd(), "desktop_frmReportScheduling_ticked");
    // A report bound for a file closes once it names one.
    form.txtFileName.SetText((root.ProgramFolder() / "Lease Expiration Report.htm").string());
    ASSERT_TRUE(form.Unload());
    QCoreApplication::processEvents();

    // Opened scheduled (the task list's Modify), then unticked.
    frmReportScheduling::ShowReport("LEASE EXPIRATION");
    frmReportScheduling& again = frmReportScheduling::Instance();
    ASSERT_TRUE(Framed(again.hWnd()));
    ASSERT_TRUE(again.Settings.ScheduleReport);
    EXPECT_TRUE(WaitUntil([&] { return inner(again) == 4110; })) << inner(again);
    again.chkScheduleReport.SetValue(forms::vbUnchecked);
    EXPECT_TRUE(WaitUntil([&] { return inner(again) == 1755; })) << inner(again);
    Grab(again.hWnd(), "desktop_frmReportScheduling_unticked");
}

} // namespace
