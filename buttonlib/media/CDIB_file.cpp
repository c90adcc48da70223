// The picture as a BMP file image: read from files, memory and archives,
// written to files and archives.

#include "buttonlib/media/CDIB.h"

#include "buttonlib/media/Compression.h"
#include "buttonlib/media/DibUtil.h"
#include "platform/mfc/CMemFile.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr DWORD kHeaderBytes = sizeof(BITMAPINFOHEADER);
constexpr DWORD kFileHeaderBytes = kBitmapFileHeaderBytes;
constexpr DWORD kMaskBytes = 12;
constexpr DWORD kSkipChunk = 64 * 1024;

// A header that came from outside, checked before anything is sized from it.
struct IncomingHeader {
    BITMAPINFOHEADER h{};
    DWORD colors = 0;
    DWORD imageBytes = 0;
    // BI_BITFIELDS: 12 mask bytes follow the header.
    bool masks = false;
};

bool check(IncomingHeader& in)
{
    if (!DibCheckHeader(in.h, &in.colors, &in.imageBytes))
        return false;
    if (in.h.biCompression == BI_BITFIELDS)
        in.masks = in.h.biBitCount == 16 || in.h.biBitCount == 32;
    return in.h.biCompression == BI_RGB || in.masks;
}

// The block has no room for masks: only the ones that mean the same as no
// masks at all are taken, and the picture is then held as BI_RGB.
bool takeMasks(IncomingHeader& in, const BYTE* bytes)
{
    DWORD m[3];
    std::memcpy(m, bytes, sizeof m);
    const bool standard = in.h.biBitCount == 16 ? m[0] == 0x7C00 && m[1] == 0x03E0 && m[2] == 0x001F
                                                : m[0] == 0xFF0000 && m[1] == 0x00FF00 && m[2] == 0x0000FF;
    if (standard)
        in.h.biCompression = BI_RGB;
    return standard;
}

// Header, table and pixels of a new block for the picture; the zero size
// fields filled in.
BYTE* layOut(HGLOBAL block, const IncomingHeader& in)
{
    auto* p = static_cast<BYTE*>(GlobalLock(block));
    BITMAPINFOHEADER h = in.h;
    if (h.biSizeImage == 0)
        h.biSizeImage = in.imageBytes;
    if (h.biClrUsed == 0)
        h.biClrUsed = in.colors;
    std::memcpy(p, &h, sizeof h);
    return p;
}

// Reads and drops n bytes.
bool skip(CArchive& ar, DWORD n)
{
    std::vector<BYTE> scratch(std::min(n, kSkipChunk));
    while (n > 0) {
        const UINT k = std::min<DWORD>(n, DWORD(scratch.size()));
        if (ar.Read(scratch.data(), k) != k)
            return false;
        n -= k;
    }
    return true;
}

// The BMP file image of rows first to last - 1 (counted from the top).
template <class Out>
void writeImage(Out& out, const BITMAPINFO* info, const BYTE* bits, DWORD maskBytes, DWORD colors, DWORD rowBytes,
                int first, int last)
{
    const LONG height = info->bmiHeader.biHeight;
    const DWORD n = DWORD(last - first);
    const DWORD tableBytes = maskBytes + 4 * colors;
    BITMAPFILEHEADER fh{};
    fh.bfType = kBitmapFileType;
    fh.bfOffBits = kFileHeaderBytes + kHeaderBytes + tableBytes;
    fh.bfSize = fh.bfOffBits + rowBytes * n;
    BYTE raw[kFileHeaderBytes];
    DibFormatFileHeader(fh, raw);
    out.Write(raw, sizeof raw);
    BITMAPINFOHEADER h = info->bmiHeader;
    h.biHeight = LONG(n);
    out.Write(&h, sizeof h);
    out.Write(reinterpret_cast<const BYTE*>(info) + kHeaderBytes, tableBytes);
    out.Write(bits + std::size_t(height - last) * rowBytes, rowBytes * n);
}

} // namespace

BOOL CDIB::Read(CFile* f)
{
    if (!f)
        return FALSE;
    IncomingHeader in;
    bool core = false;
    try {
        const long long start = f->GetPosition();
        BYTE raw[kFileHeaderBytes];
        if (f->Read(raw, sizeof raw) != sizeof raw)
            return FALSE;
        const BITMAPFILEHEADER fh = DibParseFileHeader(raw);
        if (fh.bfType != kBitmapFileType)
            return FALSE;
        // The first DWORD of the header tells its size: Windows or OS/2.
        DWORD size = 0;
        if (f->Read(&size, sizeof size) != sizeof size)
            return FALSE;
        if (size == sizeof(BITMAPCOREHEADER)) {
            BITMAPCOREHEADER c{};
            const UINT rest = sizeof c - sizeof size;
            if (f->Read(reinterpret_cast<BYTE*>(&c) + sizeof size, rest) != rest)
                return FALSE;
            in.h.biSize = kHeaderBytes;
            in.h.biWidth = c.bcWidth;
            in.h.biHeight = c.bcHeight;
            in.h.biPlanes = c.bcPlanes;
            in.h.biBitCount = c.bcBitCount;
            core = true;
        } else if (size == kHeaderBytes) {
            in.h.biSize = size;
            const UINT rest = kHeaderBytes - sizeof size;
            if (f->Read(reinterpret_cast<BYTE*>(&in.h) + sizeof size, rest) != rest)
                return FALSE;
        } else {
            return FALSE;
        }
        if (!check(in))
            return FALSE;
        if (in.masks) {
            BYTE masks[kMaskBytes];
            if (f->Read(masks, kMaskBytes) != kMaskBytes || !takeMasks(in, masks))
                return FALSE;
        }

        // The pixels start where the file header says, after any gap; a
        // file too short for them is refused before the block is made.
        const long long bitsAt = start + fh.bfOffBits;
        if (bitsAt > std::numeric_limits<LONG>::max() || bitsAt + in.imageBytes > f->GetLength())
            return FALSE;
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, kHeaderBytes + 4 * in.colors + in.imageBytes);
        if (!h)
            return FALSE;
        GlobalBlockOwner owner(h);
        BYTE* table = layOut(h, in) + kHeaderBytes;
        bool ok = true;
        if (core) {
            // Three bytes an entry, widened from the last one down.
            ok = f->Read(table, 3 * in.colors) == 3 * in.colors;
            for (DWORD i = in.colors; ok && i-- > 0;) {
                const RGBQUAD q{table[3 * i], table[3 * i + 1], table[3 * i + 2], 0};
                std::memcpy(table + 4 * i, &q, sizeof q);
            }
        } else {
            ok = f->Read(table, 4 * in.colors) == 4 * in.colors;
        }
        if (ok) {
            f->Seek(LONG(bitsAt), CFile::begin);
            ok = f->Read(table + 4 * in.colors, in.imageBytes) == in.imageBytes;
        }
        GlobalUnlock(h);
        if (!ok)
            return FALSE;
        Adopt(owner.release(), in.colors, in.imageBytes);
    } catch (const CFileException&) {
        return FALSE;
    }
    m_nDpiX = DpiFromPels(m_pInfo->bmiHeader.biXPelsPerMeter);
    m_nDpiY = DpiFromPels(m_pInfo->bmiHeader.biYPelsPerMeter);
    return TRUE;
}

BOOL CDIB::Load(LPCTSTR path)
{
    if (!path || !*path)
        return FALSE;
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
        return FALSE;
    const BOOL ok = Read(&file);
    file.Abort();
    return ok;
}

BOOL CDIB::SetData(const void* data, DWORD size, BOOL bCompressed, DWORD rawSize)
{
    if (!data)
        return FALSE;
    std::vector<BYTE> raw;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    if (bCompressed) {
        if (!media::UncompressExact(bytes, size, rawSize, raw))
            return FALSE;
        bytes = raw.data();
        size = rawSize;
    }
    CMemFile file(const_cast<BYTE*>(bytes), size);
    const BOOL ok = Read(&file);
    file.Detach();
    return ok;
}

BOOL CDIB::LoadData(CArchive& ar)
{
    IncomingHeader in;
    try {
        BYTE raw[kFileHeaderBytes];
        if (ar.Read(raw, sizeof raw) != sizeof raw)
            return FALSE;
        const BITMAPFILEHEADER fh = DibParseFileHeader(raw);
        if (fh.bfType != kBitmapFileType)
            return FALSE;
        // Only the Windows header was ever stored; a drawing call reads the
        // table at biSize, so no other size is held.
        if (ar.Read(&in.h, kHeaderBytes) != kHeaderBytes || in.h.biSize != kHeaderBytes || !check(in))
            return FALSE;
        if (in.masks) {
            BYTE masks[kMaskBytes];
            if (ar.Read(masks, kMaskBytes) != kMaskBytes || !takeMasks(in, masks))
                return FALSE;
        }
        // The stored count must cover the rows; a longer one is read past.
        if (fh.bfSize < fh.bfOffBits || fh.bfSize - fh.bfOffBits < in.imageBytes)
            return FALSE;
        const DWORD stored = fh.bfSize - fh.bfOffBits;

        // The pixels follow the table, wherever the file header says they
        // start. They are read in pieces first, so that a size taken from a
        // damaged stream costs no more than the bytes really there.
        RGBQUAD table[256];
        std::vector<BYTE> rows;
        if (ar.Read(table, 4 * in.colors) != 4 * in.colors || !ReadExact(ar, in.imageBytes, rows) ||
            !skip(ar, stored - in.imageBytes))
            return FALSE;
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, kHeaderBytes + 4 * in.colors + in.imageBytes);
        if (!h)
            return FALSE;
        GlobalBlockOwner owner(h);
        BYTE* p = layOut(h, in) + kHeaderBytes;
        std::memcpy(p, table, 4 * in.colors);
        std::copy(rows.begin(), rows.end(), p + 4 * in.colors);
        GlobalUnlock(h);
        Adopt(owner.release(), in.colors, in.imageBytes);
        return TRUE;
    } catch (const CFileException&) {
        return FALSE;
    } catch (const CArchiveException&) {
        return FALSE;
    }
}

template <class Out>
BOOL CDIB::WriteImage(Out& out, int first, int last) const
{
    if (!IsValid() || first < 0 || first > last || last > GetHeight())
        return FALSE;
    try {
        writeImage(out, m_pInfo, m_pBits, MaskBytes(), DWORD(GetColorCount()), GetRowBytes(), first, last);
    } catch (const CFileException&) {
        return FALSE;
    }
    return TRUE;
}

BOOL CDIB::Write(CFile* f)
{
    return f ? WriteImage(*f, 0, GetHeight()) : FALSE;
}

BOOL CDIB::WriteRows(CFile* f, int first, int last)
{
    return f && first < last ? WriteImage(*f, first, last) : FALSE;
}

BOOL CDIB::StoreData(CArchive& ar)
{
    return WriteImage(ar, 0, GetHeight());
}

BOOL CDIB::Save(LPCTSTR path, int first, int last)
{
    if (!path || !*path)
        return FALSE;
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive))
        return FALSE;
    BOOL ok = first == last ? Write(&file) : WriteRows(&file, first, last);
    if (ok) {
        try {
            file.Close();
        } catch (const CFileException&) {
            ok = FALSE;
        }
    }
    if (!ok)
        file.Abort();
    return ok;
}
