// The socket control against a local server: connecting through the endpoint
// map, both directions of data, the peer closing, refused connections, and the
// operations the control refuses in the wrong state.

#include "platform/net/Winsock.h"

#include "platform/basic/RuntimeError.h"
#include "platform/testing/Quiescence.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace {

bool pumpUntil(const std::function<bool()>& pred, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class WinsockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            peer = server.nextPendingConnection();
            QObject::connect(peer, &QTcpSocket::readyRead, [this] { fromClient += peer->readAll().toStdString(); });
        });
        const uint16_t port = server.serverPort();
        vb::SetEndpointMap([port](const vb::Endpoint& asked) {
            seenHost = asked.host;
            seenPort = asked.port;
            return vb::Endpoint{"127.0.0.1", port};
        });
        sock.OnConnect = [this] { ++connects; };
        sock.OnDataArrival = [this](long total) {
            lastTotal = total;
            received += sock.GetData();
        };
        sock.OnError = [this](int number, const std::string&) { errors.push_back(number); };
        sock.OnClose = [this] { ++closes; };
    }
    void TearDown() override { vb::SetEndpointMap(nullptr); }

    void connectAndWait()
    {
        sock.RemoteHost = "mail.example.com";
        sock.RemotePort = 25;
        sock.Connect();
        ASSERT_TRUE(pumpUntil([&] { return sock.State() == vb::sckConnected && peer; }));
    }

    static inline std::string seenHost;
    static inline uint16_t seenPort = 0;
    QTcpServer server;
    QPointer<QTcpSocket> peer;
    std::string fromClient;
    vb::Winsock sock;
    int connects = 0, closes = 0;
    long lastTotal = 0;
    std::string received;
    std::vector<int> errors;
};

TEST_F(WinsockTest, ConnectsThroughTheEndpointMapAndCarriesDataBothWays)
{
    EXPECT_EQ(sock.State(), vb::sckClosed);
    connectAndWait();
    EXPECT_EQ(seenHost, "mail.example.com");
    EXPECT_EQ(seenPort, 25);
    EXPECT_EQ(connects, 1);

    sock.SendData("HELO there\r\n");
    sock.SendData(std::string(100000, 'x'));
    ASSERT_TRUE(pumpUntil([&] { return fromClient.size() == 12 + 100000; }));
    EXPECT_EQ(fromClient.substr(0, 12), "HELO there\r\n");
    EXPECT_EQ(sock.BytesPending(), 0);

    peer->write("220 first");
    peer->flush();
    ASSERT_TRUE(pumpUntil([&] { return received == "220 first"; }));
    EXPECT_EQ(lastTotal, 9);
    EXPECT_EQ(sock.BytesReceived(), 0); // taken by GetData in the handler
    EXPECT_TRUE(errors.empty());
}

TEST_F(WinsockTest, PeerCloseDeliversLastDataThenClosingStateAndReconnects)
{
    connectAndWait();
    peer->write("221 bye\r\n");
    peer->flush();
    peer->disconnectFromHost();
    ASSERT_TRUE(pumpUntil([&] { return closes == 1; }));
    EXPECT_EQ(received, "221 bye\r\n");
    EXPECT_EQ(sock.State(), vb::sckClosing);
    EXPECT_THROW(sock.SendData("x"), vb::RuntimeError);

    sock.Close();
    EXPECT_EQ(sock.State(), vb::sckClosed);
    peer = nullptr;
    connectAndWait();
    EXPECT_EQ(connects, 2);
}

TEST_F(WinsockTest, RefusedConnectionRaisesErrorEventAndCloseRecovers)
{
    // A port that was free a moment ago.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const uint16_t dead = probe.serverPort();
    probe.close();
    vb::SetEndpointMap([dead](const vb::Endpoint&) { return vb::Endpoint{"127.0.0.1", dead}; });

    sock.RemoteHost = "mail.example.com";
    sock.RemotePort = 25;
    sock.Connect();
    ASSERT_TRUE(pumpUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(errors.front(), vb::sckConnectionRefused);
    EXPECT_EQ(sock.State(), vb::sckError);
    EXPECT_EQ(connects, 0);
    sock.Close();
    EXPECT_EQ(sock.State(), vb::sckClosed);
}

TEST_F(WinsockTest, WrongStateOperationsRaiseAndHandlersMayClose)
{
    try {
        sock.SendData("x");
        FAIL() << "SendData on a closed socket";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), vb::sckBadState);
    }
    connectAndWait();
    try {
        sock.Connect();
        FAIL() << "Connect while connected";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.Number(), vb::sckInvalidOp);
    }

    // Closing from inside the arrival event neither crashes nor fires more events.
    sock.OnDataArrival = [this](long) { sock.Close(); };
    peer->write("data");
    peer->flush();
    ASSERT_TRUE(pumpUntil([&] { return sock.State() == vb::sckClosed; }));
    // The control's end of the connection is gone once the peer sees it
    // end; what was posted before that is delivered, and nothing came.
    ASSERT_TRUE(pumpUntil([&] { return !peer || peer->state() == QAbstractSocket::UnconnectedState; }));
    ASSERT_TRUE(tv::testing::DrainPostedEvents());
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(sock.GetData(), "");
}

} // namespace
