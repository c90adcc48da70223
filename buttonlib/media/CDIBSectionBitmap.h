#pragma once
// A codec bitmap whose rows live in a GDI DIB section (header and palette in
// a heap block), so it can be selected into a DC and blitted.

#include "buttonlib/media/CGlobalDIB.h"

class CDIBSectionBitmap : public CGlobalDIB {
public:
    // A 16 x 16 8-bit section without alpha.
    CDIBSectionBitmap();
    ~CDIBSectionBitmap() override;

    void Draw(HDC dc, int x, int y, DWORD rop = SRCCOPY) override;
    void StretchDraw(HDC dc, int x, int y, int w, int h, DWORD rop = SRCCOPY) override;
    using CGlobalDIB::StretchDraw;
    void DrawExtract(HDC dc, int x, int y, int left, int top, int right, int bottom) override;
    // A new section from the header and palette; the rows are copied too.
    void CreateFromPackedDIB(const BITMAPINFOHEADER* header, std::size_t size) override;
    HGLOBAL GetDIBCopy() override;

    HBITMAP GetHandle() const { return m_hBitmap; }
    // Hands the section over to the caller (who deletes it) and starts a
    // fresh 16 x 16 8-bit one.
    HBITMAP DetachSection();

protected:
    void InternalCreate(LONG width, LONG height, WORD bpp, bool alpha) override;
    void FreeMembers() override;
    void InitLocals(LONG width, LONG height, WORD bpp) override;

private:
    // Blits through a memory DC holding the section, its colour table set.
    void blit(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh, DWORD rop);

    HBITMAP m_hBitmap = nullptr;
};
