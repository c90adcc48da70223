#include "buttonlib/media/CTgaDecoder.h"

#include <cstring>

namespace {

// One pixel of the given depth as blue, green, red, alpha.
inline void readPixel(const BYTE* in, int depth, const std::vector<RGBQUAD>& palette, BYTE* out)
{
    switch (depth) {
    case 8: {
        const RGBQUAD& c = palette[in[0]];
        out[0] = c.rgbBlue;
        out[1] = c.rgbGreen;
        out[2] = c.rgbRed;
        out[3] = c.rgbReserved;
        break;
    }
    case 15:
    case 16: {
        const WORD v = Le16(in);
        out[0] = BYTE((v & 0x1F) << 3);
        out[1] = BYTE(((v >> 5) & 0x1F) << 3);
        out[2] = BYTE(((v >> 10) & 0x1F) << 3);
        out[3] = depth == 15 ? 0xFF : (v & 0x8000) ? 0x80 : 0;
        break;
    }
    case 24:
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = 0xFF;
        break;
    default:
        std::memcpy(out, in, 4);
        break;
    }
}

constexpr int bytesOf(int depth)
{
    return (depth + 7) / 8;
}

// A row of uncompressed pixels of one depth as blue, green, red, alpha: the
// depth decided once per row, not per pixel (each loop's readPixel has its
// depth fixed, so its switch folds away).
template <int Depth>
void readRowOf(const BYTE* in, LONG width, const std::vector<RGBQUAD>& palette, BYTE* out)
{
    for (LONG x = 0; x < width; ++x, in += bytesOf(Depth), out += 4)
        readPixel(in, Depth, palette, out);
}

void readRow(const BYTE* in, LONG width, int depth, const std::vector<RGBQUAD>& palette, BYTE* out)
{
    switch (depth) {
    case 8: readRowOf<8>(in, width, palette, out); break;
    case 15: readRowOf<15>(in, width, palette, out); break;
    case 16: readRowOf<16>(in, width, palette, out); break;
    case 24: readRowOf<24>(in, width, palette, out); break;
    default: std::memcpy(out, in, std::size_t(width) * 4); break;
    }
}

} // namespace

void CTgaDecoder::DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source)
{
    const BYTE* h = source->ReadNBytes(18);
    const int idLength = h[0];
    const int mapType = h[1];
    const int imageType = h[2];
    const int mapFirst = Le16(h + 3);
    const int mapLength = Le16(h + 5);
    const int mapEntrySize = h[7];
    const LONG width = Le16(h + 12);
    const LONG height = Le16(h + 14);
    const int depth = h[16];
    const BYTE descriptor = h[17];
    source->ReadNBytes(idLength);

    if (imageType != 1 && imageType != 2 && imageType != 3 && imageType != 9 && imageType != 10 && imageType != 11)
        RaiseError(kErrFormatUnknown, "Unknown TGA image type.");
    if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32)
        RaiseError(kErrFormatUnknown, "Illegal TGA pixel depth.");
    // Colour-mapped pixels need a map.
    if ((imageType == 1 || imageType == 9) && (mapType == 0 || depth != 8))
        RaiseError(kErrFormatUnknown, "Colour-mapped TGA without a colour map.");

    SetBmpInfo(depth, bpp);
    // An 8-bit result copies pixel bytes: only 8-bit pixels can be taken so.
    if (bpp == 8 && depth != 8)
        RaiseError(kErrFormatUnknown, "TGA pixel depth does not fit 8 bits.");
    if (mapType != 0 && mapEntrySize != 15 && mapEntrySize != 16 && mapEntrySize != 24 && mapEntrySize != 32)
        RaiseError(kErrFormatUnknown, "Illegal TGA colour map entry size.");
    const int entryBytes = mapType != 0 ? bytesOf(mapEntrySize) : 0;
    const int pixelBytes = bytesOf(depth);
    const bool rle = imageType >= 9;
    // Plain pixels (and the map before them) must all be there before the
    // bitmap is made.
    // Run-length pixels need at least one packet of a header and one pixel
    // for every 128 of them, so a few bytes cannot ask for a huge bitmap.
    const unsigned long long pixels = std::size_t(width) * std::size_t(height);
    const unsigned long long mapBytes = std::size_t(mapLength) * std::size_t(entryBytes);
    if (!rle)
        source->RequireBytes(mapBytes + pixels * std::size_t(pixelBytes));
    else
        source->RequireBytes(mapBytes + (pixels + 127) / 128 * std::size_t(1 + pixelBytes));
    bitmap->Create(width, height, WORD(bpp), depth == 16 || depth == 32);

    palette.assign(256, RGBQUAD{0, 0, 0, 0});
    if (mapType != 0) {
        const BYTE* map = source->ReadNBytes(mapLength * entryBytes);
        // Entries past 255 cannot be looked up; they are skipped.
        for (int i = 0; i < mapLength && mapFirst + i < 256; ++i) {
            BYTE px[4];
            readPixel(map + i * entryBytes, mapEntrySize, palette, px);
            palette[std::size_t(mapFirst + i)] = RGBQUAD{px[0], px[1], px[2], px[3]};
        }
        if (bpp == 8)
            bitmap->SetPalette(palette.data());
    }
    if (imageType == 3 || imageType == 11) {
        for (int i = 0; i < 256; ++i)
            palette[std::size_t(i)] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 255};
        if (bpp == 8)
            bitmap->SetPalette(palette.data());
    }

    BYTE** lines = bitmap->GetLineArray();
    const bool topDown = descriptor & 0x20;
    if (!rle) {
        // One read per row.
        for (LONG i = 0; i < height; ++i) {
            BYTE* row = lines[topDown ? i : height - 1 - i];
            const BYTE* in = source->ReadNBytes(int(width) * pixelBytes);
            if (bpp == 8)
                std::memcpy(row, in, std::size_t(width));
            else
                readRow(in, width, depth, palette, row);
        }
        return;
    }
    // Run state carries across rows.
    int runLeft = 0;
    bool runRepeat = false;
    const BYTE* runPixel = nullptr;
    for (LONG i = 0; i < height; ++i) {
        BYTE* row = lines[topDown ? i : height - 1 - i];
        for (LONG x = 0; x < width; ++x) {
            const BYTE* in;
            if (!rle) {
                in = source->ReadNBytes(pixelBytes);
            } else {
                if (runLeft == 0) {
                    const BYTE packet = *source->ReadNBytes(1);
                    runRepeat = packet & 0x80;
                    runLeft = (packet & 0x7F) + 1;
                    if (runRepeat)
                        runPixel = source->ReadNBytes(pixelBytes);
                }
                in = runRepeat ? runPixel : source->ReadNBytes(pixelBytes);
                --runLeft;
            }
            if (bpp == 8)
                row[x] = in[0];
            else
                readPixel(in, depth, palette, row + 4 * std::size_t(x));
        }
    }
}
