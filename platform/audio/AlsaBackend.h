#pragma once
// Plays on an ALSA PCM device. The library is not linked: it is loaded at
// run time and its entry points found by name, so the program runs where it
// is missing (the service then falls back to the null backend). ALSA's own
// error printing is silenced: a missing device is not worth a message.

#include "platform/audio/SoundBackend.h"

#include <memory>
#include <string>

namespace audio {

class AlsaBackend : public SoundBackend {
public:
    AlsaBackend(std::string library, std::string device);
    ~AlsaBackend() override;

    std::string_view Name() const override { return "alsa"; }
    // True when the library loaded with every entry point.
    bool Loaded() const { return api_ != nullptr; }
    bool Play(const PcmSound& sound, StopSignal& stop) override;

private:
    struct Api;
    std::unique_ptr<Api> api_;
    std::string device_;
};

} // namespace audio
