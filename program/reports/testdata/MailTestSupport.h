#pragma once
// Test support for the mail sender: a scripted SMTP server living in the
// test's own event loop, a real one (aiosmtpd), scripted message boxes, and a
// clock whose waits run fast.

#include "program/services/MBoxMod.h"

#include "platform/basic/App.h"
#include "platform/basic/DateTime.h"
#include "platform/forms/MsgBox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace mailtest {

// Runs the event loop until pred holds or the seconds run out.
inline bool PumpUntil(const std::function<bool()>& pred, int ms = 10000)
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

// The system message box and the program's own answered by scripts for the
// life of the object.
class ScriptedBoxes {
public:
    ScriptedBoxes()
    {
        forms::SetMessageBoxPort(msgBox);
        MBoxMod::SetPresenter(mbox);
    }
    ~ScriptedBoxes()
    {
        forms::SetMessageBoxPort(nullptr);
        MBoxMod::SetPresenter(nullptr);
    }
    // The prompts of the system boxes shown, and of the program's own.
    std::vector<std::string> informed() const
    {
        std::vector<std::string> out;
        for (const auto& r : msgBox->shown)
            out.push_back(r.prompt);
        return out;
    }
    std::vector<std::string> failed() const
    {
        std::vector<std::string> out;
        for (const auto& r : mbox->shown)
            out.push_back(r.prompt);
        return out;
    }
    void clear()
    {
        msgBox->shown.clear();
        mbox->shown.clear();
    }

    std::shared_ptr<forms::ScriptedMsgBox> msgBox = std::make_shared<forms::ScriptedMsgBox>();
    std::shared_ptr<MBoxMod::ScriptedMBox> mbox = std::make_shared<MBoxMod::ScriptedMBox>();
};

// Waits measured twenty times faster than they pass, so a silent server is
// given up in a quarter of a second.
class FastClock : public vb::Clock {
public:
    vb::Date Now() const override { return real_.Now(); }
    double Elapsed() const override { return real_.Elapsed() * 20.0; }

private:
    vb::SystemClock real_;
};

// One client at a time. Each reply is a list of chunks written as separate
// packets a little apart; the key of a reply is the command's first word
// ("HELO", "MAIL", "RCPT", "DATA", "QUIT") or "." for the end of the data.
class ScriptedSmtpServer {
public:
    ScriptedSmtpServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] { accept(); });
        replies = {{"HELO", {"250 test.local\r\n"}}, {"MAIL", {"250 2.1.0 Ok\r\n"}}, {"RCPT", {"250 2.1.5 Ok\r\n"}},
                   {"DATA", {"354 End data with <CR><LF>.<CR><LF>\r\n"}}, {".", {"250 2.0.0 Ok: queued\r\n"}},
                   {"QUIT", {"221 2.0.0 Bye\r\n"}}};
    }
    ~ScriptedSmtpServer()
    {
        if (client_)
            client_->abort();
    }

    uint16_t Port() const { return server_.serverPort(); }

    std::vector<std::string> greeting = {"220 test.local ESMTP\r\n"}; // empty: silent
    std::map<std::string, std::vector<std::string>> replies;
    std::deque<std::vector<std::string>> rcptReplies; // per recipient, before replies["RCPT"]
    std::string dropAt;                               // close instead of answering this key
    std::function<void(const std::string& key)> onCommand;

    std::vector<std::string> commands; // lines received outside the data
    std::string data;                  // the data as received, end-of-data line included
    int connections = 0;
    bool clientGone = false;
    size_t chunksWritten = 0;

private:
    void accept()
    {
        QTcpSocket* s = server_.nextPendingConnection();
        ++connections;
        client_ = s;
        clientGone = false;
        QObject::connect(s, &QTcpSocket::readyRead, [this, s] { read(s); });
        QObject::connect(s, &QTcpSocket::disconnected, [this, s] {
            clientGone = true;
            s->deleteLater();
        });
        write(s, greeting);
    }

    void write(QTcpSocket* s, const std::vector<std::string>& chunks)
    {
        QPointer<QTcpSocket> guarded(s);
        for (size_t i = 0; i < chunks.size(); ++i) {
            const QByteArray bytes = QByteArray::fromStdString(chunks[i]);
            if (i == 0) {
                s->write(bytes);
                s->flush();
                ++chunksWritten;
            } else {
                QTimer::singleShot(static_cast<int>(40 * i), s, [this, guarded, bytes] {
                    if (guarded) {
                        guarded->write(bytes);
                        guarded->flush();
                        ++chunksWritten;
                    }
                });
            }
        }
    }

    void respond(QTcpSocket* s, const std::string& key)
    {
        if (onCommand)
            onCommand(key);
        if (key == dropAt) {
            s->abort();
            return;
        }
        std::vector<std::string> reply = replies[key];
        if (key == "RCPT" && !rcptReplies.empty()) {
            reply = rcptReplies.front();
            rcptReplies.pop_front();
        }
        if (reply.empty())
            reply = {"500 5.5.2 Error: command not recognized\r\n"};
        write(s, reply);
        if (key == "DATA" && reply.front().rfind("354", 0) == 0)
            inData_ = true;
    }

    void read(QTcpSocket* s)
    {
        in_ += s->readAll().toStdString();
        for (;;) {
            if (inData_) {
                size_t end = std::string::npos;
                if (in_.rfind(".\r\n", 0) == 0)
                    end = 0;
                else if (size_t p = in_.find("\r\n.\r\n"); p != std::string::npos)
                    end = p + 2;
                if (end == std::string::npos)
                    return;
                data += in_.substr(0, end + 3);
                in_.erase(0, end + 3);
                inData_ = false;
                respond(s, ".");
                continue;
            }
            const size_t nl = in_.find("\r\n");
            if (nl == std::string::npos)
                return;
            const std::string line = in_.substr(0, nl);
            in_.erase(0, nl + 2);
            commands.push_back(line);
            std::string key = line.substr(0, line.find_first_of(" :"));
            respond(s, key);
            if (key == "QUIT" && s->state() == QAbstractSocket::ConnectedState)
                s->disconnectFromHost();
            if (s->state() != QAbstractSocket::ConnectedState)
                return;
        }
    }

    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    std::string in_;
    bool inData_ = false;
};

// A real SMTP server (aiosmtpd, testdata/smtp_sink.py; the test target
// defines TV_SMTP_SINK as its path) on a free port of 127.0.0.1. It stores
// every message it accepts as out/N.json, what Python's mail parser reads
// from it, and refuses every recipient at the domain "refused.invalid".
class RealSmtpServer {
public:
    explicit RealSmtpServer(const std::filesystem::path& out) : out_(out)
    {
        std::filesystem::create_directories(out);
        proc_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc_.start("/usr/bin/python3", {TV_SMTP_SINK, QString::fromStdString(out.string())});
        if (proc_.waitForStarted(10000) && proc_.waitForReadyRead(20000))
            port_ = static_cast<uint16_t>(proc_.readLine().trimmed().toUInt());
    }
    ~RealSmtpServer()
    {
        proc_.kill();
        proc_.waitForFinished(5000);
    }
    uint16_t Port() const { return port_; }
    // The messages taken so far.
    int Count() const
    {
        int n = 0;
        while (std::filesystem::exists(out_ / (std::to_string(n + 1) + ".json")))
            ++n;
        return n;
    }
    QJsonObject Message(int n) const
    {
        QFile f(QString::fromStdString((out_ / (std::to_string(n) + ".json")).string()));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(f.readAll()).object();
    }

private:
    std::filesystem::path out_;
    QProcess proc_;
    uint16_t port_ = 0;
};

} // namespace mailtest
