#include "platform/audio/WaveCodecs.h"

#include <algorithm>
#include <array>

namespace audio::codecs {

namespace {

std::int16_t clamp16(int v)
{
    return std::int16_t(std::clamp(v, -32768, 32767));
}

constexpr std::array<int, 16> kImaIndexStep = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

constexpr std::array<int, 89> kImaStep = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

struct ImaState {
    int predictor = 0;
    int index = 0;

    std::int16_t expand(unsigned nibble)
    {
        const int step = kImaStep[std::size_t(index)];
        // (2 * magnitude + 1) * step / 8 in one product, as the common
        // decoders compute it; the sum of shifted steps rounds differently.
        const int diff = ((2 * int(nibble & 7) + 1) * step) >> 3;
        predictor = clamp16((nibble & 8) ? predictor - diff : predictor + diff);
        index = std::clamp(index + kImaIndexStep[nibble & 15], 0, 88);
        return std::int16_t(predictor);
    }
};

constexpr std::array<int, 16> kMsAdaptation = {230, 230, 230, 230, 307, 409, 512, 614,
                                               768, 614, 512, 409, 307, 230, 230, 230};

constexpr int kMaxDelta = 0x7FFFFFFF / 768;

struct MsState {
    int coef1 = 0;
    int coef2 = 0;
    int delta = 0;
    int sample1 = 0;
    int sample2 = 0;

    std::int16_t expand(unsigned nibble)
    {
        const int signedNibble = (nibble & 8) ? int(nibble) - 16 : int(nibble);
        // Two products of 16-bit values may together pass an int.
        const long long predicted = (static_cast<long long>(sample1) * coef1 +
                                     static_cast<long long>(sample2) * coef2) / 256;
        const int sample = clamp16(int(std::clamp<long long>(predicted + signedNibble * delta, -32768, 32767)));
        sample2 = sample1;
        sample1 = sample;
        // Capped so that a hostile run of large nibbles cannot overflow.
        delta = std::clamp((kMsAdaptation[nibble & 15] * delta) >> 8, 16, kMaxDelta);
        return std::int16_t(sample);
    }
};

} // namespace

std::int16_t AlawToLinear(std::uint8_t a)
{
    a ^= 0x55;
    int t = (a & 0x0F) << 4;
    const int segment = (a & 0x70) >> 4;
    if (segment == 0)
        t += 8;
    else
        t = (t + 0x108) << (segment - 1);
    return std::int16_t((a & 0x80) ? t : -t);
}

std::int16_t MulawToLinear(std::uint8_t u)
{
    constexpr int kBias = 0x84;
    u = std::uint8_t(~u);
    int t = ((u & 0x0F) << 3) + kBias;
    t <<= (u & 0x70) >> 4;
    return std::int16_t((u & 0x80) ? kBias - t : t - kBias);
}

void DecodeImaAdpcm(riff::Bytes data, unsigned channels, unsigned blockAlign, std::vector<std::int16_t>& out)
{
    const std::size_t header = 4u * channels;
    const std::size_t group = 4u * channels;
    for (std::size_t at = 0; at < data.size(); at += blockAlign) {
        const riff::Bytes block = data.subspan(at, std::min<std::size_t>(blockAlign, data.size() - at));
        if (block.size() < header)
            break;
        std::vector<ImaState> state(channels);
        for (unsigned c = 0; c < channels; ++c) {
            const std::uint8_t* h = block.data() + 4 * c;
            state[c].predictor = std::int16_t(riff::Le16(h));
            state[c].index = std::min<int>(h[2], 88);
            out.push_back(std::int16_t(state[c].predictor));
        }
        const std::size_t groups = (block.size() - header) / group;
        std::vector<std::int16_t> run(8u * channels);
        for (std::size_t g = 0; g < groups; ++g) {
            const std::uint8_t* p = block.data() + header + g * group;
            for (unsigned c = 0; c < channels; ++c) {
                for (unsigned k = 0; k < 4; ++k) {
                    const std::uint8_t byte = p[4 * c + k];
                    run[(2 * k) * channels + c] = state[c].expand(byte & 0x0F);
                    run[(2 * k + 1) * channels + c] = state[c].expand(byte >> 4);
                }
            }
            out.insert(out.end(), run.begin(), run.end());
        }
    }
}

void DecodeMsAdpcm(riff::Bytes data, unsigned channels, unsigned blockAlign,
                   std::span<const AdpcmCoefficients> coefficients, std::vector<std::int16_t>& out)
{
    const std::size_t header = 7u * channels;
    for (std::size_t at = 0; at < data.size(); at += blockAlign) {
        const riff::Bytes block = data.subspan(at, std::min<std::size_t>(blockAlign, data.size() - at));
        if (block.size() < header)
            break;
        std::vector<MsState> state(channels);
        const std::uint8_t* p = block.data();
        for (unsigned c = 0; c < channels; ++c) {
            if (p[c] >= coefficients.size())
                return;
            state[c].coef1 = coefficients[p[c]].c1;
            state[c].coef2 = coefficients[p[c]].c2;
        }
        p += channels;
        for (unsigned c = 0; c < channels; ++c, p += 2)
            state[c].delta = std::int16_t(riff::Le16(p));
        for (unsigned c = 0; c < channels; ++c, p += 2)
            state[c].sample1 = std::int16_t(riff::Le16(p));
        for (unsigned c = 0; c < channels; ++c, p += 2)
            state[c].sample2 = std::int16_t(riff::Le16(p));
        // The older of the two header samples comes first.
        for (unsigned c = 0; c < channels; ++c)
            out.push_back(std::int16_t(state[c].sample2));
        for (unsigned c = 0; c < channels; ++c)
            out.push_back(std::int16_t(state[c].sample1));
        // Nibbles take the channels in turn; only whole frames are kept.
        const std::size_t nibbles = (block.size() - header) * 2;
        const std::size_t usable = nibbles - nibbles % channels;
        for (std::size_t n = 0; n < usable; ++n) {
            const std::uint8_t byte = block[header + n / 2];
            const unsigned nibble = (n % 2 == 0) ? byte >> 4 : byte & 0x0F;
            out.push_back(state[n % channels].expand(nibble));
        }
    }
}

} // namespace audio::codecs
