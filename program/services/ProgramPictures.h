#pragma once
// The program's own pictures, drawn when first asked for: the calendar's
// pictures of the reminder kinds, the default picture of a calendar image
// slot, the notification-area icon and the pictures of the menu and panel
// commands. All are 32 x 32 with a transparent background. Also the
// pictures shipped as files beside the program.

#include <QImage>
#include <QPixmap>

#include <filesystem>
#include <string_view>

namespace ProgramPictures {

// Kinds 1 renewal, 2 insurance, 3 sales report, 4 other, 5 annual sales
// report, 7 several reminders on one day; 6, 8 and 9 are the calendar
// design's spare places.
QPixmap ReminderPicture(int kind);
// The picture of a calendar image slot that keeps its default.
QPixmap ResourceIcon801();
QPixmap TrayPicture();
// The program's icon (the notification area's picture) drawn at any size,
// for the desktop's menus.
QImage ProgramIcon(int size);
// "UPDATE", "CONTROL", "STORES", "REPORT", "TASK"/"TASKS", "SALES",
// "OPTIONS", "QUIT", and the options window's pages "CALENDAR", "EMAIL",
// "MISC"; a null picture for any other key.
QPixmap CommandPicture(std::string_view key);

// A picture file shipped with the program (the install folder), and where it
// is; a null picture when it is missing or unreadable.
QPixmap ShippedPicture(std::string_view fileName);
std::filesystem::path ShippedPictureFile(std::string_view fileName);

} // namespace ProgramPictures
