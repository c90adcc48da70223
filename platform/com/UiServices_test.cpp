// The UI services: the frame with no page to show, the recorder, and the
// hand-over of the host's message boxes and dialogs to a loaded library.

#include "platform/com/HostServices.h"
#include "platform/com/Loader.h"
#include "platform/com/UiServices.h"
#include "platform/com/testserver/ComTestIds.h"
#include "platform/com/testserver/ComTesting.h"
#include "platform/win/MessageBox.h"

#include <gtest/gtest.h>

namespace {

using com::ComPtr;
using com::ComVariant;

const CLSID kNoSuchPage = com::GuidLiteral("{5E0B7C41-1D2A-4C3B-8E9F-0A1B2C3D4E5F}");

TEST(UiServicesTest, TheFrameFailsWhileNoPageCanBeMade)
{
    // The desktop frame (shown nothing headless) first makes the pages.
    OLECHAR caption[] = u"Properties";
    EXPECT_EQ(com::OleCreatePropertyFrame(nullptr, 0, 0, caption, 0, nullptr, 1, &kNoSuchPage), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(com::OleCreatePropertyFrame(nullptr, 0, 0, caption, 0, nullptr, 0, nullptr), E_INVALIDARG);
    // The desktop about box shows nothing headless and returns.
    com::Ui().ShowAboutBox({nullptr, "About", {}, {"Line"}, "1.0"});

    // A recorder answers at once with what it was told to.
    auto ui = std::make_shared<com::RecordingUiServices>();
    ui->frameResult = E_ABORT;
    com::SetUiServices(ui);
    auto object = ComPtr<IUnknown>::Attach(static_cast<IDispatch*>(new comtest::RecordingSink(IID_IDispatch)));
    IUnknown* objects[] = {object.Get()};
    EXPECT_EQ(com::OleCreatePropertyFrame(nullptr, 10, 20, caption, 1, objects, 1, &kNoSuchPage), E_ABORT);
    com::ForwardingUiServices().ShowAboutBox({nullptr, "Forwarded", {}, {}, ""});
    com::SetUiServices(nullptr);
    ASSERT_EQ(ui->frames.size(), 1u);
    EXPECT_EQ(ui->frames[0].caption, "Properties");
    EXPECT_EQ(ui->frames[0].x, 10);
    EXPECT_EQ(ui->frames[0].objects[0].Get(), object.Get());
    ASSERT_EQ(ui->aboutBoxes.size(), 1u);
    EXPECT_EQ(ui->aboutBoxes[0].title, "Forwarded");
}

TEST(UiServicesTest, ALoadedLibraryShowsThroughTheHostsSeams)
{
    ASSERT_EQ(com::RegisterServer(TV_COM_TEST_SERVER), S_OK);
    ComPtr<IDispatch> widget;
    ASSERT_EQ(CoCreateInstance(comtest::CLSID_Widget, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               widget.ReceiveVoid()),
              S_OK);

    // Seams installed after the library was loaded are followed.
    auto box = std::make_shared<win::RecordingMessageBox>();
    box->answers = {win::IDNO};
    win::SetMessageBoxPort(box);
    auto ui = std::make_shared<com::RecordingUiServices>();
    com::SetUiServices(ui);
    ComVariant answer;
    EXPECT_EQ(comtest::Call(widget.Get(), comtest::kAsk, DISPATCH_METHOD, {ComVariant::Text("Sure?")}, &answer), S_OK);
    EXPECT_EQ(comtest::Call(widget.Get(), comtest::kAbout, DISPATCH_METHOD, {}), S_OK);
    win::SetMessageBoxPort(nullptr);
    com::SetUiServices(nullptr);
    EXPECT_EQ(answer.iVal, win::IDNO);
    ASSERT_EQ(box->shown.size(), 1u);
    EXPECT_EQ(box->shown[0].text, "Sure?");
    EXPECT_EQ(box->shown[0].caption, "Widget");
    ASSERT_EQ(ui->aboutBoxes.size(), 1u);
    EXPECT_EQ(ui->aboutBoxes[0].title, "About Widget");
}

TEST(UiServicesTest, TheBlockGrowsAtItsEnd)
{
    const com::HostServices current = com::CurrentHostServices();
    EXPECT_EQ(current.version, 2u);
    EXPECT_EQ(current.size, sizeof(com::HostServices));
    EXPECT_TRUE(current.messageBoxes);
    EXPECT_TRUE(current.ui);

    // A copy's own forwarders change nothing there (they would call
    // themselves for ever).
    ASSERT_EQ(com::ApplyHostServices(current), S_OK);
    auto box = std::make_shared<win::RecordingMessageBox>();
    win::SetMessageBoxPort(box);
    EXPECT_EQ(win::MessageBox(nullptr, "Once", "T", win::MB_OK), win::IDOK);
    EXPECT_EQ(box->shown.size(), 1u);

    // A block of an older host stops before the seams: they stay as they are.
    com::HostServices older = current;
    older.size = offsetof(com::HostServices, messageBoxes);
    win::RecordingMessageBox other;
    older.messageBoxes = &other;
    ASSERT_EQ(com::ApplyHostServices(older), S_OK);
    win::MessageBox(nullptr, "Twice", "T", win::MB_OK);
    EXPECT_EQ(box->shown.size(), 2u);
    EXPECT_TRUE(other.shown.empty());
    win::SetMessageBoxPort(nullptr);
}

} // namespace
