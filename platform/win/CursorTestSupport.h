#pragma once
// A small writer of cursor files for the tests: DIB images at every depth
// with their masks, PNG images, .cur directories, .ani files, and the group
// directories of cursor resources.

#include "platform/testing/RiffWriter.h"

#include <QBuffer>
#include <QImage>
#include <QPoint>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace win::testing {

using Bytes = std::vector<std::uint8_t>;
using tv::testing::AppendChunk;
using tv::testing::AppendLe16;
using tv::testing::AppendLe32;

// The pixels of a test image. `value(x, y)` is a palette index (1 to 8
// bits) or 0xAARRGGBB (24 and 32 bits); `mask(x, y)` is the AND bit.
struct DibPicture {
    int width = 32;
    int height = 32;
    int bitCount = 8;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
    std::uint32_t (*value)(int x, int y) = nullptr;
    bool (*mask)(int x, int y) = nullptr;
    bool withMask = true;
};

inline Bytes MakeDib(const DibPicture& p)
{
    Bytes b;
    AppendLe32(b, 40);
    AppendLe32(b, std::uint32_t(p.width));
    AppendLe32(b, std::uint32_t(p.height * 2));
    AppendLe16(b, 1);
    AppendLe16(b, unsigned(p.bitCount));
    AppendLe32(b, 0);  // BI_RGB
    AppendLe32(b, 0);
    AppendLe32(b, 0);
    AppendLe32(b, 0);
    AppendLe32(b, std::uint32_t(p.palette.size()));
    AppendLe32(b, 0);
    for (std::uint32_t c : p.palette)
        AppendLe32(b, c);
    const std::size_t stride = (std::size_t(p.width) * p.bitCount + 31) / 32 * 4;
    for (int row = p.height - 1; row >= 0; --row) {
        Bytes line(stride, 0);
        for (int x = 0; x < p.width; ++x) {
            const std::uint32_t v = p.value(x, row);
            switch (p.bitCount) {
            case 1: line[x / 8] |= std::uint8_t((v & 1) << (7 - x % 8)); break;
            case 4: line[x / 2] |= std::uint8_t((v & 15) << (x % 2 ? 0 : 4)); break;
            case 8: line[x] = std::uint8_t(v); break;
            case 24:
            case 32:
                for (int k = 0; k < p.bitCount / 8; ++k)
                    line[std::size_t(x) * (p.bitCount / 8) + k] = std::uint8_t(v >> (8 * k));
                break;
            }
        }
        b.insert(b.end(), line.begin(), line.end());
    }
    if (p.withMask) {
        const std::size_t maskStride = (std::size_t(p.width) + 31) / 32 * 4;
        for (int row = p.height - 1; row >= 0; --row) {
            Bytes line(maskStride, 0);
            for (int x = 0; x < p.width; ++x)
                if (p.mask && p.mask(x, row))
                    line[x / 8] |= std::uint8_t(0x80 >> (x % 8));
            b.insert(b.end(), line.begin(), line.end());
        }
    }
    return b;
}

inline Bytes MakePng(const QImage& image)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return Bytes(out.begin(), out.end());
}

struct CurEntry {
    CurEntry(Bytes image, int width = 32, int height = 32, QPoint hotSpot = {})
        : image(std::move(image)), width(width), height(height), hotSpot(hotSpot)
    {
    }
    Bytes image;
    int width;
    int height;
    QPoint hotSpot;
};

// A .cur file (type 2) or .ico file (type 1) holding the entries in order.
inline Bytes MakeCur(const std::vector<CurEntry>& entries, unsigned type = 2)
{
    Bytes b;
    AppendLe16(b, 0);
    AppendLe16(b, type);
    AppendLe16(b, unsigned(entries.size()));
    std::uint32_t offset = std::uint32_t(6 + 16 * entries.size());
    for (const CurEntry& e : entries) {
        b.push_back(std::uint8_t(e.width));
        b.push_back(std::uint8_t(e.height));
        b.push_back(0);
        b.push_back(0);
        AppendLe16(b, unsigned(e.hotSpot.x()));
        AppendLe16(b, unsigned(e.hotSpot.y()));
        AppendLe32(b, std::uint32_t(e.image.size()));
        AppendLe32(b, offset);
        offset += std::uint32_t(e.image.size());
    }
    for (const CurEntry& e : entries)
        b.insert(b.end(), e.image.begin(), e.image.end());
    return b;
}

// An .ani file of the given cursor files; "seq " and "rate" only when given.
inline Bytes MakeAni(const std::vector<Bytes>& frames, std::optional<std::vector<std::uint32_t>> sequence = {},
                     std::optional<std::vector<std::uint32_t>> rates = {}, std::uint32_t displayRate = 10)
{
    Bytes anih;
    AppendLe32(anih, 36);
    AppendLe32(anih, std::uint32_t(frames.size()));
    AppendLe32(anih, std::uint32_t(sequence ? sequence->size() : frames.size()));
    for (int i = 0; i < 4; ++i)
        AppendLe32(anih, 0);
    AppendLe32(anih, displayRate);
    AppendLe32(anih, sequence ? 3 : 1);  // frames are icons; a sequence follows
    Bytes body;
    AppendChunk(body, "anih", anih);
    auto dwords = [](const std::vector<std::uint32_t>& values) {
        Bytes d;
        for (std::uint32_t v : values)
            AppendLe32(d, v);
        return d;
    };
    if (rates)
        AppendChunk(body, "rate", dwords(*rates));
    if (sequence)
        AppendChunk(body, "seq ", dwords(*sequence));
    Bytes list = {'f', 'r', 'a', 'm'};
    for (const Bytes& f : frames)
        AppendChunk(list, "icon", f);
    AppendChunk(body, "LIST", list);
    return tv::testing::MakeRiff("ACON", body);
}

struct GroupEntry {
    int width;
    int height;  // of the image, not doubled
    int bitCount;
    int id;
};

// The directory of a cursor group resource (RT_GROUP_CURSOR).
inline Bytes MakeCursorGroup(const std::vector<GroupEntry>& entries)
{
    Bytes b;
    AppendLe16(b, 0);
    AppendLe16(b, 2);
    AppendLe16(b, unsigned(entries.size()));
    for (const GroupEntry& e : entries) {
        AppendLe16(b, unsigned(e.width));
        AppendLe16(b, unsigned(e.height * 2));
        AppendLe16(b, 1);
        AppendLe16(b, unsigned(e.bitCount));
        AppendLe32(b, 0);
        AppendLe16(b, unsigned(e.id));
    }
    return b;
}

// A cursor image resource (RT_CURSOR): the hot spot, then the image.
inline Bytes MakeCursorResource(QPoint hotSpot, const Bytes& image)
{
    Bytes b;
    AppendLe16(b, unsigned(hotSpot.x()));
    AppendLe16(b, unsigned(hotSpot.y()));
    b.insert(b.end(), image.begin(), image.end());
    return b;
}

} // namespace win::testing
