// Any bytes from a mail server, arriving in pieces of any size: the replies
// taken are whole, in order, each ending its last line; nothing is lost or
// taken twice; how the bytes were split never changes a reply; a peer that
// sends too much without completing a reply is refused with the socket error.
//
// The first byte is the largest piece (1 to 256 bytes), the second picks the
// limit (small, so refusals are reached, or the sender's own).

#include "program/reports/SmtpReply.h"

#include "platform/basic/RuntimeError.h"
#include "platform/net/Winsock.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Taken {
    std::vector<SmtpReply> replies;
    std::string left;
    bool refused = false;
};

void checkReply(const SmtpReply& r)
{
    if (r.text.empty() || r.text.back() != '\n' || r.code.size() > 3)
        std::abort();
    // The code is the start of the last line, which continues nothing.
    const size_t start = r.text.size() < 2 ? std::string::npos : r.text.rfind('\n', r.text.size() - 2);
    const std::string_view last = std::string_view(r.text).substr(start == std::string::npos ? 0 : start + 1);
    if (!last.starts_with(r.code) || (last.size() >= 5 && last[3] == '-'))
        std::abort();
}

Taken take(std::string_view bytes, size_t piece, size_t limit)
{
    Taken t;
    std::string buffer;
    for (size_t at = 0; at < bytes.size(); at += piece) {
        buffer += bytes.substr(at, piece);
        try {
            while (auto r = TakeSmtpReply(buffer, limit)) {
                checkReply(*r);
                t.replies.push_back(std::move(*r));
            }
        } catch (const vb::RuntimeError& e) {
            if (e.Number() != vb::sckSocketError || buffer.size() <= limit)
                std::abort();
            t.refused = true;
            break;
        }
    }
    t.left = buffer;
    return t;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const size_t piece = size_t(data[0]) + 1;
    const size_t limit = data[1] & 1 ? 65536 : size_t(data[1]) + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);

    const Taken whole = take(bytes, bytes.size() + 1, limit);
    const Taken pieces = take(bytes, piece, limit);

    // Nothing lost, nothing taken twice.
    for (const Taken* t : {&whole, &pieces}) {
        std::string all;
        for (const SmtpReply& r : t->replies)
            all += r.text;
        all += t->left;
        if (!t->refused && all != bytes)
            std::abort();
        if (t->refused && !bytes.starts_with(all))
            std::abort();
    }
    // Pieces only make a refusal come sooner: the replies taken before it
    // are the first of those taken from the whole.
    if (pieces.replies.size() > whole.replies.size() || (!pieces.refused && pieces.replies.size() != whole.replies.size()))
        std::abort();
    for (size_t i = 0; i < pieces.replies.size(); ++i)
        if (pieces.replies[i].text != whole.replies[i].text || pieces.replies[i].code != whole.replies[i].code)
            std::abort();
    return 0;
}
