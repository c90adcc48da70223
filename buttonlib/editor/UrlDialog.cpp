#include "buttonlib/editor/UrlDialog.h"

#include "platform/mfc/CDataExchange.h"

namespace {

constexpr DialogItem kItems[] = {
    {IDC_STATIC, DialogItemKind::Static, "Enter a valid URL address (only HTTP accepted)", 0, 7, 7, 173, 8},
    {UrlDialog::IDC_ADDRESS, DialogItemKind::Edit, "", ES_AUTOHSCROLL | WS_GROUP, 7, 20, 173, 14},
    {IDOK, DialogItemKind::PushButton, "OK", BS_DEFPUSHBUTTON | WS_GROUP, 73, 47, 50, 14},
    {IDCANCEL, DialogItemKind::PushButton, "Cancel", 0, 130, 47, 50, 14},
};

constexpr DialogTemplate kTemplate{UrlDialog::IDD, "Internet URL address", 187, 68, kItems};

[[maybe_unused]] const bool kRegistered = AfxRegisterDialogTemplate(kTemplate);

} // namespace

UrlDialog::UrlDialog(CWnd* pParent) : CDialog(IDD, pParent) {}

std::optional<CString> UrlDialog::Ask(CWnd* pParent, const CString& current)
{
    UrlDialog url(pParent);
    url.m_strAddress = current.empty() ? CString("http://") : current;
    const auto result = url.DoModal();
    if (result == IDCANCEL || result == -1)
        return std::nullopt;
    return url.m_strAddress;
}

void UrlDialog::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_ADDRESS, m_strAddress);
}
