#include "platform/ado/SqlValue.h"

#include "platform/ado/AdoTesting.h"

#include <gtest/gtest.h>

using namespace ado;

TEST(SqlValue, DateTimeTextRoundTrips)
{
    const vb::Date d = vb::Date::FromSerial(vb::DateSerial(2026, 12, 8).Serial() + 13.0 / 24 + 5.0 / 1440);
    EXPECT_EQ(DateTimeText(d), "2026-12-08 13:05:00");
    vb::Date back;
    ASSERT_TRUE(ParseDateTimeText("2026-12-08 13:05:00", back));
    EXPECT_EQ(DateTimeText(back), "2026-12-08 13:05:00");
    ASSERT_TRUE(ParseDateTimeText("1899-12-29 06:00:00", back)); // before the zero date
    EXPECT_DOUBLE_EQ(back.Serial(), -1.25);
    ASSERT_TRUE(ParseDateTimeText("1900-01-01", back));
    EXPECT_EQ(back, vb::DateSerial(1900, 1, 1));
    for (const char* bad : {"", "2026-1-8", "2026-13-01 00:00:00", "2026-12-08 25:00:00", "2026-12-08x",
                            "2026-12-08 13:05:00 PM"})
        EXPECT_FALSE(ParseDateTimeText(bad, back)) << bad;
}

TEST(SqlValue, CellsThatDoNotFitTheirColumnComeBackAsStored)
{
    EXPECT_EQ(vb::VarTypeOf(CellToVariant(int64_t{40000}, ColumnType::SmallInt)), vb::VarType::Long);
    EXPECT_EQ(ado::testing::ErrorOf([] { vb::CInt(CellToVariant(int64_t{40000}, ColumnType::SmallInt)); }),
              vb::kErrOverflow);
    EXPECT_EQ(CellToVariant(std::string("abc"), ColumnType::Integer), vb::Variant("abc"));
    EXPECT_EQ(CellToVariant(std::string("soon"), ColumnType::DateTime), vb::Variant("soon"));
    EXPECT_EQ(CellToVariant(std::string("$5"), ColumnType::Currency), vb::Variant("$5"));
    EXPECT_EQ(CellToVariant(1e300, ColumnType::Currency), vb::Variant(1e300));
    EXPECT_EQ(CellToVariant(int64_t{12}, ColumnType::Text), vb::Variant("12"));
    EXPECT_EQ(CellToVariant(3.0, ColumnType::Integer), vb::Variant(3));
    EXPECT_EQ(CellToVariant(int64_t{5000000000}, ColumnType::Integer), vb::Variant(5000000000.0));
    EXPECT_TRUE(CellToVariant(Cell{}, ColumnType::Text).IsNull());
}

TEST(SqlValue, DeclaredTypeNames)
{
    EXPECT_EQ(ColumnTypeOf("SMALLINT"), ColumnType::SmallInt);
    EXPECT_EQ(ColumnTypeOf("integer"), ColumnType::Integer);
    EXPECT_EQ(ColumnTypeOf("CURRENCY"), ColumnType::Currency);
    EXPECT_EQ(ColumnTypeOf("DateTime"), ColumnType::DateTime);
    EXPECT_EQ(ColumnTypeOf("varchar(50)"), ColumnType::Text);
    EXPECT_EQ(ColumnTypeOf("DOUBLE"), ColumnType::Double);
    EXPECT_EQ(ColumnTypeOf(""), ColumnType::Unknown);
    EXPECT_EQ(ColumnTypeOf(nullptr), ColumnType::Unknown);
}

TEST(SqlValue, WritesConvertAsJetAssigns)
{
    EXPECT_EQ(VariantToCell("32767", ColumnType::SmallInt), Cell(int64_t{32767}));
    EXPECT_EQ(VariantToCell(true, ColumnType::Integer), Cell(int64_t{-1}));
    EXPECT_EQ(VariantToCell(vb::Variant::Null(), ColumnType::Integer), Cell{});
    EXPECT_EQ(VariantToCell(vb::Variant(), ColumnType::Text), Cell{});
    EXPECT_EQ(VariantToCell(42, ColumnType::Text), Cell(std::string("42")));
    EXPECT_EQ(VariantToCell("2003-01-31", ColumnType::DateTime), Cell(std::string("2003-01-31 00:00:00")));
    EXPECT_EQ(ado::testing::ErrorOf([] { VariantToCell("-32769", ColumnType::SmallInt); }), vb::kErrOverflow);
    EXPECT_EQ(ado::testing::ErrorOf([] { VariantToCell("1e20", ColumnType::Currency); }), vb::kErrOverflow);
    EXPECT_EQ(ado::testing::ErrorOf([] { VariantToCell("five", ColumnType::Currency); }), vb::kErrTypeMismatch);
    EXPECT_EQ(ParameterCell(vb::DateSerial(2003, 1, 31)), Cell(std::string("2003-01-31 00:00:00")));
    EXPECT_EQ(ParameterCell(vb::Currency::FromRaw(12345)), Cell(1.2345));
}
