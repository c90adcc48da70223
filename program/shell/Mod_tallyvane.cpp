#include "program/shell/Mod_tallyvane.h"

#include "program/shell/FirstRun.h"
#include "program/shell/Mod_Registry.h"
#include "program/shell/ShellState.h"

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

} // namespace Mod_tallyvane
