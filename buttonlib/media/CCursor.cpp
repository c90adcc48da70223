#include "buttonlib/media/CCursor.h"

IMPLEMENT_SERIAL(CCursor, CBlob, 0)

CCursor::CCursor() = default;

CCursor::~CCursor()
{
    Empty();
}

void CCursor::Empty()
{
    data.clear();
    data.shrink_to_fit();
    hCursor = nullptr;
    byteCount = 0;
    loaded = FALSE;
}

BOOL CCursor::Load(LPCTSTR path)
{
    Empty();
    if (!ReadWholeFile(path, data))
        return FALSE;
    byteCount = DWORD(data.size());
    MakeCursor();
    if (!hCursor) {
        Empty();
        return FALSE;
    }
    loaded = TRUE;
    return TRUE;
}

BOOL CCursor::MakeCursor()
{
    hCursor = win::LoadCursorFromBytes(data);
    return TRUE;
}

BOOL CCursor::Save(LPCTSTR path)
{
    if (data.empty())
        return TRUE;
    return WriteNewFile(path, data);
}

void CCursor::Serialize(CArchive& ar)
{
    SerializeEx(ar, FALSE);
}

void CCursor::SerializeEx(CArchive& ar, BOOL bCompressed)
{
    try {
        SerializeByteCount(ar, bCompressed, byteCount);
    } catch (...) {
        // A stored cursor that does not load leaves the object empty.
        if (ar.IsLoading())
            Empty();
        throw;
    }
}

BOOL CCursor::LoadData(CArchive& ar)
{
    data.clear();
    if (!ReadExact(ar, byteCount, data)) {
        Empty();
        return FALSE;
    }
    MakeCursor();
    loaded = TRUE;
    return TRUE;
}

BOOL CCursor::StoreData(CArchive& ar)
{
    return data.empty() ? TRUE : WriteBytes(ar, data);
}
