#pragma once
// zlib as the media objects use it: compress at the default level, and
// uncompress to exactly the size the stored data announced.

#include "platform/mfc/WinTypes.h"

#include <vector>

namespace media {

// The most bytes one stored or downloaded stream may unpack to. Deflate
// cannot expand data more than about 1032 times, so a larger announcement
// for the packed bytes at hand is refused as well, before any allocation.
inline constexpr DWORD kMaxUnpackedSize = 256u << 20;

// False when zlib fails (out of memory).
bool CompressBytes(const BYTE* data, std::size_t size, std::vector<BYTE>& out);

// True only for a complete zlib stream that yields exactly `expected` bytes.
bool UncompressExact(const BYTE* data, std::size_t size, std::size_t expected, std::vector<BYTE>& out);

} // namespace media
