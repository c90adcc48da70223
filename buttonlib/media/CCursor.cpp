#include "buttonlib/media/CCursor.h"

#include "platform/win/Resources.h"

#include <span>

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

namespace {

constexpr DWORD kResourceVersion = 0x30000;

std::span<const BYTE> resourceBytes(win::HRSRC found)
{
    const auto* bytes = static_cast<const BYTE*>(win::LockResource(win::LoadResource(nullptr, found)));
    return bytes ? std::span<const BYTE>(bytes, win::SizeofResource(nullptr, found)) : std::span<const BYTE>();
}

} // namespace

BOOL CCursor::LoadFromResource(UINT id)
{
    Empty();
    const win::HRSRC group = win::FindResource(nullptr, id, win::RT_GROUP_CURSOR);
    if (!group)
        return FALSE;
    const int best = win::LookupIconIdFromDirectory(resourceBytes(group), false);
    const win::HRSRC image = best ? win::FindResource(nullptr, UINT(best), win::RT_CURSOR) : nullptr;
    if (!image)
        return FALSE;
    const std::span<const BYTE> bits = resourceBytes(image);
    hCursor = win::CreateIconFromResource(bits.data(), DWORD(bits.size()), false, kResourceVersion);
    if (!hCursor)
        return FALSE;
    loaded = TRUE;
    return TRUE;
}

void CCursor::BytesLoaded()
{
    MakeCursor();
}
