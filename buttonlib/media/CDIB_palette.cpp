// Other pixel formats and the colour table: format changes, mapping onto a
// palette and the table setters.

#include "buttonlib/media/CDIB.h"

#include "buttonlib/media/DibUtil.h"

#include <algorithm>
#include <cstring>
#include <vector>

BOOL CDIB::ChangeFormat(int bitCount, DWORD compression)
{
    if (!m_hDIB || bitCount < 0 || bitCount > 32)
        return FALSE;
    HGLOBAL h = DibChangeFormat(m_hDIB, WORD(bitCount), compression);
    if (!h)
        return FALSE;
    void* locked = GlobalLock(h);
    if (!Attach(h, locked, 0xFFFFFFFF)) {
        // A form this object does not hold (run-length rows).
        GlobalUnlock(h);
        GlobalFree(h);
        return FALSE;
    }
    return TRUE;
}

BOOL CDIB::MapToPalette(CPalette* pal)
{
    if (!pal || !m_pInfo)
        return FALSE;
    const int n = pal->GetEntryCount();
    // Indices of 8 bits reach 256 entries at most.
    if (n <= 0 || n > 256 || m_pInfo->bmiHeader.biBitCount != 8 || m_pInfo->bmiHeader.biCompression != BI_RGB)
        return FALSE;
    std::vector<PALETTEENTRY> entries(std::size_t(n), PALETTEENTRY{});
    if (pal->GetPaletteEntries(0, UINT(n), entries.data()) != UINT(n))
        return FALSE;

    // Indices beyond the table show black.
    BYTE map[256];
    const int count = GetColorCount();
    const RGBQUAD* table = GetColorTable();
    for (int i = 0; i < 256; ++i) {
        const COLORREF c = i < count ? RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue) : RGB(0, 0, 0);
        map[i] = BYTE(pal->GetNearestPaletteIndex(c));
    }

    // A new block whose table has room for every entry of the palette.
    const std::size_t headBytes = sizeof(BITMAPINFOHEADER) + 4 * std::size_t(n);
    GlobalBlockOwner block(GlobalAlloc(GHND, headBytes + m_dwImageSize));
    if (!block.get())
        AfxThrowMemoryException();
    {
        GlobalLockScope lock(block.get());
        BITMAPINFOHEADER h = m_pInfo->bmiHeader;
        h.biClrUsed = DWORD(n);
        h.biClrImportant = DWORD(n);
        std::memcpy(lock.get(), &h, sizeof h);
        auto* colors = reinterpret_cast<RGBQUAD*>(lock.get() + sizeof h);
        for (int i = 0; i < n; ++i)
            colors[i] = RGBQUAD{entries[std::size_t(i)].peBlue, entries[std::size_t(i)].peGreen,
                                entries[std::size_t(i)].peRed, 0};
        BYTE* pixels = lock.get() + headBytes;
        for (DWORD k = 0; k < m_dwImageSize; ++k)
            pixels[k] = map[m_pBits[k]];
    }
    const LONG pasted = m_bPasted;
    Adopt(block.release(), DWORD(n), m_dwImageSize);
    m_bPasted = pasted;
    return TRUE;
}

int CDIB::SetColorTable(const BITMAPINFO* info)
{
    if (!m_pInfo || !info)
        return 0;
    const int theirs = info->bmiHeader.biClrUsed ? int(std::min<DWORD>(info->bmiHeader.biClrUsed, 256))
        : info->bmiHeader.biBitCount <= 8 ? 1 << info->bmiHeader.biBitCount
                                          : 0;
    const int n = std::min(GetColorCount(), theirs);
    std::copy_n(info->bmiColors, n, GetColorTable());
    return n;
}

int CDIB::SetColorsFromPalette(CPalette* pal)
{
    if (!m_pInfo || !pal)
        return 0;
    const int n = std::min(GetColorCount(), pal->GetEntryCount());
    if (n <= 0)
        return 0;
    std::vector<PALETTEENTRY> entries(std::size_t(n), PALETTEENTRY{});
    const int got = int(pal->GetPaletteEntries(0, UINT(n), entries.data()));
    RGBQUAD* table = GetColorTable();
    for (int i = 0; i < got; ++i)
        table[i] = RGBQUAD{entries[std::size_t(i)].peBlue, entries[std::size_t(i)].peGreen, entries[std::size_t(i)].peRed, 0};
    return got;
}

int CDIB::SetPaletteFrom(CPalette* pal)
{
    if (!pal)
        return 0;
    const int n = pal->GetEntryCount();
    if (n > 0) {
        std::vector<PALETTEENTRY> entries(std::size_t(n), PALETTEENTRY{});
        const UINT got = pal->GetPaletteEntries(0, UINT(n), entries.data());
        m_Palette.SetPaletteEntries(0, got, entries.data());
    }
    return SetColorsFromPalette(&m_Palette);
}
