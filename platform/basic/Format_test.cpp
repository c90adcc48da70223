#include "platform/basic/Format.h"

#include <gtest/gtest.h>

using namespace vb;

TEST(Format, MoneyPatterns)
{
    EXPECT_EQ(Format(1234.5, "$##,##0.00"), "$1,234.50");
    EXPECT_EQ(Format(0, "$##,##0.00"), "$0.00");
    EXPECT_EQ(Format(-100, "$##,##0.00"), "-$100.00");
    EXPECT_EQ(Format(1234567.891, "$##,##0.00"), "$1,234,567.89");
    EXPECT_EQ(Format(0.5, "$##,##0.00"), "$0.50");
    EXPECT_EQ(Format(Currency::FromRaw(12345000), "$#,##0.00"), "$1,234.50");
    EXPECT_EQ(Format(999.995, "$#,##0.00"), "$1,000.00");
    EXPECT_EQ(Format(1234.5, "$#,###"), "$1,235");
    EXPECT_EQ(Format(12, "$#,###"), "$12");
    EXPECT_EQ(Format(0, "$#,###"), "$");
    EXPECT_EQ(Format("1500", "$##,##0.00"), "$1,500.00");
    EXPECT_EQ(Format(Currency::FromRaw(-5), "$##,##0.00"), "$0.00");
}

TEST(Format, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(Format(2.5, "0"), "3");
    EXPECT_EQ(Format(3.5, "0"), "4");
    EXPECT_EQ(Format(-2.5, "0"), "-3");
    EXPECT_EQ(Format(0.125, "0.00"), "0.13");
    EXPECT_EQ(Format(2.675, "0.00"), "2.68");
    EXPECT_EQ(Format(1.005, "0.00"), "1.01");
    EXPECT_EQ(Format(Currency::FromRaw(1250), "0.00"), "0.13");
}

TEST(Format, DigitPatterns)
{
    EXPECT_EQ(Format(5, "#.##0"), "5.000");
    EXPECT_EQ(Format(5.25, "#.##0"), "5.250");
    EXPECT_EQ(Format(0.5, "#.##0"), ".500");
    EXPECT_EQ(Format(12.34567, "#.##0"), "12.346");
    EXPECT_EQ(Format(5, "0000"), "0005");
    EXPECT_EQ(Format(2002, "0"), "2002");
    EXPECT_EQ(Format(12345, "0000"), "12345");
    EXPECT_EQ(Format(5, "0.00"), "5.00");
    EXPECT_EQ(Format(5.5, "0000.00"), "0005.50");
    EXPECT_EQ(Format(5, "#.##"), "5.");
    EXPECT_EQ(Format(0.256, "0.0%"), "25.6%");
    EXPECT_EQ(Format(1234567, "#,##0"), "1,234,567");
    EXPECT_EQ(Format(1234567, "#,##0,"), "1,235");
    EXPECT_EQ(Format(5551234, "(###) ###-####"), "() 555-1234");
    EXPECT_EQ(Format(-5, "0;(0)"), "(5)");
    EXPECT_EQ(Format(0, "0;(0);\"zero\""), "zero");
    EXPECT_EQ(Format(Variant::Null(), "0;(0);zero;\"none\""), "none");
    EXPECT_EQ(Format(Variant::Null(), "0.00"), "");
    EXPECT_EQ(Format("abc", "0.00"), "abc");
}

TEST(Format, NamedFormats)
{
    EXPECT_EQ(Format(1234.5, "Currency"), "$1,234.50");
    EXPECT_EQ(Format(-1234.5, "Currency"), "($1,234.50)");
    EXPECT_EQ(Format(1234.5, "Standard"), "1,234.50");
    EXPECT_EQ(Format(0.5, "Percent"), "50.00%");
    EXPECT_EQ(Format(1, "Yes/No"), "Yes");
    EXPECT_EQ(Format(DateSerial(2026, 12, 8), "Short Date"), "12/8/2026");
    EXPECT_EQ(Format(DateSerial(2026, 12, 8), "Long Date"), "Tuesday, December 8, 2026");
}

TEST(Format, DateAndTimePatterns)
{
    const Date d = Date::FromSerial(DateSerial(2026, 12, 8).Serial() + TimeSerial(1, 2, 3).Serial());
    EXPECT_EQ(Format(d, "DDDD , dd Mmm YYYY hh:mm:ss AM/PM"), "Tuesday , 08 Dec 2026 01:02:03 AM");
    EXPECT_EQ(Format(d, "hh:mm AMPM"), "01:02 AM");
    EXPECT_EQ(Format(d, "M/d/yyyy"), "12/8/2026");
    EXPECT_EQ(Format(d, "mm/dd/yy"), "12/08/26");
    EXPECT_EQ(Format(d, "mmmm"), "December");
    EXPECT_EQ(Format(d, "h:nn"), "1:02");
    EXPECT_EQ(Format(d, "hh:mm"), "01:02");
    EXPECT_EQ(Format(d, "ddd"), "Tue");
    EXPECT_EQ(Format(d, "q"), "4");
    EXPECT_EQ(Format(d, "y"), "342");
    EXPECT_EQ(Format(d, "\"Due \"m/d"), "Due 12/8");
    EXPECT_EQ(Format(d, "am/pm"), "am");
    EXPECT_EQ(Format(d, "ddddd ttttt"), "12/8/2026 1:02:03 AM");
    const Date noon = TimeSerial(12, 0, 0);
    const Date midnight = TimeSerial(0, 30, 0);
    const Date evening = TimeSerial(23, 59, 0);
    EXPECT_EQ(Format(noon, "hh:mm AMPM"), "12:00 PM");
    EXPECT_EQ(Format(midnight, "hh:mm AMPM"), "12:30 AM");
    EXPECT_EQ(Format(evening, "hh:mm AMPM"), "11:59 PM");
    EXPECT_EQ(Format(evening, "hh:mm"), "23:59");
    EXPECT_EQ(Format("12/8/2026", "M/d/yyyy"), "12/8/2026");
    EXPECT_EQ(Format("not a date", "M/d/yyyy"), "not a date");
}

TEST(Format, EmptyPatternGivesTheText)
{
    EXPECT_EQ(Format(12.5), "12.5");
    EXPECT_EQ(Format(Variant::Null()), "");
    EXPECT_EQ(Format(true), "True");
}
