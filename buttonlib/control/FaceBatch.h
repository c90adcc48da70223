#pragma once
// While one lives, the faces rendered share the mask shapes made for them:
// the faces built together are of one unchanged button.

#include "buttonlib/control/CLumvexCtrl.h"

class CLumvexCtrl::FaceBatch {
public:
    explicit FaceBatch(CLumvexCtrl& control) : control_(control) { ++control_.m_nFaceRendering; }
    ~FaceBatch()
    {
        if (--control_.m_nFaceRendering == 0)
            control_.m_maskCache.clear();
    }
    FaceBatch(const FaceBatch&) = delete;
    FaceBatch& operator=(const FaceBatch&) = delete;

private:
    CLumvexCtrl& control_;
};
