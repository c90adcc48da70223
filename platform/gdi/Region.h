#pragma once
// Regions: sets of pixels built from rectangles and shapes, combined, moved
// and tested, and the clip region of a device context. A shape's region
// holds exactly the pixels the same shape paints when filled with the null
// pen.

#include "platform/gdi/Gdi.h"

class QRegion;

struct RGNDATAHEADER {
    DWORD dwSize;
    DWORD iType;
    DWORD nCount;
    DWORD nRgnSize;
    RECT rcBound;
};

// The header is followed by nCount RECTs.
struct RGNDATA {
    RGNDATAHEADER rdh;
    char Buffer[1];
};

struct XFORM {
    float eM11;
    float eM12;
    float eM21;
    float eM22;
    float eDx;
    float eDy;
};

inline constexpr DWORD RDH_RECTANGLES = 1;

// Region kinds, the result of the calls that make or change a region.
inline constexpr int ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;

inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;

// Polygon fill modes.
inline constexpr int ALTERNATE = 1;
inline constexpr int WINDING = 2;

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
// The union of the rectangles after the header; only without a transform.
HRGN ExtCreateRegion(const XFORM* xform, DWORD count, const RGNDATA* data);
// dest becomes src1 combined with src2 (src2 unused for RGN_COPY); dest may
// be one of the sources.
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN hrgn, int dx, int dy);
BOOL PtInRegion(HRGN hrgn, int x, int y);
int GetRgnBox(HRGN hrgn, RECT* box);
BOOL EqualRgn(HRGN a, HRGN b);
// The DC keeps a copy; NULL removes the clip region.
int SelectClipRgn(HDC hdc, HRGN hrgn);

namespace gdi {

// A region as the window layer takes it (an empty QRegion for a handle that
// is not a region).
QRegion ToQRegion(HRGN hrgn);

} // namespace gdi
