#pragma once
// A drop-down list item of a dialog. Code that selects sends no
// CBN_SELCHANGE; only the user's choice does.

#include "platform/mfc/CWnd.h"

inline constexpr UINT CB_GETCURSEL = 0x0147;
inline constexpr UINT CB_SETCURSEL = 0x014E;
inline constexpr int CB_ERR = -1;

class CComboBox : public CWnd {
public:
    // The new string's index.
    int AddString(const CString& text);
    int GetCount() const;
    // CB_ERR for an index out of range (the selection is then cleared).
    int SetCurSel(int nSelect);
    int GetCurSel() const;
    void ResetContent();
    CString GetLBText(int nIndex) const;
};
