#include "buttonlib/editor/CLumvexPropPage.h"

#include "buttonlib/control/CLumvexCtrl.h"
#include "buttonlib/control/ControlIds.h"
#include "buttonlib/editor/EditorHelp.h"

#include "platform/com/PropertyFrame.h"
#include "platform/mfc/AfxMessageBox.h"
#include "platform/mfc/CDataExchange.h"
#include "platform/mfc/CFileDialog.h"
#include "platform/mfc/COleObjectFactory.h"
#include "platform/win/VirtualKeys.h"

#include <exception>
#include <string>


namespace {

constexpr DWORD kOwnerDrawn = win::BS_OWNERDRAW;

// Two columns of six; the left one first in the tab order.
constexpr DialogItem kItems[] = {
    {IDC_STATIC, DialogItemKind::Static, "What do you want to do?", 0, 7, 5, 236, 9},
    {CLumvexPropPage::IDC_BEHAVIOUR, DialogItemKind::PushButton, "Modify button behaviour", kOwnerDrawn, 7, 17, 116,
     14},
    {CLumvexPropPage::IDC_SHAPE, DialogItemKind::PushButton, "Modify button shape", kOwnerDrawn, 7, 32, 116, 14},
    {CLumvexPropPage::IDC_TEXT, DialogItemKind::PushButton, "Modify button text", kOwnerDrawn, 7, 47, 116, 14},
    {CLumvexPropPage::IDC_COLORS, DialogItemKind::PushButton, "Modify button colors", kOwnerDrawn, 7, 62, 116, 14},
    {CLumvexPropPage::IDC_PICTURES, DialogItemKind::PushButton, "Select pictures or animations", kOwnerDrawn, 7, 77,
     116, 14},
    {CLumvexPropPage::IDC_GRAPHIC, DialogItemKind::PushButton, "Modify graphic serttings", kOwnerDrawn, 7, 92, 116,
     14},
    {CLumvexPropPage::IDC_TEXTURE, DialogItemKind::PushButton, "Modify texture settings", kOwnerDrawn, 127, 17, 116,
     14},
    {CLumvexPropPage::IDC_SOUNDS, DialogItemKind::PushButton, "Select sounds and cursor files", kOwnerDrawn, 127, 32,
     116, 14},
    {CLumvexPropPage::IDC_HYPERLINK, DialogItemKind::PushButton, "Modify hyperlink settings", kOwnerDrawn, 127, 47,
     116, 14},
    {CLumvexPropPage::IDC_SAVE_TEMPLATE, DialogItemKind::PushButton, "Save Template", kOwnerDrawn, 127, 62, 116, 14},
    {CLumvexPropPage::IDC_LOAD_TEMPLATE, DialogItemKind::PushButton, "Load Template", kOwnerDrawn, 127, 77, 116, 14},
    {CLumvexPropPage::IDC_REFRESH, DialogItemKind::PushButton, "Refresh button", kOwnerDrawn, 127, 92, 116, 14},
};
constexpr DialogTemplate kTemplate{CLumvexPropPage::IDD, "", 250, 110, kItems};
const bool kTemplateRegistered = AfxRegisterDialogTemplate(kTemplate);

constexpr UINT IDS_SELECT_PICTURES = 51;
constexpr UINT IDS_TEMPLATE_FILTER = 109;
constexpr UINT IDS_TEMPLATE_OPEN_TITLE = 110;
constexpr UINT IDS_TEMPLATE_SAVE_TITLE = 111;

HRESULT createPage(REFIID iid, void** object)
{
    return com::CreateObject<CLumvexPropPage>(iid, object);
}

HRESULT createBasePage(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    auto* page = new COlePropertyPageEnh(0, 0);
    const HRESULT hr = page->QueryInterface(iid, object);
    page->Release();
    return hr;
}

// The page's class: registered as a property page under its type name.
class CLumvexPropPageFactory final : public COleObjectFactory {
public:
    CLumvexPropPageFactory() : COleObjectFactory(CLSID_LumvexPropPage, &createPage, kLumvexPropPageProgId, "") {}

    BOOL UpdateRegistry(BOOL bRegister) override
    {
        if (!bRegister)
            return AfxOleUnregisterClass(m_clsid, nullptr);
        return AfxOleRegisterPropertyPageClass(m_clsid, IDS_LUMVEX_PPG);
    }
};

// Both page classes exist whenever the module does: the library registers
// and serves them, and a program linking the editor finds its own.
CLumvexPropPageFactory thePageFactory;
COleObjectFactory theBasePageFactory(CLSID_COlePropertyPageEnh, &createBasePage, kPropertyPageEnhProgId, "");

CLumvexPropPage::DialogRunner& dialogRunner()
{
    static CLumvexPropPage::DialogRunner runner;
    return runner;
}

void showOpenError(const CString& path)
{
    CString text;
    AfxFormatString1(text, IDS_ERROR_OPEN_FILE, path.c_str());
    AfxMessageBox(text.c_str(), win::MB_OK);
}

// A command that failed says so; the page, its controls and the host go on.
void showCommandError(const char* what)
{
    CString text = "The command could not be completed.";
    if (what && *what)
        text += std::string("\n\n") + what;
    AfxMessageBox(text.c_str(), win::MB_OK | win::MB_ICONEXCLAMATION);
}

CString loadString(UINT id)
{
    CString text;
    AfxLoadString(id, text);
    return text;
}

} // namespace

IMPLEMENT_DYNAMIC(CLumvexPropPage, COlePropertyPageEnh)

CLumvexPropPage::CLumvexPropPage() : COlePropertyPageEnh(IDD, IDS_CAPTION)
{
    (void)kTemplateRegistered;
}

void CLumvexPropPage::SetDialogRunner(DialogRunner runner)
{
    dialogRunner() = std::move(runner);
}

std::intptr_t CLumvexPropPage::RunDialog(CDialog& dialog)
{
    if (const DialogRunner& runner = dialogRunner())
        return runner(dialog);
    return dialog.DoModal();
}

void CLumvexPropPage::DoDataExchange(CDataExchange* pDX)
{
    COlePropertyPageEnh::DoDataExchange(pDX);
    for (std::size_t i = 0; i < kButtons.size(); ++i)
        DDX_Control(pDX, kButtons[i], m_buttons[i]);
}

BOOL CLumvexPropPage::OnInitDialog()
{
    const BOOL result = COlePropertyPageEnh::OnInitDialog();

    // The page applies at once: the frame only closes.
    if (CPropertyFrameWnd* f = frame()) {
        if (CWnd* ok = f->GetDlgItem(IDOK))
            ok->SetWindowText("Close");
        for (int id : {IDCANCEL, com::kFrameApply})
            if (CWnd* button = f->GetDlgItem(id))
                button->ShowWindow(win::SW_HIDE);
    }

    CLumvexCtrl* control = GetControlObject();
    if (!control) {
        // Nothing bound: nothing to act on.
        for (CColorButton& button : m_buttons)
            button.EnableWindow(FALSE);
        return result;
    }
    if (!control->m_bEditorOpen)
        return result;

    // Opened by EditProperties: the caller's place, buttons and colours.
    GetDlgItem(IDC_PICTURES)->SetWindowText(loadString(IDS_SELECT_PICTURES));
    if (CPropertyFrameWnd* f = frame())
        f->SetWindowPos(control->m_ptEditProperties.x, control->m_ptEditProperties.y, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER);
    // The focus moves into the page once the frame is up.
    PostMessage(win::WM_KEYDOWN, win::VK_TAB, 0);
    PostMessage(win::WM_KEYUP, win::VK_TAB, 0);
    for (std::size_t entry = 1; entry < CLumvexCtrl::g_editButtonShow.size(); ++entry)
        GetDlgItem(kShowTableButtons[entry - 1])->ShowWindow(CLumvexCtrl::g_editButtonShow[entry]);
    m_clrText = CLumvexCtrl::TranslateOleColor(control->m_EditColorText);
    m_clrBack = CLumvexCtrl::TranslateOleColor(control->m_EditColorBack);
    for (CColorButton& button : m_buttons)
        button.SetColors(m_clrText, m_clrBack);
    SetDialogColors(m_clrBack, m_clrText);
    return result;
}

void CLumvexPropPage::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (key != UINT(win::VK_TAB)) {
        COlePropertyPageEnh::OnKeyDown(key, repeat, flags);
        return;
    }
    // The first button the tab key reaches.
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        CColorButton& button = m_buttons[i];
        if (button.m_hWnd && button.IsWindowVisible() && button.IsWindowEnabled()) {
            button.SetFocus();
            return;
        }
    }
}

BOOL CLumvexPropPage::OnCommand(win::WPARAM wParam, win::LPARAM lParam)
{
    if (win::HIWORD(wParam) != win::BN_CLICKED)
        return COlePropertyPageEnh::OnCommand(wParam, lParam);
    // A failure inside a handler ends with the handler, never with the program.
    try {
        switch (const int id = win::LOWORD(wParam)) {
        case IDC_SAVE_TEMPLATE: saveTemplate(); return TRUE;
        case IDC_LOAD_TEMPLATE: loadTemplate(); return TRUE;
        case IDC_REFRESH: refreshButtons(); return TRUE;
        case IDC_BEHAVIOUR:
        case IDC_SHAPE:
        case IDC_TEXT:
        case IDC_COLORS:
        case IDC_PICTURES:
        case IDC_GRAPHIC:
        case IDC_TEXTURE:
        case IDC_SOUNDS:
        case IDC_HYPERLINK: openSettingsDialog(id); return TRUE;
        default: break;
        }
    } catch (const std::exception& e) {
        showCommandError(e.what());
        return TRUE;
    } catch (...) {
        showCommandError(nullptr);
        return TRUE;
    }
    return COlePropertyPageEnh::OnCommand(wParam, lParam);
}

void CLumvexPropPage::openSettingsDialog(int buttonId)
{
    if (!GetControlObject())
        return;
    if (std::unique_ptr<CDialog> dialog = MakeSettingsDialog(buttonId))
        RunDialog(*dialog);
}

void CLumvexPropPage::saveTemplate()
{
    CLumvexCtrl* control = GetControlObject();
    if (!control)
        return;
    const CString filter = loadString(IDS_TEMPLATE_FILTER);
    const CString title = loadString(IDS_TEMPLATE_SAVE_TITLE);
    // "kzt" is added before the overwrite question, so it asks about the
    // file that will be written; the file need not exist yet.
    CFileDialog dialog(FALSE, "kzt", nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                       filter.c_str());
    dialog.m_ofn.lpstrTitle = title.c_str();
    if (dialog.DoModal() != IDOK)
        return;
    const CString path = dialog.GetPathName();
    // Only the first control's look is kept.
    short saved = 0;
    try {
        saved = control->m_nEditingTplMode ? control->SaveTemplateEx(path) : control->SaveTemplate(path);
    } catch (...) {
        saved = 0;
    }
    if (!saved)
        showOpenError(path);
}

void CLumvexPropPage::loadTemplate()
{
    if (!GetControlObject())
        return;
    const CString filter = loadString(IDS_TEMPLATE_FILTER);
    const CString title = loadString(IDS_TEMPLATE_OPEN_TITLE);
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                       filter.c_str());
    dialog.m_ofn.lpstrTitle = title.c_str();
    if (dialog.DoModal() != IDOK)
        return;
    const CString path = dialog.GetPathName();
    // Every control tries; a file that fails is reported once.
    bool failed = false;
    ForEachControl([&](CLumvexCtrl& c) {
        short loaded = 0;
        try {
            loaded = c.m_nEditingTplMode ? c.LoadTemplateEx(path) : c.LoadTemplate(path);
        } catch (...) {
            loaded = 0;
        }
        failed = failed || !loaded;
    });
    if (failed)
        showOpenError(path);
}

void CLumvexPropPage::refreshButtons()
{
    ForEachControl([](CLumvexCtrl& c) { c.RefreshButton(); });
}

void CLumvexPropPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    COlePropertyPageEnh::OnShowWindow(bShow, nStatus);
    // Leaving the page repaints the buttons with what was changed on it.
    if (!bShow)
        refreshButtons();
}

void CLumvexPropPage::OnHelp()
{
    EditorHelp(IDD, *this, m_hWnd);
}

BOOL CLumvexPropPage::OnHelp(LPCTSTR)
{
    OnHelp();
    return TRUE;
}
