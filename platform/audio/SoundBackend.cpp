#include "platform/audio/SoundBackend.h"

namespace audio {

void StopSignal::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    cv_.notify_all();
}

bool StopSignal::IsStopped() const
{
    std::lock_guard lock(mutex_);
    return stopped_;
}

void StopSignal::Wake()
{
    // Taking the lock orders the change the waiter looks for before its check.
    { std::lock_guard lock(mutex_); }
    cv_.notify_all();
}

bool StopSignal::WaitFor(std::chrono::microseconds time)
{
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, time, [&] { return stopped_; });
}

} // namespace audio
