#include "platform/win/CursorImage.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace win {

namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::uint32_t kBiRgb = 0;

bool isPng(riff::Bytes b)
{
    return b.size() >= 8 && std::memcmp(b.data(), kPngSignature, 8) == 0;
}

std::uint32_t be32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

bool peekPng(riff::Bytes b, CursorImageInfo& info)
{
    // The signature, then the IHDR chunk: length, "IHDR", width, height.
    if (b.size() < 8 + 8 + 13 || std::memcmp(b.data() + 12, "IHDR", 4) != 0)
        return false;
    const std::uint32_t width = be32(b.data() + 16), height = be32(b.data() + 20);
    if (width == 0 || height == 0 || width > kMaxCursorSide || height > kMaxCursorSide)
        return false;
    info = {int(width), int(height), 32};
    return true;
}

struct DibLayout {
    CursorImageInfo info;
    std::size_t headerSize = 0;
    std::size_t colours = 0;
    std::size_t xorStride = 0;
    std::size_t andStride = 0;
    bool hasMask = false;
};

bool readDib(riff::Bytes b, DibLayout& d)
{
    riff::FieldReader r(b);
    const std::uint32_t headerSize = r.U32();
    const auto width = std::int32_t(r.U32());
    const auto doubledHeight = std::int32_t(r.U32());
    r.U16();  // planes
    const int bitCount = r.U16();
    const std::uint32_t compression = r.U32();
    r.Skip(12);  // image size, resolution
    const std::uint32_t coloursUsed = r.U32();
    if (r.Failed() || headerSize < 40 || headerSize > b.size())
        return false;
    // The height counts the colour rows and the mask rows.
    if (width <= 0 || width > kMaxCursorSide || doubledHeight < 2 || doubledHeight > 2 * kMaxCursorSide)
        return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return false;
    if (compression != kBiRgb || coloursUsed > 256)
        return false;
    d.info = {width, doubledHeight / 2, bitCount};
    d.headerSize = headerSize;
    // A deep image may still carry a table (for display on palette screens).
    d.colours = coloursUsed ? coloursUsed : bitCount <= 8 ? (std::size_t(1) << bitCount) : 0;
    d.xorStride = (std::size_t(width) * bitCount + 31) / 32 * 4;
    d.andStride = (std::size_t(width) + 31) / 32 * 4;
    const std::size_t rows = std::size_t(d.info.height);
    const std::size_t colourEnd = headerSize + d.colours * 4 + d.xorStride * rows;
    if (colourEnd > b.size())
        return false;
    d.hasMask = colourEnd + d.andStride * rows <= b.size();
    // Only an image with alpha can do without its mask.
    return d.hasMask || bitCount == 32;
}

QImage decodeDib(riff::Bytes b, const DibLayout& d)
{
    const int w = d.info.width, h = d.info.height;
    const std::uint8_t* table = b.data() + d.headerSize;
    const std::uint8_t* colourBits = table + d.colours * 4;
    const std::uint8_t* maskBits = colourBits + d.xorStride * std::size_t(h);

    bool useAlpha = false;
    if (d.info.bitCount == 32)
        for (int y = 0; y < h && !useAlpha; ++y)
            for (int x = 0; x < w && !useAlpha; ++x)
                useAlpha = colourBits[std::size_t(y) * d.xorStride + 4 * std::size_t(x) + 3] != 0;

    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        // Rows are stored bottom-up.
        const std::size_t row = std::size_t(h - 1 - y);
        const std::uint8_t* c = colourBits + row * d.xorStride;
        const std::uint8_t* m = maskBits + row * d.andStride;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            int red = 0, green = 0, blue = 0, alpha = 255;
            std::size_t index = 0;
            switch (d.info.bitCount) {
            case 1: index = (c[x >> 3] >> (7 - (x & 7))) & 1; break;
            case 4: index = (c[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F; break;
            case 8: index = c[x]; break;
            case 24: blue = c[3 * x], green = c[3 * x + 1], red = c[3 * x + 2]; break;
            case 32: blue = c[4 * x], green = c[4 * x + 1], red = c[4 * x + 2], alpha = c[4 * x + 3]; break;
            }
            if (d.info.bitCount <= 8 && index < d.colours) {
                const std::uint8_t* q = table + 4 * index;
                blue = q[0], green = q[1], red = q[2];
            }
            if (useAlpha) {
                out[x] = qRgba(red, green, blue, alpha);
                continue;
            }
            const bool masked = d.hasMask && ((m[x >> 3] >> (7 - (x & 7))) & 1);
            if (!masked)
                out[x] = qRgba(red, green, blue, 255);
            else if (red == 0 && green == 0 && blue == 0)
                out[x] = qRgba(0, 0, 0, 0);
            else
                out[x] = qRgba(0, 0, 0, 255);  // would invert the screen
        }
    }
    return image;
}

} // namespace

bool PreferCursorImage(const CursorImageInfo& a, const CursorImageInfo& b)
{
    const auto distance = [](const CursorImageInfo& i) { return std::abs(i.width - 32) + std::abs(i.height - 32); };
    if (distance(a) != distance(b))
        return distance(a) < distance(b);
    return a.bitCount > b.bitCount;
}

bool PeekCursorImage(riff::Bytes bytes, CursorImageInfo& info)
{
    if (isPng(bytes))
        return peekPng(bytes, info);
    DibLayout d;
    if (!readDib(bytes, d))
        return false;
    info = d.info;
    return true;
}

QImage DecodeCursorImage(riff::Bytes bytes)
{
    if (isPng(bytes)) {
        CursorImageInfo info;
        if (!peekPng(bytes, info) || bytes.size() > std::size_t(INT_MAX))
            return {};
        QImage png = QImage::fromData(bytes.data(), int(bytes.size()), "PNG");
        if (png.isNull() || png.width() != info.width || png.height() != info.height)
            return {};
        return png.convertToFormat(QImage::Format_ARGB32);
    }
    DibLayout d;
    if (!readDib(bytes, d))
        return {};
    return decodeDib(bytes, d);
}

} // namespace win
