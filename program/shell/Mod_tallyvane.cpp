#include "program/shell/Mod_tallyvane.h"

#include "platform/basic/App.h"
#include "platform/forms/Form.h"
#include "platform/forms/MsgBox.h"
#include "platform/report/DataEnvironment.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/Mod_Registry.h"
#include "program/services/Notifications.h"
#include "program/services/ProgramPictures.h"
#include "program/services/ShellState.h"
#include "program/shell/Autostart.h"
#include "program/shell/FirstRun.h"
#include "program/shell/Mod_AutoUpdate.h"
#include "program/shell/Mod_StoreInfo_Update.h"
#include "program/shell/Mod_tallyvane_Calendar.h"
#include "program/shell/Mod_tallyvane_ReadAhead.h"
#include "program/shell/ScreenCommands.h"
#include "program/shell/frmMain.h"
#include "program/shell/frmTallyvane.h"
#include "program/shell/frmTip.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace Mod_tallyvane {

void LoadSettings()
{
    using Mod_Registry::ReadRegValue;
    using winreg::HKEY_CURRENT_USER;
    tv::ShellState& shell = tv::Shell();
    shell.g_SMTPMailServer = ReadRegValue(HKEY_CURRENT_USER, Mod_Registry::kEMailKey, "SMTPMailServer");
    shell.g_OriginatorsName = ReadRegValue(HKEY_CURRENT_USER, Mod_Registry::kEMailKey, "OriginatorsName");
    shell.g_OriginatorsEmail = ReadRegValue(HKEY_CURRENT_USER, Mod_Registry::kEMailKey, "OriginatorsEmail");
    const bool useExample = Mod_Registry::ReadRegBoolean(HKEY_CURRENT_USER, Mod_Registry::kProgramKey,
                                                         "UseExampleDB", FirstRun::kDefaultUseExampleDB);
    shell.g_DatabaseFileName = std::string(useExample ? kExampleDatabaseFileName : kDatabaseFileName);
}

namespace {

// Set once the start has shown the windows, cleared when the program ends.
bool g_running = false;

// "the table Stores", "the tables Stores and CalInfo", "the tables A, B and C".
std::string tablesText(const std::vector<std::string>& tables)
{
    std::string text = tables.size() == 1 ? "the table " : "the tables ";
    for (size_t i = 0; i < tables.size(); ++i)
        text += (i == 0 ? "" : i + 1 == tables.size() ? " and " : ", ") + tables[i];
    return text;
}

// What the database lacks, told before any window shows its tables empty.
void tellTableFaults(const std::filesystem::path& file)
{
    std::vector<std::string> missing, damaged;
    for (const auto& fault : Mod_DBConnections::CheckTables())
        (fault.missing ? missing : damaged).push_back(fault.table);
    if (missing.empty() && damaged.empty())
        return;
    std::string text = "Tallyvane's database file \"" + file.string() + "\" is not whole.";
    if (!missing.empty())
        text += "\r\n\r\nIt lacks " + tablesText(missing) + ".";
    if (!damaged.empty())
        text += "\r\n\r\nIt is damaged: " + tablesText(damaged) + " cannot be read whole.";
    text += "\r\n\r\nTallyvane goes on, but what those tables hold is not shown, and the reports that use them "
            "stay empty.";
    forms::MsgBox(text, forms::vbExclamation);
}

} // namespace

// --- Start-up ---

void ConnectNotifications()
{
    using Notifications::CalendarWindow;
    Notifications::SetCalendarRefill([](CalendarWindow window) {
        if (window == CalendarWindow::OnlyWhenLoaded && !frmTallyvane::IfLoaded())
            return;
        FillCalendar();
    });
    Notifications::SetEmailSender([](const std::string& Subject, const std::string& MailBody,
                                     const std::string& Recepitants, bool HaveAttachment,
                                     const std::string& AttachmentFileName, const std::string& ContextType) {
        return frmMain::Instance().SendEmail(Subject, MailBody, Recepitants, HaveAttachment, AttachmentFileName,
                                             ContextType);
    });
    Notifications::SetReportBrowser([]() -> report::WebBrowser& { return frmMain::Instance().WebBrowser1; });
}

bool Main()
{
    g_running = false;
    tv::ShellState& shell = tv::Shell();
    // The first windows' pictures are decoded meanwhile, the tip window's
    // first: reading it loads the picture readers the main window's menu bar
    // needs too.
    const bool showTips = Mod_Registry::ReadRegBoolean(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey,
                                                       "ShowTips", FirstRun::kDefaultShowTips);
    std::vector<std::string> pictures;
    if (showTips)
        pictures.push_back(ProgramPictures::ShippedPictureFile(frmTip::kBulb).string());
    pictures.push_back(frmTallyvane::BackgroundPictureFile());
    const ReadAhead readAhead(std::move(pictures));

    ConnectNotifications();

    // The update check's clean-up after an installed update comes first; it
    // compares with the version this build is. Its fetch of the version file
    // waits until the windows are up.
    Mod_AutoUpdate::WriteBuildVersion();
    const bool afterAnUpdate = Mod_StoreInfo::CleanUpAfterUpdate();

    shell.g_MonthNames = MonthNames();
    LoadSettings();

    try {
        Mod_DBConnections::OpenDatabase();
    } catch (const vb::RuntimeError& e) {
        const auto file = vb::AppPaths::ProgramFolder() / shell.g_DatabaseFileName;
        forms::MsgBox("Tallyvane cannot open its database file \"" + file.string() + "\".\r\n\r\n" +
                          e.Description(),
                      forms::vbCritical);
        return false;
    }
    tellTableFaults(vb::AppPaths::ProgramFolder() / shell.g_DatabaseFileName);

    frmTallyvane::Instance().Show(forms::vbModeless);

    if (showTips)
        ScreenCommands::ShowTip();

    // The reports run on the database in use.
    report::DataEnvironment1().Connect(vb::AppPaths::ProgramFolder() / shell.g_DatabaseFileName);

    // The hidden main window is created here; its load starts the e-mail
    // timer.
    frmMain::Instance().Tray1.ShowIcon();

    tv::Shell().g_TaskListOpen = false;

    // A slow or silent update site holds up nothing: the version file is
    // fetched in the background and asks only when a newer version is
    // there. Not right after an update.
    if (!afterAnUpdate)
        Mod_StoreInfo::StartSilentCheck();
    g_running = true;
    return true;
}

void ComeForward()
{
    if (!g_running || Mod_AutoUpdate::ProgramEnded() || !frmMain::IfLoaded())
        return;
    ScreenCommands::ShowMainCalendar();
}

// --- end of start-up ---

bool Start()
{
    const FirstRun::Report firstRun = FirstRun::Run();
    Autostart::Install();
    if (!firstRun.problems.empty()) {
        std::string text;
        for (const auto& problem : firstRun.problems) {
            std::fprintf(stderr, "tallyvane: %s\n", problem.c_str());
            text += (text.empty() ? "" : "\r\n\r\n") + problem;
        }
        forms::MsgBox(text, forms::vbExclamation);
    }
    return Main();
}

void UnloadEveryForm()
{
    g_running = false;
    Mod_StoreInfo::StopSilentCheck();
    tv::Shell().g_ShowCloseMenu = false;
    Mod_FTPData::UnloadAllForms(true);
    // A form that refused to go (or one still waiting to be deleted) must
    // not outlive the application object either.
    forms::ResetForms();
}

} // namespace Mod_tallyvane
