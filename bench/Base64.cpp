// The attachment path of the mail sender: 10 MB through the base64 codec,
// encoded, broken into 76-character lines, and decoded again. Then the same
// path as a whole process (bench_EncodeAttachment: the file encoded into
// 76-character lines while it is read, into one message text, then written)
// beside coreutils' base64 on the same 10 MB file (76-character lines), both
// writing to /dev/null, each timed run after one of the other; their ratio is
// printed last.

#include "program/reports/Base64.h"
#include "platform/basic/MemoryTuning.h"

#include "ChildProcess.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t kSize = 10 * 1024 * 1024;

const Base64::Bytes& plain()
{
    static const Base64::Bytes data = [] {
        Base64::Bytes d(kSize);
        std::mt19937 rng(10);
        for (auto& b : d)
            b = static_cast<uint8_t>(rng());
        return d;
    }();
    return data;
}

const Base64::Bytes& encoded()
{
    static const Base64::Bytes data = [] {
        Base64::Bytes out;
        Base64().EncodeB64(plain(), out);
        return out;
    }();
    return data;
}

void BM_Encode10MB(benchmark::State& state)
{
    const Base64 codec;
    Base64::Bytes out;
    for (auto _ : state) {
        codec.EncodeB64(plain(), out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_Encode10MB)->Unit(benchmark::kMillisecond);

// What an attachment costs: encode, then the 76-character lines.
void BM_EncodeAndSpan10MB(benchmark::State& state)
{
    const Base64 codec;
    Base64::Bytes enc, lines;
    for (auto _ : state) {
        codec.EncodeB64(plain(), enc);
        codec.Span(76, enc, lines);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_EncodeAndSpan10MB)->Unit(benchmark::kMillisecond);

void BM_Decode10MB(benchmark::State& state)
{
    const Base64 codec;
    Base64::Bytes out;
    for (auto _ : state) {
        codec.DecodeB64(encoded(), out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_Decode10MB)->Unit(benchmark::kMillisecond);

// The plain bytes in a temporary file, made once and removed at exit.
class PlainFile {
public:
    PlainFile()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tallyvane-bench-XXXXXX").string();
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            std::abort();
        ::close(fd);
        path_ = pattern;
        std::ofstream out(path_, std::ios::binary);
        out.write(reinterpret_cast<const char*>(plain().data()), static_cast<std::streamsize>(plain().size()));
    }
    ~PlainFile()
    {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

const PlainFile& plainFile()
{
    static PlainFile file;
    return file;
}

// Each timed run follows an untimed run of the other program, so both start
// from the same state of caches and free memory, and both see the load of
// the moment alike.
void runProcess(benchmark::State& state, const char* program, const char* other)
{
    const std::string& file = plainFile().Path();
    for (auto _ : state) {
        state.PauseTiming();
        const bool otherRan = bench::RunProcess({other, file});
        state.ResumeTiming();
        if (!otherRan || !bench::RunProcess({program, file})) {
            state.SkipWithError((std::string(otherRan ? program : other) + " failed").c_str());
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

void BM_MailerPathProcess(benchmark::State& state)
{
    runProcess(state, TV_ENCODE_ATTACHMENT, "base64");
}
// Whole processes vary with the machine's load: more runs to a repetition.
BENCHMARK(BM_MailerPathProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_CoreutilsBase64Process(benchmark::State& state)
{
    runProcess(state, "base64", TV_ENCODE_ATTACHMENT);
}
BENCHMARK(BM_CoreutilsBase64Process)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    // Run as the program runs, with its allocator settings.
    vb::TuneMemoryForLargeBuffers();
    // Repetitions run in random order, ours and the reference mixed, so a
    // change of the machine's load during the run weighs on both; a flag on
    // the command line still decides.
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    return bench::RunWithRatios(count, args.data(),
                                {{"BM_MailerPathProcess/real_time", "BM_CoreutilsBase64Process/real_time",
                                  "mailer path process / coreutils base64 process"}});
}
