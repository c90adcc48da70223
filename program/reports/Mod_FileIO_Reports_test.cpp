#include "program/reports/Mod_FileIO_Reports.h"

#include "platform/testing/TempRoot.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/ReportsState.h"
#include "program/stores/Mod_FileIO.h"
#include "program/stores/StoresState.h"

#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <random>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

Lines settings(std::string_view key, char version)
{
    const std::string tag = std::string(key) + " " + version;
    return {"1 Year", "2026", "ASC", tag, "True", "3/15/2026", "09:00 AM", "Daily", "None", "2", tag + "@x.com", "True"};
}

std::string notesText(int store, char version)
{
    return "store " + std::to_string(store) + " version " + version + std::string(200, version);
}

constexpr int kStores = 10;

// Rewrites both line files for ever, each value in one of two versions at
// random, and tells the parent after each pair of writes; runs in a child
// process until it is killed.
[[noreturn]] void rewriteForever(const fs::path& folder, unsigned seed, int progressFd)
{
    std::mt19937 rng(seed);
    try {
        for (unsigned n = 0;; ++n) {
            const char version = rng() % 2 ? 'B' : 'A';
            const auto& key = Mod_Report::kReportKeys[n % 10].key;
            Mod_FileIO::WriteReportSettings(folder, key, settings(key, version));
            const int store = 1 + static_cast<int>(n % kStores);
            Mod_FileIO::WriteRateNotes(static_cast<int16_t>(store), folder, Mod_FileIO::kBaseRateNotes,
                                       {notesText(store, version)});
            const char done = 1;
            if (write(progressFd, &done, 1) != 1)
                _exit(4);
        }
    } catch (...) {
        _exit(3);
    }
}

} // namespace

// A crash in the middle of a rewrite leaves the old file or the new one: the
// writer is killed at random moments, after a few writes however slow the
// machine, and each time both files still read whole. The rounds go on until
// a kill has cut a write short: on a disk most do, on a RAM disk few (a write
// there does not wait for the disk).
TEST(LineFileKill, AWriterKilledAtAnyMomentLeavesFilesThatReadWhole)
{
    tv::testing::TempRoot root;
    tv::ResetReportsState();
    tv::ResetStoresState();
    const fs::path folder = root.ProgramFolder();
    for (const auto& k : Mod_Report::kReportKeys)
        Mod_FileIO::WriteReportSettings(folder, k.key, settings(k.key, 'A'));
    for (int store = 1; store <= kStores; ++store)
        Mod_FileIO::WriteRateNotes(static_cast<int16_t>(store), folder, Mod_FileIO::kBaseRateNotes,
                                   {notesText(store, 'A')});
    const fs::path schedules = folder / Mod_Report::kReportFileName;
    const fs::path notes = folder / Mod_FileIO::kNotesFileName;
    const size_t scheduleLines = 2 + 10 * 15 + 2;
    const size_t notesLines = 2 + kStores * 8 + 2;

    std::mt19937 rng(4242);
    int changed = 0;
    int cutShort = 0;
    std::string last = tv::testing::ReadRaw(schedules) + tv::testing::ReadRaw(notes);
    constexpr int kLeastRounds = 15;
    constexpr int kMostRounds = 300;
    int round = 0;
    for (; round < kLeastRounds || (cutShort == 0 && round < kMostRounds); ++round) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            rewriteForever(folder, static_cast<unsigned>(round), pipeFds[1]);
        // Killed at a random moment after one or two pairs of writes, most
        // often in the middle of the next (a write waits on the disk most).
        close(pipeFds[1]);
        const int writes = 1 + static_cast<int>(rng() % 2);
        char done = 0;
        bool started = true;
        for (int i = 0; i < writes && started; ++i)
            started = read(pipeFds[0], &done, 1) == 1;
        usleep(static_cast<useconds_t>(rng() % 20000));
        kill(child, SIGKILL);
        close(pipeFds[0]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(started);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own, status " << status;

        // A write cut short leaves its temporary file beside the file it was
        // to replace; the next writer's rewrite of that file clears it, so
        // no more than the last kill's (one per file) are ever there.
        int temps = 0;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".tmp")
                ++temps;
        EXPECT_LE(temps, 2) << round;
        cutShort += temps > 0 ? 1 : 0;

        const std::string s = tv::testing::ReadRaw(schedules);
        const std::string n = tv::testing::ReadRaw(notes);
        ASSERT_EQ(static_cast<size_t>(std::count(s.begin(), s.end(), '\n')), scheduleLines) << round;
        ASSERT_EQ(static_cast<size_t>(std::count(n.begin(), n.end(), '\n')), notesLines) << round;
        ASSERT_EQ(s.substr(s.size() - 8), "</xml>\r\n");
        ASSERT_EQ(n.substr(n.size() - 8), "</xml>\r\n");
        for (const auto& k : Mod_Report::kReportKeys) {
            const Lines v = Mod_Report::ReadReportSettings(folder, k.key);
            EXPECT_TRUE(v == settings(k.key, 'A') || v == settings(k.key, 'B')) << k.key << " round " << round;
        }
        for (int store = 1; store <= kStores; ++store) {
            const auto v = Mod_FileIO::ReadRateNotes(static_cast<int16_t>(store), folder, Mod_FileIO::kBaseRateNotes);
            ASSERT_TRUE(v) << store;
            EXPECT_TRUE(v->front() == notesText(store, 'A') || v->front() == notesText(store, 'B')) << store;
        }
        if (s + n != last)
            ++changed;
        last = s + n;
    }
    // The writer did get to work in most rounds.
    EXPECT_GT(changed, round / 3);
    EXPECT_GT(cutShort, 0);
    // The next rewrites leave nothing of the killed writers behind.
    Mod_FileIO::WriteReportSettings(folder, Mod_Report::kReportKeys[0].key, settings(Mod_Report::kReportKeys[0].key, 'A'));
    Mod_FileIO::WriteRateNotes(1, folder, Mod_FileIO::kBaseRateNotes, {notesText(1, 'A')});
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    std::cout << round << " rounds, " << changed << " changed the files, " << cutShort << " writes were cut short\n";
}
