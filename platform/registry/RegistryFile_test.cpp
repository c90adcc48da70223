#include "platform/registry/Registry.h"
#include "platform/registry/RegistryTree.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace winreg;

namespace {

LONG setText(HKEY root, std::string_view path, std::string_view name, std::string_view text)
{
    HKEY key = 0;
    LONG rc = RegCreateKeyEx(root, path, 0, KEY_ALL_ACCESS, &key, nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = RegSetValueEx(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                       static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return rc;
}

// The text of a value, or "<missing>".
std::string getText(HKEY root, std::string_view path, std::string_view name)
{
    HKEY key = 0;
    if (RegOpenKeyEx(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    char buffer[256] = {};
    DWORD size = sizeof buffer;
    const LONG rc = RegQueryValueEx(key, name, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(buffer) : "<missing>";
}

std::string fileText()
{
    return vb::fso::ReadAllBytes(vb::AppPaths::RegistryFile());
}

ino_t inodeOf(const std::filesystem::path& p)
{
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

// Runs body in a child process; its exit status is what body returns.
pid_t spawn(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    return pid;
}

// Waits at most the seconds given; a child still running then is killed
// and answers -1.
int waitAtMost(pid_t pid, int seconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int waitFor(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

const char kValidFile[] = "TALLYVANE-REGISTRY 1\n"
                          "[HKEY_CURRENT_USER\\Software\\merrowgate\\Tallyvane]\n"
                          "\"ShowTips\"=\"True\"\n"
                          "\"Count\"=dword:0000002a\n"
                          "; end\n";

} // namespace

TEST(RegistryFile, TheFileIsPlainTextInAFixedForm)
{
    tv::testing::TempRoot root;
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software\\merrowgate\\Tallyvane", "ShowTips", "True"), ERROR_SUCCESS);
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software\\merrowgate\\Tallyvane\\EMail", "OriginatorsName", "A \"B\" \\ C"),
              ERROR_SUCCESS);
    HKEY reports = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\merrowgate\\Tallyvane\\Reports", 0, KEY_ALL_ACCESS,
                             &reports, nullptr),
              ERROR_SUCCESS);
    const BYTE color[4] = {0xC0, 0xC0, 0xC0, 0x00};
    ASSERT_EQ(RegSetValueEx(reports, "HeadingColor", REG_DWORD, color, 4), ERROR_SUCCESS);
    RegCloseKey(reports);
    ASSERT_EQ(setText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Tallyvane", "/bin/tv"),
              ERROR_SUCCESS);
    ASSERT_EQ(setText(HKEY_CLASSES_ROOT, "LUMVEX.LumvexCtrl.4", "", "Line\nTwo"), ERROR_SUCCESS);

    EXPECT_EQ(fileText(), "TALLYVANE-REGISTRY 1\n"
                          "; Tallyvane's settings. The program rewrites this file whole; edit it only while "
                          "Tallyvane is not running.\n"
                          "\n[HKEY_CLASSES_ROOT\\LUMVEX.LumvexCtrl.4]\n"
                          "@=\"Line\\nTwo\"\n"
                          "\n[HKEY_CURRENT_USER\\Software]\n"
                          "\n[HKEY_CURRENT_USER\\Software\\merrowgate]\n"
                          "\n[HKEY_CURRENT_USER\\Software\\merrowgate\\Tallyvane]\n"
                          "\"ShowTips\"=\"True\"\n"
                          "\n[HKEY_CURRENT_USER\\Software\\merrowgate\\Tallyvane\\EMail]\n"
                          "\"OriginatorsName\"=\"A \\\"B\\\" \\\\ C\"\n"
                          "\n[HKEY_CURRENT_USER\\Software\\merrowgate\\Tallyvane\\Reports]\n"
                          "\"HeadingColor\"=dword:00c0c0c0\n"
                          "\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n"
                          "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft]\n"
                          "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows]\n"
                          "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n"
                          "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
                          "\"Tallyvane\"=\"/bin/tv\"\n"
                          "\n; end\n");

    // A file written by hand (CR LF line ends, comments, any case) reads the same.
    tv::testing::TempRoot other;
    vb::fso::WriteAllBytesAtomic(vb::AppPaths::RegistryFile(),
                                 "TALLYVANE-REGISTRY 1\r\n; my notes\r\n[hkey_current_user\\A\\B]\r\n"
                                 "\"x\"=\"1\"\r\n\r\n[HKEY_CURRENT_USER\\a]\r\n\"y\"=dword:FFFFFFFF\r\n; end\r\n\r\n");
    EXPECT_EQ(StoreProblem(), std::nullopt);
    EXPECT_EQ(getText(HKEY_CURRENT_USER, "a\\b", "X"), "1");
    HKEY a = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "A", 0, KEY_READ, &a), ERROR_SUCCESS);
    uint32_t y = 0;
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueEx(a, "y", nullptr, reinterpret_cast<BYTE*>(&y), &size), ERROR_SUCCESS);
    EXPECT_EQ(y, 0xFFFFFFFFu);
    RegCloseKey(a);
}

TEST(RegistryFile, DamagedFilesAreReportedAndNeverOverwritten)
{
    const std::string valid = kValidFile;
    static const char kJunk[] = "TALLYVANE-REGISTRY 1\n\x00\xff\xfe\x01\n; end\n";
    std::vector<std::pair<std::string, std::string>> damaged = {
        {"empty", ""},
        {"no header", valid.substr(valid.find('\n') + 1)},
        {"garbage line", "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\A]\nnonsense\n; end\n"},
        {"value before a key", "TALLYVANE-REGISTRY 1\n\"x\"=\"1\"\n; end\n"},
        {"unknown root", "TALLYVANE-REGISTRY 1\n[HKEY_USERS\\A]\n; end\n"},
        {"empty key name", "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\A\\\\B]\n; end\n"},
        {"no key at all", "TALLYVANE-REGISTRY 1\n[]\n; end\n"},
        {"open bracket", "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\A\n; end\n"},
        {"bad escape", "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"a\\q\"\n; end\n"},
        {"escaped NUL", "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"a\\x00\"\n; end\n"},
        {"unclosed text", "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"abc\n; end\n"},
        {"text after text", "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"abc\"d\n; end\n"},
        {"short dword", "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:123\n; end\n"},
        {"bad dword", "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:0000000g\n; end\n"},
        {"text after the end", valid + "[HKEY_CURRENT_USER\\B]\n"},
        {"binary junk", std::string(kJunk, sizeof kJunk - 1)},
    };
    // Every cut that loses the end line.
    for (size_t cut = 0; cut + 1 < valid.size(); ++cut)
        damaged.emplace_back("cut at " + std::to_string(cut), valid.substr(0, cut));

    for (const auto& [what, content] : damaged) {
        SCOPED_TRACE(what);
        tv::testing::TempRoot root;
        const auto file = vb::AppPaths::RegistryFile();
        vb::fso::WriteAllBytesAtomic(file, content);

        const auto problem = StoreProblem();
        ASSERT_TRUE(problem.has_value());
        EXPECT_NE(problem->find(file.string()), std::string::npos) << *problem;

        HKEY key = 0;
        EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_REGISTRY_CORRUPT);
        EXPECT_EQ(setText(HKEY_CURRENT_USER, "Software\\merrowgate\\Tallyvane", "ShowTips", "False"),
                  ERROR_REGISTRY_CORRUPT);
        EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, "Software"), ERROR_REGISTRY_CORRUPT);
        EXPECT_EQ(vb::fso::ReadAllBytes(file), content);
    }

    // Once the file is repaired it is used again.
    tv::testing::TempRoot root;
    vb::fso::WriteAllBytesAtomic(vb::AppPaths::RegistryFile(), valid.substr(0, valid.size() - 6));
    ASSERT_TRUE(StoreProblem().has_value());
    vb::fso::WriteAllBytesAtomic(vb::AppPaths::RegistryFile(), valid);
    EXPECT_EQ(StoreProblem(), std::nullopt);
    EXPECT_EQ(getText(HKEY_CURRENT_USER, "Software\\merrowgate\\Tallyvane", "ShowTips"), "True");
    // The end line without its line end is whole.
    vb::fso::WriteAllBytesAtomic(vb::AppPaths::RegistryFile(), valid.substr(0, valid.size() - 1));
    EXPECT_EQ(StoreProblem(), std::nullopt);
}

TEST(RegistryFile, AFileThatCannotBeReadIsReportedAndKept)
{
    tv::testing::TempRoot root;
    const auto file = vb::AppPaths::RegistryFile();
    std::filesystem::create_directories(file); // a folder where the file should be
    ASSERT_TRUE(StoreProblem().has_value());
    EXPECT_NE(setText(HKEY_CURRENT_USER, "Software", "x", "y"), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::is_directory(file));
}

// Whether a change could be saved is known before one is made: the trial
// leaves nothing behind, and a folder the user may only read is told with
// its file's name while the file still reads. (In a child process that is
// not root, as root may write anywhere.)
TEST(RegistryFile, AFolderThatTakesNoChangeIsToldBeforeAnyIsMade)
{
    tv::testing::TempRoot root;
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software\\merrowgate\\Tallyvane", "ShowTips", "True"), ERROR_SUCCESS);
    EXPECT_EQ(StoreWriteProblem(), std::nullopt);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(vb::AppPaths::ConfigFolder()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"registry.txt", "registry.txt.lock"}));

    std::filesystem::permissions(root.Path(), std::filesystem::perms(0755));
    std::filesystem::permissions(vb::AppPaths::RegistryFile(), std::filesystem::perms(0644));
    std::filesystem::permissions(vb::AppPaths::RegistryFile().string() + ".lock", std::filesystem::perms(0666));
    std::filesystem::permissions(vb::AppPaths::ConfigFolder(), std::filesystem::perms(0555));
    const std::string before = fileText();
    const pid_t child = spawn([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 9;
        const std::optional<std::string> problem = StoreWriteProblem();
        if (!problem || problem->find(vb::AppPaths::RegistryFile().string()) == std::string::npos ||
            problem->find("settings it holds") == std::string::npos)
            return 1;
        if (StoreProblem() || getText(HKEY_CURRENT_USER, "Software\\merrowgate\\Tallyvane", "ShowTips") != "True")
            return 2;
        return 0;
    });
    EXPECT_EQ(waitFor(child), 0);
    std::filesystem::permissions(vb::AppPaths::ConfigFolder(), std::filesystem::perms(0755));
    EXPECT_EQ(fileText(), before);
}

TEST(RegistryFile, WritesOfTwoProcessesBothSurvive)
{
    tv::testing::TempRoot root;
    constexpr int kProcesses = 3;
    constexpr int kValues = 25;
    // Each process also keeps rewriting one value they share, so every write
    // of theirs meets the other's changes.
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        children.push_back(spawn([p] {
            for (int i = 0; i < kValues; ++i) {
                const std::string n = std::to_string(i);
                if (setText(HKEY_CURRENT_USER, "Software\\race\\p" + std::to_string(p), "v" + n, n) != ERROR_SUCCESS)
                    return 1;
                if (setText(HKEY_CURRENT_USER, "Software\\race", "shared", std::to_string(p) + ":" + n) !=
                    ERROR_SUCCESS)
                    return 2;
            }
            return 0;
        }));
    }
    for (pid_t pid : children)
        EXPECT_EQ(waitFor(pid), 0);

    EXPECT_EQ(StoreProblem(), std::nullopt);
    for (int p = 0; p < kProcesses; ++p)
        for (int i = 0; i < kValues; ++i)
            EXPECT_EQ(getText(HKEY_CURRENT_USER, "Software\\race\\p" + std::to_string(p), "v" + std::to_string(i)),
                      std::to_string(i));
    EXPECT_TRUE(getText(HKEY_CURRENT_USER, "Software\\race", "shared").ends_with(":" + std::to_string(kValues - 1)));
    // Nothing but the file and its lock is left in the folder.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(vb::AppPaths::ConfigFolder()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"registry.txt", "registry.txt.lock"}));
}

TEST(RegistryFile, ChangesByAnotherProcessAreSeenAtOnce)
{
    tv::testing::TempRoot root;
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software\\shared", "v", "mine"), ERROR_SUCCESS);
    EXPECT_EQ(getText(HKEY_CURRENT_USER, "Software\\shared", "v"), "mine");
    // Same length, same second: only the content tells the files apart.
    for (const char* next : {"them", "they", "thou"}) {
        EXPECT_EQ(waitFor(spawn([next] {
                      return setText(HKEY_CURRENT_USER, "Software\\shared", "v", next) == ERROR_SUCCESS ? 0 : 1;
                  })),
                  0);
        EXPECT_EQ(getText(HKEY_CURRENT_USER, "Software\\shared", "v"), next);
    }
    // A write of ours keeps what the other process wrote meanwhile.
    EXPECT_EQ(waitFor(spawn([] { return setText(HKEY_CURRENT_USER, "Software\\other", "w", "theirs"); })), 0);
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software\\shared", "v", "mine again"), ERROR_SUCCESS);
    EXPECT_EQ(getText(HKEY_CURRENT_USER, "Software\\other", "w"), "theirs");
}

TEST(RegistryFile, AValueWrittenUnchangedLeavesTheFileAlone)
{
    tv::testing::TempRoot root;
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software\\t", "v", "same"), ERROR_SUCCESS);
    const auto file = vb::AppPaths::RegistryFile();
    const ino_t before = inodeOf(file);
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "software\\T", "V", "same"), ERROR_SUCCESS);
    EXPECT_EQ(inodeOf(file), before) << "every rewrite replaces the file";
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "Software\\t", "v", "other"), ERROR_SUCCESS);
    EXPECT_NE(inodeOf(file), before);
}

TEST(RegistryTree, ParseUndoesSerialize)
{
    auto parsed = detail::Tree::Parse(kValidFile);
    ASSERT_TRUE(parsed.tree.has_value()) << parsed.fault;
    const std::string once = parsed.tree->Serialize();
    auto again = detail::Tree::Parse(once);
    ASSERT_TRUE(again.tree.has_value()) << again.fault;
    EXPECT_TRUE(*again.tree == *parsed.tree);
    EXPECT_EQ(again.tree->Serialize(), once);
}

TEST(RegistryFile, BytesBeyondAsciiSurviveEveryRewrite)
{
    tv::testing::TempRoot root;
    // Escaped bytes that are not UTF-8 on their own, next to real UTF-8.
    vb::fso::WriteAllBytesAtomic(vb::AppPaths::RegistryFile(),
                                 "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\A]\n"
                                 "\"v\"=\"\\x80\\xe9\\xff caf\xc3\xa9 \\xc3\"\n"
                                 "\"\\x9f\"=\"name\"\n; end\n");
    const std::string expected = "\x80\xe9\xff caf\xc3\xa9 \xc3";
    ASSERT_EQ(getText(HKEY_CURRENT_USER, "A", "v"), expected);
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(setText(HKEY_CURRENT_USER, "A", "round", std::to_string(round)), ERROR_SUCCESS);
        EXPECT_EQ(getText(HKEY_CURRENT_USER, "A", "v"), expected) << round;
        EXPECT_EQ(getText(HKEY_CURRENT_USER, "A", "\x9f"), "name") << round;
    }
    // Text the program writes in Windows-1252 is kept as the characters it
    // names, and stays so through the next rewrite.
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "A", "w", "\xfe\x80x"), ERROR_SUCCESS);
    ASSERT_EQ(setText(HKEY_CURRENT_USER, "A", "round", "last"), ERROR_SUCCESS);
    EXPECT_EQ(getText(HKEY_CURRENT_USER, "A", "w"), "\xc3\xbe\xe2\x82\xacx");
    EXPECT_EQ(getText(HKEY_CURRENT_USER, "A", "v"), expected);
    EXPECT_EQ(StoreProblem(), std::nullopt);
}

TEST(RegistryTree, EveryFileThatParsesWritesBackTheSame)
{
    // Each byte, escaped and raw, in names and values; and the values of one
    // key many times over, with names that differ only in case.
    std::string file = "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\K]\n";
    for (int b = 1; b < 256; ++b) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", b);
        file += std::string("\"n") + escaped + "\"=\"" + escaped + "\"\n";
        if (b >= 0x20 && b != '"' && b != '\\')
            file += "\"r" + std::to_string(b) + "\"=\"" + std::string(1, static_cast<char>(b)) + "\"\n";
    }
    file += "[HKEY_CURRENT_USER\\Caf\xe9]\n\"x\"=\"\xe9\"\n";
    constexpr int kValues = 40000;
    file += "[HKEY_CURRENT_USER\\Many]\n";
    for (int i = 0; i < kValues; ++i)
        file += "\"v" + std::to_string(i % (kValues / 2)) + (i < kValues / 2 ? "a" : "A") + "\"=\"" +
                std::to_string(i) + "\"\n";
    file += "; end\n";

    auto parsed = detail::Tree::Parse(file);
    ASSERT_TRUE(parsed.tree.has_value()) << parsed.line << ": " << parsed.fault;
    const std::string once = parsed.tree->Serialize();
    auto again = detail::Tree::Parse(once);
    ASSERT_TRUE(again.tree.has_value()) << again.line << ": " << again.fault;
    EXPECT_TRUE(*again.tree == *parsed.tree);
    EXPECT_EQ(again.tree->Serialize(), once);

    const detail::KeyData* key = parsed.tree->Find("HKEY_CURRENT_USER\\K");
    ASSERT_NE(key, nullptr);
    for (int b = 1; b < 256; ++b) {
        // Names are compared without case: the lower-case letter came later.
        const int last = b >= 'A' && b <= 'Z' ? b + 32 : b;
        const detail::Value* v = key->FindValue(std::string("n") + static_cast<char>(b));
        ASSERT_NE(v, nullptr) << b;
        EXPECT_EQ(v->text, std::string(1, static_cast<char>(last))) << b;
    }
    // Later lines replace earlier ones of the same name, keeping its place.
    const detail::KeyData* many = parsed.tree->Find("HKEY_CURRENT_USER\\MANY");
    ASSERT_NE(many, nullptr);
    ASSERT_EQ(many->values.size(), static_cast<size_t>(kValues / 2));
    EXPECT_EQ(many->values.front().name, "v0A");
    EXPECT_EQ(many->values.front().text, std::to_string(kValues / 2));
    EXPECT_EQ(many->values.back().text, std::to_string(kValues - 1));
}

TEST(RegistryFile, ANonRegularFileIsToldAndNothingWaitsForIt)
{
    for (const char* kind : {"fifo", "device"}) {
        SCOPED_TRACE(kind);
        tv::testing::TempRoot root;
        const auto file = vb::AppPaths::RegistryFile();
        std::filesystem::create_directories(file.parent_path());
        if (std::string(kind) == "fifo")
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        else
            std::filesystem::create_symlink("/dev/zero", file);
        // In a child: a read that blocks must not block the test as well.
        const pid_t child = spawn([] {
            const auto problem = StoreProblem();
            if (!problem || problem->find("is not a file") == std::string::npos)
                return 1;
            return setText(HKEY_CURRENT_USER, "Software", "x", "y") == ERROR_SUCCESS ? 2 : 0;
        });
        EXPECT_EQ(waitAtMost(child, 30), 0) << "-1: start-up hangs on the file";
        EXPECT_FALSE(std::filesystem::is_regular_file(file)) << "left as it is";
    }
}

TEST(RegistryFile, AFileOfAnotherKindIsNotCalledCutShort)
{
    tv::testing::TempRoot root;
    std::string binary = "\x89PNG\r\n\x1a\n";
    for (int i = 0; i < 300; ++i)
        binary += static_cast<char>((i * 37) & 0xff);
    for (const std::string& content : {binary, std::string("[HKEY_CURRENT_USER\\A]\n; end\n"),
                                       std::string("just some notes\n")}) {
        vb::fso::WriteAllBytesAtomic(vb::AppPaths::RegistryFile(), content);
        const auto problem = StoreProblem();
        ASSERT_TRUE(problem.has_value());
        EXPECT_NE(problem->find("is not a Tallyvane settings file"), std::string::npos) << *problem;
        EXPECT_EQ(problem->find("cut short"), std::string::npos) << *problem;
    }
    // A settings file that lost its end is still told as cut short.
    vb::fso::WriteAllBytesAtomic(vb::AppPaths::RegistryFile(), "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\A]\n");
    const auto cut = StoreProblem();
    ASSERT_TRUE(cut.has_value());
    EXPECT_NE(cut->find("cut short"), std::string::npos) << *cut;
}

TEST(RegistryFile, TheClassesRootOfAFileThatCannotBeUsedIsKeptUntilTheProcessEnds)
{
    // Unless the process asks for it, a damaged file refuses registrations
    // too (a registration tool must not report a success that ends with it).
    {
        tv::testing::TempRoot root;
        vb::fso::WriteAllBytesAtomic(vb::AppPaths::RegistryFile(), "");
        EXPECT_EQ(setText(HKEY_CLASSES_ROOT, "CLSID\\{1}", "", "x"), ERROR_REGISTRY_CORRUPT);
    }
    KeepClassesRootInMemory();

    constexpr std::string_view kServer = "CLSID\\{11111111-2222-3333-4444-555555555555}\\InprocServer32";
    const std::string valid = kValidFile;
    const std::string tooLarge = "TALLYVANE-REGISTRY 1\n" + std::string(16 * 1024 * 1024, ';') + "\n; end\n";
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"broken key line", "TALLYVANE-REGISTRY 1\n[HKEY_CURRENT_USER\\A\n; end\n"},
        {"empty", ""},
        {"cut short", valid.substr(0, valid.size() / 2)},
        {"too large", tooLarge},
    };
    for (const auto& [what, content] : damaged) {
        SCOPED_TRACE(what);
        tv::testing::TempRoot root;
        const auto file = vb::AppPaths::RegistryFile();
        vb::fso::WriteAllBytesAtomic(file, content);

        EXPECT_EQ(getText(HKEY_CLASSES_ROOT, kServer, ""), "<missing>");
        ASSERT_EQ(setText(HKEY_CLASSES_ROOT, kServer, "", "/opt/lib/libbutton.so"), ERROR_SUCCESS);
        EXPECT_EQ(getText(HKEY_CLASSES_ROOT, kServer, ""), "/opt/lib/libbutton.so");
        HKEY classKey = 0;
        ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, &classKey), ERROR_SUCCESS);
        std::string name;
        EXPECT_EQ(RegEnumKeyEx(classKey, 0, &name), ERROR_SUCCESS);
        EXPECT_EQ(name, "{11111111-2222-3333-4444-555555555555}");
        RegCloseKey(classKey);
        // The settings themselves still answer that the file is damaged, and
        // the file is never touched.
        EXPECT_EQ(setText(HKEY_CURRENT_USER, "Software", "x", "y"), ERROR_REGISTRY_CORRUPT);
        EXPECT_TRUE(StoreProblem().has_value());
        EXPECT_TRUE(vb::fso::ReadAllBytes(file) == content);
    }
    // What was kept belonged to those files: a sound one knows nothing of it.
    tv::testing::TempRoot root;
    EXPECT_EQ(getText(HKEY_CLASSES_ROOT, kServer, ""), "<missing>");
    ASSERT_EQ(setText(HKEY_CLASSES_ROOT, kServer, "", "/usr/lib/libbutton.so"), ERROR_SUCCESS);
    EXPECT_NE(fileText().find("/usr/lib/libbutton.so"), std::string::npos);

    // A folder the user may only read: the class registered before is still
    // known, the new registration is kept in memory, settings fail to save,
    // and the file stays as it was. In a child process that is not root, as
    // root may write anywhere.
    std::filesystem::permissions(root.Path(), std::filesystem::perms(0755));
    std::filesystem::permissions(vb::AppPaths::RegistryFile(), std::filesystem::perms(0644));
    std::filesystem::permissions(vb::AppPaths::ConfigFolder(), std::filesystem::perms(0555));
    const std::string before = fileText();
    const pid_t child = spawn([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 9;
        if (getText(HKEY_CLASSES_ROOT, kServer, "") != "/usr/lib/libbutton.so")
            return 1;
        if (setText(HKEY_CURRENT_USER, "Software", "x", "y") != ERROR_ACCESS_DENIED)
            return 2;
        if (setText(HKEY_CLASSES_ROOT, kServer, "", "/home/me/lib/libbutton.so") != ERROR_SUCCESS ||
            setText(HKEY_CLASSES_ROOT, kServer, "ThreadingModel", "Apartment") != ERROR_SUCCESS)
            return 3;
        if (getText(HKEY_CLASSES_ROOT, kServer, "") != "/home/me/lib/libbutton.so" ||
            getText(HKEY_CLASSES_ROOT, kServer, "ThreadingModel") != "Apartment")
            return 4;
        // A key with subkeys still refuses a plain delete: that is the key's
        // answer, not the file's.
        if (RegDeleteKey(HKEY_CLASSES_ROOT, "CLSID") != ERROR_ACCESS_DENIED)
            return 5;
        return 0;
    });
    EXPECT_EQ(waitFor(child), 0);
    std::filesystem::permissions(vb::AppPaths::ConfigFolder(), std::filesystem::perms(0755));
    EXPECT_EQ(fileText(), before);
}
