#pragma once
// The output a decoded sound is played on. The sound service's thread
// calls Play for one sound at a time; a purge or the next sound sets the
// play's stop signal, and Play returns as soon as it sees it.

#include "platform/audio/WaveFile.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string_view>

namespace audio {

class StopSignal {
public:
    void Stop();
    bool IsStopped() const;
    // Wakes a waiter so that it checks its condition again.
    void Wake();
    // Waits until stopped or until the condition holds; true when stopped.
    template <class Condition>
    bool WaitUntil(Condition condition)
    {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [&] { return stopped_ || condition(); });
        return stopped_;
    }
    // Waits for the time given; true when stopped before it passed.
    bool WaitFor(std::chrono::microseconds time);

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool stopped_ = false;
};

class SoundBackend {
public:
    virtual ~SoundBackend() = default;
    virtual std::string_view Name() const = 0;
    // Plays the sound to its end or until stop is set. False when no device
    // could be opened, before anything played.
    virtual bool Play(const PcmSound& sound, StopSignal& stop) = 0;
};

} // namespace audio
