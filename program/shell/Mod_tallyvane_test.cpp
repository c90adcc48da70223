#include "program/shell/Mod_tallyvane.h"

#include "program/reports/ReportsState.h"
#include "program/reports/testdata/FileEvents.h"
#include "program/services/Mod_Registry.h"
#include "program/services/ShellState.h"
#include "program/shell/Autostart.h"
#include "program/shell/FirstRun.h"
#include "program/shell/Mod_AutoUpdate.h"
#include "program/shell/ShellTestSupport.h"
#include "program/shell/frmAbout.h"
#include "program/shell/frmMain.h"
#include "program/shell/frmTallyvane.h"
#include "program/shell/frmTip.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/forms/Runtime.h"
#include "platform/report/DataEnvironment.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

#include <sys/fsuid.h>
#include <unistd.h>

using namespace Mod_Registry;
using winreg::HKEY_CURRENT_USER;
using winreg::REG_SZ;

TEST(Mod_tallyvane, LoadSettingsFillsTheMailSettingsAndTheDatabaseName)
{
    tv::testing::TempRoot root;
    tv::ResetShellState();
    FirstRun::Run();
    // A fresh install opens the example database, with no mail settings.
    Mod_tallyvane::LoadSettings();
    EXPECT_EQ(tv::Shell().g_DatabaseFileName, "Tallyvane_ExampleDB.mdb");
    EXPECT_EQ(tv::Shell().g_SMTPMailServer, "");

    WriteRegValue(HKEY_CURRENT_USER, kEMailKey, "SMTPMailServer", "mail.example.com", REG_SZ);
    WriteRegValue(HKEY_CURRENT_USER, kEMailKey, "OriginatorsName", "Lease Office", REG_SZ);
    WriteRegValue(HKEY_CURRENT_USER, kEMailKey, "OriginatorsEmail", "leases@example.com", REG_SZ);
    WriteRegValue(HKEY_CURRENT_USER, kProgramKey, "UseExampleDB", "False", REG_SZ);
    Mod_tallyvane::LoadSettings();
    EXPECT_EQ(tv::Shell().g_SMTPMailServer, "mail.example.com");
    EXPECT_EQ(tv::Shell().g_OriginatorsName, "Lease Office");
    EXPECT_EQ(tv::Shell().g_OriginatorsEmail, "leases@example.com");
    EXPECT_EQ(tv::Shell().g_DatabaseFileName, "Tallyvane.mdb");

    // Numeric text counts as a Boolean too; what reads as neither, or
    // nothing at all, takes the installer's default instead of stopping.
    for (const auto& [text, file] : std::vector<std::pair<const char*, const char*>>{
             {"True", "Tallyvane_ExampleDB.mdb"},
             {"0", "Tallyvane.mdb"},
             {"1", "Tallyvane_ExampleDB.mdb"},
             {"FALSE", "Tallyvane.mdb"},
             {"", "Tallyvane_ExampleDB.mdb"},
             {"maybe", "Tallyvane_ExampleDB.mdb"}}) {
        WriteRegValue(HKEY_CURRENT_USER, kProgramKey, "UseExampleDB", text, REG_SZ);
        Mod_tallyvane::LoadSettings();
        EXPECT_EQ(tv::Shell().g_DatabaseFileName, file) << '"' << text << '"';
    }
    DeleteRegValue(HKEY_CURRENT_USER, kProgramKey, "UseExampleDB");
    Mod_tallyvane::LoadSettings();
    EXPECT_EQ(tv::Shell().g_DatabaseFileName, "Tallyvane_ExampleDB.mdb");
    tv::ResetShellState();
}

namespace {

namespace fs = std::filesystem;

class ProgramStart : public tv::testing::ShellFixture {
protected:
    void TearDown() override
    {
        vb::SetUnhandledErrorHandler(nullptr);
        Autostart::Uninstall();
        report::ResetDataEnvironment1();
        Mod_AutoUpdate::ResetUpdateState();
        ShellFixture::TearDown();
    }
};

// A schedules file far too large to be one (junk lines) is refused with a
// message, untouched and unread: the main window comes up with no schedules.
TEST_F(ProgramStart, AHugeSchedulesFileIsRefusedAndTheMainWindowStillComesUp)
{
    const fs::path path = root.ProgramFolder() / "ReportScheduler.xml";
    {
        std::ofstream out(path, std::ios::binary);
        const std::string line = std::string(98, '#') + "\r\n";
        for (int i = 0; i < 50 * 1024 * 1024 / 100; ++i)
            out << line;
    }
    const auto size = fs::file_size(path);
    const auto modified = fs::last_write_time(path);
    forms::InstallErrorHandler();
    filetest::FileEvents events(path);
    ASSERT_TRUE(events.Watching());

    ASSERT_TRUE(Mod_tallyvane::Main());
    ASSERT_NE(frmTallyvane::IfLoaded(), nullptr);
    EXPECT_TRUE(frmTallyvane::IfLoaded()->Visible());
    // Nothing waits on the file: it is never opened, let alone read.
    const auto seen = events.Take();
    EXPECT_EQ(seen.opened, 0);
    EXPECT_EQ(seen.written, 0);
    EXPECT_EQ(fs::file_size(path), size);
    EXPECT_EQ(fs::last_write_time(path), modified);
    EXPECT_FALSE(tv::Reports().g_ScheduledTasks);

    ASSERT_EQ(msgbox->shown.size(), 1u);
    EXPECT_NE(msgbox->shown[0].prompt.find(path.string()), std::string::npos) << msgbox->shown[0].prompt;
    EXPECT_NE(msgbox->shown[0].prompt.find("16 MB"), std::string::npos) << msgbox->shown[0].prompt;
}

// A later start's call: the main calendar window comes forward, opened
// again when it was closed to the notification area; before the start has
// shown the windows, and after the end, the call does nothing.
TEST_F(ProgramStart, ALaterStartsCallBringsTheMainWindowForward)
{
    Mod_tallyvane::ComeForward();
    EXPECT_EQ(forms::Forms().Count(), 0);
    ASSERT_TRUE(Mod_tallyvane::Main());
    vb::SaveSetting("Tallyvane", "frmTallyvane", "ShowCloseMenu", "False");
    ASSERT_NE(frmTallyvane::IfLoaded(), nullptr);
    frmTallyvane::IfLoaded()->Unload();
    ASSERT_EQ(frmTallyvane::IfLoaded(), nullptr);
    Mod_tallyvane::ComeForward();
    ASSERT_NE(frmTallyvane::IfLoaded(), nullptr);
    EXPECT_TRUE(frmTallyvane::IfLoaded()->Visible());

    Mod_tallyvane::UnloadEveryForm();
    Mod_tallyvane::ComeForward();
    EXPECT_EQ(forms::Forms().Count(), 0);
}

// A database that lacks tables of the schema, or holds one it cannot read:
// the start names them before the main window shows them empty, and goes on.
struct BrokenDatabase {
    const char* name;
    const char* change = nullptr;
    const char* damaged = nullptr;
    const char* told = "";
};
void PrintTo(const BrokenDatabase& b, std::ostream* os)
{
    *os << b.name;
}

class StartOnABrokenDatabase : public ProgramStart, public ::testing::WithParamInterface<BrokenDatabase> {};

TEST_P(StartOnABrokenDatabase, NamesTheTablesAndTheMainWindowStillComesUp)
{
    const fs::path file = root.ProgramFolder() / Mod_tallyvane::kExampleDatabaseFileName;
    if (GetParam().change)
        tv::testing::OnDatabaseFile(file, GetParam().change);
    if (GetParam().damaged)
        tv::testing::DamageTable(file, GetParam().damaged);
    forms::InstallErrorHandler();
    ASSERT_TRUE(Mod_tallyvane::Main());
    ASSERT_NE(frmTallyvane::IfLoaded(), nullptr);
    EXPECT_TRUE(frmTallyvane::IfLoaded()->Visible());
    ASSERT_FALSE(msgbox->shown.empty());
    const std::string& told = msgbox->shown[0].prompt;
    EXPECT_NE(told.find(file.string()), std::string::npos) << told;
    EXPECT_NE(told.find(GetParam().told), std::string::npos) << told;
    EXPECT_EQ(msgbox->shown[0].buttons, forms::vbExclamation);
}

INSTANTIATE_TEST_SUITE_P(
    Database, StartOnABrokenDatabase,
    ::testing::Values(BrokenDatabase{"StoresDropped", "DROP TABLE Stores", nullptr, "It lacks the table Stores."},
                      BrokenDatabase{"TwoDropped", "DROP TABLE Sales; DROP TABLE CalInfo", nullptr,
                                     "It lacks the tables Sales and CalInfo."},
                      BrokenDatabase{"StoresDamaged", nullptr, "Stores",
                                     "It is damaged: the table Stores cannot be read whole."}),
    [](const auto& info) { return std::string(info.param.name); });

// The start as the program makes it, on settings it cannot use: the problem
// told once, and every window still made with its buttons.
class StartOnUnusableSettings : public ProgramStart {
protected:

    // Starts, opens the tip window (the start shows it: the setting cannot
    // be read) and the about box from the tray, and clicks their buttons.
    void startAndUseTheWindows()
    {
        const size_t boxesBefore = msgbox->shown.size();
        ASSERT_TRUE(Mod_tallyvane::Start());
        ASSERT_EQ(msgbox->shown.size(), boxesBefore + 1);
        told = msgbox->shown.back().prompt;
        EXPECT_NE(told.find(vb::AppPaths::RegistryFile().string()), std::string::npos) << told;

        frmTip* tip = frmTip::IfLoaded();
        ASSERT_NE(tip, nullptr);
        EXPECT_TRUE(tip->Visible());
        EXPECT_NE(tip->cmdNextTip.Object().Get(), nullptr);
        EXPECT_NE(tip->cmdOK.Object().Get(), nullptr);
        QTest::mouseClick(tip->cmdOK.Window(), Qt::LeftButton);
        EXPECT_EQ(frmTip::IfLoaded(), nullptr) << "OK closes the tip window";

        frmMain::Instance().TrayMenuCommand("ABOUT");
        frmAbout* about = frmAbout::IfLoaded();
        ASSERT_NE(about, nullptr);
        EXPECT_NE(about->cmdOK.Object().Get(), nullptr);
        QTest::mouseClick(about->cmdOK.Window(), Qt::LeftButton);
        EXPECT_EQ(frmAbout::IfLoaded(), nullptr);

        // Nothing more was said: no window failed for want of its buttons.
        EXPECT_EQ(msgbox->shown.size(), boxesBefore + 1) << msgbox->shown.back().prompt;
    }

    std::string told;
};

struct DamagedSettings {
    const char* name;
    const char* head;
    // Comment bytes after the head: the file over the size limit is made
    // only by the case that needs it (a parameter is copied many times).
    size_t filler = 0;
    const char* tail = "";

    std::string Content() const { return head + std::string(filler, ';') + tail; }
};
void PrintTo(const DamagedSettings& d, std::ostream* os)
{
    *os << d.name;
}

class StartOnDamagedSettings : public StartOnUnusableSettings,
                               public ::testing::WithParamInterface<DamagedSettings> {};

TEST_P(StartOnDamagedSettings, TellsOnceAndTheWindowsHaveTheirButtons)
{
    const fs::path file = vb::AppPaths::RegistryFile();
    const std::string content = GetParam().Content();
    std::ofstream(file, std::ios::binary) << content;
    startAndUseTheWindows();
    EXPECT_NE(told.find("saves no settings until it is repaired"), std::string::npos) << told;
    EXPECT_TRUE(tv::testing::ReadRaw(file) == content) << "the damaged file was changed";
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StartOnDamagedSettings,
    ::testing::Values(
        DamagedSettings{"BrokenKeyLine", "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\Software\n; end\n"},
        DamagedSettings{"Empty", ""},
        DamagedSettings{"CutShort", "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\Software]\n\"Sh"},
        DamagedSettings{"OverTheSizeLimit", "TALLYVANE-REGISTRY 1\n", 16 * 1024 * 1024, "\n; end\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// The settings folder may only be read: as the user the program runs as,
// root excepted (root may write anywhere, so the check runs with the file
// access of another user while everything else is that user's).
class ReadOnlySettingsFolder {
public:
    explicit ReadOnlySettingsFolder(const tv::testing::TempRoot& root) : config_(vb::AppPaths::ConfigFolder())
    {
        fs::permissions(config_, fs::perms(0555));
        if (::geteuid() == 0) {
            for (const fs::path& folder : {root.ProgramFolder(), root.InstallFolder(), root.CacheFolder(),
                                           root.Path() / "autostart"}) {
                fs::create_directories(folder);
                chownAll(folder);
            }
            fs::permissions(root.Path(), fs::perms(0755));
            ::setfsgid(kOther);
            ::setfsuid(kOther);
        }
    }
    ~ReadOnlySettingsFolder()
    {
        ::setfsuid(0);
        ::setfsgid(0);
        std::error_code ec;
        fs::permissions(config_, fs::perms(0755), ec);
    }

private:
    static constexpr uid_t kOther = 65534;
    static void chownAll(const fs::path& folder)
    {
        [[maybe_unused]] int rc = ::chown(folder.c_str(), kOther, kOther);
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            rc = ::lchown(entry.path().c_str(), kOther, kOther);
    }
    fs::path config_;
};

TEST_F(StartOnUnusableSettings, AReadOnlySettingsFolderIsToldOnceAndTheWindowsHaveTheirButtons)
{
    // A first start: nothing is in the folder yet, not even the registration.
    fs::remove(vb::AppPaths::RegistryFile());
    fs::remove(vb::AppPaths::RegistryFile().string() + ".lock");
    {
        ReadOnlySettingsFolder readOnly(root);
        startAndUseTheWindows();
        EXPECT_NE(told.find("runs on the defaults"), std::string::npos) << told;
        forms::ResetForms();
    }
    EXPECT_FALSE(fs::exists(vb::AppPaths::RegistryFile()));
}

// The folder made read-only after the settings were all written: they are
// read as they are, and the start says once that no change will be kept.
TEST_F(StartOnUnusableSettings, AReadOnlySettingsFolderWithItsFileIsToldOnce)
{
    const fs::path file = vb::AppPaths::RegistryFile();
    WriteRegValue(HKEY_CURRENT_USER, kProgramKey, "ScreenClose", "False", REG_SZ);
    const std::string before = tv::testing::ReadRaw(file);
    {
        ReadOnlySettingsFolder readOnly(root);
        startAndUseTheWindows();
        EXPECT_NE(told.find("cannot be written"), std::string::npos) << told;
        EXPECT_NE(told.find("the settings it holds"), std::string::npos) << told;
        EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kProgramKey, "ScreenClose"), "False");
        forms::ResetForms();
    }
    EXPECT_TRUE(tv::testing::ReadRaw(file) == before) << "the file was changed";
}

} // namespace
