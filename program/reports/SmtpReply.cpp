#include "program/reports/SmtpReply.h"

#include "platform/basic/RuntimeError.h"
#include "platform/net/Winsock.h"

#include <string_view>

std::optional<SmtpReply> TakeSmtpReply(std::string& buffer, std::size_t limit)
{
    size_t pos = 0;
    for (;;) {
        const size_t nl = buffer.find('\n', pos);
        if (nl == std::string::npos) {
            if (buffer.size() > limit)
                vb::Raise(vb::sckSocketError, "The mail server's reply is not readable");
            return std::nullopt;
        }
        const std::string_view line(buffer.data() + pos, nl - pos);
        pos = nl + 1;
        // "250-..." lines continue the reply; the line with a blank (or
        // nothing) after its code ends it.
        const bool continues = line.size() >= 4 && line[3] == '-';
        if (!continues) {
            SmtpReply reply{std::string(line.substr(0, 3)), buffer.substr(0, pos)};
            buffer.erase(0, pos);
            return reply;
        }
    }
}
