// What the settings dialogs have in common: the help rule with each
// dialog's screen (its link, the host's page when EditProperties opened the
// editor, else the library's page), and how each dialog looks, plain and
// opened by EditProperties, kept as screenshots.

#include "buttonlib/editor/EditorMediaFiles.h"
#include "buttonlib/editor/CBehaviourSettingsDlg.h"
#include "buttonlib/editor/CColorSettingsDlg.h"
#include "buttonlib/editor/CHyperlinkSettingsDlg.h"
#include "buttonlib/editor/CShapeSettingsDlg.h"
#include "buttonlib/editor/CTextSettingsDlg.h"
#include "buttonlib/editor/CTextureSettingsDlg.h"
#include "buttonlib/editor/EditorDialogTestSupport.h"
#include "buttonlib/editor/UrlDialog.h"


#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>

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
    // Whether it takes the editor's colours when EditProperties opened it.
    bool editorColours;
};

const Screen kScreens[] = {
    {"shape", [](COlePropertyPageEnh* p) { return std::make_unique<CShapeSettingsDlg>(p); }, 1, 151, 136, 0, true},
    {"hyperlink", [](COlePropertyPageEnh* p) { return std::make_unique<CHyperlinkSettingsDlg>(p); }, 8, 158, 0,
     32651, false},
    {"behaviour", [](COlePropertyPageEnh* p) { return std::make_unique<CBehaviourSettingsDlg>(p); }, 9, 150, 0,
     32651, false},
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

// What the screen shows at a point of the window: the window system's copy
// of it, which only a repaint that really happened changes (a grab() of the
// widget paints anew and would see any colour).
QRgb onScreen(QWidget* window, QPoint at)
{
    const QImage shot = window->screen()->grabWindow(window->winId()).toImage();
    return shot.valid(at) ? shot.pixel(at) & 0xFFFFFF : 0xFF000000;
}

// Waits until the screen shows the colour at the middle of the item.
::testing::AssertionResult showsOnScreen(QWidget* window, int id, COLORREF colour)
{
    QWidget* item = window->findChild<QWidget*>(QStringLiteral("id%1").arg(id));
    if (!item)
        return ::testing::AssertionFailure() << "no item " << id;
    const QPoint centre = item->geometry().center();
    const QRgb want = qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour)) & 0xFFFFFF;
    QRgb seen = 0;
    for (int i = 0; i < 500; ++i) {
        QCoreApplication::processEvents();
        seen = onScreen(window, centre);
        if (seen == want)
            return ::testing::AssertionSuccess();
        QTest::qWait(10);
    }
    return ::testing::AssertionFailure() << "the screen shows " << std::hex << seen << " over item " << std::dec
                                         << id << ", not " << std::hex << want;
}

// The colour swatches of the colour, texture and text dialogs repaint on
// the screen when their colour changes, in the editor's own colours too
// (where the dialog's filled group boxes sit under them).
TEST_F(SettingsDialogTest, SwatchesShowTheirNewColourOnTheScreen)
{
    for (bool editorOpen : {true, false}) {
        SCOPED_TRACE(editorOpen ? "opened by EditProperties" : "opened by the Properties command");
        buttons[0]->m_bEditorOpen = editorOpen ? TRUE : FALSE;
        buttons[0]->m_EditColorText = RGB(255, 255, 224);
        buttons[0]->m_EditColorBack = RGB(40, 64, 112);
        buttons[0]->m_colorBack.SetBaseColor(RGB(192, 192, 192));
        buttons[0]->m_text[0].SetForeColor(RGB(0, 0, 0));
        buttons[0]->SetTextureColorMix(RGB(200, 30, 30));

        {
            CColorSettingsDlg dlg(page.Get());
            ASSERT_TRUE(dlg.Create());
            QWidget* window = dlg.GetSafeHwnd();
            win::ShowWindow(window, win::SW_SHOW);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
            EXPECT_TRUE(showsOnScreen(window, CColorSettingsDlg::IDC_SWATCH, RGB(192, 192, 192)));
            QWidget* caption = find(window, 350);
            QTest::mouseClick(caption, Qt::LeftButton, {}, QPoint(6, caption->height() / 2));
            EXPECT_TRUE(showsOnScreen(window, CColorSettingsDlg::IDC_SWATCH, RGB(0, 0, 0)));
            dialogs->colors.push_back(RGB(0, 160, 80));
            click(find(window, CColorSettingsDlg::IDC_CHANGE));
            EXPECT_TRUE(showsOnScreen(window, CColorSettingsDlg::IDC_SWATCH, RGB(0, 160, 80)));
        }
        {
            CTextureSettingsDlg dlg(page.Get());
            ASSERT_TRUE(dlg.Create());
            QWidget* window = dlg.GetSafeHwnd();
            win::ShowWindow(window, win::SW_SHOW);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
            EXPECT_TRUE(showsOnScreen(window, CTextureSettingsDlg::IDC_SWATCH, RGB(200, 30, 30)));
            dialogs->colors.push_back(RGB(20, 40, 220));
            click(find(window, CTextureSettingsDlg::IDC_CHANGE));
            EXPECT_TRUE(showsOnScreen(window, CTextureSettingsDlg::IDC_SWATCH, RGB(20, 40, 220)));
        }
        {
            CTextSettingsDlg dlg(page.Get());
            ASSERT_TRUE(dlg.Create());
            QWidget* window = dlg.GetSafeHwnd();
            win::ShowWindow(window, win::SW_SHOW);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
            // The caption's colour the colour dialog gave it.
            EXPECT_TRUE(showsOnScreen(window, CTextSettingsDlg::IDC_FORE_SWATCH, RGB(0, 160, 80)));
            dialogs->colors.push_back(RGB(250, 200, 0));
            click(find(window, CTextSettingsDlg::IDC_FORE_CHANGE));
            EXPECT_TRUE(showsOnScreen(window, CTextSettingsDlg::IDC_FORE_SWATCH, RGB(250, 200, 0)));
        }
    }
    buttons[0]->m_bEditorOpen = FALSE;
}

// The dots of a label's closing colon as they show: in the text's rightmost
// inked column (the colon's own, as it is the last letter), the runs of
// inked rows that stand free of the letter before. A whole colon shows two;
// one lost between pixels, or run into the letter before, shows fewer.
int colonDots(QLabel& label)
{
    const QImage picture = label.grab().toImage();
    const QRgb background = picture.pixel(0, 0) & 0xFFFFFF;
    auto inked = [&](int x, int y) { return x >= 0 && (picture.pixel(x, y) & 0xFFFFFF) != background; };
    int right = picture.width() - 1;
    for (; right >= 0; --right) {
        bool any = false;
        for (int y = 0; y < picture.height() && !any; ++y)
            any = inked(right, y);
        if (any)
            break;
    }
    int dots = 0;
    for (int y = 0; right >= 0 && y < picture.height();) {
        if (!inked(right, y)) {
            ++y;
            continue;
        }
        const int top = y;
        while (y < picture.height() && inked(right, y))
            ++y;
        // A dot is at most two pixels wide; left of it the column is clear.
        auto column = [&](int x) {
            bool all = true, none = true;
            for (int r = top; r < y; ++r) {
                all = all && inked(x, r);
                none = none && !inked(x, r);
            }
            return std::pair{all, none};
        };
        int left = right;
        if (column(right - 1).first)
            --left;
        dots += column(left - 1).second ? 1 : 0;
    }
    return dots;
}

// Every text of the editor's dialogs shows whole in the font the dialogs
// have on this system: no label, check box, radio button or group title is
// cut by its rectangle, and every label ending in a colon shows both of
// its dots (the upper one of "Mouse Over:" was lost between pixels).
TEST_F(SettingsDialogTest, EveryTextOfEveryDialogShowsWhole)
{
    SetDialogBaseUnits(std::nullopt);
    for (UINT id : {200u, 238u, 241u, 242u, 243u, 215u, 32259u, 32260u, 32261u, 32262u, 32263u}) {
        SCOPED_TRACE(id);
        CDialog dlg(id);
        ASSERT_TRUE(dlg.Create());
        QWidget* window = dlg.GetSafeHwnd();
        win::ShowWindow(window, win::SW_SHOW);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        for (QLabel* label : window->findChildren<QLabel*>()) {
            const QString text = label->text().trimmed();
            if (text.isEmpty())
                continue;
            const QFontMetrics fm(label->font());
            EXPECT_LE(fm.horizontalAdvance(text), label->width()) << text.toStdString();
            EXPECT_LE(fm.height(), label->height()) << text.toStdString();
            if (text.endsWith(QLatin1Char(':'))) {
                EXPECT_EQ(colonDots(*label), 2) << text.toStdString();
            }
        }
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
            if ((qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b)) && !b->text().isEmpty()) {
                EXPECT_LE(b->sizeHint().width(), b->width()) << b->text().toStdString();
            }
        }
        for (QGroupBox* box : window->findChildren<QGroupBox*>()) {
            const QFontMetrics fm(box->font());
            EXPECT_LE(fm.horizontalAdvance(box->title().trimmed()) + 2 * fm.averageCharWidth(), box->width())
                << box->title().toStdString();
        }
    }
}

// Every choice of every list shows whole in the closed list, beside its
// arrow.
TEST_F(SettingsDialogTest, EveryChoiceOfEveryListShowsWhole)
{
    SetDialogBaseUnits(std::nullopt);
    std::unique_ptr<CDialog> dialogs[] = {
        std::make_unique<CShapeSettingsDlg>(page.Get()), std::make_unique<CTextSettingsDlg>(page.Get()),
        std::make_unique<CTextureSettingsDlg>(page.Get()), std::make_unique<CBehaviourSettingsDlg>(page.Get())};
    for (auto& dlg : dialogs) {
        SCOPED_TRACE(dlg->TemplateId());
        ASSERT_TRUE(dlg->Create());
        QWidget* window = dlg->GetSafeHwnd();
        win::ShowWindow(window, win::SW_SHOW);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        for (QComboBox* combo : window->findChildren<QComboBox*>()) {
            EXPECT_GT(combo->count(), 0);
            EXPECT_LE(combo->sizeHint().width(), combo->width()) << combo->objectName().toStdString();
        }
    }
}

// Each dialog, plain and opened by EditProperties, at the template's size
// and in the system's colours or the editor's; the pictures are kept for
// people to look at.
TEST_F(SettingsDialogTest, Screenshots)
{
    editortest::EditorMediaFiles files;
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
            const DialogTemplate* t = dlg->Template();
            ASSERT_NE(t, nullptr);
            const RECT size = MapDialogRect(RECT{0, 0, t->cx, t->cy}, BaseUnitsOf(*t));
            EXPECT_EQ(window->size(), QSize(size.right, size.bottom)) << screen.name;
            // An empty corner shows the dialog's background.
            const COLORREF back = editorOpen && screen.editorColours ? RGB(40, 64, 112) : GetSysColor(COLOR_BTNFACE);
            EXPECT_EQ(window->grab().toImage().pixel(2, window->height() - 3) & 0xFFFFFF,
                      qRgb(GetRValue(back), GetGValue(back), GetBValue(back)) & 0xFFFFFF)
                << screen.name;
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
