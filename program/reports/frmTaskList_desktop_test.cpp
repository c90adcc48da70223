// The task list and the scheduling form on a real desktop (run through
// tools/desktop-session.sh): framed by the window manager, whose title bar
// and borders come out of the window's outer size, every control they show
// still lies inside the window. Pictures of both windows, frame included,
// are written when asked for (tools/screenshots.sh).

#include "program/reports/frmTaskList.h"

#include "platform/forms/CommonDialog.h"
#include "platform/testing/DesktopWaits.h"
#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/ReportsState.h"
#include "program/reports/frmReportScheduling.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/ServicesTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWindow>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tv::testing::Framed;

// The names of the shown controls that reach outside the window's inner area.
std::vector<std::string> outside(forms::Form& form)
{
    std::vector<std::string> names;
    QWidget* window = form.hWnd();
    const QRect inner(QPoint(0, 0), window->size());
    for (QWidget* child : form.ClientWidget()->findChildren<QWidget*>()) {
        if (!child->isVisibleTo(window) || child->isWindow())
            continue;
        const QRect r(child->mapTo(window, QPoint(0, 0)), child->size());
        if (!inner.contains(r))
            names.push_back(child->metaObject()->className() + (" " + child->objectName().toStdString()));
    }
    return names;
}

class Desktop : public tv::testing::ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        tv::ResetReportsState();
        forms::SetDialogPort(std::make_shared<forms::ScriptedDialogs>());
        tv::Shell().g_DatabaseFileName = std::string(Mod_tallyvane::kExampleDatabaseFileName);
        Mod_DBConnections::OpenDatabase();
        ReportSettings s = Mod_Report::ToReportSettings({});
        s.ScheduleReport = true;
        s.StartDate = Mod_Report::DateText(vb::Today());
        s.StartTime = "10:00 AM";
        s.Frequency = "Weekly";
        s.Destination = 2;
        s.Filename = "leases@example.com;owner@example.com";
        Mod_FileIO::WriteReportSettings(root.ProgramFolder(), "RENEWAL REMINDER", Mod_Report::ToValues(s));
    }
    void TearDown() override
    {
        forms::ResetForms();
        forms::SetDialogPort(nullptr);
        tv::ResetReportsState();
        ProgramFixture::TearDown();
    }
};

TEST_F(Desktop, BothWindowsShowEveryControlInsideTheirFrame)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"))
        << "run this test through tools/desktop-session.sh";

    frmTaskList& list = frmTaskList::Instance();
    list.Show();
    ASSERT_TRUE(Framed(list.hWnd()));
    list.cboListLength.SetListIndex(frmTaskList::kCustomLength);
    EXPECT_EQ(outside(list), std::vector<std::string>{});
    Grab(list.hWnd(), "desktop_frmTaskList");

    frmReportScheduling::ShowReport("RENEWAL REMINDER");
    frmReportScheduling& form = frmReportScheduling::Instance();
    ASSERT_TRUE(Framed(form.hWnd()));
    form.SSTab1.SetTab(1);
    EXPECT_EQ(outside(form), std::vector<std::string>{});
    Grab(form.hWnd(), "desktop_frmReportScheduling_email");
    form.optDestination(0).SetValue(true);
    form.SSTab1.SetTab(0);
    EXPECT_EQ(outside(form), std::vector<std::string>{});
    Grab(form.hWnd(), "desktop_frmReportScheduling_scheduling");
}

} // namespace
