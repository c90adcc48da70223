#pragma once
// The base64 codec of the mail sender: bytes to base64 text and back (the MIME
// alphabet with "=" padding), breaking base64 text into lines and joining them
// again, and text to bytes. Failures are runtime errors raised to the caller.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

class Base64 {
public:
    using Bytes = std::vector<uint8_t>;

    Base64();

    // Base64 text without line breaks to bytes. Input whose length is not a
    // multiple of 4, with a character outside the alphabet, or with "=" other
    // than as the last one or two characters raises error 5; out is then empty.
    void DecodeB64(const Bytes& in, Bytes& out) const;
    // Bytes to base64 text (as bytes) without line breaks; nothing gives nothing.
    void EncodeB64(const Bytes& in, Bytes& out) const;
    // A copy of in with CR LF after every complete line of lineLength bytes (a
    // shorter last line gets none). A length below 1 raises error 5.
    void Span(long lineLength, const Bytes& in, Bytes& out) const;
    // EncodeB64 then Span in one pass, without the unbroken text in between.
    void EncodeB64Lines(long lineLength, const Bytes& in, Bytes& out) const;
    // An attachment's base64 text, encoded while it is read: reads in to its
    // end and appends to out the text EncodeB64Lines(76) gives for all it
    // held (lines of 76 characters, each complete one ending in CR LF). Only
    // out grows, reserved first for expectedSize bytes (the file's size, 0
    // when unknown) and a little more for what follows: the file passes
    // through one block buffer, kStreamBlock bytes (whole lines) at a time,
    // and afterBlock, when given, runs after each block. A read that fails
    // raises error 57 and leaves out as it was.
    void AppendMimeLines(std::istream& in, size_t expectedSize, std::string& out,
                         const std::function<void()>& afterBlock = {}) const;
    static constexpr size_t kMimeLine = 76;
    static constexpr size_t kStreamBlock = kMimeLine / 4 * 3 * 1024;
    // What AppendMimeLines appends for n bytes, to reserve the room first.
    static size_t MimeLinesLength(size_t n)
    {
        const size_t text = EncodedLength(n);
        return text + 2 * (text / kMimeLine);
    }
    // Whole lines of that text: lines x 57 bytes from in become lines x 78
    // characters at out (76, then CR LF). With vector set, the processor's
    // vector instructions are used where it has them, for the same text;
    // either way up to kLineOverread bytes past the last line may be read.
    static void EncodeLines(const uint8_t* in, size_t lines, uint8_t* out, bool vector = true);
    static constexpr size_t kLineOverread = 4;
    // The text's bytes (text is held as UTF-8, the system's code page).
    void Str2ByteArray(std::string_view text, Bytes& out) const;
    // A copy of in without its CR LF pairs.
    void Unspan(const Bytes& in, Bytes& out) const;

    // The same work on raw buffers, for callers that keep strings.
    // EncodedLength(n) bytes are written at out.
    static size_t EncodedLength(size_t n) { return (n + 2) / 3 * 4; }
    void Encode(const uint8_t* in, size_t n, uint8_t* out) const;
    // Returns false (and writes nothing reliable) on invalid input; out needs
    // room for n / 4 * 3 bytes; *written receives the decoded length.
    bool Decode(const uint8_t* in, size_t n, uint8_t* out, size_t* written) const;

private:
    static constexpr uint8_t kInvalid = 255;
    static constexpr uint8_t kPad = 64;
    uint8_t encodeTable_[64];
    uint8_t decodeTable_[256];
};
