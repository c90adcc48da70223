// Metafile handles: the bytes are copied and their header checked when the
// handle is made; the header and the palette are read then, so later calls
// only look them up. Playback hands the handle to the record player.

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/MetafilePlayer.h"

#include <uemf.h>
#include <uemf_safe.h>
#include <uwmf.h>

#include <cstring>
#include <mutex>
#include <unordered_map>

namespace gdi {

namespace {

constexpr DWORD kEmfSignature = 0x464D4520; // " EMF"
constexpr DWORD kEmfHeaderMin = 88;         // header of the oldest files
constexpr std::uint32_t kEmrEof = 14;

struct MetafileTable {
    std::mutex mutex;
    std::unordered_map<void*, std::unique_ptr<MetafileData>> files;
};

MetafileTable& metafiles()
{
    static MetafileTable table;
    return table;
}

HENHMETAFILE addMetafile(std::unique_ptr<MetafileData> data)
{
    MetafileTable& t = metafiles();
    auto h = static_cast<HENHMETAFILE>(NewHandle());
    std::lock_guard lock(t.mutex);
    t.files.emplace(h, std::move(data));
    return h;
}

const MetafileData* findMetafile(HENHMETAFILE h)
{
    MetafileTable& t = metafiles();
    std::lock_guard lock(t.mutex);
    const auto it = t.files.find(h);
    return it == t.files.end() ? nullptr : it->second.get();
}

std::unique_ptr<MetafileData> copyBytes(UINT size, const BYTE* data)
{
    auto mf = std::make_unique<MetafileData>();
    mf->storage.resize((std::size_t(size) + 3) / 4);
    std::memcpy(mf->storage.data(), data, size);
    mf->size = size;
    return mf;
}

// The palette of the end record, found by walking the records with the same
// checks playback makes; none when a record before it fails them.
void readEmfPalette(MetafileData& mf)
{
    const char* base = reinterpret_cast<const char*>(mf.Bytes());
    const char* end = base + mf.size;
    std::size_t offset = 0;
    while (offset + 8 <= mf.size) {
        std::uint32_t type = 0, size = 0;
        std::memcpy(&type, base + offset, 4);
        std::memcpy(&size, base + offset + 4, 4);
        if (size < 8 || size % 4 || size > mf.size - offset)
            return;
        if (type == kEmrEof) {
            const char* rec = base + offset;
            std::uint32_t nSize = 0, iType = 0;
            if (!U_emf_record_sizeok(rec, end, &nSize, &iType, 1) || !U_emf_record_safe(rec))
                return;
            U_EMREOF eof;
            std::memcpy(&eof, rec, sizeof eof);
            const std::uint64_t count = eof.cbPalEntries;
            if (count == 0 || eof.offPalEntries < sizeof eof || eof.offPalEntries > size ||
                count * 4 > size - eof.offPalEntries)
                return;
            mf.palette.resize(std::size_t(count));
            std::memcpy(mf.palette.data(), rec + eof.offPalEntries, std::size_t(count) * 4);
            return;
        }
        offset += size;
    }
}

// A Windows metafile's palette: the entries of the first palette it makes.
void readWmfPalette(MetafileData& mf)
{
    const char* base = reinterpret_cast<const char*>(mf.Bytes());
    const char* end = base + mf.size;
    const char* p = base + mf.wmfFirstRecord;
    while (p < end) {
        const std::size_t size = WmfRecordSize(p, end);
        if (size == 0)
            return;
        const auto type = static_cast<unsigned char>(p[4]);
        if (type == 0) // end of file
            return;
        if (type == (U_WMR_CREATEPALETTE & 0xFF)) {
            // First entry and count, then the entries, all inside the record.
            if (size < 10)
                return;
            std::uint16_t count = 0;
            std::memcpy(&count, p + 8, 2);
            if (count > (size - 10) / 4)
                return;
            mf.palette.resize(count);
            if (count)
                std::memcpy(mf.palette.data(), p + 10, std::size_t(count) * 4);
            return;
        }
        p += size;
    }
}

} // namespace

} // namespace gdi

using namespace gdi;

HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* data)
{
    if (!data || size < kEmfHeaderMin)
        return nullptr;
    auto mf = copyBytes(size, data);
    const char* rec = reinterpret_cast<const char*>(mf->Bytes());
    std::uint32_t nSize = 0, iType = 0;
    if (!U_emf_record_sizeok(rec, rec + size, &nSize, &iType, 1) || iType != 1 || nSize < kEmfHeaderMin ||
        !U_emf_record_safe(rec))
        return nullptr;
    U_EMRHEADER h{};
    std::memcpy(&h, rec, std::min<std::size_t>(nSize, sizeof h));
    if (h.dSignature != kEmfSignature)
        return nullptr;
    std::memcpy(&mf->header, rec, std::min<std::size_t>(nSize, sizeof mf->header));
    if (nSize < sizeof mf->header)
        std::memset(reinterpret_cast<BYTE*>(&mf->header) + nSize, 0, sizeof mf->header - nSize);
    readEmfPalette(*mf);
    // The header tells what the end record holds.
    mf->header.nPalEntries = DWORD(mf->palette.size());
    return addMetafile(std::move(mf));
}

HENHMETAFILE SetWinMetaFileBits(UINT size, const BYTE* data, HDC, const METAFILEPICT* mfp)
{
    // A header of 18 bytes, after a placeable one of 22 when it starts so.
    const bool withPlaceable = data && size >= 4 && data[0] == 0xD7 && data[1] == 0xCD && data[2] == 0xC6 && data[3] == 0x9A;
    if (!data || size < (withPlaceable ? 40u : 18u))
        return nullptr;
    auto mf = copyBytes(size, data);
    const char* base = reinterpret_cast<const char*>(mf->Bytes());
    U_WMRPLACEABLE placeable{};
    U_WMRHEADER header{};
    const int headerSize = wmfheader_get(base, base + size, &placeable, &header);
    if (headerSize <= 0 || std::size_t(headerSize) > size)
        return nullptr;
    mf->enhanced = false;
    mf->wmfFirstRecord = std::size_t(headerSize);
    mf->wmfObjects = header.nObjects;

    // Without a picture description the picture fills the reference screen.
    ENHMETAHEADER& h = mf->header;
    h.iType = 1;
    h.nSize = sizeof h;
    h.dSignature = 0x464D4520;
    h.nVersion = 0x10000;
    h.nBytes = size;
    h.nHandles = WORD(std::min<unsigned>(header.nObjects + 1u, 0xFFFF));
    h.szlDevice = SIZEL{kScreenWidth, kScreenHeight};
    h.szlMillimeters = SIZEL{kScreenWidth * 254 / (kScreenDpi * 10), kScreenHeight * 254 / (kScreenDpi * 10)};
    h.szlMicrometers = SIZEL{h.szlMillimeters.cx * 1000, h.szlMillimeters.cy * 1000};
    h.rclBounds = RECT{0, 0, kScreenWidth - 1, kScreenHeight - 1};
    h.rclFrame = RECT{0, 0, h.szlMillimeters.cx * 100, h.szlMillimeters.cy * 100};
    if (mfp && (mfp->mm == MM_ISOTROPIC || mfp->mm == MM_ANISOTROPIC) && mfp->xExt > 0 && mfp->yExt > 0)
        h.rclFrame = RECT{0, 0, mfp->xExt, mfp->yExt};
    readWmfPalette(*mf);
    h.nPalEntries = DWORD(mf->palette.size());
    return addMetafile(std::move(mf));
}

UINT GetEnhMetaFileHeader(HENHMETAFILE hemf, UINT size, ENHMETAHEADER* header)
{
    const MetafileData* mf = findMetafile(hemf);
    if (!mf)
        return 0;
    if (!header)
        return sizeof(ENHMETAHEADER);
    const UINT n = std::min<UINT>(size, sizeof(ENHMETAHEADER));
    std::memcpy(header, &mf->header, n);
    return n;
}

UINT GetEnhMetaFilePaletteEntries(HENHMETAFILE hemf, UINT count, PALETTEENTRY* entries)
{
    const MetafileData* mf = findMetafile(hemf);
    if (!mf)
        return UINT(-1);
    if (!entries)
        return UINT(mf->palette.size());
    const UINT n = std::min<UINT>(count, UINT(mf->palette.size()));
    std::copy_n(mf->palette.begin(), n, entries);
    return n;
}

BOOL DeleteEnhMetaFile(HENHMETAFILE hemf)
{
    MetafileTable& t = metafiles();
    std::lock_guard lock(t.mutex);
    return t.files.erase(hemf) ? TRUE : FALSE;
}

BOOL PlayEnhMetaFile(HDC hdc, HENHMETAFILE hemf, const RECT* rect)
{
    const MetafileData* mf = findMetafile(hemf);
    Surface* surface = DCSurface(hdc);
    if (!mf || !surface || !rect)
        return FALSE;
    const QRectF dest(QPointF(rect->left, rect->top), QPointF(rect->right, rect->bottom));

    // A top-down 32-bit surface is painted on where it is; any other one
    // through a 32-bit copy that is blitted back when the picture is done.
    const bool direct = surface->Bpp() == 32 && surface->Compression() == BI_RGB && !surface->IsBottomUp();
    if (direct) {
        QImage image(surface->Bits(), surface->Width(), surface->Height(), qsizetype(surface->Stride()),
                     QImage::Format_RGB32);
        MetafilePlayer player(image, hdc, *mf, dest);
        return player.Play() ? TRUE : FALSE;
    }
    HDC screen = GetDC(nullptr);
    HDC work = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, surface->Width(), surface->Height());
    ReleaseDC(nullptr, screen);
    BOOL ok = FALSE;
    if (work && bitmap) {
        HGDIOBJ old = SelectObject(work, bitmap);
        BitBlt(work, 0, 0, surface->Width(), surface->Height(), hdc, 0, 0, SRCCOPY);
        Surface* ws = DCSurface(work);
        QImage image(ws->Bits(), ws->Width(), ws->Height(), qsizetype(ws->Stride()), QImage::Format_RGB32);
        {
            MetafilePlayer player(image, work, *mf, dest);
            ok = player.Play() ? TRUE : FALSE;
        }
        BitBlt(hdc, 0, 0, surface->Width(), surface->Height(), work, 0, 0, SRCCOPY);
        SelectObject(work, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (work)
        DeleteDC(work);
    return ok;
}
