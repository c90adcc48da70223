#pragma once
// The button's picture: one device-independent bitmap (a 40-byte header, the
// colour table and bottom-up rows padded to 4 bytes) in one global block,
// with a palette made from its table and a resolution in dots per inch. It is
// read and written as a BMP file image, attached from a library resource and
// stored through the media-object forms: four LONGs (keep-memory flag, pasted
// flag, an auxiliary value, the x resolution) and then the BMP image, plain
// or compressed. An empty picture stores nothing at all.
//
// Only 16- and 32-bit blocks given to Attach may carry BI_BITFIELDS masks;
// they sit between the header and the (empty) colour table.

#include "buttonlib/media/CBlob.h"

#include "platform/gdi/Gdi.h"
#include "platform/mfc/CFile.h"
#include "platform/mfc/CPalette.h"

#include <array>

class CDIB : public CBlob {
    DECLARE_SERIAL(CDIB)

public:
    // The shared default colour tables of 2, 16 and 256 entries.
    static const std::array<RGBQUAD, 2> kDefaultColors2;
    static const std::array<RGBQUAD, 16> kDefaultColors16;
    static const std::array<RGBQUAD, 256> kDefaultColors256;

    // The keep-memory flag is only stored and given back; the object always
    // frees the blocks it holds.
    explicit CDIB(BOOL bKeepMemory = FALSE);
    CDIB(const CDIB&) = delete;
    CDIB& operator=(const CDIB&) = delete;
    ~CDIB() override;

    // --- Creation (CDIB.cpp) --------------------------------------------------
    // Each creator replaces the held picture. Sizes that cannot be had
    // (negative, beyond the bitmap ceiling, more than 256 colours, a depth
    // other than 1, 4, 8, 16, 24 or 32) and a shortage of memory raise
    // CMemoryException and keep it.
    // A picture of the default table of its depth (when it has one) filled
    // with the colour, or the nearest entry of the table.
    BOOL CreateBlank(int width, int height, WORD bitCount, COLORREF fill);
    // Depth, resolution and, when templ's biSize is not 0, the colour table
    // of the template; templ may be this picture's own header.
    BOOL CreateFromHeader(int width, int height, const BITMAPINFO* templ, COLORREF fill);
    // Like src, filled white; keeps src's keep-memory flag and auxiliary value.
    BOOL CreateLike(int width, int height, const CDIB& src);
    // A copy of a whole packed DIB (header, table, rows).
    BOOL CreateFromPackedDIB(const BITMAPINFO* packed);
    // Takes over a packed DIB block (locked is its address): the object owns
    // and frees it from now on. A size other than 0xFFFFFFFF marks the
    // picture keep-memory. FALSE, and nothing taken, for a block whose header
    // is not sound or whose table and rows do not fit in it.
    BOOL Attach(HGLOBAL h, void* locked, DWORD size);
    // Copies GetImageSize() bytes into the rows.
    void SetBits(const void* bits, LONG pasted);
    // A deep copy with both resolutions; an empty src empties this picture.
    CDIB& Copy(const CDIB& src);
    // The picture of a library bitmap resource, copied into a block of its own.
    virtual BOOL LoadResource(UINT id);

    void Empty();
    void Free();
    BOOL IsValid() const { return m_pInfo != nullptr; }
    // Replaces pal with a palette of the first count colours of the table.
    BOOL BuildPalette(int count, CPalette* pal);

    // --- BMP files and memory (CDIB_file.cpp) --------------------------------
    // A BMP file image (Windows or OS/2 header) from the file's position.
    // FALSE, and the held picture kept, for anything that is not a sound
    // uncompressed bottom-up picture; 16- and 32-bit bit fields are read when
    // their masks are the standard 5-5-5 and 8-8-8 ones.
    virtual BOOL Read(CFile* f);
    virtual BOOL Load(LPCTSTR path);
    // BMP file bytes from memory, zlib-compressed to exactly rawSize bytes
    // or plain.
    BOOL SetData(const void* data, DWORD size, BOOL bCompressed, DWORD rawSize);
    // Rows first to last - 1 counted from the top, as a picture of their own.
    virtual BOOL WriteRows(CFile* f, int first, int last);
    virtual BOOL Write(CFile* f);
    // Writes the whole picture when first equals last, else those rows; the
    // old file stays when writing fails.
    virtual BOOL Save(LPCTSTR path, int first = 0, int last = 0);

    // --- Stored forms (CDIB_file.cpp, CDIB_archive.cpp) ----------------------
    // A failed payload raises CMemoryException; the held picture and its
    // stored values then stay as they were.
    void Serialize(CArchive& ar) override;
    void SerializeEx(CArchive& ar, BOOL bCompressed) override;
    // The four LONGs, a DWORD that is 1 when a picture follows, then the
    // compressed picture.
    void SerializeWithFlag(CArchive& ar);
    // The BMP image in an archive: no OS/2 header, and the pixels follow the
    // table directly whatever the file header's offset says.
    BOOL LoadData(CArchive& ar) override;
    BOOL StoreData(CArchive& ar) override;

    // --- Geometry, table and resolution (CDIB.cpp) --------------------------
    virtual LONG GetWidth() const;
    virtual LONG GetHeight() const;
    virtual DWORD GetRowBytes() const;
    WORD GetBitCount() const;
    // biClrUsed, or 2, 16 or 256 by depth; 0 above 8 bits and when empty.
    int GetColorCount() const;
    RGBQUAD* GetColorTable() const;
    BYTE* GetBits() const { return m_pBits; }
    BITMAPINFO* GetInfo() const { return m_pInfo; }
    DWORD GetImageSize() const { return m_dwImageSize; }
    LONG GetKeepMemory() const { return m_bKeepMemory; }
    LONG GetAux() const { return m_lAux; }
    CPalette* GetPalette() { return &m_Palette; }
    // Dots per inch; also written into the header as pels per metre.
    void SetDpi(LONG x, LONG y);
    void GetDpi(LONG* x, LONG* y) const;

protected:
    // Truncated toward zero.
    static LONG DpiFromPels(LONG pels);
    // Takes over a new block holding a picture read from outside.
    void Adopt(HGLOBAL h, DWORD colorCount, DWORD imageBytes);
    // The bytes of the masks between the header and the table.
    DWORD MaskBytes() const;
    // The BMP file image of rows first to last - 1 to a file or an archive.
    template <class Out>
    BOOL WriteImage(Out& out, int first, int last) const;

    const RGBQUAD* m_pDefaultColors2 = kDefaultColors2.data();
    const RGBQUAD* m_pDefaultColors16 = kDefaultColors16.data();
    const RGBQUAD* m_pDefaultColors256 = kDefaultColors256.data();
    LONG m_bKeepMemory;
    HGLOBAL m_hDIB = nullptr;
    BITMAPINFO* m_pInfo = nullptr;
    BYTE* m_pBits = nullptr;
    CPalette m_Palette;
    DWORD m_dwImageSize = 0;
    LONG m_bPasted = 0;
    LONG m_lAux = -1;
    LONG m_nDpiX = 150;
    LONG m_nDpiY = 150;
};
