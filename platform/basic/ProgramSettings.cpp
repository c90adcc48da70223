#include "platform/basic/ProgramSettings.h"

#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
#include "platform/basic/Variant.h"

#include <cmath>
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

std::optional<double> StoredNumber(std::string_view text)
{
    const Variant v{std::string(text)};
    if (text.empty() || !IsNumeric(v))
        return std::nullopt;
    try {
        return CDbl(v);
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

std::optional<long> StoredWholeNumber(std::string_view text, long low, long high)
{
    const auto d = StoredNumber(text);
    if (!d || *d != std::floor(*d) || *d < static_cast<double>(low) || *d > static_cast<double>(high))
        return std::nullopt;
    return static_cast<long>(*d);
}

} // namespace vb
