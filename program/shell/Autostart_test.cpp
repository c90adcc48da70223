#include "program/shell/Autostart.h"

#include "program/services/Mod_Registry.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/testing/TempRoot.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace Mod_Registry;
using winreg::HKEY_LOCAL_MACHINE;

namespace {

void createRunKey()
{
    winreg::HKEY key = 0;
    ASSERT_EQ(winreg::RegCreateKeyEx(HKEY_LOCAL_MACHINE, kRunKey, 0, winreg::KEY_ALL_ACCESS, &key, nullptr), 0);
    winreg::RegCloseKey(key);
}

// Autostart::Install for one test.
class Installed {
public:
    Installed() { Autostart::Install(); }
    ~Installed() { Autostart::Uninstall(); }
};

} // namespace

TEST(Autostart, TheEntryFollowsTheRunValue)
{
    tv::testing::TempRoot root;
    // By default the entry sits beside the configuration folder, inside the
    // temporary root here.
    EXPECT_EQ(Autostart::EntryFile(), root.Path() / "autostart" / "tallyvane.desktop");
    createRunKey();
    Installed installed;
    const auto entry = Autostart::EntryFile();
    EXPECT_FALSE(std::filesystem::exists(entry));

    // The options window ticks "Run Tallyvane on Startup".
    ASSERT_EQ(WriteRegValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, vb::App::Path() + "/tallyvane", winreg::REG_SZ), 0);
    ASSERT_TRUE(vb::fso::FileExists(entry));
    const std::string text = vb::fso::ReadAllBytes(entry);
    EXPECT_TRUE(text.starts_with("[Desktop Entry]\nType=Application\nName=Tallyvane\n")) << text;
    const std::string exec = "Exec=\"" + QCoreApplication::applicationFilePath().toStdString() + "\"\n";
    EXPECT_NE(text.find(exec), std::string::npos) << text;

    // Other settings leave it alone; clearing the box removes it.
    ASSERT_EQ(WriteRegValue(HKEY_LOCAL_MACHINE, kRunKey, "Other", "x", winreg::REG_SZ), 0);
    EXPECT_TRUE(vb::fso::FileExists(entry));
    ASSERT_EQ(DeleteRegValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue), 0);
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_TRUE(std::filesystem::exists(root.Path() / "autostart")) << "only the entry goes";

    // A change made by a process that does not mirror it (an older release,
    // a hand edit) is taken over at the next start.
    const pid_t pid = ::fork();
    if (pid == 0) {
        Autostart::Uninstall();
        ::_exit(WriteRegValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, "x", winreg::REG_SZ) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_TRUE(Autostart::Sync());
    EXPECT_TRUE(vb::fso::FileExists(entry));

    // The whole Run key going takes the entry with it.
    ASSERT_EQ(winreg::RegDeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft"), 0);
    EXPECT_FALSE(std::filesystem::exists(entry));
}

TEST(Autostart, OddProgramPathsAreQuoted)
{
    auto execLine = [](const std::string& path) {
        const std::string text = Autostart::EntryText(path);
        const size_t at = text.find("Exec=");
        return text.substr(at, text.find('\n', at) - at);
    };
    EXPECT_EQ(execLine("/opt/tallyvane/bin/tallyvane"), "Exec=\"/opt/tallyvane/bin/tallyvane\"");
    EXPECT_EQ(execLine("/home/Jo Smith/bin/tallyvane"), "Exec=\"/home/Jo Smith/bin/tallyvane\"");
    // Inside quotes \ " ` $ take a backslash, which the entry's own escaping
    // doubles; % is doubled for the field codes.
    EXPECT_EQ(execLine("/a\"b`c$d\\e%f"), "Exec=\"/a\\\\\"b\\\\`c\\\\$d\\\\\\\\e%%f\"");
}

TEST(Autostart, AnotherFolderAndAnUnreadableRegistry)
{
    tv::testing::TempRoot root;
    Autostart::SetFolder(root.Path() / "elsewhere");
    createRunKey();
    ASSERT_EQ(WriteRegValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, "x", winreg::REG_SZ), 0);
    ASSERT_TRUE(Autostart::Sync());
    const auto entry = root.Path() / "elsewhere" / "tallyvane.desktop";
    ASSERT_TRUE(vb::fso::FileExists(entry));

    // A damaged registry file says nothing about the setting: the entry stays.
    vb::fso::WriteAllBytesAtomic(vb::AppPaths::RegistryFile(), "TALLYVANE-REGISTRY 1\n[HKEY_LOCAL");
    EXPECT_TRUE(Autostart::Sync());
    EXPECT_TRUE(vb::fso::FileExists(entry));
    Autostart::SetFolder({});
}
