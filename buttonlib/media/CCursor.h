#pragma once
// The bytes of a cursor file (.cur or animated .ani), kept so that the
// cursor travels inside the control's properties, and the cursor handle
// made from them. The handle is made from the bytes in memory; no file is
// written for it. Stored form: DWORD byte count, then the file's bytes
// (nothing for an object without bytes).
//
// The handle belongs to whoever takes it (the control destroys it): the
// object only forgets it, also when it makes a new one.

#include "buttonlib/media/CBlob.h"

#include "platform/win/CursorService.h"

#include <vector>

class CCursor : public CBlob {
    DECLARE_SERIAL(CCursor)

public:
    CCursor();
    ~CCursor() override;

    void Empty();
    // Reads a whole cursor file and makes its handle; FALSE (and empty) for
    // an empty path, a file that does not open, a short read or bytes that
    // make no cursor.
    BOOL Load(LPCTSTR path);
    // A new handle from the held bytes (null when they make none); TRUE.
    BOOL MakeCursor();
    win::HCURSOR GetHandle() const { return hCursor; }
    BOOL HasData() const { return data.empty() ? FALSE : TRUE; }
    // Writes the bytes to a new file; TRUE without writing for an empty object.
    BOOL Save(LPCTSTR path);

    DWORD GetByteCount() const { return byteCount; }
    const BYTE* GetData() const { return data.empty() ? nullptr : data.data(); }
    BOOL IsLoaded() const { return loaded; }

    void Serialize(CArchive& ar) override;
    void SerializeEx(CArchive& ar, BOOL bCompressed) override;
    // A stored cursor whose bytes make no cursor still loads, without a handle.
    BOOL LoadData(CArchive& ar) override;
    BOOL StoreData(CArchive& ar) override;

private:
    win::HCURSOR hCursor = nullptr;
    DWORD byteCount = 0;
    std::vector<BYTE> data;
    BOOL loaded = FALSE;
};
