#pragma once
// The up-down item of a dialog, with its buddy.

#include "platform/mfc/CWnd.h"

class CSpinButtonCtrl : public CWnd {
public:
    // The previous buddy.
    win::HWND SetBuddy(CWnd* buddy);
    win::HWND GetBuddy() const;
    void SetRange(int nLower, int nUpper);
    void GetRange(int& lower, int& upper) const;
    // The previous position.
    int SetPos(int nPos);
    int GetPos() const;
};
