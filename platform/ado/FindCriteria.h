#pragma once
// Recordset.Find's criterion, parsed and evaluated by the layer itself (never
// spliced into SQL): one column, a comparison, one literal.
//
//   StoreID = 12        Company = 'O''Brien Realty'      StoreID='5'
//   ID<>3               LeaseEndDate >= #2003-1-31#       [Type] = '1'
//
// Text compares without case, as Jet does; a quoted number compared with a
// number column compares as a number; Null matches nothing.

#include "platform/ado/RowSet.h"
#include "platform/basic/Variant.h"

#include <string>
#include <string_view>

namespace ado {

class FindCriterion {
public:
    enum class Op { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };
    enum class LiteralKind { Number, Text, Date };

    // Raises 3001 when the text is not of that form.
    static FindCriterion Parse(std::string_view criterion);

    const std::string& Column() const { return column_; }
    Op Comparison() const { return op_; }
    LiteralKind Kind() const { return kind_; }
    const vb::Variant& Literal() const { return literal_; }

    // Whether a field value satisfies the criterion.
    bool Matches(const vb::Variant& value) const;

private:
    std::string column_;
    Op op_ = Op::Equal;
    LiteralKind kind_ = LiteralKind::Number;
    vb::Variant literal_;
    std::string foldedText_; // the text literal without case
    double number_ = 0.0;    // the literal as a number, when it is one
    bool literalIsNumeric_ = false;
    bool textIsDate_ = false; // a quoted literal that reads as a date
    double textDate_ = 0.0;
};

} // namespace ado
