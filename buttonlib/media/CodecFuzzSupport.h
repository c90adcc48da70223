#pragma once
// What the codec fuzz targets share. Compressed data cannot be measured
// before its bitmap is made, so a short file may claim any size up to the
// ceiling: the fuzzer would spend its time clearing such blocks rather than
// on the decoders' paths. Two bounds of the targets' own keep it off them:
// bitmaps that refuse pictures above 256 KiB the way every bitmap refuses
// sizes it cannot have, and a metafile whose header asks for a larger
// canvas than the decoder should draw on made to ask for less.

#include "buttonlib/media/CDIBSectionBitmap.h"
#include "buttonlib/media/CGlobalDIB.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace codec::fuzzing {

template <class Base>
class Small : public Base {
public:
    void Create(LONG width, LONG height, WORD bpp, bool alpha) override
    {
        if (width > 0 && height > 0 && Base::RowBytes(width, bpp) > (std::size_t(256) << 10) / std::size_t(height))
            throw CTextException(kErrNoMemory, "Can't create bitmap.");
        Base::Create(width, height, bpp, alpha);
    }
};

// The decoders' own kinds of bitmap: rows in one block, and rows in a DIB
// section (what the picture's loaders decode into).
using SmallBitmap = Small<CGlobalDIB>;
using SmallSectionBitmap = Small<CDIBSectionBitmap>;

// The largest canvas a metafile is let ask for: in pixels, and on a side
// (what is drawn on it takes memory by the row too).
inline constexpr long long kMaxCanvasPixels = 1LL << 18;
inline constexpr long long kMaxCanvasSide = 2048;

namespace detail {

inline std::int32_t get32(const std::vector<BYTE>& b, std::size_t at)
{
    return std::int32_t(std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
                        std::uint32_t(b[at + 3]) << 24);
}

inline void put32(std::vector<BYTE>& b, std::size_t at, std::int32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = BYTE(std::uint32_t(v) >> (8 * i));
}

inline std::int16_t get16(const std::vector<BYTE>& b, std::size_t at)
{
    return std::int16_t(b[at] | b[at + 1] << 8);
}

inline void put16(std::vector<BYTE>& b, std::size_t at, std::int16_t v)
{
    b[at] = BYTE(std::uint16_t(v));
    b[at + 1] = BYTE(std::uint16_t(v) >> 8);
}

// One side of the canvas as the decoder works it out: extent * perUnit /
// divisor, or its default when that is not positive.
inline long long side(long long extent, long long perUnit, long long divisor, long long fallback)
{
    const __int128 v = divisor > 0 ? static_cast<__int128>(extent) * perUnit / divisor : 0;
    if (v <= 0)
        return fallback;
    return v > (__int128(1) << 31) ? (1LL << 31) : static_cast<long long>(v);
}

// Halves the extent of the larger side (from its first to its second field)
// until the canvas is small enough; the picture's records stay as they are.
template <class Get, class Put, class Size>
void shrink(std::size_t xFirst, std::size_t yFirst, std::size_t step, Get get, Put put, Size size)
{
    for (int round = 0; round < 128; ++round) {
        const auto [w, h] = size();
        if (w * h <= kMaxCanvasPixels && w <= kMaxCanvasSide && h <= kMaxCanvasSide)
            return;
        const std::size_t first = w >= h ? xFirst : yFirst;
        const long long a = get(first), b = get(first + step);
        put(first + step, a + (b - a) / 2);
    }
}

} // namespace detail

// The name a file of these bytes would have where only the name tells a
// metafile from the rest: an enhanced metafile's, a Windows metafile's
// (with or without the placeable header), or any other picture's.
inline const char* NaturalFileName(const std::vector<BYTE>& bytes)
{
    using detail::get16;
    using detail::get32;
    if (bytes.size() >= 88 && get32(bytes, 0) == 1 && std::uint32_t(get32(bytes, 40)) == 0x464D4520u)
        return "picture.emf";
    if (bytes.size() >= 4 && std::uint32_t(get32(bytes, 0)) == 0x9AC6CDD7u)
        return "picture.wmf";
    if (bytes.size() >= 18 && (get16(bytes, 0) == 1 || get16(bytes, 0) == 2) && get16(bytes, 2) == 9)
        return "picture.wmf";
    return "picture.img";
}

// Bytes that start as an enhanced metafile or a Windows metafile with the
// placeable header, asking for a canvas beyond those bounds, are changed to
// ask for one within them: the frame (or the placeable box) is cut
// down, the rest of the picture kept. Any other bytes are left alone.
inline void BoundMetafileCanvas(std::vector<BYTE>& bytes)
{
    using namespace detail;
    if (bytes.size() >= 88 && get32(bytes, 0) == 1 && std::uint32_t(get32(bytes, 40)) == 0x464D4520u) {
        // rclFrame at 24 (left, top, right, bottom), szlDevice at 72, szlMillimeters at 80.
        const auto size = [&] {
            return std::pair{side(static_cast<long long>(get32(bytes, 32)) - get32(bytes, 24), get32(bytes, 72),
                                  static_cast<long long>(get32(bytes, 80)) * 100, 320),
                             side(static_cast<long long>(get32(bytes, 36)) - get32(bytes, 28), get32(bytes, 76),
                                  static_cast<long long>(get32(bytes, 84)) * 100, 200)};
        };
        shrink(24, 28, 8, [&](std::size_t at) { return static_cast<long long>(get32(bytes, at)); },
               [&](std::size_t at, long long v) { put32(bytes, at, std::int32_t(v)); }, size);
        return;
    }
    if (bytes.size() >= 22 && std::uint32_t(get32(bytes, 0)) == 0x9AC6CDD7u) {
        // The box at 6 (left, top, right, bottom) in units of which 14 holds
        // one inch; the screen has 96 pixels an inch. A checksum that held
        // before the change holds after it.
        const auto checksum = [&] {
            std::uint16_t sum = 0;
            for (std::size_t at = 0; at < 20; at += 2)
                sum ^= std::uint16_t(get16(bytes, at));
            return sum;
        };
        const bool summed = checksum() == std::uint16_t(get16(bytes, 20));
        const long long inch = std::uint16_t(get16(bytes, 14));
        const auto size = [&] {
            return std::pair{side(static_cast<long long>(get16(bytes, 10)) - get16(bytes, 6), 96, inch, 320),
                             side(static_cast<long long>(get16(bytes, 12)) - get16(bytes, 8), 96, inch, 200)};
        };
        shrink(6, 8, 4, [&](std::size_t at) { return static_cast<long long>(get16(bytes, at)); },
               [&](std::size_t at, long long v) { put16(bytes, at, std::int16_t(v)); }, size);
        if (summed)
            put16(bytes, 20, std::int16_t(checksum()));
    }
}

} // namespace codec::fuzzing
