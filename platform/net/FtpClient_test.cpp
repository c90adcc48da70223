// The FTP session against a real local server (pyftpdlib): login, look-up
// and download with their status events, and every way a download fails
// without leaving a file behind.

#include "platform/net/FtpClient.h"

#include "platform/testing/ServerProcess.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using tv::testing::ReadRaw;
using tv::testing::WriteRaw;

constexpr const char* kUser = "maker@example.com";
constexpr const char* kPassword = "pa;ss word:1";

struct Event {
    int status;
    uint32_t info;
};

class FtpClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(serverRoot() / "files");
        fs::create_directories(local());
        content.resize(1000);
        for (size_t i = 0; i < content.size(); ++i)
            content[i] = static_cast<char>('a' + i % 26);
        WriteRaw(serverRoot() / "files" / "one.bin", content);
        WriteRaw(serverRoot() / "files" / "empty.bin", "");
        WriteRaw(serverRoot() / "files" / "a b%#.txt", "odd name");
        WriteRaw(serverRoot() / "files" / "large.bin", std::string(4 * 1024 * 1024, 'x'));
        ASSERT_NE(server.Port(), 0);
        client.SetStatusCallback([this](int status, uint32_t info) { events.push_back({status, info}); });
    }

    fs::path serverRoot() const { return root.Path() / "server"; }
    fs::path local() const { return root.Path() / "local"; }

    static net::TransferOptions quick()
    {
        net::TransferOptions o = net::CurlFtpClient::DefaultOptions();
        o.connectTimeout = 2s;
        o.totalTimeout = 20s;
        o.stallTimeout = 5s;
        return o;
    }

    bool connect(const std::string& password = kPassword)
    {
        return client.Connect("127.0.0.1", server.Port(), kUser, password, true);
    }

    uint32_t total(int status) const
    {
        uint32_t n = 0;
        for (const auto& e : events)
            if (e.status == status)
                n += e.info;
        return n;
    }

    static std::string made(const fs::path& folder)
    {
        fs::create_directories(folder);
        return folder.string();
    }

    bool leftovers() const { return !fs::is_empty(local()); }

    tv::testing::TempRoot root;
    std::string content;
    tv::testing::ServerProcess server{TV_NET_TESTDATA "/ftp_server.py", {made(root.Path() / "server"), kUser, kPassword}};
    net::CurlFtpClient client{quick()};
    std::vector<Event> events;
};

TEST_F(FtpClientTest, LogsInLooksUpAndDownloadsWithStatusEvents)
{
    ASSERT_TRUE(connect()) << client.LastError();
    EXPECT_EQ(client.LastError(), 0);
    // The login's commands and replies are counted, never shown.
    EXPECT_GT(total(net::INTERNET_STATUS_SENDING_REQUEST), 0u);
    EXPECT_EQ(total(net::INTERNET_STATUS_SENDING_REQUEST), total(net::INTERNET_STATUS_REQUEST_SENT));
    EXPECT_GT(total(net::INTERNET_STATUS_RESPONSE_RECEIVED), 0u);

    net::FtpFindData found;
    ASSERT_TRUE(client.FindFirstFile("./files/one.bin", found));
    EXPECT_EQ(found.nFileSizeHigh, 0u);
    EXPECT_EQ(found.nFileSizeLow, 1000u);
    EXPECT_EQ(found.cFileName, "one.bin");
    EXPECT_EQ(events.back().status, net::INTERNET_STATUS_HANDLE_CLOSING);

    events.clear();
    ASSERT_TRUE(client.GetFile("./files/one.bin", local() / "one.bin", false, 1000));
    EXPECT_EQ(ReadRaw(local() / "one.bin"), content);
    EXPECT_FALSE(fs::exists(local() / "one.bin.part"));
    // While the file arrives, the bytes received are the file's own.
    EXPECT_EQ(total(net::INTERNET_STATUS_RESPONSE_RECEIVED), 1000u);
    EXPECT_GT(total(net::INTERNET_STATUS_REQUEST_SENT), 0u);
    EXPECT_EQ(events.back().status, net::INTERNET_STATUS_HANDLE_CLOSING);

    // Same session, more files: an empty one and a name that needs escaping.
    ASSERT_TRUE(client.GetFile("files/empty.bin", local() / "empty.bin", false, 0));
    EXPECT_TRUE(fs::exists(local() / "empty.bin"));
    EXPECT_EQ(fs::file_size(local() / "empty.bin"), 0u);
    ASSERT_TRUE(client.GetFile("./files/a b%#.txt", local() / "odd.txt", false));
    EXPECT_EQ(ReadRaw(local() / "odd.txt"), "odd name");

    events.clear();
    client.Close();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].status, net::INTERNET_STATUS_HANDLE_CLOSING);
    EXPECT_FALSE(client.GetFile("files/one.bin", local() / "again.bin", false));
    EXPECT_FALSE(fs::exists(local() / "again.bin"));
}

TEST_F(FtpClientTest, AWrongPasswordIsALoginFailure)
{
    EXPECT_FALSE(connect("wrong"));
    EXPECT_EQ(client.LastError(), net::ERROR_INTERNET_LOGIN_FAILURE);
    EXPECT_EQ(client.LastResponseInfo().substr(0, 3), "530");
    EXPECT_FALSE(client.GetFile("files/one.bin", local() / "one.bin", false));
    EXPECT_FALSE(leftovers());
}

TEST_F(FtpClientTest, NoServerAndNoHost)
{
    const uint16_t port = server.Port();
    server.Stop();
    EXPECT_FALSE(client.Connect("127.0.0.1", port, kUser, kPassword, true));
    EXPECT_EQ(client.LastError(), net::ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_FALSE(client.Connect("", 21, kUser, kPassword, true));
    EXPECT_EQ(client.LastError(), net::ERROR_INTERNET_NAME_NOT_RESOLVED);
}

TEST_F(FtpClientTest, AFailedDownloadLeavesNothingAndKeepsWhatWasThere)
{
    ASSERT_TRUE(connect());
    net::FtpFindData found;
    EXPECT_FALSE(client.FindFirstFile("files/missing.bin", found));

    // Missing on the server: no empty file, no partial file.
    EXPECT_FALSE(client.GetFile("files/missing.bin", local() / "missing.bin", false));
    EXPECT_EQ(client.LastError(), net::ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_EQ(client.LastResponseInfo().substr(0, 3), "550");
    EXPECT_FALSE(leftovers());

    // Fewer bytes than the look-up promised.
    EXPECT_FALSE(client.GetFile("files/one.bin", local() / "one.bin", false, 1001));
    EXPECT_EQ(client.LastError(), net::ERROR_INTERNET_CONNECTION_ABORTED);
    EXPECT_FALSE(leftovers());

    // An earlier copy survives a failed download and is refused when asked.
    WriteRaw(local() / "one.bin", "old");
    EXPECT_FALSE(client.GetFile("files/missing.bin", local() / "one.bin", false));
    EXPECT_EQ(ReadRaw(local() / "one.bin"), "old");
    EXPECT_FALSE(client.GetFile("files/one.bin", local() / "one.bin", true));
    EXPECT_EQ(client.LastError(), net::ERROR_FILE_EXISTS);
    EXPECT_EQ(ReadRaw(local() / "one.bin"), "old");
    // Replaced when allowed; a stale partial file from a crash goes too.
    WriteRaw(local() / "one.bin.part", "stale");
    EXPECT_TRUE(client.GetFile("files/one.bin", local() / "one.bin", false));
    EXPECT_EQ(ReadRaw(local() / "one.bin"), content);
    EXPECT_FALSE(fs::exists(local() / "one.bin.part"));

    // A folder where the file should go.
    fs::create_directories(local() / "dir.bin");
    EXPECT_FALSE(client.GetFile("files/one.bin", local() / "dir.bin", false));
    EXPECT_FALSE(fs::exists(local() / "dir.bin.part"));
}

TEST_F(FtpClientTest, ClosingFromTheCallbackCancelsTheTransfer)
{
    ASSERT_TRUE(connect());
    bool closed = false;
    client.SetStatusCallback([&](int status, uint32_t) {
        if (status == net::INTERNET_STATUS_RESPONSE_RECEIVED && !closed) {
            closed = true;
            client.Close();
        }
    });
    EXPECT_FALSE(client.GetFile("files/large.bin", local() / "large.bin", false));
    EXPECT_TRUE(closed);
    EXPECT_EQ(client.LastError(), net::ERROR_INTERNET_OPERATION_CANCELLED);
    EXPECT_FALSE(leftovers());
}

TEST_F(FtpClientTest, ACallFromInsideTheCallbackIsRefused)
{
    ASSERT_TRUE(connect());
    int nested = -1;
    client.SetStatusCallback([&](int status, uint32_t) {
        if (status == net::INTERNET_STATUS_RESPONSE_RECEIVED && nested < 0) {
            nested = client.GetFile("files/empty.bin", local() / "nested.bin", false) ? 1 : 0;
            nested = nested == 0 && client.LastError() == net::ERROR_INTERNET_INCORRECT_HANDLE_STATE ? 0 : 1;
        }
    });
    EXPECT_TRUE(client.GetFile("files/one.bin", local() / "one.bin", false, 1000));
    EXPECT_EQ(nested, 0);
    EXPECT_FALSE(fs::exists(local() / "nested.bin"));
}

TEST(FtpSessionSeam, TheFactoryDecidesWhatASessionIs)
{
    std::string agentSeen;
    net::SetFtpClientFactory([&](const std::string& agent) -> std::unique_ptr<net::FtpClient> {
        agentSeen = agent;
        return nullptr;
    });
    EXPECT_EQ(net::OpenFtpSession("Agent"), nullptr);
    EXPECT_EQ(agentSeen, "Agent");
    net::SetFtpClientFactory(nullptr);
    EXPECT_NE(dynamic_cast<net::CurlFtpClient*>(net::OpenFtpSession("Agent").get()), nullptr);
}

} // namespace
