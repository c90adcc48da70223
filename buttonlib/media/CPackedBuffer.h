#pragma once
// The packed media buffer that downloads may come in: a 14-byte header
// ("QXZ" and a NUL, WORD inner format code, DWORD unpacked size, DWORD packed
// size P), then P bytes of zlib data. Attach reads one in place without
// copying; Pack builds an owned one; Save writes one to a file.

#include "platform/mfc/CFile.h"
#include "platform/mfc/WinTypes.h"

#include <vector>

class CPackedBuffer {
public:
    static constexpr int kHeaderSize = 14;

    // Inner format codes.
    enum : short {
        kFormatBmp = 0,
        kFormatImage = 1,
        kFormatAvi = 2,
        kFormatWav = 3,
        kFormatPacked = 4,
        kFormatGif = 5,
        kFormatJpg = 6,
    };

    CPackedBuffer();
    CPackedBuffer(const CPackedBuffer&) = delete;
    CPackedBuffer& operator=(const CPackedBuffer&) = delete;
    ~CPackedBuffer();

    // Reads the header of a caller's buffer, which must outlive this object.
    // FALSE, the object unchanged, for a buffer without the magic, shorter
    // than the header, or whose packed size reaches past its end.
    BOOL Attach(const BYTE* data, int size);
    // Builds an owned packed buffer of the bytes; FALSE when zlib fails.
    BOOL Pack(const BYTE* data, int size, short formatCode);
    // Writes header and packed data to a new file. FALSE with no data held
    // (no file is made) or on a file error (the old file is kept).
    BOOL Save(LPCTSTR path);
    // The write step alone, to an open file; raises CFileException.
    void Write(CFile& file) const;

    short GetFormatCode() const { return formatCode; }
    DWORD GetUnpackedSize() const { return unpackedSize; }
    DWORD GetPackedSize() const { return packedSize; }
    const BYTE* GetData() const { return data; }
    BOOL IsExternal() const { return external; }

private:
    void release();

    BOOL external = FALSE;
    short formatCode = -1;
    DWORD packedSize = 0;
    DWORD unpackedSize = 0;
    const BYTE* data = nullptr;
    std::vector<BYTE> owned;
};
