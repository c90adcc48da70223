#include "platform/basic/ProgramSettings.h"

#include "platform/basic/Strings.h"

#include <map>
#include <tuple>

namespace vb {

namespace {

// Names compare without case, as the store they stand for did.
class MemorySettingsStore : public SettingsStore {
public:
    std::optional<std::string> Get(std::string_view appName, std::string_view section,
                                   std::string_view key) override
    {
        const auto it = values_.find(keyOf(appName, section, key));
        if (it == values_.end())
            return std::nullopt;
        return it->second;
    }

    void Save(std::string_view appName, std::string_view section, std::string_view key,
              std::string_view value) override
    {
        values_[keyOf(appName, section, key)] = std::string(value);
    }

    void Delete(std::string_view appName, std::string_view section, std::string_view key) override
    {
        if (!key.empty()) {
            values_.erase(keyOf(appName, section, key));
            return;
        }
        const std::string app = LCase(appName), sec = LCase(section);
        for (auto it = values_.begin(); it != values_.end();) {
            if (std::get<0>(it->first) == app && std::get<1>(it->first) == sec)
                it = values_.erase(it);
            else
                ++it;
        }
    }

private:
    using Key = std::tuple<std::string, std::string, std::string>;
    static Key keyOf(std::string_view a, std::string_view s, std::string_view k)
    {
        return {LCase(a), LCase(s), LCase(k)};
    }
    std::map<Key, std::string> values_;
};

std::shared_ptr<SettingsStore>& slot()
{
    static std::shared_ptr<SettingsStore> store = std::make_shared<MemorySettingsStore>();
    return store;
}

} // namespace

void SetSettingsStore(std::shared_ptr<SettingsStore> store)
{
    slot() = store ? std::move(store) : std::make_shared<MemorySettingsStore>();
}

SettingsStore& CurrentSettingsStore()
{
    return *slot();
}

std::string GetSetting(std::string_view appName, std::string_view section, std::string_view key,
                       std::string_view defaultValue)
{
    auto v = CurrentSettingsStore().Get(appName, section, key);
    return v ? *v : std::string(defaultValue);
}

void SaveSetting(std::string_view appName, std::string_view section, std::string_view key, std::string_view value)
{
    CurrentSettingsStore().Save(appName, section, key, value);
}

void DeleteSetting(std::string_view appName, std::string_view section, std::string_view key)
{
    CurrentSettingsStore().Delete(appName, section, key);
}

} // namespace vb
