// Calendar reminders: one CalInfo row per store and reminder kind, and the
// three reminders the store editor can switch off.

#include "program/stores/Mod_StoreInfo.h"

namespace Mod_StoreInfo {

void SetCalendarReminder(int32_t typeCode, int16_t storeID, vb::Date reminderDate, std::string_view info,
                         std::string_view image, bool add)
{
    (void)typeCode;
    (void)storeID;
    (void)reminderDate;
    (void)info;
    (void)image;
    (void)add;
}

void ShowReminder(std::string_view kind, bool shown, vb::Date reminderDate)
{
    (void)kind;
    (void)shown;
    (void)reminderDate;
}

} // namespace Mod_StoreInfo
