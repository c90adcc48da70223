#pragma once
// The bytes of a cursor file (.cur or animated .ani), kept so that the
// cursor travels inside the control's properties, and the cursor handle
// made from them. The handle is made from the bytes in memory; no file is
// written for it. Stored in the byte-count form.
//
// The handle belongs to whoever takes it (the control destroys it): the
// object only forgets it, also when it makes a new one.

#include "buttonlib/media/CFileBlob.h"

#include "platform/win/CursorService.h"

class CCursor : public CFileBlob {
    DECLARE_SERIAL(CCursor)

public:
    CCursor();
    ~CCursor() override;

    // Frees the bytes and forgets the handle.
    void Empty() override;
    // Reads a whole cursor file and makes its handle; FALSE (and empty) for
    // an empty path, a file that does not open, a short read or bytes that
    // make no cursor.
    BOOL Load(LPCTSTR path);
    // A new handle from the held bytes (null when they make none); TRUE.
    BOOL MakeCursor();
    win::HCURSOR GetHandle() const { return hCursor; }
    // The cursor of the module's cursor group resource of that id, its
    // best image chosen by size and depth. No bytes are held, so nothing
    // of it is stored. FALSE (and empty) when the resources make none.
    BOOL LoadFromResource(UINT id);

protected:
    // A stored cursor whose bytes make no cursor still loads, without a handle.
    void BytesLoaded() override;

private:
    win::HCURSOR hCursor = nullptr;
};
