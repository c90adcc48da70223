#include "buttonlib/control/CLumvexApp.h"

#include "buttonlib/control/ControlIds.h"
#include "buttonlib/control/LumvexResources.h"

#include "platform/com/Module.h"
#include "platform/help/HtmlHelp.h"
#include "platform/mfc/AfxMessageBox.h"
#include "platform/win/Desktop.h"

#include <string>
#include <system_error>

namespace {

CLumvexApp theApp;

std::filesystem::path hostProgramPath()
{
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec);
}

// A help folder opened at a context number; a page that cannot be opened
// is named in a box over the window that asked for it.
void showPage(win::HWND owner, const std::filesystem::path& folder, UINT context)
{
    const std::string page = std::to_string(context) + ".htm";
    // Without a folder (no host program path) the page is looked for nowhere.
    std::string message = "The help page \"" + page + "\" is not installed.";
    if (!folder.empty() && help::DisplayTopic(folder, page, &message))
        return;
    const CString title = AfxGetAppName();
    win::MessageBox(owner, message.c_str(), title.empty() ? nullptr : title.c_str(),
                    win::MB_OK | win::MB_ICONINFORMATION);
}

class DesktopHelp final : public LumvexHelpPort {
public:
    void OpenLink(win::HWND, const CString& target) override
    {
        if (target.empty())
            return;
        // An address goes as it is; anything else is a file of this machine.
        const bool address = target.find("://") != CString::npos || target.rfind("mailto:", 0) == 0;
        win::OpenUrl(address ? target : win::FileUrl(target));
    }
    void ShowHtmlHelp(win::HWND owner, const std::filesystem::path& folder, UINT context) override
    {
        showPage(owner, folder, context);
    }
    void ShowWinHelp(const std::filesystem::path& folder, UINT context) override
    {
        // WinHelp has no owner: the box goes over the dialog that asked.
        showPage(nullptr, folder, context);
    }
};

} // namespace

CLumvexApp& LumvexApp()
{
    return theApp;
}

CLumvexApp::CLumvexApp()
{
    LumvexResources::Register();
}

BOOL CLumvexApp::InitInstance()
{
    const BOOL result = COleControlModule::InitInstance();
    if (!result)
        return result;
    LumvexResources::Register();
    AfxLoadString(IDS_APP_TITLE, m_pszAppName);
    m_htmlHelpPath = com::ThisModulePath().parent_path() / kLibraryHelpFolder;
    return result;
}

int CLumvexApp::ExitInstance()
{
    return COleControlModule::ExitInstance();
}

void CLumvexApp::SetHostHelpPath()
{
    const std::filesystem::path host = hostProgramPath();
    m_pszHelpFilePath = host.empty() ? CString() : (host.parent_path() / kHostHelpFolder).string();
}

void CLumvexApp::SetHelpPort(std::shared_ptr<LumvexHelpPort> port)
{
    m_helpPort = std::move(port);
}

LumvexHelpPort& CLumvexApp::helpPort()
{
    static DesktopHelp desktop;
    return m_helpPort ? *m_helpPort : desktop;
}

void CLumvexApp::ShowHtmlHelp(win::HWND owner, UINT context)
{
    if (m_htmlHelpPath.empty())
        m_htmlHelpPath = com::ThisModulePath().parent_path() / kLibraryHelpFolder;
    helpPort().ShowHtmlHelp(owner, m_htmlHelpPath, context);
}

void CLumvexApp::ShowWinHelp(UINT context)
{
    helpPort().ShowWinHelp(std::filesystem::path(m_pszHelpFilePath), context);
}

void CLumvexApp::OpenLink(win::HWND owner, const CString& target)
{
    helpPort().OpenLink(owner, target);
}

void CLumvexApp::ShowHelp(win::HWND owner, const CString& helpLink, BOOL bEditorOpen, UINT winHelpContext,
                          UINT htmlHelpContext)
{
    if (!helpLink.empty())
        OpenLink(owner, helpLink);
    else if (bEditorOpen && winHelpContext != 0)
        ShowWinHelp(winHelpContext);
    else
        ShowHtmlHelp(owner, htmlHelpContext);
}
