#pragma once
// Pens, brushes, the drawing state of a device context and the shapes drawn
// with them. Shapes are scan-converted by this layer itself, without
// antialiasing; a bounding rectangle's right column and bottom row lie
// outside the figure. Every drawing call stays inside the DC's clip region.

#include "platform/gdi/Gdi.h"

#include <cstdint>

struct HPEN__;
struct HFONT__;
struct HRGN__;
using HPEN = HPEN__*;
using HFONT = HFONT__*;
using HRGN = HRGN__*;

struct POINT {
    LONG x;
    LONG y;
};

struct SIZE {
    LONG cx;
    LONG cy;
};

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
};

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    // The bitmap handle of a pattern brush.
    std::uintptr_t lbHatch;
};

// Pen styles. The dashed styles draw solid lines here.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_DASHDOTDOT = 4;
inline constexpr int PS_NULL = 5;
// The whole outline lies inside the bounding rectangle.
inline constexpr int PS_INSIDEFRAME = 6;

// Brush styles.
inline constexpr UINT BS_SOLID = 0;
inline constexpr UINT BS_NULL = 1;
inline constexpr UINT BS_HOLLOW = BS_NULL;
inline constexpr UINT BS_PATTERN = 3;

// More stock objects (Gdi.h has the first ones).
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int DEFAULT_GUI_FONT = 17;

// Background modes: whether text and patterns fill their background.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// System colour indexes.
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;

// Pens and brushes. A width of 0 or less draws one pixel wide. A pattern
// brush copies the bitmap: a monochrome one draws its 0 bits in the DC's
// text colour and its 1 bits in the background colour; patterns repeat from
// the DC's origin.
HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP hbm);

// Device context state.
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
COLORREF GetBkColor(HDC hdc);
COLORREF GetTextColor(HDC hdc);
// The colour the DC's bitmap shows for a colour: itself on a true-colour
// surface, the nearest entry on a palette or monochrome one.
COLORREF GetNearestColor(HDC hdc, COLORREF color);
DWORD GetSysColor(int index);
BOOL SetSysColors(int count, const int* indexes, const COLORREF* colors);
// a * b / c rounded half away from zero; -1 when c is 0 or the result does
// not fit.
int MulDiv(int a, int b, int c);

// Shapes: the interior in the selected brush, the outline in the selected
// pen. A pen wider than one pixel is centred on the outline unless it is
// PS_INSIDEFRAME; with the null pen the brush covers the whole figure.
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
// Alternate fill; the outline joins the last point to the first.
BOOL Polygon(HDC hdc, const POINT* points, int count);
// The part of the ellipse's outline counter-clockwise from the ray through
// the start point to the ray through the end point.
BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);

// Edges: two rings of lines, the outer one on the rectangle and the inner
// one a pixel inside it. The top and left lines take one colour, the bottom
// and right lines another; the bottom row and the right column run the full
// length, so the bottom-left and top-right corners are theirs.
inline constexpr UINT BDR_RAISEDOUTER = 0x0001;
inline constexpr UINT BDR_SUNKENOUTER = 0x0002;
inline constexpr UINT BDR_RAISEDINNER = 0x0004;
inline constexpr UINT BDR_SUNKENINNER = 0x0008;
inline constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT BF_LEFT = 0x0001;
inline constexpr UINT BF_TOP = 0x0002;
inline constexpr UINT BF_RIGHT = 0x0004;
inline constexpr UINT BF_BOTTOM = 0x0008;
inline constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
// Raised: the outer ring COLOR_3DLIGHT above COLOR_3DDKSHADOW, the inner
// COLOR_BTNHIGHLIGHT above COLOR_BTNSHADOW; sunken: the outer ring
// COLOR_BTNSHADOW above COLOR_BTNHIGHLIGHT, the inner COLOR_3DDKSHADOW above
// COLOR_3DLIGHT. Only the sides in flags are drawn.
BOOL DrawEdge(HDC hdc, RECT* rect, UINT edge, UINT flags);
// The dotted outline that marks the focus: every other pixel of the
// rectangle's border is inverted, those whose x + y is even in the DC's
// coordinates. Drawing it again removes it.
BOOL DrawFocusRect(HDC hdc, const RECT* rect);

namespace gdi {

// The screen's dots per inch, reported as LOGPIXELSX and LOGPIXELSY; 96
// unless set (values below 1 restore 96).
void SetScreenDpi(int dpi);
int ScreenDpi();

} // namespace gdi

#include "platform/gdi/Region.h"
#include "platform/gdi/Text.h"
