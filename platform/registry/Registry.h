#pragma once
// The registry as the program and the button library call it: root keys,
// keys opened by handle, REG_SZ and REG_DWORD values, the usual result codes.
// Everything lives in one text file per user (vb::AppPaths::RegistryFile()).
// Key and value names compare without case and keep the case they were
// created with. Every change re-reads the file under a file lock and
// rewrites it whole through a temporary file, so processes sharing the file
// never lose each other's writes and a crash leaves the old or the new file.
// A damaged file is never rewritten: every call answers
// ERROR_REGISTRY_CORRUPT until it is repaired or removed (StoreProblem()).
// A program may ask for one exception (KeepClassesRootInMemory): when the
// file cannot be read or written, HKEY_CLASSES_ROOT is then kept in memory
// (starting from what the file held) until the process ends. Strings are
// UTF-8.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace winreg {

using LONG = int32_t;
using DWORD = uint32_t;
using BYTE = uint8_t;
using REGSAM = uint32_t;
// A key handle: one of the root keys below, or a number handed out by
// RegOpenKeyEx / RegCreateKeyEx.
using HKEY = uint32_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
inline constexpr LONG ERROR_REGISTRY_CORRUPT = 1015;
inline constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;
inline constexpr LONG ERROR_KEY_DELETED = 1018;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_DWORD = 4;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Opens hKey\subKey (an empty subKey opens hKey again). The handle allows
// what samDesired asks: querying values needs KEY_QUERY_VALUE, setting and
// deleting them KEY_SET_VALUE, creating subkeys KEY_CREATE_SUB_KEY, listing
// them KEY_ENUMERATE_SUB_KEYS; anything else answers ERROR_ACCESS_DENIED.
LONG RegOpenKeyEx(HKEY hKey, std::string_view subKey, DWORD options, REGSAM samDesired, HKEY* result);
// Opens hKey\subKey, creating it and any missing parent first.
// disposition (may be null) gets REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
LONG RegCreateKeyEx(HKEY hKey, std::string_view subKey, DWORD options, REGSAM samDesired, HKEY* result,
                    DWORD* disposition);
LONG RegCloseKey(HKEY hKey);

// The value's type and data. An empty name is the key's default value.
// With data null, only the type and the size (*cbData) come back; a buffer
// smaller than the value answers ERROR_MORE_DATA with the size needed. A
// REG_SZ value comes back with its terminating NUL (counted in *cbData), a
// REG_DWORD as four little-endian bytes.
LONG RegQueryValueEx(HKEY hKey, std::string_view valueName, DWORD* type, BYTE* data, DWORD* cbData);
// Stores REG_SZ (the text up to its first NUL) or REG_DWORD (exactly four
// bytes); other types answer ERROR_INVALID_PARAMETER.
LONG RegSetValueEx(HKEY hKey, std::string_view valueName, DWORD type, const BYTE* data, DWORD cbData);
LONG RegDeleteValue(HKEY hKey, std::string_view valueName);
// Deletes a key without subkeys (ERROR_ACCESS_DENIED when it has some).
LONG RegDeleteKey(HKEY hKey, std::string_view subKey);
// Deletes a key with all its subkeys and values.
LONG RegDeleteTree(HKEY hKey, std::string_view subKey);

// The index-th subkey (sorted by name, without case) or value (in the order
// they were created); ERROR_NO_MORE_ITEMS past the last.
LONG RegEnumKeyEx(HKEY hKey, DWORD index, std::string* name);
LONG RegEnumValue(HKEY hKey, DWORD index, std::string* valueName, DWORD* type, BYTE* data, DWORD* cbData);

// Why the registry file cannot be used (damaged, cut short, unreadable), or
// nothing when it is fine or does not exist yet.
std::optional<std::string> StoreProblem();

// Why no change can be saved although the file reads well (its folder may
// only be read, a read-only or full disk), found by trying what a write does
// first; nothing when changes can be saved. For this process's own file.
std::optional<std::string> StoreWriteProblem();

// From now on, for this process: when the file cannot be read or written,
// HKEY_CLASSES_ROOT lives in memory until the process ends, so that the
// components it registers at its start can still be created. Off unless
// asked for: a registration tool must fail, not register for its own
// lifetime only.
void KeepClassesRootInMemory();

// Called, on the thread that made it, after every change this process writes
// to the registry file; outside every lock, so a listener may use the registry.
using ChangeListener = std::function<void()>;
int AddChangeListener(ChangeListener listener);
void RemoveChangeListener(int id);

// Where the calls above go. One process keeps one store: a shared library
// that links its own copy of this code is handed the host's store before its
// first call (platform/com does that), so that host and library share key
// handles, the cached file and its lock. Each member is the call of the same
// name above.
class Store {
public:
    virtual ~Store() = default;
    virtual LONG OpenKeyEx(HKEY hKey, std::string_view subKey, DWORD options, REGSAM samDesired, HKEY* result) = 0;
    virtual LONG CreateKeyEx(HKEY hKey, std::string_view subKey, DWORD options, REGSAM samDesired, HKEY* result,
                             DWORD* disposition) = 0;
    virtual LONG CloseKey(HKEY hKey) = 0;
    virtual LONG QueryValueEx(HKEY hKey, std::string_view valueName, DWORD* type, BYTE* data, DWORD* cbData) = 0;
    virtual LONG SetValueEx(HKEY hKey, std::string_view valueName, DWORD type, const BYTE* data, DWORD cbData) = 0;
    virtual LONG DeleteValue(HKEY hKey, std::string_view valueName) = 0;
    virtual LONG DeleteKey(HKEY hKey, std::string_view subKey) = 0;
    virtual LONG DeleteTree(HKEY hKey, std::string_view subKey) = 0;
    virtual LONG EnumKeyEx(HKEY hKey, DWORD index, std::string* name) = 0;
    virtual LONG EnumValue(HKEY hKey, DWORD index, std::string* valueName, DWORD* type, BYTE* data,
                           DWORD* cbData) = 0;
    virtual std::optional<std::string> Problem() = 0;
    virtual int AddChangeListener(ChangeListener listener) = 0;
    virtual void RemoveChangeListener(int id) = 0;
};

// This copy's own store: the file vb::AppPaths::RegistryFile() names.
Store& OwnStore();
// The store the calls go to: the one set with SetStore, else OwnStore().
Store& CurrentStore();
// Sends every call of this copy to store; nullptr goes back to OwnStore().
// The store must outlive its use.
void SetStore(Store* store);

} // namespace winreg
