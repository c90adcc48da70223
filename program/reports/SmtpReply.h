#pragma once
// The replies of a mail server as they arrive: lines ending in LF, "250-..."
// lines continuing a reply, the first line with anything else after its code
// ending it.

#include <cstddef>
#include <optional>
#include <string>

struct SmtpReply {
    std::string code; // the first three characters of the reply's last line
    std::string text; // every line of the reply, line ends kept
};

// Takes the first complete reply off the front of buffer; nothing while the
// reply is still incomplete. A buffer that has grown beyond limit bytes
// without completing a reply raises sckSocketError: the peer is no mail server.
std::optional<SmtpReply> TakeSmtpReply(std::string& buffer, std::size_t limit);
