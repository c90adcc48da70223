#pragma once
// An animation the button plays in place of a still picture: the bytes of an
// AVI or GIF file, decoded into at most 100 frames and one frame delay.
// Stored in the byte-count form; loading tells AVI ('R') from GIF ('G') by
// the first byte. AVI files are decoded through the video-file service,
// bound by name per object; GIF files by our own decoder. Both decode from a
// private temporary copy that is removed whatever happens.

#include "buttonlib/media/CDIB.h"
#include "buttonlib/media/CFileBlob.h"

#include "platform/video/VideoFile.h"

#include <array>
#include <filesystem>

class CAnim : public CFileBlob {
    DECLARE_SERIAL(CAnim)

public:
    static constexpr int kMaxFrames = 100;
    static constexpr short kTypeAvi = 0;
    static constexpr short kTypeGif = 1;

    CAnim();
    ~CAnim() override;
    CAnim(const CAnim&) = delete;
    // Decodes a copy of the other's bytes.
    CAnim& operator=(const CAnim& other);

    // Frees the bytes; no frames afterwards.
    void Empty() override;
    // A path ending in "avi" or "gif" (any case). FALSE, and empty, when the
    // file cannot be read or decoded.
    BOOL Load(LPCTSTR path);
    // The bytes are always taken as an AVI file.
    BOOL LoadFromMemory(const void* bytes, int size);
    // Compressed bytes are used only when zlib gives a complete stream of
    // exactly unpackedSize bytes. FALSE, and empty, when they do not decode.
    BOOL SetData(const void* bytes, int size, BOOL compressed, DWORD unpackedSize);
    // TRUE for a GIF without looking at it; for an AVI, whether the video
    // service opens it, telling the user why not.
    BOOL CheckFile(LPCTSTR path, BOOL bGif);

    // The frame, or null when there is none at that index.
    CDIB* GetFrame(int index);
    // A device bitmap of the frame, owned by the caller; null (and
    // *bitCount 0) when there is none.
    HBITMAP GetFrameBitmap(int index, int* bitCount);
    int GetFrameCount() const { return frameCount; }
    // Milliseconds between frames.
    int GetFrameDelay() const { return frameDelay; }
    short GetType() const { return type; }

    BOOL LoadData(CArchive& ar) override;

private:
    struct AviProcs {
        video::AVIFileInitProc FileInit;
        video::AVIFileOpenProc FileOpen;
        video::AVIFileExitProc FileExit;
        video::AVIFileInfoProc FileInfo;
        video::AVIFileReleaseProc FileRelease;
        video::AVIFileGetStreamProc FileGetStream;
        video::AVIStreamInfoProc StreamInfo;
        video::AVIStreamReleaseProc StreamRelease;
        video::AVIStreamGetFrameCloseProc GetFrameClose;
        video::AVIStreamGetFrameProc GetFrame;
        video::AVIStreamGetFrameOpenProc GetFrameOpen;
        video::AVIStreamReadFormatProc ReadFormat;
    };

    // Decodes the held bytes as the type their first byte says; empties on
    // failure.
    BOOL decodeHeld();
    // Writes the held bytes to a temporary file and decodes it.
    BOOL decodeThroughFile();
    BOOL decodeGif(const std::filesystem::path& file);
    BOOL decodeAvi(const std::filesystem::path& file);
    BOOL copyAviFrame(int index, const BYTE* packed, const BITMAPINFOHEADER& format, const RGBQUAD* colors,
                      DWORD colorCount, int width, int height);
    BOOL bindAvi();

    short type = kTypeAvi;
    std::array<CDIB, kMaxFrames> frames;
    int frameCount = 0;
    int frameDelay = 0;
    video::HMODULE aviModule = nullptr;
    AviProcs avi{};
};
