#pragma once
// The message the hidden main window sends after the mail server accepted
// DATA: the header block and the body as one text part, or a multipart/mixed
// message with the body and one base64 attachment (boundary NextMimePart,
// or that with a suffix when a part holds it).
// The whole message, attachment included, is composed before the connection
// opens, so that an unreadable file or a question to the user never leaves a
// half-sent message on the wire.

#include "platform/basic/DateTime.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

struct MailAddress {
    std::string name;    // display name, may be empty
    std::string address; // the mailbox, as the envelope carries it
};

struct MailContent {
    MailAddress from;
    std::vector<std::string> to; // checked recipients
    std::string subject;
    std::string body;
    bool hasAttachment = false;
    std::string attachmentPath;
    std::string contentSubtype; // "plain" or "html" for a text-only message
};

class MimeComposer {
public:
    // The boundary of a message with an attachment, when its parts do not
    // hold it; otherwise it gets a suffix that they do not hold either.
    static constexpr const char* kBoundary = "NextMimePart";
    static constexpr size_t kLargeAttachment = 2097152; // bytes before the size question

    // The message as the server is to store it: header block and body with CR
    // LF line ends, not yet made transparent for DATA. Raises a runtime error
    // when the attachment cannot be read.
    std::string ComposeMessage(const MailContent& mail, vb::Date now);
    // The attachment part (SendAttachment): part headers, the file in base64
    // lines of 76 characters, and the closing boundary. A file over 2 MB is
    // asked about first unless the user said not to ask again ("Too big").
    std::string AttachmentPart(const std::string& path);

    // kBoundary, or it with the first suffix "_1", "_2", ... that none of
    // the texts holds.
    static std::string FreeBoundary(std::initializer_list<std::string_view> texts);

    // The DATA phase's bytes: bare CR and LF made CR LF, a dot doubled at the
    // start of every line, and the end-of-data line appended.
    static std::string ToSmtpData(std::string_view message);

    // Header helpers, public for the sender and for tests.
    // "Tue, 08 Dec 2026 01:02:03 +0100"; offset in seconds east of UTC.
    static std::string MailDate(vb::Date local, int utcOffsetSeconds);
    static int LocalUtcOffset(vb::Date local);
    // "Name <address>", the name quoted or encoded as mail readers need.
    // column: the characters before it on its header line; encoded words
    // fold so that no line passes 76 characters.
    static std::string FormatAddress(const MailAddress& a, size_t column = 0);
    // A header value on one line: line breaks become blanks; text that is not
    // plain ASCII, or too long for one line, becomes encoded words, folded as
    // FormatAddress folds them.
    static std::string HeaderText(std::string_view value, size_t column = 0);
    // The body with CR LF line ends, and whether it must travel quoted-printable
    // (bytes beyond ASCII, or a line longer than mail servers take).
    static std::string NormaliseLineEnds(std::string_view text);
    static bool NeedsQuotedPrintable(std::string_view crlfText);
    static std::string QuotedPrintable(std::string_view crlfText);

private:
    // AttachmentPart with that boundary appended to the message, the file
    // encoded as it is read straight into the message's own room. content
    // and contentEnd: where the part's text after its delimiter line starts,
    // and where its closing delimiter starts.
    void appendAttachmentPart(const std::string& path, std::string& message, std::string_view boundary,
                              size_t& content, size_t& contentEnd);
};
