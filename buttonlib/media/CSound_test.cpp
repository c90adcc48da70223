#include "buttonlib/media/CSound.h"

#include "buttonlib/media/Compression.h"
#include "buttonlib/media/MediaTestSupport.h"

#include "platform/audio/AudioTestSupport.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

namespace {

using media::testing::BlobOf;
using media::testing::LoadBlob;
using media::testing::LoadPlainForm;
using media::testing::PlainForm;
using audio::testing::RecordingOutput;
using audio::testing::ToneWave;
using Bytes = std::vector<BYTE>;
using namespace std::chrono_literals;

Bytes heldBytes(const CSound& s)
{
    return s.GetData() ? Bytes(s.GetData(), s.GetData() + s.GetByteCount()) : Bytes{};
}

void setBytes(CSound& s, const Bytes& b)
{
    ASSERT_TRUE(s.SetRawData(b.data(), int(b.size())));
}

std::vector<std::int16_t> samplesOf(const Bytes& wave)
{
    audio::PcmSound sound;
    EXPECT_EQ(audio::DecodeWave(wave, sound), audio::WaveResult::Ok);
    return sound.samples;
}

class CSoundTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_FALSE(g_bSyncSoundPlaying); }
    RecordingOutput out_;
};

TEST_F(CSoundTest, TheServiceIsFoundOnceAndOutlivesEveryObject)
{
    auto first = std::make_unique<CSound>();
    EXPECT_TRUE(first->IsAvailable());
    audio::SoundService* service = g_hWinmm;
    ASSERT_NE(service, nullptr);
    {
        CSound second;
        EXPECT_EQ(g_hWinmm, service);
    }
    first.reset();
    // Destroying every object releases nothing: a later one still plays.
    EXPECT_EQ(g_hWinmm, service);
    CSound later;
    setBytes(later, ToneWave(10));
    EXPECT_TRUE(later.Play(FALSE));
    ASSERT_TRUE(out_->WaitForStarted(1));
    later.Stop();
}

TEST_F(CSoundTest, AnEmptyObjectPlaysNothingAndStopsNothing)
{
    CSound playing, empty;
    setBytes(playing, ToneWave(500));
    ASSERT_TRUE(playing.Play(FALSE));
    ASSERT_TRUE(out_->WaitForStarted(1));

    EXPECT_FALSE(empty.HasData());
    EXPECT_FALSE(empty.Play(FALSE));
    EXPECT_FALSE(empty.Play(TRUE));
    empty.Stop();
    EXPECT_TRUE(out_->IsPlaying());
    EXPECT_EQ(out_->PlayCount(), 1u);

    playing.Stop();
    EXPECT_FALSE(out_->IsPlaying());
    EXPECT_TRUE(out_->Records()[0].stopped);
}

TEST_F(CSoundTest, ASynchronousPlayOnASecondThreadHoldsOffEveryOtherPlay)
{
    CSound sync, other;
    setBytes(sync, ToneWave(200));
    setBytes(other, ToneWave(100, 800));
    std::atomic<bool> returned{false};
    BOOL result = FALSE;
    std::thread soundThread([&] {
        result = sync.Play(TRUE);
        returned = true;
    });
    ASSERT_TRUE(out_->WaitForStarted(1));
    EXPECT_TRUE(g_bSyncSoundPlaying);
    EXPECT_FALSE(sync.IsPlaying());
    EXPECT_FALSE(other.Play(FALSE));
    EXPECT_FALSE(other.Play(TRUE));
    EXPECT_EQ(out_->PlayCount(), 1u);
    EXPECT_FALSE(returned);

    out_->Advance(200ms);
    soundThread.join();
    EXPECT_TRUE(result);
    EXPECT_FALSE(g_bSyncSoundPlaying);
    EXPECT_FALSE(out_->Records()[0].stopped);
    // Free again.
    EXPECT_TRUE(other.Play(FALSE));
    ASSERT_TRUE(out_->WaitForStarted(2));
    other.Stop();
}

TEST_F(CSoundTest, StopEndsASynchronousPlayOnAnotherThread)
{
    CSound sync, stopper;
    setBytes(sync, ToneWave(1000));
    setBytes(stopper, ToneWave(10));
    std::thread soundThread([&] { EXPECT_TRUE(sync.Play(TRUE)); });
    ASSERT_TRUE(out_->WaitForStarted(1));
    stopper.Stop();
    soundThread.join();
    EXPECT_TRUE(out_->Records()[0].stopped);
    EXPECT_FALSE(g_bSyncSoundPlaying);
}

TEST_F(CSoundTest, ANewSoundReplacesTheOneThatPlays)
{
    CSound a, b;
    const Bytes waveA = ToneWave(500, 300), waveB = ToneWave(500, 700);
    setBytes(a, waveA);
    setBytes(b, waveB);
    ASSERT_TRUE(a.Play(FALSE));
    ASSERT_TRUE(out_->WaitForStarted(1));
    ASSERT_TRUE(b.Play(FALSE));
    ASSERT_TRUE(out_->WaitForStarted(2));
    const auto records = out_->Records();
    EXPECT_TRUE(records[0].stopped);
    EXPECT_EQ(records[0].sound.samples, samplesOf(waveA));
    EXPECT_EQ(records[1].sound.samples, samplesOf(waveB));
    b.Stop();
}

TEST_F(CSoundTest, AnObjectChangedOrDestroyedDuringItsPlayLeavesThePlayIntact)
{
    const Bytes wave = ToneWave(300);
    const auto expected = samplesOf(wave);
    for (int change = 0; change < 4; ++change) {
        SCOPED_TRACE(change);
        auto sound = std::make_unique<CSound>();
        setBytes(*sound, wave);
        const std::size_t before = out_->PlayCount();
        ASSERT_TRUE(sound->Play(FALSE));
        switch (change) {
        case 0: sound->Empty(); break;
        case 1: setBytes(*sound, Bytes(wave.size(), 0x5A)); break;
        case 2: EXPECT_FALSE(sound->Load("")); break;
        case 3: sound.reset(); break;
        }
        ASSERT_TRUE(out_->WaitForStarted(before + 1));
        out_->Advance(300ms);
        ASSERT_TRUE(out_->WaitForFinished(before + 1));
        const auto record = out_->Records().back();
        EXPECT_FALSE(record.stopped);
        EXPECT_EQ(record.sound.samples, expected);
    }
}

TEST_F(CSoundTest, BytesThatAreNoPlayableSoundFailThePlay)
{
    CSound s;
    const Bytes text = {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'};
    setBytes(s, text);
    EXPECT_TRUE(s.HasData());
    EXPECT_FALSE(s.Play(FALSE));
    EXPECT_FALSE(s.Play(TRUE));
    EXPECT_FALSE(g_bSyncSoundPlaying);
    setBytes(s, audio::testing::MakeWave({0x20, 1, 8000, 4, 1}, Bytes(40, 0x11)));
    EXPECT_FALSE(s.Play(FALSE));
    EXPECT_EQ(out_->PlayCount(), 0u);
}

TEST_F(CSoundTest, StoredFormsRoundTripAndReplaceWhatIsHeld)
{
    CSound empty;
    EXPECT_EQ(BlobOf(empty), (Bytes{0, 0, 0, 0}));

    const Bytes wave = ToneWave(20);
    CSound s;
    setBytes(s, wave);
    const Bytes blob = BlobOf(s);
    CSound back;
    setBytes(back, ToneWave(40, 1000));
    ASSERT_TRUE(LoadBlob(back, blob));
    EXPECT_EQ(heldBytes(back), wave);
    EXPECT_EQ(back.GetByteCount(), DWORD(wave.size()));

    // The empty blob leaves an object as it was.
    ASSERT_TRUE(LoadBlob(back, Bytes{0, 0, 0, 0}));
    EXPECT_EQ(heldBytes(back), wave);

    // The plain form: DWORD count, then the bytes as they are.
    Bytes plain = PlainForm(s);
    ASSERT_EQ(plain.size(), 4 + wave.size());
    EXPECT_EQ(plain[0] | (plain[1] << 8), int(wave.size()));
    EXPECT_TRUE(std::equal(wave.begin(), wave.end(), plain.begin() + 4));

    // Cut short, it raises and leaves the object empty.
    plain.pop_back();
    CSound cut;
    setBytes(cut, wave);
    EXPECT_THROW(LoadPlainForm(cut, plain), CMemoryException);
    EXPECT_FALSE(cut.HasData());
    EXPECT_EQ(cut.GetByteCount(), 0u);
}

TEST_F(CSoundTest, CompressedDataIsKeptOnlyWhenItUnpacksToExactlyTheAnnouncedSize)
{
    const Bytes wave = ToneWave(50);
    Bytes packed;
    ASSERT_TRUE(media::CompressBytes(wave.data(), wave.size(), packed));
    CSound s;
    ASSERT_TRUE(s.SetData(packed.data(), int(packed.size()), TRUE, DWORD(wave.size())));
    EXPECT_EQ(heldBytes(s), wave);

    const Bytes half(packed.begin(), packed.begin() + long(packed.size() / 2));
    struct Case {
        const char* name;
        Bytes bytes;
        DWORD unpacked;
    };
    for (const Case& c : {Case{"announced too small", packed, DWORD(wave.size() - 1)},
                          Case{"announced too large", packed, DWORD(wave.size() + 1)},
                          Case{"stream cut in half", half, DWORD(wave.size())},
                          Case{"not zlib at all", wave, DWORD(wave.size())}}) {
        SCOPED_TRACE(c.name);
        setBytes(s, wave);
        EXPECT_FALSE(s.SetData(c.bytes.data(), int(c.bytes.size()), TRUE, c.unpacked));
        EXPECT_FALSE(s.HasData());
        EXPECT_EQ(s.GetByteCount(), 0u);
    }
    // Uncompressed bytes are taken as they are.
    ASSERT_TRUE(s.SetData(wave.data(), int(wave.size()), FALSE, 0));
    EXPECT_EQ(heldBytes(s), wave);
    EXPECT_FALSE(s.SetRawData(nullptr, 10));
    EXPECT_FALSE(s.HasData());
}

TEST_F(CSoundTest, FilesLoadSaveAndCopy)
{
    tv::testing::TempRoot root;
    const auto path = root.Path() / "click.wav";
    const Bytes wave = ToneWave(30);
    CSound s;
    setBytes(s, wave);
    ASSERT_TRUE(s.Save(path.c_str()));
    CSound back;
    ASSERT_TRUE(back.Load(path.c_str()));
    EXPECT_EQ(heldBytes(back), wave);

    CSound copy;
    copy = back;
    EXPECT_EQ(heldBytes(copy), wave);
    copy = copy;
    EXPECT_EQ(heldBytes(copy), wave);

    // A failed load leaves the object empty.
    EXPECT_FALSE(back.Load((root.Path() / "missing.wav").c_str()));
    EXPECT_FALSE(back.HasData());
    EXPECT_FALSE(copy.Load(""));
    EXPECT_FALSE(copy.HasData());

    // An empty object writes no file; a file error is FALSE.
    const auto none = root.Path() / "none.wav";
    EXPECT_TRUE(copy.Save(none.c_str()));
    EXPECT_FALSE(std::filesystem::exists(none));
    EXPECT_FALSE(s.Save((root.Path() / "no" / "such.wav").c_str()));
}

// Run once under ThreadSanitizer as well: both kinds of play from two
// threads at once, with objects changed while they play.
TEST(CSoundStressTest, TwoThreadsPlayingBothKinds)
{
    audio::SoundOutput null;
    null.kind = audio::SoundOutput::Kind::Null;
    audio::SoundService::Get().SetOutput(null);
    const Bytes shortWave = ToneWave(2), otherWave = ToneWave(1, 900);
    auto worker = [&](int seed) {
        CSound mine;
        for (int i = 0; i < 150; ++i) {
            const Bytes& w = (i + seed) % 3 ? shortWave : otherWave;
            mine.SetRawData(w.data(), int(w.size()));
            switch ((i * 7 + seed) % 4) {
            case 0: mine.Play(TRUE); break;
            case 1: mine.Play(FALSE); break;
            case 2: mine.Play(FALSE); mine.Empty(); break;
            case 3: mine.Stop(); break;
            }
            EXPECT_FALSE(mine.IsPlaying());
        }
    };
    std::thread a(worker, 0), b(worker, 1);
    a.join();
    b.join();
    audio::PlaySound({}, nullptr, audio::SND_PURGE);
    EXPECT_FALSE(g_bSyncSoundPlaying);
}

} // namespace
