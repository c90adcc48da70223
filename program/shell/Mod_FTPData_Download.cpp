#include "program/shell/Mod_FTPData_Download.h"

#include "platform/basic/App.h"
#include "platform/win/WaitCursor.h"
#include "program/shell/frmProgress.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace Mod_FTPData {

namespace {

// Byte counts as plain decimal text.
std::string number(double value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0f", value);
    return buf;
}

struct ErrorText {
    long code;
    const char* text;
};

// The Internet functions' texts; a few are two parts joined as they stand.
constexpr ErrorText kErrorTexts[] = {
    {12001, "No more handles could be generated at this time"},
    {12002, "The request has timed out."},
    {12004, "An internal error has occurred."},
    {12005, "URL is invalid."},
    {12006, "URL scheme could not be recognized, or is not supported."},
    {12007, "Server name could not be resolved."},
    {12008, "Requested protocol could not be located."},
    {12009, "A request to InternetQueryOption or InternetSetOption specified an invalid option value."},
    {12010, "Length of an option supplied to InternetQueryOption or InternetSetOption is incorrect for the type "
            "of option specified."},
    {12011, "The request option can not be set, only queried. "},
    {12012, "The Win32 Internet support is being shutdown or unloaded."},
    {12013, "Request to connect and login to an FTP server could notbe completed because the supplied user name "
            "is incorrect."},
    {12014, "Request to connect and login to an FTP server could not be completed because the supplied password "
            "is incorrect. "},
    {12015, "Request to connect to and login to an FTP server failed."},
    {12016, "Requested operation is invalid. "},
    {12017, "Operation was canceled, usually because the handle on which the request was operating was closed "
            "before the operation completed."},
    {12018, "Type of handle supplied is incorrect for this operation."},
    {12019, "Requested operation can not be carried out because the handle supplied is not in the correct "
            "state."},
    {12020, "Request can not be made via a proxy."},
    {12021, "A required registry value could not be located. "},
    {12022, "A required registry value was located but is an incorrect type or has an invalid value."},
    {12023, "Direct network access cannot be made at this time. "},
    {12024, "An asynchronous request could not be made because a zero context value was supplied."},
    {12025, "An asynchronous request could not be made because a callback function has not been set."},
    {12026, "The required operation could not be completed because one or more requests are pending."},
    {12027, "The format of the request is invalid."},
    {12028, "The requested item could not be located."},
    {12029, "The attempt to connect to the server failed."},
    {12030, "The connection with the server has been terminated."},
    {12031, "The connection with the server has been reset."},
    {12036, "The request failed because the handle already exists."},
};

} // namespace

FtpState& FtpData()
{
    static FtpState state;
    return state;
}

void ResetFtpData()
{
    FtpData() = FtpState{};
}

std::string TrimAtNul(std::string_view text)
{
    return std::string(text.substr(0, text.find('\0')));
}

double GetFindDataSize(const net::FtpFindData& findData)
{
    return static_cast<double>(findData.nFileSizeHigh) * 4294967296.0 + static_cast<double>(findData.nFileSizeLow);
}

std::string GetInternetErrorText(long errorCode)
{
    if (errorCode == net::ERROR_INTERNET_EXTENDED_ERROR) {
        const FtpState& ftp = FtpData();
        std::string reply = ftp.g_FtpSession ? TrimAtNul(ftp.g_FtpSession->LastResponseInfo()) : std::string();
        return reply.empty() ? "Extended error returned from server." : reply;
    }
    for (const ErrorText& e : kErrorTexts)
        if (e.code == errorCode)
            return e.text;
    return "Error details not available.";
}

void ShowStatus(const std::string& text)
{
    if (!FtpData().g_FtpShowProgress)
        return;
    frmProgress::Instance().lblInfo.SetCaption(text);
    vb::DoEvents();
}

void InternetStatusCallback(int status, uint32_t statusInfo)
{
    FtpState& ftp = FtpData();
    const double count = statusInfo;
    switch (status) {
    case net::INTERNET_STATUS_SENDING_REQUEST:
        ftp.g_FtpBytesSent += count;
        ShowStatus("Sending request: " + number(count) + " bytes");
        break;
    case net::INTERNET_STATUS_REQUEST_SENT:
        ftp.g_FtpBytesSent += count;
        break;
    case net::INTERNET_STATUS_RESPONSE_RECEIVED:
        ftp.g_FtpBytesReceived += count;
        if (ftp.g_FtpTransferMode == kTransferModeDownload) {
            // An unknown or empty size moves no bar; the text still tells.
            if (ftp.g_FtpFileSize > 0) {
                const double percent = std::nearbyint(ftp.g_FtpBytesReceived / ftp.g_FtpFileSize * 100.0);
                if (percent <= 100)
                    frmProgress::Instance().ProgressBar1.SetValue(percent);
            }
            if (ftp.g_FtpShowProgress)
                ShowStatus("Downloading: " + ftp.g_FtpFileName + " - " + number(ftp.g_FtpBytesReceived) + " of " +
                           number(ftp.g_FtpFileSize));
        } else {
            ShowStatus("Response received: " + number(count) + " bytes");
        }
        break;
    case net::INTERNET_STATUS_HANDLE_CLOSING: {
        ftp.g_FtpBytesReceived = 0;
        std::string text = "Connection Closed";
        if (ftp.g_FtpTransferMode == kTransferModeDownload) {
            text += "Download complete. ";
            ftp.g_FtpTransferMode = 0;
        }
        ShowStatus(text);
        break;
    }
    case net::INTERNET_STATUS_STATE_CHANGE:
        switch (statusInfo) {
        case net::INTERNET_STATE_CONNECTED:
            ShowStatus("Connected state moved between secure and nonsecure site");
            break;
        case net::INTERNET_STATE_DISCONNECTED:
            ShowStatus("Disconnected from network.");
            break;
        case net::INTERNET_STATE_DISCONNECTED_BY_USER:
            ShowStatus("Disconnected by user request.");
            break;
        case net::INTERNET_STATE_IDLE:
            ShowStatus("No network requests are being made (by Wininet).");
            break;
        case net::INTERNET_STATE_BUSY:
            ShowStatus("Network requests are being made (by Wininet).");
            break;
        default:
            ShowStatus("");
            break;
        }
        break;
    default:
        break;
    }
}

bool FtpDownloadFile(const std::string& remotePath, const std::filesystem::path& localPath,
                     const net::FtpFindData* findData, long failIfExists)
{
    FtpState& ftp = FtpData();
    win::WaitCursor hourglass;
    bool result = false;
    if (ftp.g_FtpConnection && ftp.g_FtpSession) {
        ftp.g_FtpFileSize = findData ? GetFindDataSize(*findData) : 0;
        ftp.g_FtpTransferMode = kTransferModeDownload;
        const int64_t expected = findData ? static_cast<int64_t>(ftp.g_FtpFileSize) : -1;
        result = ftp.g_FtpSession->GetFile(remotePath, localPath, failIfExists != 0, expected);
        if (!result)
            ftp.g_FtpErrorText = GetInternetErrorText(ftp.g_FtpSession->LastError());
    } else {
        ftp.g_FtpErrorText = GetInternetErrorText(net::ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    }
    ftp.g_FtpTransferMode = 0;
    return result;
}

} // namespace Mod_FTPData
