#include "program/shell/RunningCopy.h"

#include "platform/forms/Runtime.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// What a later start says; the running copy reads nothing else.
constexpr char kComeForward[] = "come forward\n";
// A socket's path must fit the address of a local socket.
constexpr qsizetype kLongestSocketPath = 100;

fs::path canonicalOf(const fs::path& folder)
{
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(folder, ec);
    return ec ? folder : canonical;
}

} // namespace

RunningCopy::RunningCopy(fs::path programFolder)
    : folder_(canonicalOf(programFolder))
{
    std::error_code ec;
    fs::create_directories(folder_, ec);
    fd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        return;
    first_ = tryLock();
}

RunningCopy::~RunningCopy()
{
    // The socket file goes with the server; the lock with the descriptor.
    server_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

bool RunningCopy::tryLock()
{
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        // Only another holder counts; a folder that cannot be locked at
        // all does not keep the program from running.
        return errno != EWOULDBLOCK;
    }
    return true;
}

fs::path RunningCopy::SocketPath(const fs::path& programFolder)
{
    const QByteArray id = QCryptographicHash::hash(QByteArray::fromStdString(canonicalOf(programFolder).string()),
                                                   QCryptographicHash::Sha256)
                              .toHex()
                              .left(20);
    const QString name = QStringLiteral("tallyvane-") + QString::fromLatin1(id);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || folder.size() + name.size() + 1 > kLongestSocketPath)
        folder = QDir::tempPath();
    return (folder + QLatin1Char('/') + name).toStdString();
}

void RunningCopy::Listen(std::function<void()> comeForward)
{
    if (!first_ || server_)
        return;
    comeForward_ = std::move(comeForward);
    const QString path = QString::fromStdString(SocketPath(folder_).string());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, this copy is the only one: a socket file there now
    // was left by a copy that ended without removing it.
    QLocalServer::removeServer(path);
    if (!server_->listen(path)) {
        server_.reset();
        return;
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* caller = server_->nextPendingConnection()) {
            QObject::connect(caller, &QLocalSocket::disconnected, caller, &QObject::deleteLater);
            auto heard = [this, caller] {
                if (!caller->canReadLine())
                    return;
                const bool asked = caller->readLine(64) == kComeForward;
                caller->disconnectFromServer();
                if (asked && comeForward_)
                    forms::detail::Dispatch([this] { comeForward_(); });
            };
            QObject::connect(caller, &QLocalSocket::readyRead, caller, heard);
            heard();
        }
    });
}

bool RunningCopy::CallFirst(int milliseconds)
{
    if (first_)
        return false;
    const QString path = QString::fromStdString(SocketPath(folder_).string());
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        QLocalSocket call;
        call.connectToServer(path);
        if (call.waitForConnected(200)) {
            call.write(kComeForward);
            if (call.waitForBytesWritten(2000) || call.bytesToWrite() == 0) {
                call.disconnectFromServer();
                return true;
            }
        }
        // The running copy may have ended meanwhile, or be between taking
        // the lock and listening.
        if (tryLock()) {
            first_ = true;
            return false;
        }
        if (waited.elapsed() > milliseconds)
            return false;
        QThread::msleep(50);
    }
}
