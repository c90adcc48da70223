#include "platform/audio/WaveFile.h"

#include "platform/audio/WaveCodecs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace audio {

namespace {

// The fixed tail of the sub-format GUIDs that carry a format tag in their
// first two bytes (KSDATAFORMAT_SUBTYPE_PCM and its kin).
constexpr std::array<std::uint8_t, 14> kSubFormatTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                         0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

struct Format {
    std::uint16_t tag = 0;
    unsigned channels = 0;
    unsigned sampleRate = 0;
    unsigned blockAlign = 0;
    unsigned bits = 0;
    riff::Bytes extra;
};

WaveResult readFormat(riff::Bytes chunk, Format& f)
{
    riff::FieldReader r(chunk);
    f.tag = r.U16();
    f.channels = r.U16();
    f.sampleRate = r.U32();
    r.U32();  // average bytes per second: nothing depends on it
    f.blockAlign = r.U16();
    f.bits = r.U16();
    if (r.Failed())
        return WaveResult::BadFormat;
    if (r.Remaining() >= 2) {
        const std::size_t extraSize = std::min<std::size_t>(r.U16(), r.Remaining());
        f.extra = chunk.subspan(r.Position(), extraSize);
    }
    if (f.channels == 0 || f.channels > kMaxChannels || f.sampleRate == 0 || f.sampleRate > kMaxSampleRate)
        return WaveResult::BadFormat;
    if (f.tag != WAVE_FORMAT_EXTENSIBLE)
        return WaveResult::Ok;
    // The real encoding is named by the sub-format GUID after the valid
    // bits (WORD) and the channel mask (DWORD).
    if (f.extra.size() < 22)
        return WaveResult::BadFormat;
    const std::uint8_t* guid = f.extra.data() + 6;
    if (std::memcmp(guid + 2, kSubFormatTail.data(), kSubFormatTail.size()) != 0)
        return WaveResult::Unsupported;
    f.tag = riff::Le16(guid);
    if (f.tag != WAVE_FORMAT_PCM && f.tag != WAVE_FORMAT_IEEE_FLOAT && f.tag != WAVE_FORMAT_ALAW &&
        f.tag != WAVE_FORMAT_MULAW)
        return WaveResult::Unsupported;
    return WaveResult::Ok;
}

// Fixed-size samples, one after the other; an incomplete last frame is dropped.
template <class Convert>
void decodeFixed(riff::Bytes data, unsigned channels, unsigned bytesPerSample, std::vector<std::int16_t>& out,
                 Convert convert)
{
    const std::size_t frameBytes = std::size_t(channels) * bytesPerSample;
    const std::size_t count = data.size() / frameBytes * channels;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(convert(data.data() + i * bytesPerSample));
}

std::int16_t fromFloat(const std::uint8_t* p)
{
    const std::uint32_t bits = riff::Le32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    if (std::isnan(f))
        return 0;
    const float scaled = std::clamp(f * 32768.0f, -32768.0f, 32767.0f);
    return std::int16_t(std::lrint(scaled));
}

WaveResult decodePcm(const Format& f, riff::Bytes data, std::vector<std::int16_t>& out)
{
    switch (f.bits) {
    case 8:
        decodeFixed(data, f.channels, 1, out, [](const std::uint8_t* p) { return std::int16_t((p[0] - 128) * 256); });
        return WaveResult::Ok;
    case 16:
        decodeFixed(data, f.channels, 2, out, [](const std::uint8_t* p) { return std::int16_t(riff::Le16(p)); });
        return WaveResult::Ok;
    case 24:
        decodeFixed(data, f.channels, 3, out, [](const std::uint8_t* p) { return std::int16_t(p[1] | (p[2] << 8)); });
        return WaveResult::Ok;
    case 32:
        decodeFixed(data, f.channels, 4, out, [](const std::uint8_t* p) { return std::int16_t(riff::Le16(p + 2)); });
        return WaveResult::Ok;
    case 0:
        return WaveResult::BadFormat;
    default:
        return WaveResult::Unsupported;
    }
}

WaveResult decodeMsAdpcm(const Format& f, riff::Bytes data, std::vector<std::int16_t>& out)
{
    // Samples per block (WORD), the number of coefficient pairs (WORD), the pairs.
    riff::FieldReader r(f.extra);
    r.U16();
    const unsigned count = r.U16();
    if (r.Failed() || count == 0 || r.Remaining() < std::size_t(count) * 4)
        return WaveResult::BadFormat;
    std::vector<codecs::AdpcmCoefficients> coefficients(count);
    for (auto& c : coefficients) {
        c.c1 = std::int16_t(r.U16());
        c.c2 = std::int16_t(r.U16());
    }
    codecs::DecodeMsAdpcm(data, f.channels, f.blockAlign, coefficients, out);
    return WaveResult::Ok;
}

WaveResult decodeSamples(const Format& f, riff::Bytes data, std::vector<std::int16_t>& out)
{
    switch (f.tag) {
    case WAVE_FORMAT_PCM:
        return decodePcm(f, data, out);
    case WAVE_FORMAT_IEEE_FLOAT:
        if (f.bits != 32)
            return WaveResult::Unsupported;
        decodeFixed(data, f.channels, 4, out, fromFloat);
        return WaveResult::Ok;
    case WAVE_FORMAT_ALAW:
    case WAVE_FORMAT_MULAW:
        if (f.bits != 8)
            return WaveResult::Unsupported;
        if (f.tag == WAVE_FORMAT_ALAW)
            decodeFixed(data, f.channels, 1, out, [](const std::uint8_t* p) { return codecs::AlawToLinear(*p); });
        else
            decodeFixed(data, f.channels, 1, out, [](const std::uint8_t* p) { return codecs::MulawToLinear(*p); });
        return WaveResult::Ok;
    case WAVE_FORMAT_IMA_ADPCM:
        if (f.bits != 4)
            return WaveResult::Unsupported;
        // A block holds the channel headers and whole runs of 4 bytes each.
        if (f.blockAlign <= 4 * f.channels || f.blockAlign % (4 * f.channels) != 0)
            return WaveResult::BadFormat;
        codecs::DecodeImaAdpcm(data, f.channels, f.blockAlign, out);
        return WaveResult::Ok;
    case WAVE_FORMAT_ADPCM:
        if (f.bits != 4)
            return WaveResult::Unsupported;
        if (f.blockAlign <= 7 * f.channels)
            return WaveResult::BadFormat;
        return decodeMsAdpcm(f, data, out);
    default:
        return WaveResult::Unsupported;
    }
}

} // namespace

WaveResult DecodeWave(riff::Bytes file, PcmSound& out)
{
    out = PcmSound{};
    riff::Bytes body;
    if (!riff::OpenForm(file, "WAVE", body))
        return WaveResult::NotWave;
    riff::ChunkReader chunks(body);
    riff::Chunk chunk, fmt, data;
    bool haveFormat = false, haveData = false;
    while (chunks.Next(chunk)) {
        if (chunk.id == "fmt " && !haveFormat) {
            fmt = chunk;
            haveFormat = true;
        } else if (chunk.id == "data" && !haveData) {
            data = chunk;
            haveData = true;
        }
    }
    if (!haveFormat || !haveData)
        return WaveResult::NotWave;

    Format f;
    if (const WaveResult r = readFormat(fmt.data, f); r != WaveResult::Ok)
        return r;
    std::vector<std::int16_t> samples;
    if (const WaveResult r = decodeSamples(f, data.data, samples); r != WaveResult::Ok)
        return r;
    out.channels = f.channels;
    out.sampleRate = f.sampleRate;
    out.samples = std::move(samples);
    return WaveResult::Ok;
}

} // namespace audio
