#pragma once
// The bitmaps the codecs decode into and encode from: a bottom-up Windows
// DIB (rows padded to 4 bytes) with a palette below 16 bits per pixel and a
// line array whose entry i points at row i counted from the top. Decoders
// write rows only through the line array.

#include "buttonlib/media/CPLObject.h"

#include "platform/gdi/Gdi.h"

#include <cstddef>
#include <vector>

class CImageBitmap : public CPLObject {
public:
    // The largest pixel block a codec bitmap may have.
    static constexpr std::size_t kMaxImageBytes = std::size_t(512) << 20;

    CImageBitmap() = default;
    CImageBitmap(const CImageBitmap&) = delete;
    CImageBitmap& operator=(const CImageBitmap&) = delete;
    ~CImageBitmap() override = default;

    // A new picture: width x height at 1, 4, 8, 16, 24 or 32 bits, the grey
    // ramp as palette below 16 bits. Raises code 10 "Can't create bitmap."
    // for sizes that cannot be had.
    virtual void Create(LONG width, LONG height, WORD bpp, bool alpha);
    // Header block + palette + rows + 44 bytes for the object.
    virtual std::size_t GetMemUsed() = 0;
    virtual LONG GetBytesPerLine() = 0;

    // Copies 2^bpp entries (used for 8-bit pictures).
    void SetPalette(const RGBQUAD* entries);
    void SetHasAlpha(bool alpha) { m_bAlpha = alpha; }

    LONG GetWidth() const { return m_Width; }
    LONG GetHeight() const { return m_Height; }
    WORD GetBitsPerPixel() const { return m_bpp; }
    bool HasAlpha() const { return m_bAlpha; }
    RGBQUAD* GetPalette() const { return m_pPalette; }
    int GetPaletteSize() const { return m_bpp < 16 ? 1 << m_bpp : 0; }
    // The first byte of the bottom row.
    BYTE* GetBits() const { return m_pBits; }
    BYTE** GetLineArray() { return m_LineArray.empty() ? nullptr : m_LineArray.data(); }

    // Bytes of one row, padded to whole DWORDs, counted in full width.
    static std::size_t RowBytes(LONG width, WORD bpp) { return ((std::size_t(width) * bpp + 31) / 32) * 4; }
    // The same as a LONG: only for sizes CheckSize has let through.
    static LONG BytesPerLine(LONG width, WORD bpp) { return LONG(RowBytes(width, bpp)); }

protected:
    virtual void InternalCreate(LONG width, LONG height, WORD bpp, bool alpha) = 0;
    virtual void FreeMembers() = 0;
    virtual void InitLineArray() = 0;

    // Checks a size before anything is allocated; raises code 10.
    static void CheckSize(LONG width, LONG height, WORD bpp);
    // Fills the palette with the grey ramp of its size.
    void SetGreyRamp();

    LONG m_Width = 0;
    LONG m_Height = 0;
    WORD m_bpp = 0;
    RGBQUAD* m_pPalette = nullptr;
    BYTE* m_pBits = nullptr;
    bool m_bAlpha = false;
    std::vector<BYTE*> m_LineArray;
};
