#pragma once
// The part the media objects that hold a whole file's bytes (a sound, a
// cursor) share: the bytes and their count, the file they come from and go
// to, and the byte-count stored form (DWORD byte count, then the bytes;
// nothing at all for an object without bytes). A stored form that does not
// load raises CMemoryException and leaves the object empty.

#include "buttonlib/media/CBlob.h"

#include <vector>

class CFileBlob : public CBlob {
public:
    ~CFileBlob() override;

    // Frees the bytes; not loaded afterwards.
    virtual void Empty();
    virtual BOOL HasData() const { return data.empty() ? FALSE : TRUE; }
    // Writes the bytes to a new file; TRUE without writing for an empty object.
    BOOL Save(LPCTSTR path);

    DWORD GetByteCount() const { return byteCount; }
    const BYTE* GetData() const { return data.empty() ? nullptr : data.data(); }
    BOOL IsLoaded() const { return loaded; }

    void Serialize(CArchive& ar) override;
    void SerializeEx(CArchive& ar, BOOL bCompressed) override;
    BOOL LoadData(CArchive& ar) override;
    BOOL StoreData(CArchive& ar) override;

protected:
    // Empties, then reads a whole file; FALSE (and empty) for an empty path,
    // a file that does not open or a short read.
    BOOL ReadFile(LPCTSTR path);
    // Empties, then copies the bytes; FALSE (and empty) when they cannot be held.
    BOOL CopyBytes(const void* bytes, int size);
    // Called when bytes have come from a stored form.
    virtual void BytesLoaded() {}

    DWORD byteCount = 0;
    std::vector<BYTE> data;
    BOOL loaded = FALSE;
};
