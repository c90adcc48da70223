#pragma once
// Asks for an Internet address. The caller sets the starting address, runs
// the dialog and, for any answer but Cancel, reads the address back; the
// text is not checked here (the control refuses what it cannot fetch).

#include "platform/mfc/CDialog.h"

#include <optional>

class UrlDialog : public CDialog {
public:
    static constexpr UINT IDD = 238;
    static constexpr int IDC_ADDRESS = 290;

    explicit UrlDialog(CWnd* pParent = nullptr);

    CString m_strAddress;

    // Runs the dialog starting at the current address, or at "http://" when
    // there is none; the address given, or nothing on Cancel.
    static std::optional<CString> Ask(CWnd* pParent, const CString& current);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
