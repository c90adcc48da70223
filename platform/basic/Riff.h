#pragma once
// Little-endian fields and RIFF chunks read from bytes held in memory. Every
// read is bounded by the bytes given: a chunk that claims more than is there
// is cut to what is there and marked, so a reader decides whether a short
// chunk is still of use (a truncated sound) or a failure.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace riff {

using Bytes = std::span<const std::uint8_t>;

inline std::uint16_t Le16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}
inline std::uint32_t Le32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// Fields taken one after the other; a read past the end gives 0 and sets
// the failed flag, which stays set.
class FieldReader {
public:
    explicit FieldReader(Bytes bytes) : bytes_(bytes) {}

    std::uint8_t U8();
    std::uint16_t U16();
    std::uint32_t U32();
    void Skip(std::size_t n);
    bool Failed() const { return failed_; }
    std::size_t Position() const { return at_; }
    std::size_t Remaining() const { return bytes_.size() - at_; }

private:
    bool take(std::size_t n);

    Bytes bytes_;
    std::size_t at_ = 0;
    bool failed_ = false;
};

struct Chunk {
    std::string_view id;  // four characters
    Bytes data;           // bounded by the bytes held
    bool truncated = false;  // the chunk claimed more bytes than were there
};

// The chunks of a chunk list, in order. Chunks are padded to an even size.
class ChunkReader {
public:
    explicit ChunkReader(Bytes list) : list_(list) {}

    // False at the end of the list, or when not even a chunk header is left.
    bool Next(Chunk& chunk);

private:
    Bytes list_;
    std::size_t at_ = 0;
};

// The body of a RIFF file ("RIFF", size, form type) of the given form type:
// the chunk list after the form type, bounded by both the stated size and
// the bytes held. False when the bytes are not such a file.
bool OpenForm(Bytes file, std::string_view formType, Bytes& body);

// The chunk list of a LIST chunk of the given list type; false when the
// chunk is not one.
bool OpenList(const Chunk& chunk, std::string_view listType, Bytes& body);

} // namespace riff
