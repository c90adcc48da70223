#pragma once
// Reads a RIFF WAVE file held in memory into 16-bit samples for the sound
// service. Encodings: PCM of 8, 16, 24 and 32 bits, 32-bit float, A-law and
// mu-law (plain or wrapped in WAVE_FORMAT_EXTENSIBLE), IMA ADPCM and
// Microsoft ADPCM. Everything else is refused as a missing codec would be.
// Every chunk is bounded by the bytes held; a data chunk cut short plays
// the samples that are there.

#include "platform/basic/Riff.h"

#include <cstdint>
#include <vector>

namespace audio {

inline constexpr std::uint16_t WAVE_FORMAT_PCM = 0x0001;
inline constexpr std::uint16_t WAVE_FORMAT_ADPCM = 0x0002;
inline constexpr std::uint16_t WAVE_FORMAT_IEEE_FLOAT = 0x0003;
inline constexpr std::uint16_t WAVE_FORMAT_ALAW = 0x0006;
inline constexpr std::uint16_t WAVE_FORMAT_MULAW = 0x0007;
inline constexpr std::uint16_t WAVE_FORMAT_IMA_ADPCM = 0x0011;
inline constexpr std::uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

// Limits of what the service agrees to play.
inline constexpr unsigned kMaxChannels = 8;
inline constexpr unsigned kMaxSampleRate = 768000;

// Decoded sound: interleaved signed 16-bit samples.
struct PcmSound {
    unsigned channels = 0;
    unsigned sampleRate = 0;
    std::vector<std::int16_t> samples;

    std::size_t Frames() const { return channels ? samples.size() / channels : 0; }
    // Length in microseconds.
    std::uint64_t DurationUs() const
    {
        return sampleRate ? std::uint64_t(Frames()) * 1000000u / sampleRate : 0;
    }
};

enum class WaveResult {
    Ok,
    NotWave,      // not a RIFF WAVE file, or no "fmt " or "data" chunk
    BadFormat,    // a format chunk that cannot describe a sound
    Unsupported,  // a well-formed encoding we have no decoder for
};

WaveResult DecodeWave(riff::Bytes file, PcmSound& out);

} // namespace audio
