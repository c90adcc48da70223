#pragma once
// The module's application object: one per library (or program), made as a
// global object, initialised once before the module's first use.

#include "platform/mfc/WinTypes.h"

class CWinApp {
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // The title of the module's message boxes.
    CString m_pszAppName;
    // The module's help file.
    CString m_pszHelpFilePath;

private:
    friend BOOL AfxInitModule();
    // 0 before InitInstance ran, then 1 (TRUE) or -1 (FALSE).
    int m_initialized = 0;
};

// The module's application object, or null.
CWinApp* AfxGetApp();
CString AfxGetAppName();
// Runs the application object's InitInstance once (later calls give its
// first result); TRUE without an application object.
BOOL AfxInitModule();
