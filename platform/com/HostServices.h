#pragma once
// What a host hands a library it loads. A library links its own copies of
// the platform libraries, with their own process-wide objects; before the
// first call into the library the loader gives it the host's, so that one
// process keeps one registry store and one handle table. The hand-over goes
// through a private class of the library reached by DllGetClassObject, so the
// four entry points stay the library's only exports.
//
// The block is versioned: a host fills what it knows and says how much that
// is; a library reads only the fields that the given size covers, so hosts
// and libraries of different ages still agree. New fields go at the end.

#include "platform/com/ClassFactory.h"
#include "platform/com/HandleTable.h"
#include "platform/com/Unknown.h"

#include <cstddef>
#include <cstdint>

namespace winreg {
class Store;
}

namespace com {

struct HostServices {
    std::uint32_t size = sizeof(HostServices);
    std::uint32_t version = 1;
    winreg::Store* registry = nullptr;
    HandleTable* handles = nullptr;
};

// The private class a library serves the hand-over through, and its interface.
inline constexpr CLSID CLSID_HostServicesSink = GuidLiteral("{6C2E0D61-4F0B-4B7E-9A3D-2F51C8E07A11}");

struct IHostServicesSink : IUnknown {
    static constexpr IID kIid = GuidLiteral("{6C2E0D62-4F0B-4B7E-9A3D-2F51C8E07A11}");
    // Takes the fields that services->size covers; the host keeps the block.
    virtual HRESULT SetHostServices(const HostServices* services) = 0;

protected:
    ~IHostServicesSink() = default;
};

// What this copy hands a library: the store and table it uses itself.
HostServices CurrentHostServices();

// Library side: uses the host's store and table from now on.
HRESULT ApplyHostServices(const HostServices& services);

// Library side: the class object of the hand-over, for DllGetClassObject.
HRESULT GetHostServicesSink(REFIID iid, void** object);

} // namespace com
