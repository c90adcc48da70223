// Any bytes into the decoder: a clean failure or bytes that encode back to a
// text the decoder reads to the same bytes. Any bytes as a message body or
// an attachment, encoded every way the mail sender does: whole, into a
// caller's buffer, broken into lines of any length, into MIME lines at once
// and while read from a stream (whole lines with and without the vector
// instructions); every way gives the same text, which joins and decodes
// back to the bytes.

#include "program/reports/Base64.h"

#include "platform/basic/RuntimeError.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void decodeAny(const Base64& codec, const Base64::Bytes& in)
{
    Base64::Bytes out, again, back;
    try {
        codec.DecodeB64(in, out);
    } catch (const vb::RuntimeError& e) {
        check(e.Number() == vb::kErrInvalidCall && out.empty());
        return;
    }
    codec.EncodeB64(out, again);
    codec.DecodeB64(again, back);
    check(back == out);
}

void encodeAny(const Base64& codec, const Base64::Bytes& in, long lineLength)
{
    Base64::Bytes text;
    codec.EncodeB64(in, text);
    check(text.size() == Base64::EncodedLength(in.size()));
    Base64::Bytes raw(Base64::EncodedLength(in.size()));
    codec.Encode(in.data(), in.size(), raw.data());
    check(raw == text);

    Base64::Bytes spanned, lines, joined, back;
    codec.Span(lineLength, text, spanned);
    codec.EncodeB64Lines(lineLength, in, lines);
    check(lines == spanned);
    codec.Unspan(spanned, joined);
    check(joined == text);
    codec.DecodeB64(joined, back);
    check(back == in);

    Base64::Bytes mime;
    codec.EncodeB64Lines(long(Base64::kMimeLine), in, mime);
    check(mime.size() == Base64::MimeLinesLength(in.size()));
    std::istringstream stream(std::string(in.begin(), in.end()));
    std::string streamed = "head";
    codec.AppendMimeLines(stream, in.size(), streamed);
    check(streamed == "head" + std::string(mime.begin(), mime.end()));

    // Whole lines, the buffer room past the last one that the vector code may read.
    constexpr std::size_t kLineBytes = Base64::kMimeLine / 4 * 3;
    const std::size_t whole = in.size() / kLineBytes;
    Base64::Bytes padded(in);
    padded.resize(in.size() + Base64::kLineOverread);
    Base64::Bytes vector(whole * (Base64::kMimeLine + 2)), scalar(vector.size());
    Base64::EncodeLines(padded.data(), whole, vector.data(), true);
    Base64::EncodeLines(padded.data(), whole, scalar.data(), false);
    check(vector == scalar && std::equal(vector.begin(), vector.end(), mime.begin()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Base64 codec;
    const Base64::Bytes in(data, data + size);
    decodeAny(codec, in);
    // The first byte picks a line length from 1 to 128 for the rest.
    if (size > 0)
        encodeAny(codec, Base64::Bytes(data + 1, data + size), 1 + data[0] % 128);
    return 0;
}
