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

namespace {

constexpr int kWriterRounds = 50;

std::string yearsOfRound(int round)
{
    return std::to_string(2000 + round);
}

std::string recipientOfRound(int round)
{
    return "run" + std::to_string(round) + "@x.com";
}

// One running copy of the program: 50 times it reads its own report's
// record, counts it lost when it no longer holds its own last change, and
// changes it again, the way the screens and the runner do. The report
// screen saves options (a read-change-rewrite through the record), the
// runner rewrites a schedule.
int changeOwnReport(const fs::path& folder, bool options, int startFd)
{
    char go = 0;
    if (read(startFd, &go, 1) != 1)
        return 101;
    int lost = 0;
    try {
        for (int round = 1; round <= kWriterRounds; ++round) {
            if (options) {
                ReportSettings s =
                    Mod_Report::ToReportSettings(Mod_Report::ReadReportSettings(folder, "BASE RATE"));
                lost += round > 1 && s.Years != yearsOfRound(round - 1) ? 1 : 0;
                s.Years = yearsOfRound(round);
                Mod_Report::SaveReportOptions("BASE RATE", s);
            } else {
                const Lines v = Mod_Report::ReadReportSettings(folder, "LEASE TERM");
                lost += round > 1 && v[Mod_Report::kFilename] != recipientOfRound(round - 1) ? 1 : 0;
                ScheduledTask entry;
                entry.Key = "LEASE TERM";
                entry.ScheduleReport = true;
                entry.NextRunDate = vb::DateSerial(2026, 3, 15);
                entry.RunTime = "09:00 AM";
                entry.Frequency = "Daily";
                entry.Destination = 2;
                entry.Filename = recipientOfRound(round);
                Mod_FileIO::WriteReportSchedule(folder, entry);
            }
        }
    } catch (...) {
        return 102;
    }
    return std::min(lost, 100);
}

} // namespace

// Two running copies of the program, each changing its own report 50 times
// at the same moments: neither ever loses a change to the other's rewrites.
TEST(LineFileWriters, TwoProcessesChangingTheirOwnReportsLoseNothing)
{
    tv::testing::TempRoot root;
    tv::ResetReportsState();
    tv::ResetStoresState();
    const fs::path folder = root.ProgramFolder();
    fs::create_directories(folder);
    for (const auto& k : Mod_Report::kReportKeys)
        Mod_FileIO::WriteReportSettings(folder, k.key, settings(k.key, 'A'));

    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    pid_t writers[2];
    for (int i = 0; i < 2; ++i) {
        writers[i] = fork();
        ASSERT_GE(writers[i], 0);
        if (writers[i] == 0) {
            close(gate[1]);
            _exit(changeOwnReport(folder, i == 0, gate[0]));
        }
    }
    close(gate[0]);
    const char go[2] = {1, 1};
    ASSERT_EQ(write(gate[1], go, 2), 2);
    close(gate[1]);
    for (pid_t writer : writers) {
        int status = 0;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "changes lost (100 and over: the writer failed)";
    }
    EXPECT_EQ(Mod_Report::ReadReportSettings(folder, "BASE RATE")[Mod_Report::kYears], yearsOfRound(kWriterRounds));
    EXPECT_EQ(Mod_Report::ReadReportSettings(folder, "LEASE TERM")[Mod_Report::kFilename],
              recipientOfRound(kWriterRounds));
    // The others were never touched.
    EXPECT_EQ(Mod_Report::ReadReportSettings(folder, "CAM RATE"), settings("CAM RATE", 'A'));
}

// A rewrite inside a read-change-rewrite that names the folder another way
// ("folder/.") shares the lock already held: it never waits for itself.
TEST(LineFileWriters, ALockOnTheFolderSpeltAnotherWayIsTheLockAlreadyHeld)
{
    tv::testing::TempRoot root;
    tv::ResetReportsState();
    const fs::path folder = root.ProgramFolder();
    fs::create_directories(folder);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(20); // a lock waiting for itself ends here
        try {
            Mod_FileIO::ReportFileLock lock(folder / ".");
            Mod_FileIO::WriteReportSettings(folder, "LANDLORD", settings("LANDLORD", 'B'));
            Mod_FileIO::WriteReportSettings(folder.string() + "/", "BASE RATE", settings("BASE RATE", 'B'));
        } catch (...) {
            _exit(2);
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the writer waited for its own lock";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Mod_Report::ReadReportSettings(folder, "LANDLORD"), settings("LANDLORD", 'B'));
    EXPECT_EQ(Mod_Report::ReadReportSettings(folder, "BASE RATE"), settings("BASE RATE", 'B'));
}
