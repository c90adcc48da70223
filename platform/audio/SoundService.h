#pragma once
// The process's sound service: PlaySound from memory, one sound at a time.
// A new play stops the current one; an asynchronous play returns at once
// and the service's thread plays it; a synchronous one returns when the
// sound ends or is purged. The service decodes the bytes before PlaySound
// returns and plays its own samples, so the caller may free its bytes as
// soon as the call is back.

#include "platform/audio/RecordingBackend.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <thread>

namespace audio {

inline constexpr std::uint32_t SND_SYNC = 0x0000;
inline constexpr std::uint32_t SND_ASYNC = 0x0001;
inline constexpr std::uint32_t SND_NODEFAULT = 0x0002;
inline constexpr std::uint32_t SND_MEMORY = 0x0004;
inline constexpr std::uint32_t SND_PURGE = 0x0040;

// A WAVE image in memory; empty stands for no sound.
using SoundBytes = std::span<const std::uint8_t>;

// The service's entry point as the sound objects call it; hmod is unused.
int PlaySound(SoundBytes sound, void* hmod, std::uint32_t flags);
using PlaySoundProc = int (*)(SoundBytes sound, void* hmod, std::uint32_t flags);

// Where the service plays: ALSA (falling back to the null backend when the
// library is missing or no device opens), the null backend, or a recorder.
struct SoundOutput {
    enum class Kind { Alsa, Null, Recording };
    Kind kind = Kind::Alsa;
    std::string library = "libasound.so.2";
    std::string device = "default";
    std::shared_ptr<RecordingBackend> recorder;
};

class SoundService {
public:
    // The one service of the process: made on first use, never released,
    // since sound threads may still call it while the process ends.
    static SoundService& Get();

    SoundService(const SoundService&) = delete;
    SoundService& operator=(const SoundService&) = delete;

    // Only sounds given in memory (SND_MEMORY) play; there is no system
    // default sound to fall back on, so every failure is FALSE whether or
    // not SND_NODEFAULT is given. SND_PURGE, or no sound at all, stops the
    // current sound and returns once it has stopped.
    bool PlaySound(SoundBytes sound, std::uint32_t flags);

    // The entry point of that name, as a module's are looked up; null for
    // a name the service does not have.
    PlaySoundProc GetProcAddress(std::string_view name) const;

    // Test hook: stops what plays; later sounds go to the given output.
    void SetOutput(const SoundOutput& output);
    // The backend that played the last sound that ended ("alsa", "null",
    // "recording"); empty before the first.
    std::string LastBackend() const;
    // A sound is on the backend now.
    bool Playing() const;
    // No sound waits for the thread and none plays: nothing more reaches a
    // backend until the next PlaySound.
    bool Idle() const;

private:
    struct Request;

    SoundService();
    ~SoundService() = default;

    void run();
    void cancelLocked();
    void stopAndWaitLocked(std::unique_lock<std::mutex>& lock);
    std::shared_ptr<SoundBackend> backendLocked();

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::shared_ptr<Request> pending_;
    std::shared_ptr<Request> current_;
    SoundOutput output_;
    std::shared_ptr<SoundBackend> backend_;
    std::string lastBackend_;
    std::thread thread_;
};

} // namespace audio
