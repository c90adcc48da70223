// A page made by the module's own factory and shown in the property frame:
// its window in the frame's page area, the objects it is handed, the frame
// it reaches, Help, and hiding before its window goes. Also the way back
// from a control's interface to the control object.

#include "platform/mfc/COlePropertyPage.h"

#include "platform/com/PropertyFrame.h"
#include "platform/mfc/AfxMessageBox.h"
#include "platform/mfc/COleObjectFactory.h"
#include "platform/mfc/DialogTestSupport.h"
#include "platform/mfc/OleControlTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

using com::ComPtr;

constexpr UINT kPageTemplate = 9100;
constexpr UINT kPageCaption = 9101;
constexpr int kPress = 100;
const CLSID kPageClass = com::GuidLiteral("{5B0F8E21-7C3A-4D19-A2E4-6F1B9C0D3E51}");

constexpr DialogItem kPageItems[] = {
    {IDC_STATIC, DialogItemKind::Static, "What now?", 0, 7, 7, 100, 8},
    {kPress, DialogItemKind::PushButton, "Press", 0, 7, 20, 60, 14},
};
constexpr DialogTemplate kPage{kPageTemplate, "", 160, 64, kPageItems};
const bool kPageRegistered = AfxRegisterDialogTemplate(kPage) && AfxRegisterString(kPageCaption, "Settings");

class TestPage : public COlePropertyPage {
public:
    TestPage() : COlePropertyPage(kPageTemplate, kPageCaption) { last = this; }
    ~TestPage() override { last = nullptr; }

    static TestPage* last;
    std::vector<std::string> log;
    ULONG objectsAtInit = 0;

    BOOL OnHelp(LPCTSTR) override
    {
        log.push_back("help");
        return TRUE;
    }

protected:
    BOOL OnInitDialog() override
    {
        const BOOL result = COlePropertyPage::OnInitDialog();
        GetObjectArray(&objectsAtInit);
        if (CPropertyFrameWnd* f = frame()) {
            f->GetDlgItem(IDOK)->SetWindowText("Close");
            f->GetDlgItem(IDCANCEL)->ShowWindow(win::SW_HIDE);
            f->GetDlgItem(0x3021)->ShowWindow(win::SW_HIDE);
            f->SetWindowPos(70, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            log.push_back(f->GetDlgItem(12345) ? "found a button that is not there" : "init in frame");
        }
        return result;
    }
    void OnShowWindow(BOOL show, UINT status) override
    {
        log.push_back(show ? "show" : "hide");
        COlePropertyPage::OnShowWindow(show, status);
    }
    void OnDestroy() override
    {
        log.push_back("destroy");
        COlePropertyPage::OnDestroy();
    }
};

TestPage* TestPage::last = nullptr;

class PropertyPageTest : public dialogtest::DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(kPageRegistered);
    }
};

TEST_F(PropertyPageTest, ShownInTheFrameWithItsObjectsAndHiddenBeforeItGoes)
{
    COleObjectFactory factory(kPageClass, &com::CreateObject<TestPage>, "Test.Page.1", "Test page");
    mfctest::SampleControl* first = nullptr;
    const ComPtr<IUnknown> one = mfctest::NewSampleControl(&first);
    const ComPtr<IUnknown> two = mfctest::NewSampleControl();
    // Not an automation object: a page has nothing to edit on it.
    const auto plain = ComPtr<IUnknown>::Attach(new com::ClassFactory(nullptr));

    com::PropertyFrameRequest request;
    request.caption = "Sample";
    request.objects = {one, plain, two};
    request.pages = {kPageClass};
    com::PropertyFrame frame(request);
    ASSERT_EQ(frame.Open(), S_OK);
    ComPtr<IUnknown> page(static_cast<IPropertyPage*>(TestPage::last));
    TestPage& p = *TestPage::last;

    // Built from its template inside the page area, at the template's size,
    // under its caption from the string table.
    QWidget* window = p.GetSafeHwnd();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->parentWidget(), frame.PageArea(0));
    EXPECT_FALSE(window->isWindow());
    EXPECT_EQ(window->pos(), QPoint(0, 0));
    EXPECT_EQ(window->size(), QSize(240, 104));
    EXPECT_EQ(frame.findChild<QTabWidget*>()->tabText(0), "Settings");
    EXPECT_EQ(p.objectsAtInit, 2u);
    ULONG count = 0;
    IDispatch** objects = p.GetObjectArray(&count);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(COleControl::FromIDispatch(objects[0]), first);

    // What the page did to the frame while it started.
    EXPECT_EQ(p.log.front(), "init in frame");
    EXPECT_EQ(frame.Button(com::kFrameOk)->text(), "Close");
    EXPECT_EQ(frame.pos(), QPoint(70, 60));
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(frame.Button(com::kFrameCancel)->isVisible());
    EXPECT_FALSE(frame.Button(com::kFrameApply)->isVisible());
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(frame.grab().save(folder + QStringLiteral("/property-frame-%1.png").arg(QGuiApplication::platformName())));

    QTest::mouseClick(frame.Button(com::kFrameHelp), Qt::LeftButton);
    EXPECT_EQ(p.log.back(), "help");

    // Closing: hidden first (the page still has its objects then), then
    // destroyed; the objects and the frame are let go.
    p.log.clear();
    QTest::mouseClick(frame.Button(com::kFrameOk), Qt::LeftButton);
    EXPECT_EQ(p.log, (std::vector<std::string>{"hide", "destroy"}));
    EXPECT_EQ(p.GetObjectArray(&count), nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(p.frame(), nullptr);
    EXPECT_FALSE(p.GetSafeHwnd());
}

TEST_F(PropertyPageTest, APageOnItsOwn)
{
    auto page = ComPtr<IPropertyPage>::Attach(new TestPage);
    TestPage& p = *TestPage::last;
    ULONG count = 5;
    EXPECT_EQ(p.GetObjectArray(&count), nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(p.frame(), nullptr);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(page->QueryInterface(IID_IUnknown, unknown.ReceiveVoid()), S_OK);
    ComPtr<IDispatch> none;
    EXPECT_EQ(page->QueryInterface(IID_IDispatch, none.ReceiveVoid()), E_NOINTERFACE);
    EXPECT_EQ(page->Show(win::SW_SHOW), E_UNEXPECTED);
    EXPECT_EQ(page->SetObjects(1, nullptr), E_POINTER);
    // Activated twice without a Deactivate between: refused, not rebuilt.
    QWidget area;
    const RECT rect{5, 6, 0, 0};
    ASSERT_EQ(page->Activate(&area, &rect, TRUE), S_OK);
    EXPECT_EQ(p.GetSafeHwnd()->pos(), QPoint(5, 6));
    EXPECT_EQ(page->Activate(&area, &rect, TRUE), E_UNEXPECTED);
    EXPECT_EQ(page->Deactivate(), S_OK);
    EXPECT_EQ(page->Deactivate(), S_OK);

    // A page without a template of its own cannot say its size.
    class Bare : public COlePropertyPage {
    public:
        Bare() : COlePropertyPage(9199, kPageCaption) {}
    };
    auto bare = ComPtr<IPropertyPage>::Attach(new Bare);
    PROPPAGEINFO info{};
    EXPECT_EQ(bare->GetPageInfo(&info), E_UNEXPECTED);
    EXPECT_EQ(bare->Help(nullptr), E_NOTIMPL);
    EXPECT_EQ(bare->Activate(&area, &rect, TRUE), E_FAIL);
}

TEST(ControlObjectTest, OnlyThisModulesControlsAreFound)
{
    mfctest::SampleControl* object = nullptr;
    const ComPtr<IUnknown> control = mfctest::NewSampleControl(&object);
    EXPECT_EQ(COleControl::FromIDispatch(control.Get()), object);
    EXPECT_EQ(COleControl::FromIDispatch(control.As<IOleObject>().Get()), object);
    const auto plain = ComPtr<IUnknown>::Attach(new com::ClassFactory(nullptr));
    EXPECT_EQ(COleControl::FromIDispatch(plain.Get()), nullptr);
    EXPECT_EQ(COleControl::FromIDispatch(nullptr), nullptr);
}

} // namespace
