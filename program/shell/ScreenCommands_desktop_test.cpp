// The program's windows on a real desktop: an X server with a window manager
// that frames them (run through tools/desktop-session.sh, never offscreen).
// The main window, the store editor, a worksheet and the sales window are
// opened and closed by the user five times each; each comes back at the
// size it was closed with, and the window manager's frame never creeps into
// the stored size. Pictures of the windows at their default sizes, frame
// included, are written when asked for (tools/screenshots.sh).

#include "program/shell/ScreenCommands.h"

#include "platform/basic/ProgramSettings.h"
#include "platform/testing/DesktopWaits.h"
#include "platform/testing/Screenshots.h"
#include "program/shell/ShellTestSupport.h"
#include "program/shell/frmTallyvane.h"
#include "program/stores/frmSales.h"
#include "program/stores/frmStoreInfo.h"
#include "program/stores/frmWorkSheet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using tv::testing::WaitUntil;
using tv::testing::Settle;
using tv::testing::Framed;

// On show, framed by the window manager, and no longer moved or resized by it.
bool onShow(QWidget* w)
{
    if (!Framed(w))
        return false;
    QRect last = w->frameGeometry();
    for (int calm = 0; calm < 5;) {
        Settle(60);
        const QRect now = w->frameGeometry();
        calm = now == last ? calm + 1 : 0;
        last = now;
    }
    return true;
}

// Closes the window as a user does: made the active window, then the window
// manager's own close key.
bool closeAsUser(QWidget* w, const std::function<bool()>& closed)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                                             QString::number(w->winId()), QStringLiteral("key"),
                                             QStringLiteral("--clearmodifiers"), QStringLiteral("alt+F4")});
    const bool ran = WaitUntil([&] { return xdotool.state() == QProcess::NotRunning; });
    if (!ran)
        xdotool.kill();
    return ran && xdotool.exitCode() == 0 && WaitUntil(closed);
}

// The framed window as the screen shows it.
void picture(QWidget* w, const QString& name)
{
    if (tv::testing::ScreenshotFolder().isEmpty())
        return;
    const QRect r = w->frameGeometry();
    tv::testing::SaveScreenshot(w->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()),
                                QStringLiteral("desktop_") + name);
}

std::string storedSize(const char* form)
{
    return vb::GetSetting("Tallyvane", form, "Width", "-") + " x " + vb::GetSetting("Tallyvane", form, "Height", "-");
}

std::string sizeText(QSize s)
{
    return std::to_string(s.width() * 15) + " x " + std::to_string(s.height() * 15);
}

class Desktop : public tv::testing::ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        // The hint on closing the main window is a box of its own; this test
        // is about the windows' sizes.
        vb::SaveSetting("Tallyvane", "frmTallyvane", "ShowCloseMenu", "False");
    }

    // Opens and closes a window five times; each open is framed by the
    // window manager. Returns the size each open showed (without the frame)
    // and what was stored after each close.
    struct Rounds {
        std::vector<std::string> shown;
        std::vector<std::string> stored;
    };
    Rounds reopen(const char* form, const std::function<QWidget*()>& open, const std::function<bool()>& closed,
                  const QString& pictureName)
    {
        Rounds r;
        for (int round = 0; round < 5; ++round) {
            QWidget* w = open();
            if (!w || !onShow(w)) {
                ADD_FAILURE() << form << " round " << round << ": the window did not come up framed";
                return r;
            }
            if (round == 0)
                picture(w, pictureName);
            r.shown.push_back(sizeText(w->size()));
            if (!closeAsUser(w, closed)) {
                ADD_FAILURE() << form << " round " << round << ": the window did not close";
                return r;
            }
            r.stored.push_back(storedSize(form));
        }
        return r;
    }
};

// The windows are opened by the dozen, so they are two suites, which run
// side by side.
class DesktopSheets : public Desktop {};

TEST_F(Desktop, TheMainWindowAndTheEditorComeBackAtTheSizeTheyWereClosedWith)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"))
        << "run this test through tools/desktop-session.sh";
    ASSERT_TRUE(Mod_tallyvane::Main());

    // The main window: the first open is the one of the start.
    bool started = true;
    const Rounds main = reopen(
        "frmTallyvane",
        [&]() -> QWidget* {
            if (!started)
                ScreenCommands::ShowMainCalendar();
            started = false;
            frmTallyvane* f = frmTallyvane::IfLoaded();
            return f ? f->hWnd() : nullptr;
        },
        [] { return frmTallyvane::IfLoaded() == nullptr; }, QStringLiteral("frmTallyvane"));
    ASSERT_EQ(main.stored.size(), 5u);
    EXPECT_EQ(main.shown, std::vector<std::string>(5, "12015 x 8025"));
    EXPECT_EQ(main.stored, std::vector<std::string>(5, "12015 x 8025"));

    // The store editor keeps no size: it opens at its own every time.
    const Rounds editor = reopen(
        "frmStoreInfo",
        [] {
            ScreenCommands::ShowStoreEditor();
            frmStoreInfo* f = frmStoreInfo::IfLoaded();
            return f ? f->hWnd() : nullptr;
        },
        [] { return frmStoreInfo::IfLoaded() == nullptr; }, QStringLiteral("frmStoreInfo"));
    ASSERT_EQ(editor.shown.size(), 5u);
    EXPECT_EQ(editor.shown, std::vector<std::string>(5, editor.shown.front()));
}

TEST_F(DesktopSheets, WorksheetsAndSalesComeBackAtTheSizeTheyWereClosedWith)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"))
        << "run this test through tools/desktop-session.sh";
    ASSERT_TRUE(Mod_tallyvane::Main());

    // A worksheet, opened from the editor's button.
    ScreenCommands::ShowStoreEditor();
    ASSERT_NE(frmStoreInfo::IfLoaded(), nullptr);
    const Rounds sheet = reopen(
        "frmWorkSheet",
        [] {
            frmStoreInfo::Instance().cmdRate_Click(0);
            frmWorkSheet* f = frmWorkSheet::IfLoaded();
            return f ? f->hWnd() : nullptr;
        },
        [] { return frmWorkSheet::IfLoaded() == nullptr; }, QStringLiteral("frmWorkSheet"));
    ASSERT_EQ(sheet.stored.size(), 5u);
    EXPECT_EQ(sheet.shown, std::vector<std::string>(5, sheet.stored.front()));
    EXPECT_EQ(sheet.stored, std::vector<std::string>(5, sheet.stored.front()));

    const Rounds sales = reopen(
        "frmSales",
        [] {
            ScreenCommands::ShowSales();
            frmSales* f = frmSales::IfLoaded();
            return f ? f->hWnd() : nullptr;
        },
        [] { return frmSales::IfLoaded() == nullptr; }, QStringLiteral("frmSales"));
    ASSERT_EQ(sales.stored.size(), 5u);
    EXPECT_EQ(sales.shown, std::vector<std::string>(5, sales.stored.front()));
    EXPECT_EQ(sales.stored, std::vector<std::string>(5, sales.stored.front()));

    // A size the user gave the window is the one it comes back with.
    ScreenCommands::ShowSales();
    frmSales* f = frmSales::IfLoaded();
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(onShow(f->hWnd()));
    const QSize wanted = f->hWnd()->size() + QSize(40, 30);
    f->hWnd()->resize(wanted);
    ASSERT_TRUE(WaitUntil([&] { return f->hWnd()->size() == wanted; }));
    Settle(200);
    const std::string resized = sizeText(f->hWnd()->size());
    ASSERT_TRUE(closeAsUser(f->hWnd(), [] { return frmSales::IfLoaded() == nullptr; }));
    EXPECT_EQ(storedSize("frmSales"), resized);
    const Rounds again = reopen(
        "frmSales",
        [] {
            ScreenCommands::ShowSales();
            frmSales* s = frmSales::IfLoaded();
            return s ? s->hWnd() : nullptr;
        },
        [] { return frmSales::IfLoaded() == nullptr; }, QStringLiteral("frmSales_resized"));
    EXPECT_EQ(again.shown, std::vector<std::string>(5, resized));
    EXPECT_EQ(again.stored, std::vector<std::string>(5, resized));
}

// Sizes stored on a larger monitor: the window comes up wholly on this
// screen, frame included, with what lies at its far edge within reach, and
// when it is closed it stores the size it had.
class DesktopTooLarge : public Desktop {};

TEST_F(DesktopTooLarge, WindowsStoredLargerThanTheScreenComeUpFittingIt)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"))
        << "run this test through tools/desktop-session.sh";
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    vb::SaveSetting("Tallyvane", "frmTallyvane", "Height", "30000");
    vb::SaveSetting("Tallyvane", "frmSales", "Width", "30000");
    vb::SaveSetting("Tallyvane", "frmSales", "Height", "20000");
    auto fits = [&](QWidget* w) { return WaitUntil([&] { return area.contains(w->frameGeometry()); }); };
    auto where = [](QWidget* w) {
        const QRect r = w->frameGeometry();
        return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
               std::to_string(r.height());
    };
    auto reachable = [&](QWidget* w) {
        return w->isVisible() && area.contains(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
    };

    ASSERT_TRUE(Mod_tallyvane::Main());
    frmTallyvane* main = frmTallyvane::IfLoaded();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(onShow(main->hWnd()));
    EXPECT_TRUE(fits(main->hWnd())) << where(main->hWnd());
    EXPECT_TRUE(reachable(main->ctCalendar1.Widget()));
    const std::string mainShown = sizeText(main->hWnd()->size());
    ASSERT_TRUE(closeAsUser(main->hWnd(), [] { return frmTallyvane::IfLoaded() == nullptr; }));
    EXPECT_EQ(storedSize("frmTallyvane"), mainShown);

    ScreenCommands::ShowSales();
    frmSales* sales = frmSales::IfLoaded();
    ASSERT_NE(sales, nullptr);
    ASSERT_TRUE(onShow(sales->hWnd()));
    EXPECT_TRUE(fits(sales->hWnd())) << where(sales->hWnd());
    EXPECT_TRUE(reachable(sales->cmdPrevious.Widget())) << "\"Previous Year\" out of reach";
    EXPECT_TRUE(reachable(sales->cmdNext.Widget())) << "\"Next Year\" out of reach";
    picture(sales->hWnd(), QStringLiteral("frmSales_fitted"));
    const std::string salesShown = sizeText(sales->hWnd()->size());
    ASSERT_TRUE(closeAsUser(sales->hWnd(), [] { return frmSales::IfLoaded() == nullptr; }));
    EXPECT_EQ(storedSize("frmSales"), salesShown);
    // The next open comes back at that size.
    ScreenCommands::ShowSales();
    sales = frmSales::IfLoaded();
    ASSERT_NE(sales, nullptr);
    ASSERT_TRUE(onShow(sales->hWnd()));
    EXPECT_EQ(sizeText(sales->hWnd()->size()), salesShown);
}

} // namespace
