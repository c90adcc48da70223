#include "program/reports/Mod_TaskList.h"

#include "platform/basic/App.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Variant.h"
#include "program/reports/Mod_Report.h"
#include "program/reports/ReportsState.h"
#include "program/services/Mod_FTPData.h"

#include <cmath>
#include <vector>

namespace Mod_TaskList {

namespace {

// Whole minutes since midnight of a time of day.
int minuteOfDay(vb::Date time)
{
    return vb::Hour(time) * 60 + vb::Minute(time);
}

vb::Date parseDay(const std::string& text)
{
    vb::Date d;
    if (!vb::TryParseDate(text, d))
        vb::Raise(vb::kErrTypeMismatch);
    return vb::DateValue(d);
}

vb::Date parseTime(const std::string& text)
{
    vb::Date t;
    if (!vb::TryParseDate(text, t))
        vb::Raise(vb::kErrTypeMismatch);
    return vb::TimeValue(t);
}

// A daily or hourly entry dated today whose time has gone by would wait for
// a day that never comes round again while the program stays open: move it
// on to the next time it is due.
void skipTimeGoneBy(ScheduledTask& entry)
{
    const vb::Date now = vb::Now();
    if (entry.NextRunDate != vb::DateValue(now))
        return;
    const int nowMinute = minuteOfDay(now);
    int due = minuteOfDay(parseTime(entry.RunTime));
    if (due >= nowMinute)
        return;
    if (entry.Frequency == "Daily") {
        entry.NextRunDate = Mod_FTPData::AddToDate(1, "d", entry.NextRunDate);
        return;
    }
    due += (nowMinute - due + 59) / 60 * 60;
    if (due >= 24 * 60) {
        due -= 24 * 60;
        entry.NextRunDate = Mod_FTPData::AddToDate(1, "d", entry.NextRunDate);
    }
    entry.RunTime = Mod_Report::TimeText(vb::TimeSerial(due / 60, due % 60, 0));
}

} // namespace

vb::Date AdvanceToToday(vb::Date startDate, int16_t count, std::string_view interval)
{
    if (count < 1)
        vb::Raise(vb::kErrInvalidCall);
    const vb::Date today = vb::Today();
    if (startDate >= today)
        return startDate;
    // Whole days, weeks and hours add up without cutting back: jump straight
    // to the first step on or after today.
    double stepDays = 0.0;
    if (interval == "d")
        stepDays = count;
    else if (interval == "ww")
        stepDays = 7.0 * count;
    else if (interval == "h")
        stepDays = count / 24.0;
    if (stepDays > 0.0) {
        const double steps = std::ceil((today.Serial() - startDate.Serial()) / stepDays - 1e-9);
        vb::Date d = vb::DateAdd(interval, steps * count, startDate);
        while (d < today)
            d = vb::DateAdd(interval, count, d);
        return d;
    }
    vb::Date d = startDate;
    while (d < today)
        d = Mod_FTPData::AddToDate(count, interval, d);
    return d;
}

std::optional<vb::Date> GetNextRunDate(std::string_view frequency, vb::Date startDate)
{
    const vb::Date today = vb::Today();
    if (frequency == "Once") {
        if (startDate < today)
            return std::nullopt;
        return startDate;
    }
    // Daily and hourly reports keep a start day in the future.
    if (frequency == "Hourly" || frequency == "Daily")
        return AdvanceToToday(startDate, 1, "d");
    if (frequency == "Weekly")
        return AdvanceToToday(startDate, 1, "ww");
    if (frequency == "Monthly")
        return AdvanceToToday(startDate, 1, "m");
    if (frequency == "Quarterly")
        return AdvanceToToday(startDate, 3, "m");
    if (frequency == "Bi-Yearly")
        return AdvanceToToday(startDate, 6, "m");
    if (frequency == "Yearly")
        return AdvanceToToday(startDate, 1, "yyyy");
    return std::nullopt;
}

int16_t BuildScheduledReports()
{
    using namespace Mod_Report;
    auto& tasks = tv::Reports().g_ScheduledTasks;
    tasks.reset();
    int16_t count = 0;
    const auto all = ReadAllReportSettings(vb::App::Path());
    for (size_t i = 0; i < kReportKeys.size(); ++i) {
        const ReportKey& report = kReportKeys[i];
        const std::vector<std::string>& values = all[i];
        if (values.size() < kFieldNames.size() || values[kScheduleReport] != "True")
            continue;
        ScheduledTask entry;
        try {
            const vb::Date runTime = parseTime(values[kStartTime]);
            const std::optional<vb::Date> next = GetNextRunDate(values[kFrequency], parseDay(values[kStartDate]));
            if (!next)
                continue;
            entry.Key = std::string(report.key);
            entry.DisplayName = std::string(report.displayName);
            entry.NextRunDate = *next;
            // The runner compares the time as text: keep it in the one form it formats.
            entry.RunTime = TimeText(runTime);
            entry.Frequency = values[kFrequency];
            entry.Reminder = values[kReminder];
            entry.Destination = vb::CInt(vb::Variant(values[kDestination]));
            entry.Filename = values[kFilename];
            entry.SendAsAttachment = vb::CBool(vb::Variant(values[kSendAsAttachment]));
            if (entry.Frequency == "Daily" || entry.Frequency == "Hourly")
                skipTimeGoneBy(entry);
        } catch (const vb::RuntimeError&) {
            // A schedule that cannot be read is left out; the others still run.
            continue;
        }
        if (!tasks)
            tasks.emplace();
        tasks->push_back(std::move(entry));
        ++count;
    }
    return count;
}

} // namespace Mod_TaskList
