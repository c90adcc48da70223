#include "program/shell/Mod_tallyvane.h"

#include "program/services/Mod_Registry.h"
#include "program/services/ShellState.h"
#include "program/shell/FirstRun.h"

#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

using namespace Mod_Registry;
using winreg::HKEY_CURRENT_USER;
using winreg::REG_SZ;

TEST(Mod_tallyvane, LoadSettingsFillsTheMailSettingsAndTheDatabaseName)
{
    tv::testing::TempRoot root;
    tv::ResetShellState();
    FirstRun::Run();
    // A fresh install opens the example database, with no mail settings.
    Mod_tallyvane::LoadSettings();
    EXPECT_EQ(tv::Shell().g_DatabaseFileName, "Tallyvane_ExampleDB.mdb");
    EXPECT_EQ(tv::Shell().g_SMTPMailServer, "");

    WriteRegValue(HKEY_CURRENT_USER, kEMailKey, "SMTPMailServer", "mail.example.com", REG_SZ);
    WriteRegValue(HKEY_CURRENT_USER, kEMailKey, "OriginatorsName", "Lease Office", REG_SZ);
    WriteRegValue(HKEY_CURRENT_USER, kEMailKey, "OriginatorsEmail", "leases@example.com", REG_SZ);
    WriteRegValue(HKEY_CURRENT_USER, kProgramKey, "UseExampleDB", "False", REG_SZ);
    Mod_tallyvane::LoadSettings();
    EXPECT_EQ(tv::Shell().g_SMTPMailServer, "mail.example.com");
    EXPECT_EQ(tv::Shell().g_OriginatorsName, "Lease Office");
    EXPECT_EQ(tv::Shell().g_OriginatorsEmail, "leases@example.com");
    EXPECT_EQ(tv::Shell().g_DatabaseFileName, "Tallyvane.mdb");

    // Numeric text counts as a Boolean too; what reads as neither, or
    // nothing at all, takes the installer's default instead of stopping.
    for (const auto& [text, file] : std::vector<std::pair<const char*, const char*>>{
             {"True", "Tallyvane_ExampleDB.mdb"},
             {"0", "Tallyvane.mdb"},
             {"1", "Tallyvane_ExampleDB.mdb"},
             {"FALSE", "Tallyvane.mdb"},
             {"", "Tallyvane_ExampleDB.mdb"},
             {"maybe", "Tallyvane_ExampleDB.mdb"}}) {
        WriteRegValue(HKEY_CURRENT_USER, kProgramKey, "UseExampleDB", text, REG_SZ);
        Mod_tallyvane::LoadSettings();
        EXPECT_EQ(tv::Shell().g_DatabaseFileName, file) << '"' << text << '"';
    }
    DeleteRegValue(HKEY_CURRENT_USER, kProgramKey, "UseExampleDB");
    Mod_tallyvane::LoadSettings();
    EXPECT_EQ(tv::Shell().g_DatabaseFileName, "Tallyvane_ExampleDB.mdb");
    tv::ResetShellState();
}
