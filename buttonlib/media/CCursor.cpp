#include "buttonlib/media/CCursor.h"

IMPLEMENT_SERIAL(CCursor, CBlob, 0)

CCursor::CCursor() = default;

CCursor::~CCursor() = default;

void CCursor::Empty()
{
    CFileBlob::Empty();
    hCursor = nullptr;
}

BOOL CCursor::Load(LPCTSTR path)
{
    if (!ReadFile(path))
        return FALSE;
    MakeCursor();
    if (!hCursor) {
        Empty();
        return FALSE;
    }
    return TRUE;
}

BOOL CCursor::MakeCursor()
{
    hCursor = win::LoadCursorFromBytes(data);
    return TRUE;
}

void CCursor::BytesLoaded()
{
    MakeCursor();
}
