#include "buttonlib/media/CFileBlob.h"

#include "platform/mfc/CFile.h"

#include <new>

CFileBlob::~CFileBlob()
{
    CFileBlob::Empty();
}

void CFileBlob::Empty()
{
    data.clear();
    data.shrink_to_fit();
    byteCount = 0;
    loaded = FALSE;
}

BOOL CFileBlob::CopyBytes(const void* bytes, int size)
{
    Empty();
    if (size < 0 || (size > 0 && !bytes))
        return FALSE;
    try {
        const auto* p = static_cast<const BYTE*>(bytes);
        data.assign(p, p + size);
    } catch (const std::bad_alloc&) {
        Empty();
        return FALSE;
    }
    byteCount = DWORD(size);
    loaded = TRUE;
    return TRUE;
}

BOOL CFileBlob::ReadFile(LPCTSTR path)
{
    Empty();
    if (!path || !*path)
        return FALSE;
    try {
        CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
        const DWORD size = file.GetLength();
        data.resize(size);
        if (file.Read(data.data(), size) != size) {
            Empty();
            return FALSE;
        }
        byteCount = size;
        loaded = TRUE;
        return TRUE;
    } catch (const CFileException&) {
    } catch (const std::bad_alloc&) {
    }
    Empty();
    return FALSE;
}

BOOL CFileBlob::Save(LPCTSTR path)
{
    if (data.empty())
        return TRUE;
    try {
        CFile file(path, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive);
        file.Write(data.data(), UINT(data.size()));
        file.Close();
        return TRUE;
    } catch (const CFileException&) {
        return FALSE;
    }
}

void CFileBlob::Serialize(CArchive& ar)
{
    SerializeEx(ar, FALSE);
}

void CFileBlob::SerializeEx(CArchive& ar, BOOL bCompressed)
{
    try {
        SerializeByteCount(ar, bCompressed, byteCount);
    } catch (...) {
        if (ar.IsLoading())
            Empty();
        throw;
    }
}

BOOL CFileBlob::LoadData(CArchive& ar)
{
    // The count comes from the data: read no more than is really there.
    if (!ReadExact(ar, byteCount, data)) {
        Empty();
        return FALSE;
    }
    BytesLoaded();
    loaded = TRUE;
    return TRUE;
}

BOOL CFileBlob::StoreData(CArchive& ar)
{
    if (data.empty())
        return TRUE;
    try {
        ar.Write(data.data(), UINT(data.size()));
    } catch (const CFileException&) {
        return FALSE;
    }
    return TRUE;
}
