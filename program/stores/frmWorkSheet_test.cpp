// The worksheet window driven through its keyboard: the lease years it
// shows and the rows it adds, the rules of an edited cell on the rate sheets
// and on the percentage sheet, the rows written when it closes, its notes,
// its settings and its close during the program's quitting.

#include "program/stores/frmWorkSheet.h"

#include "platform/basic/App.h"
#include "platform/basic/ProgramSettings.h"
#include "program/services/Mod_FTPData.h"
#include "program/stores/Mod_FileIO.h"
#include "program/stores/WorkSheetTestSupport.h"
#include "program/stores/frmStoreInfo.h"

#include <QComboBox>

#include <filesystem>
#include <fstream>

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace {

using Mod_WorkSheet::kTypeFlat;
using Mod_WorkSheet::kTypeNone;
using Mod_WorkSheet::kTypePercent;

class WorkSheet : public tv::testing::GridWindowFixture {
protected:
    void SetUp() override
    {
        GridWindowFixture::SetUp();
        OpenDatabase(false);
    }

    frmWorkSheet& Open(const char* kind, int16_t store = 7, int16_t firstYear = 2002, int16_t years = 5)
    {
        tv::StoresState& st = tv::Stores();
        st.g_WorkSheetKind = kind;
        st.g_CurrentStoreID = store;
        st.g_CommenceYear = firstYear;
        st.g_InitialTermYears = years;
        frmWorkSheet& f = frmWorkSheet::ShowWorkSheet("Main Street - Worksheet");
        return f;
    }

    static std::vector<std::string> column(controls::Grid& g, long col)
    {
        std::vector<std::string> out;
        for (long r = 1; r < g.Rows(); ++r)
            out.push_back(g.TextMatrix(r, col));
        return out;
    }
    static int64_t rows(const char* table, int store)
    {
        return vb::CLng(Value(std::string("SELECT COUNT(*) FROM ") + table + " WHERE StoreID = ?", {store}));
    }
    static vb::Variant field(const char* table, const char* column, int store, int year)
    {
        return Value(std::string("SELECT ") + column + " FROM " + table + " WHERE StoreID = ? AND Year = ?",
                     {store, year});
    }
    static double amount(const char* table, const char* column, int store, int year)
    {
        return vb::CDbl(field(table, column, store, year));
    }
    void Close(frmWorkSheet& f) { f.smuiMenuBar.Choose("CLOSE"); }
};

TEST_F(WorkSheet, ANewStoreGetsARowForEveryLeaseYear)
{
    frmWorkSheet& f = Open("BASERATE");
    EXPECT_EQ(f.Caption(), "Base Rate Worksheet");
    EXPECT_EQ(f.lblStore.Caption(), "Main Street - Worksheet");
    ASSERT_EQ(f.FlxGd.Rows(), 6);
    ASSERT_EQ(f.FlxGd.Cols(), 3);
    EXPECT_EQ(f.FlxGd.TextMatrix(0, 0), "Year");
    EXPECT_EQ(f.FlxGd.TextMatrix(0, 1), "Monthly Rent");
    EXPECT_EQ(f.FlxGd.TextMatrix(0, 2), "Yearly Rent");
    EXPECT_EQ(column(f.FlxGd, 0), (std::vector<std::string>{"2002", "2003", "2004", "2005", "2006"}));
    EXPECT_EQ(column(f.FlxGd, 1), std::vector<std::string>(5, ""));
    EXPECT_EQ(rows("BaseRate", 7), 5);
    EXPECT_TRUE(field("BaseRate", "MonthTotal", 7, 2004).IsNull());
    // The fill leaves the last cell current; closing untouched writes no amount.
    EXPECT_EQ(f.FlxGd.Row(), 5);
    EXPECT_EQ(f.FlxGd.Col(), 2);
    Close(f);
    EXPECT_EQ(frmWorkSheet::IfLoaded(), nullptr);
    EXPECT_TRUE(field("BaseRate", "YearTotal", 7, 2006).IsNull());
    EXPECT_TRUE(msgbox->shown.empty());

    // A longer term adds exactly the missing years; a shorter one shows
    // fewer and leaves the later rows alone.
    Close(Open("BASERATE", 7, 2002, 7));
    EXPECT_EQ(rows("BaseRate", 7), 7);
    frmWorkSheet& three = Open("BASERATE", 7, 2002, 3);
    EXPECT_EQ(three.FlxGd.Rows(), 4);
    Close(three);
    EXPECT_EQ(rows("BaseRate", 7), 7);
    // A commencement a year earlier adds that year only.
    Close(Open("BASERATE", 7, 2001, 3));
    EXPECT_EQ(rows("BaseRate", 7), 8);
    EXPECT_EQ(rows("CAMRate", 7), 0);
}

TEST_F(WorkSheet, AMissingYearIsFoundByItsYearNotByCountingRows)
{
    // Five rows for a five-year term, but 2003 twice and 2005 missing.
    for (int y : {2002, 2003, 2003, 2004, 2006})
        Exec("INSERT INTO TaxRate (StoreID, Year, MonthTotal, YearTotal) VALUES (7, ?, 10, 120)", {y});
    frmWorkSheet& f = Open("TAXRATE");
    EXPECT_EQ(f.Caption(), "Tax Rate Worksheet");
    EXPECT_EQ(f.FlxGd.TextMatrix(0, 1), "Monthly Tax");
    EXPECT_EQ(rows("TaxRate", 7), 6);
    EXPECT_EQ(column(f.FlxGd, 1), (std::vector<std::string>{"$10.00", "$10.00", "$10.00", "", "$10.00"}));
    Close(f);
}

TEST_F(WorkSheet, RateCellsAreCompletedOnlyWhenTheirValueChanges)
{
    frmWorkSheet& f = Open("CAMRATE");
    controls::Grid& g = f.FlxGd;
    EXPECT_EQ(g.TextMatrix(0, 2), "Yearly  C.A.M");
    Key(g, Qt::Key_Return); // from the last cell back to row 1, column 1
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.CellBackColor(), controls::GridEditor::kEditingColor);
    Type(g, "100");
    Key(g, Qt::Key_Return);
    EXPECT_EQ(g.TextMatrix(1, 1), "$100.00");
    EXPECT_EQ(g.TextMatrix(1, 2), "$1,200.00");

    // A yearly amount sets the monthly one; walking back through the
    // monthly cell leaves both as they are.
    GoTo(g, 2, 2);
    Type(g, "1000");
    Key(g, Qt::Key_Return);
    EXPECT_EQ(g.TextMatrix(2, 1), "$83.33");
    EXPECT_EQ(g.TextMatrix(2, 2), "$1,000.00");
    GoTo(g, 2, 1);
    Key(g, Qt::Key_Return);
    Key(g, Qt::Key_Return);
    EXPECT_EQ(g.TextMatrix(2, 2), "$1,000.00");

    // Letters: the message, and the cell keeps its amount.
    GoTo(g, 1, 1);
    Key(g, Qt::Key_Delete);
    Type(g, "abc");
    Key(g, Qt::Key_Return);
    ASSERT_EQ(msgbox->shown.size(), 1u);
    EXPECT_EQ(msgbox->shown[0].prompt, "Please enter a numeric value");
    EXPECT_EQ(g.TextMatrix(1, 1), "$100.00");
    EXPECT_EQ(g.TextMatrix(1, 2), "$1,200.00");
    // A cleared cell changes nothing, silently.
    GoTo(g, 1, 2);
    Key(g, Qt::Key_Delete);
    GoTo(g, 3, 1);
    EXPECT_EQ(g.TextMatrix(1, 2), "$1,200.00");
    EXPECT_EQ(g.TextMatrix(1, 1), "$100.00");
    EXPECT_EQ(msgbox->shown.size(), 1u);

    // Delete then Esc gives the text back; typing after a key on "$0.00"
    // replaces the zero.
    GoTo(g, 3, 1);
    Type(g, "0");
    GoTo(g, 3, 2);
    EXPECT_EQ(g.TextMatrix(3, 1), "$0.00");
    EXPECT_EQ(g.TextMatrix(3, 2), "$0.00");
    GoTo(g, 3, 1);
    Type(g, "250");
    EXPECT_EQ(g.Text(), "250");
    Key(g, Qt::Key_Escape);
    EXPECT_EQ(g.Text(), "$0.00");
    Key(g, Qt::Key_Right); // any key on a zero empties it; leaving keeps the zero
    EXPECT_EQ(g.TextMatrix(3, 1), "$0.00");
    GoTo(g, 4, 1);
    Type(g, "1,250.5");
    Key(g, Qt::Key_Backspace);
    Key(g, Qt::Key_Delete);
    Key(g, Qt::Key_Escape);
    EXPECT_EQ(g.Text(), "");
    Type(g, "$1,250.50");
    Key(g, Qt::Key_Return);
    EXPECT_EQ(g.TextMatrix(4, 2), "$15,006.00");

    Close(f);
    EXPECT_DOUBLE_EQ(amount("CAMRate", "MonthTotal", 7, 2002), 100);
    EXPECT_DOUBLE_EQ(amount("CAMRate", "YearTotal", 7, 2002), 1200);
    EXPECT_DOUBLE_EQ(amount("CAMRate", "MonthTotal", 7, 2003), 83.33);
    EXPECT_DOUBLE_EQ(amount("CAMRate", "YearTotal", 7, 2003), 1000);
    EXPECT_DOUBLE_EQ(amount("CAMRate", "MonthTotal", 7, 2004), 0);
    EXPECT_DOUBLE_EQ(amount("CAMRate", "YearTotal", 7, 2005), 15006);
    EXPECT_TRUE(field("CAMRate", "MonthTotal", 7, 2006).IsNull());
    EXPECT_EQ(rows("CAMRate", 7), 5);
}

// A number too large for its cell is told as too large, with the largest
// (or lowest) amount that fits, not taken for a typo; the cell keeps what
// it held. Twelve monthly amounts must fit in the yearly cell.
TEST_F(WorkSheet, ANumberTooLargeForItsCellIsToldWithTheLargestThatFits)
{
    const std::string largest = "This amount is too large. The largest amount that fits here is ";
    const std::string lowest = "This amount is too large. The lowest amount that fits here is ";
    const std::string manyDigits = "1" + std::string(399, '0');
    struct Case {
        const char* kind;
        long col;
        const char* typed;
        std::string told; // "" when the amount is taken
        const char* shown;
    };
    const std::vector<Case> cases = {
        {"BASERATE", 1, "900000000000000", largest + "$76,861,433,640,456.46.", "$100.00"},
        {"BASERATE", 1, "-900000000000000", lowest + "-$76,861,433,640,456.46.", "$100.00"},
        {"BASERATE", 1, "76861433640456.47", largest + "$76,861,433,640,456.46.", "$100.00"},
        {"BASERATE", 1, "76861433640456.46", "", "$76,861,433,640,456.46"},
        {"BASERATE", 2, "12345678901234567890", largest + "$922,337,203,685,477.58.", "$1,200.00"},
        {"BASERATE", 2, "922337203685477.58", "", "$922,337,203,685,477.58"},
        {"BASERATE", 1, "(900000000000000)", lowest + "-$76,861,433,640,456.46.", "$100.00"},
        {"BASERATE", 2, manyDigits.c_str(), largest + "$922,337,203,685,477.58.", "$1,200.00"},
        {"BASERATE", 1, "12abc", "Please enter a numeric value", "$100.00"},
        {"PERCENTAGERATE", 3, "99999999999999999999", largest + "$922,337,203,685,477.58.", "$100.00"},
        {"PERCENTAGERATE", 2, "99999999999999999999%", largest + "922337203685477.580%.", "5.000%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + c.typed);
        msgbox->shown.clear();
        Exec("DELETE FROM BaseRate");
        Exec("DELETE FROM PercentageRate");
        Exec("INSERT INTO BaseRate (StoreID, Year, MonthTotal, YearTotal) VALUES (7, 2002, 100, 1200)");
        Exec("INSERT INTO PercentageRate (StoreID, Year, PercentType, Rate, BreakPoint) VALUES "
             "(7, 2002, '% of Sales', '5.000%', 100)");
        frmWorkSheet& f = Open(c.kind, 7, 2002, 1);
        controls::Grid& g = f.FlxGd;
        GoTo(g, 1, c.col);
        Key(g, Qt::Key_Delete);
        Type(g, c.typed);
        Key(g, Qt::Key_Return);
        if (c.told.empty()) {
            EXPECT_TRUE(msgbox->shown.empty());
        } else {
            ASSERT_EQ(msgbox->shown.size(), 1u);
            EXPECT_EQ(msgbox->shown[0].prompt, c.told);
        }
        EXPECT_EQ(g.TextMatrix(1, c.col), c.shown);
        if (c.col == 1 && c.told.empty()) {
            EXPECT_EQ(g.TextMatrix(1, 2), "$922,337,203,685,477.52");
        }
        Close(f);
    }
}

TEST_F(WorkSheet, AnEmptyCellKeepsTheStoredAmountAndAVanishedRowIsWrittenAgain)
{
    for (int y = 2002; y <= 2006; ++y)
        Exec("INSERT INTO BaseRate (StoreID, Year, MonthTotal, YearTotal) VALUES (7, ?, 500, 6000)", {y});
    frmWorkSheet& f = Open("BASERATE");
    f.FlxGd.SetTextMatrix(2, 1, "");
    f.FlxGd.SetTextMatrix(3, 1, "$600.00");
    Exec("DELETE FROM BaseRate WHERE Year = 2005");
    Close(f);
    EXPECT_DOUBLE_EQ(amount("BaseRate", "MonthTotal", 7, 2003), 500);
    EXPECT_DOUBLE_EQ(amount("BaseRate", "MonthTotal", 7, 2004), 600);
    EXPECT_DOUBLE_EQ(amount("BaseRate", "YearTotal", 7, 2005), 6000);
    EXPECT_EQ(rows("BaseRate", 7), 5);
}

TEST_F(WorkSheet, ThePercentageSheetCompletesEachRowByItsType)
{
    frmWorkSheet& f = Open("PERCENTAGERATE", 7, 2002, 4);
    controls::Grid& g = f.FlxGd;
    EXPECT_EQ(f.Caption(), "Percentage Rate Worksheet");
    EXPECT_EQ(g.Cols(), 4);
    EXPECT_EQ(g.TextMatrix(0, 3), "Break Point");
    EXPECT_EQ(g.RowHeightMin(), f.combo1.Height());
    auto* list = static_cast<QComboBox*>(f.combo1.Widget());
    auto choose = [&](std::string_view type) {
        const int i = list->findText(QString::fromUtf8(type.data(), static_cast<int>(type.size())));
        list->setCurrentIndex(i);
        emit list->activated(i);
    };

    // The type list lies over the clicked type cell with its text.
    ClickCell(g, 1, 1);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_TRUE(f.combo1.Visible());
    EXPECT_DOUBLE_EQ(f.combo1.Left(), g.Left() + g.CellLeft());
    EXPECT_EQ(f.combo1.Text(), "");
    choose(kTypePercent);
    EXPECT_FALSE(f.combo1.Visible());
    EXPECT_EQ(g.TextMatrix(1, 1), "% of Sales");
    GoTo(g, 1, 2);
    Type(g, "5");
    Key(g, Qt::Key_Return);
    Type(g, "20000");
    Key(g, Qt::Key_Return);
    EXPECT_EQ(g.TextMatrix(1, 2), "5.000%");
    EXPECT_EQ(g.TextMatrix(1, 3), "$20,000.00");

    // Flat Rate: a money rate, no break point; None: neither.
    ClickCell(g, 2, 1);
    choose(kTypeFlat);
    GoTo(g, 2, 2);
    Type(g, "500");
    Key(g, Qt::Key_Return);
    Type(g, "99");
    Key(g, Qt::Key_Return);
    EXPECT_EQ(g.TextMatrix(2, 2), "$500.00");
    EXPECT_EQ(g.TextMatrix(2, 3), "");
    ClickCell(g, 3, 1);
    EXPECT_EQ(f.combo1.Text(), "");
    choose(kTypeNone);
    GoTo(g, 3, 2);
    Type(g, "7");
    Key(g, Qt::Key_Return);
    EXPECT_EQ(g.TextMatrix(3, 2), "");
    // A click in another column puts the list away.
    ClickCell(g, 3, 3);
    EXPECT_FALSE(f.combo1.Visible());

    // A rate that is no number is refused as on the rate sheets; a type
    // changed to Flat Rate reads the percentage as an amount.
    GoTo(g, 4, 1);
    Type(g, "% of Sales");
    GoTo(g, 4, 2);
    Type(g, "abc");
    Key(g, Qt::Key_Return);
    ASSERT_EQ(msgbox->shown.size(), 1u);
    EXPECT_EQ(msgbox->shown[0].prompt, "Please enter a numeric value");
    EXPECT_EQ(g.TextMatrix(4, 2), "");
    GoTo(g, 4, 2);
    Type(g, "$6.5");
    Key(g, Qt::Key_Return);
    EXPECT_EQ(g.TextMatrix(4, 2), "6.500%");
    ClickCell(g, 4, 1);
    EXPECT_EQ(f.combo1.Text(), "% of Sales");
    choose(kTypeFlat);
    EXPECT_EQ(g.TextMatrix(4, 2), "$6.50");
    ClickCell(g, 4, 1);
    choose(kTypePercent);
    EXPECT_EQ(g.TextMatrix(4, 2), "6.500%");
    EXPECT_EQ(g.TextMatrix(4, 3), "");

    msgbox->answers = {forms::vbNo};
    Close(f);
    EXPECT_EQ(frmWorkSheet::IfLoaded(), nullptr);
    ASSERT_EQ(msgbox->shown.size(), 2u); // row 4 has no break point
    EXPECT_EQ(msgbox->shown[1].title, "Parameter missing");
    EXPECT_EQ(msgbox->shown[1].buttons, forms::vbYesNo + forms::vbQuestion);
    EXPECT_EQ(vb::CStr(field("PercentageRate", "PercentType", 7, 2002)), "% of Sales");
    EXPECT_EQ(vb::CStr(field("PercentageRate", "Rate", 7, 2002)), "5.000%");
    EXPECT_DOUBLE_EQ(amount("PercentageRate", "BreakPoint", 7, 2002), 20000);
    EXPECT_EQ(vb::CStr(field("PercentageRate", "Rate", 7, 2003)), "$500.00");
    EXPECT_TRUE(field("PercentageRate", "BreakPoint", 7, 2003).IsNull());
    EXPECT_EQ(vb::CStr(field("PercentageRate", "PercentType", 7, 2004)), "None");
    EXPECT_EQ(vb::CStr(field("PercentageRate", "Rate", 7, 2004)), "");
    EXPECT_TRUE(field("PercentageRate", "BreakPoint", 7, 2005).IsNull());

    // Reopened, the break point reads back as the money text it was.
    frmWorkSheet& again = Open("PERCENTAGERATE", 7, 2002, 4);
    EXPECT_EQ(column(again.FlxGd, 3), (std::vector<std::string>{"$20,000.00", "", "", ""}));
    EXPECT_EQ(column(again.FlxGd, 2), (std::vector<std::string>{"5.000%", "$500.00", "", "6.500%"}));
}

TEST_F(WorkSheet, AMissingBreakPointAsksOnceARowAndYesKeepsTheWindowOpen)
{
    for (int y : {2002, 2003, 2004})
        Exec("INSERT INTO PercentageRate (StoreID, Year, PercentType, Rate) VALUES (7, ?, '% of Sales', '5.000%')",
             {y});
    frmWorkSheet& f = Open("PERCENTAGERATE", 7, 2002, 3);
    f.rtbNotes.SetText("Audit\r\nyearly");
    msgbox->answers = {forms::vbNo, forms::vbYes};
    Close(f);
    EXPECT_EQ(msgbox->shown.size(), 2u);
    ASSERT_EQ(frmWorkSheet::IfLoaded(), &f);
    EXPECT_EQ(msgbox->shown[0].prompt, frmWorkSheet::kBreakPointQuestion);
    // The grid was written; the notes wait for the close that goes through.
    EXPECT_FALSE(Mod_FileIO::ReadRateNotes(7, vb::App::Path(), Mod_FileIO::kPercentageRateNotes).has_value());
    f.FlxGd.SetTextMatrix(1, 3, "1000");

    // The program's quitting asks nothing and closes it, notes saved.
    Mod_FTPData::UnloadAllForms(false);
    EXPECT_EQ(frmWorkSheet::IfLoaded(), nullptr);
    EXPECT_EQ(msgbox->shown.size(), 2u);
    EXPECT_DOUBLE_EQ(amount("PercentageRate", "BreakPoint", 7, 2002), 1000);
    const auto notes = Mod_FileIO::ReadRateNotes(7, vb::App::Path(), Mod_FileIO::kPercentageRateNotes);
    ASSERT_TRUE(notes.has_value());
    EXPECT_EQ(notes->front(), "Audit~|yearly");
}

// A notes file too large to be one: the sheet says so when it opens and
// when it closes, its figures load and are saved, and the file is left as
// it was.
TEST_F(WorkSheet, ANotesFileTooLargeIsToldAndLeftWhileTheFiguresAreSaved)
{
    const std::filesystem::path notes = std::filesystem::path(vb::App::Path()) / Mod_FileIO::kNotesFileName;
    {
        std::ofstream out(notes, std::ios::binary);
        out << "<xml>\r\n<StoreLeaseInfo>\r\n</StoreLeaseInfo>\r\n</xml>\r\n";
    }
    std::filesystem::resize_file(notes, Mod_FileIO::kMaxNotesFileSize + 1);
    const auto before = std::filesystem::last_write_time(notes);

    frmWorkSheet& f = Open("BASERATE", 7, 2002, 2);
    ASSERT_EQ(msgbox->shown.size(), 1u);
    EXPECT_NE(msgbox->shown[0].prompt.find("is larger than 16 MB"), std::string::npos) << msgbox->shown[0].prompt;
    EXPECT_EQ(f.FlxGd.TextMatrix(1, 0), "2002");
    GoTo(f.FlxGd, 1, 1);
    Type(f.FlxGd, "75");
    f.rtbNotes.SetText("lost?");
    Close(f);
    ASSERT_EQ(msgbox->shown.size(), 2u);
    EXPECT_NE(msgbox->shown[1].prompt.find("is larger than 16 MB"), std::string::npos) << msgbox->shown[1].prompt;
    EXPECT_DOUBLE_EQ(amount("BaseRate", "MonthTotal", 7, 2002), 75);
    EXPECT_EQ(std::filesystem::file_size(notes), Mod_FileIO::kMaxNotesFileSize + 1);
    EXPECT_EQ(std::filesystem::last_write_time(notes), before);
}

TEST_F(WorkSheet, TheWindowKeepsItsOwnSheetWhileTheStoreEditorMovesOn)
{
    frmWorkSheet& f = Open("BASERATE", 7, 2002, 3);
    GoTo(f.FlxGd, 1, 1);
    Type(f.FlxGd, "50");
    // The editor shows another store and asks for another worksheet.
    frmWorkSheet& same = Open("TAXRATE", 9, 2010, 5);
    EXPECT_EQ(&same, &f);
    EXPECT_EQ(f.Caption(), "Base Rate Worksheet");
    EXPECT_EQ(f.lblStore.Caption(), "Main Street - Worksheet");
    Close(f);
    EXPECT_DOUBLE_EQ(amount("BaseRate", "MonthTotal", 7, 2002), 50);
    EXPECT_EQ(rows("BaseRate", 9), 0);
    EXPECT_EQ(rows("TaxRate", 9), 0);
    EXPECT_EQ(rows("TaxRate", 7), 0);
}

TEST_F(WorkSheet, NotesSettingsAndSize)
{
    Mod_FileIO::WriteRateNotes(7, vb::App::Path(), Mod_FileIO::kBaseRateNotes, {"Pay by the 5th~|Call first"});
    vb::SaveSetting("Tallyvane", "frmWorkSheet", "Autocomplete", "False");
    frmWorkSheet& f = Open("BASERATE");
    EXPECT_EQ(f.rtbNotes.Text(), "Pay by the 5th\r\nCall first");
    EXPECT_FALSE(f.smuiMenuBar.Items().Find("AUTO COMPLETE")->Checked());
    f.smuiMenuBar.Choose("AUTO COMPLETE");
    EXPECT_TRUE(f.smuiMenuBar.Items().Find("AUTO COMPLETE")->Checked());

    // Notes the file cannot hold: told, and the window stays open.
    f.rtbNotes.SetText("a <b> c");
    f.Move(0, 0, 9000, 6000);
    Close(f);
    ASSERT_EQ(frmWorkSheet::IfLoaded(), &f);
    ASSERT_EQ(msgbox->shown.size(), 1u);
    // Line breaks are kept, so the refusal names the two characters only.
    EXPECT_EQ(msgbox->shown[0].prompt, "The notes cannot be saved: it must not contain \"<\" or \">\".");
    f.rtbNotes.SetText("Line one\r\nLine two");
    Close(f);
    EXPECT_EQ(frmWorkSheet::IfLoaded(), nullptr);
    EXPECT_EQ(Mod_FileIO::ReadRateNotes(7, vb::App::Path(), Mod_FileIO::kBaseRateNotes)->front(),
              "Line one~|Line two");
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmWorkSheet", "Autocomplete", ""), "True");

    // The percentage sheet hides the switch and stores back what it read.
    vb::SaveSetting("Tallyvane", "frmWorkSheet", "Autocomplete", "False");
    frmWorkSheet& p = Open("PERCENTAGERATE");
    EXPECT_FALSE(p.smuiMenuBar.Items().Find("AUTO COMPLETE")->Visible());
    EXPECT_FALSE(p.smuiMenuBar.Items().Find("SEPBAR")->Visible());
    // The size of the last close (and the frame the window system adds).
    EXPECT_NEAR(p.Width(), 9000, 150);
    EXPECT_NEAR(p.Height(), 6000, 150);
    EXPECT_GE(p.rtbNotes.Height(), 0);
    p.Move(0, 0, 3000, 1500); // too small for the notes: no height, never less
    EXPECT_EQ(p.rtbNotes.Height(), 0);
    Close(p);
    EXPECT_EQ(vb::GetSetting("Tallyvane", "frmWorkSheet", "Autocomplete", ""), "False");
}

} // namespace

namespace {

class WorkSheetPictures : public tv::testing::GridWindowFixture {};

TEST_F(WorkSheetPictures, EachKindOnTheExampleDatabase)
{
    OpenDatabase(true);
    // The first store by name, with the lease years the store editor would set.
    const ado::RecordsetPtr store = Query(
        "SELECT StoreID, StoreName, CommenceDate, InitialTerm FROM Stores ORDER BY StoreName");
    ASSERT_GT(store->RecordCount(), 0);
    store->MoveFirst();
    tv::StoresState& st = tv::Stores();
    st.g_CurrentStoreID = static_cast<int16_t>(vb::CLng(store->Fields("StoreID").Value()));
    st.g_CommenceYear = static_cast<int16_t>(vb::Year(vb::CDate(store->Fields("CommenceDate").Value())));
    st.g_InitialTermYears = static_cast<int16_t>(vb::CLng(store->Fields("InitialTerm").Value()));
    const std::string name = vb::CStr(store->Fields("StoreName").Value());
    const std::pair<const char*, const char*> kinds[] = {{"BASERATE", " - Base Rate Worksheet"},
                                                        {"PERCENTAGERATE", " - Percentage Rate Worksheet"},
                                                        {"CAMRATE", " - CAM Rate Worksheet"},
                                                        {"TAXRATE", " - Tax Rate Worksheet"}};
    for (const auto& [kind, suffix] : kinds) {
        st.g_WorkSheetKind = kind;
        frmWorkSheet& f = frmWorkSheet::ShowWorkSheet(name + suffix);
        f.rtbNotes.SetText("Rent is due on the first of each month.\r\nIncreases take effect on the anniversary.");
        const long row = std::min<long>(2, f.FlxGd.Rows() - 1);
        if (f.Sheet().kind->percentage) {
            ClickCell(f.FlxGd, row, 1);
            EXPECT_TRUE(f.combo1.Visible());
        } else {
            GoTo(f.FlxGd, row, 1);
            Type(f.FlxGd, "12");
        }
        QCoreApplication::processEvents();
        Grab(f.hWnd(), QStringLiteral("frmWorkSheet_%1").arg(QString::fromLatin1(kind)));
        // The sheet on screen is the store's stored figures.
        EXPECT_EQ(f.FlxGd.TextMatrix(1, 0), std::to_string(st.g_CommenceYear));
        EXPECT_FALSE(f.FlxGd.TextMatrix(1, 1).empty());
        Key(f.FlxGd, Qt::Key_Escape);
        f.smuiMenuBar.Choose("CLOSE");
        ASSERT_EQ(frmWorkSheet::IfLoaded(), nullptr);
    }
}

} // namespace

namespace {

// A write the database refuses half-way through the sheet: no year takes the
// new figures, and the user's close keeps them on screen to try again.
TEST_F(WorkSheet, ASaveThatFailsHalfWayWritesNoYearAndKeepsTheWindowOpen)
{
    for (int y = 2002; y <= 2004; ++y)
        Exec("INSERT INTO BaseRate (StoreID, Year, MonthTotal, YearTotal) VALUES (7, ?, 500, 6000)", {y});
    const std::string file = tv::Shell().g_DBConnection->DataSource().string();
    const auto raw = [&](const char* sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };
    raw("CREATE TRIGGER refuse BEFORE UPDATE ON BaseRate WHEN NEW.Year = 2004 BEGIN SELECT RAISE(ABORT, 'disk full'); "
        "END;");
    frmWorkSheet& f = Open("BASERATE", 7, 2002, 3);
    f.FlxGd.SetTextMatrix(1, 1, "$700.00");
    f.FlxGd.SetTextMatrix(3, 1, "$900.00");
    Close(f);
    ASSERT_EQ(msgbox->shown.size(), 1u);
    EXPECT_NE(msgbox->shown[0].prompt.find("could not be saved"), std::string::npos);
    EXPECT_DOUBLE_EQ(amount("BaseRate", "MonthTotal", 7, 2002), 500);
    ASSERT_EQ(frmWorkSheet::IfLoaded(), &f);
    EXPECT_EQ(f.FlxGd.TextMatrix(1, 1), "$700.00");

    raw("DROP TRIGGER refuse;");
    Close(f);
    EXPECT_EQ(frmWorkSheet::IfLoaded(), nullptr);
    EXPECT_DOUBLE_EQ(amount("BaseRate", "MonthTotal", 7, 2002), 700);
    EXPECT_DOUBLE_EQ(amount("BaseRate", "MonthTotal", 7, 2004), 900);
    EXPECT_EQ(rows("BaseRate", 7), 3);
}

TEST_F(WorkSheet, ASheetThatDidNotLoadWritesNothingBack)
{
    Mod_FileIO::WriteRateNotes(7, vb::App::Path(), Mod_FileIO::kBaseRateNotes, {"Keep me"});
    tv::Shell().g_DBConnection->Close();
    frmWorkSheet& f = Open("BASERATE");
    ASSERT_EQ(frmWorkSheet::IfLoaded(), &f);
    Close(f);
    EXPECT_EQ(frmWorkSheet::IfLoaded(), nullptr);
    EXPECT_EQ(Mod_FileIO::ReadRateNotes(7, vb::App::Path(), Mod_FileIO::kBaseRateNotes)->front(), "Keep me");
}

} // namespace

namespace {

TEST_F(WorkSheet, ClosingAfterTheStoreEditorClosedDoesNotBringTheEditorBack)
{
    frmStoreInfo& editor = frmStoreInfo::Instance();
    editor.Show();
    frmWorkSheet& f = Open("TAXRATE");
    Close(f);
    EXPECT_EQ(frmStoreInfo::IfLoaded(), &editor); // refreshed, still open

    frmWorkSheet& again = Open("TAXRATE");
    ASSERT_TRUE(editor.Unload());
    EXPECT_EQ(frmStoreInfo::IfLoaded(), nullptr);
    Close(again);
    EXPECT_EQ(frmWorkSheet::IfLoaded(), nullptr);
    EXPECT_EQ(frmStoreInfo::IfLoaded(), nullptr);
    for (int i = 0; i < forms::Forms().Count(); ++i)
        EXPECT_NE(forms::Forms()(i).Name(), "frmStoreInfo");
}

} // namespace
