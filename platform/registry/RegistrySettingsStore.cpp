#include "platform/registry/RegistrySettingsStore.h"

#include "platform/registry/Registry.h"

#include <vector>

namespace winreg {

namespace {

// Opens a key and closes it when it goes.
class OpenKey {
public:
    OpenKey(HKEY root, std::string_view path, REGSAM access, bool create)
    {
        rc_ = create ? RegCreateKeyEx(root, path, REG_OPTION_NON_VOLATILE, access, &key_, nullptr)
                     : RegOpenKeyEx(root, path, 0, access, &key_);
    }
    ~OpenKey()
    {
        if (rc_ == ERROR_SUCCESS)
            RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    bool ok() const { return rc_ == ERROR_SUCCESS; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = 0;
    LONG rc_ = ERROR_FILE_NOT_FOUND;
};

} // namespace

std::string RegistrySettingsStore::SectionKey(std::string_view appName, std::string_view section)
{
    std::string path(kRootKey);
    path += '\\';
    path += appName;
    path += '\\';
    path += section;
    return path;
}

std::optional<std::string> RegistrySettingsStore::Get(std::string_view appName, std::string_view section,
                                                      std::string_view key)
{
    OpenKey open(HKEY_CURRENT_USER, SectionKey(appName, section), KEY_QUERY_VALUE, false);
    if (!open.ok() || key.empty())
        return std::nullopt;
    DWORD type = REG_NONE, size = 0;
    if (RegQueryValueEx(open.get(), key, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    std::vector<BYTE> buffer(size);
    if (RegQueryValueEx(open.get(), key, &type, buffer.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    // The text without its terminating NUL.
    return std::string(reinterpret_cast<const char*>(buffer.data()), size > 0 ? size - 1 : 0);
}

void RegistrySettingsStore::Save(std::string_view appName, std::string_view section, std::string_view key,
                                 std::string_view value)
{
    if (key.empty())
        return;
    OpenKey open(HKEY_CURRENT_USER, SectionKey(appName, section), KEY_ALL_ACCESS, true);
    if (!open.ok())
        return;
    RegSetValueEx(open.get(), key, REG_SZ, reinterpret_cast<const BYTE*>(value.data()),
                  static_cast<DWORD>(value.size()));
}

void RegistrySettingsStore::Delete(std::string_view appName, std::string_view section, std::string_view key)
{
    if (key.empty()) {
        RegDeleteTree(HKEY_CURRENT_USER, SectionKey(appName, section));
        return;
    }
    OpenKey open(HKEY_CURRENT_USER, SectionKey(appName, section), KEY_ALL_ACCESS, false);
    if (open.ok())
        RegDeleteValue(open.get(), key);
}

} // namespace winreg
