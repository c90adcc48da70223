#pragma once
// GetSetting / SaveSetting kept in the registry, where the forms runtime kept
// them: HKEY_CURRENT_USER "Software\VB and VBA Program Settings\<app>\<section>",
// one REG_SZ value per key.

#include "platform/basic/ProgramSettings.h"

#include <string>
#include <string_view>

namespace winreg {

class RegistrySettingsStore : public vb::SettingsStore {
public:
    static constexpr std::string_view kRootKey = "Software\\VB and VBA Program Settings";

    std::optional<std::string> Get(std::string_view appName, std::string_view section,
                                   std::string_view key) override;
    // A failed write is not reported: the settings of a window are not worth
    // a message (a damaged registry file is reported once at start-up).
    void Save(std::string_view appName, std::string_view section, std::string_view key,
              std::string_view value) override;
    void Delete(std::string_view appName, std::string_view section, std::string_view key) override;

    static std::string SectionKey(std::string_view appName, std::string_view section);
};

} // namespace winreg
