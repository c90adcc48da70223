#include "platform/basic/DateTime.h"

#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace vb {

namespace {

constexpr double kMinSerial = kMinDateSerial;
constexpr double kMaxSerial = kMaxDateSerial;
constexpr long long kSecondsPerDay = 86400;

constexpr std::array<const char*, 12> kMonths = {"January", "February", "March",     "April",   "May",      "June",
                                                 "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};

long long floorDiv(long long a, long long b)
{
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// days since 1970-01-01 (proleptic Gregorian)
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = floorDiv(y, 400);
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d)
{
    z += 719468;
    const long long era = floorDiv(z, 146097);
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

constexpr long long kOleEpoch = -25569; // 1899-12-30 in days since 1970-01-01

bool isLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (m == 2 && isLeap(y)) ? 29 : kDays[m - 1];
}

// A date as a point on a straight line: days since the OLE epoch and seconds
// into that day.
struct Linear {
    long long day;
    long long seconds;
};

// Before 1899 the time of day counts away from zero, so the first day's
// times lie between its serial and the one before it.
bool inDateRange(double serial)
{
    return serial > kMinSerial - 1.0 && serial <= kMaxSerial; // false for NaN
}

Linear toLinear(Date d)
{
    const double s = d.Serial();
    // Beyond the range the day count would not fit its integer.
    if (!inDateRange(s))
        Raise(kErrOverflow);
    const double whole = std::trunc(s);
    const double frac = std::fabs(s - whole);
    long long day = static_cast<long long>(whole);
    long long secs = std::llround(frac * kSecondsPerDay);
    if (secs >= kSecondsPerDay) {
        secs -= kSecondsPerDay;
        day += (s < 0 ? -1 : 1);
    }
    return {day, secs};
}

Date fromLinear(long long day, long long seconds)
{
    day += floorDiv(seconds, kSecondsPerDay);
    seconds -= floorDiv(seconds, kSecondsPerDay) * kSecondsPerDay;
    const double frac = static_cast<double>(seconds) / kSecondsPerDay;
    const double serial = day >= 0 ? static_cast<double>(day) + frac : static_cast<double>(day) - frac;
    if (!inDateRange(serial))
        Raise(kErrInvalidCall);
    return Date::FromSerial(serial);
}

Date addMonths(Date d, long long months)
{
    const Linear l = toLinear(d);
    int y, m, dd;
    civilFromDays(l.day + kOleEpoch, y, m, dd);
    const long long total = static_cast<long long>(y) * 12 + (m - 1) + months;
    const long long ny = floorDiv(total, 12);
    const int nm = static_cast<int>(total - ny * 12) + 1;
    if (ny < 100 || ny > 9999)
        Raise(kErrInvalidCall);
    const int nd = std::min(dd, daysInMonth(static_cast<int>(ny), nm));
    return fromLinear(daysFromCivil(ny, static_cast<unsigned>(nm), static_cast<unsigned>(nd)) - kOleEpoch, l.seconds);
}

std::string lower(std::string_view s)
{
    return LCase(s);
}

std::shared_ptr<Clock>& clockSlot()
{
    static std::shared_ptr<Clock> clock = std::make_shared<SystemClock>();
    return clock;
}

} // namespace

Date DateFromNumber(double serial)
{
    if (!inDateRange(serial))
        Raise(kErrOverflow);
    return Date::FromSerial(serial);
}

long long CivilToDays(int year, int month, int day)
{
    return daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kOleEpoch;
}

DateParts Decompose(Date d)
{
    const Linear l = toLinear(d);
    DateParts p;
    civilFromDays(l.day + kOleEpoch, p.year, p.month, p.day);
    p.hour = static_cast<int>(l.seconds / 3600);
    p.minute = static_cast<int>((l.seconds / 60) % 60);
    p.second = static_cast<int>(l.seconds % 60);
    return p;
}

Date DateSerial(int year, int month, int day)
{
    long long y = year;
    if (y >= 0 && y <= 99)
        y += (y < 30) ? 2000 : 1900;
    const long long total = y * 12 + (month - 1);
    const long long ny = floorDiv(total, 12);
    const long long nm = total - ny * 12 + 1;
    const long long days = daysFromCivil(ny, static_cast<unsigned>(nm), 1) - kOleEpoch + (day - 1);
    if (days < kMinSerial || days > kMaxSerial)
        Raise(kErrInvalidCall);
    return Date::FromSerial(static_cast<double>(days));
}

Date TimeSerial(int hour, int minute, int second)
{
    const long long secs = static_cast<long long>(hour) * 3600 + static_cast<long long>(minute) * 60 + second;
    return fromLinear(0, secs);
}

Date DateAdd(std::string_view interval, double number, Date d)
{
    const std::string iv = lower(interval);
    // The runtime takes the whole part of the number.
    const long long n = static_cast<long long>(std::trunc(number));
    const Linear l = toLinear(d);
    if (iv == "yyyy")
        return addMonths(d, n * 12);
    if (iv == "q")
        return addMonths(d, n * 3);
    if (iv == "m")
        return addMonths(d, n);
    if (iv == "d" || iv == "y" || iv == "w")
        return fromLinear(l.day + n, l.seconds);
    if (iv == "ww")
        return fromLinear(l.day + 7 * n, l.seconds);
    if (iv == "h")
        return fromLinear(l.day, l.seconds + n * 3600);
    if (iv == "n")
        return fromLinear(l.day, l.seconds + n * 60);
    if (iv == "s")
        return fromLinear(l.day, l.seconds + n);
    Raise(kErrInvalidCall);
}

long long DateDiff(std::string_view interval, Date d1, Date d2)
{
    const std::string iv = lower(interval);
    const Linear a = toLinear(d1);
    const Linear b = toLinear(d2);
    const long long sa = a.day * kSecondsPerDay + a.seconds;
    const long long sb = b.day * kSecondsPerDay + b.seconds;
    if (iv == "d" || iv == "y")
        return b.day - a.day;
    if (iv == "h")
        return floorDiv(sb, 3600) - floorDiv(sa, 3600);
    if (iv == "n")
        return floorDiv(sb, 60) - floorDiv(sa, 60);
    if (iv == "s")
        return sb - sa;
    if (iv == "w")
        return (b.day - a.day) / 7;
    if (iv == "ww") // Sundays crossed
        return floorDiv(b.day + 6, 7) - floorDiv(a.day + 6, 7);
    const DateParts pa = Decompose(d1);
    const DateParts pb = Decompose(d2);
    if (iv == "m")
        return (static_cast<long long>(pb.year) * 12 + pb.month) - (static_cast<long long>(pa.year) * 12 + pa.month);
    if (iv == "q")
        return (static_cast<long long>(pb.year) * 4 + (pb.month - 1) / 3) -
               (static_cast<long long>(pa.year) * 4 + (pa.month - 1) / 3);
    if (iv == "yyyy")
        return pb.year - pa.year;
    Raise(kErrInvalidCall);
}

int Weekday(Date d, int firstDayOfWeek)
{
    if (firstDayOfWeek == 0)
        firstDayOfWeek = 1;
    if (firstDayOfWeek < 1 || firstDayOfWeek > 7)
        Raise(kErrInvalidCall);
    // 30 December 1899 was a Saturday (7).
    const long long day = toLinear(d).day;
    const int sundayBased = static_cast<int>(((day + 6) % 7 + 7) % 7) + 1;
    return ((sundayBased - firstDayOfWeek) % 7 + 7) % 7 + 1;
}

int Year(Date d) { return Decompose(d).year; }
int Month(Date d) { return Decompose(d).month; }
int Day(Date d) { return Decompose(d).day; }
int Hour(Date d) { return Decompose(d).hour; }
int Minute(Date d) { return Decompose(d).minute; }
int Second(Date d) { return Decompose(d).second; }

Date DateValue(Date d)
{
    return fromLinear(toLinear(d).day, 0);
}

Date TimeValue(Date d)
{
    return fromLinear(0, toLinear(d).seconds);
}

std::string MonthName(int month, bool abbreviate)
{
    if (month < 1 || month > 12)
        Raise(kErrInvalidCall);
    std::string n = kMonths[static_cast<size_t>(month - 1)];
    return abbreviate ? n.substr(0, 3) : n;
}

std::string WeekdayName(int weekday, bool abbreviate)
{
    if (weekday < 1 || weekday > 7)
        Raise(kErrInvalidCall);
    std::string n = kWeekdays[static_cast<size_t>(weekday - 1)];
    return abbreviate ? n.substr(0, 3) : n;
}

namespace {

struct Token {
    enum Kind { Number, Word, Sep } kind;
    std::string text;
    char sep = 0;
};

std::vector<Token> tokenize(std::string_view s)
{
    std::vector<Token> out;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            size_t j = i;
            while (j < s.size() && s[j] >= '0' && s[j] <= '9')
                ++j;
            out.push_back({Token::Number, std::string(s.substr(i, j - i))});
            i = j;
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            size_t j = i;
            while (j < s.size() && ((s[j] >= 'a' && s[j] <= 'z') || (s[j] >= 'A' && s[j] <= 'Z')))
                ++j;
            out.push_back({Token::Word, lower(s.substr(i, j - i))});
            i = j;
        } else if (c == ' ' || c == ',' || c == '\t') {
            ++i;
        } else {
            out.push_back({Token::Sep, {}, c});
            ++i;
        }
    }
    return out;
}

int monthFromWord(const std::string& w)
{
    if (w.size() < 3)
        return 0;
    for (int m = 0; m < 12; ++m) {
        const std::string full = lower(kMonths[static_cast<size_t>(m)]);
        if (full.compare(0, w.size(), w) == 0)
            return m + 1;
    }
    return 0;
}

bool validCivil(int y, int m, int d)
{
    return y >= 100 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

int expandYear(const std::string& digits)
{
    const int y = std::atoi(digits.c_str());
    if (digits.size() <= 2)
        return y < 30 ? 2000 + y : 1900 + y;
    return y;
}

} // namespace

bool TryParseDate(std::string_view text, Date& out)
{
    const std::vector<Token> t = tokenize(text);
    if (t.empty() || t.size() > 16)
        return false;

    // Split into the date tokens and the time tokens: the time starts at the
    // first number followed by ':'.
    size_t timeStart = t.size();
    for (size_t i = 0; i + 1 < t.size(); ++i) {
        if (t[i].kind == Token::Number && t[i + 1].kind == Token::Sep && t[i + 1].sep == ':') {
            timeStart = i;
            break;
        }
    }
    // A lone "9 AM" style time.
    if (timeStart == t.size()) {
        for (size_t i = 0; i + 1 < t.size(); ++i) {
            if (t[i].kind == Token::Number && t[i + 1].kind == Token::Word &&
                (t[i + 1].text == "am" || t[i + 1].text == "pm" || t[i + 1].text == "a" || t[i + 1].text == "p")) {
                timeStart = i;
                break;
            }
        }
    }

    bool hasDate = false, hasTime = false;
    long long day = 0, seconds = 0;

    // Date part.
    std::vector<std::string> nums;
    int wordMonth = 0;
    for (size_t i = 0; i < timeStart; ++i) {
        const Token& k = t[i];
        if (k.kind == Token::Number) {
            if (k.text.size() > 4)
                return false;
            nums.push_back(k.text);
        } else if (k.kind == Token::Word) {
            const int m = monthFromWord(k.text);
            if (m == 0 || wordMonth != 0)
                return false;
            wordMonth = m;
        } else if (k.sep != '/' && k.sep != '-' && k.sep != '.') {
            return false;
        }
    }
    if (timeStart > 0) {
        int y = 0, m = 0, d = 0;
        if (wordMonth) {
            if (nums.size() != 2)
                return false;
            m = wordMonth;
            // "Dec 8 2026" or "8 Dec 2026"
            if (nums[0].size() <= 2 && nums[1].size() >= 3) {
                d = std::atoi(nums[0].c_str());
                y = expandYear(nums[1]);
            } else if (nums[1].size() <= 2 && nums[0].size() >= 3) {
                d = std::atoi(nums[1].c_str());
                y = expandYear(nums[0]);
            } else {
                d = std::atoi(nums[0].c_str());
                y = expandYear(nums[1]);
            }
        } else if (nums.size() == 3) {
            if (nums[0].size() >= 3) { // y-m-d
                y = expandYear(nums[0]);
                m = std::atoi(nums[1].c_str());
                d = std::atoi(nums[2].c_str());
            } else { // m/d/y
                m = std::atoi(nums[0].c_str());
                d = std::atoi(nums[1].c_str());
                y = expandYear(nums[2]);
            }
        } else if (nums.size() == 2) { // m/d of the current year
            m = std::atoi(nums[0].c_str());
            d = std::atoi(nums[1].c_str());
            y = Year(Now());
        } else {
            return false;
        }
        if (!validCivil(y, m, d))
            return false;
        day = CivilToDays(y, m, d);
        hasDate = true;
    }

    // Time part.
    if (timeStart < t.size()) {
        std::vector<int> parts;
        int ampm = 0; // 1 am, 2 pm
        bool expectNumber = true;
        for (size_t i = timeStart; i < t.size(); ++i) {
            const Token& k = t[i];
            if (k.kind == Token::Number && expectNumber) {
                if (k.text.size() > 2 || parts.size() >= 3)
                    return false;
                parts.push_back(std::atoi(k.text.c_str()));
                expectNumber = false;
            } else if (k.kind == Token::Sep && k.sep == ':' && !expectNumber) {
                expectNumber = true;
            } else if (k.kind == Token::Word && !expectNumber && ampm == 0 && i + 1 == t.size()) {
                if (k.text == "am" || k.text == "a")
                    ampm = 1;
                else if (k.text == "pm" || k.text == "p")
                    ampm = 2;
                else
                    return false;
            } else {
                return false;
            }
        }
        if (expectNumber || parts.empty())
            return false;
        int h = parts[0];
        const int mi = parts.size() > 1 ? parts[1] : 0;
        const int s = parts.size() > 2 ? parts[2] : 0;
        if (ampm) {
            if (h < 1 || h > 12)
                return false;
            h = (h % 12) + (ampm == 2 ? 12 : 0);
        }
        if (h > 23 || mi > 59 || s > 59)
            return false;
        seconds = static_cast<long long>(h) * 3600 + mi * 60 + s;
        hasTime = true;
    }
    if (!hasDate && !hasTime)
        return false;
    out = fromLinear(day, seconds);
    return true;
}

Date SystemClock::Now() const
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t tt = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&tt, &local);
    const long long day = CivilToDays(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const long long secs = static_cast<long long>(local.tm_hour) * 3600 + local.tm_min * 60 + local.tm_sec;
    return fromLinear(day, secs);
}

double SystemClock::Elapsed() const
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

Date FakeClock::Now() const
{
    const Linear l = toLinear(base_);
    return fromLinear(l.day, l.seconds + static_cast<long long>(std::floor(elapsed_ - baseElapsed_)));
}

void SetClock(std::shared_ptr<Clock> clock)
{
    clockSlot() = clock ? std::move(clock) : std::make_shared<SystemClock>();
}

Clock& CurrentClock()
{
    return *clockSlot();
}

Date Now()
{
    return CurrentClock().Now();
}

Date Today()
{
    return DateValue(Now());
}

Date Time()
{
    return TimeValue(Now());
}

double Timer()
{
    return static_cast<double>(toLinear(Now()).seconds);
}

} // namespace vb
