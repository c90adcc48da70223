#include "platform/help/HtmlHelp.h"

#include "platform/testing/TempRoot.h"
#include "platform/win/Desktop.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(HtmlHelp, OpensThePageOrNothing)
{
    tv::testing::TempRoot root;
    const auto folder = root.ProgramFolder() / "tallyvanehelp";
    std::filesystem::create_directories(folder / "Options_Screen");
    std::ofstream(folder / "Options_Screen" / "Misc_Options.htm") << "<html></html>";
    std::ofstream(root.ProgramFolder() / "secret.htm") << "x";

    auto opener = std::make_shared<win::FakeUrlOpener>();
    win::SetUrlOpener(opener);
    EXPECT_TRUE(help::DisplayTopic(folder, "Options_Screen\\Misc_Options.htm"));
    EXPECT_TRUE(help::DisplayTopic(folder, "Options_Screen/Misc_Options.htm#top"));
    ASSERT_EQ(opener->opened.size(), 2u);
    EXPECT_EQ(opener->opened[0], "file://" + (folder / "Options_Screen" / "Misc_Options.htm").string());
    EXPECT_EQ(opener->opened[1], opener->opened[0] + "#top");

    // A missing topic, a missing help folder, a path out of the folder.
    EXPECT_FALSE(help::DisplayTopic(folder, "Options_Screen\\calendar_Options.htm"));
    EXPECT_FALSE(help::DisplayTopic(root.Path() / "nohelp", "Options_Screen\\Misc_Options.htm"));
    EXPECT_FALSE(help::DisplayTopic(folder, "..\\secret.htm"));
    EXPECT_FALSE(help::DisplayTopic(folder, ""));
    EXPECT_FALSE(help::DisplayTopic(folder, "Options_Screen"));
    EXPECT_EQ(opener->opened.size(), 2u);

    // Each miss says which page was looked for.
    std::string message;
    EXPECT_FALSE(help::DisplayTopic(folder, "Options_Screen\\calendar_Options.htm", &message));
    EXPECT_EQ(message,
              "The help page \"" + (folder / "Options_Screen" / "calendar_Options.htm").string() + "\" is not installed.");
    EXPECT_FALSE(help::DisplayTopic(folder, "", &message));
    EXPECT_EQ(message, "The help page \"" + (folder / "index.htm").string() + "\" is not installed.");
    std::ofstream(folder / "index.htm") << "<html></html>";
    EXPECT_TRUE(help::DisplayTopic(folder, "", &message));
    EXPECT_EQ(opener->opened.back(), "file://" + (folder / "index.htm").string());
    win::SetUrlOpener(nullptr);
}

} // namespace
