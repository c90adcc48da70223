#pragma once
// The sample decoders of the WAVE reader: G.711 A-law and mu-law, and the
// two 4-bit ADPCM block formats. Each appends interleaved 16-bit samples.

#include "platform/basic/Riff.h"

#include <cstdint>
#include <span>
#include <vector>

namespace audio::codecs {

std::int16_t AlawToLinear(std::uint8_t a);
std::int16_t MulawToLinear(std::uint8_t u);

// IMA ADPCM as WAVE files hold it: per block and channel a 4-byte header
// (first sample, step index), then per channel runs of 4 bytes (8 samples,
// low nibble first). A last block cut short gives the samples it holds.
void DecodeImaAdpcm(riff::Bytes data, unsigned channels, unsigned blockAlign, std::vector<std::int16_t>& out);

struct AdpcmCoefficients {
    std::int16_t c1 = 0;
    std::int16_t c2 = 0;
};

// Microsoft ADPCM: per block a predictor index, a delta and two samples per
// channel, then nibbles (high first) taking the channels in turn. A block
// naming a predictor that is not in the table ends the sound there.
void DecodeMsAdpcm(riff::Bytes data, unsigned channels, unsigned blockAlign,
                   std::span<const AdpcmCoefficients> coefficients, std::vector<std::int16_t>& out);

} // namespace audio::codecs
