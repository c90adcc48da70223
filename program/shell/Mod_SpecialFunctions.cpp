#include "program/shell/Mod_SpecialFunctions.h"

#include "program/shell/Mod_Registry.h"

#include <algorithm>

namespace Mod_SpecialFunctions {

bool HasFlags(int16_t value, int16_t flags)
{
    return (value & flags) == flags;
}

// --- Settings written only when they change ---

void SaveRegStringIfChanged(std::string_view value, std::string_view subKey, std::string_view valueName)
{
    const std::string current = Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, subKey, valueName);
    if (current != value)
        Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, subKey, valueName, vb::Variant(value), winreg::REG_SZ);
}

void SaveRegDWordIfChanged(const vb::Variant& value, std::string_view subKey, std::string_view valueName)
{
    const std::string current = Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, subKey, valueName);
    if (!(value == vb::Variant(current)))
        Mod_Registry::WriteRegValue(winreg::HKEY_CURRENT_USER, subKey, valueName, value, winreg::REG_DWORD);
}

const std::vector<std::string>& ImageValueNames()
{
    static const std::vector<std::string> names = {"Renewal", "Insurance", "SalesReport", "Other",
                                                   "AnnualSalesReport", "LeaseImage", "MultiImage"};
    return names;
}

std::vector<std::string> GetImagePaths()
{
    std::vector<std::string> paths;
    for (const auto& name : ImageValueNames())
        paths.push_back(Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kImagesKey, name));
    return paths;
}

void SaveImagePaths(const std::vector<std::string>& paths)
{
    const size_t count = std::min(paths.size(), ImageValueNames().size());
    for (size_t i = 0; i < count; ++i)
        SaveRegStringIfChanged(paths[i], Mod_Registry::kImagesKey, ImageValueNames()[i]);
}

// --- end of the settings helpers ---

} // namespace Mod_SpecialFunctions
