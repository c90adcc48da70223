#pragma once
// A dialog made from a template (DialogTemplate.h): a top-level window of
// the window layer with the template's items placed at their rectangles,
// of the template's size for good (no resizing, no maximise button).
//
// - Items are found by id (GetDlgItem) and carry the object names
//   "id<item id>"; the dialog's window is named "dialog<template id>".
// - Notifications arrive as WM_COMMAND (BN_CLICKED, EN_CHANGE,
//   CBN_SELCHANGE) and WM_NOTIFY (UDN_DELTAPOS), as Win32 sends them:
//   EN_CHANGE also when code sets an edit's text (an up-down's buddy
//   included), CBN_SELCHANGE only for the user's choice, BN_CLICKED not for
//   SetCheck, UDN_DELTAPOS before the position changes.
// - Enter presses the default button, Escape and the close box send
//   IDCANCEL, F1 sends ID_HELP.
// - WM_ERASEBKGND paints below the items; WM_PAINT paints above them, in
//   client coordinates, so a dialog can draw over a frame or a hidden item.

#include "platform/mfc/CWnd.h"
#include "platform/mfc/DialogTemplate.h"
#include "platform/win/MessageBox.h"

#include <cstdint>
#include <map>
#include <memory>

class CDataExchange;
class QEventLoop;
class QWidget;

namespace mfc_detail {
class DialogSite;
}

inline constexpr UINT WM_NOTIFY = 0x004E;
inline constexpr UINT WM_HELP = 0x0053;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_CLOSE = 0x0010;

using win::IDCANCEL;
using win::IDOK;
inline constexpr int ID_HELP = 0xE146;

inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;

// Notification codes.
inline constexpr UINT EN_CHANGE = 0x0300;
inline constexpr UINT CBN_SELCHANGE = 1;
inline constexpr int UDN_DELTAPOS = -722;

struct NMHDR {
    win::HWND hwndFrom = nullptr;
    std::uintptr_t idFrom = 0;
    int code = 0;
};

struct NMUPDOWN {
    NMHDR hdr;
    int iPos = 0;
    int iDelta = 0;
};

struct HELPINFO {
    int iCtrlId = 0;
    win::HWND hItemHandle = nullptr;
};

inline constexpr win::WPARAM MAKEWPARAM(int low, int high)
{
    return win::WPARAM(DWORD(WORD(low)) | (DWORD(WORD(high)) << 16));
}

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Shows the dialog modally and returns the code given to EndDialog; -1
    // when the template is missing or the window could not be made.
    virtual std::intptr_t DoModal();
    // Creates the dialog without a loop of its own (hidden until shown);
    // OnInitDialog has run when it returns.
    BOOL Create(win::HWND owner = nullptr);
    // Ends a modal dialog with the code; a modeless one is hidden.
    void EndDialog(int nResult);
    // Whether the dialog is running modally now.
    bool IsModal() const { return loop_ != nullptr; }

    // Reads the items into the members (TRUE) or shows the members in the
    // items (FALSE). FALSE when a check failed; the failing item has the
    // focus and its message was shown.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // The control object attached to the item (DDX_Control), else a
    // temporary one kept until the window goes. Null for no such item.
    CWnd* GetDlgItem(int nID);
    win::HWND GetDlgItemHwnd(int nID) const;
    void SetDlgItemText(int nID, const CString& text);
    CString GetDlgItemText(int nID) const;
    // The item's text as a number; *translated FALSE when it is none.
    UINT GetDlgItemInt(int nID, BOOL* translated = nullptr, BOOL bSigned = TRUE) const;
    void SetDlgItemInt(int nID, UINT value, BOOL bSigned = TRUE);
    // Checks nIDCheck and clears the other radio buttons first..last.
    void CheckRadioButton(int nIDFirst, int nIDLast, int nIDCheck);
    // The checked one of first..last, 0 for none.
    int GetCheckedRadioButton(int nIDFirst, int nIDLast) const;
    void CheckDlgButton(int nID, UINT check);
    UINT IsDlgButtonChecked(int nID) const;
    // BM_SETCHECK, BM_GETCHECK, BM_SETIMAGE, BM_GETIMAGE, EM_LIMITTEXT,
    // CB_SETCURSEL and CB_GETCURSEL for any item; other messages go to
    // items that are windows of the window layer.
    win::LRESULT SendDlgItemMessage(int nID, UINT message, win::WPARAM wParam = 0, win::LPARAM lParam = 0);
    // Moves the dialog (SWP_NOSIZE keeps the size, SWP_NOMOVE the place).
    void SetWindowPos(int x, int y, int cx, int cy, UINT flags);

    // The editor-open colouring: the dialog and the items Win32 colours as
    // statics (labels, group boxes, check boxes, radio buttons, frames)
    // take the background and text colours; edits and combo boxes keep the
    // system colours.
    void SetDialogColors(COLORREF background, COLORREF text);

    UINT TemplateId() const { return templateId_; }
    const DialogTemplate* Template() const { return template_; }

    // For DDX_Control: attaches the control object to the item.
    BOOL AttachControl(int nID, CWnd& control);
    // The items of the window now (null without a window).
    mfc_detail::DialogSite* Site() const { return m_hWnd ? site_.get() : nullptr; }

protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    // Reads the data back; stays open when that fails.
    virtual void OnOK();
    // Escape and the close box; nothing is read.
    virtual void OnCancel();
    // ID_HELP, F1 and WM_HELP.
    virtual void OnHelp();
    virtual BOOL OnHelpInfo(HELPINFO* info);
    // WM_NOTIFY; TRUE when handled, with the answer in *result.
    virtual BOOL OnNotify(win::WPARAM wParam, win::LPARAM lParam, win::LRESULT* result);
    // An owner-drawn button without a control object of its own.
    virtual void OnDrawItem(int nIDCtl, win::DRAWITEMSTRUCT* item);
    // Messages from WM_USER on (posted through PostMessage, dropped when the
    // dialog has gone).
    virtual win::LRESULT OnUserMessage(UINT message, win::WPARAM wParam, win::LPARAM lParam);

    BOOL OnCommand(win::WPARAM wParam, win::LPARAM lParam) override;
    win::LRESULT WindowProc(UINT message, win::WPARAM wParam, win::LPARAM lParam) override;
    BOOL OnEraseBkgnd(HDC hdc) override;
    void OnNcDestroy() override;

private:
    friend class mfc_detail::DialogSite;
    BOOL createWindow(win::HWND owner);
    void detachControls();

    UINT templateId_;
    const DialogTemplate* template_ = nullptr;
    CWnd* parent_;
    std::unique_ptr<mfc_detail::DialogSite> site_;
    QEventLoop* loop_ = nullptr;
    int result_ = -1;
    bool ended_ = false;
    // Control objects attached by DDX_Control, and the temporary ones.
    std::map<int, CWnd*> attached_;
    std::map<int, std::unique_ptr<CWnd>> temporary_;
};
