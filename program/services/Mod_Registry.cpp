#include "program/services/Mod_Registry.h"

#include "platform/basic/RuntimeError.h"

#include <vector>

namespace Mod_Registry {

using namespace winreg;

namespace {

// A key opened with full access, closed when it goes.
class OpenKey {
public:
    OpenKey(HKEY rootKey, std::string_view subKey)
        : rc_(RegOpenKeyEx(rootKey, subKey, 0, KEY_ALL_ACCESS, &key_))
    {
    }
    ~OpenKey()
    {
        if (rc_ == ERROR_SUCCESS)
            RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    LONG rc() const { return rc_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = 0;
    LONG rc_;
};

} // namespace

std::string ReadRegValue(HKEY rootKey, std::string_view subKey, std::string_view valueName)
{
    // A key that does not open leaves an invalid handle, and the read fails.
    OpenKey key(rootKey, subKey);
    vb::Variant value;
    ReadOpenKeyValue(key.get(), valueName, value);
    return TrimRegString(vb::CStr(value));
}

LONG WriteRegValue(HKEY rootKey, std::string_view subKey, std::string_view valueName, const vb::Variant& value,
                   DWORD valueType)
{
    OpenKey key(rootKey, subKey);
    if (key.rc() != ERROR_SUCCESS)
        return key.rc();
    return WriteOpenKeyValue(key.get(), valueName, valueType, value);
}

LONG DeleteRegValue(HKEY rootKey, std::string_view subKey, std::string_view valueName)
{
    OpenKey key(rootKey, subKey);
    if (key.rc() != ERROR_SUCCESS)
        return key.rc();
    return RegDeleteValue(key.get(), valueName);
}

bool RegValueExists(HKEY rootKey, std::string_view subKey, std::string_view valueName)
{
    OpenKey key(rootKey, subKey);
    if (key.rc() != ERROR_SUCCESS)
        return false;
    vb::Variant value;
    return ReadOpenKeyValue(key.get(), valueName, value) == ERROR_SUCCESS;
}

LONG WriteOpenKeyValue(HKEY openKey, std::string_view valueName, DWORD valueType, const vb::Variant& value)
{
    if (valueType == REG_SZ) {
        const std::string text = vb::CStr(value);
        return RegSetValueEx(openKey, valueName, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1));
    }
    if (valueType == REG_DWORD) {
        const auto n = static_cast<uint32_t>(vb::CLng(value));
        const BYTE bytes[4] = {BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24)};
        return RegSetValueEx(openKey, valueName, REG_DWORD, bytes, 4);
    }
    return ERROR_SUCCESS;
}

LONG ReadOpenKeyValue(HKEY openKey, std::string_view valueName, vb::Variant& value)
{
    value = vb::Variant();
    DWORD type = REG_NONE, size = 0;
    LONG rc = RegQueryValueEx(openKey, valueName, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (type == REG_SZ) {
        std::vector<BYTE> buffer(size);
        rc = RegQueryValueEx(openKey, valueName, nullptr, buffer.data(), &size);
        if (rc == ERROR_SUCCESS)
            value = std::string(reinterpret_cast<const char*>(buffer.data()), size);
        return rc;
    }
    if (type == REG_DWORD) {
        BYTE bytes[4] = {};
        size = sizeof bytes;
        rc = RegQueryValueEx(openKey, valueName, nullptr, bytes, &size);
        if (rc == ERROR_SUCCESS)
            value = static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t(bytes[3]) << 24);
        return rc;
    }
    return -1;
}

std::string TrimRegString(std::string_view text)
{
    // Only the terminating NUL goes: a stored text comes back exactly,
    // whether it is empty, numeric or anything else.
    if (!text.empty() && text.back() == '\0')
        text.remove_suffix(1);
    return std::string(text);
}

bool ReadRegBoolean(HKEY rootKey, std::string_view subKey, std::string_view valueName, bool defaultValue)
{
    const std::string text = ReadRegValue(rootKey, subKey, valueName);
    try {
        return vb::CBool(vb::Variant(text));
    } catch (const vb::RuntimeError&) {
        return defaultValue;
    }
}

} // namespace Mod_Registry
