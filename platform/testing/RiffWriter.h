#pragma once
// Little-endian fields and RIFF chunks for the tests that write sound and
// cursor files of their own.

#include <cstdint>
#include <string>
#include <vector>

namespace tv::testing {

using ByteVector = std::vector<std::uint8_t>;

inline void AppendLe16(ByteVector& b, unsigned v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

inline void AppendLe32(ByteVector& b, std::uint32_t v)
{
    AppendLe16(b, v & 0xFFFF);
    AppendLe16(b, v >> 16);
}

// A chunk: four-character id, size, data, and a pad byte after odd data.
inline void AppendChunk(ByteVector& b, const std::string& id, const ByteVector& data)
{
    b.insert(b.end(), id.begin(), id.end());
    AppendLe32(b, std::uint32_t(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() % 2)
        b.push_back(0);
}

// "RIFF", the size, the form type and the chunks.
inline ByteVector MakeRiff(const std::string& formType, const ByteVector& chunks)
{
    ByteVector file = {'R', 'I', 'F', 'F'};
    AppendLe32(file, std::uint32_t(4 + chunks.size()));
    file.insert(file.end(), formType.begin(), formType.end());
    file.insert(file.end(), chunks.begin(), chunks.end());
    return file;
}

} // namespace tv::testing
