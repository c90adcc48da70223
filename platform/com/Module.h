#pragma once
// The module object of one binary: how many of its objects live and how many
// locks its clients hold, which is what DllCanUnloadNow answers from. A
// library links its own copy of this layer, so each library counts its own.

#include "platform/com/HResult.h"

#include <atomic>
#include <filesystem>

namespace com {

class ModuleCounts {
public:
    void ObjectCreated() { objects_.fetch_add(1, std::memory_order_relaxed); }
    void ObjectDestroyed() { objects_.fetch_sub(1, std::memory_order_acq_rel); }
    void Lock() { locks_.fetch_add(1, std::memory_order_relaxed); }
    void Unlock() { locks_.fetch_sub(1, std::memory_order_acq_rel); }
    long Objects() const { return objects_.load(std::memory_order_acquire); }
    long Locks() const { return locks_.load(std::memory_order_acquire); }
    // S_OK when nothing lives and nothing is locked, else S_FALSE.
    HRESULT CanUnloadNow() const { return Objects() == 0 && Locks() == 0 ? S_OK : S_FALSE; }

private:
    std::atomic<long> objects_{0};
    std::atomic<long> locks_{0};
};

ModuleCounts& Module();

// The file this copy of the layer was linked into: the library's path inside
// a library, the program's in the program.
std::filesystem::path ThisModulePath();

} // namespace com
