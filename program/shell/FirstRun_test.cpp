#include "program/shell/FirstRun.h"
#include "program/shell/RunningCopy.h"

#include "program/services/Mod_Registry.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/com/Loader.h"
#include "platform/com/Registration.h"
#include "platform/testing/TempRoot.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>

using namespace Mod_Registry;
using winreg::HKEY_CURRENT_USER;

namespace fs = std::filesystem;

namespace {

void put(const fs::path& file, std::string_view content)
{
    fs::create_directories(file.parent_path());
    vb::fso::WriteAllBytesAtomic(file, content);
}

// Where a copy of the program started with that runtime folder listens for
// later starts.
fs::path socketOf(const fs::path& programFolder, const fs::path& runtimeFolder)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtimeFolder.string()));
    const fs::path socket = RunningCopy::SocketPath(programFolder);
    qputenv("XDG_RUNTIME_DIR", saved);
    return socket;
}

// Calls the running copy as a later start does, with a line it does not act
// on; true once it has hung up, which it does from its event loop when it
// has read the line. Until it listens (a socket file a killed copy left
// refuses the call) the call is tried again while `running` holds. Every
// wait is bounded.
bool answers(const fs::path& socket, const std::function<bool()>& running)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
    for (int attempt = 0; attempt < 400 && running(); ++attempt) {
        const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (s < 0)
            return false;
        if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(s);
            ::usleep(50000);
            continue;
        }
        const char line[] = "are you there\n";
        bool hungUp = false;
        if (::write(s, line, sizeof line - 1) == ssize_t(sizeof line - 1)) {
            pollfd p{s, POLLIN, 0};
            char c = 0;
            hungUp = ::poll(&p, 1, 60000) == 1 && ::read(s, &c, 1) == 0;
        }
        ::close(s);
        return hungUp;
    }
    return false;
}

// What an install folder holds: the databases, pictures, help in a subfolder.
void shipFiles(const tv::testing::TempRoot& root)
{
    put(root.InstallFolder() / "Tallyvane.mdb", "empty database");
    put(root.InstallFolder() / "Tallyvane_ExampleDB.mdb", "example database");
    put(root.InstallFolder() / "DefaultBGImage.jpg", "picture");
    put(root.InstallFolder() / "help" / "Store_Info_Screen" / "SIS_Store.htm", "<html>help</html>");
    fs::create_directories(root.InstallFolder() / "icons");
}

std::vector<std::string> sorted(std::vector<fs::path> paths)
{
    std::vector<std::string> out;
    for (const auto& p : paths)
        out.push_back(p.string());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

TEST(FirstRun, InstallsFilesAndSettingsOnce)
{
    tv::testing::TempRoot root;
    fs::remove_all(root.ProgramFolder());
    shipFiles(root);
    // The shipped files are read-only where they are installed.
    fs::permissions(root.InstallFolder() / "Tallyvane.mdb", fs::perms::owner_read | fs::perms::group_read);

    const FirstRun::Report first = FirstRun::Run();
    EXPECT_TRUE(first.problems.empty()) << first.problems.front();
    EXPECT_EQ(sorted(first.copied), (std::vector<std::string>{"DefaultBGImage.jpg", "Tallyvane.mdb",
                                                              "Tallyvane_ExampleDB.mdb",
                                                              "help/Store_Info_Screen/SIS_Store.htm"}));
    EXPECT_EQ(vb::fso::ReadAllBytes(root.ProgramFolder() / "help" / "Store_Info_Screen" / "SIS_Store.htm"),
              "<html>help</html>");
    EXPECT_TRUE(fs::is_directory(root.ProgramFolder() / "icons"));
    const auto perms = fs::status(root.ProgramFolder() / "Tallyvane.mdb").permissions();
    EXPECT_NE(perms & fs::perms::owner_write, fs::perms::none) << "the user's copy of the database is writable";

    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kProgramKey, "ShowTips"), "True");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kProgramKey, "UseExampleDB"), "True");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kProgramKey, "ScreenClose"), "False");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kProgramKey, "Version"), "1.0.0");
    for (const char* name : {"SMTPMailServer", "OriginatorsName", "OriginatorsEmail"})
        EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, kEMailKey, name)) << name;
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, kImagesKey, "MultiImage"));
    // The settings windows write only into keys that exist.
    EXPECT_EQ(WriteRegValue(HKEY_CURRENT_USER, kReportsKey, "HeadingColor", 255, winreg::REG_DWORD), 0);
    EXPECT_EQ(first.written.size(), 14u);

    // The user works: changes a database, deletes a picture, changes settings.
    put(root.ProgramFolder() / "Tallyvane.mdb", "the user's stores");
    fs::remove(root.ProgramFolder() / "DefaultBGImage.jpg");
    WriteRegValue(HKEY_CURRENT_USER, kProgramKey, "UseExampleDB", "False", winreg::REG_SZ);
    WriteRegValue(HKEY_CURRENT_USER, kProgramKey, "Version", "1.0.3", winreg::REG_SZ);
    WriteRegValue(HKEY_CURRENT_USER, kEMailKey, "SMTPMailServer", "mail.example.com", winreg::REG_SZ);
    DeleteRegValue(HKEY_CURRENT_USER, kProgramKey, "ShowTips");
    // A newer release ships one more file.
    put(root.InstallFolder() / "help" / "index.htm", "index");

    const FirstRun::Report second = FirstRun::Run();
    EXPECT_TRUE(second.problems.empty());
    EXPECT_EQ(sorted(second.copied), (std::vector<std::string>{"DefaultBGImage.jpg", "help/index.htm"}));
    EXPECT_EQ(second.written, (std::vector<std::string>{"Software\\merrowgate\\Tallyvane\\ShowTips"}));
    EXPECT_EQ(vb::fso::ReadAllBytes(root.ProgramFolder() / "Tallyvane.mdb"), "the user's stores");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kProgramKey, "UseExampleDB"), "False");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kProgramKey, "Version"), "1.0.3");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kEMailKey, "SMTPMailServer"), "mail.example.com");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kReportsKey, "HeadingColor"), "255");
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kProgramKey, "ShowTips"), "True");

    // A third run finds everything in place.
    const FirstRun::Report third = FirstRun::Run();
    EXPECT_TRUE(third.copied.empty());
    EXPECT_TRUE(third.written.empty());
}

TEST(FirstRun, WhatStandsInTheWayIsKeptAndReported)
{
    tv::testing::TempRoot root;
    shipFiles(root);
    // A file of the user's where a shipped folder goes, and a damaged registry.
    put(root.ProgramFolder() / "help", "my notes");
    const std::string damaged = "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\Software\\merrowgate\\Tallyvane]\n\"Show";
    put(vb::AppPaths::RegistryFile(), damaged);

    const FirstRun::Report report = FirstRun::Run();
    EXPECT_EQ(vb::fso::ReadAllBytes(root.ProgramFolder() / "help"), "my notes");
    EXPECT_EQ(vb::fso::ReadAllBytes(vb::AppPaths::RegistryFile()), damaged);
    EXPECT_TRUE(report.written.empty());
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_NE(report.problems[0].find("registry.txt"), std::string::npos) << report.problems[0];
    EXPECT_NE(report.problems[0].find("cut short"), std::string::npos) << report.problems[0];
    EXPECT_EQ(sorted(report.copied),
              (std::vector<std::string>{"DefaultBGImage.jpg", "Tallyvane.mdb", "Tallyvane_ExampleDB.mdb"}));

    // Without the install folder there is nothing to copy, and the user hears why.
    fs::remove_all(root.InstallFolder());
    fs::remove(vb::AppPaths::RegistryFile());
    const FirstRun::Report noInstall = FirstRun::Run();
    ASSERT_EQ(noInstall.problems.size(), 1u);
    EXPECT_NE(noInstall.problems[0].find(root.InstallFolder().string()), std::string::npos);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kProgramKey, "UseExampleDB"), "True");
}

TEST(FirstRun, TheProgramStartsOnAnEmptyHomeFolder)
{
    tv::testing::TempRoot root;
    const fs::path home = root.Path() / "home";
    fs::create_directories(home);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", QString::fromStdString(home.string()));
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        env.remove(name);
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(root.Path().string()));
    env.insert("QT_QPA_PLATFORM", "offscreen");

    const fs::path programFolder = home / ".local" / "share" / "tallyvane";
    // The program goes on running once its windows are up (it ends from its
    // tray menu): wait until it has opened the example database and its
    // event loop answers a later start's call, then stop it.
    auto start = [&] {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(QString::fromStdString(root.Path().string()));
        process.start(TV_TALLYVANE_BINARY, {});
        ASSERT_TRUE(process.waitForStarted());
        const fs::path opened = programFolder / "Tallyvane_ExampleDB.mdb-wal";
        for (int i = 0; i < 1200 && !fs::exists(opened) && process.state() == QProcess::Running; ++i)
            process.waitForFinished(100);
        EXPECT_TRUE(fs::exists(opened));
        // Calls are answered from the event loop, once the start is over.
        // A copy that ends then hangs up on the first call as well, but the
        // second finds no one listening.
        const fs::path socket = socketOf(programFolder, root.Path());
        const auto running = [&] { return process.state() == QProcess::Running; };
        EXPECT_TRUE(answers(socket, running) && answers(socket, running))
            << process.readAllStandardError().toStdString();
        EXPECT_EQ(process.state(), QProcess::Running) << process.readAllStandardError().toStdString();
        process.kill();
        process.waitForFinished();
    };

    start();
    const fs::path registry = home / ".config" / "tallyvane" / "registry.txt";
    EXPECT_TRUE(fs::is_directory(programFolder));
    ASSERT_TRUE(fs::is_regular_file(registry));
    const std::string text = vb::fso::ReadAllBytes(registry);
    EXPECT_NE(text.find("\"UseExampleDB\"=\"True\""), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(home / ".config" / "autostart"));

    // The second start finds everything and rewrites nothing.
    struct stat before {};
    ::stat(registry.c_str(), &before);
    start();
    struct stat after {};
    ::stat(registry.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(vb::fso::ReadAllBytes(registry), text);
}

TEST(FirstRun, RegistersTheButtonLibraryBesideTheProgramWhenItIsNotRegisteredThere)
{
    tv::testing::TempRoot root;
    const fs::path library = FirstRun::ButtonLibrary();
    ASSERT_TRUE(fs::exists(library)) << library;

    const FirstRun::Report first = FirstRun::Run();
    EXPECT_EQ(first.registeredLibrary, library);
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(FirstRun::kButtonProgId, &clsid), S_OK);
    const std::string server = com::ClassKey(clsid) + "\\InprocServer32";
    EXPECT_EQ(com::ClassesRootValue(server), fs::canonical(library).string());

    // A second start changes nothing.
    const std::string registry = vb::fso::ReadAllBytes(vb::AppPaths::RegistryFile());
    const FirstRun::Report second = FirstRun::Run();
    EXPECT_TRUE(second.registeredLibrary.empty());
    EXPECT_TRUE(second.problems.empty());
    EXPECT_EQ(vb::fso::ReadAllBytes(vb::AppPaths::RegistryFile()), registry);

    // A registered library that is gone is registered again from beside the program.
    ASSERT_EQ(com::SetClassesRootValue(server, {}, (root.Path() / "gone" / "libquorvel.so").string()), S_OK);
    const FirstRun::Report third = FirstRun::Run();
    EXPECT_EQ(third.registeredLibrary, library);
    EXPECT_EQ(com::ClassesRootValue(server), fs::canonical(library).string());
}
