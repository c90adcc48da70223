#pragma once
// The font dialog, asked through the UI services (com::Ui()): our own
// dialog with face, style, size, underline and strike-out, and no colour or
// script choice.

#include "platform/com/UiServices.h"
#include "platform/mfc/CObject.h"
#include "platform/mfc/CWnd.h"

#include <cstdint>

class CDC;

using com::CF_EFFECTS;
using com::CF_INITTOLOGFONTSTRUCT;
using com::CF_SCREENFONTS;

class CFontDialog : public CObject {
    DECLARE_DYNAMIC(CFontDialog)

public:
    // With CF_INITTOLOGFONTSTRUCT the dialog opens on the given font.
    explicit CFontDialog(const LOGFONT* lplfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                         CDC* pdcPrinter = nullptr, CWnd* pParentWnd = nullptr);

    // IDOK with a font chosen, IDCANCEL.
    virtual std::intptr_t DoModal();
    void GetCurrentFont(LOGFONT* lplf) const;

    LOGFONT m_lf;

private:
    DWORD flags_;
    CWnd* parent_;
};
