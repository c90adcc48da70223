// The hyperlink dialog: it shows the first control's address selected,
// Close and Enter give every control the text, Escape gives none.

#include "buttonlib/editor/CHyperlinkSettingsDlg.h"
#include "buttonlib/editor/EditorDialogTestSupport.h"

#include <QLineEdit>
#include <QPushButton>

using namespace editortest;

namespace {

class HyperlinkDialogTest : public EditorDialogTest {
protected:
    std::vector<CString> links() const
    {
        return {buttons[0]->GetHyperlink(), buttons[1]->GetHyperlink(), buttons[2]->GetHyperlink()};
    }
};

TEST_F(HyperlinkDialogTest, EnterWritesTheTextToEveryControlEscapeWritesNothing)
{
    buttons[0]->m_Hyperlink = "http://first.example/";
    buttons[1]->m_Hyperlink = "http://second.example/";
    {
        CHyperlinkSettingsDlg dlg(page.Get());
        ASSERT_TRUE(dlg.Create());
        QWidget* window = dlg.GetSafeHwnd();
        win::ShowWindow(window, win::SW_SHOW);
        auto* edit = find<QLineEdit>(window, CHyperlinkSettingsDlg::IDC_HYPERLINK);
        EXPECT_EQ(edit->text(), "http://first.example/");
        EXPECT_EQ(edit->selectedText(), edit->text());
        // Standard buttons, not drawn by the editor.
        EXPECT_NE(qobject_cast<QPushButton*>(find(window, IDOK)), nullptr);
        edit->setText("mailto:someone@example.com");
        QTest::keyClick(edit, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
    }
    EXPECT_EQ(links(), (std::vector<CString>{"http://first.example/", "http://second.example/", ""}));

    CHyperlinkSettingsDlg dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    QWidget* window = dlg.GetSafeHwnd();
    win::ShowWindow(window, win::SW_SHOW);
    auto* edit = find<QLineEdit>(window, CHyperlinkSettingsDlg::IDC_HYPERLINK);
    edit->selectAll();
    QTest::keyClicks(edit, "https://new.example/");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(links(),
              (std::vector<CString>{"https://new.example/", "https://new.example/", "https://new.example/"}));
    // Written as the button reads it: no change is announced.
    for (CLumvexCtrl* button : buttons)
        EXPECT_FALSE(button->IsModified());
}

TEST_F(HyperlinkDialogTest, CloseEndsTheModalDialogWithTheText)
{
    buttons[2]->m_Hyperlink = "old";
    whenModal([](QWidget* window) {
        auto* edit = find<QLineEdit>(window, CHyperlinkSettingsDlg::IDC_HYPERLINK);
        edit->setText("http://closed.example/");
        click(find(window, IDOK));
    });
    CHyperlinkSettingsDlg dlg(page.Get());
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(links(), (std::vector<CString>{"http://closed.example/", "http://closed.example/",
                                                    "http://closed.example/"}));
}

} // namespace
