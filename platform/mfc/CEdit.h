#pragma once
// A single-line edit item of a dialog.

#include "platform/mfc/CWnd.h"

inline constexpr UINT EM_LIMITTEXT = 0x00C5;

class CEdit : public CWnd {
public:
    // At most nChars characters (0: the largest limit); the user's further
    // characters are refused.
    void LimitText(int nChars = 0);
    // Selects from start to end (-1: to the end) and scrolls the caret into
    // view unless bNoScroll.
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
    void GetSel(int& nStartChar, int& nEndChar) const;
};
