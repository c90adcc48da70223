#include "program/reports/frmMain_SendEmail.h"

#include "program/reports/SmtpReply.h"
#include "program/reports/frmMain_SendMessageData.h"
#include "program/services/ShellState.h"

#include "platform/basic/App.h"
#include "platform/basic/DateTime.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/forms/MsgBox.h"
#include "program/services/MBoxMod.h"

#include <chrono>
#include <thread>

namespace {

// Bytes of reply that may gather without a line end before the peer is taken
// for something other than a mail server.
constexpr size_t kMaxReply = 65536;
// Queued but unsent bytes the sender lets pile up before it waits.
constexpr int64_t kHighWater = 1 << 20;

// Bytes beyond ASCII are refused too: the dialogue asks for no 8-bit mail.
bool usableMailbox(std::string_view s)
{
    if (s.empty())
        return false;
    for (unsigned char c : s)
        if (c <= 0x20 || c >= 0x7f || c == '<' || c == '>' || c == ',')
            return false;
    return true;
}

// What a server takes in a path (RFC 5321): a local part of at most 64
// characters and at most 256 with the angle brackets around the address.
constexpr size_t kMaxLocalPart = 64;
constexpr size_t kMaxAddress = 254;

bool fitsPath(std::string_view s)
{
    const size_t at = s.rfind('@');
    return s.size() <= kMaxAddress && (at == std::string_view::npos ? s.size() : at) <= kMaxLocalPart;
}

bool isAlnum(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Dot-separated runs of characters an unquoted address may hold.
bool isDotAtom(std::string_view s)
{
    constexpr std::string_view kSpecials = "!#$%&'*+-/=?^_`{|}~";
    if (s.empty() || s.front() == '.' || s.back() == '.' || s.find("..") != std::string_view::npos)
        return false;
    for (const char c : s)
        if (!isAlnum(c) && c != '.' && kSpecials.find(c) == std::string_view::npos)
            return false;
    return true;
}

bool isIPv4(std::string_view s)
{
    const std::vector<std::string> parts = vb::Split(s, ".");
    if (parts.size() != 4)
        return false;
    for (const std::string& p : parts)
        if (p.empty() || p.size() > 3 || p.find_first_not_of("0123456789") != std::string::npos || std::stoi(p) > 255)
            return false;
    return true;
}

bool isDomain(std::string_view s)
{
    if (s.empty() || s.size() > 253)
        return false;
    for (const std::string& label : vb::Split(s, ".")) {
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
            return false;
        for (const char c : label)
            if (!isAlnum(c) && c != '-')
                return false;
    }
    return true;
}

// An address a strict server takes: dot-atom "@" a domain or an IPv4 literal.
bool isValidAddress(std::string_view s)
{
    const size_t at = s.rfind('@');
    if (at == std::string_view::npos || s.size() > kMaxAddress)
        return false;
    const std::string_view local = s.substr(0, at);
    const std::string_view domain = s.substr(at + 1);
    const bool literal = domain.size() > 2 && domain.front() == '[' && domain.back() == ']' &&
                         isIPv4(domain.substr(1, domain.size() - 2));
    return local.size() <= kMaxLocalPart && isDotAtom(local) && (literal || isDomain(domain));
}

std::string trimSpace(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(first, last - first + 1));
}

void inform(const std::string& text)
{
    forms::MsgBox(text, forms::vbInformation);
}

double elapsed()
{
    return vb::CurrentClock().Elapsed();
}

// A turn of the event loop; when nothing happened, a millisecond's rest so
// that a wait does not spin a core.
template <class Changed>
void yieldOnce(Changed changed)
{
    vb::DoEvents();
    if (!changed())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

SmtpSender::SmtpSender()
{
    Winsock1.OnDataArrival = [this](long bytesTotal) { Winsock1_DataArrival(bytesTotal); };
    Winsock1.OnError = [this](int number, const std::string& description) {
        socketError_ = number;
        socketErrorText_ = description;
    };
}

SmtpSender::~SmtpSender()
{
    Winsock1.OnDataArrival = nullptr;
    Winsock1.OnError = nullptr;
}

std::vector<std::string> SmtpSender::CheckRecipients(std::string_view recepitants, std::vector<std::string>* refused)
{
    std::vector<std::string> ok;
    for (const std::string& piece : vb::Split(recepitants, ";")) {
        std::string r = trimSpace(piece);
        if (r.empty())
            continue;
        if (usableMailbox(r) && fitsPath(r))
            ok.push_back(std::move(r));
        else if (refused)
            refused->push_back(std::move(r));
    }
    return ok;
}

std::string SmtpSender::EnvelopeSender(const std::string& originatorsEmail, const std::string& originatorsName,
                                       const std::string& server)
{
    const std::string email = trimSpace(originatorsEmail);
    if (isValidAddress(email))
        return email;
    // The name's letters, digits, "-", "_" and the dots between them.
    std::string local;
    for (const char c : originatorsName) {
        if (isAlnum(c) || c == '-' || c == '_')
            local += c;
        else if (c == '.' && !local.empty() && local.back() != '.')
            local += c;
    }
    while (!local.empty() && local.back() == '.')
        local.pop_back();
    if (local.size() > kMaxLocalPart)
        local.resize(kMaxLocalPart);
    while (!local.empty() && local.back() == '.')
        local.pop_back();
    if (local.empty())
        local = "tallyvane";
    const std::string host = trimSpace(server);
    const std::string domain = isIPv4(host) ? "[" + host + "]" : isDomain(host) ? host : "localhost";
    return local + "@" + domain;
}

void SmtpSender::Winsock1_DataArrival(long)
{
    buffer_ += Winsock1.GetData();
}

SmtpSender::Reply SmtpSender::awaitReply(std::string_view code)
{
    const double start = elapsed();
    for (;;) {
        if (std::optional<SmtpReply> reply = TakeSmtpReply(buffer_, kMaxReply)) {
            lastReply_ = std::move(reply->text);
            // The first digit tells success (2), go on (3) or refusal (4, 5).
            return !reply->code.empty() && !code.empty() && reply->code[0] == code[0] ? Reply::Matched
                                                                                        : Reply::WrongCode;
        }
        if (socketError_ != 0)
            vb::Raise(socketError_, socketErrorText_);
        const int state = Winsock1.State();
        if (state == vb::sckClosing || state == vb::sckClosed || state == vb::sckError)
            vb::Raise(vb::sckConnectionReset, "The mail server closed the connection");
        if (elapsed() - start > kReplySeconds)
            return Reply::TimedOut;
        const size_t before = buffer_.size();
        yieldOnce([&] { return buffer_.size() != before || Winsock1.State() != state || socketError_ != 0; });
    }
}

SmtpSender::Reply SmtpSender::WaitFor(std::string_view ResponseCode)
{
    const Reply r = awaitReply(ResponseCode);
    if (r == Reply::TimedOut) {
        inform(kTimedOut);
    } else if (r == Reply::WrongCode) {
        std::string shown = lastReply_;
        while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r'))
            shown.pop_back();
        inform(std::string(kBadCode) + std::string(ResponseCode) + " Code recieved: " + shown);
    }
    return r;
}

void SmtpSender::command(const std::string& line)
{
    // Whatever is left of an earlier exchange is no answer to this command.
    buffer_.clear();
    Winsock1.SendData(line + "\r\n");
}

void SmtpSender::SendMessageData(std::string_view smtpData)
{
    auto drain = [this](int64_t limit) {
        int64_t pending = Winsock1.BytesPending();
        double lastProgress = elapsed();
        while (pending > limit) {
            if (socketError_ != 0)
                vb::Raise(socketError_, socketErrorText_);
            if (Winsock1.State() != vb::sckConnected)
                vb::Raise(vb::sckConnectionReset, "The mail server closed the connection");
            yieldOnce([&] { return Winsock1.BytesPending() != pending; });
            const int64_t now = Winsock1.BytesPending();
            if (now < pending) {
                pending = now;
                lastProgress = elapsed();
            } else if (elapsed() - lastProgress > kReplySeconds) {
                vb::Raise(vb::sckTimedout, "The mail server stopped taking the message");
            }
        }
    };
    for (size_t i = 0; i < smtpData.size(); i += kPiece) {
        Winsock1.SendData(smtpData.substr(i, kPiece));
        vb::DoEvents();
        drain(kHighWater);
    }
    drain(0);
}

void SmtpSender::quit()
{
    if (Winsock1.State() != vb::sckConnected)
        return;
    try {
        command("QUIT");
        awaitReply("221");
    } catch (const vb::RuntimeError&) {
        // The message's fate is settled; a server that hangs up first is fine.
    }
}

long SmtpSender::send(const std::string& subject, const std::string& body, const std::vector<std::string>& to,
                      bool haveAttachment, const std::string& attachment, const std::string& subtype)
{
    const tv::ShellState& shell = tv::Shell();
    const std::string server = trimSpace(shell.g_SMTPMailServer);
    if (!usableMailbox(server))
        vb::Raise(vb::sckHostNotFound, "No usable mail server is set");

    MailContent mail;
    mail.from = {shell.g_OriginatorsName,
                 EnvelopeSender(shell.g_OriginatorsEmail, shell.g_OriginatorsName, server)};
    mail.to = to;
    mail.subject = subject;
    mail.body = body;
    mail.hasAttachment = haveAttachment;
    mail.attachmentPath = attachment;
    mail.contentSubtype = subtype;
    MimeComposer composer;
    const std::string data = MimeComposer::ToSmtpData(composer.ComposeMessage(mail, vb::Now()));

    socketError_ = 0;
    buffer_.clear();
    Winsock1.RemoteHost = server;
    Winsock1.RemotePort = kSmtpPort;
    Winsock1.Connect();
    // A server that stays silent gets no QUIT; one that refuses does.
    auto refused = [this](Reply r) {
        if (r == Reply::WrongCode)
            quit();
        return kFailed;
    };
    if (Reply r = WaitFor("220"); r != Reply::Matched)
        return refused(r);
    command("HELO " + server);
    if (Reply r = WaitFor("250"); r != Reply::Matched)
        return refused(r);
    command("MAIL FROM:<" + mail.from.address + ">");
    if (Reply r = WaitFor("250"); r != Reply::Matched)
        return refused(r);
    size_t accepted = 0;
    for (const std::string& r : to) {
        command("RCPT TO:<" + r + ">");
        const Reply reply = WaitFor("250");
        if (reply == Reply::TimedOut)
            return kFailed;
        if (reply == Reply::Matched)
            ++accepted;
    }
    if (accepted == 0)
        return refused(Reply::WrongCode);
    command("DATA");
    if (Reply r = WaitFor("354"); r != Reply::Matched)
        return refused(r);
    buffer_.clear();
    SendMessageData(data);
    if (Reply r = WaitFor("250"); r != Reply::Matched)
        return refused(r);
    quit();
    return kSent;
}

long SmtpSender::SendEmail(const std::string& Subject, const std::string& MailBody, const std::string& Recepitants,
                           bool HaveAttachment, const std::string& AttachmentFileName, const std::string& ContextType)
{
    std::vector<std::string> refused;
    const std::vector<std::string> to = CheckRecipients(Recepitants, &refused);
    for (const std::string& r : refused)
        inform(kBadRecipient + r);
    if (to.empty())
        return kFailed;
    if (sending_ || Winsock1.State() != vb::sckClosed) {
        inform(kBusy);
        return kFailed;
    }

    sending_ = true;
    long result = kFailed;
    bool failed = false;
    try {
        result = send(Subject, MailBody, to, HaveAttachment, AttachmentFileName, ContextType);
    } catch (const std::exception&) {
        failed = true;
    }
    // Closed on every path, so that one failure does not block later sends.
    Winsock1.Close();
    sending_ = false;
    if (failed) {
        MBoxMod::ShowMBox(kFailedToSend, kFailedScheme, kFailedButtons, kFailedIcon);
        result = kFailed;
    }
    return result;
}
