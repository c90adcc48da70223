// The HTTP client against a real local server: bodies only for 2xx answers,
// the redirect limit, the waits, the cap on a reply, refused connections and
// schemes, credentials apart from the address, and the Inet control's seam.

#include "platform/net/HttpClient.h"
#include "platform/net/Inet.h"

#include "platform/testing/ServerProcess.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tv::testing::WriteRaw(root.Path() / "hello.txt", "VERSION:1.2.3\nNAME:a;b\n");
        ASSERT_NE(server.Port(), 0);
    }

    std::string url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(server.Port()) + path;
    }

    static net::TransferOptions quick()
    {
        net::TransferOptions o = net::CurlHttpClient::DefaultOptions();
        o.connectTimeout = 2s;
        o.totalTimeout = 5s;
        return o;
    }

    tv::testing::TempRoot root;
    tv::testing::ServerProcess server{TV_NET_TESTDATA "/http_server.py", {root.Path().string()}};
};

TEST_F(HttpClientTest, OnlyASuccessfulAnswerHasABody)
{
    net::CurlHttpClient client(quick());
    net::HttpResponse ok = client.Get(url("/hello.txt"));
    EXPECT_TRUE(ok.Ok());
    EXPECT_EQ(ok.status, 200);
    EXPECT_EQ(ok.body, "VERSION:1.2.3\nNAME:a;b\n");

    // The error pages carry text that looks like a version file.
    for (const char* path : {"/missing.txt", "/status/404", "/status/500", "/status/302"}) {
        SCOPED_TRACE(path);
        net::HttpResponse r = client.Get(url(path));
        EXPECT_FALSE(r.Ok());
        EXPECT_EQ(r.error, 0);
        EXPECT_NE(r.status, 200);
        EXPECT_TRUE(r.body.empty());
    }
}

TEST_F(HttpClientTest, FollowsAFewRedirectsButNotMore)
{
    net::CurlHttpClient client(quick());
    // /redirect/N/ takes N + 1 redirects.
    net::HttpResponse r = client.Get(url("/redirect/4/hello.txt"));
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.body, "VERSION:1.2.3\nNAME:a;b\n");

    r = client.Get(url("/redirect/5/hello.txt"));
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.error, net::ERROR_HTTP_REDIRECT_FAILED);
    EXPECT_TRUE(r.body.empty());
}

TEST_F(HttpClientTest, GivesUpOnASlowServerAndAnOversizedReply)
{
    net::TransferOptions o = quick();
    o.totalTimeout = 500ms;
    o.maxBodyBytes = 1000;
    net::CurlHttpClient client(o);
    // The server would answer after a minute; the client gives up first,
    // which its time-out error tells (a reply would have been a success).
    net::HttpResponse r = client.Get(url("/slow/60/hello.txt"));
    EXPECT_EQ(r.error, net::ERROR_INTERNET_TIMEOUT);
    EXPECT_TRUE(r.body.empty());

    EXPECT_TRUE(client.Get(url("/big/1000")).Ok());
    r = client.Get(url("/big/1001"));
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.error, net::ERROR_INTERNET_CONNECTION_ABORTED);
    EXPECT_TRUE(r.body.empty());
}

TEST_F(HttpClientTest, RefusedConnectionsUnknownHostsAndOtherSchemes)
{
    net::CurlHttpClient client(quick());
    const uint16_t port = server.Port();
    server.Stop();
    EXPECT_EQ(client.Get("http://127.0.0.1:" + std::to_string(port) + "/hello.txt").error,
              net::ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_EQ(client.Get("http://no-such-host.invalid/x").error, net::ERROR_INTERNET_NAME_NOT_RESOLVED);
    EXPECT_EQ(client.Get("ftp://127.0.0.1/x").error, net::ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    EXPECT_EQ(client.Get("file:///etc/passwd").error, net::ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    EXPECT_EQ(client.Get("http://[bad").error, net::ERROR_INTERNET_INVALID_URL);
}

TEST_F(HttpClientTest, CredentialsTravelApartFromTheAddress)
{
    tv::testing::WriteRaw(root.Path() / "auth.txt", "secret");
    net::TransferOptions o = quick();
    // Characters an address could not carry as they are.
    o.user = "maker@example.com";
    o.password = "p@ss:w/rd;#";
    net::CurlHttpClient client(o);
    EXPECT_TRUE(client.Get(url("/auth.txt")).Ok());
    net::HttpResponse r = client.Get(url("/echo-auth"));
    ASSERT_TRUE(r.Ok()) << r.detail;
    EXPECT_EQ(r.body, "Basic " + QByteArray("maker@example.com:p@ss:w/rd;#").toBase64().toStdString());
}

class ScriptedHttp : public net::HttpClient {
public:
    net::HttpResponse Get(const std::string& url) override
    {
        asked.push_back(url);
        return reply;
    }
    std::vector<std::string> asked;
    net::HttpResponse reply;
};

TEST(InetTest, OpensAddressesThroughTheSeam)
{
    auto fake = std::make_shared<ScriptedHttp>();
    net::SetHttpClient(fake);
    vb::Inet inet;
    fake->reply.status = 200;
    fake->reply.body = "text";
    EXPECT_EQ(inet.OpenURL("http://updates.test/v.txt"), "text");
    EXPECT_EQ(inet.ResponseCode(), 0);

    fake->reply.status = 404;
    fake->reply.detail = "HTTP status 404";
    EXPECT_EQ(inet.OpenURL("http://updates.test/v.txt"), "");
    EXPECT_EQ(inet.ResponseCode(), 404);

    fake->reply.status = 0;
    fake->reply.error = net::ERROR_INTERNET_CANNOT_CONNECT;
    EXPECT_EQ(inet.OpenURL("http://updates.test/v.txt"), "");
    EXPECT_EQ(inet.ResponseCode(), net::ERROR_INTERNET_CANNOT_CONNECT);

    // No address: nothing is asked of the network.
    EXPECT_EQ(inet.OpenURL(""), "");
    EXPECT_EQ(fake->asked.size(), 3u);
    net::SetHttpClient(nullptr);
}

} // namespace
