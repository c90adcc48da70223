#include "buttonlib/media/CPcxDecoder.h"

#include <new>

void CPcxDecoder::DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source)
{
    const BYTE* h = source->ReadNBytes(128);
    if (h[0] != 10)
        RaiseError(kErrWrongSignature, "Error decoding pcx: Not a PCX file.");
    if (h[2] != 1)
        RaiseError(kErrWrongSignature, "File has unknown encoding scheme.");
    const int bits = h[3];
    const int xmin = Le16(h + 4), ymin = Le16(h + 6), xmax = Le16(h + 8), ymax = Le16(h + 10);
    const int planes = h[65];
    const int bytesPerLine = Le16(h + 66);
    if (xmax < xmin || ymax < ymin)
        RaiseError(kErrFormatUnknown, "Illegal PCX image size.");
    const LONG width = xmax - xmin + 1;
    const LONG height = ymax - ymin + 1;

    if (bits == 1) {
        if (planes > 4)
            RaiseError(kErrFormatUnknown, "Can't handle image with more than 4 planes.");
    } else if (!((bits == 2 || bits == 4 || bits == 8) && (planes == 1 || planes == 3))) {
        RaiseError(kErrFormatUnknown, "Can't handle bits per pixel image with planes.");
    }
    if (planes < 1)
        RaiseError(kErrFormatUnknown, "Can't handle bits per pixel image with planes.");
    // A plane's line must hold the picture's width.
    if (static_cast<long long>(bytesPerLine) * 8 < static_cast<long long>(width) * bits)
        RaiseError(kErrFormatUnknown, "PCX line too short for the image width.");
    bitmap->Create(width, height, 32, false);
    SetBmpInfo(bits, bpp);

    const std::size_t lineBytes = std::size_t(planes) * std::size_t(bytesPerLine);
    const std::size_t total = lineBytes * std::size_t(height);
    // Two bytes of the run-length stream give at most 63 bytes: data too short
    // for the announced lines ends here, before a buffer of that size is made.
    if (total / 63 * 2 > std::size_t(source->GetBytesLeft()))
        CImageSource::RaiseEndOfData();
    std::vector<BYTE> buffer;
    try {
        buffer.resize(total);
    } catch (const std::bad_alloc&) {
        RaiseError(kErrNoMemory, "Out of memory for PCX data.");
    }
    std::size_t at = 0;
    while (at < total) {
        const BYTE b = *source->ReadNBytes(1);
        if ((b & 0xC0) == 0xC0) {
            const std::size_t count = b & 0x3F;
            if (count > total - at)
                RaiseError(kErrBadPcx, "repeat count spans end of image.");
            const BYTE v = *source->ReadNBytes(1);
            for (std::size_t i = 0; i < count; ++i)
                buffer[at++] = v;
        } else {
            buffer[at++] = b;
        }
    }

    palette.assign(256, RGBQUAD{0, 0, 0, 0xFF});
    for (int i = 0; i < 16; ++i)
        palette[std::size_t(i)] = RGBQUAD{h[16 + 3 * i + 2], h[16 + 3 * i + 1], h[16 + 3 * i], 0xFF};
    if (bits == 8 && planes == 1) {
        if (*source->ReadNBytes(1) != 12)
            RaiseError(kErrBadPcx, "bad color map signature.");
        const BYTE* p = source->ReadNBytes(768);
        for (int i = 0; i < 256; ++i)
            palette[std::size_t(i)] = RGBQUAD{p[3 * i + 2], p[3 * i + 1], p[3 * i], 0xFF};
    }
    if (bits == 1 && planes == 1) {
        palette[0] = RGBQUAD{0, 0, 0, 0xFF};
        palette[1] = RGBQUAD{255, 255, 255, 0xFF};
    }

    BYTE** lines = bitmap->GetLineArray();
    std::vector<BYTE> indices(std::size_t(bytesPerLine) * 8);
    for (LONG r = 0; r < height; ++r) {
        const BYTE* in = buffer.data() + std::size_t(r) * lineBytes;
        BYTE* row = lines[r];
        if (bits == 8 && planes == 3) {
            for (LONG x = 0; x < width; ++x) {
                BYTE* p = row + 4 * std::size_t(x);
                p[0] = in[2 * bytesPerLine + x];
                p[1] = in[bytesPerLine + x];
                p[2] = in[x];
                p[3] = 0xFF;
            }
            continue;
        }
        if (planes == 1) {
            // Unpack the line into indices, highest bits first.
            const int perByte = 8 / bits;
            const int mask = (1 << bits) - 1;
            for (int i = 0; i < bytesPerLine; ++i)
                for (int k = 0; k < perByte; ++k)
                    indices[std::size_t(i * perByte + k)] = BYTE((in[i] >> (8 - bits * (k + 1))) & mask);
        } else {
            if (planes > 4)
                RaiseError(kErrBadPcx, "Can't handle more than 4 planes.");
            if (bits > 1)
                RaiseError(kErrBadPcx, "Can't handle more than 1 bit per pixel.");
            std::fill(indices.begin(), indices.end(), 0);
            for (int plane = 0; plane < planes; ++plane)
                for (int i = 0; i < bytesPerLine * 8; ++i)
                    if ((in[plane * bytesPerLine + i / 8] >> (7 - i % 8)) & 1)
                        indices[std::size_t(i)] = BYTE(indices[std::size_t(i)] | (1 << plane));
        }
        for (LONG x = 0; x < width; ++x) {
            const RGBQUAD& c = palette[indices[std::size_t(x)]];
            BYTE* p = row + 4 * std::size_t(x);
            p[0] = c.rgbBlue;
            p[1] = c.rgbGreen;
            p[2] = c.rgbRed;
            p[3] = 0xFF;
        }
    }
}
