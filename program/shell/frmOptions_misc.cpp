// The options window's Misc and Email pages: every switch and box is stored
// as soon as it changes.

#include "program/shell/frmOptions.h"

#include "program/reports/frmMain_SendEmail.h"
#include "program/services/MBoxMod.h"
#include "program/services/Mod_Registry.h"
#include "program/services/Mod_SpecialFunctions.h"
#include "program/services/Mod_tallyvane_Values.h"
#include "program/services/ShellState.h"
#include "program/shell/Autostart.h"
#include "program/shell/frmMain.h"

#include <filesystem>

namespace {

// The program's box for a notice: colour scheme, button set (OK), icon.
constexpr int kNoticeScheme = 4;
constexpr int kNoticeButtons = 0;
constexpr int kNoticeIcon = 4;
constexpr int kSentIcon = 10;

std::string boolText(bool on)
{
    return on ? "True" : "False";
}

bool entryExists()
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(Autostart::EntryFile(), ec));
}

} // namespace

// --- Misc page ---

void frmOptions::chkEnableScreenFader_Click()
{
    Mod_SpecialFunctions::SaveRegStringIfChanged(boolText(chkEnableScreenFader.Value() == forms::vbChecked),
                                                 Mod_Registry::kProgramKey, "ScreenClose");
}

void frmOptions::chkUseExampleDB_Click()
{
    // Only the next start takes the other database: every reader (the
    // reports and the scheduled runs too) stays on the one in use.
    const bool on = chkUseExampleDB.Value() == forms::vbChecked;
    Mod_SpecialFunctions::SaveRegStringIfChanged(boolText(on), Mod_Registry::kProgramKey, "UseExampleDB");
}

void frmOptions::chkRunAtStartup_Click()
{
    if (loading_)
        return;
    using namespace winreg;
    const bool on = chkRunAtStartup.Value() == forms::vbChecked;
    auto writeValue = [] {
        // The desktop keeps no Run key of its own: the first tick makes it.
        HKEY key = 0;
        if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, Mod_Registry::kRunKey, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &key,
                           nullptr) == ERROR_SUCCESS)
            RegCloseKey(key);
        return Mod_Registry::WriteRegValue(HKEY_LOCAL_MACHINE, Mod_Registry::kRunKey, Mod_Registry::kRunValue,
                                           vb::Variant(Autostart::ProgramFile().string()), REG_SZ);
    };
    const std::string entry = Autostart::EntryFile().string();
    std::string problem;
    if (on) {
        const LONG rc = writeValue();
        if (rc != ERROR_SUCCESS)
            problem = "Tallyvane could not be set to run on startup: " +
                      StoreProblem().value_or("its settings could not be written (error " + std::to_string(rc) + ").");
        else if (!Autostart::Sync() || !entryExists())
            problem = "Tallyvane could not be set to run on startup: the autostart entry \"" + entry +
                      "\" could not be written.";
        if (!problem.empty()) {
            // Setting and entry go back to how they were.
            Mod_Registry::DeleteRegValue(HKEY_LOCAL_MACHINE, Mod_Registry::kRunKey, Mod_Registry::kRunValue);
            Autostart::Sync();
            setQuietly(chkRunAtStartup, forms::vbUnchecked);
        }
    } else {
        Mod_Registry::DeleteRegValue(HKEY_LOCAL_MACHINE, Mod_Registry::kRunKey, Mod_Registry::kRunValue);
        if (!Autostart::Sync() || entryExists()) {
            problem = "Tallyvane could not stop running on startup: the autostart entry \"" + entry +
                      "\" could not be removed.";
            writeValue();
            setQuietly(chkRunAtStartup, forms::vbChecked);
        }
    }
    if (!problem.empty())
        MBoxMod::ShowMBox(problem, kNoticeScheme, kNoticeButtons, kNoticeIcon);
}

// --- Email page ---

// Each box stores the setting its label names and is used by the next
// message sent, the test message included.

void frmOptions::txtSMTPMailServer_Change()
{
    const std::string text = txtSMTPMailServer.Text();
    Mod_SpecialFunctions::SaveRegStringIfChanged(text, Mod_Registry::kEMailKey, "SMTPMailServer");
    tv::Shell().g_SMTPMailServer = text;
}

void frmOptions::txtOrigEmail_Change()
{
    const std::string text = txtOrigEmail.Text();
    Mod_SpecialFunctions::SaveRegStringIfChanged(text, Mod_Registry::kEMailKey, "OriginatorsEmail");
    tv::Shell().g_OriginatorsEmail = text;
}

void frmOptions::txtFromEMail_Change()
{
    const std::string text = txtFromEMail.Text();
    Mod_SpecialFunctions::SaveRegStringIfChanged(text, Mod_Registry::kEMailKey, "OriginatorsName");
    tv::Shell().g_OriginatorsName = text;
}

void frmOptions::Lumvex1_Click()
{
    // The test goes to the sender's own address; the sender tells of every
    // failure itself.
    const long result = frmMain::Instance().SendEmail("Test Message",
                                                      "If you receive this e-mail the connection was properly made.",
                                                      txtOrigEmail.Text(), false, "", "plain");
    if (result == SmtpSender::kSent)
        MBoxMod::ShowMBox(kTestSent, kNoticeScheme, kNoticeButtons, kSentIcon);
}
