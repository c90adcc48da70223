#pragma once
// Small helpers shared by the windows of every subsystem.

#include "platform/basic/Variant.h"

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

} // namespace Mod_SpecialFunctions
