#include "platform/basic/DateTime.h"

#include "platform/basic/RuntimeError.h"

#include <gtest/gtest.h>

using namespace vb;

TEST(DateTime, SerialOrigin)
{
    EXPECT_EQ(DateSerial(1899, 12, 30).Serial(), 0.0);
    EXPECT_EQ(DateSerial(1900, 1, 1).Serial(), 2.0);
    EXPECT_EQ(DateSerial(2000, 1, 1).Serial(), 36526.0);
    const DateParts p = Decompose(Date::FromSerial(-1.25));
    EXPECT_EQ(p.year, 1899);
    EXPECT_EQ(p.month, 12);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 6);
}

TEST(DateTime, DateSerialRollsOver)
{
    EXPECT_EQ(DateSerial(2026, 13, 1), DateSerial(2027, 1, 1));
    EXPECT_EQ(DateSerial(2026, 0, 1), DateSerial(2025, 12, 1));
    EXPECT_EQ(DateSerial(2026, 1, 0), DateSerial(2025, 12, 31));
    EXPECT_EQ(DateSerial(2026, 2, 30), DateSerial(2026, 3, 2));
    EXPECT_EQ(DateSerial(2026, -1, 1), DateSerial(2025, 11, 1));
    EXPECT_EQ(DateSerial(26, 1, 1), DateSerial(2026, 1, 1));
    EXPECT_EQ(DateSerial(45, 1, 1), DateSerial(1945, 1, 1));
    EXPECT_THROW(DateSerial(10000, 1, 1), RuntimeError);
}

TEST(DateTime, DateAddClipsToTheEndOfShorterMonths)
{
    EXPECT_EQ(DateAdd("m", 1, DateSerial(2026, 1, 31)), DateSerial(2026, 2, 28));
    EXPECT_EQ(DateAdd("m", 1, DateSerial(2024, 1, 31)), DateSerial(2024, 2, 29));
    EXPECT_EQ(DateAdd("yyyy", 1, DateSerial(2000, 2, 29)), DateSerial(2001, 2, 28));
    EXPECT_EQ(DateAdd("yyyy", 4, DateSerial(2000, 2, 29)), DateSerial(2004, 2, 29));
    EXPECT_EQ(DateAdd("m", -1, DateSerial(2026, 3, 31)), DateSerial(2026, 2, 28));
    EXPECT_EQ(DateAdd("m", 12, DateSerial(2026, 12, 8)), DateSerial(2027, 12, 8));
    EXPECT_EQ(DateAdd("q", 1, DateSerial(2026, 11, 30)), DateSerial(2027, 2, 28));
    EXPECT_EQ(DateAdd("ww", 1, DateSerial(2026, 12, 29)), DateSerial(2027, 1, 5));
    EXPECT_EQ(DateAdd("d", -1, DateSerial(2000, 3, 1)), DateSerial(2000, 2, 29));
    EXPECT_THROW(DateAdd("x", 1, Date()), RuntimeError);
    EXPECT_THROW(DateAdd("yyyy", 9000, DateSerial(2026, 1, 1)), RuntimeError);
}

TEST(DateTime, DateAddKeepsTheTimeAndWrapsHours)
{
    const Date t = TimeSerial(23, 30, 0);
    const Date next = DateAdd("h", 1, t);
    EXPECT_EQ(Hour(next), 0);
    EXPECT_EQ(Minute(next), 30);
    EXPECT_EQ(Day(next), 31);
    const Date withTime = Date::FromSerial(DateSerial(2026, 1, 31).Serial() + 0.75);
    EXPECT_EQ(Hour(DateAdd("m", 1, withTime)), 18);
    EXPECT_EQ(DateAdd("h", -2, DateSerial(2026, 1, 1)), Date::FromSerial(DateSerial(2025, 12, 31).Serial() + 22.0 / 24));
}

TEST(DateTime, DateDiffCountsBoundaries)
{
    EXPECT_EQ(DateDiff("d", DateSerial(2026, 1, 1), DateSerial(2026, 12, 31)), 364);
    EXPECT_EQ(DateDiff("d", Date::FromSerial(DateSerial(2026, 1, 1).Serial() + 0.99), DateSerial(2026, 1, 2)), 1);
    EXPECT_EQ(DateDiff("d", DateSerial(2026, 1, 2), DateSerial(2026, 1, 1)), -1);
    EXPECT_EQ(DateDiff("m", DateSerial(2026, 1, 31), DateSerial(2026, 2, 1)), 1);
    EXPECT_EQ(DateDiff("yyyy", DateSerial(2026, 12, 31), DateSerial(2027, 1, 1)), 1);
    EXPECT_EQ(DateDiff("d", Date::FromSerial(-1.5), Date::FromSerial(0.5)), 1);
}

TEST(DateTime, WeekdayStartsOnSunday)
{
    EXPECT_EQ(Weekday(DateSerial(2026, 12, 6)), 1); // Sunday
    EXPECT_EQ(Weekday(DateSerial(2026, 12, 8)), 3); // Tuesday
    EXPECT_EQ(Weekday(DateSerial(1899, 12, 30)), 7);
    EXPECT_EQ(Weekday(DateSerial(1899, 12, 24)), 1);
    EXPECT_EQ(Weekday(DateSerial(2026, 12, 8), 2), 2); // Monday first
}

TEST(DateTime, TheFirstDayHoldsEveryTimeOfDay)
{
    // Before 1899 the time counts away from zero: noon of 1 January 100 is
    // -657434.5, inside the range although below its first whole day.
    const Date noon = Date::FromSerial(-657434.5);
    EXPECT_EQ(Year(noon), 100);
    EXPECT_EQ(Hour(noon), 12);
    EXPECT_EQ(Minute(DateAdd("n", 30, noon)), 30);
    auto clock = std::make_shared<FakeClock>(noon);
    SetClock(clock);
    EXPECT_EQ(Hour(Now()), 12);
    EXPECT_EQ(Today(), DateSerial(100, 1, 1));
    SetClock(nullptr);
    EXPECT_THROW(DateAdd("d", -1, noon), RuntimeError);
}

TEST(DateTime, FakeClockDrivesNowTodayAndTimer)
{
    auto clock = std::make_shared<FakeClock>(Date::FromSerial(DateSerial(2026, 12, 8).Serial() + 0.5));
    SetClock(clock);
    EXPECT_EQ(Today(), DateSerial(2026, 12, 8));
    EXPECT_EQ(Hour(Now()), 12);
    EXPECT_EQ(Timer(), 43200.0);
    clock->Advance(90.5);
    EXPECT_EQ(Minute(Now()), 1);
    EXPECT_EQ(Second(Now()), 30);
    EXPECT_DOUBLE_EQ(CurrentClock().Elapsed(), 90.5);
    SetClock(nullptr);
    EXPECT_GT(Year(Now()), 2000);
}
