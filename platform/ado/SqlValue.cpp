#include "platform/ado/SqlValue.h"

#include "platform/basic/RuntimeError.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace ado {

namespace {

bool containsNoCase(const std::string& haystack, const char* needle)
{
    return haystack.find(needle) != std::string::npos;
}

// Reads exactly `count` digits at text[pos].
bool readDigits(std::string_view text, size_t& pos, size_t count, int& out)
{
    if (pos + count > text.size())
        return false;
    int value = 0;
    for (size_t i = 0; i < count; ++i) {
        const char ch = text[pos + i];
        if (ch < '0' || ch > '9')
            return false;
        value = value * 10 + (ch - '0');
    }
    pos += count;
    out = value;
    return true;
}

bool expect(std::string_view text, size_t& pos, char ch)
{
    if (pos >= text.size() || text[pos] != ch)
        return false;
    ++pos;
    return true;
}

// The runtime's serial of a civil date and time: for days before the zero
// date the time counts away from zero.
vb::Date toDate(int year, int month, int day, int hour, int minute, int second)
{
    const double days = static_cast<double>(vb::CivilToDays(year, month, day));
    const double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    return vb::Date::FromSerial(days < 0 ? days - time : days + time);
}

vb::Variant integerOf(int64_t n)
{
    return vb::Variant(n); // Long when it fits, else Double
}

vb::Variant storedAsIs(const CellView& cell)
{
    switch (cell.kind) {
    case CellView::Kind::Integer: return integerOf(cell.integer);
    case CellView::Kind::Real: return vb::Variant(cell.real);
    case CellView::Kind::Text: return vb::Variant(cell.text);
    case CellView::Kind::Null: break;
    }
    return vb::Variant::Null();
}

} // namespace

ColumnType ColumnTypeOf(const char* declaredType)
{
    if (!declaredType || !*declaredType)
        return ColumnType::Unknown;
    std::string t(declaredType);
    for (auto& ch : t)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    // The exact names first, then SQLite's own affinity rules for the rest.
    if (t == "SMALLINT" || t == "SHORT" || t == "INT16")
        return ColumnType::SmallInt;
    if (t == "CURRENCY" || t == "MONEY")
        return ColumnType::Currency;
    if (t == "DATETIME" || t == "DATE")
        return ColumnType::DateTime;
    if (containsNoCase(t, "INT"))
        return ColumnType::Integer;
    if (containsNoCase(t, "CHAR") || containsNoCase(t, "CLOB") || containsNoCase(t, "TEXT"))
        return ColumnType::Text;
    if (containsNoCase(t, "REAL") || containsNoCase(t, "FLOA") || containsNoCase(t, "DOUB"))
        return ColumnType::Double;
    return ColumnType::Unknown;
}

std::string DateTimeText(vb::Date date)
{
    const vb::DateParts p = vb::Decompose(date);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                  p.minute, p.second);
    return buf;
}

bool ParseDateTimeText(std::string_view text, vb::Date& out)
{
    size_t pos = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!readDigits(text, pos, 4, year) || !expect(text, pos, '-') || !readDigits(text, pos, 2, month)
        || !expect(text, pos, '-') || !readDigits(text, pos, 2, day))
        return false;
    if (pos < text.size()) {
        if (!expect(text, pos, ' ') && !expect(text, pos, 'T'))
            return false;
        if (!readDigits(text, pos, 2, hour) || !expect(text, pos, ':') || !readDigits(text, pos, 2, minute))
            return false;
        if (pos < text.size() && (!expect(text, pos, ':') || !readDigits(text, pos, 2, second)))
            return false;
        if (pos != text.size())
            return false;
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return false;
    out = toDate(year, month, day, hour, minute, second);
    return true;
}

vb::Variant CellToVariant(const CellView& cell, ColumnType type)
{
    using Kind = CellView::Kind;
    if (cell.kind == Kind::Null)
        return vb::Variant::Null();
    switch (type) {
    case ColumnType::SmallInt:
        if (cell.kind == Kind::Integer) {
            // A value beyond 16 bits (another writer) is handed over as a Long:
            // reading it into an Integer then overflows, as it should.
            if (cell.integer >= std::numeric_limits<int16_t>::min()
                && cell.integer <= std::numeric_limits<int16_t>::max())
                return vb::Variant(static_cast<int16_t>(cell.integer));
            return integerOf(cell.integer);
        }
        break;
    case ColumnType::Integer:
        if (cell.kind == Kind::Real && std::nearbyint(cell.real) == cell.real && std::fabs(cell.real) < 9.0e15)
            return integerOf(static_cast<int64_t>(cell.real));
        break;
    case ColumnType::Currency:
        try {
            if (cell.kind == Kind::Integer)
                return vb::Variant(vb::Currency::FromDouble(static_cast<double>(cell.integer)));
            if (cell.kind == Kind::Real)
                return vb::Variant(vb::Currency::FromDouble(cell.real));
        } catch (const vb::RuntimeError&) {
            // Beyond Currency's range: hand the stored number over.
        }
        break;
    case ColumnType::DateTime:
        if (cell.kind == Kind::Text) {
            vb::Date d;
            if (ParseDateTimeText(cell.text, d))
                return vb::Variant(d);
        } else if (cell.kind == Kind::Real) {
            return vb::Variant(vb::Date::FromSerial(cell.real));
        } else if (cell.kind == Kind::Integer) {
            return vb::Variant(vb::Date::FromSerial(static_cast<double>(cell.integer)));
        }
        break;
    case ColumnType::Text:
        if (cell.kind != Kind::Text)
            return vb::Variant(vb::CStr(storedAsIs(cell)));
        break;
    case ColumnType::Double:
        if (cell.kind == Kind::Integer)
            return vb::Variant(static_cast<double>(cell.integer));
        break;
    case ColumnType::Unknown:
    case ColumnType::Chapter:
        break;
    }
    return storedAsIs(cell);
}

Cell VariantToCell(const vb::Variant& value, ColumnType type)
{
    if (value.IsNull() || value.IsEmpty())
        return std::monostate{};
    switch (type) {
    case ColumnType::SmallInt:
        return int64_t{vb::CInt(value)};
    case ColumnType::Integer:
        return int64_t{vb::CLng(value)};
    case ColumnType::Double:
        return vb::CDbl(value);
    case ColumnType::Currency:
        return vb::CCur(value).ToDouble();
    case ColumnType::DateTime:
        return DateTimeText(vb::CDate(value));
    case ColumnType::Text:
        return vb::CStr(value);
    case ColumnType::Unknown:
    case ColumnType::Chapter:
        break;
    }
    return ParameterCell(value);
}

Cell ParameterCell(const vb::Variant& value)
{
    switch (value.Type()) {
    case vb::VarType::Empty:
    case vb::VarType::Null:
        return std::monostate{};
    case vb::VarType::Boolean:
        return int64_t{vb::CBool(value) ? -1 : 0};
    case vb::VarType::Integer:
    case vb::VarType::Long:
        return int64_t{vb::CLng(value)};
    case vb::VarType::Double:
        return vb::CDbl(value);
    case vb::VarType::Currency:
        return vb::CCur(value).ToDouble();
    case vb::VarType::Date:
        return DateTimeText(vb::CDate(value));
    case vb::VarType::String:
        return value.StringValue();
    }
    return vb::CStr(value);
}

} // namespace ado
