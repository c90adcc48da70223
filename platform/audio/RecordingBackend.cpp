#include "platform/audio/RecordingBackend.h"

#include <algorithm>

namespace audio {

bool RecordingBackend::Play(const PcmSound& sound, StopSignal& stop)
{
    const std::uint64_t end = nowUs_.load() + sound.DurationUs();
    std::size_t index;
    {
        std::lock_guard lock(mutex_);
        records_.push_back({sound, false, false});
        index = records_.size() - 1;
        current_ = &stop;
    }
    cv_.notify_all();

    const bool stopped = stop.WaitUntil([&] { return nowUs_.load() >= end; });

    {
        std::lock_guard lock(mutex_);
        current_ = nullptr;
        records_[index].finished = true;
        records_[index].stopped = stopped;
    }
    cv_.notify_all();
    return true;
}

void RecordingBackend::Advance(std::chrono::microseconds time)
{
    nowUs_ += std::uint64_t(time.count());
    std::lock_guard lock(mutex_);
    if (current_)
        current_->Wake();
}

std::vector<RecordingBackend::Record> RecordingBackend::Records() const
{
    std::lock_guard lock(mutex_);
    return records_;
}

std::size_t RecordingBackend::PlayCount() const
{
    std::lock_guard lock(mutex_);
    return records_.size();
}

bool RecordingBackend::IsPlaying() const
{
    std::lock_guard lock(mutex_);
    return current_ != nullptr;
}

template <class Condition>
bool RecordingBackend::waitFor(Condition condition) const
{
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, kWaitLimit, condition);
}

bool RecordingBackend::WaitForStarted(std::size_t n) const
{
    return waitFor([&] { return records_.size() >= n; });
}

bool RecordingBackend::WaitForFinished(std::size_t n) const
{
    return waitFor([&] {
        return std::count_if(records_.begin(), records_.end(), [](const Record& r) { return r.finished; }) >=
               std::ptrdiff_t(n);
    });
}

} // namespace audio
