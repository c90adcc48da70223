#include "buttonlib/media/CPgmDecoder.h"

#include <cstdint>
#include <cstring>

namespace {

bool isBlank(BYTE c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The next decimal number, after blanks and "#" comments. The end of the
// data ends a number as any other non-digit does.
long readNumber(CImageSource* source, bool allowComments)
{
    for (;;) {
        const BYTE c = *source->ReadNBytes(1);
        if (isBlank(c))
            continue;
        if (c == '#' && allowComments) {
            while (*source->ReadNBytes(1) != '\n') {
            }
            continue;
        }
        if (c < '0' || c > '9')
            RaiseError(kErrFormatUnknown, "PGM decoder: Unexpected character in the data.");
        long value = c - '0';
        while (source->GetBytesLeft() > 0) {
            const BYTE d = *source->GetCurrentPtr();
            if (d < '0' || d > '9')
                break;
            source->ReadNBytes(1);
            value = value * 10 + (d - '0');
            if (value > 0x7FFFFFFF)
                RaiseError(kErrFormatUnknown, "PGM decoder: Number too large.");
        }
        // The character after the number is consumed, when there is one.
        if (source->GetBytesLeft() > 0)
            source->ReadNBytes(1);
        return value;
    }
}

// Binary samples are single bytes: each scales through a table made once,
// and with a maximum of 255 an 8-bit row is the data itself.
void decodeBinaryRows(BYTE** lines, long width, long height, long maxValue, int bpp, CImageSource* source)
{
    BYTE greyOf[256];
    for (long v = 0; v < 256; ++v)
        greyOf[v] = BYTE(v * 255 / maxValue);
    for (long y = 0; y < height; ++y) {
        BYTE* row = lines[y];
        const BYTE* bytes = source->ReadNBytes(int(width));
        if (bpp == 8) {
            if (maxValue == 255) {
                std::memcpy(row, bytes, std::size_t(width));
            } else {
                for (long x = 0; x < width; ++x)
                    row[x] = greyOf[bytes[x]];
            }
            continue;
        }
        for (long x = 0; x < width; ++x) {
            const uint32_t grey = greyOf[bytes[x]];
            const uint32_t pixel = grey | grey << 8 | grey << 16 | 0xFF000000u;
            std::memcpy(row + 4 * x, &pixel, 4);
        }
    }
}

} // namespace

void CPgmDecoder::DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source)
{
    const BYTE* magic = source->ReadNBytes(2);
    if (magic[0] != 'P' || (magic[1] != '2' && magic[1] != '5'))
        RaiseError(kErrFormatUnknown, "PGM decoder: Is not the correct identifier P5 or P2.");
    const bool text = magic[1] == '2';
    const long width = readNumber(source, true);
    const long height = readNumber(source, true);
    long maxValue = readNumber(source, true);
    if (maxValue > 255 || maxValue < 1)
        maxValue = 255;

    SetBmpInfo(8, bpp);
    // The samples must all be there before the bitmap is made: a byte each,
    // or in text a digit and a separator each (the last needs no separator).
    const unsigned long long samples =
        static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height);
    if (samples > 0)
        source->RequireBytes(text ? 2 * samples - 1 : samples);
    bitmap->Create(LONG(width), LONG(height), WORD(bpp), false);
    palette.resize(256);
    for (int i = 0; i < 256; ++i)
        palette[std::size_t(i)] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 255};
    bitmap->SetPalette(palette.data());

    BYTE** lines = bitmap->GetLineArray();
    if (!text) {
        decodeBinaryRows(lines, width, height, maxValue, bpp, source);
        return;
    }
    for (long y = 0; y < height; ++y) {
        BYTE* row = lines[y];
        for (long x = 0; x < width; ++x) {
            const BYTE grey = BYTE(readNumber(source, false) * 255 / maxValue);
            if (bpp == 8) {
                row[x] = grey;
            } else {
                BYTE* p = row + 4 * x;
                p[0] = p[1] = p[2] = grey;
                p[3] = 255;
            }
        }
    }
}
