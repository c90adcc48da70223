#include "platform/mfc/GlobalMemory.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

struct GlobalBlock {
    std::unique_ptr<BYTE[]> data;
    SIZE_T size = 0;
    UINT locks = 0;
};

namespace {

// Handles are checked against the live set so that a stale or foreign handle
// fails instead of touching freed memory. The sound thread allocates too.
struct Registry {
    std::mutex mutex;
    std::unordered_map<GlobalBlock*, std::unique_ptr<GlobalBlock>> blocks;
};

Registry& registry()
{
    static Registry r;
    return r;
}

GlobalBlock* find(Registry& r, HGLOBAL h)
{
    const auto it = r.blocks.find(h);
    return it == r.blocks.end() ? nullptr : it->second.get();
}

std::unique_ptr<BYTE[]> zeroed(SIZE_T bytes)
{
    try {
        // At least one byte, so that a zero-size block still has an address.
        return std::make_unique<BYTE[]>(bytes ? bytes : 1);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace

HGLOBAL GlobalAlloc(UINT /*flags*/, SIZE_T bytes)
{
    if (bytes > kMaxGlobalBlock)
        return nullptr;
    auto block = std::make_unique<GlobalBlock>();
    block->data = zeroed(bytes);
    if (!block->data)
        return nullptr;
    block->size = bytes;
    GlobalBlock* h = block.get();
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.blocks.emplace(h, std::move(block));
    return h;
}

void* GlobalLock(HGLOBAL h)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    GlobalBlock* b = find(r, h);
    if (!b)
        return nullptr;
    ++b->locks;
    return b->data.get();
}

BOOL GlobalUnlock(HGLOBAL h)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    GlobalBlock* b = find(r, h);
    if (!b || b->locks == 0)
        return FALSE;
    --b->locks;
    return b->locks > 0 ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL h)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    GlobalBlock* b = find(r, h);
    return b ? b->size : 0;
}

HGLOBAL GlobalReAlloc(HGLOBAL h, SIZE_T bytes, UINT /*flags*/)
{
    if (bytes > kMaxGlobalBlock)
        return nullptr;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    GlobalBlock* b = find(r, h);
    if (!b)
        return nullptr;
    auto data = zeroed(bytes);
    if (!data)
        return nullptr;
    std::memcpy(data.get(), b->data.get(), bytes < b->size ? bytes : b->size);
    b->data = std::move(data);
    b->size = bytes;
    return h;
}

HGLOBAL GlobalFree(HGLOBAL h)
{
    if (!h)
        return nullptr;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.blocks.erase(h) ? nullptr : h;
}

SIZE_T GlobalBlockCount()
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.blocks.size();
}
