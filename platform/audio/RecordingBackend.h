#pragma once
// A backend for tests: it keeps every sound it is given and plays on a
// manual clock, so a play ends only when the test moves the clock past its
// length (or stops it). The waits for the service's thread are bounded by a
// real-time limit so that a failing test fails instead of hanging.

#include "platform/audio/SoundBackend.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace audio {

class RecordingBackend : public SoundBackend {
public:
    struct Record {
        PcmSound sound;
        bool finished = false;  // Play has returned
        bool stopped = false;   // it returned because it was stopped
    };

    std::string_view Name() const override { return "recording"; }
    bool Play(const PcmSound& sound, StopSignal& stop) override;

    // Moves the manual clock on; a play whose length has passed ends.
    void Advance(std::chrono::microseconds time);

    std::vector<Record> Records() const;
    std::size_t PlayCount() const;
    bool IsPlaying() const;

    // Waits until n plays have started, or until n have finished; false
    // when that does not happen within the limit.
    bool WaitForStarted(std::size_t n) const;
    bool WaitForFinished(std::size_t n) const;

    static constexpr std::chrono::seconds kWaitLimit{20};

private:
    template <class Condition>
    bool waitFor(Condition condition) const;

    mutable std::mutex mutex_;
    mutable std::condition_variable cv_;
    std::vector<Record> records_;
    StopSignal* current_ = nullptr;
    std::atomic<std::uint64_t> nowUs_{0};
};

} // namespace audio
