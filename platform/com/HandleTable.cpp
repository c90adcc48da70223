#include "platform/com/HandleTable.h"

#include <atomic>

namespace com {

namespace {

// Handles stay below 2^31 so that a caller holding them in a signed long
// sees them positive; after the last one numbering starts again at 1,
// skipping handles still in use.
constexpr OLE_HANDLE kLastHandle = 0x7FFFFFFF;

OwnHandleTable& ownTable()
{
    static OwnHandleTable table;
    return table;
}

std::atomic<HandleTable*> g_installed{nullptr};

} // namespace

OLE_HANDLE OwnHandleTable::Add(HandleKind kind, void* object)
{
    std::lock_guard lock(mutex_);
    while (entries_.contains(next_))
        next_ = next_ == kLastHandle ? 1 : next_ + 1;
    const OLE_HANDLE handle = next_;
    next_ = next_ == kLastHandle ? 1 : next_ + 1;
    entries_[handle] = Entry{kind, object};
    return handle;
}

void* OwnHandleTable::Find(OLE_HANDLE handle, HandleKind kind)
{
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(handle);
    if (it == entries_.end() || it->second.kind != kind)
        return nullptr;
    return it->second.object;
}

bool OwnHandleTable::Remove(OLE_HANDLE handle)
{
    std::lock_guard lock(mutex_);
    return entries_.erase(handle) > 0;
}

HandleTable& Handles()
{
    HandleTable* installed = g_installed.load(std::memory_order_acquire);
    return installed ? *installed : ownTable();
}

void SetHandleTable(HandleTable* table)
{
    g_installed.store(table == &ownTable() ? nullptr : table, std::memory_order_release);
}

} // namespace com
