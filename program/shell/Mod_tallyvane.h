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

// Connects what the subsystems below the shell tell its windows: a reminder
// change refills the main calendar, the scheduled reports are mailed and
// printed through the hidden main window. The start does it first. (The
// task list connects its own refresh while it is open.)
void ConnectNotifications();

// The program's start: the clean-up after an installed update, month
// names, settings, the database (its missing or damaged tables told), the
// main calendar window, the tip window when ShowTips is on, the icon in the
// notification area, and last the silent update check, whose fetch runs in
// the background (it may later close the program for an installer).
// Returns false, after telling the user, when the database cannot be
// opened; the program then ends. Other errors reach the caller.
bool Main();

// --- end of start-up ---

// The start as the program makes it: the installer's work of FirstRun, the
// autostart entry kept in step with its setting, what stood in the way told
// in one message box, then Main. Its result is Main's.
bool Start();

// A later start of the program asked this copy to show itself: the main
// calendar window comes forward, opened again when it was closed to the
// notification area. Nothing while the start is under way (its window comes
// anyway) or once the program is ending.
void ComeForward();

// Unloads every form still loaded, the hidden main window last, and
// releases them: the program's end, whichever way it comes, before the
// application object goes. No hint about the notification area is shown.
void UnloadEveryForm();

} // namespace Mod_tallyvane
