#include "platform/mfc/DialogTestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace dialogtest;

namespace {

QRect rectOf(const RECT& r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

void showActive(QWidget* window)
{
    win::ShowWindow(window, win::SW_SHOW);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

std::vector<std::string> take(SampleDialog& dlg)
{
    std::vector<std::string> out;
    out.swap(dlg.log);
    return out;
}

} // namespace

TEST_F(DialogTest, ItemsSitAtTheirTemplateRectanglesAndKeepThemWhenHidden)
{
    SampleDialog dlg;
    ASSERT_TRUE(dlg.Create());
    QWidget* window = dlg.GetSafeHwnd();
    EXPECT_EQ(window->objectName(), "dialog9000");
    EXPECT_EQ(window->windowTitle(), "Sample settings");
    // 200 x 150 dialog units at 6 x 13.
    EXPECT_EQ(window->size(), QSize(300, 244));

    for (const DialogItem& item : kSampleItems) {
        QWidget* w = find(window, item.id);
        ASSERT_NE(w, nullptr) << item.id;
        EXPECT_EQ(w->geometry(), rectOf(ItemRect(item, {6, 13}))) << item.id;
    }
    // Worked by hand: the edit at (50, 7) size 40 x 14, the OK button at
    // (86, 128) size 50 x 14.
    EXPECT_EQ(find(window, kValue)->geometry(), QRect(75, 11, 60, 23));
    EXPECT_EQ(find(window, IDOK)->geometry(), QRect(129, 208, 75, 23));

    QWidget* swatch = find(window, kSwatch);
    EXPECT_TRUE(swatch->isHidden());
    const QRect kept = rectOf(ItemRect(kSampleItems[9], {6, 13}));
    EXPECT_EQ(swatch->geometry(), kept);
    dlg.GetDlgItem(kFrame)->ShowWindow(win::SW_HIDE);
    dlg.GetDlgItem(kFrame)->ShowWindow(win::SW_SHOW);
    dlg.GetDlgItem(kSwatch)->ShowWindow(win::SW_SHOWNORMAL);
    EXPECT_FALSE(swatch->isHidden());
    dlg.GetDlgItem(kSwatch)->ShowWindow(win::SW_HIDE);
    EXPECT_EQ(swatch->geometry(), kept);

    // The kinds of item, and the control objects over them.
    EXPECT_NE(find<QLabel>(window, kLabel), nullptr);
    EXPECT_NE(find<QGroupBox>(window, kGroup), nullptr);
    EXPECT_NE(find<QLineEdit>(window, kValue), nullptr);
    EXPECT_NE(find<QComboBox>(window, kCombo), nullptr);
    EXPECT_NE(find<QRadioButton>(window, kRadioA), nullptr);
    EXPECT_TRUE(win::IsWindow(find(window, kOwnerDrawn)));
    EXPECT_EQ(dlg.GetDlgItem(kSpin), &dlg.m_spin);
    EXPECT_NE(dynamic_cast<CButton*>(dlg.GetDlgItem(kCheck)), nullptr);
    EXPECT_EQ(dlg.GetDlgItem(4242), nullptr);
    EXPECT_EQ(dlg.m_spin.GetBuddy(), find(window, kValue));
}

// A dialog keeps the template's size: its items are placed for it. Its
// frame offers no maximise (nor minimise) button and it cannot be resized.
TEST_F(DialogTest, TheTemplatesSizeIsFixed)
{
    SampleDialog dlg;
    ASSERT_TRUE(dlg.Create());
    QWidget* window = dlg.GetSafeHwnd();
    win::ShowWindow(window, win::SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->minimumSize(), QSize(300, 244));
    EXPECT_EQ(window->maximumSize(), QSize(300, 244));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    window->resize(500, 400);
    EXPECT_EQ(window->size(), QSize(300, 244));
}

TEST_F(DialogTest, BaseUnitsComeFromTheDialogFontUnlessFixed)
{
    SetDialogBaseUnits(std::nullopt);
    // DejaVu Sans, which "MS Sans Serif" stands for, at 8 points and 96 dpi.
    EXPECT_EQ(DialogFontBaseUnits("MS Sans Serif", 8), (DialogBaseUnits{7, 13}));
    SetDialogBaseUnits(DialogBaseUnits{6, 13});
    EXPECT_EQ(DialogFontBaseUnits("MS Sans Serif", 8), (DialogBaseUnits{6, 13}));
    EXPECT_EQ(AfxFindDialogTemplate(kSampleId), &kSample);
    EXPECT_FALSE(AfxRegisterDialogTemplate(kSample));
    SampleDialog missing;
    CDialog none(4711);
    EXPECT_EQ(none.DoModal(), -1);
}

TEST_F(DialogTest, NotificationsFollowTheWin32Rules)
{
    SampleDialog dlg;
    ASSERT_TRUE(dlg.Create());
    QWidget* window = dlg.GetSafeHwnd();
    showActive(window);
    auto* edit = find<QLineEdit>(window, kValue);
    take(dlg);

    // Code setting an edit's text notifies; the same text again changes nothing.
    dlg.SetDlgItemText(kValue, "4");
    dlg.SetDlgItemText(kValue, "4");
    EXPECT_EQ(take(dlg), (std::vector<std::string>{"EN_CHANGE 1001 4"}));

    // Typing notifies per character; LimitText(1) refuses the second one.
    edit->clear();
    take(dlg);
    dlg.m_edit.LimitText(1);
    QTest::keyClicks(edit, "25");
    EXPECT_EQ(edit->text(), "2");
    EXPECT_EQ(take(dlg), (std::vector<std::string>{"EN_CHANGE 1001 2"}));

    // The up-down: UDN_DELTAPOS before the position moves, then the buddy's
    // text with its EN_CHANGE; at the limit only UDN_DELTAPOS.
    EXPECT_EQ(dlg.m_spin.SetPos(5), 2);
    EXPECT_EQ(take(dlg), (std::vector<std::string>{"EN_CHANGE 1001 5"}));
    auto* spin = find(window, kSpin);
    QTest::mouseClick(spin->findChild<QToolButton*>("up"), Qt::LeftButton);
    EXPECT_EQ(take(dlg), (std::vector<std::string>{"UDN_DELTAPOS 1002 pos 5 delta 1 text 5", "EN_CHANGE 1001 6"}));
    QTest::mouseClick(spin->findChild<QToolButton*>("up"), Qt::LeftButton);
    EXPECT_EQ(take(dlg), (std::vector<std::string>{"UDN_DELTAPOS 1002 pos 6 delta 1 text 6"}));
    EXPECT_EQ(dlg.m_spin.GetPos(), 6);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(take(dlg), (std::vector<std::string>{"UDN_DELTAPOS 1002 pos 6 delta -1 text 6", "EN_CHANGE 1001 5"}));
    dlg.SetDlgItemText(kValue, "1");
    take(dlg);
    QTest::mouseClick(spin->findChild<QToolButton*>("down"), Qt::LeftButton);
    EXPECT_EQ(take(dlg), (std::vector<std::string>{"UDN_DELTAPOS 1002 pos 1 delta -1 text 1"}));
    EXPECT_EQ(dlg.m_spin.GetPos(), 1);
    // A handler that refuses the step keeps the position.
    dlg.refuseDelta = 1;
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(take(dlg), (std::vector<std::string>{"UDN_DELTAPOS 1002 pos 1 delta 1 text 1"}));
    EXPECT_EQ(dlg.m_spin.GetPos(), 1);

    // Selecting from code is silent; the user's choice notifies.
    auto* combo = find<QComboBox>(window, kCombo);
    dlg.m_combo.SetCurSel(2);
    EXPECT_TRUE(take(dlg).empty());
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up);
    EXPECT_EQ(dlg.m_combo.GetCurSel(), 1);
    EXPECT_EQ(take(dlg), (std::vector<std::string>{"CBN_SELCHANGE 1003"}));
    EXPECT_EQ(dlg.m_combo.SetCurSel(7), CB_ERR);
    EXPECT_EQ(dlg.m_combo.GetCurSel(), -1);

    // SetCheck is silent; a click checks and notifies.
    auto* check = static_cast<CButton*>(dlg.GetDlgItem(kCheck));
    check->SetCheck(win::BST_CHECKED);
    EXPECT_TRUE(take(dlg).empty());
    QTest::mouseClick(find(window, kCheck), Qt::LeftButton);
    EXPECT_EQ(check->GetCheck(), int(win::BST_UNCHECKED));
    EXPECT_EQ(take(dlg), (std::vector<std::string>{"BN_CLICKED 1004"}));

    // Radio buttons: a click checks the one and clears its group; a click on
    // the checked one keeps it and notifies again.
    dlg.CheckRadioButton(kRadioA, kRadioB, kRadioA);
    QTest::mouseClick(find(window, kRadioB), Qt::LeftButton);
    QTest::mouseClick(find(window, kRadioB), Qt::LeftButton);
    EXPECT_EQ(dlg.GetCheckedRadioButton(kRadioA, kRadioB), kRadioB);
    EXPECT_EQ(dlg.IsDlgButtonChecked(kRadioA), win::BST_UNCHECKED);
    EXPECT_EQ(take(dlg), (std::vector<std::string>{"BN_CLICKED 1006", "BN_CLICKED 1006"}));

    // The owner-drawn button: clicked like any other, painted through its
    // control object's DrawItem in its state.
    QWidget* owner = find(window, kOwnerDrawn);
    QTest::mouseClick(owner, Qt::LeftButton);
    EXPECT_EQ(take(dlg), (std::vector<std::string>{"BN_CLICKED 1009"}));
    dlg.m_owner.states.clear();
    QTest::mousePress(owner, Qt::LeftButton);
    owner->repaint();
    QTest::mouseRelease(owner, Qt::LeftButton);
    ASSERT_FALSE(dlg.m_owner.states.empty());
    EXPECT_EQ(dlg.m_owner.states.front() & (win::ODS_SELECTED | win::ODS_FOCUS), win::ODS_SELECTED | win::ODS_FOCUS);
    dlg.m_owner.EnableWindow(FALSE);
    owner->repaint();
    EXPECT_TRUE(dlg.m_owner.states.back() & win::ODS_DISABLED);
    take(dlg);

    // Enter presses the default button (OK reads the data: 1 is valid),
    // F1 asks for help.
    dlg.SetDlgItemText(kValue, "2");
    take(dlg);
    QTest::keyClick(edit, Qt::Key_F1);
    EXPECT_EQ(dlg.helps, 1);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(take(dlg), (std::vector<std::string>{"BN_CLICKED 57670", "BN_CLICKED 1"}));
    EXPECT_EQ(dlg.m_value, 2);
    EXPECT_TRUE(window->isHidden());
}

TEST_F(DialogTest, ItemCallsReachEveryKindOfItem)
{
    SampleDialog dlg;
    ASSERT_TRUE(dlg.Create());
    QWidget* window = dlg.GetSafeHwnd();

    // Texts of labels, group boxes, buttons and edits.
    EXPECT_EQ(dlg.GetDlgItemText(kLabel), "&Value:");
    dlg.SetDlgItemText(kGroup, "Choices");
    EXPECT_EQ(find<QGroupBox>(window, kGroup)->title(), "Choices");
    EXPECT_EQ(dlg.GetDlgItemText(kGroup), "Choices");
    dlg.GetDlgItem(IDOK)->SetWindowText("Close");
    EXPECT_EQ(find<QPushButton>(window, IDOK)->text(), "Close");
    EXPECT_EQ(window->windowTitle(), "Sample settings");

    // Numbers: signed, unsigned, and text that is none.
    BOOL translated = FALSE;
    dlg.SetDlgItemInt(kName, UINT(-42));
    EXPECT_EQ(dlg.GetDlgItemText(kName), "-42");
    EXPECT_EQ(int(dlg.GetDlgItemInt(kName, &translated)), -42);
    EXPECT_TRUE(translated);
    dlg.GetDlgItemInt(kName, &translated, FALSE);
    EXPECT_FALSE(translated);
    dlg.SetDlgItemText(kName, "4x");
    EXPECT_EQ(dlg.GetDlgItemInt(kName, &translated), 0u);
    EXPECT_FALSE(translated);

    // Selection in an edit.
    auto* name = static_cast<CEdit*>(dlg.GetDlgItem(kName));
    dlg.SetDlgItemText(kName, "Kestrel");
    name->SetSel(0, -1);
    int start = 0;
    int end = 0;
    name->GetSel(start, end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(0, 7));
    name->SetSel(2, 4);
    name->GetSel(start, end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(2, 4));
    dlg.SendDlgItemMessage(kName, EM_LIMITTEXT, 3);
    EXPECT_EQ(find<QLineEdit>(window, kName)->maxLength(), 3);

    // The list of a combo box.
    EXPECT_EQ(dlg.m_combo.GetCount(), 3);
    EXPECT_EQ(dlg.m_combo.GetLBText(2), "Diamond");
    EXPECT_EQ(dlg.m_combo.GetLBText(3), "");
    EXPECT_EQ(dlg.SendDlgItemMessage(kCombo, CB_SETCURSEL, 1), 1);
    EXPECT_EQ(dlg.SendDlgItemMessage(kCombo, CB_GETCURSEL), 1);
    dlg.m_combo.ResetContent();
    EXPECT_EQ(dlg.m_combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(dlg.m_combo.AddString("Oval"), 0);
    EXPECT_EQ(dlg.m_combo.GetCurSel(), CB_ERR);

    // An up-down over a reversed range steps the other way; a new buddy
    // takes the position.
    int lower = 0;
    int upper = 0;
    dlg.m_spin.SetRange(10, 0);
    dlg.m_spin.GetRange(lower, upper);
    EXPECT_EQ(std::make_pair(lower, upper), std::make_pair(10, 0));
    dlg.m_spin.SetPos(20);
    EXPECT_EQ(dlg.GetDlgItemText(kValue), "10");
    EXPECT_EQ(dlg.m_spin.SetBuddy(dlg.GetDlgItem(kSmall)), find(window, kValue));
    dlg.m_spin.SetPos(4);
    EXPECT_EQ(dlg.GetDlgItemText(kSmall), "4");
    dlg.log.clear();
    QTest::mouseClick(find(window, kSpin)->findChild<QToolButton*>("up"), Qt::LeftButton);
    EXPECT_EQ(dlg.GetDlgItemText(kSmall), "3");
    ASSERT_FALSE(dlg.log.empty());
    EXPECT_EQ(dlg.log.front().rfind("UDN_DELTAPOS 1002 pos 4 delta -1", 0), 0u);

    // The dialog moves as asked and keeps its size.
    dlg.SetWindowPos(40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(window->pos(), QPoint(40, 50));
    EXPECT_EQ(window->size(), QSize(300, 244));
}

TEST_F(DialogTest, ButtonImagesFollowTheirStyle)
{
    SampleDialog dlg;
    ASSERT_TRUE(dlg.Create());
    auto* picture = static_cast<CButton*>(dlg.GetDlgItem(kPicture));
    auto* push = find<QPushButton>(dlg.GetSafeHwnd(), kPicture);
    EXPECT_TRUE(push->isFlat());
    HBITMAP first = CreateBitmap(16, 16, 1, 32, nullptr);
    HBITMAP second = CreateBitmap(24, 22, 1, 32, nullptr);
    EXPECT_EQ(picture->SetBitmap(first), nullptr);
    EXPECT_EQ(reinterpret_cast<HBITMAP>(dlg.SendDlgItemMessage(kPicture, BM_SETIMAGE, IMAGE_BITMAP,
                                                                win::LPARAM(second))),
              first);
    EXPECT_EQ(picture->GetBitmap(), second);
    EXPECT_EQ(push->iconSize(), QSize(24, 22));
    EXPECT_TRUE(push->text().isEmpty());
    // Switched to the icon style without a cursor, the text shows again.
    picture->SetButtonStyle(BS_ICON);
    EXPECT_EQ(picture->GetButtonStyle(), UINT(BS_ICON));
    EXPECT_TRUE(push->icon().isNull());
    EXPECT_EQ(push->text(), "Picture");
    // The owner-drawn button answers BM_GETIMAGE through its window too.
    dlg.m_owner.SetBitmap(first);
    EXPECT_EQ(reinterpret_cast<HBITMAP>(dlg.m_owner.SendMessage(BM_GETIMAGE, IMAGE_BITMAP)), first);
    dlg.DestroyWindow();
    DeleteObject(first);
    DeleteObject(second);
}

TEST_F(DialogTest, DataExchangeRoundTripsAndRefusesBadNumbers)
{
    SampleDialog dlg;
    dlg.m_value = 4;
    dlg.m_small = -12;
    dlg.m_name = "Kestrel";
    dlg.m_check = 1;
    dlg.m_radio = 1;
    ASSERT_TRUE(dlg.Create());
    showActive(dlg.GetSafeHwnd());
    EXPECT_EQ(dlg.GetDlgItemText(kValue), "4");
    EXPECT_EQ(dlg.GetDlgItemText(kSmall), "-12");
    EXPECT_EQ(dlg.GetDlgItemText(kName), "Kestrel");
    EXPECT_EQ(dlg.IsDlgButtonChecked(kCheck), win::BST_CHECKED);
    EXPECT_EQ(dlg.GetCheckedRadioButton(kRadioA, kRadioB), kRadioB);

    dlg.SetDlgItemText(kValue, " 6 ");
    dlg.SetDlgItemText(kSmall, "32767");
    dlg.SetDlgItemText(kName, "");
    dlg.CheckDlgButton(kCheck, win::BST_UNCHECKED);
    dlg.CheckRadioButton(kRadioA, kRadioB, 0);
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_value, 6);
    EXPECT_EQ(dlg.m_small, 32767);
    EXPECT_EQ(dlg.m_name, "");
    EXPECT_EQ(dlg.m_check, 0);
    EXPECT_EQ(dlg.m_radio, -1);
    EXPECT_TRUE(boxes->shown.empty());

    struct Case {
        int item;
        const char* text;
        const char* message;
    };
    for (const Case& c : {Case{kValue, "-", "Please enter an integer."}, Case{kValue, "", "Please enter an integer."},
                          Case{kValue, "12a", "Please enter an integer."},
                          Case{kValue, "9", "Please enter an integer between 1 and 6."},
                          Case{kValue, "0", "Please enter an integer between 1 and 6."},
                          Case{kSmall, "40000", "Please enter an integer."}}) {
        SCOPED_TRACE(c.text);
        dlg.SetDlgItemText(kValue, "5");
        dlg.SetDlgItemText(kSmall, "1");
        dlg.SetDlgItemText(c.item, c.text);
        dlg.GetDlgItem(kName)->SetFocus();
        boxes->shown.clear();
        EXPECT_FALSE(dlg.UpdateData(TRUE));
        ASSERT_EQ(boxes->shown.size(), 1u);
        EXPECT_EQ(boxes->shown[0].text, c.message);
        EXPECT_EQ(QApplication::focusWidget(), dlg.GetDlgItemHwnd(c.item));
    }
    // The members before the failing item took their values; the rest kept theirs.
    EXPECT_EQ(dlg.m_value, 5);
    EXPECT_EQ(dlg.m_small, 32767);
}

TEST_F(DialogTest, OkStaysOpenOnBadDataAndEscapeClosesWithoutReading)
{
    SampleDialog dlg;
    std::vector<bool> openAfterOk;
    dlg.onInit = [&](SampleDialog& d) {
        QTimer::singleShot(0, [&] {
            QWidget* window = d.GetSafeHwnd();
            auto* edit = find<QLineEdit>(window, kValue);
            edit->clear();
            QTest::keyClicks(edit, "x");
            QTest::mouseClick(find(window, IDOK), Qt::LeftButton);
            openAfterOk.push_back(d.GetSafeHwnd() && d.GetSafeHwnd()->isVisible());
            // Escape reads nothing, not even a good value.
            edit->setText("5");
            QTest::keyClick(edit, Qt::Key_Escape);
        });
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(openAfterOk, std::vector<bool>{true});
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_EQ(boxes->shown[0].text, "Please enter an integer.");
    EXPECT_EQ(dlg.m_value, 3);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dlg.m_spin.GetSafeHwnd(), nullptr);
}

TEST_F(DialogTest, ModalDialogsNestAndReturnTheirCodes)
{
    SampleDialog outer;
    std::intptr_t innerResult = 0;
    std::string innerValue;
    outer.onInit = [&](SampleDialog& d) {
        QTimer::singleShot(0, [&] {
            SampleDialog inner(&d);
            inner.onInit = [&](SampleDialog& in) {
                QTimer::singleShot(0, [&] {
                    EXPECT_TRUE(in.IsModal());
                    EXPECT_EQ(QApplication::activeModalWidget(), in.GetSafeHwnd());
                    in.SetDlgItemText(kValue, "2");
                    QTest::mouseClick(find(in.GetSafeHwnd(), IDOK), Qt::LeftButton);
                });
            };
            innerResult = inner.DoModal();
            innerValue = std::to_string(inner.m_value);
            // The close box of the outer one cancels it.
            d.GetSafeHwnd()->close();
        });
    };
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_EQ(innerValue, "2");

    // EndDialog during initialisation ends it before any loop runs.
    SampleDialog early;
    early.onInit = [](SampleDialog& d) { d.EndDialog(77); };
    EXPECT_EQ(early.DoModal(), 77);
}

TEST_F(DialogTest, TimersByIdAndPostedMessages)
{
    auto dlg = std::make_unique<SampleDialog>();
    ASSERT_TRUE(dlg->Create());
    EXPECT_EQ(dlg->SetTimer(1, 10), 1u);
    EXPECT_EQ(dlg->SetTimer(2, 10), 2u);
    QTRY_VERIFY(std::count(dlg->timers.begin(), dlg->timers.end(), 1u) > 0 &&
                std::count(dlg->timers.begin(), dlg->timers.end(), 2u) > 0);
    EXPECT_TRUE(dlg->KillTimer(1));
    EXPECT_FALSE(dlg->KillTimer(1));
    // The killed timer runs no more; the other still does.
    EXPECT_EQ(win::TimerPeriod(dlg->GetSafeHwnd(), 1), 0u);
    EXPECT_EQ(win::TimerPeriod(dlg->GetSafeHwnd(), 2), 10u);
    dlg->timers.clear();
    QTRY_VERIFY(std::count(dlg->timers.begin(), dlg->timers.end(), 2u) > 1);
    EXPECT_EQ(std::count(dlg->timers.begin(), dlg->timers.end(), 1u), 0);

    constexpr UINT kLoadDone = win::WM_USER + 103;
    EXPECT_TRUE(dlg->PostMessage(kLoadDone, 5, 0));
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(dlg->userMessages.size(), 1u);
    EXPECT_EQ(dlg->userMessages[0], std::make_pair(kLoadDone, win::WPARAM(5)));

    // A message still queued when the dialog goes is dropped with it.
    win::HWND hwnd = dlg->GetSafeHwnd();
    EXPECT_TRUE(win::PostMessage(hwnd, kLoadDone, 6, 0));
    dlg.reset();
    EXPECT_FALSE(win::PostMessage(hwnd, kLoadDone, 7, 0));
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(win::TimerCount(hwnd), 0u);
}

TEST_F(DialogTest, PaintingGoesAboveTheItemsAndColoursFollowTheSystemTable)
{
    const COLORREF face = RGB(200, 190, 180);
    const int index = COLOR_BTNFACE;
    const COLORREF saved = GetSysColor(index);
    SetSysColors(1, &index, &face);
    SampleDialog dlg;
    dlg.swatch = RGB(10, 200, 30);
    ASSERT_TRUE(dlg.Create());
    QWidget* window = dlg.GetSafeHwnd();
    win::ShowWindow(window, win::SW_SHOW);
    // Over the hidden placeholder, then over a visible item.
    const QRect swatch = find(window, kSwatch)->geometry();
    QImage picture = window->grab().toImage();
    EXPECT_EQ(picture.pixelColor(swatch.center()), QColor(10, 200, 30));
    EXPECT_EQ(picture.pixelColor(swatch.topLeft()), QColor(0, 0, 0));
    // An empty spot shows the system's button face.
    EXPECT_EQ(picture.pixelColor(3, 3), QColor(200, 190, 180));
    EXPECT_EQ(find(window, kValue)->palette().color(QPalette::Base), QColor(255, 255, 255));

    // The editor-open colours: dialog and statics take them, edits keep theirs.
    dlg.SetDialogColors(RGB(0, 0, 96), RGB(255, 255, 0));
    picture = window->grab().toImage();
    EXPECT_EQ(picture.pixelColor(3, 3), QColor(0, 0, 96));
    EXPECT_EQ(find(window, kCheck)->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_EQ(find(window, kGroup)->palette().color(QPalette::Window), QColor(0, 0, 96));
    EXPECT_EQ(find(window, kValue)->palette().color(QPalette::Base), QColor(255, 255, 255));
    EXPECT_EQ(find(window, kCombo)->palette().color(QPalette::Window), QColor(200, 190, 180));
    SetSysColors(1, &index, &saved);
}

// The sample dialog in the dialog font's own units: the template's size in
// them, the system's button face where no item is; the picture is kept for
// people to look at.
TEST_F(DialogTest, SampleDialogScreenshot)
{
    SetDialogBaseUnits(std::nullopt);
    SampleDialog dlg;
    ASSERT_TRUE(dlg.Create());
    QWidget* window = dlg.GetSafeHwnd();
    win::ShowWindow(window, win::SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const DialogBaseUnits units = DialogFontBaseUnits("MS Sans Serif", 8);
    const RECT size = MapDialogRect(RECT{0, 0, kSample.cx, kSample.cy}, units);
    EXPECT_EQ(window->size(), QSize(size.right, size.bottom));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(window->grab().toImage().pixelColor(window->width() - 3, 3),
              QColor(GetRValue(face), GetGValue(face), GetBValue(face)));
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(folder);
    const QString name = QStringLiteral("/dialog-sample-%1.png").arg(QGuiApplication::platformName());
    EXPECT_TRUE(window->grab().save(folder + name));
}
