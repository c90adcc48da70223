// The button control object: its defaults, size and hit test, and the two
// repaint paths every property change goes through.

#include "buttonlib/control/CAboutDlg.h"
#include "buttonlib/control/LumvexTestSupport.h"

#include "platform/com/Stream.h"
#include "platform/com/UiServices.h"

#include <gtest/gtest.h>

namespace {

using lumvextest::ActiveButton;
using lumvextest::NewButton;
using Step = CLumvexCtrl::Step;

struct ScreenDpi {
    explicit ScreenDpi(int dpi) { gdi::SetScreenDpi(dpi); }
    ~ScreenDpi() { gdi::SetScreenDpi(kScreenDpi); }
};

LONG pointSize(CFontHolder& font)
{
    CY size{};
    font.m_pFont->get_Size(&size);
    return LONG(size.int64 / 10000);
}

TEST(CLumvexCtrl, ANewControlHasItsDefaultsAndTellsTheFrameworkWhatItIs)
{
    CLumvexCtrl* button = nullptr;
    auto control = NewButton(&button);
    EXPECT_EQ(button->m_CaptionWordWrapPerc, 90);
    for (BOOL enabled : button->m_bSoundEnabled)
        EXPECT_EQ(enabled, TRUE);
    for (BOOL thread : button->m_bSoundThread)
        EXPECT_EQ(thread, FALSE);
    EXPECT_EQ(button->m_bReloadOnCreate, TRUE);
    EXPECT_EQ(button->m_bAutomaticRefresh, TRUE);
    EXPECT_EQ(button->m_bClickArmed, TRUE);
    EXPECT_EQ(button->m_bPropertiesExchanged, FALSE);
    EXPECT_EQ(button->m_NSContainerColor, OLE_COLOR(-1));
    EXPECT_EQ(button->m_rcButton.right, 0);
    // The caption's font is 8 points, the other texts' 12.
    EXPECT_EQ(pointSize(button->m_font[0]), 8);
    for (int i = 1; i < CLumvexCtrl::kTextCount; ++i)
        EXPECT_EQ(pointSize(button->m_font[i]), 12) << i;

    EXPECT_EQ(button->GetMiscStatus(), 0x20191u);
    EXPECT_EQ(button->GetUserTypeName(), "Quorvel Button");
    EXPECT_EQ(button->IsSubclassedControl(), TRUE);
    ULONG pages = 0;
    const CLSID* ids = button->GetPropPageIDs(pages);
    ASSERT_EQ(pages, 1u);
    EXPECT_EQ(ids[0], CLSID_LumvexPropPage);
    CLSID clsid{};
    EXPECT_EQ(button->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_LumvexCtrl);

    // The state written starts with version 6.0.
    com::TestContainer box;
    auto* site = box.Add(control.Get());
    ASSERT_EQ(site->InitNew(), S_OK);
    EXPECT_EQ(button->m_bPropertiesExchanged, TRUE);
    com::ComPtr<IStream> stream;
    ASSERT_EQ(com::CreateStreamOnMemory({}, stream.Receive()), S_OK);
    ASSERT_EQ(site->Save(stream.Get()), S_OK);
    stream->Seek(0, STREAM_SEEK_SET, nullptr);
    DWORD version = 0;
    ULONG got = 0;
    stream->Read(&version, sizeof version, &got);
    EXPECT_EQ(version, kLumvexVersion60);
}

TEST(CLumvexCtrl, TheExtentBecomesTheButtonRectangleInScreenPixels)
{
    for (const int dpi : {96, 120}) {
        ScreenDpi screen(dpi);
        CLumvexCtrl* button = nullptr;
        auto control = NewButton(&button);
        com::TestContainer box;
        auto* site = box.Add(control.Get());
        site->InitNew();
        ASSERT_EQ(site->SetExtent(SIZEL{2540, 1270}), S_OK);
        EXPECT_EQ(button->m_rcButton.left, 0);
        EXPECT_EQ(button->m_rcButton.top, 0);
        EXPECT_EQ(button->m_rcButton.right, dpi) << dpi;
        EXPECT_EQ(button->m_rcButton.bottom, dpi / 2) << dpi;
        EXPECT_EQ(button->m_bRebuildFaces, TRUE);
    }
}

TEST(CLumvexCtrl, AShapedButtonIsHitOnlyInsideItsRegion)
{
    ActiveButton b;
    auto view = b.site->ControlAs<IViewObjectEx>();
    ASSERT_TRUE(view);
    const RECT bounds{10, 20, 106, 68};
    DWORD hit = 0;
    // Without a region the whole rectangle counts.
    ASSERT_EQ(view->QueryHitPoint(1, &bounds, POINT{11, 21}, 0, &hit), S_OK);
    EXPECT_EQ(hit, HITRESULT_HIT);

    b.button->m_hWindowRgn = CreateEllipticRgn(0, 0, 96, 48);
    ASSERT_EQ(view->QueryHitPoint(1, &bounds, POINT{11, 21}, 0, &hit), S_OK);
    EXPECT_EQ(hit, HITRESULT_OUTSIDE) << "the corner lies outside the ellipse";
    ASSERT_EQ(view->QueryHitPoint(1, &bounds, POINT{58, 44}, 0, &hit), S_OK);
    EXPECT_EQ(hit, HITRESULT_HIT);
    ASSERT_EQ(view->QueryHitPoint(1, &bounds, POINT{105, 66}, 0, &hit), S_OK);
    EXPECT_EQ(hit, HITRESULT_OUTSIDE);
    DeleteObject(b.button->m_hWindowRgn);
    b.button->m_hWindowRgn = nullptr;
}

struct InvalidateCase {
    bool userMode;
    BOOL rebuild;
    BOOL automaticRefresh;
    BOOL focus;
    std::vector<Step> steps;
    BOOL pendingAfter;
    int needRefreshEvents;
};

TEST(CLumvexCtrl, InvalidateButtonFollowsModeRebuildAutomaticRefreshAndFocus)
{
    using enum Step;
    const InvalidateCase cases[] = {
        // Run time: the rebuild happens only with automatic refresh on.
        {true, TRUE, TRUE, FALSE, {WindowRegion, RefreshButton, NeedRefresh}, FALSE, 1},
        {true, TRUE, TRUE, TRUE, {WindowRegion, RefreshButton, NeedRefresh, ClipRegion}, FALSE, 1},
        {true, FALSE, TRUE, FALSE, {InvalidateErase}, FALSE, 0},
        {true, FALSE, TRUE, TRUE, {InvalidateErase, ClipRegion}, FALSE, 0},
        {true, TRUE, FALSE, FALSE, {}, TRUE, 0},
        {true, TRUE, FALSE, TRUE, {ClipRegion}, TRUE, 0},
        {true, FALSE, FALSE, FALSE, {}, FALSE, 0},
        // Design time: automatic refresh and focus change nothing.
        {false, TRUE, TRUE, FALSE, {WindowRegion, RefreshButton, NeedRefresh, ClipRegion}, FALSE, 1},
        {false, TRUE, FALSE, TRUE, {WindowRegion, RefreshButton, NeedRefresh, ClipRegion}, FALSE, 1},
        {false, FALSE, FALSE, FALSE, {InvalidateNoErase, ClipRegion}, FALSE, 0},
        {false, FALSE, TRUE, TRUE, {InvalidateNoErase, ClipRegion}, FALSE, 0},
    };
    for (const InvalidateCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "user mode " << c.userMode << ", rebuild " << c.rebuild << ", automatic "
                                        << c.automaticRefresh << ", focus " << c.focus);
        ActiveButton b(c.userMode);
        ASSERT_TRUE(b.site->ControlWindow());
        b.button->m_bAutomaticRefresh = c.automaticRefresh;
        b.button->m_bFocus = c.focus;
        b.trace.clear();
        const int eventsBefore = b.NeedRefreshEvents();
        b.button->InvalidateButton(c.rebuild);
        EXPECT_EQ(b.trace, c.steps);
        EXPECT_EQ(b.button->m_bRefreshPending, c.pendingAfter);
        EXPECT_EQ(b.NeedRefreshEvents() - eventsBefore, c.needRefreshEvents);
    }
}

TEST(CLumvexCtrl, InvalidateButtonDoesNothingWithoutAWindow)
{
    CLumvexCtrl* button = nullptr;
    auto control = NewButton(&button);
    std::vector<Step> trace;
    button->m_pTrace = &trace;
    button->InvalidateButton(TRUE);
    button->InvalidateButton(FALSE);
    EXPECT_TRUE(trace.empty());
    EXPECT_EQ(button->m_bRefreshPending, FALSE);
    button->m_pTrace = nullptr;
}

TEST(CLumvexCtrl, RefreshAfterChangeRepaintsAtOnceOnlyAtDesignTimeAfterTheFirstExchange)
{
    using enum Step;
    // Design time, before any state was loaded: a plain repaint.
    com::TestContainer box;
    box.SetUserMode(false);
    CLumvexCtrl* button = nullptr;
    auto control = NewButton(&button);
    auto* site = box.Add(control.Get());
    site->SetRect(RECT{0, 0, 96, 48});
    box.Host().show();
    ASSERT_EQ(site->Activate(), S_OK);
    std::vector<Step> trace;
    button->m_pTrace = &trace;
    button->RefreshAfterChange();
    EXPECT_EQ(trace, (std::vector<Step>{InvalidateNoErase, ClipRegion}));

    // After the first exchange the button is refreshed at once.
    ASSERT_EQ(site->InitNew(), S_OK);
    button->m_bRefreshPending = TRUE;
    trace.clear();
    button->RefreshAfterChange();
    EXPECT_EQ(trace, (std::vector<Step>{RefreshButton, ClipRegion}));
    EXPECT_EQ(button->m_bRefreshPending, FALSE);

    // At run time always the plain repaint.
    box.SetUserMode(true);
    trace.clear();
    button->RefreshAfterChange();
    EXPECT_EQ(trace, (std::vector<Step>{InvalidateErase}));
    button->m_pTrace = nullptr;
}

TEST(CLumvexCtrl, SwitchingModeOrContainerColourRebuildsTheFaces)
{
    using enum Step;
    ActiveButton b(true);
    for (const bool userMode : {false, true}) {
        lumvextest::ClearRebuild(*b.button);
        b.trace.clear();
        b.box.SetUserMode(userMode);
        EXPECT_TRUE(lumvextest::FacesRebuilt(*b.button)) << userMode;
        const std::vector<Step> expected =
            userMode ? std::vector<Step>{InvalidateErase} : std::vector<Step>{RefreshButton, ClipRegion};
        EXPECT_EQ(b.trace, expected);
    }
    lumvextest::ClearRebuild(*b.button);
    b.site->SetBackColor(RGB(10, 20, 30));
    EXPECT_TRUE(lumvextest::FacesRebuilt(*b.button));
    // Another ambient change leaves the faces alone.
    lumvextest::ClearRebuild(*b.button);
    b.site->SetDisplayName("Command1");
    EXPECT_FALSE(lumvextest::FacesRebuilt(*b.button));
}

TEST(CLumvexCtrl, NewObjectRectsGiveTheButtonRectangleAndANewRegion)
{
    using enum Step;
    {
        ActiveButton b(true);
        b.trace.clear();
        ASSERT_EQ(b.site->SetRect(RECT{30, 40, 130, 90}), S_OK);
        EXPECT_EQ(b.button->m_rcButton.left, 0);
        EXPECT_EQ(b.button->m_rcButton.top, 0);
        EXPECT_EQ(b.button->m_rcButton.right, 100);
        EXPECT_EQ(b.button->m_rcButton.bottom, 50);
        ASSERT_GE(b.trace.size(), 2u);
        EXPECT_EQ(b.trace[b.trace.size() - 2], WindowRegion);
        EXPECT_EQ(b.trace.back(), InvalidateErase);
    }
    {
        // At design time the button is rebuilt first.
        ActiveButton b(false);
        b.trace.clear();
        ASSERT_EQ(b.site->SetRect(RECT{30, 40, 130, 90}), S_OK);
        EXPECT_EQ(b.button->m_rcButton.right, 100);
        const std::vector<Step> tail{WindowRegion, RefreshButton, NeedRefresh, ClipRegion,
                                     WindowRegion, InvalidateNoErase, ClipRegion};
        ASSERT_GE(b.trace.size(), tail.size());
        EXPECT_TRUE(std::equal(tail.begin(), tail.end(), b.trace.end() - std::ptrdiff_t(tail.size())));
    }
}

TEST(CLumvexCtrl, TheAboutBoxShowsTheBuildsVersion)
{
    auto recorder = std::make_shared<com::RecordingUiServices>();
    com::SetUiServices(recorder);
    ActiveButton b;
    auto dispatch = b.site->ControlAs<IDispatch>();
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ASSERT_EQ(dispatch->Invoke(DISPID_ABOUTBOX, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                               nullptr, nullptr),
              S_OK);
    com::SetUiServices(nullptr);
    ASSERT_EQ(recorder->aboutBoxes.size(), 1u);
    const com::AboutBoxRequest& about = recorder->aboutBoxes[0];
    EXPECT_EQ(about.version, TV_PROJECT_VERSION);
    EXPECT_EQ(about.title, "About Quorvel Button");
    EXPECT_EQ(about.icon.width(), 16);
    EXPECT_EQ(about.owner, &b.box.Host());

    EXPECT_EQ(CAboutDlg::VersionText(nullptr), "?");
    EXPECT_EQ(CAboutDlg::VersionText(""), "?");
    EXPECT_EQ(CAboutDlg::VersionText("6.0.1"), "6.0.1");
}

} // namespace
