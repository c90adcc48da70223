#pragma once
// The rent worksheets: base rent, common-area maintenance, tax and percentage
// rent of one store, one grid row per lease year, kept in BaseRate, CAMRate,
// TaxRate and PercentageRate (one row per store and year). Here: which years
// a sheet covers, the rows a store lacks, the grid's two layouts, the fill,
// the rules that complete a committed cell, the save, and the sheet's notes.
//
// A worksheet window fixes its Sheet (kind, store, first year, years) when it
// opens, and every load and save here works on that copy: a later change of
// the store editor's shared values cannot send the rows elsewhere.

#include "platform/ado/Ado.h"
#include "platform/basic/Currency.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace controls {
class Grid;
class RichTextBox;
} // namespace controls

namespace Mod_WorkSheet {

// One of the four worksheets.
struct SheetKind {
    std::string_view key;        // g_WorkSheetKind: "BASERATE", ...
    std::string_view table;      // its table
    int16_t notesCode;           // its notes in the notes file
    std::string_view label;      // appended to "Monthly " and "Yearly "
    std::string_view caption;    // the worksheet window's caption
    std::string_view helpTopic;  // its help page
    bool percentage;             // PercentageRate: type, rate and break point
};

// The kind named by key; nullptr for any other text.
const SheetKind* FindSheetKind(std::string_view key);

// The sheet a worksheet window shows.
struct Sheet {
    const SheetKind* kind = nullptr;
    int16_t storeID = 0;
    int16_t firstYear = 0; // the commencement year
    int16_t years = 0;     // the initial term: grid rows 1 to years
    // The year of grid row r (1 to years).
    int YearOfRow(long row) const { return firstYear + static_cast<int>(row) - 1; }
};

// The sheet the store editor's shared values name (g_WorkSheetKind,
// g_CurrentStoreID, g_CommenceYear, g_InitialTermYears). Years that would go
// past the 16-bit range the tables keep are left out.
Sheet SheetFromStoreEditor();

// Money texts of the rent cells.
inline constexpr std::string_view kRentFormat = "$##,##0.00";
inline constexpr std::string_view kPercentFormat = "#.##0";
inline constexpr std::string_view kNumericMessage = "Please enter a numeric value";
// The percentage types.
inline constexpr std::string_view kTypeNone = "None";
inline constexpr std::string_view kTypeFlat = "Flat Rate";
inline constexpr std::string_view kTypePercent = "% of Sales";

// The amount a cell's text stands for: numeric as the runtime reads numbers
// ("$1,250.50", "-5", " 12 "), within the currency range; with
// ignorePercent a "%" sign is read past as well. Nothing for an empty text,
// a text that is no number, or an amount too large to keep.
std::optional<vb::Currency> ReadAmount(std::string_view text, bool ignorePercent = false);
// Whether the text is a number, read as ReadAmount reads them, that lies
// beyond the currency range: too large, not mistyped.
bool IsAmountTooLarge(std::string_view text, bool ignorePercent = false);

// The largest amount a money cell keeps, and the largest monthly amount of a
// rate sheet (twelve of it are the yearly amount, which must fit as well);
// both in cents. The lowest are their negatives.
vb::Currency LargestAmount();
vb::Currency LargestMonthlyAmount();
// What a cell says of the number typed when it is too large for it: that it
// is too large, and the largest amount that fits (for a negative number, the
// lowest), shown in the cell's format followed by suffix.
std::string TooLargeMessage(std::string_view typed, vb::Currency largest, std::string_view format,
                            std::string_view suffix = {});

// ---- load ------------------------------------------------------------------

// Each makes sure the store has a row for every year of the sheet, lays the
// grid out, fills it from the rows and puts the sheet's notes into the notes
// box. The sheet's kind must be the procedure's own.
void LoadBaseRateSheet(const Sheet& sheet, controls::Grid& grid, controls::RichTextBox& notes);
void LoadCAMRateSheet(const Sheet& sheet, controls::Grid& grid, controls::RichTextBox& notes);
void LoadTaxRateSheet(const Sheet& sheet, controls::Grid& grid, controls::RichTextBox& notes);
void LoadPercentageRateSheet(const Sheet& sheet, controls::Grid& grid, controls::RichTextBox& notes);

// Adds a row (StoreID and Year only) to the sheet's table for each year of
// the sheet that is not among yearsPresent; a failing addition is skipped.
// Returns how many were added.
int AddMissingYears(const Sheet& sheet, const std::vector<int>& yearsPresent);

// The two layouts: headings, column widths from the grid's width now,
// alignment, the year column; the current cell ends at row 0, column 0.
void SetRateGridHeadings(const Sheet& sheet, controls::Grid& grid);
void SetPercentageGridHeadings(const Sheet& sheet, controls::Grid& grid);

// Fill columns 1 and 2 (1 to 3) from the rows of the load query: each row in
// the grid row of its year (the first row of a year wins), Null as an empty
// cell. Amounts are money texts; the type and rate are shown as stored. The
// current cell ends at the last column of the last row.
void FillRateGrid(const Sheet& sheet, controls::Grid& grid, const ado::RecordsetPtr& rows);
void FillPercentageGrid(const Sheet& sheet, controls::Grid& grid, const ado::RecordsetPtr& rows);

// The sheet's notes (entry 0, "~|" as line breaks) into the notes box, or an
// empty box when there are none or they cannot be read (then the user is
// told why).
void LoadSheetNotes(const Sheet& sheet, controls::RichTextBox& notes);

// ---- cell commit -----------------------------------------------------------

// The rules for an edited cell (still the grid's current cell) of a rate
// sheet: a number becomes a money text and sets its partner (yearly = 12 x
// monthly, monthly = yearly / 12); a cleared cell gets back entryText and
// changes nothing; any other text is answered with a message and the cell
// gets back entryText.
void CommitRateCell(controls::Grid& grid, long row, long col, const std::string& entryText);
// The rules for an edited cell of the percentage sheet: a rate or break
// point that is no number is answered as on the rate sheets; then the row is
// completed by its type ("None": no rate or break point; "Flat Rate": a money
// rate, no break point; "% of Sales": a percent rate and a money break point).
void CommitPercentageCell(controls::Grid& grid, long row, long col, const std::string& entryText);
// Only the completion of a percentage row by its type (a choice in the type
// list).
void CompletePercentageRow(controls::Grid& grid, long row);

// ---- save ------------------------------------------------------------------

// Writes each grid row back to the store's row of its year (added when it
// vanished): the rate sheets' non-empty amounts (an empty cell keeps the
// stored amount); the percentage sheet's type and rate as texts and the
// break point as an amount (Null when empty). The table is left open for
// the window to close.
void SaveRateSheet(const Sheet& sheet, const controls::Grid& grid);
void SavePercentageSheet(const Sheet& sheet, const controls::Grid& grid);

// Closes the sheet's table (Mod_DBConnections).
void CloseSheetTable(const Sheet& sheet);

} // namespace Mod_WorkSheet
