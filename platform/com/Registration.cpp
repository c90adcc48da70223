#include "platform/com/Registration.h"

#include "platform/registry/Registry.h"

#include <cstdio>
#include <vector>

namespace com {

namespace {

using namespace winreg;

bool validProgId(std::string_view progId)
{
    return progId.find('\\') == std::string_view::npos;
}

} // namespace

std::string ClassKey(REFCLSID clsid)
{
    return "CLSID\\" + GuidText(clsid);
}

HRESULT SetClassesRootValue(std::string_view keyPath, std::string_view valueName, std::string_view text)
{
    HKEY key = 0;
    if (RegCreateKeyEx(HKEY_CLASSES_ROOT, keyPath, REG_OPTION_NON_VOLATILE, KEY_WRITE, &key, nullptr) !=
        ERROR_SUCCESS)
        return REGDB_E_WRITEREGDB;
    const std::string bytes(text);
    const LONG rc = RegSetValueEx(key, valueName, REG_SZ, reinterpret_cast<const winreg::BYTE*>(bytes.c_str()),
                                  static_cast<winreg::DWORD>(bytes.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? S_OK : REGDB_E_WRITEREGDB;
}

std::optional<std::string> ClassesRootValue(std::string_view keyPath, std::string_view valueName)
{
    HKEY key = 0;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    winreg::DWORD type = REG_NONE;
    winreg::DWORD size = 0;
    std::optional<std::string> text;
    if (RegQueryValueEx(key, valueName, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ && size > 0) {
        std::vector<winreg::BYTE> bytes(size);
        if (RegQueryValueEx(key, valueName, &type, bytes.data(), &size) == ERROR_SUCCESS && type == REG_SZ)
            text = std::string(bytes.begin(), bytes.begin() + (size > 0 ? size - 1 : 0));
    }
    RegCloseKey(key);
    return text;
}

HRESULT DeleteClassesRootKey(std::string_view keyPath)
{
    const LONG rc = RegDeleteTree(HKEY_CLASSES_ROOT, keyPath);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? S_OK : REGDB_E_WRITEREGDB;
}

HRESULT RegisterClass(const ClassRegistration& r)
{
    if (!validProgId(r.progId) || r.server.empty())
        return E_INVALIDARG;
    const std::string classKey = ClassKey(r.clsid);
    const std::string clsidText = GuidText(r.clsid);
    // The ProgID's keys first and the server path last: a class whose
    // registration stopped half-way has no server a loader would try.
    HRESULT hr = S_OK;
    if (!r.progId.empty()) {
        if (FAILED(hr = SetClassesRootValue(r.progId, {}, r.name)) ||
            FAILED(hr = SetClassesRootValue(r.progId + "\\CLSID", {}, clsidText)))
            return hr;
    }
    if (FAILED(hr = SetClassesRootValue(classKey, {}, r.name)))
        return hr;
    if (!r.progId.empty() && FAILED(hr = SetClassesRootValue(classKey + "\\ProgID", {}, r.progId)))
        return hr;
    const std::string inproc = classKey + "\\InprocServer32";
    if (FAILED(hr = SetClassesRootValue(inproc, "ThreadingModel", r.threadingModel)))
        return hr;
    return SetClassesRootValue(inproc, {}, r.server.string());
}

HRESULT UnregisterClass(REFCLSID clsid, std::string_view progId)
{
    if (!validProgId(progId))
        return E_INVALIDARG;
    HRESULT hr = DeleteClassesRootKey(ClassKey(clsid));
    if (!progId.empty()) {
        const std::string progKey(progId);
        const std::optional<std::string> owner = ClassesRootValue(progKey + "\\CLSID");
        const std::optional<GUID> ownerId = owner ? ParseGuid(*owner) : std::nullopt;
        if (!owner || (ownerId && *ownerId == clsid)) {
            if (const HRESULT rc = DeleteClassesRootKey(progKey); FAILED(rc))
                hr = rc;
        }
    }
    return hr;
}

namespace {

std::string typeLibVersionKey(REFGUID libid, WORD major, WORD minor)
{
    return "TypeLib\\" + GuidText(libid) + "\\" + std::to_string(major) + "." + std::to_string(minor);
}

std::string hexText(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%x", unsigned(value));
    return text;
}

} // namespace

HRESULT RegisterTypeLib(REFGUID libid, WORD major, WORD minor, DWORD lcid, std::string_view name,
                        const std::filesystem::path& file)
{
    if (file.empty())
        return E_INVALIDARG;
    const std::string key = typeLibVersionKey(libid, major, minor);
    HRESULT hr = S_OK;
    if (FAILED(hr = SetClassesRootValue(key, {}, name)) || FAILED(hr = SetClassesRootValue(key + "\\FLAGS", {}, "0")) ||
        FAILED(hr = SetClassesRootValue(key + "\\HELPDIR", {}, file.parent_path().string())))
        return hr;
    return SetClassesRootValue(key + "\\" + hexText(lcid) + "\\linux", {}, file.string());
}

HRESULT UnregisterTypeLib(REFGUID libid, WORD major, WORD minor, DWORD)
{
    if (const HRESULT hr = DeleteClassesRootKey(typeLibVersionKey(libid, major, minor)); FAILED(hr))
        return hr;
    // The library's own key goes with its last version.
    using namespace winreg;
    const std::string libKey = "TypeLib\\" + GuidText(libid);
    HKEY key = 0;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, libKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return S_OK;
    std::string first;
    const bool empty = RegEnumKeyEx(key, 0, &first) == ERROR_NO_MORE_ITEMS;
    RegCloseKey(key);
    return empty ? DeleteClassesRootKey(libKey) : S_OK;
}

HRESULT RegisterCategory(REFGUID catid, DWORD lcid, std::string_view description)
{
    constexpr std::size_t kMaxDescription = 127;
    return SetClassesRootValue("Component Categories\\" + GuidText(catid), hexText(lcid),
                               description.substr(0, kMaxDescription));
}

HRESULT RegisterClassImplCategory(REFCLSID clsid, REFGUID catid)
{
    using namespace winreg;
    HKEY key = 0;
    if (RegCreateKeyEx(HKEY_CLASSES_ROOT, ClassKey(clsid) + "\\Implemented Categories\\" + GuidText(catid),
                       REG_OPTION_NON_VOLATILE, KEY_WRITE, &key, nullptr) != ERROR_SUCCESS)
        return REGDB_E_WRITEREGDB;
    RegCloseKey(key);
    return S_OK;
}

} // namespace com
