#include "program/reports/Mod_TaskList.h"

#include "platform/basic/App.h"
#include "platform/basic/RuntimeError.h"
#include "platform/testing/TempRoot.h"
#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/Mod_tallyvane_Tasks.h"
#include "program/reports/ReportsState.h"
#include "program/reports/testdata/FileEvents.h"
#include "program/services/MBoxMod.h"
#include "program/stores/Mod_FileIO.h"
#include "program/stores/StoresState.h"

#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

using namespace Mod_TaskList;
using Mod_Report::ReadReportSettings;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

vb::Date day(int y, int m, int d)
{
    return vb::DateSerial(y, m, d);
}

vb::Date at(int y, int m, int d, int hour, int minute)
{
    return vb::Date::FromSerial(day(y, m, d).Serial() + vb::TimeSerial(hour, minute, 0).Serial());
}

std::string text(std::optional<vb::Date> d)
{
    return d ? Mod_Report::DateText(*d) : "none";
}

void setNow(vb::Date now)
{
    vb::SetClock(std::make_shared<vb::FakeClock>(now));
}

class TaskTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        tv::ResetReportsState();
        tv::ResetStoresState();
        setNow(at(2026, 3, 15, 9, 0));
    }
    void TearDown() override
    {
        vb::SetClock(nullptr);
        MBoxMod::SetPresenter(nullptr);
    }

    // Stores a schedule for a report (its other settings as a new report has them).
    void schedule(std::string_view key, const std::string& start, const std::string& time, const std::string& frequency,
                  const std::string& flag = "True", const std::string& reminder = "None")
    {
        Lines v = ReadReportSettings(folder(), key);
        v[Mod_Report::kScheduleReport] = flag;
        v[Mod_Report::kStartDate] = start;
        v[Mod_Report::kStartTime] = time;
        v[Mod_Report::kFrequency] = frequency;
        v[Mod_Report::kReminder] = reminder;
        v[Mod_Report::kDestination] = "2";
        v[Mod_Report::kFilename] = "boss@example.com";
        v[Mod_Report::kSendAsAttachment] = "True";
        Mod_FileIO::WriteReportSettings(folder(), key, v);
    }
    const std::vector<ScheduledTask>& table() const { return *tv::Reports().g_ScheduledTasks; }
    fs::path folder() const { return root.ProgramFolder(); }

    tv::testing::TempRoot root;
};

} // namespace

// Next run date seen from a fixed today, for every frequency across month
// ends, leap years and year ends.
TEST_F(TaskTable, NextRunDateForEveryFrequency)
{
    struct Case {
        vb::Date today;
        const char* frequency;
        vb::Date start;
        const char* expected;
    };
    const Case cases[] = {
        // Once: only today or later.
        {day(2026, 3, 15), "Once", day(2026, 3, 14), "none"},
        {day(2026, 3, 15), "Once", day(2026, 3, 15), "3/15/2026"},
        {day(2026, 12, 31), "Once", day(2027, 1, 1), "1/1/2027"},
        // Hourly and daily: today, but a start in the future is kept.
        {day(2026, 3, 15), "Hourly", day(2025, 1, 1), "3/15/2026"},
        {day(2026, 3, 15), "Hourly", day(2026, 4, 2), "4/2/2026"},
        {day(2026, 3, 15), "Daily", day(2026, 3, 14), "3/15/2026"},
        {day(2026, 3, 15), "Daily", day(2026, 4, 15), "4/15/2026"},
        {day(2027, 1, 1), "Daily", day(2026, 12, 31), "1/1/2027"},
        // Weekly.
        {day(2026, 3, 15), "Weekly", day(2026, 3, 15), "3/15/2026"},
        {day(2026, 3, 15), "Weekly", day(2026, 3, 8), "3/15/2026"},
        {day(2026, 3, 15), "Weekly", day(2026, 3, 7), "3/21/2026"},
        {day(2026, 1, 2), "Weekly", day(2025, 12, 25), "1/8/2026"},
        {day(2024, 3, 1), "Weekly", day(2024, 2, 22), "3/7/2024"},
        {day(2024, 2, 29), "Weekly", day(2024, 2, 22), "2/29/2024"},
        {day(2026, 3, 15), "Weekly", day(2026, 3, 20), "3/20/2026"},
        // Monthly: a day cut back stays cut back.
        {day(2026, 3, 15), "Monthly", day(2026, 1, 31), "3/28/2026"},
        {day(2024, 3, 15), "Monthly", day(2024, 1, 31), "3/29/2024"},
        {day(2026, 1, 15), "Monthly", day(2025, 12, 31), "1/31/2026"},
        {day(2026, 3, 1), "Monthly", day(2026, 1, 30), "3/28/2026"},
        {day(2026, 2, 28), "Monthly", day(2026, 1, 31), "2/28/2026"},
        {day(2027, 1, 10), "Monthly", day(2026, 10, 10), "1/10/2027"},
        // Quarterly and every six months.
        {day(2026, 3, 1), "Quarterly", day(2025, 11, 30), "5/28/2026"},
        {day(2026, 1, 1), "Quarterly", day(2025, 10, 1), "1/1/2026"},
        {day(2026, 1, 2), "Quarterly", day(2025, 10, 1), "4/1/2026"},
        {day(2024, 3, 1), "Bi-Yearly", day(2023, 8, 31), "8/29/2024"},
        {day(2024, 2, 29), "Bi-Yearly", day(2023, 8, 31), "2/29/2024"},
        {day(2026, 7, 1), "Bi-Yearly", day(2025, 12, 31), "12/30/2026"},
        // Yearly, from a leap day.
        {day(2021, 3, 1), "Yearly", day(2020, 2, 29), "2/28/2022"},
        {day(2021, 2, 28), "Yearly", day(2020, 2, 29), "2/28/2021"},
        {day(2026, 12, 31), "Yearly", day(2025, 12, 31), "12/31/2026"},
        {day(2027, 1, 1), "Yearly", day(2025, 12, 31), "12/31/2027"},
        // Frequencies compare exactly.
        {day(2026, 3, 15), "daily", day(2026, 3, 15), "none"},
        {day(2026, 3, 15), "", day(2026, 3, 15), "none"},
        {day(2026, 3, 15), "Fortnightly", day(2026, 3, 15), "none"},
    };
    for (const Case& c : cases) {
        setNow(vb::Date::FromSerial(c.today.Serial() + 0.75));
        EXPECT_EQ(text(GetNextRunDate(c.frequency, c.start)), c.expected)
            << c.frequency << " from " << Mod_Report::DateText(c.start) << " seen on " << Mod_Report::DateText(c.today);
    }
}

TEST_F(TaskTable, AdvanceJumpsLikeSteppingOneIntervalAtATime)
{
    std::mt19937 rng(7);
    setNow(at(2026, 3, 15, 12, 0));
    const vb::Date today = vb::Today();
    for (const char* unit : {"d", "ww", "h", "m", "yyyy"}) {
        for (int round = 0; round < 60; ++round) {
            const int16_t n = static_cast<int16_t>(1 + rng() % 5);
            const unsigned span = std::string_view(unit) == "h" ? 100 : 3000;
            const vb::Date start = vb::Date::FromSerial(today.Serial() - 1 - static_cast<double>(rng() % span));
            vb::Date expected = start;
            while (expected < today)
                expected = vb::DateAdd(unit, n, expected);
            EXPECT_EQ(AdvanceToToday(start, n, unit), expected) << unit << " " << n << " " << start.Serial();
        }
    }
    // A start in a far year is still quick and exact.
    EXPECT_EQ(AdvanceToToday(day(100, 1, 1), 1, "d"), today);
    EXPECT_EQ(tv::testing::ErrorOf([&] { AdvanceToToday(day(2000, 1, 1), 0, "m"); }), vb::kErrInvalidCall);
}

TEST_F(TaskTable, BuildListsTheScheduledReportsInKeyOrder)
{
    EXPECT_EQ(BuildScheduledReports(), 0);
    EXPECT_FALSE(tv::Reports().g_ScheduledTasks); // no elements at all
    EXPECT_EQ(tv::testing::ErrorOf([] { vb::UBound(tv::Reports().g_ScheduledTasks); }), vb::kErrSubscript);

    schedule("LANDLORD", "1/31/2026", "10:30 AM", "Monthly");
    schedule("BASE RATE", "3/15/2026", "9:00 am", "Once");
    schedule("CAM RATE", "3/14/2026", "09:00 AM", "Once");            // gone by: no entry
    schedule("TAX RATE", "3/15/2026", "09:00 AM", "daily");           // not a frequency
    schedule("LEASE TERM", "3/15/2026", "09:00 AM", "Weekly", "true"); // only "True" schedules
    schedule("OTHER REMINDER", "3/8/2026", "11:00 PM", "Weekly", "True", "Popup-Menu");

    EXPECT_EQ(BuildScheduledReports(), 3);
    ASSERT_EQ(table().size(), 3u);
    EXPECT_EQ(table()[0].Key, "BASE RATE");
    EXPECT_EQ(table()[0].DisplayName, "Base Rate Report");
    EXPECT_EQ(table()[0].NextRunDate, day(2026, 3, 15));
    EXPECT_EQ(table()[0].RunTime, "09:00 AM"); // in the form the runner compares
    EXPECT_FALSE(table()[0].ScheduleReport);
    EXPECT_EQ(table()[0].Destination, 2);
    EXPECT_EQ(table()[0].Filename, "boss@example.com");
    EXPECT_TRUE(table()[0].SendAsAttachment);
    EXPECT_EQ(table()[1].Key, "OTHER REMINDER");
    EXPECT_EQ(table()[1].NextRunDate, day(2026, 3, 15));
    EXPECT_EQ(table()[1].Reminder, "Popup-Menu");
    EXPECT_EQ(table()[2].Key, "LANDLORD");
    EXPECT_EQ(table()[2].NextRunDate, day(2026, 3, 28));
    EXPECT_EQ(table()[2].Frequency, "Monthly");

    // Every report now has its block in the file.
    const std::string file = tv::testing::ReadRaw(folder() / Mod_Report::kReportFileName);
    for (const auto& k : Mod_Report::kReportKeys)
        EXPECT_NE(file.find("<Name>" + std::string(k.key) + "</Name>"), std::string::npos) << k.key;
}

// The table is built from one read of the file, and the reports the file
// lacks are added in one rewrite, however long the file.
TEST_F(TaskTable, BuildReadsTheFileOnceAndAddsTheMissingBlocksInOneRewrite)
{
    const fs::path path = folder() / Mod_Report::kReportFileName;
    {
        std::ofstream out(path, std::ios::binary);
        out << "<xml>\r\n<ReportScheduler>\r\n";
        for (int i = 0; i < 20000; ++i)
            out << "  <!-- a line of no block " << i << " -->\r\n";
        out << "</ReportScheduler>\r\n</xml>\r\n";
    }
    schedule("LANDLORD", "3/20/2026", "10:30 AM", "Monthly");
    filetest::FileEvents events(path);
    ASSERT_TRUE(events.Watching());

    EXPECT_EQ(BuildScheduledReports(), 1);
    const auto first = events.Take();
    EXPECT_EQ(first.opened, 1);
    EXPECT_EQ(first.written, 1);
    const std::string file = tv::testing::ReadRaw(path);
    for (const auto& k : Mod_Report::kReportKeys)
        EXPECT_NE(file.find("<Name>" + std::string(k.key) + "</Name>"), std::string::npos) << k.key;
    EXPECT_NE(file.find("a line of no block 19999"), std::string::npos);

    // With every block there, a build only reads (the test's own read of
    // the file above not counted).
    events.Take();
    EXPECT_EQ(BuildScheduledReports(), 1);
    const auto second = events.Take();
    EXPECT_EQ(second.opened, 1);
    EXPECT_EQ(second.written, 0);
    EXPECT_EQ(tv::testing::ReadRaw(path), file);
}

TEST_F(TaskTable, AReportWhoseScheduleCannotBeReadIsLeftOutAndTheRestAreBuilt)
{
    schedule("BASE RATE", "the 31st", "09:00 AM", "Daily");
    schedule("CAM RATE", "3/20/2026", "at nine", "Daily");
    schedule("TAX RATE", "3/20/2026", "", "Daily");
    schedule("LEASE TERM", "3/20/2026", "09:00 AM", "Daily");
    Lines v = ReadReportSettings(folder(), "LEASE TERM");
    v[Mod_Report::kDestination] = "printer";
    Mod_FileIO::WriteReportSettings(folder(), "LEASE TERM", v);
    schedule("RENEWAL REMINDER", "3/20/2026", "09:00 AM", "Daily");
    v = ReadReportSettings(folder(), "RENEWAL REMINDER");
    v[Mod_Report::kSendAsAttachment] = "perhaps";
    Mod_FileIO::WriteReportSettings(folder(), "RENEWAL REMINDER", v);
    schedule("LANDLORD", "3/20/2026", "09:00 AM", "Daily");

    EXPECT_EQ(BuildScheduledReports(), 1);
    EXPECT_EQ(table()[0].Key, "LANDLORD");
    EXPECT_EQ(table()[0].NextRunDate, day(2026, 3, 20));
}

TEST_F(TaskTable, DailyAndHourlyEntriesBuiltAfterTheirTimeMoveOnToTheNextDueTime)
{
    setNow(at(2026, 12, 31, 15, 45));
    schedule("BASE RATE", "12/1/2026", "09:00 AM", "Daily");  // gone by today: tomorrow
    schedule("CAM RATE", "12/1/2026", "03:45 PM", "Daily");   // due this minute: today
    schedule("TAX RATE", "12/1/2026", "09:30 AM", "Hourly");  // next at half past four
    schedule("LEASE TERM", "12/31/2026", "03:45 PM", "Hourly");
    schedule("LANDLORD", "12/1/2026", "09:00 AM", "Weekly");  // other frequencies keep their day
    EXPECT_EQ(BuildScheduledReports(), 5);
    EXPECT_EQ(table()[0].NextRunDate, day(2027, 1, 1));
    EXPECT_EQ(table()[1].NextRunDate, day(2026, 12, 31));
    EXPECT_EQ(table()[2].NextRunDate, day(2026, 12, 31));
    EXPECT_EQ(table()[2].RunTime, "04:30 PM");
    EXPECT_EQ(table()[3].RunTime, "03:45 PM");
    EXPECT_EQ(table()[4].NextRunDate, day(2027, 1, 5));

    setNow(at(2026, 12, 31, 23, 45));
    EXPECT_EQ(BuildScheduledReports(), 5);
    EXPECT_EQ(table()[2].NextRunDate, day(2027, 1, 1));
    EXPECT_EQ(table()[2].RunTime, "12:30 AM");
}

TEST_F(TaskTable, RescheduleMovesEachFrequencyOnAndWritesItBack)
{
    struct Case {
        const char* frequency;
        vb::Date next;
        const char* runTime;
        vb::Date expectedDate;
        const char* expectedTime;
    };
    const Case cases[] = {
        {"Daily", day(2026, 12, 31), "09:00 AM", day(2027, 1, 1), "09:00 AM"},
        {"Weekly", day(2026, 2, 26), "09:00 AM", day(2026, 3, 5), "09:00 AM"},
        {"Monthly", day(2026, 1, 31), "09:00 AM", day(2026, 2, 28), "09:00 AM"},
        {"Monthly", day(2024, 1, 31), "09:00 AM", day(2024, 2, 29), "09:00 AM"},
        {"Quarterly", day(2026, 11, 30), "09:00 AM", day(2027, 2, 28), "09:00 AM"},
        {"Bi-Yearly", day(2026, 8, 31), "09:00 AM", day(2027, 2, 28), "09:00 AM"},
        {"Yearly", day(2024, 2, 29), "09:00 AM", day(2025, 2, 28), "09:00 AM"},
        {"Hourly", day(2026, 3, 15), "11:30 AM", day(2026, 3, 15), "12:30 PM"},
        {"Hourly", day(2026, 12, 31), "11:30 PM", day(2027, 1, 1), "12:30 AM"},
        {"Sometimes", day(2026, 3, 15), "09:00 AM", day(2026, 3, 15), "09:00 AM"},
    };
    for (const Case& c : cases) {
        ScheduledTask entry;
        entry.Key = "LEASE EXPIRATION";
        entry.DisplayName = "Lease Expiration Report";
        entry.NextRunDate = c.next;
        entry.RunTime = c.runTime;
        entry.Frequency = c.frequency;
        entry.Destination = 1;
        entry.Filename = "/reports/lease.htm";
        tv::Reports().g_ScheduledTasks = std::vector<ScheduledTask>{ScheduledTask{}, entry};
        Mod_tallyvane::RescheduleTask(1);
        const ScheduledTask& done = table()[1];
        EXPECT_TRUE(done.ScheduleReport) << c.frequency;
        EXPECT_EQ(done.NextRunDate, c.expectedDate) << c.frequency << " " << c.runTime;
        EXPECT_EQ(done.RunTime, c.expectedTime) << c.frequency << " " << c.runTime;
        const Lines v = ReadReportSettings(folder(), "LEASE EXPIRATION");
        EXPECT_EQ(v[Mod_Report::kScheduleReport], "True");
        EXPECT_EQ(v[Mod_Report::kStartDate], Mod_Report::DateText(c.expectedDate));
        EXPECT_EQ(v[Mod_Report::kStartTime], c.expectedTime);
        EXPECT_EQ(v[Mod_Report::kFrequency], c.frequency);
        EXPECT_EQ(v[Mod_Report::kDestination], "1");
        EXPECT_EQ(v[Mod_Report::kFilename], "/reports/lease.htm");
        EXPECT_EQ(v[Mod_Report::kSendAsAttachment], "False");
    }
    EXPECT_EQ(tv::testing::ErrorOf([] { Mod_tallyvane::RescheduleTask(2); }), vb::kErrSubscript);
    EXPECT_EQ(tv::testing::ErrorOf([] { Mod_tallyvane::RescheduleTask(-1); }), vb::kErrSubscript);
    tv::Reports().g_ScheduledTasks.reset();
    EXPECT_EQ(tv::testing::ErrorOf([] { Mod_tallyvane::RescheduleTask(0); }), vb::kErrSubscript);
}

TEST_F(TaskTable, AOneTimeReportThatRanOnlyStopsBeingScheduled)
{
    schedule("PERCENTAGE RATE", "3/15/2026", "09:00 AM", "Once");
    const Lines before = ReadReportSettings(folder(), "PERCENTAGE RATE");
    ASSERT_EQ(BuildScheduledReports(), 1);
    Mod_tallyvane::RescheduleTask(0);
    Lines expected = before;
    expected[Mod_Report::kScheduleReport] = "False";
    EXPECT_EQ(ReadReportSettings(folder(), "PERCENTAGE RATE"), expected);
    EXPECT_FALSE(table()[0].ScheduleReport);
    EXPECT_EQ(table()[0].Filename, "boss@example.com");
    EXPECT_EQ(BuildScheduledReports(), 0);
}

TEST_F(TaskTable, ADailyReportRunsOncePerDayAndKeepsRunningAfterMidnight)
{
    schedule("INSURANCE REMINDER", "3/1/2026", "09:00 AM", "Daily", "True", "Popup-Menu");
    // The completion box, answered at once; it notes what the file held while it was up.
    struct Box : MBoxMod::ScriptedMBox {
        fs::path folder;
        std::string fileWhileShown;
        MBoxMod::MBoxAnswer Ask(const MBoxMod::MBoxRequest& request) override
        {
            fileWhileShown = ReadReportSettings(folder, "INSURANCE REMINDER")[Mod_Report::kStartDate];
            return ScriptedMBox::Ask(request);
        }
    };
    auto box = std::make_shared<Box>();
    box->folder = folder();
    MBoxMod::SetPresenter(box);

    // What the runner does on each pass: run the entries due this minute,
    // reschedule them and rebuild the table when one ran.
    int runs = 0;
    auto pass = [&] {
        bool ran = false;
        const vb::Date now = vb::Now();
        for (size_t i = 0; tv::Reports().g_ScheduledTasks && i < table().size(); ++i) {
            if (table()[i].NextRunDate == vb::DateValue(now) && table()[i].RunTime == Mod_Report::TimeText(now)) {
                ++runs;
                Mod_tallyvane::RescheduleTask(static_cast<int16_t>(i));
                ran = true;
            }
        }
        if (ran)
            BuildScheduledReports();
    };

    setNow(at(2026, 3, 15, 8, 59));
    BuildScheduledReports();
    for (int d = 15; d <= 17; ++d) {
        for (int second : {0, 30}) {
            setNow(vb::Date::FromSerial(at(2026, 3, d, 9, 0).Serial() + second / 86400.0));
            pass();
        }
        setNow(at(2026, 3, d, 9, 1));
        pass();
    }
    EXPECT_EQ(runs, 3);
    ASSERT_EQ(box->shown.size(), 3u);
    for (const auto& shown : box->shown) {
        EXPECT_EQ(shown.prompt, "Insurance Reminder Report report generated!");
        EXPECT_EQ(shown.colorScheme, 2);
        EXPECT_EQ(shown.buttonSet, 0);
        EXPECT_EQ(shown.iconIndex, 2);
        EXPECT_EQ(shown.title, "Report Complete");
        EXPECT_FALSE(shown.showCheck);
    }
    // The box came after the entry had been written back.
    EXPECT_EQ(box->fileWhileShown, "3/18/2026");
}
