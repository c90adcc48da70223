#include "buttonlib/media/CBlob.h"

#include "buttonlib/media/Compression.h"
#include "platform/mfc/CMemFile.h"

#include <algorithm>
#include <cstring>
#include <new>

IMPLEMENT_SERIAL(CBlob, CObject, 0)

namespace {

constexpr UINT kGrowBytes = 1024;
constexpr int kArchiveBuffer = 4096;
constexpr DWORD kReadChunk = 64 * 1024;

} // namespace

CBlob::CBlob() = default;

CBlob::~CBlob()
{
    freeBlob();
}

void CBlob::freeBlob()
{
    if (hBlob) {
        GlobalFree(hBlob);
        hBlob = nullptr;
    }
}

void CBlob::Serialize(CArchive&)
{
}

void CBlob::SerializeEx(CArchive&, BOOL)
{
}

BOOL CBlob::LoadData(CArchive&)
{
    return TRUE;
}

BOOL CBlob::StoreData(CArchive&)
{
    return TRUE;
}

void CBlob::ExchangeBlob(CPropExchange* pPX, LPCTSTR name)
{
    if (!pPX->IsLoading()) {
        freeBlob();
        hBlob = GetBlob();
    }
    PX_Blob(pPX, name, hBlob, nullptr);
    if (pPX->IsLoading() && hBlob)
        SetBlob(&hBlob);
}

HGLOBAL CBlob::GetBlob()
{
    CMemFile file(kGrowBytes);
    CArchive ar(&file, CArchive::store, kArchiveBuffer);
    SerializeEx(ar, TRUE);
    ar.Close();
    const DWORD n = file.GetLength();
    blobSize = n;

    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, SIZE_T(n) + 4);
    if (!h)
        AfxThrowMemoryException();
    GlobalLockScope lock(h);
    BYTE* p = lock.get();
    const BYTE header[4] = {BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24)};
    std::memcpy(p, header, 4);
    if (n)
        std::memcpy(p + 4, file.GetBuffer(), n);
    return h;
}

void CBlob::SetBlob(HGLOBAL* ph)
{
    HGLOBAL h = *ph;
    const SIZE_T size = GlobalSize(h);
    DWORD n = 0;
    {
        GlobalLockScope lock(h);
        if (!lock.get() || size < 4)
            AfxThrowArchiveException(CArchiveException::endOfFile);
        const BYTE* p = lock.get();
        n = DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
        blobSize = n;
        if (n == 0)
            return;
        // The count must describe the block, never more.
        if (n > size - 4)
            AfxThrowArchiveException(CArchiveException::endOfFile);
        CMemFile file(lock.get() + 4, n);
        CArchive ar(&file, CArchive::load, kArchiveBuffer);
        SerializeEx(ar, TRUE);
        ar.Close();
        file.Detach();
    }
    GlobalFree(h);
    *ph = nullptr;
}

bool CBlob::ReadExact(CArchive& ar, DWORD n, std::vector<BYTE>& out)
{
    out.clear();
    while (out.size() < n) {
        const DWORD k = std::min<DWORD>(kReadChunk, n - DWORD(out.size()));
        const std::size_t at = out.size();
        try {
            out.resize(at + k);
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (ar.Read(out.data() + at, k) != k)
            return false;
    }
    return true;
}

BOOL CBlob::WriteCompressed(CArchive& ar)
{
    CMemFile file(kGrowBytes);
    CArchive inner(&file, CArchive::store, kArchiveBuffer);
    if (!StoreData(inner))
        return FALSE;
    inner.Close();
    const std::vector<BYTE> raw = file.Detach();

    std::vector<BYTE> packed;
    if (!media::CompressBytes(raw.data(), raw.size(), packed))
        return FALSE;
    ar << DWORD(packed.size()) << DWORD(raw.size());
    ar.Write(packed.data(), UINT(packed.size()));
    return TRUE;
}

BOOL CBlob::ReadCompressed(CArchive& ar)
{
    DWORD packedSize = 0;
    DWORD rawSize = 0;
    ar >> packedSize >> rawSize;
    std::vector<BYTE> packed;
    if (!ReadExact(ar, packedSize, packed))
        return FALSE;
    // Only a stream that yields exactly the announced bytes reaches LoadData.
    std::vector<BYTE> raw;
    if (!media::UncompressExact(packed.data(), packed.size(), rawSize, raw))
        return FALSE;
    CMemFile file(raw.data(), UINT(raw.size()));
    CArchive inner(&file, CArchive::load, kArchiveBuffer);
    const BOOL ok = LoadData(inner);
    inner.Close();
    file.Detach();
    return ok;
}

void CBlob::SerializeByteCount(CArchive& ar, BOOL bCompressed, DWORD& byteCount)
{
    if (ar.IsStoring()) {
        if (byteCount == 0)
            return;
        ar << byteCount;
        if (!(bCompressed ? WriteCompressed(ar) : StoreData(ar)))
            AfxThrowMemoryException();
    } else {
        ar >> byteCount;
        if (!(bCompressed ? ReadCompressed(ar) : LoadData(ar)))
            AfxThrowMemoryException();
    }
}
