#include "platform/ado/FindCriteria.h"

#include "platform/ado/Ado.h"
#include "platform/basic/DateTime.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"

#include <cctype>
#include <cstdlib>

namespace ado {

namespace {

[[noreturn]] void badCriterion(std::string_view criterion)
{
    RaiseError(kErrInvalidArgument, "Find criterion \"" + std::string(criterion) + "\"");
}

std::string fold(std::string_view s)
{
    std::string out(s);
    for (auto& ch : out)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

void skipBlanks(std::string_view s, size_t& pos)
{
    while (pos < s.size() && std::isspace(static_cast<unsigned char>(s[pos])))
        ++pos;
}

// -1, 0, 1.
template <class T>
int compare(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

bool numberOf(const vb::Variant& v, double& out)
{
    if (v.IsString()) {
        if (!vb::IsNumeric(v) || vb::Trim(v.StringValue()).empty())
            return false;
        // A numeric text too large for a double ("7D400") is compared as
        // the text it is.
        try {
            out = vb::CDbl(v);
        } catch (const vb::RuntimeError& e) {
            if (e.Number() != vb::kErrOverflow)
                throw;
            return false;
        }
        return true;
    }
    out = vb::CDbl(v);
    return true;
}

} // namespace

FindCriterion FindCriterion::Parse(std::string_view criterion)
{
    FindCriterion c;
    size_t pos = 0;
    skipBlanks(criterion, pos);

    // Column: a bare name or [a name with blanks].
    if (pos < criterion.size() && criterion[pos] == '[') {
        const size_t close = criterion.find(']', pos);
        if (close == std::string_view::npos)
            badCriterion(criterion);
        c.column_ = std::string(criterion.substr(pos + 1, close - pos - 1));
        pos = close + 1;
    } else {
        const size_t start = pos;
        while (pos < criterion.size()
               && (std::isalnum(static_cast<unsigned char>(criterion[pos])) || criterion[pos] == '_'
                   || static_cast<unsigned char>(criterion[pos]) >= 0x80))
            ++pos;
        c.column_ = std::string(criterion.substr(start, pos - start));
    }
    if (c.column_.empty())
        badCriterion(criterion);

    // Comparison.
    skipBlanks(criterion, pos);
    const std::string_view rest = criterion.substr(pos);
    if (rest.starts_with("<>")) {
        c.op_ = Op::NotEqual;
        pos += 2;
    } else if (rest.starts_with("<=")) {
        c.op_ = Op::LessOrEqual;
        pos += 2;
    } else if (rest.starts_with(">=")) {
        c.op_ = Op::GreaterOrEqual;
        pos += 2;
    } else if (rest.starts_with("=")) {
        c.op_ = Op::Equal;
        pos += 1;
    } else if (rest.starts_with("<")) {
        c.op_ = Op::Less;
        pos += 1;
    } else if (rest.starts_with(">")) {
        c.op_ = Op::Greater;
        pos += 1;
    } else {
        badCriterion(criterion);
    }

    // Literal.
    skipBlanks(criterion, pos);
    if (pos >= criterion.size())
        badCriterion(criterion);
    const char first = criterion[pos];
    if (first == '\'') {
        std::string text;
        size_t i = pos + 1;
        bool closed = false;
        while (i < criterion.size()) {
            if (criterion[i] == '\'') {
                if (i + 1 < criterion.size() && criterion[i + 1] == '\'') {
                    text += '\'';
                    i += 2;
                    continue;
                }
                closed = true;
                ++i;
                break;
            }
            text += criterion[i++];
        }
        if (!closed)
            badCriterion(criterion);
        pos = i;
        c.kind_ = LiteralKind::Text;
        c.literal_ = vb::Variant(text);
        c.foldedText_ = fold(text);
        c.literalIsNumeric_ = numberOf(c.literal_, c.number_);
        vb::Date d;
        if (vb::TryParseDate(text, d)) {
            c.textIsDate_ = true;
            c.textDate_ = d.Serial();
        }
    } else if (first == '#') {
        const size_t close = criterion.find('#', pos + 1);
        if (close == std::string_view::npos)
            badCriterion(criterion);
        vb::Date d;
        if (!vb::TryParseDate(criterion.substr(pos + 1, close - pos - 1), d))
            badCriterion(criterion);
        pos = close + 1;
        c.kind_ = LiteralKind::Date;
        c.literal_ = vb::Variant(d);
        c.number_ = d.Serial();
        c.literalIsNumeric_ = true;
    } else {
        const size_t start = pos;
        if (criterion[pos] == '-' || criterion[pos] == '+')
            ++pos;
        while (pos < criterion.size()
               && (std::isdigit(static_cast<unsigned char>(criterion[pos])) || criterion[pos] == '.'))
            ++pos;
        const std::string number(criterion.substr(start, pos - start));
        char* end = nullptr;
        const double value = std::strtod(number.c_str(), &end);
        if (number.empty() || end != number.c_str() + number.size())
            badCriterion(criterion);
        c.kind_ = LiteralKind::Number;
        c.number_ = value;
        c.literal_ = vb::Variant(value);
        c.literalIsNumeric_ = true;
    }
    skipBlanks(criterion, pos);
    if (pos != criterion.size())
        badCriterion(criterion);
    return c;
}

bool FindCriterion::Matches(const vb::Variant& value) const
{
    if (value.IsNull() || value.IsEmpty())
        return false;
    int order = 0;
    if (value.IsString() && kind_ == LiteralKind::Text) {
        order = compare(fold(value.StringValue()), foldedText_);
    } else if (value.IsString()) {
        // A number or date literal against a text column: compare the text
        // as a number when it is one, as text otherwise.
        double n = 0.0;
        if (numberOf(value, n))
            order = compare(n, number_);
        else
            order = compare(fold(value.StringValue()), fold(vb::CStr(literal_)));
    } else {
        if (vb::VarTypeOf(value) == vb::VarType::Date) {
            // A date column also takes a quoted date.
            const double serial = vb::CDate(value).Serial();
            if (kind_ == LiteralKind::Text && textIsDate_)
                order = compare(serial, textDate_);
            else if (literalIsNumeric_)
                order = compare(serial, number_);
            else
                return false;
        } else {
            // A number or currency column: a quoted literal must be a number.
            double n = 0.0;
            if (!literalIsNumeric_ || !numberOf(value, n))
                return false;
            order = compare(n, number_);
        }
    }
    switch (op_) {
    case Op::Equal: return order == 0;
    case Op::NotEqual: return order != 0;
    case Op::Less: return order < 0;
    case Op::LessOrEqual: return order <= 0;
    case Op::Greater: return order > 0;
    case Op::GreaterOrEqual: return order >= 0;
    }
    return false;
}

} // namespace ado
