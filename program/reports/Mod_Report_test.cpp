#include "program/reports/Mod_Report.h"

#include "platform/basic/App.h"
#include "platform/basic/FileSystem.h"
#include "platform/basic/RuntimeError.h"
#include "platform/forms/MsgBox.h"
#include "platform/testing/TempRoot.h"
#include "program/reports/Mod_FileIO_Reports.h"
#include "program/reports/ReportsState.h"
#include "program/reports/testdata/FileEvents.h"
#include "program/stores/Mod_FileIO.h"
#include "program/stores/StoresState.h"

#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <random>

using namespace Mod_Report;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

Lines block(const std::string& key, const Lines& values)
{
    Lines l = {"    <Report>", "      <Name>" + key + "</Name>"};
    for (size_t i = 0; i < kFieldNames.size(); ++i)
        l.push_back(Mod_FileIO::ElementLine(kFieldNames[i], i < values.size() ? values[i] : ""));
    l.push_back("    </Report>");
    return l;
}

Lines reportFile(std::initializer_list<Lines> blocks)
{
    Lines l = {"<xml>", "<ReportScheduler>"};
    for (const auto& b : blocks)
        l.insert(l.end(), b.begin(), b.end());
    l.push_back("</ReportScheduler>");
    l.push_back("</xml>");
    return l;
}

const Lines kSample = {"1 Year", "2002;2003", "DESC", "Arial", "True", "1/31/2026", "09:00 AM",
                       "Weekly", "Popup-Menu", "2", "a@x.com;b@y.com", "True"};

class ReportFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        tv::ResetReportsState();
        tv::ResetStoresState();
        // Sunday 15 March 2026, 09:05 in the morning.
        vb::SetClock(std::make_shared<vb::FakeClock>(
            vb::Date::FromSerial(vb::DateSerial(2026, 3, 15).Serial() + vb::TimeSerial(9, 5, 0).Serial())));
    }
    void TearDown() override { vb::SetClock(nullptr); }
    fs::path folder() const { return root.ProgramFolder(); }
    fs::path path() const { return folder() / kReportFileName; }
    tv::testing::TempRoot root;
};

} // namespace

TEST_F(ReportFile, FirstReadOfAReportAddsItsEmptyBlockAndGivesTheNewReportValues)
{
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(reportFile({block("CAM RATE", kSample)})));
    const Lines values = ReadReportSettings(folder(), "BASE RATE");
    const Lines expected = {"Three Months", "2026", "ASC",  "Times New Roman", "False",
                            "3/16/2026",    "09:05 AM", "Daily", "None", "1",
                            (folder() / "Base Rate Report.htm").string(), "False"};
    EXPECT_EQ(values, expected);
    EXPECT_EQ(tv::testing::ReadRaw(path()), tv::testing::JoinCrLf(reportFile({block("CAM RATE", kSample), block("BASE RATE", {})})));
    // The block now exists with empty elements: the loader's defaults apply.
    EXPECT_EQ(ReadReportSettings(folder(), "BASE RATE"), Lines(12, ""));
    EXPECT_EQ(ReadReportSettings(folder(), "CAM RATE"), kSample);

    // No file at all: it is created with its skeleton and the block.
    fs::remove(path());
    EXPECT_EQ(ReadReportSettings(folder(), "LANDLORD")[10], (folder() / "LandLord Report.htm").string());
    EXPECT_EQ(tv::testing::ReadRaw(path()), tv::testing::JoinCrLf(reportFile({block("LANDLORD", {})})));

    EXPECT_EQ(tv::testing::ErrorOf([&] { ReadReportSettings(folder(), "base rate"); }), vb::kErrInvalidCall);
    EXPECT_EQ(tv::testing::ErrorOf([&] { ReadReportSettings(folder(), ""); }), vb::kErrInvalidCall);
}

TEST_F(ReportFile, ANewReportOnTheLastDayTheDatesHoldStartsThatDay)
{
    vb::SetClock(std::make_shared<vb::FakeClock>(
        vb::Date::FromSerial(vb::DateSerial(9999, 12, 31).Serial() + vb::TimeSerial(23, 30, 0).Serial())));
    const Lines values = ReadReportSettings(folder(), "TAX RATE");
    ASSERT_EQ(values.size(), kFieldNames.size());
    EXPECT_EQ(values[kStartDate], "12/31/9999");
    EXPECT_EQ(values[kStartTime], "11:30 PM");
}

TEST_F(ReportFile, LoaderFillsEmptyFieldsWithItsDefaultsAndConvertsTheRest)
{
    ReportSettings defaults = ToReportSettings(Lines(12, ""));
    ReportSettings expected{"One Month", "2026", "ASC", "Tahoma", false, "3/16/2026", "09:05 AM",
                            "Once",      "None", 1,     "",       false};
    EXPECT_EQ(defaults, expected);
    // A short record counts as one with empty elements.
    EXPECT_EQ(ToReportSettings({"Custom"}).Length, "Custom");
    EXPECT_EQ(ToReportSettings({"Custom"}).Frequency, "Once");

    Lines v = kSample;
    v[kSortOrder] = "desc";
    v[kScheduleReport] = "true";
    v[kSendAsAttachment] = "-1";
    v[kDestination] = "0";
    const ReportSettings s = ToReportSettings(v);
    EXPECT_EQ(s.SortOrder, "DESC");
    EXPECT_TRUE(s.ScheduleReport);
    EXPECT_TRUE(s.SendAsAttachment);
    EXPECT_EQ(s.Destination, 0);
    EXPECT_EQ(s.Years, "2002;2003");
    EXPECT_EQ(ToValues(ToReportSettings(kSample)), kSample);

    for (auto [field, text] : {std::pair{kScheduleReport, "maybe"}, {kSendAsAttachment, "yes"}, {kDestination, "two"}}) {
        Lines bad = kSample;
        bad[field] = text;
        EXPECT_EQ(tv::testing::ErrorOf([&] { ToReportSettings(bad); }), vb::kErrTypeMismatch) << text;
    }
    Lines big = kSample;
    big[kDestination] = "40000";
    EXPECT_EQ(tv::testing::ErrorOf([&] { ToReportSettings(big); }), vb::kErrOverflow);

    // A failed load leaves the current record as it was.
    Lines bad = kSample;
    bad[kScheduleReport] = "maybe";
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(reportFile({block("TAX RATE", bad)})));
    tv::Reports().g_CurrentReport = "TAX RATE";
    tv::Reports().g_CurrentReportSettings.Length = "untouched";
    EXPECT_EQ(tv::testing::ErrorOf([] { LoadReportSettings(); }), vb::kErrTypeMismatch);
    EXPECT_EQ(tv::Reports().g_CurrentReportSettings.Length, "untouched");
}

TEST_F(ReportFile, EveryReportSavesAndLoadsItsOwnRecord)
{
    auto& state = tv::Reports();
    auto recordFor = [](size_t i) {
        ReportSettings s;
        s.Length = i % 2 ? "Custom" : "5 Years";
        s.Years = std::to_string(2000 + i) + ";" + std::to_string(2010 + i);
        s.SortOrder = i % 3 ? "ASC" : "DESC";
        s.ReportFont = "Font " + std::to_string(i);
        s.ScheduleReport = i % 2 == 0;
        s.StartDate = std::to_string(i + 1) + "/28/2027";
        s.StartTime = (i < 9 ? "0" : "") + std::to_string(i + 1) + ":30 PM";
        s.Frequency = i % 2 ? "Monthly" : "Bi-Yearly";
        s.Reminder = i % 2 ? "None" : "Popup-Menu";
        s.Destination = static_cast<int16_t>(i % 3);
        s.Filename = "r" + std::to_string(i) + "@example.com;boss@example.com";
        s.SendAsAttachment = i % 2 == 1;
        return s;
    };
    for (size_t i = 0; i < kReportKeys.size(); ++i) {
        state.g_CurrentReport = std::string(kReportKeys[i].key);
        LoadReportSettings();
        state.g_CurrentReportSettings = recordFor(i);
        SaveReportSettings();
    }
    // Saved in reverse as well, so every block is rewritten among neighbours.
    for (size_t i = kReportKeys.size(); i-- > 0;) {
        state.g_CurrentReport = std::string(kReportKeys[i].key);
        state.g_CurrentReportSettings = recordFor(i);
        SaveReportSettings();
    }
    tv::ResetReportsState();
    for (size_t i = 0; i < kReportKeys.size(); ++i) {
        state.g_CurrentReport = std::string(kReportKeys[i].key);
        LoadReportSettings();
        EXPECT_EQ(state.g_CurrentReportSettings, recordFor(i)) << kReportKeys[i].key;
    }
    const std::string text = tv::testing::ReadRaw(path());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 10 * 15 + 2);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1); // CR LF line ends
}

TEST_F(ReportFile, RewritesKeepHeadersAndOtherBlocksAndDropWhatFollowsTheEnd)
{
    Lines file = reportFile({block("BASE RATE", kSample), block("LANDLORD", kSample)});
    file[0] = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
    file[1] = "<ReportScheduler created=\"2003\">";
    file.push_back("trailing junk");
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(file));

    Lines changed = kSample;
    changed[kFilename] = "new@x.com";
    Mod_FileIO::WriteReportSettings(folder(), "LANDLORD", changed);
    file.pop_back();
    const Lines landlord = block("LANDLORD", changed);
    std::copy(landlord.begin(), landlord.end(), file.begin() + 17);
    EXPECT_EQ(tv::testing::ReadRaw(path()), tv::testing::JoinCrLf(file));

    // A report without a block gets one instead of losing the values.
    Mod_FileIO::WriteReportSettings(folder(), "TAX RATE", changed);
    EXPECT_EQ(ReadReportSettings(folder(), "TAX RATE"), changed);
    EXPECT_EQ(ReadReportSettings(folder(), "BASE RATE"), kSample);

    EXPECT_EQ(tv::testing::ErrorOf([&] { Mod_FileIO::WriteReportSettings(folder(), "TAX RATE", {"too", "short"}); }),
              vb::kErrSubscript);
    EXPECT_EQ(tv::testing::ErrorOf([&] { Mod_FileIO::WriteReportSettings(folder(), "NOT A REPORT", kSample); }),
              vb::kErrInvalidCall);
}

TEST_F(ReportFile, ValuesThatWouldBreakTheFileAreRefusedBeforeAnythingIsWritten)
{
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(reportFile({block("BASE RATE", kSample)})));
    const std::string before = tv::testing::ReadRaw(path());
    for (const char* bad : {"John <j@x.com>", "a>b", "two\r\nlines", "feed\n"}) {
        Lines values = kSample;
        values[kFilename] = bad;
        try {
            Mod_FileIO::WriteReportSettings(folder(), "BASE RATE", values);
            ADD_FAILURE() << bad;
        } catch (const vb::RuntimeError& e) {
            EXPECT_EQ(e.Number(), Mod_FileIO::kErrNotStorable);
            EXPECT_EQ(e.Description(), "The Filename setting cannot be saved: it must not contain \"<\", \">\" or a line break.");
        }
        ScheduledTask entry;
        entry.Key = "BASE RATE";
        entry.Filename = bad;
        EXPECT_EQ(tv::testing::ErrorOf([&] { Mod_FileIO::WriteReportSchedule(folder(), entry); }), Mod_FileIO::kErrNotStorable);
    }
    EXPECT_EQ(tv::testing::ReadRaw(path()), before);
}

TEST_F(ReportFile, ScheduleRewriteReplacesOnlyTheScheduleAndKeepsTheRestByteForByte)
{
    Lines b = block("RENEWAL REMINDER", kSample);
    b[2] = "\t<Length>1 Year</Length>   ";      // odd layout, kept as it is
    b[5] = "        <ReportFont>Arial</ReportFont>";
    b[10] = "  <Reminder>Popup-Menu</Reminder>";
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(reportFile({block("BASE RATE", kSample), b})));

    ScheduledTask entry;
    entry.Key = "RENEWAL REMINDER";
    entry.ScheduleReport = true;
    entry.NextRunDate = vb::DateSerial(2026, 12, 8);
    entry.RunTime = "01:00 PM";
    entry.Frequency = "Monthly";
    entry.Destination = 0;
    entry.Filename = "Office Printer";
    entry.SendAsAttachment = false;
    entry.Reminder = "None"; // the file's reminder stays
    Mod_FileIO::WriteReportSchedule(folder(), entry);

    Lines expected = b;
    expected[6] = Mod_FileIO::ElementLine("ScheduleReport", "True");
    expected[7] = Mod_FileIO::ElementLine("StartDate", "12/8/2026");
    expected[8] = Mod_FileIO::ElementLine("StartTime", "01:00 PM");
    expected[9] = Mod_FileIO::ElementLine("Frequency", "Monthly");
    expected[11] = Mod_FileIO::ElementLine("Destination", "0");
    expected[12] = Mod_FileIO::ElementLine("Filename", "Office Printer");
    expected[13] = Mod_FileIO::ElementLine("SendAsAttachment", "False");
    EXPECT_EQ(tv::testing::ReadRaw(path()), tv::testing::JoinCrLf(reportFile({block("BASE RATE", kSample), expected})));
}

TEST_F(ReportFile, DamagedOrTruncatedBlocksNeverTakeTheirNeighboursWithThem)
{
    // Files cut short are told of.
    auto boxes = std::make_shared<forms::ScriptedMsgBox>();
    forms::SetMessageBoxPort(boxes);
    // CAM RATE lost its last lines; a junk line sits inside TAX RATE.
    Lines cam = block("CAM RATE", kSample);
    cam.resize(8);
    Lines tax = block("TAX RATE", kSample);
    tax.insert(tax.begin() + 6, "junk without a tag");
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(reportFile({cam, block("BASE RATE", kSample), tax})));

    Lines changed = kSample;
    changed[kYears] = "2030";
    Mod_FileIO::WriteReportSettings(folder(), "CAM RATE", changed);
    Mod_FileIO::WriteReportSettings(folder(), "TAX RATE", changed);
    EXPECT_EQ(ReadReportSettings(folder(), "CAM RATE"), changed);
    EXPECT_EQ(ReadReportSettings(folder(), "BASE RATE"), kSample);
    EXPECT_EQ(ReadReportSettings(folder(), "TAX RATE"), changed);
    // The junk line and what followed it are kept, outside any block.
    EXPECT_NE(tv::testing::ReadRaw(path()).find("junk without a tag"), std::string::npos);

    // A header that looks like a block, and a block closed on its name line.
    Lines odd = reportFile({block("LEASE TERM", kSample)});
    odd[0] = "<xml><Name>LANDLORD</Name>";
    odd[3] = "      <Name>LEASE TERM</Name></Report>";
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(odd));
    EXPECT_EQ(ReadReportSettings(folder(), "LEASE TERM"), Lines{"LEASE TERM"});
    Mod_FileIO::WriteReportSettings(folder(), "LANDLORD", changed);
    Mod_FileIO::WriteReportSettings(folder(), "LEASE TERM", changed);
    EXPECT_EQ(ReadReportSettings(folder(), "LANDLORD"), changed);
    EXPECT_EQ(ReadReportSettings(folder(), "LEASE TERM"), changed);

    // Cut anywhere: reading never fails and a rewrite always reads back whole.
    const std::string whole = tv::testing::JoinCrLf(reportFile({block("BASE RATE", kSample), block("LANDLORD", kSample)}));
    for (size_t cut = 0; cut < whole.size(); cut += 9) {
        tv::testing::WriteRaw(path(), whole.substr(0, cut));
        EXPECT_NO_THROW(ReadReportSettings(folder(), "LANDLORD")) << cut;
        Mod_FileIO::WriteReportSettings(folder(), "LANDLORD", changed);
        EXPECT_EQ(ReadReportSettings(folder(), "LANDLORD"), changed) << cut;
        const std::string text = tv::testing::ReadRaw(path());
        EXPECT_EQ(text.substr(text.size() - 8), "</xml>\r\n") << cut;
    }
    forms::SetMessageBoxPort(nullptr);
}

// A file cut short is treated as the settings file's is: what is left is
// read, each half block with the fields it lost at their defaults, written
// back whole, and the user is told once which reports lost settings.
TEST_F(ReportFile, AFileCutShortIsWrittenBackWholeAndToldOnce)
{
    auto boxes = std::make_shared<forms::ScriptedMsgBox>();
    forms::SetMessageBoxPort(boxes);
    const std::string whole = tv::testing::JoinCrLf(reportFile(
        {block("BASE RATE", kSample), block("INSURANCE REMINDER", kSample), block("LANDLORD", kSample)}));
    // Cut in the middle of the Years line of the second block.
    const size_t cut = whole.find("<Years>", whole.find("INSURANCE REMINDER")) + 12;
    tv::testing::WriteRaw(path(), whole.substr(0, cut));

    const auto all = ReadAllReportSettings(folder());
    ASSERT_EQ(boxes->shown.size(), 1u);
    const std::string told = boxes->shown[0].prompt;
    EXPECT_NE(told.find(path().string()), std::string::npos) << told;
    EXPECT_NE(told.find("cut short"), std::string::npos) << told;
    EXPECT_NE(told.find("Insurance Reminder Report"), std::string::npos) << told;
    EXPECT_NE(told.find("LandLord Report"), std::string::npos) << told;
    EXPECT_EQ(told.find("Base Rate Report"), std::string::npos) << told;

    // The half block: its whole first line kept, the cut one and the rest empty.
    Lines half(kFieldNames.size());
    half[kLength] = kSample[kLength];
    EXPECT_EQ(all[5], half);
    EXPECT_EQ(all[0], kSample);
    const ReportSettings loaded = ToReportSettings(all[5]);
    EXPECT_EQ(loaded.Length, "1 Year");
    EXPECT_EQ(loaded.Years, "2026");
    EXPECT_EQ(loaded.Frequency, "Once");
    // Written back whole: every block with its twelve lines, closed, in a
    // file that ends as one should.
    const Lines lines = vb::fso::SplitLines(tv::testing::ReadRaw(path()));
    const auto insurance = std::find(lines.begin(), lines.end(), "      <Name>INSURANCE REMINDER</Name>");
    ASSERT_NE(insurance, lines.end());
    EXPECT_EQ(*(insurance + 1), "      <Length>1 Year</Length>");
    EXPECT_EQ(*(insurance + 2), "      <Years></Years>");
    EXPECT_EQ(*(insurance + 13), "    </Report>");
    EXPECT_EQ(lines.back(), "</xml>");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "    <Report>"), 10);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "    </Report>"), 10);
    ReadAllReportSettings(folder());
    EXPECT_EQ(boxes->shown.size(), 1u);

    // A file an earlier start left with a half block: its end line is there,
    // the half block runs straight into the next one.
    Lines earlier = reportFile({block("BASE RATE", kSample), block("RENEWAL REMINDER", kSample)});
    earlier.insert(earlier.begin() + 17, {"    <Report>", "      <Name>INSURANCE REMINDER</Name>"});
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(earlier));
    EXPECT_EQ(ReadReportSettings(folder(), "INSURANCE REMINDER"), Lines(kFieldNames.size()));
    EXPECT_EQ(ReadReportSettings(folder(), "RENEWAL REMINDER"), kSample);
    ASSERT_EQ(boxes->shown.size(), 2u);
    EXPECT_NE(boxes->shown[1].prompt.find("Insurance Reminder Report"), std::string::npos) << boxes->shown[1].prompt;
    EXPECT_EQ(boxes->shown[1].prompt.find("Renewal Reminder Report"), std::string::npos) << boxes->shown[1].prompt;
    const std::string repaired = tv::testing::ReadRaw(path());
    EXPECT_NE(repaired.find("      <Name>INSURANCE REMINDER</Name>\r\n      <Length></Length>\r\n"),
              std::string::npos)
        << repaired;
    ReadReportSettings(folder(), "INSURANCE REMINDER");
    EXPECT_EQ(boxes->shown.size(), 2u);
    forms::SetMessageBoxPort(nullptr);
}

TEST_F(ReportFile, AWindowsFileIsReadAndRewrittenAsText)
{
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(reportFile({block("OTHER REMINDER", {"One Month", "", "ASC", "Caf\xe9 Sans"})})));
    EXPECT_EQ(ReadReportSettings(folder(), "OTHER REMINDER")[kReportFont], "Caf\xc3\xa9 Sans");
    ScheduledTask entry;
    entry.Key = "OTHER REMINDER";
    entry.NextRunDate = vb::DateSerial(2026, 1, 1);
    Mod_FileIO::WriteReportSchedule(folder(), entry);
    EXPECT_EQ(ReadReportSettings(folder(), "OTHER REMINDER")[kReportFont], "Caf\xc3\xa9 Sans");
}

// A file too large to be a schedules file is refused by every reader and
// writer, with its name, and is never read or touched.
TEST_F(ReportFile, AFileOverTheSizeLimitIsRefusedAndLeftUntouched)
{
    {
        std::ofstream out(path(), std::ios::binary);
        const std::string junk(1023, 'x');
        for (int i = 0; i < 17 * 1024; ++i)
            out << junk << '\n';
    }
    const auto before = fs::last_write_time(path());
    const auto size = fs::file_size(path());
    filetest::FileEvents events(path());
    ASSERT_TRUE(events.Watching());

    for (const auto& call : std::vector<std::function<void()>>{
             [&] { ReadReportSettings(folder(), "BASE RATE"); },
             [&] { ReadAllReportSettings(folder()); },
             [&] { Mod_FileIO::WriteReportSettings(folder(), "BASE RATE", kSample); },
             [&] { Mod_FileIO::AppendReportBlock("CAM RATE", folder()); },
         }) {
        try {
            call();
            ADD_FAILURE() << "the file was taken";
        } catch (const vb::RuntimeError& e) {
            EXPECT_EQ(e.Number(), vb::kErrPathFileAccess);
            EXPECT_NE(e.Description().find(path().string()), std::string::npos) << e.Description();
        }
    }
    const auto seen = events.Take();
    EXPECT_EQ(seen.opened, 0);
    EXPECT_EQ(seen.written, 0);
    EXPECT_EQ(fs::file_size(path()), size);
    EXPECT_EQ(fs::last_write_time(path()), before);
    EXPECT_FALSE(fs::exists(folder() / "ReportScheduler.xml.damaged"));
}

// A file that holds no report is not taken for an empty one: it is kept
// beside under another name, the user is told once, and a new file starts.
TEST_F(ReportFile, AFileOfNoReportsIsKeptAsideToldAndStartedAfresh)
{
    auto boxes = std::make_shared<forms::ScriptedMsgBox>();
    forms::SetMessageBoxPort(boxes);
    std::mt19937 rng(59);
    std::string junk(20 * 1024, '\0');
    for (char& c : junk)
        c = static_cast<char>(rng() & 0xFF);
    tv::testing::WriteRaw(path(), junk);

    const Lines all = ReadAllReportSettings(folder())[0];
    EXPECT_EQ(all[kLength], "Three Months");
    ASSERT_EQ(boxes->shown.size(), 1u);
    const fs::path kept = folder() / "ReportScheduler.xml.damaged";
    EXPECT_NE(boxes->shown[0].prompt.find(kept.string()), std::string::npos) << boxes->shown[0].prompt;
    EXPECT_TRUE(tv::testing::ReadRaw(kept) == junk) << "the damaged file was changed";
    const std::string fresh = tv::testing::ReadRaw(path());
    EXPECT_TRUE(fresh.starts_with("<xml>\r\n<ReportScheduler>\r\n"));
    for (const auto& k : kReportKeys)
        EXPECT_NE(fresh.find("<Name>" + std::string(k.key) + "</Name>"), std::string::npos) << k.key;

    // The new file is a schedules file: nothing more is said.
    ReadReportSettings(folder(), "LANDLORD");
    EXPECT_EQ(boxes->shown.size(), 1u);

    // A second damaged file keeps the first one's copy.
    tv::testing::WriteRaw(path(), "just some words\r\nand more\r\n");
    Mod_FileIO::WriteReportSettings(folder(), "TAX RATE", kSample);
    ASSERT_EQ(boxes->shown.size(), 2u);
    EXPECT_TRUE(tv::testing::ReadRaw(kept) == junk);
    EXPECT_EQ(tv::testing::ReadRaw(folder() / "ReportScheduler.xml.damaged.1"), "just some words\r\nand more\r\n");
    EXPECT_EQ(ReadReportSettings(folder(), "TAX RATE"), kSample);

    // A file with the list and no block yet, and an empty file, are schedules
    // files with no report in them.
    tv::testing::WriteRaw(path(), "<xml>\r\n<ReportScheduler>\r\n</ReportScheduler>\r\n</xml>\r\n");
    ReadReportSettings(folder(), "BASE RATE");
    tv::testing::WriteRaw(path(), "");
    ReadReportSettings(folder(), "BASE RATE");
    EXPECT_EQ(boxes->shown.size(), 2u);
    EXPECT_FALSE(fs::exists(folder() / "ReportScheduler.xml.damaged.2"));
    forms::SetMessageBoxPort(nullptr);
}
