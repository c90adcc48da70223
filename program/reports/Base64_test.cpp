// The codec: known vectors, round trips over every byte value, line breaking,
// and invalid input failing cleanly.

#include "program/reports/Base64.h"

#include "platform/basic/RuntimeError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ios>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

Base64::Bytes bytes(std::string_view s)
{
    return Base64::Bytes(s.begin(), s.end());
}

std::string text(const Base64::Bytes& b)
{
    return std::string(b.begin(), b.end());
}

std::string encode(std::string_view s)
{
    Base64::Bytes out;
    Base64().EncodeB64(bytes(s), out);
    return text(out);
}

std::string decode(std::string_view s)
{
    Base64::Bytes out;
    Base64().DecodeB64(bytes(s), out);
    return text(out);
}

TEST(Base64, KnownVectorsBothWays)
{
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"abc", "YWJj"},
        {"ab", "YWI="},   {"a", "YQ=="},         {"\xff\xfe\xfd", "//79"},
    };
    for (const auto& [plain, coded] : vectors) {
        EXPECT_EQ(encode(plain), coded) << plain;
        EXPECT_EQ(decode(coded), plain) << coded;
    }
    EXPECT_EQ(encode(std::string("\0\0", 2)), "AAA=");
    EXPECT_EQ(decode("AAA="), std::string("\0\0", 2));
}

TEST(Base64, RoundTripsEveryByteValueAtEveryLength)
{
    const Base64 codec;
    std::mt19937 rng(8);
    for (size_t n = 0; n < 300; ++n) {
        Base64::Bytes in(n);
        for (size_t i = 0; i < n; ++i)
            in[i] = static_cast<uint8_t>(n < 256 ? (i + n) & 255 : rng());
        Base64::Bytes enc, dec;
        codec.EncodeB64(in, enc);
        ASSERT_EQ(enc.size(), Base64::EncodedLength(n));
        codec.DecodeB64(enc, dec);
        ASSERT_EQ(dec, in) << n;
    }
    // The same array as input and output.
    Base64::Bytes b = bytes("hello world");
    codec.EncodeB64(b, b);
    EXPECT_EQ(text(b), "aGVsbG8gd29ybGQ=");
    codec.DecodeB64(b, b);
    EXPECT_EQ(text(b), "hello world");
}

TEST(Base64, SpanBreaksCompleteLinesAndUnspanJoinsThem)
{
    const Base64 codec;
    Base64::Bytes out, back;
    codec.Span(76, Base64::Bytes(152, 'A'), out);
    EXPECT_EQ(text(out), std::string(76, 'A') + "\r\n" + std::string(76, 'A') + "\r\n");
    codec.Span(76, Base64::Bytes(100, 'B'), out);
    EXPECT_EQ(text(out), std::string(76, 'B') + "\r\n" + std::string(24, 'B'));
    codec.Unspan(out, back);
    EXPECT_EQ(back, Base64::Bytes(100, 'B'));
    codec.Span(76, {}, out);
    EXPECT_TRUE(out.empty());

    codec.Unspan(bytes("QQ==\r\n"), out);
    EXPECT_EQ(text(out), "QQ==");
    // Only whole pairs go: a lone CR or LF stays.
    codec.Unspan(bytes("a\rb\nc\r\n\r"), out);
    EXPECT_EQ(text(out), "a\rb\nc\r");

    EXPECT_THROW(codec.Span(0, bytes("abc"), out), vb::RuntimeError);
    codec.Str2ByteArray("Grüße", out);
    EXPECT_EQ(text(out), "Grüße");
}

// Attachments run to megabytes: the codec works through them a block at a
// time, and the lines come out the same in one pass as in two.
TEST(Base64, LongBuffersAcrossBlocksAndLinesInOnePass)
{
    const Base64 codec;
    std::mt19937 rng(11);
    for (size_t n : {size_t{3071}, size_t{3072}, size_t{3073}, size_t{9216}, size_t{10001}, size_t{100000}}) {
        Base64::Bytes in(n);
        for (auto& b : in)
            b = static_cast<uint8_t>(rng());
        Base64::Bytes enc, dec, spanned, lines, joined;
        codec.EncodeB64(in, enc);
        codec.DecodeB64(enc, dec);
        ASSERT_EQ(dec, in) << n;
        for (long len : {1L, 3L, 76L, 4096L, 5000L, 1000000L}) {
            codec.Span(len, enc, spanned);
            codec.EncodeB64Lines(len, in, lines);
            ASSERT_EQ(lines, spanned) << n << " " << len;
            codec.Unspan(lines, joined);
            ASSERT_EQ(joined, enc) << n << " " << len;
        }
        // Padding inside a long text, where a block of the decoder ends or
        // anywhere else, is refused as in a short one.
        for (size_t at : {size_t{5456}, size_t{5460}, enc.size() / 2 / 4 * 4}) {
            if (at + 8 > enc.size())
                continue;
            Base64::Bytes bad = enc;
            bad[at + 2] = '=';
            bad[at + 3] = '=';
            EXPECT_THROW(codec.DecodeB64(bad, dec), vb::RuntimeError) << n << " " << at;
            EXPECT_TRUE(dec.empty());
        }
    }
    Base64::Bytes out;
    codec.EncodeB64Lines(76, {}, out);
    EXPECT_TRUE(out.empty());
    EXPECT_THROW(codec.EncodeB64Lines(0, bytes("abc"), out), vb::RuntimeError);
}

// A file whose reading fails after its first bytes.
class FailingFile : public std::streambuf {
public:
    explicit FailingFile(size_t good) : data_(good, 'x') { setg(data_.data(), data_.data(), data_.data() + good); }

protected:
    int_type underflow() override { throw std::ios_base::failure("read error"); }

private:
    std::string data_;
};

// Attachments are encoded while they are read, a block at a time: at every
// size around lines and blocks the text is the one-pass lines' text, after
// what the message held; a read that fails leaves the message as it was.
TEST(Base64, AttachmentLinesWhileReading)
{
    const Base64 codec;
    std::mt19937 rng(12);
    const size_t b = Base64::kStreamBlock;
    for (size_t n : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, size_t{56}, size_t{57}, size_t{58}, size_t{114},
                     size_t{115}, b - 57, b - 1, b, b + 1, b + 56, b + 57, b + 58, 2 * b - 1, 2 * b, 2 * b + 1,
                     3 * b + 2}) {
        Base64::Bytes in(n);
        for (auto& c : in)
            c = static_cast<uint8_t>(rng());
        Base64::Bytes lines;
        codec.EncodeB64Lines(76, in, lines);
        std::istringstream file(text(in));
        std::string message = "head";
        size_t blocks = 0;
        // The expected size is a hint only: a file may shrink or grow.
        codec.AppendMimeLines(file, n % 2 ? n : n / 2, message, [&blocks] { ++blocks; });
        ASSERT_EQ(message, "head" + text(lines)) << n;
        EXPECT_EQ(Base64::MimeLinesLength(n), lines.size()) << n;
        EXPECT_EQ(blocks, n / b + 1) << n;
    }

    for (size_t good : {size_t{0}, size_t{1000}, b + 5}) {
        FailingFile broken(good);
        std::istream file(&broken);
        std::string message = "head";
        try {
            codec.AppendMimeLines(file, 3 * b, message);
            FAIL() << "a failed read passed for " << good;
        } catch (const vb::RuntimeError& e) {
            EXPECT_EQ(e.Number(), vb::kErrDeviceIO);
        }
        EXPECT_EQ(message, "head") << good;
    }
}

// The vector line encoder writes what the plain one writes: lines of every
// byte pattern, read from every alignment and written to every alignment.
TEST(Base64, VectorLinesEqualPlainLines)
{
    constexpr size_t kLine = Base64::kMimeLine / 4 * 3;
    constexpr size_t kMaxLines = 12;
    std::mt19937 rng(13);
    std::vector<uint8_t> in(32 + kMaxLines * kLine + Base64::kLineOverread);
    for (auto& b : in)
        b = static_cast<uint8_t>(rng());
    // Whole lines of the lowest and highest values, too.
    std::fill_n(in.begin() + 32 + kLine, kLine, uint8_t{0});
    std::fill_n(in.begin() + 32 + 2 * kLine, kLine, uint8_t{0xFF});
    const size_t outLine = Base64::kMimeLine + 2;
    for (size_t lines = 0; lines <= kMaxLines; ++lines) {
        for (size_t offset = 0; offset < 32; ++offset) {
            // A guard byte after the lines shows nothing is written past them.
            std::vector<uint8_t> fast(offset + lines * outLine + 1, '#'), plain = fast;
            Base64::EncodeLines(in.data() + offset, lines, fast.data() + offset, true);
            Base64::EncodeLines(in.data() + offset, lines, plain.data() + offset, false);
            ASSERT_EQ(fast, plain) << lines << " lines from offset " << offset;
            ASSERT_EQ(fast.back(), '#');
        }
    }
    // The lines are the codec's text with CR LF after every 76 (the input
    // read where it is followed by the bytes the encoder may read past it).
    Base64::Bytes whole(in.begin() + 32, in.begin() + 32 + kMaxLines * kLine), lines;
    Base64().EncodeB64Lines(76, whole, lines);
    std::vector<uint8_t> encoded(kMaxLines * outLine);
    Base64::EncodeLines(in.data() + 32, kMaxLines, encoded.data(), true);
    EXPECT_EQ(Base64::Bytes(encoded.begin(), encoded.end()), lines);

    // Attachments of every length up to a few lines, so the text ends at
    // every place in a line, appended after messages of every alignment.
    const Base64 codec;
    for (size_t n = 0; n <= 300; ++n) {
        Base64::Bytes data(n);
        for (auto& b : data)
            b = static_cast<uint8_t>(rng());
        Base64::Bytes expected;
        codec.EncodeB64Lines(76, data, expected);
        std::istringstream file(text(data));
        std::string message(n % 32, 'h');
        codec.AppendMimeLines(file, n, message);
        ASSERT_EQ(message, std::string(n % 32, 'h') + text(expected)) << n;
    }
}

TEST(Base64, InvalidInputRaisesAndLeavesNothing)
{
    const char* bad[] = {
        "Y", "YW", "YWJ", "YWJjY",      // not whole groups
        "YW\r\nJj", "YWJj\r\n",         // line breaks (Unspan first)
        "=AAA", "A===", "====",         // padding where data must be
        "AB=C", "YQ==YWJj", "YQ=a",     // data after padding
        "YW J", "YW-j", "YW_j", "YW.j", // characters outside the alphabet
    };
    for (const char* s : bad) {
        Base64::Bytes out = bytes("stale");
        try {
            Base64().DecodeB64(bytes(s), out);
            ADD_FAILURE() << "accepted " << s;
        } catch (const vb::RuntimeError& e) {
            EXPECT_EQ(e.Number(), vb::kErrInvalidCall) << s;
        }
        EXPECT_TRUE(out.empty()) << s;
    }
    // Every byte value in every place of a group: accepted exactly when it is
    // in the alphabet (or padding where padding may stand).
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int place = 0; place < 4; ++place) {
        for (int v = 0; v < 256; ++v) {
            std::string s = "QUJDQUJD";
            s[4 + place] = static_cast<char>(v);
            const bool inAlphabet = alphabet.find(static_cast<char>(v)) != std::string::npos;
            const bool padOk = v == '=' && place == 3;
            Base64::Bytes out;
            bool ok = true;
            try {
                Base64().DecodeB64(bytes(s), out);
            } catch (const vb::RuntimeError&) {
                ok = false;
            }
            EXPECT_EQ(ok, inAlphabet || padOk) << "place " << place << " byte " << v;
        }
    }
}

} // namespace
