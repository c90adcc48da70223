#pragma once
// A codec bitmap in one heap block: the 40-byte header, the palette and the
// rows, as a packed DIB.

#include "buttonlib/media/CImageBitmap.h"

#include "platform/mfc/GlobalMemory.h"

class CGlobalDIB : public CImageBitmap {
public:
    // A 16 x 16 8-bit bitmap without alpha.
    CGlobalDIB();

    std::size_t GetMemUsed() override;
    LONG GetBytesPerLine() override;

    virtual void Draw(HDC dc, int x, int y, DWORD rop = SRCCOPY);
    virtual void StretchDraw(HDC dc, int x, int y, int w, int h, DWORD rop = SRCCOPY);
    virtual void StretchDraw(HDC dc, int x, int y, double factor, DWORD rop = SRCCOPY);
    // Draws the picture's rectangle (counted from its top-left) at (x, y).
    virtual void DrawExtract(HDC dc, int x, int y, int left, int top, int right, int bottom);
    // Copies a whole packed DIB (header, palette, rows).
    virtual void CreateFromPackedDIB(const BITMAPINFOHEADER* header, std::size_t size);
    // A movable, shareable global block with a packed DIB copy; the caller owns it.
    virtual HGLOBAL GetDIBCopy();
    // The picture of a bitmap as GetDIBits gives it, 16 and 24 bits taken as 32.
    void CreateFromHBITMAP(HBITMAP bitmap);

    const BITMAPINFOHEADER* GetBMI() const { return reinterpret_cast<const BITMAPINFOHEADER*>(m_Block.data()); }

protected:
    void InternalCreate(LONG width, LONG height, WORD bpp, bool alpha) override;
    void FreeMembers() override;
    void InitLineArray() override;
    // Points palette and bits into the block.
    virtual void InitLocals(LONG width, LONG height, WORD bpp);

    // Header and palette size of the block.
    std::size_t HeaderBytes() const { return sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * std::size_t(GetPaletteSize()); }
    void WriteHeader(LONG width, LONG height, WORD bpp);

    std::vector<BYTE> m_Block;
};
