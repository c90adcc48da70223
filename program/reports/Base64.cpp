#include "program/reports/Base64.h"

#include "platform/basic/RuntimeError.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <istream>
#include <memory>
#include <string>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Results are built a block at a time on the stack and appended to a
// reserved vector: sizing the vector first would fill it with zeros only to
// have every byte overwritten.
constexpr size_t kBlock = 4096;

// Room reserved past an attachment's text for the message's next lines.
constexpr size_t kFollowingRoom = 4096;

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The two characters of every 12 bits: half the lookups of one per character.
struct PairTable {
    uint8_t chars[4096][2];
};

constexpr PairTable makePairs()
{
    PairTable t{};
    for (size_t v = 0; v < 4096; ++v) {
        t.chars[v][0] = static_cast<uint8_t>(kAlphabet[v >> 6]);
        t.chars[v][1] = static_cast<uint8_t>(kAlphabet[v & 63]);
    }
    return t;
}

constexpr PairTable kPairs = makePairs();

constexpr size_t kLineBytes = Base64::kMimeLine / 4 * 3;

#if defined(__x86_64__)

// A line's 57 bytes in three steps of 24 bytes to 32 characters, 12 bytes
// in each half of the register; the last step overlaps the second by three
// bytes, so its first 12 characters are written twice, alike.
__attribute__((target("avx2"))) void encodeLinesAvx2(const uint8_t* in, size_t lines, uint8_t* out)
{
    // Each group's bytes b0 b1 b2 as b1 b0 b2 b1 in a 32-bit lane: the first
    // two values then sit in its low 16 bits, the last two in its high.
    const __m256i order = _mm256_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10, 1, 0, 2, 1, 4, 3, 5,
                                           4, 7, 6, 8, 7, 10, 9, 11, 10);
    // The alphabet is five runs; each value picks its run's offset: 0 for
    // a-z, 1-10 for the digits, 11 "+", 12 "/", 13 A-Z.
    const __m256i offsets =
        _mm256_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                         '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0, 'a' - 26, '0' - 52, '0' - 52, '0' - 52,
                         '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A',
                         0, 0);
    constexpr size_t kSteps[][2] = {{0, 0}, {24, 32}, {33, 44}}; // bytes in, characters out
    for (size_t l = 0; l < lines; ++l, in += kLineBytes, out += Base64::kMimeLine + 2) {
        for (const auto& [from, to] : kSteps) {
            const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + from));
            const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + from + 12));
            const __m256i v =
                _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1), order);
            // Every 6-bit value shifted into a byte of its own by multiplications.
            const __m256i values = _mm256_or_si256(
                _mm256_mulhi_epu16(_mm256_and_si256(v, _mm256_set1_epi32(0x0FC0FC00)), _mm256_set1_epi32(0x04000040)),
                _mm256_mullo_epi16(_mm256_and_si256(v, _mm256_set1_epi32(0x003F03F0)), _mm256_set1_epi32(0x01000010)));
            __m256i run = _mm256_subs_epu8(values, _mm256_set1_epi8(51));
            const __m256i upper = _mm256_cmpgt_epi8(_mm256_set1_epi8(26), values);
            run = _mm256_or_si256(run, _mm256_and_si256(upper, _mm256_set1_epi8(13)));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + to),
                                _mm256_add_epi8(values, _mm256_shuffle_epi8(offsets, run)));
        }
        out[76] = '\r';
        out[77] = '\n';
    }
}

#endif

} // namespace

void Base64::EncodeLines(const uint8_t* in, size_t lines, uint8_t* out, bool vector)
{
#if defined(__x86_64__)
    if (vector && __builtin_cpu_supports("avx2")) {
        encodeLinesAvx2(in, lines, out);
        return;
    }
#else
    (void)vector;
#endif
    static const Base64 plain;
    for (size_t l = 0; l < lines; ++l, in += kLineBytes, out += kMimeLine + 2) {
        plain.Encode(in, kLineBytes, out);
        out[kMimeLine] = '\r';
        out[kMimeLine + 1] = '\n';
    }
}

Base64::Base64()
{
    std::fill(std::begin(decodeTable_), std::end(decodeTable_), kInvalid);
    for (uint8_t v = 0; v < 64; ++v) {
        encodeTable_[v] = static_cast<uint8_t>(kAlphabet[v]);
        decodeTable_[encodeTable_[v]] = v;
    }
    decodeTable_[static_cast<uint8_t>('=')] = kPad;
}

void Base64::Encode(const uint8_t* in, size_t n, uint8_t* out) const
{
    const uint8_t* enc = encodeTable_;
    size_t i = 0;
    // Two groups from one load of eight bytes while eight remain.
    for (; i + 8 <= n; i += 6) {
        uint64_t w;
        std::memcpy(&w, in + i, 8);
        if constexpr (std::endian::native == std::endian::little)
            w = __builtin_bswap64(w);
        std::memcpy(out, kPairs.chars[(w >> 52) & 4095], 2);
        std::memcpy(out + 2, kPairs.chars[(w >> 40) & 4095], 2);
        std::memcpy(out + 4, kPairs.chars[(w >> 28) & 4095], 2);
        std::memcpy(out + 6, kPairs.chars[(w >> 16) & 4095], 2);
        out += 8;
    }
    for (; i + 3 <= n; i += 3) {
        const uint32_t g = (uint32_t{in[i]} << 16) | (uint32_t{in[i + 1]} << 8) | in[i + 2];
        std::memcpy(out, kPairs.chars[g >> 12], 2);
        std::memcpy(out + 2, kPairs.chars[g & 4095], 2);
        out += 4;
    }
    const size_t rest = n - i;
    if (rest == 1) {
        out[0] = enc[in[i] >> 2];
        out[1] = enc[(in[i] & 3) << 4];
        out[2] = '=';
        out[3] = '=';
    } else if (rest == 2) {
        out[0] = enc[in[i] >> 2];
        out[1] = enc[((in[i] & 3) << 4) | (in[i + 1] >> 4)];
        out[2] = enc[(in[i + 1] & 15) << 2];
        out[3] = '=';
    }
}

bool Base64::Decode(const uint8_t* in, size_t n, uint8_t* out, size_t* written) const
{
    *written = 0;
    if (n % 4 != 0)
        return false;
    if (n == 0)
        return true;
    const uint8_t* dec = decodeTable_;
    const size_t full = n - 4; // the last group alone may carry padding
    uint8_t* o = out;
    for (size_t i = 0; i < full; i += 4) {
        const uint8_t t0 = dec[in[i]], t1 = dec[in[i + 1]], t2 = dec[in[i + 2]], t3 = dec[in[i + 3]];
        // Padding and strangers both sit above 63.
        if ((t0 | t1 | t2 | t3) > 63)
            return false;
        const uint32_t g = (uint32_t{t0} << 18) | (uint32_t{t1} << 12) | (uint32_t{t2} << 6) | t3;
        o[0] = static_cast<uint8_t>(g >> 16);
        o[1] = static_cast<uint8_t>(g >> 8);
        o[2] = static_cast<uint8_t>(g);
        o += 3;
    }
    const uint8_t t0 = dec[in[full]], t1 = dec[in[full + 1]], t2 = dec[in[full + 2]], t3 = dec[in[full + 3]];
    if (t0 > 63 || t1 > 63)
        return false;
    *o++ = static_cast<uint8_t>((t0 << 2) | (t1 >> 4));
    if (t2 == kPad) {
        if (t3 != kPad)
            return false;
    } else if (t2 > 63) {
        return false;
    } else {
        *o++ = static_cast<uint8_t>(((t1 << 4) & 255) | (t2 >> 2));
        if (t3 != kPad) {
            if (t3 > 63)
                return false;
            *o++ = static_cast<uint8_t>(((t2 << 6) & 255) | t3);
        }
    }
    *written = static_cast<size_t>(o - out);
    return true;
}

// The results are built aside and swapped in, so in and out may be one array.

void Base64::DecodeB64(const Bytes& in, Bytes& out) const
{
    Bytes result;
    bool valid = in.size() % 4 == 0;
    if (valid) {
        result.reserve(in.size() / 4 * 3);
        constexpr size_t kChunk = kBlock / 3 * 4;
        uint8_t block[kBlock];
        for (size_t i = 0; valid && i < in.size(); i += kChunk) {
            const size_t n = std::min(kChunk, in.size() - i);
            size_t written = 0;
            valid = Decode(in.data() + i, n, block, &written);
            // Padding is allowed in the last group of the whole text only.
            if (valid && i + n < in.size() && written != n / 4 * 3)
                valid = false;
            result.insert(result.end(), block, block + written);
        }
    }
    if (!valid) {
        out.clear();
        vb::Raise(vb::kErrInvalidCall, "Invalid base64 data");
    }
    out.swap(result);
}

void Base64::EncodeB64(const Bytes& in, Bytes& out) const
{
    Bytes result;
    result.reserve(EncodedLength(in.size()));
    // Whole groups in every block but the last, which alone may be padded.
    constexpr size_t kChunk = kBlock / 4 * 3;
    uint8_t block[kBlock];
    for (size_t i = 0; i < in.size(); i += kChunk) {
        const size_t n = std::min(kChunk, in.size() - i);
        Encode(in.data() + i, n, block);
        result.insert(result.end(), block, block + EncodedLength(n));
    }
    out.swap(result);
}

void Base64::Span(long lineLength, const Bytes& in, Bytes& out) const
{
    if (lineLength < 1)
        vb::Raise(vb::kErrInvalidCall);
    const size_t len = static_cast<size_t>(lineLength);
    const size_t lines = in.size() / len;
    static constexpr uint8_t kCrLf[] = {'\r', '\n'};
    Bytes result;
    result.reserve(in.size() + 2 * lines);
    const uint8_t* p = in.data();
    if (len + 2 > kBlock) {
        for (size_t l = 0; l < lines; ++l, p += len) {
            result.insert(result.end(), p, p + len);
            result.insert(result.end(), kCrLf, kCrLf + 2);
        }
    } else {
        // Lines gathered in a block with their CR LF, appended a block at a time.
        uint8_t block[kBlock];
        size_t used = 0;
        for (size_t l = 0; l < lines; ++l, p += len) {
            if (used + len + 2 > kBlock) {
                result.insert(result.end(), block, block + used);
                used = 0;
            }
            std::memcpy(block + used, p, len);
            block[used + len] = '\r';
            block[used + len + 1] = '\n';
            used += len + 2;
        }
        result.insert(result.end(), block, block + used);
    }
    // A shorter last line gets no CR LF.
    result.insert(result.end(), in.begin() + static_cast<ptrdiff_t>(lines * len), in.end());
    out.swap(result);
}

void Base64::EncodeB64Lines(long lineLength, const Bytes& in, Bytes& out) const
{
    if (lineLength < 1)
        vb::Raise(vb::kErrInvalidCall);
    const size_t len = static_cast<size_t>(lineLength);
    const size_t encoded = EncodedLength(in.size());
    Bytes result;
    result.reserve(encoded + 2 * (encoded / len));
    // A block of text is encoded, then copied out line piece by line piece
    // into a second block with the CR LF pairs.
    constexpr size_t kChunk = kBlock / 4 * 3;
    uint8_t text[kBlock];
    uint8_t lines[2 * kBlock];
    size_t column = 0;
    for (size_t i = 0; i < in.size(); i += kChunk) {
        const size_t n = std::min(kChunk, in.size() - i);
        Encode(in.data() + i, n, text);
        const size_t produced = EncodedLength(n);
        size_t used = 0;
        for (size_t at = 0; at < produced;) {
            const size_t take = std::min(len - column, produced - at);
            if (used + take + 2 > sizeof lines) {
                result.insert(result.end(), lines, lines + used);
                used = 0;
            }
            // take is at most a text block, so it always fits once flushed.
            std::memcpy(lines + used, text + at, take);
            used += take;
            at += take;
            column += take;
            if (column == len) {
                lines[used++] = '\r';
                lines[used++] = '\n';
                column = 0;
            }
        }
        result.insert(result.end(), lines, lines + used);
    }
    out.swap(result);
}

void Base64::AppendMimeLines(std::istream& in, size_t expectedSize, std::string& out,
                             const std::function<void()>& afterBlock) const
{
    static_assert(kStreamBlock % kLineBytes == 0, "a block holds whole lines");
    // Whole lines to a block, so every block's text starts a line and only
    // the file's last block can end in a short one. The line encoder may
    // read a little past the block's end: that much more is held, zeroed.
    const auto block = std::make_unique_for_overwrite<uint8_t[]>(kStreamBlock + kLineOverread);
    std::memset(block.get() + kStreamBlock, 0, kLineOverread);
    const size_t start = out.size();
    // A little more than the text, for what the caller adds after it.
    if (expectedSize > 0)
        out.reserve(start + MimeLinesLength(expectedSize) + kFollowingRoom);
    for (;;) {
        in.read(reinterpret_cast<char*>(block.get()), static_cast<std::streamsize>(kStreamBlock));
        if (in.bad()) {
            out.resize(start);
            vb::Raise(vb::kErrDeviceIO);
        }
        // Short only at the end of the file.
        const auto n = static_cast<size_t>(in.gcount());
        // Encoded straight into out's room: no copy of the text on the way.
        const size_t at = out.size();
        out.resize(at + MimeLinesLength(n));
        auto* t = reinterpret_cast<uint8_t*>(out.data() + at);
        const size_t lines = n / kLineBytes;
        EncodeLines(block.get(), lines, t);
        t += lines * (kMimeLine + 2);
        if (const size_t rest = n - lines * kLineBytes; rest > 0) {
            Encode(block.get() + lines * kLineBytes, rest, t);
            // A padded last line of full length ends in CR LF too.
            if (EncodedLength(rest) == kMimeLine) {
                t[kMimeLine] = '\r';
                t[kMimeLine + 1] = '\n';
            }
        }
        if (afterBlock)
            afterBlock();
        if (n < kStreamBlock)
            return;
    }
}

void Base64::Str2ByteArray(std::string_view text, Bytes& out) const
{
    out.assign(text.begin(), text.end());
}

void Base64::Unspan(const Bytes& in, Bytes& out) const
{
    Bytes result;
    result.reserve(in.size());
    const uint8_t* p = in.data();
    const uint8_t* const end = p + in.size();
    // Runs between CR LF pairs are copied whole; a CR without its LF stays.
    while (p < end) {
        const auto* cr = static_cast<const uint8_t*>(std::memchr(p, '\r', static_cast<size_t>(end - p)));
        if (!cr) {
            result.insert(result.end(), p, end);
            break;
        }
        const bool pair = cr + 1 < end && cr[1] == '\n';
        result.insert(result.end(), p, pair ? cr : cr + 1);
        p = pair ? cr + 2 : cr + 1;
    }
    out.swap(result);
}
