#pragma once
// IStream: a seekable byte stream, over memory or over a file. A component
// saves and loads its persisted state through one.
//
// A file stream works on a copy of the file in memory: writes change the
// copy, and Commit (or the last Release after a write) replaces the file
// through a temporary file renamed over it, so a crash leaves the old file
// or the new one, never a mixture. Revert drops what was written since the
// last Commit.

#include "platform/com/Bstr.h"
#include "platform/com/Unknown.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

// Seek origins.
inline constexpr DWORD STREAM_SEEK_SET = 0;
inline constexpr DWORD STREAM_SEEK_CUR = 1;
inline constexpr DWORD STREAM_SEEK_END = 2;

// Modes of a file stream.
inline constexpr DWORD STGM_READ = 0x0;
inline constexpr DWORD STGM_WRITE = 0x1;
inline constexpr DWORD STGM_READWRITE = 0x2;
inline constexpr DWORD STGM_CREATE = 0x1000;

inline constexpr DWORD STGTY_STREAM = 2;
inline constexpr DWORD STATFLAG_NONAME = 1;

struct STATSTG {
    LPOLESTR pwcsName; // always null: streams here report no name
    DWORD type;
    std::uint64_t cbSize;
    DWORD grfMode;
};

struct ISequentialStream : IUnknown {
    static constexpr IID kIid = com::GuidLiteral("{0C733A30-2A1C-11CE-ADE5-00AA0044773D}");
    // Reads up to size bytes; *read (may be null) gets how many. Reading at
    // the end reads nothing and succeeds.
    virtual HRESULT Read(void* buffer, ULONG size, ULONG* read) = 0;
    virtual HRESULT Write(const void* buffer, ULONG size, ULONG* written) = 0;

protected:
    ~ISequentialStream() = default;
};

struct IStream : ISequentialStream {
    static constexpr IID kIid = com::GuidLiteral("{0000000C-0000-0000-C000-000000000046}");
    virtual HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* newPosition) = 0;
    virtual HRESULT SetSize(std::uint64_t size) = 0;
    virtual HRESULT CopyTo(IStream* target, std::uint64_t size, std::uint64_t* read, std::uint64_t* written) = 0;
    virtual HRESULT Commit(DWORD flags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT LockRegion(std::uint64_t offset, std::uint64_t size, DWORD type) = 0;
    virtual HRESULT UnlockRegion(std::uint64_t offset, std::uint64_t size, DWORD type) = 0;
    virtual HRESULT Stat(STATSTG* stat, DWORD flags) = 0;
    // A second stream over the same bytes with a seek position of its own.
    virtual HRESULT Clone(IStream** copy) = 0;

protected:
    ~IStream() = default;
};

inline constexpr const IID& IID_IStream = IStream::kIid;

namespace com {

// A stream over a copy of bytes in memory, positioned at the start.
HRESULT CreateStreamOnMemory(std::string_view bytes, IStream** stream);
// A stream over a file. STGM_READ: an existing file, read only; STGM_WRITE or
// STGM_READWRITE: an existing file to change; with STGM_CREATE the stream
// starts empty and the file need not exist. STG_E_FILENOTFOUND for a missing
// file, STG_E_ACCESSDENIED for one that cannot be read.
HRESULT CreateStreamOnFile(const std::filesystem::path& path, DWORD mode, IStream** stream);

} // namespace com
