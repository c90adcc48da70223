#include "program/reports/Base64.h"

#include "platform/basic/RuntimeError.h"

#include <algorithm>

Base64::Base64()
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
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
    for (; i + 3 <= n; i += 3) {
        const uint32_t g = (uint32_t{in[i]} << 16) | (uint32_t{in[i + 1]} << 8) | in[i + 2];
        out[0] = enc[g >> 18];
        out[1] = enc[(g >> 12) & 63];
        out[2] = enc[(g >> 6) & 63];
        out[3] = enc[g & 63];
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
    Bytes result(in.size() / 4 * 3);
    size_t written = 0;
    if (!Decode(in.data(), in.size(), result.data(), &written)) {
        out.clear();
        vb::Raise(vb::kErrInvalidCall, "Invalid base64 data");
    }
    result.resize(written);
    out.swap(result);
}

void Base64::EncodeB64(const Bytes& in, Bytes& out) const
{
    Bytes result(EncodedLength(in.size()));
    Encode(in.data(), in.size(), result.data());
    out.swap(result);
}

void Base64::Span(long lineLength, const Bytes& in, Bytes& out) const
{
    if (lineLength < 1)
        vb::Raise(vb::kErrInvalidCall);
    const size_t len = static_cast<size_t>(lineLength);
    Bytes result;
    result.reserve(in.size() + 2 * (in.size() / len));
    for (size_t i = 0; i < in.size(); i += len) {
        const size_t take = std::min(len, in.size() - i);
        result.insert(result.end(), in.begin() + static_cast<ptrdiff_t>(i), in.begin() + static_cast<ptrdiff_t>(i + take));
        if (take == len) {
            result.push_back('\r');
            result.push_back('\n');
        }
    }
    out.swap(result);
}

void Base64::Str2ByteArray(std::string_view text, Bytes& out) const
{
    out.assign(text.begin(), text.end());
}

void Base64::Unspan(const Bytes& in, Bytes& out) const
{
    Bytes result;
    result.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '\r' && i + 1 < in.size() && in[i + 1] == '\n') {
            ++i;
            continue;
        }
        result.push_back(in[i]);
    }
    out.swap(result);
}
