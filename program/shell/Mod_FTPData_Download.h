#pragma once
// The download half of Mod_FTPData: one file from the update FTP server,
// the status callback that shows what the session reports on the progress
// window, and the texts of the Internet functions' error codes. One download
// at a time; its values live in FtpData().

#include "platform/net/FtpClient.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace Mod_FTPData {

// g_FtpTransferMode while a file arrives.
inline constexpr int32_t kTransferModeDownload = 3;

struct FtpState {
    // The session of the download, and whether it is logged in.
    std::unique_ptr<net::FtpClient> g_FtpSession;
    bool g_FtpConnection = false;
    // The file being downloaded (status text) and its size from the look-up.
    std::string g_FtpFileName;
    double g_FtpFileSize = 0;
    // Show the status texts on the progress window.
    bool g_FtpShowProgress = false;
    // Bytes received (reset when a handle closes) and sent.
    double g_FtpBytesReceived = 0;
    double g_FtpBytesSent = 0;
    int32_t g_FtpTransferMode = 0;
    // Why the last file download, or the login, failed.
    std::string g_FtpErrorText;
};
FtpState& FtpData();
void ResetFtpData();

// Downloads remotePath into localPath over the logged-in session. findData
// is the look-up's entry, nullptr when the look-up gave none; with one, the
// file must arrive with its size. On failure g_FtpErrorText tells why and no
// file is left at localPath (one that was there stays).
bool FtpDownloadFile(const std::string& remotePath, const std::filesystem::path& localPath,
                     const net::FtpFindData* findData, long failIfExists);

// What the session reports, as texts on the progress window and the bar.
void InternetStatusCallback(int status, uint32_t statusInfo);

// The text of an Internet functions' error code; for 12003 the server's last
// reply.
std::string GetInternetErrorText(long errorCode);

// The text up to its first NUL.
std::string TrimAtNul(std::string_view text);

// The text on the progress window (while g_FtpShowProgress is on), then one
// turn of the event loop.
void ShowStatus(const std::string& text);

// The entry's size in bytes.
double GetFindDataSize(const net::FtpFindData& findData);

} // namespace Mod_FTPData
