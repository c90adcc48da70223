#include "buttonlib/media/CPictDecoder.h"

#include <algorithm>
#include <new>

namespace {

// Data lengths of the opcodes below 0xA2: a byte count, or kWord (a 2-byte
// length follows), or kSpecial (handled by the opcode loop).
constexpr int kWord = -1;
constexpr int kSpecial = -2;

int opcodeLength(int op)
{
    static const int table[0xA2] = {
        /* 0x00 */ 0, kSpecial, 8, 2, 1, 2, 4, 4, 2, 8, 8, 4, 4, 2, 4, 4,
        /* 0x10 */ 8, 1, kSpecial, kSpecial, kSpecial, 2, 2, 0, 0, 0, 6, 6, 0, 6, 0, 6,
        /* 0x20 */ 8, 4, 6, 2, kWord, kWord, kWord, kWord, 0, 0, 0, 0, kWord, kWord, kWord, kWord,
        /* 0x30 */ 8, 8, 8, 8, 8, 8, 8, 8, 0, 0, 0, 0, 0, 0, 0, 0,
        /* 0x40 */ 8, 8, 8, 8, 8, 8, 8, 8, 0, 0, 0, 0, 0, 0, 0, 0,
        /* 0x50 */ 8, 8, 8, 8, 8, 8, 8, 8, 0, 0, 0, 0, 0, 0, 0, 0,
        /* 0x60 */ 12, 12, 12, 12, 12, 12, 12, 12, 4, 4, 4, 4, 4, 4, 4, 4,
        /* 0x70 */ kSpecial, kSpecial, kSpecial, kSpecial, kSpecial, kSpecial, kSpecial, kSpecial, 0, 0, 0, 0, 0, 0, 0, 0,
        /* 0x80 */ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        /* 0x90 */ kSpecial, kSpecial, kWord, kWord, kWord, kWord, kWord, kWord, kSpecial, kSpecial, kSpecial, kWord,
        kWord, kWord, kWord, kWord,
        /* 0xA0 */ 2, kSpecial,
    };
    return table[op];
}

int readByte(CImageSource* s)
{
    return *s->ReadNBytes(1);
}

int readWord(CImageSource* s)
{
    return Be16(s->ReadNBytes(2));
}

void skip(CImageSource* s, long long n)
{
    if (n < 0 || n > s->GetBytesLeft())
        CImageSource::RaiseEndOfData();
    s->ReadNBytes(int(n));
}

void putColour(BYTE* row, LONG x, const RGBQUAD& c, BYTE alpha)
{
    BYTE* p = row + 4 * std::size_t(x);
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
    p[3] = alpha;
}

// PackBits into out (at most out.size() units of unitBytes bytes); a run
// reaching past the row is cut.
void unpackBits(const BYTE* in, int count, std::vector<BYTE>& out, int unitBytes)
{
    std::size_t at = 0;
    int i = 0;
    auto put = [&](const BYTE* unit) {
        for (int k = 0; k < unitBytes; ++k)
            if (at < out.size())
                out[at++] = unit[k];
    };
    while (i < count) {
        const int flag = in[i++];
        if (flag == 0x80)
            continue;
        if (flag > 0x80) {
            const int n = (flag ^ 0xFF) + 2;
            if (i + unitBytes > count)
                break;
            for (int k = 0; k < n; ++k)
                put(in + i);
            i += unitBytes;
        } else {
            const int n = flag + 1;
            for (int k = 0; k < n && i + unitBytes <= count; ++k) {
                put(in + i);
                i += unitBytes;
            }
        }
    }
}

} // namespace

CPictDecoder::CPictDecoder(CJpegDecoder* jpegDecoder)
    : m_pJpegDecoder(jpegDecoder)
{
}

void CPictDecoder::readRect(CImageSource* source, int& top, int& left, int& bottom, int& right)
{
    const BYTE* r = source->ReadNBytes(8);
    top = short(Be16(r));
    left = short(Be16(r + 2));
    bottom = short(Be16(r + 4));
    right = short(Be16(r + 6));
}

void CPictDecoder::readPixMapHeader(CImageSource* source, PixMap& pm)
{
    // version, pack type, pack size, resolutions, pixel type, pixel size,
    // component count and size, plane bytes, table handle, reserved.
    const BYTE* h = source->ReadNBytes(36);
    pm.packType = Be16(h + 2);
    pm.pixelSize = Be16(h + 18);
    pm.cmpCount = Be16(h + 20);
    pm.cmpSize = Be16(h + 22);
}

void CPictDecoder::readColourTable(CImageSource* source, std::vector<RGBQUAD>& palette)
{
    const BYTE* h = source->ReadNBytes(8);
    const bool inOrder = Be16(h + 4) & 0x8000;
    const int count = Be16(h + 6) + 1;
    if (count > 256)
        RaiseError(kErrFormatUnknown, "pixel value greater than colour table size.");
    try {
        palette.assign(256, RGBQUAD{0, 0, 0, 0xFF});
    } catch (const std::bad_alloc&) {
        RaiseError(kErrNoMemory, "Out of memory allocationg color table.");
    }
    for (int i = 0; i < count; ++i) {
        const BYTE* e = source->ReadNBytes(8);
        int index = inOrder ? i : Be16(e);
        if (index >= count)
            RaiseError(kErrFormatUnknown, "pixel value greater than colour table size.");
        palette[std::size_t(index)] = RGBQUAD{e[6], e[4], e[2], 0xFF};
    }
}

void CPictDecoder::skipRegion(CImageSource* source)
{
    const int size = readWord(source);
    if (size < 2)
        RaiseError(kErrFormatUnknown, "Illegal region size.");
    skip(source, size - 2);
}

void CPictDecoder::skipPixPattern(CImageSource* source)
{
    const int type = readWord(source);
    if (type == 1) {
        skip(source, 8);
        PixMap pm;
        pm.rowBytes = readWord(source);
        readRect(source, pm.top, pm.left, pm.bottom, pm.right);
        readPixMapHeader(source, pm);
        std::vector<RGBQUAD> table;
        readColourTable(source, table);
        const int width = pm.right - pm.left;
        const int height = pm.bottom - pm.top;
        if (width > 0 && height > 0)
            unpackRows(nullptr, table, source, pm.rowBytes & 0x7FFF, pm.pixelSize, width, height, false);
    } else if (type == 2) {
        skip(source, 8);
        skip(source, 5);
    } else {
        RaiseError(kErrFormatUnknown, "Unknown pattern type in pixPat.");
    }
}

void CPictDecoder::DoDecode(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source)
{
    skip(source, 512 + 2 + 8);
    int b = 0;
    do {
        b = readByte(source);
    } while (b == 0);
    if (b != 0x11)
        RaiseError(kErrWrongSignature, "Error decoding pict: Version number missing.");
    int version = readByte(source);
    if (version == 2) {
        if (readByte(source) != 0xFF)
            RaiseError(kErrWrongSignature, "Illegal version number.");
    } else if (version != 1) {
        RaiseError(kErrWrongSignature, "Illegal version number.");
    }

    for (;;) {
        int op;
        if (version == 2) {
            if (source->GetBytesConsumed() & 1)
                skip(source, 1);
            op = readWord(source);
        } else {
            op = readByte(source);
        }
        if (op == 0x00FF || op == 0xFFFF)
            RaiseError(kErrFormatNotSupported, "PICT contained only vector data!\n");
        if (op < 0xA2) {
            switch (op) {
            case 0x01:
            case 0x70: case 0x71: case 0x72: case 0x73: case 0x74: case 0x75: case 0x76: case 0x77:
                skipRegion(source);
                continue;
            case 0xA1:
                skip(source, 2);
                skip(source, readWord(source));
                continue;
            case 0x12: case 0x13: case 0x14:
                skipPixPattern(source);
                continue;
            case 0x90: case 0x91: case 0x98: case 0x99: {
                const int rowBytes = readWord(source);
                const bool region = op == 0x91 || op == 0x99;
                if (rowBytes & 0x8000)
                    decodePixMap(bitmap, palette, bpp, source, rowBytes, region);
                else
                    decodeBitmap(bitmap, palette, bpp, source, rowBytes, region);
                return;
            }
            case 0x9A:
                decodeDirect(bitmap, palette, bpp, source);
                return;
            default: {
                const int len = opcodeLength(op);
                skip(source, len == kWord ? readWord(source) : len);
                continue;
            }
            }
        }
        if (op == 0x0C00) {
            skip(source, 24);
        } else if (op == 0x8200) {
            decodeJpeg(bitmap, bpp, source);
            return;
        } else if (op >= 0xA2 && op <= 0xAF) {
            skip(source, readWord(source));
        } else if ((op >= 0xB0 && op <= 0xCF) || (op >= 0x8000 && op <= 0x80FF)) {
            // No data.
        } else if ((op >= 0xD0 && op <= 0xFE) || op >= 0x1FA4) {
            skip(source, Be32(source->ReadNBytes(4)));
        } else {
            skip(source, (op >> 7) & 0xFF);
        }
    }
}

void CPictDecoder::decodeBitmap(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source,
                                int rowBytes, bool region)
{
    int top, left, bottom, right, t, l, b, r;
    readRect(source, top, left, bottom, right);
    readRect(source, t, l, b, r);
    readRect(source, t, l, b, r);
    SetBmpInfo(1, bpp);
    bitmap->Create(right - left, bottom - top, WORD(bpp), false);
    // A bitmap's 0 is white and 1 black.
    palette.assign(256, RGBQUAD{0, 0, 0, 0xFF});
    palette[0] = RGBQUAD{255, 255, 255, 0xFF};
    palette[1] = RGBQUAD{0, 0, 0, 0xFF};
    if (bpp == 8)
        bitmap->SetPalette(palette.data());
    skip(source, 2);
    if (region)
        skipRegion(source);
    unpackRows(bitmap, palette, source, rowBytes & 0x7FFF, 1, right - left, bottom - top, true);
}

void CPictDecoder::decodePixMap(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source,
                                int rowBytes, bool region)
{
    PixMap pm;
    pm.rowBytes = rowBytes;
    readRect(source, pm.top, pm.left, pm.bottom, pm.right);
    readPixMapHeader(source, pm);
    SetBmpInfo(pm.pixelSize, bpp);
    const int width = pm.right - pm.left;
    const int height = pm.bottom - pm.top;
    const int depth = bpp == 32 ? 32 : 8;
    if (depth == 8 && pm.pixelSize > 8)
        RaiseError(kErrFormatUnknown, "Bad bits per pixel in expandBuf8.");
    bitmap->Create(width, height, WORD(depth), depth == 32 && pm.cmpCount == 4);
    readColourTable(source, palette);
    if (depth == 8)
        bitmap->SetPalette(palette.data());
    int t, l, b, r;
    readRect(source, t, l, b, r);
    readRect(source, t, l, b, r);
    skip(source, 2);
    if (region)
        skipRegion(source);
    if (pm.pixelSize == 32)
        unpack32(bitmap, source, rowBytes & 0x7FFF, pm.cmpCount, width, height);
    else
        unpackRows(bitmap, palette, source, rowBytes & 0x7FFF, pm.pixelSize, width, height, true);
}

void CPictDecoder::decodeDirect(CImageBitmap* bitmap, std::vector<RGBQUAD>& palette, int& bpp, CImageSource* source)
{
    skip(source, 4 + 2);
    PixMap pm;
    readRect(source, pm.top, pm.left, pm.bottom, pm.right);
    readPixMapHeader(source, pm);
    SetBmpInfo(pm.pixelSize, bpp);
    const int width = pm.right - pm.left;
    const int height = pm.bottom - pm.top;
    const int depth = bpp == 32 ? 32 : 8;
    if (depth == 8 && pm.pixelSize > 8)
        RaiseError(kErrFormatUnknown, "Bad bits per pixel in expandBuf8.");
    bitmap->Create(width, height, WORD(depth), depth == 32 && pm.cmpCount == 4);
    palette.assign(256, RGBQUAD{0, 0, 0, 0xFF});
    skip(source, 8 + 8 + 2);
    if (pm.pixelSize == 32)
        unpack32(bitmap, source, 0, pm.cmpCount, width, height);
    else
        unpackRows(bitmap, palette, source, 0, pm.pixelSize, width, height, true);
}

void CPictDecoder::decodeJpeg(CImageBitmap* bitmap, int& bpp, CImageSource* source)
{
    const DWORD length = Be32(source->ReadNBytes(4));
    // The JPEG decoder is left its own choice only when the caller left it:
    // a grey JPEG would otherwise come back at 8 bits to a caller who asked
    // for 32.
    const int requested = bpp;
    SetBmpInfo(32, bpp);
    for (DWORD i = 0; i < length && source->GetBytesLeft() >= 3; ++i) {
        const BYTE* p = source->GetCurrentPtr();
        if (p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF) {
            m_pJpegDecoder->MakeBmp(source, bitmap, requested);
            return;
        }
        source->ReadNBytes(1);
    }
    RaiseError(kErrFormatNotSupported, "PICT file contains unrecognized quicktime data.\n");
}

void CPictDecoder::unpackRows(CImageBitmap* bitmap, const std::vector<RGBQUAD>& palette, CImageSource* source,
                              int rowBytes, int pixelSize, int width, int height, bool output)
{
    if (pixelSize != 1 && pixelSize != 2 && pixelSize != 4 && pixelSize != 8 && pixelSize != 16)
        RaiseError(kErrFormatUnknown, "Illegal bpp value in unpackbits: %d\n", pixelSize);
    const int out32 = output && bitmap->GetBitsPerPixel() == 32;
    if (output && !out32 && pixelSize == 16)
        RaiseError(kErrFormatUnknown, "Bad bits per pixel in expandBuf8.");
    if (rowBytes == 0)
        rowBytes = pixelSize == 16 ? 2 * width : width;
    const int unitBytes = pixelSize == 16 ? 2 : 1;
    std::vector<BYTE> line(std::size_t(rowBytes), 0);
    BYTE** lines = output ? bitmap->GetLineArray() : nullptr;
    for (int y = 0; y < height; ++y) {
        std::fill(line.begin(), line.end(), 0);
        if (rowBytes < 8) {
            const BYTE* raw = source->ReadNBytes(rowBytes);
            std::copy_n(raw, rowBytes, line.begin());
        } else {
            const int count = rowBytes > 250 ? readWord(source) : readByte(source);
            unpackBits(source->ReadNBytes(count), count, line, unitBytes);
        }
        if (!output)
            continue;
        BYTE* row = lines[y];
        const int perByte = pixelSize <= 8 ? 8 / pixelSize : 1;
        for (int x = 0; x < width; ++x) {
            if (pixelSize == 16) {
                const std::size_t at = 2 * std::size_t(x);
                const WORD v = at + 1 < line.size() ? WORD((line[at] << 8) | line[at + 1]) : 0;
                putColour(row, x,
                          RGBQUAD{BYTE((v & 0x1F) << 3), BYTE(((v >> 5) & 0x1F) << 3), BYTE(((v >> 10) & 0x1F) << 3), 0},
                          0xFF);
                continue;
            }
            const std::size_t at = std::size_t(x / perByte);
            const int shift = 8 - pixelSize * (x % perByte + 1);
            const BYTE index = at < line.size() ? BYTE((line[at] >> shift) & ((1 << pixelSize) - 1)) : 0;
            // At 8 bits the index is kept and the table is the picture's palette.
            if (out32)
                putColour(row, x, palette[index], 0xFF);
            else
                row[x] = index;
        }
    }
}

void CPictDecoder::unpack32(CImageBitmap* bitmap, CImageSource* source, int rowBytes, int cmpCount, int width,
                            int height)
{
    if (cmpCount != 3 && cmpCount != 4)
        RaiseError(kErrFormatUnknown, "Illegal component count %d.", cmpCount);
    const int countBytes = (rowBytes ? rowBytes : width * 4) > 250 ? 2 : 1;
    std::vector<BYTE> planes(std::size_t(cmpCount) * std::size_t(width), 0);
    BYTE** lines = bitmap->GetLineArray();
    for (int y = 0; y < height; ++y) {
        std::fill(planes.begin(), planes.end(), 0);
        const int count = countBytes == 2 ? readWord(source) : readByte(source);
        unpackBits(source->ReadNBytes(count), count, planes, 1);
        BYTE* row = lines[y];
        const std::size_t w = std::size_t(width);
        for (std::size_t x = 0; x < w; ++x) {
            BYTE* p = row + 4 * x;
            if (cmpCount == 3) {
                p[2] = planes[x];
                p[1] = planes[w + x];
                p[0] = planes[2 * w + x];
                p[3] = 0xFF;
            } else {
                p[3] = planes[x];
                p[2] = planes[w + x];
                p[1] = planes[2 * w + x];
                p[0] = planes[3 * w + x];
            }
        }
    }
}
