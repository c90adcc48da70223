// Media of the path properties from files the tests make: extensions in any
// case, the services each property takes, the messages of refused and
// failed loads, the framed shape mask, placeholders at design time, what a
// state shows, and the one animation timer that runs.

#include "buttonlib/control/LumvexMediaTestFiles.h"
#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/win/CursorTestSupport.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Window.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

using lumvextest::ActiveButton;

class MediaLoadTest : public ::testing::Test {
protected:
    explicit MediaLoadTest(bool userMode = true) : b(userMode) { win::SetMessageBoxPort(boxes); }
    ~MediaLoadTest() override { win::SetMessageBoxPort(nullptr); }

    std::vector<std::string> shown() const
    {
        std::vector<std::string> texts;
        for (const auto& r : boxes->shown)
            texts.push_back(r.text);
        return texts;
    }

    ActiveButton b;
    std::shared_ptr<win::RecordingMessageBox> boxes = std::make_shared<win::RecordingMessageBox>();
    lumvextest::MediaTestFiles files;
};

class DesignTimeMediaTest : public MediaLoadTest {
protected:
    DesignTimeMediaTest() : MediaLoadTest(false) {}
};

TEST_F(MediaLoadTest, PicturesLoadByTheirExtensionInAnyCase)
{
    CLumvexCtrl& c = *b.button;
    c.SetPicture(files.path("PICTURE.BMP"));
    EXPECT_EQ(c.m_Picture, files.path("PICTURE.BMP"));
    ASSERT_TRUE(c.m_dibPicture.IsValid());
    EXPECT_EQ(c.m_dibPicture.GetWidth(), 12);
    EXPECT_EQ(c.GetNormalMedia().picture, &c.m_dibPicture);

    c.SetPicturePressed("file:" + files.path("pic.png"));
    EXPECT_TRUE(c.m_dibPicturePressed.IsValid());
    EXPECT_EQ(c.GetPressedMedia().picture, &c.m_dibPicturePressed);

    c.SetPictureDisabled(files.path("pic.png"));
    EXPECT_EQ(c.GetDisabledPicture(), &c.m_dibPictureDisabled);
    EXPECT_TRUE(shown().empty());

    // A missing file is told and clears the path and the picture.
    c.SetPicture(files.path("gone.bmp"));
    EXPECT_EQ(c.m_Picture, "");
    EXPECT_FALSE(c.m_dibPicture.IsValid());
    EXPECT_EQ(c.GetNormalMedia().picture, nullptr);
    EXPECT_EQ(c.GetNormalMedia().animation, nullptr);
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], "Error opening file " + files.path("gone.bmp"));

    // An AVI loads as far as the video service decodes it.
    ASSERT_TRUE(files.aviMade);
    c.SetPictureMouseOver(files.path("clip.avi"));
    EXPECT_EQ(c.m_aviPictureMouseOver.GetFrameCount(), 3);
    EXPECT_EQ(c.GetMouseOverMedia().animation, &c.m_aviPictureMouseOver);
    const size_t told = shown().size();
    c.SetPictureMouseOver(files.path("junk.avi"));
    EXPECT_EQ(c.m_PictureMouseOver, "");
    EXPECT_EQ(c.m_aviPictureMouseOver.GetFrameCount(), 0);
    EXPECT_EQ(shown().back(), "Error opening file " + files.path("junk.avi"));
    boxes->shown.resize(told);

    // An unknown extension is refused before any file is read.
    c.SetPictureMouseOver(files.path("picture.tif"));
    EXPECT_EQ(c.m_PictureMouseOver, "");
    EXPECT_EQ(shown().back(), "The file " + files.path("picture.tif") + " has an invalid extension.");

    // Relative names and the markers name no file: refused without a word.
    const size_t before = shown().size();
    c.SetPicture("Bmp");
    c.SetPicture("relative.bmp");
    EXPECT_EQ(c.m_Picture, "");
    EXPECT_EQ(shown().size(), before);
}

TEST_F(MediaLoadTest, TextureAndDisabledPictureTakeNoAnimation)
{
    CLumvexCtrl& c = *b.button;
    c.SetTexture(files.path("PICTURE.BMP"));
    EXPECT_TRUE(c.m_dibTexture.IsValid());

    c.SetTexture(files.path("clip.avi"));
    EXPECT_EQ(c.m_Texture, "");
    EXPECT_FALSE(c.m_dibTexture.IsValid());
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], "Invalid extension for texture file (only BMP, JPG and PNG allowed).");

    c.SetPictureDisabled(files.path("two.gif"));
    EXPECT_EQ(c.m_PictureDisabled, "");
    EXPECT_EQ(c.m_aviPicture.GetFrameCount(), 0);
    EXPECT_EQ(shown().back(), "The file " + files.path("two.gif") + " has an invalid extension.");
}

TEST_F(MediaLoadTest, FtpServesOnlyTheShapeMask)
{
    CLumvexCtrl& c = *b.button;
    c.SetPicture("ftp://127.0.0.1:1/pic.bmp");
    EXPECT_EQ(c.m_Picture, "");
    c.SetSoundDown("ftp://127.0.0.1:1/tone.wav");
    EXPECT_EQ(c.m_SoundDown, "");
    // https is no service the button takes either.
    c.SetPicture("https://127.0.0.1:1/pic.bmp");
    EXPECT_EQ(c.m_Picture, "");
    EXPECT_TRUE(shown().empty());

    // The mask's download starts (nothing listens there; it fails later).
    EXPECT_TRUE(c.LoadCustomMask("ftp://127.0.0.1:1/mask.bmp"));
    c.CloseDownloads();
}

TEST_F(MediaLoadTest, TheShapeMaskIsOneBitWithAFrameOfIndexZero)
{
    CLumvexCtrl& c = *b.button;
    c.SetShape(5);
    c.SetPictureCustom(files.path("mask.bmp"));
    EXPECT_EQ(c.m_PictureCustom, files.path("mask.bmp"));
    const CDIB& mask = c.m_dibPictureCustom;
    ASSERT_EQ(mask.GetWidth(), 42);
    ASSERT_EQ(mask.GetHeight(), 22);
    ASSERT_EQ(mask.GetBitCount(), 1);
    auto bit = [&](int x, int yFromTop) {
        const BYTE* row = mask.GetBits() + mask.GetRowBytes() * DWORD(21 - yFromTop);
        return (row[x / 8] >> (7 - x % 8)) & 1;
    };
    for (int x = 0; x < 42; ++x) {
        EXPECT_EQ(bit(x, 0), 0) << x;
        EXPECT_EQ(bit(x, 21), 0) << x;
    }
    for (int y = 0; y < 22; ++y) {
        EXPECT_EQ(bit(0, y), 0) << y;
        EXPECT_EQ(bit(41, y), 0) << y;
    }
    // Inside the frame the picture stands one pixel further on: its white
    // and its black square.
    const int white = bit(1, 1);
    EXPECT_EQ(bit(40, 20), white);
    EXPECT_NE(bit(6 + 1, 6 + 1), white);
    EXPECT_TRUE(shown().empty());

    // A colour picture is no mask; the built-in one takes its place.
    c.SetPictureCustom(files.path("pic.png"));
    EXPECT_EQ(c.m_PictureCustom, "");
    EXPECT_EQ(shown().back(),
              "The file " + files.path("pic.png") + " is not a monochrome black and white file (1 bit per pixel).");
    EXPECT_EQ(c.m_dibPictureCustom.GetWidth(), 47);
    EXPECT_EQ(c.m_dibPictureCustom.GetBitCount(), 1);

    c.SetPictureCustom(files.path("mask.jpg"));
    EXPECT_EQ(c.m_PictureCustom, "");
    EXPECT_NE(shown().back().find("is not a monochrome"), std::string::npos);
}

TEST_F(MediaLoadTest, SoundsTakeWaveFilesOnly)
{
    CLumvexCtrl& c = *b.button;
    c.SetSoundUp(files.path("tone.wav"));
    EXPECT_TRUE(c.m_sndUp.HasData());
    EXPECT_EQ(c.m_SoundUp, files.path("tone.wav"));

    c.SetSoundUp(files.path("tone.mp3"));
    EXPECT_EQ(c.m_SoundUp, "");
    EXPECT_FALSE(c.m_sndUp.HasData());
    EXPECT_EQ(shown().back(), "The file " + files.path("tone.mp3") + " has an invalid extension.");

    c.SetSoundMouseOut(files.path("none.wav"));
    EXPECT_EQ(c.m_SoundMouseOut, "");
    EXPECT_EQ(shown().back(), "Error opening file " + files.path("none.wav"));
}

TEST_F(MediaLoadTest, AnAnimationStartsItsTimerAndStopsTheOthers)
{
    ASSERT_TRUE(files.gifMade);
    CLumvexCtrl& c = *b.button;
    const win::HWND w = c.GetSafeHwnd();
    ASSERT_NE(w, nullptr);
    // The pressed and mouse-over timers as another state left them.
    c.SetTimer(11, 1000);
    c.SetTimer(12, 1000);
    c.SetPicture(files.path("two.gif"));
    EXPECT_EQ(c.m_aviPicture.GetFrameCount(), 2);
    EXPECT_FALSE(c.m_dibPicture.IsValid());
    EXPECT_EQ(c.GetNormalMedia().animation, &c.m_aviPicture);
    EXPECT_EQ(c.m_nFrameNormal, 0);
    EXPECT_EQ(win::TimerCount(w), 1u);
    EXPECT_TRUE(c.KillTimer(10));

    // The mouse-over animation loads without starting.
    c.SetPictureMouseOver(files.path("two.gif"));
    EXPECT_EQ(c.GetMouseOverMedia().animation, &c.m_aviPictureMouseOver);
    EXPECT_EQ(win::TimerCount(w), 0u);
}

TEST_F(MediaLoadTest, TheCursorComesFromItsFileOrIsCleared)
{
    CLumvexCtrl& c = *b.button;
    QImage arrow(16, 16, QImage::Format_ARGB32);
    arrow.fill(Qt::black);
    const auto cur = win::testing::MakeCur({win::testing::CurEntry(win::testing::MakePng(arrow), 16, 16)});
    tv::testing::WriteRaw(files.root.Path() / "arrow.cur", std::string(cur.begin(), cur.end()));

    c.SetCursor(files.path("arrow.cur"));
    EXPECT_EQ(c.m_Cursor, files.path("arrow.cur"));
    ASSERT_NE(c.m_hCursor, nullptr);
    EXPECT_EQ(c.m_hCursor, c.m_curCursor.GetHandle());

    c.SetCursor(files.path("none.cur"));
    EXPECT_EQ(c.m_Cursor, "");
    EXPECT_EQ(c.m_hCursor, nullptr);
    EXPECT_FALSE(c.m_curCursor.HasData());
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0], "Error opening file " + files.path("none.cur"));

    // Window creation makes the handle of a cursor that came stored.
    c.SetCursor(files.path("arrow.cur"));
    win::DestroyCursor(c.m_hCursor);
    c.m_hCursor = nullptr;
    c.m_bReloadOnCreate = TRUE;
    c.ReloadNetworkMedia();
    EXPECT_NE(c.m_hCursor, nullptr);
}

TEST_F(DesignTimeMediaTest, AddressesShowPlaceholdersUnlessLoadingIsAllowed)
{
    CLumvexCtrl& c = *b.button;
    c.SetPicture("http://127.0.0.1:1/pic.png");
    EXPECT_EQ(c.m_Picture, "http://127.0.0.1:1/pic.png");
    EXPECT_EQ(c.m_dibPicture.GetWidth(), 32);
    EXPECT_EQ(c.m_dibPicture.GetHeight(), 33);

    c.SetPictureCustom("http://127.0.0.1:1/mask.bmp");
    EXPECT_EQ(c.m_dibPictureCustom.GetWidth(), 47);
    EXPECT_EQ(c.m_dibPictureCustom.GetBitCount(), 1);

    c.SetSoundDown("http://127.0.0.1:1/tone.wav");
    EXPECT_EQ(c.m_SoundDown, "http://127.0.0.1:1/tone.wav");
    EXPECT_FALSE(c.m_sndDown.HasData());
    EXPECT_TRUE(shown().empty());
    for (const CNetDownloadFile& d : c.m_download)
        EXPECT_FALSE(d.IsActive());

    // A designer who allows it starts the download.
    c.SetEnableInternetLoadAtDT(TRUE);
    c.SetPictureMouseOver("http://127.0.0.1:1/pic.png");
    EXPECT_TRUE(c.m_download[2].IsActive());
    c.CloseDownloads();
}

TEST_F(MediaLoadTest, WindowCreationLoadsOnlyAddressesAgain)
{
    CLumvexCtrl& c = *b.button;
    // Stored paths whose files are not here: the media came with the
    // stored properties and nothing is read or told.
    c.m_Picture = files.path("elsewhere.bmp");
    c.m_PicturePressed = "Bmp";
    c.m_SoundUp = files.path("elsewhere.wav");
    c.m_Texture = "http://127.0.0.1:1/texture.jpg";
    c.m_SoundMouseOver = "http://127.0.0.1:1/tone.wav";
    c.m_dibPictureCustom.Empty();
    c.m_bReloadOnCreate = TRUE;
    c.ReloadNetworkMedia();
    EXPECT_TRUE(shown().empty());
    EXPECT_FALSE(c.m_bReloadOnCreate);
    EXPECT_EQ(c.m_dibPictureCustom.GetWidth(), 47);
    EXPECT_FALSE(c.m_download[0].IsActive());
    EXPECT_FALSE(c.m_download[1].IsActive());
    EXPECT_FALSE(c.m_download[7].IsActive());
    EXPECT_TRUE(c.m_download[4].IsActive());
    EXPECT_TRUE(c.m_download[8].IsActive());
    c.CloseDownloads();

    // Once done, a second creation reloads nothing.
    c.ReloadNetworkMedia();
    EXPECT_FALSE(c.m_download[4].IsActive());
}

TEST_F(MediaLoadTest, TheWindowReloadsAddressedMediaWhenCreatedAndClosesDownloadsWhenDestroyed)
{
    com::TestContainer box;
    CLumvexCtrl* c = nullptr;
    auto control = lumvextest::NewButton(&c);
    com::ControlSite* site = box.Add(control.Get());
    site->InitNew();
    site->SetRect(RECT{0, 0, 80, 30});
    c->m_Picture = files.path("elsewhere.bmp");
    c->m_SoundDown = "http://127.0.0.1:1/slow.wav";
    c->m_dibPictureCustom.Empty();
    box.Host().show();
    ASSERT_EQ(site->Activate(), S_OK);
    ASSERT_NE(c->GetSafeHwnd(), nullptr);
    EXPECT_TRUE(c->m_download[6].IsActive());
    EXPECT_FALSE(c->m_download[0].IsActive());
    EXPECT_EQ(c->m_dibPictureCustom.GetWidth(), 47);
    EXPECT_TRUE(shown().empty());

    site->Deactivate();
    EXPECT_FALSE(c->m_download[6].IsActive());
    site->Close();
}

} // namespace
