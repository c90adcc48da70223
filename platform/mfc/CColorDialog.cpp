#include "platform/mfc/CColorDialog.h"

#include "platform/com/UiServices.h"
#include "platform/win/MessageBox.h"

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd*) : color_(clrInit & 0xFFFFFF), flags_(dwFlags) {}

std::intptr_t CColorDialog::DoModal()
{
    // Without CC_RGBINIT the dialog opens on black.
    const auto chosen = com::Ui().ChooseColor((flags_ & CC_RGBINIT) ? color_ : 0);
    if (!chosen)
        return win::IDCANCEL;
    color_ = *chosen & 0xFFFFFF;
    return win::IDOK;
}
