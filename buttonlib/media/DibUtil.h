#pragma once
// Packed DIBs in global blocks (a Windows or OS/2 header, the colour table,
// the pixel rows): header queries, BMP files, conversion to and from device
// bitmaps, changes of depth and compression, palettes (the popularity
// palette reduces true-colour pictures to 256 colours), mask helpers and
// drawing. Every function reports failure by a null handle or FALSE.

#include "platform/gdi/Gdi.h"
#include "platform/mfc/CFile.h"
#include "platform/mfc/GlobalMemory.h"

#include <cstddef>
#include <memory>
#include <vector>

// The BMP file header, stored as 14 bytes (2 + 12) without padding.
struct BITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
inline constexpr DWORD kBitmapFileHeaderBytes = 14;
// "BM"
inline constexpr WORD kBitmapFileType = 0x4D42;

// The OS/2 header.
struct BITMAPCOREHEADER {
    DWORD bcSize;
    WORD bcWidth;
    WORD bcHeight;
    WORD bcPlanes;
    WORD bcBitCount;
};
static_assert(sizeof(BITMAPCOREHEADER) == 12);

struct RGBTRIPLE {
    BYTE rgbtBlue;
    BYTE rgbtGreen;
    BYTE rgbtRed;
};

// The file header from its 14 stored bytes, and back.
BITMAPFILEHEADER DibParseFileHeader(const BYTE* bytes);
void DibFormatFileHeader(const BITMAPFILEHEADER& fh, BYTE* bytes);

// Checks a Windows header that came from outside before anything is sized
// from it: width and height above 0 (top-down rows are not read), 1, 4, 8,
// 16, 24 or 32 bits, at most 256 colours, and pixel rows within the bitmap
// layer's ceiling. Gives the colour count and the bytes of the rows.
bool DibCheckHeader(const BITMAPINFOHEADER& h, DWORD* colorCount, DWORD* imageBytes);

// --- Header queries -----------------------------------------------------
// The header may be the Windows or the OS/2 form; the first DWORD tells.
WORD DibColorCount(const void* header);
// Bytes between the header and the pixels: the colour table, with the 12
// mask bytes of BI_BITFIELDS in front of it.
DWORD DibTableBytes(const void* header);
// The first 40 bytes of the block, with a Windows header's zero biSizeImage
// and biClrUsed filled in.
BOOL DibHeaderInfo(HGLOBAL h, BITMAPINFOHEADER* out);
BOOL DibGetSize(HGLOBAL h, int* width, int* height);
DWORD DibGetColorsUsed(HGLOBAL h);
DWORD DibGetCompression(HGLOBAL h);
WORD DibGetBitCount(HGLOBAL h);
// Locks the block (the caller unlocks it) and points into it; FALSE when the
// block cannot hold its header and table.
BOOL DibLock(HGLOBAL h, BITMAPINFOHEADER** header, void** table, BYTE** pixels);

// --- Files -----------------------------------------------------------------
// Remembers the position in *start, then reads the 14 bytes.
BOOL DibReadFileHeader(CFile* file, BITMAPFILEHEADER* fh, LONG* start);
BOOL DibWriteFileHeader(CFile* file, const BITMAPFILEHEADER* fh);
// A block of the header (always the Windows form) and the colour table, the
// file positioned at the pixels. A file without "BM" is taken as a packed DIB.
HGLOBAL DibReadHeader(CFile* file);
// The whole packed DIB of a BMP file, or null.
HGLOBAL DibFileLoad(LPCTSTR path);
// A BMP file of the block as it stands; the old file stays on failure.
BOOL DibFileStore(LPCTSTR path, HGLOBAL h);
// The same at another depth or compression (both 0: as it stands).
BOOL DibFileStoreAs(LPCTSTR path, HGLOBAL h, WORD bitCount, DWORD compression);

// --- Device bitmaps and drawing --------------------------------------------
// bitCount 0 takes the bitmap's own depth; hpal null the default palette.
HGLOBAL DibFromDeviceBitmap(HBITMAP hbm, DWORD compression, WORD bitCount, HPALETTE hpal);
HBITMAP DibToDeviceBitmap(HGLOBAL h, HPALETTE hpal);
BOOL DibDrawDeviceBitmap(HDC hdc, int x, int y, HBITMAP hbm, DWORD rop);
// Rows start at scan line xSrc, as the caller's coordinates were always taken.
BOOL DibBltToDC(HDC hdc, int x, int y, int cx, int cy, HGLOBAL h, int xSrc, int ySrc, DWORD rop);
BOOL DibStretchToDC(HDC hdc, int x, int y, int cx, int cy, HGLOBAL h, int xSrc, int ySrc, int cxSrc, int cySrc,
                    DWORD rop);
HBITMAP DibCopyBitmap(HBITMAP hbm);
HBITMAP DibCropBitmap(HBITMAP hbm, const RECT* rect);

// --- Conversion and memory -------------------------------------------------
// A new packed DIB at another depth or compression; the source is unchanged.
HGLOBAL DibChangeFormat(HGLOBAL h, WORD bitCount, DWORD compression);
// Between depths of 16 bits and more, uncompressed, through DIB sections.
HGLOBAL DibConvertBySection(HGLOBAL h, DWORD compression, WORD bitCount);
// A zeroed header (with the 16-bit masks for BI_BITFIELDS) and room for the
// pixels; 16, 24 and 32 bits only.
HGLOBAL DibCreateHeader(int width, int height, WORD bitCount, DWORD compression);
// Each pixel takes the nearest entry of the palette, and the table becomes
// the palette's.
BOOL DibMapToPalette(HGLOBAL h, HPALETTE hpal);
HGLOBAL DibCopyHandle(HGLOBAL h);
// Fills dest from the start of src; FALSE when src is the smaller.
BOOL DibCopyContents(HGLOBAL dest, HGLOBAL src);

// --- Palettes (owned by the caller) ----------------------------------------
// The table's colours; without a table the popularity palette of the pixels
// (or the halftone palette when that is switched off). Writes the colour
// count into biClrUsed. The header, table and rows behind it must be whole.
HPALETTE DibMakePalette(BITMAPINFOHEADER* header);
HPALETTE DibMakePaletteFromHandle(HGLOBAL h);
HPALETTE DibMakePaletteWithFlags(HGLOBAL h, BYTE flags);
HPALETTE DibCopyPalette(HPALETTE hpal);
HPALETTE DibCopyPaletteWithFlags(HPALETTE hpal, BYTE flags);
HPALETTE DibPaletteFromTable(const RGBQUAD* table, WORD count);
HPALETTE DibHalftonePalette();
// Null on a screen without a system palette.
HPALETTE DibSystemPalette();
HPALETTE DibIdentityPalette(const RGBQUAD* table, int count);
int DibDevicePaletteSize(HDC hdc);
void DibClearSystemPalette();
void DibSetPopularityPalette(BOOL on);
BOOL DibGetPopularityPalette();

// --- 5-5-5 pixels ---------------------------------------------------------------
// A 16-bit pixel keeps the top five bits of each channel; read back, each
// channel is its five bits times 8.
inline WORD DibPack555(COLORREF c)
{
    return WORD(((GetRValue(c) >> 3) << 10) | ((GetGValue(c) >> 3) << 5) | (GetBValue(c) >> 3));
}
inline COLORREF DibUnpack555(WORD w)
{
    return RGB(BYTE(((w >> 10) & 0x1F) * 8), BYTE(((w >> 5) & 0x1F) * 8), BYTE((w & 0x1F) * 8));
}

// --- Masks -------------------------------------------------------------------
int MaskBitCount(DWORD mask);
// 255 when no bit is set.
int MaskLowestBit(DWORD mask);
// Bits 31 down to 1; 255 when none of them is set.
int MaskHighestBit(DWORD mask);
BOOL MaskIsContiguous(DWORD mask);

// --- Colour histogram ----------------------------------------------------------
// One saturating 16-bit count per 5-6-5 colour key.
struct ColorHistogramEntry {
    WORD count;
    WORD key;
};
using ColorHistogram = std::vector<ColorHistogramEntry>;
inline constexpr std::size_t kColorHistogramSize = 65536;

// Entry i counts key i; null when memory is short.
std::unique_ptr<ColorHistogram> ColorHistogramCreate();
void ColorHistogramAdd(ColorHistogram& histogram, const BYTE* bgr);
// The n most frequent colours, widened back to 8 bits; equal counts by key,
// so every machine makes the same palette. Reorders the histogram.
void ColorHistogramTop(ColorHistogram& histogram, RGBQUAD* out, int n);
