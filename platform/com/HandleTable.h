#pragma once
// 32-bit handles across the automation boundary. A bitmap, cursor or window
// of ours is an object in memory, too wide for the 32-bit OLE_HANDLE a
// caller passes; the table gives each one a number and turns the number back
// into the object. A handle that was released, or one of another kind, is
// refused. One process has one table: a library is handed the host's.

#include <cstdint>
#include <map>
#include <mutex>

using OLE_HANDLE = std::uint32_t;

namespace com {

enum class HandleKind { Bitmap, Cursor, Window };

class HandleTable {
public:
    virtual ~HandleTable() = default;
    // A new handle for object (never 0, positive as a 32-bit signed value,
    // and not given to anything else while it lives).
    virtual OLE_HANDLE Add(HandleKind kind, void* object) = 0;
    // The object, or null for a handle that is unknown, released or of another kind.
    virtual void* Find(OLE_HANDLE handle, HandleKind kind) = 0;
    // False when the handle is not in the table.
    virtual bool Remove(OLE_HANDLE handle) = 0;
};

// The table of this copy of the layer.
class OwnHandleTable final : public HandleTable {
public:
    OLE_HANDLE Add(HandleKind kind, void* object) override;
    void* Find(OLE_HANDLE handle, HandleKind kind) override;
    bool Remove(OLE_HANDLE handle) override;

private:
    struct Entry {
        HandleKind kind;
        void* object;
    };
    std::mutex mutex_;
    std::map<OLE_HANDLE, Entry> entries_;
    OLE_HANDLE next_ = 1;
};

// The table handles go to: the one set with SetHandleTable, else this copy's own.
HandleTable& Handles();
// nullptr goes back to this copy's own table. The table must outlive its use.
void SetHandleTable(HandleTable* table);

} // namespace com
