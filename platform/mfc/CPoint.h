#pragma once
// A point as MFC passes it.

#include "platform/gdi/Gdi.h"

class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(LONG px, LONG py) : POINT{px, py} {}

    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
};
