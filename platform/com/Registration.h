#pragma once
// The registry keys of components, under HKEY_CLASSES_ROOT of the registry
// store, and the helpers a library writes them with:
//
//   CLSID\{clsid}                  (default) the class's name
//   CLSID\{clsid}\InprocServer32   (default) the library's path, ThreadingModel
//   CLSID\{clsid}\ProgID           (default) the ProgID
//   <ProgID>                       (default) the class's name
//   <ProgID>\CLSID                 (default) {clsid}
//
// A control class has more (AfxOleRegisterControlClass of platform/mfc):
//
//   CLSID\{clsid}\Control                           (default) ""
//   CLSID\{clsid}\MiscStatus                        (default) "0"
//   CLSID\{clsid}\MiscStatus\1                      (default) the misc status, decimal
//   CLSID\{clsid}\TypeLib                           (default) {libid}
//   CLSID\{clsid}\Version                           (default) "<major>.<minor>"
//   CLSID\{clsid}\ToolboxBitmap32                   (default) "<library path>, <bitmap id>"
//   CLSID\{clsid}\Implemented Categories\{catid}    (a key without values)
//
// Type libraries (compiled into the library that registers them) and
// component categories:
//
//   TypeLib\{libid}\<major>.<minor>                  (default) the library's name
//   TypeLib\{libid}\<major>.<minor>\FLAGS            (default) "0"
//   TypeLib\{libid}\<major>.<minor>\HELPDIR          (default) the folder of the file
//   TypeLib\{libid}\<major>.<minor>\<lcid>\linux     (default) the file holding it
//   Component Categories\{catid}                     <lcid, hex> the description
//
// Removing a class removes its CLSID key with everything below it (its
// implemented categories too); category definitions stay, since other
// classes may use them.
//
// Failures are REGDB_E_WRITEREGDB (or REGDB_E_READREGDB) with nothing
// half-written that a reader would take for a registration.

#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace com {

struct ClassRegistration {
    CLSID clsid;
    std::string progId; // may be empty
    std::string name;
    std::filesystem::path server;
    std::string threadingModel = "Apartment";
};

// "CLSID\{...}"
std::string ClassKey(REFCLSID clsid);

HRESULT RegisterClass(const ClassRegistration& registration);
// Removes the class's key and its ProgID's key when that still names the
// class; a class that is not registered is no failure.
HRESULT UnregisterClass(REFCLSID clsid, std::string_view progId);

// The type library libid of that version and locale (lcid in hex under the
// version), held in file.
HRESULT RegisterTypeLib(REFGUID libid, WORD major, WORD minor, DWORD lcid, std::string_view name,
                        const std::filesystem::path& file);
// Removes that version of the library, and the library's key once no version
// is left; a library that is not registered is no failure.
HRESULT UnregisterTypeLib(REFGUID libid, WORD major, WORD minor, DWORD lcid);
// A category with its description for a locale (descriptions are cut at 127
// characters), and a class's entry as implementing it.
HRESULT RegisterCategory(REFGUID catid, DWORD lcid, std::string_view description);
HRESULT RegisterClassImplCategory(REFCLSID clsid, REFGUID catid);

// A text value of HKEY_CLASSES_ROOT\keyPath (created when missing); an empty
// name is the key's default value.
HRESULT SetClassesRootValue(std::string_view keyPath, std::string_view valueName, std::string_view text);
// The text value, or nothing when the key or the value is missing or not text.
std::optional<std::string> ClassesRootValue(std::string_view keyPath, std::string_view valueName = {});
// Removes HKEY_CLASSES_ROOT\keyPath with everything below it; a missing key
// is no failure.
HRESULT DeleteClassesRootKey(std::string_view keyPath);

} // namespace com
