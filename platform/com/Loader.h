#pragma once
// Creating components: a class id (or ProgID) is looked up in the registry
// store, its library loaded once per path with dlopen, handed the host's
// services, and asked for the class's factory. A loaded library stays mapped
// for the life of the process (Qt may still hold pointers into it, such as
// meta-objects and event filters): CoFreeUnusedLibraries only forgets the
// libraries that agree to be unloaded, and a later call loads them again.

#include "platform/com/ClassFactory.h"

#include <filesystem>
#include <string_view>

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

// REGDB_E_CLASSNOTREG when the class has no library registered,
// CO_E_DLLNOTFOUND when the library cannot be loaded, CO_E_ERRORINDLL when it
// lacks the entry points, CLASS_E_NOAGGREGATION for an outer object.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved, REFIID iid, void** object);
// The class id HKEY_CLASSES_ROOT\<progId>\CLSID names; REGDB_E_CLASSNOTREG
// when there is none, CO_E_CLASSSTRING when it is not a class id.
HRESULT CLSIDFromProgID(std::string_view progId, CLSID* clsid);
// Forgets every loaded library whose DllCanUnloadNow answers S_OK.
void CoFreeUnusedLibraries();

namespace com {

// Loads the library and calls its DllRegisterServer / DllUnregisterServer,
// whose result is returned; it writes into this process's registry store.
HRESULT RegisterServer(const std::filesystem::path& library);
HRESULT UnregisterServer(const std::filesystem::path& library);

// How many libraries the loader holds now.
std::size_t LoadedLibraryCount();

} // namespace com
