#include "platform/basic/Riff.h"

#include <algorithm>

namespace riff {

namespace {

std::string_view idAt(Bytes bytes, std::size_t at)
{
    return {reinterpret_cast<const char*>(bytes.data() + at), 4};
}

} // namespace

bool FieldReader::take(std::size_t n)
{
    if (failed_ || n > Remaining()) {
        failed_ = true;
        return false;
    }
    return true;
}

std::uint8_t FieldReader::U8()
{
    if (!take(1))
        return 0;
    return bytes_[at_++];
}

std::uint16_t FieldReader::U16()
{
    if (!take(2))
        return 0;
    const std::uint16_t v = Le16(bytes_.data() + at_);
    at_ += 2;
    return v;
}

std::uint32_t FieldReader::U32()
{
    if (!take(4))
        return 0;
    const std::uint32_t v = Le32(bytes_.data() + at_);
    at_ += 4;
    return v;
}

void FieldReader::Skip(std::size_t n)
{
    if (take(n))
        at_ += n;
}

bool ChunkReader::Next(Chunk& chunk)
{
    if (list_.size() - at_ < 8)
        return false;
    const std::size_t size = Le32(list_.data() + at_ + 4);
    const std::size_t start = at_ + 8;
    const std::size_t held = std::min(size, list_.size() - start);
    chunk.id = idAt(list_, at_);
    chunk.data = list_.subspan(start, held);
    chunk.truncated = held < size;
    // Odd sizes carry a pad byte; past the end the walk simply stops.
    const std::size_t next = start + held + (size & 1);
    at_ = std::min(next, list_.size());
    return true;
}

bool OpenForm(Bytes file, std::string_view formType, Bytes& body)
{
    if (file.size() < 12 || idAt(file, 0) != "RIFF" || idAt(file, 8) != formType)
        return false;
    const std::size_t size = Le32(file.data() + 4);
    // The stated size counts the form type; the bytes held bound it.
    const std::size_t held = std::min(size, file.size() - 8);
    if (held < 4)
        return false;
    body = file.subspan(12, held - 4);
    return true;
}

bool OpenList(const Chunk& chunk, std::string_view listType, Bytes& body)
{
    if (chunk.id != "LIST" || chunk.data.size() < 4 || idAt(chunk.data, 0) != listType)
        return false;
    body = chunk.data.subspan(4);
    return true;
}

} // namespace riff
