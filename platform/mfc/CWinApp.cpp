#include "platform/mfc/CWinApp.h"

#include <mutex>

namespace {

CWinApp* g_app = nullptr;

} // namespace

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_pszAppName(lpszAppName ? lpszAppName : "")
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CString AfxGetAppName()
{
    return g_app ? g_app->m_pszAppName : CString();
}

BOOL AfxInitModule()
{
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    if (!g_app)
        return TRUE;
    if (g_app->m_initialized == 0)
        g_app->m_initialized = g_app->InitInstance() ? 1 : -1;
    return g_app->m_initialized > 0 ? TRUE : FALSE;
}
