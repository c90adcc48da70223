#pragma once
// Values between the program's Variants and SQLite's cells, driven by the
// declared column type, with Jet's rules for what a column accepts.

#include "platform/ado/RowSet.h"
#include "platform/basic/DateTime.h"
#include "platform/basic/Variant.h"

#include <string>
#include <string_view>

namespace ado {

// 'YYYY-MM-DD HH:MM:SS', the stored form of a DATETIME.
std::string DateTimeText(vb::Date date);
// Reads 'YYYY-MM-DD' with an optional ' HH:MM[:SS]'; false for anything else.
bool ParseDateTimeText(std::string_view text, vb::Date& out);

// A cell read as the column's type gives: Long, Integer, Double, exact
// Currency, Date, String or Null. A cell that does not fit its declared type
// (a file written by someone else) comes back as stored, never as an error.
vb::Variant CellToVariant(const CellView& cell, ColumnType type);
inline vb::Variant CellToVariant(const Cell& cell, ColumnType type)
{
    return CellToVariant(ViewOf(cell), type);
}

// A value written into a column of the given type, converted as Jet converts
// on assignment: numeric text into a number column becomes the number, text
// that is not a number (also "") raises 13, a value beyond the column's range
// raises 6 (SMALLINT is 16 bits, INTEGER 32). Null and Empty become NULL.
Cell VariantToCell(const vb::Variant& value, ColumnType type);

// A bound parameter: the value as it stands (dates as their stored text).
Cell ParameterCell(const vb::Variant& value);

} // namespace ado
