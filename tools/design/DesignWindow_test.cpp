// The design tool's window with the library's button: the grips resize it,
// a double click asks the button for its property frame as a container's
// Properties command does, Run hands the mouse to the button and back, and
// File > Open and Save are the page's own template commands.

#include "tools/design/DesignWindow.h"

#include "platform/com/Bstr.h"
#include "platform/com/Loader.h"
#include "platform/com/UiServices.h"
#include "platform/com/Variant.h"
#include "platform/forms/CommonDialog.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <QAction>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using com::ComVariant;
using design::DesignWindow;
using design::SelectionFrame;

DISPID idOf(IDispatch* object, const char16_t* name)
{
    std::u16string text(name);
    LPOLESTR names[] = {text.data()};
    DISPID id = DISPID_UNKNOWN;
    object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    return id;
}

short shapeOf(IDispatch* object)
{
    ComVariant value;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    object->Invoke(idOf(object, u"Shape"), IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
    return value.vt == VT_I2 ? value.iVal : short(-1);
}

void setShape(IDispatch* object, short shape)
{
    ComVariant value = ComVariant::I2(shape);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    ASSERT_EQ(object->Invoke(idOf(object, u"Shape"), IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                             nullptr),
              S_OK);
}

class DesignWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(com::RegisterServer(TV_QUORVEL_LIBRARY), S_OK);
        ASSERT_EQ(CLSIDFromProgID("LUMVEX.LumvexCtrl.4", &clsid), S_OK);
        com::SetUiServices(ui);
        forms::SetDialogPort(dialogs);
        window = std::make_unique<DesignWindow>();
        ASSERT_EQ(window->CreateButton(clsid), S_OK);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        control = window->Site()->ControlAs<IDispatch>();
        ASSERT_TRUE(control);
    }

    void TearDown() override
    {
        control = {};
        window.reset();
        com::SetUiServices(nullptr);
        forms::SetDialogPort(nullptr);
    }

    QRect buttonRect() const
    {
        const RECT r = window->Site()->Rect();
        return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    }

    // Drags grip from its middle by the offset, as the mouse does.
    void drag(int grip, QPoint by)
    {
        SelectionFrame* frame = window->Selection();
        const QPoint from = frame->mapFromParent(frame->GripRect(grip).center());
        QTest::mousePress(frame, Qt::LeftButton, {}, from);
        QTest::mouseMove(frame, from + by / 2);
        QTest::mouseMove(frame, from + by);
        QTest::mouseRelease(frame, Qt::LeftButton, {}, from + by);
    }

    void doubleClickButton()
    {
        SelectionFrame* frame = window->Selection();
        QTest::mouseDClick(frame, Qt::LeftButton, {}, frame->mapFromParent(buttonRect().center()));
    }

    tv::testing::TempRoot root;
    CLSID clsid{};
    std::shared_ptr<com::RecordingUiServices> ui = std::make_shared<com::RecordingUiServices>();
    std::shared_ptr<forms::ScriptedDialogs> dialogs = std::make_shared<forms::ScriptedDialogs>();
    std::unique_ptr<DesignWindow> window;
    com::ComPtr<IDispatch> control;
};

TEST_F(DesignWindowTest, TheGripsResizeTheButtonOnTheForm)
{
    const QRect start = buttonRect();
    EXPECT_EQ(start.size(), QSize(DesignWindow::kButtonWidth, DesignWindow::kButtonHeight));
    QWidget* button = window->Site()->ControlWindow();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->geometry(), start);

    // The right bottom grip: the left top corner stays.
    drag(4, QPoint(30, 12));
    EXPECT_EQ(buttonRect(), QRect(start.topLeft(), start.size() + QSize(30, 12)));
    EXPECT_EQ(button->geometry(), buttonRect());
    EXPECT_EQ(window->Selection()->ButtonRect(), buttonRect());

    // The left grip dragged past the right side leaves the least width.
    const QRect before = buttonRect();
    drag(7, QPoint(400, 0));
    EXPECT_EQ(buttonRect(), QRect(before.right() - SelectionFrame::kMinimum + 1, before.top(),
                                  SelectionFrame::kMinimum, before.height()));
    // The top grip stops at the form's edge.
    drag(1, QPoint(0, -1000));
    EXPECT_EQ(buttonRect().top(), 0);
    EXPECT_EQ(button->geometry(), buttonRect());
}

TEST_F(DesignWindowTest, ADoubleClickAsksForThePropertiesUntilTheButtonRuns)
{
    doubleClickButton();
    ASSERT_EQ(ui->frames.size(), 1u);
    ASSERT_EQ(ui->frames[0].objects.size(), 1u);
    EXPECT_EQ(ui->frames[0].pages.size(), 1u);
    EXPECT_EQ(ui->frames[0].owner, window->Form());

    // Running: the button has the mouse and the design commands wait.
    window->RunAction()->trigger();
    EXPECT_TRUE(window->Site()->UserMode());
    EXPECT_TRUE(window->Selection()->isHidden());
    QWidget* button = window->Site()->ControlWindow();
    QTest::mouseDClick(button, Qt::LeftButton, {}, button->rect().center());
    window->ShowProperties();
    EXPECT_EQ(ui->frames.size(), 1u);

    // Back in design mode the frame opens again.
    window->RunAction()->trigger();
    EXPECT_FALSE(window->Site()->UserMode());
    EXPECT_TRUE(window->Selection()->isVisible());
    doubleClickButton();
    EXPECT_EQ(ui->frames.size(), 2u);
    // A double click beside the button is no request.
    SelectionFrame* frame = window->Selection();
    QTest::mouseDClick(frame, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(ui->frames.size(), 2u);
}

TEST_F(DesignWindowTest, TemplatesGoThroughThePagesOwnCommands)
{
    // Saved as the page saves: its title, and .kzt added to a bare name.
    setShape(control.Get(), 3);
    const fs::path bare = root.Path() / "ellipse";
    dialogs->files.push_back(bare.string());
    window->SaveTemplate();
    ASSERT_EQ(dialogs->fileRequests.size(), 1u);
    EXPECT_EQ(dialogs->fileRequests[0].title, "Save button template file");
    const fs::path saved = root.Path() / "ellipse.kzt";
    ASSERT_TRUE(fs::exists(saved));

    // Opened as the page opens, and as the command line opens.
    setShape(control.Get(), 1);
    dialogs->files.push_back(saved.string());
    window->OpenTemplate();
    ASSERT_EQ(dialogs->fileRequests.size(), 2u);
    EXPECT_EQ(dialogs->fileRequests[1].title, "Select button template file");
    EXPECT_EQ(shapeOf(control.Get()), 3);
    setShape(control.Get(), 1);
    std::string error;
    EXPECT_TRUE(window->LoadTemplate(saved, &error)) << error;
    EXPECT_EQ(shapeOf(control.Get()), 3);
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral("ellipse.kzt")));

    // A file cut short, and one that is not there, are reported.
    const std::string bytes = tv::testing::ReadRaw(saved);
    const fs::path cut = root.Path() / "cut.kzt";
    tv::testing::WriteRaw(cut, bytes.substr(0, bytes.size() / 3));
    setShape(control.Get(), 2);
    EXPECT_FALSE(window->LoadTemplate(root.Path() / "missing.kzt", &error));
    EXPECT_NE(error.find("missing.kzt"), std::string::npos);
    EXPECT_FALSE(window->LoadTemplate(cut, &error));
    EXPECT_NE(error.find("cut.kzt"), std::string::npos);

    // A cancelled dialog does nothing.
    dialogs->files.push_back(std::nullopt);
    window->OpenTemplate();
    EXPECT_EQ(dialogs->fileRequests.size(), 3u);
}

} // namespace
