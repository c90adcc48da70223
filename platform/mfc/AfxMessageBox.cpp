#include "platform/mfc/AfxMessageBox.h"

#include "platform/mfc/CWinApp.h"
#include "platform/win/Resources.h"

#include <QApplication>

BOOL AfxRegisterString(UINT nID, const CString& text)
{
    return win::RegisterResource(win::RT_STRING, nID, std::vector<BYTE>(text.begin(), text.end())) ? TRUE : FALSE;
}

BOOL AfxLoadString(UINT nID, CString& rString)
{
    rString.clear();
    const win::HRSRC found = win::FindResource(nullptr, nID, win::RT_STRING);
    const auto* bytes = static_cast<const char*>(win::LockResource(win::LoadResource(nullptr, found)));
    if (!bytes)
        return FALSE;
    rString.assign(bytes, win::SizeofResource(nullptr, found));
    return TRUE;
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1)
{
    AfxLoadString(nIDS, rString);
    const std::string with = lpsz1 ? lpsz1 : "";
    for (std::size_t at = rString.find("%1"); at != std::string::npos; at = rString.find("%1", at + with.size()))
        rString.replace(at, 2, with);
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    const CString title = AfxGetAppName();
    // The box belongs over the dialog whose handler raised it: the modal
    // one on top, which is known at once, where the window manager may not
    // have made it the active window yet (a file dialog just closed).
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    return win::MessageBox(owner, lpszText, title.empty() ? nullptr : title.c_str(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    AfxLoadString(nIDPrompt, text);
    return AfxMessageBox(text.c_str(), nType, nIDHelp);
}
