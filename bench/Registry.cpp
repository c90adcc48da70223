// Reading the settings file: 40,000 values in one key, next to the same
// 40,000 value lines spread over 400 keys of 100, the reference a reader
// that works line by line takes about as long for. The ratio one key /
// spread (real time) is printed last: near 1 when a key's size costs
// nothing extra, far above it when each value searches the ones before it.

#include "RatioReporter.h"
#include "platform/registry/RegistryTree.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kValues = 40000;

std::string settingsFile(int valuesPerKey)
{
    std::string file = "TALLYVANE-REGISTRY 1\n";
    for (int i = 0; i < kValues; ++i) {
        if (i % valuesPerKey == 0)
            file += "[HKEY_CURRENT_USER\\Software\\Bench\\K" + std::to_string(i / valuesPerKey) + "]\n";
        file += "\"Value" + std::to_string(i) + "\"=\"text of value " + std::to_string(i) + "\"\n";
    }
    return file + "; end\n";
}

void parse(benchmark::State& state, const std::string& file)
{
    for (auto _ : state) {
        auto parsed = winreg::detail::Tree::Parse(file);
        if (!parsed.tree)
            state.SkipWithError("the file does not parse");
        benchmark::DoNotOptimize(parsed);
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

void BM_RegistryParse_OneKey(benchmark::State& state)
{
    static const std::string file = settingsFile(kValues);
    parse(state, file);
}

void BM_RegistryParse_Spread(benchmark::State& state)
{
    static const std::string file = settingsFile(100);
    parse(state, file);
}

} // namespace

BENCHMARK(BM_RegistryParse_OneKey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegistryParse_Spread)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return bench::RunWithRatios(argc, argv, {{"BM_RegistryParse_OneKey", "BM_RegistryParse_Spread", "one key / spread"}});
}
