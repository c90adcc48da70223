#pragma once
// The console table, then the ratio of each "<name>_Ours" run to its
// "<name>_<reference>" partner (real time), as the benchmarks print last.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::string reference) : reference_(std::move(reference)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            times_[r.benchmark_name()] = r.GetAdjustedRealTime();
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nours / %s (real time):\n", reference_.c_str());
        for (const auto& [name, ours] : times_) {
            const auto at = name.find("_Ours");
            const bool spread = name.ends_with("_stddev") || name.ends_with("_cv");
            if (at == std::string::npos || spread)
                continue;
            const std::string other = std::string(name).replace(at, 5, "_" + reference_);
            const auto it = times_.find(other);
            if (it != times_.end() && it->second > 0)
                std::printf("  %-44s %6.2f\n", name.c_str(), ours / it->second);
        }
    }

private:
    std::string reference_;
    std::map<std::string, double> times_;
};

} // namespace bench
