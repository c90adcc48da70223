// The picture choice dialog on three controls: the animation preview
// started, stepped and stopped by the chosen state, the slot following the
// state, failed downloads emptying only the states' pictures, and the
// editor-open look and filter.

#include "buttonlib/editor/CPictureChoiceDlg.h"
#include "buttonlib/editor/EditorDialogTestSupport.h"
#include "buttonlib/editor/MediaPreview.h"
#include "buttonlib/editor/UrlDialog.h"

#include "buttonlib/control/LumvexMediaTestFiles.h"
#include "buttonlib/media/CAnim.h"

#include "platform/win/Window.h"

#include <QAbstractButton>
#include <QElapsedTimer>
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
        // Five 8 x 6 frames, red first; and five AVI frames far faster
        // than any timer.
        fiveMade = run("convert-im6.q16", {"-size", "8x6", "-delay", "10", "xc:red", "xc:blue", "xc:lime", "xc:yellow",
                                           "xc:white", files.path("five.gif")});
        fastMade = run("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=16x12:rate=5000",
                                  "-frames:v", "5", "-c:v", "msvideo1", files.path("fast.avi")});
    }

    static bool run(const char* program, std::initializer_list<std::string> args)
    {
        QStringList list;
        for (const std::string& a : args)
            list << QString::fromStdString(a);
        return QProcess::execute(program, list) == 0;
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

    lumvextest::MediaTestFiles files;
    bool fiveMade = false;
    bool fastMade = false;
};

TEST_F(PictureChoiceTest, TheStateChosenStartsStepsAndStopsTheAnimationPreview)
{
    ASSERT_TRUE(files.aviMade && fiveMade);
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

TEST_F(PictureChoiceTest, AnAnimationFasterThanTheTimersFloorRunsAtIt)
{
    ASSERT_TRUE(fastMade);
    buttons[0]->SetPicture(files.path("fast.avi"));
    // The file's rate is capped at 600 a second: a delay of 1 ms.
    ASSERT_LE(buttons[0]->m_aviPicture.GetFrameDelay(), 1);
    CountingChoiceDlg dlg(page.Get());
    open(dlg);
    ASSERT_NE(dlg.PreviewAnimation(), nullptr);
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(200);
    // 10 ms apart at the fastest: a busy timer would run thousands.
    EXPECT_GT(dlg.ticks, 0);
    EXPECT_LE(dlg.ticks, clock.elapsed() / 10 + 2);
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
    ASSERT_TRUE(files.aviMade);
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
    EXPECT_EQ(takeMessages().size(), 1u);
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

    // Nothing listens on port 1: the address typed for the mouse-over state
    // fails and is emptied everywhere.
    click(find(window, D::IDC_STATE_MOUSE_OVER));
    const CString address = "http://127.0.0.1:1/over.png";
    whenModal([&address](QWidget* url) {
        find<QLineEdit>(url, UrlDialog::IDC_ADDRESS)->setText(QString::fromStdString(address));
        QTest::keyClick(url, Qt::Key_Return);
    });
    click(find(window, MediaSlot::IDC_INTERNET));
    EXPECT_EQ(all(&CLumvexCtrl::m_PictureMouseOver), (std::vector<CString>{address, address, address}));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return all(&CLumvexCtrl::m_PictureMouseOver) == std::vector<CString>{"", "", ""}; }, 20000));
    EXPECT_EQ(buttons[0]->m_PictureCustom, "http://127.0.0.1:1/mask.bmp");

    // Closing leaves no registration behind.
    buttons[0]->SetPictureLoadNotifyWnd(window);
    dlg.reset();
    EXPECT_EQ(buttons[0]->m_hWndPictureLoadNotify, nullptr);
}

TEST_F(PictureChoiceTest, EditorOpenOffersPicturesButTakesATypedAnimation)
{
    ASSERT_TRUE(files.aviMade);
    std::filesystem::copy_file(files.path("clip.avi"), files.path("x.avi"));
    buttons[0]->m_bEditorOpen = TRUE;
    CPictureChoiceDlg dlg(page.Get());
    QWidget* window = open(dlg);
    EXPECT_EQ(window->windowTitle(), "Pictures choice");
    EXPECT_EQ(find<QAbstractButton>(window, D::IDC_STATE_NORMAL)->text(), "Picture for button in normal state");
    EXPECT_EQ(find<QAbstractButton>(window, D::IDC_STATE_MOUSE_OVER)->text(), "Picture for button with mouse over");
    EXPECT_TRUE(find<QAbstractButton>(window, D::IDC_STATE_NORMAL)->isChecked());

    dialogs->files.push_back(files.path("x.avi"));
    click(find(window, MediaSlot::IDC_BROWSE));
    ASSERT_EQ(dialogs->fileRequests.size(), 1u);
    EXPECT_EQ(dialogs->fileRequests[0].filter.find("avi"), std::string::npos);
    EXPECT_EQ(buttons[0]->m_Picture, files.path("x.avi"));
    EXPECT_NE(dlg.PreviewAnimation(), nullptr);
    saveScreenshot(window, "picture-choice-editor-open");
    buttons[0]->m_bEditorOpen = FALSE;
}

} // namespace
