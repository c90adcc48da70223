#include "buttonlib/media/CImageBitmap.h"

#include <cstring>

void CImageBitmap::Create(LONG width, LONG height, WORD bpp, bool alpha)
{
    FreeMembers();
    InternalCreate(width, height, bpp, alpha);
}

void CImageBitmap::CheckSize(LONG width, LONG height, WORD bpp)
{
    const bool depthOk = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    if (!depthOk || width <= 0 || height <= 0)
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
    // Counted in full width: a row of more than 2 GiB must not wrap to a
    // small LONG and pass.
    if (RowBytes(width, bpp) > kMaxImageBytes / std::size_t(height))
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
}

void CImageBitmap::SetPalette(const RGBQUAD* entries)
{
    if (m_pPalette && entries)
        std::memcpy(m_pPalette, entries, sizeof(RGBQUAD) * std::size_t(GetPaletteSize()));
}

void CImageBitmap::SetGreyRamp()
{
    if (!m_pPalette)
        return;
    const int n = GetPaletteSize();
    const int step = 255 / (n - 1);
    for (int i = 0; i < n; ++i)
        m_pPalette[i] = RGBQUAD{BYTE(step * i), BYTE(step * i), BYTE(step * i), 255};
}
