#pragma once
// The registry wrapper: values read as text and written by type, keys opened
// and closed within each call. Results are the registry's result codes
// (0 = success); callers mostly ignore them.

#include "platform/registry/Registry.h"

#include "platform/basic/Variant.h"

#include <string>
#include <string_view>

namespace Mod_Registry {

using winreg::DWORD;
using winreg::HKEY;
using winreg::LONG;

// The program's keys under HKEY_CURRENT_USER.
inline constexpr std::string_view kProgramKey = "Software\\merrowgate\\Tallyvane";
inline constexpr std::string_view kEMailKey = "Software\\merrowgate\\Tallyvane\\EMail";
inline constexpr std::string_view kImagesKey = "Software\\merrowgate\\Tallyvane\\Images";
inline constexpr std::string_view kReportsKey = "Software\\merrowgate\\Tallyvane\\Reports";
// The start-with-the-session value under HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kRunValue = "Tallyvane";

// The value as text: a REG_DWORD as its decimal text (signed), "" when the
// key or the value is missing or has another type.
std::string ReadRegValue(HKEY rootKey, std::string_view subKey, std::string_view valueName);
// Writes value as REG_SZ or REG_DWORD into an existing key; a missing key
// answers the open's error and writes nothing; another type writes nothing.
LONG WriteRegValue(HKEY rootKey, std::string_view subKey, std::string_view valueName, const vb::Variant& value,
                   DWORD valueType);
LONG DeleteRegValue(HKEY rootKey, std::string_view subKey, std::string_view valueName);
bool RegValueExists(HKEY rootKey, std::string_view subKey, std::string_view valueName);

// The value-level halves of the routines above, on a key already open.
LONG WriteOpenKeyValue(HKEY openKey, std::string_view valueName, DWORD valueType, const vb::Variant& value);
// value gets a REG_SZ as its text still carrying the terminating NUL, or a
// REG_DWORD as a Long; Empty on failure. Another type answers -1.
LONG ReadOpenKeyValue(HKEY openKey, std::string_view valueName, vb::Variant& value);
// The text without the terminating NUL of a stored string; any other text
// comes back unchanged.
std::string TrimRegString(std::string_view text);

// A "True"/"False" (or numeric) value as a Boolean; defaultValue when it is
// missing or reads as neither.
bool ReadRegBoolean(HKEY rootKey, std::string_view subKey, std::string_view valueName, bool defaultValue);

} // namespace Mod_Registry
