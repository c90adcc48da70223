#pragma once
// Installing an update: which version is newer, the download of the update
// files, and the close of the program for the installer. The check that
// drives it is Mod_StoreInfo::CheckForUpdate (Mod_StoreInfo_Update.h).

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Mod_AutoUpdate {

// Three whole numbers; compared as numbers, major first.
struct UpdateVersion {
    int32_t major = 0;
    int32_t minor = 0;
    int32_t build = 0;

    auto operator<=>(const UpdateVersion&) const = default;
    // "1.2.3"
    std::string Text() const;
};

// "a.b.c": exactly three whole numbers (digits only, each below a billion),
// blanks around the whole allowed. False, and version untouched, otherwise.
bool ParseVersionText(std::string_view text, UpdateVersion& version);

// A name the update may use as a file name: not empty, not ".", and without
// "/", backslash, ".." or NUL, so that it names a file inside the folder it
// is put in.
bool IsSafeFileName(std::string_view name);

// The version this program was built as.
UpdateVersion BuildVersion();

// Where the update comes from. The deployment's values unless a test set
// others.
struct UpdateSite {
    // The web server of the version file: a host, or an address with
    // scheme and base path; "http://" is assumed without a scheme.
    std::string address;
    std::string ftpHost;
    uint16_t ftpPort = 21;
    std::string ftpUser;
    std::string ftpPassword;
    // The maker's web address the transfer error points to.
    std::string webAddress;
};
UpdateSite Site();
// nullopt: the deployment's values again.
void SetSite(std::optional<UpdateSite> site);

// Names of what an update leaves: the folder in the program folder the files
// are moved into (removed at the next start), and the registry value that
// keeps the version being installed meanwhile.
inline constexpr std::string_view kUpdateFolder = "update";
inline constexpr std::string_view kPendingVersionValue = "PendingVersion";
// The files' folder on the FTP server, from the login folder.
inline constexpr std::string_view kRemoteFolder = "./updateinfo/tallyvane/";
// How the download names itself to the server.
inline constexpr std::string_view kAgentName = "Merrowgate FTP Program";

// The cache folder's "update-download": the files arrive there first.
std::filesystem::path StagingFolder();

// True when the registry value Version is at least fileVersion. A missing
// or unreadable Version counts as 0.0.0.
bool IsUpToDate(const UpdateVersion& fileVersion);

// Start-up: the build's own version becomes the registry value Version when
// it holds anything else (the installer's job elsewhere).
void WriteBuildVersion();

// Downloads the files, in list order, from the update FTP server into the
// staging folder while the progress window shows the transfer. 0 when every
// file arrived whole, -1 otherwise (nothing partial is left, the progress
// window is closed, and Mod_FTPData's g_FtpErrorText says why). An empty
// list fetches nothing and answers 0.
int16_t DownloadUpdateFiles(const std::vector<std::string>& fileNames);

// Closes every window, the notification icon and the hidden main window,
// so that the installer finds the program gone.
void CloseForUpdate();

// Ends the program at once: the event loop returns, and a start that is
// still under way goes no further.
void EndProgram();
bool ProgramEnded();

// For tests: the site back to the deployment's, the end undone.
void ResetUpdateState();

} // namespace Mod_AutoUpdate
