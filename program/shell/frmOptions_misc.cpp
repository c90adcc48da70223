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
#include <string>
#include <string_view>

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

winreg::LONG writeRunValue()
{
    using namespace winreg;
    // The desktop keeps no Run key of its own: the first tick makes it.
    HKEY key = 0;
    if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, Mod_Registry::kRunKey, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &key,
                       nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
    return Mod_Registry::WriteRegValue(HKEY_LOCAL_MACHINE, Mod_Registry::kRunKey, Mod_Registry::kRunValue,
                                       vb::Variant(Autostart::ProgramFile().string()), REG_SZ);
}

void deleteRunValue()
{
    Mod_Registry::DeleteRegValue(winreg::HKEY_LOCAL_MACHINE, Mod_Registry::kRunKey, Mod_Registry::kRunValue);
}

std::string entryProblem(std::string_view what, std::string_view done)
{
    return "Tallyvane could not " + std::string(what) + ": the autostart entry \"" +
           Autostart::EntryFile().string() + "\" could not be " + std::string(done) + ".";
}

// The Run value and the autostart entry made; where either fails, both go
// back to how they were and the answer says why.
std::string startRunningAtStartup()
{
    std::string problem;
    if (const winreg::LONG rc = writeRunValue(); rc != winreg::ERROR_SUCCESS)
        problem = "Tallyvane could not be set to run on startup: " +
                  winreg::StoreProblem().value_or("its settings could not be written (error " +
                                                  std::to_string(rc) + ").");
    else if (!Autostart::Sync() || !entryExists())
        problem = entryProblem("be set to run on startup", "written");
    if (!problem.empty()) {
        deleteRunValue();
        Autostart::Sync();
    }
    return problem;
}

// The Run value and the autostart entry removed; where the entry stays, the
// value is written back and the answer says why.
std::string stopRunningAtStartup()
{
    deleteRunValue();
    if (Autostart::Sync() && !entryExists())
        return {};
    writeRunValue();
    return entryProblem("stop running on startup", "removed");
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
    const bool on = chkRunAtStartup.Value() == forms::vbChecked;
    const std::string problem = on ? startRunningAtStartup() : stopRunningAtStartup();
    if (problem.empty())
        return;
    // The box shows what holds now.
    setQuietly(chkRunAtStartup, on ? forms::vbUnchecked : forms::vbChecked);
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
