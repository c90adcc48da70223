#pragma once
// A test server run as its own process (a Python script on 127.0.0.1): it
// prints the port it listens on as its first line, and is killed when the
// object goes. Every wait is bounded.

#include <QProcess>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

namespace tv::testing {

class ServerProcess {
public:
    // Starts `/usr/bin/python3 script arguments...`; Port() is 0 when the
    // server did not come up within ten seconds.
    ServerProcess(const std::string& script, const std::vector<std::string>& arguments)
    {
        QStringList args{QString::fromStdString(script)};
        for (const auto& a : arguments)
            args << QString::fromStdString(a);
        proc_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc_.start(QStringLiteral("/usr/bin/python3"), args);
        if (proc_.waitForStarted(10000) && proc_.waitForReadyRead(10000))
            port_ = static_cast<uint16_t>(proc_.readLine().trimmed().toUInt());
    }
    ~ServerProcess() { Stop(); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    uint16_t Port() const { return port_; }
    void Stop()
    {
        if (proc_.state() != QProcess::NotRunning) {
            proc_.kill();
            proc_.waitForFinished(5000);
        }
    }

private:
    QProcess proc_;
    uint16_t port_ = 0;
};

} // namespace tv::testing
