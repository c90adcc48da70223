#pragma once
// The module's string table and message boxes. Strings are the module's
// RT_STRING resources (UTF-8); boxes go through the message-box port
// (win::MessageBox), titled with the module's application name.

#include "platform/mfc/WinTypes.h"
#include "platform/win/MessageBox.h"

// Adds string nID to the module's table; FALSE when nID is taken.
BOOL AfxRegisterString(UINT nID, const CString& text);
// FALSE (and rString empty) when the table has no such string.
BOOL AfxLoadString(UINT nID, CString& rString);
// String nIDS with every "%1" replaced by lpsz1.
void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1);

// The answer (IDOK, IDYES, ...). The box is owned by the modal dialog on
// top, else the active window. The help id is not used: no help opens from
// a message box here.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = win::MB_OK, UINT nIDHelp = 0);
// The text of string nIDPrompt.
int AfxMessageBox(UINT nIDPrompt, UINT nType = win::MB_OK, UINT nIDHelp = UINT(-1));
