#pragma once
// A console reporter that, after the usual table, prints the ratio of each
// named pair of runs (ours / reference; the median when the runs are
// repeated), so every benchmark ends with the figure that matters. Runs in
// this process compare CPU time, which other load on a shared machine
// disturbs far less than wall time; runs timed in real time (whole child
// processes, "/real_time") or by the benchmark itself ("/manual_time")
// compare that. A pair whose runs were filtered out or failed prints nothing.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Pair {
        std::string ours;
        std::string reference;
        std::string label;
    };

    explicit RatioReporter(std::vector<Pair> pairs) : pairs_(std::move(pairs)) {}
    // Pairs every "<name>_Ours" run with its "<name>_<reference>" partner.
    explicit RatioReporter(std::string reference) : reference_(std::move(reference)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (!r.error_occurred)
                times_[r.benchmark_name()] =
                    wallTimed(r.benchmark_name()) ? r.GetAdjustedRealTime() : r.GetAdjustedCPUTime();
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nours / reference (CPU time; real time for whole processes):\n");
        std::vector<Pair> pairs = pairs_;
        if (!reference_.empty()) {
            for (const auto& entry : times_) {
                const std::string& name = entry.first;
                const auto at = name.find("_Ours");
                const bool spread = name.ends_with("_stddev") || name.ends_with("_cv") || name.ends_with("_mean")
                    || name.ends_with("_median");
                if (at != std::string::npos && !spread)
                    pairs.push_back({name, std::string(name).replace(at, 5, "_" + reference_), name});
            }
        }
        for (const Pair& p : pairs) {
            const auto ours = find(p.ours);
            const auto reference = find(p.reference);
            if (ours != times_.end() && reference != times_.end() && reference->second > 0)
                std::printf("  %-52s %6.2fx\n", p.label.c_str(), ours->second / reference->second);
        }
        std::fflush(stdout);
    }

private:
    // Runs timed by the clock on the wall, or by the benchmark itself.
    static bool wallTimed(const std::string& name)
    {
        return name.find("/real_time") != std::string::npos || name.find("/manual_time") != std::string::npos;
    }

    // With --benchmark_repetitions the median stands for the run.
    std::map<std::string, double>::const_iterator find(const std::string& name) const
    {
        const auto median = times_.find(name + "_median");
        return median != times_.end() ? median : times_.find(name);
    }

    std::vector<Pair> pairs_;
    std::string reference_;
    std::map<std::string, double> times_;
};

// Runs the registered benchmarks with the reporter; the body of main.
inline int RunWithRatios(int argc, char** argv, std::vector<RatioReporter::Pair> pairs)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
