#include "platform/mfc/CPalette.h"

CPalette::~CPalette()
{
    DeleteObject();
}

BOOL CPalette::CreatePalette(const LOGPALETTE* lpLogPalette)
{
    DeleteObject();
    m_hObject = ::CreatePalette(lpLogPalette);
    return m_hObject ? TRUE : FALSE;
}

BOOL CPalette::Attach(HPALETTE hPalette)
{
    DeleteObject();
    m_hObject = hPalette;
    return hPalette ? TRUE : FALSE;
}

BOOL CPalette::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    const BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return ok;
}

int CPalette::GetEntryCount() const
{
    WORD n = 0;
    return m_hObject && ::GetObject(m_hObject, sizeof n, &n) ? n : 0;
}

UINT CPalette::GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, PALETTEENTRY* lpPaletteColors) const
{
    return m_hObject && lpPaletteColors ? ::GetPaletteEntries(m_hObject, nStartIndex, nNumEntries, lpPaletteColors) : 0;
}

UINT CPalette::SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, const PALETTEENTRY* lpPaletteColors)
{
    return m_hObject ? ::SetPaletteEntries(m_hObject, nStartIndex, nNumEntries, lpPaletteColors) : 0;
}

UINT CPalette::GetNearestPaletteIndex(COLORREF crColor) const
{
    return m_hObject ? ::GetNearestPaletteIndex(m_hObject, crColor) : CLR_INVALID;
}
