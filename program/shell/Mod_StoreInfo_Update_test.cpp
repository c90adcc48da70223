// The version file and the version compare: the usual file, line ends, files
// that do not parse whole, unsafe names, and versions compared as numbers.

#include "program/shell/Mod_StoreInfo_Update.h"

#include "platform/testing/TempRoot.h"
#include "program/services/Mod_Registry.h"
#include "program/shell/FirstRun.h"

#include <gtest/gtest.h>

namespace {

using Mod_AutoUpdate::UpdateVersion;
using Mod_StoreInfo::ParseVersionFile;
using Strings = std::vector<std::string>;

struct Parsed {
    bool ok = false;
    UpdateVersion version{7, 7, 7};
    Strings names{"untouched"};
};

Parsed parse(std::string_view text)
{
    Parsed p;
    p.ok = ParseVersionFile(text, p.version, p.names);
    return p;
}

TEST(ParseVersionFile, ReadsTheVersionAndTheNamesInOrder)
{
    Parsed p = parse("VERSION:2.0.0\nNAME:data.bin;setup.run\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.version, (UpdateVersion{2, 0, 0}));
    EXPECT_EQ(p.names, (Strings{"data.bin", "setup.run"}));

    // Anything after the second line end is ignored; the markers go wherever
    // they stand; one name is a list too.
    p = parse("VERSION:1.2.3VERSION:\nNAME:setup.runNAME:\nSHA256:abc\nmore");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.version, (UpdateVersion{1, 2, 3}));
    EXPECT_EQ(p.names, (Strings{"setup.run"}));

    // Big numbers are numbers, not an overflow.
    p = parse("VERSION:33.120.4000\nNAME:setup.run\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.version, (UpdateVersion{33, 120, 4000}));
}

TEST(ParseVersionFile, DropsOneCrAndTheBlanksAroundNames)
{
    Parsed p = parse("VERSION: 2.1.0\r\nNAME: data.bin ;setup.run \r\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.version, (UpdateVersion{2, 1, 0}));
    EXPECT_EQ(p.names, (Strings{"data.bin", "setup.run"}));
    // Only one: a second CR leaves the version unreadable.
    EXPECT_FALSE(parse("VERSION:2.1.0\r\r\nNAME:setup.run\n").ok);
}

TEST(ParseVersionFile, AFileThatDoesNotParseWholeOffersNothing)
{
    const char* bodies[] = {
        "",                                        // the fetch brought nothing
        "VERSION:2.0.0",                           // no line end at all
        "VERSION:2.0.0\nNAME:setup.run",           // no second line end
        "VERSION:2.0\nNAME:setup.run\n",           // one dot
        "VERSION:.2.0\nNAME:setup.run\n",          // leading dot
        "VERSION:2..0\nNAME:setup.run\n",          // empty minor
        "VERSION:2.0.\nNAME:setup.run\n",          // empty build
        "VERSION:2.0.0.1\nNAME:setup.run\n",       // four numbers
        "VERSION:2.0.x\nNAME:setup.run\n",         // not a number
        "VERSION:-2.0.0\nNAME:setup.run\n",        // signed
        "VERSION:2.5e1.0\nNAME:setup.run\n",       // not whole
        "VERSION:1234567890.0.0\nNAME:setup.run\n", // too long to be a version
        "VERSION:\nNAME:setup.run\n",              // no version
        "<html><body>404</body></html>\n\n",       // an error page
    };
    for (const char* body : bodies) {
        Parsed p = parse(body);
        EXPECT_FALSE(p.ok) << body;
        EXPECT_EQ(p.version, (UpdateVersion{7, 7, 7})) << body;
        EXPECT_EQ(p.names, (Strings{"untouched"})) << body;
    }
}

TEST(ParseVersionFile, AnEmptyListOrAnUnsafeNameOffersNothing)
{
    const std::string lists[] = {
        "NAME:",        "NAME:   ",        "NAME:setup.run;", "NAME:;setup.run", "NAME:a.bin;;setup.run",
        "NAME:../setup.run", "NAME:..",    "NAME:a/setup.run", "NAME:/tmp/setup.run", "NAME:a\\setup.run",
        "NAME:..\\setup.run", "NAME:set..up", std::string("NAME:set\0up", 11),
        // The folder itself, alone or among the names.
        "NAME:.", "NAME: . ", "NAME:data.bin;.;setup.run", "NAME:setup.run;.",
    };
    for (const std::string& list : lists) {
        Parsed p = parse("VERSION:9.0.0\n" + list + "\n");
        EXPECT_FALSE(p.ok) << list;
        EXPECT_EQ(p.names, (Strings{"untouched"})) << list;
    }
    // A list far longer than any update's is no update either; one of a few
    // hundred names still is.
    auto listOf = [](int count) {
        std::string names = "NAME:";
        for (int i = 0; i < count; ++i)
            names += (i ? ";f" : "f") + std::to_string(i);
        return "VERSION:9.0.0\n" + names + "\n";
    };
    EXPECT_FALSE(parse(listOf(100000)).ok);
    EXPECT_FALSE(parse(listOf(Mod_StoreInfo::kMaxUpdateFiles + 1)).ok);
    EXPECT_EQ(parse(listOf(Mod_StoreInfo::kMaxUpdateFiles)).names.size(), size_t(Mod_StoreInfo::kMaxUpdateFiles));
    EXPECT_GE(Mod_StoreInfo::kMaxUpdateFiles, 100);
    // Names that only look odd are fine.
    Parsed p = parse("VERSION:9.0.0\nNAME:.hidden;set up (1).run\n");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.names, (Strings{".hidden", "set up (1).run"}));
}

TEST(VersionFileUrl, BuildsTheAddressOfTheVersionFile)
{
    using Mod_StoreInfo::VersionFileUrl;
    EXPECT_EQ(VersionFileUrl(""), "");
    EXPECT_EQ(VersionFileUrl("  "), "");
    EXPECT_EQ(VersionFileUrl("updates.example.com"),
              "http://updates.example.com/updateinfo/tallyvane/tallyvane_version.txt");
    EXPECT_EQ(VersionFileUrl("https://example.com/site/"),
              "https://example.com/site/updateinfo/tallyvane/tallyvane_version.txt");
    EXPECT_EQ(VersionFileUrl("http://127.0.0.1:8080"),
              "http://127.0.0.1:8080/updateinfo/tallyvane/tallyvane_version.txt");
}

TEST(TransferErrorMessage, TheWebAddressThenWhy)
{
    EXPECT_EQ(Mod_StoreInfo::TransferErrorMessage("https://www.example.com/tallyvane", ""),
              "Error in transfer, please visit https://www.example.com/tallyvane for the update.");
    EXPECT_EQ(Mod_StoreInfo::TransferErrorMessage("w", "550 Not found."),
              "Error in transfer, please visit w for the update.\r\n\r\n550 Not found.");
}

class IsUpToDate : public ::testing::Test {
protected:
    void SetUp() override { FirstRun::Run(); }

    static void installed(const std::string& version)
    {
        Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "Version",
                                    vb::Variant(version), winreg::REG_SZ);
    }
    static bool upToDate(UpdateVersion v) { return Mod_AutoUpdate::IsUpToDate(v); }

    tv::testing::TempRoot root;
};

TEST_F(IsUpToDate, ComparesMajorThenMinorThenBuild)
{
    installed("1.2.3");
    EXPECT_FALSE(upToDate({1, 2, 4}));
    EXPECT_TRUE(upToDate({1, 2, 3}));
    EXPECT_TRUE(upToDate({1, 2, 2}));
    EXPECT_TRUE(upToDate({0, 99, 99}));
    // Same score once, different versions.
    installed("1.20.0");
    EXPECT_FALSE(upToDate({2, 0, 0}));
    installed("1.0.50");
    EXPECT_FALSE(upToDate({1, 1, 0}));
    // No overflow, so no update offered over and over.
    installed("33.0.0");
    EXPECT_TRUE(upToDate({33, 0, 0}));
    EXPECT_TRUE(upToDate({32, 767, 1}));
    EXPECT_FALSE(upToDate({33, 0, 1}));
}

TEST_F(IsUpToDate, AMissingOrUnreadableVersionIsZero)
{
    Mod_Registry::DeleteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "Version");
    EXPECT_TRUE(upToDate({0, 0, 0}));
    EXPECT_FALSE(upToDate({0, 0, 1}));
    for (const char* text : {"", "1.2", "one.two.three", "1.2.3.4"}) {
        installed(text);
        EXPECT_FALSE(upToDate({0, 0, 1})) << text;
    }
}

TEST_F(IsUpToDate, TheStartWritesTheBuildsVersionWhenItDiffers)
{
    const std::string built = Mod_AutoUpdate::BuildVersion().Text();
    installed("0.0.1");
    Mod_AutoUpdate::WriteBuildVersion();
    EXPECT_EQ(Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "Version"), built);
    EXPECT_TRUE(upToDate(Mod_AutoUpdate::BuildVersion()));
    Mod_Registry::DeleteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "Version");
    Mod_AutoUpdate::WriteBuildVersion();
    EXPECT_EQ(Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "Version"), built);
}

} // namespace
