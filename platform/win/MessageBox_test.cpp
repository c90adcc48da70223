#include "platform/win/MessageBox.h"

#include <gtest/gtest.h>

namespace {

TEST(MessageBoxTest, RecordsAndAnswersWithTheDefaultButton)
{
    auto box = std::make_shared<win::RecordingMessageBox>();
    win::SetMessageBoxPort(box);
    EXPECT_EQ(win::MessageBox(nullptr, "Text", "Caption", win::MB_ICONINFORMATION), win::IDOK);
    EXPECT_EQ(win::MessageBox(nullptr, "Sure?", nullptr, win::MB_YESNOCANCEL | win::MB_DEFBUTTON2), win::IDNO);
    box->answers = {win::IDRETRY};
    EXPECT_EQ(win::MessageBox(nullptr, nullptr, "X", win::MB_RETRYCANCEL), win::IDRETRY);
    win::SetMessageBoxPort(nullptr);
    ASSERT_EQ(box->shown.size(), 3u);
    EXPECT_EQ(box->shown[0].text, "Text");
    EXPECT_EQ(box->shown[0].caption, "Caption");
    EXPECT_EQ(box->shown[0].type, win::MB_ICONINFORMATION);
    EXPECT_EQ(box->shown[1].caption, "Error");
    EXPECT_EQ(box->shown[2].text, "");

    // Headless, the desktop box shows nothing and answers at once.
    EXPECT_EQ(win::MessageBox(nullptr, "Nobody sees this", "Headless", win::MB_OKCANCEL | win::MB_DEFBUTTON2),
              win::IDCANCEL);
    EXPECT_EQ(win::DefaultMessageBoxAnswer(win::MB_OK | win::MB_DEFBUTTON3), win::IDOK);
}

} // namespace
