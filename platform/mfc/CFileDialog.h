#pragma once
// The file open and save dialogs, asked through the UI services
// (com::Ui()), whose file requests go to the forms layer's dialog port.
// The filter is in pipe syntax: "description|patterns|...||".

#include "platform/forms/CommonDialog.h"
#include "platform/mfc/CWnd.h"

#include <cstdint>

using forms::OFN_FILEMUSTEXIST;
using forms::OFN_HIDEREADONLY;
using forms::OFN_OVERWRITEPROMPT;
using forms::OFN_PATHMUSTEXIST;
using forms::OFN_READONLY;

struct OPENFILENAME {
    DWORD Flags = 0;
    // Null: the dialog's own title.
    LPCTSTR lpstrTitle = nullptr;
    LPCTSTR lpstrInitialDir = nullptr;
    // 1-based index of the filter shown first.
    DWORD nFilterIndex = 1;
};

class CFileDialog {
public:
    CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog() = default;

    // IDOK with a path chosen, IDCANCEL.
    virtual std::intptr_t DoModal();
    // The full path chosen.
    CString GetPathName() const { return path_; }
    // Its last component.
    CString GetFileName() const;
    // Its extension without the dot.
    CString GetFileExt() const;
    // Its last component without the extension.
    CString GetFileTitle() const;

    OPENFILENAME m_ofn;

private:
    bool open_;
    CString defExt_;
    CString fileName_;
    CString filter_;
    CString path_;
};
