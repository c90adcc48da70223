// Any bytes as the version file the update site sends: parsing never fails
// on them, and whatever it accepts is safe to download and install.
#include "program/shell/Mod_StoreInfo_Update.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Mod_AutoUpdate::UpdateVersion version{-1, -1, -1};
    std::vector<std::string> names{"untouched"};
    if (Mod_StoreInfo::ParseVersionFile(text, version, names)) {
        if (names.empty() || version.major < 0 || version.minor < 0 || version.build < 0)
            std::abort();
        for (const std::string& name : names)
            if (!Mod_AutoUpdate::IsSafeFileName(name) || name.find('/') != std::string::npos ||
                name.find("..") != std::string::npos)
                std::abort();
        // What was read is what writing it back reads again.
        Mod_AutoUpdate::UpdateVersion again;
        if (!Mod_AutoUpdate::ParseVersionText(version.Text(), again) || again != version)
            std::abort();
    } else if (names.size() != 1 || names[0] != "untouched" || version.major != -1) {
        std::abort();
    }
    // The installed version is read by the same rules.
    Mod_AutoUpdate::UpdateVersion installed;
    Mod_AutoUpdate::ParseVersionText(text, installed);
    return 0;
}
