// The media slot of a settings dialog (the shape mask's, and a picture's):
// files picked and test-loaded by their extension, addresses typed into the
// URL dialog, clearing, and the notices of downloads that end, also after
// the dialog has gone.

#include "buttonlib/editor/EditorMediaFiles.h"
#include "buttonlib/editor/CShapeSettingsDlg.h"
#include "buttonlib/editor/EditorDialogTestSupport.h"
#include "buttonlib/editor/MediaSlot.h"
#include "buttonlib/editor/MediaSlotBitmaps.h"
#include "buttonlib/editor/UrlDialog.h"


#include "platform/testing/TestSupport.h"

#include <QLineEdit>

#include <filesystem>
#include <optional>
#include <unistd.h>

using namespace editortest;

namespace {

constexpr const char* kInvalidPicture = "Invalid picture file";

class MediaSlotTest : public EditorDialogTest {
protected:
    void SetUp() override
    {
        EditorDialogTest::SetUp();
        std::filesystem::copy_file(files.path("mask.bmp"), files.path("MASK.BMP"));
        tv::testing::WriteRaw(files.root.Path() / "broken.bmp", "BM this is no picture");
        tv::testing::WriteRaw(files.root.Path() / "shape.tif", "II*\0");
    }

    // The shape dialog on a custom shape, made and shown; its slot is the
    // shape mask.
    QWidget* open(CShapeSettingsDlg& dlg)
    {
        buttons[0]->SetShape(CShapeSettingsDlg::kShapeCustom);
        EXPECT_TRUE(dlg.Create());
        QWidget* window = dlg.GetSafeHwnd();
        win::ShowWindow(window, win::SW_SHOW);
        return window;
    }

    std::vector<CString> masks() const
    {
        return {buttons[0]->m_PictureCustom, buttons[1]->m_PictureCustom, buttons[2]->m_PictureCustom};
    }

    // The next Browse picks path (nullopt: Cancel).
    void willPick(std::optional<std::string> path) { dialogs->files.push_back(std::move(path)); }

    editortest::EditorMediaFiles files;
};

TEST_F(MediaSlotTest, BrowseTestLoadsTheFileByItsExtensionAndGivesItToTheFirstControlOnly)
{
    CShapeSettingsDlg dlg(page.Get());
    QWidget* window = open(dlg);
    QWidget* browse = find(window, MediaSlot::IDC_BROWSE);

    // The request: must-exist open, the slot's title and filter.
    willPick(std::nullopt);
    click(browse);
    ASSERT_EQ(dialogs->fileRequests.size(), 1u);
    EXPECT_EQ(dialogs->fileRequests[0].flags, 0x1804u);
    EXPECT_EQ(dialogs->fileRequests[0].title, "Select picture file");
    EXPECT_EQ(dialogs->fileRequests[0].filter, "Picture files (*.bmp, *.png) |*.bmp;*.png|All files (*.*)|*.*||");
    EXPECT_EQ(masks(), (std::vector<CString>{"", "", ""}));

    willPick(files.path("shape.tif"));
    click(browse);
    EXPECT_EQ(takeMessages(), (std::vector<std::string>{"The file tif has an invalid extension."}));
    willPick(files.path("broken.bmp"));
    click(browse);
    EXPECT_EQ(takeMessages(), (std::vector<std::string>{kInvalidPicture}));
    tv::testing::WriteRaw(files.root.Path() / "pic.jpg", "\xFF\xD8\xFF");
    willPick(files.path("pic.jpg"));
    click(browse);
    EXPECT_EQ(takeMessages(), (std::vector<std::string>{"The file jpg has an invalid extension."}));
    EXPECT_EQ(masks(), (std::vector<CString>{"", "", ""}));

    // Capitals are the same extension; only the first control takes it.
    willPick(files.path("MASK.BMP"));
    click(browse);
    EXPECT_TRUE(takeMessages().empty());
    EXPECT_EQ(masks(), (std::vector<CString>{files.path("MASK.BMP"), "", ""}));
    EXPECT_EQ(buttons[0]->m_dibPictureCustom.GetWidth(), 42);

    // A colour picture passes the dialog's test; the control refuses it as
    // a mask and keeps no path.
    willPick(files.path("pic.bmp"));
    click(browse);
    const std::string notMonochrome =
        "The file " + files.path("pic.bmp") + " is not a monochrome black and white file (1 bit per pixel).";
    EXPECT_EQ(takeMessages(), (std::vector<std::string>{notMonochrome}));
    EXPECT_EQ(masks(), (std::vector<CString>{"", "", ""}));
}

TEST_F(MediaSlotTest, APictureSlotAlsoTakesJpegAndChecksAnimationsBeforeTakingThem)
{
    CShapeSettingsDlg dlg(page.Get());
    open(dlg);
    MediaSlot picture(dlg, page.Get(), {&CLumvexCtrl::m_Picture, &CLumvexCtrl::OnPictureChanged},
                      MediaSlot::Files::PicturesAndAnimations, 106);

    CDIB jpeg;
    ASSERT_TRUE(jpeg.Load(files.path("pic.bmp").c_str()));
    ASSERT_TRUE(jpeg.SaveJPEG(files.path("pic.jpg").c_str()));
    willPick(files.path("pic.jpg"));
    picture.Browse();
    EXPECT_TRUE(takeMessages().empty());
    EXPECT_EQ(buttons[0]->m_Picture, files.path("pic.jpg"));
    EXPECT_EQ(buttons[0]->m_dibPicture.GetWidth(), 12);
    EXPECT_EQ(buttons[1]->m_Picture, "");

    willPick(files.path("clip.avi"));
    picture.Browse();
    EXPECT_TRUE(takeMessages().empty());
    EXPECT_EQ(buttons[0]->m_Picture, files.path("clip.avi"));
    EXPECT_EQ(buttons[0]->m_aviPicture.GetFrameCount(), 3);
    // A file that is no video: the animation check says why, then the slot.
    willPick(files.path("junk.avi"));
    picture.Browse();
    const auto said = takeMessages();
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said.back(), kInvalidPicture);
    EXPECT_NE(buttons[0]->m_Picture, files.path("junk.avi"));

    // A file that cannot be opened is said so, not passed over in silence.
    std::filesystem::copy_file(files.path("two.gif"), files.path("locked.gif"));
    std::filesystem::permissions(files.path("locked.gif"), std::filesystem::perms::none);
    if (::geteuid() != 0) {
        willPick(files.path("locked.gif"));
        picture.Browse();
        EXPECT_EQ(takeMessages(), (std::vector<std::string>{"Error opening file " + files.path("locked.gif")}));
    }
    willPick(files.path("two.gif"));
    picture.Browse();
    EXPECT_TRUE(takeMessages().empty());
    EXPECT_EQ(buttons[0]->m_Picture, files.path("two.gif"));
    EXPECT_EQ(buttons[0]->m_aviPicture.GetFrameCount(), 2);
}

TEST_F(MediaSlotTest, InternetGivesTheTypedAddressToEveryControlAndClearEmptiesThemAll)
{
    CShapeSettingsDlg dlg(page.Get());
    QWidget* window = open(dlg);
    QWidget* internet = find(window, MediaSlot::IDC_INTERNET);

    // An empty path starts the dialog with the scheme; Cancel changes nothing.
    std::string shown;
    whenModal([&shown](QWidget* url) {
        EXPECT_EQ(url->objectName(), "dialog238");
        EXPECT_EQ(url->windowTitle(), "Internet URL address");
        auto* edit = find<QLineEdit>(url, UrlDialog::IDC_ADDRESS);
        shown = edit->text().toStdString();
        edit->setText("http://example.com/never.bmp");
        QTest::keyClick(url, Qt::Key_Escape);
    });
    click(internet);
    EXPECT_EQ(shown, "http://");
    EXPECT_EQ(masks(), (std::vector<CString>{"", "", ""}));
    EXPECT_EQ(buttons[0]->m_hWndPictureLoadNotify, nullptr);

    // Accepted: every control takes the address (at design time a
    // placeholder stands for it) and the first one will tell the dialog.
    const CString address = "http://127.0.0.1:1/shape.bmp";
    whenModal([&address](QWidget* url) {
        find<QLineEdit>(url, UrlDialog::IDC_ADDRESS)->setText(QString::fromStdString(address));
        QTest::keyClick(url, Qt::Key_Return);
    });
    click(internet);
    EXPECT_EQ(masks(), (std::vector<CString>{address, address, address}));
    EXPECT_EQ(buttons[0]->m_hWndPictureLoadNotify, window);
    EXPECT_EQ(buttons[1]->m_hWndPictureLoadNotify, nullptr);
    EXPECT_TRUE(buttons[2]->m_dibPictureCustom.IsValid());

    // The first control's address is where the next one starts.
    whenModal([&shown](QWidget* url) {
        auto* edit = find<QLineEdit>(url, UrlDialog::IDC_ADDRESS);
        shown = edit->text().toStdString();
        edit->clear();
        QTest::keyClick(url, Qt::Key_Return);
    });
    click(internet);
    EXPECT_EQ(shown, address);
    EXPECT_EQ(masks(), (std::vector<CString>{"", "", ""}));

    buttons[0]->m_PictureCustom = buttons[2]->m_PictureCustom = "kept.bmp";
    click(find(window, MediaSlot::IDC_CLEAR));
    EXPECT_EQ(masks(), (std::vector<CString>{"", "", ""}));
    EXPECT_TRUE(takeMessages().empty());

    // No download came at design time: closing ends the registration.
    dlg.DestroyWindow();
    EXPECT_EQ(buttons[0]->m_hWndPictureLoadNotify, nullptr);
}

TEST_F(MediaSlotTest, AFailedDownloadEmptiesThePathItServedOnEveryControl)
{
    for (CLumvexCtrl* button : buttons)
        button->m_EnableInternetLoadAtDT = TRUE;
    CShapeSettingsDlg dlg(page.Get());
    QWidget* window = open(dlg);

    // Nothing listens on port 1: every download fails; the first control's
    // notice has the dialog empty the path everywhere.
    const CString address = "http://127.0.0.1:1/shape.bmp";
    whenModal([&address](QWidget* url) {
        find<QLineEdit>(url, UrlDialog::IDC_ADDRESS)->setText(QString::fromStdString(address));
        QTest::keyClick(url, Qt::Key_Return);
    });
    click(find(window, MediaSlot::IDC_INTERNET));
    EXPECT_EQ(masks(), (std::vector<CString>{address, address, address}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return masks() == std::vector<CString>{"", "", ""}; }, 20000));
    EXPECT_EQ(buttons[0]->m_hWndPictureLoadNotify, nullptr);

    // A notice names the kind and index it served: an animation of the
    // normal state is the Picture path; a success changes nothing.
    for (CLumvexCtrl* button : buttons)
        button->m_Picture = "http://127.0.0.1:1/a.gif";
    win::PostMessage(window, CLumvexCtrl::UM_LOAD_DONE, CLumvexCtrl::PackLoadDone(1, 0, TRUE), 0);
    deliverPosted();
    EXPECT_EQ(buttons[2]->m_Picture, "http://127.0.0.1:1/a.gif");
    win::PostMessage(window, CLumvexCtrl::UM_LOAD_DONE, CLumvexCtrl::PackLoadDone(1, 0, FALSE), 0);
    deliverPosted();
    for (CLumvexCtrl* button : buttons)
        EXPECT_EQ(button->m_Picture, "");
}

TEST_F(MediaSlotTest, ADialogClosedBeforeItsDownloadEndsIsToldNothing)
{
    for (CLumvexCtrl* button : buttons)
        button->m_EnableInternetLoadAtDT = TRUE;
    auto dlg = std::make_unique<CShapeSettingsDlg>(page.Get());
    QWidget* window = open(*dlg);
    whenModal([](QWidget* url) {
        find<QLineEdit>(url, UrlDialog::IDC_ADDRESS)->setText("http://127.0.0.1:1/late.bmp");
        QTest::keyClick(url, Qt::Key_Return);
    });
    click(find(window, MediaSlot::IDC_INTERNET));
    ASSERT_EQ(buttons[0]->m_hWndPictureLoadNotify, window);
    dlg.reset();
    EXPECT_EQ(buttons[0]->m_hWndPictureLoadNotify, nullptr);

    // The downloads end afterwards, with no window to tell: each control
    // falls back on its built-in mask.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return buttons[0]->m_dibPictureCustom.IsValid() && buttons[1]->m_dibPictureCustom.IsValid() &&
                   buttons[2]->m_dibPictureCustom.IsValid();
        },
        20000));
    deliverPosted();
    EXPECT_EQ(takeMessages().size(), 3u);
}

TEST(MediaSlotBitmaps, SixteenColourImagesWithLightGreyAround)
{
    MediaSlotBitmaps::Register();
    struct Size {
        UINT id;
        int width;
        int height;
    };
    for (const Size& s : {Size{234, 16, 16}, Size{235, 16, 16}, Size{236, 24, 22}}) {
        CDIB dib;
        ASSERT_TRUE(dib.LoadResource(s.id)) << s.id;
        EXPECT_EQ(dib.GetWidth(), s.width);
        EXPECT_EQ(dib.GetHeight(), s.height);
        EXPECT_EQ(dib.GetBitCount(), 4);
        EXPECT_EQ(dib.GetPixel(0, 0), RGB(192, 192, 192));
        int drawn = 0;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x)
                drawn += dib.GetPixel(x, y) != RGB(192, 192, 192);
        EXPECT_GT(drawn, s.width * s.height / 8) << s.id;
    }
    EXPECT_TRUE(MediaSlotBitmaps::Packed(237).empty());
}

} // namespace
