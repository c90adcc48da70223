// The button's property page in the property frame, over three buttons (one
// reached only through GetControlPtr) and an object that is no button: the
// template buttons, refreshing, a page with nothing to edit, the look when
// EditProperties opens it, the help of every editor screen, and the way
// settings dialogs are run.

#include "buttonlib/editor/CLumvexPropPage.h"

#include "buttonlib/editor/EditorHelp.h"
#include "buttonlib/editor/EditorTestSupport.h"

#include "platform/basic/FileSystem.h"
#include "platform/mfc/CException.h"
#include "platform/mfc/COleObjectFactory.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QPushButton>

#include <algorithm>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;
using com::ComPtr;
using editortest::PageButton;
using editortest::PageOf;

constexpr unsigned long kSaveFlags = forms::OFN_OVERWRITEPROMPT | forms::OFN_HIDEREADONLY | forms::OFN_PATHMUSTEXIST;
constexpr unsigned long kOpenFlags = forms::OFN_HIDEREADONLY | forms::OFN_PATHMUSTEXIST | forms::OFN_FILEMUSTEXIST;

void click(QWidget& frame, int id)
{
    QWidget* button = PageButton(frame, id);
    ASSERT_TRUE(button) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

void saveScreenshot(QWidget& w, const QString& name)
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(w.grab().save(folder + QStringLiteral("/%1-%2.png").arg(name, QGuiApplication::platformName())));
}

class PropPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i)
            b.buttons[i]->m_pTrace = &traces[i];
    }
    void TearDown() override
    {
        for (CLumvexCtrl* button : b.buttons)
            button->m_pTrace = nullptr;
    }

    // The frame the Properties verb shows, over the given objects, shown.
    std::unique_ptr<com::PropertyFrame> openFrame(std::vector<ComPtr<IUnknown>> objects)
    {
        com::PropertyFrameRequest request;
        request.caption = "Quorvel Button";
        request.objects = std::move(objects);
        request.pages = {CLSID_LumvexPropPage};
        auto frame = std::make_unique<com::PropertyFrame>(request);
        if (frame->Open() != S_OK)
            ADD_FAILURE() << "the page did not open";
        frame->show();
        if (!QTest::qWaitForWindowExposed(frame.get()))
            ADD_FAILURE() << "the frame was never shown";
        return frame;
    }

    int refreshes(int i) const
    {
        return int(std::count(traces[i].begin(), traces[i].end(), CLumvexCtrl::Step::RefreshButton));
    }
    std::vector<short> shapes() const
    {
        return {b.buttons[0]->GetShape(), b.buttons[1]->GetShape(), b.buttons[2]->GetShape()};
    }

    editortest::EditorSeams seams;
    editortest::BoundButtons b;
    std::vector<CLumvexCtrl::Step> traces[3];
    tv::testing::TempRoot root;
};

TEST_F(PropPageTest, TemplatesAreSavedFromTheFirstButtonAndLoadedIntoEvery)
{
    b.buttons[0]->SetShape(3);
    b.buttons[1]->SetShape(1);
    b.buttons[2]->SetShape(2);
    auto frame = openFrame(b.Objects());
    // The page applies at once: the frame only closes.
    EXPECT_EQ(frame->Button(com::kFrameOk)->text(), "Close");
    EXPECT_FALSE(frame->Button(com::kFrameCancel)->isVisible());
    EXPECT_FALSE(frame->Button(com::kFrameApply)->isVisible());
    for (int id : CLumvexPropPage::kButtons)
        EXPECT_TRUE(PageButton(*frame, id)->isVisible() && PageButton(*frame, id)->isEnabled()) << id;
    saveScreenshot(*frame, "property-page");

    // A new name without an extension: the file need not exist, ".kzt" is
    // added before the overwrite question; only the first button is saved.
    const fs::path reference = root.Path() / "reference.kzt";
    ASSERT_EQ(b.buttons[0]->SaveTemplate(reference.string()), 1);
    seams.dialogs->files = {(root.Path() / "a").string(), (root.Path() / "a.tpl").string()};
    click(*frame, CLumvexPropPage::IDC_SAVE_TEMPLATE);
    click(*frame, CLumvexPropPage::IDC_SAVE_TEMPLATE);
    ASSERT_EQ(seams.dialogs->fileRequests.size(), 2u);
    const forms::FileDialogRequest& save = seams.dialogs->fileRequests[0];
    EXPECT_EQ(save.flags, kSaveFlags);
    EXPECT_EQ(save.defaultExt, "kzt");
    EXPECT_EQ(save.title, "Save button template file");
    EXPECT_EQ(save.filter, "Template files (*.kzt) |*.kzt|All files (*.*)|*.*||");
    EXPECT_EQ(tv::testing::ReadRaw(root.Path() / "a.kzt"), tv::testing::ReadRaw(reference));
    EXPECT_EQ(tv::testing::ReadRaw(root.Path() / "a.tpl"), tv::testing::ReadRaw(reference));
    EXPECT_FALSE(fs::exists(root.Path() / "a.tpl.kzt"));
    EXPECT_TRUE(seams.boxes->shown.empty());

    // Loading reaches all three, the one behind the wrapper included.
    seams.dialogs->fileRequests.clear();
    seams.dialogs->files = {(root.Path() / "a.kzt").string()};
    click(*frame, CLumvexPropPage::IDC_LOAD_TEMPLATE);
    EXPECT_EQ(shapes(), (std::vector<short>{3, 3, 3}));
    ASSERT_EQ(seams.dialogs->fileRequests.size(), 1u);
    EXPECT_EQ(seams.dialogs->fileRequests[0].flags, kOpenFlags);
    EXPECT_EQ(seams.dialogs->fileRequests[0].title, "Select button template file");

    // Cancelled dialogs change nothing.
    b.buttons[0]->SetShape(0);
    seams.dialogs->files = {std::nullopt, std::nullopt};
    click(*frame, CLumvexPropPage::IDC_SAVE_TEMPLATE);
    click(*frame, CLumvexPropPage::IDC_LOAD_TEMPLATE);
    EXPECT_EQ(shapes(), (std::vector<short>{0, 3, 3}));
    EXPECT_TRUE(seams.boxes->shown.empty());
    EXPECT_TRUE(seams.dialogs->files.empty());
}

TEST_F(PropPageTest, TemplateEditModePicksTheExtendedFormPerButtonAndFailuresAreToldOnce)
{
    auto frame = openFrame(b.Objects());
    // The first button in template-edit mode saves the extended form.
    b.buttons[0]->SetShape(3);
    b.buttons[0]->SetEditingTplMode(1);
    const fs::path extended = root.Path() / "ext.kzt";
    seams.dialogs->files = {extended.string()};
    click(*frame, CLumvexPropPage::IDC_SAVE_TEMPLATE);
    EXPECT_EQ(tv::testing::ReadRaw(extended).substr(0, 4), "KZTM");

    // Loading it: the buttons in that mode read it; the one that reads the
    // plain form cannot, and the failure is told once with the path.
    b.buttons[0]->SetShape(0);
    b.buttons[2]->SetEditingTplMode(1);
    seams.dialogs->files = {extended.string()};
    click(*frame, CLumvexPropPage::IDC_LOAD_TEMPLATE);
    EXPECT_EQ(shapes(), (std::vector<short>{3, 0, 3}));
    ASSERT_EQ(seams.boxes->shown.size(), 1u);
    EXPECT_EQ(seams.boxes->shown[0].text, "Error opening file " + extended.string());

    // A plain file is read by both readers.
    seams.boxes->shown.clear();
    b.buttons[1]->SetShape(1);
    const fs::path plain = root.Path() / "plain.kzt";
    ASSERT_EQ(b.buttons[1]->SaveTemplate(plain.string()), 1);
    seams.dialogs->files = {plain.string()};
    click(*frame, CLumvexPropPage::IDC_LOAD_TEMPLATE);
    EXPECT_EQ(shapes(), (std::vector<short>{1, 1, 1}));
    EXPECT_TRUE(seams.boxes->shown.empty());

    // A cut file: one message for the click, no button changed.
    const std::string bytes = tv::testing::ReadRaw(plain);
    const fs::path cut = root.Path() / "cut.kzt";
    tv::testing::WriteRaw(cut, bytes.substr(0, bytes.size() / 2));
    b.buttons[0]->SetShape(4);
    seams.dialogs->files = {cut.string()};
    click(*frame, CLumvexPropPage::IDC_LOAD_TEMPLATE);
    EXPECT_EQ(shapes(), (std::vector<short>{4, 1, 1}));
    ASSERT_EQ(seams.boxes->shown.size(), 1u);
    EXPECT_EQ(seams.boxes->shown[0].text, "Error opening file " + cut.string());

    // A file that cannot be written is told too.
    seams.boxes->shown.clear();
    const fs::path nowhere = root.Path() / "missing" / "t.kzt";
    seams.dialogs->files = {nowhere.string()};
    click(*frame, CLumvexPropPage::IDC_SAVE_TEMPLATE);
    EXPECT_FALSE(fs::exists(nowhere));
    ASSERT_EQ(seams.boxes->shown.size(), 1u);
    EXPECT_EQ(seams.boxes->shown[0].text, "Error opening file " + nowhere.string());
}

TEST_F(PropPageTest, RefreshAndLeavingThePageRepaintEveryButton)
{
    auto frame = openFrame(b.Objects());
    click(*frame, CLumvexPropPage::IDC_REFRESH);
    EXPECT_EQ((std::vector<int>{refreshes(0), refreshes(1), refreshes(2)}), (std::vector<int>{1, 1, 1}));
    // Closing hides the page first: once more each.
    frame->Button(com::kFrameOk)->click();
    EXPECT_EQ((std::vector<int>{refreshes(0), refreshes(1), refreshes(2)}), (std::vector<int>{2, 2, 2}));
    EXPECT_TRUE(b.buttons[0]->IsModified());
}

TEST_F(PropPageTest, APageWithNothingToEditOffersNothing)
{
    for (const auto& objects : {std::vector<ComPtr<IUnknown>>{ComPtr<IUnknown>(b.foreign.Get())},
                                std::vector<ComPtr<IUnknown>>{}}) {
        com::PropertyFrameRequest request;
        request.objects = objects;
        request.pages = {CLSID_LumvexPropPage};
        com::PropertyFrame frame(request);
        ASSERT_EQ(frame.Open(), S_OK);
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        EXPECT_EQ(frame.Button(com::kFrameOk)->text(), "Close");
        for (int id : CLumvexPropPage::kButtons) {
            EXPECT_FALSE(PageButton(frame, id)->isEnabled()) << id;
            // Even a click that got through would find nothing to act on.
            PageOf(frame)->SendMessage(win::WM_COMMAND, MAKEWPARAM(id, win::BN_CLICKED), 0);
        }
        QTest::mouseClick(frame.Button(com::kFrameHelp), Qt::LeftButton);
        frame.Button(com::kFrameOk)->click();
    }
    EXPECT_TRUE(seams.dialogs->fileRequests.empty());
    EXPECT_TRUE(seams.boxes->shown.empty());
    EXPECT_EQ(refreshes(0) + refreshes(1) + refreshes(2), 0);
    // Help still opens, at the library's page.
    ASSERT_EQ(seams.help->requests.size(), 2u);
    EXPECT_EQ(seams.help->requests[0].kind, RecordingHelpPort::Kind::HtmlHelp);
    EXPECT_EQ(seams.help->requests[0].context, 149u);
}

TEST_F(PropPageTest, EditPropertiesShowsTheCallersLookPlaceAndButtonsAndTheVerbShowsAll)
{
    auto ui = std::make_shared<editortest::FrameUi>();
    com::SetUiServices(ui);
    // Active in a shown container so the verb has a place to show from.
    b.box.Host().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b.box.Host()));

    CLumvexCtrl& button = *b.buttons[0];
    button.ShowEditingButtons(2, 0);
    const COLORREF text = RGB(255, 255, 0);
    const COLORREF back = RGB(0, 0, 128);
    bool looked = false;
    ui->onFrame = [&](com::PropertyFrame& frame) {
        looked = true;
        EXPECT_EQ(frame.pos(), QPoint(70, 60));
        for (int id : CLumvexPropPage::kButtons)
            EXPECT_EQ(PageButton(frame, id)->isVisible(), id != CLumvexPropPage::IDC_SHAPE) << id;
        EXPECT_EQ(PageOf(frame)->GetDlgItemText(CLumvexPropPage::IDC_PICTURES), "Select pictures");
        // The posted tab moves the focus to the page's first button.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), PageButton(frame, CLumvexPropPage::IDC_BEHAVIOUR));
        CLumvexPropPage* page = PageOf(frame);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->m_clrText, text);
        EXPECT_EQ(page->m_clrBack, back);
        // Background and button faces in the caller's colours.
        const QImage shot = frame.grab().toImage();
        QWidget* window = page->GetSafeHwnd();
        const QPoint corner = window->mapTo(&frame, QPoint(window->width() - 2, window->height() - 2));
        EXPECT_EQ(shot.pixelColor(corner), QColor(0, 0, 128));
        QWidget* refresh = PageButton(frame, CLumvexPropPage::IDC_REFRESH);
        const QPoint face = refresh->mapTo(&frame, QPoint(4, refresh->height() / 2));
        EXPECT_EQ(shot.pixelColor(face), QColor(0, 0, 128));
        saveScreenshot(frame, "property-page-editor");
    };
    button.EditProperties(0x00FFFF, 0x800000, 70, 60);
    EXPECT_TRUE(looked);
    ASSERT_EQ(ui->frames.size(), 1u);
    EXPECT_FALSE(button.m_bEditorOpen);

    // The Properties verb (design time): every button, the system's colours.
    looked = false;
    ui->onFrame = [&](com::PropertyFrame& frame) {
        looked = true;
        for (int id : CLumvexPropPage::kButtons)
            EXPECT_TRUE(PageButton(frame, id)->isVisible()) << id;
        EXPECT_EQ(PageOf(frame)->GetDlgItemText(CLumvexPropPage::IDC_PICTURES), "Select pictures or animations");
        EXPECT_EQ(PageOf(frame)->m_clrBack, 0u);
    };
    auto object = b.controls[0].As<IOleObject>();
    EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, nullptr, nullptr), S_OK);
    EXPECT_TRUE(looked);
    com::SetUiServices(nullptr);
}

// The ten editor screens: template, link index, host context, library context.
struct Screen {
    UINT id;
    int link;
    UINT winHelp;
    UINT htmlHelp;
};
constexpr Screen kScreens[] = {
    {200, 0, 132, 149},   {32261, 1, 136, 151}, {215, 2, 137, 152}, {32260, 3, 133, 153}, {242, 3, 135, 155},
    {32259, 4, 134, 154}, {243, 6, 138, 156},   {32262, 7, 0, 157}, {241, 8, 0, 158},     {32263, 9, 0, 150},
};

TEST_F(PropPageTest, EveryScreensHelpFollowsTheLinkThenTheEditorOpenFlag)
{
    using Kind = RecordingHelpPort::Kind;
    auto page = ComPtr<COlePropertyPageEnh>::Attach(new COlePropertyPageEnh(0, 0));
    auto objects = b.Objects();
    std::vector<IUnknown*> raw;
    for (auto& o : objects)
        raw.push_back(o.Get());
    ASSERT_EQ(page->SetObjects(ULONG(raw.size()), raw.data()), S_OK);
    QWidget owner;
    ASSERT_EQ(EditorHelpScreens().size(), std::size(kScreens));
    for (const Screen& s : kScreens) {
        for (BOOL editorOpen : {FALSE, TRUE}) {
            b.buttons[0]->m_bEditorOpen = editorOpen;
            // Without a link: the host's help at its context when opened by
            // EditProperties and the screen has one, else the library's.
            CLumvexCtrl::g_helpLinks = {};
            seams.help->requests.clear();
            EditorHelp(s.id, *page.Get(), &owner);
            ASSERT_EQ(seams.help->requests.size(), 1u) << s.id;
            const auto& shown = seams.help->requests[0];
            if (editorOpen && s.winHelp) {
                EXPECT_EQ(shown.kind, Kind::WinHelp) << s.id;
                EXPECT_EQ(shown.context, s.winHelp) << s.id;
            } else {
                EXPECT_EQ(shown.kind, Kind::HtmlHelp) << s.id;
                EXPECT_EQ(shown.context, s.htmlHelp) << s.id;
                EXPECT_EQ(shown.owner, &owner);
            }
            // A link for the screen opens whatever the flag; other screens'
            // links are not its.
            for (int i = 0; i < CLumvexCtrl::kHelpLinkCount; ++i)
                CLumvexCtrl::g_helpLinks[std::size_t(i)] = i == s.link ? "" : "https://example.com/other";
            CLumvexCtrl::g_helpLinks[std::size_t(s.link)] = "https://example.com/" + std::to_string(s.link);
            seams.help->requests.clear();
            EditorHelp(s.id, *page.Get(), &owner);
            ASSERT_EQ(seams.help->requests.size(), 1u);
            EXPECT_EQ(seams.help->requests[0].kind, Kind::Link) << s.id;
            EXPECT_EQ(seams.help->requests[0].target, "https://example.com/" + std::to_string(s.link));
        }
    }
    b.buttons[0]->m_bEditorOpen = FALSE;
    CLumvexCtrl::g_helpLinks = {};
    seams.help->requests.clear();
    EditorHelp(9999, *page.Get(), &owner);
    EXPECT_TRUE(seams.help->requests.empty());

    // The page's own help: the frame's Help button and F1.
    auto frame = openFrame(b.Objects());
    QTest::mouseClick(frame->Button(com::kFrameHelp), Qt::LeftButton);
    QTest::keyClick(PageOf(*frame)->GetSafeHwnd(), Qt::Key_F1);
    ASSERT_EQ(seams.help->requests.size(), 2u);
    for (const auto& r : seams.help->requests) {
        EXPECT_EQ(r.kind, Kind::HtmlHelp);
        EXPECT_EQ(r.context, 149u);
    }
}

// A settings dialog made for the page, counting its lives.
constexpr UINT kSettingsTemplate = 9300;
constexpr DialogItem kSettingsItems[] = {{IDOK, DialogItemKind::PushButton, "Close", BS_DEFPUSHBUTTON, 7, 7, 50, 14}};
constexpr DialogTemplate kSettings{kSettingsTemplate, "Settings", 64, 28, kSettingsItems};
const bool kSettingsRegistered = AfxRegisterDialogTemplate(kSettings);

class SettingsDialog : public CDialog {
public:
    explicit SettingsDialog(COlePropertyPageEnh* page) : CDialog(kSettingsTemplate), page(page) { ++alive; }
    ~SettingsDialog() override { --alive; }
    COlePropertyPageEnh* page;
    static inline int alive = 0;
};

// The page with a dialog behind the shape button only.
class PageWithShapeDialog : public CLumvexPropPage {
public:
    std::unique_ptr<CDialog> MakeSettingsDialog(int buttonId) override
    {
        if (buttonId == IDC_SHAPE)
            return std::make_unique<SettingsDialog>(this);
        return nullptr;
    }
};
const CLSID kTestPageClass = com::GuidLiteral("{9E4B2C17-3D5A-4F60-8B71-2C9D0E1F3A42}");

TEST_F(PropPageTest, SettingsDialogsRunThroughTheRunnerForThePageAndGoAfterwards)
{
    ASSERT_TRUE(kSettingsRegistered);
    // The dialogs the page has: each one made for the page, run, and gone.
    std::vector<UINT> ran;
    CLumvexPropPage::SetDialogRunner([&](CDialog& d) {
        ran.push_back(d.TemplateId());
        return std::intptr_t(IDOK);
    });
    std::vector<UINT> expected;
    {
        auto frame = openFrame(b.Objects());
        for (int id : CLumvexPropPage::kButtons) {
            if (id == CLumvexPropPage::IDC_SAVE_TEMPLATE || id == CLumvexPropPage::IDC_LOAD_TEMPLATE ||
                id == CLumvexPropPage::IDC_REFRESH)
                continue;
            if (auto made = PageOf(*frame)->MakeSettingsDialog(id))
                expected.push_back(made->TemplateId());
            click(*frame, id);
        }
    }
    EXPECT_EQ(ran, expected);

    COleObjectFactory factory(kTestPageClass, &com::CreateObject<PageWithShapeDialog>, "Test.ShapePage.1", "");
    com::PropertyFrameRequest request;
    request.objects = b.Objects();
    request.pages = {kTestPageClass};
    com::PropertyFrame frame(request);
    ASSERT_EQ(frame.Open(), S_OK);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    ran.clear();
    COlePropertyPageEnh* handedOver = nullptr;
    CLumvexPropPage::SetDialogRunner([&](CDialog& d) {
        ran.push_back(d.TemplateId());
        handedOver = static_cast<SettingsDialog&>(d).page;
        EXPECT_EQ(SettingsDialog::alive, 1);
        return std::intptr_t(IDOK);
    });
    click(frame, CLumvexPropPage::IDC_SHAPE);
    click(frame, CLumvexPropPage::IDC_BEHAVIOUR);
    EXPECT_EQ(ran, std::vector<UINT>{kSettingsTemplate});
    EXPECT_EQ(handedOver, PageOf(frame));
    EXPECT_EQ(SettingsDialog::alive, 0);

    // Without a runner the dialog runs modally until it is closed.
    CLumvexPropPage::SetDialogRunner(nullptr);
    editortest::ModalSteps steps;
    steps.Add("dialog" + std::to_string(kSettingsTemplate), [](QWidget& dialog) {
        QTest::mouseClick(dialog.findChild<QWidget*>("id1"), Qt::LeftButton);
    });
    steps.Start();
    click(frame, CLumvexPropPage::IDC_SHAPE);
    EXPECT_TRUE(steps.Done());
    EXPECT_EQ(SettingsDialog::alive, 0);
    frame.Button(com::kFrameOk)->click();
}

// Settings dialogs that fail: one as it opens, one from a handler while it
// runs (after its loop has started), one with an error of no known kind.
class FailingDialog : public CDialog {
public:
    enum class How { Opening, Running, Unknown };
    explicit FailingDialog(How how) : CDialog(kSettingsTemplate), how_(how) {}

protected:
    BOOL OnInitDialog() override
    {
        if (how_ == How::Opening)
            throw std::runtime_error("The picture is too large to show.");
        PostMessage(win::WM_USER + 1);
        return CDialog::OnInitDialog();
    }
    win::LRESULT OnUserMessage(UINT message, win::WPARAM wParam, win::LPARAM lParam) override
    {
        if (message != win::WM_USER + 1)
            return CDialog::OnUserMessage(message, wParam, lParam);
        if (how_ == How::Running)
            throw CArchiveException(CArchiveException::endOfFile, "look.kzt");
        throw 42;
    }

private:
    How how_;
};

class PageWithFailingDialogs : public CLumvexPropPage {
public:
    std::unique_ptr<CDialog> MakeSettingsDialog(int buttonId) override
    {
        switch (buttonId) {
        case IDC_SHAPE: return std::make_unique<FailingDialog>(FailingDialog::How::Opening);
        case IDC_TEXT: return std::make_unique<FailingDialog>(FailingDialog::How::Running);
        case IDC_COLORS: return std::make_unique<FailingDialog>(FailingDialog::How::Unknown);
        default: return nullptr;
        }
    }
};
const CLSID kFailingPageClass = com::GuidLiteral("{9E4B2C18-3D5A-4F60-8B71-2C9D0E1F3A42}");

// A settings dialog's error is shown in a message box; the dialog is gone,
// and the page, its buttons and the host go on.
TEST_F(PropPageTest, ASettingsDialogsErrorIsShownAndThePageGoesOn)
{
    ASSERT_TRUE(kSettingsRegistered);
    COleObjectFactory factory(kFailingPageClass, &com::CreateObject<PageWithFailingDialogs>, "Test.FailingPage.1",
                              "");
    com::PropertyFrameRequest request;
    request.objects = b.Objects();
    request.pages = {kFailingPageClass};
    com::PropertyFrame frame(request);
    ASSERT_EQ(frame.Open(), S_OK);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    for (int id : {CLumvexPropPage::IDC_SHAPE, CLumvexPropPage::IDC_TEXT, CLumvexPropPage::IDC_COLORS})
        click(frame, id);
    ASSERT_EQ(seams.boxes->shown.size(), 3u);
    EXPECT_NE(seams.boxes->shown[0].text.find("The picture is too large to show."), std::string::npos);
    EXPECT_NE(seams.boxes->shown[1].text.find("unexpected end of data"), std::string::npos);
    EXPECT_NE(seams.boxes->shown[2].text.find("could not be completed"), std::string::npos);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(frame.findChildren<QWidget*>(QStringLiteral("dialog%1").arg(kSettingsTemplate)).isEmpty());

    // The page still works for the buttons it edits.
    click(frame, CLumvexPropPage::IDC_REFRESH);
    EXPECT_EQ((std::vector<int>{refreshes(0), refreshes(1), refreshes(2)}), (std::vector<int>{1, 1, 1}));
    frame.Button(com::kFrameOk)->click();
}

} // namespace
