#pragma once
// A device context owned by an object, with the drawing calls the library
// makes through it. Like MFC's, the object deletes the DC it holds when it is
// destroyed; a DC attached from elsewhere is detached first by its caller.

#include "platform/gdi/Gdi.h"

class CPalette;

class CDC {
public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    // A memory DC compatible with pDC (null: the screen). FALSE when one is
    // already held or none could be made.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    BOOL Attach(HDC hDC);
    HDC Detach();
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    HGDIOBJ SelectObject(HGDIOBJ obj);
    // The palette it replaces, or null.
    HPALETTE SelectPalette(CPalette* pPalette, BOOL bForceBackground);
    UINT RealizePalette();
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const;

    BOOL BitBlt(int x, int y, int w, int h, CDC* pSrcDC, int xSrc, int ySrc, DWORD rop);
    BOOL StretchBlt(int x, int y, int w, int h, CDC* pSrcDC, int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop);
    BOOL PatBlt(int x, int y, int w, int h, DWORD rop);

    HDC m_hDC = nullptr;
};
