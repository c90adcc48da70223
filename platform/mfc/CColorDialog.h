#pragma once
// The colour dialog, asked through the UI services (com::Ui()), whose
// colour requests go to the forms layer's dialog port.

#include "platform/mfc/CWnd.h"

#include <cstdint>

inline constexpr DWORD CC_RGBINIT = 0x00000001;
inline constexpr DWORD CC_FULLOPEN = 0x00000002;

class CColorDialog {
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
    virtual ~CColorDialog() = default;

    // IDOK with a colour chosen, IDCANCEL.
    virtual std::intptr_t DoModal();
    COLORREF GetColor() const { return color_; }

private:
    COLORREF color_;
    DWORD flags_;
};
