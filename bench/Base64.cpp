// The attachment path of the mail sender: 10 MB through the base64 codec,
// encoded, broken into 76-character lines, and decoded again. Then the same
// path as a whole process (bench_EncodeAttachment: the file encoded into
// 76-character lines while it is read, into one message text, then written)
// beside coreutils' base64 on the same 10 MB file, both writing to /dev/null;
// their ratio is printed last.

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

void runProcess(benchmark::State& state, const char* program)
{
    const std::string& file = plainFile().Path();
    for (auto _ : state) {
        if (!bench::RunProcess({program, file})) {
            state.SkipWithError((std::string(program) + " failed").c_str());
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
}

void BM_MailerPathProcess(benchmark::State& state)
{
    runProcess(state, TV_ENCODE_ATTACHMENT);
}
BENCHMARK(BM_MailerPathProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CoreutilsBase64Process(benchmark::State& state)
{
    runProcess(state, "base64");
}
BENCHMARK(BM_CoreutilsBase64Process)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    // Run as the program runs, with its allocator settings.
    vb::TuneMemoryForLargeBuffers();
    return bench::RunWithRatios(argc, argv,
                                {{"BM_MailerPathProcess/real_time", "BM_CoreutilsBase64Process/real_time",
                                  "mailer path process / coreutils base64 process"}});
}
