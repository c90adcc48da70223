#pragma once
// The program-wide values of the application shell and its services, in one
// object that tests can reset; every layer of the program reads them. Each
// module's values sit in their own block.

#include "platform/ado/Ado.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tv {

struct ShellState {
    // Start-up (Mod_tallyvane): "January" to "December", indexes 0 to 11.
    std::vector<std::string> g_MonthNames;

    // Settings read at start-up (Mod_tallyvane.LoadSettings).
    std::string g_SMTPMailServer;
    std::string g_OriginatorsName;
    std::string g_OriginatorsEmail;
    // The database file chosen at start-up; every reader uses it until the
    // next start, whatever the options choose meanwhile.
    std::string g_DatabaseFileName;

    // The shared database connection and, per table, the command and the
    // recordset its open routine leaves behind and its open flag
    // (Mod_DBConnections).
    ado::ConnectionPtr g_DBConnection;
    ado::CommandPtr g_cmdStores, g_cmdLandLord, g_cmdBaseRate, g_cmdPercentageRate;
    ado::CommandPtr g_cmdCAMRate, g_cmdTaxRate, g_cmdCalInfo, g_cmdSales;
    ado::RecordsetPtr g_rsStores, g_rsLandLord, g_rsBaseRate, g_rsPercentageRate;
    ado::RecordsetPtr g_rsCAMRate, g_rsTaxRate, g_rsCalInfo, g_rsSales;
    bool g_StoresOpen = false, g_LandLordOpen = false, g_BaseRateOpen = false, g_PercentageRateOpen = false;
    bool g_CAMRateOpen = false, g_TaxRateOpen = false, g_CalInfoOpen = false, g_SalesOpen = false;

    // Message box (MBoxMod): the index of the button released last and the
    // state of the box's check box at that release; both 0 at start.
    int16_t g_MBoxResult = 0;
    int16_t g_MBoxCheckValue = 0;

    // Main calendar window (frmTallyvane): whether closing it shows the hint
    // that the program goes on in the notification area.
    bool g_ShowCloseMenu = true;

    // Task list window (frmTaskList): True while it is loaded; start-up
    // clears it, and a reminder change refreshes the list only while it is set.
    bool g_TaskListOpen = false;

    // The folder of the picture chosen last for a calendar icon, where the
    // picker's file dialog opens next; empty until one is chosen.
    std::string lastPictureFolder;
};

ShellState& Shell();
// Back to the values before start-up.
void ResetShellState();

} // namespace tv
