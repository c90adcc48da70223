#include "platform/basic/Variant.h"

#include "platform/basic/Format.h"
#include "platform/basic/RuntimeError.h"

#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vb;

TEST(Variant, IntegerConversionsRoundHalvesToEven)
{
    EXPECT_EQ(CInt(2.5), 2);
    EXPECT_EQ(CInt(3.5), 4);
    EXPECT_EQ(CInt(-2.5), -2);
    EXPECT_EQ(CInt(-3.5), -4);
    EXPECT_EQ(CInt(0.5), 0);
    EXPECT_EQ(CInt(1.5), 2);
    EXPECT_EQ(CInt(2.51), 3);
    EXPECT_EQ(CLng(2147483646.5), 2147483646);
    EXPECT_EQ(CInt("2.5"), 2);
    EXPECT_EQ(CInt(" 12 "), 12);
    EXPECT_EQ(CInt(Currency::FromRaw(25000)), 2);
    EXPECT_EQ(CInt(Currency::FromRaw(35000)), 4);
    EXPECT_EQ(CInt(true), -1);
    EXPECT_EQ(CInt(Variant()), 0);
}

TEST(Variant, ConversionsRaiseOverflowTypeMismatchAndNull)
{
    EXPECT_EQ(tv::testing::ErrorOf([] { CInt(32767.5); }), kErrOverflow);
    EXPECT_EQ(tv::testing::ErrorOf([] { CInt(-32768.6); }), kErrOverflow);
    EXPECT_EQ(CInt(-32768.4), -32768);
    EXPECT_EQ(tv::testing::ErrorOf([] { CInt("40000"); }), kErrOverflow);
    EXPECT_EQ(tv::testing::ErrorOf([] { CLng(2147483647.5); }), kErrOverflow);
    EXPECT_EQ(tv::testing::ErrorOf([] { CInt("abc"); }), kErrTypeMismatch);
    EXPECT_EQ(tv::testing::ErrorOf([] { CInt(""); }), kErrTypeMismatch);
    EXPECT_EQ(tv::testing::ErrorOf([] { CDbl("1.2.3"); }), kErrTypeMismatch);
    EXPECT_EQ(tv::testing::ErrorOf([] { CCur("x1"); }), kErrTypeMismatch);
    EXPECT_EQ(tv::testing::ErrorOf([] { CInt(Variant::Null()); }), kErrInvalidUseOfNull);
    EXPECT_EQ(tv::testing::ErrorOf([] { CStr(Variant::Null()); }), kErrInvalidUseOfNull);
    EXPECT_EQ(tv::testing::ErrorOf([] { CBool("maybe"); }), kErrTypeMismatch);
    EXPECT_EQ(tv::testing::ErrorOf([] { CCur(1e300); }), kErrOverflow);
}

TEST(Variant, BooleanConversion)
{
    EXPECT_TRUE(CBool("True"));
    EXPECT_TRUE(CBool("TRUE"));
    EXPECT_TRUE(CBool("true"));
    EXPECT_FALSE(CBool("False"));
    EXPECT_FALSE(CBool("fAlSe"));
    EXPECT_TRUE(CBool("-1"));
    EXPECT_TRUE(CBool("2"));
    EXPECT_FALSE(CBool("0"));
    EXPECT_TRUE(CBool(0.1));
    EXPECT_FALSE(CBool(0));
    EXPECT_FALSE(CBool(Variant()));
}

TEST(Variant, NumericTextFollowsTheRuntimeRules)
{
    EXPECT_TRUE(IsNumeric("12"));
    EXPECT_TRUE(IsNumeric(" 12.5 "));
    EXPECT_TRUE(IsNumeric("$1,234.50"));
    EXPECT_TRUE(IsNumeric("-$5"));
    EXPECT_TRUE(IsNumeric("(5)"));
    EXPECT_TRUE(IsNumeric("5-"));
    EXPECT_TRUE(IsNumeric("1e5"));
    EXPECT_TRUE(IsNumeric("1."));
    EXPECT_TRUE(IsNumeric(".5"));
    EXPECT_TRUE(IsNumeric("&HFF"));
    EXPECT_TRUE(IsNumeric(Variant()));
    EXPECT_FALSE(IsNumeric(""));
    EXPECT_FALSE(IsNumeric(" "));
    EXPECT_FALSE(IsNumeric("."));
    EXPECT_FALSE(IsNumeric("-"));
    EXPECT_FALSE(IsNumeric("$"));
    EXPECT_FALSE(IsNumeric("12a"));
    EXPECT_FALSE(IsNumeric("1 OR 1=1"));
    EXPECT_FALSE(IsNumeric("5%"));
    EXPECT_FALSE(IsNumeric(Variant::Null()));
    EXPECT_DOUBLE_EQ(CDbl("$1,234.50"), 1234.5);
    EXPECT_DOUBLE_EQ(CDbl("(5)"), -5);
    EXPECT_DOUBLE_EQ(CDbl("5-"), -5);
    EXPECT_DOUBLE_EQ(CDbl("&HFFFF"), -1);
    EXPECT_DOUBLE_EQ(CDbl("&H10000"), 65536);
    EXPECT_DOUBLE_EQ(CDbl("1.5D2"), 150);
}

TEST(Variant, ValReadsTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(Val("  1 2 3abc"), 123);
    EXPECT_DOUBLE_EQ(Val("12.5%"), 12.5);
    EXPECT_DOUBLE_EQ(Val("-3.5e2x"), -350);
    EXPECT_DOUBLE_EQ(Val("abc"), 0);
    EXPECT_DOUBLE_EQ(Val(""), 0);
    EXPECT_DOUBLE_EQ(Val("&H1F"), 31);
    EXPECT_DOUBLE_EQ(Val("1,000"), 1);
    EXPECT_DOUBLE_EQ(Val("1.2.3"), 1.2);
}

TEST(Variant, TextOfValues)
{
    EXPECT_EQ(CStr(true), "True");
    EXPECT_EQ(CStr(false), "False");
    EXPECT_EQ(CStr(int16_t(-5)), "-5");
    EXPECT_EQ(CStr(0.1), "0.1");
    EXPECT_EQ(CStr(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(CStr(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(CStr(123456789012345.0), "123456789012345");
    EXPECT_EQ(CStr(1e15), "1E+15");
    EXPECT_EQ(CStr(1.5e-7), "1.5E-07");
    EXPECT_EQ(CStr(0.0001), "0.0001");
    EXPECT_EQ(CStr(-2.5), "-2.5");
    EXPECT_EQ(CStr(Currency::FromRaw(125000)), "12.5");
    EXPECT_EQ(CStr(Currency::FromRaw(-1)), "-0.0001");
    EXPECT_EQ(CStr(DateSerial(2026, 12, 8)), "12/8/2026");
    EXPECT_EQ(CStr(Date::FromSerial(DateSerial(2026, 12, 8).Serial() + 0.5)), "12/8/2026 12:00:00 PM");
    EXPECT_EQ(CStr(TimeSerial(13, 5, 9)), "1:05:09 PM");
    EXPECT_EQ(CStr(Variant()), "");
}

TEST(Variant, TypesAndComparison)
{
    EXPECT_EQ(Variant(int16_t(1)).Type(), VarType::Integer);
    EXPECT_EQ(Variant(1).Type(), VarType::Long);
    EXPECT_EQ(Variant(5000000000LL).Type(), VarType::Double);
    EXPECT_EQ(Variant(1.5).Type(), VarType::Double);
    EXPECT_EQ(Variant("x").Type(), VarType::String);
    EXPECT_EQ(Variant::Null().Type(), VarType::Null);
    EXPECT_EQ(Variant().Type(), VarType::Empty);
    EXPECT_TRUE(Variant(1) == Variant(1.0));
    EXPECT_TRUE(Variant("1") == Variant(1));
    EXPECT_FALSE(Variant("a") == Variant("A"));
    EXPECT_FALSE(Variant::Null() == Variant::Null());
    EXPECT_TRUE(Variant() == Variant(""));
    EXPECT_TRUE(Variant() == Variant(0));
    EXPECT_FALSE(Variant("x") == Variant(0));
}

TEST(Variant, DatesFromText)
{
    EXPECT_EQ(CDate("12/8/2026"), DateSerial(2026, 12, 8));
    EXPECT_EQ(CDate("2026-12-08"), DateSerial(2026, 12, 8));
    EXPECT_EQ(CDate("12/8/26"), DateSerial(2026, 12, 8));
    EXPECT_EQ(CDate("Dec 8, 2026"), DateSerial(2026, 12, 8));
    EXPECT_EQ(CDate("8 December 2026"), DateSerial(2026, 12, 8));
    EXPECT_EQ(CDate("01:05 PM"), TimeSerial(13, 5, 0));
    EXPECT_EQ(CDate("12:00 AM"), TimeSerial(0, 0, 0));
    EXPECT_EQ(CDate("2026-12-08 13:05:09").Serial(),
              DateSerial(2026, 12, 8).Serial() + TimeSerial(13, 5, 9).Serial());
    EXPECT_EQ(tv::testing::ErrorOf([] { CDate("2/30/2026"); }), kErrTypeMismatch);
    EXPECT_EQ(tv::testing::ErrorOf([] { CDate("13:61"); }), kErrTypeMismatch);
    EXPECT_EQ(tv::testing::ErrorOf([] { CDate("soon"); }), kErrTypeMismatch);
    EXPECT_TRUE(IsDate("1/1/2000"));
    EXPECT_TRUE(IsDate("1/1"));
    EXPECT_FALSE(IsDate("1/1/2000/5"));
    EXPECT_FALSE(IsDate("hello"));
}

TEST(Variant, NumbersBeyondTheDateRangeOverflow)
{
    // 1 January 100 and 31 December 9999 are the ends; a step past either,
    // as a number or as numeric text, overflows as CDbl does past a double.
    EXPECT_EQ(CDate(-657434.0), DateSerial(100, 1, 1));
    EXPECT_EQ(Hour(CDate(-657434.75)), 18);
    EXPECT_EQ(CDate("2958465.5").Serial(), 2958465.5);
    for (const char* text : {"1e300", "1e999", "-1e300", "2958466", "-657435"})
        EXPECT_EQ(tv::testing::ErrorOf([text] { CDate(text); }), kErrOverflow) << text;
    EXPECT_EQ(tv::testing::ErrorOf([] { CDbl("1e999"); }), kErrOverflow);
    for (const Variant& v : {Variant(1e300), Variant(std::numeric_limits<double>::infinity()),
                             Variant(int32_t{2147483647}), Variant(Currency::FromRaw(INT64_MAX))})
        EXPECT_EQ(tv::testing::ErrorOf([&v] { CDate(v); }), kErrOverflow) << CStr(v);

    // A date that got past the range some other way cannot be taken apart
    // or shown: it overflows rather than making up a day.
    const Date huge = Date::FromSerial(1e300);
    EXPECT_EQ(tv::testing::ErrorOf([&] { Year(huge); }), kErrOverflow);
    EXPECT_EQ(tv::testing::ErrorOf([&] { CStr(Variant(huge)); }), kErrOverflow);
    EXPECT_EQ(tv::testing::ErrorOf([&] { Format(Variant(huge), "yyyy-mm-dd"); }), kErrOverflow);
    EXPECT_EQ(tv::testing::ErrorOf([&] { DateAdd("d", 1, huge); }), kErrOverflow);
    EXPECT_EQ(tv::testing::ErrorOf([] { Year(Date::FromSerial(std::numeric_limits<double>::quiet_NaN())); }),
              kErrOverflow);
}
