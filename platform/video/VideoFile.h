#pragma once
// The video-file service: opens an AVI file, tells its size and its video
// stream's rate and length, and hands out the stream's frames decoded as
// packed device-independent bitmaps (40-byte header, colour table, bottom-up
// rows). The media objects bind it by name, like a system library:
// LoadLibrary("AVIFIL32.DLL"), then GetProcAddress for each entry point.

#include "platform/com/HResult.h"
#include "platform/mfc/WinTypes.h"

#include <string>

namespace video {

struct AviFile;
struct AviStream;
struct AviFrameReader;
using PAVIFILE = AviFile*;
using PAVISTREAM = AviStream*;
using PGETFRAME = AviFrameReader*;

inline constexpr HRESULT AVIERR_OK = 0;
inline constexpr HRESULT AVIERR_BADFORMAT = HRESULT(0x80044066u);
inline constexpr HRESULT AVIERR_MEMORY = HRESULT(0x80044067u);
inline constexpr HRESULT AVIERR_FILEREAD = HRESULT(0x8004406Du);
inline constexpr HRESULT AVIERR_FILEOPEN = HRESULT(0x8004406Fu);
inline constexpr HRESULT AVIERR_NODATA = HRESULT(0x80044071u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = HRESULT(0x80040154u);

inline constexpr UINT OF_READ = 0;
// "vids"
inline constexpr DWORD streamtypeVIDEO = 0x73646976;

// The fields the service fills; the others stay 0.
struct AVIFILEINFO {
    DWORD dwMaxBytesPerSec = 0, dwFlags = 0, dwCaps = 0, dwStreams = 0, dwSuggestedBufferSize = 0;
    DWORD dwWidth = 0, dwHeight = 0; // from the file's "avih" header
    DWORD dwScale = 0, dwRate = 0, dwLength = 0, dwEditCount = 0;
    char szFileType[64] = {};
};
static_assert(sizeof(AVIFILEINFO) == 108);

struct AVISTREAMINFO {
    DWORD fccType = 0, fccHandler = 0, dwFlags = 0, dwCaps = 0;
    WORD wPriority = 0, wLanguage = 0;
    DWORD dwScale = 0, dwRate = 0; // frames per second = dwRate / dwScale
    DWORD dwStart = 0, dwLength = 0; // dwLength: the frame count
    DWORD dwInitialFrames = 0, dwSuggestedBufferSize = 0, dwQuality = 0, dwSampleSize = 0;
    LONG rcLeft = 0, rcTop = 0, rcRight = 0, rcBottom = 0;
    DWORD dwEditCount = 0, dwFormatChangeCount = 0;
    char szName[64] = {};
};
static_assert(sizeof(AVISTREAMINFO) == 140);

using AVIFileInitProc = void (*)();
using AVIFileExitProc = void (*)();
using AVIFileOpenProc = HRESULT (*)(PAVIFILE* ppfile, const char* path, UINT mode, void* handler);
using AVIFileInfoProc = HRESULT (*)(PAVIFILE pfile, AVIFILEINFO* info, LONG size);
using AVIFileReleaseProc = ULONG (*)(PAVIFILE pfile);
using AVIFileGetStreamProc = HRESULT (*)(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD type, LONG param);
using AVIStreamInfoProc = HRESULT (*)(PAVISTREAM pavi, AVISTREAMINFO* info, LONG size);
using AVIStreamReleaseProc = ULONG (*)(PAVISTREAM pavi);
// format null: *size is set to the bytes the format needs.
using AVIStreamReadFormatProc = HRESULT (*)(PAVISTREAM pavi, LONG pos, void* format, LONG* size);
// wanted must be null: frames come in the format AVIStreamReadFormat gives.
using AVIStreamGetFrameOpenProc = PGETFRAME (*)(PAVISTREAM pavi, const void* wanted);
// The packed DIB of frame pos, owned by the reader until its next call; null
// when the frame cannot be had.
using AVIStreamGetFrameProc = void* (*)(PGETFRAME pg, LONG pos);
using AVIStreamGetFrameCloseProc = HRESULT (*)(PGETFRAME pg);

// --- Binding by name ----------------------------------------------------------
using HMODULE = void*;
using FARPROC = void (*)();

// The service's module for "AVIFIL32.DLL" (any case); null for other names
// or while a test hides it.
HMODULE LoadLibrary(const char* name);
// The entry point of that name, or null.
FARPROC GetProcAddress(HMODULE module, const char* name);
BOOL FreeLibrary(HMODULE module);

// --- Test hooks -----------------------------------------------------------------
namespace testing {
// Hides one entry point from GetProcAddress ("" shows them all again).
void HideEntryPoint(const std::string& name);
// Makes LoadLibrary fail.
void HideLibrary(bool hidden);
// Makes AVIFileOpen answer this code (AVIERR_OK: open files normally).
void ForceOpenResult(HRESULT hr);
} // namespace testing

} // namespace video
