#pragma once
// The start-with-the-session setting. The program keeps it, as it always
// did, as the value "Tallyvane" under HKEY_LOCAL_MACHINE
// "SOFTWARE\Microsoft\Windows\CurrentVersion\Run"; the desktop starts
// programs from autostart entries instead, so the entry follows the value:
// present while the value is, removed with it.

#include <filesystem>
#include <string>

namespace Autostart {

// The desktop's autostart folder: "autostart" beside the program's own
// configuration folder ($XDG_CONFIG_HOME/autostart).
std::filesystem::path Folder();
// Another folder (tests); an empty path goes back to the default.
void SetFolder(const std::filesystem::path& folder);
// Folder()/"tallyvane.desktop".
std::filesystem::path EntryFile();

// The program's own executable file.
std::filesystem::path ProgramFile();

// The entry that starts program.
std::string EntryText(const std::filesystem::path& program);

// Makes the entry match the value now. Leaves the entry alone while the
// registry file cannot be read. Answers false when the entry could not be
// written or removed.
bool Sync();

// Syncs now and after every change this process makes to the registry.
void Install();
void Uninstall();

} // namespace Autostart
