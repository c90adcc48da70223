// Every command of the tray menu, of the report screen's menu bar and of the
// scheduling form's menu bar that opens a box, chosen with the mouse as a
// user chooses it; the box is answered while it waits in an event loop of
// its own, as the desktop's boxes do, then "Quit Tallyvane" in the tray menu
// ends the program. The menu a command came from must be there until its
// click is over, and the program must end with exit code 0 and no window
// left. The commands that open a window instead of a box, or close one, are
// in the tables too: each is another way to the quit.

#include "platform/basic/App.h"
#include "platform/forms/CommonDialog.h"
#include "platform/forms/MsgBox.h"
#include "platform/help/HtmlHelp.h"
#include "platform/net/FtpClient.h"
#include "platform/net/HttpClient.h"
#include "platform/report/DataEnvironment.h"
#include "platform/testing/DesktopWaits.h"
#include "platform/win/Desktop.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/frmReport.h"
#include "program/reports/frmReportScheduling.h"
#include "program/services/MBox.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/Mod_Registry.h"
#include "program/shell/Mod_AutoUpdate.h"
#include "program/shell/Mod_StoreInfo_Update.h"
#include "program/shell/ShellTestSupport.h"
#include "program/shell/frmMain.h"
#include "program/shell/frmTallyvane.h"

#include <QAction>
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tv::testing::WaitUntil;

// The kinds of box.
constexpr const char* kMessage = "message box";    // the system's message box
constexpr const char* kProgramBox = "program box"; // the program's own box, a modal form
constexpr const char* kPrintDialog = "print dialog";

// A box shown: its kind and a part of its text.
struct Box {
    std::string kind;
    std::string text;
};

enum class Menu { Tray, ReportScreen, SchedulingForm };

class MenuBox;

struct Row {
    const char* name = "";
    Menu menu = Menu::Tray;
    // The captions clicked, from the tray menu or the menu bar down.
    std::vector<std::string> path{};
    // Every box from the command to the program's end, in order.
    std::vector<Box> boxes{};
    // The window on show once the command is over, when it opens one.
    std::string window{};
    // The message boxes' answers, in order; then their default buttons.
    std::deque<int> answers{};
    // Once the menu's window is up, before the click.
    std::function<void(MenuBox&)> prepare{};
    // Once the command is over, before the quit.
    std::function<void(MenuBox&)> after{};
};

void PrintTo(const Row& row, std::ostream* os)
{
    *os << row.name;
}

// The desktop's box: it waits in an event loop of its own until its user
// answers, so timers and posted events (deferred deletions among them) run
// meanwhile.
void waitAsABox()
{
    QEventLoop box;
    QTimer::singleShot(0, &box, [&] { QTimer::singleShot(0, &box, &QEventLoop::quit); });
    box.exec();
}

class WaitingMsgBox : public forms::ScriptedMsgBox {
public:
    int Show(const forms::MsgBoxRequest& request) override
    {
        waitAsABox();
        if (whileShown)
            whileShown(request.prompt);
        return ScriptedMsgBox::Show(request);
    }
    std::function<void(const std::string&)> whileShown;
};

class WaitingDialogs : public forms::ScriptedDialogs {
public:
    std::optional<forms::PrintTarget> ChoosePrintTarget(const std::string& current) override
    {
        waitAsABox();
        if (whileShown)
            whileShown(kPrintDialog);
        return ScriptedDialogs::ChoosePrintTarget(current);
    }
    std::function<void(const char*)> whileShown;
};

// The update site's answer to every fetch.
class ScriptedHttp : public net::HttpClient {
public:
    net::HttpResponse Get(const std::string&) override { return reply; }
    net::HttpResponse reply;
};

QAction* entry(QWidget* menuOrBar, const std::string& caption)
{
    for (QAction* a : menuOrBar->actions())
        if (a->text() == QString::fromStdString(caption))
            return a;
    return nullptr;
}

std::string joined(const std::vector<std::string>& path)
{
    std::string text;
    for (const std::string& caption : path)
        text += (text.empty() ? "" : " > ") + caption;
    return text;
}

// The program's box waiting for an answer, if one is up.
MBox* openProgramBox()
{
    for (int i = 0; i < forms::Forms().Count(); ++i)
        if (auto* b = dynamic_cast<MBox*>(&forms::Forms()(i)); b && b->Waiting() && b->Visible())
            return b;
    return nullptr;
}

bool windowOnShow(const std::string& name)
{
    for (int i = 0; i < forms::Forms().Count(); ++i)
        if (forms::Forms()(i).Name() == name && forms::Forms()(i).Visible())
            return true;
    return false;
}

class MenuBox : public tv::testing::ShellFixture, public ::testing::WithParamInterface<Row> {
public:
    void SetUp() override
    {
        ShellFixture::SetUp();
        Mod_AutoUpdate::ResetUpdateState();
        // No site at the start: the start's own check stays out of the way.
        Mod_AutoUpdate::SetSite(Mod_AutoUpdate::UpdateSite{});
        net::SetHttpClient(http);
        win::SetUrlOpener(opener);
        win::SetProcessLauncher(launcher);
        forms::SetMessageBoxPort(msgBox);
        forms::SetDialogPort(dialogs);
        // The program's own box is its window, answered from inside its loop.
        MBoxMod::SetPresenter(nullptr);
        msgBox->whileShown = [this](const std::string& prompt) { seen(kMessage, prompt); };
        dialogs->whileShown = [this](const char* kind) { seen(kind, ""); };
        answerer.setInterval(10);
        QObject::connect(&answerer, &QTimer::timeout, [this] { answerProgramBox(); });
    }

    void TearDown() override
    {
        answerer.stop();
        Mod_StoreInfo::StopSilentCheck();
        Mod_AutoUpdate::ResetUpdateState();
        net::SetHttpClient(nullptr);
        net::SetFtpClientFactory(nullptr);
        win::SetUrlOpener(nullptr);
        win::SetProcessLauncher(nullptr);
        forms::SetDialogPort(nullptr);
        frmReport::SetBuilder(nullptr);
        report::ResetDataEnvironment1();
        ShellFixture::TearDown();
    }

    // The update site: a version file that says `version`.
    void updateSite(const std::string& version)
    {
        Mod_AutoUpdate::UpdateSite site;
        site.address = "127.0.0.1:9";
        site.webAddress = "https://www.example.com/tallyvane";
        Mod_AutoUpdate::SetSite(site);
        http->reply.status = 200;
        http->reply.body = "VERSION:" + version + "\nNAME:tallyvane-setup.bin\n";
    }
    static void installed(const std::string& version, const char* value = "Version")
    {
        Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, value, vb::Variant(version),
                                    winreg::REG_SZ);
    }
    static frmReport& screen() { return *frmReport::IfLoaded(); }
    static frmReportScheduling& scheduling() { return *frmReportScheduling::IfLoaded(); }
    // The scheduling form with its report scheduled for destination 0 to 2.
    static frmReportScheduling& scheduled(int destination)
    {
        frmReportScheduling& form = scheduling();
        form.chkScheduleReport.SetValue(forms::vbChecked);
        form.optDestination(destination).SetValue(true);
        return form;
    }

    using ShellFixture::root;

    std::shared_ptr<WaitingMsgBox> msgBox = std::make_shared<WaitingMsgBox>();
    std::shared_ptr<WaitingDialogs> dialogs = std::make_shared<WaitingDialogs>();
    std::shared_ptr<ScriptedHttp> http = std::make_shared<ScriptedHttp>();
    std::shared_ptr<win::FakeUrlOpener> opener = std::make_shared<win::FakeUrlOpener>();
    std::shared_ptr<win::FakeProcessLauncher> launcher = std::make_shared<win::FakeProcessLauncher>();

    // What the row saw.
    std::vector<Box> shown;
    // The boxes shown while the menu clicked was gone, and the menus that
    // did not outlive their click.
    std::vector<std::string> shownWithTheMenuGone;
    std::vector<std::string> goneAfterTheirClick;

    // Runs the row inside the program's event loop: the command, then the quit.
    void play(const Row& row)
    {
        const bool ready = row.menu == Menu::Tray || (openReportScreen() &&
                                                      (row.menu == Menu::ReportScreen || openSchedulingForm()));
        if (ready) {
            if (row.prepare)
                row.prepare(*this);
            msgBox->answers = row.answers;
            shown.clear();
            answerer.start();
            if (row.menu == Menu::Tray)
                clickTray(row.path.front());
            else
                clickMenuBar(row.menu == Menu::ReportScreen ? screen().smuiMenuBar : scheduling().smuiMenuBar,
                             row.path);
            if (!row.window.empty()) {
                EXPECT_TRUE(WaitUntil([&] { return windowOnShow(row.window); })) << row.window << " is not on show";
            }
            if (row.after)
                row.after(*this);
        }
        QTimer::singleShot(0, [this] { quit(); });
    }

private:
    void seen(const std::string& kind, const std::string& text)
    {
        shown.push_back({kind, text});
        if (clicking && !clicked)
            shownWithTheMenuGone.push_back(kind + " " + text);
    }

    void answerProgramBox()
    {
        MBox* box = openProgramBox();
        if (!box)
            return;
        seen(kProgramBox, box->Label2.Caption());
        QWidget* button = box->But1(0).Widget();
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 5));
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 5));
    }

    // The click that chooses a command: the command runs inside it.
    void click(QWidget* menu, QRect place, const std::string& what)
    {
        clicked = menu;
        clicking = true;
        QTest::mouseClick(menu, Qt::LeftButton, {}, place.center());
        clicking = false;
        if (!clicked)
            goneAfterTheirClick.push_back(what);
    }

    bool clickTray(const std::string& caption)
    {
        frmMain::Instance().Tray1.Use(controls::trayContext);
        QMenu* menu = frmMain::Instance().SmartPopup.ShownMenu();
        QAction* a = menu ? entry(menu, caption) : nullptr;
        if (!a) {
            ADD_FAILURE() << "the tray menu has no entry " << caption;
            return false;
        }
        click(menu, menu->actionGeometry(a), caption);
        return true;
    }

    // Opens the menus of the path one after another, the last entry being the command.
    bool clickMenuBar(controls::SmartMenuBar& smartBar, const std::vector<std::string>& path)
    {
        auto* bar = static_cast<QMenuBar*>(smartBar.Widget());
        if (!WaitUntil([&] { return entry(bar, path.front()) != nullptr; })) {
            ADD_FAILURE() << "the menu bar has no entry " << path.front();
            return false;
        }
        QWidget* in = bar;
        for (size_t i = 0; i < path.size(); ++i) {
            QAction* a = entry(in, path[i]);
            if (!a) {
                ADD_FAILURE() << "no entry " << joined(path);
                return false;
            }
            const QRect place = in == bar ? bar->actionGeometry(a) : static_cast<QMenu*>(in)->actionGeometry(a);
            if (i + 1 == path.size()) {
                click(in, place, joined(path));
                return true;
            }
            QTest::mouseClick(in, Qt::LeftButton, {}, place.center());
            if (!a->menu() || !WaitUntil([&] { return a->menu()->isVisible(); })) {
                ADD_FAILURE() << path[i] << " opens no menu";
                return false;
            }
            in = a->menu();
        }
        return false;
    }

    // As the user opens it: "Reports" in the main calendar window's launch panel.
    bool openReportScreen()
    {
        frmTallyvane* calendar = frmTallyvane::IfLoaded();
        if (!calendar) {
            ADD_FAILURE() << "no main calendar window";
            return false;
        }
        calendar->smuiPanel(0).Press("REPORT", forms::vbLeftButton);
        if (!WaitUntil([] { return frmReport::IfLoaded() && frmReport::IfLoaded()->Visible(); })) {
            ADD_FAILURE() << "the report screen did not open";
            return false;
        }
        return true;
    }

    bool openSchedulingForm()
    {
        if (!clickMenuBar(screen().smuiMenuBar, {"File", "Schedule Report"}))
            return false;
        if (!WaitUntil([] { return frmReportScheduling::IfLoaded() && frmReportScheduling::IfLoaded()->Visible(); })) {
            ADD_FAILURE() << "the scheduling form did not open";
            return false;
        }
        return true;
    }

    void quit()
    {
        clickTray("Quit Tallyvane");
        answerer.stop();
        // A quit that left a window would keep the loop running for ever.
        for (int i = 0; i < forms::Forms().Count(); ++i)
            if (forms::Forms()(i).Loaded()) {
                ADD_FAILURE() << forms::Forms()(i).Name() << " is still loaded after the quit";
                QCoreApplication::exit(1);
                return;
            }
    }

    QTimer answerer;
    QPointer<QWidget> clicked;
    bool clicking = false;
};

TEST_P(MenuBox, TheCommandThenTheQuitEndTheProgramCleanly)
{
    const Row& row = GetParam();
    ASSERT_TRUE(Mod_tallyvane::Main());
    QTimer::singleShot(0, [&] { play(row); });
    EXPECT_EQ(forms::Run(), 0);

    EXPECT_EQ(shownWithTheMenuGone, std::vector<std::string>{}) << "a menu went while its command's box was up";
    EXPECT_EQ(goneAfterTheirClick, std::vector<std::string>{}) << "a menu went while its click was handled";
    EXPECT_EQ(forms::Forms().Count(), 0);
    ASSERT_EQ(shown.size(), row.boxes.size()) << [&] {
        std::string all;
        for (const Box& b : shown)
            all += "\n  " + b.kind + ": " + b.text;
        return "the boxes shown:" + all;
    }();
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].kind, row.boxes[i].kind) << i;
        EXPECT_NE(shown[i].text.find(row.boxes[i].text), std::string::npos)
            << i << ": " << shown[i].text << "\nhas not: " << row.boxes[i].text;
    }
}

std::string rowName(const ::testing::TestParamInfo<Row>& info)
{
    return info.param.name;
}

using Mod_StoreInfo::kNoConnection;
using Mod_StoreInfo::kNoUpdate;
using Mod_StoreInfo::kNoUpdateAddress;
using Mod_StoreInfo::kUpdateAvailable;
using Mod_StoreInfo::kUpdateSuccessful;

const std::string kNotPrinted = "The report was not printed.";
const std::string kNotSaved = "The schedule of the Lease Expiration Report could not be saved";
// A name the schedules file cannot hold.
const std::string kBracketedName = "/tmp/<lease>.htm";

// The tray menu's commands (its headings are no commands; the quit ends
// every row): the update check, each way it ends in a box.
INSTANTIATE_TEST_SUITE_P(
    TrayUpdateCheck, MenuBox,
    ::testing::Values(
        Row{.name = "CheckForUpdateWithNoUpdateAddress",
            .menu = Menu::Tray,
            .path = {"Check For Update"},
            .boxes = {{kMessage, std::string(kNoUpdateAddress)}}},
        Row{.name = "CheckForUpdateFindsThisVersion",
            .menu = Menu::Tray,
            .path = {"Check For Update"},
            .boxes = {{kMessage, std::string(kNoUpdate)}},
            .prepare =
                [](MenuBox& t) {
                    t.installed("1.4.0");
                    t.updateSite("1.4.0");
                }},
        Row{.name = "CheckForUpdateWithoutAConnection",
            .menu = Menu::Tray,
            .path = {"Check For Update"},
            .boxes = {{kMessage, std::string(kNoConnection)}},
            .prepare =
                [](MenuBox& t) {
                    t.updateSite("1.4.0");
                    t.http->reply = net::HttpResponse{12029, 0, "", "cannot connect"};
                }},
        Row{.name = "CheckForUpdateFindsANewerOneDeclined",
            .menu = Menu::Tray,
            .path = {"Check For Update"},
            .boxes = {{kMessage, std::string(kUpdateAvailable)}},
            .answers = {forms::vbNo},
            .prepare =
                [](MenuBox& t) {
                    t.installed("1.4.0");
                    t.updateSite("2.0.0");
                }},
        Row{.name = "CheckForUpdateFindsANewerOneThatDoesNotArrive",
            .menu = Menu::Tray,
            .path = {"Check For Update"},
            .boxes = {{kMessage, std::string(kUpdateAvailable)}, {kMessage, "Error in transfer"}},
            .answers = {forms::vbYes},
            .prepare =
                [](MenuBox& t) {
                    t.installed("1.4.0");
                    t.updateSite("2.0.0");
                    net::SetFtpClientFactory([](const std::string&) { return std::unique_ptr<net::FtpClient>(); });
                },
            .after = [](MenuBox& t) { EXPECT_TRUE(t.launcher->calls.empty()) << "no installer runs"; }},
        Row{.name = "CheckForUpdateAfterAnInstalledUpdate",
            .menu = Menu::Tray,
            .path = {"Check For Update"},
            .boxes = {{kMessage, std::string(kUpdateSuccessful)}},
            .prepare =
                [](MenuBox& t) {
                    const fs::path folder = t.root.ProgramFolder() / Mod_AutoUpdate::kUpdateFolder;
                    fs::create_directories(folder);
                    std::ofstream(folder / "tallyvane-setup.bin") << "installer";
                    t.installed("1.5.0");
                    t.installed("1.5.0", Mod_AutoUpdate::kPendingVersionValue.data());
                },
            .after =
                [](MenuBox& t) { EXPECT_FALSE(fs::exists(t.root.ProgramFolder() / Mod_AutoUpdate::kUpdateFolder)); }}),
    rowName);

// The tray menu's windows: each opens modeless, and the quit closes it.
INSTANTIATE_TEST_SUITE_P(
    TrayScreens, MenuBox,
    ::testing::Values(
        Row{.name = "AboutTallyvane", .menu = Menu::Tray, .path = {"About Tallyvane"}, .window = "frmAbout"},
        Row{.name = "ControlScreen", .menu = Menu::Tray, .path = {"Control Screen"}, .window = "frmTallyvane"},
        Row{.name = "Stores", .menu = Menu::Tray, .path = {"Stores"}, .window = "frmStoreInfo"},
        Row{.name = "Reports", .menu = Menu::Tray, .path = {"Reports"}, .window = "frmReport"},
        Row{.name = "Tasks", .menu = Menu::Tray, .path = {"Tasks"}, .window = "frmTaskList"},
        Row{.name = "Sales", .menu = Menu::Tray, .path = {"Sales"}, .window = "frmSales"},
        Row{.name = "Options", .menu = Menu::Tray, .path = {"Options"}, .window = "frmOptions"}),
    rowName);

// The report screen's menu bar, the screen opened from the main calendar window.
INSTANTIATE_TEST_SUITE_P(
    ReportScreen, MenuBox,
    ::testing::Values(
        Row{.name = "FileScheduleReport",
            .menu = Menu::ReportScreen,
            .path = {"File", "Schedule Report"},
            .window = "frmReportScheduling"},
        Row{.name = "FilePrintCancelled",
            .menu = Menu::ReportScreen,
            .path = {"File", "Print"},
            .boxes = {{kPrintDialog, ""}}},
        Row{.name = "FilePrintIntoAPdfFile",
            .menu = Menu::ReportScreen,
            .path = {"File", "Print"},
            .boxes = {{kPrintDialog, ""}},
            .prepare =
                [](MenuBox& t) {
                    t.dialogs->printTargets = {forms::PrintTarget{{}, true, (t.root.Path() / "lease.pdf").string()}};
                },
            .after =
                [](MenuBox& t) {
                    std::error_code ec;
                    EXPECT_GT(fs::file_size(t.root.Path() / "lease.pdf", ec), 0u) << ec.message();
                }},
        Row{.name = "FilePrintIntoAFolderThatIsNotThere",
            .menu = Menu::ReportScreen,
            .path = {"File", "Print"},
            .boxes = {{kPrintDialog, ""}, {kProgramBox, kNotPrinted}},
            .prepare =
                [](MenuBox& t) {
                    t.dialogs->printTargets = {
                        forms::PrintTarget{{}, true, (t.root.Path() / "gone" / "lease.pdf").string()}};
                }},
        Row{.name = "FilePrintOfAReportThatCannotBeBuilt",
            .menu = Menu::ReportScreen,
            .path = {"File", "Print"},
            .boxes = {{kProgramBox, kNotPrinted}},
            .prepare =
                [](MenuBox&) {
                    frmReport::SetBuilder([](std::string_view, const ReportSettings&, std::string* why) {
                        *why = "No space is left on the disk.";
                        return false;
                    });
                }},
        Row{.name = "FileClose",
            .menu = Menu::ReportScreen,
            .path = {"File", "Close"},
            .after = [](MenuBox&) { EXPECT_EQ(frmReport::IfLoaded(), nullptr); }},
        Row{.name = "SortOrderAscending",
            .menu = Menu::ReportScreen,
            .path = {"Report Options", "Sort Order", "Ascending"},
            .prepare = [](MenuBox&) { MenuBox::screen().Settings.SortOrder = "DESC"; },
            .after = [](MenuBox&) { EXPECT_EQ(MenuBox::screen().Settings.SortOrder, "ASC"); }},
        Row{.name = "SortOrderDecending",
            .menu = Menu::ReportScreen,
            .path = {"Report Options", "Sort Order", "Decending"},
            .after = [](MenuBox&) { EXPECT_EQ(MenuBox::screen().Settings.SortOrder, "DESC"); }},
        Row{.name = "SelectHeadingColor",
            .menu = Menu::ReportScreen,
            .path = {"Report Options", "Select Heading Color"},
            .window = "frmHeadingColor"},
        Row{.name = "HelpWithoutTheHelpPages",
            .menu = Menu::ReportScreen,
            .path = {"Help"},
            .boxes = {{kProgramBox, std::string(help::kDefaultTopic) + "\" is not installed"}}},
        Row{.name = "HelpWithTheHelpPages",
            .menu = Menu::ReportScreen,
            .path = {"Help"},
            .prepare =
                [](MenuBox& t) {
                    const fs::path pages = t.root.ProgramFolder() / help::kHelpFolderName;
                    fs::create_directories(pages);
                    std::ofstream(pages / help::kDefaultTopic) << "<html><body>Tallyvane</body></html>";
                },
            .after =
                [](MenuBox& t) {
                    ASSERT_EQ(t.opener->opened.size(), 1u);
                    EXPECT_NE(t.opener->opened[0].find(help::kDefaultTopic), std::string::npos);
                }}),
    rowName);

// The scheduling form's menu bar, the form opened from the report screen's
// "Schedule Report".
INSTANTIATE_TEST_SUITE_P(
    SchedulingForm, MenuBox,
    ::testing::Values(
        Row{.name = "FileCloseUnscheduled",
            .menu = Menu::SchedulingForm,
            .path = {"File", "Close"},
            .prepare = [](MenuBox&) { MenuBox::scheduling().chkScheduleReport.SetValue(forms::vbUnchecked); },
            .after = [](MenuBox&) { EXPECT_EQ(frmReportScheduling::IfLoaded(), nullptr); }},
        Row{.name = "FileCloseWithoutRecipients",
            .menu = Menu::SchedulingForm,
            .path = {"File", "Close"},
            .boxes = {{kMessage, "Please enter at least one Recipient of the report"}},
            .prepare = [](MenuBox&) { MenuBox::scheduled(2).txtEmailNames.SetText(""); },
            .after = [](MenuBox&) { EXPECT_NE(frmReportScheduling::IfLoaded(), nullptr) << "the form stays"; }},
        Row{.name = "FileCloseWithAnAddressWithoutAt",
            .menu = Menu::SchedulingForm,
            .path = {"File", "Close"},
            .boxes = {{kMessage, "leases.example.com is an invalid email address"}},
            .prepare = [](MenuBox&) { MenuBox::scheduled(2).txtEmailNames.SetText("leases.example.com"); },
            .after = [](MenuBox&) { EXPECT_NE(frmReportScheduling::IfLoaded(), nullptr) << "the form stays"; }},
        Row{.name = "FileCloseWithoutAFileName",
            .menu = Menu::SchedulingForm,
            .path = {"File", "Close"},
            .boxes = {{kMessage, "Please enter the name of the file"}},
            .prepare = [](MenuBox&) { MenuBox::scheduled(1).txtFileName.SetText(""); },
            .after = [](MenuBox&) { EXPECT_NE(frmReportScheduling::IfLoaded(), nullptr) << "the form stays"; }},
        // Kept open, the schedule is said again as the quit closes the form.
        Row{.name = "FileCloseOfAScheduleTheFileCannotHoldKeptOpen",
            .menu = Menu::SchedulingForm,
            .path = {"File", "Close"},
            .boxes = {{kMessage, kNotSaved + ": "}, {kMessage, kNotSaved + ": "}},
            .answers = {forms::vbNo},
            .prepare = [](MenuBox&) { MenuBox::scheduled(1).txtFileName.SetText(kBracketedName); },
            .after = [](MenuBox&) { EXPECT_NE(frmReportScheduling::IfLoaded(), nullptr) << "the form stays"; }},
        Row{.name = "FileCloseOfAScheduleTheFileCannotHoldLetGo",
            .menu = Menu::SchedulingForm,
            .path = {"File", "Close"},
            .boxes = {{kMessage, kNotSaved + ": "}},
            .answers = {forms::vbYes},
            .prepare = [](MenuBox&) { MenuBox::scheduled(1).txtFileName.SetText(kBracketedName); },
            .after = [](MenuBox&) { EXPECT_EQ(frmReportScheduling::IfLoaded(), nullptr); }},
        Row{.name = "FileCloseWithTheSchedulesFileRefused",
            .menu = Menu::SchedulingForm,
            .path = {"File", "Close"},
            .boxes = {{kMessage, "Schedules cannot be kept while the schedules file is refused"}},
            .prepare =
                [](MenuBox& t) {
                    const fs::path file = t.root.ProgramFolder() / Mod_Report::kReportFileName;
                    std::ofstream{file, std::ios::app};
                    fs::resize_file(file, 17u << 20);
                },
            .after = [](MenuBox&) { EXPECT_EQ(frmReportScheduling::IfLoaded(), nullptr); }},
        Row{.name = "HelpWithoutTheHelpPages",
            .menu = Menu::SchedulingForm,
            .path = {"Help"},
            .boxes = {{kProgramBox, "Schedule_Report_Screen.htm\" is not installed"}},
            .prepare = [](MenuBox&) { MenuBox::scheduling().chkScheduleReport.SetValue(forms::vbUnchecked); }}),
    rowName);

} // namespace
