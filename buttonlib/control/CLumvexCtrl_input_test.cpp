// The button window's input: clicks with the click-armed rule, keyboard
// clicks, check boxes and radio groups, the pointer entering and leaving,
// the timers, the mnemonic and the hyperlink.

#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/com/Loader.h"
#include "platform/com/Stream.h"
#include "platform/testing/Command.h"
#include "platform/testing/TempRoot.h"
#include "platform/win/Cursor.h"
#include "platform/win/Desktop.h"
#include "platform/win/VirtualKeys.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using lumvextest::ActiveButton;

void pump()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

int countOf(ActiveButton& b, DISPID id, com::ControlSite* site = nullptr)
{
    const auto& events = b.box.LogOf(site ? site : b.site).events;
    return int(std::count_if(events.begin(), events.end(), [id](const auto& e) { return e.id == id; }));
}

// A move with the left button held, as the window sees it while captured.
void dragTo(QWidget* w, QPoint p)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

struct UrlRecorder {
    UrlRecorder() { win::SetUrlOpener(opener); }
    ~UrlRecorder() { win::SetUrlOpener(nullptr); }
    std::shared_ptr<win::FakeUrlOpener> opener = std::make_shared<win::FakeUrlOpener>();
};

TEST(LumvexInput, AReleaseAwayFromTheShapeSwallowsOnlyItsOwnClick)
{
    ActiveButton b;
    QWidget* w = b.site->ControlWindow();
    ASSERT_TRUE(w);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(48, 24));
    pump();
    EXPECT_EQ(countOf(b, DISPID_CLICK), 1);
    EXPECT_EQ(countOf(b, DISPID_MOUSEDOWN), 1);
    EXPECT_EQ(countOf(b, DISPID_MOUSEUP), 1);

    // An oval button: the corner is in the window but off the button.
    DeleteObject(b.button->m_hWindowRgn);
    b.button->m_hWindowRgn = CreateEllipticRgn(0, 0, 96, 48);
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(48, 24));
    EXPECT_EQ(b.button->m_bPressedLook, TRUE);
    dragTo(w, QPoint(1, 1));
    EXPECT_EQ(b.button->m_bPointerInside, FALSE);
    EXPECT_EQ(countOf(b, DISPID_MOUSEMOVE), 0) << "no MouseMove while held";
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(1, 1));
    pump();
    EXPECT_EQ(countOf(b, DISPID_CLICK), 1) << "the release off the button is no click";
    EXPECT_EQ(countOf(b, DISPID_MOUSEUP), 2);

    // The keyboard still clicks, and so does the next press.
    QTest::keyClick(w, Qt::Key_Return);
    pump();
    EXPECT_EQ(countOf(b, DISPID_CLICK), 2);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(48, 24));
    pump();
    EXPECT_EQ(countOf(b, DISPID_CLICK), 3);

    // With MouseCapture the held button reports its moves.
    b.button->MouseCapture(TRUE);
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(48, 24));
    dragTo(w, QPoint(40, 20));
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(40, 20));
    EXPECT_EQ(countOf(b, DISPID_MOUSEMOVE), 1);
}

TEST(LumvexInput, ADoubleClickPressesAgainButClicksOnce)
{
    ActiveButton b;
    QWidget* w = b.site->ControlWindow();
    const win::LPARAM at = win::MAKELPARAM(30, 20);
    win::SendMessage(w, win::WM_LBUTTONDOWN, win::MK_LBUTTON, at);
    win::SendMessage(w, win::WM_LBUTTONUP, 0, at);
    win::SendMessage(w, win::WM_LBUTTONDBLCLK, win::MK_LBUTTON, at);
    EXPECT_EQ(b.button->m_bPressedLook, TRUE) << "the second press shows at once";
    win::SendMessage(w, win::WM_LBUTTONUP, 0, at);
    pump();
    EXPECT_EQ(countOf(b, DISPID_CLICK), 1);
    EXPECT_EQ(countOf(b, DISPID_DBLCLICK), 1);
    EXPECT_EQ(countOf(b, DISPID_MOUSEDOWN), 2);
    EXPECT_EQ(countOf(b, DISPID_MOUSEUP), 2);
}

TEST(LumvexInput, EnterClicksOnKeyDownAndSpaceOnKeyUpUnlessIgnored)
{
    ActiveButton b;
    QWidget* w = b.site->ControlWindow();
    QTest::keyPress(w, Qt::Key_Return);
    pump();
    EXPECT_EQ(countOf(b, DISPID_CLICK), 1);
    QTest::keyRelease(w, Qt::Key_Return);
    QTest::keyPress(w, Qt::Key_Space);
    pump();
    EXPECT_EQ(countOf(b, DISPID_CLICK), 1);
    QTest::keyRelease(w, Qt::Key_Space);
    pump();
    EXPECT_EQ(countOf(b, DISPID_CLICK), 2);

    b.button->m_IgnoreSpaceBar = TRUE;
    QTest::keyClick(w, Qt::Key_Space);
    pump();
    EXPECT_EQ(countOf(b, DISPID_CLICK), 2);
    QTest::keyClick(w, Qt::Key_Return);
    pump();
    EXPECT_EQ(countOf(b, DISPID_CLICK), 3);

    // At design time a button does not click.
    b.box.SetUserMode(false);
    QTest::keyClick(w, Qt::Key_Return);
    pump();
    EXPECT_EQ(countOf(b, DISPID_CLICK), 3);
}

TEST(LumvexInput, ACheckBoxTogglesAndStaysPressedWhileChecked)
{
    ActiveButton b;
    b.button->SetStyle(1);
    QWidget* w = b.site->ControlWindow();
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(48, 24));
    pump();
    EXPECT_EQ(b.button->m_bChecked, TRUE);
    EXPECT_EQ(b.button->m_bPressedLook, TRUE);
    EXPECT_EQ(b.button->GetValue(), 1);
    w->repaint();
    // The click gave it the focus.
    EXPECT_EQ(b.button->m_bFocus, TRUE);
    EXPECT_EQ(b.button->m_pFaceDrawn, &b.button->m_dibFacePressedFocus) << "pressed without the mouse";

    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(48, 24));
    pump();
    EXPECT_EQ(b.button->m_bChecked, FALSE);
    EXPECT_EQ(b.button->m_bPressedLook, FALSE);
    w->repaint();
    EXPECT_EQ(b.button->m_pFaceDrawn, &b.button->m_dibFaceNormal);
    EXPECT_EQ(countOf(b, DISPID_CLICK), 2);
}

// Three radio buttons and a push button side by side in one container.
struct RadioRow {
    RadioRow()
    {
        for (int i = 0; i < 4; ++i) {
            CLumvexCtrl* button = nullptr;
            controls[i] = lumvextest::NewButton(&button);
            buttons[i] = button;
            sites[i] = box.Add(controls[i].Get());
            sites[i]->InitNew();
            sites[i]->SetRect(RECT{10 + 60 * i, 10, 60 + 60 * i, 40});
            button->SetStyle(i < 3 ? 2 : 0);
        }
        box.Host().show();
        for (auto* site : sites)
            site->Activate();
    }
    std::vector<int> Checked() const
    {
        std::vector<int> out;
        for (auto* b : buttons)
            out.push_back(b->m_bChecked ? 1 : 0);
        return out;
    }

    com::TestContainer box;
    com::ComPtr<IUnknown> controls[4];
    CLumvexCtrl* buttons[4] = {};
    com::ControlSite* sites[4] = {};
};

TEST(LumvexInput, CheckingARadioButtonUnchecksTheOthersOfItsGroup)
{
    RadioRow row;
    QTest::mouseClick(row.sites[1]->ControlWindow(), Qt::LeftButton, {}, QPoint(25, 15));
    pump();
    EXPECT_EQ(row.Checked(), (std::vector<int>{0, 1, 0, 0}));
    QTest::mouseClick(row.sites[0]->ControlWindow(), Qt::LeftButton, {}, QPoint(25, 15));
    pump();
    EXPECT_EQ(row.Checked(), (std::vector<int>{1, 0, 0, 0}));
    EXPECT_EQ(row.buttons[1]->m_bPressedLook, FALSE);
    // A checked radio button clicked again stays checked.
    QTest::mouseClick(row.sites[0]->ControlWindow(), Qt::LeftButton, {}, QPoint(25, 15));
    pump();
    EXPECT_EQ(row.Checked(), (std::vector<int>{1, 0, 0, 0}));

    // Checked through Value while hidden: the walk never comes back to it
    // and still ends.
    win::ShowWindow(row.sites[2]->ControlWindow(), win::SW_HIDE);
    row.buttons[2]->SetValue(1);
    pump();
    EXPECT_EQ(row.Checked(), (std::vector<int>{0, 0, 1, 0}));
    // A hidden first radio button is passed over by the walk and keeps its
    // check, as a hidden item of a dialog group does.
    win::ShowWindow(row.sites[2]->ControlWindow(), win::SW_SHOW);
    win::ShowWindow(row.sites[0]->ControlWindow(), win::SW_HIDE);
    row.buttons[0]->m_bChecked = TRUE;
    QTest::mouseClick(row.sites[1]->ControlWindow(), Qt::LeftButton, {}, QPoint(25, 15));
    pump();
    EXPECT_EQ(row.Checked(), (std::vector<int>{1, 1, 0, 0}));
    // The push button ignores what it is told.
    win::SendMessage(row.sites[3]->ControlWindow(), CLumvexCtrl::UM_RADIO_UNCHECK, 0, 0);
    row.buttons[3]->m_bChecked = TRUE;
    win::SendMessage(row.sites[3]->ControlWindow(), CLumvexCtrl::UM_RADIO_UNCHECK, 0, 0);
    EXPECT_EQ(row.buttons[3]->m_bChecked, TRUE);
}

TEST(LumvexInput, ThePointerEntersOnceAndLeavesWhenTheTimerFindsItOutside)
{
    auto cursor = std::make_shared<win::FakeCursor>();
    win::SetCursorPort(cursor);
    {
        ActiveButton b;
        QWidget* w = b.site->ControlWindow();
        const QPoint inside = w->mapToGlobal(QPoint(48, 24));
        cursor->position = {inside.x(), inside.y()};
        b.button->m_bMouseOver = FALSE;
        const int before = countOf(b, DISPID_EVT_MOUSEIN);
        win::SendMessage(w, win::WM_SETCURSOR, win::WPARAM(w), win::MAKELPARAM(win::HTCLIENT, win::WM_MOUSEMOVE));
        win::SendMessage(w, win::WM_SETCURSOR, win::WPARAM(w), win::MAKELPARAM(win::HTCLIENT, win::WM_MOUSEMOVE));
        EXPECT_EQ(countOf(b, DISPID_EVT_MOUSEIN) - before, 1);
        EXPECT_EQ(b.button->m_bMouseOver, TRUE);
        EXPECT_EQ(win::TimerCount(w), 1u);

        win::SendMessage(w, win::WM_TIMER, CLumvexCtrl::TIMER_MOUSE_TRACK, 0);
        EXPECT_EQ(countOf(b, DISPID_EVT_MOUSEOUT), 0);
        const QPoint outside = w->mapToGlobal(QPoint(200, 24));
        cursor->position = {outside.x(), outside.y()};
        win::SendMessage(w, win::WM_TIMER, CLumvexCtrl::TIMER_MOUSE_TRACK, 0);
        EXPECT_EQ(countOf(b, DISPID_EVT_MOUSEOUT), 1);
        EXPECT_EQ(b.button->m_bMouseOver, FALSE);
        EXPECT_EQ(win::TimerCount(w), 0u);

        // At design time the pointer is not tracked.
        b.box.SetUserMode(false);
        win::SendMessage(w, win::WM_SETCURSOR, win::WPARAM(w), win::MAKELPARAM(win::HTCLIENT, win::WM_MOUSEMOVE));
        EXPECT_EQ(b.button->m_bMouseOver, FALSE);
    }
    win::SetCursorPort(nullptr);
}

// A GIF of the given colours, one frame each, 4 x 4 pixels.
bool makeGif(const fs::path& file, const std::vector<std::string>& colours)
{
    std::string command = "convert-im6.q16 -delay 5 -size 4x4";
    for (const auto& c : colours)
        command += " xc:" + c;
    return tv::testing::Run(command + " '" + file.string() + "'");
}

TEST(LumvexInput, AnimationsRepeatTheirFramesAndOnlyOneStateRuns)
{
    tv::testing::TempRoot root;
    const fs::path one = root.Path() / "one.gif";
    const fs::path three = root.Path() / "three.gif";
    ASSERT_TRUE(makeGif(one, {"red"}));
    ASSERT_TRUE(makeGif(three, {"red", "lime", "blue"}));

    ActiveButton b;
    QWidget* w = b.site->ControlWindow();
    ASSERT_TRUE(b.button->m_aviPicture.Load(three.c_str()));
    ASSERT_EQ(b.button->m_aviPicture.GetFrameCount(), 3);
    ASSERT_TRUE(b.button->m_aviPictureMouseOver.Load(one.c_str()));
    ASSERT_EQ(b.button->m_aviPictureMouseOver.GetFrameCount(), 1);

    b.button->StartNormalAnimation();
    EXPECT_EQ(win::TimerCount(w), 1u);
    std::vector<int> frames;
    for (int i = 0; i < 5; ++i) {
        win::SendMessage(w, win::WM_TIMER, CLumvexCtrl::TIMER_ANIM_NORMAL, 0);
        frames.push_back(b.button->m_nFrameNormal);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 0, 1, 2}));

    b.button->StartMouseOverAnimation();
    EXPECT_EQ(win::TimerCount(w), 1u) << "the normal animation stopped";
    for (int i = 0; i < 3; ++i) {
        win::SendMessage(w, win::WM_TIMER, CLumvexCtrl::TIMER_ANIM_MOUSEOVER, 0);
        EXPECT_EQ(b.button->m_nFrameMouseOver, 0);
    }
    // Without frames nothing starts; the running one goes on.
    b.button->StartPressedAnimation();
    EXPECT_EQ(win::TimerCount(w), 1u);

    // Every timer stops with the window.
    win::SendMessage(w, win::WM_SETCURSOR, win::WPARAM(w), win::MAKELPARAM(win::HTCLIENT, win::WM_MOUSEMOVE));
    EXPECT_GE(win::TimerCount(w), 1u);
    ASSERT_EQ(b.site->Deactivate(), S_OK);
    EXPECT_EQ(win::TimerCount(), 0u);
}

TEST(LumvexInput, DesignTimeRepaintsOnceAfterShowAndResize)
{
    ActiveButton b(false);
    QWidget* w = b.site->ControlWindow();
    ASSERT_TRUE(w);
    EXPECT_EQ(win::TimerCount(w), 1u) << "set when shown";
    b.site->SetRect(RECT{10, 20, 150, 80});
    EXPECT_EQ(b.button->m_rcButton.right, 140);
    EXPECT_EQ(win::TimerCount(w), 1u);
    b.trace.clear();
    win::SendMessage(w, win::WM_TIMER, CLumvexCtrl::TIMER_DEFERRED_PAINT, 0);
    EXPECT_EQ(b.trace.front(), CLumvexCtrl::Step::InvalidateNoErase);
    EXPECT_EQ(win::TimerCount(w), 0u);
    // Painting does not set it again.
    w->repaint();
    EXPECT_EQ(win::TimerCount(w), 0u);

    // At run time there is no deferred paint.
    ActiveButton run(true);
    EXPECT_EQ(win::TimerCount(run.site->ControlWindow()), 0u);
}

TEST(LumvexInput, TheCaptionsMnemonicClicksOnlyAfterEnableAcceleratorForVB)
{
    ActiveButton b;
    auto control = b.site->ControlAs<IOleControl>();
    ASSERT_TRUE(control);
    b.button->SetText("&Next Tip");
    CONTROLINFO info{sizeof(CONTROLINFO), nullptr, 0, 0};
    ASSERT_EQ(control->GetControlInfo(&info), S_OK);
    EXPECT_EQ(info.cAccel, 0);

    win::MSG alt;
    alt.hwnd = b.site->ControlWindow();
    alt.message = win::WM_SYSKEYDOWN;
    alt.wParam = 'N';
    alt.lParam = win::LPARAM(1) << 29;
    EXPECT_FALSE(b.site->RouteMnemonic(alt));
    EXPECT_EQ(countOf(b, DISPID_CLICK), 0);

    auto dispatch = b.site->ControlAs<IDispatch>();
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ASSERT_EQ(dispatch->Invoke(dispidEnableAcceleratorForVB, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none,
                               nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(b.button->m_bAccelerator, TRUE);
    b.button->SetText("&Next Tip");
    ASSERT_EQ(control->GetControlInfo(&info), S_OK);
    ASSERT_EQ(info.cAccel, 2);
    win::ACCEL keys[2]{};
    ASSERT_EQ(win::CopyAcceleratorTable(info.hAccel, keys, 2), 2);
    EXPECT_EQ(keys[0].key, 'N');
    EXPECT_EQ(keys[1].key, 'N' + 32);
    EXPECT_EQ(keys[0].fVirt, 0x11);
    EXPECT_EQ(keys[0].cmd, 1);

    EXPECT_TRUE(b.site->RouteMnemonic(alt));
    pump();
    EXPECT_EQ(countOf(b, DISPID_CLICK), 1);

    // A caption without "&" leaves the container without keys.
    b.button->SetText("Next");
    ASSERT_EQ(control->GetControlInfo(&info), S_OK);
    EXPECT_EQ(info.cAccel, 0);
}

TEST(LumvexInput, AHyperlinkOpensOnlyWhatMayBeOpened)
{
    tv::testing::TempRoot root;
    const fs::path document = root.Path() / "notes.txt";
    std::ofstream(document) << "notes";
    const fs::path program = root.Path() / "run.sh";
    std::ofstream(program) << "#!/bin/sh\n";
    fs::permissions(program, fs::perms::owner_exec, fs::perm_options::add);
    const fs::path launcher = root.Path() / "app.desktop";
    std::ofstream(launcher) << "[Desktop Entry]\n";

    const std::pair<std::string, std::string> cases[] = {
        {"a@b", "mailto:a@b"},
        {"http://x", "http://x"},
        {"HTTPS://x/y?z", "HTTPS://x/y?z"},
        {"ftp://files.example.com/a", "ftp://files.example.com/a"},
        {"mailto:a@b", "mailto:a@b"},
        {"www.example.com", "http://www.example.com"},
        {"user@host:8080", "http://user@host:8080"},
        {document.string(), win::FileUrl(document.string())},
        {"file://" + document.string(), "file://" + document.string()},
        {program.string(), ""},
        {"file://" + program.string(), ""},
        {launcher.string(), ""},
        {"/bin/sh", ""},
        {(root.Path() / "missing.txt").string(), ""},
        {root.Path().string(), ""},
        {"javascript:alert(1)", ""},
        {"smb://server/share", ""},
    };
    for (const auto& [text, target] : cases)
        EXPECT_EQ(CLumvexCtrl::HyperlinkTarget(text), target) << text;

    UrlRecorder urls;
    ActiveButton b;
    QWidget* w = b.site->ControlWindow();
    b.button->SetHyperlink("a@b");
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(48, 24));
    QTest::mouseClick(w, Qt::RightButton, {}, QPoint(48, 24));
    EXPECT_EQ(urls.opener->opened, std::vector<std::string>{"mailto:a@b"});
    b.button->SetHyperlink(program.string());
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(48, 24));
    EXPECT_EQ(urls.opener->opened.size(), 1u);
    EXPECT_EQ(countOf(b, DISPID_CLICK), 3) << "the click itself still fires";
}

} // namespace

namespace {

// As the program meets the button: libquorvel.so registered in a store of
// the test's own, loaded by ProgID, its state read from a stored stream.
TEST(LumvexInput, TheLoadedLibrarysButtonFromAStoredStreamClicksOnce)
{
    tv::testing::TempRoot root;
    ASSERT_EQ(com::RegisterServer(TV_QUORVEL_LIBRARY), S_OK);
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kLumvexProgId, &clsid), S_OK);
    std::ifstream in(fs::path(__FILE__).parent_path() / "testdata" / "golden" / "bmp-picture.bin", std::ios::binary);
    const std::string stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(stored.empty());
    com::ComPtr<IStream> stream;
    ASSERT_EQ(com::CreateStreamOnMemory(stored, stream.Receive()), S_OK);

    com::TestContainer box;
    com::ControlSite* site = box.Create(clsid);
    ASSERT_TRUE(site);
    ASSERT_EQ(site->Load(stream.Get()), S_OK);
    ASSERT_EQ(site->SetRect(RECT{10, 20, 130, 60}), S_OK);
    box.Host().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box.Host()));
    ASSERT_EQ(site->Activate(), S_OK);
    QWidget* w = site->ControlWindow();
    ASSERT_TRUE(w);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(60, 20));
    pump();
    const auto& events = box.LogOf(site).events;
    EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const auto& e) { return e.id == DISPID_CLICK; }), 1);
    box.CloseAll();
}

} // namespace
