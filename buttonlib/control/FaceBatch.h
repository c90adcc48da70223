#pragma once
// While one lives, the faces rendered share the mask shapes made for them
// and the bevel's scratch bitmap: the faces built together are of one
// unchanged button, and a fresh large bitmap costs its first touch of every
// page.

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/control/FaceDrawing.h"

#include <cstring>

class CLumvexCtrl::FaceBatch {
public:
    // Nested batches leave the work to the outermost one.
    explicit FaceBatch(CLumvexCtrl& control) : control_(control), outermost_(!control.m_pFaceBatch)
    {
        if (outermost_)
            control_.m_pFaceBatch = this;
    }
    ~FaceBatch()
    {
        if (!outermost_)
            return;
        control_.m_pFaceBatch = nullptr;
        control_.m_maskCache.clear();
    }
    FaceBatch(const FaceBatch&) = delete;
    FaceBatch& operator=(const FaceBatch&) = delete;

    // A top-down 32-bit section of w x h, all zero, as TopDownSection32
    // makes it; the batch keeps it for the next one of that size. Null
    // when it cannot be made.
    HBITMAP Section32(int w, int h, void** bits)
    {
        if (scratch_ && w == w_ && h == h_) {
            std::memset(bits_, 0, std::size_t(w) * std::size_t(h) * 4);
            *bits = bits_;
            return scratch_.get();
        }
        scratch_.reset(facedraw::TopDownSection32(w, h, &bits_));
        w_ = scratch_ ? w : 0;
        h_ = scratch_ ? h : 0;
        *bits = bits_;
        return scratch_.get();
    }

private:
    CLumvexCtrl& control_;
    const bool outermost_;
    facedraw::OwnedBitmap scratch_;
    void* bits_ = nullptr;
    int w_ = 0;
    int h_ = 0;
};
