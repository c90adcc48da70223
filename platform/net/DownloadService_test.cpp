// The download service against real local servers: bytes delivered once on
// the UI thread, every way an HTTP transfer fails, the size cap, FTP
// credentials apart from the address, and cancels that leave nothing to run.

#include "platform/net/DownloadService.h"

#include "platform/testing/Quiescence.h"
#include "platform/testing/ServerProcess.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using tv::testing::WriteRaw;

// A file with every byte value, NULs among them.
std::string binaryContent()
{
    std::string s;
    for (int i = 0; i < 3000; ++i)
        s += static_cast<char>(i * 7 % 256);
    return s;
}

net::TransferOptions quick()
{
    net::TransferOptions o = net::DownloadService::DefaultOptions();
    o.connectTimeout = 2s;
    o.totalTimeout = 10s;
    return o;
}

// Records every completion a service delivers, with the thread it ran on.
class Recorder {
public:
    net::DownloadService::Completion Callback()
    {
        return [this](net::DownloadResult r) {
            onUiThread = onUiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
            ++calls[r.generation];
            results[r.generation] = std::move(r);
        };
    }
    bool Wait(std::uint64_t generation) { return QTest::qWaitFor([&] { return calls.count(generation) > 0; }, 20000); }

    std::map<std::uint64_t, int> calls;
    std::map<std::uint64_t, net::DownloadResult> results;
    bool onUiThread = true;
};

class DownloadServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteRaw(root.Path() / "picture.bmp", content);
        ASSERT_NE(server.Port(), 0);
    }

    std::string url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(server.Port()) + path;
    }

    // Runs one transfer to its end.
    net::DownloadResult fetch(net::DownloadService& service, const std::string& address)
    {
        const std::uint64_t g = service.Start(address, "", "", recorder.Callback());
        EXPECT_NE(g, 0u);
        EXPECT_TRUE(recorder.Wait(g)) << address;
        return recorder.results[g];
    }

    tv::testing::TempRoot root;
    const std::string content = binaryContent();
    tv::testing::ServerProcess server{TV_NET_TESTDATA "/http_server.py", {root.Path().string()}};
    Recorder recorder;
};

TEST_F(DownloadServiceTest, DeliversEachTransferOnceOnTheUiThread)
{
    net::DownloadService service(quick());
    const std::vector<std::string> paths = {"/picture.bmp", "/redirect/3/picture.bmp", "/slow/0.3/picture.bmp"};
    std::vector<std::uint64_t> generations;
    for (const auto& p : paths)
        generations.push_back(service.Start(url(p), "", "", recorder.Callback()));
    EXPECT_EQ(service.Pending(), 3u);
    for (size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        ASSERT_TRUE(recorder.Wait(generations[i]));
        const net::DownloadResult& r = recorder.results[generations[i]];
        EXPECT_TRUE(r.Ok()) << r.detail;
        EXPECT_EQ(r.status, 200);
        EXPECT_EQ(r.body, content);
    }
    EXPECT_EQ(std::set<std::uint64_t>(generations.begin(), generations.end()).size(), 3u);
    EXPECT_EQ(service.Pending(), 0u);
    // Nothing comes a second time: every worker has ended and all it posted
    // is delivered.
    ASSERT_TRUE(tv::testing::WaitUntilIdle([&] { return service.Running() == 0; }));
    for (const auto& [g, n] : recorder.calls)
        EXPECT_EQ(n, 1) << g;
    EXPECT_TRUE(recorder.onUiThread);

    EXPECT_EQ(service.Start("", "", "", recorder.Callback()), 0u);
    EXPECT_EQ(service.Start(url("/picture.bmp"), "", "", nullptr), 0u);
}

TEST_F(DownloadServiceTest, EveryFailedTransferComesWithoutBytes)
{
    net::TransferOptions o = quick();
    o.totalTimeout = 1s;
    net::DownloadService service(o);
    struct Case {
        std::string path;
        int error;
        long status;
    };
    const std::vector<Case> cases = {
        {"/missing.bmp", 0, 404},
        {"/status/500", 0, 500},
        // /redirect/N/ takes N + 1 redirects, one more than allowed.
        {"/redirect/5/picture.bmp", net::ERROR_HTTP_REDIRECT_FAILED, 302},
        {"/cut/500", net::ERROR_INTERNET_CONNECTION_ABORTED, 200},
        {"/drop", net::ERROR_INTERNET_CONNECTION_ABORTED, 0},
        {"/slow/10/picture.bmp", net::ERROR_INTERNET_TIMEOUT, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const net::DownloadResult r = fetch(service, url(c.path));
        EXPECT_FALSE(r.Ok());
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.body.empty());
        EXPECT_FALSE(r.detail.empty());
    }
    EXPECT_EQ(fetch(service, "file:///etc/passwd").error, net::ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    EXPECT_EQ(fetch(service, "gopher://127.0.0.1/x").error, net::ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    const uint16_t port = server.Port();
    server.Stop();
    EXPECT_EQ(fetch(service, "http://127.0.0.1:" + std::to_string(port) + "/picture.bmp").error,
              net::ERROR_INTERNET_CANNOT_CONNECT);
}

TEST_F(DownloadServiceTest, ARedirectLeadsOnlyWhereItsAddressMayGo)
{
    // A listener in place of another service: a redirect that left HTTP
    // would connect to it.
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::LocalHost));
    int reached = 0;
    QObject::connect(&other, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* s = other.nextPendingConnection()) {
            ++reached;
            s->abort();
            s->deleteLater();
        }
    });
    const std::string port = std::to_string(other.serverPort());
    net::DownloadService service(quick());
    for (const std::string scheme : {"https", "ftp"}) {
        SCOPED_TRACE(scheme);
        const net::DownloadResult r = fetch(service, url("/to/" + scheme + "/" + port + "/picture.bmp"));
        // Refused as an address of no service is.
        EXPECT_EQ(r.error, net::ERROR_INTERNET_UNRECOGNIZED_SCHEME) << r.detail;
        EXPECT_FALSE(r.Ok());
        EXPECT_TRUE(r.body.empty());
        EXPECT_FALSE(r.detail.empty());
    }
    // A connection to the listener would be waiting for the event loop.
    ASSERT_TRUE(tv::testing::DrainPostedEvents());
    EXPECT_EQ(reached, 0);
    // A redirect to another HTTP address is followed.
    const net::DownloadResult r =
        fetch(service, url("/to/http/" + std::to_string(server.Port()) + "/redirect/1/picture.bmp"));
    EXPECT_TRUE(r.Ok()) << r.detail;
    EXPECT_EQ(r.body, content);
}

TEST_F(DownloadServiceTest, AReplyOverTheCapFails)
{
    net::TransferOptions o = quick();
    o.maxBodyBytes = 1000;
    net::DownloadService small(o);
    EXPECT_EQ(fetch(small, url("/big/1000")).body.size(), 1000u);
    net::DownloadResult r = fetch(small, url("/big/1001"));
    EXPECT_EQ(r.error, net::ERROR_INTERNET_CONNECTION_ABORTED);
    EXPECT_TRUE(r.body.empty());

    // The service's own cap: 64 MiB. Its generations count from 1 again.
    recorder = Recorder();
    net::DownloadService standard;
    r = fetch(standard, url("/big/" + std::to_string(64 * 1024 * 1024 + 1)));
    EXPECT_EQ(r.error, net::ERROR_INTERNET_CONNECTION_ABORTED);
    EXPECT_TRUE(r.body.empty());
}

TEST_F(DownloadServiceTest, ACancelledTransferNeverCompletes)
{
    std::optional<net::DownloadService> service(std::in_place, quick());
    const std::uint64_t slow = service->Start(url("/slow/5/picture.bmp"), "", "", recorder.Callback());
    ASSERT_NE(slow, 0u);
    // A cancel from inside another transfer's completion.
    std::uint64_t cancelledLater = service->Start(url("/slow/5/picture.bmp"), "", "", recorder.Callback());
    const std::uint64_t fast = service->Start(url("/picture.bmp"), "", "", [&](net::DownloadResult r) {
        service->Cancel(cancelledLater);
        recorder.Callback()(std::move(r));
    });
    service->Cancel(slow);
    EXPECT_EQ(service->Pending(), 2u);
    ASSERT_TRUE(recorder.Wait(fast));
    EXPECT_EQ(service->Pending(), 0u);
    // The cancelled ones end without a word.
    ASSERT_TRUE(tv::testing::WaitUntilIdle([&] { return service->Running() == 0; }));
    EXPECT_EQ(recorder.calls, (std::map<std::uint64_t, int>{{fast, 1}}));
    // Cancelling what is done, cancelled or unknown changes nothing.
    service->Cancel(fast);
    service->Cancel(slow);
    service->Cancel(0);

    // A transfer still running when the service goes.
    const std::uint64_t running = service->Start(url("/slow/5/picture.bmp"), "", "", recorder.Callback());
    ASSERT_NE(running, 0u);
    // Going waits for the workers; whatever they posted is discarded.
    service.reset();
    ASSERT_TRUE(tv::testing::DrainPostedEvents());
    EXPECT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls.count(fast), 1u);
}

constexpr const char* kUser = "maker@example.com";
constexpr const char* kPassword = "p@ss:w/rd";
// The same credentials as an address carries them.
constexpr const char* kEncodedCredentials = "maker%40example.com:p%40ss%3Aw%2Frd";

class DownloadServiceFtpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(root.Path() / "files");
        WriteRaw(root.Path() / "files" / "sound.wav", content);
        ASSERT_NE(server.Port(), 0);
    }

    std::string address(const std::string& credentials, const std::string& path) const
    {
        return "ftp://" + credentials + "127.0.0.1:" + std::to_string(server.Port()) + path;
    }

    net::DownloadResult fetch(const std::string& url, const std::string& user, const std::string& password)
    {
        const std::uint64_t g = service.Start(url, user, password, recorder.Callback());
        EXPECT_TRUE(recorder.Wait(g)) << url;
        return recorder.results[g];
    }

    tv::testing::TempRoot root;
    const std::string content = binaryContent();
    tv::testing::ServerProcess server{TV_NET_TESTDATA "/ftp_server.py",
                                      {"--anonymous", root.Path().string(), kUser, kPassword}};
    net::DownloadService service{quick()};
    Recorder recorder;
};

TEST_F(DownloadServiceFtpTest, CredentialsTravelApartFromTheAddress)
{
    net::DownloadResult r = fetch(address("", "/files/sound.wav"), kUser, kPassword);
    EXPECT_TRUE(r.Ok()) << r.detail;
    EXPECT_EQ(r.body, content);

    r = fetch(address("", "/files/sound.wav"), kUser, "p@ss:w/rong");
    EXPECT_EQ(r.error, net::ERROR_INTERNET_LOGIN_FAILURE);
    EXPECT_TRUE(r.body.empty());

    // None given: anonymous.
    r = fetch(address("", "/files/sound.wav"), "", "");
    EXPECT_TRUE(r.Ok()) << r.detail;
    EXPECT_EQ(r.body, content);

    // None given: the address's own, which a wrong password in it shows.
    r = fetch(address(std::string(kEncodedCredentials) + "@", "/files/sound.wav"), "", "");
    EXPECT_TRUE(r.Ok()) << r.detail;
    r = fetch(address("maker%40example.com:wrong@", "/files/sound.wav"), "", "");
    EXPECT_EQ(r.error, net::ERROR_INTERNET_LOGIN_FAILURE);
    // Given ones win over the address's.
    r = fetch(address("maker%40example.com:wrong@", "/files/sound.wav"), kUser, kPassword);
    EXPECT_TRUE(r.Ok()) << r.detail;

    r = fetch(address("", "/files/missing.wav"), kUser, kPassword);
    EXPECT_EQ(r.error, net::ERROR_INTERNET_EXTENDED_ERROR);
    EXPECT_TRUE(r.body.empty());
}

} // namespace
