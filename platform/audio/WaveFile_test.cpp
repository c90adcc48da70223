#include "platform/audio/WaveFile.h"

#include "platform/audio/AudioTestSupport.h"
#include "platform/testing/Command.h"
#include "platform/testing/TempRoot.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

using namespace audio;
using namespace audio::testing;
namespace fs = std::filesystem;
using tv::testing::Quote;

Bytes readBytes(const fs::path& p)
{
    const std::string s = tv::testing::ReadRaw(p);
    return Bytes(s.begin(), s.end());
}

// ffmpeg makes the test sounds and is the reference decoder.
class WaveFfmpegTest : public ::testing::Test {
protected:
    struct Sound {
        std::string codec;
        unsigned channels;
    };

    // A two-tone signal that also clips (both channels differ), 0.3 s long,
    // in each encoding asked for, all from one ffmpeg run: starting ffmpeg
    // costs more than the files.
    std::vector<fs::path> makeAll(const std::vector<Sound>& sounds, unsigned rate = 22050)
    {
        const std::string source = "aevalsrc='1.3*sin(2*PI*440*t)*sin(2*PI*3*t)+0.1*sin(2*PI*5100*t)|"
                                   "0.6*sin(2*PI*660*t)-0.2*sin(2*PI*97*t)':s=" +
                                   std::to_string(rate) + ":d=0.3";
        std::string cmd = "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i " + source;
        std::vector<fs::path> out;
        for (const Sound& s : sounds) {
            out.push_back(root_.Path() / (s.codec + "_" + std::to_string(s.channels) + ".wav"));
            cmd += " -map 0 -ac " + std::to_string(s.channels) + " -c:a " + s.codec + " " + Quote(out.back());
        }
        EXPECT_TRUE(tv::testing::Run(cmd)) << cmd;
        return out;
    }

    fs::path make(const std::string& codec, unsigned channels) { return makeAll({{codec, channels}}).front(); }

    // ffmpeg's own decoding of files, as interleaved 16-bit samples, in one run.
    std::vector<std::vector<std::int16_t>> references(const std::vector<fs::path>& files)
    {
        std::string inputs, outputs;
        for (std::size_t i = 0; i < files.size(); ++i) {
            inputs += " -i " + Quote(files[i]);
            outputs += " -map " + std::to_string(i) + " -f s16le -c:a pcm_s16le " + Quote(files[i].string() + ".raw");
        }
        EXPECT_TRUE(tv::testing::Run("ffmpeg -nostdin -hide_banner -loglevel error -y" + inputs + outputs));
        std::vector<std::vector<std::int16_t>> all;
        for (const fs::path& f : files) {
            const std::string raw = tv::testing::ReadRaw(f.string() + ".raw");
            std::vector<std::int16_t> samples(raw.size() / 2);
            std::memcpy(samples.data(), raw.data(), samples.size() * 2);
            all.push_back(std::move(samples));
        }
        return all;
    }


    static void expectClose(const PcmSound& ours, const std::vector<std::int16_t>& theirs)
    {
        ASSERT_FALSE(theirs.empty());
        ASSERT_EQ(ours.samples.size(), theirs.size());
        int worst = 0;
        for (std::size_t i = 0; i < theirs.size(); ++i)
            worst = std::max(worst, std::abs(int(ours.samples[i]) - int(theirs[i])));
        EXPECT_LE(worst, 1);
    }

    tv::testing::TempRoot root_;
};

TEST_F(WaveFfmpegTest, EverySupportedEncodingGivesFfmpegsSamples)
{
    std::vector<Sound> sounds;
    for (const char* codec : {"pcm_u8", "pcm_s16le", "pcm_s24le", "pcm_s32le", "pcm_f32le", "pcm_alaw", "pcm_mulaw",
                              "adpcm_ima_wav", "adpcm_ms"})
        for (unsigned channels : {1u, 2u})
            sounds.push_back({codec, channels});
    const std::vector<fs::path> files = makeAll(sounds);
    const auto want = references(files);
    ASSERT_EQ(want.size(), sounds.size());
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        SCOPED_TRACE(sounds[i].codec + " " + std::to_string(sounds[i].channels));
        PcmSound sound;
        ASSERT_EQ(DecodeWave(readBytes(files[i]), sound), WaveResult::Ok);
        EXPECT_EQ(sound.channels, sounds[i].channels);
        EXPECT_EQ(sound.sampleRate, 22050u);
        expectClose(sound, want[i]);
    }
}

TEST_F(WaveFfmpegTest, ExtensibleALawAndMuLawDecodeAsThePlainFiles)
{
    const std::vector<Sound> sounds = {{"pcm_alaw", 1}, {"pcm_alaw", 2}, {"pcm_mulaw", 1}, {"pcm_mulaw", 2}};
    const std::vector<fs::path> files = makeAll(sounds, 8000);
    const auto want = references(files);
    ASSERT_EQ(want.size(), sounds.size());
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        SCOPED_TRACE(sounds[i].codec + " " + std::to_string(sounds[i].channels));
        const Bytes file = readBytes(files[i]);
        riff::Bytes body;
        ASSERT_TRUE(riff::OpenForm(file, "WAVE", body));
        riff::ChunkReader chunks(body);
        riff::Chunk chunk;
        Bytes data;
        while (chunks.Next(chunk))
            if (chunk.id == "data")
                data.assign(chunk.data.begin(), chunk.data.end());
        const std::uint16_t tag = sounds[i].codec == "pcm_alaw" ? WAVE_FORMAT_ALAW : WAVE_FORMAT_MULAW;
        const Bytes wrapped = MakeWave({tag, sounds[i].channels, 8000, 8, 0, {}, true}, data);
        PcmSound sound;
        ASSERT_EQ(DecodeWave(wrapped, sound), WaveResult::Ok);
        expectClose(sound, want[i]);
    }
}

TEST_F(WaveFfmpegTest, EncodingsWithoutADecoderAreRefused)
{
    // A-law's 64-bit float cousin and Yamaha's ADPCM: well-formed, not ours.
    for (const char* codec : {"pcm_f64le", "adpcm_yamaha"}) {
        SCOPED_TRACE(codec);
        PcmSound sound;
        EXPECT_EQ(DecodeWave(readBytes(make(codec, 1)), sound), WaveResult::Unsupported);
        EXPECT_TRUE(sound.samples.empty());
    }
}

TEST(WaveFileTest, FormatsThatCannotDescribeASoundAreRefused)
{
    const Bytes data(64, 0x10);
    struct Case {
        const char* name;
        WaveSpec spec;
        WaveResult expected;
    };
    const Case cases[] = {
        {"no channels", {1, 0, 8000, 16}, WaveResult::BadFormat},
        {"too many channels", {1, 9, 8000, 16}, WaveResult::BadFormat},
        {"no rate", {1, 1, 0, 16}, WaveResult::BadFormat},
        {"rate beyond any device", {1, 1, 10000000, 16}, WaveResult::BadFormat},
        {"no bits", {1, 1, 8000, 0, 2}, WaveResult::BadFormat},
        {"12-bit PCM", {1, 1, 8000, 12}, WaveResult::Unsupported},
        {"16-bit A-law", {6, 1, 8000, 16}, WaveResult::Unsupported},
        {"IMA block without samples", {0x11, 2, 8000, 4, 8}, WaveResult::BadFormat},
        {"IMA block not whole runs", {0x11, 1, 8000, 4, 10}, WaveResult::BadFormat},
        {"MS ADPCM without coefficients", {2, 1, 8000, 4, 64, {0x20, 0, 0, 0}}, WaveResult::BadFormat},
        {"MS ADPCM with fewer pairs than named", {2, 1, 8000, 4, 64, {0x20, 0, 7, 0, 0, 1, 0, 0}},
         WaveResult::BadFormat},
        {"MS ADPCM block of headers only", {2, 2, 8000, 4, 14, {0x20, 0, 1, 0, 0, 1, 0, 0}}, WaveResult::BadFormat},
        {"unknown tag", {0x55, 1, 8000, 16}, WaveResult::Unsupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PcmSound sound;
        EXPECT_EQ(DecodeWave(MakeWave(c.spec, data), sound), c.expected);
    }

    // Extensible with a sub-format that is not a plain tag, or a tag we lack.
    Bytes ext = MakeWave({1, 1, 8000, 16, 0, {}, true}, data);
    PcmSound sound;
    ASSERT_EQ(DecodeWave(ext, sound), WaveResult::Ok);
    const std::size_t guid = 44;  // after the format fields, cbSize, valid bits and mask
    ext[guid + 5] ^= 0xFF;
    EXPECT_EQ(DecodeWave(ext, sound), WaveResult::Unsupported);
    EXPECT_EQ(DecodeWave(MakeWave({0x11, 1, 8000, 4, 0, {}, true}, data), sound), WaveResult::Unsupported);
}

TEST(WaveFileTest, FilesWithoutTheNeededChunksAreNotWaves)
{
    PcmSound sound;
    EXPECT_EQ(DecodeWave({}, sound), WaveResult::NotWave);
    Bytes avi = ToneWave(10);
    std::memcpy(avi.data() + 8, "AVI ", 4);
    EXPECT_EQ(DecodeWave(avi, sound), WaveResult::NotWave);

    Bytes onlyFormat;
    AppendChunk(onlyFormat, "fmt ", FormatChunk({}));
    EXPECT_EQ(DecodeWave(tv::testing::MakeRiff("WAVE", onlyFormat), sound), WaveResult::NotWave);
}

TEST(WaveFileTest, ChunksAreBoundedByTheBytesHeld)
{
    // Samples 0..99 in a data chunk that claims far more than the file holds,
    // in a RIFF that claims more too: the samples held play, no more.
    std::vector<std::int16_t> samples(100);
    for (int i = 0; i < 100; ++i)
        samples[std::size_t(i)] = std::int16_t(i * 100);
    Bytes file = Pcm16Wave(1, 8000, samples);
    const std::size_t dataSize = 40;  // after RIFF, WAVE, the format chunk and "data"
    file[dataSize] = file[dataSize + 1] = file[dataSize + 2] = file[dataSize + 3] = 0xFF;
    file[4] = file[5] = file[6] = file[7] = 0xFF;
    file.pop_back();  // half a sample: dropped
    PcmSound sound;
    ASSERT_EQ(DecodeWave(file, sound), WaveResult::Ok);
    ASSERT_EQ(sound.samples.size(), 99u);
    EXPECT_EQ(sound.samples[98], 9800);

    // The RIFF size bounds the chunks as well: a data chunk beyond it is not seen.
    Bytes shortRiff = Pcm16Wave(1, 8000, samples);
    shortRiff[4] = 4 + 8 + 16;
    shortRiff[5] = shortRiff[6] = shortRiff[7] = 0;
    EXPECT_EQ(DecodeWave(shortRiff, sound), WaveResult::NotWave);
}

TEST(WaveFileTest, AnAdpcmBlockCutShortGivesTheSamplesItHolds)
{
    // Mono IMA: header (first sample 1000, index 0), then runs of 4 bytes.
    Bytes block = {0xE8, 0x03, 0, 0};
    for (int i = 0; i < 12; ++i)
        block.push_back(0x11);
    const Bytes whole = MakeWave({0x11, 1, 8000, 4, 16}, block);
    PcmSound full;
    ASSERT_EQ(DecodeWave(whole, full), WaveResult::Ok);
    ASSERT_EQ(full.samples.size(), 25u);
    EXPECT_EQ(full.samples[0], 1000);
    EXPECT_EQ(full.samples[1], 1002);  // step 7, nibble 1: 3 * 7 / 8

    Bytes cut(block.begin(), block.begin() + 10);  // header and one run and a half
    PcmSound part;
    ASSERT_EQ(DecodeWave(MakeWave({0x11, 1, 8000, 4, 16}, cut), part), WaveResult::Ok);
    ASSERT_EQ(part.samples.size(), 9u);
    EXPECT_TRUE(std::equal(part.samples.begin(), part.samples.end(), full.samples.begin()));
}

TEST(WaveFileTest, EveryTruncationAndCorruptionRunsClean)
{
    // Small files of every encoding, cut at every length and with every
    // byte of the headers flipped. A cut file is refused or gives what the
    // whole one gives, or less of it; a damaged one holds a sound that can be
    // played.
    const Bytes imaBlock(36, 0x5A);
    Bytes msExtra = {0x20, 0, 7, 0, 0, 1, 0, 0, 0, 2, 0, 0xFF, 0, 0, 0, 0, 0xC0, 0, 0x40, 0, 0xF0, 0,
                     0,    0, 0xCC, 1, 0x30, 0xFF, 0x88, 1, 0x18, 0xFF};
    const Bytes data(96, 0xA7);
    const Bytes files[] = {
        MakeWave({1, 2, 8000, 8}, data),         MakeWave({1, 2, 8000, 24}, data),
        MakeWave({3, 1, 8000, 32}, data),        MakeWave({6, 1, 8000, 8, 0, {}, true}, data),
        MakeWave({0x11, 2, 8000, 4, 16}, imaBlock), MakeWave({2, 2, 8000, 4, 20, msExtra}, data),
    };
    for (const Bytes& f : files) {
        PcmSound whole;
        ASSERT_EQ(DecodeWave(f, whole), WaveResult::Ok);
        for (std::size_t n = 0; n < f.size(); ++n) {
            PcmSound sound;
            if (DecodeWave(riff::Bytes(f.data(), n), sound) != WaveResult::Ok)
                continue;
            EXPECT_EQ(sound.channels, whole.channels) << "cut at " << n;
            EXPECT_EQ(sound.sampleRate, whole.sampleRate) << "cut at " << n;
            ASSERT_LE(sound.samples.size(), whole.samples.size()) << "cut at " << n;
            EXPECT_TRUE(std::equal(sound.samples.begin(), sound.samples.end(), whole.samples.begin()))
                << "cut at " << n;
        }
        for (std::size_t i = 0; i < 80 && i < f.size(); ++i) {
            for (std::uint8_t v : {0x00, 0x7F, 0x80, 0xFF}) {
                Bytes bad = f;
                bad[i] = v;
                PcmSound sound;
                if (DecodeWave(bad, sound) == WaveResult::Ok) {
                    EXPECT_GE(sound.channels, 1u);
                    EXPECT_LE(sound.channels, kMaxChannels);
                    EXPECT_EQ(sound.samples.size() % sound.channels, 0u);
                }
            }
        }
    }
}

TEST(WaveFileTest, MsAdpcmStopsAtABlockNamingAMissingPredictor)
{
    // One-coefficient table; the second block names predictor 3.
    const Bytes extra = {0x04, 0, 1, 0, 0, 1, 0, 0};
    Bytes data = {0, 16, 0, 0x10, 0, 0x20, 0, 0x77, 0x77};
    data.insert(data.end(), {3, 16, 0, 0x10, 0, 0x20, 0, 0x77, 0x77});
    PcmSound sound;
    ASSERT_EQ(DecodeWave(MakeWave({2, 1, 8000, 4, 9, extra}, data), sound), WaveResult::Ok);
    ASSERT_EQ(sound.samples.size(), 6u);
    EXPECT_EQ(sound.samples[0], 0x20);  // the older header sample first
    EXPECT_EQ(sound.samples[1], 0x10);
}

TEST(WaveFileTest, MsAdpcmPredictionsBeyondSixteenBitsSaturate)
{
    // Both coefficients and both header samples at -32768: the prediction
    // is 2^23, far past a sample, and its two products overflow an int.
    const Bytes extra = {0x04, 0, 1, 0, 0x00, 0x80, 0x00, 0x80};
    const Bytes data = {0, 16, 0, 0x00, 0x80, 0x00, 0x80, 0, 0};
    PcmSound sound;
    ASSERT_EQ(DecodeWave(MakeWave({2, 1, 8000, 4, 9, extra}, data), sound), WaveResult::Ok);
    ASSERT_EQ(sound.samples.size(), 6u);
    EXPECT_EQ(sound.samples[2], 32767);
    EXPECT_EQ(sound.samples[3], 128);
    EXPECT_EQ(sound.samples[4], -32768);
}

} // namespace
