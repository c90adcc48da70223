#include "program/services/Mod_FTPData.h"

#include "program/services/Mod_SpecialFunctions.h"

#include "platform/basic/DateTime.h"

#include <gtest/gtest.h>

using namespace vb;

TEST(Mod_FTPData, DayNumbersFollowTheGregorianCalendar)
{
    EXPECT_EQ(Mod_FTPData::DateToDayNumber(DateSerial(1900, 1, 1)), 0);
    EXPECT_EQ(Mod_FTPData::DateToDayNumber(DateSerial(1900, 3, 1)), 59);
    EXPECT_EQ(Mod_FTPData::DateToDayNumber(DateSerial(2000, 1, 1)), 36524);
    EXPECT_EQ(Mod_FTPData::DateToDayNumber(DateSerial(1899, 12, 31)), -1);
    EXPECT_EQ(Mod_FTPData::DateToDayNumber(Date::FromSerial(DateSerial(2000, 1, 1).Serial() + 0.99)), 36524);
    EXPECT_EQ(Mod_FTPData::DateToDayNumber(Date::FromSerial(-1.75)), -3); // 29 Dec 1899 18:00
}

TEST(Mod_FTPData, DayNumbersRoundTripEveryDayFrom1800To2200)
{
    const Date first = DateSerial(1800, 1, 1);
    const int32_t firstNumber = Mod_FTPData::DateToDayNumber(first);
    const int32_t last = Mod_FTPData::DateToDayNumber(DateSerial(2200, 12, 31));
    int32_t expected = firstNumber;
    for (Date d = first; Mod_FTPData::DateToDayNumber(d) <= last; d = Mod_FTPData::AddToDate(1, "d", d)) {
        const int32_t n = Mod_FTPData::DateToDayNumber(d);
        ASSERT_EQ(n, expected);
        // Back from the number: day 0 plus n days is the same date.
        ASSERT_EQ(Mod_FTPData::AddToDate(n, "d", DateSerial(1900, 1, 1)), d);
        ++expected;
    }
    EXPECT_EQ(expected - firstNumber, 146462); // 401 years of days
}

TEST(Mod_FTPData, PeriodEndDates)
{
    SetClock(std::make_shared<FakeClock>(Date::FromSerial(DateSerial(2026, 1, 31).Serial() + 0.4)));
    EXPECT_EQ(Mod_FTPData::GetPeriodEndDate(0), DateSerial(2026, 1, 31));
    EXPECT_EQ(Mod_FTPData::GetPeriodEndDate(1), DateSerial(2026, 2, 7));
    EXPECT_EQ(Mod_FTPData::GetPeriodEndDate(2), DateSerial(2026, 2, 28));
    EXPECT_EQ(Mod_FTPData::GetPeriodEndDate(3), DateSerial(2026, 4, 30));
    EXPECT_EQ(Mod_FTPData::GetPeriodEndDate(4), DateSerial(2026, 7, 31));
    EXPECT_EQ(Mod_FTPData::GetPeriodEndDate(5), DateSerial(2027, 1, 31));
    EXPECT_EQ(Mod_FTPData::GetPeriodEndDate(6), DateSerial(2028, 1, 31));
    EXPECT_EQ(Mod_FTPData::GetPeriodEndDate(7), DateSerial(2031, 1, 31));
    EXPECT_EQ(Mod_FTPData::GetPeriodEndDate(8), Date());
    EXPECT_EQ(Mod_FTPData::GetPeriodEndDate(-1), Date());
    SetClock(std::make_shared<FakeClock>(DateSerial(2024, 2, 29)));
    EXPECT_EQ(Mod_FTPData::GetPeriodEndDate(5), DateSerial(2025, 2, 28));
    SetClock(nullptr);
}

TEST(Mod_FTPData, NullToEmptyAndArrays)
{
    EXPECT_EQ(Mod_FTPData::NullToEmpty(Variant::Null()).Type(), VarType::String);
    const Variant zero = Mod_FTPData::NullToEmpty(0);
    EXPECT_EQ(zero.Type(), VarType::Long);
    EXPECT_EQ(CLng(zero), 0);
    EXPECT_EQ(CStr(Mod_FTPData::NullToEmpty("x")), "x");

    DynArray<int> a;
    EXPECT_FALSE(Mod_FTPData::IsArrayDimensioned(a));
    a.emplace(1); // bounds 0 to 0
    EXPECT_TRUE(Mod_FTPData::IsArrayDimensioned(a));
    a.reset(); // Erase
    EXPECT_FALSE(Mod_FTPData::IsArrayDimensioned(a));
    DynArray<int> emptyButDimensioned{std::vector<int>{}};
    EXPECT_TRUE(Mod_FTPData::IsArrayDimensioned(emptyButDimensioned));
}

TEST(Mod_SpecialFunctions, HasFlags)
{
    EXPECT_TRUE(Mod_SpecialFunctions::HasFlags(5, 4));
    EXPECT_FALSE(Mod_SpecialFunctions::HasFlags(5, 6));
    EXPECT_TRUE(Mod_SpecialFunctions::HasFlags(5, 0));
    EXPECT_TRUE(Mod_SpecialFunctions::HasFlags(-1, 0x4000));
}
