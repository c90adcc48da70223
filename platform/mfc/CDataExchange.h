#pragma once
// Data exchange between a dialog's members and its items. Loading
// (m_bSaveAndValidate FALSE) shows each member in its item; saving reads
// and checks them. A failed check shows its message, gives the item the
// focus and ends the exchange; UpdateData then returns FALSE.

#include "platform/mfc/CDialog.h"
#include "platform/mfc/CException.h"

// Ends an exchange whose check failed; the message has been shown.
class CUserException : public CException {
public:
    const char* what() const noexcept override { return "The data were not accepted."; }
};

class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;

    // The item an exchange works on now; the checks after it refer to it.
    win::HWND PrepareCtrl(int nIDC);
    win::HWND PrepareEditCtrl(int nIDC);
    // Focuses the last item prepared (an edit with its text selected) and
    // throws CUserException.
    [[noreturn]] void Fail();

private:
    int lastControl_ = 0;
    bool lastWasEdit_ = false;
};

void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// The index of the checked radio button of the group that starts at
// nIDC, in group order; -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// BST_UNCHECKED or BST_CHECKED.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Attaches the control object to the item, once.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// On saving: the value lies in minVal..maxVal.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
