#include "buttonlib/media/CDIBSectionBitmap.h"

#include <cstring>
#include <new>

CDIBSectionBitmap::CDIBSectionBitmap()
{
    CDIBSectionBitmap::FreeMembers();
    CDIBSectionBitmap::InternalCreate(16, 16, 8, false);
}

CDIBSectionBitmap::~CDIBSectionBitmap()
{
    CDIBSectionBitmap::FreeMembers();
}

void CDIBSectionBitmap::InternalCreate(LONG width, LONG height, WORD bpp, bool alpha)
{
    CheckSize(width, height, bpp);
    const std::size_t palette = bpp < 16 ? sizeof(RGBQUAD) << bpp : 0;
    try {
        m_Block.assign(sizeof(BITMAPINFOHEADER) + palette, 0);
    } catch (const std::bad_alloc&) {
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
    }
    WriteHeader(width, height, bpp);
    m_bpp = bpp;
    m_pPalette = bpp < 16 ? reinterpret_cast<RGBQUAD*>(m_Block.data() + sizeof(BITMAPINFOHEADER)) : nullptr;
    if (bpp < 16)
        SetGreyRamp();
    void* bits = nullptr;
    m_hBitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(m_Block.data()), DIB_RGB_COLORS, &bits,
                                 nullptr, 0);
    if (!m_hBitmap) {
        m_Block.clear();
        m_pPalette = nullptr;
        m_bpp = 0;
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
    }
    m_pBits = static_cast<BYTE*>(bits);
    m_Width = width;
    m_Height = height;
    m_bAlpha = alpha;
    InitLineArray();
}

void CDIBSectionBitmap::InitLocals(LONG, LONG, WORD bpp)
{
    m_pPalette = bpp < 16 ? reinterpret_cast<RGBQUAD*>(m_Block.data() + sizeof(BITMAPINFOHEADER)) : nullptr;
}

void CDIBSectionBitmap::FreeMembers()
{
    if (m_hBitmap)
        DeleteObject(m_hBitmap);
    m_hBitmap = nullptr;
    CGlobalDIB::FreeMembers();
}

void CDIBSectionBitmap::blit(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh, DWORD rop)
{
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, m_hBitmap);
    // The palette may have changed since the section was made.
    if (m_pPalette)
        SetDIBColorTable(mem, 0, UINT(GetPaletteSize()), m_pPalette);
    if (w == sw && h == sh) {
        BitBlt(dc, x, y, w, h, mem, sx, sy, rop);
    } else {
        // Through the block: the section's rows are the DIB's rows.
        StretchDIBits(dc, x, y, w, h, sx, m_Height - sy - sh, sw, sh, m_pBits,
                      reinterpret_cast<const BITMAPINFO*>(m_Block.data()), DIB_RGB_COLORS, rop);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
}

void CDIBSectionBitmap::Draw(HDC dc, int x, int y, DWORD rop)
{
    blit(dc, x, y, m_Width, m_Height, 0, 0, m_Width, m_Height, rop);
}

void CDIBSectionBitmap::StretchDraw(HDC dc, int x, int y, int w, int h, DWORD rop)
{
    blit(dc, x, y, w, h, 0, 0, m_Width, m_Height, rop);
}

void CDIBSectionBitmap::DrawExtract(HDC dc, int x, int y, int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return;
    blit(dc, x, y, right - left, bottom - top, left, top, right - left, bottom - top, SRCCOPY);
}

void CDIBSectionBitmap::CreateFromPackedDIB(const BITMAPINFOHEADER* header, std::size_t size)
{
    if (!header || size < sizeof(BITMAPINFOHEADER) || header->biSize != sizeof(BITMAPINFOHEADER) ||
        header->biCompression != BI_RGB)
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
    const WORD bpp = header->biBitCount;
    CheckSize(header->biWidth, header->biHeight, bpp);
    const std::size_t palette = bpp < 16 ? sizeof(RGBQUAD) << bpp : 0;
    const std::size_t rows = std::size_t(BytesPerLine(header->biWidth, bpp)) * std::size_t(header->biHeight);
    if (size < sizeof(BITMAPINFOHEADER) + palette + rows)
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
    Create(header->biWidth, header->biHeight, bpp, false);
    const BYTE* p = reinterpret_cast<const BYTE*>(header) + sizeof(BITMAPINFOHEADER);
    if (m_pPalette)
        std::memcpy(m_pPalette, p, palette);
    std::memcpy(m_pBits, p + palette, rows);
}

HGLOBAL CDIBSectionBitmap::GetDIBCopy()
{
    const std::size_t header = HeaderBytes();
    const std::size_t rows = std::size_t(GetBytesPerLine()) * std::size_t(m_Height);
    HGLOBAL h = GlobalAlloc(GMEM_DDESHARE | GMEM_MOVEABLE, header + rows);
    if (!h)
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
    BYTE* p = static_cast<BYTE*>(GlobalLock(h));
    std::memcpy(p, m_Block.data(), header);
    std::memcpy(p + header, m_pBits, rows);
    GlobalUnlock(h);
    return h;
}

HBITMAP CDIBSectionBitmap::DetachSection()
{
    HBITMAP taken = m_hBitmap;
    m_hBitmap = nullptr;
    CGlobalDIB::FreeMembers();
    InternalCreate(16, 16, 8, false);
    return taken;
}
