#pragma once
// The program-wide values of the application shell, in one object that tests
// can reset. Each module's values sit in their own block.

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
    std::string g_DatabaseFileName;
};

ShellState& Shell();
// Back to the values before start-up.
void ResetShellState();

} // namespace tv
