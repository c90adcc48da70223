#pragma once
// The editor's font dialog: the font dialog with the choices the button's
// fonts take (face, style, size, underline and strike-out). Colour and
// script are none of the font's, so the dialog offers neither.

#include "platform/mfc/CFontDialog.h"

class CFontDialogEnh : public CFontDialog {
    DECLARE_DYNAMIC(CFontDialogEnh)

public:
    explicit CFontDialogEnh(const LOGFONT* lplfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                            CDC* pdcPrinter = nullptr, CWnd* pParentWnd = nullptr);
};
