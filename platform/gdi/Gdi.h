#pragma once
// The GDI the library draws and converts bitmaps with, on a virtual screen:
// true colour (32 bits per pixel, no palette), 1024 x 768 pixels, 96 dots
// per inch. Device bitmaps are 32-bit colour or 1-bit monochrome; DIB
// sections keep the layout they were created with. Only the calls the
// library makes are here, with the platform's names and conventions
// (handles, BOOL and count results, bottom-up DIBs).

#include "platform/mfc/WinTypes.h"

struct HDC__;
struct HBITMAP__;
struct HPALETTE__;
struct HBRUSH__;
class QWidget;
// A window is its widget, as the window layer has it.
using HWND = QWidget*;
using HDC = HDC__*;
using HBITMAP = HBITMAP__*;
using HPALETTE = HPALETTE__*;
using HBRUSH = HBRUSH__*;
using HGDIOBJ = void*;
using HANDLE = void*;

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// The colour table follows the header (biSize bytes from the start); callers
// allocate room for it.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

struct LOGPALETTE {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD BI_RLE8 = 1;
inline constexpr DWORD BI_RLE4 = 2;
inline constexpr DWORD BI_BITFIELDS = 3;

inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr UINT DIB_PAL_COLORS = 1;

// Ternary raster operations: bits 16-23 are the truth table of f(P, S, D).
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD SRCERASE = 0x00440328;
inline constexpr DWORD NOTSRCCOPY = 0x00330008;
inline constexpr DWORD NOTSRCERASE = 0x001100A6;
inline constexpr DWORD MERGECOPY = 0x00C000CA;
inline constexpr DWORD MERGEPAINT = 0x00BB0226;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD PATPAINT = 0x00FB0A09;
inline constexpr DWORD PATINVERT = 0x005A0049;
inline constexpr DWORD DSTINVERT = 0x00550009;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

// GetDeviceCaps indexes.
inline constexpr int HORZSIZE = 4;
inline constexpr int VERTSIZE = 6;
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int NUMCOLORS = 24;
inline constexpr int RASTERCAPS = 38;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int SIZEPALETTE = 104;
inline constexpr int RC_BITBLT = 0x0001;
inline constexpr int RC_DI_BITMAP = 0x0080;
inline constexpr int RC_PALETTE = 0x0100;
inline constexpr int RC_DIBTODEV = 0x0200;
inline constexpr int RC_STRETCHBLT = 0x0800;
inline constexpr int RC_STRETCHDIB = 0x2000;

// Stock objects.
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int DEFAULT_PALETTE = 15;

// The virtual screen.
inline constexpr int kScreenWidth = 1024;
inline constexpr int kScreenHeight = 768;
inline constexpr int kScreenDpi = 96;

// Device contexts. GetDC(NULL) is the screen; a memory DC starts with a
// 1 x 1 monochrome bitmap selected, white brush, white background, black
// text and the default palette.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
int GetDeviceCaps(HDC hdc, int index);
// Returns the object it replaces, or NULL when either handle is not valid
// or a bitmap is already selected into another DC.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
// FALSE for an object selected into a DC; stock objects are never deleted.
BOOL DeleteObject(HGDIOBJ obj);
HGDIOBJ GetStockObject(int index);
int GetObject(HGDIOBJ obj, int size, void* out);
// The object of a kind selected into a DC; NULL for another kind or a DC
// that is not valid.
inline constexpr UINT OBJ_PEN = 1;
inline constexpr UINT OBJ_BRUSH = 2;
inline constexpr UINT OBJ_PAL = 5;
inline constexpr UINT OBJ_FONT = 6;
inline constexpr UINT OBJ_BITMAP = 7;
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF SetTextColor(HDC hdc, COLORREF color);

// Bitmaps.
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
// Planes 1 and 1 bit make a monochrome bitmap; 32 bits a colour one. Bits,
// when given, are rows padded to 2 bytes, top row first.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits);
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section, DWORD offset);
// A device bitmap of the DC's kind (monochrome for a memory DC holding a
// monochrome bitmap, colour otherwise) the size of the header; with CBM_INIT
// the DIB rows are drawn into it, each colour taking the nearest the bitmap
// can show.
inline constexpr DWORD CBM_INIT = 0x04;
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* bmi,
                       UINT usage);
// Writes the bitmap's rows in the format the header asks for; with bits NULL
// and biBitCount 0 fills in the header from the bitmap instead. Returns the
// scan lines copied (or nonzero for the header-only pass), 0 on failure.
int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, void* bits, BITMAPINFO* bmi, UINT usage);
UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors);
// Drawing is never batched here: nothing is pending.
BOOL GdiFlush();

// Blits. Source rectangles of bottom-up DIBs count from the bottom row.
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
// Stretch modes: how a blit that shrinks combines the source pixels falling
// onto one destination pixel. BLACKONWHITE (the default) ANDs their colours,
// WHITEONBLACK ORs them, COLORONCOLOR keeps one of them and HALFTONE averages
// every pixel the destination pixel overlaps, weighted by the overlap (also
// when enlarging). Otherwise a blit takes the nearest source pixel.
inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;
inline constexpr int STRETCH_ANDSCANS = BLACKONWHITE;
inline constexpr int STRETCH_ORSCANS = WHITEONBLACK;
inline constexpr int STRETCH_DELETESCANS = COLORONCOLOR;
inline constexpr int STRETCH_HALFTONE = HALFTONE;
// The previous mode, or 0 for a DC or mode that is not valid.
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);
// Negative extents mirror; FALSE for handles that are not valid.
BOOL StretchBlt(HDC hdc, int x, int y, int w, int h, HDC hdcSrc, int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop);
// A raster operation of the DC's brush and the destination alone; FALSE for
// an operation that needs a source.
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);
int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop);
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage);
int FillRect(HDC hdc, const RECT* rect, HBRUSH hbr);

// Metafiles: enhanced metafiles (EMF) and Windows metafiles (WMF) held as
// handles, read and checked record by record, and played onto a DC. A
// Windows metafile given without a picture description fills the virtual
// screen, as the platform's conversion has it.

struct HENHMETAFILE__;
using HENHMETAFILE = HENHMETAFILE__*;

struct SIZEL {
    LONG cx;
    LONG cy;
};

struct ENHMETAHEADER {
    DWORD iType;
    DWORD nSize;
    RECT rclBounds;
    RECT rclFrame; // in 0.01 mm
    DWORD dSignature;
    DWORD nVersion;
    DWORD nBytes;
    DWORD nRecords;
    WORD nHandles;
    WORD sReserved;
    DWORD nDescription;
    DWORD offDescription;
    DWORD nPalEntries;
    SIZEL szlDevice;      // reference device in pixels
    SIZEL szlMillimeters; // and in millimetres
    DWORD cbPixelFormat;
    DWORD offPixelFormat;
    DWORD bOpenGL;
    SIZEL szlMicrometers;
};
static_assert(sizeof(ENHMETAHEADER) == 108);

// Mapping modes, as metafiles record them.
inline constexpr LONG MM_TEXT = 1;
inline constexpr LONG MM_LOMETRIC = 2;
inline constexpr LONG MM_HIMETRIC = 3;
inline constexpr LONG MM_LOENGLISH = 4;
inline constexpr LONG MM_HIENGLISH = 5;
inline constexpr LONG MM_TWIPS = 6;
inline constexpr LONG MM_ISOTROPIC = 7;
inline constexpr LONG MM_ANISOTROPIC = 8;

struct METAFILEPICT {
    LONG mm;
    LONG xExt; // in 0.01 mm for the isotropic and anisotropic modes
    LONG yExt;
    void* hMF;
};

// NULL for data whose header is not a metafile header. The bytes are copied.
HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* data);
HENHMETAFILE SetWinMetaFileBits(UINT size, const BYTE* data, HDC ref, const METAFILEPICT* mfp);
// With header NULL returns the size of the header; else copies up to size
// bytes of it and returns the count. 0 for a handle that is not valid.
UINT GetEnhMetaFileHeader(HENHMETAFILE hemf, UINT size, ENHMETAHEADER* header);
// With entries NULL returns the number of palette entries; else copies up to
// count of them and returns how many.
UINT GetEnhMetaFilePaletteEntries(HENHMETAFILE hemf, UINT count, PALETTEENTRY* entries);
// Maps the picture frame onto the rectangle. Playback stops at the first
// record that fails its checks (FALSE), the records before it drawn.
BOOL PlayEnhMetaFile(HDC hdc, HENHMETAFILE hemf, const RECT* rect);
BOOL DeleteEnhMetaFile(HENHMETAFILE hemf);

// Palettes: plain data on a true-colour screen.
HPALETTE CreatePalette(const LOGPALETTE* plpal);
UINT GetPaletteEntries(HPALETTE hpal, UINT start, UINT count, PALETTEENTRY* entries);
UINT SetPaletteEntries(HPALETTE hpal, UINT start, UINT count, const PALETTEENTRY* entries);
// Least squared RGB distance; the lowest index on ties.
UINT GetNearestPaletteIndex(HPALETTE hpal, COLORREF color);
HPALETTE SelectPalette(HDC hdc, HPALETTE hpal, BOOL forceBackground);
UINT RealizePalette(HDC hdc);

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
// Palette entry flags.
inline constexpr BYTE PC_RESERVED = 0x01;
inline constexpr BYTE PC_EXPLICIT = 0x02;
inline constexpr BYTE PC_NOCOLLAPSE = 0x04;
// System palette use.
inline constexpr UINT SYSPAL_ERROR = 0;
inline constexpr UINT SYSPAL_STATIC = 1;
inline constexpr UINT SYSPAL_NOSTATIC = 2;
// The screen's system palette as data: 256 entries, the twenty static
// colours of the default palette at both ends (0-9, 246-255), black between.
// Nothing realised ever changes it: the screen shows true colour.
UINT GetSystemPaletteEntries(HDC hdc, UINT start, UINT count, PALETTEENTRY* entries);
// SYSPAL_STATIC for the screen and its memory DCs.
UINT GetSystemPaletteUse(HDC hdc);

#include "platform/gdi/GdiDraw.h"
