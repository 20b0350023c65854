// A console reporter that also keeps each benchmark's time per iteration, so
// that a benchmark program can print its times as ratios of a reference
// measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

// Console output as usual, plus the mean time per iteration of every run.
class RatioReporter : public benchmark::ConsoleReporter {
   public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With --benchmark_repetitions the mean stands for the benchmark.
        for (const Run& run : runs) {
            const double ns = run.GetAdjustedRealTime() * NanosecondsPer(run.time_unit);
            // "name", or "name/arguments" for a benchmark with arguments.
            const std::string name = run.run_name.args.empty()
                                         ? run.run_name.function_name
                                         : run.run_name.function_name + "/" + run.run_name.args;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean") {
                nanoseconds[name] = ns;
                haveMean[name] = true;
            } else if (run.run_type == Run::RT_Iteration && !haveMean[name]) {
                nanoseconds[name] = ns;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // ours / reference in *ratio; false when either was not run (filtered
    // out on the command line).
    bool Ratio(const std::string& ours, const std::string& reference, double* ratio) const {
        const auto o = nanoseconds.find(ours);
        const auto r = nanoseconds.find(reference);
        if (o == nanoseconds.end() || r == nanoseconds.end()) {
            return false;
        }
        *ratio = o->second / r->second;
        return true;
    }

    std::map<std::string, double> nanoseconds;

   private:
    std::map<std::string, bool> haveMean;

    static double NanosecondsPer(benchmark::TimeUnit unit) {
        switch (unit) {
            case benchmark::kSecond:
                return 1e9;
            case benchmark::kMillisecond:
                return 1e6;
            case benchmark::kMicrosecond:
                return 1e3;
            case benchmark::kNanosecond:
                return 1.0;
        }
        return 1.0;
    }
};

// Runs the benchmarks named on the command line with reporter; false (after
// Google Benchmark's own message) when the command line has an unknown flag.
inline bool RunBenchmarks(int argc, char** argv, RatioReporter* reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return false;
    }
    benchmark::RunSpecifiedBenchmarks(reporter);
    benchmark::Shutdown();
    return true;
}

}  // namespace bench
