#pragma once
// One entry of the table of scheduled reports.

#include "platform/basic/DateTime.h"

#include <cstdint>
#include <string>

struct ScheduledTask {
    // Written back as the report's ScheduleReport value: False in a freshly
    // built entry, True after a periodic run, False after a one-time run.
    bool ScheduleReport = false;
    std::string Key;
    std::string DisplayName;  // e-mail subject and attachment stem
    vb::Date NextRunDate;     // the day the entry is due
    std::string RunTime;      // "hh:mm AM" / "hh:mm PM", compared as text
    std::string Frequency;
    int16_t Destination = 0;  // 0 printer, 1 file, 2 e-mail
    std::string Filename;
    bool SendAsAttachment = false;
    std::string Reminder;     // "None" or "Popup-Menu"

    bool operator==(const ScheduledTask&) const = default;
};
