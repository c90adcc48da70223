#include "buttonlib/media/Compression.h"

#include <climits>
#include <new>
#include <zlib.h>

namespace media {

bool CompressBytes(const BYTE* data, std::size_t size, std::vector<BYTE>& out)
{
    if (size > ULONG_MAX)
        return false;
    try {
        out.resize(compressBound(uLong(size)));
    } catch (const std::bad_alloc&) {
        return false;
    }
    uLongf packed = uLongf(out.size());
    static const Bytef empty = 0;
    if (compress(out.data(), &packed, size ? data : &empty, uLong(size)) != Z_OK)
        return false;
    out.resize(packed);
    return true;
}

bool UncompressExact(const BYTE* data, std::size_t size, std::size_t expected, std::vector<BYTE>& out)
{
    if (expected > kMaxUnpackedSize)
        return false;
    if (expected > static_cast<unsigned long long>(size) * 1040 + 64)
        return false;
    if (size > UINT_MAX)
        return false;
    try {
        // One spare byte: a stream that yields more than announced fills it.
        out.assign(expected + 1, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return false;
    static const Bytef empty = 0;
    zs.next_in = const_cast<Bytef*>(size ? data : &empty);
    zs.avail_in = uInt(size);
    zs.next_out = out.data();
    zs.avail_out = uInt(out.size());
    const int result = inflate(&zs, Z_FINISH);
    const uLong produced = zs.total_out;
    inflateEnd(&zs);
    if (result != Z_STREAM_END || produced != expected)
        return false;
    out.resize(expected);
    return true;
}

} // namespace media
