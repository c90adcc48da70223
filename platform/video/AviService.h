#pragma once
// The video-file service's entry points, over FFmpeg's AVI demuxer and its
// decoders. Reached through LoadLibrary/GetProcAddress (VideoFile.h).

#include "platform/video/VideoFile.h"

namespace video {

void AviFileInit();
void AviFileExit();
// AVIERR_FILEOPEN when the file does not open, AVIERR_FILEREAD when it
// cannot be read, AVIERR_BADFORMAT when it is no AVI file or has no video
// stream FFmpeg decodes, AVIERR_MEMORY when memory is short.
HRESULT AviFileOpen(PAVIFILE* ppfile, const char* path, UINT mode, void* handler);
HRESULT AviFileInfo(PAVIFILE pfile, AVIFILEINFO* info, LONG size);
ULONG AviFileRelease(PAVIFILE pfile);
HRESULT AviFileGetStream(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD type, LONG param);
HRESULT AviStreamInfo(PAVISTREAM pavi, AVISTREAMINFO* info, LONG size);
ULONG AviStreamRelease(PAVISTREAM pavi);
// BI_RGB, bottom-up: 8 bits with the stream's palette when the decoder
// gives paletted pictures, else 24 bits.
HRESULT AviStreamReadFormat(PAVISTREAM pavi, LONG pos, void* format, LONG* size);
PGETFRAME AviStreamGetFrameOpen(PAVISTREAM pavi, const void* wanted);
// Frames are the file's slots in presentation order; a slot the file skips
// (a dropped frame) gives the picture before it, and no later one moves.
// Reading forward decodes on; an earlier frame decodes again from the first.
void* AviStreamGetFrame(PGETFRAME pg, LONG pos);
HRESULT AviStreamGetFrameClose(PGETFRAME pg);

} // namespace video
