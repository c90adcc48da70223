#pragma once
// A rectangle as MFC passes it: left, top, right and bottom, the right column
// and bottom row outside it.

#include "platform/gdi/Gdi.h"

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}
    CRect(const RECT& r) : RECT(r) {}

    // Differences in 64 bits cut to a LONG, as the platform's are.
    LONG Width() const { return LONG(static_cast<long long>(right) - left); }
    LONG Height() const { return LONG(static_cast<long long>(bottom) - top); }
    BOOL IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }
    void SetRect(LONG l, LONG t, LONG r, LONG b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    bool operator==(const CRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};
