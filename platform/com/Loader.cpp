#include "platform/com/Loader.h"

#include "platform/com/HostServices.h"
#include "platform/com/Registration.h"
#include "platform/com/Server.h"

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <string>

namespace {

struct Library {
    void* handle = nullptr;
    DllGetClassObjectFunc getClassObject = nullptr;
    DllCanUnloadNowFunc canUnloadNow = nullptr;
    DllRegisterServerFunc registerServer = nullptr;
    DllUnregisterServerFunc unregisterServer = nullptr;
};

struct LoaderState {
    // A library may create components of other libraries while it is being
    // loaded or asked for a factory, so the lock may be taken again.
    std::recursive_mutex mutex;
    std::map<std::string, Library> libraries; // by canonical path
};

LoaderState& state()
{
    static LoaderState s;
    return s;
}

template <class F>
F entryPoint(void* handle, const char* name)
{
    return reinterpret_cast<F>(dlsym(handle, name));
}

std::string canonicalPath(const std::filesystem::path& path)
{
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, ec);
    return (ec ? path : canonical).string();
}

// The library at path, loaded and handed this process's services on first use.
HRESULT load(const std::filesystem::path& path, Library& out)
{
    LoaderState& s = state();
    std::lock_guard lock(s.mutex);
    const std::string key = canonicalPath(path);
    if (const auto it = s.libraries.find(key); it != s.libraries.end()) {
        out = it->second;
        return S_OK;
    }
    void* handle = dlopen(key.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle)
        return CO_E_DLLNOTFOUND;
    Library lib;
    lib.handle = handle;
    lib.getClassObject = entryPoint<DllGetClassObjectFunc>(handle, com::kDllGetClassObject);
    lib.canUnloadNow = entryPoint<DllCanUnloadNowFunc>(handle, com::kDllCanUnloadNow);
    lib.registerServer = entryPoint<DllRegisterServerFunc>(handle, com::kDllRegisterServer);
    lib.unregisterServer = entryPoint<DllUnregisterServerFunc>(handle, com::kDllUnregisterServer);
    if (!lib.getClassObject || !lib.canUnloadNow) {
        dlclose(handle);
        return CO_E_ERRORINDLL;
    }
    // Before anything else is called in the library: from now on it keeps
    // its keys and handles where this process keeps them. A library built
    // without our layer has no such class and keeps its own.
    com::IHostServicesSink* sink = nullptr;
    if (SUCCEEDED(lib.getClassObject(com::CLSID_HostServicesSink, com::IHostServicesSink::kIid,
                                     reinterpret_cast<void**>(&sink))) &&
        sink) {
        const com::HostServices services = com::CurrentHostServices();
        sink->SetHostServices(&services);
        sink->Release();
    }
    s.libraries[key] = lib;
    out = lib;
    return S_OK;
}

// The library registered for the class.
HRESULT serverOf(REFCLSID clsid, std::filesystem::path& path)
{
    const std::optional<std::string> server = com::ClassesRootValue(com::ClassKey(clsid) + "\\InprocServer32");
    if (!server || server->empty())
        return REGDB_E_CLASSNOTREG;
    path = *server;
    return S_OK;
}

} // namespace

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* /*reserved*/, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!(context & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    std::filesystem::path path;
    if (const HRESULT hr = serverOf(clsid, path); FAILED(hr))
        return hr;
    Library lib;
    if (const HRESULT hr = load(path, lib); FAILED(hr))
        return hr;
    return lib.getClassObject(clsid, iid, object);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    IClassFactory* factory = nullptr;
    if (const HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory,
                                            reinterpret_cast<void**>(&factory));
        FAILED(hr))
        return hr;
    const HRESULT hr = factory->CreateInstance(nullptr, iid, object);
    factory->Release();
    return hr;
}

HRESULT CLSIDFromProgID(std::string_view progId, CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = GUID_NULL;
    if (progId.empty() || progId.find('\\') != std::string_view::npos)
        return CO_E_CLASSSTRING;
    const std::optional<std::string> text = com::ClassesRootValue(std::string(progId) + "\\CLSID");
    if (!text)
        return REGDB_E_CLASSNOTREG;
    const std::optional<GUID> id = com::ParseGuid(*text);
    if (!id)
        return CO_E_CLASSSTRING;
    *clsid = *id;
    return S_OK;
}

void CoFreeUnusedLibraries()
{
    LoaderState& s = state();
    std::lock_guard lock(s.mutex);
    for (auto it = s.libraries.begin(); it != s.libraries.end();) {
        if (it->second.canUnloadNow() == S_OK) {
            // Loaded with RTLD_NODELETE: the code stays mapped, only our
            // hold on it goes.
            dlclose(it->second.handle);
            it = s.libraries.erase(it);
        } else {
            ++it;
        }
    }
}

namespace com {

namespace {

HRESULT callRegistration(const std::filesystem::path& library, bool registering)
{
    Library lib;
    if (const HRESULT hr = load(library, lib); FAILED(hr))
        return hr;
    const auto call = registering ? lib.registerServer : lib.unregisterServer;
    return call ? call() : CO_E_ERRORINDLL;
}

} // namespace

HRESULT RegisterServer(const std::filesystem::path& library)
{
    return callRegistration(library, true);
}

HRESULT UnregisterServer(const std::filesystem::path& library)
{
    return callRegistration(library, false);
}

std::size_t LoadedLibraryCount()
{
    LoaderState& s = state();
    std::lock_guard lock(s.mutex);
    return s.libraries.size();
}

} // namespace com
