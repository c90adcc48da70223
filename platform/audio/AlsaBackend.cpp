#include "platform/audio/AlsaBackend.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>

#include <algorithm>

namespace audio {

namespace {

void silentAlsaError(const char*, int, const char*, int, const char*, ...)
{
}

// Output latency asked of the device: short enough that a stop is heard at
// once, long enough not to underrun on a busy machine.
constexpr unsigned kLatencyUs = 100000;
// Frames written per call, so that a stop is seen between writes.
constexpr unsigned kWritesPerSecond = 50;
constexpr int kMaxWriteErrors = 8;

template <class F>
bool bind(void* library, const char* name, F*& entry)
{
    entry = reinterpret_cast<F*>(dlsym(library, name));
    return entry != nullptr;
}

} // namespace

struct AlsaBackend::Api {
    decltype(&snd_pcm_open) open = nullptr;
    decltype(&snd_pcm_nonblock) nonblock = nullptr;
    decltype(&snd_pcm_set_params) setParams = nullptr;
    decltype(&snd_pcm_writei) writei = nullptr;
    decltype(&snd_pcm_recover) recover = nullptr;
    decltype(&snd_pcm_drain) drain = nullptr;
    decltype(&snd_pcm_drop) drop = nullptr;
    decltype(&snd_pcm_close) close = nullptr;
    decltype(&snd_lib_error_set_handler) setErrorHandler = nullptr;
};

AlsaBackend::AlsaBackend(std::string library, std::string device) : device_(std::move(device))
{
    // The library stays loaded for the life of the process: it keeps global
    // configuration that later opens share.
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return;
    auto api = std::make_unique<Api>();
    const bool complete = bind(handle, "snd_pcm_open", api->open) && bind(handle, "snd_pcm_nonblock", api->nonblock) &&
                          bind(handle, "snd_pcm_set_params", api->setParams) &&
                          bind(handle, "snd_pcm_writei", api->writei) && bind(handle, "snd_pcm_recover", api->recover) &&
                          bind(handle, "snd_pcm_drain", api->drain) && bind(handle, "snd_pcm_drop", api->drop) &&
                          bind(handle, "snd_pcm_close", api->close) &&
                          bind(handle, "snd_lib_error_set_handler", api->setErrorHandler);
    if (!complete)
        return;
    api->setErrorHandler(&silentAlsaError);
    api_ = std::move(api);
}

AlsaBackend::~AlsaBackend() = default;

bool AlsaBackend::Play(const PcmSound& sound, StopSignal& stop)
{
    if (!api_)
        return false;
    snd_pcm_t* pcm = nullptr;
    // Opened without blocking: a device held by another program fails at
    // once instead of holding the sound thread.
    if (api_->open(&pcm, device_.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return false;
    if (api_->nonblock(pcm, 0) < 0 ||
        api_->setParams(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, sound.channels, sound.sampleRate, 1,
                        kLatencyUs) < 0) {
        api_->close(pcm);
        return false;
    }

    const std::size_t frames = sound.Frames();
    const std::size_t step = std::max<std::size_t>(1, sound.sampleRate / kWritesPerSecond);
    std::size_t at = 0;
    int errors = 0;
    while (at < frames && !stop.IsStopped()) {
        const std::size_t n = std::min(step, frames - at);
        const snd_pcm_sframes_t written = api_->writei(pcm, sound.samples.data() + at * sound.channels, n);
        if (written < 0) {
            if (++errors > kMaxWriteErrors || api_->recover(pcm, int(written), 1) < 0)
                break;
            continue;
        }
        at += std::size_t(written);
    }
    if (stop.IsStopped())
        api_->drop(pcm);
    else
        api_->drain(pcm);
    api_->close(pcm);
    return true;
}

} // namespace audio
