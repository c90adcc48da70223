#pragma once
// Start-up of the program and the settings it reads once.

#include <string_view>

namespace Mod_tallyvane {

// The two database files in the program folder.
inline constexpr std::string_view kDatabaseFileName = "Tallyvane.mdb";
inline constexpr std::string_view kExampleDatabaseFileName = "Tallyvane_ExampleDB.mdb";

// Fills g_SMTPMailServer, g_OriginatorsName and g_OriginatorsEmail from the
// EMail key ("" when missing) and g_DatabaseFileName from UseExampleDB: the
// example database when it reads True. A missing or unreadable UseExampleDB
// takes the installer's default instead of stopping the start.
void LoadSettings();

} // namespace Mod_tallyvane
