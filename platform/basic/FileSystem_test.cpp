#include "platform/basic/FileSystem.h"

#include "platform/basic/App.h"
#include "platform/basic/RuntimeError.h"

#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

#include <sys/wait.h>
#include <unistd.h>

using namespace vb;
using namespace vb::fso;

namespace {

fs::path folder()
{
    const fs::path p = AppPaths::ProgramFolder() / "fso";
    fs::create_directories(p);
    return p;
}

} // namespace

TEST(FileSystem, TextLinesAreWrittenWithCrLfAndReadWithAnyLineEnd)
{
    const fs::path p = folder() / "lines.txt";
    {
        auto t = TextStream::OpenTextFile(p, IOMode::ForWriting, true);
        t.WriteLine("first");
        t.WriteLine("zweite Zeile ü");
        t.Close();
    }
    EXPECT_EQ(ReadAllBytes(p), "first\r\nzweite Zeile ü\r\n");
    tv::testing::WriteRaw(p, "a\nb\r\nc\rcaf\xe9");
    auto r = TextStream::OpenTextFile(p);
    std::vector<std::string> lines;
    while (!r.AtEndOfStream())
        lines.push_back(r.ReadLine());
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "café"}));
    EXPECT_EQ(tv::testing::ErrorOf([&] { r.ReadLine(); }), kErrInputPastEnd);
}

TEST(FileSystem, AppendingKeepsWhatWasThere)
{
    const fs::path p = folder() / "append.txt";
    tv::testing::WriteRaw(p, "one\r\n");
    {
        auto t = TextStream::OpenTextFile(p, IOMode::ForAppending);
        t.WriteLine("two");
    }
    EXPECT_EQ(ReadAllBytes(p), "one\r\ntwo\r\n");
}

TEST(FileSystem, AStreamLeftByAnErrorLeavesTheFileAsItWas)
{
    const fs::path p = folder() / "keep.txt";
    tv::testing::WriteRaw(p, "good\r\n");
    try {
        auto t = TextStream::OpenTextFile(p, IOMode::ForWriting);
        t.WriteLine("half");
        Raise(kErrDeviceIO);
    } catch (const RuntimeError&) {
    }
    EXPECT_EQ(ReadAllBytes(p), "good\r\n");
    // No temporary file is left behind either.
    int files = 0;
    for (const auto& e : fs::directory_iterator(folder()))
        files += e.path().filename().string().find("keep.txt") != std::string::npos;
    EXPECT_EQ(files, 1);
}

TEST(FileSystem, FileOperationsRaiseTheRuntimeErrors)
{
    const fs::path dir = folder();
    EXPECT_EQ(tv::testing::ErrorOf([&] { TextStream::OpenTextFile(dir / "missing.txt"); }), kErrFileNotFound);
    EXPECT_EQ(tv::testing::ErrorOf([&] { DeleteFile(dir / "missing.txt"); }), kErrFileNotFound);
    EXPECT_EQ(tv::testing::ErrorOf([&] { TextStream::OpenTextFile(dir / "no" / "x.txt", IOMode::ForWriting, true); }),
              kErrPathNotFound);
    tv::testing::WriteRaw(dir / "a.txt", "A");
    tv::testing::WriteRaw(dir / "b.txt", "B");
    EXPECT_EQ(tv::testing::ErrorOf([&] { CopyFile(dir / "a.txt", dir / "b.txt", false); }), kErrFileExists);
    CopyFile(dir / "a.txt", dir / "b.txt");
    EXPECT_EQ(ReadAllBytes(dir / "b.txt"), "A");
    CopyFile(dir / "a.txt", dir / "a.txt");
    EXPECT_EQ(ReadAllBytes(dir / "a.txt"), "A");
    MoveFile(dir / "b.txt", dir / "c.txt");
    EXPECT_FALSE(FileExists(dir / "b.txt"));
    EXPECT_TRUE(FileExists(dir / "c.txt"));
    DeleteFile(dir / "c.txt");
    EXPECT_FALSE(FileExists(dir / "c.txt"));
    EXPECT_EQ(FileLen(dir / "a.txt"), 1);
}

TEST(FileSystem, AtomicWriteKeepsPermissions)
{
    const fs::path p = folder() / "perm.txt";
    tv::testing::WriteRaw(p, "x");
    fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write);
    WriteAllBytesAtomic(p, "yy");
    EXPECT_EQ(ReadAllBytes(p), "yy");
    EXPECT_EQ(fs::status(p).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST(FileSystem, ARewriteClearsTheTemporaryFilesOfWritersThatAreGone)
{
    const fs::path dir = folder() / "stale";
    fs::create_directories(dir);
    const fs::path p = dir / "notes.xml";
    WriteAllBytesAtomic(p, "one");
    // A writer killed half-way left its temporary file; its process is gone.
    const pid_t gone = fork();
    ASSERT_GE(gone, 0);
    if (gone == 0)
        _exit(0);
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    auto temp = [&](const std::string& file, long pid, const char* random) {
        return dir / ("." + file + "." + std::to_string(pid) + "." + random + ".tmp");
    };
    const fs::path stale = temp("notes.xml", gone, "0123456789abcdef");
    const fs::path live = temp("notes.xml", getpid(), "fedcba9876543210");
    const fs::path otherFile = temp("other.xml", gone, "0123456789abcdef");
    const fs::path lookAlike = dir / ".notes.xml.backup.tmp";
    const fs::path folderLookAlike = temp("notes.xml", gone, "1111111111111111");
    for (const fs::path& f : {stale, live, otherFile, lookAlike})
        tv::testing::WriteRaw(f, "half");
    fs::create_directory(folderLookAlike);

    WriteAllBytesAtomic(p, "two");
    EXPECT_EQ(ReadAllBytes(p), "two");
    EXPECT_FALSE(fs::exists(stale)) << "the dead writer's file stays for ever";
    // A writer still running, another file's writer and names that only
    // look alike are left alone.
    EXPECT_TRUE(fs::exists(live));
    EXPECT_TRUE(fs::exists(otherFile));
    EXPECT_TRUE(fs::exists(lookAlike));
    EXPECT_TRUE(fs::is_directory(folderLookAlike));
}

TEST(FileSystem, SplitLines)
{
    EXPECT_EQ(SplitLines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(FileSystem, ForkedProcessesWritingTheSameFileDoNotCollide)
{
    const fs::path p = folder() / "forked.txt";
    WriteAllBytesAtomic(p, "start");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int failures = 0;
        for (int i = 0; i < 200; ++i) {
            try {
                WriteAllBytesAtomic(p, "child");
            } catch (...) {
                ++failures;
            }
        }
        _exit(failures == 0 ? 0 : 1);
    }
    int failures = 0;
    for (int i = 0; i < 200; ++i) {
        try {
            WriteAllBytesAtomic(p, "parent");
        } catch (...) {
            ++failures;
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string last = ReadAllBytes(p);
    EXPECT_TRUE(last == "child" || last == "parent");
}

TEST(FileSystem, AFileLockIsHeldAgainstOtherProcessesUntilItGoesAway)
{
    const fs::path p = folder() / "locked.txt";
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FileLock lock(p);
        char c = 'x';
        if (::write(ready[1], &c, 1) != 1)
            ::_exit(2);
        if (::read(release[0], &c, 1) != 1)
            ::_exit(3);
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    FileLock mine;
    EXPECT_EQ(mine.Acquire(p, false), EWOULDBLOCK);
    EXPECT_FALSE(mine.Held());
    ASSERT_EQ(::write(release[1], &c, 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(mine.Acquire(p, false), 0);
    EXPECT_TRUE(mine.Held());
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        ::close(fd);
}

TEST(FileSystem, AFileLockInAFolderThatCannotBeWrittenRaisesPermissionDenied)
{
    // In a child that is not root, as root may write anywhere.
    const fs::path dir = folder() / "readonly";
    fs::create_directories(dir);
    fs::permissions(folder(), fs::perms(0755));
    fs::permissions(dir, fs::perms(0555));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(9);
        try {
            FileLock lock(dir / "file.txt");
            ::_exit(1);
        } catch (const RuntimeError& e) {
            ::_exit(e.Number() == kErrPermissionDenied ? 0 : 2);
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    fs::permissions(dir, fs::perms::owner_all);
}
