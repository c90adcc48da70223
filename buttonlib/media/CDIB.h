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
#include "platform/mfc/CDC.h"
#include "platform/mfc/CFile.h"
#include "platform/mfc/CPalette.h"
#include "platform/mfc/CPoint.h"
#include "platform/mfc/CRect.h"

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
    // A copy of a whole packed DIB (a 40-byte or larger header, table, rows);
    // FALSE for an OS/2 core header.
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

    // --- Device bitmaps, image files and export (CDIB_load.cpp) --------------
    // The picture of a device bitmap at 1, 4, 8, 16 or 24 bits (deeper
    // bitmaps become 24). Up to 8 bits the table is colors (2, 16 or 256
    // entries by depth) or, when colors is null, the default one. FALSE, and
    // the picture kept, for a bitmap that cannot be read; CMemoryException
    // when memory is short.
    BOOL Create(HBITMAP hbm, const RGBQUAD* colors);
    // A device bitmap of the picture, owned by the caller: monochrome for a
    // 1-bit picture, else of the screen's kind. Null without a picture.
    HBITMAP CreateBitmap(int* bitCount) const;
    // Any format the codecs read. Pictures of 1- and 4-bit palette PNG files
    // are held at that depth with the default table; other 8-bit results
    // keep their own table; deeper ones become 24 bits. FALSE, and the held
    // picture kept, when the data cannot be decoded.
    virtual BOOL LoadImage(LPCTSTR path);
    virtual BOOL LoadImage(const void* data, DWORD size);
    // The same, keeping the decoded table at every depth.
    virtual BOOL LoadImageRaw(LPCTSTR path);
    virtual BOOL LoadImageRaw(const void* data, DWORD size);
    // FALSE without a picture or when the file cannot be written.
    virtual BOOL SavePNG(LPCTSTR path);
    virtual BOOL SaveJPEG(LPCTSTR path);

    // --- Drawing, stretching, filling and cropping (CDIB_draw.cpp) ----------
    // Source rectangles of the drawing calls count rows from the bottom of
    // the picture; nothing is drawn without a picture.
    virtual int Draw(CDC* pDC, const CRect& dest, const CRect& src);
    virtual void Draw(CDC* pDC, int x, int y);
    virtual int DrawAnd(CDC* pDC, const CRect& dest, const CRect& src);
    // (0, 0, width, height); the width.
    virtual LONG GetRect(CRect* out);
    // Stretches this picture onto a device bitmap made of dest, which then
    // becomes that bitmap's picture: 1 bit stays 1 bit, every other depth
    // takes the screen's (24 bits).
    virtual BOOL StretchInto(CDIB& dest, int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc, int cxSrc,
                             int cySrc, DWORD rop);
    // Without a picture, PatBlt of the destination rectangle.
    virtual int StretchToDC(HDC hdc, int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc, int cxSrc,
                            int cySrc, DWORD rop);
    // Rectangles from the top-left corner of each picture; dest keeps its
    // depth and table.
    virtual void StretchBltInto(CDIB& dest, int xDest, int yDest, int cxDest, int cyDest, int xSrc, int ySrc, int cxSrc,
                                int cySrc, DWORD rop);
    virtual void FillRect(const CRect& r, DWORD rop);
    // BLACKNESS and WHITENESS fill the rectangle (from the top-left) with
    // black or white, or the table's nearest entry; other operations do
    // nothing.
    virtual void Fill(int x, int y, int cx, int cy, DWORD rop);
    // The picture becomes its rectangle (from the top-left); parts outside
    // it come out white. An empty or inverted rectangle changes nothing.
    virtual void Crop(int left, int top, int right, int bottom);

    // --- Clipboard (CDIB_clipboard.cpp) -------------------------------------
    // Replaces what the clipboard holds with the picture; FALSE, and the
    // clipboard left alone, without a picture, and FALSE when the clipboard
    // refuses it.
    virtual BOOL CopyToClipboard();
    // The picture on the clipboard, which the caller has opened.
    virtual BOOL PasteFromClipboard();

    // --- Formats and colour tables (CDIB_palette.cpp) -----------------------
    // Converts the held picture (see DibChangeFormat); FALSE, and the picture
    // kept, when that cannot be done.
    virtual BOOL ChangeFormat(int bitCount, DWORD compression);
    // An 8-bit picture's pixels take the nearest colour of the palette (up to
    // 256 entries), whose colours become its table. Other depths: FALSE.
    virtual BOOL MapToPalette(CPalette* pal);
    // Each writes the held table's entries (GetColorCount of them, as far as
    // the source has entries) and returns how many it wrote.
    int SetColorTable(const BITMAPINFO* info);
    int SetColorsFromPalette(CPalette* pal);
    // Also copies the palette's entries into the picture's own palette.
    int SetPaletteFrom(CPalette* pal);

    // --- Pixels and rows (CDIB_pixels.cpp) ----------------------------------
    // Memory rows: y counts from the bottom row. Coordinates outside the
    // picture read 0 and write nothing. A COLORREF value for 16 and 24 bits,
    // an index up to 8 bits (1 bit: 1 sets, anything else clears; 4 bits:
    // the low four bits).
    COLORREF GetPixel(int x, int y) const;
    void SetPixel(int x, int y, DWORD value);
    // Up to 8 bits; -1 at other depths and outside the picture.
    int GetPixelIndex(int x, int y) const;
    // Top rows: y counts from the top row. Null outside the picture.
    BYTE* GetPixelAddress(int x, int y) const;
    // 24-bit pictures only.
    BOOL GetRGB(int x, int y, COLORREF* out) const;
    BOOL SetRGB(int x, int y, const COLORREF* in);
    // Copies cy rows of cxBytes bytes from this picture's (xSrc, ySrc) to
    // dest's (xDest, yDest), top rows, clipped to both pictures; with a key
    // other than -1 bytes equal to (BYTE)key are left out.
    virtual void BlitBytes(CDIB& dest, int xDest, int yDest, int cxBytes, int cy, int xSrc, int ySrc, int key);
    BOOL FlipY();
    // Keeps the top rows when shrinking; added rows come at the bottom,
    // zeroed. A height that cannot be had raises CMemoryException.
    BOOL ResizeHeight(int height);
    // Keeps rows first to last - 1 counted from the top; FALSE for rows
    // outside the picture.
    BOOL KeepRows(int first, int last);
    // src's rows go below this picture's; nothing changes unless both have
    // one width and depth. Without a picture this becomes a copy of src.
    CDIB& AppendRows(const CDIB& src);
    // Complements the indices (up to 8 bits) or the colours (24 bits); 16-
    // and 32-bit pictures stay. Returns the height.
    int Invert();
    // 2, 16, 256, 65536 or 16777216 by depth; 0 for other depths.
    int GetMaxColors() const;

    // --- Image operations (CDIB_ops.cpp) ------------------------------------
    // Turns the picture about its origin (counter-clockwise for positive
    // degrees on a bottom-up picture); the corners take the background.
    virtual BOOL Rotate(int degrees, COLORREF background);
    // 1-bit pictures: a pixel stays set only where every pixel of its masks'
    // neighbourhood is set (erosion) or is set where any is (dilation); the
    // masks (7, 7, 7) are the 3 x 3 square.
    virtual BOOL ErodeOnce(WORD m1, WORD m2, WORD m3);
    virtual BOOL Erode(int count);
    virtual BOOL DilateOnce(WORD m1, WORD m2, WORD m3);
    virtual BOOL Dilate(int count);
    // 16- and 24-bit pictures: passes of distance count, count - 1, ..., 1.
    virtual BOOL Soften(int count);
    virtual BOOL SoftenOnce(int distance);
    virtual BOOL SoftenOnce16(int distance);
    virtual BOOL SoftenOnce24(int distance);
    // 16- and 24-bit pictures: a 3 x 3 mean with the centre counted
    // centreWeight times; the border stays.
    virtual void Smooth(int centreWeight);
    // Lights this picture by other (of the same size): each pixel keeps the
    // hue and saturation of its blend with the tint and takes a lightness
    // from both pictures' lightness.
    virtual BOOL Colorize(CDIB* other, int percent, COLORREF tint, int tintPercent);

    // --- Outlines and contours (CDIB_outline.cpp) ---------------------------
    static constexpr int kMaxContourPoints = 5000;
    // The smallest rectangle (memory rows, inclusive) of the pixels that are
    // not white; returns its bottom + 1, or 0 (and an empty rectangle) when
    // every pixel is white.
    int GetBoundingRect(CRect* out);
    // The picture becomes black with white pixels where the colour changes
    // along rows and columns.
    BOOL OutlineEdges();
    BOOL OutlineRuns();
    // Follows the white pixels from (x, y) (memory rows), clearing each;
    // out has room for kMaxContourPoints points. Returns the point count.
    int TraceContour(int x, int y, CPoint* out, int* count);
    // The contour of the outline of a copy turned upside down.
    int FindContour(CPoint* out);

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
    // One pass of erosion (or of dilation, as erosion of the complement) over
    // whole row bytes, the padding bits included.
    BOOL ErodeRows(WORD m1, WORD m2, WORD m3, bool dilate);
    // count passes (as a WORD) of ErodeOnce or DilateOnce with the 3 x 3 square.
    BOOL RepeatSquare(int count, BOOL (CDIB::*pass)(WORD, WORD, WORD));
    // The outline of OutlineEdges (runs false) or OutlineRuns.
    BOOL Outline(bool runs);
    // Loads through the codecs; keepTable keeps the decoded table at every depth.
    BOOL Decode(const char* path, const void* data, DWORD size, bool keepTable);
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

// The first of count table entries (RGBQUADs, or RGBTRIPLEs behind an OS/2
// header) of the colour's red, green and blue; -1 when there is none.
int DibFindColor(const BITMAPINFO* info, int count, COLORREF colour);
