#include "program/stores/Mod_WorkSheet.h"

#include "platform/ado/Command.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/basic/App.h"
#include "platform/basic/FlagScope.h"
#include "platform/basic/Format.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/basic/Variant.h"
#include "platform/controls/Grid.h"
#include "platform/controls/RichTextBox.h"
#include "platform/forms/MsgBox.h"
#include "program/services/Mod_DBConnections.h"
#include "program/services/Mod_FTPData.h"
#include "program/services/ShellState.h"
#include "program/stores/Mod_FileIO.h"
#include "program/stores/StoresState.h"

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <set>

namespace Mod_WorkSheet {

namespace {

constexpr std::array<SheetKind, 4> kKinds{{
    {"BASERATE", "BaseRate", Mod_FileIO::kBaseRateNotes, "Rent", "Base Rate Worksheet",
     "Work_Sheets_Screen\\Base_Rate_Work_Sheet.htm", false},
    {"PERCENTAGERATE", "PercentageRate", Mod_FileIO::kPercentageRateNotes, "", "Percentage Rate Worksheet",
     "Work_Sheets_Screen\\Percentage_Rate_Work_Sheet.htm", true},
    {"CAMRATE", "CAMRate", Mod_FileIO::kCAMRateNotes, " C.A.M", "Common Area Maintaince Rate Worksheet",
     "Work_Sheets_Screen\\C.A.M_Rate_Work_Sheet.htm", false},
    {"TAXRATE", "TaxRate", Mod_FileIO::kTaxRateNotes, "Tax", "Tax Rate Worksheet",
     "Work_Sheets_Screen\\Tax_Rate_Work_Sheet.htm", false},
}};

// The database layer's routines and program-wide objects of a kind's table.
struct TableAccess {
    void (*open)(std::string_view, int32_t&);
    void (*close)();
    ado::CommandPtr tv::ShellState::*command;
    ado::RecordsetPtr tv::ShellState::*recordset;
};

const TableAccess& accessOf(const SheetKind& kind)
{
    static const TableAccess base{Mod_DBConnections::OpenBaseRate, Mod_DBConnections::CloseBaseRate,
                                  &tv::ShellState::g_cmdBaseRate, &tv::ShellState::g_rsBaseRate};
    static const TableAccess percentage{Mod_DBConnections::OpenPercentageRate,
                                        Mod_DBConnections::ClosePercentageRate,
                                        &tv::ShellState::g_cmdPercentageRate, &tv::ShellState::g_rsPercentageRate};
    static const TableAccess cam{Mod_DBConnections::OpenCAMRate, Mod_DBConnections::CloseCAMRate,
                                 &tv::ShellState::g_cmdCAMRate, &tv::ShellState::g_rsCAMRate};
    static const TableAccess tax{Mod_DBConnections::OpenTaxRate, Mod_DBConnections::CloseTaxRate,
                                 &tv::ShellState::g_cmdTaxRate, &tv::ShellState::g_rsTaxRate};
    if (kind.key == "PERCENTAGERATE")
        return percentage;
    if (kind.key == "CAMRATE")
        return cam;
    if (kind.key == "TAXRATE")
        return tax;
    return base;
}

std::string textOf(const vb::Variant& v)
{
    return v.IsNull() || v.IsEmpty() ? std::string() : vb::CStr(v);
}

std::string money(const vb::Variant& v)
{
    return v.IsNull() || v.IsEmpty() ? std::string() : vb::Format(v, kRentFormat);
}

bool blank(std::string_view text)
{
    return vb::Trim(text).empty();
}

std::string withoutPercent(std::string_view text)
{
    return vb::Replace(text, "%", "");
}

// The load query, its rows in the table's recordset (and in the result).
ado::RecordsetPtr loadQuery(const Sheet& sheet)
{
    const SheetKind& kind = *sheet.kind;
    const TableAccess& t = accessOf(kind);
    tv::ShellState& s = tv::Shell();
    int32_t count = 0;
    t.open("ReadOnly", count);
    const std::string columns = kind.percentage ? "Year, PercentType, Rate, BreakPoint" : "Year, MonthTotal, YearTotal";
    // The numbers are the window's own 16-bit values, written in plain decimal.
    (s.*t.command)
        ->CommandText("SELECT " + columns + " FROM " + std::string(kind.table) + " WHERE StoreID="
                      + std::to_string(sheet.storeID) + " and Year BETWEEN " + std::to_string(sheet.firstYear)
                      + " and " + std::to_string(sheet.YearOfRow(sheet.years)));
    ado::RecordsetPtr rows = (s.*t.command)->Execute();
    s.*t.recordset = rows;
    return rows;
}

std::vector<int> yearsIn(const ado::RecordsetPtr& rows)
{
    std::vector<int> years;
    if (rows->RecordCount() == 0)
        return years;
    for (rows->MoveFirst(); !rows->EOF_(); rows->MoveNext()) {
        const vb::Variant y = rows->Fields("Year").Value();
        if (!y.IsNull())
            years.push_back(vb::CLng(y));
    }
    return years;
}

// Walks the rows of the load query: each with its grid row, once per year.
void forEachYearRow(const Sheet& sheet, const controls::Grid& grid, const ado::RecordsetPtr& rows,
                    const std::function<void(long row)>& fill)
{
    if (rows->RecordCount() == 0)
        return;
    std::set<int> seen;
    for (rows->MoveFirst(); !rows->EOF_(); rows->MoveNext()) {
        const vb::Variant y = rows->Fields("Year").Value();
        if (y.IsNull())
            continue;
        const long row = vb::CLng(y) - sheet.firstYear + 1;
        if (row < 1 || row >= grid.Rows() || !seen.insert(static_cast<int>(row)).second)
            continue;
        fill(row);
    }
}

void endAtLastCell(controls::Grid& grid)
{
    if (grid.Rows() > grid.FixedRows())
        grid.Select(grid.Rows() - 1, grid.Cols() - 1);
}

void loadSheet(const Sheet& sheet, std::string_view kindKey, controls::Grid& grid, controls::RichTextBox& notes)
{
    if (!sheet.kind || sheet.kind->key != kindKey)
        vb::Raise(vb::kErrInvalidCall, "The worksheet is not a " + std::string(kindKey) + " sheet");
    const TableAccess& t = accessOf(*sheet.kind);
    ado::RecordsetPtr rows = loadQuery(sheet);
    // Missing years are found by their year, not by counting rows: a
    // duplicated year must not hide a missing one.
    std::vector<int> present = yearsIn(rows);
    if (AddMissingYears(sheet, present) > 0) {
        t.close();
        rows = loadQuery(sheet);
    }
    if (sheet.kind->percentage) {
        SetPercentageGridHeadings(sheet, grid);
        FillPercentageGrid(sheet, grid, rows);
    } else {
        SetRateGridHeadings(sheet, grid);
        FillRateGrid(sheet, grid, rows);
    }
    LoadSheetNotes(sheet, notes);
    t.close();
}

// Moves to the table's row of the store and year; false when it has none.
bool positionOn(const ado::RecordsetPtr& rs, int16_t storeID, int year)
{
    if (rs->RecordCount() == 0)
        return false;
    rs->MoveFirst();
    const std::string criterion = "StoreID = " + std::to_string(storeID);
    for (;;) {
        rs->Find(criterion);
        if (rs->EOF_())
            return false;
        const vb::Variant y = rs->Fields("Year").Value();
        if (!y.IsNull() && vb::CLng(y) == year)
            return true;
        rs->MoveNext();
        if (rs->EOF_())
            return false;
    }
}

void saveSheet(const Sheet& sheet, const controls::Grid& grid,
               const std::function<void(const ado::RecordsetPtr&, long row)>& write)
{
    if (!sheet.kind)
        return;
    vb::FlagScope filling(tv::Stores().g_WorkSheetFilling);
    const TableAccess& t = accessOf(*sheet.kind);
    int32_t count = 0;
    t.open("modify", count);
    const ado::RecordsetPtr rs = tv::Shell().*t.recordset;
    // The sheet's years are written together or not at all: a failure half-way
    // must not leave some years with the new figures and the rest with the old.
    const ado::ConnectionPtr conn = tv::Shell().g_DBConnection;
    const bool own = conn && !conn->InTransaction();
    if (own)
        conn->BeginTrans();
    try {
        const long last = std::min<long>(grid.Rows() - 1, sheet.years);
        for (long row = 1; row <= last; ++row) {
            const int year = sheet.YearOfRow(row);
            // The load made the row exist; one that vanished since is added back.
            if (!positionOn(rs, sheet.storeID, year)) {
                rs->AddNew();
                rs->Fields("StoreID") = sheet.storeID;
                rs->Fields("Year") = static_cast<int16_t>(year);
            }
            write(rs, row);
            rs->Update();
        }
        if (own)
            conn->CommitTrans();
    } catch (...) {
        vb::ResumeNext step;
        if (own)
            step([&] { conn->RollbackTrans(); });
        // Its rows no longer match the table.
        step([&] { t.close(); });
        throw;
    }
}

void numericMessage()
{
    forms::MsgBox(kNumericMessage, forms::vbOKOnly);
}

// A number too large for its cell is told as such; any other text that is
// no amount is asked for again as a number.
void refusedAmountMessage(std::string_view text, bool tooLarge, vb::Currency largest, std::string_view format,
                          std::string_view suffix = {})
{
    if (tooLarge)
        forms::MsgBox(TooLargeMessage(text, largest, format, suffix), forms::vbOKOnly);
    else
        numericMessage();
}

} // namespace

const SheetKind* FindSheetKind(std::string_view key)
{
    for (const SheetKind& k : kKinds) {
        if (k.key == key)
            return &k;
    }
    return nullptr;
}

Sheet SheetFromStoreEditor()
{
    const tv::StoresState& st = tv::Stores();
    Sheet sheet;
    sheet.kind = FindSheetKind(st.g_WorkSheetKind);
    sheet.storeID = st.g_CurrentStoreID;
    sheet.firstYear = st.g_CommenceYear;
    const int room = 32767 - static_cast<int>(st.g_CommenceYear) + 1;
    sheet.years = static_cast<int16_t>(std::clamp<int>(st.g_InitialTermYears, 0, room));
    return sheet;
}

std::optional<vb::Currency> ReadAmount(std::string_view text, bool ignorePercent)
{
    const std::string t = ignorePercent ? withoutPercent(text) : std::string(text);
    if (blank(t) || !vb::IsNumeric(vb::Variant(t)))
        return std::nullopt;
    try {
        return vb::CCur(vb::Variant(t));
    } catch (const vb::RuntimeError&) {
        return std::nullopt; // beyond the currency range
    }
}

bool IsAmountTooLarge(std::string_view text, bool ignorePercent)
{
    const std::string t = ignorePercent ? withoutPercent(text) : std::string(text);
    if (blank(t) || !vb::IsNumeric(vb::Variant(t)))
        return false;
    try {
        vb::CCur(vb::Variant(t));
        return false;
    } catch (const vb::RuntimeError& e) {
        return e.Number() == vb::kErrOverflow;
    }
}

vb::Currency LargestAmount()
{
    constexpr int64_t kCent = vb::Currency::kScale / 100;
    return vb::Currency::FromRaw(std::numeric_limits<int64_t>::max() / kCent * kCent);
}

vb::Currency LargestMonthlyAmount()
{
    constexpr int64_t kCent = vb::Currency::kScale / 100;
    return vb::Currency::FromRaw(std::numeric_limits<int64_t>::max() / 12 / kCent * kCent);
}

std::string TooLargeMessage(std::string_view typed, vb::Currency largest, std::string_view format,
                            std::string_view suffix)
{
    const std::string t = vb::Trim(typed);
    const bool negative = t.find('-') != std::string::npos || (t.size() > 1 && t.front() == '(' && t.back() == ')');
    return std::string("This amount is too large. The ") + (negative ? "lowest" : "largest") +
           " amount that fits here is " + vb::Format(negative ? -largest : largest, format) + std::string(suffix) +
           ".";
}

void LoadBaseRateSheet(const Sheet& sheet, controls::Grid& grid, controls::RichTextBox& notes)
{
    loadSheet(sheet, "BASERATE", grid, notes);
}

void LoadCAMRateSheet(const Sheet& sheet, controls::Grid& grid, controls::RichTextBox& notes)
{
    loadSheet(sheet, "CAMRATE", grid, notes);
}

void LoadTaxRateSheet(const Sheet& sheet, controls::Grid& grid, controls::RichTextBox& notes)
{
    loadSheet(sheet, "TAXRATE", grid, notes);
}

void LoadPercentageRateSheet(const Sheet& sheet, controls::Grid& grid, controls::RichTextBox& notes)
{
    loadSheet(sheet, "PERCENTAGERATE", grid, notes);
}

int AddMissingYears(const Sheet& sheet, const std::vector<int>& yearsPresent)
{
    if (!sheet.kind)
        return 0;
    const std::set<int> present(yearsPresent.begin(), yearsPresent.end());
    std::vector<int> missing;
    for (long row = 1; row <= sheet.years; ++row) {
        if (!present.count(sheet.YearOfRow(row)))
            missing.push_back(sheet.YearOfRow(row));
    }
    if (missing.empty())
        return 0;
    const TableAccess& t = accessOf(*sheet.kind);
    int added = 0;
    vb::ResumeNext step;
    step([&] {
        int32_t count = 0;
        t.open("modify", count);
    });
    const ado::RecordsetPtr rs = tv::Shell().*t.recordset;
    if (!rs || rs->State() != ado::adStateOpen)
        return 0;
    for (int year : missing) {
        step([&] {
            rs->AddNew();
            rs->Fields("StoreID") = sheet.storeID;
            rs->Fields("Year") = static_cast<int16_t>(year);
            rs->Update();
            ++added;
        });
    }
    return added;
}

namespace {

void layOut(const Sheet& sheet, controls::Grid& grid, const std::vector<std::string>& headings,
            const std::vector<double>& widths)
{
    vb::FlagScope filling(tv::Stores().g_WorkSheetFilling);
    const long cols = static_cast<long>(headings.size());
    grid.SetCols(cols);
    grid.SetRows(std::max<long>(1, sheet.years + 1));
    grid.SetFixedRows(1);
    grid.SetFixedCols(1);
    const double width = grid.Width();
    for (long c = 0; c < cols; ++c) {
        grid.Select(0, c);
        grid.SetText(headings[static_cast<size_t>(c)]);
        grid.SetCellFontBold(true);
        grid.SetColWidth(c, widths[static_cast<size_t>(c)] * width);
        grid.SetColAlignment(c, controls::flexAlignLeftTop);
    }
    for (long r = 1; r < grid.Rows(); ++r)
        grid.SetTextMatrix(r, 0, std::to_string(sheet.YearOfRow(r)));
    grid.Select(0, 0);
}

} // namespace

void SetRateGridHeadings(const Sheet& sheet, controls::Grid& grid)
{
    const std::string label(sheet.kind ? sheet.kind->label : std::string_view());
    layOut(sheet, grid, {"Year", "Monthly " + label, "Yearly " + label}, {0.2, 0.8 * 0.48, 0.8 * 0.48});
}

void SetPercentageGridHeadings(const Sheet& sheet, controls::Grid& grid)
{
    layOut(sheet, grid, {"Year", "Percent Type", "Rate", "Break Point"}, {0.2, 0.8 * 0.31, 0.8 * 0.31, 0.8 * 0.31});
}

void FillRateGrid(const Sheet& sheet, controls::Grid& grid, const ado::RecordsetPtr& rows)
{
    vb::FlagScope filling(tv::Stores().g_WorkSheetFilling);
    forEachYearRow(sheet, grid, rows, [&](long row) {
        grid.SetTextMatrix(row, 1, money(rows->Fields("MonthTotal").Value()));
        grid.SetTextMatrix(row, 2, money(rows->Fields("YearTotal").Value()));
    });
    endAtLastCell(grid);
}

void FillPercentageGrid(const Sheet& sheet, controls::Grid& grid, const ado::RecordsetPtr& rows)
{
    vb::FlagScope filling(tv::Stores().g_WorkSheetFilling);
    forEachYearRow(sheet, grid, rows, [&](long row) {
        grid.SetTextMatrix(row, 1, textOf(rows->Fields("PercentType").Value()));
        grid.SetTextMatrix(row, 2, textOf(rows->Fields("Rate").Value()));
        // The break point is kept as an amount: shown as the money text the
        // sheet writes for it.
        grid.SetTextMatrix(row, 3, money(rows->Fields("BreakPoint").Value()));
    });
    endAtLastCell(grid);
}

void LoadSheetNotes(const Sheet& sheet, controls::RichTextBox& notes)
{
    if (!sheet.kind)
        return;
    // Notes that cannot be read are told, and the sheet's figures still load
    // (a sheet that fails to load writes nothing back when it closes).
    vb::DynArray<std::string> entries;
    try {
        entries = Mod_FileIO::ReadRateNotes(sheet.storeID, vb::App::Path(), sheet.kind->notesCode);
    } catch (const vb::RuntimeError& e) {
        forms::MsgBox(e.Description(), forms::vbExclamation);
    }
    if (Mod_FTPData::IsArrayDimensioned(entries) && !entries->empty())
        notes.SetText(vb::Replace(entries->front(), "~|", "\r\n"));
    else
        notes.SetText("");
}

void CommitRateCell(controls::Grid& grid, long row, long col, const std::string& entryText)
{
    if (row < grid.FixedRows() || col < grid.FixedCols() || col > 2)
        return;
    vb::FlagScope filling(tv::Stores().g_WorkSheetFilling);
    const std::string text = grid.TextMatrix(row, col);
    // A cleared cell is no new amount: the row keeps both of its amounts.
    if (blank(text)) {
        grid.SetTextMatrix(row, col, entryText);
        return;
    }
    // Twelve monthly amounts must fit in the yearly cell.
    const vb::Currency largest = col == 1 ? LargestMonthlyAmount() : LargestAmount();
    const std::optional<vb::Currency> amount = ReadAmount(text);
    const std::string shown = amount ? vb::Format(*amount, kRentFormat) : std::string();
    const std::optional<vb::Currency> cents = ReadAmount(shown);
    if (!cents || *cents > largest || *cents < -largest) {
        refusedAmountMessage(text, cents || IsAmountTooLarge(text), largest, kRentFormat);
        grid.SetTextMatrix(row, col, entryText);
        return;
    }
    const long partner = col == 1 ? 2 : 1;
    // The yearly amount is exact; the monthly one is rounded by the format.
    const std::string other =
        col == 1 ? vb::Format(*cents * 12, kRentFormat) : vb::Format(cents->ToDouble() / 12.0, kRentFormat);
    grid.SetTextMatrix(row, col, shown);
    grid.SetTextMatrix(row, partner, other);
}

void CompletePercentageRow(controls::Grid& grid, long row)
{
    if (row < grid.FixedRows() || grid.Cols() < 4)
        return;
    vb::FlagScope filling(tv::Stores().g_WorkSheetFilling);
    const std::string type = grid.TextMatrix(row, 1);
    if (type == kTypeNone) {
        grid.SetTextMatrix(row, 2, "");
        grid.SetTextMatrix(row, 3, "");
    } else if (type == kTypeFlat) {
        // A rate typed as a percentage before the type changed is read as
        // the amount it shows, never kept as "5.000%".
        if (const auto rate = ReadAmount(grid.TextMatrix(row, 2), true))
            grid.SetTextMatrix(row, 2, vb::Format(*rate, kRentFormat));
        grid.SetTextMatrix(row, 3, "");
    } else if (type == kTypePercent) {
        const std::string rate = vb::Trim(grid.TextMatrix(row, 2));
        if (!rate.empty()) {
            const std::string bare = withoutPercent(rate);
            if (vb::IsNumeric(vb::Variant(bare)) && ReadAmount(bare))
                grid.SetTextMatrix(row, 2, vb::Format(vb::CDbl(vb::Variant(bare)), kPercentFormat) + "%");
        }
        if (const auto breakPoint = ReadAmount(grid.TextMatrix(row, 3), true))
            grid.SetTextMatrix(row, 3, vb::Format(*breakPoint, kRentFormat));
    }
}

void CommitPercentageCell(controls::Grid& grid, long row, long col, const std::string& entryText)
{
    if (row < grid.FixedRows() || col < grid.FixedCols())
        return;
    vb::FlagScope filling(tv::Stores().g_WorkSheetFilling);
    // The rate and the break point are amounts (or a percentage): text that
    // is none would break the rent figures and the save.
    if (col == 2 || col == 3) {
        const std::string text = grid.TextMatrix(row, col);
        if (!blank(text) && !ReadAmount(text, true)) {
            const bool percent = col == 2 && grid.TextMatrix(row, 1) == kTypePercent;
            refusedAmountMessage(text, IsAmountTooLarge(text, true), LargestAmount(),
                                 percent ? kPercentFormat : kRentFormat,
                                 percent ? "%" : "");
            grid.SetTextMatrix(row, col, entryText);
            return;
        }
    }
    CompletePercentageRow(grid, row);
}

void SaveRateSheet(const Sheet& sheet, const controls::Grid& grid)
{
    saveSheet(sheet, grid, [&](const ado::RecordsetPtr& rs, long row) {
        // An empty (or unreadable) cell keeps the stored amount.
        if (const auto month = ReadAmount(grid.TextMatrix(row, 1)))
            rs->Fields("MonthTotal") = *month;
        if (const auto year = ReadAmount(grid.TextMatrix(row, 2)))
            rs->Fields("YearTotal") = *year;
    });
}

void SavePercentageSheet(const Sheet& sheet, const controls::Grid& grid)
{
    saveSheet(sheet, grid, [&](const ado::RecordsetPtr& rs, long row) {
        rs->Fields("PercentType") = grid.TextMatrix(row, 1);
        rs->Fields("Rate") = grid.TextMatrix(row, 2);
        const std::string breakPoint = grid.TextMatrix(row, 3);
        if (blank(breakPoint))
            rs->Fields("BreakPoint") = vb::Variant::Null();
        else if (const auto amount = ReadAmount(breakPoint, true))
            rs->Fields("BreakPoint") = *amount;
    });
}

void CloseSheetTable(const Sheet& sheet)
{
    if (sheet.kind)
        accessOf(*sheet.kind).close();
}

} // namespace Mod_WorkSheet
