#pragma once
// Small helpers shared by the windows of every subsystem.

#include "platform/basic/Variant.h"

class QWidget;
namespace forms {
class Form;
}

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Mod_SpecialFunctions {

// True when every bit of flags is set in value; True for flags 0.
bool HasFlags(int16_t value, int16_t flags);

// --- Settings written only when they change (Mod_Registry underneath) ---

// Under HKEY_CURRENT_USER: writes value as REG_SZ when it differs from the
// stored text (case counts); the write's result is not checked.
void SaveRegStringIfChanged(std::string_view value, std::string_view subKey, std::string_view valueName);
// Under HKEY_CURRENT_USER: writes value as REG_DWORD when it differs from the
// stored text as the runtime compares them (a number against numeric text as
// numbers).
void SaveRegDWordIfChanged(const vb::Variant& value, std::string_view subKey, std::string_view valueName);

// The file names of the seven calendar pictures in the folder "icons",
// indexes 0 Renewal, 1 Insurance, 2 SalesReport, 3 Other, 4 AnnualSalesReport,
// 5 LeaseImage, 6 MultiImage; "" for the built-in picture.
std::vector<std::string> GetImagePaths();
// Stores paths[0] to paths[6] where they changed; entries past the seventh
// have no value to go to and are ignored.
void SaveImagePaths(const std::vector<std::string>& paths);
// The value names of the seven pictures, in index order.
const std::vector<std::string>& ImageValueNames();

// --- end of the settings helpers ---

// --- Window helpers ---

// Opens a help topic (a page path such as "Options_Screen\Misc_Options.htm";
// empty for the help's first page) from the help folder in the program
// folder, in the desktop's browser. When the page is not there, a message
// box names the page looked for.
void ShowHelpTopic(std::string_view topic);

// Shrinks a closing window towards its centre by stepTwips on each side per
// step, while the registry value ScreenClose is "True", until it is at most
// 1700 x 500 twips or a step no longer makes it smaller.
void CloseEffect(forms::Form& form, int16_t stepTwips);

// onTop -1 (True): always on top; 0: no longer; any other value: brought to
// the front. The window is shown without being activated.
void SetTopMost(QWidget* hWnd, int16_t onTop);

// --- end of the window helpers ---

} // namespace Mod_SpecialFunctions
