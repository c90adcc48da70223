#pragma once
// A GDI palette owned by an object: created from a LOGPALETTE, deleted with
// the object or by DeleteObject.

#include "platform/gdi/Gdi.h"

class CPalette {
public:
    CPalette() = default;
    CPalette(const CPalette&) = delete;
    CPalette& operator=(const CPalette&) = delete;
    ~CPalette();

    // Replaces a palette already held. FALSE when none could be made.
    BOOL CreatePalette(const LOGPALETTE* lpLogPalette);
    // Takes over a palette made elsewhere, deleting the one held.
    BOOL Attach(HPALETTE hPalette);
    // Deletes the held palette; FALSE when there is none.
    BOOL DeleteObject();

    HPALETTE GetSafeHandle() const { return m_hObject; }
    operator HPALETTE() const { return m_hObject; }

    // 0 without a palette.
    int GetEntryCount() const;
    UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, PALETTEENTRY* lpPaletteColors) const;
    UINT SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, const PALETTEENTRY* lpPaletteColors);
    // CLR_INVALID without a palette.
    UINT GetNearestPaletteIndex(COLORREF crColor) const;

    HPALETTE m_hObject = nullptr;
};
