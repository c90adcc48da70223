#include "program/services/Mod_SpecialFunctions.h"

#include "program/services/MBoxMod.h"
#include "program/services/Mod_Registry.h"

#include "platform/basic/App.h"
#include "platform/forms/Form.h"
#include "platform/help/HtmlHelp.h"
#include "platform/win/WindowPos.h"

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

// --- Window helpers ---

void ShowHelpTopic(std::string_view topic)
{
    std::string message;
    if (!help::DisplayTopic(vb::AppPaths::ProgramFolder() / help::kHelpFolderName, topic, &message))
        MBoxMod::ShowMBox(message, 4, 0, 2, std::string("Help"), false);
}

void CloseEffect(forms::Form& form, int16_t stepTwips)
{
    if (Mod_Registry::ReadRegValue(winreg::HKEY_CURRENT_USER, Mod_Registry::kProgramKey, "ScreenClose") != "True")
        return;
    const double step = stepTwips;
    while (!(form.Width() <= 1700 && form.Height() <= 500)) {
        const double width = form.Width();
        const double height = form.Height();
        form.SetWidth(std::max(0.0, width - 2 * step));
        form.SetLeft(form.Left() + step);
        form.SetHeight(std::max(0.0, height - 2 * step));
        form.SetTop(form.Top() + step);
        form.Refresh();
        // A window held at a minimum size larger than the limits would loop for ever.
        if (form.Width() >= width && form.Height() >= height)
            break;
    }
}

void SetTopMost(QWidget* hWnd, int16_t onTop)
{
    const intptr_t after = onTop == -1 ? win::HWND_TOPMOST : onTop == 0 ? win::HWND_NOTOPMOST : win::HWND_TOP;
    win::SetWindowPos(hWnd, after, 0, 0, 0, 0,
                      win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOACTIVATE | win::SWP_SHOWWINDOW);
}

// --- end of the window helpers ---

} // namespace Mod_SpecialFunctions
