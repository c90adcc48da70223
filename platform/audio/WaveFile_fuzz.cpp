// Feeds arbitrary bytes to the WAVE reader: as a whole file, and, so that
// every decoder is reached quickly, as the sample data behind a format
// chunk taken from the first bytes (tag, channels, rate, block size, bits,
// and the extra bytes of the ADPCM and extensible formats).

#include "platform/audio/WaveFile.h"

#include <vector>

namespace {

void put16(std::vector<std::uint8_t>& b, unsigned v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

void put32(std::vector<std::uint8_t>& b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

void chunk(std::vector<std::uint8_t>& b, const char* id, const std::uint8_t* data, std::size_t size)
{
    b.insert(b.end(), id, id + 4);
    put32(b, std::uint32_t(size));
    b.insert(b.end(), data, data + size);
    if (size % 2)
        b.push_back(0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    audio::PcmSound sound;
    audio::DecodeWave(riff::Bytes(data, size), sound);

    // Mode: the first byte picks the tag; the next give the format fields
    // and how many bytes of extra format data follow.
    if (size < 8)
        return 0;
    static const std::uint16_t kTags[] = {0x0001, 0x0002, 0x0003, 0x0006, 0x0007, 0x0011, 0xFFFE, 0x0055};
    const std::uint16_t tag = kTags[data[0] % 8];
    const unsigned channels = 1 + data[1] % 3;
    const unsigned bits = data[2] % 40;
    const unsigned blockAlign = unsigned(data[3]) | (unsigned(data[4] & 0x07) << 8);
    const std::size_t extra = std::min<std::size_t>(data[5] % 64, size - 8);
    std::vector<std::uint8_t> fmt;
    put16(fmt, tag);
    put16(fmt, channels);
    put32(fmt, 8000u + 1000u * data[6]);
    put32(fmt, 0);
    put16(fmt, blockAlign);
    put16(fmt, bits);
    put16(fmt, unsigned(extra));
    fmt.insert(fmt.end(), data + 8, data + 8 + extra);
    std::vector<std::uint8_t> body = {'W', 'A', 'V', 'E'};
    chunk(body, "fmt ", fmt.data(), fmt.size());
    chunk(body, "data", data + 8 + extra, size - 8 - extra);
    std::vector<std::uint8_t> file = {'R', 'I', 'F', 'F'};
    put32(file, std::uint32_t(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    audio::DecodeWave(file, sound);
    return 0;
}
