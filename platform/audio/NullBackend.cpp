#include "platform/audio/NullBackend.h"

namespace audio {

bool NullBackend::Play(const PcmSound& sound, StopSignal& stop)
{
    stop.WaitFor(std::chrono::microseconds(sound.DurationUs()));
    return true;
}

} // namespace audio
