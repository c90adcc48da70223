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

// A text value of HKEY_CLASSES_ROOT\keyPath (created when missing); an empty
// name is the key's default value.
HRESULT SetClassesRootValue(std::string_view keyPath, std::string_view valueName, std::string_view text);
// The text value, or nothing when the key or the value is missing or not text.
std::optional<std::string> ClassesRootValue(std::string_view keyPath, std::string_view valueName = {});
// Removes HKEY_CLASSES_ROOT\keyPath with everything below it; a missing key
// is no failure.
HRESULT DeleteClassesRootKey(std::string_view keyPath);

} // namespace com
