#pragma once
// Start-up of the program and the settings it reads once.

#include "program/services/Mod_tallyvane_Values.h"

namespace Mod_tallyvane {

// Fills g_SMTPMailServer, g_OriginatorsName and g_OriginatorsEmail from the
// EMail key ("" when missing) and g_DatabaseFileName from UseExampleDB: the
// example database when it reads True. A missing or unreadable UseExampleDB
// takes the installer's default instead of stopping the start.
void LoadSettings();

// --- Start-up ---

// The program's start: month names, settings, the database, the main
// calendar window, the tip window when ShowTips is on, the icon in the
// notification area. Returns false, after telling the user, when the
// database cannot be opened; the program then ends. Other errors reach the
// caller.
bool Main();

// --- end of start-up ---

} // namespace Mod_tallyvane
