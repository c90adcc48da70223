#include "program/stores/Mod_FileIO.h"

#include "platform/basic/RuntimeError.h"
#include "platform/testing/TempRoot.h"
#include "program/stores/Mod_FileIO_Stores.h"
#include "program/stores/StoresState.h"

#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <random>

using namespace Mod_FileIO;
using namespace std::string_literals;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

// A stream over the given text, positioned after its first line (the
// caller's current line).
vb::fso::TextStream streamOver(const fs::path& folder, const std::string& text, std::string* firstLine = nullptr)
{
    const fs::path p = folder / "stream.txt";
    tv::testing::WriteRaw(p, text);
    auto s = vb::fso::TextStream::OpenTextFile(p);
    if (firstLine)
        *firstLine = s.ReadLine();
    return s;
}

vb::DynArray<std::string> notes(const std::vector<std::string>& v)
{
    return v;
}

std::vector<std::string> blockOf(int id, const std::string& base = "", const std::string& pct = "",
                                 const std::string& cam = "", const std::string& tax = "")
{
    return {"    <StoreData>",
            "      <StoreID>" + std::to_string(id) + "</StoreID>",
            "      <BaseRateNotes>" + base + "</BaseRateNotes>",
            "      <RenewRateNotes></RenewRateNotes>",
            "      <PercentageRateNotes>" + pct + "</PercentageRateNotes>",
            "      <CAMRateNotes>" + cam + "</CAMRateNotes>",
            "      <TaxRateNotes>" + tax + "</TaxRateNotes>",
            "    </StoreData>"};
}

Lines notesFile(std::initializer_list<std::vector<std::string>> blocks)
{
    Lines l = {"<xml>", "<StoreLeaseInfo>"};
    for (const auto& b : blocks)
        l.insert(l.end(), b.begin(), b.end());
    l.push_back("</StoreLeaseInfo>");
    l.push_back("</xml>");
    return l;
}

class NotesFile : public ::testing::Test {
protected:
    void SetUp() override { tv::ResetStoresState(); }
    fs::path path() const { return root.ProgramFolder() / kNotesFileName; }
    fs::path folder() const { return root.ProgramFolder(); }
    tv::testing::TempRoot root;
};

} // namespace

// ---- element line reader ----------------------------------------------------------

TEST_F(NotesFile, ReaderTakesASingleLineElementFromTheCurrentLineAlone)
{
    auto in = streamOver(folder(), "next line\r\n");
    EXPECT_EQ(ReadElementLines(in, "</BaseRateNotes>", "      <BaseRateNotes>Pay by the 5th~|Call first</BaseRateNotes>"),
              notes({"Pay by the 5th~|Call first"}));
    EXPECT_EQ(ReadElementLines(in, "</RenewRateNotes>", "      <RenewRateNotes></RenewRateNotes>"), notes({""}));
    // A current line holding the closing text but no ">" gives no entry.
    EXPECT_EQ(ReadElementLines(in, "END", "xxENDxx"), std::nullopt);
    // No line was read.
    EXPECT_EQ(in.ReadLine(), "next line");
}

TEST_F(NotesFile, ReaderReadsAReportBlockInFileOrderAndStopsAfterItsClosingLine)
{
    std::string current;
    auto in = streamOver(folder(),
                         tv::testing::JoinCrLf({"      <Name>BASE RATE</Name>", "      <Length>One Month</Length>",
                                   "no tag here", "      <Years>2002;2003</Years>", "      <SortOrder></SortOrder>",
                                   "   </Report>   ", "    <Report>"}),
                         &current);
    EXPECT_EQ(ReadElementLines(in, "</Report>", current), notes({"One Month", "2002;2003", ""}));
    EXPECT_EQ(in.ReadLine(), "    <Report>");
}

TEST_F(NotesFile, ReaderKeepsWhatItHasWhenTheFileEndsEarlyOrALineLacksItsClosingTag)
{
    std::string current;
    auto in = streamOver(folder(), "<Name>X</Name>\r\n  <Length>One Month</Length>\r\n  <Years>2026", &current);
    EXPECT_EQ(ReadElementLines(in, "</Report>", current), notes({"One Month", "2026"}));
    EXPECT_TRUE(in.AtEndOfStream());

    auto empty = streamOver(folder(), "");
    EXPECT_EQ(ReadElementLines(empty, "</Report>", "<Name>X</Name>"), std::nullopt);

    EXPECT_EQ(ElementValue("<a>rest of line"), "rest of line");
    EXPECT_EQ(ElementValue("no tag"), "");
    EXPECT_EQ(ElementValue(">"), "");
    EXPECT_EQ(ElementValue("<a><b>x</b></a>"), "");
}

TEST_F(NotesFile, ReaderSurvivesHostileBytes)
{
    std::string hostile = "<Name>\r";
    hostile += std::string(1 << 20, '>');                      // one huge line
    hostile += "\n\0\0<a>\xff\xfe\x80</a>\r\r\n>>>><<<<\n"s;      // NULs, bytes that are not UTF-8, CR alone
    hostile += "\xe9t\xe9>caf\xe9<\r\n";                       // Windows-1252
    std::string current;
    auto in = streamOver(folder(), hostile, &current);
    auto values = ReadElementLines(in, "</Report>", current);
    ASSERT_TRUE(values);
    ASSERT_EQ(values->size(), 4u);
    EXPECT_EQ((*values)[0], std::string((1 << 20) - 1, '>'));
    EXPECT_EQ((*values)[1], "\xc3\xbf\xc3\xbe\xe2\x82\xac");
    EXPECT_EQ((*values)[2], ">>>");
    EXPECT_EQ((*values)[3], "caf\xc3\xa9");
}

TEST_F(NotesFile, SharedReaderNeedsAnOpenStream)
{
    EXPECT_EQ(tv::testing::ErrorOf([] { ReadElementLines("</Report>", "<Name>X</Name>"); }), vb::kErrObjectNotSet);
    tv::testing::WriteRaw(path(), "a\r\n<x>1</x>\r\n</Report>\r\n");
    ReadScope scope(path());
    scope.Stream().ReadLine();
    EXPECT_EQ(ReadElementLines("</Report>", "<Name>"), notes({"1"}));
}

// ---- notes file --------------------------------------------------------------------

TEST_F(NotesFile, EveryStoreKeepsItsOwnNotesOfEveryKind)
{
    EXPECT_EQ(ReadRateNotes(1, folder(), kBaseRateNotes), std::nullopt); // no file yet
    const int16_t stores[] = {12, 1, 123};
    const int16_t kinds[] = {kBaseRateNotes, kPercentageRateNotes, kCAMRateNotes, kTaxRateNotes};
    for (int16_t id : stores)
        AddStoreNotesBlock(id, folder());
    for (int16_t id : stores)
        for (int16_t kind : kinds)
            WriteRateNotes(id, folder(), kind, {"store " + std::to_string(id) + " kind " + std::to_string(kind)});
    for (int16_t id : stores)
        for (int16_t kind : kinds)
            EXPECT_EQ(ReadRateNotes(id, folder(), kind),
                      notes({"store " + std::to_string(id) + " kind " + std::to_string(kind)}));
    EXPECT_EQ(ReadRateNotes(2, folder(), kBaseRateNotes), std::nullopt);

    // Two lines of notes as the worksheet stores them, and clearing them again.
    WriteRateNotes(1, folder(), kBaseRateNotes, {"Pay by the 5th~|Call first"});
    EXPECT_EQ(ReadRateNotes(1, folder(), kBaseRateNotes), notes({"Pay by the 5th~|Call first"}));
    WriteRateNotes(1, folder(), kBaseRateNotes, {});
    EXPECT_EQ(ReadRateNotes(1, folder(), kBaseRateNotes), notes({""}));
    EXPECT_EQ(ReadRateNotes(12, folder(), kBaseRateNotes), notes({"store 12 kind 0"}));
}

TEST_F(NotesFile, ARewriteChangesOnlyTheOneElementLine)
{
    Lines before = notesFile({blockOf(12, "twelve"), blockOf(1, "one", "p", "c", "t")});
    before[0] = "<?xml version=\"1.0\"?> header kept as it is";
    before.insert(before.begin() + 2, "  stray line between blocks");
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(before));

    WriteRateNotes(1, folder(), kCAMRateNotes, {"new cam"});
    Lines after = before;
    const auto cam = std::find(after.begin(), after.end(), "      <CAMRateNotes>c</CAMRateNotes>");
    ASSERT_NE(cam, after.end());
    *cam = "      <CAMRateNotes>new cam</CAMRateNotes>";
    EXPECT_EQ(tv::testing::ReadRaw(path()), tv::testing::JoinCrLf(after));
    EXPECT_EQ(ReadRateNotes(12, folder(), kCAMRateNotes), notes({""}));
}

TEST_F(NotesFile, NotesThatWouldBreakTheFileAreRefusedAndTheFileKept)
{
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(notesFile({blockOf(1, "kept")})));
    const std::string before = tv::testing::ReadRaw(path());
    for (const char* bad : {"a < b", "a > b", "two\r\nlines", "line\nfeed", "carriage\rreturn"}) {
        try {
            WriteRateNotes(1, folder(), kBaseRateNotes, {bad});
            ADD_FAILURE() << bad;
        } catch (const vb::RuntimeError& e) {
            EXPECT_EQ(e.Number(), kErrNotStorable);
            EXPECT_NE(e.Description().find("must not contain"), std::string::npos);
        }
    }
    EXPECT_EQ(tv::testing::ReadRaw(path()), before);
    EXPECT_EQ(tv::testing::ErrorOf([&] { WriteRateNotes(1, folder(), 1, {"x"}); }), vb::kErrInvalidCall);
    EXPECT_EQ(tv::testing::ErrorOf([&] { ReadRateNotes(1, folder(), 7); }), vb::kErrInvalidCall);

    // Notes that an older file holds with a "<" read back cut there.
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(notesFile({blockOf(1, "less <than")})));
    EXPECT_EQ(ReadRateNotes(1, folder(), kBaseRateNotes), notes({"less "}));
}

TEST_F(NotesFile, MissingFileBlockOrElementIsCreatedInsteadOfLosingTheNotes)
{
    // No file: created with its skeleton and the store's block.
    WriteRateNotes(5, folder(), kTaxRateNotes, {"tax"});
    Lines expected = {"<xml>", "<StoreLeaseInfo>"};
    for (const auto& l : blockOf(5, "", "", "", "tax"))
        expected.push_back(l);
    expected.push_back("</StoreLeaseInfo>");
    expected.push_back("</xml>");
    EXPECT_EQ(tv::testing::ReadRaw(path()), tv::testing::JoinCrLf(expected));

    // A store without a block gets one; a block without the element gets it.
    Lines noElement = blockOf(9);
    noElement.erase(noElement.begin() + 5); // CAMRateNotes
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(notesFile({noElement})));
    WriteRateNotes(9, folder(), kCAMRateNotes, {"cam nine"});
    WriteRateNotes(4, folder(), kBaseRateNotes, {"base four"});
    EXPECT_EQ(ReadRateNotes(9, folder(), kCAMRateNotes), notes({"cam nine"}));
    EXPECT_EQ(ReadRateNotes(4, folder(), kBaseRateNotes), notes({"base four"}));
    EXPECT_EQ(ReadRateNotes(4, folder(), kTaxRateNotes), notes({""}));
}

TEST_F(NotesFile, NewBlocksGoBeforeTheListEndAndNeverTwice)
{
    Lines before = notesFile({blockOf(1, "one")});
    before.push_back("after the end: dropped by a rewrite");
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(before));
    AddStoreNotesBlock(2, folder());
    AddStoreNotesBlock(2, folder());
    AddStoreNotesBlock(1, folder());

    Lines expected = notesFile({blockOf(1, "one"), blockOf(2)});
    EXPECT_EQ(tv::testing::ReadRaw(path()), tv::testing::JoinCrLf(expected));
    EXPECT_EQ(ReadRateNotes(1, folder(), kBaseRateNotes), notes({"one"}));

    // A file without the list end gets one back.
    tv::testing::WriteRaw(path(), "<xml>\r\n</xml>\r\n");
    AddStoreNotesBlock(3, folder());
    Lines expected3 = {"<xml>"};
    for (const auto& l : blockOf(3))
        expected3.push_back(l);
    expected3.push_back("</StoreLeaseInfo>");
    expected3.push_back("</xml>");
    EXPECT_EQ(tv::testing::ReadRaw(path()), tv::testing::JoinCrLf(expected3));
}

TEST_F(NotesFile, LaterBlockOfAStoreWinsAndAMultiLineElementIsRead)
{
    Lines two = blockOf(2, "two");
    // An element spread over lines gives one entry per value line.
    two[4] = "      <PercentageRateNotes>";
    two.insert(two.begin() + 5, {"        <v>a</v>", "        <v>b</v>", "      </PercentageRateNotes>"});
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(notesFile({blockOf(1, "first"), two, blockOf(1, "second")})));
    EXPECT_EQ(ReadRateNotes(1, folder(), kBaseRateNotes), notes({"second"}));
    EXPECT_EQ(ReadRateNotes(2, folder(), kBaseRateNotes), notes({"two"}));
    EXPECT_EQ(ReadRateNotes(2, folder(), kPercentageRateNotes), notes({"a", "b"}));
    EXPECT_EQ(ReadRateNotes(2, folder(), kCAMRateNotes), notes({""}));

    // Both blocks of store 1 take the new notes.
    WriteRateNotes(1, folder(), kBaseRateNotes, {"both"});
    const std::string text = tv::testing::ReadRaw(path());
    EXPECT_EQ(text.find("first"), std::string::npos);
    EXPECT_EQ(text.find("second"), std::string::npos);
    EXPECT_EQ(ReadRateNotes(1, folder(), kBaseRateNotes), notes({"both"}));
}

TEST_F(NotesFile, TruncatedAndDamagedFilesReadToTheirEndAndRewriteWhole)
{
    // The first block lacks its closing line; the second must not be read as the first's.
    Lines damaged = blockOf(1, "one");
    damaged.pop_back();
    damaged.pop_back(); // no TaxRateNotes, no </StoreData>
    Lines file = notesFile({damaged, blockOf(2, "two", "", "", "tax two")});
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(file));
    EXPECT_EQ(ReadRateNotes(1, folder(), kTaxRateNotes), std::nullopt);
    EXPECT_EQ(ReadRateNotes(2, folder(), kTaxRateNotes), notes({"tax two"}));

    WriteRateNotes(1, folder(), kTaxRateNotes, {"tax one"});
    EXPECT_EQ(ReadRateNotes(1, folder(), kTaxRateNotes), notes({"tax one"}));
    EXPECT_EQ(ReadRateNotes(1, folder(), kBaseRateNotes), notes({""})); // the added block wins
    EXPECT_EQ(ReadRateNotes(2, folder(), kTaxRateNotes), notes({"tax two"}));

    // An element that never closes ends with its block; the store line is
    // never taken for a notes line.
    Lines open = blockOf(3, "three");
    open[1] = "      <StoreID>3</StoreID><TaxRateNotes>";
    open[6] = "      <TaxRateNotes>never closed";
    tv::testing::WriteRaw(path(), tv::testing::JoinCrLf(notesFile({open, blockOf(3, "", "", "", "later")})));
    EXPECT_EQ(ReadRateNotes(3, folder(), kTaxRateNotes), notes({"later"}));
    WriteRateNotes(3, folder(), kTaxRateNotes, {"tax three"});
    EXPECT_EQ(ReadRateNotes(3, folder(), kTaxRateNotes), notes({"tax three"}));

    // Cut in the middle of a line, with no end line.
    const std::string whole = tv::testing::JoinCrLf(notesFile({blockOf(7, "seven", "", "", "x")}));
    for (size_t cut = 0; cut < whole.size(); cut += 7) {
        tv::testing::WriteRaw(path(), whole.substr(0, cut));
        EXPECT_NO_THROW(ReadRateNotes(7, folder(), kBaseRateNotes));
        WriteRateNotes(7, folder(), kCAMRateNotes, {"cam"});
        EXPECT_EQ(ReadRateNotes(7, folder(), kCAMRateNotes), notes({"cam"})) << cut;
        const std::string out = tv::testing::ReadRaw(path());
        EXPECT_EQ(out.substr(out.size() - 8), "</xml>\r\n") << cut;
    }
}

// A store's line is whatever every reader takes for it: its number with
// blanks around it, or with the list's closing tag behind it on one line.
TEST_F(NotesFile, AStoreLineEveryReaderTakesIsTakenByEveryWriterToo)
{
    Lines spaced = blockOf(5, "five");
    spaced[1] = "      <StoreID> 5 </StoreID>";
    Lines closing = blockOf(3, "three");
    closing[1] = "      <StoreID>3</StoreID></StoreLeaseInfo>";
    const std::string file = tv::testing::JoinCrLf(notesFile({spaced, closing}));
    tv::testing::WriteRaw(path(), file);
    ASSERT_EQ(ReadRateNotes(5, folder(), kBaseRateNotes), notes({"five"}));
    ASSERT_EQ(ReadRateNotes(3, folder(), kBaseRateNotes), notes({"three"}));

    // A new store's block goes before the list's end, not inside store 3's
    // block between its opening line and its store line.
    WriteRateNotes(9, folder(), kTaxRateNotes, {"nine"});
    EXPECT_EQ(ReadRateNotes(9, folder(), kTaxRateNotes), notes({"nine"}));
    EXPECT_EQ(ReadRateNotes(3, folder(), kBaseRateNotes), notes({"three"}));
    tv::testing::WriteRaw(path(), file);
    AddStoreNotesBlock(9, folder());
    EXPECT_EQ(ReadRateNotes(9, folder(), kTaxRateNotes), notes({""}));
    EXPECT_EQ(ReadRateNotes(3, folder(), kBaseRateNotes), notes({"three"}));

    // A deleted store's block goes, however its number is spaced.
    tv::testing::WriteRaw(path(), file);
    RemoveStoreNotesBlock(5, folder());
    EXPECT_EQ(ReadRateNotes(5, folder(), kBaseRateNotes), std::nullopt);
    EXPECT_EQ(ReadRateNotes(3, folder(), kBaseRateNotes), notes({"three"}));
}

TEST_F(NotesFile, RandomGarbageNeverCrashesAndAWriteAlwaysReadsBack)
{
    std::mt19937 rng(20260315);
    const std::string alphabet = "<>/ \r\n\t\0xSTOREIDaStoreData7BaseRateNotes</StoreLeaseInfo>"s;
    const std::string good = tv::testing::JoinCrLf(notesFile({blockOf(7, "a"), blockOf(8, "b")}));
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        if (round % 2 == 0) {
            // Mutations of a good file.
            bytes = good;
            for (int k = 0; k < 5; ++k)
                bytes[rng() % bytes.size()] = alphabet[rng() % alphabet.size()];
        } else {
            const size_t n = rng() % 400;
            for (size_t k = 0; k < n; ++k)
                bytes.push_back(k % 3 ? alphabet[rng() % alphabet.size()] : static_cast<char>(rng()));
        }
        tv::testing::WriteRaw(path(), bytes);
        ASSERT_NO_THROW(ReadRateNotes(7, folder(), kBaseRateNotes)) << round;
        ASSERT_NO_THROW(WriteRateNotes(7, folder(), kTaxRateNotes, {"written"})) << round;
        EXPECT_EQ(ReadRateNotes(7, folder(), kTaxRateNotes), notes({"written"})) << round;
        ASSERT_NO_THROW(AddStoreNotesBlock(9, folder())) << round;
        EXPECT_EQ(ReadRateNotes(9, folder(), kCAMRateNotes), notes({""})) << round;
    }
}

// ---- a notes file too large, and two writers ------------------------------------------

// A file over the bound is refused by the read and by every rewrite, with
// its name and why, and stays byte for byte as it was; one at the bound is
// still a notes file.
TEST_F(NotesFile, AFileLargerThanTheBoundIsRefusedAndLeftAsItIs)
{
    const std::string text = tv::testing::JoinCrLf(notesFile({blockOf(1, "kept")}));
    tv::testing::WriteRaw(path(), text);
    // What follows the end line is never read: the bound is on the file.
    fs::resize_file(path(), kMaxNotesFileSize);
    EXPECT_EQ(ReadRateNotes(1, folder(), kBaseRateNotes), notes({"kept"}));

    fs::resize_file(path(), kMaxNotesFileSize + 1);
    const auto written = fs::last_write_time(path());
    const std::vector<std::pair<const char*, std::function<void()>>> calls = {
        {"read", [&] { ReadRateNotes(1, folder(), kBaseRateNotes); }},
        {"write", [&] { WriteRateNotes(1, folder(), kBaseRateNotes, {"new"}); }},
        {"add block", [&] { AddStoreNotesBlock(2, folder()); }},
        {"remove block", [&] { RemoveStoreNotesBlock(1, folder()); }},
    };
    for (const auto& [what, call] : calls) {
        SCOPED_TRACE(what);
        try {
            call();
            ADD_FAILURE() << "not refused";
        } catch (const vb::RuntimeError& e) {
            EXPECT_EQ(e.Number(), vb::kErrPathFileAccess);
            EXPECT_NE(e.Description().find(path().string() + " is larger than 16 MB"), std::string::npos)
                << e.Description();
            EXPECT_NE(e.Description().find("leaves it as it is"), std::string::npos) << e.Description();
        }
    }
    // Left as it was: not rewritten, nor cut to what was read of it.
    EXPECT_EQ(fs::last_write_time(path()), written);
    EXPECT_EQ(fs::file_size(path()), kMaxNotesFileSize + 1);
    std::ifstream in(path(), std::ios::binary);
    std::string start(text.size(), '\0');
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    EXPECT_EQ(start, text);
}

// Two running copies rewrite the notes file at once, each for its own
// stores: every block and every note of both is there at the end.
TEST_F(NotesFile, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int kRounds = 50;
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::vector<pid_t> writers;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            char c = 0;
            if (::read(go[0], &c, 1) != 1)
                ::_exit(2);
            try {
                for (int round = 0; round < kRounds; ++round) {
                    const auto id = static_cast<int16_t>(100 * (writer + 1) + round);
                    AddStoreNotesBlock(id, folder());
                    WriteRateNotes(id, folder(), kTaxRateNotes, {"writer " + std::to_string(writer)});
                    // A store added and deleted again in between.
                    const auto passing = static_cast<int16_t>(900 + writer);
                    AddStoreNotesBlock(passing, folder());
                    RemoveStoreNotesBlock(passing, folder());
                }
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        writers.push_back(child);
    }
    // Both start together.
    ASSERT_EQ(::write(go[1], "gg", 2), 2);
    for (const pid_t child : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    ::close(go[0]);
    ::close(go[1]);
    int lost = 0;
    for (int writer = 0; writer < 2; ++writer)
        for (int round = 0; round < kRounds; ++round) {
            const auto id = static_cast<int16_t>(100 * (writer + 1) + round);
            lost += ReadRateNotes(id, folder(), kTaxRateNotes) == notes({"writer " + std::to_string(writer)}) ? 0 : 1;
        }
    EXPECT_EQ(lost, 0);
}
