// Media from the net, served by real local servers over files the tests
// make: what each kind of download builds and which event tells it, packed
// buffers, refused indices and extensions, the design-time message and the
// editor's notice, FTP logins, and downloads that end after their slot was
// reused or their control went away.

#include "buttonlib/control/LumvexMediaTestFiles.h"
#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/net/DownloadService.h"
#include "platform/testing/Quiescence.h"
#include "platform/testing/ServerProcess.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Window.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

namespace {

using lumvextest::ActiveButton;
using tv::testing::ReadRaw;

constexpr const char* kUser = "media";
constexpr const char* kPassword = "p@ss:word";

// A window standing in for an editor dialog: it keeps the load notices.
class EditorWindow : public win::WindowHandler {
public:
    EditorWindow()
    {
        win::CREATESTRUCT cs;
        cs.lpszClass = "Static";
        cs.cx = 10;
        cs.cy = 10;
        hwnd = win::CreateWindowEx(cs, this);
    }
    ~EditorWindow() override { win::DestroyWindow(hwnd); }
    win::LRESULT HandleMessage(win::HWND h, UINT message, win::WPARAM wParam, win::LPARAM lParam) override
    {
        if (message == CLumvexCtrl::UM_LOAD_DONE)
            notices.push_back(CLumvexCtrl::UnpackLoadDone(wParam));
        return win::DefWindowProc(h, message, wParam, lParam);
    }
    win::HWND hwnd = nullptr;
    std::vector<CLumvexCtrl::LoadDone> notices;
};

struct Done {
    DISPID event;
    short index;
    bool success;
    bool operator==(const Done&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Done& d)
{
    return os << "(" << d.event << ", " << d.index << ", " << d.success << ")";
}

class DownloadTest : public ::testing::Test {
protected:
    explicit DownloadTest(bool userMode = true) : b(userMode) { win::SetMessageBoxPort(boxes); }
    ~DownloadTest() override { win::SetMessageBoxPort(nullptr); }

    std::string url(const std::string& name) const
    {
        return "http://127.0.0.1:" + std::to_string(server.Port()) + "/" + name;
    }
    // The download events the button fired so far.
    std::vector<Done> done() const
    {
        std::vector<Done> out;
        for (const auto& e : b.box.LogOf(b.site).events)
            if (e.id == DISPID_EVT_PICTUREDLLDONE || e.id == DISPID_EVT_ANIMDLLDONE || e.id == DISPID_EVT_SOUNDDLLDONE)
                out.push_back({e.id, e.args.at(0).iVal, e.args.at(1).boolVal != 0});
        return out;
    }
    // Waits until no download of the process runs any more and what they
    // posted (their notices, the button's messages) is delivered: an event
    // that has not come by then never comes.
    static void quiet()
    {
        ASSERT_TRUE(tv::testing::WaitUntilIdle([] { return net::DownloadService::Instance().Running() == 0; }));
    }
    // Waits (at most 20 s) for the n-th download event and returns it.
    Done waitFor(size_t n)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return done().size() >= n; }, 20000)) << "no download event " << n;
        const auto events = done();
        return events.size() >= n ? events[n - 1] : Done{0, -1, false};
    }

    lumvextest::MediaTestFiles files;
    tv::testing::ServerProcess server{TV_NET_TESTDATA "/http_server.py", {files.root.Path().string()}};
    mutable ActiveButton b;
    std::shared_ptr<win::RecordingMessageBox> boxes = std::make_shared<win::RecordingMessageBox>();
};

class DesignTimeDownloadTest : public DownloadTest {
protected:
    DesignTimeDownloadTest() : DownloadTest(false) {}
};

TEST_F(DownloadTest, EachKindBuildsItsMediaAndTakesTheAddress)
{
    ASSERT_NE(server.Port(), 0);
    CLumvexCtrl& c = *b.button;
    EditorWindow editor;
    c.SetPictureLoadNotifyWnd(editor.hwnd);

    ASSERT_TRUE(c.SetPictureFromNet(0, url("pic.bmp"), "", ""));
    EXPECT_EQ(waitFor(1), (Done{DISPID_EVT_PICTUREDLLDONE, 0, true}));
    EXPECT_EQ(c.m_Picture, url("pic.bmp"));
    EXPECT_EQ(c.m_dibPicture.GetWidth(), 12);
    EXPECT_FALSE(c.m_download[0].IsActive());

    ASSERT_TRUE(c.SetPictureFromNet(4, url("png.qxz"), "", ""));
    EXPECT_EQ(waitFor(2), (Done{DISPID_EVT_PICTUREDLLDONE, 4, true}));
    EXPECT_EQ(c.m_Texture, url("png.qxz"));
    EXPECT_EQ(c.m_dibTexture.GetHeight(), 9);

    ASSERT_TRUE(c.SetPictureFromNet(3, url("bmp.qxz"), "", ""));
    EXPECT_EQ(waitFor(3), (Done{DISPID_EVT_PICTUREDLLDONE, 3, true}));
    EXPECT_EQ(c.m_PictureCustom, url("bmp.qxz"));
    EXPECT_EQ(c.m_dibPictureCustom.GetBitCount(), 1);
    EXPECT_EQ(c.m_dibPictureCustom.GetWidth(), 12);

    ASSERT_TRUE(c.SetSoundFromNet(1, url("wav.qxz"), "", ""));
    EXPECT_EQ(waitFor(4), (Done{DISPID_EVT_SOUNDDLLDONE, 1, true}));
    EXPECT_EQ(c.m_SoundUp, url("wav.qxz"));
    const std::string wav = ReadRaw(files.root.Path() / "tone.wav");
    ASSERT_EQ(c.m_sndUp.GetByteCount(), wav.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(c.m_sndUp.GetData()), wav.size()), wav);

    // A failure at run time leaves path and picture, shows nothing and
    // tells no editor.
    ASSERT_TRUE(c.SetPictureFromNet(0, url("missing.png"), "", ""));
    EXPECT_EQ(waitFor(5), (Done{DISPID_EVT_PICTUREDLLDONE, 0, false}));
    EXPECT_EQ(c.m_Picture, url("pic.bmp"));
    EXPECT_TRUE(c.m_dibPicture.IsValid());
    quiet();
    EXPECT_TRUE(boxes->shown.empty());
    EXPECT_TRUE(editor.notices.empty());
}

TEST_F(DownloadTest, AnimationsLandInTheirStates)
{
    ASSERT_TRUE(files.gifMade);
    CLumvexCtrl& c = *b.button;
    // A GIF for picture 0 becomes the normal animation; the picture event tells it.
    ASSERT_TRUE(c.SetPictureFromNet(0, url("two.gif"), "", ""));
    EXPECT_EQ(waitFor(1), (Done{DISPID_EVT_PICTUREDLLDONE, 0, true}));
    EXPECT_EQ(c.m_aviPicture.GetFrameCount(), 2);
    EXPECT_FALSE(c.m_dibPicture.IsValid());
    EXPECT_EQ(c.m_Picture, url("two.gif"));

    // The pressed state keeps the first frame only.
    ASSERT_TRUE(c.SetAnimFromNet(1, url("gif.qxz"), "", ""));
    EXPECT_EQ(waitFor(2), (Done{DISPID_EVT_ANIMDLLDONE, 1, true}));
    EXPECT_EQ(c.m_aviPicturePressed.GetFrameCount(), 0);
    ASSERT_TRUE(c.m_dibPicturePressed.IsValid());
    EXPECT_EQ(c.m_dibPicturePressed.GetWidth(), 8);
    EXPECT_EQ(c.m_PicturePressed, url("gif.qxz"));

    // AVI files load as far as their video can be decoded; one that cannot
    // fails like any other load.
    ASSERT_TRUE(files.aviMade);
    ASSERT_TRUE(c.SetAnimFromNet(2, url("clip.avi"), "", ""));
    EXPECT_EQ(waitFor(3), (Done{DISPID_EVT_ANIMDLLDONE, 2, true}));
    EXPECT_EQ(c.m_aviPictureMouseOver.GetFrameCount(), 3);
    EXPECT_EQ(c.m_PictureMouseOver, url("clip.avi"));
    ASSERT_TRUE(c.SetAnimFromNet(2, url("junk.avi"), "", ""));
    EXPECT_EQ(waitFor(4), (Done{DISPID_EVT_ANIMDLLDONE, 2, false}));
    EXPECT_EQ(c.m_PictureMouseOver, url("clip.avi"));
    EXPECT_EQ(c.m_aviPictureMouseOver.GetFrameCount(), 3);

    // A picture is no animation; nor is a GIF for the texture.
    ASSERT_TRUE(c.SetAnimFromNet(2, url("plain.qxz"), "", ""));
    EXPECT_EQ(waitFor(5), (Done{DISPID_EVT_ANIMDLLDONE, 2, false}));
    ASSERT_TRUE(c.SetPictureFromNet(4, url("two.gif"), "", ""));
    EXPECT_EQ(waitFor(6), (Done{DISPID_EVT_PICTUREDLLDONE, 4, false}));
    EXPECT_EQ(c.m_Texture, "");
}

TEST_F(DownloadTest, BadPackedBuffersAndFailedMasksFail)
{
    CLumvexCtrl& c = *b.button;
    ASSERT_TRUE(c.SetPictureFromNet(1, url("plain.qxz"), "", ""));
    EXPECT_EQ(waitFor(1), (Done{DISPID_EVT_PICTUREDLLDONE, 1, false}));
    EXPECT_FALSE(c.m_dibPicturePressed.IsValid());
    EXPECT_EQ(c.m_PicturePressed, "");

    // A packed sound is no picture.
    ASSERT_TRUE(c.SetPictureFromNet(2, url("wav.qxz"), "", ""));
    EXPECT_EQ(waitFor(2), (Done{DISPID_EVT_PICTUREDLLDONE, 2, false}));

    // A mask that does not arrive leaves the button its built-in shape.
    c.SetShape(5);
    c.m_PictureCustom = url("missing.bmp");
    c.OnPictureCustomChanged();
    EXPECT_FALSE(c.m_dibPictureCustom.IsValid());
    EXPECT_EQ(waitFor(3), (Done{DISPID_EVT_PICTUREDLLDONE, 3, false}));
    EXPECT_EQ(c.m_dibPictureCustom.GetWidth(), 47);
    EXPECT_EQ(c.m_dibPictureCustom.GetBitCount(), 1);
}

TEST_F(DownloadTest, IndicesAndExtensionsAreCheckedFirst)
{
    CLumvexCtrl& c = *b.button;
    ASSERT_TRUE(c.SetSoundFromNet(3, url("slow/2/tone.wav"), "", ""));
    // No slot of the kind: nothing starts, nothing fires, no other slot is touched.
    EXPECT_FALSE(c.SetPictureFromNet(7, url("pic.bmp"), "", ""));
    EXPECT_FALSE(c.SetPictureFromNet(-1, url("pic.bmp"), "", ""));
    EXPECT_FALSE(c.SetAnimFromNet(3, url("two.gif"), "", ""));
    EXPECT_FALSE(c.SetSoundFromNet(4, url("tone.wav"), "", ""));
    EXPECT_TRUE(done().empty());
    EXPECT_TRUE(c.m_download[9].IsActive());

    // An extension of no medium of the kind fails at once.
    EXPECT_FALSE(c.SetPictureFromNet(0, url("pic.tif"), "", ""));
    EXPECT_EQ(done(), (std::vector<Done>{{DISPID_EVT_PICTUREDLLDONE, 0, false}}));
    EXPECT_FALSE(c.SetAnimFromNet(0, url("pic.bmp"), "", ""));
    EXPECT_FALSE(c.SetSoundFromNet(0, url("pic.gif"), "", ""));
    EXPECT_EQ(done().size(), 3u);
    EXPECT_EQ(done()[1], (Done{DISPID_EVT_ANIMDLLDONE, 0, false}));
    EXPECT_EQ(done()[2], (Done{DISPID_EVT_SOUNDDLLDONE, 0, false}));

    // The slow sound still arrives, once.
    EXPECT_EQ(waitFor(4), (Done{DISPID_EVT_SOUNDDLLDONE, 3, true}));
    quiet();
    EXPECT_EQ(done().size(), 4u);
}

TEST_F(DownloadTest, OnlyHttpAndFtpAddressesAreFetched)
{
    // HTTPS and local files are no services of the downloads: each request
    // ends at once as failed, and nothing changes.
    CLumvexCtrl& c = *b.button;
    const std::string https = "https://127.0.0.1:" + std::to_string(server.Port());
    const std::string file = "file://" + (files.root.Path() / "pic.bmp").string();
    EXPECT_FALSE(c.SetPictureFromNet(0, https + "/pic.bmp", "", ""));
    EXPECT_FALSE(c.SetPictureFromNet(1, file, "", ""));
    EXPECT_FALSE(c.SetAnimFromNet(2, https + "/two.gif", "", ""));
    EXPECT_FALSE(c.SetSoundFromNet(0, https + "/tone.wav", "", ""));
    EXPECT_EQ(done(), (std::vector<Done>{{DISPID_EVT_PICTUREDLLDONE, 0, false},
                                         {DISPID_EVT_PICTUREDLLDONE, 1, false},
                                         {DISPID_EVT_ANIMDLLDONE, 2, false},
                                         {DISPID_EVT_SOUNDDLLDONE, 0, false}}));
    quiet();
    EXPECT_EQ(done().size(), 4u);
    EXPECT_TRUE(c.m_Picture.empty());
    EXPECT_TRUE(c.m_PicturePressed.empty());
    EXPECT_FALSE(c.m_dibPicturePressed.IsValid());
    EXPECT_FALSE(c.m_download[0].IsActive());

    // An HTTP address the server sends to HTTPS fails as the HTTPS address
    // does; nothing reaches the other service.
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::LocalHost));
    int reached = 0;
    QObject::connect(&other, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* s = other.nextPendingConnection()) {
            ++reached;
            s->abort();
            s->deleteLater();
        }
    });
    const std::string redirected = url("to/https/" + std::to_string(other.serverPort()) + "/pic.bmp");
    ASSERT_TRUE(c.SetPictureFromNet(2, redirected, "", ""));
    EXPECT_EQ(waitFor(5), (Done{DISPID_EVT_PICTUREDLLDONE, 2, false}));
    EXPECT_TRUE(c.m_PictureMouseOver.empty());
    EXPECT_FALSE(c.m_dibPictureMouseOver.IsValid());
    quiet();
    EXPECT_EQ(reached, 0);
}

TEST_F(DownloadTest, AReusedSlotDropsTheEarlierDownload)
{
    CLumvexCtrl& c = *b.button;
    ASSERT_TRUE(c.SetPictureFromNet(0, url("slow/2/pic.png"), "", ""));
    ASSERT_TRUE(c.SetPictureFromNet(0, url("pic.bmp"), "", ""));
    EXPECT_EQ(waitFor(1), (Done{DISPID_EVT_PICTUREDLLDONE, 0, true}));
    EXPECT_EQ(c.m_Picture, url("pic.bmp"));
    // Once the dropped download has ended too, it still has not reported.
    quiet();
    EXPECT_EQ(done().size(), 1u);
    EXPECT_EQ(c.m_Picture, url("pic.bmp"));
}

TEST_F(DownloadTest, AControlThatGoesAwayHearsNothingMore)
{
    {
        ActiveButton other;
        ASSERT_TRUE(other.button->SetPictureFromNet(0, url("slow/2/pic.bmp"), "", ""));
        ASSERT_TRUE(other.button->SetSoundFromNet(0, url("slow/2/tone.wav"), "", ""));
        other.site->Close();
    }
    // Nothing of the gone control may run when the replies come (ASan
    // watches); the service is left with nothing to deliver.
    quiet();
    EXPECT_EQ(net::DownloadService::Instance().Pending(), 0u);
    EXPECT_TRUE(done().empty());
}

TEST_F(DesignTimeDownloadTest, FailuresAreShownAndTheEditorIsTold)
{
    CLumvexCtrl& c = *b.button;
    EditorWindow pictures, sounds;
    c.SetPictureLoadNotifyWnd(pictures.hwnd);
    c.SetSoundLoadNotifyWnd(sounds.hwnd);

    ASSERT_TRUE(c.SetPictureFromNet(5, url("missing.bmp"), "", ""));
    EXPECT_EQ(waitFor(1), (Done{DISPID_EVT_PICTUREDLLDONE, 5, false}));
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_EQ(boxes->shown[0].text, "Error opening file " + url("missing.bmp"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pictures.notices.empty(); }, 5000));
    EXPECT_EQ(pictures.notices[0].kind, 0);
    EXPECT_EQ(pictures.notices[0].index, 5);
    EXPECT_FALSE(pictures.notices[0].success);
    // The registration is used once.
    EXPECT_EQ(c.m_hWndPictureLoadNotify, nullptr);

    ASSERT_TRUE(c.SetSoundFromNet(2, url("tone.wav"), "", ""));
    EXPECT_EQ(waitFor(2), (Done{DISPID_EVT_SOUNDDLLDONE, 2, true}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sounds.notices.empty(); }, 5000));
    EXPECT_EQ(sounds.notices[0].kind, 2);
    EXPECT_TRUE(sounds.notices[0].success);
    quiet();
    EXPECT_EQ(boxes->shown.size(), 1u);
    EXPECT_EQ(pictures.notices.size(), 1u);
}

class FtpDownloadTest : public DownloadTest {
protected:
    std::string ftp(const std::string& name) const
    {
        return "ftp://127.0.0.1:" + std::to_string(ftpServer.Port()) + "/" + name;
    }
    tv::testing::ServerProcess ftpServer{TV_NET_TESTDATA "/ftp_server.py",
                                         {"--anonymous", files.root.Path().string(), kUser, kPassword}};
};

TEST_F(FtpDownloadTest, LoginsTravelApartFromTheAddress)
{
    ASSERT_NE(ftpServer.Port(), 0);
    CLumvexCtrl& c = *b.button;
    ASSERT_TRUE(c.SetPictureFromNet(0, ftp("pic.bmp"), kUser, kPassword));
    EXPECT_EQ(waitFor(1), (Done{DISPID_EVT_PICTUREDLLDONE, 0, true}));
    EXPECT_EQ(c.m_Picture, ftp("pic.bmp"));

    ASSERT_TRUE(c.SetSoundFromNet(0, ftp("tone.wav"), kUser, "p@ss:wrong"));
    EXPECT_EQ(waitFor(2), (Done{DISPID_EVT_SOUNDDLLDONE, 0, false}));

    // No login given: anonymous.
    ASSERT_TRUE(c.SetPictureFromNet(2, ftp("pic.png"), "", ""));
    EXPECT_EQ(waitFor(3), (Done{DISPID_EVT_PICTUREDLLDONE, 2, true}));

    // The mask's path may name an ftp address.
    c.m_PictureCustom = ftp("pic.bmp");
    c.OnPictureCustomChanged();
    EXPECT_EQ(waitFor(4), (Done{DISPID_EVT_PICTUREDLLDONE, 3, true}));
    EXPECT_EQ(c.m_dibPictureCustom.GetWidth(), 12);
}

} // namespace
