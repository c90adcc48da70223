#pragma once
// A memory device context for flicker-free painting: drawing goes into a
// bitmap of the target rectangle's size, copied onto the target when the
// object goes out of scope.

#include "platform/mfc/CDC.h"

class CMemDC : public CDC {
public:
    // A bitmap kept from one paint to the next, so that a paint makes no new
    // one. Only for a caller that draws every pixel of the rectangle each
    // time: what the last paint left is never seen.
    class Kept {
    public:
        Kept() = default;
        Kept(const Kept&) = delete;
        Kept& operator=(const Kept&) = delete;
        ~Kept();

    private:
        friend class CMemDC;
        HBITMAP m_bitmap = nullptr;
        LONG m_width = 0;
        LONG m_height = 0;
    };

    CMemDC(CDC* pDC, const RECT& rect, Kept* kept = nullptr);
    ~CMemDC() override;

private:
    CDC* m_pDC;
    RECT m_rect;
    Kept* m_kept;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
};
