#pragma once
// The bytes of one RIFF WAVE file, played from memory by the process's
// sound service. Stored form: DWORD byte count, then the bytes (nothing is
// stored for an empty object); nothing checks that they are a WAVE file.
//
// The service is found once per process and never released, so no object
// can outlive it. A play hands the service its own decoded copy of the
// sound, so emptying, replacing or destroying an object while its sound
// plays is safe.

#include "buttonlib/media/CBlob.h"

#include "platform/audio/SoundService.h"

#include <atomic>
#include <vector>

// The sound service, null until the first sound object is made.
extern std::atomic<audio::SoundService*> g_hWinmm;
// True while any sound object plays synchronously; while it is set every
// other play in the process returns FALSE at once.
extern std::atomic<bool> g_bSyncSoundPlaying;

class CSound : public CBlob {
    DECLARE_SERIAL(CSound)

public:
    CSound();
    ~CSound() override;
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound& other);

    void Empty();
    // Empties, then copies the bytes; FALSE (and empty) when they cannot be held.
    BOOL SetRawData(const void* bytes, int size);
    // Compressed bytes are kept only when zlib gives a complete stream of
    // exactly unpackedSize bytes; otherwise FALSE and the object is empty.
    BOOL SetData(const void* bytes, int size, BOOL compressed, DWORD unpackedSize);
    // Reads a whole file; FALSE (and empty) for an empty path, a file that
    // does not open or a short read.
    BOOL Load(LPCTSTR path);
    // Writes the bytes to a new file; TRUE without writing for an empty object.
    BOOL Save(LPCTSTR path);

    DWORD GetByteCount() const { return byteCount; }
    const BYTE* GetData() const { return data.empty() ? nullptr : data.data(); }
    BOOL IsAvailable() const { return available; }

    void Serialize(CArchive& ar) override;
    void SerializeEx(CArchive& ar, BOOL bCompressed) override;
    BOOL LoadData(CArchive& ar) override;
    BOOL StoreData(CArchive& ar) override;

    virtual BOOL HasData();
    // bSync: returns when the sound has ended (or was stopped).
    virtual BOOL Play(BOOL bSync);
    // Stops whatever sound the process plays.
    virtual void Stop();
    // Always FALSE: the service does not say.
    virtual BOOL IsPlaying();

private:
    BOOL playSound(DWORD flags);

    DWORD byteCount = 0;
    std::vector<BYTE> data;
    BOOL loaded = FALSE;
    BOOL available = FALSE;
    audio::PlaySoundProc pPlaySound = nullptr;
};
