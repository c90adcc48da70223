#include "buttonlib/media/CSound.h"

#include "buttonlib/media/Compression.h"

#include <new>

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
CSound::~CSound()
{
    Empty();
}

CSound& CSound::operator=(const CSound& other)
{
    if (&other != this) {
        Empty();
        SetData(other.GetData(), int(other.byteCount), FALSE, 0);
    }
    return *this;
}

void CSound::Empty()
{
    data.clear();
    data.shrink_to_fit();
    byteCount = 0;
    loaded = FALSE;
}

BOOL CSound::SetRawData(const void* bytes, int size)
{
    Empty();
    if (size < 0 || (size > 0 && !bytes))
        return FALSE;
    try {
        const auto* p = static_cast<const BYTE*>(bytes);
        data.assign(p, p + size);
    } catch (const std::bad_alloc&) {
        Empty();
        return FALSE;
    }
    byteCount = DWORD(size);
    loaded = TRUE;
    return TRUE;
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
    Empty();
    if (!ReadWholeFile(path, data))
        return FALSE;
    byteCount = DWORD(data.size());
    loaded = TRUE;
    return TRUE;
}

BOOL CSound::Save(LPCTSTR path)
{
    if (data.empty())
        return TRUE;
    return WriteNewFile(path, data);
}

void CSound::Serialize(CArchive& ar)
{
    SerializeEx(ar, FALSE);
}

void CSound::SerializeEx(CArchive& ar, BOOL bCompressed)
{
    try {
        SerializeByteCount(ar, bCompressed, byteCount);
    } catch (...) {
        // A stored sound that does not load leaves the object empty.
        if (ar.IsLoading())
            Empty();
        throw;
    }
}

BOOL CSound::LoadData(CArchive& ar)
{
    data.clear();
    if (!ReadExact(ar, byteCount, data)) {
        Empty();
        return FALSE;
    }
    loaded = TRUE;
    return TRUE;
}

BOOL CSound::StoreData(CArchive& ar)
{
    return data.empty() ? TRUE : WriteBytes(ar, data);
}

BOOL CSound::HasData()
{
    return data.empty() ? FALSE : TRUE;
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
