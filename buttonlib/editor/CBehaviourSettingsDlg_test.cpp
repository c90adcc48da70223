// The behaviour dialog: the style and focus mode chosen go to every
// control through their setters; when EditProperties opened the editor the
// lists show the values and cannot be changed.

#include "buttonlib/editor/CBehaviourSettingsDlg.h"
#include "buttonlib/editor/EditorDialogTestSupport.h"

#include <QComboBox>

using namespace editortest;

namespace {

using D = CBehaviourSettingsDlg;
using BehaviourDialogTest = EditorDialogTest;

TEST_F(BehaviourDialogTest, AChoiceGoesToEveryControl)
{
    buttons[0]->SetFocusMode(1);
    CBehaviourSettingsDlg dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    QWidget* window = dlg.GetSafeHwnd();
    auto* style = find<QComboBox>(window, D::IDC_STYLE);
    auto* focus = find<QComboBox>(window, D::IDC_FOCUS_MODE);
    EXPECT_EQ(style->currentText(), "0 - Push Button");
    EXPECT_EQ(focus->currentText(), "1 - Black border");
    EXPECT_TRUE(style->isEnabled());
    EXPECT_EQ(buttons[1]->GetFocusMode(), 0);

    pick(style, 2);
    EXPECT_EQ(style->currentText(), "2 - Radio Button");
    for (CLumvexCtrl* button : buttons)
        EXPECT_EQ(button->GetStyle(), 2);
    pick(focus, 2);
    for (CLumvexCtrl* button : buttons)
        EXPECT_EQ(button->GetFocusMode(), 2);
    EXPECT_TRUE(takeMessages().empty());

    click(find(window, D::IDC_CLOSE));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(BehaviourDialogTest, OpenedByEditPropertiesTheListsShowButCannotChange)
{
    buttons[0]->SetStyle(1);
    buttons[0]->SetFocusMode(2);
    buttons[0]->m_bEditorOpen = TRUE;
    buttons[0]->m_EditColorText = RGB(255, 255, 255);
    buttons[0]->m_EditColorBack = RGB(128, 0, 0);
    CBehaviourSettingsDlg dlg(page.Get());
    ASSERT_TRUE(dlg.Create());
    QWidget* window = dlg.GetSafeHwnd();
    win::ShowWindow(window, win::SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(find<QComboBox>(window, D::IDC_STYLE)->currentText(), "1 - Check Box");
    EXPECT_EQ(find<QComboBox>(window, D::IDC_FOCUS_MODE)->currentText(), "2 - Predefined color");
    EXPECT_FALSE(find(window, D::IDC_STYLE)->isEnabled());
    EXPECT_FALSE(find(window, D::IDC_FOCUS_MODE)->isEnabled());
    // The buttons take the host's colours; the dialog keeps the system's.
    const QImage shot = window->grab().toImage();
    const QRect close = find(window, D::IDC_CLOSE)->geometry();
    EXPECT_EQ(shot.pixelColor(close.left() + 4, close.center().y()), QColor(128, 0, 0));
    EXPECT_NE(shot.pixelColor(2, 2), QColor(128, 0, 0));
    buttons[0]->m_bEditorOpen = FALSE;
}

} // namespace
