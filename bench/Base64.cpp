// The attachment path of the mail sender: 10 MB through the base64 codec,
// encoded, broken into 76-character lines, and decoded again.

#include "program/reports/Base64.h"

#include <benchmark/benchmark.h>

#include <random>

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

} // namespace

BENCHMARK_MAIN();
