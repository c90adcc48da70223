#pragma once
// The TCP client socket control the mail sender talks through: remote host and
// port, Connect, State, SendData, the DataArrival event with GetData, Close and
// the Error event. Event-driven on the UI thread: Connect and SendData return
// at once and the events fire while the event loop runs (DoEvents included).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vb {

// The control's state values.
enum StateConstants : int {
    sckClosed = 0,
    sckOpen = 1,
    sckListening = 2,
    sckConnectionPending = 3,
    sckResolvingHost = 4,
    sckHostResolved = 5,
    sckConnecting = 6,
    sckConnected = 7,
    sckClosing = 8, // the peer closed the connection; Close is still due
    sckError = 9,
};

// The error numbers the control raises or reports through its Error event.
enum WinsockErrors : int {
    sckInvalidOp = 40020,       // Connect while not closed
    sckBadState = 40006,        // SendData while not connected
    sckConnectionRefused = 10061,
    sckConnectionReset = 10054,
    sckTimedout = 10060,
    sckHostNotFound = 11001,
    sckNetworkUnreachable = 10051,
    sckSocketError = 10050,     // any other network failure
};

// Where a connection really goes. The program names its peers by host and
// port; tests send them to a local server instead.
struct Endpoint {
    std::string host;
    uint16_t port = 0;
};
using EndpointMap = std::function<Endpoint(const Endpoint& asked)>;
// nullptr: connect where asked.
void SetEndpointMap(EndpointMap map);
Endpoint MapEndpoint(const Endpoint& asked);

class Winsock {
public:
    Winsock();
    ~Winsock();
    Winsock(const Winsock&) = delete;
    Winsock& operator=(const Winsock&) = delete;

    std::string RemoteHost;
    uint16_t RemotePort = 0;

    // Starts connecting to RemoteHost:RemotePort. Raises sckInvalidOp unless
    // the state is sckClosed; failures to reach the peer come as Error events.
    void Connect();
    int State() const { return state_; }
    // Queues bytes for sending; raises sckBadState unless connected.
    void SendData(std::string_view data);
    // Bytes queued by SendData that the network has not taken yet.
    int64_t BytesPending() const;
    // Everything received since the last GetData, and forgets it.
    std::string GetData();
    long BytesReceived() const { return static_cast<long>(received_.size()); }
    // Ends the connection (queued bytes are pushed out first where the network
    // takes them at once) and returns to sckClosed. Safe in any state.
    void Close();

    // Events. Handlers may call any member, Close included.
    std::function<void()> OnConnect;
    std::function<void(long bytesTotal)> OnDataArrival;
    std::function<void(int number, const std::string& description)> OnError;
    // The peer closed the connection.
    std::function<void()> OnClose;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int state_ = sckClosed;
    std::string received_;
};

} // namespace vb
