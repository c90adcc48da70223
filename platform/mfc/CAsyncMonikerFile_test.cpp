// The asynchronous address file against real local servers: one data notice
// with the last-data flag then a clean stop, or a stop with an error alone;
// FTP credentials apart from the address; and closes, reopens and deletions
// (from outside or from a notice's own handler) after which nothing arrives.

#include "platform/mfc/CAsyncMonikerFile.h"

#include "platform/testing/Quiescence.h"
#include "platform/testing/ServerProcess.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using tv::testing::WriteRaw;

struct Notices {
    std::vector<std::string> order;
    DWORD size = 0;
    DWORD flags = 0;
    std::string bytes;
    HRESULT stop = 1;
    std::string stopText;
};

class RecordingFile : public CAsyncMonikerFile {
public:
    RecordingFile(net::DownloadService& service, Notices& notices)
        : CAsyncMonikerFile(service), notices_(notices)
    {
    }
    // Runs inside the data notice after the bytes are read.
    std::function<void()> onData;

protected:
    void OnDataAvailable(DWORD dwSize, DWORD bscfFlag) override
    {
        notices_.order.push_back("data");
        notices_.size = dwSize;
        notices_.flags = bscfFlag;
        // In two pieces, the second asking for more than is left.
        std::string buffer(dwSize + 10, '\0');
        const UINT first = Read(buffer.data(), dwSize / 2);
        const UINT second = Read(buffer.data() + first, dwSize);
        buffer.resize(first + second);
        notices_.bytes = buffer;
        char more;
        if (Read(&more, 1) != 0)
            notices_.order.push_back("read past the end");
        if (onData)
            onData();
    }
    void OnStopBinding(HRESULT hresult, LPCTSTR szError) override
    {
        notices_.order.push_back("stop");
        notices_.stop = hresult;
        notices_.stopText = szError ? szError : "(null)";
    }

private:
    Notices& notices_;
};

class CAsyncMonikerFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteRaw(root.Path() / "picture.bmp", picture);
        WriteRaw(root.Path() / "other.png", other);
        ASSERT_NE(server.Port(), 0);
    }

    std::string url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(server.Port()) + path;
    }

    // Waits for the notices to come, then for every download to have ended
    // and what it posted to be delivered: any notice that should not come
    // has come by then.
    void settle(const Notices& n)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !n.order.empty() && n.order.back() == "stop"; }, 20000));
        quiet();
    }
    void quiet()
    {
        ASSERT_TRUE(tv::testing::WaitUntilIdle([&] { return service.Running() == 0; }));
    }

    static net::TransferOptions quick()
    {
        net::TransferOptions o = net::DownloadService::DefaultOptions();
        o.connectTimeout = 2s;
        o.totalTimeout = 10s;
        return o;
    }

    tv::testing::TempRoot root;
    const std::string picture = std::string("BM\0\0\xff", 5) + std::string(2000, 'p');
    const std::string other = std::string(1500, 'o');
    tv::testing::ServerProcess server{TV_NET_TESTDATA "/http_server.py", {root.Path().string()}};
    net::DownloadService service{quick()};
};

TEST_F(CAsyncMonikerFileTest, ASuccessIsOneLastDataNoticeThenACleanStop)
{
    Notices n;
    RecordingFile file(service, n);
    ASSERT_TRUE(file.Open(url("/redirect/2/picture.bmp").c_str()));
    EXPECT_TRUE(n.order.empty()); // nothing before the event loop runs
    settle(n);
    EXPECT_EQ(n.order, (std::vector<std::string>{"data", "stop"}));
    EXPECT_EQ(n.size, picture.size());
    EXPECT_TRUE(n.flags & BSCF_LASTDATANOTIFICATION);
    EXPECT_EQ(n.bytes, picture);
    EXPECT_EQ(n.stop, S_OK);

    // The reply stays until the file is closed.
    char c;
    file.Close();
    EXPECT_EQ(file.Read(&c, 1), 0u);

    // No address: nothing starts and nothing comes.
    Notices none;
    RecordingFile empty(service, none);
    EXPECT_FALSE(empty.Open(""));
    EXPECT_FALSE(empty.Open(nullptr));
    EXPECT_EQ(empty.Read(&c, 1), 0u);
    quiet();
    EXPECT_TRUE(none.order.empty());
}

TEST_F(CAsyncMonikerFileTest, AFailureIsAStopNoticeWithAnErrorAndNothingElse)
{
    struct Case {
        std::string path;
        HRESULT stop;
    };
    // A cut-off body is the transfer that brought data before it failed.
    for (const Case& c : {Case{"/missing.bmp", INET_E_RESOURCE_NOT_FOUND}, Case{"/status/500", INET_E_DOWNLOAD_FAILURE},
                          Case{"/cut/700", INET_E_DOWNLOAD_FAILURE}, Case{"/drop", INET_E_DOWNLOAD_FAILURE}}) {
        SCOPED_TRACE(c.path);
        Notices n;
        RecordingFile file(service, n);
        ASSERT_TRUE(file.Open(url(c.path).c_str()));
        settle(n);
        EXPECT_EQ(n.order, std::vector<std::string>{"stop"});
        EXPECT_EQ(n.stop, c.stop);
        EXPECT_FALSE(n.stopText.empty());
    }
    Notices n;
    RecordingFile file(service, n);
    ASSERT_TRUE(file.Open("gopher://127.0.0.1/x"));
    settle(n);
    EXPECT_EQ(n.order, std::vector<std::string>{"stop"});
    EXPECT_EQ(n.stop, INET_E_UNKNOWN_PROTOCOL);
}

TEST_F(CAsyncMonikerFileTest, NothingArrivesAfterACloseAReopenOrADeletion)
{
    // A second Open replaces a slow first one: only the second's notices.
    Notices n;
    RecordingFile file(service, n);
    ASSERT_TRUE(file.Open(url("/slow/3/picture.bmp").c_str()));
    ASSERT_TRUE(file.Open(url("/other.png").c_str()));
    settle(n);
    EXPECT_EQ(n.order, (std::vector<std::string>{"data", "stop"}));
    EXPECT_EQ(n.bytes, other);

    // A close from the data notice leaves out the stop notice.
    Notices closing;
    RecordingFile closed(service, closing);
    closed.onData = [&] { closed.Close(); };
    ASSERT_TRUE(closed.Open(url("/picture.bmp").c_str()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !closing.order.empty(); }, 20000));
    quiet();
    EXPECT_EQ(closing.order, std::vector<std::string>{"data"});

    // A file deleted from its own data notice, and one deleted while its
    // download is under way.
    Notices deleting, gone;
    auto selfDeleting = std::make_unique<RecordingFile>(service, deleting);
    selfDeleting->onData = [&] { selfDeleting.reset(); };
    ASSERT_TRUE(selfDeleting->Open(url("/picture.bmp").c_str()));
    auto deleted = std::make_unique<RecordingFile>(service, gone);
    ASSERT_TRUE(deleted->Open(url("/slow/1/picture.bmp").c_str()));
    deleted.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !selfDeleting; }, 20000));
    EXPECT_EQ(deleting.order, std::vector<std::string>{"data"});

    // Whatever is still on its way now is dropped.
    n = Notices();
    ASSERT_TRUE(file.Open(url("/slow/1.5/other.png").c_str()));
    settle(n);
    EXPECT_TRUE(gone.order.empty());
    EXPECT_EQ(service.Pending(), 0u);
}

TEST(CAsyncMonikerFileFtpTest, CredentialsTravelApartFromTheAddress)
{
    tv::testing::TempRoot root;
    const std::string sound = "RIFF....WAVEfmt " + std::string(500, 's');
    WriteRaw(root.Path() / "sound.wav", sound);
    // Characters that would break an address if pasted into one.
    tv::testing::ServerProcess ftp{TV_NET_TESTDATA "/ftp_server.py",
                                   {"--anonymous", root.Path().string(), "maker", "se@cret:/x"}};
    ASSERT_NE(ftp.Port(), 0);
    const std::string address = "ftp://127.0.0.1:" + std::to_string(ftp.Port()) + "/sound.wav";

    // The process's own service.
    Notices n;
    RecordingFile file(net::DownloadService::Instance(), n);
    ASSERT_TRUE(file.Open(address.c_str(), "maker", "se@cret:/x"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return n.order.size() == 2; }, 20000));
    EXPECT_EQ(n.bytes, sound);
    EXPECT_EQ(n.stop, S_OK);

    n = Notices();
    ASSERT_TRUE(file.Open(address.c_str(), "maker", "wrong"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !n.order.empty(); }, 20000));
    EXPECT_EQ(n.order, std::vector<std::string>{"stop"});
    EXPECT_EQ(n.stop, INET_E_AUTHENTICATION_REQUIRED);

    // None given: anonymous.
    n = Notices();
    ASSERT_TRUE(file.Open(address.c_str()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return n.order.size() == 2; }, 20000));
    EXPECT_EQ(n.bytes, sound);
}

} // namespace
