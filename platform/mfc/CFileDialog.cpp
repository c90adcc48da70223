#include "platform/mfc/CFileDialog.h"

#include "platform/com/UiServices.h"
#include "platform/win/MessageBox.h"

#include <filesystem>

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd*)
    : open_(bOpenFileDialog != FALSE), defExt_(lpszDefExt ? lpszDefExt : ""),
      fileName_(lpszFileName ? lpszFileName : ""), filter_(lpszFilter ? lpszFilter : "")
{
    m_ofn.Flags = dwFlags;
}

std::intptr_t CFileDialog::DoModal()
{
    forms::FileDialogRequest request;
    request.title = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : "";
    request.initDir = m_ofn.lpstrInitialDir ? m_ofn.lpstrInitialDir : "";
    request.fileName = fileName_;
    request.filter = filter_;
    request.filterIndex = int(m_ofn.nFilterIndex);
    request.defaultExt = defExt_;
    request.flags = m_ofn.Flags;
    const auto chosen = open_ ? com::Ui().OpenFile(request) : com::Ui().SaveFile(request);
    if (!chosen || chosen->empty())
        return win::IDCANCEL;
    std::filesystem::path path(*chosen);
    // A name typed without an extension takes the default one.
    if (!open_ && !path.has_extension() && !defExt_.empty())
        path += defExt_[0] == '.' ? defExt_ : "." + defExt_;
    path_ = path.string();
    return win::IDOK;
}

CString CFileDialog::GetFileName() const
{
    return std::filesystem::path(path_).filename().string();
}

CString CFileDialog::GetFileExt() const
{
    const CString ext = std::filesystem::path(path_).extension().string();
    return ext.empty() ? ext : ext.substr(1);
}

CString CFileDialog::GetFileTitle() const
{
    return std::filesystem::path(path_).stem().string();
}
