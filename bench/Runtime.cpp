// The runtime's hot paths: day numbers (the calendar fills one per day shown)
// and money formatting (every rent and sales figure on screen).

#include "platform/basic/DateTime.h"
#include "platform/basic/Format.h"
#include "program/services/Mod_FTPData.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

namespace {

void BM_DateToDayNumber(benchmark::State& state)
{
    const vb::Date start = vb::DateSerial(1990, 1, 1);
    double serial = start.Serial();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Mod_FTPData::DateToDayNumber(vb::Date::FromSerial(serial)));
        serial += 1.25;
        if (serial > 80000)
            serial = start.Serial();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DateToDayNumber);

void BM_FormatMoneyCurrency(benchmark::State& state)
{
    int64_t raw = 123456789;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vb::Format(vb::Currency::FromRaw(raw), "$##,##0.00"));
        raw += 7919;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatMoneyCurrency);

void BM_FormatMoneyDouble(benchmark::State& state)
{
    double v = 1234.567;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vb::Format(v, "$#,##0.00"));
        v += 13.37;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatMoneyDouble);

// The floor: the same figure through snprintf, without grouping or rounding rules.
void BM_SnprintfFloor(benchmark::State& state)
{
    double v = 1234.567;
    char buf[64];
    for (auto _ : state) {
        std::snprintf(buf, sizeof buf, "$%.2f", v);
        benchmark::DoNotOptimize(buf);
        v += 13.37;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SnprintfFloor);

} // namespace

int main(int argc, char** argv)
{
    return bench::RunWithRatios(argc, argv,
                                {{"BM_FormatMoneyCurrency", "BM_SnprintfFloor", "money format, currency / snprintf"},
                                 {"BM_FormatMoneyDouble", "BM_SnprintfFloor", "money format, double / snprintf"}});
}
