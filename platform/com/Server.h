#pragma once
// What a component library is made of: its four exported entry points (the
// only symbols it exports) and the helpers they are written with.
//
//   const com::ServerClass kClasses[] = {{&CLSID_Widget, "Vendor.Widget.1", "Widget", &com::CreateObject<Widget>}};
//
//   COM_SERVER_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
//   { return com::ServerGetClassObject(kClasses, clsid, iid, object); }
//   COM_SERVER_EXPORT HRESULT DllCanUnloadNow() { return com::Module().CanUnloadNow(); }
//   COM_SERVER_EXPORT HRESULT DllRegisterServer() { return com::ServerRegister(kClasses); }
//   COM_SERVER_EXPORT HRESULT DllUnregisterServer() { return com::ServerUnregister(kClasses); }

#include "platform/com/ClassFactory.h"

#include <span>

#define COM_SERVER_EXPORT extern "C" __attribute__((visibility("default")))

// The four entry points; a library defines them with COM_SERVER_EXPORT.
COM_SERVER_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);
COM_SERVER_EXPORT HRESULT DllCanUnloadNow();
COM_SERVER_EXPORT HRESULT DllRegisterServer();
COM_SERVER_EXPORT HRESULT DllUnregisterServer();

// Their types, as the loader looks them up by name.
extern "C" {
using DllGetClassObjectFunc = HRESULT (*)(REFCLSID clsid, REFIID iid, void** object);
using DllCanUnloadNowFunc = HRESULT (*)();
using DllRegisterServerFunc = HRESULT (*)();
using DllUnregisterServerFunc = HRESULT (*)();
}

namespace com {

inline constexpr const char* kDllGetClassObject = "DllGetClassObject";
inline constexpr const char* kDllCanUnloadNow = "DllCanUnloadNow";
inline constexpr const char* kDllRegisterServer = "DllRegisterServer";
inline constexpr const char* kDllUnregisterServer = "DllUnregisterServer";

// A class the library makes.
struct ServerClass {
    const CLSID* clsid;
    const char* progId;
    const char* name;
    CreateFunction create;
};

// DllGetClassObject: a factory for one of classes, or the private class of
// the host's hand-over; CLASS_E_CLASSNOTAVAILABLE for any other.
HRESULT ServerGetClassObject(std::span<const ServerClass> classes, REFCLSID clsid, REFIID iid, void** object);
// DllRegisterServer and DllUnregisterServer for classes served from this
// library's own file; SELFREG_E_CLASS when a key cannot be written or removed.
HRESULT ServerRegister(std::span<const ServerClass> classes);
HRESULT ServerUnregister(std::span<const ServerClass> classes);

} // namespace com
