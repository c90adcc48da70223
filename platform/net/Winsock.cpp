#include "platform/net/Winsock.h"

#include "platform/basic/RuntimeError.h"

#include <QTcpSocket>

namespace vb {

namespace {

EndpointMap& endpointMap()
{
    static EndpointMap map;
    return map;
}

int errorNumber(QAbstractSocket::SocketError e)
{
    switch (e) {
    case QAbstractSocket::ConnectionRefusedError: return sckConnectionRefused;
    case QAbstractSocket::HostNotFoundError: return sckHostNotFound;
    case QAbstractSocket::SocketTimeoutError: return sckTimedout;
    case QAbstractSocket::NetworkError: return sckNetworkUnreachable;
    case QAbstractSocket::RemoteHostClosedError: return sckConnectionReset;
    default: return sckSocketError;
    }
}

} // namespace

void SetEndpointMap(EndpointMap map)
{
    endpointMap() = std::move(map);
}

Endpoint MapEndpoint(const Endpoint& asked)
{
    return endpointMap() ? endpointMap()(asked) : asked;
}

struct Winsock::Impl {
    explicit Impl(Winsock& owner) : self(owner)
    {
        QObject::connect(&socket, &QAbstractSocket::stateChanged, [this](QAbstractSocket::SocketState s) {
            if (s == QAbstractSocket::ConnectingState && self.state_ == sckResolvingHost)
                self.state_ = sckConnecting;
        });
        QObject::connect(&socket, &QAbstractSocket::connected, [this] {
            self.state_ = sckConnected;
            if (self.OnConnect)
                self.OnConnect();
        });
        QObject::connect(&socket, &QIODevice::readyRead, [this] { takeArrivals(); });
        QObject::connect(&socket, &QAbstractSocket::errorOccurred, [this](QAbstractSocket::SocketError e) {
            if (e == QAbstractSocket::RemoteHostClosedError) {
                peerClosed();
                return;
            }
            if (self.state_ == sckClosed || self.state_ == sckError)
                return;
            self.state_ = sckError;
            if (self.OnError)
                self.OnError(errorNumber(e), socket.errorString().toStdString());
        });
        QObject::connect(&socket, &QAbstractSocket::disconnected, [this] { peerClosed(); });
    }

    void takeArrivals()
    {
        const QByteArray bytes = socket.readAll();
        if (bytes.isEmpty())
            return;
        self.received_.append(bytes.constData(), static_cast<size_t>(bytes.size()));
        if (self.OnDataArrival)
            self.OnDataArrival(static_cast<long>(self.received_.size()));
    }

    void peerClosed()
    {
        if (self.state_ != sckConnected)
            return;
        // What the peer sent just before closing is still due to the program.
        takeArrivals();
        if (self.state_ != sckConnected)
            return; // a handler closed the control meanwhile
        self.state_ = sckClosing;
        if (self.OnClose)
            self.OnClose();
    }

    Winsock& self;
    QTcpSocket socket;
};

Winsock::Winsock() : impl_(std::make_unique<Impl>(*this)) {}

Winsock::~Winsock()
{
    impl_->socket.blockSignals(true);
    impl_->socket.abort();
}

void Winsock::Connect()
{
    if (state_ != sckClosed)
        Raise(sckInvalidOp, "Invalid operation at current state");
    const Endpoint to = MapEndpoint({RemoteHost, RemotePort});
    received_.clear();
    state_ = sckResolvingHost;
    impl_->socket.connectToHost(QString::fromStdString(to.host), to.port);
}

void Winsock::SendData(std::string_view data)
{
    if (state_ != sckConnected)
        Raise(sckBadState, "Wrong protocol or connection state for the requested transaction or request");
    if (data.empty())
        return;
    if (impl_->socket.write(data.data(), static_cast<qint64>(data.size())) != static_cast<qint64>(data.size()))
        Raise(sckSocketError, impl_->socket.errorString().toStdString());
}

int64_t Winsock::BytesPending() const
{
    return impl_->socket.bytesToWrite();
}

std::string Winsock::GetData()
{
    std::string out;
    out.swap(received_);
    return out;
}

void Winsock::Close()
{
    QTcpSocket& s = impl_->socket;
    s.blockSignals(true);
    if (s.state() == QAbstractSocket::ConnectedState)
        s.flush();
    s.abort();
    s.blockSignals(false);
    state_ = sckClosed;
    received_.clear();
}

} // namespace vb
