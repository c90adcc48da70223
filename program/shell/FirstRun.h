#pragma once
// The installer's job, done by the program itself at every start: the
// program folder with the shipped files, the registry values the program
// expects to find, and the registration of the button library its forms
// create their buttons from. Nothing a user already has is overwritten, so
// running it again only fills in what is missing.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace FirstRun {

// The defaults the installer wrote; reading a missing or unreadable value
// falls back to the same ones. A fresh install opens the example database.
inline constexpr bool kDefaultShowTips = true;
inline constexpr bool kDefaultUseExampleDB = true;
inline constexpr bool kDefaultScreenClose = false;

struct Report {
    // Files copied into the program folder, relative to it.
    std::vector<std::filesystem::path> copied;
    // Registry values written, as key path and value name joined by "\".
    std::vector<std::string> written;
    // The button library registered by this run, or empty.
    std::filesystem::path registeredLibrary;
    // What went wrong, in words for the user; the start goes on.
    std::vector<std::string> problems;
};

// The class the program's buttons are made of.
inline constexpr const char* kButtonProgId = "LUMVEX.LumvexCtrl.4";

// The button library the program ships: lib/libquorvel.so beside the
// program's bin folder.
std::filesystem::path ButtonLibrary();

// Creates the program folder, copies into it every file of the install
// folder (subfolders too) that it does not hold yet, and writes the
// installer's registry values where they are missing, and registers the
// button library when no class is registered for the buttons or the
// registered library file is gone. A damaged registry file, or one whose
// folder takes no change, is reported and left alone; the button library is
// registered all the same (the registry keeps that registration in memory
// when its file cannot take it).
Report Run();

} // namespace FirstRun
