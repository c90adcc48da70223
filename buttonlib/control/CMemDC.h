#pragma once
// A memory device context for flicker-free painting: drawing goes into a
// bitmap of the target rectangle's size, copied onto the target when the
// object goes out of scope.

#include "platform/mfc/CDC.h"

class CMemDC : public CDC {
public:
    CMemDC(CDC* pDC, const RECT& rect);
    ~CMemDC() override;

private:
    CDC* m_pDC;
    RECT m_rect;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
};
