// Event sounds: played at once, or on a short-lived thread of their own
// that tells the button (SoundDone) when the sound has ended.

#include "buttonlib/control/CLumvexCtrl.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace {

// The sound index of an event code; -1 for a code without a sound.
int soundIndex(int code)
{
    switch (code) {
    case 1: return 0;
    case 2: return 1;
    case 4: return 2;
    case 5: return 3;
    default: return -1;
    }
}

// Counted from before a thread starts until it has posted its message.
std::atomic<int> g_soundThreads{0};

} // namespace

void CLumvexCtrl::PlayEventSound(int code)
{
    if (!AmbientUserMode())
        return;
    const int index = soundIndex(code);
    if (index < 0 || !m_bSoundEnabled[std::size_t(index)])
        return;
    if (!m_bSoundThread[std::size_t(index)]) {
        soundState(short(index)).sound->Play(FALSE);
        return;
    }
    // One threaded sound at a time.
    if (!m_bSoundThreadRunning)
        StartSoundThread(code);
}

BOOL CLumvexCtrl::StartSoundThread(int code)
{
    const int index = soundIndex(code);
    if (index < 0 || !m_hWnd)
        return FALSE;
    const CSound& sound = *soundState(short(index)).sound;
    // The thread gets its own copy: the button's sound may be replaced or
    // freed while it plays.
    auto params = std::make_unique<SoundThreadParams>();
    params->window = m_hWnd;
    const BYTE* bytes = sound.GetData();
    if (bytes)
        params->data.assign(bytes, bytes + sound.GetByteCount());
    params->index = index;
    ++g_soundThreads;
    try {
        std::thread(&CLumvexCtrl::SoundThreadProc, std::move(params)).detach();
    } catch (const std::system_error&) {
        --g_soundThreads;
        return FALSE;
    }
    m_bSoundThreadRunning = TRUE;
    return TRUE;
}

int CLumvexCtrl::SoundThreadProc(std::unique_ptr<SoundThreadParams> params)
{
    {
        CSound sound;
        if (!params->data.empty())
            sound.SetRawData(params->data.data(), int(params->data.size()));
        sound.Play(TRUE);
    }
    // Dropped when the window has gone meanwhile.
    win::PostMessage(params->window, UM_SOUND_DONE, win::WPARAM(params->index), 0);
    --g_soundThreads;
    return 1;
}

int CLumvexCtrl::SoundThreadsRunning()
{
    return g_soundThreads.load();
}

void CLumvexCtrl::onSoundDone(int index)
{
    FireEvent(DISPID_EVT_SOUNDDONE, {com::EventArg::I2(short(index))});
    m_bSoundThreadRunning = FALSE;
}
