// The attachment path of the mail sender: 10 MB through the base64 codec,
// encoded, broken into 76-character lines, and decoded again. Then the same
// path as a whole process (bench_EncodeAttachment: the file encoded into
// 76-character lines while it is read, into one message text, then written)
// beside coreutils' base64 on the same 10 MB file (76-character lines), both
// writing to /dev/null, run in turns; their ratio is printed last.

#include "program/reports/Base64.h"
#include "platform/basic/MemoryTuning.h"

#include "ChildProcess.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <string>
#include <utility>
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

// The two programs run in turns, ours first in one pair and coreutils' first
// in the next, each run timed: both series come from the same moments of the
// machine's load, which on a shared machine swings by more than the
// difference measured. Each repetition of BM_MailerPathProcess runs kPairs
// pairs and keeps the reference's times; the same repetition of
// BM_CoreutilsBase64Process reports those (run alone, it takes pairs of its
// own). A repetition's time is the median of its runs, so that a run held
// up by the machine's other work does not decide it; its mean is shown
// beside it.
constexpr int kPairs = 30;

double timedRun(const char* program)
{
    const auto begin = std::chrono::steady_clock::now();
    if (!bench::RunProcess({program, plainFile().Path()}))
        return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

// The times of one repetition's pairs: ours, then the reference's.
using Pairs = std::vector<std::pair<double, double>>;

bool runPairs(Pairs& pairs)
{
    pairs.clear();
    for (int i = 0; i < kPairs; ++i) {
        const bool oursFirst = i % 2 == 0;
        const double first = timedRun(oursFirst ? TV_ENCODE_ATTACHMENT : "base64");
        const double second = timedRun(oursFirst ? "base64" : TV_ENCODE_ATTACHMENT);
        if (first < 0 || second < 0)
            return false;
        pairs.emplace_back(oursFirst ? first : second, oursFirst ? second : first);
    }
    return true;
}

// Every iteration is given the median of the runs; the mean is a counter.
void report(benchmark::State& state, std::vector<double> times)
{
    const double mean = std::accumulate(times.begin(), times.end(), 0.0) / static_cast<double>(times.size());
    std::nth_element(times.begin(), times.begin() + static_cast<ptrdiff_t>(times.size() / 2), times.end());
    const double median = times[times.size() / 2];
    for (auto _ : state)
        state.SetIterationTime(median);
    state.counters["mean_ms"] = mean * 1000;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

// The reference's side of each repetition's pairs, in the order taken.
std::deque<Pairs>& referenceTimes()
{
    static std::deque<Pairs> times;
    return times;
}

void BM_MailerPathProcess(benchmark::State& state)
{
    Pairs pairs;
    if (!runPairs(pairs)) {
        state.SkipWithError("a program failed");
        return;
    }
    referenceTimes().push_back(pairs);
    std::vector<double> times;
    for (const auto& pair : pairs)
        times.push_back(pair.first);
    report(state, std::move(times));
}
BENCHMARK(BM_MailerPathProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kPairs);

void BM_CoreutilsBase64Process(benchmark::State& state)
{
    Pairs pairs;
    if (!referenceTimes().empty()) {
        pairs = referenceTimes().front();
        referenceTimes().pop_front();
    } else if (!runPairs(pairs)) {
        state.SkipWithError("a program failed");
        return;
    }
    std::vector<double> times;
    for (const auto& pair : pairs)
        times.push_back(pair.second);
    report(state, std::move(times));
}
BENCHMARK(BM_CoreutilsBase64Process)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(kPairs);

} // namespace

int main(int argc, char** argv)
{
    // Run as the program runs, with its allocator settings.
    vb::TuneMemoryForLargeBuffers();
    return bench::RunWithRatios(argc, argv,
                                {{"BM_MailerPathProcess/iterations:30/manual_time",
                                  "BM_CoreutilsBase64Process/iterations:30/manual_time",
                                  "mailer path process / coreutils base64 process"}});
}
