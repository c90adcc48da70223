#include "platform/audio/SoundService.h"

#include "platform/audio/AlsaBackend.h"
#include "platform/audio/NullBackend.h"

namespace audio {

struct SoundService::Request {
    PcmSound sound;
    StopSignal stop;
    bool done = false;  // under the service's mutex
};

SoundService& SoundService::Get()
{
    // Kept in a union so that no destructor ever runs: the service is never
    // released.
    union Holder {
        SoundService service;
        Holder() : service() {}
        ~Holder() {}
    };
    static Holder holder;
    return holder.service;
}

SoundService::SoundService()
{
    thread_ = std::thread([this] { run(); });
    thread_.detach();
}

std::shared_ptr<SoundBackend> SoundService::backendLocked()
{
    if (!backend_) {
        switch (output_.kind) {
        case SoundOutput::Kind::Alsa:
            backend_ = std::make_shared<AlsaBackend>(output_.library, output_.device);
            break;
        case SoundOutput::Kind::Null:
            backend_ = std::make_shared<NullBackend>();
            break;
        case SoundOutput::Kind::Recording:
            backend_ = output_.recorder ? std::static_pointer_cast<SoundBackend>(output_.recorder)
                                        : std::make_shared<NullBackend>();
            break;
        }
    }
    return backend_;
}

void SoundService::run()
{
    NullBackend fallback;
    std::unique_lock lock(mutex_);
    for (;;) {
        cv_.wait(lock, [&] { return pending_ != nullptr; });
        current_ = std::move(pending_);
        const std::shared_ptr<Request> request = current_;
        const std::shared_ptr<SoundBackend> backend = backendLocked();
        lock.unlock();

        std::string_view played = backend->Name();
        if (!backend->Play(request->sound, request->stop)) {
            fallback.Play(request->sound, request->stop);
            played = fallback.Name();
        }

        lock.lock();
        lastBackend_ = played;
        request->done = true;
        current_.reset();
        cv_.notify_all();
    }
}

void SoundService::cancelLocked()
{
    if (pending_) {
        pending_->done = true;
        pending_.reset();
    }
    if (current_)
        current_->stop.Stop();
    cv_.notify_all();
}

void SoundService::stopAndWaitLocked(std::unique_lock<std::mutex>& lock)
{
    // Waits for the sound that was playing, not for one started meanwhile.
    const std::shared_ptr<Request> stopping = current_;
    cancelLocked();
    if (stopping)
        cv_.wait(lock, [&] { return stopping->done; });
}

bool SoundService::PlaySound(SoundBytes sound, std::uint32_t flags)
{
    if ((flags & SND_PURGE) || sound.empty()) {
        std::unique_lock lock(mutex_);
        stopAndWaitLocked(lock);
        return true;
    }
    // File names and aliases have no meaning here.
    if (!(flags & SND_MEMORY))
        return false;
    auto request = std::make_shared<Request>();
    if (DecodeWave(sound, request->sound) != WaveResult::Ok)
        return false;

    std::unique_lock lock(mutex_);
    cancelLocked();
    pending_ = request;
    cv_.notify_all();
    if (!(flags & SND_ASYNC))
        cv_.wait(lock, [&] { return request->done; });
    return true;
}

void SoundService::SetOutput(const SoundOutput& output)
{
    std::unique_lock lock(mutex_);
    stopAndWaitLocked(lock);
    output_ = output;
    backend_.reset();
}

PlaySoundProc SoundService::GetProcAddress(std::string_view name) const
{
    return name == "PlaySound" ? &audio::PlaySound : nullptr;
}

std::string SoundService::LastBackend() const
{
    std::lock_guard lock(mutex_);
    return lastBackend_;
}

bool SoundService::Playing() const
{
    std::lock_guard lock(mutex_);
    return current_ != nullptr;
}

bool SoundService::Idle() const
{
    std::lock_guard lock(mutex_);
    return !pending_ && !current_;
}

int PlaySound(SoundBytes sound, void*, std::uint32_t flags)
{
    return SoundService::Get().PlaySound(sound, flags) ? 1 : 0;
}

} // namespace audio
