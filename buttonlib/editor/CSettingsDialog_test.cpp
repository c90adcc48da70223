// What the settings dialogs have in common: the help rule with each
// dialog's screen (its link, the host's page when EditProperties opened the
// editor, else the library's page), and how each dialog looks, plain and
// opened by EditProperties, kept as screenshots.

#include "buttonlib/editor/CBehaviourSettingsDlg.h"
#include "buttonlib/editor/CHyperlinkSettingsDlg.h"
#include "buttonlib/editor/CShapeSettingsDlg.h"
#include "buttonlib/editor/EditorDialogTestSupport.h"
#include "buttonlib/editor/UrlDialog.h"

#include "buttonlib/control/LumvexMediaTestFiles.h"

#include <QLineEdit>

using namespace editortest;

namespace {

using SettingsDialogTest = EditorDialogTest;

struct Screen {
    const char* name;
    std::function<std::unique_ptr<CDialog>(COlePropertyPageEnh*)> make;
    int link;
    int htmlContext;
    // 0: no page of the host's; the library's page then.
    int hostContext;
    // Besides Help..., ID_HELP and this command (0: none) ask for help.
    int helpCommand;
};

const Screen kScreens[] = {
    {"shape", [](COlePropertyPageEnh* p) { return std::make_unique<CShapeSettingsDlg>(p); }, 1, 151, 136, 0},
    {"hyperlink", [](COlePropertyPageEnh* p) { return std::make_unique<CHyperlinkSettingsDlg>(p); }, 8, 158, 0,
     32651},
    {"behaviour", [](COlePropertyPageEnh* p) { return std::make_unique<CBehaviourSettingsDlg>(p); }, 9, 150, 0,
     32651},
};

TEST_F(SettingsDialogTest, HelpOpensTheDialogsLinkOrItsPage)
{
    HelpPages help({136, 150, 151, 158});
    for (const Screen& screen : kScreens) {
        SCOPED_TRACE(screen.name);
        urls->opened.clear();
        auto dlg = screen.make(page.Get());
        ASSERT_TRUE(dlg->Create());
        QWidget* window = dlg->GetSafeHwnd();
        win::ShowWindow(window, win::SW_SHOW);
        click(find(window, CSettingsDialog::IDC_HELP_BUTTON));
        dlg->SendMessage(win::WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
        if (screen.helpCommand)
            dlg->SendMessage(win::WM_COMMAND, MAKEWPARAM(screen.helpCommand, 0), 0);
        const std::string library = help.Url(kLibraryHelpFolder, screen.htmlContext);
        EXPECT_EQ(urls->opened, std::vector<std::string>(screen.helpCommand ? 3 : 2, library));

        // Opened by EditProperties: the host's page where the dialog has one.
        buttons[0]->m_bEditorOpen = TRUE;
        urls->opened.clear();
        dlg->SendMessage(win::WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
        EXPECT_EQ(urls->opened, (std::vector<std::string>{screen.hostContext
                                                              ? help.Url(kHostHelpFolder, screen.hostContext)
                                                              : library}));
        // A link the host set comes first, whatever opened the editor.
        CLumvexCtrl::g_helpLinks[std::size_t(screen.link)] = "https://help.example/" + std::string(screen.name);
        urls->opened.clear();
        dlg->SendMessage(win::WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
        EXPECT_EQ(urls->opened, (std::vector<std::string>{"https://help.example/" + std::string(screen.name)}));
        CLumvexCtrl::g_helpLinks[std::size_t(screen.link)].clear();
        buttons[0]->m_bEditorOpen = FALSE;
    }
}

// Screenshots of each dialog, plain and opened by EditProperties, for
// people to look at; nothing is asserted of their pixels.
TEST_F(SettingsDialogTest, Screenshots)
{
    lumvextest::MediaTestFiles files;
    buttons[0]->SetShape(5);
    buttons[0]->SetPictureCustom(files.path("mask.bmp"));
    buttons[0]->m_Hyperlink = "https://www.example.com/buttons";
    buttons[0]->m_EditColorText = RGB(255, 255, 224);
    buttons[0]->m_EditColorBack = RGB(40, 64, 112);
    for (bool editorOpen : {false, true}) {
        buttons[0]->m_bEditorOpen = editorOpen ? TRUE : FALSE;
        for (const Screen& screen : kScreens) {
            auto dlg = screen.make(page.Get());
            ASSERT_TRUE(dlg->Create());
            QWidget* window = dlg->GetSafeHwnd();
            win::ShowWindow(window, win::SW_SHOW);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
            saveScreenshot(window, QStringLiteral("%1-%2").arg(screen.name, editorOpen ? "editor" : "plain"));
        }
    }
    buttons[0]->m_bEditorOpen = FALSE;
    UrlDialog url;
    url.m_strAddress = "http://www.example.com/mask.bmp";
    ASSERT_TRUE(url.Create());
    win::ShowWindow(url.GetSafeHwnd(), win::SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(url.GetSafeHwnd()));
    EXPECT_EQ(find<QLineEdit>(url.GetSafeHwnd(), UrlDialog::IDC_ADDRESS)->text(), "http://www.example.com/mask.bmp");
    saveScreenshot(url.GetSafeHwnd(), "url");
}

} // namespace
