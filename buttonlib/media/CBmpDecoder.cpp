#include "buttonlib/media/CBmpDecoder.h"

#include <algorithm>
#include <cstring>

namespace {

void putPixel(BYTE* row, int x, int bpp, const std::vector<RGBQUAD>& palette, BYTE index)
{
    if (bpp == 8) {
        row[x] = index;
        return;
    }
    const RGBQUAD& c = palette[index];
    BYTE* p = row + 4 * std::size_t(x);
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
    p[3] = 0xFF;
}

} // namespace

void CBmpDecoder::DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source)
{
    const BYTE* fh = source->ReadNBytes(14);
    if (fh[0] != 'B' || fh[1] != 'M')
        RaiseError(kErrWrongSignature, "Bitmap decoder: This isn't a bitmap.");
    const DWORD offset = Le32(fh + 10);
    const BYTE* ih = source->ReadNBytes(40);
    const DWORD infoSize = Le32(ih);
    if (infoSize < 40)
        RaiseError(kErrFormatUnknown, "Bitmap decoder: BITMAPINFOHEADER has wrong size.");
    const LONG width = LONG(Le32(ih + 4));
    const LONG height = LONG(Le32(ih + 8));
    const int bits = Le16(ih + 14);
    const DWORD compression = Le32(ih + 16);
    const DWORD colorsUsed = Le32(ih + 32);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        RaiseError(kErrFormatUnknown, "Decoding bmp: Illegal bpp value.");
    // Top-down rows (a negative height) are not read.
    if (width <= 0 || height <= 0)
        RaiseError(kErrFormatUnknown, "Decoding bmp: Illegal image size.");

    // A longer (version 4 or 5) header ends before the palette.
    long long consumed = 54;
    if (infoSize > 40) {
        source->RequireBytes(infoSize - 40);
        source->ReadNBytes(int(infoSize - 40));
        consumed += infoSize - 40;
    }
    palette.assign(256, RGBQUAD{0, 0, 0, 0});
    if (bits <= 8) {
        const DWORD n = colorsUsed ? colorsUsed : DWORD(1) << bits;
        if (n > 256)
            RaiseError(kErrFormatUnknown, "Decoding bmp: Palette too large.");
        const BYTE* p = source->ReadNBytes(int(n * 4));
        for (DWORD i = 0; i < n; ++i)
            palette[i] = RGBQUAD{p[4 * i], p[4 * i + 1], p[4 * i + 2], 0xFF};
        consumed += 4LL * n;
    }
    const long long skip = static_cast<long long>(offset) - consumed;
    if (skip < 0)
        CImageSource::RaiseEndOfData();
    source->RequireBytes(static_cast<unsigned long long>(skip));
    source->ReadNBytes(int(skip));

    SetBmpInfo(bits, bpp);
    // An 8-bit result holds palette indices: deeper pixels cannot be taken so.
    if (bpp == 8 && bits > 8)
        RaiseError(kErrFormatUnknown, "Decoding bmp: Pixel depth does not fit 8 bits.");
    const bool rle = compression != 0 && (bits == 4 || bits == 8);
    const std::size_t rowBytes = CImageBitmap::RowBytes(width, WORD(bits));
    // Plain rows must all be there before the bitmap is made.
    if (!rle)
        source->RequireBytes(static_cast<unsigned long long>(height), rowBytes);
    bitmap->Create(width, height, WORD(bpp), false);
    if (bpp == 8)
        bitmap->SetPalette(palette.data());

    if (rle) {
        decodeRle(bitmap, palette, bits, source);
        return;
    }

    BYTE** lines = bitmap->GetLineArray();
    for (LONG r = 0; r < height; ++r) {
        const BYTE* in = source->ReadNBytes(int(rowBytes));
        BYTE* row = lines[height - 1 - r];
        for (LONG x = 0; x < width; ++x) {
            switch (bits) {
            case 1:
                putPixel(row, x, bpp, palette, BYTE((in[x >> 3] >> (7 - (x & 7))) & 1));
                break;
            case 4:
                putPixel(row, x, bpp, palette, BYTE((in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF));
                break;
            case 8:
                putPixel(row, x, bpp, palette, in[x]);
                break;
            case 24: {
                BYTE* p = row + 4 * std::size_t(x);
                p[0] = in[3 * x];
                p[1] = in[3 * x + 1];
                p[2] = in[3 * x + 2];
                p[3] = 0xFF;
                break;
            }
            default:
                std::memcpy(row + 4 * std::size_t(x), in + 4 * std::size_t(x), 4);
                break;
            }
        }
    }
}

void CBmpDecoder::decodeRle(CImageBitmap* bitmap, const std::vector<RGBQUAD>& palette, int bits, CImageSource* source)
{
    const LONG width = bitmap->GetWidth();
    const LONG height = bitmap->GetHeight();
    const int bpp = bitmap->GetBitsPerPixel();
    BYTE** lines = bitmap->GetLineArray();
    // One row is built here and copied at its end; runs past the row are cut.
    std::vector<BYTE> scratch(std::size_t(bitmap->GetBytesPerLine()) + 28, 0);
    LONG x = 0;
    LONG r = 0;
    auto flush = [&]() {
        std::memcpy(lines[height - 1 - r], scratch.data(), std::size_t(bitmap->GetBytesPerLine()));
        std::fill(scratch.begin(), scratch.end(), 0);
        x = 0;
        ++r;
    };
    auto put = [&](BYTE index) {
        if (x < width)
            putPixel(scratch.data(), x, bpp, palette, index);
        ++x;
    };
    while (r < height) {
        const BYTE* pair = source->ReadNBytes(2);
        const BYTE count = pair[0];
        const BYTE value = pair[1];
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(bits == 8 ? value : BYTE((i & 1) ? value & 0xF : value >> 4));
            continue;
        }
        switch (value) {
        case 0:
            flush();
            break;
        case 1:
            // End of the picture: the remaining rows stay as they are.
            if (x > 0)
                flush();
            return;
        case 2:
            RaiseError(kErrFormatNotSupported, "Encountered delta escape.");
        default: {
            const int n = value;
            const int bytes = bits == 8 ? n : (n + 1) / 2;
            const BYTE* lit = source->ReadNBytes(bytes);
            for (int i = 0; i < n; ++i)
                put(bits == 8 ? lit[i] : BYTE((i & 1) ? lit[i / 2] & 0xF : lit[i / 2] >> 4));
            if (bytes & 1)
                source->ReadNBytes(1);
            break;
        }
        }
    }
}
