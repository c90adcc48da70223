#pragma once
// GetSetting / SaveSetting / DeleteSetting: the per-user program-settings
// store (one section per form). Where the values live is the store installed
// with SetSettingsStore; until one is installed they are kept in memory.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vb {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<std::string> Get(std::string_view appName, std::string_view section,
                                           std::string_view key) = 0;
    virtual void Save(std::string_view appName, std::string_view section, std::string_view key,
                      std::string_view value) = 0;
    // An empty key deletes the whole section.
    virtual void Delete(std::string_view appName, std::string_view section, std::string_view key) = 0;
};

// nullptr restores the in-memory store.
void SetSettingsStore(std::shared_ptr<SettingsStore> store);
SettingsStore& CurrentSettingsStore();

std::string GetSetting(std::string_view appName, std::string_view section, std::string_view key,
                       std::string_view defaultValue = {});
void SaveSetting(std::string_view appName, std::string_view section, std::string_view key, std::string_view value);
void DeleteSetting(std::string_view appName, std::string_view section, std::string_view key = {});

// A stored value's text as the runtime reads a number; nothing when the
// text is empty or holds anything else, so that one damaged value takes its
// default and the others are still read.
std::optional<double> StoredNumber(std::string_view text);
// The same for a whole number from low to high.
std::optional<long> StoredWholeNumber(std::string_view text, long low, long high);

} // namespace vb
