#pragma once
// The bytes of one RIFF WAVE file, played from memory by the process's
// sound service. Stored in the byte-count form; nothing checks that the
// bytes are a WAVE file.
//
// The service is found once per process and never released, so no object
// can outlive it. A play hands the service its own decoded copy of the
// sound, so emptying, replacing or destroying an object while its sound
// plays is safe.

#include "buttonlib/media/CFileBlob.h"

#include "platform/audio/SoundService.h"

#include <atomic>

// The sound service, null until the first sound object is made.
extern std::atomic<audio::SoundService*> g_hWinmm;
// True while any sound object plays synchronously; while it is set every
// other play in the process returns FALSE at once.
extern std::atomic<bool> g_bSyncSoundPlaying;

class CSound : public CFileBlob {
    DECLARE_SERIAL(CSound)

public:
    CSound();
    ~CSound() override;
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound& other);

    // Empties, then copies the bytes; FALSE (and empty) when they cannot be held.
    BOOL SetRawData(const void* bytes, int size);
    // Compressed bytes are kept only when zlib gives a complete stream of
    // exactly unpackedSize bytes; otherwise FALSE and the object is empty.
    BOOL SetData(const void* bytes, int size, BOOL compressed, DWORD unpackedSize);
    // Reads a whole file; FALSE (and empty) for an empty path, a file that
    // does not open or a short read.
    BOOL Load(LPCTSTR path);

    BOOL IsAvailable() const { return available; }

    // bSync: returns when the sound has ended (or was stopped).
    virtual BOOL Play(BOOL bSync);
    // Stops whatever sound the process plays.
    virtual void Stop();
    // Always FALSE: the service does not say.
    virtual BOOL IsPlaying();

private:
    BOOL playSound(DWORD flags);

    BOOL available = FALSE;
    audio::PlaySoundProc pPlaySound = nullptr;
};
