#pragma once
// The update check: clean-up after an installed update, the version file
// fetched from the update site, the question, the download (Mod_AutoUpdate)
// and the hand-over to the installer. Silent at every start; with messages
// from the tray menu.

#include "program/shell/Mod_AutoUpdate.h"

#include <string>
#include <string_view>
#include <vector>

namespace Mod_StoreInfo {

using Mod_AutoUpdate::UpdateVersion;

// The version file's place on the update site.
inline constexpr std::string_view kVersionFilePath = "/updateinfo/tallyvane/tallyvane_version.txt";

// The messages of the check.
inline constexpr std::string_view kUpdateSuccessful = "Update successful";
inline constexpr std::string_view kNoUpdate = "There is not an update available at this time.";
inline constexpr std::string_view kNoUpdateTitle = "Tallyvane up to date.";
inline constexpr std::string_view kNoConnection =
    "Internet connection could not be established, Please check your connection and try again";
inline constexpr std::string_view kNoConnectionTitle = "No internet connection found";
// A build made without the update site's address has nothing to ask.
inline constexpr std::string_view kNoUpdateAddress =
    "This build of Tallyvane has no update address, so it cannot check for updates.";
inline constexpr std::string_view kNoUpdateAddressTitle = "No update address";
inline constexpr std::string_view kUpdateAvailable =
    "There is an Update available, would you like to download and install the update?";
inline constexpr std::string_view kUpdateAvailableTitle = "Update Available";
inline constexpr std::string_view kWillClose = "Tallyvane will now close.";

// The transfer error: the maker's web address, then why the transfer failed
// when that is known.
std::string TransferErrorMessage(const std::string& webAddress, const std::string& errorText);

// An update of more files than this is no update: the list is malformed.
inline constexpr int kMaxUpdateFiles = 256;

// The version file: "VERSION:a.b.c", LF, "NAME:" with the file names
// separated by ";", LF; anything after is ignored. One CR before each LF is
// dropped, blanks around the version and the names too. False (outputs
// untouched) unless it parses whole: the version three whole numbers, one
// to kMaxUpdateFiles names, every name a safe file name (the last is the
// installer).
bool ParseVersionFile(std::string_view text, UpdateVersion& version, std::vector<std::string>& fileNames);

// The address of the version file on a site; "" for no site.
std::string VersionFileUrl(const std::string& siteAddress);

// The whole check, as the tray menu asks for it: the clean-up after an
// installed update, the version file fetched (the window waits for it), the
// question, the download and the installer. A second check asked for while
// one runs (the tray works during the question and the download) does
// nothing; one asked for while the start's fetch is under way replaces it.
void CheckForUpdate(bool showMessages);

// The start's check, in two halves so that no window waits for the update
// site. First, before any window: the clean-up after an installed update,
// which says "Update successful" when the installer brought its version;
// true when an update had left its files (no version file is fetched at
// that start).
bool CleanUpAfterUpdate();
// Then, once the windows are up: the version file fetched on a thread of its
// own while the program goes on; when it arrives, the rest of the silent
// check runs as the tray's would (asked only when a newer version exists).
// Nothing without an update address.
void StartSilentCheck();
// Between StartSilentCheck and its answer being handled or dropped.
bool SilentCheckUnderWay();
// The answer will be dropped and the fetch gives up soon (a quit, the tray's
// own check); returns at once.
void CancelSilentCheck();
// The same, and waits for the fetch to give up (about a second at most).
void StopSilentCheck();

} // namespace Mod_StoreInfo
