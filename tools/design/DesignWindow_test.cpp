// The design tool's window with the library's button: the grips resize it,
// a double click asks the button for its property frame as a container's
// Properties command does, Run hands the mouse to the button and back,
// File > Open and Save read and write whole templates, and closing asks
// before changes are lost.

#include "tools/design/DesignWindow.h"

#include "platform/com/Bstr.h"
#include "platform/com/Loader.h"
#include "platform/com/UiServices.h"
#include "platform/com/Variant.h"
#include "platform/forms/CommonDialog.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/MessageBox.h"

#include <QAction>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/fsuid.h>
#include <unistd.h>

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

void setText(IDispatch* object, const char16_t* name, const std::string& text)
{
    ComVariant value = ComVariant::Text(text);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    ASSERT_EQ(object->Invoke(idOf(object, name), IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                             nullptr),
              S_OK);
}

std::string textOf(IDispatch* object, const char16_t* name)
{
    ComVariant value;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    object->Invoke(idOf(object, name), IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
    return value.vt == VT_BSTR ? com::Utf8FromBstr(value.bstrVal) : std::string("?");
}

short callText(IDispatch* object, const char16_t* method, const std::string& text)
{
    ComVariant argument = ComVariant::Text(text);
    DISPPARAMS params{&argument, nullptr, 1, 0};
    ComVariant result;
    object->Invoke(idOf(object, method), IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    return result.vt == VT_I2 ? result.iVal : short(0);
}

class DesignWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(com::RegisterServer(TV_QUORVEL_LIBRARY), S_OK);
        ASSERT_EQ(CLSIDFromProgID("LUMVEX.LumvexCtrl.4", &clsid), S_OK);
        com::SetUiServices(ui);
        forms::SetDialogPort(dialogs);
        win::SetMessageBoxPort(boxes);
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
        win::SetMessageBoxPort(nullptr);
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
    std::shared_ptr<win::RecordingMessageBox> boxes = std::make_shared<win::RecordingMessageBox>();
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

TEST_F(DesignWindowTest, TemplatesAreWrittenWholeAndReadInEitherForm)
{
    // Saved with the page's own title, .kzt added to a bare name, in the
    // extended form, with the media and the rectangle.
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quorvel Design - Untitled"));
    QImage picture(12, 8, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const fs::path bmp = root.Path() / "picture.bmp";
    ASSERT_TRUE(picture.save(QString::fromStdString(bmp.string()), "BMP"));
    setShape(control.Get(), 3);
    setText(control.Get(), u"Picture", bmp.string());
    const fs::path bare = root.Path() / "ellipse";
    dialogs->files.push_back(bare.string());
    EXPECT_TRUE(window->SaveTemplate());
    ASSERT_EQ(dialogs->fileRequests.size(), 1u);
    EXPECT_EQ(dialogs->fileRequests[0].title, "Save button template file");
    const fs::path saved = root.Path() / "ellipse.kzt";
    ASSERT_TRUE(fs::exists(saved));
    EXPECT_EQ(tv::testing::ReadRaw(saved).substr(0, 4), "KZTM");
    EXPECT_EQ(window->File(), saved);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quorvel Design - ellipse.kzt"));
    EXPECT_FALSE(window->HasUnsavedChanges());

    // Opened as File > Open opens it: the look, the media and the place.
    setShape(control.Get(), 1);
    setText(control.Get(), u"Picture", "");
    window->Site()->SetRect(RECT{10, 10, 50, 30});
    EXPECT_TRUE(window->HasUnsavedChanges());
    boxes->answers.push_back(win::IDNO);
    dialogs->files.push_back(saved.string());
    window->OpenTemplate();
    ASSERT_EQ(boxes->shown.size(), 1u) << "no question before the changes go";
    EXPECT_EQ(boxes->shown[0].text, "Save the changes to ellipse.kzt before opening another template?");
    ASSERT_EQ(dialogs->fileRequests.size(), 2u);
    EXPECT_EQ(dialogs->fileRequests[1].title, "Select button template file");
    EXPECT_EQ(shapeOf(control.Get()), 3);
    EXPECT_EQ(textOf(control.Get(), u"Picture"), bmp.string());
    // Where it stood when it was saved: the middle of the form.
    EXPECT_EQ(buttonRect(), QRect(180, 120, DesignWindow::kButtonWidth, DesignWindow::kButtonHeight));
    EXPECT_FALSE(window->HasUnsavedChanges());

    // A plain template opens through the menu and the command line alike,
    // without a word.
    const fs::path plain = root.Path() / "plain.kzt";
    setShape(control.Get(), 2);
    ASSERT_EQ(callText(control.Get(), u"SaveTemplate", plain.string()), 1);
    setShape(control.Get(), 4);
    boxes->answers.push_back(win::IDNO);
    dialogs->files.push_back(plain.string());
    window->OpenTemplate();
    EXPECT_EQ(shapeOf(control.Get()), 2);
    EXPECT_EQ(boxes->shown.size(), 2u);
    setShape(control.Get(), 1);
    std::string error;
    EXPECT_TRUE(window->LoadTemplate(plain, &error)) << error;
    EXPECT_EQ(shapeOf(control.Get()), 2);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quorvel Design - plain.kzt"));

    // A file cut short, and one that is not there, are reported and change
    // nothing; through the menu in a box that names the file.
    const std::string bytes = tv::testing::ReadRaw(saved);
    const fs::path cut = root.Path() / "cut.kzt";
    tv::testing::WriteRaw(cut, bytes.substr(0, bytes.size() / 3));
    EXPECT_FALSE(window->LoadTemplate(root.Path() / "missing.kzt", &error));
    EXPECT_NE(error.find("missing.kzt"), std::string::npos);
    EXPECT_FALSE(window->LoadTemplate(cut, &error));
    EXPECT_NE(error.find("cut.kzt"), std::string::npos);
    dialogs->files.push_back(cut.string());
    window->OpenTemplate();
    ASSERT_EQ(boxes->shown.size(), 3u);
    EXPECT_NE(boxes->shown[2].text.find("cut.kzt"), std::string::npos);
    EXPECT_EQ(boxes->shown[2].owner, window.get());
    EXPECT_EQ(shapeOf(control.Get()), 2);
    EXPECT_EQ(window->File(), plain);

    // A cancelled dialog does nothing.
    dialogs->files.push_back(std::nullopt);
    window->OpenTemplate();
    dialogs->files.push_back(std::nullopt);
    EXPECT_FALSE(window->SaveTemplate());
    EXPECT_EQ(dialogs->fileRequests.size(), 6u);
    EXPECT_EQ(boxes->shown.size(), 3u);
}

TEST_F(DesignWindowTest, ASaveThatFailsKeepsTheFileAndSaysSo)
{
    // The folder is not there, or it is a file.
    setShape(control.Get(), 3);
    tv::testing::WriteRaw(root.Path() / "file", "x");
    for (const fs::path& target : {root.Path() / "no" / "such.kzt", root.Path() / "file" / "under.kzt"}) {
        SCOPED_TRACE(target.string());
        dialogs->files.push_back(target.string());
        EXPECT_FALSE(window->SaveTemplate());
        ASSERT_FALSE(boxes->shown.empty());
        EXPECT_NE(boxes->shown.back().text.find(target.string()), std::string::npos) << boxes->shown.back().text;
        EXPECT_TRUE(window->File().empty());
        EXPECT_TRUE(window->HasUnsavedChanges());
    }

    // A read-only folder: the template there stays as it was.
    const fs::path locked = root.Path() / "locked";
    fs::create_directories(locked);
    const fs::path file = locked / "kept.kzt";
    std::string error;
    ASSERT_TRUE(window->SaveTemplate(file, &error)) << error;
    const std::string before = tv::testing::ReadRaw(file);
    setShape(control.Get(), 1);
    fs::permissions(locked, fs::perms(0555));
    fs::permissions(root.Path(), fs::perms(0755));
    const bool asRoot = ::geteuid() == 0;
    if (asRoot)
        ::setfsuid(65534);
    const bool saved = window->SaveTemplate(file, &error);
    if (asRoot)
        ::setfsuid(0);
    fs::permissions(locked, fs::perms(0755));
    EXPECT_FALSE(saved);
    EXPECT_NE(error.find("kept.kzt"), std::string::npos) << error;
    EXPECT_EQ(tv::testing::ReadRaw(file), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(locked), fs::directory_iterator()), 1);
    EXPECT_TRUE(window->HasUnsavedChanges());
    EXPECT_TRUE(window->windowTitle().endsWith(QLatin1Char('*'))) << window->windowTitle().toStdString();
}

TEST_F(DesignWindowTest, ClosingAsksOnlyWhenChangesWouldBeLost)
{
    // Nothing changed: it closes without a word.
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(boxes->shown.empty());

    // A change: Cancel keeps the window, and so does Yes with the save
    // dialog cancelled.
    window->show();
    setShape(control.Get(), 3);
    boxes->answers = {win::IDCANCEL, win::IDYES};
    EXPECT_FALSE(window->close());
    dialogs->files.push_back(std::nullopt);
    EXPECT_FALSE(window->close());
    ASSERT_EQ(boxes->shown.size(), 2u);
    EXPECT_EQ(boxes->shown[0].text, "Save the button in a template before closing?");
    EXPECT_EQ(boxes->shown[0].type & 0xF, win::MB_YESNOCANCEL);
    EXPECT_EQ(boxes->shown[0].owner, window.get());
    EXPECT_TRUE(window->isVisible());

    // Yes with a name: saved, then closed.
    const fs::path file = root.Path() / "closing.kzt";
    boxes->answers = {win::IDYES};
    dialogs->files.push_back(file.string());
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(fs::exists(file));

    // Saved: no question; changed again: No closes without saving.
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(boxes->shown.size(), 3u);
    window->show();
    setShape(control.Get(), 1);
    const std::string before = tv::testing::ReadRaw(file);
    boxes->answers = {win::IDNO};
    EXPECT_TRUE(window->close());
    ASSERT_EQ(boxes->shown.size(), 4u);
    EXPECT_EQ(boxes->shown[3].text, "Save the changes to closing.kzt before closing?");
    EXPECT_EQ(tv::testing::ReadRaw(file), before);

    // Opening another template with changes: Cancel keeps them.
    window->show();
    boxes->answers = {win::IDCANCEL};
    window->OpenTemplate();
    EXPECT_EQ(shapeOf(control.Get()), 1);
    EXPECT_EQ(dialogs->fileRequests.size(), 2u);
}

} // namespace
