#pragma once
// The runtime's Date: an OLE date serial, whole days from 30 December 1899
// plus the time of day as a fraction. For serials below zero the date part is
// the whole part towards zero and the time is the fraction's magnitude
// (-1.25 is 29 December 1899 06:00).

#include <compare>
#include <memory>
#include <string>
#include <string_view>

namespace vb {

class Date {
public:
    constexpr Date() = default;
    static constexpr Date FromSerial(double serial)
    {
        Date d;
        d.serial_ = serial;
        return d;
    }
    constexpr double Serial() const { return serial_; }
    constexpr auto operator<=>(const Date&) const = default;

private:
    double serial_ = 0.0;
};

struct DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

// The first and last serial a date may have: 1 January 100 and
// 31 December 9999 23:59:59.
inline constexpr double kMinDateSerial = -657434.0;
inline constexpr double kMaxDateSerial = 2958465.99999999;
// A number as a date; outside the range above (or not a number) raises 6.
Date DateFromNumber(double serial);

// Fields of a date, the time rounded to the nearest second. A date outside
// the range raises 6.
DateParts Decompose(Date d);
// Days since 30 December 1899 of a civil date, without range checks.
long long CivilToDays(int year, int month, int day);

// Months and days out of range roll over; years 0 to 99 are 2000 to 2029 and
// 1930 to 1999. A result outside 1 January 100 to 31 December 9999 raises 5.
Date DateSerial(int year, int month, int day);
Date TimeSerial(int hour, int minute, int second);
// Interval codes "yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s".
// Months and years keep the day of the month, cut back to the last day of a
// shorter month; the time of day is kept.
Date DateAdd(std::string_view interval, double number, Date d);
// Boundaries crossed between d1 and d2 ("d": midnights, "m": month ends...).
long long DateDiff(std::string_view interval, Date d1, Date d2);
// 1 for the first day of the week (Sunday by default) to 7.
int Weekday(Date d, int firstDayOfWeek = 1);

int Year(Date d);
int Month(Date d);
int Day(Date d);
int Hour(Date d);
int Minute(Date d);
int Second(Date d);
Date DateValue(Date d);
Date TimeValue(Date d);

// English names: month 1 to 12, weekday 1 (Sunday) to 7.
std::string MonthName(int month, bool abbreviate = false);
std::string WeekdayName(int weekday, bool abbreviate = false);

// Reads the date and time texts the program meets: "12/8/2026", "12/8/26",
// "2026-12-08", "2026-12-08 13:05:00", "1:05 PM", "01:05:00 PM",
// "Dec 8, 2026", "8 December 2026", with or without a time.
bool TryParseDate(std::string_view text, Date& out);

// The clock behind Now, Date, Time and the elapsed-time counter.
class Clock {
public:
    virtual ~Clock() = default;
    // Local date and time.
    virtual Date Now() const = 0;
    // Seconds of a steady counter, for measuring waits.
    virtual double Elapsed() const = 0;
};

class SystemClock : public Clock {
public:
    Date Now() const override;
    double Elapsed() const override;
};

// A clock that only moves when told (tests).
class FakeClock : public Clock {
public:
    explicit FakeClock(Date now = {}) : base_(now) {}
    Date Now() const override;
    double Elapsed() const override { return elapsed_; }
    void Set(Date now)
    {
        base_ = now;
        baseElapsed_ = elapsed_;
    }
    // Moves both the date and the steady counter.
    void Advance(double seconds) { elapsed_ += seconds; }

private:
    Date base_;
    double elapsed_ = 0.0;
    double baseElapsed_ = 0.0;
};

// Installs a clock; nullptr restores the system clock.
void SetClock(std::shared_ptr<Clock> clock);
Clock& CurrentClock();

Date Now();
// The runtime's Date function: today at midnight.
Date Today();
Date Time();
// Seconds since midnight, as the runtime's Timer.
double Timer();

} // namespace vb
