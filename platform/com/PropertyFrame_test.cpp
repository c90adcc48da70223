// The property frame with pages of this test's own: where pages come from,
// the frame's buttons and place, which page is shown, and the order in which
// a closing frame lets its pages go.

#include "platform/com/PropertyFrame.h"

#include "platform/com/ClassFactory.h"
#include "platform/com/Server.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using com::ComPtr;

const CLSID kFirstPage = com::GuidLiteral("{0C1D2E3F-4A5B-4C6D-8E7F-901A2B3C4D01}");
const CLSID kSecondPage = com::GuidLiteral("{0C1D2E3F-4A5B-4C6D-8E7F-901A2B3C4D02}");
const CLSID kRefusingPage = com::GuidLiteral("{0C1D2E3F-4A5B-4C6D-8E7F-901A2B3C4D03}");
const CLSID kUnknownPage = com::GuidLiteral("{0C1D2E3F-4A5B-4C6D-8E7F-901A2B3C4D04}");

std::vector<std::string>& journal()
{
    static std::vector<std::string> calls;
    return calls;
}

// A page that writes every call into the journal under its name.
template <int N>
class JournalPage final : public com::ComObject<JournalPage<N>, IPropertyPage> {
public:
    ~JournalPage() override { note("gone"); }
    std::span<const com::InterfaceEntry> InterfaceTable() const
    {
        static constexpr com::InterfaceEntry table[] = {com::Implements<JournalPage, IPropertyPage>()};
        return table;
    }
    HRESULT SetPageSite(IPropertyPageSite* site) override
    {
        site_ = site;
        note(site ? "site" : "no site");
        return S_OK;
    }
    HRESULT SetObjects(ULONG count, IUnknown**) override
    {
        note("objects " + std::to_string(count));
        return N == 3 && count ? E_FAIL : S_OK;
    }
    HRESULT Activate(HWND parent, const RECT* rect, BOOL) override
    {
        HWND frame = nullptr;
        site_->GetFrameWindow(&frame);
        note(std::string("activate") + (frame == parent->window() ? " in frame" : ""));
        window_ = new QWidget(parent);
        window_->setObjectName(QStringLiteral("page%1").arg(N));
        window_->setGeometry(int(rect->left), int(rect->top), int(rect->right), int(rect->bottom));
        window_->hide();
        return S_OK;
    }
    HRESULT Deactivate() override
    {
        note("deactivate");
        delete window_;
        window_ = nullptr;
        return S_OK;
    }
    HRESULT GetPageInfo(PROPPAGEINFO* info) override
    {
        static const OLECHAR title[] = u"Page";
        info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof title));
        std::copy(std::begin(title), std::end(title), info->pszTitle);
        info->size = SIZE{120 + 10 * N, 80};
        return S_OK;
    }
    HRESULT Show(UINT cmdShow) override
    {
        note("show " + std::to_string(cmdShow));
        window_->setVisible(cmdShow != win::SW_HIDE);
        return S_OK;
    }
    HRESULT Help(LPCOLESTR) override
    {
        note("help");
        return S_OK;
    }

private:
    void note(const std::string& what) { journal().push_back(std::to_string(N) + " " + what); }
    ComPtr<IPropertyPageSite> site_;
    QWidget* window_ = nullptr;
};

const com::ServerClass kPages[] = {
    {&kFirstPage, "Test.FirstPage", "First", &com::CreateObject<JournalPage<1>>},
    {&kSecondPage, "Test.SecondPage", "Second", &com::CreateObject<JournalPage<2>>},
    {&kRefusingPage, "Test.RefusingPage", "Refusing", &com::CreateObject<JournalPage<3>>},
};

HRESULT ownClasses(REFCLSID clsid, REFIID iid, void** object)
{
    return com::ServerGetClassObject(kPages, clsid, iid, object);
}

class PropertyFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        journal().clear();
        com::SetModuleClassSource(&ownClasses);
        object = ComPtr<IUnknown>::Attach(new com::ClassFactory(nullptr));
    }
    void TearDown() override { com::SetModuleClassSource(nullptr); }

    com::PropertyFrameRequest request(std::vector<CLSID> pages)
    {
        com::PropertyFrameRequest r;
        r.x = 40;
        r.y = 30;
        r.caption = "Button";
        r.objects = {object};
        r.pages = std::move(pages);
        return r;
    }

    static bool before(const std::string& first, const std::string& second)
    {
        const auto& j = journal();
        const auto a = std::find(j.begin(), j.end(), first);
        const auto b = std::find(j.begin(), j.end(), second);
        return a != j.end() && b != j.end() && a < b;
    }

    ComPtr<IUnknown> object;
};

TEST_F(PropertyFrameTest, HostsTheModulesPagesAndShowsOneAtATime)
{
    com::PropertyFrame frame(request({kFirstPage, kUnknownPage, kSecondPage, kRefusingPage}));
    ASSERT_EQ(frame.Open(), S_OK);
    // The class nobody serves and the page that refused the objects are left
    // out; the refusing page was let go of its site.
    EXPECT_EQ(frame.PageCount(), 2u);
    EXPECT_TRUE(before("3 objects 1", "3 no site"));
    EXPECT_TRUE(before("1 objects 1", "1 activate in frame"));
    EXPECT_EQ(frame.objectName(), "propertyFrame");
    EXPECT_EQ(frame.windowTitle(), "Button");
    EXPECT_EQ(frame.pos(), QPoint(40, 30));
    for (int id : {com::kFrameOk, com::kFrameCancel, com::kFrameApply, com::kFrameHelp}) {
        ASSERT_TRUE(frame.Button(id)) << id;
        EXPECT_EQ(frame.Button(id)->objectName(), QStringLiteral("id%1").arg(id));
    }
    EXPECT_FALSE(frame.Button(com::kFrameApply)->isEnabled());

    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    auto* first = frame.findChild<QWidget*>(QStringLiteral("page1"));
    auto* second = frame.findChild<QWidget*>(QStringLiteral("page2"));
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(second->isVisible());
    EXPECT_GE(frame.PageArea(0)->width(), 130);
    // The frame keeps the size its pages need.
    EXPECT_EQ(frame.minimumSize(), frame.maximumSize());
    const QSize shown = frame.size();
    frame.resize(shown + QSize(120, 80));
    QCoreApplication::processEvents();
    EXPECT_EQ(frame.size(), shown);

    // Another tab hides the first page and shows the second; Help goes to
    // the page on top.
    journal().clear();
    frame.findChild<QTabWidget*>()->setCurrentIndex(1);
    QTest::mouseClick(frame.Button(com::kFrameHelp), Qt::LeftButton);
    EXPECT_EQ(journal(), (std::vector<std::string>{"1 show 0", "2 show 5", "2 help"}));

    // OK: the page on top is hidden before any page is deactivated, and
    // every page lets go of its objects and site.
    journal().clear();
    QTest::mouseClick(frame.Button(com::kFrameOk), Qt::LeftButton);
    EXPECT_EQ(frame.result(), QDialog::Accepted);
    EXPECT_EQ(journal().front(), "2 show 0");
    EXPECT_TRUE(before("2 show 0", "1 deactivate"));
    EXPECT_TRUE(before("1 deactivate", "1 no site"));
    EXPECT_TRUE(before("2 deactivate", "2 objects 0"));
    EXPECT_EQ(frame.PageCount(), 0u);
    EXPECT_TRUE(before("2 no site", "2 gone"));
}

TEST_F(PropertyFrameTest, NoPageNoFrame)
{
    // Nothing this module or the registry serves: the loader's answer.
    com::PropertyFrame unknown(request({kUnknownPage}));
    EXPECT_EQ(unknown.Open(), REGDB_E_CLASSNOTREG);
    com::PropertyFrame none(request({}));
    EXPECT_EQ(none.Open(), E_INVALIDARG);
    com::PropertyFrame refusing(request({kRefusingPage}));
    EXPECT_EQ(refusing.Open(), E_FAIL);
    // Without this module's classes the page is not found at all.
    com::SetModuleClassSource(nullptr);
    com::PropertyFrame elsewhere(request({kFirstPage}));
    EXPECT_EQ(elsewhere.Open(), REGDB_E_CLASSNOTREG);
}

TEST_F(PropertyFrameTest, TheCallersWayOfMakingPagesIsUsedAndTheModalFrameClosesByEscape)
{
    static int made = 0;
    made = 0;
    com::SetModuleClassSource(nullptr);
    com::PropertyFrameRequest r = request({kSecondPage});
    r.createPage = [](REFCLSID clsid, IPropertyPage** page) {
        ++made;
        return com::CreateObject<JournalPage<2>>(clsid == kSecondPage ? IPropertyPage::kIid : IID_NULL,
                                                 reinterpret_cast<void**>(page));
    };
    QTimer::singleShot(0, [] {
        QWidget* frame = QApplication::activeModalWidget();
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->objectName(), "propertyFrame");
        QTest::keyClick(frame, Qt::Key_Escape);
    });
    EXPECT_EQ(com::RunPropertyFrame(r), S_OK);
    EXPECT_EQ(made, 1);
    EXPECT_TRUE(before("2 show 5", "2 show 0"));
    EXPECT_TRUE(before("2 show 0", "2 deactivate"));
    EXPECT_EQ(journal().back(), "2 gone");
}

} // namespace
