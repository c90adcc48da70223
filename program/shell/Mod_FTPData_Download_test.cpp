// The download's texts: the error-text table, the status callback's texts and
// progress bar (also for an empty or unknown size), and the small helpers.

#include "program/shell/Mod_FTPData_Download.h"

#include "platform/forms/Form.h"
#include "program/shell/Mod_AutoUpdate.h"
#include "program/shell/frmProgress.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace Mod_FTPData;

class FtpDataTest : public ::testing::Test {
protected:
    void SetUp() override { Mod_AutoUpdate::ResetUpdateState(); }
    void TearDown() override
    {
        forms::ResetForms();
        Mod_AutoUpdate::ResetUpdateState();
    }

    static std::string shown() { return frmProgress::Instance().lblInfo.Caption(); }
    static double bar() { return frmProgress::Instance().ProgressBar1.Value(); }
};

TEST(GetInternetErrorText, TheTableAsTheInternetFunctionsWordIt)
{
    const std::map<long, std::string> golden = {
        {12001, "No more handles could be generated at this time"},
        {12002, "The request has timed out."},
        {12004, "An internal error has occurred."},
        {12005, "URL is invalid."},
        {12006, "URL scheme could not be recognized, "
                "or is not supported."},
        {12007, "Server name could not be resolved."},
        {12008, "Requested protocol could not be located."},
        {12009, "A request to InternetQueryOption or "
                "InternetSetOption specified an invalid option value."},
        {12010, "Length of an option supplied to InternetQueryOption "
                "or InternetSetOption is incorrect for the type "
                "of option specified."},
        {12011, "The request option can not be set, only queried. "},
        {12012, "The Win32 Internet support is being shutdown or unloaded."},
        {12013, "Request to connect and login to an FTP server could not"
                "be completed because the supplied user name is incorrect."},
        {12014, "Request to connect and login to an FTP server could not "
                "be completed because the supplied password is incorrect. "},
        {12015, "Request to connect to and login to an FTP server failed."},
        {12016, "Requested operation is invalid. "},
        {12017, "Operation was canceled, usually because the handle on "
                "which the request was operating was closed before the "
                "operation completed."},
        {12018, "Type of handle supplied is incorrect for this operation."},
        {12019, "Requested operation can not be carried out because the "
                "handle supplied is not in the correct state."},
        {12020, "Request can not be made via a proxy."},
        {12021, "A required registry value could not be located. "},
        {12022, "A required registry value was located but is an "
                "incorrect type or has an invalid value."},
        {12023, "Direct network access cannot be made at this time. "},
        {12024, "An asynchronous request could not be made because "
                "a zero context value was supplied."},
        {12025, "An asynchronous request could not be made because "
                "a callback function has not been set."},
        {12026, "The required operation could not be completed "
                "because one or more requests are pending."},
        {12027, "The format of the request is invalid."},
        {12028, "The requested item could not be located."},
        {12029, "The attempt to connect to the server failed."},
        {12030, "The connection with the server has been terminated."},
        {12031, "The connection with the server has been reset."},
        {12036, "The request failed because the handle already exists."},
    };
    for (long code = 11990; code <= 12200; ++code) {
        if (code == 12003)
            continue;
        auto it = golden.find(code);
        EXPECT_EQ(GetInternetErrorText(code), it != golden.end() ? it->second : "Error details not available.")
            << code;
    }
    for (long code : {0L, -1L, 80L, 12156L})
        EXPECT_EQ(GetInternetErrorText(code), "Error details not available.") << code;
    // Without a session there is no reply to tell.
    ResetFtpData();
    EXPECT_EQ(GetInternetErrorText(12003), "Extended error returned from server.");
}

// A session that only answers what its last reply was.
class RepliedSession : public net::FtpClient {
public:
    explicit RepliedSession(std::string reply) : reply_(std::move(reply)) {}
    void SetStatusCallback(net::InternetStatusCallback) override {}
    bool Connect(const std::string&, uint16_t, const std::string&, const std::string&, bool) override
    {
        return false;
    }
    bool FindFirstFile(const std::string&, net::FtpFindData&) override { return false; }
    bool GetFile(const std::string&, const std::filesystem::path&, bool, int64_t) override { return false; }
    int LastError() const override { return net::ERROR_INTERNET_EXTENDED_ERROR; }
    std::string LastResponseInfo() const override { return reply_; }
    void Close() override {}

private:
    std::string reply_;
};

TEST_F(FtpDataTest, TheExtendedErrorIsTheServersLastReply)
{
    FtpData().g_FtpSession = std::make_unique<RepliedSession>(std::string("550 No such file.\0junk", 23));
    EXPECT_EQ(GetInternetErrorText(12003), "550 No such file.");
    FtpData().g_FtpSession = std::make_unique<RepliedSession>("");
    EXPECT_EQ(GetInternetErrorText(12003), "Extended error returned from server.");

    // A download over it fails with that text kept.
    FtpData().g_FtpSession = std::make_unique<RepliedSession>("550 No such file.");
    FtpData().g_FtpConnection = true;
    EXPECT_FALSE(FtpDownloadFile("./updateinfo/tallyvane/x", "/nonexistent/x", nullptr, 0));
    EXPECT_EQ(FtpData().g_FtpErrorText, "550 No such file.");
    EXPECT_EQ(FtpData().g_FtpTransferMode, 0);
    // No connection: nothing is tried.
    FtpData().g_FtpConnection = false;
    FtpData().g_FtpErrorText.clear();
    EXPECT_FALSE(FtpDownloadFile("./updateinfo/tallyvane/x", "/nonexistent/x", nullptr, 0));
    EXPECT_FALSE(FtpData().g_FtpErrorText.empty());
}

TEST(FtpDataHelpers, SizesAndNuls)
{
    EXPECT_EQ(GetFindDataSize({0, 1000, "a"}), 1000.0);
    EXPECT_EQ(GetFindDataSize({1, 0, "a"}), 4294967296.0);
    EXPECT_EQ(GetFindDataSize({2, 0xFFFFFFFFu, "a"}), 3.0 * 4294967296.0 - 1);
    EXPECT_EQ(TrimAtNul(std::string("abc\0def", 7)), "abc");
    EXPECT_EQ(TrimAtNul("abc"), "abc");
    EXPECT_EQ(TrimAtNul(std::string("\0", 1)), "");
}

TEST_F(FtpDataTest, ADownloadInTwoResponsesFillsTheBarAndTellsTheCount)
{
    FtpState& ftp = FtpData();
    ftp.g_FtpShowProgress = true;
    ftp.g_FtpFileName = "setup.run";
    ftp.g_FtpFileSize = 1000;
    ftp.g_FtpTransferMode = kTransferModeDownload;
    InternetStatusCallback(net::INTERNET_STATUS_RESPONSE_RECEIVED, 500);
    EXPECT_EQ(bar(), 50);
    EXPECT_EQ(shown(), "Downloading: setup.run - 500 of 1000");
    InternetStatusCallback(net::INTERNET_STATUS_RESPONSE_RECEIVED, 500);
    EXPECT_EQ(bar(), 100);
    EXPECT_EQ(shown(), "Downloading: setup.run - 1000 of 1000");
    // More than the size leaves the bar full.
    InternetStatusCallback(net::INTERNET_STATUS_RESPONSE_RECEIVED, 200);
    EXPECT_EQ(bar(), 100);
    EXPECT_EQ(shown(), "Downloading: setup.run - 1200 of 1000");

    InternetStatusCallback(net::INTERNET_STATUS_HANDLE_CLOSING, 0);
    EXPECT_EQ(shown(), "Connection ClosedDownload complete. ");
    EXPECT_EQ(ftp.g_FtpTransferMode, 0);
    EXPECT_EQ(ftp.g_FtpBytesReceived, 0);
    InternetStatusCallback(net::INTERNET_STATUS_HANDLE_CLOSING, 0);
    EXPECT_EQ(shown(), "Connection Closed");
}

TEST_F(FtpDataTest, AnEmptyOrUnknownSizeMovesNoBar)
{
    FtpState& ftp = FtpData();
    ftp.g_FtpShowProgress = true;
    ftp.g_FtpFileName = "empty.bin";
    ftp.g_FtpFileSize = 0;
    ftp.g_FtpTransferMode = kTransferModeDownload;
    InternetStatusCallback(net::INTERNET_STATUS_RESPONSE_RECEIVED, 10);
    EXPECT_EQ(bar(), 0);
    EXPECT_EQ(shown(), "Downloading: empty.bin - 10 of 0");
}

TEST_F(FtpDataTest, RequestsResponsesAndStates)
{
    FtpState& ftp = FtpData();
    ftp.g_FtpShowProgress = true;
    InternetStatusCallback(net::INTERNET_STATUS_SENDING_REQUEST, 12);
    EXPECT_EQ(shown(), "Sending request: 12 bytes");
    InternetStatusCallback(net::INTERNET_STATUS_REQUEST_SENT, 12);
    EXPECT_EQ(shown(), "Sending request: 12 bytes");
    EXPECT_EQ(ftp.g_FtpBytesSent, 24);
    InternetStatusCallback(net::INTERNET_STATUS_RESPONSE_RECEIVED, 31);
    EXPECT_EQ(shown(), "Response received: 31 bytes");
    EXPECT_EQ(ftp.g_FtpBytesReceived, 31);
    EXPECT_EQ(bar(), 0);

    const std::pair<uint32_t, const char*> states[] = {
        {1, "Connected state moved between secure and nonsecure site"},
        {2, "Disconnected from network."},
        {16, "Disconnected by user request."},
        {256, "No network requests are being made (by Wininet)."},
        {512, "Network requests are being made (by Wininet)."},
        {4, ""},
    };
    for (const auto& [state, text] : states) {
        InternetStatusCallback(net::INTERNET_STATUS_STATE_CHANGE, state);
        EXPECT_EQ(shown(), text) << state;
    }
    // Other statuses show nothing new.
    InternetStatusCallback(net::INTERNET_STATUS_RESPONSE_RECEIVED, 1);
    InternetStatusCallback(10, 5);
    InternetStatusCallback(21, 5);
    EXPECT_EQ(shown(), "Response received: 1 bytes");

    // With the display off, nothing is shown and no window is made.
    forms::ResetForms();
    ftp.g_FtpShowProgress = false;
    InternetStatusCallback(net::INTERNET_STATUS_SENDING_REQUEST, 5);
    EXPECT_EQ(frmProgress::IfLoaded(), nullptr);
    EXPECT_EQ(ftp.g_FtpBytesSent, 29);
}

} // namespace
