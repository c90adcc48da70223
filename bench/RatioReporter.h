#pragma once
// A console reporter that, after the usual table, prints the ratio of each
// named pair of runs (ours / reference; the median when the runs are
// repeated), so every benchmark ends with the figure that matters. Runs in
// this process compare CPU time, which other load on a shared machine
// disturbs far less than wall time; runs timed in real time (whole child
// processes, "/real_time") or by the benchmark itself ("/manual_time")
// compare that. A pair whose runs were filtered out or failed prints nothing.
//
// Runs are known by their name without the aggregate, so a pair is found
// whether the single runs were reported or only their aggregates
// (--benchmark_report_aggregates_only). A pair named without arguments
// pairs every argument set of its runs: "X_Ours" with "X_Ref" pairs
// "X_Ours/120/40" with "X_Ref/120/40", labelled "<label> 120/40".

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
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
            if (r.error_occurred)
                continue;
            const std::string name = r.run_name.str();
            const double time = wallTimed(name) ? r.GetAdjustedRealTime() : r.GetAdjustedCPUTime();
            if (r.run_type == Run::RT_Aggregate) {
                if (r.aggregate_name == "median")
                    medians_[name] = time;
            } else {
                times_[name] = time;
            }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nours / reference (CPU time; real time for whole processes):\n");
        for (const Pair& p : resolvedPairs()) {
            const double* ours = find(p.ours);
            const double* reference = find(p.reference);
            if (ours && reference && *reference > 0)
                std::printf("  %-52s %6.2fx\n", p.label.c_str(), *ours / *reference);
        }
        std::fflush(stdout);
    }

private:
    // Runs timed by the clock on the wall, or by the benchmark itself.
    static bool wallTimed(const std::string& name)
    {
        return name.find("/real_time") != std::string::npos || name.find("/manual_time") != std::string::npos;
    }

    std::set<std::string> runNames() const
    {
        std::set<std::string> names;
        for (const auto& entry : times_)
            names.insert(entry.first);
        for (const auto& entry : medians_)
            names.insert(entry.first);
        return names;
    }

    // The pairs as run: each given pair once per argument set of its runs,
    // or every "_Ours" run with its reference partner.
    std::vector<Pair> resolvedPairs() const
    {
        std::vector<Pair> resolved;
        const std::set<std::string> names = runNames();
        if (!reference_.empty()) {
            for (const std::string& name : names) {
                const auto at = name.find("_Ours");
                if (at != std::string::npos)
                    resolved.push_back({name, std::string(name).replace(at, 5, "_" + reference_), name});
            }
            return resolved;
        }
        for (const Pair& p : pairs_) {
            for (const std::string& name : names) {
                if (name == p.ours) {
                    resolved.push_back(p);
                } else if (name.starts_with(p.ours + "/")) {
                    const std::string arguments = name.substr(p.ours.size());
                    resolved.push_back({name, p.reference + arguments, p.label + " " + arguments.substr(1)});
                }
            }
        }
        return resolved;
    }

    // With --benchmark_repetitions the median stands for the run.
    const double* find(const std::string& name) const
    {
        const auto median = medians_.find(name);
        if (median != medians_.end())
            return &median->second;
        const auto single = times_.find(name);
        return single != times_.end() ? &single->second : nullptr;
    }

    std::vector<Pair> pairs_;
    std::string reference_;
    std::map<std::string, double> times_;
    std::map<std::string, double> medians_;
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
