#pragma once
// Helpers of the sound tests: a WAVE writer, tones of a given length, and
// the recording output installed in the process's sound service for the
// life of a test.

#include "platform/audio/SoundService.h"
#include "platform/testing/RiffWriter.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace audio::testing {

using Bytes = std::vector<std::uint8_t>;

using tv::testing::AppendChunk;
using tv::testing::AppendLe16;
using tv::testing::AppendLe32;

struct WaveSpec {
    WaveSpec(std::uint16_t tag = 1, unsigned channels = 1, std::uint32_t sampleRate = 8000, unsigned bits = 16,
             unsigned blockAlign = 0, Bytes extra = {}, bool extensible = false)
        : tag(tag), channels(channels), sampleRate(sampleRate), bits(bits), blockAlign(blockAlign),
          extra(std::move(extra)), extensible(extensible)
    {
    }
    std::uint16_t tag;
    unsigned channels;
    std::uint32_t sampleRate;
    unsigned bits;
    unsigned blockAlign;  // 0: channels * bytes per sample
    Bytes extra;          // bytes after cbSize
    bool extensible;      // wrap the tag in WAVE_FORMAT_EXTENSIBLE
};

inline Bytes FormatChunk(const WaveSpec& spec)
{
    const unsigned align = spec.blockAlign ? spec.blockAlign : spec.channels * ((spec.bits + 7) / 8);
    Bytes fmt;
    AppendLe16(fmt, spec.extensible ? 0xFFFE : spec.tag);
    AppendLe16(fmt, spec.channels);
    AppendLe32(fmt, spec.sampleRate);
    AppendLe32(fmt, spec.sampleRate * align);
    AppendLe16(fmt, align);
    AppendLe16(fmt, spec.bits);
    if (spec.extensible) {
        AppendLe16(fmt, 22);
        AppendLe16(fmt, spec.bits);
        AppendLe32(fmt, spec.channels == 2 ? 3 : 4);
        AppendLe16(fmt, spec.tag);
        const Bytes tail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        fmt.insert(fmt.end(), tail.begin(), tail.end());
    } else if (spec.tag != 1 || !spec.extra.empty()) {
        AppendLe16(fmt, unsigned(spec.extra.size()));
        fmt.insert(fmt.end(), spec.extra.begin(), spec.extra.end());
    }
    return fmt;
}

inline Bytes MakeWave(const WaveSpec& spec, const Bytes& data)
{
    Bytes chunks;
    AppendChunk(chunks, "fmt ", FormatChunk(spec));
    AppendChunk(chunks, "data", data);
    return tv::testing::MakeRiff("WAVE", chunks);
}

inline Bytes Pcm16Wave(unsigned channels, std::uint32_t rate, const std::vector<std::int16_t>& samples)
{
    Bytes data;
    for (std::int16_t s : samples)
        AppendLe16(data, std::uint16_t(s));
    return MakeWave({1, channels, rate, 16, 0, {}, false}, data);
}

// A mono 16-bit tone of the given length at 8000 Hz; `pitch` tells sounds apart.
inline Bytes ToneWave(unsigned milliseconds, double pitch = 440.0)
{
    const unsigned frames = milliseconds * 8;
    std::vector<std::int16_t> samples(frames);
    for (unsigned i = 0; i < frames; ++i)
        samples[i] = std::int16_t(12000 * std::sin(6.283185307179586 * pitch * i / 8000.0));
    return Pcm16Wave(1, 8000, samples);
}

// Installs a fresh recorder as the service's output; the null backend
// comes back afterwards, so no later test waits on a device.
class RecordingOutput {
public:
    RecordingOutput() : recorder_(std::make_shared<RecordingBackend>())
    {
        SoundOutput out;
        out.kind = SoundOutput::Kind::Recording;
        out.recorder = recorder_;
        SoundService::Get().SetOutput(out);
    }
    ~RecordingOutput()
    {
        SoundOutput out;
        out.kind = SoundOutput::Kind::Null;
        SoundService::Get().SetOutput(out);
    }
    RecordingOutput(const RecordingOutput&) = delete;
    RecordingOutput& operator=(const RecordingOutput&) = delete;

    RecordingBackend& operator*() const { return *recorder_; }
    RecordingBackend* operator->() const { return recorder_.get(); }

private:
    std::shared_ptr<RecordingBackend> recorder_;
};

} // namespace audio::testing
