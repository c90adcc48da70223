#include "buttonlib/media/CPackedBuffer.h"

#include "buttonlib/media/Compression.h"

#include <cstring>

namespace {

DWORD readDword(const BYTE* p)
{
    return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

} // namespace

CPackedBuffer::CPackedBuffer() = default;

CPackedBuffer::~CPackedBuffer()
{
    release();
}

void CPackedBuffer::release()
{
    owned.clear();
    owned.shrink_to_fit();
    data = nullptr;
    external = FALSE;
    packedSize = unpackedSize = 0;
    formatCode = -1;
}

BOOL CPackedBuffer::Attach(const BYTE* buffer, int size)
{
    if (!buffer || size < kHeaderSize)
        return FALSE;
    if (std::memcmp(buffer, "QXZ", 4) != 0)
        return FALSE;
    const DWORD packed = readDword(buffer + 10);
    if (packed > DWORD(size - kHeaderSize))
        return FALSE;
    release();
    formatCode = short(buffer[4] | (buffer[5] << 8));
    unpackedSize = readDword(buffer + 6);
    packedSize = packed;
    external = TRUE;
    data = buffer + kHeaderSize;
    return TRUE;
}

BOOL CPackedBuffer::Pack(const BYTE* bytes, int size, short code)
{
    if (size < 0 || (size > 0 && !bytes))
        return FALSE;
    std::vector<BYTE> packed;
    if (!media::CompressBytes(bytes, std::size_t(size), packed))
        return FALSE;
    release();
    owned = std::move(packed);
    external = FALSE;
    formatCode = code;
    unpackedSize = DWORD(size);
    packedSize = DWORD(owned.size());
    data = owned.data();
    return TRUE;
}

void CPackedBuffer::Write(CFile& file) const
{
    BYTE header[kHeaderSize] = {'Q', 'X', 'Z', 0};
    header[4] = BYTE(formatCode);
    header[5] = BYTE(WORD(formatCode) >> 8);
    for (int i = 0; i < 4; ++i) {
        header[6 + i] = BYTE(unpackedSize >> (8 * i));
        header[10 + i] = BYTE(packedSize >> (8 * i));
    }
    file.Write(header, kHeaderSize);
    file.Write(data, packedSize);
}

BOOL CPackedBuffer::Save(LPCTSTR path)
{
    // Nothing held: no file at all rather than an empty one.
    if (!data)
        return FALSE;
    try {
        CFile file(path, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive);
        Write(file);
        file.Close();
        return TRUE;
    } catch (const CFileException&) {
        return FALSE;
    }
}
