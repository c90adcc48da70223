#include "platform/win/Resources.h"

#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace win {

struct ResourceEntry {
    std::vector<BYTE> bytes;
};

namespace {

struct Table {
    std::mutex mutex;
    // Entries are never removed, so handles and locked bytes stay valid.
    std::map<std::pair<UINT, UINT>, std::unique_ptr<ResourceEntry>> entries;
};

Table& table()
{
    static Table t;
    return t;
}

} // namespace

bool RegisterResource(UINT type, UINT id, std::vector<BYTE> bytes)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto entry = std::make_unique<ResourceEntry>();
    entry->bytes = std::move(bytes);
    return t.entries.try_emplace({type, id}, std::move(entry)).second;
}

HRSRC FindResource(HMODULE, UINT id, UINT type)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.entries.find({type, id});
    return it == t.entries.end() ? nullptr : it->second.get();
}

HRESDATA LoadResource(HMODULE, HRSRC resource)
{
    return resource;
}

const void* LockResource(HRESDATA data)
{
    return data ? data->bytes.data() : nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC resource)
{
    return resource ? DWORD(resource->bytes.size()) : 0;
}

} // namespace win
