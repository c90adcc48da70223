#include "platform/ado/FindCriteria.h"

#include "platform/ado/Ado.h"
#include "platform/basic/RuntimeError.h"

#include <gtest/gtest.h>

using ado::FindCriterion;

namespace {

int errorOf(std::string_view text)
{
    try {
        FindCriterion::Parse(text);
    } catch (const vb::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

} // namespace

TEST(FindCriteria, ParsesTheCallersForms)
{
    auto c = FindCriterion::Parse("ID=17");
    EXPECT_EQ(c.Column(), "ID");
    EXPECT_EQ(c.Kind(), FindCriterion::LiteralKind::Number);
    EXPECT_TRUE(c.Matches(vb::Variant(17)));
    EXPECT_FALSE(c.Matches(vb::Variant(18)));

    c = FindCriterion::Parse("  StoreID = 5 ");
    EXPECT_TRUE(c.Matches(vb::Variant(int16_t{5})));

    c = FindCriterion::Parse("Company = 'O''Brien Realty'");
    EXPECT_EQ(c.Literal(), vb::Variant("O'Brien Realty"));
    EXPECT_TRUE(c.Matches(vb::Variant("o'brien REALTY")));
    EXPECT_FALSE(c.Matches(vb::Variant("O'Brien")));

    // A quoted number against a number column compares as a number.
    c = FindCriterion::Parse("StoreID='5'");
    EXPECT_TRUE(c.Matches(vb::Variant(5)));
    EXPECT_FALSE(c.Matches(vb::Variant(50)));

    c = FindCriterion::Parse("[Lease Date] >= #2003-1-31#");
    EXPECT_EQ(c.Column(), "Lease Date");
    EXPECT_TRUE(c.Matches(vb::Variant(vb::DateSerial(2003, 1, 31))));
    EXPECT_FALSE(c.Matches(vb::Variant(vb::DateSerial(2003, 1, 30))));
}

TEST(FindCriteria, ComparisonsAndNull)
{
    EXPECT_TRUE(FindCriterion::Parse("x<>3").Matches(vb::Variant(4)));
    EXPECT_TRUE(FindCriterion::Parse("x < 3.5").Matches(vb::Variant(3)));
    EXPECT_TRUE(FindCriterion::Parse("x <= -2").Matches(vb::Variant(-2)));
    EXPECT_TRUE(FindCriterion::Parse("x > 'apple'").Matches(vb::Variant("Banana")));
    EXPECT_TRUE(FindCriterion::Parse("x = 1500").Matches(vb::Variant(vb::Currency(1500))));
    // Null and Empty match nothing, not even <>.
    EXPECT_FALSE(FindCriterion::Parse("x <> 3").Matches(vb::Variant::Null()));
    EXPECT_FALSE(FindCriterion::Parse("x = ''").Matches(vb::Variant::Null()));
    // A text that is no number never equals a number column.
    EXPECT_FALSE(FindCriterion::Parse("x = 'abc'").Matches(vb::Variant(0)));
    // A quoted date against a date column.
    EXPECT_TRUE(FindCriterion::Parse("d = '2003-01-31'").Matches(vb::Variant(vb::DateSerial(2003, 1, 31))));
}

TEST(FindCriteria, NumbersTooLargeForADoubleCompareAsText)
{
    // A cell or a quoted literal that reads as a number beyond the range of
    // a double is text to the comparison, never an overflow.
    const auto seven = FindCriterion::Parse("Code = 7");
    EXPECT_FALSE(seven.Matches(vb::Variant("7D400")));
    EXPECT_TRUE(FindCriterion::Parse("Code <> 7").Matches(vb::Variant("7D400")));
    const auto huge = FindCriterion::Parse("Code = '1e999'");
    EXPECT_TRUE(huge.Matches(vb::Variant("1E999")));
    EXPECT_FALSE(huge.Matches(vb::Variant("1e998")));
    EXPECT_FALSE(huge.Matches(vb::Variant(1)));
}

TEST(FindCriteria, MalformedCriteriaRaise3001)
{
    for (const char* bad : {"", "StoreID", "StoreID =", "= 5", "StoreID = 5 AND ID = 1", "Company = 'open",
                            "Company = O'Brien", "d = #2003-1-31", "d = #not a date#", "x == 1", "x = 1.2.3",
                            "StoreID = 5; DROP TABLE Stores"}) {
        EXPECT_EQ(errorOf(bad), ado::kErrInvalidArgument) << bad;
    }
}
