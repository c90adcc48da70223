#include "buttonlib/media/CGlobalDIB.h"

#include <cstring>
#include <new>

CGlobalDIB::CGlobalDIB()
{
    CGlobalDIB::InternalCreate(16, 16, 8, false);
}

std::size_t CGlobalDIB::GetMemUsed()
{
    return HeaderBytes() + std::size_t(GetBytesPerLine()) * std::size_t(m_Height) + 44;
}

LONG CGlobalDIB::GetBytesPerLine()
{
    return BytesPerLine(m_Width, m_bpp);
}

void CGlobalDIB::WriteHeader(LONG width, LONG height, WORD bpp)
{
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bpp;
    h.biCompression = BI_RGB;
    std::memcpy(m_Block.data(), &h, sizeof h);
}

void CGlobalDIB::InternalCreate(LONG width, LONG height, WORD bpp, bool alpha)
{
    CheckSize(width, height, bpp);
    const std::size_t palette = bpp < 16 ? sizeof(RGBQUAD) << bpp : 0;
    try {
        m_Block.assign(sizeof(BITMAPINFOHEADER) + palette + std::size_t(BytesPerLine(width, bpp)) * std::size_t(height), 0);
    } catch (const std::bad_alloc&) {
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
    }
    WriteHeader(width, height, bpp);
    InitLocals(width, height, bpp);
    m_Width = width;
    m_Height = height;
    m_bpp = bpp;
    m_bAlpha = alpha;
    InitLineArray();
    if (bpp < 16)
        SetGreyRamp();
}

void CGlobalDIB::InitLocals(LONG, LONG, WORD bpp)
{
    BYTE* p = m_Block.data() + sizeof(BITMAPINFOHEADER);
    m_pPalette = bpp < 16 ? reinterpret_cast<RGBQUAD*>(p) : nullptr;
    m_pBits = p + (bpp < 16 ? sizeof(RGBQUAD) << bpp : 0);
}

void CGlobalDIB::FreeMembers()
{
    m_Block.clear();
    m_LineArray.clear();
    m_pPalette = nullptr;
    m_pBits = nullptr;
    m_Width = m_Height = 0;
    m_bpp = 0;
}

void CGlobalDIB::InitLineArray()
{
    const std::size_t bpl = std::size_t(GetBytesPerLine());
    m_LineArray.resize(std::size_t(m_Height));
    for (LONG i = 0; i < m_Height; ++i)
        m_LineArray[std::size_t(i)] = m_pBits + std::size_t(m_Height - 1 - i) * bpl;
}

void CGlobalDIB::Draw(HDC dc, int x, int y, DWORD rop)
{
    StretchDraw(dc, x, y, m_Width, m_Height, rop);
}

void CGlobalDIB::StretchDraw(HDC dc, int x, int y, int w, int h, DWORD rop)
{
    StretchDIBits(dc, x, y, w, h, 0, 0, m_Width, m_Height, m_pBits,
                  reinterpret_cast<const BITMAPINFO*>(m_Block.data()), DIB_RGB_COLORS, rop);
}

void CGlobalDIB::StretchDraw(HDC dc, int x, int y, double factor, DWORD rop)
{
    StretchDraw(dc, x, y, int(factor * m_Width), int(factor * m_Height), rop);
}

void CGlobalDIB::DrawExtract(HDC dc, int x, int y, int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return;
    SetDIBitsToDevice(dc, x, y, DWORD(right - left), DWORD(bottom - top), left, m_Height - bottom, 0, UINT(m_Height),
                      m_pBits, reinterpret_cast<const BITMAPINFO*>(m_Block.data()), DIB_RGB_COLORS);
}

void CGlobalDIB::CreateFromPackedDIB(const BITMAPINFOHEADER* header, std::size_t size)
{
    if (!header || size < sizeof(BITMAPINFOHEADER) || header->biSize != sizeof(BITMAPINFOHEADER) ||
        header->biCompression != BI_RGB)
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
    const LONG width = header->biWidth;
    const LONG height = header->biHeight;
    const WORD bpp = header->biBitCount;
    CheckSize(width, height, bpp);
    const std::size_t palette = bpp < 16 ? sizeof(RGBQUAD) << bpp : 0;
    const std::size_t need = sizeof(BITMAPINFOHEADER) + palette + std::size_t(BytesPerLine(width, bpp)) * std::size_t(height);
    if (size < need)
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
    FreeMembers();
    try {
        const BYTE* p = reinterpret_cast<const BYTE*>(header);
        m_Block.assign(p, p + need);
    } catch (const std::bad_alloc&) {
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
    }
    InitLocals(width, height, bpp);
    m_Width = width;
    m_Height = height;
    m_bpp = bpp;
    m_bAlpha = false;
    InitLineArray();
}

HGLOBAL CGlobalDIB::GetDIBCopy()
{
    const std::size_t size = HeaderBytes() + std::size_t(GetBytesPerLine()) * std::size_t(m_Height);
    HGLOBAL h = GlobalAlloc(GMEM_DDESHARE | GMEM_MOVEABLE, size);
    if (!h)
        throw CTextException(kErrNoMemory, "Can't allocate global memory block.");
    std::memcpy(GlobalLock(h), m_Block.data(), size);
    GlobalUnlock(h);
    return h;
}

void CGlobalDIB::CreateFromHBITMAP(HBITMAP bitmap)
{
    HDC screen = GetDC(nullptr);
    // Header and up to 256 colours.
    std::vector<BYTE> scratch(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    auto* info = reinterpret_cast<BITMAPINFO*>(scratch.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 0;
    if (!GetDIBits(screen, bitmap, 0, 0, nullptr, info, DIB_RGB_COLORS)) {
        ReleaseDC(nullptr, screen);
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
    }
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biBitCount == 16 || h.biBitCount == 24)
        h.biBitCount = 32;
    h.biCompression = BI_RGB;
    try {
        FreeMembers();
        InternalCreate(h.biWidth, h.biHeight, h.biBitCount, false);
    } catch (...) {
        ReleaseDC(nullptr, screen);
        throw;
    }
    // The rows, and the colour table into the block's palette.
    auto* target = reinterpret_cast<BITMAPINFO*>(m_Block.data());
    const int got = GetDIBits(screen, bitmap, 0, UINT(m_Height), m_pBits, target, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (got != m_Height)
        throw CTextException(kErrNoMemory, "Can't create bitmap.");
}
