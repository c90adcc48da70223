// The picture choice dialog on three controls: the animation preview
// started, stepped and stopped by the chosen state, the slot following the
// state, failed downloads emptying only the states' pictures, and the
// editor-open look and filter.

#include "buttonlib/editor/EditorMediaFiles.h"
#include "buttonlib/editor/CPictureChoiceDlg.h"
#include "buttonlib/editor/EditorDialogTestSupport.h"
#include "buttonlib/editor/MediaPreview.h"
#include "buttonlib/editor/UrlDialog.h"

#include "buttonlib/media/CAnim.h"

#include "platform/testing/ServerProcess.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/Window.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLineEdit>

using namespace editortest;

namespace {

using D = CPictureChoiceDlg;

// Counts the preview's timer messages.
class CountingChoiceDlg : public CPictureChoiceDlg {
public:
    using CPictureChoiceDlg::CPictureChoiceDlg;
    void OnTimer(std::uintptr_t id) override
    {
        if (id == kPreviewTimer)
            ++ticks;
        CPictureChoiceDlg::OnTimer(id);
    }
    int ticks = 0;
};

class PictureChoiceTest : public EditorDialogTest {
protected:
    void SetUp() override
    {
        EditorDialogTest::SetUp();
        LumvexApp().SetHelpPort(help);
        // Five 8 x 6 frames, red first; and five AVI frames of no delay at
        // all (2000 a second).
        tv::testing::WriteRaw(files.path("five.gif"),
                              GifOfColours(8, 6, 10, {0xFF0000, 0x0000FF, 0x00FF00, 0xFFFF00, 0xFFFFFF}));
        tv::testing::WriteRaw(files.path("fast.avi"),
                              AviOfColours(16, 12, 2000, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFFFFFF}));
    }

    void TearDown() override
    {
        LumvexApp().SetHelpPort(nullptr);
        EditorDialogTest::TearDown();
    }

    QWidget* open(CPictureChoiceDlg& dlg)
    {
        EXPECT_TRUE(dlg.Create());
        QWidget* window = dlg.GetSafeHwnd();
        win::ShowWindow(window, win::SW_SHOW);
        return window;
    }

    std::vector<CString> all(CString CLumvexCtrl::*path) const
    {
        return {buttons[0]->*path, buttons[1]->*path, buttons[2]->*path};
    }

    // The editor as EditProperties opens it, yellow on navy.
    void openAsEditor()
    {
        buttons[0]->m_bEditorOpen = TRUE;
        buttons[0]->m_EditColorText = RGB(255, 255, 0);
        buttons[0]->m_EditColorBack = RGB(0, 0, 96);
    }

    // The help shown so far, as "html <context>" or "winhelp <context>".
    std::vector<std::string> helpShown() const
    {
        std::vector<std::string> out;
        for (const auto& r : help->requests)
            out.push_back((r.kind == RecordingHelpPort::Kind::WinHelp ? "winhelp " : "html ") +
                          std::to_string(r.context));
        return out;
    }

    editortest::EditorMediaFiles files;
    std::shared_ptr<RecordingHelpPort> help = std::make_shared<RecordingHelpPort>();
};

TEST_F(PictureChoiceTest, TheStateChosenStartsStepsAndStopsTheAnimationPreview)
{
    buttons[0]->SetPicture(files.path("five.gif"));
    buttons[0]->SetPicturePressed(files.path("clip.avi"));
    buttons[0]->SetPictureDisabled(files.path("pic.bmp"));
    ASSERT_EQ(buttons[0]->m_aviPicture.GetFrameCount(), 5);
    CPictureChoiceDlg dlg(page.Get());
    QWidget* window = open(dlg);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(dlg.StateIndex(), D::kNormal);
    EXPECT_EQ(dlg.PreviewAnimation(), &buttons[0]->m_aviPicture);

    // Frames 0 to 4, then 0 again; each is drawn in the frame.
    std::vector<int> shown;
    for (int i = 0; i < 6; ++i) {
        dlg.OnTimer(D::kPreviewTimer);
        shown.push_back(dlg.PreviewFrame());
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4, 0}));
    const RECT at = MediaPreview::TargetRect(MediaPreview::FrameInside(dlg), 8, 6);
    EXPECT_EQ(window->grab().toImage().pixelColor(at.left + 3, at.top + 3), QColor(255, 0, 0));
    saveScreenshot(window, "picture-choice-animation");

    click(find(window, D::IDC_STATE_PRESSED));
    EXPECT_EQ(dlg.StateIndex(), D::kPressed);
    EXPECT_EQ(dlg.PreviewAnimation(), &buttons[0]->m_aviPicturePressed);
    EXPECT_EQ(dlg.PreviewFrame(), -1);
    EXPECT_EQ(win::TimerCount(window), 1u);

    // The disabled state has a picture only: the timer goes and paint
    // draws the picture (12 x 9, green).
    click(find(window, D::IDC_STATE_DISABLED));
    EXPECT_EQ(dlg.PreviewAnimation(), nullptr);
    EXPECT_EQ(win::TimerCount(window), 0u);
    const RECT pic = MediaPreview::TargetRect(MediaPreview::FrameInside(dlg), 12, 9);
    EXPECT_EQ(window->grab().toImage().pixelColor(pic.left + 5, pic.top + 4), QColor(30, 140, 30));
    saveScreenshot(window, "picture-choice-picture");

    // An animation emptied under the preview shows nothing and no frame.
    click(find(window, D::IDC_STATE_NORMAL));
    buttons[0]->m_aviPicture.Empty();
    dlg.OnTimer(D::kPreviewTimer);
    EXPECT_EQ(dlg.PreviewFrame(), -1);
    dlg.DestroyWindow();
    EXPECT_EQ(win::TimerCount(window), 0u);
}

TEST_F(PictureChoiceTest, AnAnimationOfNoDelayRunsAtTheTimersFloor)
{
    buttons[0]->SetPicture(files.path("fast.avi"));
    ASSERT_EQ(buttons[0]->m_aviPicture.GetFrameCount(), 5);
    ASSERT_EQ(buttons[0]->m_aviPicture.GetFrameDelay(), 0);
    CountingChoiceDlg dlg(page.Get());
    QWidget* window = open(dlg);
    ASSERT_NE(dlg.PreviewAnimation(), nullptr);
    // Every 10 ms at the fastest, not as fast as the loop turns; and the
    // frames do come.
    EXPECT_EQ(win::TimerPeriod(window, D::kPreviewTimer), 10u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.ticks >= 3; }, 20000));
}

TEST_F(PictureChoiceTest, TheSlotIsTheChosenStatesPath)
{
    for (CLumvexCtrl* button : buttons) {
        button->m_Picture = "n.bmp";
        button->m_PicturePressed = "p.bmp";
        button->m_PictureMouseOver = "m.bmp";
        button->m_PictureDisabled = "d.bmp";
    }
    CPictureChoiceDlg dlg(page.Get());
    QWidget* window = open(dlg);
    click(find(window, D::IDC_STATE_MOUSE_OVER));
    click(find(window, MediaSlot::IDC_CLEAR));
    EXPECT_EQ(all(&CLumvexCtrl::m_PictureMouseOver), (std::vector<CString>{"", "", ""}));
    EXPECT_EQ(all(&CLumvexCtrl::m_Picture), (std::vector<CString>{"n.bmp", "n.bmp", "n.bmp"}));
    EXPECT_EQ(all(&CLumvexCtrl::m_PicturePressed), (std::vector<CString>{"p.bmp", "p.bmp", "p.bmp"}));
    EXPECT_EQ(all(&CLumvexCtrl::m_PictureDisabled), (std::vector<CString>{"d.bmp", "d.bmp", "d.bmp"}));

    // The slot's filter offers animations; Browse gives the first control.
    click(find(window, D::IDC_STATE_PRESSED));
    dialogs->files.push_back(files.path("clip.avi"));
    click(find(window, MediaSlot::IDC_BROWSE));
    ASSERT_EQ(dialogs->fileRequests.size(), 1u);
    EXPECT_NE(dialogs->fileRequests[0].filter.find("*.avi"), std::string::npos);
    EXPECT_EQ(all(&CLumvexCtrl::m_PicturePressed), (std::vector<CString>{files.path("clip.avi"), "p.bmp", "p.bmp"}));
    EXPECT_EQ(dlg.PreviewAnimation(), &buttons[0]->m_aviPicturePressed);

    // The disabled state has no animation: the control refuses the AVI that
    // passed the dialog's test, and its path empties.
    click(find(window, D::IDC_STATE_DISABLED));
    EXPECT_EQ(dlg.PreviewAnimation(), nullptr);
    dialogs->files.push_back(files.path("clip.avi"));
    click(find(window, MediaSlot::IDC_BROWSE));
    EXPECT_EQ(buttons[0]->m_PictureDisabled, "");
    EXPECT_EQ(takeMessages(), std::vector<std::string>{"The file " + files.path("clip.avi") + " has an invalid extension."});
}

TEST_F(PictureChoiceTest, AFailedDownloadEmptiesOnlyTheStatePictureItServed)
{
    for (CLumvexCtrl* button : buttons) {
        button->m_EnableInternetLoadAtDT = TRUE;
        button->m_PictureDisabled = "http://127.0.0.1:1/d.bmp";
        button->m_PictureCustom = "http://127.0.0.1:1/mask.bmp";
    }
    auto dlg = std::make_unique<CPictureChoiceDlg>(page.Get());
    QWidget* window = open(*dlg);
    // Index 3 is the shape mask, no state's: nothing changes.
    win::PostMessage(window, CLumvexCtrl::UM_LOAD_DONE, CLumvexCtrl::PackLoadDone(0, 3, FALSE), 0);
    deliverPosted();
    EXPECT_EQ(buttons[2]->m_PictureCustom, "http://127.0.0.1:1/mask.bmp");
    EXPECT_EQ(buttons[2]->m_PictureDisabled, "http://127.0.0.1:1/d.bmp");
    win::PostMessage(window, CLumvexCtrl::UM_LOAD_DONE, CLumvexCtrl::PackLoadDone(0, 5, FALSE), 0);
    deliverPosted();
    EXPECT_EQ(all(&CLumvexCtrl::m_PictureDisabled), (std::vector<CString>{"", "", ""}));

    // A missing file on a web server of the test's own: the address typed
    // for the mouse-over state fails, is emptied everywhere, and the
    // preview is drawn anew.
    tv::testing::ServerProcess server{TV_NET_TESTDATA "/http_server.py", {files.root.Path().string()}};
    ASSERT_NE(server.Port(), 0);
    for (CLumvexCtrl* button : buttons)
        button->SetPictureMouseOver(files.path("five.gif"));
    click(find(window, D::IDC_STATE_MOUSE_OVER));
    ASSERT_NE(dlg->PreviewAnimation(), nullptr);
    const CString address = "http://127.0.0.1:" + std::to_string(server.Port()) + "/missing.png";
    whenModal([&address](QWidget* url) {
        find<QLineEdit>(url, UrlDialog::IDC_ADDRESS)->setText(QString::fromStdString(address));
        QTest::keyClick(url, Qt::Key_Return);
    });
    lumvextest::EventCounter<QEvent::Show> frame;
    find(window, MediaPreview::IDC_PREVIEW_FRAME)->installEventFilter(&frame);
    click(find(window, MediaSlot::IDC_INTERNET));
    EXPECT_EQ(all(&CLumvexCtrl::m_PictureMouseOver), (std::vector<CString>{address, address, address}));
    EXPECT_EQ(dlg->PreviewAnimation(), nullptr);
    const int shownBefore = frame.count;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return all(&CLumvexCtrl::m_PictureMouseOver) == std::vector<CString>{"", "", ""}; }, 20000));
    EXPECT_GT(frame.count, shownBefore);
    EXPECT_EQ(buttons[0]->m_PictureCustom, "http://127.0.0.1:1/mask.bmp");
    // Each control that has failed so far said so, as at design time.
    const std::vector<std::string> said = takeMessages();
    EXPECT_FALSE(said.empty());
    for (const std::string& text : said)
        EXPECT_EQ(text, "Error opening file " + address);

    // Closing leaves no registration behind.
    buttons[0]->SetPictureLoadNotifyWnd(window);
    dlg.reset();
    EXPECT_EQ(buttons[0]->m_hWndPictureLoadNotify, nullptr);
}

TEST_F(PictureChoiceTest, HelpFollowsTheEditorOpenFlagWhichOffersPicturesButTakesATypedAnimation)
{
    {
        CPictureChoiceDlg dlg(page.Get());
        QWidget* window = open(dlg);
        click(find(window, CSettingsDialog::IDC_HELP_BUTTON));
        dlg.SendMessage(win::WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
        QTest::keyClick(find(window, D::IDC_STATE_PRESSED), Qt::Key_F1);
        EXPECT_EQ(helpShown(), (std::vector<std::string>{"html 154", "html 154", "html 154"}));
    }

    std::filesystem::copy_file(files.path("clip.avi"), files.path("x.avi"));
    buttons[0]->SetPictureDisabled(files.path("pic.bmp"));
    openAsEditor();
    CPictureChoiceDlg dlg(page.Get());
    QWidget* window = open(dlg);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->windowTitle(), "Pictures choice");
    EXPECT_EQ(find<QAbstractButton>(window, D::IDC_STATE_NORMAL)->text(), "Picture for button in normal state");
    EXPECT_EQ(find<QAbstractButton>(window, D::IDC_STATE_MOUSE_OVER)->text(), "Picture for button with mouse over");
    EXPECT_TRUE(find<QAbstractButton>(window, D::IDC_STATE_NORMAL)->isChecked());
    QTest::keyClick(find(window, D::IDC_STATE_NORMAL), Qt::Key_F1);
    EXPECT_EQ(helpShown().back(), "winhelp 134");

    dialogs->files.push_back(files.path("x.avi"));
    click(find(window, MediaSlot::IDC_BROWSE));
    ASSERT_EQ(dialogs->fileRequests.size(), 1u);
    EXPECT_EQ(dialogs->fileRequests[0].filter.find("avi"), std::string::npos);
    EXPECT_EQ(buttons[0]->m_Picture, files.path("x.avi"));
    ASSERT_NE(dlg.PreviewAnimation(), nullptr);
    // The first frame is shown at the animation's own pace.
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.PreviewFrame() >= 0; }, 5000));
    saveScreenshot(window, "picture-choice-editor-open-animation");

    click(find(window, D::IDC_STATE_DISABLED));
    EXPECT_EQ(dlg.PreviewAnimation(), nullptr);
    saveScreenshot(window, "picture-choice-editor-open-picture");
    buttons[0]->m_bEditorOpen = FALSE;
}

} // namespace
