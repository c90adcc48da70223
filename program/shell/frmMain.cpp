#include "program/shell/frmMain.h"

#include "program/reports/Mod_tallyvane_Runner.h"
#include "program/reports/frmMain_SendEmail.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/ProgramPictures.h"
#include "program/services/ShellState.h"
#include "program/shell/Mod_StoreInfo_Update.h"
#include "program/shell/ScreenCommands.h"

#include "platform/basic/App.h"

#include <cmath>

frmMain::frmMain()
    : FormOf("frmMain")
{
    SetCaption(kCaption);
    SetShowInTaskbar(false);
    emailTimer.SetEnabled(false);
    emailTimer.SetInterval(kEmailTimerInterval);
    emailTimer.Tick = [this] { emailTimer_Timer(); };

    Tray1.SetPicture(ProgramPictures::TrayPicture());
    Tray1.SetToolTipText("Tallyvane");
    Tray1.IconEvent = [this](int) { TrayIconEvent(); };
    for (const char* key : {"UPDATE", "CONTROL", "STORES", "REPORT", "TASK", "SALES", "OPTIONS", "QUIT"})
        SmartPopup.ListImages().Add(key, ProgramPictures::CommandPicture(key));
    SmartPopup.ItemClick = [this](const std::string& key) { TrayMenuCommand(key); };
}

frmMain::~frmMain() = default;

void frmMain::Form_Load()
{
    emailTimer.SetEnabled(true);
}

void frmMain::Form_Unload(int& Cancel)
{
    (void)Cancel;
    Mod_StoreInfo::CancelSilentCheck();
}

void frmMain::emailTimer_Timer()
{
    // The runtime rounds half to even when the sum goes back into the Long.
    emailSeconds_ = static_cast<int32_t>(std::nearbyint(emailTimer.Interval() / 1000.0 + emailSeconds_));
    if (emailSeconds_ > kRunnerSeconds) {
        emailSeconds_ = 0;
        Mod_tallyvane::RunScheduledTasks();
    }
}

SmtpSender& frmMain::Mailer()
{
    if (!mailer_)
        mailer_ = std::make_unique<SmtpSender>();
    return *mailer_;
}

long frmMain::SendEmail(const std::string& Subject, const std::string& MailBody, const std::string& Recepitants,
                        bool HaveAttachment, const std::string& AttachmentFileName, const std::string& ContextType)
{
    return Mailer().SendEmail(Subject, MailBody, Recepitants, HaveAttachment, AttachmentFileName, ContextType);
}

// --- Tray icon and its menu ---

void frmMain::TrayIconEvent()
{
    BuildTrayMenu();
    const double x = vb::Screen::Width() - SmartPopup.Width();
    const double y = vb::Screen::Height();
    SmartPopup.PopupMenu("POPUP", x, y);
}

void frmMain::BuildTrayMenu()
{
    using controls::smuiCommandItem;
    using controls::smuiHeadingItem;
    SmartPopup.Menus().Clear();
    controls::SmartItems& items = SmartPopup.Menus().Add("POPUP", "", controls::smuiMenuPopup).Items();
    items.Clear();
    items.Add("ABOUT", "About Tallyvane", smuiCommandItem);
    items.Add("", "Updates", smuiHeadingItem);
    items.Add("UPDATE", "Check For Update", smuiCommandItem, "UPDATE");
    items.Add("", "Screens", smuiHeadingItem);
    items.Add("CONTROL", "Control Screen", smuiCommandItem, "CONTROL");
    items.Add("STORES", "Stores", smuiCommandItem, "STORES");
    items.Add("REPORTS", "Reports", smuiCommandItem, "REPORT");
    items.Add("TASKS", "Tasks", smuiCommandItem, "TASK");
    items.Add("SALES", "Sales", smuiCommandItem, "SALES");
    items.Add("OPTIONS", "Options", smuiCommandItem, "OPTIONS");
    items.Add("", "Quit", smuiHeadingItem);
    items.Add("QUIT", "Quit Tallyvane", smuiCommandItem, "QUIT");
}

void frmMain::TrayMenuCommand(const std::string& key)
{
    vb::ResumeNext step;
    if (key == "ABOUT") {
        step([] { ScreenCommands::ShowAbout(); });
    } else if (key == "UPDATE") {
        step([] { ScreenCommands::CheckForUpdate(true); });
    } else if (key == "CONTROL") {
        step([] { ScreenCommands::ShowMainCalendar(); });
    } else if (key == "STORES") {
        step([] { ScreenCommands::ShowStoreEditor(); });
    } else if (key == "REPORTS") {
        step([] { ScreenCommands::ShowReportScreen(); });
    } else if (key == "SALES") {
        step([] { ScreenCommands::ShowSales(); });
    } else if (key == "TASKS") {
        step([] { ScreenCommands::ShowTaskList(); });
    } else if (key == "OPTIONS") {
        step([] { ScreenCommands::ShowOptions(); });
    } else if (key == "QUIT") {
        step([] { tv::Shell().g_ShowCloseMenu = false; });
        step([] { Mod_FTPData::UnloadAllForms(true); });
    }
}

// --- end of the tray icon and its menu ---
