#include "platform/audio/SoundService.h"

#include "platform/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace audio;
using namespace audio::testing;
using namespace std::chrono_literals;

constexpr std::uint32_t kAsync = SND_MEMORY | SND_ASYNC | SND_NODEFAULT;
constexpr std::uint32_t kSync = SND_MEMORY | SND_NODEFAULT;

bool play(const Bytes& wave, std::uint32_t flags)
{
    return PlaySound(wave, nullptr, flags) != 0;
}

void purge()
{
    PlaySound({}, nullptr, SND_PURGE);
}

// Polls until the condition holds; false after the recorder's wait limit,
// which is far shorter than the minute-long sounds waited on.
template <class Condition>
bool eventually(Condition condition)
{
    const auto until = std::chrono::steady_clock::now() + RecordingBackend::kWaitLimit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(SoundServiceTest, AnAsynchronousPlayReturnsAtOnceAndPlaysItsOwnCopy)
{
    RecordingOutput out;
    Bytes wave = ToneWave(100);
    PcmSound expected;
    ASSERT_EQ(DecodeWave(wave, expected), WaveResult::Ok);

    ASSERT_TRUE(play(wave, kAsync));
    // The caller's bytes may go the moment the call is back.
    wave.assign(wave.size(), 0xEE);
    wave.clear();
    wave.shrink_to_fit();

    ASSERT_TRUE(out->WaitForStarted(1));
    out->Advance(99ms);
    EXPECT_TRUE(out->IsPlaying());
    out->Advance(1ms);
    ASSERT_TRUE(out->WaitForFinished(1));
    const auto records = out->Records();
    EXPECT_FALSE(records[0].stopped);
    EXPECT_EQ(records[0].sound.samples, expected.samples);
    EXPECT_EQ(records[0].sound.sampleRate, 8000u);
    // The service notes the backend after the output has finished: a purge
    // waits for that.
    purge();
    EXPECT_EQ(SoundService::Get().LastBackend(), "recording");
}

TEST(SoundServiceTest, ASynchronousPlayReturnsWhenTheSoundEnds)
{
    RecordingOutput out;
    std::atomic<bool> returned{false};
    std::atomic<bool> result{false};
    std::thread player([&] {
        result = play(ToneWave(200), kSync);
        returned = true;
    });
    ASSERT_TRUE(out->WaitForStarted(1));
    out->Advance(150ms);
    EXPECT_FALSE(returned);
    out->Advance(50ms);
    player.join();
    EXPECT_TRUE(result);
    EXPECT_FALSE(out->Records()[0].stopped);
}

TEST(SoundServiceTest, ANewPlayStopsTheCurrentOne)
{
    RecordingOutput out;
    ASSERT_TRUE(play(ToneWave(500, 300), kAsync));
    ASSERT_TRUE(out->WaitForStarted(1));
    ASSERT_TRUE(play(ToneWave(500, 600), kAsync));
    ASSERT_TRUE(out->WaitForStarted(2));
    auto records = out->Records();
    EXPECT_TRUE(records[0].finished);
    EXPECT_TRUE(records[0].stopped);
    EXPECT_FALSE(records[1].finished);

    // A synchronous play waiting on a second thread is ended by the next play.
    std::atomic<bool> returned{false};
    std::thread player([&] {
        EXPECT_TRUE(play(ToneWave(500), kSync));
        returned = true;
    });
    ASSERT_TRUE(out->WaitForStarted(3));
    EXPECT_FALSE(returned);
    ASSERT_TRUE(play(ToneWave(500, 900), kAsync));
    player.join();
    records = out->Records();
    EXPECT_TRUE(records[2].stopped);
    purge();
}

TEST(SoundServiceTest, APurgeReturnsOnceTheSoundHasStopped)
{
    RecordingOutput out;
    ASSERT_TRUE(play(ToneWave(1000), kAsync));
    ASSERT_TRUE(out->WaitForStarted(1));
    purge();
    EXPECT_FALSE(out->IsPlaying());
    EXPECT_TRUE(out->Records()[0].stopped);

    // A purge ends a synchronous play on another thread early; so does a
    // play of no sound at all.
    for (std::uint32_t flags : {SND_PURGE, SND_ASYNC}) {
        const std::size_t before = out->PlayCount();
        std::thread player([&] { EXPECT_TRUE(play(ToneWave(1000), kSync)); });
        ASSERT_TRUE(out->WaitForStarted(before + 1));
        EXPECT_TRUE(PlaySound({}, nullptr, flags));
        player.join();
        EXPECT_TRUE(out->Records().back().stopped);
    }
    // With nothing playing, a purge does nothing and returns.
    purge();
}

TEST(SoundServiceTest, WhatCannotBePlayedIsFalseAndLeavesTheCurrentSound)
{
    RecordingOutput out;
    ASSERT_TRUE(play(ToneWave(300), kAsync));
    ASSERT_TRUE(out->WaitForStarted(1));

    const Bytes garbage = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'J', 'U', 'N', 'K'};
    const Bytes yamaha = MakeWave({0x20, 1, 8000, 4, 1}, Bytes(64, 0x11));
    EXPECT_FALSE(play(garbage, kAsync));
    EXPECT_FALSE(play(yamaha, kSync));
    // Only sounds in memory: the bytes as a file name or an alias do nothing.
    EXPECT_FALSE(play(ToneWave(10), SND_ASYNC | SND_NODEFAULT));
    EXPECT_EQ(out->PlayCount(), 1u);
    EXPECT_TRUE(out->IsPlaying());
    purge();
}

TEST(SoundServiceTest, TheNullBackendKeepsTheSoundsTime)
{
    SoundOutput null;
    null.kind = SoundOutput::Kind::Null;
    SoundService::Get().SetOutput(null);

    // A short sound ends by itself.
    EXPECT_TRUE(play(ToneWave(60), kSync));
    EXPECT_EQ(SoundService::Get().LastBackend(), "null");
    EXPECT_TRUE(SoundService::Get().Idle());

    // A minute is still playing once it is on the backend, and a purge ends
    // it long before its time.
    std::atomic<bool> returned{false};
    std::thread player([&] {
        EXPECT_TRUE(play(ToneWave(60000), kSync));
        returned = true;
    });
    ASSERT_TRUE(eventually([&] { return SoundService::Get().Playing() || returned; }));
    EXPECT_FALSE(returned) << "the sound did not keep its time";
    // On a thread of its own, so that a purge that does not land cannot keep
    // the test waiting for the minute.
    std::atomic<bool> purged{false};
    std::thread purger([&] {
        purge();
        purged = true;
    });
    EXPECT_TRUE(eventually([&] { return returned && purged; })) << "the purge did not end the sound";
    player.join();
    purger.join();
    EXPECT_TRUE(SoundService::Get().Idle());
}

// ALSA's "null" PCM needs no sound hardware, only the library's configuration.
TEST(SoundServiceTest, PlaysThroughAlsasNullDeviceAndFallsBackWithoutTheLibrary)
{
    struct Case {
        const char* library;
        const char* device;
        const char* backend;
    };
    for (const Case& c : {Case{"libasound.so.2", "null", "alsa"}, Case{"/nonexistent/libasound.so.2", "null", "null"},
                          Case{"libasound.so.2", "no-such-device", "null"}}) {
        SCOPED_TRACE(std::string(c.library) + " " + c.device);
        SoundOutput alsa;
        alsa.library = c.library;
        alsa.device = c.device;
        SoundService::Get().SetOutput(alsa);
        EXPECT_TRUE(play(ToneWave(30), kSync));
        EXPECT_EQ(SoundService::Get().LastBackend(), c.backend);
    }
    SoundOutput null;
    null.kind = SoundOutput::Kind::Null;
    SoundService::Get().SetOutput(null);
}

} // namespace
