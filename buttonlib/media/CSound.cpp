#include "buttonlib/media/CSound.h"

#include "buttonlib/media/Compression.h"

IMPLEMENT_SERIAL(CSound, CBlob, 0)

std::atomic<audio::SoundService*> g_hWinmm{nullptr};
std::atomic<bool> g_bSyncSoundPlaying{false};

CSound::CSound()
{
    if (!g_hWinmm)
        g_hWinmm = &audio::SoundService::Get();
    pPlaySound = g_hWinmm.load()->GetProcAddress("PlaySound");
    available = pPlaySound ? TRUE : FALSE;
}

// The service is never released: other objects and sound threads may
// still be using it.
CSound::~CSound() = default;

CSound& CSound::operator=(const CSound& other)
{
    if (&other != this) {
        Empty();
        SetData(other.GetData(), int(other.byteCount), FALSE, 0);
    }
    return *this;
}

BOOL CSound::SetRawData(const void* bytes, int size)
{
    return CopyBytes(bytes, size);
}

BOOL CSound::SetData(const void* bytes, int size, BOOL compressed, DWORD unpackedSize)
{
    if (!compressed)
        return SetRawData(bytes, size);
    std::vector<BYTE> unpacked;
    if (size < 0 || (size > 0 && !bytes) ||
        !media::UncompressExact(static_cast<const BYTE*>(bytes), std::size_t(size), unpackedSize, unpacked)) {
        Empty();
        return FALSE;
    }
    return SetRawData(unpacked.data(), int(unpacked.size()));
}

BOOL CSound::Load(LPCTSTR path)
{
    return ReadFile(path);
}

BOOL CSound::playSound(DWORD flags)
{
    if (!available)
        return FALSE;
    return pPlaySound(data, nullptr, flags);
}

BOOL CSound::Play(BOOL bSync)
{
    if (g_bSyncSoundPlaying || data.empty())
        return FALSE;
    if (!bSync)
        return playSound(audio::SND_MEMORY | audio::SND_ASYNC | audio::SND_NODEFAULT);
    // Claimed in one step, so two threads cannot both start a synchronous play.
    if (g_bSyncSoundPlaying.exchange(true))
        return FALSE;
    const BOOL result = playSound(audio::SND_MEMORY | audio::SND_NODEFAULT);
    g_bSyncSoundPlaying = false;
    return result;
}

void CSound::Stop()
{
    if (!data.empty() && available)
        pPlaySound({}, nullptr, audio::SND_PURGE);
}

BOOL CSound::IsPlaying()
{
    return FALSE;
}
