// The whole update against real servers on 127.0.0.1 (an HTTP server for the
// version file, pyftpdlib for the files), with scripted message boxes and a
// recording launcher in a temporary program folder: the clean-up after an
// update, every way the check finds nothing, the refusal, failed downloads,
// the installation, and the start-up's silent check.

#include "program/shell/Mod_AutoUpdate.h"

#include "platform/basic/App.h"
#include "platform/net/FtpClient.h"
#include "platform/net/HttpClient.h"
#include "platform/report/DataEnvironment.h"
#include "platform/testing/DesktopWaits.h"
#include "platform/testing/Quiescence.h"
#include "platform/testing/ServerProcess.h"
#include "platform/testing/TestSupport.h"
#include "platform/win/Desktop.h"
#include "program/services/Mod_Registry.h"
#include "program/shell/Mod_FTPData_Download.h"
#include "program/shell/Mod_StoreInfo_Update.h"
#include "program/shell/ScreenCommands.h"
#include "program/shell/ShellTestSupport.h"
#include "program/shell/frmAbout.h"
#include "program/shell/frmMain.h"
#include "program/shell/frmProgress.h"
#include "program/shell/frmTallyvane.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using tv::testing::ReadRaw;
using tv::testing::WriteRaw;
using Strings = std::vector<std::string>;

constexpr const char* kUser = "https://www.example.com/tallyvane";
constexpr const char* kPassword = "test-only;pw";
constexpr const char* kWeb = "https://www.example.com/tallyvane";

std::string made(const fs::path& folder)
{
    fs::create_directories(folder);
    return folder.string();
}

class UpdateFlow : public tv::testing::ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        Mod_AutoUpdate::ResetUpdateState();
        ASSERT_NE(http.Port(), 0);
        ASSERT_NE(ftp.Port(), 0);
        fs::create_directories(webRoot() / "updateinfo" / "tallyvane");
        fs::create_directories(ftpRoot() / "updateinfo" / "tallyvane");
        win::SetProcessLauncher(launcher);
        net::TransferOptions httpOptions = net::CurlHttpClient::DefaultOptions();
        httpOptions.connectTimeout = 2s;
        httpOptions.totalTimeout = 2s;
        net::SetHttpClient(std::make_shared<net::CurlHttpClient>(httpOptions));
        net::SetFtpClientFactory([](const std::string& agent) {
            net::TransferOptions o = net::CurlFtpClient::DefaultOptions();
            o.agent = agent;
            o.connectTimeout = 2s;
            o.totalTimeout = 30s;
            o.stallTimeout = 5s;
            return std::make_unique<net::CurlFtpClient>(o);
        });
        Mod_AutoUpdate::SetSite(site());
        installed("1.0.0");
    }

    void TearDown() override
    {
        Mod_StoreInfo::StopSilentCheck();
        Mod_AutoUpdate::ResetUpdateState();
        net::SetHttpClient(nullptr);
        net::SetFtpClientFactory(nullptr);
        win::SetProcessLauncher(nullptr);
        report::ResetDataEnvironment1();
        ShellFixture::TearDown();
    }

    fs::path webRoot() const { return root.Path() / "web"; }
    fs::path ftpRoot() const { return root.Path() / "ftp"; }
    fs::path updateFolder() const { return root.ProgramFolder() / "update"; }
    fs::path staging() const { return Mod_AutoUpdate::StagingFolder(); }

    Mod_AutoUpdate::UpdateSite site() const
    {
        Mod_AutoUpdate::UpdateSite s;
        s.address = "127.0.0.1:" + std::to_string(http.Port());
        s.ftpHost = "127.0.0.1";
        s.ftpPort = ftp.Port();
        s.ftpUser = kUser;
        s.ftpPassword = kPassword;
        s.webAddress = kWeb;
        return s;
    }

    void versionFile(const std::string& text) const
    {
        WriteRaw(webRoot() / "updateinfo" / "tallyvane" / "tallyvane_version.txt", text);
    }
    void serverFile(const std::string& name, const std::string& bytes) const
    {
        WriteRaw(ftpRoot() / "updateinfo" / "tallyvane" / name, bytes);
    }
    static void installed(const std::string& version)
    {
        Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "Version",
                                    vb::Variant(version), winreg::REG_SZ);
    }
    static std::string programValue(const char* name)
    {
        return Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, name);
    }

    Strings prompts() const
    {
        Strings out;
        for (const auto& r : msgbox->shown)
            out.push_back(r.prompt);
        return out;
    }

    // The check as the tray menu runs it, the hidden main window and its
    // icon already there.
    void runFromTray()
    {
        frmMain::Instance().Tray1.ShowIcon();
        ScreenCommands::CheckForUpdate(true);
    }

    std::shared_ptr<win::FakeProcessLauncher> launcher = std::make_shared<win::FakeProcessLauncher>();
    tv::testing::ServerProcess http{TV_NET_TESTDATA "/http_server.py", {made(root.Path() / "web")}};
    tv::testing::ServerProcess ftp{TV_NET_TESTDATA "/ftp_server.py", {made(root.Path() / "ftp"), kUser, kPassword}};
};

TEST_F(UpdateFlow, TheStartAfterAnUpdateRemovesItsFilesAndTellsTheSuccess)
{
    versionFile("VERSION:9.0.0\nNAME:setup.run\n");
    fs::create_directories(updateFolder());
    WriteRaw(updateFolder() / "data.bin", "d");
    WriteRaw(updateFolder() / "setup.run", "s");
    fs::permissions(updateFolder() / "setup.run", fs::perms::owner_read);
    installed("2.0.0");
    Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "PendingVersion",
                                vb::Variant("2.0.0"), winreg::REG_SZ);

    Mod_StoreInfo::CheckForUpdate(false);
    EXPECT_FALSE(fs::exists(updateFolder()));
    ASSERT_EQ(prompts(), Strings{"Update successful"});
    EXPECT_EQ(msgbox->shown[0].buttons, forms::vbOKOnly);
    EXPECT_EQ(msgbox->shown[0].title, "Tallyvane");
    EXPECT_EQ(programValue("PendingVersion"), "");
    // No fetch: the version file's update was not offered.
    EXPECT_EQ(frmMain::IfLoaded(), nullptr);
}

TEST_F(UpdateFlow, AnInstallerThatDidNotRunLeavesFilesThatGoSilently)
{
    versionFile("VERSION:9.0.0\nNAME:setup.run\n");
    fs::create_directories(updateFolder());
    WriteRaw(updateFolder() / "setup.run", "s");
    installed("1.0.0");
    Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "PendingVersion",
                                vb::Variant("2.0.0"), winreg::REG_SZ);
    Mod_StoreInfo::CheckForUpdate(true);
    EXPECT_FALSE(fs::exists(updateFolder()));
    EXPECT_TRUE(prompts().empty());

    // Files nobody announced: removed silently too. An empty folder is no
    // update at all: the check goes on.
    fs::create_directories(updateFolder());
    WriteRaw(updateFolder() / "stray.txt", "s");
    Mod_StoreInfo::CheckForUpdate(true);
    EXPECT_TRUE(prompts().empty());
    fs::create_directories(updateFolder() / "empty");
    msgbox->answers = {forms::vbNo};
    Mod_StoreInfo::CheckForUpdate(true);
    EXPECT_EQ(prompts(), Strings{std::string(Mod_StoreInfo::kUpdateAvailable)});
}

TEST_F(UpdateFlow, NoAddressNoServerAnErrorPageOrASlowReplyFindNothing)
{
    versionFile("VERSION:9.0.0\nNAME:setup.run\n");
    const auto expectNothing = [&](const char* why) {
        msgbox->shown.clear();
        Mod_StoreInfo::CheckForUpdate(false);
        EXPECT_TRUE(prompts().empty()) << why;
        Mod_StoreInfo::CheckForUpdate(true);
        ASSERT_EQ(prompts(), Strings{std::string(Mod_StoreInfo::kNoConnection)}) << why;
        EXPECT_EQ(msgbox->shown[0].buttons, forms::vbInformation) << why;
        EXPECT_EQ(msgbox->shown[0].title, Mod_StoreInfo::kNoConnectionTitle) << why;
    };

    // A build without an address says so when asked, and nothing at the start.
    Mod_AutoUpdate::UpdateSite s = site();
    for (const char* address : {"", "  /"}) {
        s.address = address;
        Mod_AutoUpdate::SetSite(s);
        msgbox->shown.clear();
        Mod_StoreInfo::CheckForUpdate(false);
        EXPECT_TRUE(prompts().empty());
        Mod_StoreInfo::CheckForUpdate(true);
        ASSERT_EQ(prompts(), Strings{std::string(Mod_StoreInfo::kNoUpdateAddress)});
        EXPECT_EQ(msgbox->shown[0].buttons, forms::vbInformation);
        EXPECT_EQ(msgbox->shown[0].title, Mod_StoreInfo::kNoUpdateAddressTitle);
    }
    // Without an address the hidden main window is not needed.
    EXPECT_EQ(frmMain::IfLoaded(), nullptr);
    // The tray's "Check For Update" is the check with messages.
    msgbox->shown.clear();
    frmMain::Instance().TrayMenuCommand("UPDATE");
    EXPECT_EQ(prompts(), Strings{std::string(Mod_StoreInfo::kNoUpdateAddress)});

    // The error page holds a version file's text; it is no body.
    s.address = "127.0.0.1:" + std::to_string(http.Port()) + "/status";
    Mod_AutoUpdate::SetSite(s);
    expectNothing("404");

    s.address = "127.0.0.1:" + std::to_string(http.Port()) + "/slow/10";
    Mod_AutoUpdate::SetSite(s);
    expectNothing("slow");

    Mod_AutoUpdate::SetSite(site());
    http.Stop();
    expectNothing("no server");
    EXPECT_NE(frmMain::IfLoaded(), nullptr);

    EXPECT_TRUE(launcher->calls.empty());
    EXPECT_FALSE(fs::exists(staging()));
}

TEST_F(UpdateFlow, AMalformedFileIsNoUpdateEvenSilently)
{
    for (const char* body : {"VERSION:9.0\nNAME:setup.run\n", "VERSION:9.0.0\nNAME:\n",
                             "VERSION:9.0.0\nNAME:setup.run;\n", "VERSION:9.0.0\nNAME:../../setup.run\n",
                             "VERSION:9.0.0\r\nNAME:setup.run"}) {
        versionFile(body);
        msgbox->shown.clear();
        Mod_StoreInfo::CheckForUpdate(false);
        EXPECT_TRUE(prompts().empty()) << body;
        Mod_StoreInfo::CheckForUpdate(true);
        EXPECT_EQ(prompts(), Strings{std::string(Mod_StoreInfo::kNoConnection)}) << body;
    }
}

TEST_F(UpdateFlow, UpToDateAndTheRefusal)
{
    versionFile("VERSION:1.0.0\r\nNAME:setup.run\r\n");
    Mod_StoreInfo::CheckForUpdate(false);
    EXPECT_TRUE(prompts().empty());
    Mod_StoreInfo::CheckForUpdate(true);
    ASSERT_EQ(prompts(), Strings{std::string(Mod_StoreInfo::kNoUpdate)});
    EXPECT_EQ(msgbox->shown[0].title, Mod_StoreInfo::kNoUpdateTitle);

    // Newer: asked even in the silent check. No: nothing is fetched.
    msgbox->shown.clear();
    versionFile("VERSION:1.20.0\nNAME:setup.run\n");
    serverFile("setup.run", "installer");
    msgbox->answers = {forms::vbNo};
    Mod_StoreInfo::CheckForUpdate(false);
    ASSERT_EQ(prompts(), Strings{std::string(Mod_StoreInfo::kUpdateAvailable)});
    EXPECT_EQ(msgbox->shown[0].buttons, forms::vbYesNo | forms::vbQuestion);
    EXPECT_EQ(msgbox->shown[0].title, Mod_StoreInfo::kUpdateAvailableTitle);
    EXPECT_FALSE(fs::exists(staging() / "setup.run"));
    EXPECT_FALSE(fs::exists(updateFolder()));
    EXPECT_EQ(frmProgress::IfLoaded(), nullptr);
    EXPECT_TRUE(launcher->calls.empty());
    EXPECT_FALSE(Mod_AutoUpdate::ProgramEnded());
}

// Answers Yes to the question after trying the check again from inside it,
// as a tray click during the question would.
class ReenteringBox : public forms::MessageBoxPort {
public:
    int Show(const forms::MsgBoxRequest& request) override
    {
        shown.push_back(request.prompt);
        if (request.prompt == Mod_StoreInfo::kUpdateAvailable) {
            ScreenCommands::CheckForUpdate(true);
            return forms::vbNo;
        }
        return forms::vbOK;
    }
    Strings shown;
};

TEST_F(UpdateFlow, ASecondCheckDuringTheFirstDoesNothing)
{
    versionFile("VERSION:9.0.0\nNAME:setup.run\n");
    auto box = std::make_shared<ReenteringBox>();
    forms::SetMessageBoxPort(box);
    runFromTray();
    EXPECT_EQ(box->shown, Strings{std::string(Mod_StoreInfo::kUpdateAvailable)});
    // Once over, it runs again.
    ScreenCommands::CheckForUpdate(true);
    EXPECT_EQ(box->shown.size(), 2u);
}

// Quits the program from the tray menu while the question is open, then
// answers Yes.
class QuittingBox : public forms::MessageBoxPort {
public:
    int Show(const forms::MsgBoxRequest& request) override
    {
        shown.push_back(request.prompt);
        frmMain::Instance().TrayMenuCommand("QUIT");
        return forms::vbYes;
    }
    Strings shown;
};

TEST_F(UpdateFlow, AQuitDuringTheQuestionOrTheDownloadInstallsNothing)
{
    versionFile("VERSION:9.0.0\nNAME:setup.run\n");
    serverFile("setup.run", std::string(300000, 'x'));
    auto box = std::make_shared<QuittingBox>();
    forms::SetMessageBoxPort(box);
    runFromTray();
    EXPECT_EQ(box->shown, Strings{std::string(Mod_StoreInfo::kUpdateAvailable)});
    EXPECT_FALSE(fs::exists(staging() / "setup.run"));

    // The download goes on slowly (100 kB a second); the quit comes during it.
    forms::SetMessageBoxPort(msgbox);
    tv::testing::ServerProcess slow{TV_NET_TESTDATA "/ftp_server.py",
                                    {ftpRoot().string(), kUser, kPassword, "100000"}};
    ASSERT_NE(slow.Port(), 0);
    Mod_AutoUpdate::UpdateSite s = site();
    s.ftpPort = slow.Port();
    Mod_AutoUpdate::SetSite(s);
    msgbox->answers = {forms::vbYes};
    // The quit comes once bytes arrive, however long the start takes.
    bool quit = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (frmProgress* progress = frmProgress::IfLoaded();
            progress && progress->ProgressBar1.Value() > 0 && frmMain::IfLoaded()) {
            poll.stop();
            frmMain::Instance().TrayMenuCommand("QUIT");
            quit = true;
        }
    });
    poll.start(20);
    runFromTray();
    ASSERT_TRUE(quit);
    EXPECT_EQ(prompts(), Strings{std::string(Mod_StoreInfo::kUpdateAvailable)});
    EXPECT_FALSE(fs::exists(updateFolder()));
    EXPECT_TRUE(launcher->calls.empty());
    EXPECT_EQ(programValue("PendingVersion"), "");
    EXPECT_EQ(frmProgress::IfLoaded(), nullptr);
    EXPECT_EQ(frmMain::IfLoaded(), nullptr);
}

TEST_F(UpdateFlow, ASecondFileMissingOnTheServerFailsWithoutLeavingFiles)
{
    versionFile("VERSION:9.0.0\nNAME:data.bin;setup.run\n");
    serverFile("data.bin", "data");
    msgbox->answers = {forms::vbYes};
    runFromTray();

    ASSERT_EQ(prompts().size(), 2u);
    EXPECT_EQ(prompts()[1].rfind(Mod_StoreInfo::TransferErrorMessage(kWeb, "") + "\r\n\r\n550 ", 0), 0u)
        << prompts()[1];
    EXPECT_FALSE(fs::exists(staging() / "setup.run"));
    EXPECT_FALSE(fs::exists(staging() / "setup.run.part"));
    EXPECT_FALSE(fs::exists(updateFolder()));
    EXPECT_EQ(frmProgress::IfLoaded(), nullptr);
    EXPECT_TRUE(launcher->calls.empty());
    EXPECT_EQ(programValue("PendingVersion"), "");
    // The program goes on.
    EXPECT_FALSE(Mod_AutoUpdate::ProgramEnded());
    ASSERT_NE(frmMain::IfLoaded(), nullptr);
    EXPECT_TRUE(frmMain::IfLoaded()->Tray1.IconShown());

    EXPECT_EQ(Mod_AutoUpdate::DownloadUpdateFiles({"data.bin", "setup.run"}), -1);
    EXPECT_EQ(Mod_AutoUpdate::DownloadUpdateFiles({"data.bin"}), 0);
    EXPECT_EQ(ReadRaw(staging() / "data.bin"), "data");
}

TEST_F(UpdateFlow, AWrongPasswordTellsTheLoginFailure)
{
    versionFile("VERSION:9.0.0\nNAME:setup.run\n");
    serverFile("setup.run", "installer");
    Mod_AutoUpdate::UpdateSite s = site();
    s.ftpPassword = "wrong";
    Mod_AutoUpdate::SetSite(s);
    msgbox->answers = {forms::vbYes};
    runFromTray();
    ASSERT_EQ(prompts().size(), 2u);
    EXPECT_EQ(prompts()[1], Mod_StoreInfo::TransferErrorMessage(
                                kWeb, "Request to connect to and login to an FTP server failed."));
    EXPECT_FALSE(fs::exists(staging() / "setup.run"));
    EXPECT_TRUE(launcher->calls.empty());

    // No FTP server at all.
    Mod_AutoUpdate::SetSite(site());
    ftp.Stop();
    msgbox->shown.clear();
    msgbox->answers = {forms::vbYes};
    runFromTray();
    ASSERT_EQ(prompts().size(), 2u);
    EXPECT_EQ(prompts()[1],
              Mod_StoreInfo::TransferErrorMessage(kWeb, "The attempt to connect to the server failed."));
}

TEST_F(UpdateFlow, ADownloadWithoutFilesOrWithUnsafeNames)
{
    ftp.Stop();
    EXPECT_EQ(Mod_AutoUpdate::DownloadUpdateFiles({}), 0);
    EXPECT_EQ(Mod_AutoUpdate::DownloadUpdateFiles({"../escape.run"}), -1);
    // Every failure keeps its reason for the transfer message.
    EXPECT_NE(Mod_FTPData::FtpData().g_FtpErrorText.find("\"../escape.run\""), std::string::npos)
        << Mod_FTPData::FtpData().g_FtpErrorText;
    EXPECT_EQ(Mod_AutoUpdate::DownloadUpdateFiles({""}), -1);
    EXPECT_FALSE(Mod_FTPData::FtpData().g_FtpErrorText.empty());
    EXPECT_FALSE(fs::exists(root.CacheFolder() / "escape.run"));
}

// A listed name may be another listed file's name with ".part" after it:
// the download of one never takes the other for its temporary file.
TEST_F(UpdateFlow, AFileNamedLikeAnotherFilesPartialDownloadArrivesToo)
{
    versionFile("VERSION:9.0.0\nNAME:setup.run.part;setup.run\n");
    serverFile("setup.run.part", "the data the installer reads");
    serverFile("setup.run", "#!/bin/sh\n");
    msgbox->answers = {forms::vbYes};
    runFromTray();

    EXPECT_EQ(prompts(), (Strings{std::string(Mod_StoreInfo::kUpdateAvailable),
                                  std::string(Mod_StoreInfo::kWillClose)}));
    EXPECT_EQ(ReadRaw(updateFolder() / "setup.run.part"), "the data the installer reads");
    EXPECT_EQ(ReadRaw(updateFolder() / "setup.run"), "#!/bin/sh\n");
    ASSERT_EQ(launcher->calls.size(), 1u);
    EXPECT_EQ(launcher->calls[0].arguments, Strings{(updateFolder() / "setup.run").string()});
    // Nothing of the download is left beside the staging folder.
    for (const auto& entry : fs::directory_iterator(staging().parent_path()))
        EXPECT_EQ(entry.path(), staging()) << entry.path();
}

TEST_F(UpdateFlow, SuccessMovesTheFilesStartsTheInstallerAndCloses)
{
    versionFile("VERSION:9.1.2\nNAME:data.bin;setup.run\n");
    const std::string data(300000, 'd');
    serverFile("data.bin", data);
    serverFile("setup.run", "#!/bin/sh\n");
    // A copy from an earlier attempt must not pass for this one.
    fs::create_directories(staging());
    WriteRaw(staging() / "setup.run", "stale");
    forms::FormRef<frmMain> main(&frmMain::Instance());
    msgbox->answers = {forms::vbYes};
    runFromTray();

    EXPECT_EQ(prompts(), (Strings{std::string(Mod_StoreInfo::kUpdateAvailable),
                                  std::string(Mod_StoreInfo::kWillClose)}));
    EXPECT_EQ(ReadRaw(updateFolder() / "data.bin"), data);
    EXPECT_EQ(ReadRaw(updateFolder() / "setup.run"), "#!/bin/sh\n");
    EXPECT_FALSE(fs::exists(staging() / "data.bin"));
    EXPECT_FALSE(fs::exists(staging() / "setup.run"));
    ASSERT_EQ(launcher->calls.size(), 1u);
    EXPECT_EQ(launcher->calls[0].program, "xdg-open");
    EXPECT_EQ(launcher->calls[0].arguments, Strings{(updateFolder() / "setup.run").string()});
    EXPECT_EQ(programValue("PendingVersion"), "9.1.2");
    // Closed for the installer: no window, no icon, no hint.
    EXPECT_TRUE(Mod_AutoUpdate::ProgramEnded());
    EXPECT_EQ(forms::Forms().Count(), 0);
    if (main) {
        EXPECT_FALSE(main->Tray1.IconShown());
    }
    EXPECT_FALSE(tv::Shell().g_ShowCloseMenu);

    // The installer brought 9.1.2; the next start cleans up and says so.
    Mod_AutoUpdate::ResetUpdateState();
    Mod_AutoUpdate::SetSite(site());
    msgbox->shown.clear();
    installed("9.1.2");
    Mod_StoreInfo::CheckForUpdate(false);
    EXPECT_EQ(prompts(), Strings{std::string(Mod_StoreInfo::kUpdateSuccessful)});
    EXPECT_FALSE(fs::exists(updateFolder()));
}

TEST_F(UpdateFlow, AFailedMoveStopsTheInstallAndKeepsWhatWasThere)
{
    versionFile("VERSION:9.0.0\nNAME:setup.run\n");
    serverFile("setup.run", "installer");
    // Something of the user's where the folder "update" would go.
    WriteRaw(updateFolder(), "not a folder");
    msgbox->answers = {forms::vbYes};
    runFromTray();
    ASSERT_EQ(prompts().size(), 2u);
    EXPECT_EQ(prompts()[1].rfind(Mod_StoreInfo::TransferErrorMessage(kWeb, "") + "\r\n\r\nCannot create ", 0), 0u)
        << prompts()[1];
    EXPECT_EQ(ReadRaw(updateFolder()), "not a folder");
    EXPECT_TRUE(launcher->calls.empty());
    EXPECT_EQ(frmProgress::IfLoaded(), nullptr);
    EXPECT_FALSE(Mod_AutoUpdate::ProgramEnded());
    EXPECT_EQ(programValue("PendingVersion"), "");
}

TEST_F(UpdateFlow, FilesMoveAcrossFileSystemsByCopying)
{
    // A cache on another file system than the program folder.
    std::error_code ec;
    const fs::path shm = "/dev/shm";
    if (!fs::is_directory(shm, ec) || fs::space(shm, ec).available < (1u << 20))
        GTEST_SKIP() << "no /dev/shm";
    std::string pattern = (shm / "tallyvane-update-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path cache = pattern;
    struct stat a {}, b {};
    ASSERT_EQ(::stat(cache.c_str(), &a), 0);
    ASSERT_EQ(::stat(root.ProgramFolder().c_str(), &b), 0);
    if (a.st_dev == b.st_dev) {
        fs::remove_all(cache, ec);
        GTEST_SKIP() << "/dev/shm is on the program folder's file system";
    }
    vb::AppPaths::SetCacheFolder(cache);

    // One listed name is another's with ".part" after it: the copy's
    // temporary name must not meet it.
    versionFile("VERSION:9.0.0\nNAME:data.bin;setup.run.part;setup.run\n");
    serverFile("data.bin", std::string(70000, 'd'));
    serverFile("setup.run.part", "installer data");
    serverFile("setup.run", "installer");
    msgbox->answers = {forms::vbYes};
    runFromTray();
    EXPECT_EQ(ReadRaw(updateFolder() / "data.bin"), std::string(70000, 'd'));
    EXPECT_EQ(ReadRaw(updateFolder() / "setup.run.part"), "installer data");
    EXPECT_EQ(ReadRaw(updateFolder() / "setup.run"), "installer");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(updateFolder()))
        ++files;
    EXPECT_EQ(files, 3) << "a temporary file is left";
    EXPECT_FALSE(fs::exists(cache / "update-download" / "data.bin"));
    EXPECT_EQ(launcher->calls.size(), 1u);
    vb::AppPaths::SetCacheFolder(root.CacheFolder());
    fs::remove_all(cache, ec);
}

TEST_F(UpdateFlow, TheProgressWindowDuringASlowedTransfer)
{
    // 100 kB a second: the 300 kB file takes about three seconds.
    tv::testing::ServerProcess slow{TV_NET_TESTDATA "/ftp_server.py",
                                    {ftpRoot().string(), kUser, kPassword, "100000"}};
    ASSERT_NE(slow.Port(), 0);
    Mod_AutoUpdate::UpdateSite s = site();
    s.ftpPort = slow.Port();
    Mod_AutoUpdate::SetSite(s);
    serverFile("TallyvaneSetup.run", std::string(300000, 'x'));

    // The window as the first bytes arrive, however long the start takes.
    std::string caption;
    double value = -1;
    bool grabbed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        frmProgress* progress = frmProgress::IfLoaded();
        if (!progress || progress->ProgressBar1.Value() <= 0)
            return;
        poll.stop();
        caption = progress->lblInfo.Caption();
        value = progress->ProgressBar1.Value();
        Grab(progress->hWnd(), QStringLiteral("frmProgress_download"));
        grabbed = true;
    });
    poll.start(20);
    EXPECT_EQ(Mod_AutoUpdate::DownloadUpdateFiles({"TallyvaneSetup.run"}), 0);
    ASSERT_TRUE(grabbed);
    EXPECT_EQ(caption.rfind("Downloading: TallyvaneSetup.run - ", 0), 0u) << caption;
    EXPECT_EQ(caption.substr(caption.size() - 10), " of 300000") << caption;
    EXPECT_GT(value, 0);
    EXPECT_LT(value, 100);
    // After a success the window stays until the program closes.
    ASSERT_NE(frmProgress::IfLoaded(), nullptr);
    EXPECT_EQ(frmProgress::IfLoaded()->ProgressBar1.Value(), 100);
    // The session's own close is the last thing told.
    EXPECT_EQ(frmProgress::IfLoaded()->lblInfo.Caption(), "Connection Closed");
}

class StartUp : public UpdateFlow {};

TEST_F(StartUp, WritesTheBuildsVersionBeforeTheCleanUpComparesIt)
{
    fs::create_directories(updateFolder());
    WriteRaw(updateFolder() / "setup.run", "s");
    installed("0.0.1");
    Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "PendingVersion",
                                vb::Variant(Mod_AutoUpdate::BuildVersion().Text()), winreg::REG_SZ);
    ASSERT_TRUE(Mod_tallyvane::Main());
    EXPECT_EQ(prompts(), Strings{std::string(Mod_StoreInfo::kUpdateSuccessful)});
    EXPECT_FALSE(fs::exists(updateFolder()));
    EXPECT_NE(frmTallyvane::IfLoaded(), nullptr);
    EXPECT_FALSE(Mod_AutoUpdate::ProgramEnded());
}

TEST_F(StartUp, AnUpdateInstalledAtTheStartEndsItThere)
{
    versionFile("VERSION:99.0.0\nNAME:setup.run\n");
    serverFile("setup.run", "installer");
    msgbox->answers = {forms::vbYes};
    ASSERT_TRUE(Mod_tallyvane::Main());
    // The windows came first; the question once the version file is in.
    EXPECT_TRUE(prompts().empty());
    ASSERT_TRUE(tv::testing::WaitUntil([] { return Mod_AutoUpdate::ProgramEnded(); }, 20000));
    EXPECT_EQ(prompts(),
              (Strings{std::string(Mod_StoreInfo::kUpdateAvailable), std::string(Mod_StoreInfo::kWillClose)}));
    EXPECT_EQ(launcher->calls.size(), 1u);
    EXPECT_EQ(forms::Forms().Count(), 0);
    EXPECT_EQ(frmTallyvane::IfLoaded(), nullptr);
    EXPECT_EQ(ReadRaw(updateFolder() / "setup.run"), "installer");
}

// The start's check asks only once the windows are up, and only when a
// newer version is there.
TEST_F(StartUp, TheQuestionComesAfterTheWindowsAreUp)
{
    versionFile("VERSION:99.0.0\nNAME:setup.run\n");
    msgbox->answers = {forms::vbNo};
    ASSERT_TRUE(Mod_tallyvane::Main());
    ASSERT_NE(frmTallyvane::IfLoaded(), nullptr);
    EXPECT_TRUE(frmTallyvane::IfLoaded()->Visible());
    EXPECT_TRUE(frmMain::Instance().Tray1.IconShown());
    EXPECT_TRUE(prompts().empty());
    ASSERT_TRUE(tv::testing::WaitUntil([] { return !Mod_StoreInfo::SilentCheckUnderWay(); }, 20000));
    EXPECT_EQ(prompts(), Strings{std::string(Mod_StoreInfo::kUpdateAvailable)});
    EXPECT_TRUE(launcher->calls.empty());
    EXPECT_NE(frmTallyvane::IfLoaded(), nullptr);

    // Up to date: the silent check says nothing at all.
    forms::ResetForms();
    msgbox->shown.clear();
    versionFile("VERSION:0.0.1\nNAME:setup.run\n");
    ASSERT_TRUE(Mod_tallyvane::Main());
    ASSERT_TRUE(tv::testing::WaitUntil([] { return !Mod_StoreInfo::SilentCheckUnderWay(); }, 20000));
    EXPECT_TRUE(prompts().empty());
}

// An update site that takes the connection and never answers, with the
// program's own waits (30 seconds in all): the main window does not wait
// for it and answers meanwhile, and a quit ends the program at once, the
// fetch given up, nothing asked.
TEST_F(StartUp, ASiteThatNeverAnswersHoldsNeitherTheWindowsNorTheQuit)
{
    net::SetHttpClient(nullptr);
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    Mod_AutoUpdate::UpdateSite s = site();
    s.address = "127.0.0.1:" + std::to_string(silent.serverPort());
    Mod_AutoUpdate::SetSite(s);

    ASSERT_TRUE(Mod_tallyvane::Main());
    ASSERT_NE(frmTallyvane::IfLoaded(), nullptr);
    EXPECT_TRUE(frmTallyvane::IfLoaded()->Visible());
    // The request reaches the site while the window is up.
    QTcpSocket* asked = nullptr;
    ASSERT_TRUE(tv::testing::WaitUntil([&] {
        if (!asked && silent.hasPendingConnections())
            asked = silent.nextPendingConnection();
        return asked && asked->bytesAvailable() > 0;
    }));
    EXPECT_EQ(asked->state(), QAbstractSocket::ConnectedState) << "the fetch was over before the window came";
    EXPECT_TRUE(asked->readAll().startsWith("GET /updateinfo/tallyvane/tallyvane_version.txt"));
    EXPECT_TRUE(Mod_StoreInfo::SilentCheckUnderWay());
    // The program answers meanwhile.
    frmMain::Instance().TrayMenuCommand("ABOUT");
    EXPECT_NE(frmAbout::IfLoaded(), nullptr);

    frmMain::Instance().TrayMenuCommand("QUIT");
    EXPECT_EQ(forms::Forms().Count(), 0);
    EXPECT_FALSE(Mod_StoreInfo::SilentCheckUnderWay());
    // The end of the program waits for the fetch to give up, not for the site.
    Mod_tallyvane::UnloadEveryForm();
    EXPECT_TRUE(tv::testing::WaitUntil([&] { return asked->state() == QAbstractSocket::UnconnectedState; }, 5000))
        << "the fetch went on after the end";
    // The fetch's worker is joined by then; what it posted before it gave
    // up is delivered, and asks nothing.
    ASSERT_TRUE(tv::testing::DrainPostedEvents());
    EXPECT_TRUE(prompts().empty());
}

} // namespace
