// BMP files of packed DIBs.

#include "buttonlib/media/DibUtil.h"

#include "platform/gdi/Surface.h"
#include "platform/win/WaitCursor.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

bool readExact(CFile* file, void* buf, UINT n)
{
    return file->Read(buf, n) == n;
}

bool seekTo(CFile* file, long long position)
{
    if (position < 0 || position > std::numeric_limits<LONG>::max())
        return false;
    file->Seek(LONG(position), CFile::begin);
    return true;
}

// Widens an OS/2 header in place of a Windows one.
BITMAPINFOHEADER widenCore(const BYTE* bytes)
{
    BITMAPCOREHEADER core;
    std::memcpy(&core, bytes, sizeof core);
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = core.bcWidth;
    h.biHeight = core.bcHeight;
    h.biPlanes = core.bcPlanes;
    h.biBitCount = core.bcBitCount;
    return h;
}

HGLOBAL readHeader(CFile* file)
{
    BITMAPFILEHEADER fh{};
    LONG start = 0;
    if (!DibReadFileHeader(file, &fh, &start) || fh.bfType != kBitmapFileType) {
        // No file header: the file is a bare packed DIB.
        fh.bfOffBits = 0;
        file->Seek(start, CFile::begin);
    }
    // The first DWORD of the header tells its size: Windows or OS/2.
    BYTE raw[sizeof(BITMAPINFOHEADER)];
    DWORD size = 0;
    if (!readExact(file, raw, sizeof size))
        return nullptr;
    std::memcpy(&size, raw, sizeof size);
    const bool core = size == sizeof(BITMAPCOREHEADER);
    if ((!core && size != sizeof(BITMAPINFOHEADER)) || !readExact(file, raw + sizeof size, size - sizeof size))
        return nullptr;
    BITMAPINFOHEADER h;
    if (core) {
        h = widenCore(raw);
        h.biClrUsed = h.biClrImportant = h.biBitCount <= 8 ? DWORD(1) << h.biBitCount : 0;
    } else {
        std::memcpy(&h, raw, sizeof h);
    }

    DWORD count = 0;
    DWORD rows = 0;
    if (!DibCheckHeader(h, &count, &rows))
        return nullptr;
    const bool masks = h.biCompression == BI_BITFIELDS;
    switch (h.biCompression) {
    case BI_RGB: break;
    case BI_BITFIELDS:
        if (h.biBitCount != 16 && h.biBitCount != 32)
            return nullptr;
        break;
    case BI_RLE8:
    case BI_RLE4:
        // Run-length rows have only their stored size to go by.
        if (h.biBitCount != (h.biCompression == BI_RLE8 ? 8 : 4) || h.biSizeImage == 0 ||
            h.biSizeImage > gdi::Surface::kMaxBytes)
            return nullptr;
        break;
    default: return nullptr;
    }
    if (h.biSizeImage == 0)
        h.biSizeImage = rows;
    if (h.biClrUsed == 0)
        h.biClrUsed = count;

    const DWORD maskBytes = masks ? 12 : 0;
    GlobalBlockOwner block(GlobalAlloc(GHND, sizeof(BITMAPINFOHEADER) + maskBytes + 4 * count));
    if (!block.get())
        return nullptr;
    auto* p = static_cast<BYTE*>(GlobalLock(block.get()));
    std::memcpy(p, &h, sizeof h);
    BYTE* table = p + sizeof h;
    bool ok = readExact(file, table, maskBytes);
    if (ok && core) {
        // Three bytes per entry, widened from the last one down.
        ok = readExact(file, table, 3 * count);
        for (DWORD i = count; ok && i-- > 0;) {
            const BYTE b = table[3 * i], g = table[3 * i + 1], r = table[3 * i + 2];
            table[4 * i] = b;
            table[4 * i + 1] = g;
            table[4 * i + 2] = r;
            table[4 * i + 3] = 0;
        }
    } else if (ok) {
        ok = readExact(file, table + maskBytes, 4 * count);
    }
    GlobalUnlock(block.get());
    if (!ok)
        return nullptr;
    if (fh.bfOffBits && !seekTo(file, static_cast<long long>(start) + fh.bfOffBits))
        return nullptr;
    return block.release();
}

} // namespace

BOOL DibReadFileHeader(CFile* file, BITMAPFILEHEADER* fh, LONG* start)
{
    if (!file || !fh)
        return FALSE;
    try {
        const LONG at = LONG(file->GetPosition());
        if (start)
            *start = at;
        BYTE raw[kBitmapFileHeaderBytes];
        if (!readExact(file, raw, sizeof raw))
            return FALSE;
        *fh = DibParseFileHeader(raw);
        return TRUE;
    } catch (const CFileException&) {
        return FALSE;
    }
}

BOOL DibWriteFileHeader(CFile* file, const BITMAPFILEHEADER* fh)
{
    if (!file || !fh)
        return FALSE;
    BYTE raw[kBitmapFileHeaderBytes];
    DibFormatFileHeader(*fh, raw);
    try {
        file->Write(raw, sizeof raw);
        return TRUE;
    } catch (const CFileException&) {
        return FALSE;
    }
}

HGLOBAL DibReadHeader(CFile* file)
{
    if (!file)
        return nullptr;
    try {
        return readHeader(file);
    } catch (const CFileException&) {
        return nullptr;
    }
}

HGLOBAL DibFileLoad(LPCTSTR path)
{
    CFile file;
    if (!path || !file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
        return nullptr;
    GlobalBlockOwner block(DibReadHeader(&file));
    BITMAPINFOHEADER h{};
    if (!block.get() || !DibHeaderInfo(block.get(), &h))
        return nullptr;
    DWORD count = 0;
    DWORD rows = 0;
    DibCheckHeader(h, &count, &rows);
    // Uncompressed rows are read whole even when the header stores less.
    const bool packed = h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4;
    const DWORD stored = h.biSizeImage;
    const DWORD need = packed ? stored : rows;
    const DWORD offset = DWORD(sizeof(BITMAPINFOHEADER)) + DibTableBytes(&h);
    // An image size stored beyond the plain rows is not made room for: the
    // file need not hold it, and the block then says what it holds.
    const DWORD want = packed ? stored : need;
    // A file too short for the rows is refused before they are made room for.
    try {
        if (static_cast<unsigned long long>(file.GetPosition()) + need > file.GetLength())
            return nullptr;
    } catch (const CFileException&) {
        return nullptr;
    }
    if (!GlobalReAlloc(block.get(), SIZE_T(offset) + want, GMEM_MOVEABLE | GMEM_ZEROINIT))
        return nullptr;
    auto* p = static_cast<BYTE*>(GlobalLock(block.get()));
    if (!packed && stored > need)
        reinterpret_cast<BITMAPINFOHEADER*>(p)->biSizeImage = need;
    UINT got = 0;
    try {
        got = file.Read(p + offset, want);
    } catch (const CFileException&) {
        got = 0;
    }
    GlobalUnlock(block.get());
    file.Abort();
    return got >= need ? block.release() : nullptr;
}

BOOL DibFileStore(LPCTSTR path, HGLOBAL h)
{
    if (!h || !path)
        return FALSE;
    const SIZE_T size = GlobalSize(h);
    const auto* p = static_cast<const BYTE*>(GlobalLock(h));
    if (!p)
        return FALSE;
    DWORD headerSize = 0;
    if (size >= sizeof headerSize)
        std::memcpy(&headerSize, p, sizeof headerSize);
    if ((headerSize != sizeof(BITMAPINFOHEADER) && headerSize != sizeof(BITMAPCOREHEADER)) || size < headerSize ||
        size > std::numeric_limits<DWORD>::max() - kBitmapFileHeaderBytes) {
        GlobalUnlock(h);
        return FALSE;
    }
    BITMAPFILEHEADER fh{};
    fh.bfType = kBitmapFileType;
    fh.bfSize = DWORD(size) + kBitmapFileHeaderBytes;
    fh.bfOffBits = headerSize + DibTableBytes(p) + kBitmapFileHeaderBytes;
    BOOL ok = FALSE;
    CFile file;
    if (file.Open(path, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive)) {
        try {
            ok = DibWriteFileHeader(&file, &fh);
            if (ok) {
                file.Write(p, UINT(size));
                file.Close();
            }
        } catch (const CFileException&) {
            ok = FALSE;
        }
        if (!ok)
            file.Abort();
    }
    GlobalUnlock(h);
    return ok;
}

BOOL DibFileStoreAs(LPCTSTR path, HGLOBAL h, WORD bitCount, DWORD compression)
{
    if ((bitCount == DibGetBitCount(h) && compression == DibGetCompression(h)) || (bitCount == 0 && compression == 0))
        return DibFileStore(path, h);
    win::WaitCursor wait;
    GlobalBlockOwner copy(DibCopyHandle(h));
    if (!copy.get())
        return FALSE;
    GlobalBlockOwner changed(DibChangeFormat(copy.get(), bitCount, compression));
    return changed.get() ? DibFileStore(path, changed.get()) : FALSE;
}
