#pragma once
// The main calendar's contents: the pictures of the reminder kinds, the text
// and picture of every day that has reminders (table CalInfo), and the rule
// for the first day shown.

#include "platform/basic/DateTime.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace Mod_tallyvane {

// The calendar's colours when none are stored (settings section
// "frmOptions"); the options window shows the same defaults.
inline constexpr int32_t kDefaultDateHeadingColor = 0xFFFF00;
inline constexpr int32_t kDefaultWeekendColor = 0x808000;
// The background picture when none is stored: "DefaultBGImage.jpg" in the
// program folder.
std::filesystem::path DefaultBackgroundImage();

// The folder "icons" in the program folder, where the pictures of the image
// slots are kept.
std::filesystem::path IconsFolder();
// The file an image slot names: fileName inside IconsFolder(); nothing for an
// empty name or one that leads out of the folder ("../x.png", "/x.png").
std::optional<std::filesystem::path> IconFile(const std::string& fileName);

// The first picture the refill adds; below it are the calendar's own design
// pictures (1 to 5 the reminder kinds, 7 several reminders on one day).
inline constexpr int16_t kFirstSlotPicture = 10;
inline constexpr int16_t kSeveralRemindersPicture = 7;
inline constexpr int kImageSlots = 7;
inline constexpr int kMultiImageSlot = 6;

// Rebuilds the pictures of the seven image slots (indexes 10 to 16), then
// every day text and day picture from CalInfo, on the main calendar window
// (loading it when it is not loaded). A slot picture that cannot be read
// shows the slot's default picture; a database error reaches the caller
// after the calendar has been cleared.
void FillCalendar();

// The day number of the Monday on or before the first day of the date's month.
int32_t GetCalendarStartDay(vb::Date date);

} // namespace Mod_tallyvane
