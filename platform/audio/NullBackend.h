#pragma once
// Plays nowhere but keeps the sound's time, so a synchronous play lasts as
// long as it would on a device and nothing waits on one. Used when the ALSA
// library is missing or no device opens.

#include "platform/audio/SoundBackend.h"

namespace audio {

class NullBackend : public SoundBackend {
public:
    std::string_view Name() const override { return "null"; }
    bool Play(const PcmSound& sound, StopSignal& stop) override;
};

} // namespace audio
