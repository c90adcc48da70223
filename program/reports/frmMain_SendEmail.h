#pragma once
// The hidden main window's mail sender: one message over SMTP, without
// authentication, to the server of the program's e-mail settings, through the
// window's socket Winsock1. Every command waits for its reply while the event
// loop runs, at most 5 seconds per reply. frmMain owns one SmtpSender and its
// SendEmail forwards here.

#include "platform/net/Winsock.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SmtpSender {
public:
    static constexpr long kSent = 0;
    static constexpr long kFailed = 1000;
    static constexpr uint16_t kSmtpPort = 25;
    static constexpr double kReplySeconds = 5.0;
    static constexpr size_t kPiece = 8192;

    // The program's box for a failed send: colour scheme, button set (OK), icon.
    static constexpr int kFailedScheme = 4;
    static constexpr int kFailedButtons = 0;
    static constexpr int kFailedIcon = 10;

    // Messages the sender shows; the first three are the program's own texts.
    // kFailedToSend goes through the program's box, the others through the
    // system box with the information icon.
    static constexpr const char* kTimedOut = "SMTP service error, timed out while waiting for response";
    static constexpr const char* kBadCode = "SMTP service error, impromper response code. Code should have been: ";
    static constexpr const char* kFailedToSend = "Failed to send email!";
    static constexpr const char* kBusy = "SMTP service error, another message is being sent. Please try again later.";
    static constexpr const char* kBadRecipient = "Invalid e-mail address, the message is not sent to: ";

    enum class Reply { Matched, WrongCode, TimedOut };

    SmtpSender();
    ~SmtpSender();
    SmtpSender(const SmtpSender&) = delete;
    SmtpSender& operator=(const SmtpSender&) = delete;

    // Sends one message; Recepitants are addresses separated by ";",
    // ContextType the text subtype ("plain", "html") of a message without
    // attachment. Returns kSent once the server accepted the message, kFailed
    // otherwise (every failure has been shown to the user, except a blank
    // recipient list). Settings come from tv::Shell().
    long SendEmail(const std::string& Subject, const std::string& MailBody, const std::string& Recepitants,
                   bool HaveAttachment, const std::string& AttachmentFileName, const std::string& ContextType);

    // Waits for the next complete reply and compares its code; a time-out or
    // another code is shown to the user. A dropped connection raises the
    // socket's error.
    Reply WaitFor(std::string_view ResponseCode);
    // The socket's arrival event: adds what arrived to the reply buffer.
    void Winsock1_DataArrival(long bytesTotal);
    // Sends the DATA phase's bytes in pieces, yielding between them, and
    // returns once the network has taken them all.
    void SendMessageData(std::string_view smtpData);

    // The last complete reply, its line ends kept.
    const std::string& LastReply() const { return lastReply_; }

    // Recipients as the sender takes them: each ";" piece trimmed, empty ones
    // skipped, and refused (listed in refused) when it holds "<", ">", ",",
    // a blank, a control character or a character beyond ASCII, or is longer
    // than a server takes (a local part over 64 characters, an address over
    // 254).
    static std::vector<std::string> CheckRecipients(std::string_view recepitants,
                                                    std::vector<std::string>* refused = nullptr);
    // The one sender address of the envelope and the From header: the
    // configured address when a strict server takes it, else the sender's
    // name run together (its ASCII letters, digits, "-", "_" and inner dots;
    // "tallyvane" when none is left), "@" and the server (an IPv4 address in
    // brackets, "localhost" for a name that is no domain).
    static std::string EnvelopeSender(const std::string& originatorsEmail, const std::string& originatorsName,
                                      const std::string& server);

    vb::Winsock Winsock1;

private:
    Reply awaitReply(std::string_view code);
    void command(const std::string& line);
    long send(const std::string& subject, const std::string& body, const std::vector<std::string>& to,
              bool haveAttachment, const std::string& attachment, const std::string& subtype);
    void quit();

    std::string buffer_;
    std::string lastReply_;
    int socketError_ = 0;
    std::string socketErrorText_;
    bool sending_ = false;
};
