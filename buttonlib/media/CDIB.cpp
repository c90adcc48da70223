// The picture object: creation, the held block, palette, resolution and
// library resources.

#include "buttonlib/media/CDIB.h"

#include "buttonlib/media/DibBlock.h"
#include "buttonlib/media/DibUtil.h"
#include "platform/gdi/Surface.h"
#include "platform/win/Resources.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <vector>

IMPLEMENT_SERIAL(CDIB, CBlob, 0)

namespace {

constexpr DWORD kHeaderBytes = sizeof(BITMAPINFOHEADER);

LONG pelsFromDpi(LONG dpi)
{
    const double pels = std::trunc(double(dpi) * 39.37007874015748);
    return LONG(std::clamp(pels, double(std::numeric_limits<LONG>::min()), double(std::numeric_limits<LONG>::max())));
}

// 2, 16 or 256 by depth up to 8 bits, else 0.
DWORD tableSizeFor(WORD bitCount)
{
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

bool knownDepth(WORD bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

} // namespace

LONG CDIB::DpiFromPels(LONG pels)
{
    return LONG(double(pels) * 2.541 / 100);
}

CDIB::CDIB(BOOL bKeepMemory)
    : m_bKeepMemory(bKeepMemory)
{
}

CDIB::~CDIB()
{
    Empty();
}

void CDIB::Free()
{
    m_Palette.DeleteObject();
    if (m_hDIB) {
        GlobalUnlock(m_hDIB);
        GlobalFree(m_hDIB);
        m_hDIB = nullptr;
    }
    m_pInfo = nullptr;
    m_pBits = nullptr;
}

void CDIB::Empty()
{
    Free();
    m_dwImageSize = 0;
    m_bPasted = 0;
}

DWORD CDIB::MaskBytes() const
{
    return m_pInfo && m_pInfo->bmiHeader.biCompression == BI_BITFIELDS ? 12 : 0;
}

BOOL CDIB::CreateBlank(int width, int height, WORD bitCount, COLORREF fill)
{
    BITMAPINFO templ{};
    templ.bmiHeader.biWidth = width;
    templ.bmiHeader.biHeight = height;
    templ.bmiHeader.biPlanes = 1;
    templ.bmiHeader.biBitCount = bitCount;
    return CreateFromHeader(width, height, &templ, fill);
}

BOOL CDIB::CreateFromHeader(int width, int height, const BITMAPINFO* templ, COLORREF fill)
{
    if (!templ)
        return FALSE;
    // The template may be this picture's own header, released when the new
    // block is taken.
    const BITMAPINFOHEADER from = templ->bmiHeader;
    const DWORD count = from.biClrUsed ? from.biClrUsed : tableSizeFor(from.biBitCount);
    if (width < 0 || height < 0 || !knownDepth(from.biBitCount) || count > 256)
        AfxThrowMemoryException();
    const std::size_t rowBytes = gdi::Surface::StrideFor(width, from.biBitCount);
    if (height && rowBytes > gdi::Surface::kMaxBytes / std::size_t(height))
        AfxThrowMemoryException();
    const DWORD imageBytes = DWORD(rowBytes * std::size_t(height));
    std::vector<RGBQUAD> table(count);
    if (count) {
        const RGBQUAD* source = templ->bmiColors;
        DWORD available = count;
        if (from.biSize == 0) {
            const DWORD n = tableSizeFor(from.biBitCount);
            source = n == 2 ? kDefaultColors2.data() : n == 16 ? kDefaultColors16.data() : kDefaultColors256.data();
            available = std::min<DWORD>(count, n ? n : 256);
        }
        std::copy_n(source, available, table.begin());
    }

    GlobalBlockOwner owner(GlobalAlloc(GMEM_MOVEABLE, kHeaderBytes + 4 * count + imageBytes));
    if (!owner.get())
        AfxThrowMemoryException();
    {
        GlobalLockScope lock(owner.get());
        BITMAPINFOHEADER hdr{};
        hdr.biSize = kHeaderBytes;
        hdr.biWidth = width;
        hdr.biHeight = height;
        hdr.biPlanes = from.biPlanes;
        hdr.biBitCount = from.biBitCount;
        hdr.biCompression = BI_RGB;
        hdr.biSizeImage = imageBytes;
        hdr.biXPelsPerMeter = from.biXPelsPerMeter;
        hdr.biYPelsPerMeter = from.biYPelsPerMeter;
        hdr.biClrUsed = hdr.biClrImportant = count;
        std::memcpy(lock.get(), &hdr, sizeof hdr);
        std::copy(table.begin(), table.end(), reinterpret_cast<RGBQUAD*>(lock.get() + kHeaderBytes));
    }
    Adopt(owner.release(), count, imageBytes);
    const BITMAPINFOHEADER& hdr = m_pInfo->bmiHeader;

    DWORD fillIndex = 0;
    if (count) {
        const UINT nearest = m_Palette.GetNearestPaletteIndex(fill);
        fillIndex = nearest == CLR_INVALID ? 0 : nearest;
    }
    BYTE* bits = m_pBits;
    switch (hdr.biBitCount) {
    case 1: std::memset(bits, fillIndex == 1 ? 0xFF : 0x00, imageBytes); break;
    case 4: std::memset(bits, int((fillIndex << 4) | fillIndex), imageBytes); break;
    case 8: std::memset(bits, int(fillIndex), imageBytes); break;
    case 16: {
        const WORD w = DibPack555(fill);
        for (DWORD i = 0; i + 1 < imageBytes; i += 2) {
            bits[i] = BYTE(w);
            bits[i + 1] = BYTE(w >> 8);
        }
        break;
    }
    default: {
        // 24 and 32 bits: every pixel, the row padding left alone.
        const std::size_t step = hdr.biBitCount / 8;
        for (int y = 0; y < height; ++y) {
            BYTE* p = bits + rowBytes * std::size_t(y);
            for (int x = 0; x < width; ++x, p += step) {
                p[0] = GetBValue(fill);
                p[1] = GetGValue(fill);
                p[2] = GetRValue(fill);
            }
        }
        break;
    }
    }
    m_nDpiX = DpiFromPels(hdr.biXPelsPerMeter);
    m_nDpiY = DpiFromPels(hdr.biYPelsPerMeter);
    return TRUE;
}

BOOL CDIB::CreateLike(int width, int height, const CDIB& src)
{
    if (!src.IsValid() || !CreateFromHeader(width, height, src.m_pInfo, RGB(255, 255, 255)))
        return FALSE;
    m_bKeepMemory = src.m_bKeepMemory;
    m_lAux = src.m_lAux;
    m_bPasted = 0;
    return TRUE;
}

BOOL CDIB::CreateFromPackedDIB(const BITMAPINFO* packed)
{
    // The rows are taken from behind a 40-byte header and a table of 4-byte
    // entries: an OS/2 core header has neither, and its sizes lie elsewhere.
    if (!packed || packed->bmiHeader.biSize < kHeaderBytes)
        return FALSE;
    if (!CreateFromHeader(packed->bmiHeader.biWidth, packed->bmiHeader.biHeight, packed, RGB(255, 255, 255)))
        return FALSE;
    SetBits(reinterpret_cast<const BYTE*>(packed) + kHeaderBytes + 4 * std::size_t(GetColorCount()), 0);
    return TRUE;
}

BOOL CDIB::Attach(HGLOBAL h, void* locked, DWORD size)
{
    DWORD imageBytes = 0;
    {
        DibBlock block(h);
        const BITMAPINFOHEADER* hdr = block.Header();
        if (!block.Whole() || static_cast<const void*>(hdr) != locked ||
            (hdr->biCompression != BI_RGB && hdr->biCompression != BI_BITFIELDS))
            return FALSE;
        imageBytes = hdr->biSizeImage ? hdr->biSizeImage : block.ImageBytes();
        if (static_cast<unsigned long long>(kHeaderBytes) + block.TableBytes() + imageBytes > GlobalSize(h))
            return FALSE;
    }
    if (h != m_hDIB)
        Free();
    if (size != 0xFFFFFFFF)
        m_bKeepMemory = 1;
    m_bPasted = 0;
    m_hDIB = h;
    m_pInfo = static_cast<BITMAPINFO*>(locked);
    m_lAux = 24;
    m_pBits = static_cast<BYTE*>(locked) + kHeaderBytes + DibTableBytes(locked);
    m_dwImageSize = imageBytes;
    m_nDpiX = DpiFromPels(m_pInfo->bmiHeader.biXPelsPerMeter);
    m_nDpiY = DpiFromPels(m_pInfo->bmiHeader.biYPelsPerMeter);
    return TRUE;
}

void CDIB::Adopt(HGLOBAL h, DWORD colorCount, DWORD imageBytes)
{
    Free();
    m_hDIB = h;
    m_pInfo = static_cast<BITMAPINFO*>(GlobalLock(h));
    m_pBits = reinterpret_cast<BYTE*>(m_pInfo) + kHeaderBytes + 4 * colorCount;
    m_dwImageSize = imageBytes;
    m_bPasted = 0;
    BuildPalette(int(colorCount), &m_Palette);
}

BOOL CDIB::LoadResource(UINT id)
{
    win::HRSRC found = win::FindResource(nullptr, id, win::RT_BITMAP);
    if (!found)
        return FALSE;
    const void* bytes = win::LockResource(win::LoadResource(nullptr, found));
    const DWORD size = win::SizeofResource(nullptr, found);
    if (!bytes)
        return FALSE;
    // The library's resources are read-only: the picture gets its own copy.
    GlobalBlockOwner copy(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!copy.get())
        return FALSE;
    void* locked = GlobalLock(copy.get());
    std::memcpy(locked, bytes, size);
    if (!Attach(copy.get(), locked, size)) {
        GlobalUnlock(copy.get());
        return FALSE;
    }
    copy.release();
    return TRUE;
}

void CDIB::SetBits(const void* bits, LONG pasted)
{
    if (!m_pBits || !bits)
        return;
    std::memcpy(m_pBits, bits, m_dwImageSize);
    m_bPasted = pasted;
}

CDIB& CDIB::Copy(const CDIB& src)
{
    if (&src == this)
        return *this;
    Empty();
    if (!src.IsValid())
        return *this;
    CreateLike(src.GetWidth(), src.GetHeight(), src);
    m_nDpiX = src.m_nDpiX;
    m_nDpiY = src.m_nDpiY;
    SetBits(src.m_pBits, 0);
    return *this;
}

BOOL CDIB::BuildPalette(int count, CPalette* pal)
{
    if (!pal)
        return FALSE;
    pal->DeleteObject();
    if (count <= 0)
        return TRUE;
    const RGBQUAD* table = GetColorTable();
    if (!table || count > 256)
        return FALSE;
    return pal->Attach(DibPaletteFromTable(table, WORD(count)));
}

LONG CDIB::GetWidth() const
{
    return m_pInfo ? m_pInfo->bmiHeader.biWidth : 0;
}

LONG CDIB::GetHeight() const
{
    return m_pInfo ? m_pInfo->bmiHeader.biHeight : 0;
}

DWORD CDIB::GetRowBytes() const
{
    return m_pInfo ? DWORD(gdi::Surface::StrideFor(m_pInfo->bmiHeader.biWidth, m_pInfo->bmiHeader.biBitCount)) : 0;
}

WORD CDIB::GetBitCount() const
{
    return m_pInfo ? m_pInfo->bmiHeader.biBitCount : 0;
}

int CDIB::GetColorCount() const
{
    return m_pInfo ? DibColorCount(m_pInfo) : 0;
}

RGBQUAD* CDIB::GetColorTable() const
{
    return m_pInfo ? reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(m_pInfo) + kHeaderBytes + MaskBytes()) : nullptr;
}

void CDIB::SetDpi(LONG x, LONG y)
{
    if (m_pInfo) {
        m_pInfo->bmiHeader.biXPelsPerMeter = pelsFromDpi(x);
        m_pInfo->bmiHeader.biYPelsPerMeter = pelsFromDpi(y);
    }
    m_nDpiX = x;
    m_nDpiY = y;
}

void CDIB::GetDpi(LONG* x, LONG* y) const
{
    if (x)
        *x = m_nDpiX;
    if (y)
        *y = m_nDpiY;
}
