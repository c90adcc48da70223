// One running copy per program folder: the claim, the call of a later start,
// starts at the same moment, and what a crashed copy leaves behind.

#include "program/shell/RunningCopy.h"

#include "platform/testing/DesktopWaits.h"
#include "platform/testing/TempRoot.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tv::testing::WaitUntil;

TEST(RunningCopy, TheFirstClaimRunsAndALaterOneCallsIt)
{
    tv::testing::TempRoot root;
    const fs::path folder = root.Path() / "program" / "tallyvane";
    RunningCopy first(folder);
    ASSERT_TRUE(first.First());
    EXPECT_TRUE(fs::is_directory(folder));
    int calls = 0;
    first.Listen([&] { ++calls; });

    {
        RunningCopy later(folder);
        EXPECT_FALSE(later.First());
        EXPECT_TRUE(later.CallFirst());
        EXPECT_FALSE(later.First());
    }
    EXPECT_TRUE(WaitUntil([&] { return calls == 1; })) << calls;
    // The same folder by another name is the same folder.
    RunningCopy again(root.Path() / "program" / "." / "tallyvane");
    EXPECT_FALSE(again.First());
    EXPECT_TRUE(again.CallFirst());
    EXPECT_TRUE(WaitUntil([&] { return calls == 2; })) << calls;
    // Another folder is another program.
    RunningCopy other(root.Path() / "other");
    EXPECT_TRUE(other.First());
}

// The copy called ends before it answers: the later start holds the folder
// and runs itself.
TEST(RunningCopy, AStartWhoseCopyEndedMeanwhileRunsItself)
{
    tv::testing::TempRoot root;
    const fs::path folder = root.Path() / "tallyvane";
    auto first = std::make_unique<RunningCopy>(folder);
    ASSERT_TRUE(first->First());
    RunningCopy later(folder);
    ASSERT_FALSE(later.First());
    // It never listened: nobody answers until it is gone.
    first.reset();
    EXPECT_FALSE(later.CallFirst());
    EXPECT_TRUE(later.First());
    int calls = 0;
    later.Listen([&] { ++calls; });
    RunningCopy third(folder);
    EXPECT_TRUE(third.CallFirst());
    EXPECT_TRUE(WaitUntil([&] { return calls == 1; }));
}

// A copy killed while it held the folder leaves its socket file; the lock
// goes with the process. The next start runs, and answers the one after.
TEST(RunningCopy, ACrashedCopyKeepsNoStartOut)
{
    tv::testing::TempRoot root;
    const fs::path folder = root.Path() / "tallyvane";
    fs::create_directories(folder);
    const fs::path socketPath = RunningCopy::SocketPath(folder);
    fs::remove(socketPath);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t crashed = ::fork();
    if (crashed == 0) {
        // As a copy does, bare: the lock, then a socket listening at its path.
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
        const bool held = dir >= 0 && ::flock(dir, LOCK_EX | LOCK_NB) == 0 && s >= 0 &&
                          ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                          ::listen(s, 4) == 0;
        const char answer = held ? 'y' : 'n';
        [[maybe_unused]] ssize_t written = ::write(ready[1], &answer, 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(answer, 'y');
    {
        RunningCopy whileItRuns(folder);
        EXPECT_FALSE(whileItRuns.First());
    }
    ::kill(crashed, SIGKILL);
    int status = 0;
    ::waitpid(crashed, &status, 0);
    ASSERT_TRUE(fs::exists(socketPath)) << "the killed copy's socket file is there";

    RunningCopy next(folder);
    ASSERT_TRUE(next.First());
    int calls = 0;
    next.Listen([&] { ++calls; });
    RunningCopy after(folder);
    EXPECT_FALSE(after.First());
    EXPECT_TRUE(after.CallFirst());
    EXPECT_TRUE(WaitUntil([&] { return calls == 1; }));
}

// Starts at the same moment on one folder: exactly one of them holds it.
TEST(RunningCopy, OfStartsAtTheSameMomentExactlyOneRuns)
{
    tv::testing::TempRoot root;
    const fs::path folder = root.Path() / "tallyvane";
    constexpr int kStarts = 8;
    int go[2];
    int done[2];
    ASSERT_EQ(::pipe(go), 0);
    ASSERT_EQ(::pipe(done), 0);
    std::vector<pid_t> starts;
    for (int i = 0; i < kStarts; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(go[1]);
            ::close(done[0]);
            char c;
            // All wait for the same signal, then claim at once.
            if (::read(go[0], &c, 1) != 0)
                ::_exit(3);
            RunningCopy claim(folder);
            const char first = claim.First() ? '1' : '0';
            [[maybe_unused]] ssize_t written = ::write(done[1], &first, 1);
            // The claims are held until every start has made its own.
            ::pause();
            ::_exit(0);
        }
        starts.push_back(pid);
    }
    ::close(go[0]);
    ::close(done[1]);
    ::close(go[1]); // every start reads the end at once
    int firsts = 0;
    for (int i = 0; i < kStarts; ++i) {
        char c = 0;
        ASSERT_EQ(::read(done[0], &c, 1), 1);
        firsts += c == '1';
    }
    ::close(done[0]);
    for (pid_t pid : starts) {
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    EXPECT_EQ(firsts, 1);
}

} // namespace
