#pragma once
// The settings record of one report, in the order of its element lines in
// "ReportScheduler.xml".

#include <cstdint>
#include <string>

struct ReportSettings {
    std::string Length;      // "One Month" ... "5 Years", "Custom"
    std::string Years;       // four-digit years joined with ";"
    std::string SortOrder;   // "ASC" or "DESC"
    std::string ReportFont;
    bool ScheduleReport = false;
    std::string StartDate;   // first run day, "M/d/yyyy"
    std::string StartTime;   // "hh:mm AM" or "hh:mm PM"
    std::string Frequency;   // "Once", "Hourly", "Daily", "Weekly", "Monthly", "Quarterly", "Bi-Yearly", "Yearly"
    std::string Reminder;    // "None" or "Popup-Menu"
    int16_t Destination = 0; // 0 printer, 1 file, 2 e-mail
    std::string Filename;    // printer name, file name or recipients joined with ";"
    bool SendAsAttachment = false;

    bool operator==(const ReportSettings&) const = default;
};
