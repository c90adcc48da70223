#pragma once
// The five reminder kinds a store can have on the calendar, with the code
// its CalInfo rows carry (Type and Image) and the start of the caption the
// calendar and the task list show; the three the store editor can switch
// off carry their bit of g_ReminderMask.

#include <cstdint>
#include <string_view>

namespace Mod_StoreInfo {

struct ReminderKind {
    std::string_view key;     // the Reminders menu item; "" for the sales reports
    int32_t typeCode;         // CalInfo.Type and CalInfo.Image, as a digit
    std::string_view caption; // followed by the store's name
    int16_t bit;              // of g_ReminderMask; 0 for the sales reports
};

inline constexpr ReminderKind kRenewalReminder{"RENEWAL", 1, "Renewal: ", 1};
inline constexpr ReminderKind kInsuranceReminder{"INSURANCE", 2, "Insurance: ", 2};
// The periodic report's caption starts with the reporting choice ("Monthly").
inline constexpr ReminderKind kSalesReportReminder{"", 3, " Sales Report: ", 0};
inline constexpr ReminderKind kOtherReminder{"OTHER", 4, "Other: ", 4};
inline constexpr ReminderKind kAnnualReportReminder{"", 5, "Annual Sales Report : ", 0};

// The switchable kind of a Reminders menu key; nullptr for any other key.
const ReminderKind* SwitchableReminder(std::string_view key);

// Notes box widths (twips) with the reminder's date beside it, and without.
inline constexpr double kNotesWidthWithDate = 5055;
inline constexpr double kNotesWidthAlone = 6855;

} // namespace Mod_StoreInfo
