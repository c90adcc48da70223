// The sounds and cursors picker on three controls, through its items found
// by name: what each item enables and previews, files tried once before any
// control takes them, playing through a recording sound output, failed
// downloads, the notify window, help, and screenshots.

#include "buttonlib/editor/CSoundCursorPickerDlg.h"
#include "buttonlib/editor/EditorDialogTestSupport.h"
#include "buttonlib/editor/MediaSlotBitmaps.h"
#include "buttonlib/editor/UrlDialog.h"

#include "platform/audio/AudioTestSupport.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/CursorTestSupport.h"

#include <QLineEdit>
#include <QPushButton>

using namespace editortest;

namespace {

using D = CSoundCursorPickerDlg;
using audio::testing::RecordingOutput;

constexpr int kInternet = MediaSlot::IDC_INTERNET;

// A 32 x 32 cursor of one colour (0x00RRGGBB), opaque all over.
win::testing::Bytes solidCursor(std::uint32_t colour)
{
    win::testing::DibPicture p;
    p.bitCount = 4;
    p.palette = {0x000000, colour};
    p.value = [](int, int) -> std::uint32_t { return 1; };
    return win::testing::MakeCur({{win::testing::MakeDib(p), 32, 32, QPoint(3, 3)}});
}

// A white arrow pointer with a black edge, for people to look at.
bool inArrow(int x, int y)
{
    const bool head = y < 22 && x <= y * 10 / 16;
    const bool stem = y >= 14 && y < 28 && x >= (y - 14) / 2 + 3 && x <= (y - 14) / 2 + 6;
    return x >= 0 && y >= 0 && (head || stem);
}

win::testing::Bytes arrowCursor()
{
    win::testing::DibPicture p;
    p.bitCount = 4;
    p.palette = {0x000000, 0xFFFFFF};
    p.value = [](int x, int y) -> std::uint32_t {
        const bool edge = !inArrow(x - 1, y) || !inArrow(x + 1, y) || !inArrow(x, y - 1) || !inArrow(x, y + 1);
        return edge ? 0 : 1;
    };
    p.mask = [](int x, int y) { return !inArrow(x, y); };
    return win::testing::MakeCur({{win::testing::MakeDib(p), 32, 32, QPoint(0, 0)}});
}

// One of our bitmaps as Qt reads it from a BMP file.
QImage bitmapImage(UINT id)
{
    const std::vector<BYTE> packed = MediaSlotBitmaps::Packed(id);
    const std::uint32_t head = 14 + 40 + 16 * 4;
    std::vector<std::uint8_t> file = {'B', 'M'};
    tv::testing::AppendLe32(file, std::uint32_t(14 + packed.size()));
    tv::testing::AppendLe32(file, 0);
    tv::testing::AppendLe32(file, head);
    file.insert(file.end(), packed.begin(), packed.end());
    QImage image;
    image.loadFromData(file.data(), int(file.size()), "BMP");
    return image.convertToFormat(QImage::Format_RGB32);
}

class SoundCursorPickerTest : public EditorDialogTest {
protected:
    void SetUp() override
    {
        EditorDialogTest::SetUp();
        write("tone.wav", audio::testing::ToneWave(1000));
        write("beep.wav", audio::testing::ToneWave(300, 880.0));
        write("broken.wav", {'R', 'I', 'F', 'F', 8, 0, 0, 0, 'W', 'A', 'V', 'E', 'j', 'u', 'n', 'k'});
        write("tone.snd", audio::testing::ToneWave(100));
        write("red.cur", solidCursor(0xFF0000));
        write("two.ani", win::testing::MakeAni({solidCursor(0x0000FF), solidCursor(0x00FF00)}));
        write("broken.cur", {0, 0, 2, 0, 1, 0, 32, 32});
        write("arrow.ani", win::testing::MakeAni({arrowCursor(), solidCursor(0x00FF00)}));
    }

    void write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        tv::testing::WriteRaw(root.Path() / name, std::string(bytes.begin(), bytes.end()));
    }
    std::string path(const std::string& name) const { return (root.Path() / name).string(); }

    QWidget* open(D& dlg)
    {
        EXPECT_TRUE(dlg.Create());
        QWidget* window = dlg.GetSafeHwnd();
        win::ShowWindow(window, win::SW_SHOW);
        return window;
    }

    // Every control's pressed sound a one-second tone, then the dialog open.
    QWidget* openOnTone(D& dlg)
    {
        for (CLumvexCtrl* button : buttons)
            button->SetSoundDown(path("tone.wav"));
        return open(dlg);
    }

    // The file the next Browse is given, then Browse clicked.
    void browse(QWidget* window, const std::string& name)
    {
        dialogs->files.push_back(path(name));
        click(find(window, MediaSlot::IDC_BROWSE));
    }

    std::vector<CString> all(CString CLumvexCtrl::*member) const
    {
        return {buttons[0]->*member, buttons[1]->*member, buttons[2]->*member};
    }
    std::vector<CString> everywhere(const std::string& value) const { return {value, value, value}; }

    // The picture the preview shows; null when none.
    static QImage preview(QWidget* window)
    {
        auto* button = find<QPushButton>(window, D::IDC_PREVIEW);
        if (button->icon().isNull())
            return {};
        return button->icon().pixmap(button->iconSize()).toImage().convertToFormat(QImage::Format_RGB32);
    }
    // Which of the four sound previews is shown; 0 for another picture or none.
    static UINT previewBitmap(QWidget* window)
    {
        const QImage shown = preview(window);
        for (UINT id : {205u, 206u, 207u, 208u})
            if (!shown.isNull() && shown == bitmapImage(id))
                return id;
        return 0;
    }

    // An item chosen as a user does: a click on its radio's mark.
    static void choose(QWidget* window, int radio)
    {
        QWidget* w = find(window, radio);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
    }

    static bool enabled(QWidget* window, int id) { return find(window, id)->isEnabled(); }

    tv::testing::TempRoot root;
};

TEST_F(SoundCursorPickerTest, EachSoundPreviewsWhetherItIsSetAndThePressedOneHasItsOwnPictures)
{
    struct Expected {
        int radio;
        CString CLumvexCtrl::*path;
        UINT empty;
        UINT set;
    };
    const Expected table[] = {{D::IDC_SOUND_DOWN, &CLumvexCtrl::m_SoundDown, 207, 206},
                              {D::IDC_SOUND_UP, &CLumvexCtrl::m_SoundUp, 208, 205},
                              {D::IDC_SOUND_MOUSE_OVER, &CLumvexCtrl::m_SoundMouseOver, 208, 205},
                              {D::IDC_SOUND_MOUSE_OUT, &CLumvexCtrl::m_SoundMouseOut, 208, 205}};
    // What the first control has counts; the others have every sound.
    for (const Expected& e : table) {
        buttons[1]->*e.path = "other.wav";
        buttons[2]->*e.path = "other.wav";
    }
    D dlg(page.Get());
    QWidget* window = open(dlg);
    EXPECT_EQ(dlg.ItemIndex(), D::kSoundDown);
    EXPECT_TRUE(find<QAbstractButton>(window, D::IDC_SOUND_DOWN)->isChecked());
    EXPECT_EQ(previewBitmap(window), 207u);

    for (const bool set : {false, true}) {
        for (const Expected& e : table) {
            SCOPED_TRACE(testing::Message() << e.radio << (set ? " set" : " empty"));
            buttons[0]->*e.path = set ? "first.wav" : "";
            choose(window, e.radio);
            EXPECT_EQ(previewBitmap(window), set ? e.set : e.empty);
            for (int id : {int(D::IDC_PLAY), int(D::IDC_STOP), kInternet, int(MediaSlot::IDC_BROWSE)})
                EXPECT_TRUE(enabled(window, id)) << id;
        }
    }
    // The pressed sound's pictures are not the others'.
    EXPECT_NE(bitmapImage(206), bitmapImage(205));
    EXPECT_NE(bitmapImage(207), bitmapImage(208));
}

TEST_F(SoundCursorPickerTest, TheCursorItemShowsTheFirstFrameAndClearEmptiesItEverywhere)
{
    const std::size_t handles = win::CursorHandleCount();
    D dlg(page.Get());
    QWidget* window = open(dlg);
    choose(window, D::IDC_CURSOR);
    EXPECT_EQ(dlg.ItemIndex(), D::kCursor);
    EXPECT_FALSE(enabled(window, kInternet));
    EXPECT_FALSE(enabled(window, D::IDC_PLAY));
    EXPECT_FALSE(enabled(window, D::IDC_STOP));
    EXPECT_TRUE(enabled(window, MediaSlot::IDC_BROWSE));
    EXPECT_TRUE(enabled(window, MediaSlot::IDC_CLEAR));
    EXPECT_TRUE(preview(window).isNull());

    browse(window, "two.ani");
    ASSERT_EQ(dialogs->fileRequests.size(), 1u);
    EXPECT_EQ(dialogs->fileRequests[0].title, "Select cursor file");
    EXPECT_NE(dialogs->fileRequests[0].filter.find("*.ani"), std::string::npos);
    EXPECT_EQ(all(&CLumvexCtrl::m_Cursor), everywhere(path("two.ani")));
    EXPECT_TRUE(takeMessages().empty());
    // The animated cursor's first frame, blue; the trial left no handle.
    const QImage shown = preview(window);
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.pixel(16, 16) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(win::CursorHandleCount(), handles + 3);
    saveScreenshot(window, "sounds-cursors-cursor");

    browse(window, "red.cur");
    EXPECT_EQ(preview(window).pixel(16, 16) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(win::CursorHandleCount(), handles + 3);

    click(find(window, MediaSlot::IDC_CLEAR));
    EXPECT_EQ(all(&CLumvexCtrl::m_Cursor), everywhere(""));
    for (CLumvexCtrl* button : buttons)
        EXPECT_FALSE(button->m_curCursor.HasData());
    EXPECT_TRUE(preview(window).isNull());
    EXPECT_EQ(win::CursorHandleCount(), handles);

    // Back on a sound the three are usable again.
    choose(window, D::IDC_SOUND_MOUSE_OVER);
    EXPECT_TRUE(enabled(window, kInternet));
    EXPECT_TRUE(enabled(window, D::IDC_PLAY));
    EXPECT_TRUE(enabled(window, D::IDC_STOP));
    EXPECT_EQ(previewBitmap(window), 208u);
}

TEST_F(SoundCursorPickerTest, AFileThatDoesNotLoadIsReportedOnceAndNoControlChanges)
{
    for (CLumvexCtrl* button : buttons) {
        button->SetSoundDown(path("tone.wav"));
        button->SetCursor(path("red.cur"));
    }
    D dlg(page.Get());
    QWidget* window = open(dlg);
    const std::size_t handles = win::CursorHandleCount();

    browse(window, "broken.wav");
    ASSERT_EQ(dialogs->fileRequests.size(), 1u);
    EXPECT_EQ(dialogs->fileRequests[0].title, "Select sound file");
    EXPECT_NE(dialogs->fileRequests[0].filter.find("*.wav"), std::string::npos);
    EXPECT_EQ(takeMessages(), std::vector<std::string>{"Error opening file " + path("broken.wav")});
    EXPECT_EQ(all(&CLumvexCtrl::m_SoundDown), everywhere(path("tone.wav")));
    for (CLumvexCtrl* button : buttons)
        EXPECT_TRUE(button->m_sndDown.HasData());

    // A sound the controls would refuse by its name is refused here, once.
    browse(window, "tone.snd");
    EXPECT_EQ(takeMessages(), std::vector<std::string>{"The file " + path("tone.snd") + " has an invalid extension."});
    EXPECT_EQ(all(&CLumvexCtrl::m_SoundDown), everywhere(path("tone.wav")));

    choose(window, D::IDC_CURSOR);
    browse(window, "broken.cur");
    EXPECT_EQ(takeMessages(), std::vector<std::string>{"Error opening file " + path("broken.cur")});
    EXPECT_EQ(all(&CLumvexCtrl::m_Cursor), everywhere(path("red.cur")));
    for (CLumvexCtrl* button : buttons)
        EXPECT_NE(button->m_curCursor.GetHandle(), nullptr);
    EXPECT_EQ(win::CursorHandleCount(), handles);
    EXPECT_FALSE(preview(window).isNull());

    // Cancelled, nothing happens at all.
    dialogs->files.push_back(std::nullopt);
    click(find(window, MediaSlot::IDC_BROWSE));
    EXPECT_TRUE(takeMessages().empty());
    EXPECT_EQ(all(&CLumvexCtrl::m_Cursor), everywhere(path("red.cur")));

    // A good sound goes to every control, each loading it.
    choose(window, D::IDC_SOUND_UP);
    browse(window, "beep.wav");
    EXPECT_TRUE(takeMessages().empty());
    EXPECT_EQ(all(&CLumvexCtrl::m_SoundUp), everywhere(path("beep.wav")));
    for (CLumvexCtrl* button : buttons)
        EXPECT_TRUE(button->m_sndUp.HasData());
    EXPECT_EQ(previewBitmap(window), 205u);
}

TEST_F(SoundCursorPickerTest, PlayIsAsynchronousFromALocalFileAndRefusedForAnAddressAtDesignTime)
{
    RecordingOutput recorder;
    D dlg(page.Get());
    QWidget* window = openOnTone(dlg);

    click(find(window, D::IDC_PLAY));
    // The click is back while the sound still plays on the service's thread.
    ASSERT_TRUE(recorder->WaitForStarted(1));
    EXPECT_TRUE(recorder->IsPlaying());
    EXPECT_EQ(recorder->Records()[0].sound.Frames(), 8000u);
    click(find(window, D::IDC_STOP));
    ASSERT_TRUE(recorder->WaitForFinished(1));
    EXPECT_TRUE(recorder->Records()[0].stopped);

    // An address, with Internet loading at design time off: the notice and
    // no sound, though the control holds one.
    buttons[0]->m_SoundUp = "http://127.0.0.1:1/up.wav";
    const auto wave = audio::testing::ToneWave(200);
    ASSERT_TRUE(buttons[0]->m_sndUp.SetRawData(wave.data(), int(wave.size())));
    choose(window, D::IDC_SOUND_UP);
    click(find(window, D::IDC_PLAY));
    EXPECT_EQ(takeMessages(),
              std::vector<std::string>{"This sound is loaded from the Internet and cannot be played at design time "
                                       "while Internet loading at design time is switched off."});
    EXPECT_EQ(recorder->PlayCount(), 1u);
    buttons[0]->m_SoundUp = "ftp://127.0.0.1:1/up.wav";
    click(find(window, D::IDC_PLAY));
    EXPECT_EQ(takeMessages().size(), 1u);

    // Switched on, the sound it holds plays.
    buttons[0]->m_EnableInternetLoadAtDT = TRUE;
    click(find(window, D::IDC_PLAY));
    ASSERT_TRUE(recorder->WaitForStarted(2));
    EXPECT_TRUE(takeMessages().empty());
    recorder->Advance(std::chrono::seconds(1));
    ASSERT_TRUE(recorder->WaitForFinished(2));
    EXPECT_FALSE(recorder->Records()[1].stopped);

    // No sound held: nothing plays, nothing is said.
    choose(window, D::IDC_SOUND_MOUSE_OVER);
    click(find(window, D::IDC_PLAY));
    EXPECT_EQ(recorder->PlayCount(), 2u);
    EXPECT_TRUE(takeMessages().empty());
}

TEST_F(SoundCursorPickerTest, ClearingOrReplacingASoundWhileItPlaysLeavesThePlayIntact)
{
    RecordingOutput recorder;
    D dlg(page.Get());
    QWidget* window = openOnTone(dlg);

    click(find(window, D::IDC_PLAY));
    ASSERT_TRUE(recorder->WaitForStarted(1));
    click(find(window, MediaSlot::IDC_CLEAR));
    EXPECT_EQ(all(&CLumvexCtrl::m_SoundDown), everywhere(""));
    EXPECT_FALSE(buttons[0]->m_sndDown.HasData());
    EXPECT_EQ(previewBitmap(window), 207u);
    EXPECT_TRUE(recorder->IsPlaying());

    // Browse frees the buffer the same way while the next one plays.
    browse(window, "tone.wav");
    click(find(window, D::IDC_PLAY));
    ASSERT_TRUE(recorder->WaitForStarted(2));
    browse(window, "beep.wav");
    EXPECT_EQ(all(&CLumvexCtrl::m_SoundDown), everywhere(path("beep.wav")));

    recorder->Advance(std::chrono::seconds(2));
    ASSERT_TRUE(recorder->WaitForFinished(2));
    const auto records = recorder->Records();
    EXPECT_TRUE(records[0].stopped) << "the second play took over";
    EXPECT_EQ(records[1].sound.Frames(), 8000u);
    EXPECT_FALSE(records[1].stopped);
}

TEST_F(SoundCursorPickerTest, AnAddressGoesEverywhereAndAFailedDownloadEmptiesItsSound)
{
    auto dlg = std::make_unique<D>(page.Get());
    QWidget* window = open(*dlg);
    choose(window, D::IDC_SOUND_MOUSE_OVER);
    const CString address = "http://127.0.0.1:1/over.wav";
    QString startText;
    whenModal([&](QWidget* url) {
        auto* edit = find<QLineEdit>(url, UrlDialog::IDC_ADDRESS);
        startText = edit->text();
        edit->setText(QString::fromStdString(address));
        QTest::keyClick(url, Qt::Key_Return);
    });
    click(find(window, kInternet));
    EXPECT_EQ(startText, "http://");
    // At design time, with Internet loading off, the address is kept unloaded.
    EXPECT_EQ(all(&CLumvexCtrl::m_SoundMouseOver), everywhere(address));
    EXPECT_EQ(buttons[0]->m_hWndSoundLoadNotify, window);
    EXPECT_EQ(buttons[1]->m_hWndSoundLoadNotify, nullptr);
    EXPECT_EQ(previewBitmap(window), 205u);

    // Cancelled, the address stays; it was the start text.
    whenModal([&](QWidget* url) {
        startText = find<QLineEdit>(url, UrlDialog::IDC_ADDRESS)->text();
        QTest::keyClick(url, Qt::Key_Escape);
    });
    click(find(window, kInternet));
    EXPECT_EQ(startText, QString::fromStdString(address));
    EXPECT_EQ(all(&CLumvexCtrl::m_SoundMouseOver), everywhere(address));

    for (CLumvexCtrl* button : buttons)
        button->m_SoundUp = "http://127.0.0.1:1/up.wav";
    // A picture's failure and a sound's success leave the sounds alone.
    win::PostMessage(window, CLumvexCtrl::UM_LOAD_DONE, CLumvexCtrl::PackLoadDone(0, 2, FALSE), 0);
    win::PostMessage(window, CLumvexCtrl::UM_LOAD_DONE, CLumvexCtrl::PackLoadDone(2, 2, TRUE), 0);
    deliverPosted();
    EXPECT_EQ(all(&CLumvexCtrl::m_SoundMouseOver), everywhere(address));
    // The failed sound request of index 2 empties the mouse-over sound only.
    win::PostMessage(window, CLumvexCtrl::UM_LOAD_DONE, CLumvexCtrl::PackLoadDone(2, 2, FALSE), 0);
    deliverPosted();
    EXPECT_EQ(all(&CLumvexCtrl::m_SoundMouseOver), everywhere(""));
    EXPECT_EQ(all(&CLumvexCtrl::m_SoundUp), everywhere("http://127.0.0.1:1/up.wav"));
    EXPECT_EQ(previewBitmap(window), 208u);

    // No download came, so the registration is still there: closing takes
    // it back, and a later notice finds no window.
    ASSERT_EQ(buttons[0]->m_hWndSoundLoadNotify, window);
    buttons[2]->SetSoundLoadNotifyWnd(window);
    dlg.reset();
    for (CLumvexCtrl* button : buttons)
        EXPECT_EQ(button->m_hWndSoundLoadNotify, nullptr);
}

TEST_F(SoundCursorPickerTest, HelpIsTheLinkOrTheLibrarysPageAndShowsAsTheHostAsked)
{
    HelpPages help({157});
    for (bool editorOpen : {false, true}) {
        SCOPED_TRACE(editorOpen);
        buttons[0]->m_bEditorOpen = editorOpen ? TRUE : FALSE;
        urls->opened.clear();
        D dlg(page.Get());
        QWidget* window = open(dlg);
        click(find(window, CSettingsDialog::IDC_HELP_BUTTON));
        dlg.SendMessage(win::WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
        EXPECT_EQ(urls->opened, std::vector<std::string>(2, help.Url(kLibraryHelpFolder, 157)));
        CLumvexCtrl::g_helpLinks[7] = "https://help.example/sounds";
        urls->opened.clear();
        dlg.SendMessage(win::WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
        EXPECT_EQ(urls->opened, std::vector<std::string>{"https://help.example/sounds"});
        CLumvexCtrl::g_helpLinks[7].clear();
    }
    buttons[0]->m_bEditorOpen = FALSE;

    // The host's choice holds whether or not it opened the editor.
    const auto shown = CLumvexCtrl::g_editButtonShow;
    CLumvexCtrl::g_editButtonShow[0] = win::SW_HIDE;
    {
        D dlg(page.Get());
        EXPECT_FALSE(find(open(dlg), CSettingsDialog::IDC_HELP_BUTTON)->isVisible());
    }
    CLumvexCtrl::g_editButtonShow = shown;
}

// The picker plain and as EditProperties opens it, on a sound and on the
// cursor item: the preview shows the pressed sound's picture, then the
// cursor, and the picker keeps the system's colours either way (the editor's
// colours are for the other dialogs). The pictures are kept for people to
// look at.
TEST_F(SoundCursorPickerTest, Screenshots)
{
    buttons[0]->m_EditColorText = RGB(255, 255, 224);
    buttons[0]->m_EditColorBack = RGB(40, 64, 112);
    buttons[0]->SetSoundDown(path("tone.wav"));
    buttons[0]->SetCursor(path("arrow.ani"));
    for (bool editorOpen : {false, true}) {
        buttons[0]->m_bEditorOpen = editorOpen ? TRUE : FALSE;
        const QString how = editorOpen ? "editor" : "plain";
        D dlg(page.Get());
        QWidget* window = open(dlg);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(window->grab().toImage().pixel(2, window->height() - 3) & 0xFFFFFF,
                  qRgb(GetRValue(face), GetGValue(face), GetBValue(face)) & 0xFFFFFF)
            << how.toStdString();
        EXPECT_EQ(previewBitmap(window), 206u) << how.toStdString();
        saveScreenshot(window, QStringLiteral("sounds-cursors-%1-sound").arg(how));
        choose(window, D::IDC_CURSOR);
        EXPECT_FALSE(preview(window).isNull()) << how.toStdString();
        EXPECT_EQ(previewBitmap(window), 0u) << how.toStdString();
        saveScreenshot(window, QStringLiteral("sounds-cursors-%1-cursor").arg(how));
    }
    buttons[0]->m_bEditorOpen = FALSE;
}

} // namespace
